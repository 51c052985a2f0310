#include "skin/controls/sSpeedButton.h"

#include <algorithm>

#include "classlib/core/TypInfo.h"
#include "skin/engine/sStyleSimply.h"

namespace {

bool MenuGuard = false;  // one drop-down menu of a speed button at a time

bool IsCreating(const TControl* c) { return c->ControlState().Contains(csCreating); }

}  // namespace

TsSpeedButton::TsSpeedButton(TComponent* AOwner) : TacSkinnedControl<TSpeedButton>(AOwner, tcSpeedButton, true) {
  FOldGlyphChange = Glyph_->OnChange;
  Glyph_->OnChange = MakeMethod<&TsSpeedButton::GlyphChangedSkin>(this);
  FLastNumGlyphs = NumGlyphs_;
  FLastSpacing = Spacing_;
  FLastLayout = Layout_;
}

TsSpeedButton::~TsSpeedButton() {
  StopAnimTimer(FAnimTimer);
  if (DroppedDownButton() == this) ClearDroppedDownButton();
}

void TsSpeedButton::SkinLoaded() {
  FSkinData->Loaded();
  if (FSkinData->Skinned()) ControlStyle_.Include(csOpaque);
}

void TsSpeedButton::GlyphChangedSkin(TObject* Sender) {
  FOldGlyphChange(Sender);
  if (!Loading() && !IsDying(this) && !IsCreating(this)) FSkinData->Invalidate();
}

void TsSpeedButton::Notification(TComponent* AComponent, TOperation Operation) {
  TSpeedButton::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FImages) FImages = nullptr;
  if (AComponent == FDropdownMenu) FDropdownMenu = nullptr;
}

// ---- properties -------------------------------------------------------------------------------------

void TsSpeedButton::ChangedLook() {
  if (Visible_) FSkinData->BGChanged = true;
  RepaintSpeedButton();
}

void TsSpeedButton::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  ChangedLook();
}

void TsSpeedButton::SetBlend(int Value) {
  Value = std::clamp(Value, 0, 100);
  if (FBlend == Value) return;
  FBlend = Value;
  ChangedLook();
}

void TsSpeedButton::SetButtonStyle(TToolButtonStyle Value) {
  if (FButtonStyle == Value) return;
  if (!Loading()) {
    if (Value == tbsDropDown)
      SetWidth(Width_ + DropDownArrowWidth);
    else if (FButtonStyle == tbsDropDown)
      SetWidth(Width_ - DropDownArrowWidth);
  }
  FButtonStyle = Value;
  ChangedLook();
}

void TsSpeedButton::SetDisabledGlyphKind(TsDisabledGlyphKind Value) {
  if (FDisabledGlyphKind == Value) return;
  FDisabledGlyphKind = Value;
  ChangedLook();
}

void TsSpeedButton::SetDisabledKind(TsDisabledKind Value) {
  if (FDisabledKind == Value) return;
  FDisabledKind = Value;
  ChangedLook();
}

void TsSpeedButton::SetDropdownMenu(TPopupMenu* Value) {
  if (FDropdownMenu == Value) return;
  FDropdownMenu = Value;
  if (Value) Value->FreeNotification(this);
}

void TsSpeedButton::SetGrayed(bool Value) {
  if (FGrayed == Value) return;
  FGrayed = Value;
  ChangedLook();
}

void TsSpeedButton::SetImageIndex(int Value) {
  if (FImageIndex == Value) return;
  FImageIndex = Value;
  if (!FSkinData->Skinned() && FImages) Glyph_->FreeImage();
  ChangedLook();
}

void TsSpeedButton::SetImages(TCustomImageList* Value) {
  if (FImages == Value) return;
  FImages = Value;
  if (Value) Value->FreeNotification(this);
  if (!FSkinData->Skinned() && FImages && FImageIndex >= 0 && FImageIndex < FImages->Count()) Glyph_->FreeImage();
  ChangedLook();
}

void TsSpeedButton::ApplyStoredCaption() {
  const std::string cur = TSpeedButton::Caption();
  if (!cur.empty()) FStoredCaption = cur;
  SetCaption(FShowCaption ? FStoredCaption : std::string());
}

void TsSpeedButton::SetShowCaption(bool Value) {
  if (FShowCaption == Value) return;
  const std::string cur = Caption();
  if (!cur.empty()) FStoredCaption = cur;
  FShowCaption = Value;
  SetCaption(FShowCaption ? FStoredCaption : std::string());
  ChangedLook();
}

void TsSpeedButton::SetDrawOverBorder(bool Value) {
  if (FDrawOverBorder == Value) return;
  FDrawOverBorder = Value;
  ChangedLook();
}

