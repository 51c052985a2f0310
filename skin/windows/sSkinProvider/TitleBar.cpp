// The behaviour of the title bar the provider paints: which buttons show, hit testing that matches
// what is painted, hot and pressed buttons repainted alone, clicks turned into system commands,
// the window menu, the main-menu line's rows.
#include "skin/windows/sSkinProvider/Internal.h"

using namespace acsp;

// ---- Which buttons show ----------------------------------------------------------------------------------

TSize TsSkinProvider::SystemButtonSize() const {
  TsSkinManager* sm = SkinData->SkinManager();
  if (sm && sm->IsMaskIndex(ButtonClose.ImageIndex)) return sm->GetMaskItemSize(ButtonClose.ImageIndex);
  return TSize{kDefaultButtonSize, kDefaultButtonSize};
}

TSize TsSkinProvider::MDIButtonSize() const {
  TsSkinManager* sm = SkinData->SkinManager();
  if (sm && sm->IsMaskIndex(ButtonMDIClose.ImageIndex)) return sm->GetMaskItemSize(ButtonMDIClose.ImageIndex);
  return TSize{kDefaultMDIButtonSize, kDefaultMDIButtonSize};
}

int TsSkinProvider::TitleButtonWidth(int Index) const {
  TsSkinManager* sm = SkinData->SkinManager();
  TsTitleButton* b = TitleButtons->Items(Index);
  int w = b->Glyph() && !b->Glyph()->Empty() ? b->Glyph()->Width() + 2 : 0;
  if (sm && sm->IsMaskIndex(TitleButtonMask))
    w = std::max(w, sm->GetMaskItemSize(TitleButtonMask).cx);
  else
    w = std::max(w, kDefaultButtonSize);
  return w;
}

bool TsSkinProvider::MaximizeAllowed() const { return SystemMenu && SystemMenu->ItemMaximize->Visible(); }
bool TsSkinProvider::MinimizeShown() const {
  return (SystemMenu && SystemMenu->ItemMinimize->Visible()) || (HasSysMenu() && Iconic(Form));
}
bool TsSkinProvider::MaximizeEnabled() const { return SystemMenu && SystemMenu->ItemMaximize->Enabled(); }
bool TsSkinProvider::RestoreEnabled() const { return SystemMenu && SystemMenu->ItemRestore->Enabled(); }
bool TsSkinProvider::MinimizeEnabled() const { return SystemMenu && SystemMenu->ItemMinimize->Enabled(); }
bool TsSkinProvider::HelpShown() const {
  TsSkinManager* sm = SkinData->SkinManager();
  return Form && HasSysMenu() && Form->BorderIcons().Contains(biHelp) && sm && sm->IsMaskIndex(ButtonHelp.ImageIndex);
}

std::vector<TsSkinProvider::TButtonSlot> TsSkinProvider::ShownButtons() const {
  std::vector<TButtonSlot> v;
  TsSkinManager* sm = SkinData->SkinManager();
  if (!Form || !sm || CaptionHeight() == 0) return v;
  if (SystemMenu) SystemMenu->UpdateItems();
  auto* self = const_cast<TsSkinProvider*>(this);
  const TSize s = SystemButtonSize();
  const bool iconic = Iconic(Form), zoomed = Zoomed(Form);
  // The restore image stands in for maximize (maximized) and minimize (minimized).
  auto restoreImage = [&] {
    int i = sm->LookupMask(sm->ConstData().GlobalInfo, "GLOBALINFO", "BICONNORM");
    if (i < 0) i = sm->LookupMask(SkinData->SkinIndex, SkinData->SkinSection(), "BICONNORM");
    return i;
  };
  if (HasSysMenu() && sm->IsMaskIndex(ButtonClose.ImageIndex))
    v.push_back({qv::htClose, &self->ButtonClose, ButtonClose.ImageIndex, s.cx, s.cy, true});
  if (MaximizeAllowed()) {
    if (zoomed)
      v.push_back({qv::htMaxButton, &self->ButtonMax, restoreImage(), s.cx, s.cy, RestoreEnabled() && !iconic});
    else
      v.push_back({qv::htMaxButton, &self->ButtonMax, ButtonMax.ImageIndex, s.cx, s.cy, MaximizeEnabled()});
  }
  if (MinimizeShown()) {
    if (iconic)
      v.push_back({qv::htMinButton, &self->ButtonMin, restoreImage(), s.cx, s.cy, true});
    else
      v.push_back({qv::htMinButton, &self->ButtonMin, ButtonMin.ImageIndex, s.cx, s.cy, MinimizeEnabled()});
  }
  if (HelpShown()) v.push_back({qv::htHelp, &self->ButtonHelp, ButtonHelp.ImageIndex, s.cx, s.cy, true});
  for (int i = 0; i < TitleButtons->Count(); ++i) {
    TsTitleButton* b = TitleButtons->Items(i);
    b->BtnData.ImageIndex = b->UseSkinData() && sm->IsMaskIndex(TitleButtonMask) ? TitleButtonMask : -1;
    v.push_back({qv::htTitleButton + i, &b->BtnData, b->BtnData.ImageIndex, TitleButtonWidth(i), s.cy, b->Enabled()});
  }
  return v;
}

