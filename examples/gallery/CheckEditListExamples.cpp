#include "examples/gallery/CheckEditListExamples.h"

#include <string>

#include "classlib/Forms.h"
#include "classlib/StdCtrls.h"
#include "skin/controls/sCheckBox.h"
#include "skin/controls/sEdit.h"
#include "skin/controls/sGroupBox.h"
#include "skin/controls/sMaskEdit.h"
#include "skin/controls/sMemo.h"
#include "skin/controls/sQuorvexListBox.h"
#include "skin/controls/sRadioButton.h"
#include "skin/controls/sSpinEdit.h"

namespace {

template <class T>
T* Place(TWinControl* Parent, int X, int Y, int W, int H) {
  TComponent* owner = Parent->Owner() ? Parent->Owner() : Parent;
  auto* c = Create<T>(owner);
  c->SetParent(Parent);
  c->SetBounds(X, Y, W, H);
  return c;
}

void Bind(TsBoundLabel* Bound, const char* Caption) {
  Bound->SetActive(true);
  Bound->SetCaption(Caption);
}

TWinControl* AddChecks(TWinControl* Parent) {
  TWinControl* focused = nullptr;
  auto* box = Place<TsGroupBox>(Parent, 0, 0, 336, 196);
  box->SetCaption("Check boxes and radio buttons");
  struct {
    const char* Caption;
    TCheckBoxState State;
    bool ReadOnly, Enabled;
  } const checks[] = {{"Unchecked", cbUnchecked, false, true}, {"Checked", cbChecked, false, true},
                      {"Grayed", cbGrayed, false, true},       {"Read-only", cbChecked, true, true},
                      {"Disabled", cbChecked, false, false},   {"Focused", cbUnchecked, false, true}};
  int y = 26;
  for (const auto& c : checks) {
    auto* check = Place<TsCheckBox>(box, 12, y, 140, 22);
    check->SetCaption(c.Caption);
    check->SetAllowGrayed(c.State == cbGrayed);
    check->SetState(c.State);
    check->SetReadOnly(c.ReadOnly);
    check->SetEnabled(c.Enabled);
    if (std::string(c.Caption) == "Focused") focused = check;
    y += 27;
  }
  y = 26;
  for (const char* caption : {"First choice", "Second choice", "Read-only choice", "Disabled choice"}) {
    auto* radio = Place<TsRadioButton>(box, 170, y, 150, 22);
    radio->SetCaption(caption);
    radio->SetChecked(y == 26);
    radio->SetReadOnly(std::string(caption) == "Read-only choice");
    radio->SetEnabled(std::string(caption) != "Disabled choice");
    y += 27;
  }
  auto* group = Place<TsRadioGroup>(Parent, 0, 206, 336, 118);
  group->SetCaption("A radio group of seven in three columns");
  for (const char* s : {"Piano", "Strings", "Brass", "Organ", "Guitar", "Drums", "Voice"}) group->Items()->Add(s);
  group->SetColumns(3);
  group->SetItemIndex(4);

  auto* centred = Place<TsGroupBox>(Parent, 0, 334, 164, 96);
  centred->SetCaption("Centred caption");
  centred->SetCaptionLayout(clTopCenter);
  auto* raised = Place<TsGroupBox>(Parent, 172, 334, 164, 96);
  raised->SetCaption("Caption on the right");
  raised->SetCaptionLayout(clTopRight);
  raised->SetCaptionYOffset(-2);
  auto* inside = Place<TsCheckBox>(raised, 12, 30, 140, 22);
  inside->SetCaption("Inside a group");
  inside->SetChecked(true);
  return focused;
}

void AddEdits(TWinControl* Parent) {
  auto* box = Place<TsGroupBox>(Parent, 346, 0, 344, 196);
  box->SetCaption("Edits");
  auto* edit = Place<TsEdit>(box, 96, 24, 232, 24);
  edit->SetText("An edit");
  Bind(edit->BoundLabel(), "Edit:");
  auto* readOnly = Place<TsEdit>(box, 96, 52, 112, 24);
  readOnly->SetText("Read-only");
  readOnly->SetReadOnly(true);
  Bind(readOnly->BoundLabel(), "Read-only:");
  auto* disabled = Place<TsEdit>(box, 216, 52, 112, 24);
  disabled->SetText("Disabled");
  disabled->SetEnabled(false);
  auto* password = Place<TsEdit>(box, 96, 80, 232, 24);
  password->SetText("secret");
  password->SetPasswordChar('*');
  Bind(password->BoundLabel(), "Password:");
  auto* mask = Place<TsMaskEdit>(box, 96, 108, 232, 24);
  mask->SetEditMask("(000) 000-0000;1;_");
  mask->SetText("(555) 123-4567");
  Bind(mask->BoundLabel(), "Phone:");
  auto* spin = Place<TsSpinEdit>(box, 96, 136, 112, 24);
  spin->SetMinValue(0);
  spin->SetMaxValue(127);
  spin->SetValue(42);
  Bind(spin->BoundLabel(), "Spin edit:");
  auto* spinOff = Place<TsSpinEdit>(box, 216, 136, 112, 24);
  spinOff->SetValue(7);
  spinOff->SetEnabled(false);
}

void AddLists(TWinControl* Parent) {
  auto* memo = Place<TsMemo>(Parent, 346, 206, 168, 224);
  memo->SetScrollBars(ssVertical);
  for (int i = 1; i <= 30; ++i) memo->Lines()->Add("Line " + std::to_string(i) + " of a memo");
  auto* list = Place<TsListBox>(Parent, 522, 206, 168, 224);
  list->SetMultiSelect(true);
  list->Items()->BeginUpdate();
  for (int i = 1; i <= 200; ++i) list->Items()->Add("List item " + std::to_string(i));
  list->Items()->EndUpdate();
  for (int i : {1, 3, 4}) list->SetSelected(i, true);
}

}  // namespace

TWinControl* AddCheckEditListExamples(TWinControl* Parent) {
  TWinControl* focused = AddChecks(Parent);
  AddEdits(Parent);
  AddLists(Parent);
  return focused;
}
