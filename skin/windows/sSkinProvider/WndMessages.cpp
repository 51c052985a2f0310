// The window messages of a skinned form: the frame kept in step with size, activation, caption
// and menus; the non-client area painted from the image; hit testing and the title-bar buttons;
// system commands; the first showing; printing; snapping to the work area.
#include "skin/engine/sFade.h"
#include "skin/windows/sSkinProvider/Internal.h"

using namespace acsp;

namespace {

// Redraw flag sets of the form's handling.
constexpr UINT kRedrawAll = RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME;
constexpr UINT kRedrawClient = RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW;
constexpr UINT kRedrawFrameNoErase = RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_UPDATENOW | RDW_FRAME;

TPoint ClientToScreenPoint(HWND wnd, const TMessage& m) {
  POINT p{m.LParamX(), m.LParamY()};
  ClientToScreen(wnd, &p);
  return TPoint{p.x, p.y};
}

bool SizeChanged(TsSkinProvider* p) {
  TBitmap* cache = p->SkinData->CacheBmp;
  return !cache || cache->Width() != p->FormWidth() || cache->Height() != p->FormHeight();
}

}  // namespace

void TsSkinProvider::SkinnedMessage(TMessage& Message) {
  if (PlainFrame() && PlainFrameMessage(Message)) return;
  switch (Message.Msg) {
    case WM_CREATE: WMCreate(Message); return;
    case WM_SIZE: WMSize(Message); return;
    case WM_ACTIVATE: WMActivate(Message); return;
    case WM_SETTEXT: WMSetText(Message); return;
    case WM_PAINT: WMPaint(Message); return;
    case WM_ERASEBKGND: WMEraseBkgnd(Message); return;
    case WM_SYSCOLORCHANGE:
      OldWndProc(Message);
      RebuildMainMenu();
      return;
    case WM_SETICON:
      OldWndProc(Message);
      if (!Form) return;
      FreeKeptParts();
      SkinData->BGChanged = true;
      if (Form->Showing()) SendNCPaint(Form);
      return;
    case WM_SHOWWINDOW:
      OldWndProc(Message);
      if (IsMaximizedMDIChild() && MDIProviderSkinned()) MDISkinProvider->RepaintFrame();
      return;
    case WM_SETTINGCHANGE:
      SkinData->BGChanged = true;
      CaptionFontHeight_ = -1;
      ForgetFrameMetrics();
      FreeKeptParts();
      delete TitleStripBmp;
      TitleStripBmp = nullptr;
      OldWndProc(Message);
      return;
    case WM_CHILDACTIVATE:
      OldWndProc(Message);
      RebuildMainMenu();
      if (MDIProviderSkinned() && MDISkinProvider->MDIForm && MaximizedChildOf(MDISkinProvider->Form) &&
          MDIFormRefreshProc)
        MDIFormRefreshProc(MDISkinProvider->MDIForm);
      return;
    case WM_MEASUREITEM:
      if (Form->FormStyle() == fsMDIForm) MDISkinProvider = this;
      OldWndProc(Message);
      return;
    case WM_WINDOWPOSCHANGING: WMWindowPosChanging(Message); return;
    case WM_WINDOWPOSCHANGED: WMWindowPosChanged(Message); return;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      if (!AnswerBareChildColors(Message)) OldWndProc(Message);
      return;
    case WM_NOTIFY: {
      const auto* nm = reinterpret_cast<const NMHDR*>(Message.LParam);
      const bool pageChanged = nm && nm->code == UINT(TCN_SELCHANGE);
      OldWndProc(Message);
      if (pageChanged && Adapter) Adapter->AddAllItems(nullptr);
      return;
    }
    case WM_NCHITTEST: WMNCHitTest(Message); return;
    case WM_NCPAINT: WMNCPaint(Message); return;
    case WM_NCACTIVATE: WMNCActivate(Message); return;
    case WM_NCLBUTTONDOWN: ButtonDown(Message); return;
    case WM_NCLBUTTONUP: ButtonUp(Message, int(Message.WParam), true); return;
    case WM_NCLBUTTONDBLCLK: ButtonDoubleClick(Message); return;
    case WM_NCRBUTTONDOWN:
      if (Message.WParam == WPARAM(qv::htCaption) || Message.WParam == WPARAM(qv::htSysMenu)) {
        Message.Result = 0;
        return;
      }
      OldWndProc(Message);
      return;
    case WM_NCRBUTTONUP: RightButtonUp(Message); return;
    case WM_SYSCOMMAND: WMSysCommand(Message); return;
    case WM_INITMENUPOPUP:
      if (HIWORD(Message.LParam) != 0) PopupMenuShown = true;
      OldWndProc(Message);
      return;
    case WM_ENTERIDLE: Message.Result = 0; return;
    case WM_MOUSEMOVE: WMMouseMove(Message); return;
    case WM_LBUTTONUP:
      if (acsp::DragFrameRunning(this)) {
        EndDragFrame(true);
        Message.Result = 0;
        return;
      }
      // The hit code of a button-up in the client area is where it happened (WParam holds keys).
      ButtonUp(Message, HitTestAt(ClientToScreenPoint(Form->Handle(), Message)), false);
      return;
    case WM_CAPTURECHANGED:
      if (acsp::DragFrameRunning(this) && HWND(Message.LParam) != Form->Handle()) EndDragFrame(false);
      if (ButtonPressed && HotHitCode && HWND(Message.LParam) != Form->Handle()) SetHotHT(0);
      OldWndProc(Message);
      return;
    case WM_NCMOUSELEAVE:
    case WM_MOUSELEAVE:
    case CM_MOUSELEAVE:
      LeaveHot();
      OldWndProc(Message);
      return;
    case WM_PARENTNOTIFY: WMParentNotify(Message); return;
    case WM_ENTERMENULOOP: WMEnterMenuLoop(Message); return;
    case WM_EXITMENULOOP:
      InMenuLoop = false;
      FreeMDIButtonsForm();
      OldWndProc(Message);
      return;
    case WM_SIZING:
      OldWndProc(Message);
      if (SizeChanged(this)) {
        SkinData->BGChanged = true;
        MenuLineRows = -1;
      }
      return;
    case WM_MDIACTIVATE:
    case WM_MDIRESTORE: WMMDIActivate(Message); return;
    case WM_PRINT: WMPrint(Message); return;
    case WM_PRINTCLIENT: Message.Result = 0; return;
    case CM_VISIBLECHANGED:
      OldWndProc(Message);
      if (!Form) return;
      if (Message.WParam == 0) {
        if (SkinData->CacheBmp && !Dying(Form)) {
          SkinData->CacheBmp->SetSize(0, 0);
          SkinData->BGChanged = true;
        }
        // What changes while the form is hidden is not followed.
        FreeKeptParts();
      } else if (Form->Parent()) {
        RepaintChildControls(Form);
      }
      return;
    case CM_ENABLEDCHANGED:
      OldWndProc(Message);
      if (!Form) return;
      SkinData->BGChanged = true;
      SendNCPaint(Form);
      return;
    case CM_COLORCHANGED:
      if (SkinData->CustomColor && !Creating(Form)) SkinData->BGChanged = true;
      OldWndProc(Message);
      return;
    case CM_MOUSEENTER: CMMouseEnter(Message); return;
    case CM_MENUCHANGED:
      KeptMenuLine_.reset();
      if (!Creating(Form) && Form->Visible()) {
        MenuRebuilt = false;
        // The menu line shows the items as they are now.
        SkinData->BGChanged = true;
        MenuLineRows = -1;
      }
      OldWndProc(Message);
      return;
    case CM_SHOWINGCHANGED: CMShowingChanged(Message); return;
    case CM_CONTROLLISTCHANGE:
      OldWndProc(Message);
      if (Adapter && Message.LParam != 0)
        if (auto* c = reinterpret_cast<TControl*>(Message.WParam); c && c->IsWindowControl()) Adapter->AddNewItem(c);
      return;
    case CM_FLOAT:
      OldWndProc(Message);
      if (!Form) return;
      FreeAndNil(FormScrollWnd);
      SendSkinCommand(Form->Handle(), QC_REFRESH, reinterpret_cast<LPARAM>(SkinData->SkinManager()));
      return;
    default: OldWndProc(Message); return;
  }
}