bool TsSkinProvider::ChildButtonsVisible() const {
  return Form && Form->FormStyle() == fsMDIForm && MDISkinProvider == this && MaximizedChildOf(Form) && MenuPresent();
}

bool TsSkinProvider::MDIButtonEnabled(int Code) const {
  TCustomForm* child = MaximizedChildOf(Form);
  if (!child) return false;
  // What the child's window menu allows (its Minimize and Restore items), read from the child.
  const TBorderIcons icons = child->BorderIcons();
  const bool iconic = Iconic(child), zoomed = Zoomed(child);
  switch (Code) {
    case qv::htMDIMin: return icons.Contains(biMinimize) && !iconic;
    case qv::htMDIMax: return (icons.Contains(biMaximize) && zoomed) || iconic;
    default: return true;
  }
}

TRect TsSkinProvider::MDIChildIconRect() const {
  TCustomForm* child = ChildButtonsVisible() ? MaximizedChildOf(Form) : nullptr;
  if (!child) return TRect{};
  // The system puts the child's window menu first in the bar; the icon is painted over it.
  const HWND wnd = const_cast<TCustomForm*>(Form)->Handle();
  HMENU bar = GetMenu(wnd);
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_DATA | MIIM_SUBMENU;
  RECT r{};
  if (!bar || !GetMenuItemInfoA(bar, 0, TRUE, &info) || !info.hSubMenu || TMenuItem::FromData(info.dwItemData) ||
      !GetMenuItemRect(wnd, bar, 0, &r))
    return TRect{};
  TRect rect = FromRECT(r);
  const TRect wr = WindowRectOf(wnd);
  rect.Offset(-wr.Left, -wr.Top);
  return rect;
}

TsCaptionButton* TsSkinProvider::ButtonOf(int Code) {
  switch (Code) {
    case qv::htMinButton: return &ButtonMin;
    case qv::htMaxButton: return &ButtonMax;
    case qv::htClose: return &ButtonClose;
    case qv::htHelp: return &ButtonHelp;
    case qv::htMDIClose: return &ButtonMDIClose;
    case qv::htMDIMax: return &ButtonMDIMax;
    case qv::htMDIMin: return &ButtonMDIMin;
    default: break;
  }
  if (Code >= qv::htTitleButton && Code - qv::htTitleButton < TitleButtons->Count())
    return &TitleButtons->Items(Code - qv::htTitleButton)->BtnData;
  return nullptr;
}

int TsSkinProvider::ButtonIndexAt(int X) const {
  const std::vector<TButtonSlot> buttons = ShownButtons();
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    const TRect& r = buttons[i].Data->Rect;
    if (X >= r.Left && X < r.Right) return int(i) + 1;
  }
  return 0;
}

// ---- Hit testing ---------------------------------------------------------------------------------------

TPoint TsSkinProvider::FormLeftTop() const {
  if (!Form || !Form->HandleAllocated()) return TPoint{};
  return WindowRectOf(const_cast<TCustomForm*>(Form)->Handle()).TopLeft();
}

void TsSkinProvider::ScreenToFrame(int X, int Y, TPoint& P) const {
  const TPoint o = FormLeftTop();
  P = TPoint{X - o.X, Y - o.Y};
}

