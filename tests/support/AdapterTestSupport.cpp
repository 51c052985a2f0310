#include "tests/support/AdapterTestSupport.h"

#include <cstdio>

namespace qvtest {

TPlainLog PlainLog;

int TPlainLog::Count(UINT msg) const {
  int n = 0;
  for (const auto& m : Messages) n += m.Msg == msg;
  return n;
}

int TPlainLog::CountCommand(int command) const {
  int n = 0;
  for (const auto& m : Messages) n += m.Msg == SM_QUORVEXCMD && HiWord(m.WParam) == command;
  return n;
}

int TPlainLog::CountCommand(int command, HWND wnd, const TsSkinManager* manager) const {
  int n = 0;
  for (const auto& m : Messages)
    n += m.Msg == SM_QUORVEXCMD && HiWord(m.WParam) == command && m.Wnd == wnd &&
         m.LParam == reinterpret_cast<LPARAM>(manager);
  return n;
}

LRESULT CALLBACK PlainProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  PlainLog.Messages.push_back(TRecorded{msg, wParam, lParam, wnd});
  if (PlainLog.OnMessage) PlainLog.OnMessage(wnd, msg, wParam, lParam);
  return DefWindowProcA(wnd, msg, wParam, lParam);
}

HWND CreatePlainWindow(HWND parent, DWORD style, int x, int y, int w, int h, DWORD exStyle) {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = PlainProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = HBRUSH(COLOR_WINDOW + 1);
    wc.lpszClassName = "QvAdpPlain";
    RegisterClassA(&wc);
    registered = true;
  }
  const DWORD base = parent ? WS_CHILD | WS_VISIBLE : WS_OVERLAPPEDWINDOW | WS_VISIBLE;
  HWND wnd = CreateWindowExA(exStyle, "QvAdpPlain", "Plain", base | style, x, y, w, h, parent, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
  flush_events(30, 1000);
  return wnd;
}

HWND CreateControl(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w, int h,
                   DWORD exStyle) {
  HWND wnd = CreateWindowExA(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
  SendMessageA(wnd, WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
  flush_events(20, 500);
  return wnd;
}

TWindowState WindowStateOf(HWND wnd) {
  TWindowState s;
  s.Proc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(wnd, GWLP_WNDPROC));
  s.Style = GetWindowLongPtrA(wnd, GWL_STYLE);
  s.ExStyle = GetWindowLongPtrA(wnd, GWL_EXSTYLE);
  char text[256] = {};
  GetWindowTextA(wnd, text, sizeof text);
  s.Text = text;
  GetWindowRect(wnd, &s.Rect);
  char cls[64] = {};
  GetClassNameA(wnd, cls, sizeof cls);
  if (lstrcmpiA(cls, "Button") == 0) {
    s.Check = SendMessageA(wnd, BM_GETSTATE, 0, 0);
    s.Image = SendMessageA(wnd, BM_GETIMAGE, IMAGE_BITMAP, 0);
  } else if (lstrcmpiA(cls, "Static") == 0) {
    s.Image = SendMessageA(wnd, STM_GETICON, 0, 0);
  } else if (lstrcmpiA(cls, "ComboBox") == 0) {
    s.Check = SendMessageA(wnd, CB_GETCURSEL, 0, 0);
  }
  s.Prop = GetPropA(wnd, AdapterPropName);
  return s;
}

std::string Describe(const TWindowState& s) {
  char b[256];
  snprintf(b, sizeof b, "proc %p style %lx ex %lx state %ld image %ld prop %p rect %ld,%ld,%ld,%ld text \"%s\"",
           reinterpret_cast<void*>(s.Proc), long(s.Style), long(s.ExStyle), long(s.Check), long(s.Image), s.Prop,
           s.Rect.left, s.Rect.top, s.Rect.right, s.Rect.bottom, s.Text.c_str());
  return b;
}

void ResetScrollState() {
  if (GetCapture()) ReleaseCapture();
  SetCursorPos(0, 0);
  flush_events(20, 500);
  ScrollState = TacScrollState{};
  SharedCacheInfo = TsCacheInfo{};
  SharedParentColor = clParentColorUnset;
  HookAttaching = false;
  AdapterItemsClearing = false;
  IsContainerClass = nullptr;
}

void Settle() { flush_events(60, 400); }

void MouseTo(int x, int y) {
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  INPUT in{};
  in.type = INPUT_MOUSE;
  // Absolute coordinates run from 0 to 65535 over the screen: the middle of the pixel.
  in.mi.dx = LONG((x * 65536LL + 32768) / w);
  in.mi.dy = LONG((y * 65536LL + 32768) / h);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
  EXPECT_TRUE(pump_until([&] {
    POINT now{};
    GetCursorPos(&now);
    return now.x == x && now.y == y;
  })) << "cursor at "
      << x << "," << y;
  Settle();
}

void LeftButton(bool down) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  SendInput(1, &in, sizeof in);
  EXPECT_TRUE(pump_until([&] { return ((GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0) == down; }));
  Settle();
}

Capture SettledScreen(HWND wnd) {
  Capture last = CaptureScreen(wnd);
  const DWORD start = GetTickCount();
  for (;;) {
    flush_events(30, 300);
    Capture now = CaptureScreen(wnd);
    if (DifferingPixels(now, last) == 0 || GetTickCount() - start > 2000) return now;
    last = std::move(now);
  }
}

int BarPixelsNotSkinned(HWND wnd, TacScrollWnd* adapter) {
  RECT wr{};
  GetWindowRect(wnd, &wr);
  const Capture screen = CaptureScreen(wnd);
  const Capture print = CaptureWMPrint(wnd);
  TRect h, v;
  GetHorzBarRect(adapter, wnd, h);
  GetVertBarRect(adapter, wnd, v);
  int differ = 0;
  for (const TRect& r : {h, v}) {
    if ((&r == &h ? !adapter->HorzBar->ScrollVisible : !adapter->VertBar->ScrollVisible) || r.IsEmpty()) continue;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x)
        differ += screen.Pixel(x - wr.left, y - wr.top) != print.Pixel(x - wr.left, y - wr.top);
  }
  return differ;
}

COLORREF AdapterTest::Ink(const char* section, bool hot) const {
  const TsGeneralData& gd = Manager->Section(Manager->SectionIndexOf(section));
  return COLORREF(hot ? gd.HotFontColor.Text() : gd.FontColor.Text());
}

void AdapterTest::SetUp() {
  ResetScrollState();
  PlainLog = TPlainLog{};
  Manager = CreateTestManager(Builder);
  ASSERT_TRUE(Manager->SkinData()->Active) << Manager->LastError();
}

void AdapterTest::TearDown() {
  PlainLog.OnMessage = nullptr;
  for (auto it = Windows.rbegin(); it != Windows.rend(); ++it)
    if (IsWindow(*it)) DestroyWindow(*it);
  Windows.clear();
  flush_events(30, 1000);
  FreeAndNil(Manager);
  ResetScrollState();
  PlainLog = TPlainLog{};
}

}  // namespace qvtest
