// The dialog adapter's messages: skin commands, the frame's painting, hit testing and mouse
// handling of the title bar, and the client background.
#include "skin/windows/acDials.h"

#include <windowsx.h>

#include <cstddef>

#include "classlib/GdiScopes.h"
#include "skin/engine/sQuorvexGraph.h"
#include "skin/engine/sStyleSimply.h"
#include "skin/windows/sSkinMenus.h"

namespace {

// The message a window answers with 0x41A2 when it keeps its own region, and the message that
// tells a dialog its children may have changed.
constexpr UINT WM_DIALOGCHILDRENCHANGED = 0x052E;

TPoint MessagePoint(const TMessage& m) { return TPoint{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)}; }

TPoint CursorPoint() {
  POINT p{};
  GetCursorPos(&p);
  return TPoint{p.x, p.y};
}

}  // namespace

TacDialogWnd::TacDialogWnd(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager,
                           const std::string& SkinSection, bool Repaint)
    : TacScrollWnd(AHandle, ASkinData, ASkinManager, SkinSection, Repaint),
      TitleFont(new TFont()),
      ButtonStrip(CreateBmp24(0, 0)) {
  SkinData->SetUpdating(true);
}

TacDialogWnd::~TacDialogWnd() {
  // The window leaves before the menu and bitmaps go (its own look comes back first).
  LeaveWindow();
  FreeAndNil(SystemMenu);
  FreeAndNil(ButtonStrip);
  delete TitleFont;
  TitleFont = nullptr;
  if (Capturing_ && GetCapture() == WndHandle) ReleaseCapture();
}

void TacDialogWnd::ReadStyle() {
  if (!WndHandle || !IsWindow(WndHandle)) return;
  StyleBits = std::uint32_t(GetWindowLongPtrA(WndHandle, GWL_STYLE));
  ExStyleBits = std::uint32_t(GetWindowLongPtrA(WndHandle, GWL_EXSTYLE));
  FrameKind = qv::DialogFrameKind(StyleBits);
  ReadIcon();
  NONCLIENTMETRICSA m{};
  m.cbSize = UINT(offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth));
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, m.cbSize, &m, 0))
    TitleFont->SetLogFont(m.lfCaptionFont);  // (the canvas that writes the caption makes the font)
  // The adapter draws the window menu's buttons: the system must not.
  if ((StyleBits & WS_SYSMENU) != 0) {
    SetWindowLongPtrA(WndHandle, GWL_STYLE, LONG_PTR(StyleBits & ~WS_SYSMENU));
    SysMenuRemoved_ = true;
  }
  if (SystemMenu) SystemMenu->UpdateItems();
  // The active look the system is about to give: a window of the program in front is drawn active.
  DWORD pid = 0;
  GetWindowThreadProcessId(GetForegroundWindow(), &pid);
  Active = pid == GetCurrentProcessId();
  UpdateRects();
  DlgRect = WndRect;
  DlgWidth = WndRect.Width();
  DlgHeight = WndRect.Height();
}

void TacDialogWnd::RestoreOriginalColors() {
  TacScrollWnd::RestoreOriginalColors();
  // The window's own frame back: its window menu style and a window without a region.
  if (!WndHandle || !IsWindow(WndHandle) || Closing_) return;
  if (SysMenuRemoved_) SetWindowLongPtrA(WndHandle, GWL_STYLE, GetWindowLongPtrA(WndHandle, GWL_STYLE) | WS_SYSMENU);
  SysMenuRemoved_ = false;
  SetWindowRgn(WndHandle, nullptr, IsWindowVisible(WndHandle));
  RegionSize_ = TSize{};
}

void TacDialogWnd::MarkChanged() {
  SkinData->BGChanged = true;
  RegionChanged = true;
}

bool TacDialogWnd::SizeChanged() const {
  RECT r{};
  GetWindowRect(WndHandle, &r);
  return r.right - r.left != DlgWidth || r.bottom - r.top != DlgHeight;
}

