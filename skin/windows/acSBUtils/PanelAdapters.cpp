// The adapters of panels, dialog panels, transparent containers and size grips.
#include "skin/windows/acSBUtils/PanelAdapters.h"

#include <algorithm>
#include <vector>

#include "classlib/ExtCtrlsPanels.h"
#include "skin/engine/sQuorvexGraph.h"
#include "skin/engine/sStyleSimply.h"
#include "skin/windows/acSBUtils/Internal.h"

using namespace acsb;

namespace {

// The frame of a window: half of what its window is wider than its client area.
int FrameWidthOf(HWND wnd) {
  RECT wr{}, cr{};
  GetWindowRect(wnd, &wr);
  GetClientRect(wnd, &cr);
  return std::max(0, int((wr.right - wr.left) - (cr.right - cr.left)) / 2);
}

void CopyCacheBorder(TsCommonData* sd, HDC dc, int border) {
  TBitmap* cache = sd ? sd->CacheBmp : nullptr;
  if (!dc || border < 1 || !cache || cache->Empty()) return;
  BitmapDC src(cache);
  if (src) BitBltBorder(dc, 0, 0, cache->Width(), cache->Height(), src, 0, 0, border);
}

const char* PanelSection(TCustomPanel* p) {
  switch (p->BevelOuter()) {
    case bvLowered: return p->BevelInner() == bvRaised ? "GROUPBOX" : "PANEL_LOW";
    case bvRaised: return p->BevelInner() == bvLowered ? "GROUPBOX" : "PANEL";
    default: return p->BorderStyle() == bsSingle ? "PANEL_LOW" : "CHECKBOX";
  }
}

// After WM_PARENTNOTIFY of a container: a child control made in a control of the class library
// announces itself to its form.
void AnnounceChild(TacMainWnd* a, const TMessage& Message) {
  if (LoWord(Message.WParam) == WM_CREATE && a->SkinData && a->SkinData->OwnerControl)
    AnnounceToParentForm(a->SkinData->OwnerControl);
}

}  // namespace

// ---- TacPanelWnd ------------------------------------------------------------------------------------

TacPanelWnd::TacPanelWnd(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager,
                         const std::string& SkinSection, bool Repaint)
    : TacMainWnd(AHandle, ASkinData, ASkinManager, SkinSection, Repaint) {
  if (auto* panel = dynamic_cast<TCustomPanel*>(SkinData->OwnerControl)) SkinData->SetSkinSection(PanelSection(panel));
}

bool TacPanelWnd::AcceptsControls() const {
  return SkinData && SkinData->OwnerControl && SkinData->OwnerControl->ControlStyle().Contains(csAcceptsControls);
}

bool TacPanelWnd::AnswerAnyState(TMessage& Message) {
  if (!AcceptsControls()) return false;
  switch (Message.Msg) {
    case SM_QUORVEXCMD: return AnswerIdentity(Message);
    case WM_UPDATEUISTATE: Message.Result = 1; return true;
    case WM_PARENTNOTIFY: {
      if (LoWord(Message.WParam) != WM_CREATE && LoWord(Message.WParam) != WM_DESTROY) return false;
      auto alive = AliveToken();
      TacMainWnd::HandleMessage(Message);
      if (*alive) AnnounceChild(this, Message);
      return true;
    }
    default: return false;
  }
}

void TacPanelWnd::BeforeSkinChange(int Command) {
  if (Command == QC_SKINREMOVED && AcceptsControls()) SkinGone();
}

void TacPanelWnd::HandleMessage(TMessage& Message) {
  auto alive = AliveToken();
  const UINT msg = Message.Msg;
  if (AcceptsControls()) {
    switch (msg) {
      case WM_PRINT:
        if (!Message.WParam) break;
        ClientPaint(HDC(Message.WParam));
        if (*alive) FramePaint(HDC(Message.WParam));
        return;
      case WM_NCPAINT:
        FramePaint(nullptr);
        Message.Result = 1;
        return;
      case WM_PAINT: {
        PaintScope paint(WndHandle, HDC(Message.WParam));
        ClientPaint(HDC(Message.WParam));
        return;
      }
      case WM_ERASEBKGND:
        FramePaint(HDC(Message.WParam));
        Message.Result = 1;
        return;
      case WM_SETTEXT:
        if (!IsWindowVisible(WndHandle)) break;
        if (!PassOnUnseen(Message)) return;
        ReadCaption();
        RepaintNow();
        return;
      default: break;
    }
  }
  TacMainWnd::HandleMessage(Message);
  if (*alive && msg == WM_WINDOWPOSCHANGING) SendMessageA(WndHandle, WM_NCPAINT, 1, 0);
}

