// TWinControl: its window (creation, destruction, recreation), its children, alignment, tab order
// and focus, bounds and painting of its graphic children.
#include "classlib/Controls.h"

#include "classlib/Controls/Internal.h"
#include "classlib/Forms.h"
#include "classlib/core/TypInfo.h"

using namespace controls_impl;

// ---------------------------------------------------------------------------------------------
// TWinControl

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {
  Brush_ = new TBrush();
  Brush_->SetColor(Color_);
}

TWinControl::~TWinControl() { delete Brush_; }

void TWinControl::BeforeDestruction() {
  Destroying();
  if (Parent_) {
    if (TCustomForm* f = GetParentForm(this)) f->DefocusControl(this, true);
  }
  if (Handle_) DestroyWindowHandle();
  while (ControlCount() > 0) {
    TControl* c = Controls(ControlCount() - 1);
    Remove(c);
    c->Free();
  }
  TControl::BeforeDestruction();
}

HWND TWinControl::Handle() {
  HandleNeeded();
  return Handle_;
}

void TWinControl::HandleNeeded() {
  if (Handle_) return;
  if (Parent_) Parent_->HandleNeeded();
  CreateHandle();
}

void TWinControl::SetParentWindow(HWND v) {
  if (ParentWindow_ == v) return;
  if (!Parent_) {
    if (Handle_ && !v) DestroyHandle();
    ParentWindow_ = v;
    if (Handle_ && v) ::SetParent(Handle_, v);
    UpdateControlState();
  } else {
    ParentWindow_ = v;
  }
}

void TWinControl::CreateParams(TCreateParams& Params) {
  Params = TCreateParams{};
  Params.Caption = Text_;
  Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (UseRightToLeftReading()) Params.ExStyle |= WS_EX_RTLREADING;
  if (UseRightToLeftScrollBar()) Params.ExStyle |= WS_EX_LEFTSCROLLBAR;
  if (UseRightToLeftAlignment()) Params.ExStyle |= WS_EX_RIGHT;
  if (ControlStyle_.Contains(csAcceptsControls)) {
    Params.Style |= WS_CLIPCHILDREN;
    Params.ExStyle |= WS_EX_CONTROLPARENT;
  }
  if (!Enabled_) Params.Style |= WS_DISABLED;
  if (TabStop_) Params.Style |= WS_TABSTOP;
  Params.X = Left_;
  Params.Y = Top_;
  Params.Width = Width_;
  Params.Height = Height_;
  Params.WndParent = Parent_ ? Parent_->Handle() : ParentWindow_;
  Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  Params.WindowClass.lpfnWndProc = DefWindowProcA;
  Params.WindowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  Params.WindowClass.hbrBackground = nullptr;
  Params.WindowClass.hInstance = GetModuleHandleA(nullptr);
  Params.WinClassName = ClassName();
}

void TWinControl::CreateSubClass(TCreateParams& Params, const char* ControlClassName) {
  if (!ControlClassName) return;
  HINSTANCE save = Params.WindowClass.hInstance;
  WNDCLASSA wc{};
  if (!GetClassInfoA(save, ControlClassName, &wc) && !GetClassInfoA(nullptr, ControlClassName, &wc)) {
    throw EOSError(std::string("Window class \"") + ControlClassName + "\" is not registered", GetLastError());
  }
  Params.WindowClass = wc;
  Params.WindowClass.hInstance = save;
  Params.WindowClass.style =
      (wc.style & ~static_cast<UINT>(CS_OWNDC | CS_CLASSDC | CS_PARENTDC | CS_GLOBALCLASS)) | CS_VREDRAW | CS_HREDRAW;
}

