#include "skin/controls/sCheckBox.h"

#include <algorithm>
#include <optional>

#include "classlib/GdiScopes.h"
#include "classlib/core/TypInfo.h"
#include "skin/engine/sStyleSimply.h"

namespace {

// A user's glyph is painted from its 24-bit pixels.
void Make24(TBitmap* Bmp) {
  if (Bmp->Empty()) return;
  if (Bmp->PixelFormat() != pf24bit) Bmp->SetPixelFormat(pf24bit);
  if (Bmp->HandleType() != bmDIB) Bmp->SetHandleType(bmDIB);
}

// Frame State of a three-frame glyph with its masks below, at the top-left corner of R.
void PaintFramedGlyph(TBitmap* Cache, TBitmap* Glyph, const TRect& R, int State) {
  const int w = Glyph->Width() / 3, h = Glyph->Height() / 2;
  if (w < 1 || h < 1) return;
  const TRect src = Rect(State * w, 0, State * w + w, h);
  CopyByMask(Rect(R.Left, R.Top, R.Left + w, R.Top + h), src, Cache, Glyph, EmptyCacheInfo, false);
}

}  // namespace

// ---- TacCheckControl ----------------------------------------------------------------------------------

template <class TBase>
TacCheckControl<TBase>::TacCheckControl(TComponent* AOwner, std::uint8_t TypeCode)
    : TacSkinnedControl<TBase>(AOwner, TypeCode, false) {
  FGlyphChecked = new TBitmap();
  FGlyphUnChecked = new TBitmap();
  FGlyphChecked->OnChange = MakeMethod<&TacCheckControl<TBase>::GlyphChanged>(this);
  FGlyphUnChecked->OnChange = MakeMethod<&TacCheckControl<TBase>::GlyphChanged>(this);
  this->WordWrap_ = false;
  this->AutoSize_ = true;
}

template <class TBase>
TacCheckControl<TBase>::~TacCheckControl() {
  StopFade(this->FFadeTimer);
  delete FGlyphChecked;
  FGlyphChecked = nullptr;
  delete FGlyphUnChecked;
  FGlyphUnChecked = nullptr;
}

template <class TBase>
void TacCheckControl<TBase>::Loaded() {
  TacSkinnedControl<TBase>::Loaded();
  this->AdjustSize();
}

// ---- properties -------------------------------------------------------------------------------------

template <class TBase>
void TacCheckControl<TBase>::LookChanged() {
  if (this->AutoSize_) this->AdjustSize();
  if (this->FSkinData) this->FSkinData->Invalidate();
}

template <class TBase>
void TacCheckControl<TBase>::GlyphChanged(TObject*) {
  if (this->Loading() || IsDying(this)) return;
  LookChanged();
}

template <class TBase>
void TacCheckControl<TBase>::SetMargin(int Value) {
  if (FMargin == Value) return;
  FMargin = Value;
  LookChanged();
}

template <class TBase>
void TacCheckControl<TBase>::SetTextIndent(int Value) {
  if (FTextIndent == Value) return;
  FTextIndent = Value;
  LookChanged();
}

template <class TBase>
void TacCheckControl<TBase>::SetDisabledKind(TsDisabledKind Value) {
  if (FDisabledKind == Value) return;
  FDisabledKind = Value;
  this->FSkinData->Invalidate();
}

template <class TBase>
void TacCheckControl<TBase>::SetGlyphChecked(TBitmap* Value) {
  FGlyphChecked->Assign(Value);
  Make24(FGlyphChecked);
}

template <class TBase>
void TacCheckControl<TBase>::SetGlyphUnChecked(TBitmap* Value) {
  FGlyphUnChecked->Assign(Value);
  Make24(FGlyphUnChecked);
}

template <class TBase>
void TacCheckControl<TBase>::SetShowFocus(bool Value) {
  if (FShowFocus == Value) return;
  FShowFocus = Value;
  this->Invalidate();
}

// ---- geometry ---------------------------------------------------------------------------------------