void TacPanelWnd::SkinGone() {
  SkinData->SkinIndex = -1;
  TControlStyle cs = SkinData->OwnerControl->ControlStyle();
  cs.Exclude(csOpaque);
  SkinData->OwnerControl->SetControlStyle(cs);
}

void TacPanelWnd::PaintPanel() {
  TControl* c = SkinData->OwnerControl;
  SkinData->InitCacheBmp();
  TBitmap* cache = SkinData->CacheBmp;
  if (cache->Width() != c->Width() || cache->Height() != c->Height()) cache->SetSize(c->Width(), c->Height());
  const TsCacheInfo ci = AskParentCache(SkinData);
  PaintControlItem(SkinData, ci, false, 0, Rect(0, 0, c->Width(), c->Height()), TPoint{c->Left(), c->Top()}, cache,
                   true);
  // The caption the panel shows, as the panel lays it out.
  const std::string text = c->Caption();
  if (!text.empty()) {
    TCanvas* canvas = cache->Canvas();
    UseWindowFont(canvas);
    canvas->Brush()->SetStyle(bsClear);
    const int b = FrameWidthOf(WndHandle);
    TRect r = Rect(b + 1, b + 1, c->Width() - b - 1, c->Height() - b - 1);
    auto* panel = dynamic_cast<TCustomPanel*>(c);
    const UINT align = panel ? AlignmentDrawFlags(c, panel->Alignment()) : UINT(DT_CENTER);
    WriteControlText(canvas, text, c->Enabled(), r, align | DT_VCENTER | DT_SINGLELINE, SkinData, false);
  }
  SkinData->BGChanged = false;
}

void TacPanelWnd::FramePaint(HDC DC) {
  UpdateRects();
  auto alive = AliveToken();
  WindowDC dc(WndHandle, DC);
  if (!dc) return;
  SkinData->BGChanged = true;
  SendSkinCommand(WndHandle, QC_PREPAREFADE);
  if (*alive) CopyCacheBorder(SkinData, dc, FrameWidthOf(WndHandle));
}

void TacPanelWnd::ClientPaint(HDC DC) {
  auto* owner = dynamic_cast<TWinControl*>(SkinData->OwnerControl);
  if (!owner || owner->ComponentState().Contains(csDestroying)) return;
  if (owner->Parent() && owner->Parent()->ControlState().Contains(csCreating)) return;
  WindowDC dc(WndHandle, DC);
  if (!dc) return;
  SavedDC saved(dc);
  if (AskUpdating()) return;
  UpdateRects();
  const bool changed = SkinData->BGChanged || SkinData->PartlyHidden;
  if (SkinData->RepaintIfMoved()) {
    RECT clip{};
    GetClipBox(dc, &clip);
    SkinData->PartlyHidden = clip.right - clip.left != owner->Width() || clip.bottom - clip.top != owner->Height();
  } else {
    SkinData->PartlyHidden = false;
  }
  if (changed || !SkinData->CacheBmp || SkinData->CacheBmp->Empty()) PaintPanel();
  const int b = FrameWidthOf(WndHandle);
  const TRect inner = Rect(b, b, owner->Width() - b, owner->Height() - b);
  // Every child window is left out, a bare one the class library does not know too (the window DC
  // a paint without one draws on covers the children); those cut to a region (rounded skinned
  // controls) leave their corners to the panel.
  CopyCacheExcludingChildWnds(WndHandle, SkinData, inner, inner, dc, true, b, b);
  PaintGraphicChildren(dc, owner, TPoint{b, b});
  RepaintChildControls(owner);
}

// ---- TacDlgPanelWnd ---------------------------------------------------------------------------------

TacDlgPanelWnd::TacDlgPanelWnd(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager,
                               const std::string& SkinSection, bool Repaint)
    : TacMainWnd(AHandle, ASkinData, ASkinManager, SkinSection, Repaint),
      Control(AHandle ? FindControl(AHandle) : nullptr) {
  SkinData->SetSkinSection(IsPanel() ? "CHECKBOX" : "GROUPBOX");
}