bool TsSkinProvider::PlainFrameMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_WINDOWPOSCHANGED: {
      auto alive = Alive_;
      OldWndProc(Message);
      if (!*alive || !Form || WindowSize() == PlainFrameSize_) return true;
      // Another size: the skin's frame again, if an image can be had for it.
      PlainFrameSize_ = TSize{};
      SetSystemMenuStyle(true);
      SkinData->BGChanged = true;
      FrameDirty = true;
      RegionChanged = true;
      RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
      return true;
    }
    case WM_NCPAINT:
    case WM_NCACTIVATE:
    case WM_NCHITTEST:
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
    case WM_LBUTTONUP:
    case WM_SYSCOMMAND:
    case WM_SETTEXT:
    case WM_PAINT:
    case WM_ERASEBKGND:
    case WM_PRINT:
    case WM_PRINTCLIENT: OldWndProc(Message); return true;
    default: return false;
  }
}

// ---- Creation, size, activation, caption ----------------------------------------------------------------

void TsSkinProvider::WMCreate(TMessage& Message) {
  auto alive = Alive_;
  delete TitleStripBmp;
  TitleStripBmp = nullptr;
  FreeKeptParts();
  // A new window (the form's made again: another border style ...) has no region and no frame yet.
  SkinData->BGChanged = true;
  FrameDirty = true;
  RegionChanged = true;
  RegionSize_ = TSize{};
  ChildMaximizing = Form->FormStyle() == fsMDIChild && MDIProviderSkinned() && MaximizedChildOf(MDISkinProvider->Form);
  OldWndProc(Message);
  if (*alive && Form && Form->FormStyle() != fsMDIChild) PrepareForm();
}

