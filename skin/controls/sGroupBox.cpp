#include "skin/controls/sGroupBox.h"

#include <algorithm>
#include <optional>

#include "classlib/GdiScopes.h"
#include "classlib/core/TypInfo.h"
#include "skin/engine/sStyleSimply.h"

// ---- TsGroupBox ------------------------------------------------------------------------------------

TsGroupBox::TsGroupBox(TComponent* AOwner) : TacSkinnedControl<TGroupBox>(AOwner, tcGroupBox, true) {
  ControlStyle_.Exclude(csOpaque);
}

bool TsGroupBox::SkinActive() const {
  TsSkinManager* sm = FSkinData ? FSkinData->SkinManager() : nullptr;
  return sm && sm->Skin() && FSkinData->Skinned() && !IsDying(this);
}

void TsGroupBox::SetCaptionLayout(TsCaptionLayout Value) {
  if (FCaptionLayout == Value) return;
  FCaptionLayout = Value;
  if (!Caption().empty()) FSkinData->Invalidate();
}

void TsGroupBox::SetCaptionYOffset(int Value) {
  if (FCaptionYOffset == Value) return;
  FCaptionYOffset = Value;
  FSkinData->Invalidate();
  Realign();
}

void TsGroupBox::SetCaptionSkin(const std::string& Value) {
  if (FCaptionSkin == Value) return;
  FCaptionSkin = Value;
  FSkinData->Invalidate();
}

void TsGroupBox::AdjustClientRect(TRect& Rect) {
  TGroupBox::AdjustClientRect(Rect);
  if (!IsDying(this)) Rect.Top += FCaptionYOffset;
}

void TsGroupBox::Dispatch(TMessage& Message) {
  if (Message.Msg == CM_FONTCHANGED) {
    auto alive = AliveToken();
    TGroupBox::Dispatch(Message);
    if (!*alive || !FSkinData) return;
    if (FSkinData->CacheBmp) FSkinData->CacheBmp->Canvas()->SetFont(Font());
    if (!Caption().empty()) FSkinData->Invalidate();
    return;
  }
  TGroupBox::Dispatch(Message);
}

TRect TsGroupBox::CaptionRect() {
  TCanvas* canvas = FSkinData->CacheBmp->Canvas();
  canvas->SetFont(Font());
  const std::string caption = Caption();
  const int h = std::max(4, canvas->TextHeight("W")) + 2;
  TRect r;
  r.Top = 0;
  r.Bottom = h + (FSkinData->Skinned() ? FCaptionYOffset : 0);
  if (FCaptionYOffset < 0) r.Top += FCaptionYOffset;
  const int tw = caption.empty() ? 0 : canvas->TextWidth(caption);
  const bool rtl = UseRightToLeftAlignment();
  switch (FCaptionLayout) {
    case clTopCenter: r.Left = (Width_ - tw - 4 - 6) / 2; break;
    case clTopLeft: r.Left = rtl ? Width_ - tw - 14 : 6; break;
    case clTopRight: r.Left = rtl ? 6 : Width_ - tw - 14; break;
  }
  r.Left = std::max(0, r.Left);
  r.Right = std::min(r.Left + tw + 8, Width_);
  if (r.Width() < 2 * BorderWidth_) {
    r.Left -= BorderWidth_;
    r.Right += BorderWidth_;
  }
  return r;
}

void TsGroupBox::PaintCaptionBox(const TsCacheInfo& ParentCache, const TRect& CR) {
  TBitmap* cache = FSkinData->CacheBmp;
  TsSkinManager* sm = FSkinData->SkinManager();
  const bool ownSection = !FCaptionSkin.empty();
  if (!ownSection && !ParentCache.Ready) {
    if (Parent_) FillBmpRect(cache, CR, TColor(ColorToRGB(Parent_->Color())));
  } else {
    const std::string section = ownSection ? FCaptionSkin : std::string("CHECKBOX");
    const int index = sm->SectionIndexOf(section);
    if (index >= 0) {
      // A section of the caller's own is laid over the group box's look, the default one over
      // what lies behind the group box.
      const TsCacheInfo ci = ownSection ? BuildCacheInfo(cache, -Left_, -Top_) : ParentCache;
      const int mask = sm->LookupMask(index, section, "BORDERSMASK");
      PaintSectionItemByIndexes(index, mask, -1, -1, ci, true, Focused() ? 1 : 0, CR,
                                Point(Left_ + CR.Left, Top_ + CR.Top), cache, sm);
    }
  }
  TRect r = CR;
  TCanvas* canvas = cache->Canvas();
  canvas->SetFont(Font());
  WriteControlText(canvas, Caption(), Enabled(), r, DT_CENTER | DT_VCENTER | DT_SINGLELINE, FSkinData, false);
}

