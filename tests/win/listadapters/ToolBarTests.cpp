// The tool bar adapters: every button of a standard tool bar drawn in the state TB_GETBUTTON gives
// it (and hot under the real pointer), flat and raised; the class library's tool bar painted
// through its custom-draw events, whose program handlers come back when the adapter leaves.
#include "tests/support/ListAdapterTestSupport.h"

#include "classlib/ComCtrls.h"

namespace qvtest {
namespace {

class ToolBar : public ListAdapterTest {
 protected:
  void FreeControls() override {
    if (Bar) Bar->Free();
    Bar = nullptr;
    if (Images) ImageList_Destroy(Images);
    Images = nullptr;
  }
  RECT ButtonOnScreen(HWND bar, int i) const {
    RECT r{};
    SendMessageA(bar, TB_GETITEMRECT, WPARAM(i), LPARAM(&r));
    MapWindowPoints(bar, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  COLORREF At(const RECT& r, int dx, int dy) const {
    return CaptureScreenRect(RECT{r.left + dx, r.top + dy, r.left + dx + 1, r.top + dy + 1}).Pixel(0, 0);
  }
  ::TToolBar* Bar = nullptr;
  HIMAGELIST Images = nullptr;
};

// Per channel: Bar - (Bar - Button) * 0.4.
bool NearBlend(COLORREF seen, COLORREF button, COLORREF bar) {
  for (int shift : {0, 8, 16}) {
    const int b = (button >> shift) & 0xFF, r = (bar >> shift) & 0xFF, s = (seen >> shift) & 0xFF;
    if (std::abs(s - (r - (r - b) * 0.4)) > 2) return false;
  }
  return true;
}

TEST_F(ToolBar, ButtonsDrawnInTheStatesTheBarReports) {
  constexpr COLORREF imageColor = 0x00C000;
  Images = ImageList_Create(16, 16, ILC_COLOR24, 1, 1);
  {
    HDC screen = GetDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 16, 16);
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, bmp);
    HBRUSH brush = CreateSolidBrush(imageColor);
    RECT all{0, 0, 16, 16};
    FillRect(mem, &all, brush);
    SelectObject(mem, old);
    ImageList_Add(Images, bmp, nullptr);
    DeleteObject(brush);
    DeleteDC(mem);
    DeleteObject(bmp);
    ReleaseDC(nullptr, screen);
  }
  const std::string longText(3000, 'x');
  struct {
    BYTE State, Style;
    int Image;
    const char* Text;
    int Expected;  // the frame's state; -1 the bar shows; 3 dimmed state 0
  } table[] = {{TBSTATE_ENABLED, BTNS_BUTTON, 0, "Zero", 0},
               {TBSTATE_ENABLED | TBSTATE_PRESSED, BTNS_BUTTON, -2, "Pressed", 2},
               {TBSTATE_ENABLED | TBSTATE_CHECKED, BTNS_CHECK, -2, "Checked", 2},
               {0, BTNS_BUTTON, -2, "Off", 3},
               {TBSTATE_ENABLED, BTNS_SEP, 8, nullptr, -1},
               {TBSTATE_ENABLED, BTNS_BUTTON, -2, longText.c_str(), 0},
               {TBSTATE_ENABLED, BTNS_BUTTON, -2, "Hot", 1}};
  const int count = int(std::size(table));
  for (bool flat : {false, true}) {
    SCOPED_TRACE(flat ? "flat" : "raised");
    HWND bar = Make(TOOLBARCLASSNAMEA, CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER | (flat ? TBSTYLE_FLAT : 0), 10,
                    10 + (flat ? 70 : 0), 520, 60, WS_EX_CLIENTEDGE);
    SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(bar, TB_SETIMAGELIST, 0, LPARAM(Images));
    std::vector<TBBUTTON> buttons;
    for (int i = 0; i < count; ++i)
      buttons.push_back(TBBUTTON{
          table[i].Image, 100 + i, table[i].State, table[i].Style, {}, 0, table[i].Text ? INT_PTR(table[i].Text) : -1});
    SendMessageA(bar, TB_ADDBUTTONSA, WPARAM(count), LPARAM(buttons.data()));
    SendMessageA(bar, TB_SETBUTTONSIZE, 0, MAKELONG(60, 44));
    auto* adapter = Create<TacToolBarWnd>(bar, nullptr, Manager, "TOOLBAR", true);
    const RECT hot = ButtonOnScreen(bar, count - 1);
    MouseTo((hot.left + hot.right) / 2, (hot.top + hot.bottom) / 2);
    EXPECT_EQ(bar, Manager->HotWindow());
    const COLORREF barColor = Frame("TOOLBAR", "BORDERSMASK", 0);
    for (int i = 0; i < count; ++i) {
      SCOPED_TRACE(i);
      const RECT r = ButtonOnScreen(bar, i);
      const COLORREF seen = At(r, 2, 2);
      const int expected = flat && (table[i].Expected == 0 || table[i].Expected == 3) ? -1 : table[i].Expected;
      if (expected == -1)
        EXPECT_EQ(barColor, seen);
      else if (expected == 3)
        EXPECT_TRUE(NearBlend(seen, Frame("TOOLBUTTON", "BORDERSMASK", 0), barColor)) << ColorText(seen);
      else
        EXPECT_EQ(Frame("TOOLBUTTON", "BORDERSMASK", expected), seen);
      // Image 0 is drawn; a long text stays inside its button.
      if (table[i].Image == 0) {
        EXPECT_GT(CaptureScreenRect(r).CountColor(imageColor), 100);
      }
    }
    // Leaving the bar takes the hot look away (the system tells the bar after its hover time).
    MouseTo(hot.left, hot.bottom + 80);
    const COLORREF left = flat ? barColor : Frame("TOOLBUTTON", "BORDERSMASK", 0);
    EXPECT_TRUE(pump_until([&] { return At(ButtonOnScreen(bar, count - 1), 2, 2) == left; }));
    adapter->Free();
    DestroyWindow(bar);
  }
}

int ProgramBarDraws = 0, ProgramButtonDraws = 0;

TEST_F(ToolBar, LibraryBarPaintsThroughItsEventsAndGivesThemBack) {
  LibHost = std::make_unique<TTestHost>(420, 160);
  Bar = Create<::TToolBar>(LibHost->Control());
  Bar->SetParent(LibHost->Control());
  Bar->SetAlign(alNone);
  Bar->SetBounds(10, 10, 360, 40);
  Bar->SetFlat(false);
  Bar->SetShowCaptions(true);
  for (int i = 0; i < 4; ++i) {
    auto* b = Create<TToolButton>(LibHost->Control());
    b->SetCaption("B" + std::to_string(i));
    b->SetStyle(i == 1 ? tbsCheck : tbsButton);
    b->SetParent(Bar);
    if (i == 1) b->SetDown(true);
    if (i == 2) b->SetEnabled(false);
  }
  const TTBAdvancedCustomDrawEvent barDraw(
      &ProgramBarDraws, [](void* n, ::TToolBar*, const TRect&, TCustomDrawStage, bool&) { ++*static_cast<int*>(n); });
  const TTBAdvancedCustomDrawBtnEvent buttonDraw(
      &ProgramButtonDraws, [](void* n, ::TToolBar*, TToolButton*, TCustomDrawState, TCustomDrawStage,
                              TTBCustomDrawFlags&, bool&) { ++*static_cast<int*>(n); });
  Bar->OnAdvancedCustomDraw = barDraw;
  Bar->OnAdvancedCustomDrawButton = buttonDraw;
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    Data = new TsCommonData(Bar, false);
    Data->SetSkinSection("TOOLBAR");
    Adapter = Create<TacToolBarVCLWnd>(Bar->Handle(), Data, nullptr, "TOOLBAR", true);
    flush_events(60, 1000);
    EXPECT_FALSE(Bar->OnAdvancedCustomDraw == barDraw);
    const HWND wnd = Bar->Handle();
    // The bar's section without its border filling the middle.
    const COLORREF barColor = SectionColor("TOOLBAR");
    const int expected[] = {0, 2, 3, 1};
    const RECT hot = ButtonOnScreen(wnd, 3);
    MouseTo((hot.left + hot.right) / 2, (hot.top + hot.bottom) / 2);
    for (int i = 0; i < 4; ++i) {
      const COLORREF seen = At(ButtonOnScreen(wnd, i), 2, 2);
      if (expected[i] == 3)
        EXPECT_TRUE(NearBlend(seen, Frame("TOOLBUTTON", "BORDERSMASK", 0), barColor)) << i << " " << ColorText(seen);
      else
        EXPECT_EQ(Frame("TOOLBUTTON", "BORDERSMASK", expected[i]), seen) << i;
    }
    MouseTo(hot.left, hot.bottom + 60);
    EXPECT_TRUE(pump_until([&] { return At(ButtonOnScreen(wnd, 3), 2, 2) == Frame("TOOLBUTTON", "BORDERSMASK", 0); }));
    EXPECT_EQ(0, ProgramBarDraws + ProgramButtonDraws);
    // Round 0: the adapter is freed; round 1: the bar makes a new window, which the adapter leaves.
    if (round == 0)
      FreeAndNil(Adapter);
    else
      Bar->SetShowCaptions(false);
    EXPECT_TRUE(Bar->OnAdvancedCustomDraw == barDraw);
    EXPECT_TRUE(Bar->OnAdvancedCustomDrawButton == buttonDraw);
    FreeAndNil(Adapter);
    delete Data;
    Data = nullptr;
  }
}

// A drop-down button shows its arrow on a flat bar as on a raised one, normal or hot.
TEST_F(ToolBar, DropDownArrowShownOnFlatAndRaisedBars) {
  LibHost = std::make_unique<TTestHost>(420, 160);
  Bar = Create<::TToolBar>(LibHost->Control());
  Bar->SetParent(LibHost->Control());
  Bar->SetAlign(alNone);
  Bar->SetBounds(10, 10, 360, 40);
  Bar->SetShowCaptions(true);
  for (int i = 0; i < 2; ++i) {
    auto* b = Create<TToolButton>(LibHost->Control());
    b->SetCaption("B" + std::to_string(i));
    b->SetStyle(i == 0 ? tbsDropDown : tbsButton);
    b->SetParent(Bar);
  }
  const COLORREF arrow = Frame("SCROLLBTNBOTTOM", "GLYPHMASK", 0), hotArrow = Frame("SCROLLBTNBOTTOM", "GLYPHMASK", 1);
  for (bool flat : {true, false}) {
    // (The bar makes its window again as it turns flat or raised: the adapter comes after.)
    Bar->SetFlat(flat);
    Data = new TsCommonData(Bar, false);
    Data->SetSkinSection("TOOLBAR");
    Adapter = Create<TacToolBarVCLWnd>(Bar->Handle(), Data, nullptr, "TOOLBAR", true);
    flush_events(40, 1000);
    const HWND wnd = Bar->Handle();
    const RECT r = ButtonOnScreen(wnd, 0);
    EXPECT_GT(CaptureScreenRect(r).CountColor(arrow), 10) << flat;
    MouseTo((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    EXPECT_TRUE(pump_until([&] { return CaptureScreenRect(ButtonOnScreen(wnd, 0)).CountColor(hotArrow) > 10; }))
        << flat;
    MouseTo(r.left, r.bottom + 60);
    FreeAndNil(Adapter);
    delete Data;
    Data = nullptr;
  }
}

}  // namespace
}  // namespace qvtest