void TsSkinProvider::WMSize(TMessage& Message) {
  auto alive = Alive_;
  SkinData->BGChanged = true;
  RegionChanged = true;
  OldWndProc(Message);
  if (!*alive || !Form || !Form->Showing()) return;
  if (Form->FormStyle() == fsMDIChild && Message.WParam == SIZE_MAXIMIZED && MDIProviderSkinned())
    MDISkinProvider->RepaintFrame();
  // A maximized child's title is the frame's: its own follows the activation again from here.
  if (Form->FormStyle() == fsMDIChild && Message.WParam != SIZE_MAXIMIZED) FormActive = ActiveNow();
  TsSkinManager* sm = SkinData->SkinManager();
  if (sm->Section(SkinData->SkinIndex).GradientPercent > 0)
    for (int i = 0; i < Form->ControlCount(); ++i) {
      TControl* c = Form->Controls(i);
      if (c && !Dying(c)) c->Perform(SM_QUORVEXCMD, SkinCommandWParam(QC_PARENTMOVED, 1), 0);
    }
  if (!HasBorder()) RedrawWindow(Form->Handle(), nullptr, nullptr, kRedrawAll);
}

void TsSkinProvider::WMActivate(TMessage& Message) {
  auto alive = Alive_;
  OldWndProc(Message);
  if (!*alive || !Form || Creating(Form)) return;
  FormActive = LOWORD(Message.WParam) != WA_INACTIVE;
  SkinData->BGChanged = true;
  MenuLineRows = -1;
  if (Form->FormStyle() == fsMDIChild && MDIProviderSkinned() && MDISkinProvider != this) {
    TCustomForm* frame = MDISkinProvider->Form;
    for (int i = 0; i < frame->MDIChildCount(); ++i) {
      TCustomForm* child = frame->MDIChildren(i);
      if (child != Form && child->HandleAllocated() && IsWindowVisible(child->Handle())) SendNCPaint(child);
    }
    MDISkinProvider->SkinData->BGChanged = true;
  }
  SendNCPaint(Form);
  if (!*alive || !Form) return;
  TsSkinManager* sm = SkinData->SkinManager();
  if (sm && !sm->ComponentState().Contains(csDesigning)) PrepareMenus(Skinned());
  if (SystemMenu) SystemMenu->UpdateItems();
}

void TsSkinProvider::WMSetText(TMessage& Message) {
  auto alive = Alive_;
  if (!Form->Showing() || Creating(Form)) {
    OldWndProc(Message);
    return;
  }
  if (IsMaximizedMDIChild() && MDIProviderSkinned()) {
    MDISkinProvider->SkinData->BGChanged = true;
    MDISkinProvider->ShowCaptionForm();
    OldWndProc(Message);
    if (IsLive(MDISkinProvider)) MDISkinProvider->HideCaptionForm();
    return;
  }
  if (ProviderWinVersion() < 6) {
    // The system draws the new caption itself: a cover in the skin's look hides it meanwhile.
    SkinData->BGChanged = true;
    ShowCaptionForm();
    OldWndProc(Message);
    if (*alive && Form) {
      HideCaptionForm();
      SendNCPaint(Form);
    }
    return;
  }
  // Storing the text of a window with a caption, the system paints its own caption and menu bar
  // over the skin's: the caption style is off while the text is stored, and the provider writes its
  // caption alone.
  const HWND wnd = Form->Handle();
  const LONG style = GetWindowLongA(wnd, GWL_STYLE);
  const bool caption = (style & WS_CAPTION) == WS_CAPTION;
  auto setStyle = [&](LONG value) {
    CaptionStyleAside = true;
    SetWindowLongA(wnd, GWL_STYLE, value);
    CaptionStyleAside = false;
  };
  auto captionBack = [&] {
    if (caption && IsWindow(wnd)) setStyle(GetWindowLongA(wnd, GWL_STYLE) | WS_CAPTION);
  };
  if (caption) setStyle(style & ~LONG(WS_CAPTION));
  try {
    OldWndProc(Message);
  } catch (...) {
    captionBack();
    throw;
  }
  captionBack();
  if (*alive && Form) RepaintCaption();
}

