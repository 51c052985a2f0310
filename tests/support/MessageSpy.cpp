#include "tests/support/MessageSpy.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace qvtest {
namespace {

const char kSpyProp[] = "QvTestSpy";
MessageSpy* gHookOwner = nullptr;

struct NamedMsg {
  UINT Msg;
  const char* Name;
};

const NamedMsg kNames[] = {
    {WM_CREATE, "WM_CREATE"},
    {WM_DESTROY, "WM_DESTROY"},
    {WM_MOVE, "WM_MOVE"},
    {WM_SIZE, "WM_SIZE"},
    {WM_ACTIVATE, "WM_ACTIVATE"},
    {WM_SETFOCUS, "WM_SETFOCUS"},
    {WM_KILLFOCUS, "WM_KILLFOCUS"},
    {WM_ENABLE, "WM_ENABLE"},
    {WM_SETREDRAW, "WM_SETREDRAW"},
    {WM_SETTEXT, "WM_SETTEXT"},
    {WM_GETTEXT, "WM_GETTEXT"},
    {WM_GETTEXTLENGTH, "WM_GETTEXTLENGTH"},
    {WM_PAINT, "WM_PAINT"},
    {WM_CLOSE, "WM_CLOSE"},
    {WM_ERASEBKGND, "WM_ERASEBKGND"},
    {WM_SHOWWINDOW, "WM_SHOWWINDOW"},
    {WM_ACTIVATEAPP, "WM_ACTIVATEAPP"},
    {WM_SETCURSOR, "WM_SETCURSOR"},
    {WM_MOUSEACTIVATE, "WM_MOUSEACTIVATE"},
    {WM_GETMINMAXINFO, "WM_GETMINMAXINFO"},
    {WM_DRAWITEM, "WM_DRAWITEM"},
    {WM_MEASUREITEM, "WM_MEASUREITEM"},
    {WM_SETFONT, "WM_SETFONT"},
    {WM_GETFONT, "WM_GETFONT"},
    {WM_WINDOWPOSCHANGING, "WM_WINDOWPOSCHANGING"},
    {WM_WINDOWPOSCHANGED, "WM_WINDOWPOSCHANGED"},
    {WM_NOTIFY, "WM_NOTIFY"},
    {WM_GETICON, "WM_GETICON"},
    {WM_NCCREATE, "WM_NCCREATE"},
    {WM_NCDESTROY, "WM_NCDESTROY"},
    {WM_NCCALCSIZE, "WM_NCCALCSIZE"},
    {WM_NCHITTEST, "WM_NCHITTEST"},
    {WM_NCPAINT, "WM_NCPAINT"},
    {WM_NCACTIVATE, "WM_NCACTIVATE"},
    {WM_NCMOUSEMOVE, "WM_NCMOUSEMOVE"},
    {WM_NCLBUTTONDOWN, "WM_NCLBUTTONDOWN"},
    {WM_NCLBUTTONUP, "WM_NCLBUTTONUP"},
    {WM_KEYDOWN, "WM_KEYDOWN"},
    {WM_KEYUP, "WM_KEYUP"},
    {WM_CHAR, "WM_CHAR"},
    {WM_SYSKEYDOWN, "WM_SYSKEYDOWN"},
    {WM_SYSCHAR, "WM_SYSCHAR"},
    {WM_INITDIALOG, "WM_INITDIALOG"},
    {WM_COMMAND, "WM_COMMAND"},
    {WM_SYSCOMMAND, "WM_SYSCOMMAND"},
    {WM_TIMER, "WM_TIMER"},
    {WM_HSCROLL, "WM_HSCROLL"},
    {WM_VSCROLL, "WM_VSCROLL"},
    {WM_INITMENU, "WM_INITMENU"},
    {WM_INITMENUPOPUP, "WM_INITMENUPOPUP"},
    {WM_MENUSELECT, "WM_MENUSELECT"},
    {WM_ENTERIDLE, "WM_ENTERIDLE"},
    {WM_CTLCOLOREDIT, "WM_CTLCOLOREDIT"},
    {WM_CTLCOLORBTN, "WM_CTLCOLORBTN"},
    {WM_CTLCOLORSTATIC, "WM_CTLCOLORSTATIC"},
    {WM_CTLCOLORLISTBOX, "WM_CTLCOLORLISTBOX"},
    {WM_MOUSEMOVE, "WM_MOUSEMOVE"},
    {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"},
    {WM_LBUTTONUP, "WM_LBUTTONUP"},
    {WM_LBUTTONDBLCLK, "WM_LBUTTONDBLCLK"},
    {WM_RBUTTONDOWN, "WM_RBUTTONDOWN"},
    {WM_RBUTTONUP, "WM_RBUTTONUP"},
    {WM_MOUSEWHEEL, "WM_MOUSEWHEEL"},
    {WM_PARENTNOTIFY, "WM_PARENTNOTIFY"},
    {WM_ENTERMENULOOP, "WM_ENTERMENULOOP"},
    {WM_EXITMENULOOP, "WM_EXITMENULOOP"},
    {WM_CAPTURECHANGED, "WM_CAPTURECHANGED"},
    {WM_MDICREATE, "WM_MDICREATE"},
    {WM_MDIACTIVATE, "WM_MDIACTIVATE"},
    {WM_MOUSELEAVE, "WM_MOUSELEAVE"},
    {WM_PRINT, "WM_PRINT"},
    {WM_PRINTCLIENT, "WM_PRINTCLIENT"},
    {WM_STYLECHANGING, "WM_STYLECHANGING"},
    {WM_STYLECHANGED, "WM_STYLECHANGED"},
    {WM_UPDATEUISTATE, "WM_UPDATEUISTATE"},
    {WM_CHANGEUISTATE, "WM_CHANGEUISTATE"},
    {WM_QUERYUISTATE, "WM_QUERYUISTATE"},
    {WM_CONTEXTMENU, "WM_CONTEXTMENU"},
    {WM_SYNCPAINT, "WM_SYNCPAINT"},
    {WM_GETDLGCODE, "WM_GETDLGCODE"},
    {WM_CANCELMODE, "WM_CANCELMODE"},
    {WM_ENTERSIZEMOVE, "WM_ENTERSIZEMOVE"},
    {WM_EXITSIZEMOVE, "WM_EXITSIZEMOVE"},
    {WM_IME_SETCONTEXT, "WM_IME_SETCONTEXT"},
    {WM_IME_NOTIFY, "WM_IME_NOTIFY"},
    {WM_USER, "WM_USER"},
};

// Class-library notifications live at 0xB000 and reflections at 0xBC00 + the window message.
const NamedMsg kLibraryNames[] = {
    {0xB005, "CM_DIALOGKEY"},      {0xB006, "CM_DIALOGCHAR"},   {0xB00B, "CM_VISIBLECHANGED"},
    {0xB00C, "CM_ENABLEDCHANGED"}, {0xB00D, "CM_COLORCHANGED"}, {0xB00E, "CM_FONTCHANGED"},
    {0xB012, "CM_TEXTCHANGED"},    {0xB013, "CM_MOUSEENTER"},   {0xB014, "CM_MOUSELEAVE"},
    {0xB019, "CM_SHOWINGCHANGED"}, {0xB01A, "CM_ENTER"},        {0xB01B, "CM_EXIT"},
    {0xB029, "CM_UIACTIVATE"},     {0xB037, "CM_CHANGED"},      {0xB03C, "CM_BIDIMODECHANGED"},
    {0xB03F, "CM_ACTIONUPDATE"},   {0xB043, "CM_MOUSEWHEEL"},   {0xA100, "SM_QUORVEXCMD"},
};

}  // namespace

std::string MessageName(UINT msg) {
  for (const auto& n : kNames)
    if (n.Msg == msg) return n.Name;
  for (const auto& n : kLibraryNames)
    if (n.Msg == msg) return n.Name;
  char buf[32];
  if (msg >= 0xBC00 && msg < 0xC000) {
    std::string inner = MessageName(msg - 0xBC00);
    if (inner.rfind("WM_", 0) == 0) return "CN_" + inner.substr(3);
  }
  std::snprintf(buf, sizeof buf, "0x%04X", msg);
  return buf;
}

MessageSpy::MessageSpy() {
  IgnoreDefaults();
  if (!gHookOwner) {
    gHookOwner = this;
    Hook_ = SetWindowsHookExA(WH_GETMESSAGE, &MessageSpy::GetMsgHook, nullptr, GetCurrentThreadId());
  }
}

MessageSpy::~MessageSpy() {
  while (!Watched_.empty()) Unwatch(Watched_.back().Wnd);
  if (CallHook_) UnhookWindowsHookEx(CallHook_);
  if (Hook_) UnhookWindowsHookEx(Hook_);
  if (gHookOwner == this) gHookOwner = nullptr;
}

void MessageSpy::IgnoreDefaults() {
  for (UINT m : {UINT(WM_GETICON), UINT(WM_IME_SETCONTEXT), UINT(WM_IME_NOTIFY), UINT(WM_GETOBJECT),
                 UINT(0x0093) /* WM_UAHINITMENU */, UINT(WM_DWMNCRENDERINGCHANGED)})
    Ignored_.push_back(m);
}

bool MessageSpy::IsIgnored(UINT msg) const {
  return std::find(Ignored_.begin(), Ignored_.end(), msg) != Ignored_.end();
}

void MessageSpy::Watch(HWND wnd) {
  SetPropA(wnd, kSpyProp, this);
  WNDPROC old =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MessageSpy::SpyProc)));
  Watched_.push_back({wnd, old});
}