void TWinControl::CreateWnd() {
  TCreateParams p;
  CreateParams(p);
  if (!p.WndParent && (p.Style & WS_CHILD)) throw EInvalidOperation("Control '" + Name() + "' has no parent window");
  DefWndProc_ = p.WindowClass.lpfnWndProc ? p.WindowClass.lpfnWndProc : DefWindowProcA;
  WNDCLASSA existing{};
  bool registered = GetClassInfoA(p.WindowClass.hInstance, p.WinClassName.c_str(), &existing);
  if (!registered || existing.lpfnWndProc != StdWndProc) {
    if (registered) UnregisterClassA(p.WinClassName.c_str(), p.WindowClass.hInstance);
    WNDCLASSA wc = p.WindowClass;
    wc.lpfnWndProc = StdWndProc;
    wc.lpszClassName = p.WinClassName.c_str();
    wc.lpszMenuName = nullptr;
    ATOM atom = RegisterClassA(&wc);
    if (!atom) throw EOSError("Cannot register window class " + p.WinClassName, GetLastError());
    ClassProcs()[atom] = DefWndProc_;
  }
  // The first message of the new window binds it to this control. Creations nest (a hook may
  // make another control's window before this one's first message): the outer one is put back.
  TWinControl* outer = CreationControl;
  CreationControl = this;
  try {
    CreateWindowHandle(p);
  } catch (...) {
    CreationControl = outer;
    throw;
  }
  CreationControl = outer;
  if (!Handle_) throw EOSError("Cannot create window of class " + p.WinClassName, GetLastError());
  Text_.clear();
  UpdateBounds();
  Perform(WM_SETFONT, reinterpret_cast<WPARAM>(Font_->Handle()), 1);
  if (AutoSize_) AdjustSize();
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
  HMENU id = nullptr;
  if (Params.Style & WS_CHILD) id = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(NextControlId++));
  HWND w = CreateWindowExA(Params.ExStyle, Params.WinClassName.c_str(), Params.Caption.c_str(), Params.Style, Params.X,
                           Params.Y, Params.Width, Params.Height, Params.WndParent, id, Params.WindowClass.hInstance,
                           Params.Param);
  if (w && !Handle_) {
    // No message reached the window during creation (cannot happen with the system's windows,
    // but a foreign hook may have swallowed them): bind it now.
    Handle_ = w;
    BindControlWindow(w, this);
  }
}

