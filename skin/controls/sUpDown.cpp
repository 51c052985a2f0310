#include "skin/controls/sUpDown.h"

#include <memory>

#include "classlib/core/TypInfo.h"
#include "skin/controls/core/acTabGeometry.h"
#include "skin/controls/sPageControl.h"
#include "skin/engine/sStyleSimply.h"

namespace {

const TacSectionIndexes& ArrowSection(const TacConstData& cd, int Index) {
  switch (Index) {
    case 0: return cd.ScrollBtnTop;
    case 1: return cd.ScrollBtnLeft;
    case 2: return cd.ScrollBtnBottom;
    default: return cd.ScrollBtnRight;
  }
}

const char* ArrowSectionName(int Index) {
  static const char* const names[] = {"SCROLLBTNTOP", "SCROLLBTNLEFT", "SCROLLBTNBOTTOM", "SCROLLBTNRIGHT"};
  return names[Index & 3];
}

}  // namespace

TsUpDown::TsUpDown(TComponent* AOwner) : TCustomUpDown(AOwner) { ControlStyle_.Exclude(csDoubleClicks); }

// ---- properties -------------------------------------------------------------------------------------

void TsUpDown::SetShowInaccessibility(bool Value) {
  if (FShowInaccessibility == Value) return;
  FShowInaccessibility = Value;
  Repaint();
}

void TsUpDown::SetDisabledKind(TsDisabledKind Value) {
  if (FDisabledKind == Value) return;
  FDisabledKind = Value;
  Repaint();
}

void TsUpDown::SetButtonSkin(const std::string& Value) {
  if (FButtonSkin == Value) return;
  FButtonSkin = Value;
  Invalidate();
}

void TsUpDown::SetBtnState(std::uint8_t Value) {
  if (FBtnState == Value) return;
  FBtnState = Value;
  Repaint();
}

TRect TsUpDown::FirstButtonRect() const {
  return Orientation() == udVertical ? Rect(0, 0, Width_, Height_ / 2) : Rect(0, 0, Width_ / 2, Height_);
}

bool TsUpDown::FirstAtLimit() const { return Position() == (Orientation() == udVertical ? Max() : Min()); }

bool TsUpDown::SecondAtLimit() const { return Position() == (Orientation() == udVertical ? Min() : Max()); }

TsSkinManager* TsUpDown::PaintManager() const {
  if (auto* pc = dynamic_cast<TsPageControl*>(Parent_)) return pc->SkinData()->SkinManager();
  return DefaultManager;
}

bool TsUpDown::SkinnedPaint() const {
  TsSkinManager* sm = DefaultManager;
  if (!sm || !sm->Skin()) return false;
  const TacConstData& cd = sm->ConstData();
  if (Orientation() == udVertical) return cd.ScrollBtnTop.Section >= 0 && cd.ScrollBtnBottom.Section >= 0;
  return cd.ScrollBtnLeft.Section >= 0 && cd.ScrollBtnRight.Section >= 0;
}

TsCacheInfo TsUpDown::GetParentCache() {
  SharedCacheInfo.Ready = false;
  if (!Parent_) return TsCacheInfo{};
  SendControlSkinCommand(Parent_, QC_GETCACHE);
  return SharedCacheInfo;
}

// ---- painting -------------------------------------------------------------------------------------------

void TsUpDown::PaintUpDownButton(TBitmap* Bmp, int Index) {
  TsSkinManager* sm = PaintManager();
  if (!sm || !sm->Skin()) return;
  const TacSectionIndexes& arrow = ArrowSection(sm->ConstData(), Index);
  std::string section = ArrowSectionName(Index);
  int sectionIndex = arrow.Section;
  if (!FButtonSkin.empty()) {
    const int own = sm->SectionIndexOf(FButtonSkin);
    if (own >= 0) {
      section = FButtonSkin;
      sectionIndex = own;
    }
  }
  TPoint place{0, 0};
  if (Index == 2) {
    Bmp->SetHeight(Height_ - Bmp->Height());
    place.Y = Height_ - Bmp->Height();
  } else if (Index == 3) {
    Bmp->SetWidth(Width_ - Bmp->Width());
    place.X = Width_ - Bmp->Width();
  }
  const bool first = Index < 2;
  const int state = first ? (FBtnState == 1   ? 1
                             : FBtnState == 3 ? 2
                                              : 0)
                          : (FBtnState == 2   ? 1
                             : FBtnState == 4 ? 2
                                              : 0);
  const int limit = (Index == 0 || Index == 3) ? Max() : Min();
  const int w = Bmp->Width(), h = Bmp->Height();
  const TPoint offset{Left_ + place.X, Top_ + place.Y};
  const TsCacheInfo ci = GetParentCache();
  PaintSectionItem(sectionIndex, section, ci, true, state, Rect(0, 0, w, h), offset, Bmp, sm);

  if (sm->IsMaskIndex(arrow.GlyphMask)) {
    const TsMaskData& glyph = sm->Mask(arrow.GlyphMask);
    const int gw = qv::FrameWidthOf(glyph.R.Width(), glyph.ImageCount);
    const int gh = qv::FrameHeightOf(glyph.R.Height(), glyph.MaskType);
    const TPoint at{(w - gw) / 2, (h - gh) / 2};
    // A glyph that does not fit leaves the button as it is.
    if (gw <= 0 || gh <= 0 || at.X < 0 || at.Y < 0) return;
    PaintMaskImage(Bmp, at, state, 1, glyph, sm);
  }

  if (!Enabled() || (FShowInaccessibility && Position() == limit)) {
    if (ci.Ready)
      ApplyDisabledLook(Bmp, FDisabledKind, Parent_, ci, offset);
    else if (Parent_)
      BlendColorRect(Bmp, Rect(0, 0, w, h), 60, TColor(ColorToRGB(Parent_->Color())));
  }
}