void TsSpeedButton::SetTextOffset(int Value) {
  if (FTextOffset == Value) return;
  FTextOffset = Value;
  ChangedLook();
}

void TsSpeedButton::SetTextAlignment(TAlignment Value) {
  if (FTextAlignment == Value) return;
  FTextAlignment = Value;
  FSkinData->BGChanged = true;
  Repaint();
}

void TsSpeedButton::ActionChange(TObject* Sender, bool CheckDefaults) {
  auto* action = dynamic_cast<TCustomAction*>(Sender);
  if (Glyph_->Empty() && action && FImages && action->ImageIndex() >= 0) Glyph_->FreeImage();
  TSpeedButton::ActionChange(Sender, CheckDefaults);
  ApplyStoredCaption();
  FSkinData->Invalidate();
}

void TsSpeedButton::Invalidate() {
  if (Layout_ != FLastLayout) {
    FLastLayout = Layout_;
    if (FSkinData) FSkinData->BGChanged = true;
  }
  TSpeedButton::Invalidate();
}

void TsSpeedButton::RepaintSpeedButton() {
  if (IsCreating(this) || IsDying(this) || Loading() || !Parent_ || !Visible_) return;
  // The parent paints only this child meanwhile, and is told the end whatever happens in the paint
  // (an OnPaint handler that raises would otherwise leave it painting this child alone).
  struct TTellParent {
    HWND Wnd;
    ~TTellParent() {
      if (Wnd && IsWindow(Wnd)) SendSkinCommand(Wnd, QC_SETREPAINTCHILD, 0);
    }
  } tell{Parent_->HandleAllocated() ? Parent_->Handle() : nullptr};
  if (tell.Wnd) SendSkinCommand(tell.Wnd, QC_SETREPAINTCHILD, reinterpret_cast<LPARAM>(this));
  Repaint();
}

// ---- layout -------------------------------------------------------------------------------------------

int TsSpeedButton::GlyphWidth() {
  if (!Glyph_->Empty()) return Glyph_->Width() / std::max(1, NumGlyphs_);
  if (FImages && FImageIndex >= 0) return FImages->Width();
  return 0;
}

int TsSpeedButton::GlyphHeight() {
  if (!Glyph_->Empty()) return Glyph_->Height();
  if (FImages && FImageIndex >= 0) return FImages->Height();
  return 0;
}

int TsSpeedButton::MaxCaptionWidth() {
  if (!FShowCaption || Caption().empty()) return 0;
  const int gw = GlyphWidth();
  return Width_ - ArrowWidth() - 2 * Margin_ - (gw != 0 ? gw + Spacing_ : 0);
}

TSize TsSpeedButton::CaptionSize() {
  TRect r = Rect(0, 0, MaxCaptionWidth(), 0);
  if (Caption().empty()) return TSize{0, 0};
  TCanvas* canvas = FSkinData->CacheBmp->Canvas();
  canvas->SetFont(Font());
  DrawTextStr(canvas->Handle(), Caption(), r, DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK);
  return TSize{r.Width(), r.Height()};
}

void TsSpeedButton::CaptionRect(TRect& R) {
  const int aw = ArrowWidth(), gw = GlyphWidth(), gh = GlyphHeight();
  const int m = Margin_ < 0 ? 0 : Margin_ + 3;
  const TSize cs = CaptionSize();
  const int cx = cs.cx, cy = cs.cy;
  const bool hasCaption = !Caption().empty();
  const int s1 = gw > 0 && hasCaption ? Spacing_ : 0;
  const int s2 = gh > 0 && hasCaption ? Spacing_ : 0;
  int left = 0, top = 0, right = 0, bottom = 0;
  switch (Layout_) {
    case blGlyphLeft:
    case blGlyphRight: {
      const int xm = (Width_ - aw - gw - s1 - cx) / 2 - m;
      top = (Height_ - cy) / 2;
      bottom = Height_ - top;
      if (Layout_ == blGlyphLeft) {
        switch (FAlignment) {
          case taLeftJustify:
            left = gw + Margin_ + s1;
            right = Width_ - aw - m - 2 * xm;
            break;
          case taRightJustify:
            left = m + 2 * xm + gw + s1;
            right = Width_ - aw - m;
            break;
          default: left = gw + m + xm + s1; right = Width_ - aw - m - xm;
        }
      } else {
        switch (FAlignment) {
          case taLeftJustify:
            left = m;
            right = m + cx;
            break;
          case taRightJustify:
            left = m + 2 * xm;
            right = left + cx;
            break;
          default: left = m + xm; right = left + cx;
        }
      }
      break;
    }
    case blGlyphTop:
    case blGlyphBottom: {
      const int ym = (Height_ - gh - s2 - cy) / 2 - m;
      left = (Width_ - cx - aw) / 2;
      right = Width_ - left - aw;
      if (Layout_ == blGlyphTop) {
        top = gh + m + ym + s2;
        bottom = Height_ - ym - m;
      } else {
        top = m + ym;
        bottom = Height_ - ym - m - gh - s2;
      }
      break;
    }
  }
  R = Rect(left - 1 + FTextOffset, top, right + 2 + FTextOffset, bottom);
  if (CurrentState() == 2) R.Offset(1, 1);
}