int TsSkinProvider::HitTestAt(TPoint ScreenPoint) {
  TsSkinManager* sm = SkinData->SkinManager();
  if (!Form || !sm) return qv::htNowhere;
  TPoint p;
  ScreenToFrame(ScreenPoint.X, ScreenPoint.Y, p);
  qv::TTitleLayout layout;
  layout.Window = TSize{FormWidth(), FormHeight()};
  const TSize s = SystemButtonSize();
  const TRect band = qv::PlaceTitleButton(0, s.cx, s.cy, CaptionHeight(), BorderHeight(), HiddenTitleRows());
  layout.BandTop = band.Top;
  layout.BandBottom = CaptionHeight() != 0 ? band.Bottom : band.Top;
  if (IconExtent().cx > 0) layout.Icon = IconRect();
  for (const TButtonSlot& b : ShownButtons()) layout.Buttons.push_back({b.Code, b.Data->Rect, b.Enabled});
  const int grip = sm->LookupMask(sm->ConstData().GlobalInfo, "GLOBALINFO", "GRIPIMAGE");
  // The grip answers where it is painted, and in the corner square between the form's two skinned
  // scroll bars when both show.
  const TacScrollWnd* bars = FormScrollWnd && !FormScrollWnd->Destroyed ? FormScrollWnd : nullptr;
  const bool barCorner = bars && bars->VertBar && bars->HorzBar && bars->VertBar->ScrollVisible &&
                         bars->HorzBar->ScrollVisible && Form->HandleAllocated();
  if ((GripMode == gmRightBottom || barCorner) && sm->IsMaskIndex(grip)) {
    const TSize g = sm->GetMaskItemSize(grip);
    layout.HasGrip = true;
    layout.GripPoint = TPoint{layout.Window.cx - g.cx - BorderWidth(), layout.Window.cy - g.cy - BorderHeight()};
    if (GripMode != gmRightBottom) {
      RECT cr{};
      GetClientRect(Form->Handle(), &cr);
      const int left = ClientOffsetX() + cr.right, top = ClientOffsetY() + cr.bottom;
      layout.GripArea = TRect{left, top, left + GetScrollBarSize(bars->VertBar, true, true),
                              top + GetScrollBarSize(bars->HorzBar, true, true)};
    }
  }
  if (ChildButtonsVisible())
    for (const auto& [code, b] : {std::pair{qv::htMDIClose, &ButtonMDIClose}, std::pair{qv::htMDIMax, &ButtonMDIMax},
                                  std::pair{qv::htMDIMin, &ButtonMDIMin}})
      // A button the child cannot use answers too (and does nothing): the system's bar under it
      // must not take the click.
      layout.MenuLineButtons.push_back({code, b->Rect, true});
  layout.Maximized = Zoomed(Form);
  return qv::TitleHitTest(layout, p);
}

int TsSkinProvider::HitTest(const TMessage& Message) {
  const int code = HitTestAt(TPoint{Message.LParamX(), Message.LParamY()});
  SetHotHT(qv::IsTitleElementCode(code) ? code : 0);
  return code;
}

// ---- Hot and pressed elements ----------------------------------------------------------------------------

void TsSkinProvider::SetElementState(int Code, int State) {
  if (TsCaptionButton* b = ButtonOf(Code)) b->State = State;
}

void TsSkinProvider::SetHotHT(int Code, bool Repaint) {
  if (Code == HotHitCode) return;
  const int old = HotHitCode;
  if (old) {
    SetElementState(old, 0);
    if (Repaint) RepaintButton(old);
  }
  HotHitCode = Code;
  ButtonPressed = false;
  if (!Code) return;
  SetElementState(Code, 1);
  if (Repaint) RepaintButton(Code);
  // The hot look goes when the mouse leaves the frame.
  if (Form && Form->HandleAllocated() && GetCapture() != Form->Handle()) {
    TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE | TME_NONCLIENT, Form->Handle(), 0};
    TrackMouseEvent(&tme);
  }
}

void TsSkinProvider::LeaveHot() {
  // A leave of the client area comes after the mouse reached the title bar: the element under the
  // mouse stays hot.
  if (ButtonPressed || !HotHitCode || !Form || !Form->HandleAllocated()) return;
  POINT cursor{};
  GetCursorPos(&cursor);
  if (WindowFromPoint(cursor) == Form->Handle() && HitTestAt(TPoint{cursor.x, cursor.y}) == HotHitCode) return;
  SetHotHT(0);
}

void TsSkinProvider::SetPressedHT(int Code) {
  if (HotHitCode && HotHitCode != Code) {
    SetElementState(HotHitCode, 0);
    RepaintButton(HotHitCode);
  }
  HotHitCode = Code;
  if (Code == qv::htMaxButton && !(MaximizeEnabled() || (Zoomed(Form) && RestoreEnabled()))) {
    HotHitCode = 0;
    return;
  }
  if (Code == qv::htMDIMax)
    if (TCustomForm* child = MaximizedChildOf(Form); !child || !Zoomed(child)) {
      HotHitCode = 0;
      return;
    }
  SetElementState(Code, 2);
  ButtonPressed = true;
  RepaintButton(Code);
}

