// Button adapters on buttons made as a dialog makes them: push buttons in each state, check boxes
// and radio buttons with the glyph of their kind and state, group boxes, bitmap buttons; a hidden
// button stays hidden; hover and press with real input, read back from the screen.
#include "tests/support/AdapterTestSupport.h"

#include "classlib/Buttons.h"
#include "tests/support/MessageSpy.h"

namespace qvtest {
namespace {

class ButtonAdapters : public AdapterTest {
 protected:
  void SetUp() override {
    AdapterTest::SetUp();
    Dialog = Track(CreatePlainWindow(nullptr, 0, 40, 40, 460, 360));
  }
  HWND Dialog = nullptr;
};

// Channel by channel within 2 of 40 % of a and 60 % of b.
bool IsBlend(COLORREF c, COLORREF a, COLORREF b) {
  auto close = [](int got, int x, int y) { return std::abs(got - (x * 4 + y * 6) / 10) <= 2; };
  return close(GetRValue(c), GetRValue(a), GetRValue(b)) && close(GetGValue(c), GetGValue(a), GetGValue(b)) &&
         close(GetBValue(c), GetBValue(a), GetBValue(b));
}

struct TPushCase {
  const char* Name;
  DWORD Style;
  int State;  // the frame shown; -1: disabled
  std::function<void(HWND)> Make;
};

TEST_F(ButtonAdapters, PushButtonShowsTheFrameOfItsState) {
  const TPushCase cases[] = {
      {"normal", BS_PUSHBUTTON, 0, nullptr},
      {"default", BS_DEFPUSHBUTTON, 1, nullptr},
      {"owner-drawn is no default", BS_OWNERDRAW, 0, nullptr},
      {"focused", BS_PUSHBUTTON, 1, [](HWND w) { SetFocus(w); }},
      {"hot", BS_PUSHBUTTON, 1, [](HWND w) { DefaultManager->SetHotWindow(w); }},
      {"pushed", BS_PUSHBUTTON, 2, [](HWND w) { SendMessageA(w, BM_SETSTATE, TRUE, 0); }},
      {"disabled", BS_PUSHBUTTON | WS_DISABLED, -1, nullptr},
  };
  for (const TPushCase& c : cases) {
    SCOPED_TRACE(c.Name);
    HWND wnd = CreateControl(Dialog, "BUTTON", "Button", c.Style, 20, 20, 120, 32);
    TacMainWnd* a = MakeAdapter<TacBtnWnd>(wnd, nullptr, Manager, "BUTTON", true);
    if (c.Make) c.Make(wnd);
    flush_events(20, 500);
    const Capture shot = SettledScreen(wnd);
    const COLORREF top = shot.Pixel(60, 0);
    if (c.State >= 0) {
      EXPECT_EQ(Frame("BUTTON", "BORDERSMASK", c.State), top) << ColorText(top);
      EXPECT_GT(shot.CountColor(Ink("BUTTON", c.State != 0)), 0) << "caption in the state's font colour";
    } else {
      // 40 % of the button over the colour behind it (the parent's window class background).
      EXPECT_TRUE(IsBlend(top, Frame("BUTTON", "BORDERSMASK", 0), GetSysColor(COLOR_WINDOW))) << ColorText(top);
    }
    EXPECT_EQ(0, DifferingPixels(shot, CaptureWMPrint(wnd)));
    DefaultManager->SetHotWindow(nullptr);
    a->Free();
    DestroyWindow(wnd);
  }
}

TEST_F(ButtonAdapters, HiddenButtonStaysHidden) {
  for (TacAdapterMaker make : {&MakeAdapter<TacBtnWnd>, &MakeAdapter<TacCheckBoxWnd>, &MakeAdapter<TacGroupBoxWnd>}) {
    HWND wnd = CreateWindowExA(0, "BUTTON", "Hidden", WS_CHILD | BS_AUTOCHECKBOX, 10, 10, 100, 24, Dialog, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    TacMainWnd* a = make(wnd, nullptr, Manager, "BUTTON", true);
    for (UINT msg : std::initializer_list<UINT>{WM_SETFOCUS, WM_KILLFOCUS, BM_SETSTATE, BM_SETCHECK, WM_ENABLE}) {
      SendMessageA(wnd, msg, 1, 0);
      EXPECT_FALSE(GetWindowLongPtrA(wnd, GWL_STYLE) & WS_VISIBLE) << a->ClassName() << " " << MessageName(msg);
    }
    SetWindowTextA(wnd, "Still hidden");
    EXPECT_FALSE(IsWindowVisible(wnd));
    a->Free();
    DestroyWindow(wnd);
  }
}

struct TCheckCase {
  const char* Name;
  DWORD Style;
  WPARAM Check;
  const char* Mask;
  int GlyphState;
  std::function<void(HWND)> Make;
  bool Hot = false;  // the caption in the hot font colour
};

TEST_F(ButtonAdapters, CheckBoxShowsTheGlyphOfItsKindAndState) {
  const TCheckCase cases[] = {
      {"unchecked", BS_AUTOCHECKBOX, BST_UNCHECKED, "BOXUNCHECKED", 0, nullptr},
      {"checked", BS_CHECKBOX, BST_CHECKED, "BOXCHECKED", 0, nullptr},
      {"three states", BS_AUTO3STATE, BST_INDETERMINATE, "BOXGRAYED", 0, nullptr},
      {"radio", BS_RADIOBUTTON, BST_CHECKED, "RADIOCHECKED", 0, nullptr},
      {"auto radio", BS_AUTORADIOBUTTON, BST_CHECKED, "RADIOCHECKED", 0, nullptr},
      {"auto radio off", BS_AUTORADIOBUTTON, BST_UNCHECKED, "RADIOUNCHECKED", 0, nullptr},
      {"text left", BS_AUTOCHECKBOX | BS_LEFTTEXT, BST_CHECKED, "BOXCHECKED", 0, nullptr},
      {"pushed", BS_AUTOCHECKBOX, BST_CHECKED, "BOXCHECKED", 2, [](HWND w) { SendMessageA(w, BM_SETSTATE, TRUE, 0); }},
      {"focused", BS_AUTOCHECKBOX, BST_UNCHECKED, "BOXUNCHECKED", 1, [](HWND w) { SetFocus(w); }, true},
  };
  for (const TCheckCase& c : cases) {
    SCOPED_TRACE(c.Name);
    HWND wnd = CreateControl(Dialog, "BUTTON", "Choice", c.Style, 20, 20, 140, 25);
    SendMessageA(wnd, BM_SETCHECK, c.Check, 0);
    TacMainWnd* a = MakeAdapter<TacCheckBoxWnd>(wnd, nullptr, Manager, "CHECKBOX", true);
    if (c.Make) c.Make(wnd);
    flush_events(20, 500);
    const Capture shot = SettledScreen(wnd);
    // The 13-pixel glyph, centred vertically, at the left (the right with BS_LEFTTEXT).
    const bool right = (c.Style & BS_LEFTTEXT) != 0;
    const int gx = right ? 140 - 13 : 0, gy = (25 - 13) / 2;
    EXPECT_EQ(Frame("GLOBALINFO", c.Mask, c.GlyphState), shot.Pixel(gx + 6, gy + 6));
    // The caption beside the glyph: from x = 2 with BS_LEFTTEXT, past the glyph without.
    const RECT textSide = right ? RECT{0, 0, 40, 25} : RECT{15, 0, 60, 25};
    EXPECT_GT(shot.CountColor(Ink("CHECKBOX", c.Hot), textSide), 0);
    EXPECT_EQ(0, DifferingPixels(shot, CaptureWMPrint(wnd)));
    a->Free();
    DestroyWindow(wnd);
  }
}

TEST_F(ButtonAdapters, GroupBoxFrameStartsAtTheMiddleOfItsCaption) {
  for (const char* caption : {"Options", ""}) {
    SCOPED_TRACE(caption);
    HWND wnd = CreateControl(Dialog, "BUTTON", caption, BS_GROUPBOX, 20, 20, 200, 120);
    // A control that lies on the box keeps its look.
    HWND inside = CreateControl(Dialog, "STATIC", "", SS_BLACKRECT, 60, 60, 30, 30);
    const COLORREF insideLook = SettledScreen(inside).Pixel(15, 15);
    TacMainWnd* a = MakeAdapter<TacGroupBoxWnd>(wnd, nullptr, Manager, "GROUPBOX", true);
    flush_events(20, 500);
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    flush_events(20, 500);
    const Capture shot = SettledScreen(wnd);
    HDC hdc = GetDC(wnd);
    SelectObject(hdc, GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICA tm{};
    GetTextMetricsA(hdc, &tm);
    ReleaseDC(wnd, hdc);
    const int band = *caption ? std::max<int>(4, tm.tmHeight) + 2 : 4;
    const COLORREF frame = Frame("GROUPBOX", "BORDERSMASK");
    EXPECT_EQ(COLORREF(GetSysColor(COLOR_WINDOW)), shot.Pixel(100, band / 2 - 1)) << "above the frame";
    EXPECT_EQ(frame, shot.Pixel(100, band / 2)) << "the frame's top edge";
    EXPECT_EQ(frame, shot.Pixel(100, 119));
    EXPECT_EQ(*caption != 0, shot.CountColor(Ink("GROUPBOX"), RECT{6, 0, 80, band}) > 0);
    EXPECT_EQ(insideLook, shot.Pixel(60 - 20 + 15, 60 - 20 + 15)) << "the control on the box";
    EXPECT_EQ(band, SendSkinCommand(wnd, QC_GETSKINMANAGER));
    a->Free();
    DestroyWindow(inside);
    DestroyWindow(wnd);
  }
}

TEST_F(ButtonAdapters, BitmapButtonsDrawTheirGlyphAsTheyAreAndLeaveItSo) {
  // A button window with a bitmap whose dimension field was never set: the glyph's size is the
  // bitmap's own.
  HDC screen = GetDC(nullptr);
  HBITMAP image = CreateCompatibleBitmap(screen, 16, 16);
  {
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, image);
    RECT r{0, 0, 16, 16};
    HBRUSH red = CreateSolidBrush(RGB(200, 0, 0));
    FillRect(mem, &r, red);
    DeleteObject(red);
    SelectObject(mem, old);
    DeleteDC(mem);
  }
  ReleaseDC(nullptr, screen);
  HWND wnd = CreateControl(Dialog, "BUTTON", "", BS_PUSHBUTTON | BS_BITMAP, 20, 20, 80, 40);
  SendMessageA(wnd, BM_SETIMAGE, IMAGE_BITMAP, LPARAM(image));
  auto* a = Create<TacBitBtnWnd>(wnd, nullptr, Manager, "BUTTON", true);
  EXPECT_EQ(16, a->GlyphSize().cx);
  const Capture shot = CaptureWMPrint(wnd);
  EXPECT_EQ(COLORREF(RGB(200, 0, 0)), shot.Pixel(40, 20));
  a->Free();

  // A bitmap button of the class library: the frame of its state, its glyph left as it was.
  TTestHost host(300, 120);
  auto* btn = Create<TBitBtn>(host.Control());
  btn->SetParent(host.Control());
  btn->SetBounds(10, 10, 120, 40);
  btn->SetCaption("Go");
  TBitmap glyph;
  glyph.SetPixelFormat(pf32bit);
  glyph.SetSize(32, 16);
  glyph.Canvas()->Brush()->SetColor(clOlive);
  glyph.Canvas()->FillRect(Rect(0, 0, 32, 16));
  glyph.Canvas()->Brush()->SetColor(clBlue);
  glyph.Canvas()->FillRect(Rect(2, 2, 14, 14));
  glyph.Canvas()->Brush()->SetColor(clLime);
  glyph.Canvas()->FillRect(Rect(18, 2, 30, 14));
  btn->SetGlyph(&glyph);
  btn->SetNumGlyphs(2);
  TsCommonData sd(btn, true);
  sd.SetSkinSection("BUTTON");
  auto* b = Create<TacBitBtnWnd>(btn->Handle(), &sd, Manager, "BUTTON", true);
  const TPixelFormat before = btn->Glyph()->PixelFormat();
  auto glyphColours = [&] {
    const Capture c = CaptureWMPrint(btn->Handle());
    return std::pair{c.CountColor(ColorToRGB(clBlue)), c.CountColor(ColorToRGB(clLime))};
  };
  EXPECT_GT(glyphColours().first, 0);
  EXPECT_EQ(0, glyphColours().second);
  // Pushed, a glyph of two frames (up, disabled) shows its first.
  SendMessageA(btn->Handle(), BM_SETSTATE, TRUE, 0);
  EXPECT_GT(glyphColours().first, 0);
  SendMessageA(btn->Handle(), BM_SETSTATE, FALSE, 0);
  EXPECT_EQ(before, btn->Glyph()->PixelFormat()) << "the owner's glyph is not converted";
  b->Free();
  btn->Free();
  DeleteObject(image);
}

TEST_F(ButtonAdapters, HoverAndPressWithTheMouse) {
  HWND wnd = CreateControl(Dialog, "BUTTON", "Press", BS_PUSHBUTTON, 40, 40, 120, 40);
  HWND check = CreateControl(Dialog, "BUTTON", "Check", BS_AUTOCHECKBOX, 40, 120, 120, 25);
  TacMainWnd* a = MakeAdapter<TacBtnWnd>(wnd, nullptr, Manager, "BUTTON", true);
  TacMainWnd* b = MakeAdapter<TacCheckBoxWnd>(check, nullptr, Manager, "CHECKBOX", true);
  RECT r{}, rc{};
  GetWindowRect(wnd, &r);
  GetWindowRect(check, &rc);
  auto top = [&] { return SettledScreen(wnd).Pixel(60, 0); };
  const COLORREF normal = Frame("BUTTON", "BORDERSMASK", 0), hot = Frame("BUTTON", "BORDERSMASK", 1),
                 pressed = Frame("BUTTON", "BORDERSMASK", 2);
  EXPECT_EQ(normal, top());
  MouseTo(r.left + 60, r.top + 20);
  EXPECT_EQ(hot, top());
  LeftButton(true);
  EXPECT_EQ(pressed, top());
  // Dragged off while held: no longer pressed (hot as the focused button); back on: pressed again.
  MouseTo(r.left + 60, r.top - 20);
  EXPECT_EQ(hot, top());
  EXPECT_EQ(0, SendMessageA(wnd, BM_GETSTATE, 0, 0) & BST_PUSHED);
  MouseTo(r.left + 60, r.top + 20);
  EXPECT_EQ(pressed, top());
  LeftButton(false);
  EXPECT_EQ(hot, top());
  // Without the focus the button stays hot while the pointer is on it, and gives the hot look up
  // when the pointer leaves for the plain parent.
  SetFocus(Dialog);
  EXPECT_EQ(hot, top());
  MouseTo(r.left + 60, r.top - 20);
  // The system tells the window that the pointer left within its hover time.
  EXPECT_TRUE(pump_until([&] { return DefaultManager->HotWindow() != wnd; }));
  EXPECT_EQ(normal, top());
  // A click on the check box checks it, and the skin shows the checked glyph.
  MouseTo(rc.left + 6, rc.top + 12);
  LeftButton(true);
  LeftButton(false);
  EXPECT_EQ(BST_CHECKED, SendMessageA(check, BM_GETCHECK, 0, 0));
  EXPECT_EQ(Frame("GLOBALINFO", "BOXCHECKED", 1), SettledScreen(check).Pixel(6, 12));
  a->Free();
  b->Free();
}

}  // namespace
}  // namespace qvtest