void TsSpeedButton::GlyphRect(TRect& R) {
  const int aw = ArrowWidth(), gw = GlyphWidth(), gh = GlyphHeight();
  const int m = Margin_ < 0 ? 0 : Margin_ + 3;
  const TSize cs = CaptionSize();
  const int s = FShowCaption && gw > 0 && !Caption().empty() ? Spacing_ : 0;
  const int xm = (Width_ - aw - gw - s - cs.cx) / 2 - m;
  const int ym = (Height_ - gh - s - cs.cy) / 2 - m;
  const int yc = (Height_ - gh) / 2;
  int x = 0, y = 0;
  switch (Layout_) {
    case blGlyphLeft:
      x = FAlignment == taLeftJustify ? m : FAlignment == taRightJustify ? m + 2 * xm : m + xm;
      y = yc;
      break;
    case blGlyphRight:
      x = FAlignment == taLeftJustify    ? Width_ - aw - m - 2 * xm - s - gw
          : FAlignment == taRightJustify ? Width_ - aw - gw - m
                                         : (Width_ - aw - gw + s + cs.cx) / 2;
      y = yc;
      break;
    case blGlyphTop:
      x = (Width_ - aw - gw) / 2 + 1;
      y = ym + m;
      break;
    case blGlyphBottom:
      x = (Width_ - aw - gw) / 2 + 1;
      y = Height_ - m - ym - gh;
      break;
  }
  if (CurrentState() == 2) {
    ++x;
    ++y;
  }
  R = Rect(x, y, x + gw, y + gh);
}

int TsSpeedButton::CurrentState() {
  if (State_ == bsDown || State_ == bsExclusive) return 2;
  if (FSkinData->IsHot()) return 1;
  return 0;
}

int TsSpeedButton::ArrowState() {
  if (FMenuShown || Down_) return 2;
  if (State_ == bsDown || State_ == bsExclusive) return 2;
  if (FSkinData->IsHot()) return 1;
  return 0;
}

void TsSpeedButton::RepaintCorners() {
  // Separators and dividers show only what lies behind them; a disabled look keeps the corners
  // PrepareCache dimmed with the rest.
  if (FButtonStyle == tbsSeparator || FButtonStyle == tbsDivider || !Enabled()) return;
  // Each part has four corners of its own: a drop-down button has inner ones where the parts meet.
  RepaintCacheCornersIn(FSkinData, CurrentState(), 15, MainPart());
  if (FButtonStyle == tbsDropDown) RepaintCacheCornersIn(FSkinData, ArrowState(), 15, ArrowPart());
}

// ---- painting -------------------------------------------------------------------------------------------

void TsSpeedButton::DrawCaptionText(TRect& R, UINT Flags) {
  TCanvas* canvas = FSkinData->CacheBmp->Canvas();
  canvas->SetFont(Font());
  DrawControlText(canvas, Caption(), true, R, DrawTextBiDiModeFlags(Flags & ~UINT(DT_SINGLELINE)), FSkinData,
                  CurrentState() != 0);
}

void TsSpeedButton::DrawCaption() {
  if (!FShowCaption) return;
  TCanvas* canvas = FSkinData->CacheBmp->Canvas();
  canvas->SetFont(Font());
  canvas->Brush()->SetStyle(bsClear);
  TRect r;
  CaptionRect(r);
  DrawCaptionText(r, AlignmentDrawFlags(this, FTextAlignment) | DT_EXPANDTABS | DT_WORDBREAK);
}