void TWinControl::CreateHandle() {
  if (Handle_) return;
  ControlState_.Include(csCreating);
  try {
    CreateWnd();
  } catch (...) {
    ControlState_.Exclude(csCreating);
    throw;
  }
  ControlState_.Exclude(csCreating);
  if (Parent_) {
    // Keep the window's place among its siblings as in WinControls_ (bottom first): right below
    // the next one up that has a window, or on top. The system puts a new child window at the
    // bottom, so it is always placed.
    auto& list = Parent_->WinControls_;
    auto it = std::find(list.begin(), list.end(), this);
    HWND after = HWND_TOP;
    for (auto jt = it == list.end() ? it : it + 1; jt != list.end(); ++jt) {
      if ((*jt)->HandleAllocated()) {
        after = (*jt)->Handle_;
        break;
      }
    }
    SetWindowPos(Handle_, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  for (int i = 0; i < ControlCount(); ++i) Controls(i)->UpdateAnchorRules();
}

void TWinControl::DestroyWnd() {
  Text_ = GetText();
  DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle() {
  ControlState_.Include(csDestroyingHandle);
  HWND w = Handle_;
  for (TControlCanvas* cc : std::vector<TControlCanvas*>(CanvasList())) {
    if (cc->Control() == this || (cc->Control() && cc->Control()->Parent() == this)) cc->FreeHandle();
  }
  DestroyWindow(w);
  ControlState_.Exclude(csDestroyingHandle);
  if (Handle_ == w) {
    // The window went away without WM_NCDESTROY reaching us (a foreign procedure ate it).
    UnbindControlWindow(w, this);
    Handle_ = nullptr;
    Showing_ = false;
  }
}

void TWinControl::DestroyHandle() {
  if (!Handle_) return;
  for (TWinControl* c : WinControls_) c->DestroyHandle();
  DestroyWnd();
}

void TWinControl::RecreateWnd() {
  if (Handle_) Perform(CM_RECREATEWND);
}

void TWinControl::UpdateControlState() {
  TControl* c = this;
  while (c->Parent()) {
    c = c->Parent();
    if (!c->Showing()) return;
  }
  if (dynamic_cast<TCustomForm*>(c) || static_cast<TWinControl*>(c)->ParentWindow_) UpdateShowing();
}

void TWinControl::UpdateShowing() {
  bool show = Visible_ && !ControlState_.Contains(csReadingState);
  if (show) {
    if (!Handle_) CreateHandle();
    for (TWinControl* c : std::vector<TWinControl*>(WinControls_)) c->UpdateShowing();
  }
  if (Handle_ && Showing_ != show) {
    Showing_ = show;
    try {
      Perform(CM_SHOWINGCHANGED);
    } catch (...) {
      Showing_ = !show;
      throw;
    }
    if (!show)
      for (TWinControl* c : std::vector<TWinControl*>(WinControls_)) c->UpdateShowing();
  }
}

void TWinControl::UpdateBounds() {
  if (!Handle_) return;
  RECT r;
  GetWindowRect(Handle_, &r);
  if (GetWindowLongPtrA(Handle_, GWL_STYLE) & WS_CHILD) {
    HWND parent = GetParent(Handle_);
    if (parent) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  }
  TRect nr = FromRECT(r);
  if (nr != BoundsRect()) UpdateBoundsRect(nr);
}

TControl* TWinControl::Controls(int index) const {
  int n = static_cast<int>(Controls_.size());
  if (index < 0 || index >= ControlCount()) RaiseListIndexError(index);
  if (index < n) return Controls_[index];
  return WinControls_[index - n];
}

void TWinControl::Insert(TControl* AControl) {
  if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
    WinControls_.push_back(w);
    TabList_.push_back(w);
  } else {
    Controls_.push_back(AControl);
  }
  AControl->Parent_ = this;
}

void TWinControl::Remove(TControl* AControl) {
  if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
    ListRemove(TabList_, w);
    ListRemove(WinControls_, w);
  } else {
    ListRemove(Controls_, AControl);
  }
  AControl->Parent_ = nullptr;
}

void TWinControl::InsertControl(TControl* AControl) {
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
  Insert(AControl);
  if (!AControl->ComponentState().Contains(csReading)) {
    AControl->Perform(CM_PARENTCOLORCHANGED);
    AControl->Perform(CM_PARENTFONTCHANGED);
    AControl->Perform(CM_PARENTSHOWHINTCHANGED);
    AControl->Perform(CM_PARENTBIDIMODECHANGED);
    if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
      w->Perform(CM_PARENTCTL3DCHANGED);
      w->UpdateControlState();
    } else if (HandleAllocated()) {
      AControl->Invalidate();
    }
    Realign();
  }
  Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
}

void TWinControl::RemoveControl(TControl* AControl) {
  Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), 0);
  if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
    if (TCustomForm* f = GetParentForm(this)) f->DefocusControl(w, true);
    w->DestroyHandle();
  } else if (HandleAllocated()) {
    AControl->InvalidateControl(AControl->Visible(), false);
  }
  if (MouseControl_ == AControl) MouseControl_ = nullptr;
  if (CaptureControl_ == AControl) SetCaptureControl(nullptr);
  Remove(AControl);
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 0);
  Realign();
}

bool TWinControl::ContainsControl(TControl* Control) const {
  while (Control && Control != this) Control = Control->Parent();
  return Control == this;
}