template <class TBase>
int TacCheckControl<TBase>::GlobalGlyphMask(const char* Name) const {
  TsSkinManager* sm = this->FSkinData->SkinManager();
  if (!sm || !sm->Skin()) return -1;
  const int section = sm->ConstData().GlobalInfo;
  if (section < 0) return -1;
  const int mask = sm->LookupMask(section, "GLOBALINFO", Name);
  return sm->IsMaskIndex(mask) ? mask : -1;
}

template <class TBase>
void TacCheckControl<TBase>::FrameSize(int& W, int& H) {
  W = H = -1;
  int index = -1;
  if (TCustomImageList* list = ListGlyph(index)) {
    W = list->Width() / 3;
    H = list->Height() / 2;
    return;
  }
  if (!FGlyphChecked->Empty()) {
    TBitmap* g = UserGlyphForSize();
    W = g->Width() / 3;
    H = g->Height() / 2;
    return;
  }
  const int mask = SkinGlyphMask();
  if (mask < 0) return;
  const TSize s = this->FSkinData->SkinManager()->GetMaskItemSize(mask);
  W = s.cx;
  H = s.cy;
}

template <class TBase>
TRect TacCheckControl<TBase>::CheckRect() {
  int w = 0, h = 0;
  FrameSize(w, h);
  if (w < 0 || h < 0) return Rect(0, 0, 16, 16);
  const int y = (this->Height_ - h) / 2;
  const int x = this->GetControlsAlignment() == taRightJustify ? FMargin : this->Width_ - w - FMargin;
  return Rect(x, y, x + w, y + h);
}

template <class TBase>
int TacCheckControl<TBase>::GlyphState() {
  if (FPressed) return 2;
  return this->FSkinData->IsHot() && !GetReadOnly() ? 1 : 0;
}

template <class TBase>
bool TacCheckControl<TBase>::CanAutoSize(int& NewWidth, int& NewHeight) {
  const std::string caption = this->Caption();
  if (!this->FSkinData->Skinned()) {
    if (!this->AutoSize_) return TBase::CanAutoSize(NewWidth, NewHeight);
    TSize ts{};
    TextExtentWithFont(this->Font(), caption, ts);
    NewWidth = ts.cx + 20;
    NewHeight = ts.cy + 4;
    return false;
  }
  if (this->Loading() || !this->AutoSize_) return false;
  const TRect cr = CheckRect();
  int w = cr.Width() + 2 * FMargin;
  int h = cr.Height();
  if (!caption.empty()) {
    TSize ts{};
    TextExtentWithFont(this->Font(), caption, ts);
    w += ts.cx + FTextIndent + 8;
    h = std::max(h, ts.cy + 2 * FMargin);
  }
  NewWidth = w;
  NewHeight = h + 2;
  return true;
}

// ---- painting ---------------------------------------------------------------------------------------

template <class TBase>
void TacCheckControl<TBase>::PaintGlyph() {
  TBitmap* cache = this->FSkinData->CacheBmp;
  const TRect r = CheckRect();
  const int state = GlyphState();
  int index = -1;
  if (TCustomImageList* list = ListGlyph(index)) {
    // An index outside the list draws nothing.
    TBitmap image;
    if (index >= 0 && index < list->Count() && ImageListItemToBmp(&image, list, index))
      PaintFramedGlyph(cache, &image, r, state);
    return;
  }
  if (!FGlyphChecked->Empty()) {
    if (TBitmap* g = UserGlyph(); g && !g->Empty()) PaintFramedGlyph(cache, g, r, state);
    return;
  }
  const int mask = SkinGlyphMask();
  if (mask < 0) return;
  SharedParentColor = clParentColorUnset;
  PaintMaskImageByIndex(cache, Point(r.Left, r.Top), state, 1, mask, this->FSkinData->SkinManager());
}