void TsSpeedButton::PaintGlyph() {
  TBitmap* cache = FSkinData->CacheBmp;
  TRect r;
  GlyphRect(r);
  const int state = CurrentState();
  if (!Glyph_->Empty()) {
    PaintGlyphFrame(Glyph_, cache, r, NumGlyphs_, Enabled(), FGrayed, FDisabledGlyphKind, state, FBlend, Down_);
    return;
  }
  if (!FImages || FImageIndex < 0 || FImageIndex >= FImages->Count()) return;
  TBitmap tmp;
  if (!ImageListItemToBmp(&tmp, FImages, FImageIndex)) return;
  // The colour the image was laid on is the key: the image itself may cover any corner pixel.
  const TColor key = FImages->BkColor() == clNone ? TColor(0xFF00FF) : TColor(ColorToRGB(FImages->BkColor()));
  const TRect src = Rect(0, 0, tmp.Width(), tmp.Height());
  if (!Enabled()) {
    if (FDisabledGlyphKind.Contains(dgGrayed)) GrayscaleBmpKeyed(&tmp, key);
    if (FDisabledGlyphKind.Contains(dgBlended))
      BlendRectKeyed(cache, r.Left, r.Top, &tmp, src, 0.5, key);
    else
      CopyTransparent(cache, &tmp, r.Left, r.Top, key);
  } else if (state == 0) {
    if (FGrayed) {
      GrayscaleBmpKeyed(&tmp, key);
      CopyTransparent(cache, &tmp, r.Left, r.Top, key);
    } else if (FBlend > 0) {
      BlendRectKeyed(cache, r.Left, r.Top, &tmp, src, FBlend / 100.0, key);
    } else {
      CopyTransparent(cache, &tmp, r.Left, r.Top, key);
    }
  } else {
    CopyTransparent(cache, &tmp, r.Left, r.Top, key);
  }
}

void TsSpeedButton::FillBackground(const TsCacheInfo& ci) {
  TBitmap* cache = FSkinData->CacheBmp;
  if (ci.Ready && ci.Bmp) {
    BitBlt(cache->Canvas()->Handle(), 0, 0, Width_, Height_, ci.Bmp->Canvas()->Handle(), ci.X + Left_, ci.Y + Top_,
           SRCCOPY);
  } else if (Parent_) {
    FillBmpRect(cache, Rect(0, 0, Width_, Height_), TColor(ColorToRGB(Parent_->Color())));
  }
}

void TsSpeedButton::PaintPart(const TsCacheInfo& ci, int State, const TRect& R, TPoint Offset) {
  TBitmap* cache = FSkinData->CacheBmp;
  if (FDrawOverBorder) {
    PaintControlItem(FSkinData, ci, true, State, R, Offset, cache, false);
    SharedParentColor = clParentColorUnset;
    RepaintCacheCornersIn(FSkinData, State, 15, R);
  } else {
    PaintControlBackground(FSkinData, ci, State, R, Offset, cache);
  }
}

void TsSpeedButton::PrepareCache() {
  FSkinData->InitCacheBmp();
  TBitmap* cache = FSkinData->CacheBmp;
  cache->Canvas()->SetFont(Font());
  TsCacheInfo ci = AskParentCache(FSkinData);
  // A parent whose image is not painted yet: nothing to copy, try again later.
  if (ci.Ready && (!ci.Bmp || ci.Bmp->Width() == 0)) return;
  TsSkinManager* sm = FSkinData->SkinManager();

  if (FButtonStyle == tbsSeparator || FButtonStyle == tbsDivider) {
    FillBackground(ci);
    if (FButtonStyle == tbsDivider && sm) {
      const int section = sm->SectionIndexOf("DIVIDER");
      const int mask = section >= 0 ? sm->MaskIndexOf("DIVIDER", "BORDERSMASK") : -1;
      if (sm->IsMaskIndex(mask)) {
        const int w = sm->GetMaskItemSize(mask).cx;
        const int x = (Width_ - w) / 2;
        PaintMaskRectByIndex(cache, Rect(x, 0, x + w, Height_), true, ci, mask, 0, false, sm);
      }
    }
  } else {
    SharedParentColor = ci.Ready || !Parent_ ? clParentColorUnset : TColor(ColorToRGB(Parent_->Color()));
    const int state = CurrentState();
    const TRect r = MainPart();
    const TPoint offset = Point(Left_, Top_);
    auto borderLast = [&](const TRect& part, int st) {
      if (FDrawOverBorder || !sm) return;
      const int mask = sm->LookupMask(FSkinData->SkinIndex, FSkinData->SkinSection(), "BORDERSMASK");
      if (!sm->IsMaskIndex(mask)) return;
      // The record locates the cache's own origin in the parent's image, whatever part is painted.
      TsCacheInfo moved = AskParentCache(FSkinData);
      moved.X += Left_;
      moved.Y += Top_;
      PaintMaskRectByIndex(cache, part, true, moved, mask, st, true, sm);
    };
    PaintPart(ci, state, r, offset);
    DrawCaption();
    PaintGlyph();
    borderLast(r, state);

    if (FButtonStyle == tbsDropDown) {
      const int arrowState = ArrowState();
      const TsCacheInfo ci2 = AskParentCache(FSkinData);
      const TRect part = ArrowPart();
      PaintPart(ci2, arrowState, part, Point(Left_ + part.Left, Top_));
      borderLast(part, arrowState);
      if (sm) {
        const int glyph = sm->ConstData().ScrollBtnBottom.GlyphMask;
        if (sm->IsMaskIndex(glyph)) {
          const TsMaskData& md = sm->Mask(glyph);
          const int count = std::max(1, md.ImageCount);
          const int w = md.R.Width() / count;
          const int h = md.R.Height() / (md.MaskType + 1);
          PaintMaskImage(cache,
                         Point(Width_ - DropDownArrowWidth + (DropDownArrowWidth - w) / 2 + 1, (Height_ - h) / 2),
                         arrowState, 1, md, sm);
        }
      }
    }
    SharedParentColor = clParentColorUnset;

    if (!Enabled()) {
      const TsCacheInfo ci3 = AskParentCache(FSkinData);
      if (ci3.Ready && ci3.Bmp && !FSkinData->RepaintIfMoved() && !FSkinData->AlwaysRepaint)
        SharedParentColor = ci3.Bmp->Canvas()->Pixels(ci3.Bmp->Width() / 2, ci3.Bmp->Height() / 2);
      ApplyDisabledLook(cache, FDisabledKind, Parent_, ci3, Point(Left_, Top_));
      SharedParentColor = clParentColorUnset;
    }
    OnPaint(this, cache);
  }
  FSkinData->BGChanged = false;
}