TControl* TWinControl::ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls) const {
  auto hits = [&](TControl* c) {
    if (!c->Visible() || !(c->Enabled() || AllowDisabled)) return false;
    if (!c->BoundsRect().Contains(Pos)) return false;
    return c->Perform(CM_HITTEST, 0, PointToLParam(Pos.X - c->Left(), Pos.Y - c->Top())) != 0;
  };
  if (AllowWinControls) {
    for (auto it = WinControls_.rbegin(); it != WinControls_.rend(); ++it)
      if (hits(*it)) return *it;
  }
  for (auto it = Controls_.rbegin(); it != Controls_.rend(); ++it)
    if (hits(*it)) return *it;
  return nullptr;
}

void TWinControl::Broadcast(TMessage& Message) {
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    c->WindowProc(Message);
    if (Message.Result != 0) return;
  }
}

void TWinControl::InitiateChildActions() {
  // Action handlers may free controls: walk a snapshot and skip those gone meanwhile.
  std::vector<std::pair<TControl*, std::shared_ptr<bool>>> list;
  for (int i = 0; i < ControlCount(); ++i) list.emplace_back(Controls(i), Controls(i)->Alive_);
  for (auto& [c, alive] : list) {
    if (!*alive || c->IsBeingDestroyed()) continue;
    if (c->Action_) c->Perform(CM_ACTIONUPDATE, 0, reinterpret_cast<LPARAM>(c->Action_));
    if (*alive && c->IsWindowControl()) static_cast<TWinControl*>(c)->InitiateChildActions();
  }
}

void TWinControl::NotifyControls(UINT Msg) {
  TMessage m = MakeMessage(Msg);
  Broadcast(m);
}

void TWinControl::PaintControls(HDC DC, TControl* First) {
  size_t start = 0;
  if (First) {
    auto it = std::find(Controls_.begin(), Controls_.end(), First);
    if (it != Controls_.end()) start = static_cast<size_t>(it - Controls_.begin());
  }
  std::vector<TControl*> list(Controls_.begin() + static_cast<std::ptrdiff_t>(start), Controls_.end());
  for (TControl* c : list) {
    if (!c->Visible()) continue;
    RECT r = {c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height()};
    if (!RectVisible(DC, &r)) continue;
    SavedDC saved(DC);
    MoveWindowOrg(DC, c->Left(), c->Top());
    IntersectClipRect(DC, 0, 0, c->Width(), c->Height());
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
  }
}

void TWinControl::PaintTo(HDC DC, int X, int Y) {
  SavedDC saved(DC);
  MoveWindowOrg(DC, X, Y);
  IntersectClipRect(DC, 0, 0, Width_, Height_);
  TMessage e = MakeMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), reinterpret_cast<LPARAM>(DC));
  WindowProc(e);
  TMessage p = MakeMessage(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
  WindowProc(p);
  for (TWinControl* c : WinControls_)
    if (c->Visible()) c->PaintTo(DC, c->Left(), c->Top());
}

void TWinControl::EnableAlign() {
  if (AlignLevel_ > 0) --AlignLevel_;
  if (AlignLevel_ == 0 && AlignPending_) {
    AlignPending_ = false;
    Realign();
  }
}

void TWinControl::Realign() {
  if (AlignLevel_ > 0 || InsideAlign_ > 0) {
    if (AlignLevel_ > 0) AlignPending_ = true;
    return;
  }
  if (IsBeingDestroyed()) return;
  TRect r = GetClientRect();
  AdjustClientRect(r);
  AlignControls(nullptr, r);
}

void TWinControl::AdjustClientRect(TRect&) {}