void TsGroupBox::PrepareCache() {
  FSkinData->InitCacheBmp();
  TBitmap* cache = FSkinData->CacheBmp;
  const TsCacheInfo ci = AskParentCache(FSkinData);
  const TRect cr = CaptionRect();
  // What lies behind the strip of the caption box: the parent's image there, clipped to it and to
  // the cache, or the parent's colour.
  const int top = std::max(0, cr.Top), bottom = std::min(Height_, cr.Bottom);
  if (ci.Ready && ci.Bmp && bottom > top) {
    int sx = ci.X + Left_, sy = ci.Y + Top_ + top;
    int dx = 0, w = Width_, h = bottom - top;
    if (sx < 0) {
      dx = -sx;
      w += sx;
      sx = 0;
    }
    if (sy < 0) {
      h += sy;
      sy = 0;
    }
    w = std::min(w, ci.Bmp->Width() - sx);
    h = std::min(h, ci.Bmp->Height() - sy);
    if (w > 0 && h > 0) {
      BitmapDC dst(cache), src(ci.Bmp);
      if (dst.Get() && src.Get())
        BitBlt(dst.Get(), dx, top + (sy - (ci.Y + Top_ + top)), w, h, src.Get(), sx, sy, SRCCOPY);
    }
  } else if (Parent_) {
    FillBmpRect(cache, Rect(0, 0, Width_, cr.Bottom), TColor(ColorToRGB(Parent_->Color())));
  }
  const int t = FCaptionYOffset >= 0 ? cr.Height() / 2 : 0;
  PaintControlItem(FSkinData, ci, false, 0, Rect(0, t, Width_, Height_), Point(Left_, Top_ + t), cache, true);
  if (!Caption().empty()) PaintCaptionBox(ci, cr);
  // The top corners of the frame lie below the cache's own; only the bottom ones need the
  // parent's background.
  RepaintCacheCorners(FSkinData, 0, 4 | 8);
  FSkinData->BGChanged = false;
}

void TsGroupBox::SkinnedPaint(HDC DC) {
  if (!SkinActive() || (!Visible_ && !IsDesigning(this))) return;
  if (RefreshUpdating(FSkinData)) return;
  if (FSkinData->RepaintIfMoved() && Parent_) {
    const TRect pr = Parent_->ClientRect();
    FSkinData->PartlyHidden =
        !pr.Contains(Point(Left_ + 1, Top_ + 1)) || !pr.Contains(Point(Left_ + Width_ - 1, Top_ + Height_ - 1));
  } else {
    FSkinData->PartlyHidden = false;
  }
  if (!FSkinData->AlwaysRepaint) PrepareCache();
  CopyCacheExcludingChildren(this, FSkinData, Point(0, 0), Rect(0, 0, Width_, Height_), DC, false, 0, 0);
  PaintGraphicChildren(DC, this, Point(0, 0));
  RepaintChildControls(this);
}

void TsGroupBox::Paint() {
  if (SkinActive())
    SkinnedPaint(Canvas_->Handle());
  else
    TGroupBox::Paint();
}

void TsGroupBox::PaintHandler(TMessage& Message) {
  Message.Result = 0;
  if (Message.Msg == WM_PRINT) {
    FSkinData->SetUpdating(false);
    if (HDC dc = reinterpret_cast<HDC>(Message.WParam)) SkinnedPaint(dc);
    return;
  }
  const PaintScope paint(Handle_);
  HDC given = reinterpret_cast<HDC>(Message.WParam);
  if (given) {
    SkinnedPaint(given);
    return;
  }
  const ClientDC dc(Handle_);
  if (dc) SkinnedPaint(dc);
}

void TsGroupBox::RepaintAfterUpdate() {
  if (Showing()) Repaint();
}

bool TsGroupBox::SkinnedMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_PRINT:
    case WM_PAINT: PaintHandler(Message); return true;
    case WM_ERASEBKGND: Message.Result = 1; return true;
    case CM_TEXTCHANGED: FSkinData->Invalidate(); return true;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: TGroupBox::WndProc(Message); return true;
    case CM_VISIBLECHANGED:
    case WM_WINDOWPOSCHANGED: FSkinData->BGChanged = true; return false;
    case WM_MOVE:
      if (FSkinData->RepaintIfMoved()) FSkinData->BGChanged = true;
      return false;
    case SM_QUORVEXCMD:
      if (Message.WParamHi() == QC_SETALWAYSREPAINT) {
        HandleSkinCommand(Message, FSkinData);
        if (FSkinData->AlwaysRepaint) PrepareCache();
        return true;
      }
      return false;
    default: return false;
  }
}