void TacDialogWnd::ReattachChildren() {
  if (Provider && !Destroyed) Provider->AttachChildren(WndHandle);
}

// ---- Messages -----------------------------------------------------------------------------------------

bool TacDialogWnd::AnswerAnyState(TMessage& Message) {
  if (Message.Msg != WM_DESTROY && Message.Msg != WM_NCDESTROY) return TacScrollWnd::AnswerAnyState(Message);
  Closing_ = true;
  const bool own = Provider != nullptr;
  LeaveOnDestroy(Message);
  // The adapter is freed with its provider now: nothing of it is touched after this.
  if (own) FreeClosedDialogs();
  return true;
}

void TacDialogWnd::HandleMessage(TMessage& Message) {
  const UINT msg = Message.Msg;
  auto alive = AliveToken();
  switch (msg) {
    case SM_QUORVEXCMD:
      if (AnswerDialogCommand(Message)) return;
      break;
    case WM_NCACTIVATE:
      if (!PassOn(Message)) return;
      // The system may have drawn its own caption: the frame is painted again, composed again only
      // when the active state changed.
      if (Active != (Message.WParam != 0)) SkinData->BGChanged = true;
      Active = Message.WParam != 0;
      SendMessageA(WndHandle, WM_NCPAINT, 1, 0);
      return;
    case WM_NCPAINT: NCPaint(Message); return;
    case WM_NCHITTEST: NCHitTest(Message); return;
    case WM_NCLBUTTONDOWN: NCLButtonDown(Message); return;
    case WM_NCLBUTTONUP:
      if (ButtonPressed && HotButton != 0) {
        ButtonReleased(MessagePoint(Message));
        Message.Result = 0;
        return;
      }
      SetHot(0);
      break;
    case WM_LBUTTONUP:
      if (ButtonPressed && HotButton != 0) {
        POINT p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
        ClientToScreen(WndHandle, &p);
        ButtonReleased(TPoint{p.x, p.y});
        Message.Result = 0;
        return;
      }
      break;
    case WM_MOUSEMOVE:
      if (ButtonPressed && HotButton != 0) {
        // The held button shows pressed while the pointer is on it.
        POINT p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
        ClientToScreen(WndHandle, &p);
        TsCaptionButton* b = ButtonOf(HotButton);
        const int state = HitTestAt(TPoint{p.x, p.y}) == HotButton ? 2 : 1;
        if (b && b->State != state) {
          b->State = state;
          RepaintButton(HotButton);
        }
        Message.Result = 0;
        return;
      }
      if (IsWindowEnabled(WndHandle) && DefaultManager) DefaultManager->SetHotWindow(nullptr);
      if (!*alive) return;
      break;
    case WM_CAPTURECHANGED:
      if (Capturing_ && HWND(Message.LParam) != WndHandle) {
        Capturing_ = false;
        ButtonPressed = false;
        SetHot(0);
      }
      break;
    case WM_NCMOUSEMOVE: {
      TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE | TME_NONCLIENT, WndHandle, 0};
      TrackMouseEvent(&tme);
      break;
    }
    case WM_NCMOUSELEAVE:
    case WM_MOUSELEAVE:
      if (!ButtonPressed) SetHot(0);
      break;
    case WM_NCLBUTTONDBLCLK: NCLButtonDblClk(Message); return;
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP: NCRButton(Message); return;
    case WM_WINDOWPOSCHANGED:
      // The image and the region follow the window's size and frame (a move, a show or the
      // adapter's own new region keeps them).
      if (auto* wp = reinterpret_cast<const WINDOWPOS*>(Message.LParam);
          wp && (((wp->flags & SWP_FRAMECHANGED) != 0 && !RegionLock) || SizeChanged()))
        MarkChanged();
      break;
    case WM_SIZE:
      if (SizeChanged()) MarkChanged();
      if (PassOn(Message)) RedrawWindow(WndHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
      return;
    case WM_ENABLE:
    case WM_SETTEXT:
      if (!IsWindowVisible(WndHandle)) break;
      if (!PassOn(Message)) return;
      if (msg == WM_SETTEXT) ReadCaption();
      SkinData->BGChanged = true;
      SendMessageA(WndHandle, WM_NCPAINT, 1, 0);
      return;
    case WM_ERASEBKGND: EraseBackground(Message); return;
    case WM_PAINT: PassOn(Message); return;
    case WM_CTLCOLORDLG:
      Message.Result = reinterpret_cast<LRESULT>(CtlColorBrush(SkinData->SkinManager()->GetGlobalColor()));
      return;
    case WM_DRAWITEM:
      if (auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam); dis && dis->CtlType == ODT_STATIC)
        SetBkMode(dis->hDC, TRANSPARENT);
      PassOn(Message);
      return;
    case WM_GETDLGCODE: Message.Result = 0; return;
    case WM_DIALOGCHILDRENCHANGED:
      if (!PassOn(Message)) return;
      ReattachChildren();
      RedrawWindow(WndHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
      return;
    case WM_SYSCOMMAND: {
      const WPARAM cmd = Message.WParam & 0xFFF0;
      // Alt+Space opens the adapter's window menu (the system's went with WS_SYSMENU).
      if (cmd == SC_KEYMENU && Message.LParam == ' ' && (StyleBits & WS_SYSMENU) != 0) {
        UpdateRects();
        ShowSystemMenu(WndRect.Left + BorderWidth(), WndRect.Top + BorderHeight() + CaptionHeight());
        Message.Result = 0;
        return;
      }
      TacScrollWnd::HandleMessage(Message);
      if (*alive && (cmd == SC_MAXIMIZE || cmd == SC_RESTORE)) SetHot(0, false);
      return;
    }
    default: break;
  }
  TacScrollWnd::HandleMessage(Message);
}