void TWinControl::AlignControls(TControl*, TRect& Rect) {
  std::vector<TControl*> all;
  for (int i = 0; i < ControlCount(); ++i) all.push_back(Controls(i));
  bool any = false;
  std::vector<TAlignItem> items;
  for (TControl* c : all) {
    TAlignItem it;
    it.Align = c->Align_;
    it.Anchors = c->Anchors_;
    it.Visible = c->Visible_;
    it.Bounds = c->BoundsRect();
    it.AnchorBounds = c->AnchorBounds_;
    it.AnchorParentSize = c->AnchorParentSize_;
    it.Limits = c->Constraints_->Limits();
    if (it.Align != alNone || it.Anchors != DefaultAnchors) any = true;
    items.push_back(it);
  }
  if (!any) return;
  TRect client = GetClientRect();
  TRect rest = Rect;
  std::vector<TRect> out = AlignItems(items, Rect, TSize{client.Width(), client.Height()}, &rest);
  Rect = rest;  // what the aligned children left
  ++InsideAlign_;
  try {
    for (size_t i = 0; i < all.size(); ++i)
      if (out[i] != all[i]->BoundsRect()) all[i]->SetBounds(out[i].Left, out[i].Top, out[i].Width(), out[i].Height());
  } catch (...) {
    --InsideAlign_;
    throw;
  }
  --InsideAlign_;
}

void TWinControl::RequestAlign() { TControl::RequestAlign(); }

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) {
  for (TWinControl* c : TabList_) {
    List.push_back(c);
    c->GetTabOrderList(List);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty()) return nullptr;
  int n = static_cast<int>(list.size());
  int start = -1;
  for (int i = 0; i < n; ++i)
    if (list[i] == CurControl) start = i;
  if (start < 0) start = GoForward ? n - 1 : 0;
  int i = start;
  for (int k = 0; k < n; ++k) {
    i = GoForward ? (i + 1) % n : (i - 1 + n) % n;
    TWinControl* c = list[i];
    if ((!CheckTabStop || c->TabStop()) && (!CheckParent || c->Parent() == this) && c->CanFocus()) return c;
    if (i == start) break;
  }
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
  TWinControl* c = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop);
  if (c) c->SetFocus();
}

bool TWinControl::Focused() const { return Handle_ && GetFocus() == Handle_; }