// ---- TsGroupButton ------------------------------------------------------------------------------------

TsGroupButton::TsGroupButton(TsRadioGroup* Group) : TsRadioButton(Group), FGroup(Group) {
  // The group lays its buttons out itself.
  AutoSize_ = false;
}

TsGroupButton::~TsGroupButton() {
  if (FGroup) std::erase(FGroup->FButtons, this);
}

bool TsGroupButton::GetReadOnly() const { return FGroup && !FGroup->CanModify(); }

void TsGroupButton::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_COMMAND && (Message.WParamHi() == BN_CLICKED || Message.WParamHi() == BN_DOUBLECLICKED)) {
    if (FInClick) return;
    FInClick = true;
    auto alive = AliveToken();
    if (!FGroup || FGroup->CanModify()) TsRadioButton::Dispatch(Message);
    if (*alive) FInClick = false;
    return;
  }
  TsRadioButton::Dispatch(Message);
}

void TsGroupButton::KeyPress(char& Key) {
  TsRadioButton::KeyPress(Key);
  if (!FGroup) return;
  FGroup->KeyPress(Key);
  if ((Key == 8 || Key == ' ') && !FGroup->CanModify()) Key = 0;
}

void TsGroupButton::KeyDown(std::uint16_t& Key, TShiftState Shift) {
  TsRadioButton::KeyDown(Key, Shift);
  if (FGroup) FGroup->KeyDown(Key, Shift);
}

// ---- TsRadioGroup ---------------------------------------------------------------------------------------

TsRadioGroup::TsRadioGroup(TComponent* AOwner) : TsGroupBox(AOwner) {
  ControlStyle_ = TControlStyle{csSetCaption, csDoubleClicks};
  FItems = new TStringList();
  FItems->OnChange = MakeMethod<&TsRadioGroup::ItemsChange>(this);
}

TsRadioGroup::~TsRadioGroup() {
  SetButtonCount(0);
  FItems->OnChange = TNotifyEvent();
  delete FItems;
  FItems = nullptr;
}

void TsRadioGroup::SetColumns(int Value) {
  Value = std::clamp(Value, 1, 16);
  if (FColumns == Value) return;
  FColumns = Value;
  PlaceButtons();
  Invalidate();
}

void TsRadioGroup::SetItemIndex(int Value) {
  if (Reading()) {
    FItemIndex = Value;
    return;
  }
  Value = std::clamp(Value, -1, ButtonCount() - 1);
  if (Value == FItemIndex) return;
  auto alive = AliveToken();
  if (FItemIndex >= 0 && FItemIndex < ButtonCount()) FButtons[std::size_t(FItemIndex)]->SetChecked(false);
  if (!*alive) return;
  FItemIndex = Value;
  if (FItemIndex >= 0) FButtons[std::size_t(FItemIndex)]->SetChecked(true);
}

void TsRadioGroup::SetButtonCount(int Value) {
  while (ButtonCount() < Value) {
    auto* b = ::Create<TsGroupButton>(this);
    FButtons.push_back(b);
    if (TsSkinManager* sm = FSkinData->OwnSkinManager()) b->SkinData()->SetSkinManager(sm);
    b->SkinData()->SetSkinSection("RADIOBUTTON");
    b->SetShowFocus(true);
    b->SetVisible(false);
    b->SetEnabled(Enabled());
    b->SetParentShowHint(false);
    b->OnClick = MakeMethod<&TsRadioGroup::ButtonClick>(this);
    b->SetParent(this);
    b->SetTabStop(false);
    b->SkinData()->CustomFont = FSkinData->CustomFont;
    b->SetAnimatEvents(FAnimatEvents);
  }
  while (ButtonCount() > Value) {
    TsGroupButton* b = FButtons.back();
    FButtons.pop_back();
    b->FGroup = nullptr;
    b->Free();
  }
}

void TsRadioGroup::RebuildButtons() {
  SetButtonCount(FItems->Count());
  for (int i = 0; i < ButtonCount(); ++i) FButtons[std::size_t(i)]->SetCaption(FItems->Strings(i));
  PlaceButtons();
  Invalidate();
}