template <class TBase>
void TacCheckControl<TBase>::PaintCaption() {
  const std::string caption = this->Caption();
  if (caption.empty()) return;
  TCanvas* canvas = this->FSkinData->CacheBmp->Canvas();
  const bool wrap = this->WordWrap_;
  const int gw = CheckRect().Width();
  const int maxW = this->Width_ - (gw + FTextIndent + 2 * FMargin + 2);
  TRect m = Rect(0, 0, maxW, 0);
  DrawTextStr(canvas->Handle(), caption, m, DT_CALCRECT | (wrap ? DT_WORDBREAK : DT_SINGLELINE));
  const int tw = m.Width(), th = m.Height();
  TRect r;
  r.Top = std::max((this->Height_ - th) / 2, FMargin);
  r.Bottom = this->Height_ - r.Top;
  if (this->GetControlsAlignment() == taRightJustify) {
    r.Left = this->Width_ - maxW - FMargin + 2;
    r.Right = r.Left + tw;
  } else {
    r.Left = FMargin;
    r.Right = maxW + FMargin;
  }
  r.Offset(wrap ? -1 : 0, -1);
  const bool hot = this->FSkinData->IsHot() && !GetReadOnly();
  WriteControlText(canvas, caption, true, r, wrap ? DT_WORDBREAK | DT_CENTER : DT_SINGLELINE, this->FSkinData, hot);
  canvas->Pen()->SetStyle(psClear);
  canvas->Brush()->SetStyle(bsSolid);
  if (!FShowFocus) return;
  r.Top += 1;
  r.Bottom -= wrap ? 1 : 2;
  DrawFrameFocusDots(canvas, r, 1, this, this->FSkinData, caption);
}

template <class TBase>
void TacCheckControl<TBase>::PrepareCache() {
  TsCommonData* sd = this->FSkinData;
  const TsCacheInfo ci = BeginPrepareCache(this, sd);
  sd->CacheBmp->Canvas()->SetFont(this->Font());
  const int state = sd->IsHot() && !GetReadOnly() ? 1 : 0;
  PaintControlItem(sd, ci, true, state, Rect(0, 0, this->Width_, this->Height_), Point(this->Left_, this->Top_),
                   sd->CacheBmp, false);
  PaintCaption();
  PaintGlyph();
  ApplyDisabledIfNeeded(this, sd, FDisabledKind);
  EndPrepareCache(sd);
}

template <class TBase>
void TacCheckControl<TBase>::PaintHandler(TMessage& Message) {
  TsCommonData* sd = this->FSkinData;
  if (Message.Msg != WM_PAINT) sd->SetUpdating(false);
  // WM_PAINT validates the window whatever DC it carries.
  std::optional<PaintScope> paint;
  if (Message.Msg == WM_PAINT) paint.emplace(this->Handle_);
  HDC dc = reinterpret_cast<HDC>(Message.WParam);
  if (!dc && paint && !PaintsIntoWindowDC()) dc = paint->Get();
  Message.Result = 0;
  SharedParentColor = this->Parent_ ? TColor(ColorToRGB(this->Parent_->Color())) : clParentColorUnset;
  if (!RefreshUpdating(sd) && !(this->FFadeTimer && this->FFadeTimer->Enabled())) {
    PrepareCache();
    RepaintAllCacheCorners(sd, 0);
    CopyCacheToWindow(this, sd, dc);
  }
  SharedParentColor = clParentColorUnset;
}

// ---- window procedure -------------------------------------------------------------------------------

template <class TBase>
void TacCheckControl<TBase>::WndProc(TMessage& Message) {
  if (this->FSkinData && Message.Msg != SM_QUORVEXCMD && !this->ReadyAndSkinned() && DropPlainMessage(Message)) return;
  TacSkinnedControl<TBase>::WndProc(Message);
}

template <class TBase>
void TacCheckControl<TBase>::Dispatch(TMessage& Message) {
  // The native button's click and the accelerator key of a read-only control change nothing.
  if (GetReadOnly()) {
    if (Message.Msg == CN_COMMAND && (Message.WParamHi() == BN_CLICKED || Message.WParamHi() == BN_DOUBLECLICKED)) {
      Message.Result = 0;
      return;
    }
    if (Message.Msg == CM_DIALOGCHAR) {
      this->TButtonControl::Dispatch(Message);
      return;
    }
  }
  TBase::Dispatch(Message);
}

template <class TBase>
bool TacCheckControl<TBase>::DropPlainMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN: FPressed = true; return false;
    case WM_KEYUP:
    case WM_LBUTTONUP: FPressed = false; return false;
    case BM_SETCHECK:
    case BM_SETSTATE: return FPressed && GetReadOnly() && !this->ControlState_.Contains(csCreating);
    case WM_LBUTTONDBLCLK: return GetReadOnly();
    default: return false;
  }
}