void TsSkinProvider::WMPaint(TMessage& Message) {
  if (!Form->Showing() || Creating(Form)) {
    OldWndProc(Message);
    return;
  }
  PaintClient(reinterpret_cast<HDC>(Message.WParam));
  if (ChildMaximizing) {
    ChildMaximizing = false;
    if (Form->FormStyle() == fsMDIChild) {
      StateChangingProvider = this;
      Form->SetWindowState(wsMaximized);
    }
  }
  Message.Result = 0;
}

void TsSkinProvider::WMEraseBkgnd(TMessage& Message) {
  Message.Result = 0;
  // Painted in WM_PAINT from the image, unless a child shows the parent's themed background.
  if (ThemesInUse() && HasParentBgChild && !AnimatingShow) OldWndProc(Message);
}

// ---- Position --------------------------------------------------------------------------------------------

void TsSkinProvider::Snap(WINDOWPOS& Pos) {
  TRect work;
  if (!GetDesktopWorkArea(work)) return;
  TPoint monitor{};
  if (HMONITOR mon = MonitorFromWindow(Form->Handle(), MONITOR_DEFAULTTONEAREST)) {
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    if (GetMonitorInfoA(mon, &mi)) monitor = TPoint{mi.rcMonitor.left, mi.rcMonitor.top};
  }
  const TSize size = (Pos.flags & SWP_NOSIZE) ? TSize{FormWidth(), FormHeight()} : TSize{Pos.cx, Pos.cy};
  const TPoint p = qv::SnapToWorkArea(TPoint{Pos.x, Pos.y}, size, work, monitor, SnapBuffer);
  Pos.x = p.X;
  Pos.y = p.Y;
}

void TsSkinProvider::WMWindowPosChanging(TMessage& Message) {
  if (RegionUpdating) {
    Message.Result = 0;
    return;
  }
  auto* pos = reinterpret_cast<WINDOWPOS*>(Message.LParam);
  if (pos && !Zoomed(Form) && ScreenSnap && !(pos->flags & SWP_NOMOVE) && (pos->x != 0 || pos->y != 0)) Snap(*pos);
  OldWndProc(Message);
}

void TsSkinProvider::WMWindowPosChanged(TMessage& Message) {
  auto alive = Alive_;
  OldWndProc(Message);
  if (!*alive || !Form || !Form->Showing() || SkinChanging || Creating(Form)) return;
  // The image and the region follow the window's size whichever message told of it first: the
  // system may have sent the non-client paint before this message (Wine does) or not yet
  // (Windows), and a paint may have renewed the image without the region.
  if (ImageFitsWindow() && RegionFitsWindow()) return;
  RegionChanged = true;
  SkinData->BGChanged = true;
  MenuLineRows = -1;
  SendNCPaint(Form);
}

// ---- The non-client area ---------------------------------------------------------------------------------

void TsSkinProvider::WMNCHitTest(TMessage& Message) {
  if (CaptionHeight() == 0) {
    OldWndProc(Message);
    return;
  }
  const int code = HitTest(Message);
  if (code == qv::htNowhere || code == qv::htCaption) {
    OldWndProc(Message);
    SetHotHT(0);
  } else {
    Message.Result = code;
  }
  const int result = int(Message.Result);
  if (ResizeMode == rmBorder && !acsp::DragFrameRunning() &&
      (result == qv::htCaption || (result >= 10 && result <= 17)))
    PendingSizingCode = result;
}

void TsSkinProvider::CutFrameIfChanged() {
  const HWND wnd = Form->Handle();
  const LONG style = GetWindowLongA(wnd, GWL_STYLE);
  if ((RegionChanged || !RegionFitsWindow()) && !RegionUpdating &&
      (HasBorder() || (style & WS_THICKFRAME) || Iconic(Form))) {
    BuildRegionRects();
    RegionChanged = false;
    if (!RegionUpdating) UpdateFormRegion(false);
  }
}

void TsSkinProvider::CutBeforeSwitchPaint() {
  if (!Form || !Form->HandleAllocated() || AnimatingShow || !Form->Showing() || Loading() || Creating(Form) ||
      !SystemMenu || ChildMaximizing || InMenuLoop)
    return;
  if (Form->FormStyle() == fsMDIChild && MDIProviderSkinned())
    if (TCustomForm* active = MaximizedChildOf(MDISkinProvider->Form); active && active != Form) return;
  CutFrameIfChanged();
}

