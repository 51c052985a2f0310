#include "skin/controls/sLabel.h"

#include <shellapi.h>

#include "classlib/Forms.h"
#include "classlib/core/TypInfo.h"
#include "skin/controls/core/acWebAddress.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/sStyleSimply.h"

TShellExecuteProc WebLabelShellExecute = &ShellExecuteA;

namespace {

// Set while a label takes its font for a paint: the font changes that follow are the label's own.
bool LabelPaintBusy = false;

// The default manager when it is active with a loaded skin.
TsSkinManager* LoadedDefaultManager() {
  TsSkinManager* sm = DefaultManager;
  return sm && sm->Active() && sm->Skin() ? sm : nullptr;
}

bool NamesDefaultManager(const TMessage& Message) {
  return DefaultManager && Message.LParam == reinterpret_cast<LPARAM>(DefaultManager);
}

class TBusyScope {
 public:
  TBusyScope() { LabelPaintBusy = true; }
  ~TBusyScope() { LabelPaintBusy = false; }
  TBusyScope(const TBusyScope&) = delete;
  TBusyScope& operator=(const TBusyScope&) = delete;
};

}  // namespace

// ---- TsCustomLabel ------------------------------------------------------------------------------------

TsCustomLabel::TsCustomLabel(TComponent* AOwner) : TCustomLabel(AOwner), FOwnColor(Font_->Color()) {
  SetTransparent(true);
}

void TsCustomLabel::SetSkinSection(const std::string& Value) {
  if (FSkinSection == Value) return;
  FSkinSection = Value;
  Invalidate();
}

void TsCustomLabel::ApplySkinFontColor(TColor Color) {
  if (Font_->Color() == Color) return;
  ChangeFontQuietly([&] { Font_->SetColor(Color); });
  FSkinColored = true;
}

void TsCustomLabel::GiveBackFontColor() {
  if (!FSkinColored) return;
  ChangeFontQuietly([&] { Font_->SetColor(FOwnColor); });
  FSkinColored = false;
}

TFont* TsCustomLabel::GetCurrentFont() {
  if (TsSkinManager* sm = LoadedDefaultManager()) {
    const TColor c = sm->GetGlobalFontColor();
    if (c != clParentColorUnset && c != Font_->Color()) ApplySkinFontColor(c);
  }
  return Font_;
}

void TsCustomLabel::Paint() {
  if (!LabelPaintBusy) {
    const TBusyScope busy;
    TFont* f = GetCurrentFont();
    if (f != Font_) ChangeFontQuietly([&] { Font_->Assign(f); });
    TsSkinManager* sm = LoadedDefaultManager();
    const int index = sm && !FSkinSection.empty() ? sm->SectionIndexOf(FSkinSection) : -1;
    if (index > 0) {
      const TColor c = TColor(sm->Section(index).FontColor.Text() & 0xFFFFFF);
      if (c != Font_->Color()) ApplySkinFontColor(c);
    }
  }
  PaintSection();
  TCustomLabel::Paint();
}

// The section under the text, over the parent's image where the section lets it show.
void TsCustomLabel::PaintSection() {
  TsSkinManager* sm = LoadedDefaultManager();
  if (!sm || FSkinSection.empty() || !Parent_) return;
  const int index = sm->SectionIndexOf(FSkinSection);
  if (index <= 0) return;
  SharedCacheInfo = TsCacheInfo{};
  SendControlSkinCommand(Parent_, QC_GETCACHE);
  const TsCacheInfo ci = SharedCacheInfo;
  PaintSectionItemToDC(index, FSkinSection, ci, true, 0, Rect(0, 0, Width_, Height_), Point(Left_, Top_),
                       Canvas_->Handle(), sm);
}

void TsCustomLabel::DoDrawText(TRect& Rect, UINT Flags) {
  if (Enabled() || !LoadedDefaultManager()) {
    TCustomLabel::DoDrawText(Rect, Flags);
    return;
  }
  std::string text = GetLabelText();
  if ((Flags & DT_CALCRECT) && (text.empty() || (ShowAccelChar_ && text == "&"))) text += ' ';
  if (!ShowAccelChar_) Flags |= DT_NOPREFIX;
  if (!(Flags & DT_CALCRECT)) {
    if (EllipsisPosition_ == epPathEllipsis) Flags |= DT_PATH_ELLIPSIS;
    if (EllipsisPosition_ == epEndEllipsis) Flags |= DT_END_ELLIPSIS;
    if (EllipsisPosition_ == epWordEllipsis) Flags |= DT_WORD_ELLIPSIS;
  }
  Flags = DrawTextBiDiModeFlags(Flags);
  Canvas_->Font()->Assign(Font_);
  UpdateParentColor(this);
  const TColor behind = SharedParentColor;
  SharedParentColor = clParentColorUnset;
  Canvas_->Font()->SetColor(MixColors(TColor(ColorToRGB(Font_->Color())), behind, 0.4));
  DrawTextStr(Canvas_->Handle(), text, Rect, Flags);
}

void TsCustomLabel::FontChangedMessage() {
  if (!FQuiet) {
    // The program changed the font: its colour is the one to keep.
    FOwnColor = Font_->Color();
    FSkinColored = false;
  }
  if (LabelPaintBusy) return;
  if (AutoSize_) AdjustBounds();
  Invalidate();
}

