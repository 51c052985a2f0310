#include "tests/win/menus/MenuTestSupport.h"

namespace qvtest {

TSkinBuilder MenuSkin() {
  TSkinBuilder b;
  b.Section("MENUITEM");
  b.Section("GLOBALINFO");
  for (const char* p : {"CHECK", "RADIOCHECKED", "BOXCHECKED"}) b.Mask("GLOBALINFO", p, 13, 13, 2);
  b.Section("MAINMENU");
  b.Mask("MAINMENU", "BORDERSMASK", 9, 9, 1);
  b.Section("MENULINE");
  b.Section("DIVIDERV");
  b.Mask("DIVIDERV", "BORDERSMASK", 12, 2, 1);
  b.Section("TOOLBAR");
  b.Section("EXTRALINE");
  b.Section("ICOLINE");
  return b;
}

void PressKey(WORD vk) {
  INPUT in[2]{};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = vk;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof(INPUT));
}

void MouseTo(POINT p) {
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  INPUT in{};
  in.type = INPUT_MOUSE;
  // Absolute coordinates run from 0 to 65535 over the screen: the middle of the pixel.
  in.mi.dx = LONG((p.x * 65536LL + 32768) / w);
  in.mi.dy = LONG((p.y * 65536LL + 32768) / h);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
}

void MouseButton(DWORD flags) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  SendInput(1, &in, sizeof in);
}

bool TMenuScript::Run(TPopupMenu* Menu, int X, int Y, DWORD TimeoutMs) {
  return Run([&] { Menu->Popup(X, Y); }, TimeoutMs);
}

bool TMenuScript::Run(const std::function<void()>& Open, DWORD TimeoutMs) {
  Next_ = 0;
  Done_ = Steps_.empty();
  Start_ = GetTickCount();
  Timeout_ = TimeoutMs;
  CurrentScript_ = this;
  const UINT_PTR timer = SetTimer(nullptr, 0, 15, &Tick);
  Open();
  KillTimer(nullptr, timer);
  CurrentScript_ = nullptr;
  flush_events(20, 1000);
  return Done_;
}

void CALLBACK TMenuScript::Tick(HWND, UINT, UINT_PTR, DWORD) {
  TMenuScript* s = CurrentScript_;
  if (!s || s->Done_) return;
  if (GetTickCount() - s->Start_ > s->Timeout_) {
    CurrentScript_ = nullptr;
    EndMenu();
    return;
  }
  if (!s->Steps_[s->Next_]()) return;
  if (++s->Next_ < s->Steps_.size()) return;
  s->Done_ = true;
  CurrentScript_ = nullptr;
  EndMenu();
}

HWND DrawnPopup() {
  HWND wnd = FindOpenPopupMenuWindow();
  if (!wnd || reinterpret_cast<WNDPROC>(GetWindowLongPtrA(wnd, GWLP_WNDPROC)) != &PopupWndProc || !MenuBitmap)
    return nullptr;
  RECT r{};
  GetWindowRect(wnd, &r);
  if (MenuBitmap->Width() != r.right - r.left || MenuBitmap->Height() != r.bottom - r.top) return nullptr;
  // Nothing left to paint.
  if (GetUpdateRect(wnd, nullptr, FALSE)) return nullptr;
  return wnd;
}

bool TSettledShot::Take(const RECT& r, Capture& Shot) {
  Capture now = CaptureScreenRect(r);
  const bool same = EqualRect(&r, &LastRect_) && now.Width() == Last_.Width() && now.Height() == Last_.Height() &&
                    now.Bits() == Last_.Bits();
  LastRect_ = r;
  Last_ = std::move(now);
  if (same) Shot = Last_;
  return same;
}

RECT PopupItemRect(HMENU Menu, int Pos) {
  RECT r{};
  GetMenuItemRect(nullptr, Menu, UINT(Pos), &r);
  return r;
}

std::vector<RECT> WindowRegionRects(HWND Wnd) {
  std::vector<RECT> rects;
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  if (GetWindowRgn(Wnd, rgn) != ERROR) {
    const DWORD size = GetRegionData(rgn, 0, nullptr);
    std::vector<char> buf(size);
    auto* data = reinterpret_cast<RGNDATA*>(buf.data());
    if (size && GetRegionData(rgn, size, data)) {
      const RECT* r = reinterpret_cast<const RECT*>(data->Buffer);
      rects.assign(r, r + data->rdh.nCount);
    }
  }
  DeleteObject(rgn);
  return rects;
}

void MenuTest::SetUp() {
  Application->ResetTerminated();
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2);
  Form = Create<TForm>(Application);
  Form->SetBounds(40, 40, 320, 240);
  Form->SetCaption("Menu test");
  Form->Show();
  flush_events();
  LoadSkin(Builder);
}

void MenuTest::TearDown() {
  if (Form) FreeAndNil(Form);
  if (Manager) FreeAndNil(Manager);
  ClearMenuState();
  flush_events();
}

void MenuTest::LoadSkin(const TSkinBuilder& builder) {
  Builder = builder;
  if (!Manager) {
    Manager = CreateTestManager(builder);
    return;
  }
  Manager->AddInternalSkin("Test", builder.Packed());
  Manager->SetSkinName("Test");
}

COLORREF MenuTest::SectionColor(const char* section, bool hot) const {
  const int i = Manager->SectionIndexOf(section);
  if (i < 0) return CLR_INVALID;
  const TsGeneralData& s = Manager->Section(i);
  return COLORREF((hot ? s.HotColor : s.Color) & 0xFFFFFF);
}

TMenuItem* MenuTest::NewItem(const std::string& caption, TMenuItem* parent) {
  auto* item = Create<TMenuItem>(Form);
  item->SetCaption(caption);
  if (parent) parent->Add(item);
  return item;
}

}  // namespace qvtest