bool TWinControl::CanFocus() const {
  TCustomForm* f = GetParentForm(const_cast<TWinControl*>(this));
  if (!f) return Visible_ && Enabled_;
  // Visible and enabled up to the form; the form itself may still be hidden (a form names its
  // active control before it is shown).
  for (const TControl* c = this; c != f; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

void TWinControl::SetFocus() {
  if (TCustomForm* f = GetParentForm(this))
    f->FocusControl(this);
  else if (ParentWindow_)
    ::SetFocus(Handle());
  else
    ValidParentForm(this);
}

void TWinControl::SetTabStop(bool v) {
  if (TabStop_ == v) return;
  TabStop_ = v;
  if (Handle_) {
    LONG_PTR s = GetWindowLongPtrA(Handle_, GWL_STYLE);
    SetWindowLongPtrA(Handle_, GWL_STYLE, v ? (s | WS_TABSTOP) : (s & ~static_cast<LONG_PTR>(WS_TABSTOP)));
  }
  Perform(CM_TABSTOPCHANGED);
}

int TWinControl::TabOrder() const {
  if (!Parent_) return -1;
  auto& l = Parent_->TabList_;
  auto it = std::find(l.begin(), l.end(), this);
  return it == l.end() ? -1 : static_cast<int>(it - l.begin());
}

void TWinControl::SetTabOrder(int v) {
  if (!Parent_) return;
  auto& l = Parent_->TabList_;
  ListRemove(l, this);
  if (v < 0 || v > static_cast<int>(l.size())) v = static_cast<int>(l.size());
  l.insert(l.begin() + v, this);
}

void TWinControl::SetCtl3D(bool v) {
  if (Ctl3D_ != v) {
    Ctl3D_ = v;
    Perform(CM_CTL3DCHANGED);
  }
  ParentCtl3D_ = false;
}

void TWinControl::SetParentCtl3D(bool v) {
  if (ParentCtl3D_ == v) return;
  ParentCtl3D_ = v;
  if (Parent_ && v) Perform(CM_PARENTCTL3DCHANGED);
}

void TWinControl::SetBorderWidth(int v) {
  if (v < 0) v = 0;
  if (BorderWidth_ == v) return;
  BorderWidth_ = v;
  Perform(CM_BORDERCHANGED);
}

void TWinControl::SetParentBackground(bool v) {
  if (ParentBackground() == v) return;
  ControlStyle_.Set(csParentBackground, v);
  Invalidate();
}

TRect TWinControl::GetClientRect() const {
  if (Handle_) {
    RECT r;
    ::GetClientRect(Handle_, &r);
    return FromRECT(r);
  }
  return TControl::GetClientRect();
}

TPoint TWinControl::ClientOrigin() const {
  POINT p{0, 0};
  HWND w = const_cast<TWinControl*>(this)->Handle();
  ::ClientToScreen(w, &p);
  return Point(p.x, p.y);
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TSize s = ConstrainSize(Constraints_->Limits(), AWidth, AHeight);
  AWidth = s.cx;
  AHeight = s.cy;
  if (ALeft == Left_ && ATop == Top_ && AWidth == Width_ && AHeight == Height_) return;
  if ((AWidth != Width_ || AHeight != Height_) && !CanResize(AWidth, AHeight)) {
    AWidth = Width_;
    AHeight = Height_;
  }
  if (Handle_ && !IsIconic(Handle_)) {
    SetWindowPos(Handle_, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    // WM_WINDOWPOSCHANGED took the new bounds; a window that refused them keeps its own.
  } else {
    bool resized = AWidth != Width_ || AHeight != Height_;
    Left_ = ALeft;
    Top_ = ATop;
    Width_ = AWidth;
    Height_ = AHeight;
    if (resized) {
      Realign();
      if (!Loading()) Resize();
    }
  }
  UpdateAnchorRules();
  RequestAlign();
}

void TWinControl::SetZOrder(bool TopMost) {
  if (!Parent_) {
    if (Handle_) SetWindowPos(Handle_, TopMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return;
  }
  auto& list = Parent_->WinControls_;
  ListRemove(list, this);
  if (TopMost)
    list.push_back(this);
  else
    list.insert(list.begin(), this);
  if (Handle_)
    SetWindowPos(Handle_, TopMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::Invalidate() { Perform(CM_INVALIDATE); }

void TWinControl::Update() {
  if (Handle_) UpdateWindow(Handle_);
}

void TWinControl::Repaint() {
  Invalidate();
  Update();
}

void TWinControl::SetParent(TWinControl* AParent) {
  if (Parent_ == nullptr && AParent && ParentWindow_ == nullptr && Handle_) DestroyHandle();
  TControl::SetParent(AParent);
}

void TWinControl::SetWindowText(const std::string& v) {
  if (Handle_)
    ::SetWindowTextA(Handle_, v.c_str());
  else
    Text_ = v;
}

void TWinControl::FontChanged(TObject* Sender) { TControl::FontChanged(Sender); }

void TWinControl::Loaded() {
  TControl::Loaded();
  Realign();
}

void TWinControl::Notification(TComponent* AComponent, TOperation Operation) {
  TControl::Notification(AComponent, Operation);
}

static const bool kWinControlProps = RegisterProperties<TWinControl, TControl>([](auto& p) {
  p.Ord("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop);
  p.Ord("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder);
  p.Ord("Ctl3D", &TWinControl::Ctl3D, &TWinControl::SetCtl3D);
  p.Ord("ParentCtl3D", &TWinControl::ParentCtl3D, &TWinControl::SetParentCtl3D);
  p.Ord("BorderWidth", &TWinControl::BorderWidth, &TWinControl::SetBorderWidth);
  p.Ord("ParentBackground", &TWinControl::ParentBackground, &TWinControl::SetParentBackground);
  p.Ord("DoubleBuffered", &TWinControl::DoubleBuffered, &TWinControl::SetDoubleBuffered);
});