template <class TBase>
void TacCheckControl<TBase>::TakeFocusQuietly() {
  if (this->Focused() || !this->CanFocus()) return;
  const bool old = this->ClicksDisabled_;
  this->ClicksDisabled_ = true;
  this->SetFocus();
  this->ClicksDisabled_ = old;
}

template <class TBase>
bool TacCheckControl<TBase>::FocusGained(TMessage& Message) {
  if (IsDesigning(this)) return false;
  if (!this->Enabled()) return true;
  auto alive = this->AliveToken();
  TBase::WndProc(Message);
  if (!*alive) return true;
  this->FSkinData->BGChanged = true;
  if (this->FFadeTimer && this->FFadeTimer->Enabled())
    this->FFadeTimer->FadeStep();
  else
    this->Repaint();
  return true;
}

template <class TBase>
bool TacCheckControl<TBase>::FocusLost(TMessage& Message) {
  if (IsDesigning(this) || !this->Enabled()) return false;
  StopFade(this->FFadeTimer);
  auto alive = this->AliveToken();
  const HWND wnd = this->Handle_;
  SendMessageA(wnd, WM_SETREDRAW, 0, 0);
  TBase::WndProc(Message);
  if (IsWindow(wnd)) SendMessageA(wnd, WM_SETREDRAW, 1, 0);
  if (!*alive) return true;
  this->FSkinData->Focused = false;
  this->FSkinData->MouseAbove = false;
  this->FSkinData->Invalidate();
  return true;
}

template <class TBase>
bool TacCheckControl<TBase>::SkinnedMessage(TMessage& Message) {
  switch (Message.Msg) {
    case CM_MOUSEENTER:
      if (IsOwnEnterLeave(Message, this)) this->FadeOnEnterLeave(Message);
      return false;
    case CM_MOUSELEAVE:
      if (IsOwnEnterLeave(Message, this)) {
        // A press that leaves the control is no press any more.
        FPressed = false;
        this->FadeOnEnterLeave(Message);
      }
      return false;
    case WM_SETFOCUS:
    case CM_ENTER: return FocusGained(Message);
    case WM_KILLFOCUS:
    case CM_EXIT: return FocusLost(Message);
    case WM_UPDATEUISTATE:
      if (ThemesInUse() && !IsDesigning(this) && this->HandleAllocated()) acSetWindowTheme(this->Handle_, L" ", L" ");
      return true;
    default: return false;
  }
}

template <class TBase>
bool TacCheckControl<TBase>::SpaceDown(TMessage& Message) {
  if (Message.WParam != VK_SPACE || !this->Enabled() || IsDesigning(this)) return false;
  if (GetReadOnly()) return true;
  FPressed = true;
  auto alive = this->AliveToken();
  TakeFocusQuietly();
  if (!*alive) return true;
  this->Repaint();
  std::uint16_t key = VK_SPACE;
  this->OnKeyDown(this, key, KeyDataToShiftState(Message.LParam));
  return true;
}

template <class TBase>
bool TacCheckControl<TBase>::SpaceUp(TMessage& Message) {
  // Only the space bar's release ends a press of the keyboard.
  if (Message.WParam != VK_SPACE || !this->Enabled() || IsDesigning(this)) return false;
  if (GetReadOnly()) return true;
  auto alive = this->AliveToken();
  if (FPressed) {
    FPressed = false;
    ReleasePress();
    if (!*alive) return true;
  }
  std::uint16_t key = VK_SPACE;
  this->OnKeyUp(this, key, KeyDataToShiftState(Message.LParam));
  return true;
}

template <class TBase>
bool TacCheckControl<TBase>::ButtonDown(TMessage& Message) {
  if (!this->Enabled() || IsDesigning(this) || this->DragMode() != dmManual) return false;
  if (GetReadOnly()) return true;
  FPressed = true;
  auto alive = this->AliveToken();
  FadeOrRepaint(this->FFadeTimer, this->FSkinData, true, AnimEventAllowed(aeMouseDown, this->FAnimatEvents), 1);
  if (!*alive) return true;
  TakeFocusQuietly();
  if (!*alive) return true;
  if (Message.Msg == WM_LBUTTONDBLCLK)
    this->OnDblClick(this);
  else
    this->OnMouseDown(this, mbLeft, KeysToShiftState(Message.WParam), short(LoWord(Message.LParam)),
                      short(HiWord(Message.LParam)));
  return true;
}