void TsSpeedButton::DrawGlyph() {
  if (Glyph_->Empty() && !Loading() && FImages && FImages->Count() > 0) MakeGlyphFromImageList();
}

void TsSpeedButton::MakeGlyphFromImageList() {
  if (Loading() && IsDesigning(this)) return;
  if (FSkinData->Skinned() || !FImages || FImageIndex < 0 || FImageIndex >= FImages->Count()) return;
  TBitmap image;
  if (!ImageListItemToBmp(&image, FImages, FImageIndex)) return;
  const int w = FImages->Width(), h = FImages->Height();
  const TColor key = FImages->BkColor() == clNone ? TColor(0xFF00FF) : TColor(ColorToRGB(FImages->BkColor()));
  std::unique_ptr<TBitmap> glyph(CreateBmp24(2 * w, h));
  HDC dst = glyph->Canvas()->Handle();
  BitBlt(dst, 0, 0, w, h, image.Canvas()->Handle(), 0, 0, SRCCOPY);
  if (!FDisabledGlyphKind.Empty()) {
    std::unique_ptr<TBitmap> copy(CreateBmp24(w, h));
    BitBlt(copy->Canvas()->Handle(), 0, 0, w, h, image.Canvas()->Handle(), 0, 0, SRCCOPY);
    if (FDisabledGlyphKind.Contains(dgGrayed)) GrayscaleBmpKeyed(copy.get(), key);
    FillBmpRect(glyph.get(), Rect(w, 0, 2 * w, h), TColor(ColorToRGB(clBtnFace)));
    if (FDisabledGlyphKind.Contains(dgBlended)) {
      BlendRectKeyed(glyph.get(), w, 0, copy.get(), Rect(0, 0, w, h), 0.5, key);
    } else {
      CopyTransparent(glyph.get(), copy.get(), w, 0, key);
      FillBmpRect(glyph.get(), Rect(w, h - 1, w + 1, h), TColor(0xFF00FF));
    }
  } else {
    BitBlt(glyph->Canvas()->Handle(), w, 0, w, h, image.Canvas()->Handle(), 0, 0, SRCCOPY);
  }
  glyph->SetTransparentColor(key);
  Glyph_->Assign(glyph.get());
  Glyph_->SetTransparentColor(key);
  SetNumGlyphs(2);
}