void TsUpDown::PaintMessage(TMessage& Message) {
  PaintScope dc(Handle_, reinterpret_cast<HDC>(Message.WParam));
  const SavedDC saved(dc);
  const bool vertical = Orientation() == udVertical;
  std::unique_ptr<TBitmap> bmp(vertical ? CreateBmp24(Width_, Height_ / 2) : CreateBmp24(Width_ / 2, Height_));
  const int halfW = bmp->Width(), halfH = bmp->Height();
  auto copy = [&](int x, int y) {
    BitmapDC src(bmp.get());
    if (src) BitBlt(dc, x, y, bmp->Width(), bmp->Height(), src, 0, 0, SRCCOPY);
  };
  PaintUpDownButton(bmp.get(), vertical ? 0 : 1);
  copy(0, 0);
  bmp->SetSize(halfW, halfH);
  PaintUpDownButton(bmp.get(), vertical ? 2 : 3);
  copy(vertical ? 0 : Width_ - bmp->Width(), vertical ? Height_ - bmp->Height() : 0);
  Message.Result = 0;
}

// ---- messages -------------------------------------------------------------------------------------------

bool TsUpDown::SkinCommand(TMessage& Message) {
  switch (Message.WParamHi()) {
    case QC_SKINREMOVED:
    case QC_REFRESH:
      if (!DefaultManager || Message.LParam != reinterpret_cast<LPARAM>(DefaultManager)) return false;
      if (!SkinSwitchRunning()) Repaint();
      return true;
    default: return AnswerIdentity(Message);
  }
}

void TsUpDown::HitTestMessage(TMessage& Message) {
  TCustomUpDown::WndProc(Message);
  if (IsDesigning(this)) return;
  const TPoint p = ScreenToClient(Point(Message.LParamX(), Message.LParamY()));
  if (FirstButtonRect().Contains(p)) {
    if (FShowInaccessibility && FirstAtLimit())
      SetBtnState(0);
    else if (FBtnState != 1 && !FMouseDown)
      SetBtnState(1);
  } else {
    if (FShowInaccessibility && SecondAtLimit())
      SetBtnState(0);
    else if (FBtnState != 2 && !FMouseDown)
      SetBtnState(2);
  }
}

void TsUpDown::PressMessage(TMessage& Message, bool Ends) {
  // The limits as they were before the press moved the position.
  const bool firstOpen = !FirstAtLimit(), secondOpen = !SecondAtLimit();
  auto alive = AliveToken();
  TCustomUpDown::WndProc(Message);
  if (!*alive || IsDesigning(this)) return;
  FMouseDown = true;
  if (FBtnState == 1 && firstOpen)
    SetBtnState(3);
  else if (FBtnState == 2 && secondOpen)
    SetBtnState(4);
  if (Ends) Message.Result = 1;
}

void TsUpDown::ReleaseMessage(TMessage& Message) {
  auto alive = AliveToken();
  TCustomUpDown::WndProc(Message);
  if (!*alive || IsDesigning(this) || !FMouseDown) return;
  FMouseDown = false;
  // A pressed button is hot again (unless its direction came to its limit); one that was not
  // pressed keeps its look.
  if (FBtnState == 3) {
    SetBtnState(FShowInaccessibility && FirstAtLimit() ? 0 : 1);
    Message.Result = 1;
  } else if (FBtnState == 4) {
    SetBtnState(FShowInaccessibility && SecondAtLimit() ? 0 : 2);
    Message.Result = 1;
  }
}

void TsUpDown::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case SM_QUORVEXCMD:
      if (SkinCommand(Message)) return;
      break;
    case WM_NCHITTEST: HitTestMessage(Message); return;
    case WM_LBUTTONDOWN: PressMessage(Message, true); return;
    case WM_LBUTTONDBLCLK:
    case WM_NCLBUTTONDBLCLK: PressMessage(Message, false); return;
    case WM_LBUTTONUP: ReleaseMessage(Message); return;
    case CM_MOUSELEAVE: {
      auto alive = AliveToken();
      TCustomUpDown::WndProc(Message);
      if (!*alive || IsDesigning(this)) return;
      FMouseDown = false;
      SetBtnState(0);
      return;
    }
    case WM_ERASEBKGND:
    case WM_NCPAINT:
      if (DefaultManager && DefaultManager->Active() && DefaultManager->Skin()) return;
      break;
    case WM_PRINT:
      if (HandleAllocated()) Message.Result = SendMessageA(Handle_, WM_PAINT, Message.WParam, Message.LParam);
      return;
    case WM_PAINT:
      if (SkinnedPaint() && HandleAllocated()) {
        PaintMessage(Message);
        return;
      }
      break;
    default: break;
  }
  TCustomUpDown::WndProc(Message);
}

// ---- published properties ------------------------------------------------------------------------------------

namespace {
const bool kUpDownProps = RegisterProperties<TsUpDown, TCustomUpDown>([](auto& p) {
  p.Ord("ShowInaccessibility", &TsUpDown::ShowInaccessibility, &TsUpDown::SetShowInaccessibility);
  p.Str("ButtonSkin", &TsUpDown::ButtonSkin, &TsUpDown::SetButtonSkin);
  p.Set("DisabledKind", &TsUpDown::DisabledKind, &TsUpDown::SetDisabledKind, {"dkBlended", "dkGrayed"});
});
}  // namespace