void TsSkinProvider::WMNCPaint(TMessage& Message) {
  Message.Result = 0;
  if (AnimatingShow || !Form->Showing() || Loading() || Creating(Form) || !SystemMenu || ChildMaximizing) return;
  if (ResizeMode == rmBorder && ProviderWinVersion() >= 6) ResizeMode = rmStandard;
  if (Form->FormStyle() == fsMDIChild && MDIProviderSkinned())
    if (TCustomForm* active = MaximizedChildOf(MDISkinProvider->Form); active && active != Form) return;
  if (!MenuRebuilt && MainMenuOf(Form)) {
    // A menu the form was given while skinned is drawn in the skin too.
    if (!MainMenuOf(Form)->OwnerDraw()) PrepareMenus(true);
    MenuRebuilt = RebuildMainMenu();
  }
  CutFrameIfChanged();
  const HWND wnd = Form->Handle();
  const LONG style = GetWindowLongA(wnd, GWL_STYLE);
  const bool iconic = Iconic(Form);
  SkinData->SetUpdating(false);
  const int cacheWidth = SkinData->CacheBmp ? SkinData->CacheBmp->Width() : 0;
  {
    WindowDC dc(wnd);
    SavedDC saved(dc);
    if (!HasBorder() && (style & WS_THICKFRAME) && !iconic) {
      if (SkinData->BGChanged || !ImageFitsWindow()) PaintFrameCache();
      BitmapDC src(PlainFrame() ? nullptr : SkinData->CacheBmp);
      if (dc && src) BitBltBorder(dc, 0, 0, FormWidth(), FormHeight(), src, 0, 0, BorderWidth() + 3);
    } else {
      PaintNonClient(dc);
    }
  }
  RegionUpdating = false;
  if (PlainFrame()) {
    // No image could be had for this size: the system's frame.
    OldWndProc(Message);
    return;
  }
  if (cacheWidth > FormWidth()) Form->Perform(WM_PAINT, 0, 0);
  if (Form && Form->FormStyle() == fsMDIForm && MDIForm && MDIFormRefreshProc) MDIFormRefreshProc(MDIForm);
}

void TsSkinProvider::WMNCActivate(TMessage& Message) {
  auto alive = Alive_;
  const bool active = Message.WParam != 0;
  const bool changed = active != FormActive;
  const HWND wnd = Form->Handle();
  if (Form->Showing()) {
    if (changed) SkinData->BGChanged = true;
    // The system draws the caption of the new state itself: unseen with the redraw off, or hidden
    // under a cover in the skin's look before version 6.
    const bool redrawOff = AnimatingShow || ProviderWinVersion() >= 6;
    if (redrawOff)
      SendMessageA(wnd, WM_SETREDRAW, 0, 0);
    else
      ShowCaptionForm();
    OldWndProc(Message);
    if (!*alive || !Form) return;
    if (redrawOff) {
      SendMessageA(wnd, WM_SETREDRAW, 1, 0);
      if (ProviderWinVersion() >= 6) RedrawWindow(wnd, nullptr, nullptr, kRedrawClient);
    } else {
      HideCaptionForm();
    }
  } else {
    OldWndProc(Message);
    if (!*alive || !Form) return;
  }
  const LRESULT result = Message.Result;
  if (Form->FormStyle() == fsMDIChild && Form->Showing()) MDIChildShown();
  if (!*alive || !Form) return;
  if (GetWindowLongA(wnd, GWL_STYLE) & WS_SYSMENU) SendNCPaint(Form);
  if (!Creating(Form) && HasBorder()) {
    if (Form->FormStyle() == fsMDIForm) {
      TCustomForm* child = Form->ActiveMDIChild();
      FormActive = child ? child->Active() || active : active;
    } else if (!IsMaximizedMDIChild()) {
      if (FormActive != active) MenuLineRows = -1;
      FormActive = active;
    }
  }
  if (Form->FormStyle() == fsMDIChild) {
    SkinData->BGChanged = true;
    SendNCPaint(Form);
  }
  TsSkinManager* sm = SkinData->SkinManager();
  if (sm && !sm->ComponentState().Contains(csDesigning)) PrepareMenus(Skinned());
  if (!MenuRebuilt && MainMenuOf(Form)) MenuRebuilt = RebuildMainMenu();
  if (!Adapter) InitAdapter();
  // The frame shows the new state also when no activation message follows.
  if (changed && Form->Showing()) SendNCPaint(Form);
  RepaintChildControls(Form);
  Message.Result = result;
}

// ---- System commands -------------------------------------------------------------------------------------