bool TacDlgPanelWnd::IsPanel() const { return Control && Control->ClassName() == "TPanel"; }

void TacDlgPanelWnd::AfterConstruction() {
  TacMainWnd::AfterConstruction();
  if (!Destroyed && SkinOn()) ApplySkinColors();
}

void TacDlgPanelWnd::StoreOriginalColors() {
  if (IsPanel()) SavedColor = Control->Color();
}

void TacDlgPanelWnd::ApplySkinColors() {
  TacMainWnd::ApplySkinColors();
  TsSkinManager* sm = SkinData ? SkinData->SkinManager() : nullptr;
  if (!IsPanel() || !sm || Control->ComponentState().Contains(csDestroying)) return;
  AppliedColor_ = sm->GetGlobalColor();
  if (Control->Color() != AppliedColor_) Control->SetColor(AppliedColor_);
}

void TacDlgPanelWnd::RestoreOriginalColors() {
  Skinned = false;
  if (AppliedColor_ == clNone || !IsPanel()) return;
  // A colour the program set meanwhile is the program's.
  if (!Control->ComponentState().Contains(csDestroying) && Control->Color() == AppliedColor_)
    Control->SetColor(SavedColor);
  AppliedColor_ = clNone;
}

int TacDlgPanelWnd::BorderWidth() const { return FrameWidthOf(WndHandle); }

void TacDlgPanelWnd::AfterSkinChange(int Command) {
  // A panel of the class library takes the skin's colour.
  if (Command == QC_SKINLOADED && SkinOn()) ApplySkinColors();
}

void TacDlgPanelWnd::HandleMessage(TMessage& Message) {
  auto alive = AliveToken();
  switch (Message.Msg) {
    case WM_UPDATEUISTATE: Message.Result = 1; return;
    case WM_PARENTNOTIFY:
      if (LoWord(Message.WParam) != WM_CREATE && LoWord(Message.WParam) != WM_DESTROY) break;
      TacMainWnd::HandleMessage(Message);
      if (*alive) AnnounceChild(this, Message);
      return;
    case WM_PRINT:
      if (!Message.WParam) break;
      ClientPaint(HDC(Message.WParam), true);
      if (*alive) FramePaint(HDC(Message.WParam));
      return;
    case WM_NCPAINT:
      FramePaint(nullptr);
      Message.Result = 1;
      return;
    case WM_PAINT: {
      PaintScope paint(WndHandle, HDC(Message.WParam));
      return;
    }
    case WM_ERASEBKGND: EraseAndPaint(Message); return;
    case WM_SETTEXT:
      if (IsWindowVisible(WndHandle)) SkinData->BGChanged = true;
      break;
    default: break;
  }
  TacMainWnd::HandleMessage(Message);
}

void TacDlgPanelWnd::EraseAndPaint(TMessage& Message) {
  const HDC dc = HDC(Message.WParam);
  Message.Result = 1;
  if (!dc) return;
  auto alive = AliveToken();
  SavedDC saved(dc);
  ClientPaint(dc, false);
  if (!*alive) return;
  // The window's own painting inside the frame band; the band stays the skin's.
  IntersectClipRect(dc, 6, 6, WndSize.cx - 6, WndSize.cy - 6);
  LPARAM lp = 0;
  CallPrevProc(this, WndHandle, WM_PAINT, WPARAM(dc), lp);
  if (*alive) Message.Result = 1;
}

void TacDlgPanelWnd::PaintDlgPanel() {
  UpdateRects();
  TBitmap* cache = SizeCache();
  const TsCacheInfo ci = AskParentCacheWnd(WndHandle);
  PaintControlItem(SkinData, ci, false, 0, Rect(0, 0, WndSize.cx, WndSize.cy), WndPos, cache, true);
  SkinData->BGChanged = false;
}

void TacDlgPanelWnd::FramePaint(HDC DC) {
  WindowDC dc(WndHandle, DC);
  if (!dc) return;
  PaintDlgPanel();
  CopyCacheBorder(SkinData, dc, BorderWidth() + 6);
}

