// What a skin costs, in one run under Wine (or Windows):
//  - loading a skin from its folder against loading its packed twin (the ".asz" file of the same
//    name beside it), the two taken in turns: the folder's files read for the first time, and the
//    skin loaded again while nothing in the folder changed (as a program switching between skins
//    does: the model kept of it is given again);
//  - the private bytes of the gallery after every one of its pages was shown, skinned against
//    plain: each side is a run of this program of its own (started with --side), the sides taken
//    in turns.
// Figures are medians of rounds. The goals are printed at the end with the figures and whether each
// is met.
//
//   bench_skins.exe SKINS-FOLDER [SKIN]      the skin timed and shown (default: Graphite)
#include "classlib/Win.h"

#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "classlib/Forms.h"
#include "examples/gallery/GalleryForm.h"
#include "skin/engine/KeptSkins.h"
#include "skin/engine/core/acSkinLoader.h"
#include "skin/engine/sSkinManager.h"
#include "bench/win/BenchSkin.h"
#include "bench/win/BenchTiming.h"

namespace {

using namespace qvbench;

constexpr int kLoadRounds = 15;
constexpr int kMemoryRounds = 3;
constexpr char kSidePrefix[] = "skin:";

SIZE_T PrivateBytes() {
  PROCESS_MEMORY_COUNTERS_EX pmc{};
  pmc.cb = sizeof pmc;
  K32GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof pmc);
  // Some systems leave the private count at 0: the committed bytes count the same allocations.
  return pmc.PrivateUsage != 0 ? pmc.PrivateUsage : pmc.PagefileUsage;
}

// Hands out messages until none came for a while: what showing a page set off is done.
void Settle() {
  for (int quiet = 0; quiet < 5;) {
    MSG msg;
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      quiet = 0;
      Application->ProcessMessages();
    } else {
      ++quiet;
      Sleep(10);
    }
  }
}

// One side of the memory figure: the gallery shown with Skin (empty: plain), every page brought to
// the front in turn and the first one again; the private KB are the process's exit code.
int ShowGallery(const std::string& folder, const std::string& skin) {
  TGalleryForm* form = nullptr;
  Application->CreateForm(form);
  form->SetSkinFolder(folder);
  form->ChooseSkin(skin);
  form->Show();
  Settle();
  for (int page = 1; page <= 8; ++page) {
    form->ShowPage(page);
    Settle();
  }
  form->ShowPage(0);
  Settle();
  return int(PrivateBytes() / 1024);
}

// The private KB of one side, from a run of this program of its own.
double SideKB(const std::string& folder, const std::string& skin) {
  char exe[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  // The side is never an empty argument: the runtime may drop one.
  std::string command = "\"" + std::string(exe) + "\" --side \"" + folder + "\" \"" + kSidePrefix + skin + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    std::printf("the gallery's run could not be started\n");
    return 0;
  }
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD kb = 0;
  GetExitCodeProcess(pi.hProcess, &kb);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return double(kb);
}