void TsSkinProvider::WMSysCommand(TMessage& Message) {
  auto alive = Alive_;
  const WPARAM cmd = Message.WParam & 0xFFF0;
  if (LOWORD(Message.WParam) == (SC_MOVE | HTCAPTION)) Form->Invalidate();
  if (ResizeMode == rmBorder && ProviderWinVersion() < 6 && !acsp::DragFrameRunning() &&
      (cmd == SC_MOVE || cmd == SC_SIZE)) {
    POINT cursor{};
    GetCursorPos(&cursor);
    const int edge = int(Message.WParam & 0xF);  // WMSZ_LEFT (1) ... WMSZ_BOTTOMRIGHT (8)
    StartDragFrame(this, cmd == SC_MOVE, edge >= 1 && edge <= 8 ? 9 + edge : 17, TPoint{cursor.x, cursor.y});
    Message.Result = 0;
    return;
  }
  if (Form->FormStyle() == fsMDIForm) {
    OldWndProc(Message);
    if (*alive && Form && (cmd == SC_MINIMIZE || cmd == SC_MAXIMIZE || cmd == SC_RESTORE)) {
      SkinData->BGChanged = true;
      MenuLineRows = -1;
      SendNCPaint(Form);
    }
    return;
  }
  if (Form->FormStyle() == fsMDIChild) {
    MDIChildSysCommand(Message);
    return;
  }
  OldWndProc(Message);
  if (!*alive || !Form) return;
  if (cmd == SC_MINIMIZE) {
    if (SkinData->CacheBmp) SkinData->CacheBmp->SetSize(0, 0);
    SkinData->BGChanged = true;
  } else if (cmd == SC_KEYMENU && Message.LParam == ' ' && SystemMenu && HasBorder()) {
    const TPoint o = FormLeftTop();
    DropSystemMenu(o.X + BorderWidth(), o.Y + BorderHeight() + CaptionHeight());
  } else if (cmd == SC_RESTORE && HasBorder()) {
  } else if (SystemMenu && SystemMenu->ItemMaximize->Visible()) {
    HotHitCode = qv::htMaxButton;
    SetHotHT(0);
  }
}

