#include "examples/gallery/StandardExamples.h"

#include <string>

#include "classlib/Buttons.h"
#include "classlib/ComCtrls.h"
#include "classlib/ExtCtrlsPanels.h"
#include "classlib/Grids.h"
#include "classlib/Mask.h"
#include "classlib/Menus.h"
#include "classlib/StdCtrls.h"

namespace {

// A 16 x 16 glyph: a coloured square with a dark edge on olive, the transparent colour.
void FillGlyph(TBitmap* glyph, TColor color) {
  TBitmap bmp;
  bmp.SetSize(16, 16);
  bmp.Canvas()->Brush()->SetColor(clOlive);
  bmp.Canvas()->FillRect(Rect(0, 0, 16, 16));
  bmp.Canvas()->Brush()->SetColor(clBlack);
  bmp.Canvas()->FillRect(Rect(2, 2, 14, 14));
  bmp.Canvas()->Brush()->SetColor(color);
  bmp.Canvas()->FillRect(Rect(3, 3, 13, 13));
  glyph->Assign(&bmp);
}

TMenuItem* AddItem(TComponent* owner, TMenuItem* parent, const std::string& caption) {
  auto* item = Create<TMenuItem>(owner);
  item->SetCaption(caption);
  parent->Add(item);
  return item;
}

template <typename T>
T* Place(TComponent* owner, TWinControl* parent, int x, int y, int w, int h) {
  auto* c = Create<T>(owner);
  c->SetBounds(x, y, w, h);
  c->SetParent(parent);
  return c;
}

}  // namespace