struct TRow {
  std::string Goal;
  double Figure, Target;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--side") == 0) {
    // A side's run never starts another.
    if (argc < 4 || std::strncmp(argv[3], kSidePrefix, std::strlen(kSidePrefix)) != 0) return 0;
    return ShowGallery(argv[2], argv[3] + std::strlen(kSidePrefix));
  }
  NoteUnoptimisedBuild();
  if (argc < 2 || argv[1][0] == '-') {
    std::printf("usage: bench_skins.exe SKINS-FOLDER [SKIN]\n");
    return 2;
  }
  const std::string folder = argv[1], skin = argc > 2 ? argv[2] : "Graphite";
  const std::string unpacked = folder + "\\" + skin, packed = unpacked + ".asz";
  std::vector<TRow> goals;

  // Loading: each side once to warm the system's file cache, then in turns, each round starting
  // with the side the last one ended with.
  std::vector<double> first, again, fromPacked, firstRatio, againRatio;
  std::string error;
  auto timed = [&](auto&& load, const std::string& path) {
    const double t0 = Now();
    const auto model = load();
    const double t = Now() - t0;
    if (!model) std::printf("\"%s\" not loaded: %s\n", path.c_str(), error.c_str());
    return t;
  };
  auto folderFirst = [&] {
    ForgetKeptSkins();
    return timed([&] { return LoadFolderSkin(unpacked, error); }, unpacked);
  };
  auto folderAgain = [&] { return timed([&] { return LoadFolderSkin(unpacked, error); }, unpacked); };
  auto packedLoad = [&] { return timed([&] { return qv::LoadSkinFromPackedFile(packed, error); }, packed); };
  // The least a first load from the folder spends on its files: each of them opened and closed,
  // nothing read (under Wine two round trips to the server each), and each opened, read whole and
  // closed, nothing decoded (a third round trip for the descriptor the read takes).
  std::vector<std::wstring> names;
  {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((std::filesystem::path(unpacked) / L"*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
          names.push_back((std::filesystem::path(unpacked) / data.cFileName).wstring());
      while (FindNextFileW(find, &data));
      FindClose(find);
    }
  }
  auto openEach = [&] {
    const double t0 = Now();
    for (const std::wstring& n : names) {
      HANDLE h = CreateFileW(n.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
      if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
    return Now() - t0;
  };
  std::vector<char> buffer;
  auto readEach = [&] {
    const double t0 = Now();
    for (const std::wstring& n : names) {
      HANDLE h = CreateFileW(n.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
      if (h == INVALID_HANDLE_VALUE) continue;
      const DWORD size = GetFileSize(h, nullptr);
      if (size != INVALID_FILE_SIZE) {
        if (buffer.size() < size + 1) buffer.resize(size + 1);
        DWORD got = 0;
        ReadFile(h, buffer.data(), DWORD(buffer.size()), &got, nullptr);
      }
      CloseHandle(h);
    }
    return Now() - t0;
  };
  std::vector<double> opened, openedRatio, read, readRatio;
  folderFirst();
  packedLoad();
  for (int round = 0; round < kLoadRounds; ++round) {
    double f = 0, a = 0, p = 0, o = 0, r = 0;
    if (round % 2) {
      p = packedLoad();
      o = openEach();
      r = readEach();
      f = folderFirst();
      a = folderAgain();
    } else {
      f = folderFirst();
      a = folderAgain();
      r = readEach();
      o = openEach();
      p = packedLoad();
    }
    first.push_back(f);
    again.push_back(a);
    fromPacked.push_back(p);
    opened.push_back(o);
    firstRatio.push_back(f / p);
    againRatio.push_back(a / p);
    openedRatio.push_back(o / p);
    read.push_back(r);
    readRatio.push_back(r / p);
  }
  ForgetKeptSkins();
  std::printf("%d-bit build; medians of %d rounds\n", int(sizeof(void*) * 8), kLoadRounds);
  std::printf(
      "skin \"%s\" loaded from its folder: files read %.2f ms (%.1fx the packed twin), again with its folder "
      "unchanged %.2f ms; from \"%s.asz\" %.2f ms\n",
      skin.c_str(), Median(first) * 1e3, Median(firstRatio), Median(again) * 1e3, skin.c_str(),
      Median(fromPacked) * 1e3);
  std::printf("the folder's %d files only opened and closed, nothing read: %.2f ms (%.1fx the packed twin)\n",
              int(names.size()), Median(opened) * 1e3, Median(openedRatio));
  std::printf("the folder's %d files opened, read whole and closed, nothing decoded: %.2f ms (%.1fx the packed twin)\n",
              int(names.size()), Median(read) * 1e3, Median(readRatio));
  goals.push_back({"skin loaded from its folder (first) / from its packed twin", Median(firstRatio), 2.0});
  goals.push_back({"skin loaded from its folder (unchanged) / from its packed twin", Median(againRatio), 2.0});

  // Memory: each side a run of its own, in turns.
  std::vector<double> plainKB, skinnedKB, memRatio;
  for (int round = 0; round < kMemoryRounds; ++round) {
    const bool plainFirst = round % 2 == 0;
    const double a = SideKB(folder, plainFirst ? "" : skin), b = SideKB(folder, plainFirst ? skin : "");
    const double plain = plainFirst ? a : b, skinned = plainFirst ? b : a;
    plainKB.push_back(plain);
    skinnedKB.push_back(skinned);
    memRatio.push_back(plain > 0 ? skinned / plain : 0);
  }
  std::printf(
      "gallery after every page was shown: skinned (%s) %.1f MB, plain %.1f MB (private bytes, medians of %d)\n",
      skin.c_str(), Median(skinnedKB) / 1024, Median(plainKB) / 1024, kMemoryRounds);
  goals.push_back({"gallery's private bytes, skinned / plain", Median(memRatio), 1.5});

  std::printf("\n%-60s %8s %9s  %s\n", "goal", "figure", "target", "met");
  for (const TRow& g : goals)
    std::printf("%-60s %8.2f %7s%.2f  %s\n", g.Goal.c_str(), g.Figure, "<", g.Target,
                g.Figure < g.Target ? "yes" : "NO");
  return 0;
}
