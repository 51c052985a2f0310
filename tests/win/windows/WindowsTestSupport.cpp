#include "tests/win/windows/WindowsTestSupport.h"

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
