// A report list view of 10,000 rows scrolled from top to bottom, adapted against plain, in one run
// under Wine (or Windows). The list is scrolled a page at a time and each page is painted at once
// (UpdateWindow); adapted, its bars are painted in the skin after every step and its header and
// frame stay skinned. Timings are medians of rounds; each round times both sides, so that other
// load on the machine falls on both. The goal is printed at the end with the figure and whether it
// is met.
#include "classlib/Win.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "classlib/Forms.h"
#include "skin/engine/acSkinPack.h"
#include "skin/engine/sSkinManager.h"
#include "skin/windows/acSBUtils.h"
#include "bench/win/BenchSkin.h"
#include "bench/win/BenchTiming.h"

namespace {

using namespace qvbench;

constexpr int kRounds = 7;
constexpr int kRows = 10000;

HWND MakeList(HWND parent) {
  HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 10, 10, 460, 340,
                              parent, nullptr, GetModuleHandleA(nullptr), nullptr);
  SendMessageA(list, WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  for (int i = 0; i < 3; ++i) {
    LVCOLUMNA c{};
    c.mask = LVCF_TEXT | LVCF_WIDTH;
    c.cx = 140;
    std::string text = "Column " + std::to_string(i + 1);
    c.pszText = text.data();
    SendMessageA(list, LVM_INSERTCOLUMNA, WPARAM(i), LPARAM(&c));
  }
  SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  SendMessageA(list, LVM_SETITEMCOUNT, kRows, 0);
  for (int row = 0; row < kRows; ++row) {
    std::string text = "Row " + std::to_string(row + 1);
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = text.data();
    const auto at = WPARAM(SendMessageA(list, LVM_INSERTITEMA, 0, LPARAM(&item)));
    for (int sub = 1; sub < 3; ++sub) {
      std::string cell = std::to_string(row * sub * 7 % 100000);
      LVITEMA subItem{};
      subItem.iSubItem = sub;
      subItem.pszText = cell.data();
      SendMessageA(list, LVM_SETITEMTEXTA, at, LPARAM(&subItem));
    }
  }
  SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  return list;
}

// Top to bottom a page at a time, each page painted; returns the seconds it took.
double ScrollThrough(HWND list) {
  SendMessageA(list, LVM_ENSUREVISIBLE, 0, FALSE);
  UpdateWindow(list);
  Pump();
  const double t0 = Now();
  int steps = 0;
  for (int last = -1;;) {
    SendMessageA(list, WM_VSCROLL, SB_PAGEDOWN, 0);
    UpdateWindow(list);
    const int top = int(SendMessageA(list, LVM_GETTOPINDEX, 0, 0));
    if (top == last || ++steps > kRows) break;
    last = top;
  }
  const double seconds = Now() - t0;
  Pump();
  return seconds;
}

}  // namespace

int main() {
  NoteUnoptimisedBuild();
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  TsSkinManager* manager = StartWithBuiltInSkin();
  if (!manager) return 1;
  auto* form = Create<TForm>(Application);
  form->SetBounds(20, 20, 500, 400);
  form->Show();
  HWND plain = MakeList(form->Handle());
  HWND adapted = MakeList(form->Handle());
  auto* adapter = Create<TacListViewWnd>(adapted, nullptr, manager, "EDIT", true);
  // One list shows at a time, in the same place.
  auto show = [&](HWND wnd) {
    ShowWindow(wnd == plain ? adapted : plain, SW_HIDE);
    ShowWindow(wnd, SW_SHOW);
    UpdateWindow(wnd);
    Pump();
  };
  std::vector<double> skinned, own, ratio;
  for (int round = -1; round < kRounds; ++round) {
    double s = 0, p = 0;
    BothSides(
        round + 1,
        [&] {
          show(adapted);
          s = ScrollThrough(adapted);
        },
        [&] {
          show(plain);
          p = ScrollThrough(plain);
        });
    if (round < 0) continue;  // both sides warmed up
    skinned.push_back(s);
    own.push_back(p);
    ratio.push_back(s / p);
  }
  const int pages = int(SendMessageA(plain, LVM_GETITEMCOUNT, 0, 0) /
                        std::max<LRESULT>(1, SendMessageA(plain, LVM_GETCOUNTPERPAGE, 0, 0)));
  std::printf("%d-bit build; medians of %d rounds; %d rows, about %d pages\n", int(sizeof(void*) * 8), kRounds, kRows,
              pages);
  std::printf("top to bottom: adapted %.1f ms, plain %.1f ms\n", Median(skinned) * 1e3, Median(own) * 1e3);
  const double figure = Median(ratio);
  std::printf("\n%-56s %8s %9s  %s\n", "goal", "figure", "target", "met");
  std::printf("%-56s %8.2f %7s%.2f  %s\n", "adapted list view scrolled through / plain", figure, "<", 1.5,
              figure < 1.5 ? "yes" : "NO");
  adapter->Free();
  form->Free();
  manager->Free();
  return 0;
}
