#include "skin/controls/sMaskEdit.h"

#include "classlib/core/TypInfo.h"
#include "skin/engine/sStyleSimply.h"

TsMaskEdit::TsMaskEdit(TComponent* AOwner) : TacSkinnedControl<TMaskEdit>(AOwner, 0, true) {
  ControlStyle_.Exclude(csSetCaption);
  if (FSkinData->SkinSection().empty()) FSkinData->SetSkinSection("EDIT");
  FBoundLabel = new TsBoundLabel(FSkinData);
}

TsMaskEdit::~TsMaskEdit() {
  delete FBoundLabel;
  FBoundLabel = nullptr;
}

void TsMaskEdit::SetDisabledKind(TsDisabledKind Value) {
  if (FDisabledKind == Value) return;
  FDisabledKind = Value;
  FSkinData->Invalidate();
}

int TsMaskEdit::BorderWidth() const { return BorderStyle_ == bsSingle ? 2 + (Ctl3D_ ? 1 : 0) : 0; }

int TsMaskEdit::CurrentState() { return FSkinData->IsHot() ? 1 : 0; }

void TsMaskEdit::Change() {
  if (!Loading()) TMaskEdit::Change();
}

// ---- the cache ----------------------------------------------------------------------------------------

void TsMaskEdit::PaintText() {
  const std::string text = EditText();
  if (text.empty()) return;
  TCanvas* canvas = FSkinData->CacheBmp->Canvas();
  canvas->SetFont(Font());
  const int b = BorderWidth();
  TRect r = Rect(b, b, Width_ - b, canvas->TextHeight(text) + b);
  if (Ctl3D_ && BorderStyle_ == bsSingle) r.Top -= 1;
  if (PasswordChar_)
    WriteControlText(canvas, std::string(text.size(), PasswordChar_), true, r, DT_SINGLELINE | DT_NOPREFIX, FSkinData,
                     CurrentState() != 0);
  else
    WriteControlText(canvas, text, true, r, DT_SINGLELINE | DT_EXTERNALLEADING | DT_NOPREFIX, FSkinData,
                     CurrentState() != 0);
}

void TsMaskEdit::PrepareCache() {
  FSkinData->InitCacheBmp();
  TBitmap* cache = FSkinData->CacheBmp;
  if (!FSkinData->Skinned(false)) {
    FillBmpRect(cache, Rect(0, 0, Width_, Height_), TColor(ColorToRGB(Color())));
    PaintText();
    return;
  }
  const TsCacheInfo ci = BeginPrepareCache(this, FSkinData);
  const TRect all = Rect(0, 0, Width_, Height_);
  if (BorderStyle_ == bsSingle)
    PaintControlItem(FSkinData, ci, true, CurrentState(), all, Point(Left_, Top_), cache, false);
  else
    PaintControlBackground(FSkinData, ci, 0, all, Point(Left_, Top_), cache);
  PaintText();
  ApplyDisabledIfNeeded(this, FSkinData, FDisabledKind);
  EndPrepareCache(FSkinData);
}

void TsMaskEdit::PaintEditNow(HDC DC, bool InPaint) {
  PaintEditFromCache(this, FSkinData, DC, InPaint, BorderStyle_ == bsSingle, [this] { PrepareCache(); });
}

void TsMaskEdit::PaintEdit(HDC DC) { PaintEditNow(DC, false); }

void TsMaskEdit::PaintBorder(HDC DC) {
  if (!Parent_ || !Visible_ || !Parent_->Visible() || ControlState_.Contains(csCreating) || BorderStyle_ == bsNone ||
      FSkinData->Updating())
    return;
  PaintEditFrame(this, FSkinData, DC, 2, [this] { PrepareCache(); });
}

// ---- window procedure -----------------------------------------------------------------------------------