void MessageSpy::Unwatch(HWND wnd) {
  for (auto it = Watched_.begin(); it != Watched_.end(); ++it) {
    if (it->Wnd != wnd) continue;
    if (IsWindow(wnd)) {
      SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(it->Old));
      RemovePropA(wnd, kSpyProp);
    }
    Watched_.erase(it);
    return;
  }
}

void MessageSpy::Hook(HWND wnd) {
  // The thread's hooks belong to the first spy alive; another one subclasses the window instead.
  if (gHookOwner != this) {
    Watch(wnd);
    return;
  }
  Hooked_.push_back(wnd);
  if (!CallHook_)
    CallHook_ = SetWindowsHookExA(WH_CALLWNDPROC, &MessageSpy::CallWndHook, nullptr, GetCurrentThreadId());
}

bool MessageSpy::IsHooked(HWND wnd) const { return std::find(Hooked_.begin(), Hooked_.end(), wnd) != Hooked_.end(); }

void MessageSpy::Add(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, unsigned flags) {
  if (IsIgnored(msg)) return;
  MsgEntry e;
  e.Msg = msg;
  e.WParam = wParam;
  e.LParam = lParam;
  e.Wnd = wnd;
  e.Flags = flags;
  Entries_.push_back(e);
}

void MessageSpy::Record(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  const MessageSpy* owner = gHookOwner;
  bool posted = owner && owner->HaveRetrieved_ && owner->LastRetrieved_.hwnd == wnd &&
                owner->LastRetrieved_.message == msg && owner->LastRetrieved_.wParam == wParam &&
                owner->LastRetrieved_.lParam == lParam;
  if (posted) gHookOwner->HaveRetrieved_ = false;
  Add(wnd, msg, wParam, lParam, posted ? msgPosted : msgSent);
}

