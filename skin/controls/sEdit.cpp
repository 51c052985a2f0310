#include "skin/controls/sEdit.h"

#include "classlib/core/TypInfo.h"
#include "skin/engine/sStyleSimply.h"

void ApplySectionColors(TControl* Control, TsCommonData* SkinData, bool Hot) {
  const TsGeneralData* gd = SectionOf(SkinData);
  if (!gd) return;
  const TColor color = TColor(Hot ? gd->HotColor : gd->Color);
  const TColor font = TColor((Hot ? gd->HotFontColor : gd->FontColor).Text());
  if (!SkinData->CustomColor && Control->Color() != color) Control->SetColor(color);
  if (!SkinData->CustomFont && Control->Font()->Color() != font) Control->Font()->SetColor(font);
}

// ---- TsEdit -----------------------------------------------------------------------------------------

TsEdit::TsEdit(TComponent* AOwner) : TacSkinnedControl<TEdit>(AOwner, tcEdit, true) {
  FBoundLabel = new TsBoundLabel(FSkinData);
}

TsEdit::~TsEdit() {
  delete FBoundLabel;
  FBoundLabel = nullptr;
}

void TsEdit::SetDisabledKind(TsDisabledKind Value) {
  if (FDisabledKind == Value) return;
  FDisabledKind = Value;
  FSkinData->Invalidate();
}

int TsEdit::BevelWidth() const {
  if (BevelKind_ == bkNone) return 0;
  return (BevelInner_ != bvNone ? 1 : 0) + (BevelOuter_ != bvNone ? 1 : 0);
}

int TsEdit::FrameWidth(bool ForNCPaint) const {
  int w = BorderStyle_ == bsSingle ? 1 + (Ctl3D_ ? 1 : 0) : 0;
  if (ForNCPaint && w == 0) w = (BevelInner_ != bvNone ? 1 : 0) + (BevelOuter_ != bvNone ? 1 : 0);
  return w;
}

// ---- the cache ----------------------------------------------------------------------------------------

void TsEdit::PaintText() {
  TCanvas* canvas = FSkinData->CacheBmp->Canvas();
  canvas->SetFont(Font());
  const int b = FrameWidth(false) + BevelWidth();
  const TRect r = Rect(b + 1, b + 1, Width_ - b, Height_ - b);
  const std::string text = Text();
  const std::string shown = PasswordChar_ ? std::string(text.size(), PasswordChar_) : text;
  DrawControlText(canvas, shown, true, r, DT_WORDBREAK | DT_SINGLELINE | DT_NOPREFIX, FSkinData, FSkinData->IsHot());
}

void TsEdit::PrepareCache() {
  const TsCacheInfo ci = BeginPrepareCache(this, FSkinData);
  PaintControlItem(FSkinData, ci, true, FSkinData->IsHot() ? 1 : 0, Rect(0, 0, Width_, Height_), Point(Left_, Top_),
                   FSkinData->CacheBmp, false);
  PaintText();
  ApplyDisabledIfNeeded(this, FSkinData, FDisabledKind);
  EndPrepareCache(FSkinData);
}

void TsEdit::PaintHandler(HDC DC, bool InPaint) {
  PaintEditFromCache(this, FSkinData, DC, InPaint, true, [this] {
    if (!FSkinData->AlwaysRepaint) PrepareCache();
  });
}

void TsEdit::PaintFrame() {
  if (RefreshUpdating(FSkinData)) return;
  PaintEditFrame(this, FSkinData, nullptr, FrameWidth(true), [this] { PrepareCache(); });
}

// ---- window procedure -----------------------------------------------------------------------------------

void TsEdit::WndProc(TMessage& Message) {
  auto alive = AliveToken();
  TacSkinnedControl<TEdit>::WndProc(Message);
  if (*alive) FollowBoundLabel(FBoundLabel, this, Message);
}

bool TsEdit::AnswerAnyState(TMessage& Message) {
  if (Message.WParamHi() != QC_ISTRANSPARENT) return false;
  Message.LParam = 0;
  Message.Result = 0;
  return true;
}

