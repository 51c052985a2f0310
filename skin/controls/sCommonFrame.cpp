#include "skin/controls/sCommonFrame.h"

#include <memory>

#include "classlib/GdiScopes.h"
#include "skin/engine/sStyleSimply.h"

bool IsDesigning(const TControl* Control) { return Control && Control->ComponentState().Contains(csDesigning); }

bool IsDying(const TControl* Control) { return !Control || Control->ComponentState().Contains(csDestroying); }

bool IsOwnManagerCommand(const TMessage& Message, const TsCommonData* SkinData) {
  if (Message.Msg != SM_QUORVEXCMD || !SkinData) return false;
  const int cmd = Message.WParamHi();
  if (cmd != QC_SKINLOADED && cmd != QC_SKINREMOVED && cmd != QC_REFRESH) return false;
  TsSkinManager* sm = SkinData->SkinManager();
  return sm && Message.LParam == reinterpret_cast<LPARAM>(sm);
}

bool IsOwnEnterLeave(const TMessage& Message, const TControl* Control) {
  return Message.LParam == 0 || Message.LParam == reinterpret_cast<LPARAM>(Control);
}

bool FrameSkinned(const TControl* Control, const TsCommonData* SkinData, bool CheckActive) {
  return SkinData && ControlIsReady(Control) && SkinData->Skinned(CheckActive);
}

const TsGeneralData* SectionOf(const TsCommonData* SkinData) {
  if (!SkinData || !SkinData->Skinned()) return nullptr;
  return &SkinData->SkinManager()->Section(SkinData->SkinIndex);
}

void FirePlainEnterLeave(TControl* Control, const TMessage& Message, const TNotifyEvent& OnEnter,
                         const TNotifyEvent& OnLeave) {
  if (Message.Msg != CM_MOUSEENTER && Message.Msg != CM_MOUSELEAVE) return;
  if (!Control->Enabled() || IsDesigning(Control)) return;
  if (!IsOwnEnterLeave(Message, Control)) return;
  if (Message.Msg == CM_MOUSEENTER)
    OnEnter(Control);
  else
    OnLeave(Control);
}

// ---- PrepareCache ---------------------------------------------------------------------------------

TsCacheInfo BeginPrepareCache(TControl* Control, TsCommonData* SkinData) {
  TsCacheInfo ci = AskParentCache(SkinData);
  SkinData->InitCacheBmp();
  SharedParentColor = clParentColorUnset;
  if (!ci.Ready) {
    if (Control->Parent()) SharedParentColor = ColorToRGB(Control->Parent()->Color());
  } else if (!SkinData->RepaintIfMoved() && SharedParentColor == clParentColorUnset) {
    UpdateParentColor(Control);
  }
  return ci;
}

bool ActionDisabled(const TControl* Control) {
  auto* action = dynamic_cast<TCustomAction*>(Control->Action());
  return action && !action->Enabled();
}

void ApplyDisabledIfNeeded(TControl* Control, TsCommonData* SkinData, TsDisabledKind Kind) {
  if (Control->Enabled() && !ActionDisabled(Control)) return;
  TsCacheInfo ci = AskParentCache(SkinData);
  ApplyDisabledLook(SkinData->CacheBmp, Kind, Control->Parent(), ci, Point(Control->Left(), Control->Top()));
}

void EndPrepareCache(TsCommonData* SkinData) {
  SharedParentColor = clParentColorUnset;
  SkinData->BGChanged = false;
}

// ---- The paint handler ------------------------------------------------------------------------------

bool RefreshUpdating(TsCommonData* SkinData) {
  SkinData->SetUpdating(SkinData->Updating());
  return SkinData->UpdatingFlag();
}

void NotePartlyHidden(TControl* Control, TsCommonData* SkinData) {
  TWinControl* parent = Control->Parent();
  SkinData->BGChanged = SkinData->BGChanged || SkinData->PartlyHidden ||
                        (parent && parent->HandleAllocated() && SendControlSkinCommand(parent, QC_ISPARTLYHIDDEN) == 1);
  SkinData->PartlyHidden = parent && !qv::RectInsideRect(Control->BoundsRect(), parent->ClientRect());
}