template <class TBase>
bool TacCheckControl<TBase>::ButtonUp(TMessage& Message) {
  if (!this->Enabled() || IsDesigning(this)) return false;
  if (GetReadOnly()) return true;
  auto alive = this->AliveToken();
  if (FPressed) {
    FPressed = false;
    ReleasePress();
    if (!*alive) return true;
  }
  this->OnMouseUp(this, mbLeft, KeysToShiftState(Message.WParam), short(LoWord(Message.LParam)),
                  short(HiWord(Message.LParam)));
  return true;
}

template <class TBase>
bool TacCheckControl<TBase>::AfterCommonMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_NCPAINT:
    case WM_ENABLE: return true;
    case WM_PAINT: PaintHandler(Message); return !IsDesigning(this);
    case WM_PRINT: PaintHandler(Message); return false;
    case WM_PRINTCLIENT:
      // The native button would paint itself over the look.
      PaintHandler(Message);
      return true;
    case WM_ERASEBKGND: Message.Result = 1; return true;
    case BM_SETCHECK:
      // The state lives in the class library's fields; the native window keeps its own.
      StopFade(this->FFadeTimer);
      return true;
    case WM_KEYDOWN: return SpaceDown(Message);
    case WM_KEYUP: return SpaceUp(Message);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return ButtonDown(Message);
    case WM_LBUTTONUP: return ButtonUp(Message);
    case CM_ENABLEDCHANGED: {
      auto alive = this->AliveToken();
      TBase::WndProc(Message);
      if (*alive) this->Repaint();
      return true;
    }
    case CM_TEXTCHANGED:
      if (this->AutoSize_) this->AdjustSize();
      this->Repaint();
      return true;
    case CM_CHANGED:
      if (!IsDesigning(this))
        FadeOrRepaint(this->FFadeTimer, this->FSkinData, true, AnimEventAllowed(aeMouseUp, this->FAnimatEvents), 1);
      else
        this->FSkinData->Invalidate();
      return false;
    default: return false;
  }
}

template <class TBase>
bool TacCheckControl<TBase>::AnswerAnyState(TMessage& Message) {
  TsCommonData* sd = this->FSkinData;
  switch (Message.WParamHi()) {
    case QC_PREPAREFADE:
      if (this->ReadyAndSkinned()) PrepareCache();
      return false;
    case QC_UPDATEDONE:
      // A partly hidden box repaints too: its parent may have painted over it.
      if (sd->UpdatingFlag() || (sd->PartlyHidden && this->ReadyAndSkinned())) {
        sd->SetUpdating(false);
        if (!IsDesigning(this)) this->Repaint();
      }
      return true;
    default: return false;
  }
}

template <class TBase>
void TacCheckControl<TBase>::AfterSkinChange(int Command) {
  if (Command == QC_SKINREMOVED) {
    // The native window takes the state and its visual theme back.
    if (this->HandleAllocated()) {
      SendMessageA(this->Handle_, BM_SETCHECK, NativeCheckState(), 0);
      if (acSetWindowTheme && !IsDesigning(this)) acSetWindowTheme(this->Handle_, L"", L"");
    }
    FPressed = false;
  } else if (Command == QC_REFRESH) {
    this->AdjustSize();
  }
  TacSkinnedControl<TBase>::AfterSkinChange(Command);
}

// ---- TsCheckBox ---------------------------------------------------------------------------------------

TsCheckBox::TsCheckBox(TComponent* AOwner) : TacCheckControl<TCustomCheckBox>(AOwner, tcCheckBox) {}

void TsCheckBox::Notification(TComponent* AComponent, TOperation Operation) {
  TacCheckControl<TCustomCheckBox>::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImages) {
    FImages = nullptr;
    if (!IsDying(this)) LookChanged();
  }
}

