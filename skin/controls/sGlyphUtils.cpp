#include "skin/controls/sGlyphUtils.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

#include "classlib/core/TypInfo.h"
#include "skin/controls/sCustomComboEdit.h"
#include "skin/controls/sCurrencyEdit.h"

// ---- Default glyphs ---------------------------------------------------------------------------------

namespace {

struct TDefaultGlyph {
  const char* Name;
  const char* Resource;
};
constexpr std::array<TDefaultGlyph, 5> kDefaultGlyphs{
    {{GlyphOpenFile, "SF"}, {GlyphOpenFolder, "SR"}, {GlyphDate, "SD"}, {GlyphEllipsis, "SE"}, {GlyphCalc, "SC"}}};

// The five bitmaps, read from the program's resources the first time one is asked for and freed
// when the program ends; an entry stays nullptr when its resource is missing.
const std::array<std::unique_ptr<TBitmap>, 5>& DefaultGlyphs() {
  static const std::array<std::unique_ptr<TBitmap>, 5> glyphs = [] {
    std::array<std::unique_ptr<TBitmap>, 5> loaded;
    const HINSTANCE module = GetModuleHandleA(nullptr);
    for (std::size_t i = 0; i < kDefaultGlyphs.size(); ++i) {
      if (!FindResourceA(module, kDefaultGlyphs[i].Resource, MAKEINTRESOURCEA(2))) continue;  // RT_BITMAP
      auto bmp = std::make_unique<TBitmap>();
      try {
        bmp->LoadFromResourceName(module, kDefaultGlyphs[i].Resource);
        bmp->SetPixelFormat(pf24bit);
      } catch (const Exception&) {
        continue;
      }
      if (!bmp->Empty()) loaded[i] = std::move(bmp);
    }
    return loaded;
  }();
  return glyphs;
}

}  // namespace

TBitmap* DefaultGlyph(const std::string& Name) {
  if (Name.empty()) return nullptr;
  for (std::size_t i = 0; i < kDefaultGlyphs.size(); ++i)
    if (Name == kDefaultGlyphs[i].Name) return DefaultGlyphs()[i].get();
  return nullptr;
}

// ---- TsGlyphMode ----------------------------------------------------------------------------------------

TsGlyphMode::TsGlyphMode(TsCustomComboEdit* AOwner) : FOwner(AOwner) {
  FGlyph = new TBitmap();
  FGlyph->OnChange = MakeMethod<&TsGlyphMode::GlyphChanged>(this);
}

TsGlyphMode::~TsGlyphMode() {
  FGlyph->OnChange = TNotifyEvent();
  delete FGlyph;
}

void TsGlyphMode::ChoiceChanged() {
  if (!FOwner) return;
  FOwner->UpdateButton();
  // The edit repaints with its skin (the refresh names its manager: a command for another one
  // would change nothing).
  TsSkinManager* sm = FOwner->SkinData()->SkinManager();
  if (sm && FOwner->HandleAllocated())
    SendMessageA(FOwner->Handle(), SM_QUORVEXCMD, SkinCommandWParam(QC_REFRESH), reinterpret_cast<LPARAM>(sm));
  FOwner->Invalidate();
}

void TsGlyphMode::GlyphChanged(TObject*) {
  if (FConverting) return;
  // The glyph is laid on the button by its mask: its pixels are read as 24-bit.
  if (!FGlyph->Empty() && FGlyph->PixelFormat() != pf24bit) {
    FConverting = true;
    FGlyph->SetPixelFormat(pf24bit);
    FConverting = false;
  }
  ChoiceChanged();
}

void TsGlyphMode::SetUseDefaultGlyph(bool Value) {
  if (FUseDefaultGlyph == Value) return;
  FUseDefaultGlyph = Value;
  ChoiceChanged();
}

void TsGlyphMode::SetBlend(int Value) {
  Value = std::clamp(Value, 0, 100);
  if (FBlend == Value) return;
  FBlend = Value;
  if (!FOwner) return;
  FOwner->UpdateButton();
  if (TsEditButton* b = FOwner->Button()) {
    b->SkinData()->BGChanged = true;
    b->Invalidate();
  }
}

void TsGlyphMode::SetGlyph(TBitmap* Value) {
  FUseDefaultGlyph = false;
  if (Value)
    FGlyph->Assign(Value);
  else
    FGlyph->FreeImage();
  ChoiceChanged();
}

void TsGlyphMode::SetGrayed(bool Value) {
  if (FGrayed == Value) return;
  FGrayed = Value;
  ChoiceChanged();
}

std::string TsGlyphMode::Hint() const { return FOwner && FOwner->Button() ? FOwner->Button()->Hint() : std::string(); }

void TsGlyphMode::SetHint(const std::string& Value) {
  if (FOwner && FOwner->Button()) FOwner->Button()->SetHint(Value);
}

TBitmap* TsGlyphMode::Chosen() const {
  if (!FUseDefaultGlyph && !FGlyph->Empty()) return FGlyph;
  return FOwner ? DefaultGlyph(FOwner->DefaultGlyphName()) : nullptr;
}

int TsGlyphMode::GlyphWidth() const {
  if (dynamic_cast<const TsCurrencyEdit*>(FOwner)) return 0;
  TBitmap* g = Chosen();
  return g && !g->Empty() ? g->Width() / ButtonGlyphFrames : 16;
}

int TsGlyphMode::GlyphHeight() const {
  TBitmap* g = Chosen();
  return g && !g->Empty() ? g->Height() / 2 : 16;
}

int TsGlyphMode::BlendAmount() const { return std::min(255, int(std::lround(FBlend * 2.56))); }

void TsGlyphMode::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TsGlyphMode*>(Source);
  if (!src) {
    TPersistent::Assign(Source);
    return;
  }
  FBlend = src->FBlend;
  FGrayed = src->FGrayed;
  FGlyph->OnChange = TNotifyEvent();
  FGlyph->Assign(src->FGlyph);
  FGlyph->OnChange = MakeMethod<&TsGlyphMode::GlyphChanged>(this);
  FUseDefaultGlyph = src->FUseDefaultGlyph;
  ChoiceChanged();
}

namespace {
const bool kGlyphModeProps = RegisterProperties<TsGlyphMode, TPersistent>([](auto& p) {
  p.Ord("UseDefaultGlyph", &TsGlyphMode::UseDefaultGlyph, &TsGlyphMode::SetUseDefaultGlyph);
  p.Ord("Blend", &TsGlyphMode::Blend, &TsGlyphMode::SetBlend);
  p.Obj("Glyph", &TsGlyphMode::Glyph, &TsGlyphMode::SetGlyph);
  p.Ord("Grayed", &TsGlyphMode::Grayed, &TsGlyphMode::SetGrayed);
  p.Str("Hint", &TsGlyphMode::Hint, &TsGlyphMode::SetHint);
});
}  // namespace
