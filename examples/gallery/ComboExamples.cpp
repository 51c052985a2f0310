#include "examples/gallery/ComboExamples.h"

#include <string>

#include "classlib/Forms.h"
#include "skin/controls/sComboBox.h"
#include "skin/controls/sCurrEdit.h"
#include "skin/controls/sCurrencyEdit.h"
#include "skin/controls/sCustomComboEdit.h"
#include "skin/controls/sGlyphUtils.h"
#include "skin/controls/sGroupBox.h"
#include "skin/controls/sSpeedButton.h"

namespace {

template <class T>
T* Place(TWinControl* Parent, int X, int Y, int W, int H) {
  TComponent* owner = Parent->Owner() ? Parent->Owner() : Parent;
  auto* c = Create<T>(owner);
  c->SetParent(Parent);
  c->SetBounds(X, Y, W, H);
  return c;
}

// Opens a number edit's calculator when its button is pressed.
class TCalcOpener : public TComponent {
 public:
  QV_CLASS_NAME(TCalcOpener)
  using TComponent::TComponent;
  TsCustomNumEdit* Edit = nullptr;
  void Click(TObject*) {
    if (Edit) Edit->ShowPopup();
  }
};

void Bind(TsBoundLabel* Bound, const char* Caption) {
  Bound->SetActive(true);
  Bound->SetCaption(Caption);
}

void AddComboBoxes(TWinControl* Parent) {
  auto* box = Place<TsGroupBox>(Parent, 0, 0, 336, 250);
  box->SetCaption("Combo boxes");
  struct {
    const char* Caption;
    TComboBoxStyle Style;
    int Items;
    bool ReadOnly;
  } const combos[] = {{"Drop-down:", csDropDown, 12, false},
                      {"List:", csDropDownList, 12, false},
                      {"Read-only:", csDropDownList, 12, true},
                      {"500 items:", csDropDownList, 500, false}};
  const char* const names[] = {"Allegro",  "Andante", "Adagio", "Largo",       "Presto",    "Vivace",
                               "Moderato", "Lento",   "Grave",  "Prestissimo", "Larghetto", "Allegretto"};
  int y = 24;
  for (const auto& k : combos) {
    auto* combo = Place<TsComboBox>(box, 96, y, 224, 22);
    combo->SetStyle(k.Style);
    combo->Items()->BeginUpdate();
    for (int i = 0; i < k.Items; ++i)
      combo->Items()->Add(k.Items > 12 ? "Item " + std::to_string(i + 1) : std::string(names[i]));
    combo->Items()->EndUpdate();
    combo->SetItemIndex(k.Items > 12 ? 41 : 2);
    combo->SetReadOnly(k.ReadOnly);
    Bind(combo->BoundLabel(), k.Caption);
    y += 30;
  }
  auto* typed = Place<TsComboBox>(box, 96, y, 224, 22);
  typed->Items()->Add("Typed text stays");
  typed->SetText("Typed, not an item");
  Bind(typed->BoundLabel(), "Own text:");
  y += 30;
  auto* disabled = Place<TsComboBox>(box, 96, y, 224, 22);
  disabled->SetStyle(csDropDownList);
  disabled->Items()->Add("Disabled");
  disabled->SetItemIndex(0);
  disabled->SetEnabled(false);
  Bind(disabled->BoundLabel(), "Disabled:");

  auto* more = Place<TsGroupBox>(Parent, 0, 260, 336, 180);
  more->SetCaption("Simple and owner-drawn combo boxes");
  auto* simple = Place<TsComboBox>(more, 96, 24, 224, 110);
  simple->SetStyle(csSimple);
  for (const char* name : names) simple->Items()->Add(name);
  simple->SetItemIndex(4);
  Bind(simple->BoundLabel(), "Simple:");
  auto* owner = Place<TsComboBox>(more, 96, 144, 224, 22);
  owner->SetStyle(csOwnerDrawFixed);
  for (const char* name : names) owner->Items()->Add(name);
  owner->SetItemIndex(1);
  Bind(owner->BoundLabel(), "Owner-drawn:");
}

void AddComboEdits(TWinControl* Parent) {
  auto* box = Place<TsGroupBox>(Parent, 346, 0, 344, 250);
  box->SetCaption("Combo edits and their glyphs");
  struct {
    const char* Caption;
    const char* Glyph;
    const char* Text;
  } const edits[] = {{"Open file:", GlyphOpenFile, "C:\\Music\\song.mid"},
                     {"Folder:", GlyphOpenFolder, "C:\\Music"},
                     {"Date:", GlyphDate, "27.05.2006"},
                     {"More:", GlyphEllipsis, "Click the button"},
                     {"Calculator:", GlyphCalc, "12.5"}};
  int y = 24;
  for (const auto& e : edits) {
    auto* edit = Place<TsCustomComboEdit>(box, 96, y, 232, 22);
    edit->GlyphMode()->SetGlyph(DefaultGlyph(e.Glyph));
    edit->SetText(e.Text);
    Bind(edit->BoundLabel(), e.Caption);
    y += 28;
  }
  auto* greyed = Place<TsCustomComboEdit>(box, 96, y, 112, 22);
  greyed->GlyphMode()->SetGlyph(DefaultGlyph(GlyphOpenFile));
  greyed->GlyphMode()->SetGrayed(true);
  greyed->SetText("Greyed");
  Bind(greyed->BoundLabel(), "Looks:");
  auto* blended = Place<TsCustomComboEdit>(box, 216, y, 112, 22);
  blended->GlyphMode()->SetGlyph(DefaultGlyph(GlyphOpenFile));
  blended->GlyphMode()->SetBlend(50);
  blended->SetText("Blended");
  y += 28;
  auto* readOnly = Place<TsCustomComboEdit>(box, 96, y, 112, 22);
  readOnly->GlyphMode()->SetGlyph(DefaultGlyph(GlyphEllipsis));
  readOnly->SetReadOnly(true);
  readOnly->SetText("Read-only");
  Bind(readOnly->BoundLabel(), "States:");
  auto* disabled = Place<TsCustomComboEdit>(box, 216, y, 112, 22);
  disabled->GlyphMode()->SetGlyph(DefaultGlyph(GlyphEllipsis));
  disabled->SetText("Disabled");
  disabled->SetEnabled(false);
}

TsCustomNumEdit* AddNumberEdits(TWinControl* Parent) {
  auto* box = Place<TsGroupBox>(Parent, 346, 260, 344, 180);
  box->SetCaption("Number edits");
  auto* currency = Place<TsCurrencyEdit>(box, 96, 24, 120, 22);
  currency->SetValue(1234.5);
  Bind(currency->BoundLabel(), "Amount:");
  auto* open = Place<TsSpeedButton>(box, 224, 24, 104, 22);
  open->SetCaption("Calculator...");
  auto* opener = Create<TCalcOpener>(currency);
  opener->Edit = currency;
  open->OnClick = MakeMethod<&TCalcOpener::Click>(opener);
  auto* limited = Place<TsCurrencyEdit>(box, 96, 52, 120, 22);
  limited->SetMinValue(0);
  limited->SetMaxValue(100);
  limited->SetDecimalPlaces(1);
  limited->SetDisplayFormat("0.0 '%'");
  limited->SetValue(42.5);
  Bind(limited->BoundLabel(), "Percent:");
  auto* withButton = Place<TsCustomNumEdit>(box, 96, 80, 120, 22);
  withButton->GlyphMode()->SetGlyph(DefaultGlyph(GlyphCalc));
  withButton->SetValue(-17.25);
  Bind(withButton->BoundLabel(), "With button:");
  auto* disabled = Place<TsCurrencyEdit>(box, 96, 108, 120, 22);
  disabled->SetValue(99.99);
  disabled->SetEnabled(false);
  Bind(disabled->BoundLabel(), "Disabled:");
  return currency;
}

}  // namespace

TsCustomNumEdit* AddComboExamples(TWinControl* Parent) {
  AddComboBoxes(Parent);
  AddComboEdits(Parent);
  return AddNumberEdits(Parent);
}