bool TacDialogWnd::AnswerDialogCommand(TMessage& Message) {
  TsSkinManager* sm = SkinData->SkinManager();
  const bool own = Message.LParam == reinterpret_cast<LPARAM>(sm);
  switch (Message.WParamHi()) {
    case QC_SKINLOADED:
      if (!own) return false;
      SkinData->UpdateIndexes();
      LoadButtonMasks();
      MarkChanged();
      return true;
    case QC_REFRESH:
      SkinData->UpdateIndexes();
      LoadButtonMasks();
      MarkChanged();
      RedrawAfterSkinCommand(RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW |
                             RDW_FRAME);
      return true;
    case QC_GETCACHE:
      if (SkinData->CacheBmp && !SkinData->CacheBmp->Empty())
        SharedCacheInfo = BuildCacheInfo(SkinData->CacheBmp, 0, 0);
      else
        SharedCacheInfo = TsCacheInfo{};
      return true;
    case QC_SETUPDATING:
      SkinData->SetUpdating(Message.WParamLo() == 1);
      if (SkinData->UpdatingFlag()) SkinData->BGChanged = true;
      return true;
    case QC_ISBUSY:
      Message.LParam = SkinData->UpdatingFlag() ? 1 : 0;
      Message.Result = Message.LParam;
      return true;
    case QC_ISTRANSPARENT: {
      const bool transparent =
          sm->IsSectionIndex(SkinData->SkinIndex) && sm->Section(SkinData->SkinIndex).Transparency > 0;
      Message.LParam = transparent ? 1 : 0;
      Message.Result = Message.LParam;
      return true;
    }
    case QC_GETPARENTCOLOR:
      if (sm->IsSectionIndex(SkinData->SkinIndex)) SharedParentColor = TColor(sm->Section(SkinData->SkinIndex).Color);
      return true;
    case QC_REATTACHCHILDREN: ReattachChildren(); return true;
    default: return AnswerCommonCommand(Message);
  }
}