void TacDlgPanelWnd::ClientPaint(HDC DC, bool WindowCoords) {
  if (AskUpdating()) return;
  if (SkinData->BGChanged || !SkinData->CacheBmp || SkinData->CacheBmp->Empty()) PaintDlgPanel();
  const int b = BorderWidth();
  TBitmap* cache = SkinData->CacheBmp;
  const TRect inner = Rect(b, b, cache->Width() - b, cache->Height() - b);
  if (inner.IsEmpty()) return;
  BitmapDC src(cache);
  const int at = WindowCoords ? b : 0;
  if (src) BitBlt(DC, at, at, inner.Width(), inner.Height(), src, b, b, SRCCOPY);
}

// ---- TacTransPanelWnd -------------------------------------------------------------------------------

void TacTransPanelWnd::HandleMessage(TMessage& Message) {
  if (SkinOn()) {
    switch (Message.Msg) {
      case WM_ERASEBKGND:
        PaintBackground();
        Message.Result = 1;
        return;
      case WM_NCPAINT: return;
      default: break;
    }
  }
  TacMainWnd::HandleMessage(Message);
}

void TacTransPanelWnd::PaintBackground() {
  UpdateRects();
  auto alive = AliveToken();
  SkinData->BGChanged = true;
  SendSkinCommand(WndHandle, QC_PREPAREFADE);
  if (!*alive) return;
  WindowDC dc(WndHandle);
  const TRect all = Rect(0, 0, WndSize.cx, WndSize.cy);
  if (dc) CopyCacheExcludingChildWnds(WndHandle, SkinData, all, all, dc, true, 0, 0);
}

// ---- TacSizerWnd ------------------------------------------------------------------------------------

bool TacSizerWnd::IsGrip() const {
  // A scroll bar that is no size box keeps its own look and handling.
  char cls[16] = {};
  GetClassNameA(WndHandle, cls, sizeof cls);
  return lstrcmpiA(cls, "ScrollBar") != 0 || (GetWindowLongPtrA(WndHandle, GWL_STYLE) & (SBS_SIZEBOX | SBS_SIZEGRIP));
}

void TacSizerWnd::HandleMessage(TMessage& Message) {
  if (!IsGrip()) {
    TacMainWnd::HandleMessage(Message);
    return;
  }
  if (SkinOn()) {
    switch (Message.Msg) {
      case WM_PAINT: SizerPaint(); return;
      case WM_ERASEBKGND:
      case WM_NCPAINT: return;
      case WM_NCLBUTTONDOWN:
        if (Message.WParam != HTBOTTOMRIGHT) break;
        // The grip is pressed where it answers as the corner: its own press sizes its parent (a
        // corner press handled by the system would size the grip itself).
        GripPressed(Message);
        return;
      default: break;
    }
  }
  const UINT msg = Message.Msg;
  auto alive = AliveToken();
  TacMainWnd::HandleMessage(Message);
  if (!*alive || msg != WM_NCHITTEST || !SkinOn()) return;
  if (DefaultManager && IsWindowEnabled(WndHandle)) {
    DefaultManager->SetHotWindow(nullptr);
    if (!*alive) return;
  }
  // The corner to size from, wherever the grip is grabbed; but only where the grip lies.
  RECT wr{};
  GetWindowRect(WndHandle, &wr);
  const POINT pt{std::int16_t(LoWord(std::uintptr_t(Message.LParam))),
                 std::int16_t(HiWord(std::uintptr_t(Message.LParam)))};
  if (PtInRect(&wr, pt)) Message.Result = HTBOTTOMRIGHT;
}

void TacSizerWnd::GripPressed(TMessage& Message) {
  POINT pt{std::int16_t(LoWord(std::uintptr_t(Message.LParam))), std::int16_t(HiWord(std::uintptr_t(Message.LParam)))};
  ScreenToClient(WndHandle, &pt);
  LPARAM lp = MAKELPARAM(pt.x, pt.y);
  Message.Result = CallPrevProc(this, WndHandle, WM_LBUTTONDOWN, MK_LBUTTON, lp);
}

void TacSizerWnd::SizerPaint() {
  auto alive = AliveToken();
  PaintScope paint(WndHandle);
  UpdateRects();
  SkinData->BGChanged = true;
  SendSkinCommand(WndHandle, QC_PREPAREFADE);
  if (!*alive) return;
  ClientDC dc(WndHandle);
  CopyCacheTo(dc);
}

// ---- The panel kind of the control adapter ------------------------------------------------------------

namespace {

const bool kPanelKind = RegisterKindAdapter(tkPanel, &MakeAdapter<TacPanelWnd>);

}  // namespace