void TsCheckBox::SetImages(TCustomImageList* Value) {
  if (FImages == Value) return;
  FImages = Value;
  if (Value) Value->FreeNotification(this);
  LookChanged();
}

void TsCheckBox::SetImgChecked(int Value) {
  if (FImgChecked == Value) return;
  FImgChecked = Value;
  if (Checked()) LookChanged();
}

void TsCheckBox::SetImgUnchecked(int Value) {
  if (FImgUnchecked == Value) return;
  FImgUnchecked = Value;
  LookChanged();
}

void TsCheckBox::SetChecked(bool Value) {
  if (Loading()) {
    TCustomCheckBox::SetChecked(Value);
    return;
  }
  if (Value != Checked()) FSkinData->BGChanged = true;
  auto alive = AliveToken();
  TCustomCheckBox::SetChecked(Value);
  if (*alive && FSkinData->BGChanged) Repaint();
}

void TsCheckBox::ActionChange(TObject* Sender, bool CheckDefaults) {
  FSkinData->BGChanged = true;
  auto alive = AliveToken();
  TacCheckControl<TCustomCheckBox>::ActionChange(Sender, CheckDefaults);
  if (*alive) Repaint();
}

int TsCheckBox::SkinGlyphMask() {
  switch (State_) {
    case cbChecked: return GlobalGlyphMask("BOXCHECKED");
    case cbGrayed: return GlobalGlyphMask("BOXGRAYED");
    default: return GlobalGlyphMask("BOXUNCHECKED");
  }
}

TBitmap* TsCheckBox::UserGlyph() const {
  if (Checked()) return GlyphChecked();
  return GlyphUnChecked()->Empty() ? nullptr : GlyphUnChecked();
}

TBitmap* TsCheckBox::UserGlyphForSize() const {
  TBitmap* g = UserGlyph();
  return g ? g : GlyphChecked();
}

TCustomImageList* TsCheckBox::ListGlyph(int& Index) const {
  Index = Checked() ? FImgChecked : FImgUnchecked;
  if (!FImages || FImgChecked < 0 || FImgUnchecked < 0) return nullptr;
  return FImages;
}

template class TacCheckControl<TCustomCheckBox>;
template class TacCheckControl<TRadioButton>;

// ---- published properties -------------------------------------------------------------------------------

namespace {
const bool kCheckBoxProps = RegisterProperties<TsCheckBox, TCustomCheckBox>([](auto& p) {
  p.Obj("SkinData", &TsCheckBox::SkinData);
  p.Set("AnimatEvents", &TsCheckBox::AnimatEvents, &TsCheckBox::SetAnimatEvents,
        {"aeMouseEnter", "aeMouseLeave", "aeMouseDown", "aeMouseUp", "aeGlobalDef"});
  p.Set("DisabledKind", &TsCheckBox::DisabledKind, &TsCheckBox::SetDisabledKind, {"dkBlended", "dkGrayed"});
  p.Ord("AutoSize", &TsCheckBox::AutoSize, &TsCheckBox::SetAutoSize);
  p.Ord("Margin", &TsCheckBox::Margin, &TsCheckBox::SetMargin);
  p.Obj("GlyphChecked", &TsCheckBox::GlyphChecked, &TsCheckBox::SetGlyphChecked);
  p.Obj("GlyphUnChecked", &TsCheckBox::GlyphUnChecked, &TsCheckBox::SetGlyphUnChecked);
  p.Obj("Images", &TsCheckBox::Images, &TsCheckBox::SetImages);
  p.Ord("ImgChecked", &TsCheckBox::ImgChecked, &TsCheckBox::SetImgChecked);
  p.Ord("ImgUnchecked", &TsCheckBox::ImgUnchecked, &TsCheckBox::SetImgUnchecked);
  p.Ord("ReadOnly", &TsCheckBox::ReadOnly, &TsCheckBox::SetReadOnly);
  p.Ord("ShowFocus", &TsCheckBox::ShowFocus, &TsCheckBox::SetShowFocus);
  p.Ord("TextIndent", &TsCheckBox::TextIndent, &TsCheckBox::SetTextIndent);
  p.Ord("WordWrap", &TsCheckBox::WordWrap, &TsCheckBox::SetWordWrap);
});
}  // namespace