bool MessageSpy::Contains(UINT msg) const { return Count(msg) > 0; }

int MessageSpy::Count(UINT msg) const {
  return int(std::count_if(Entries_.begin(), Entries_.end(), [msg](const MsgEntry& e) { return e.Msg == msg; }));
}

LRESULT CALLBACK MessageSpy::GetMsgHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && gHookOwner && wParam == PM_REMOVE) {
    const MSG& m = *reinterpret_cast<const MSG*>(lParam);
    if (gHookOwner->IsHooked(m.hwnd)) {
      gHookOwner->Add(m.hwnd, m.message, m.wParam, m.lParam, msgPosted);
    } else {
      gHookOwner->LastRetrieved_ = m;
      gHookOwner->HaveRetrieved_ = true;
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK MessageSpy::CallWndHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && gHookOwner) {
    const CWPSTRUCT& m = *reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (gHookOwner->IsHooked(m.hwnd)) gHookOwner->Add(m.hwnd, m.message, m.wParam, m.lParam, msgSent);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK MessageSpy::SpyProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* spy = static_cast<MessageSpy*>(GetPropA(wnd, kSpyProp));
  if (!spy) return DefWindowProcA(wnd, msg, wParam, lParam);
  WNDPROC old = nullptr;
  for (const auto& w : spy->Watched_)
    if (w.Wnd == wnd) old = w.Old;
  spy->Record(wnd, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    // The window goes away: give it its procedure back before the last message.
    LRESULT r = CallWindowProcA(old, wnd, msg, wParam, lParam);
    spy->Unwatch(wnd);
    return r;
  }
  return old ? CallWindowProcA(old, wnd, msg, wParam, lParam) : DefWindowProcA(wnd, msg, wParam, lParam);
}

namespace {

std::string Describe(const MsgEntry& e, bool expected) {
  std::ostringstream s;
  s << MessageName(e.Msg);
  if (!expected || (e.Flags & msgWParam)) s << " wp=0x" << std::hex << std::uintptr_t(e.WParam);
  if (!expected || (e.Flags & msgLParam)) s << " lp=0x" << std::hex << std::intptr_t(e.LParam);
  if (e.Flags & msgSent) s << " sent";
  if (e.Flags & msgPosted) s << " posted";
  if (expected && (e.Flags & msgOptional)) s << " (optional)";
  return s.str();
}

bool Matches(const MsgEntry& want, const MsgEntry& got) {
  if (want.Msg != got.Msg) return false;
  if ((want.Flags & msgWParam) && want.WParam != got.WParam) return false;
  if ((want.Flags & msgLParam) && want.LParam != got.LParam) return false;
  if ((want.Flags & msgSent) && !(got.Flags & msgSent)) return false;
  if ((want.Flags & msgPosted) && !(got.Flags & msgPosted)) return false;
  if ((want.Flags & msgHwnd) && want.Wnd != got.Wnd) return false;
  return true;
}

}  // namespace

std::string CheckSequence(const std::vector<MsgEntry>& actual, const std::vector<MsgEntry>& expected) {
  size_t a = 0, e = 0;
  std::string failure;
  while (e < expected.size() && a < actual.size()) {
    if (Matches(expected[e], actual[a])) {
      ++e;
      ++a;
    } else if (expected[e].Flags & msgOptional) {
      ++e;
    } else {
      failure = "mismatch at expected entry " + std::to_string(e) + ", actual entry " + std::to_string(a);
      break;
    }
  }
  if (failure.empty()) {
    while (e < expected.size() && (expected[e].Flags & msgOptional)) ++e;
    if (e < expected.size())
      failure = "missing expected entry " + std::to_string(e);
    else if (a < actual.size())
      failure = "unexpected extra entry " + std::to_string(a);
  }
  if (failure.empty()) return {};
  std::ostringstream s;
  s << failure << "\n  expected:\n";
  for (size_t i = 0; i < expected.size(); ++i)
    s << (i == e ? "  > " : "    ") << i << ": " << Describe(expected[i], true) << "\n";
  s << "  actual:\n";
  for (size_t i = 0; i < actual.size(); ++i)
    s << (i == a ? "  > " : "    ") << i << ": " << Describe(actual[i], false) << "\n";
  return s.str();
}

}  // namespace qvtest
