// The status bar adapter: panel frames or dividers as the skin has them, texts of any length cut
// to their panels, the simple mode, and owner-drawn panels of the class library's bar.
#include "tests/support/ListAdapterTestSupport.h"

#include "classlib/ComCtrls.h"

namespace qvtest {
namespace {

class StatusBar : public ListAdapterTest {
 protected:
  void FreeControls() override {
    if (Bar) Bar->Free();
    Bar = nullptr;
  }
  RECT PartOnScreen(HWND bar, int i) const {
    RECT r{};
    SendMessageA(bar, SB_GETRECT, WPARAM(i), LPARAM(&r));
    MapWindowPoints(bar, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  TStatusBar* Bar = nullptr;
};

TEST_F(StatusBar, PanelsFramedOrDividedAsTheSkinSays) {
  struct {
    const char* Name;
    bool Mask, Divider;
    TSkinBuilder Skin;
  } skins[] = {{"Masked", true, true, TSkinBuilder::Standard()},
               {"Divided", false, true, TSkinBuilder::Standard()},
               {"Bare", false, false, TSkinBuilder::Standard()},
               // The bar's section is the skin's first one (index 0).
               {"First", true, false, TSkinBuilder()}};
  for (auto& skin : skins) {
    TSkinBuilder& b = skin.Skin;
    if (!skin.Mask) b.RemoveMask("STATUSBAR", "STATUSPANELMASK");
    if (!skin.Divider) b.RemoveSection("DIVIDER");
    if (std::string(skin.Name) == "First") {
      b.Mask("STATUSBAR", "BORDERSMASK", 9, 9, 2);
      b.Mask("STATUSBAR", "STATUSPANELMASK", 9, 9, 1);
      b.Section("GLOBALINFO");
    }
    Manager->AddInternalSkin(skin.Name, b.Packed());
  }
  HWND bar = Make(STATUSCLASSNAMEA, CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER, 10, 10, 420, 24);
  const int edges[] = {140, 280, -1};
  SendMessageA(bar, SB_SETPARTS, 3, LPARAM(edges));
  Adapter = Create<TacStatusBarWnd>(bar, nullptr, Manager, "STATUSBAR", true);
  for (const auto& skin : skins) {
    for (bool simple : {false, true}) {
      SCOPED_TRACE(std::string(skin.Name) + (simple ? " simple" : " parts"));
      Manager->SetSkinName(skin.Name);
      ASSERT_TRUE(Manager->SkinData()->Active);
      if (std::string(skin.Name) == "First") ASSERT_EQ(0, Manager->SectionIndexOf("STATUSBAR"));
      SendMessageA(bar, SB_SIMPLE, simple, 0);
      flush_events(40, 1000);
      const Capture c = CaptureScreen(bar);
      RECT wr{};
      GetWindowRect(bar, &wr);
      auto at = [&](int screenX, int y) { return c.Pixel(screenX - wr.left, y); };
      const COLORREF panel = TSkinBuilder::FrameColor(skin.Skin.MaskOrdinal("STATUSBAR", "STATUSPANELMASK"), 0),
                     divider = Frame("DIVIDER", "BORDERSMASK", 0);
      const int mid = c.Height() / 2;
      for (int i = 0; i < 3; ++i) {
        const RECT r = PartOnScreen(bar, i);
        const bool last = i == 2;
        if (skin.Mask) {
          EXPECT_EQ(panel, at(simple ? wr.left + 2 : r.left + 2, mid)) << i;
        } else {
          EXPECT_EQ(!simple && skin.Divider && !last, at(r.right - 3, mid) == divider) << i;
          EXPECT_EQ(0, c.CountColor(panel));
        }
      }
    }
  }
}

TEST_F(StatusBar, TextsOfAnyLengthStayInTheirPanels) {
  HWND bar = Make(STATUSCLASSNAMEA, CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER, 10, 10, 420, 24);
  const int edges[] = {140, -1};
  SendMessageA(bar, SB_SETPARTS, 2, LPARAM(edges));
  Adapter = Create<TacStatusBarWnd>(bar, nullptr, Manager, "STATUSBAR", true);
  const COLORREF ink = SectionColor("STATUSBAR", "FONTCOLOR");
  for (std::size_t length : {std::size_t(1), std::size_t(8), std::size_t(300), std::size_t(5000)}) {
    SCOPED_TRACE(length);
    const std::string text(length, 'W');
    SendMessageA(bar, SB_SETTEXTA, 0, LPARAM(text.c_str()));
    SendMessageA(bar, SB_SETTEXTA, 1, LPARAM(""));
    auto* a = static_cast<TacStatusBarWnd*>(Adapter);
    EXPECT_EQ(text, a->PartText(0));
    flush_events(40, 1000);
    const RECT first = PartOnScreen(bar, 0), second = PartOnScreen(bar, 1);
    EXPECT_GT(CaptureScreenRect(first).CountColor(ink), 10);
    EXPECT_EQ(0, CaptureScreenRect(second).CountColor(ink));
  }
  // Centred and right-aligned texts (a tab or two before them) lose their tabs.
  SendMessageA(bar, SB_SETTEXTA, 1, LPARAM("\t\tRight"));
  EXPECT_EQ("\t\tRight", static_cast<TacStatusBarWnd*>(Adapter)->PartText(1));
  flush_events(40, 1000);
  const RECT second = PartOnScreen(bar, 1);
  const RECT rightHalf{(second.left + second.right) / 2, second.top, second.right, second.bottom};
  EXPECT_GT(CaptureScreenRect(rightHalf).CountColor(ink), 10);
}

TEST_F(StatusBar, OwnerDrawnPanelsOfTheLibraryBarDrawIntoTheSkin) {
  LibHost = std::make_unique<TTestHost>(440, 120);
  Bar = Create<TStatusBar>(LibHost->Control());
  Bar->SetParent(LibHost->Control());
  Bar->SetAlign(alNone);
  Bar->SetBounds(10, 10, 400, 24);
  for (int i = 0; i < 2; ++i) {
    TStatusPanel* p = Bar->Panels()->Add();
    p->SetWidth(150);
    p->SetText("Panel");
    if (i == 1) p->SetStyle(psOwnerDraw);
  }
  Bar->OnDrawPanel = TDrawPanelEvent(nullptr, [](void*, TStatusBar* sb, TStatusPanel*, const TRect& r) {
    sb->Canvas()->Brush()->SetColor(TColor(0x0000FE));
    sb->Canvas()->FillRect(r);
  });
  Data = new TsCommonData(Bar, false);
  Data->SetSkinSection("STATUSBAR");
  Adapter = Create<TacStatusBarWnd>(Bar->Handle(), Data, nullptr, "STATUSBAR", true);
  flush_events(40, 1000);
  const RECT r = PartOnScreen(Bar->Handle(), 1);
  const Capture c = CaptureScreenRect(r);
  EXPECT_GT(c.CountColor(0x0000FE), (r.right - r.left - 8) * (r.bottom - r.top - 8));
  EXPECT_EQ(Frame("STATUSBAR", "STATUSPANELMASK", 0), c.Pixel(1, c.Height() / 2));
  EXPECT_GT(CaptureScreenRect(PartOnScreen(Bar->Handle(), 0)).CountColor(SectionColor("STATUSBAR", "FONTCOLOR")), 10);
}

}  // namespace
}  // namespace qvtest