void TsSpeedButton::Paint() {
  TsSkinManager* sm = FSkinData->SkinManager();
  // Index 0 is a valid section: only a missing one is looked up again.
  if (sm && sm->Active() && FSkinData->SkinIndex < 0) FSkinData->UpdateIndexes();
  if (FSkinData->Skinned() && (Visible_ || IsDesigning(this))) {
    if (Width_ < 1 || Height_ < 1 || FSkinData->Updating()) return;
    if (FAnimTimer) {
      if (TBitmap* frame = FAnimTimer->Frame(); frame && frame->Width() == Width_) {
        BitBlt(Canvas_->Handle(), 0, 0, Width_, Height_, frame->Canvas()->Handle(), 0, 0, SRCCOPY);
        return;
      }
    }
    const int state = CurrentState();
    if (state != 0)
      FSkinData->BGChanged = true;
    else
      FSkinData->BGChanged = FSkinData->BGChanged || Down_ != FLastDown || FSkinData->PartlyHidden;
    FLastDown = Down_;
    FSkinData->PartlyHidden = FSkinData->RepaintIfMoved();
    if (NumGlyphs_ != FLastNumGlyphs || Spacing_ != FLastSpacing) FSkinData->BGChanged = true;
    FLastNumGlyphs = NumGlyphs_;
    FLastSpacing = Spacing_;
    if (FSkinData->BGChanged && !FSkinData->AlwaysRepaint) {
      PrepareCache();
      // The parent's image is not painted yet: nothing was built, and the parent shows instead.
      if (FSkinData->BGChanged) return;
    }
    // The corners over the parent's background, in the state the cache shows (the state-0 corners
    // would stand out on a hot or pressed look whose frames differ at the corners).
    RepaintCorners();
    BitBlt(Canvas_->Handle(), 0, 0, Width_, Height_, FSkinData->CacheBmp->Canvas()->Handle(), 0, 0, SRCCOPY);
    return;
  }
  if (Visible_ || IsDesigning(this)) DrawGlyph();
  TSpeedButton::Paint();
}

// ---- animation ------------------------------------------------------------------------------------------

void TsSpeedButton::AnimateOrRepaint(bool Fast, bool AllowFade) {
  const TsGeneralData* gd = SectionOf(FSkinData);
  if (AllowFade && !SkinChanging && gd && gd->FadingEnabled && !FSkinData->BGChanged) {
    FSkinData->BGChanged = true;
    StartAnim(Fast);
  } else {
    FSkinData->BGChanged = true;
    if (FAnimTimer) StopAnim();
    RepaintSpeedButton();
  }
}

void TsSpeedButton::StartAnim(bool Fast) {
  if (IsDesigning(this)) return;
  int noted = 1;
  if (FAnimTimer) noted = std::max(1, FAnimTimer->Iterations - FAnimTimer->Step);
  StopAnimTimer(FAnimTimer);
  const TsGeneralData* gd = SectionOf(FSkinData);
  if (!gd || !gd->FadingEnabled) {
    RepaintSpeedButton();
    return;
  }
  auto* timer = new TsAnimTimer(this);
  timer->SetEnabled(false);
  timer->BindTo(FSkinData, Fast, &FAnimTimer);
  // A running animation that was cut short leaves only its remaining steps to the new one.
  timer->Step = std::clamp(noted - 1, 0, std::max(0, timer->Iterations - 1));
  FAnimTimer = timer;
  PrepareCache();
  RepaintCorners();
  timer->SetEnabled(true);
  timer->AnimStep();
}

void TsSpeedButton::StopAnim() {
  if (!FAnimTimer) return;
  if (!IsDying(this) && !IsDesigning(this)) {
    FAnimTimer->SetEnabled(false);
    const bool stepped = FAnimTimer->Step > 0;
    StopAnimTimer(FAnimTimer);
    if (stepped) {
      FSkinData->BGChanged = true;
      RepaintSpeedButton();
    }
    return;
  }
  StopAnimTimer(FAnimTimer);
}

// ---- mouse ------------------------------------------------------------------------------------------------

void TsSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) HintsOffWhilePressed(this);
  const bool dropDown = Button == mbLeft && Enabled() && FButtonStyle == tbsDropDown && FDropdownMenu &&
                        (X >= Width_ - DropDownArrowWidth || OnClick == TNotifyEvent());
  if (!dropDown) {
    TSpeedButton::MouseDown(Button, Shift, X, Y);
    return;
  }
  auto alive = AliveToken();
  SetDroppedDownButton(this);
  StopAnim();
  if (!MenuGuard) ShowDropdownMenu();
  if (*alive) RestoreHints(this);
}