void TacDialogWnd::NCPaint(TMessage& Message) {
  Message.Result = 1;
  if (!IsWindowVisible(WndHandle)) return;
  ReattachChildren();
  if (Destroyed) return;
  UpdateRects();
  DlgRect = WndRect;
  DlgWidth = WndRect.Width();
  DlgHeight = WndRect.Height();
  ReadCaption();
  PaintCache();
  UpdateRegion();
  PaintFrameBands();
}

void TacDialogWnd::NCHitTest(TMessage& Message) {
  const int code = HitTestAt(MessagePoint(Message));
  switch (code) {
    case HTCLOSE:
    case HTMAXBUTTON:
    case HTMINBUTTON:
    case HTHELP:
      if (!ButtonPressed) SetHot(code);
      Message.Result = code;
      return;
    case HTSYSMENU:
    case HTBOTTOMRIGHT:
    case HTTRANSPARENT:
      if (!ButtonPressed) SetHot(0);
      Message.Result = code;
      return;
    default:
      if (!ButtonPressed) SetHot(0);
      if (code == HTCAPTION) {
        Message.Result = HTCAPTION;
        return;
      }
      PassOn(Message);
      return;
  }
}

void TacDialogWnd::SetHot(int HitCode, bool Pressed) {
  if (HitCode == HotButton && !Pressed) return;
  const int old = HotButton;
  HotButton = HitCode;
  if (old != 0 && old != HitCode)
    if (TsCaptionButton* b = ButtonOf(old)) {
      b->State = 0;
      RepaintButton(old);
    }
  if (TsCaptionButton* b = ButtonOf(HitCode)) {
    b->State = Pressed ? 2 : 1;
    RepaintButton(HitCode);
  }
}

void TacDialogWnd::ShowSystemMenu(int X, int Y) {
  SetHot(0);
  // The menu is made the first time it is shown.
  if (!SystemMenu) SystemMenu = new TacSystemMenu(this);
  SystemMenu->UpdateItems();
  TsSkinManager* sm = SkinData->SkinManager();
  if (auto* menus = dynamic_cast<TacSkinableMenus*>(sm->SkinableMenus()); menus && sm->SkinnedPopups())
    menus->PreparePopupMenu(SystemMenu, sm->SkinData()->Active);
  SystemMenu->Popup(X, Y);
}

void TacDialogWnd::NCLButtonDown(TMessage& Message) {
  const int code = int(Message.WParam);
  switch (code) {
    case HTSYSMENU:
      UpdateRects();
      ShowSystemMenu(WndRect.Left + BorderWidth(), WndRect.Top + BorderHeight() + GetSystemMetrics(SM_CYSMICON));
      Message.Result = 0;
      return;
    case HTMINBUTTON:
    case HTMAXBUTTON:
    case HTCLOSE:
    case HTHELP:
      if (code == HTMAXBUTTON && !ButtonEnabled(HTMAXBUTTON)) break;
      SetHot(code, true);
      ButtonPressed = true;
      // The release is seen wherever the pointer goes.
      SetCapture(WndHandle);
      Capturing_ = true;
      Message.Result = 0;
      return;
    default: break;
  }
  if (Iconic()) {
    SendMessageA(WndHandle, WM_SYSCOMMAND, 0xF012, 0);
    return;
  }
  if (Zoomed() && code == HTCAPTION) {
    if (GetActiveWindow() != WndHandle) SetActiveWindow(WndHandle);
    return;
  }
  PassOn(Message);
}