void TsCustomLabel::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case CM_FONTCHANGED: FontChangedMessage(); return;
    case CM_MOUSEENTER: {
      auto alive = AliveToken();
      OnMouseEnter(this);
      if (*alive) TCustomLabel::WndProc(Message);
      return;
    }
    case CM_MOUSELEAVE: {
      auto alive = AliveToken();
      TCustomLabel::WndProc(Message);
      if (*alive) OnMouseLeave(this);
      return;
    }
    case SM_QUORVEXCMD:
      if (Message.WParamHi() == QC_SKINREMOVED && NamesDefaultManager(Message)) {
        TCustomLabel::WndProc(Message);
        GiveBackFontColor();
        return;
      }
      // A new look of the skin: the text takes its colours at the next paint.
      if (Message.WParamHi() == QC_REFRESH && NamesDefaultManager(Message)) Invalidate();
      break;
    default: break;
  }
  TCustomLabel::WndProc(Message);
}

// ---- TsLabel ----------------------------------------------------------------------------------------------

TsLabel::TsLabel(TComponent* AOwner) : TsCustomLabel(AOwner) {}

void TsLabel::SetUseSkinColor(bool Value) {
  if (FUseSkinColor == Value) return;
  FUseSkinColor = Value;
  if (!Value) GiveBackFontColor();
  Invalidate();
}

TFont* TsLabel::GetCurrentFont() { return FUseSkinColor ? TsCustomLabel::GetCurrentFont() : Font_; }

void TsLabel::WndProc(TMessage& Message) {
  if (Message.Msg == SM_QUORVEXCMD && Message.WParamHi() == QC_SKINREMOVED) {
    if (NamesDefaultManager(Message)) GiveBackFontColor();
    return;
  }
  TsCustomLabel::WndProc(Message);
}

// ---- TsEditLabel ----------------------------------------------------------------------------------------

TsEditLabel::TsEditLabel(TComponent* AOwner, TsBoundLabel* BoundLabel) : TsLabel(AOwner), FBoundLabel(BoundLabel) {}

TsEditLabel::~TsEditLabel() {
  if (FBoundLabel) FBoundLabel->LabelDestroyed();
}

// ---- TsWebLabel -------------------------------------------------------------------------------------------

TsWebLabel::TsWebLabel(TComponent* AOwner) : TsCustomLabel(AOwner), FNormalFont(new TFont()), FHoverFont(new TFont()) {
  FNormalFont->Assign(Font_);
  FHoverFont->Assign(Font_);
  Cursor_ = crHandPoint;
  ControlStyle_.Include(csOpaque);
  SetTransparent(true);
}

TsWebLabel::~TsWebLabel() {
  delete FNormalFont;
  delete FHoverFont;
}

void TsWebLabel::Loaded() {
  TsCustomLabel::Loaded();
  ChangeFontQuietly([&] { Font_->Assign(FNormalFont); });
}

void TsWebLabel::SetFont(TFont* Value) {
  FNormalFont->Assign(Value);
  Font_->Assign(Value);
  Repaint();
}

TFont* TsWebLabel::GetCurrentFont() { return FHovered ? FHoverFont : FNormalFont; }

void TsWebLabel::HoverChanged(bool Hovered) {
  FHovered = Hovered;
  if (AutoSize_) {
    ChangeFontQuietly([&] { Font_->Assign(GetCurrentFont()); });
    AdjustBounds();
  }
  Repaint();
}

bool TsWebLabel::OpenURL() {
  if (FURL.empty() || !qv::IsSafeWebAddress(FURL)) return false;
  HWND app = Application ? Application->Handle() : nullptr;
  WebLabelShellExecute(app, "open", FURL.c_str(), nullptr, nullptr, int(FShowMode));
  return true;
}

void TsWebLabel::WndProc(TMessage& Message) {
  auto alive = AliveToken();
  switch (Message.Msg) {
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      TsCustomLabel::WndProc(Message);
      if (*alive) HoverChanged(Message.Msg == CM_MOUSEENTER);
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      TsCustomLabel::WndProc(Message);
      if (*alive) OpenURL();
      return;
    case WM_ERASEBKGND: Message.Result = 1; return;
    case CM_FONTCHANGED:
      // The program's own change of the font while it shows the normal one: that is the normal font now.
      if (!QuietFontChange() && !FHovered) FNormalFont->Assign(Font_);
      break;
    default: break;
  }
  TsCustomLabel::WndProc(Message);
}

// ---- the bound label of skinned edits and the published properties --------------------------------------

namespace {

const bool kEditLabelSeam = [] {
  CreateEditLabelProc = [](TsBoundLabel* Bound) -> TControl* {
    TControl* edit = Bound->CommonData() ? Bound->CommonData()->OwnerControl : nullptr;
    return Create<TsEditLabel>(edit, Bound);
  };
  return true;
}();

const bool kSkinnedLabelKind = RegisterClassKindOf<TsCustomLabel>(TacClassKind::SkinnedLabel);
const bool kCustomLabelProps = RegisterProperties<TsCustomLabel, TCustomLabel>([](auto& p) {
  p.Str("SkinSection", &TsCustomLabel::SkinSection, &TsCustomLabel::SetSkinSection);
  p.Method("OnMouseEnter", &TsCustomLabel::GetOnMouseEnter, &TsCustomLabel::SetOnMouseEnter);
  p.Method("OnMouseLeave", &TsCustomLabel::GetOnMouseLeave, &TsCustomLabel::SetOnMouseLeave);
});

const bool kLabelProps = RegisterProperties<TsLabel, TsCustomLabel>(
    [](auto& p) { p.Ord("UseSkinColor", &TsLabel::UseSkinColor, &TsLabel::SetUseSkinColor); });

const bool kWebLabelProps = RegisterProperties<TsWebLabel, TsCustomLabel>([](auto& p) {
  p.Obj("HoverFont", &TsWebLabel::HoverFont, &TsWebLabel::SetHoverFont);
  p.Ord("ShowMode", &TsWebLabel::ShowMode, &TsWebLabel::SetShowMode);
  p.Str("URL", &TsWebLabel::URL, &TsWebLabel::SetURL);
});

}  // namespace