void TsSpeedButton::ShowDropdownMenu() {
  auto alive = AliveToken();
  const bool noClick = OnClick == TNotifyEvent();
  // However the menu ends (closed, a handler that raises, the button freed meanwhile), the guard,
  // the menu-shown flag, the recorded button, the pressed state and the hints are put back.
  struct TShownMenu {
    TsSpeedButton* Button;
    const std::shared_ptr<bool>& Alive;
    bool NoClick;
    ~TShownMenu() {
      MenuGuard = false;
      if (!*Alive) return;
      Button->FMenuShown = false;
      if (DroppedDownButton() == Button) ClearDroppedDownButton();
      if (NoClick && Button->State_ == bsDown) Button->State_ = bsUp;
      RestoreHints(Button);
    }
  };
  {
    MenuGuard = true;
    FMenuShown = true;
    const TShownMenu shown{this, alive, noClick};
    FSkinData->BGChanged = true;
    if (noClick) State_ = bsDown;
    Repaint();
    TPopupMenu* menu = FDropdownMenu;
    if (!menu) return;  // taken away by a paint handler
    menu->SetPopupComponent(this);
    const TPoint p = ClientToScreen(Point(0, Height_ + 1));
    menu->Popup(p.X, p.Y);  // returns when the menu closes
  }
  if (!*alive) return;
  POINT cur;
  GetCursorPos(&cur);
  const TPoint tl = ClientToScreen(Point(0, 0));
  if (!Bounds(tl.X, tl.Y, Width_, Height_).Contains(Point(cur.x, cur.y))) Perform(CM_MOUSELEAVE, 0, 0);
  if (!*alive) return;
  FSkinData->BGChanged = true;
  Repaint();
}

void TsSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && Enabled() && FButtonStyle == tbsDropDown) {
    FMenuShown = false;
    if (DroppedDownButton() == this) ClearDroppedDownButton();
  }
  auto alive = AliveToken();
  TSpeedButton::MouseUp(Button, Shift, X, Y);
  if (*alive && Button == mbLeft) RestoreHints(this);
}

// ---- window procedure -------------------------------------------------------------------------------------

void TsSpeedButton::BeforeSkinChange(int Command) {
  if (Command != QC_SKINLOADED)
    StopAnim();
  else if (FImages && FImages->Count() > 0)
    Glyph_->FreeImage();  // the skin paints the list's image itself
}

void TsSpeedButton::AfterSkinChange(int Command) {
  // Opaque while the skin paints the whole button; a skin without a section for the button leaves
  // the plain, transparent look.
  ControlStyle_.Set(csOpaque, Command != QC_SKINREMOVED && FSkinData->Skinned());
  TacSkinnedControl<TSpeedButton>::AfterSkinChange(Command);
}

bool TsSpeedButton::SkinCommandMessage(TMessage& Message) {
  switch (Message.WParamHi()) {
    case QC_SETALWAYSREPAINT:
      HandleSkinCommand(Message, FSkinData);
      if (FSkinData->AlwaysRepaint) PrepareCache();
      return true;
    case QC_SECTIONCHANGED: RepaintSpeedButton(); return true;
    default: return false;
  }
}

void TsSpeedButton::ReleaseDuringAnimation() {
  if (IsDesigning(this) || !FAnimTimer) return;
  TBitmap* frame = FAnimTimer->Frame();
  if (!frame || frame->Width() != Width_) return;
  StopAnim();
  PrepareCache();
  Repaint();
}

void TsSpeedButton::MouseEnterMessage(const TMessage& Message) {
  if (!IsOwnEnterLeave(Message, this)) return;
  if (!Enabled() || MouseInControl_ || IsDesigning(this)) return;
  OnMouseEnter(this);
  if (FSkinData->MouseAbove) return;
  FSkinData->MouseAbove = true;
  AnimateOrRepaint(false, AnimEventAllowed(aeMouseEnter, FAnimatEvents));
}

void TsSpeedButton::MouseLeaveMessage(const TMessage& Message) {
  if (!IsOwnEnterLeave(Message, this) || !Enabled()) return;
  OnMouseLeave(this);
  FSkinData->MouseAbove = false;
  if (State_ == bsDown) State_ = bsUp;
  AnimateOrRepaint(false, AnimEventAllowed(aeMouseLeave, FAnimatEvents));
}

bool TsSpeedButton::SkinnedMessage(TMessage& Message) {
  switch (Message.Msg) {
    case SM_QUORVEXCMD: return SkinCommandMessage(Message);
    case WM_LBUTTONUP: ReleaseDuringAnimation(); return false;
    case CM_TEXTCHANGED:
      if (!FShowCaption) return false;
      FSkinData->Invalidate();
      return true;
    case CM_MOUSEENTER: MouseEnterMessage(Message); return false;
    case CM_MOUSELEAVE: MouseLeaveMessage(Message); return false;
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
      if (Visible_) FSkinData->BGChanged = true;
      return false;
    case WM_ERASEBKGND: return true;
    case WM_CANCELMODE:
    case WM_CAPTURECHANGED:
      // The press ends elsewhere; a shown drop-down menu holds the mouse as part of the press.
      if (!FMenuShown) RestoreHints(this);
      return false;
    default: return false;
  }
}