void AddStandardExamples(TWinControl* Parent) {
  TComponent* owner = Parent->Owner() ? Parent->Owner() : Parent;

  // ---- first column: buttons, containers, edits
  auto* button = Place<TButton>(owner, Parent, 8, 8, 90, 25);
  button->SetCaption("Button");
  auto* bitBtn = Place<TBitBtn>(owner, Parent, 104, 8, 104, 25);
  bitBtn->SetCaption("Bit button");
  FillGlyph(bitBtn->Glyph(), clRed);

  for (int i = 0; i < 3; ++i) {
    auto* speed = Place<TSpeedButton>(owner, Parent, 8 + i * 25, 40, 25, 25);
    speed->SetGroupIndex(1);
    speed->SetDown(i == 0);
    FillGlyph(speed->Glyph(), i == 0 ? clRed : i == 1 ? clLime : clBlue);
  }
  auto* flat = Place<TSpeedButton>(owner, Parent, 92, 40, 56, 25);
  flat->SetFlat(true);
  flat->SetCaption("Flat");
  auto* disabled = Place<TSpeedButton>(owner, Parent, 152, 40, 56, 25);
  disabled->SetCaption("Off");
  FillGlyph(disabled->Glyph(), clYellow);
  disabled->SetEnabled(false);

  auto* group = Place<TGroupBox>(owner, Parent, 8, 70, 200, 52);
  group->SetCaption("Group box");
  auto* mask = Place<TMaskEdit>(owner, group, 10, 20, 120, 22);
  mask->SetEditMask("(999) 000-0000;1;_");

  auto* panel = Place<TPanel>(owner, Parent, 8, 128, 200, 40);
  panel->SetCaption("Panel (right-click)");
  panel->SetBevelInner(bvLowered);
  panel->SetBorderWidth(1);
  auto* popup = Create<TPopupMenu>(owner);
  AddItem(owner, popup->Items(), "&Open");
  AddItem(owner, popup->Items(), "&Save")->SetChecked(true);
  AddItem(owner, popup->Items(), "-");
  AddItem(owner, AddItem(owner, popup->Items(), "More"), "Sub-item");
  panel->SetPopupMenu(popup);

  auto* combo = Place<TComboBox>(owner, Parent, 8, 176, 200, 24);
  combo->SetStyle(csDropDownList);
  for (const char* s : {"First item", "Second item", "Third item"}) combo->Items()->Add(s);
  combo->SetItemIndex(0);

  auto* track = Place<TTrackBar>(owner, Parent, 8, 204, 200, 40);
  track->SetMax(20);
  track->SetPosition(8);
  track->SetFrequency(2);

  auto* number = Place<TEdit>(owner, Parent, 8, 250, 80, 22);
  auto* upDown = Place<TUpDown>(owner, Parent, 88, 250, 17, 22);
  upDown->SetAssociate(number);
  upDown->SetPosition(5);

  // ---- second column: tabs and a list view
  auto* pages = Place<TPageControl>(owner, Parent, 216, 8, 220, 110);
  for (const char* title : {"First page", "Second page"}) {
    auto* sheet = Create<TTabSheet>(owner);
    sheet->SetCaption(title);
    sheet->SetPageControl(pages);
    auto* text = Place<TLabel>(owner, sheet, 8, 8, 180, 16);
    text->SetCaption(std::string("Contents of the ") + title);
  }
  pages->SetActivePageIndex(0);

  auto* tabs = Place<TTabControl>(owner, Parent, 216, 124, 220, 50);
  for (const char* s : {"One", "Two", "Three"}) tabs->Tabs()->Add(s);
  tabs->SetTabIndex(1);

  auto* list = Place<TListView>(owner, Parent, 216, 180, 220, 110);
  list->SetViewStyle(vsReport);
  list->Columns()->Add()->SetCaption("Name");
  list->Columns()->Items(0)->SetWidth(120);
  list->Columns()->Add()->SetCaption("Size");
  for (const char* s : {"alpha.txt", "beta.dat", "gamma.ini"}) list->AddItem(s);

  // ---- third column: tool bar, tree view, grid
  auto* bar = Place<TToolBar>(owner, Parent, 444, 8, 220, 28);
  bar->SetAlign(alNone);
  bar->SetShowCaptions(true);
  bar->SetBounds(444, 8, 220, 28);
  auto* dropMenu = Create<TPopupMenu>(owner);
  AddItem(owner, dropMenu->Items(), "Recent file");
  const struct {
    const char* Caption;
    TToolButtonStyle Style;
  } tools[] = {{"New", tbsButton}, {"Bold", tbsCheck}, {"", tbsSeparator}, {"Open", tbsDropDown}};
  for (const auto& t : tools) {
    auto* b = Create<TToolButton>(owner);
    b->SetCaption(t.Caption);
    b->SetStyle(t.Style);
    if (t.Style == tbsDropDown) b->SetDropdownMenu(dropMenu);
    b->SetParent(bar);
  }

  auto* tree = Place<TTreeView>(owner, Parent, 444, 42, 220, 104);
  HTREEITEM root = tree->AddNode(nullptr, "Root");
  tree->AddNode(root, "Child one");
  tree->AddNode(root, "Child two");
  tree->AddNode(nullptr, "Second root");
  SendMessageA(tree->Handle(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));

  auto* grid = Place<TStringGrid>(owner, Parent, 444, 152, 220, 138);
  grid->SetColCount(4);
  grid->SetRowCount(8);
  grid->SetDefaultColWidth(52);
  grid->SetDefaultRowHeight(20);
  for (int c = 1; c < 4; ++c) grid->SetCells(c, 0, std::string(1, char('A' + c - 1)));
  for (int r = 1; r < 8; ++r) {
    grid->SetCells(0, r, std::to_string(r));
    for (int c = 1; c < 4; ++c) grid->SetCells(c, r, std::to_string(r * c));
  }

  // ---- along the bottom edge
  auto* status = Create<TStatusBar>(owner);
  status->SetParent(Parent);
  auto* first = status->Panels()->Add();
  first->SetText("Status panel");
  first->SetWidth(150);
  auto* second = status->Panels()->Add();
  second->SetText("Centred");
  second->SetAlignment(taCenter);
  second->SetWidth(120);
  status->Panels()->Add()->SetText("Last panel");
}