void CopyCacheToWindow(TWinControl* Control, TsCommonData* SkinData, HDC DC) {
  if (!SkinData->CacheBmp || !Control->HandleAllocated()) return;
  const ClientDC dc(Control->Handle(), DC);
  if (!dc) return;
  const SavedDC saved(dc);
  BitBlt(dc, 0, 0, Control->Width(), Control->Height(), SkinData->CacheBmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

namespace {

// The classic frames of a window's styles, from the outside in (what the system draws when it
// paints the window's non-client area without a theme).
void DrawStyleFrame(HWND Wnd, HDC DC, RECT R) {
  const LONG_PTR style = GetWindowLongPtrA(Wnd, GWL_STYLE), ex = GetWindowLongPtrA(Wnd, GWL_EXSTYLE);
  if ((style & WS_DLGFRAME) || (ex & WS_EX_DLGMODALFRAME)) {
    DrawEdge(DC, &R, EDGE_RAISED, BF_RECT | BF_ADJUST);
  } else if (style & WS_BORDER) {
    FrameRect(DC, &R, GetSysColorBrush(COLOR_WINDOWFRAME));
    InflateRect(&R, -1, -1);
  }
  if (ex & WS_EX_CLIENTEDGE) DrawEdge(DC, &R, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  if (ex & WS_EX_STATICEDGE) DrawEdge(DC, &R, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
}

// A window that the skin does not paint, printed frame and all: its non-client part as the system
// prints it (or, where the system prints none, the frame of its styles), then its client area at
// its place inside the frame. Width x Height: the window; DC's origin at its top-left corner.
void PrintPlainWindow(HWND Wnd, HDC DC, LPARAM Flags, int Width, int Height) {
  RECT client{}, window{};
  GetClientRect(Wnd, &client);
  GetWindowRect(Wnd, &window);
  MapWindowPoints(Wnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
  OffsetRect(&client, -window.left, -window.top);
  const bool framed = client.left > 0 || client.top > 0 || client.right < Width || client.bottom < Height;
  if (framed) {
    // Printed into a bitmap of a colour no frame uses: where nothing was printed, the frame of
    // the styles is drawn instead.
    constexpr COLORREF kUnprinted = RGB(1, 254, 3);
    std::unique_ptr<TBitmap> nc(CreateBmp24(Width, Height));
    FillBmpRect(nc.get(), Rect(0, 0, Width, Height), TColor(kUnprinted));
    const BitmapDC src(nc.get());
    SendMessageA(Wnd, WM_PRINT, WPARAM(HDC(src)), PRF_NONCLIENT);
    bool printed = false;
    for (int y = 0; y < Height && !printed; ++y)
      for (int x = 0; x < Width && !printed; ++x)
        if ((x < client.left || x >= client.right || y < client.top || y >= client.bottom) &&
            GetPixel(src, x, y) != kUnprinted)
          printed = true;
    const SavedDC saved(DC);
    ExcludeClipRect(DC, client.left, client.top, client.right, client.bottom);
    if (printed)
      BitBlt(DC, 0, 0, Width, Height, src, 0, 0, SRCCOPY);
    else
      DrawStyleFrame(Wnd, DC, RECT{0, 0, Width, Height});
  }
  const SavedDC saved(DC);
  POINT org{};
  GetWindowOrgEx(DC, &org);
  SetWindowOrgEx(DC, org.x - client.left, org.y - client.top, nullptr);
  IntersectClipRect(DC, 0, 0, client.right - client.left, client.bottom - client.top);
  SendMessageA(Wnd, WM_PRINT, WPARAM(DC), Flags & ~LPARAM(PRF_NONCLIENT));
}

}  // namespace

void PrintChildWindows(HWND Wnd, HDC DC, LPARAM Flags) {
  if (!Wnd || !DC) return;
  HWND last = GetWindow(Wnd, GW_CHILD);
  if (!last) return;
  last = GetWindow(last, GW_HWNDLAST);
  for (HWND child = last; child; child = GetWindow(child, GW_HWNDPREV)) {
    if (!IsWindowVisible(child)) continue;
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, Wnd, reinterpret_cast<POINT*>(&r), 2);
    const SavedDC saved(DC);
    POINT org{};
    GetWindowOrgEx(DC, &org);
    SetWindowOrgEx(DC, org.x - r.left, org.y - r.top, nullptr);
    IntersectClipRect(DC, 0, 0, r.right - r.left, r.bottom - r.top);
    // A skinned window prints its own frame; another may leave it to a system that prints none.
    if ((Flags & PRF_NONCLIENT) && !AskWindow(child, QC_ISSKINNED))
      PrintPlainWindow(child, DC, Flags, r.right - r.left, r.bottom - r.top);
    else
      SendMessageA(child, WM_PRINT, WPARAM(DC), Flags);
  }
}

// ---- Hover fading ---------------------------------------------------------------------------------

void FrameMouseEnter(TControl* Control, TsCommonData* SkinData, TsFadeTimer*& Timer, TacAnimatEvents Events,
                     const TNotifyEvent& OnEnter) {
  if (!Control->Enabled() || IsDesigning(Control) || SkinData->MouseAbove) return;
  OnEnter(Control);
  SkinData->MouseAbove = true;
  SkinData->BGChanged = false;
  FadeOrRepaint(Timer, SkinData, false, AnimEventAllowed(aeMouseEnter, Events), 1);
}

void FrameMouseLeave(TControl* Control, TsCommonData* SkinData, TsFadeTimer*& Timer, TacAnimatEvents Events,
                     const TNotifyEvent& OnLeave) {
  if (!Control->Enabled() || IsDesigning(Control)) return;
  OnLeave(Control);
  SkinData->MouseAbove = false;
  SkinData->BGChanged = false;
  FadeOrRepaint(Timer, SkinData, false, AnimEventAllowed(aeMouseLeave, Events), 1);
}

// ---- Focus dots -------------------------------------------------------------------------------------

bool SectionShowsFocus(const TsCommonData* SkinData) {
  const TsGeneralData* gd = SectionOf(SkinData);
  return gd && gd->ShowFocus;
}

void DrawFrameFocusDots(TCanvas* Canvas, TRect R, int Margin, TWinControl* Control, TsCommonData* SkinData,
                        const std::string& Caption) {
  if (!Control->Enabled() || Caption.empty() || !SectionShowsFocus(SkinData)) return;
  if (SkinData->OwnerControl == Control ? !SkinData->OwnerFocused() : !Control->Focused()) return;
  // Round the caption as it is drawn: its outline copies (a focused control's text is hot) lie a
  // pixel beyond it where the section has them.
  const qv::TsFontColors& fc = SectionOf(SkinData)->HotFontColor;
  const auto copy = [&](int i) { return fc.Items[std::size_t(i)] != qv::clNoColor ? 1 : 0; };
  R.Left -= Margin + copy(1);
  R.Top -= Margin + copy(2);
  // Each dot has its white pixel one up and one left: on the right and bottom edges that pixel lies
  // inside the rectangle, so those edges keep a pixel more away from the caption.
  R.Right += Margin + copy(3) + 1;
  R.Bottom += Margin + copy(4) + 1;
  // On the control: a caption that nearly fills it has its dots at the control's edges.
  R.Left = std::max(R.Left, 0);
  R.Top = std::max(R.Top, 0);
  R.Right = std::min(R.Right, Control->Width());
  R.Bottom = std::min(R.Bottom, Control->Height());
  DrawFocusDots(Canvas, R);
}

// ---- Bound labels -----------------------------------------------------------------------------------

void FollowBoundLabel(TsBoundLabel* Label, TControl* Control, const TMessage& Message) {
  if (!Label || !Control) return;
  TControl* shown = Label->TheLabel();
  if (!shown) return;
  switch (Message.Msg) {
    case CM_VISIBLECHANGED: shown->SetVisible(Control->Visible()); break;
    case CM_ENABLEDCHANGED: shown->SetEnabled(Control->Enabled()); break;
    case CM_BIDIMODECHANGED: shown->SetBiDiMode(Control->BiDiMode()); break;
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED: break;
    default: return;
  }
  Label->AlignLabel();
}