void TsSpeedButton::AfterInherited(TMessage& Message) {
  switch (Message.Msg) {
    case WM_LBUTTONUP:
      if (IsDesigning(this) || IsDying(this))
        Message.Result = 1;
      else
        AnimateOrRepaint(true, AnimEventAllowed(aeMouseUp, FAnimatEvents));
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (!IsDesigning(this)) AnimateOrRepaint(true, AnimEventAllowed(aeMouseDown, FAnimatEvents));
      break;
    case WM_MOVE:
      if (IsDesigning(this) && !FSkinData->Updating()) Repaint();
      break;
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
      if (IsDesigning(this) && !FSkinData->Updating()) RepaintSpeedButton();
      break;
    case CM_VISIBLECHANGED: Perform(CM_MOUSELEAVE, 0, 0); break;
    case CM_ENABLEDCHANGED:
      if (Visible_ || IsDesigning(this)) {
        if (Visible_) FSkinData->BGChanged = true;
        RepaintSpeedButton();
      }
      break;
    default: break;
  }
}

void TsSpeedButton::PlainMessage(TMessage& Message) {
  if ((Message.Msg == WM_CANCELMODE || Message.Msg == WM_CAPTURECHANGED) && !FMenuShown) RestoreHints(this);
  FirePlainEnterLeave(this, Message, OnMouseEnter, OnMouseLeave);
  if (Message.Msg == CM_MOUSELEAVE && IsOwnEnterLeave(Message, this) && Enabled() && !IsDesigning(this) &&
      State_ == bsDown)
    State_ = bsUp;
}

// ---- published properties ------------------------------------------------------------------------------------

namespace {
// The skin engine knows speed buttons, and all their descendants, by this test.
const bool kSpeedButtonKind = RegisterClassKindOf<TsSpeedButton>(TacClassKind::SpeedButton);
const bool kSpeedButtonProps = RegisterProperties<TsSpeedButton, TSpeedButton>([](auto& p) {
  p.Obj("SkinData", &TsSpeedButton::SkinData);
  p.Set("AnimatEvents", &TsSpeedButton::AnimatEvents, &TsSpeedButton::SetAnimatEvents,
        {"aeMouseEnter", "aeMouseLeave", "aeMouseDown", "aeMouseUp", "aeGlobalDef"});
  p.Ord("Alignment", &TsSpeedButton::Alignment, &TsSpeedButton::SetAlignment);
  p.Ord("Blend", &TsSpeedButton::Blend, &TsSpeedButton::SetBlend);
  p.Ord("ButtonStyle", &TsSpeedButton::ButtonStyle, &TsSpeedButton::SetButtonStyle);
  p.Set("DisabledGlyphKind", &TsSpeedButton::DisabledGlyphKind, &TsSpeedButton::SetDisabledGlyphKind,
        {"dgBlended", "dgGrayed"});
  p.Set("DisabledKind", &TsSpeedButton::DisabledKind, &TsSpeedButton::SetDisabledKind, {"dkBlended", "dkGrayed"});
  p.Obj("DropdownMenu", &TsSpeedButton::DropdownMenu, &TsSpeedButton::SetDropdownMenu);
  p.Ord("Grayed", &TsSpeedButton::Grayed, &TsSpeedButton::SetGrayed);
  p.Ord("ImageIndex", &TsSpeedButton::ImageIndex, &TsSpeedButton::SetImageIndex);
  p.Obj("Images", &TsSpeedButton::Images, &TsSpeedButton::SetImages);
  p.Ord("ShowCaption", &TsSpeedButton::ShowCaption, &TsSpeedButton::SetShowCaption);
  p.Ord("DrawOverBorder", &TsSpeedButton::DrawOverBorder, &TsSpeedButton::SetDrawOverBorder);
  p.Ord("TextOffset", &TsSpeedButton::TextOffset, &TsSpeedButton::SetTextOffset);
  p.Ord("TextAlignment", &TsSpeedButton::TextAlignment, &TsSpeedButton::SetTextAlignment);
  p.Method("OnPaint", &TsSpeedButton::GetOnPaint, &TsSpeedButton::SetOnPaint);
  p.Method("OnMouseEnter", &TsSpeedButton::GetOnMouseEnter, &TsSpeedButton::SetOnMouseEnter);
  p.Method("OnMouseLeave", &TsSpeedButton::GetOnMouseLeave, &TsSpeedButton::SetOnMouseLeave);
});
}  // namespace
