// A tree view filled with 100,000 nodes while its redraw is off, adapted against plain, in one run
// under Wine (or Windows): every insertion is a message to the window, so the figure is what an
// adapter adds to a message that changes nothing it shows. Also the cost of one message that the
// window answers at once (TVM_GETCOUNT) on either side. Timings are medians of rounds; each round
// times both sides, the side that goes first alternating, so that other load on the machine falls
// on both. The goals are printed at the end with the figures and whether they are met.
#include "classlib/Win.h"

#include <cstdio>
#include <string>
#include <vector>

#include "classlib/Forms.h"
#include "skin/windows/acSBUtils.h"
#include "bench/win/BenchSkin.h"
#include "bench/win/BenchTiming.h"

namespace {

using namespace qvbench;

constexpr int kRounds = 5;
constexpr int kNodes = 100000;
constexpr int kPerParent = 50;  // children under each top-level node

HWND MakeTree(HWND parent) {
  HWND tree = CreateWindowExA(WS_EX_CLIENTEDGE, WC_TREEVIEWA, "",
                              WS_CHILD | WS_VISIBLE | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT, 10, 10, 460, 340,
                              parent, nullptr, GetModuleHandleA(nullptr), nullptr);
  SendMessageA(tree, WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  return tree;
}

// The tree emptied, then filled with its redraw off and shown again; the seconds it took.
double Fill(HWND tree) {
  SendMessageA(tree, TVM_DELETEITEM, 0, LPARAM(TVI_ROOT));
  Pump();
  const double t0 = Now();
  SendMessageA(tree, WM_SETREDRAW, FALSE, 0);
  HTREEITEM parent = nullptr;
  char text[32];
  for (int i = 0; i < kNodes; ++i) {
    const bool top = i % (kPerParent + 1) == 0;
    std::snprintf(text, sizeof text, top ? "Folder %d" : "Item %d", i);
    TVINSERTSTRUCTA ins{};
    ins.hParent = top ? TVI_ROOT : parent;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT;
    ins.item.pszText = text;
    auto item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, LPARAM(&ins)));
    if (top) parent = item;
  }
  SendMessageA(tree, WM_SETREDRAW, TRUE, 0);
  UpdateWindow(tree);
  const double seconds = Now() - t0;
  Pump();
  return seconds;
}

}  // namespace

int main() {
  NoteUnoptimisedBuild();
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TREEVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  TsSkinManager* manager = StartWithBuiltInSkin();
  if (!manager) return 1;
  auto* form = Create<TForm>(Application);
  form->SetBounds(20, 20, 500, 400);
  form->Show();
  HWND plain = MakeTree(form->Handle());
  HWND adapted = MakeTree(form->Handle());
  auto* adapter = Create<TacTreeViewWnd>(adapted, nullptr, manager, "EDIT", true);
  std::vector<double> skinned, own, ratio, msgSkinned, msgOwn;
  for (int round = -1; round < kRounds; ++round) {
    double s = 0, p = 0;
    if (round % 2 == 0) {
      s = Fill(adapted);
      p = Fill(plain);
    } else {
      p = Fill(plain);
      s = Fill(adapted);
    }
    const double ms = SecondsPerCall([&] { SendMessageA(adapted, TVM_GETCOUNT, 0, 0); }, 20000);
    const double mp = SecondsPerCall([&] { SendMessageA(plain, TVM_GETCOUNT, 0, 0); }, 20000);
    if (round < 0) continue;  // both sides warmed up
    skinned.push_back(s);
    own.push_back(p);
    ratio.push_back(s / p);
    msgSkinned.push_back(ms);
    msgOwn.push_back(mp);
  }
  std::printf("%d-bit build; medians of %d rounds; %d nodes, %d under each folder\n", int(sizeof(void*) * 8), kRounds,
              kNodes, kPerParent);
  std::printf("fill with redraw off: adapted %.0f ms, plain %.0f ms\n", Median(skinned) * 1e3, Median(own) * 1e3);
  std::printf("one message answered at once: adapted %.2f us, plain %.2f us\n", Median(msgSkinned) * 1e6,
              Median(msgOwn) * 1e6);
  Goals.push_back({"adapted tree filled with redraw off / plain", Median(ratio), 1.3});
  PrintGoals();
  adapter->Free();
  form->Free();
  manager->Free();
  return 0;
}