void TsSkinProvider::RepaintButton(int Code) {
  TsSkinManager* sm = SkinData->SkinManager();
  TBitmap* cache = SkinData->CacheBmp;
  if (!Form || !Form->HandleAllocated() || !sm || !cache || !Skinned()) return;
  if (cache->Empty() || SkinData->BGChanged) {
    // No image to repaint a button in: the frame is composed and painted whole.
    PaintFrameNow();
    return;
  }
  TsCaptionButton* b = ButtonOf(Code);
  if (!b || b->Rect.IsEmpty()) return;
  int image = b->ImageIndex;
  bool enabled = true;
  const bool menuLine = Code == qv::htMDIClose || Code == qv::htMDIMax || Code == qv::htMDIMin;
  if (menuLine)
    enabled = MDIButtonEnabled(Code);
  else
    for (const TButtonSlot& s : ShownButtons())
      if (s.Code == Code) {
        image = s.Image;
        enabled = s.Enabled;
      }
  if (image == -1 && !(Code >= qv::htTitleButton)) return;
  const TRect& r = b->Rect;
  {
    // The background under the button, then the button in its state.
    BitmapDC dst(cache);
    if (menuLine) {
      BitmapDC src(TempBmp);
      const int top = MenuLineTop();
      if (dst && src) BitBlt(dst, r.Left, r.Top, r.Width(), r.Height(), src, r.Left, r.Top - top, SRCCOPY);
    } else {
      BitmapDC src(TitleBmp);
      if (dst && src) BitBlt(dst, r.Left, r.Top, r.Width(), r.Height(), src, r.Left, r.Top, SRCCOPY);
    }
  }
  if (sm->IsMaskIndex(image))
    PaintMaskImageByIndex(cache, r.TopLeft(), enabled ? b->State : 0, (FormActive || menuLine) && enabled ? 1 : 2,
                          image, sm);
  if (Code >= qv::htTitleButton) {
    // The glyph goes over the button again.
    TsTitleButton* tb = TitleButtons->Items(Code - qv::htTitleButton);
    if (TBitmap* glyph = tb->Glyph(); glyph && !glyph->Empty()) {
      TBmpPtr g(CreateBmp24(glyph->Width(), glyph->Height()));
      {
        BitmapDC d(g.get()), s(glyph);
        if (d && s) BitBlt(d, 0, 0, glyph->Width(), glyph->Height(), s, 0, 0, SRCCOPY);
      }
      TacFast24 px;
      const TColor key = px.Attach(g.get()) ? px.GetPixel(0, g->Height() - 1) : TColor(0xFF00FF);
      CopyTransparent(cache, g.get(), r.Left + (r.Width() - g->Width()) / 2, r.Top + (r.Height() - g->Height()) / 2,
                      key);
    }
  }
  WindowDC dc(Form->Handle());
  BitmapDC src(cache);
  if (dc && src) BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), src, r.Left, r.Top, SRCCOPY);
}

// ---- Mouse ---------------------------------------------------------------------------------------------

void TsSkinProvider::TrackPressed(TPoint ScreenPoint) {
  if (!ButtonPressed || !HotHitCode) return;
  TsCaptionButton* b = ButtonOf(HotHitCode);
  if (!b) return;
  const int state = HitTestAt(ScreenPoint) == HotHitCode ? 2 : 0;
  if (b->State == state) return;
  b->State = state;
  RepaintButton(HotHitCode);
}

