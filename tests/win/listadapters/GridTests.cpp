// The grid adapters: colours kept per grid, a data-aware grid told the thumb's position, printing,
// and the plain look given back whole.
#include "tests/support/ListAdapterTestSupport.h"

namespace qvtest {
namespace {

class Grid : public ListAdapterTest {
 protected:
  void TearDown() override {
    for (TacMainWnd*& a : GridAdapters) FreeAndNil(a);
    for (TsCommonData*& d : States) {
      delete d;
      d = nullptr;
    }
    for (TControl* c : Controls) c->Free();
    Controls.clear();
    LibHost.reset();
    ListAdapterTest::TearDown();
  }
  template <typename T>
  T* AdaptedGrid(int x, TColor fixed) {
    if (!LibHost) LibHost = std::make_unique<TTestHost>(420, 220);
    auto* g = Create<T>(LibHost->Control());
    g->SetParent(LibHost->Control());
    g->SetBounds(x, 10, 180, 160);
    g->SetRowCount(40);
    g->SetFixedColor(fixed);
    Controls.push_back(g);
    States.push_back(new TsCommonData(g, false));
    States.back()->SetSkinSection("EDIT");
    GridAdapters.push_back(Create<TacGridWnd>(g->Handle(), States.back(), nullptr, "EDIT", true));
    flush_events(40, 1000);
    return g;
  }
  std::vector<TControl*> Controls;
  std::vector<TsCommonData*> States;
  std::vector<TacMainWnd*> GridAdapters;
};

TEST_F(Grid, EachGridGetsItsOwnColoursBack) {
  auto* a = AdaptedGrid<TStringGrid>(10, clAqua);
  auto* b = AdaptedGrid<TDBAdvGrid>(210, clYellow);
  EXPECT_EQ(Manager->GetGlobalColor(), a->FixedColor());
  EXPECT_EQ(Manager->GetGlobalColor(), b->FixedColor());
  Manager->SetActive(false);
  flush_events(40, 1000);
  EXPECT_EQ(clAqua, a->FixedColor());
  EXPECT_EQ(clYellow, b->FixedColor());
}

TEST_F(Grid, DataAwareGridReadsTheThumbPositionFromItsBar) {
  auto* g = AdaptedGrid<TDBAdvGrid>(10, clAqua);
  SendMessageA(g->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 10), 0);
  SendMessageA(g->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 12), 0);
  ASSERT_EQ(2u, g->ThumbMoves.size());
  EXPECT_EQ(std::make_pair(int(SB_THUMBTRACK), 10), g->ThumbMoves[0]);
  EXPECT_EQ(std::make_pair(int(SB_THUMBPOSITION), 13), g->ThumbMoves[1]);
}

// A grid printed (WM_PRINT) shows what the screen shows, and the skin going leaves it exactly as it
// was before the adapter came: frame, fixed cells, cells.
TEST_F(Grid, PrintedAsShownAndPlainAgainWhenTheSkinGoes) {
  LibHost = std::make_unique<TTestHost>(420, 220);
  auto* g = Create<TStringGrid>(LibHost->Control());
  Controls.push_back(g);
  g->SetParent(LibHost->Control());
  g->SetBounds(10, 10, 220, 160);
  g->SetRowCount(40);
  for (int r = 0; r < 8; ++r) g->SetCells(1, r, "Cell " + std::to_string(r));
  flush_events(40, 1000);
  const Capture plain = CaptureScreen(g->Handle());
  States.push_back(new TsCommonData(g, false));
  States.back()->SetSkinSection("EDIT");
  GridAdapters.push_back(Create<TacGridWnd>(g->Handle(), States.back(), nullptr, "EDIT", true));
  flush_events(40, 1000);
  const Capture shown = CaptureScreen(g->Handle());
  EXPECT_GT(DifferingPixels(plain, shown), 1000);
  EXPECT_EQ(0, DifferingPixels(shown, CaptureWMPrint(g->Handle())));
  Manager->SetActive(false);
  flush_events(40, 1000);
  EXPECT_EQ(bsSingle, g->BorderStyle());
  EXPECT_EQ(0, DifferingPixels(plain, CaptureScreen(g->Handle())));
}

}  // namespace
}  // namespace qvtest