void TsMaskEdit::WndProc(TMessage& Message) {
  auto alive = AliveToken();
  if (Message.Msg == WM_PAINT && FSkinData && !ReadyAndSkinned() && CurrentState() == 0) {
    // Without a skin the window paints itself; the cache has nothing to add while no skin is
    // loaded (updating holds).
    TMaskEdit::WndProc(Message);
    if (*alive) PaintEdit(reinterpret_cast<HDC>(Message.WParam));
  } else {
    TacSkinnedControl<TMaskEdit>::WndProc(Message);
  }
  if (*alive) FollowBoundLabel(FBoundLabel, this, Message);
}

bool TsMaskEdit::AnswerAnyState(TMessage& Message) {
  if (Message.WParamHi() != QC_UPDATEDONE) return false;
  if (FSkinData->Updating()) {
    FSkinData->SetUpdating(false);
    RepaintAfterUpdate();
  }
  return true;
}

void TsMaskEdit::RepaintAfterUpdate() {
  if (!HandleAllocated()) return;
  InvalidateRect(Handle_, nullptr, TRUE);
  SendMessageA(Handle_, WM_NCPAINT, 0, 0);
}

void TsMaskEdit::AfterSkinChange(int Command) {
  if (Command == QC_SKINREMOVED) {
    RecreateWnd();
  } else if (Command == QC_REFRESH && HandleAllocated() && !SkinSwitchRunning()) {
    SendMessageA(Handle_, WM_NCPAINT, 0, 0);
    Repaint();
  }
}

void TsMaskEdit::PrintMessage(TMessage& Message) {
  const HDC dc = reinterpret_cast<HDC>(Message.WParam);
  FSkinData->SetUpdating(false);
  if (FSkinData->BGChanged) PrepareCache();
  if (BorderStyle_ == bsSingle) RepaintAllCacheCorners(FSkinData, 0);
  if (dc) {
    PaintEdit(dc);
    const BitmapDC src(FSkinData->CacheBmp);
    BitBltBorder(dc, 0, 0, Width_, Height_, src, 0, 0, BorderWidth());
  }
  Message.Result = 0;
}

void TsMaskEdit::HotPaintMessage(TMessage& Message) {
  auto alive = AliveToken();
  TMaskEdit::WndProc(Message);
  if (*alive) PaintBorder(nullptr);
}

bool TsMaskEdit::SkinnedMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_NCPAINT:
      if (!FSkinData->Updating()) PaintBorder(nullptr);
      Message.Result = 0;
      return true;
    case WM_PRINT: PrintMessage(Message); return true;
    // A text set by the program: a multi-line window (a combo edit's) reports no change for it.
    case CM_CHANGED:
    case CM_TEXTCHANGED: FSkinData->BGChanged = true; return false;
    case WM_PAINT:
      // While hot the window draws its text, else the cache shows the whole look.
      if (CurrentState() != 0)
        HotPaintMessage(Message);
      else
        PaintEditNow(reinterpret_cast<HDC>(Message.WParam), true);
      return true;
    case WM_ERASEBKGND:
    case CN_DRAWITEM:
      if (RefreshUpdating(FSkinData)) {
        Message.Result = 1;
        return true;
      }
      return false;
    default: return false;
  }
}

void TsMaskEdit::AfterInherited(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SETFOCUS: Invalidate(); break;
    case WM_KILLFOCUS:
    case CM_EXIT:
      // Back to the look from the cache.
      FSkinData->Invalidate();
      SendMessageA(Handle_, WM_NCPAINT, 0, 0);
      break;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      if (IsOwnEnterLeave(Message, this) && !Focused()) {
        FSkinData->Invalidate();
        SendMessageA(Handle_, WM_NCPAINT, 0, 0);
      }
      break;
    case WM_SETFONT:
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED: FSkinData->Invalidate(); break;
    default: break;
  }
}

namespace {
const bool kMaskEditProps = RegisterProperties<TsMaskEdit, TMaskEdit>([](auto& p) {
  p.Obj("SkinData", &TsMaskEdit::SkinData);
  p.Obj("BoundLabel", &TsMaskEdit::BoundLabel);
  p.Set("DisabledKind", &TsMaskEdit::DisabledKind, &TsMaskEdit::SetDisabledKind, {"dkBlended", "dkGrayed"});
});
}  // namespace