void TsSkinProvider::ButtonDown(TMessage& Message) {
  const int code = int(Message.WParam);
  const TPoint at{Message.LParamX(), Message.LParamY()};
  switch (code) {
    case qv::htSysMenu: {
      SetHotHT(0);
      const TPoint o = FormLeftTop();
      DropSystemMenu(o.X + BorderWidth(), o.Y + BorderHeight() + CaptionHeight());
      return;
    }
    case qv::htMDIClose:
    case qv::htMDIMax:
    case qv::htMDIMin:
      // A button of a command the child cannot take now does nothing.
      if (!MDIButtonEnabled(code)) return;
      [[fallthrough]];
    case qv::htMinButton:
    case qv::htMaxButton:
    case qv::htClose:
    case qv::htHelp:
      SetPressedHT(code);
      if (ButtonPressed) SetCapture(Form->Handle());
      return;
    case HTMENU:
      if (MDIChildIcon(at)) return;
      break;
    default: break;
  }
  if (code >= qv::htTitleButton && code - qv::htTitleButton < TitleButtons->Count()) {
    SetPressedHT(code);
    SetCapture(Form->Handle());
    TitleButtons->Items(code - qv::htTitleButton)
        ->MouseDown(code - qv::htTitleButton, mbLeft, KeyboardShiftState(), at.X, at.Y);
    return;
  }
  if (Iconic(Form)) {
    SendMessageA(Form->Handle(), WM_SYSCOMMAND, SC_MOVE | HTCAPTION, Message.LParam);
    return;
  }
  SetHotHT(0);
  if (Zoomed(Form)) {
    TPoint p;
    ScreenToFrame(at.X, at.Y, p);
    if (p.Y < BorderHeight() + CaptionHeight()) {
      // The caption of a maximized form does not move it.
      if (!Form->Active() && Form->CanFocus()) Form->SetFocus();
      return;
    }
  }
  if (ResizeMode == rmBorder && ProviderWinVersion() < 6 && (code == qv::htCaption || (code >= 10 && code <= 17))) {
    StartDragFrame(this, code == qv::htCaption, code, at);
    return;
  }
  OldWndProc(Message);
}