void TsSkinProvider::MDIChildSysCommand(TMessage& Message) {
  auto alive = Alive_;
  const WPARAM cmd = Message.WParam & 0xFFF0;
  const bool lockFrame = Zoomed(Form) && cmd != SC_MAXIMIZE;
  if (lockFrame) SkinData->BeginUpdate();
  switch (cmd) {
    case SC_CLOSE: {
      const bool frameReady = IsLive(MDISkinProvider) && MDISkinProvider->MDIForm;
      if (frameReady && lockFrame) RefreshMDIFrame();
      if (IsLive(MDISkinProvider)) MDISkinProvider->InMenuLoop = true;
      OldWndProc(Message);
      if (*alive && Form) SetHotHT(0);
      if (IsLive(MDISkinProvider)) MDISkinProvider->InMenuLoop = false;
      if (lockFrame && IsLive(MDISkinProvider)) RefreshMDIFrame();
      break;
    }
    case SC_MINIMIZE:
      OldWndProc(Message);
      if (!*alive || !Form) return;
      if (lockFrame) RefreshMDIFrame();
      if (SystemMenu) SystemMenu->UpdateItems();
      delete TitleStripBmp;
      TitleStripBmp = nullptr;
      SkinData->BGChanged = true;
      RefreshMDIFrame();
      break;
    case SC_MAXIMIZE:
      StateChangingProvider = this;
      LockFormRedraw(false);
      OldWndProc(Message);
      if (!*alive || !Form) return;
      UnlockFormRedraw(false);
      RedrawWindow(Form->Handle(), nullptr, nullptr, kRedrawAll);
      if (IsLive(MDISkinProvider)) {
        MDISkinProvider->MenuLineRows = -1;
        if (MDISkinProvider->MDIForm) RefreshMDIFrame();
      }
      if (SystemMenu) SystemMenu->UpdateItems();
      break;
    case SC_RESTORE: {
      const bool wasZoomed = Zoomed(Form);
      if (!ChildMaximizing) {
        LockFormRedraw(false);
        OldWndProc(Message);
        if (!*alive || !Form) return;
        SkinData->BGChanged = true;
        SetWindowLongA(Form->Handle(), GWL_STYLE, GetWindowLongA(Form->Handle(), GWL_STYLE) & ~LONG(WS_MAXIMIZE));
        UnlockFormRedraw(false);
        RedrawWindow(Form->Handle(), nullptr, nullptr, kRedrawFrameNoErase);
        // The child changed size with its redraw off: what it covered shows again.
        if (wasZoomed && Form->HandleAllocated())
          RedrawWindow(GetParent(Form->Handle()), nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        if (TCustomForm* frame = IsLive(MDISkinProvider) ? MDISkinProvider->Form : nullptr)
          for (int i = 0; i < frame->MDIChildCount(); ++i) {
            TCustomForm* child = frame->MDIChildren(i);
            if (child == Form || !Zoomed(child)) continue;
            child->SetWindowState(wsNormal);
            RedrawWindow(child->Handle(), nullptr, nullptr, kRedrawFrameNoErase);
          }
      }
      if (lockFrame || wasZoomed) RefreshMDIFrame();
      if (SystemMenu) SystemMenu->UpdateItems();
      break;
    }
    default: OldWndProc(Message); break;
  }
  if (*alive && IsLive(MDISkinProvider)) SkinData->EndUpdate();
}

// ---- Mouse, children, menus --------------------------------------------------------------------------------

void TsSkinProvider::WMMouseMove(TMessage& Message) {
  const HWND wnd = Form->Handle();
  if (acsp::DragFrameRunning(this)) {
    DragFrameMouseMove(ClientToScreenPoint(wnd, Message));
    Message.Result = 0;
    return;
  }
  if (ButtonPressed && HotHitCode && GetCapture() == wnd) {
    TrackPressed(ClientToScreenPoint(wnd, Message));
    Message.Result = 0;
    return;
  }
  auto alive = Alive_;
  OldWndProc(Message);
  if (*alive && Form && DefaultManager) DefaultManager->SetHotWindow(Form->Handle());
}

void TsSkinProvider::WMParentNotify(TMessage& Message) {
  const WORD event = LOWORD(Message.WParam);
  if ((event == WM_CREATE || event == WM_DESTROY) && !Loading() && !Reading(Form)) {
    auto alive = Alive_;
    OldWndProc(Message);
    if (!*alive || !Form) return;
    if (event == WM_CREATE && Adapter) Adapter->AddAllItems(nullptr);
    if (FormScrollWnd) RefreshScrollInfo(FormScrollWnd, true);
    return;
  }
  OldWndProc(Message);
}

void TsSkinProvider::WMEnterMenuLoop(TMessage& Message) {
  if (Form->FormStyle() == fsMDIForm && MaximizedChildOf(Form)) {
    InMenuLoop = true;
    ShowMDIButtonsForm();
  }
  OldWndProc(Message);
}

void TsSkinProvider::WMMDIActivate(TMessage& Message) {
  auto alive = Alive_;
  OldWndProc(Message);
  if (!*alive || !Form || Form->FormStyle() != fsMDIChild || Zoomed(Form)) return;
  if (IsLive(MDISkinProvider) && MDISkinProvider != this) {
    MDISkinProvider->FrameDirty = true;
    MDISkinProvider->MenuRebuilt = false;
    MDISkinProvider->SkinData->BGChanged = true;
    MDISkinProvider->MenuLineRows = -1;
    SendNCPaint(MDISkinProvider->Form);
  }
  StateChangingProvider = this;
}

void TsSkinProvider::CMMouseEnter(TMessage& Message) {
  auto alive = Alive_;
  OldWndProc(Message);
  if (!*alive || !Form) return;
  // A speed button still drawn hot after the mouse left it over the form is told now.
  for (int i = 0; i < Form->ControlCount(); ++i) {
    TControl* c = Form->Controls(i);
    if (!c || reinterpret_cast<LPARAM>(c) == Message.LParam || !IsClassKind(c, TacClassKind::SpeedButton)) continue;
    if (TsCommonData* sd = FindSkinData(c); sd && sd->MouseAbove) c->Perform(CM_MOUSELEAVE, 0, 0);
  }
}

// ---- Printing and showing --------------------------------------------------------------------------------

void TsSkinProvider::WMPrint(TMessage& Message) {
  const HDC dc = reinterpret_cast<HDC>(Message.WParam);
  const LPARAM flags = Message.LParam;
  Message.Result = 0;
  if (!dc || ((flags & PRF_CHECKVISIBLE) && !IsWindowVisible(Form->Handle()))) return;
  if (flags & PRF_NONCLIENT) {
    SavedDC saved(dc);
    PaintNonClient(dc);
  }
  const int ox = ClientOffsetX(), oy = ClientOffsetY();
  RECT cr{};
  GetClientRect(Form->Handle(), &cr);
  if (flags & PRF_CLIENT) {
    SavedDC saved(dc);
    OffsetViewportOrgEx(dc, ox, oy, nullptr);
    IntersectClipRect(dc, 0, 0, cr.right, cr.bottom);
    PaintFormBackground(dc, false);
    if (Form->FormStyle() == fsMDIForm && Form->ClientHandle())
      SendMessageA(Form->ClientHandle(), WM_PRINT, WPARAM(dc), flags);
  }
  if (flags & PRF_CHILDREN) {
    // The child windows over the background, bottom of the z-order first.
    std::vector<HWND> children;
    for (HWND c = GetWindow(Form->Handle(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) children.push_back(c);
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
      if (!IsWindowVisible(*it)) continue;
      RECT r{};
      GetWindowRect(*it, &r);
      MapWindowPoints(nullptr, Form->Handle(), reinterpret_cast<POINT*>(&r), 2);
      SavedDC saved(dc);
      OffsetViewportOrgEx(dc, ox + r.left, oy + r.top, nullptr);
      IntersectClipRect(dc, 0, 0, r.right - r.left, r.bottom - r.top);
      SendMessageA(*it, WM_PRINT, WPARAM(dc), flags | PRF_NONCLIENT | PRF_CLIENT | PRF_CHILDREN);
    }
  }
}

bool TsSkinProvider::MDIChildReady() const {
  return SystemMenu && Form && Form->HandleAllocated() &&
         !(GetWindowLongA(const_cast<TCustomForm*>(Form)->Handle(), GWL_STYLE) & WS_SYSMENU);
}

void TsSkinProvider::MDIChildShown() {
  if (!MDIProviderSkinned() || !MDISkinProvider->MDIForm || MDISkinProvider == this) return;
  auto alive = Alive_;
  if (!SystemMenu)
    PrepareForm();
  else if (!MDIChildReady())
    SetSystemMenuStyle(true);  // a window made again (the form became an MDI child) has the style back
  if (!*alive || !Form || !IsLive(MDISkinProvider)) return;
  MDISkinProvider->SkinData->BGChanged = true;
  MDISkinProvider->MenuLineRows = -1;
  if (MDIFormRefreshProc) MDIFormRefreshProc(MDISkinProvider->MDIForm);
  SendNCPaint(Form);
  if (IsLive(MDISkinProvider) && MDISkinProvider->Form->ClientHandle())
    SendMessageA(MDISkinProvider->Form->ClientHandle(), WM_NCPAINT, 1, 0);
}

void TsSkinProvider::CMShowingChanged(TMessage& Message) {
  auto alive = Alive_;
  if (!SkinData->BGChanged || ProviderWinVersion() >= 6 || !Form->Showing()) {
    OldWndProc(Message);
    if (*alive && Form) ReadyShownMDIChild();
    return;
  }
  if (Adapter) Adapter->AddAllItems(nullptr);
  SkinData->SetUpdating(true);
  TsSkinManager* sm = SkinData->SkinManager();
  const TacShowAnimation& anim = Form->BorderStyle() == bsDialog ? sm->DialogShow : sm->FormShow;
  AnimatingShow = Form->FormStyle() != fsMDIChild && !Form->Parent() && !Form->ParentWindow() && anim.Active;
  std::vector<TControl*> hidden;
  if (AnimatingShow) {
    ShowOutputOverlay(Form);
    for (int i = 0; i < Form->ControlCount(); ++i)
      if (TControl* c = Form->Controls(i); c && c->IsWindowControl() && c->Visible()) {
        c->Perform(WM_SETREDRAW, 0, 0);
        hidden.push_back(c);
      }
  }
  OldWndProc(Message);
  if (!*alive || !Form) return;
  for (TControl* c : hidden) c->Perform(WM_SETREDRAW, 1, 0);
  UpdateFormScrollBars();
  if (AnimatingShow) {
    AnimatingShow = false;
    SkinData->BGChanged = true;
    AnimateControlShow(Form, anim.Time);
    if (!*alive || !Form) return;
    UpdateFormRegion(false);
    RedrawWindow(Form->Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RegionUpdating = false;
  }
  ReadyShownMDIChild();
  if (*alive && Form && IsMaximizedMDIChild() && MDIProviderSkinned()) MDISkinProvider->RepaintFrame();
}

void TsSkinProvider::ReadyShownMDIChild() {
  // A new MDI child is activated while its window is made, before it shows: it is readied for the
  // skin (the window menu's style taken, so that the system draws no caption) once it does. So is
  // one whose window was made again when it became an MDI child.
  if (Form->FormStyle() != fsMDIChild || !Form->Showing() || MDIChildReady()) return;
  auto alive = Alive_;
  MDIChildShown();
  if (!*alive || !Form) return;
  SkinData->BGChanged = true;
  SendNCPaint(Form);
}