void TacDialogWnd::ButtonReleased(TPoint Screen) {
  const int pressed = HotButton;
  auto alive = AliveToken();
  ButtonPressed = false;
  if (Capturing_) {
    Capturing_ = false;
    if (GetCapture() == WndHandle) ReleaseCapture();
    if (!*alive) return;
  }
  // Only a release over the button that was pressed does anything.
  const int over = HitTestAt(Screen);
  SetHot(over == pressed ? pressed : 0);
  if (over != pressed) return;
  const HWND wnd = WndHandle;
  switch (pressed) {
    case HTMINBUTTON: SendMessageA(wnd, WM_SYSCOMMAND, Iconic() ? SC_RESTORE : SC_MINIMIZE, 0); break;
    case HTMAXBUTTON:
      if (Iconic() && !MaxEnabled()) break;
      SendMessageA(wnd, WM_SYSCOMMAND, Zoomed() ? SC_RESTORE : SC_MAXIMIZE, 0);
      if (!*alive) return;
      if (SystemMenu) SystemMenu->UpdateItems();
      break;
    case HTCLOSE:
      if (CloseEnabled()) SendMessageA(wnd, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
    case HTHELP:
      SendMessageA(wnd, WM_SYSCOMMAND, SC_CONTEXTHELP, 0);
      if (!*alive) return;
      if (SystemMenu) SystemMenu->UpdateItems();
      MarkChanged();
      SendMessageA(wnd, WM_NCPAINT, 1, 0);
      break;
    default: break;
  }
  if (*alive && IsWindow(wnd) && HotButton != 0 && HitTestAt(CursorPoint()) != HotButton) SetHot(0);
}

void TacDialogWnd::NCLButtonDblClk(TMessage& Message) {
  const int code = int(Message.WParam);
  Message.Result = 0;
  // The second press of a quick double click on a title button presses it again.
  if (code == HTMINBUTTON || code == HTMAXBUTTON || code == HTCLOSE || code == HTHELP) {
    NCLButtonDown(Message);
    return;
  }
  if (code == HTCAPTION) {
    if (ButtonEnabled(HTMAXBUTTON) && (StyleBits & WS_MAXIMIZEBOX) != 0) {
      auto alive = AliveToken();
      SendMessageA(WndHandle, WM_SYSCOMMAND, Zoomed() || Iconic() ? SC_RESTORE : SC_MAXIMIZE, 0);
      if (*alive && SystemMenu) SystemMenu->UpdateItems();
    }
    return;
  }
  if (code == HTSYSMENU) SendMessageA(WndHandle, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void TacDialogWnd::NCRButton(TMessage& Message) {
  const int code = int(Message.WParam);
  if (code == HTCAPTION || code == HTSYSMENU) {
    if (Message.Msg == WM_NCRBUTTONUP) {
      const TPoint p = MessagePoint(Message);
      ShowSystemMenu(p.X, p.Y);
    }
    Message.Result = 0;
    return;
  }
  if (Message.Msg == WM_NCRBUTTONUP) {
    Message.Result = 0;
    return;
  }
  TacScrollWnd::HandleMessage(Message);
}

void TacDialogWnd::EraseBackground(TMessage& Message) {
  Message.Result = 1;
  UpdateRects();
  DlgRect = WndRect;
  DlgWidth = WndRect.Width();
  DlgHeight = WndRect.Height();
  if (!ChildrenAttached) {
    ChildrenAttached = true;
    ReattachChildren();
    if (Destroyed) return;
  }
  SkinData->SetUpdating(false);
  PaintCache();
  TBitmap* cache = SkinData->CacheBmp;
  if (!cache || cache->Empty()) return;
  POINT origin{0, 0};
  ClientToScreen(WndHandle, &origin);
  const int cx = origin.x - DlgRect.Left, cy = origin.y - DlgRect.Top;
  RECT cr{};
  GetClientRect(WndHandle, &cr);
  auto given = reinterpret_cast<HDC>(Message.WParam);
  HDC dc = given;
  HDC own = nullptr;
  if (!dc) dc = own = GetDC(WndHandle);
  {
    BitmapDC src(cache);
    if (dc && src) BitBlt(dc, 0, 0, cr.right, cr.bottom, src, cx, cy, SRCCOPY);
  }
  if (own) ReleaseDC(WndHandle, own);
}