void TsSkinProvider::ButtonCommand(int Code, TMessage& Message) {
  const HWND wnd = Form->Handle();
  const TPoint at{Message.LParamX(), Message.LParamY()};
  switch (Code) {
    case qv::htHelp:
      SetHotHT(0);
      SendMessageA(wnd, WM_SYSCOMMAND, SC_CONTEXTHELP, 0);
      break;
    case qv::htMinButton:
      SetHotHT(0);
      SendMessageA(wnd, WM_SYSCOMMAND, Iconic(Form) ? SC_RESTORE : SC_MINIMIZE, 0);
      break;
    case qv::htMaxButton: WindowStateCommand(Code); break;
    case qv::htClose:
      ButtonClose.State = 0;
      SetHotHT(0, false);
      SendMessageA(wnd, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
    case qv::htMDIClose:
    case qv::htMDIMax:
    case qv::htMDIMin:
      SetHotHT(0);
      if (TCustomForm* child = MaximizedChildOf(Form)) {
        if (Code == qv::htMDIMin)
          if (TsSkinProvider* p = ProviderOf(child)) p->SkinData->BeginUpdate();
        const WPARAM cmd = Code == qv::htMDIClose ? SC_CLOSE : Code == qv::htMDIMax ? SC_RESTORE : SC_MINIMIZE;
        SendMessageA(child->Handle(), WM_SYSCOMMAND, cmd, 0);
      }
      break;
    default:
      if (Code >= qv::htTitleButton && Code - qv::htTitleButton < TitleButtons->Count()) {
        SetHotHT(0);
        TitleButtons->Items(Code - qv::htTitleButton)
            ->MouseUp(Code - qv::htTitleButton, mbLeft, KeyboardShiftState(), at.X, at.Y);
      }
      break;
  }
}

void TsSkinProvider::WindowStateCommand(int Code) {
  (void)Code;
  const bool mdiChild = Form->FormStyle() == fsMDIChild;
  SetHotHT(0);
  if (Zoomed(Form)) {
    if (mdiChild) {
      StateChangingProvider = nullptr;
      Form->SetWindowState(wsNormal);
    } else {
      SendMessageA(Form->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
    }
  } else if (mdiChild) {
    StateChangingProvider = this;
    Form->SetWindowState(wsMaximized);
  } else {
    SendMessageA(Form->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  }
}

void TsSkinProvider::ButtonUp(TMessage& Message, int Code, bool NonClient) {
  auto alive = Alive_;
  const bool pressed = ButtonPressed && HotHitCode != 0;
  const int held = HotHitCode;
  if (pressed && GetCapture() == Form->Handle()) ReleaseCapture();
  if (!*alive || !Form) return;
  if (pressed) {
    // A press on a title-bar element ends here: it acts only when released over the same element.
    ButtonPressed = false;
    if (Code == held) {
      ButtonCommand(Code, Message);
      if (*alive && Form && SystemMenu) SystemMenu->UpdateItems();
    }
    if (*alive && Form) SetHotHT(0);
    Message.Result = 0;
    return;
  }
  if (!NonClient) {
    OldWndProc(Message);
    return;
  }
  SetHotHT(0);
  if (Code == qv::htSysMenu && Form->FormStyle() == fsMDIChild && Iconic(Form)) {
    const TPoint o = FormLeftTop();
    DropSystemMenu(o.X + BorderWidth(), o.Y + BorderHeight() + CaptionHeight());
    Message.Result = 0;
    return;
  }
  if (Code == qv::htClose) {
    Message.Result = 0;
    return;
  }
  OldWndProc(Message);
}

void TsSkinProvider::ButtonDoubleClick(TMessage& Message) {
  auto alive = Alive_;
  if (acsp::DragFrameRunning(this)) EndDragFrame(false);
  const int code = int(Message.WParam);
  if (code == qv::htSysMenu) {
    Form->Close();
  } else if (code == qv::htCaption && HasSysMenu() && MaximizeAllowed()) {
    if (Zoomed(Form) && RestoreEnabled()) {
      SendMessageA(Form->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
      // A form that restores to its minimized state is restored again, a few times at most.
      for (int i = 0; i < 3 && *alive && Form && Iconic(Form); ++i)
        SendMessageA(Form->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
    } else if (!Zoomed(Form) && MaximizeEnabled()) {
      if (Form->FormStyle() == fsMDIChild) {
        StateChangingProvider = this;
        Form->SetWindowState(wsMaximized);
      } else {
        SendMessageA(Form->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
      }
    }
    if (*alive && Form && SystemMenu) SystemMenu->UpdateItems();
  }
  Message.WParam = 0;
  Message.Result = 0;
}

void TsSkinProvider::RightButtonUp(TMessage& Message) {
  if (!HasBorder()) {
    OldWndProc(Message);
    return;
  }
  const int code = int(Message.WParam);
  if (code == qv::htCaption || code == qv::htSysMenu) {
    SetHotHT(0);
    DropSystemMenu(Message.LParamX(), Message.LParamY());
  }
  Message.Result = 0;
}

// ---- The window menu and the menu line --------------------------------------------------------------------

bool TsSkinProvider::MDIChildIcon(TPoint ScreenPoint) {
  const TRect icon = MDIChildIconRect();
  TPoint p;
  ScreenToFrame(ScreenPoint.X, ScreenPoint.Y, p);
  if (icon.IsEmpty() || !icon.Contains(p)) return false;
  TCustomForm* child = MaximizedChildOf(Form);
  TsSkinProvider* cp = child ? ProviderOf(child) : nullptr;
  // A child the skin does not draw keeps the system's window menu.
  if (!cp || !cp->Skinned() || !cp->SystemMenu) return false;
  SetHotHT(0);
  const TPoint o = FormLeftTop();
  cp->DropSystemMenu(o.X + icon.Left, o.Y + icon.Bottom);
  return true;
}

void TsSkinProvider::DropSystemMenu(int X, int Y) {
  if (!SystemMenu || !Form) return;
  if (MakeSkinMenu) SystemMenu->MakeSkinItems();
  SystemMenu->UpdateItems();
  TsSkinManager* sm = SkinData->SkinManager();
  if (TacSkinableMenus* menus = SkinableMenusOf(sm); menus && sm->SkinnedPopups())
    menus->PreparePopupMenu(SystemMenu, sm->SkinData()->Active);
  if (Form->HandleAllocated()) SystemMenu->SetWindowHandle(Form->Handle());
  SystemMenu->Popup(X, Y);
}

void TsSkinProvider::CountMenuLineRows() {
  if (MenuLineRows != -1) return;
  // Rows measured again: the items changed or were laid out anew, the kept line with them.
  KeptMenuLine_.reset();
  MenuLineRows = 1;
  if (!Form || !Form->HandleAllocated()) return;
  // The rows the system laid the bar out in: the distinct tops of its items.
  const HWND wnd = Form->Handle();
  HMENU bar = GetMenu(wnd);
  if (!bar) return;
  std::vector<LONG> tops;
  for (int i = 0, n = GetMenuItemCount(bar); i < n; ++i) {
    RECT r{};
    if (GetMenuItemRect(wnd, bar, UINT(i), &r) && r.bottom > r.top &&
        std::find(tops.begin(), tops.end(), r.top) == tops.end())
      tops.push_back(r.top);
  }
  MenuLineRows = std::max<int>(1, int(tops.size()));
}