void TsRadioGroup::ItemsChange(TObject*) {
  if (!Reading()) {
    if (FItems->Count() <= FItemIndex) FItemIndex = FItems->Count() - 1;
    RebuildButtons();
    // The button of the item index stays checked (a deleted line may have taken it).
    if (FItemIndex >= 0) {
      FUpdating = true;
      FButtons[std::size_t(FItemIndex)]->SetChecked(true);
      FUpdating = false;
    }
  }
  for (TsGroupButton* b : std::vector<TsGroupButton*>(FButtons)) b->SkinData()->Loaded();
}

void TsRadioGroup::ButtonClick(TObject* Sender) {
  if (FUpdating) return;
  auto* b = dynamic_cast<TsGroupButton*>(Sender);
  const auto it = std::find(FButtons.begin(), FButtons.end(), b);
  if (it == FButtons.end()) return;
  auto alive = AliveToken();
  // The clicked button is checked already; the group only records it.
  FUpdating = true;
  SetItemIndex(int(it - FButtons.begin()));
  if (!*alive) return;
  FUpdating = false;
  Changed();
  if (*alive) Click();
}

void TsRadioGroup::PlaceButtons() {
  if (FButtons.empty() || Reading()) return;
  const int count = ButtonCount();
  const int perColumn = (count + FColumns - 1) / FColumns;
  // A group too small for its buttons gives them no room rather than a negative size.
  const int width = std::max(0, (Width_ - 10) / FColumns);
  const TRect cr = CaptionRect();
  const int height = std::max(0, (Height_ - cr.Height() - 5) / perColumn);
  const int topMargin = cr.Height() + 2;
  TsSkinManager* sm = FSkinData->OwnSkinManager();
  DisableAlign();
  for (int i = 0; i < count; ++i) {
    TsGroupButton* b = FButtons[std::size_t(i)];
    if (b->SkinData()->OwnSkinManager() != sm) b->SkinData()->SetSkinManager(sm);
    b->SetBiDiMode(BiDiMode());
    int left = (i / perColumn) * width + 8;
    if (UseRightToLeftAlignment()) left += width - b->Width();
    b->SetBounds(left, (i % perColumn) * height + topMargin, width, height);
    b->SetVisible(true);
  }
  EnableAlign();
}

void TsRadioGroup::Loaded() {
  TsGroupBox::Loaded();
  RebuildButtons();
  PlaceButtons();
  const int index = FItemIndex;
  FItemIndex = -1;
  FUpdating = true;
  SetItemIndex(index);
  FUpdating = false;
}

bool TsRadioGroup::AnswerAnyState(TMessage& Message) {
  if (Message.WParamHi() == QC_REFRESH && IsOwnManagerCommand(Message, FSkinData)) PlaceButtons();
  return false;
}

void TsRadioGroup::Dispatch(TMessage& Message) {
  auto alive = AliveToken();
  TsGroupBox::Dispatch(Message);
  if (!*alive) return;
  switch (Message.Msg) {
    case CM_ENABLEDCHANGED:
      for (TsGroupButton* b : FButtons) {
        b->SetEnabled(Enabled());
        b->SkinData()->BGChanged = true;
      }
      break;
    case CM_FONTCHANGED:
    case WM_SIZE: PlaceButtons(); break;
    default: break;
  }
}

// ---- published properties ------------------------------------------------------------------------------

namespace {
const bool kGroupBoxProps = RegisterProperties<TsGroupBox, TGroupBox>([](auto& p) {
  p.Obj("SkinData", &TsGroupBox::SkinData);
  p.Ord("CaptionLayout", &TsGroupBox::CaptionLayout, &TsGroupBox::SetCaptionLayout);
  p.Ord("CaptionYOffset", &TsGroupBox::CaptionYOffset, &TsGroupBox::SetCaptionYOffset);
  p.Str("CaptionSkin", &TsGroupBox::CaptionSkin, &TsGroupBox::SetCaptionSkin);
});
const bool kGroupButtonProps = RegisterProperties<TsGroupButton, TsRadioButton>([](auto&) {});
const bool kRadioGroupProps = RegisterProperties<TsRadioGroup, TsGroupBox>([](auto& p) {
  p.Set("AnimatEvents", &TsRadioGroup::AnimatEvents, &TsRadioGroup::SetAnimatEvents,
        {"aeMouseEnter", "aeMouseLeave", "aeMouseDown", "aeMouseUp", "aeGlobalDef"});
  p.Ord("Columns", &TsRadioGroup::Columns, &TsRadioGroup::SetColumns);
  p.Ord("ItemIndex", &TsRadioGroup::ItemIndex, &TsRadioGroup::SetItemIndex);
  p.Obj("Items", &TsRadioGroup::Items, &TsRadioGroup::SetItems);
});
}  // namespace