void TsEdit::AfterSkinChange(int Command) {
  if (Command == QC_REFRESH) {
    if (SkinSwitchRunning()) return;
    Repaint();
    if (HandleAllocated()) SendMessageA(Handle_, WM_NCPAINT, 0, 0);
  } else if (Command == QC_SKINREMOVED && HandleAllocated()) {
    // The native frame and colours again.
    RedrawWindow(Handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
  }
}

void TsEdit::RepaintAfterUpdate() {
  Repaint();
  if (HandleAllocated()) SendMessageA(Handle_, WM_NCPAINT, 0, 0);
}

void TsEdit::PrintMessage(TMessage& Message) {
  const HDC dc = reinterpret_cast<HDC>(Message.WParam);
  FSkinData->SetUpdating(false);
  if (!dc) return;
  PrepareCache();
  RepaintAllCacheCorners(FSkinData, 0);
  const int b = FrameWidth(false);
  {
    const BitmapDC src(FSkinData->CacheBmp);
    BitBltBorder(dc, 0, 0, Width_, Height_, src, 0, 0, b);
  }
  PaintHandler(dc, false);
  // The native window prints its client area into the caller's DC, moved and clipped to where
  // that area lies; the caller gets its DC back as it gave it.
  const SavedDC saved(dc);
  POINT org{};
  GetWindowOrgEx(dc, &org);
  SetWindowOrgEx(dc, org.x - b, org.y - b, nullptr);
  IntersectClipRect(dc, 0, 0, Width_ - 2 * b, Height_ - 2 * b);
  Message.LParam &= ~LPARAM(PRF_NONCLIENT);
  auto alive = AliveToken();
  if (!HandleCommonMessage(Message, FSkinData) && *alive) TEdit::WndProc(Message);
}

void TsEdit::PaintMessage(TMessage& Message) {
  if (RefreshUpdating(FSkinData)) {
    const PaintScope validate(Handle_);
    return;
  }
  ApplySectionColors(this, FSkinData, FSkinData->IsHot());
  if (!Enabled())
    PaintHandler(reinterpret_cast<HDC>(Message.WParam), true);
  else
    TEdit::WndProc(Message);
}

bool TsEdit::SkinnedMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_PRINT: PrintMessage(Message); return true;
    case CM_COLORCHANGED:
      if (FSkinData->CustomColor) FSkinData->BGChanged = true;
      return false;
    case WM_PAINT: PaintMessage(Message); return true;
    case WM_ERASEBKGND:
    case CN_DRAWITEM:
      if (RefreshUpdating(FSkinData) || !Enabled()) {
        Message.Result = 1;
        return true;
      }
      return false;
    case WM_NCPAINT:
      PaintFrame();
      Message.Result = 0;
      return true;
    default: return false;
  }
}

void TsEdit::FocusLost() {
  FSkinData->Focused = false;
  FSkinData->MouseAbove = false;
  FSkinData->BGChanged = true;
  if (!Visible_) return;
  Repaint();
  SendMessageA(Handle_, WM_NCPAINT, 0, 0);
}

void TsEdit::AfterInherited(TMessage& Message) {
  switch (Message.Msg) {
    case SM_QUORVEXCMD:
      if (Message.WParamHi() == QC_SETALWAYSREPAINT && FSkinData->AlwaysRepaint) PrepareCache();
      break;
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
    case WM_SETTEXT:
    case WM_SETFONT:
      if (!Loading()) {
        FSkinData->Invalidate();
        // In a skin switch (the skin's text colour given) the frame is painted at its end.
        if (!SkinSwitchWalking()) SendMessageA(Handle_, WM_NCPAINT, 0, 0);
      }
      break;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      // The hot look under the mouse: colours, frame and (disabled) text.
      if (IsOwnEnterLeave(Message, this) && !Focused()) {
        FSkinData->Invalidate();
        SendMessageA(Handle_, WM_NCPAINT, 0, 0);
      }
      break;
    case WM_SIZE: SendMessageA(Handle_, WM_NCPAINT, 0, 0); break;
    case WM_SETFOCUS:
      FSkinData->Invalidate();
      SendMessageA(Handle_, WM_NCPAINT, 0, 0);
      break;
    case WM_KILLFOCUS:
    case CM_EXIT: FocusLost(); break;
    default: break;
  }
}

// ---- published properties ------------------------------------------------------------------------------------

namespace {
const bool kEditProps = RegisterProperties<TsEdit, TEdit>([](auto& p) {
  p.Obj("SkinData", &TsEdit::SkinData);
  p.Obj("BoundLabel", &TsEdit::BoundLabel);
  p.Set("DisabledKind", &TsEdit::DisabledKind, &TsEdit::SetDisabledKind, {"dkBlended", "dkGrayed"});
});
}  // namespace
