#include "examples/gallery/ListBarExamples.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "classlib/ComCtrls.h"
#include "classlib/Forms.h"
#include "classlib/Grids.h"
#include "classlib/ImgList.h"
#include "classlib/Menus.h"
#include "skin/windows/acSBUtils.h"

namespace {

constexpr int kRows = 10000;
constexpr int kNodes = 1000;

// The values of a row of the list, made from its number (the row keeps it as its item data).
std::string RowName(int row) {
  char text[32];
  std::snprintf(text, sizeof text, "File %05d.dat", row + 1);
  return text;
}
int RowSize(int row) { return (row * 7919) % 100000; }
const char* RowKind(int row) {
  static const char* kinds[] = {"Document", "Picture", "Song", "Style", "Program"};
  return kinds[(row * 31) % 5];
}

// A report list whose columns sort the rows when their header is clicked, ascending first, then
// descending; the header shows the order with its sort arrow.
class TSortedListView : public TListView {
 public:
  QV_CLASS_NAME(TSortedListView)
  using TListView::TListView;

  void Dispatch(TMessage& Message) override {
    if (Message.Msg == CN_NOTIFY) {
      const auto* nm = reinterpret_cast<const NMHDR*>(Message.LParam);
      if (nm->code == LVN_COLUMNCLICK) {
        SortBy(reinterpret_cast<const NMLISTVIEW*>(Message.LParam)->iSubItem);
        Message.Result = 0;
        return;
      }
    }
    TListView::Dispatch(Message);
  }

  void Fill() {
    SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0);
    SendMessageA(Handle(), LVM_SETITEMCOUNT, kRows, 0);
    for (int row = 0; row < kRows; ++row) {
      std::string name = RowName(row);
      LVITEMA item{};
      item.mask = LVIF_TEXT | LVIF_PARAM;
      item.iItem = row;
      item.pszText = name.data();
      item.lParam = row;
      const int at = int(SendMessageA(Handle(), LVM_INSERTITEMA, 0, LPARAM(&item)));
      std::string size = std::to_string(RowSize(row)) + " KB";
      std::string kind = RowKind(row);
      SetSubItem(at, 1, size);
      SetSubItem(at, 2, kind);
    }
    SendMessageA(Handle(), WM_SETREDRAW, TRUE, 0);
  }

  // Sorts by the column: ascending, or the other way when it is sorted by it already.
  void SortBy(int column) {
    Descending_ = column == Column_ ? !Descending_ : false;
    Column_ = column;
    SendMessageA(Handle(), LVM_SORTITEMS, WPARAM(column | (Descending_ ? 0x100 : 0)), LPARAM(&Compare));
    HWND header = HWND(SendMessageA(Handle(), LVM_GETHEADER, 0, 0));
    const int count = int(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      HDITEMA item{};
      item.mask = HDI_FORMAT;
      SendMessageA(header, HDM_GETITEMA, WPARAM(i), LPARAM(&item));
      item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
      if (i == column) item.fmt |= Descending_ ? HDF_SORTDOWN : HDF_SORTUP;
      SendMessageA(header, HDM_SETITEMA, WPARAM(i), LPARAM(&item));
    }
  }

 private:
  void SetSubItem(int at, int column, std::string& text) {
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = text.data();
    SendMessageA(Handle(), LVM_SETITEMTEXTA, WPARAM(at), LPARAM(&item));
  }

  static int CALLBACK Compare(LPARAM a, LPARAM b, LPARAM how) {
    const int column = int(how & 0xFF);
    const int sign = (how & 0x100) ? -1 : 1;
    int order = 0;
    if (column == 1)
      order = RowSize(int(a)) - RowSize(int(b));
    else if (column == 2)
      order = std::string(RowKind(int(a))).compare(RowKind(int(b)));
    if (order == 0) order = int(a) - int(b);
    return sign * (order < 0 ? -1 : order > 0 ? 1 : 0);
  }

  int Column_ = -1;
  bool Descending_ = false;
};

// Owns the adapters and the skin states of the adapted controls, and frees them with the form.
class TListBarAdapters : public TComponent {
 public:
  QV_CLASS_NAME(TListBarAdapters)
  using TComponent::TComponent;
  ~TListBarAdapters() override {
    for (auto it = Adapters.rbegin(); it != Adapters.rend(); ++it) (*it)->Free();
    for (TsCommonData* sd : Data) delete sd;
  }
  // An adapter of class T for a control of the class library, in the section given.
  template <typename T>
  void Adapt(TWinControl* control, const std::string& section) {
    auto* sd = new TsCommonData(control, false);
    sd->SetSkinSection(section);
    Data.push_back(sd);
    Adapters.push_back(Create<T>(control->Handle(), sd, nullptr, section, true));
  }
  std::vector<TsCommonData*> Data;
  std::vector<TacMainWnd*> Adapters;
};

template <typename T>
T* Place(TComponent* owner, TWinControl* parent, int x, int y, int w, int h) {
  auto* c = Create<T>(owner);
  c->SetBounds(x, y, w, h);
  c->SetParent(parent);
  return c;
}

}  // namespace

void AddListBarExamples(TWinControl* Parent) {
  TComponent* owner = Parent->Owner() ? Parent->Owner() : Parent;
  auto* adapters = Create<TListBarAdapters>(owner);

  // A tool bar with images and captions: plain, check, drop-down and disabled buttons.
  auto* images = Create<TImageList>(owner);
  images->SetSize(16, 16);
  for (TColor color : {clRed, clLime, clBlue, clYellow, clFuchsia}) {
    TBitmap bmp;
    bmp.SetSize(16, 16);
    bmp.Canvas()->Brush()->SetColor(clOlive);
    bmp.Canvas()->FillRect(Rect(0, 0, 16, 16));
    bmp.Canvas()->Brush()->SetColor(clBlack);
    bmp.Canvas()->FillRect(Rect(2, 2, 14, 14));
    bmp.Canvas()->Brush()->SetColor(color);
    bmp.Canvas()->FillRect(Rect(3, 3, 13, 13));
    images->AddMasked(&bmp, clOlive);
  }
  auto* bar = Place<TToolBar>(owner, Parent, 8, 4, 664, 42);
  bar->SetAlign(alNone);
  bar->SetImages(images);
  bar->SetShowCaptions(true);
  bar->SetButtonWidth(62);
  bar->SetButtonHeight(38);
  auto* recent = Create<TPopupMenu>(owner);
  for (const char* caption : {"First file", "Second file"}) {
    auto* item = Create<TMenuItem>(owner);
    item->SetCaption(caption);
    recent->Items()->Add(item);
  }
  struct {
    const char* Caption;
    TToolButtonStyle Style;
    int Image;
  } buttons[] = {{"New", tbsButton, 0},  {"Open", tbsDropDown, 1}, {"Save", tbsButton, 2},
                 {"", tbsSeparator, -1}, {"Bold", tbsCheck, 3},    {"Print", tbsButton, 4}};
  for (const auto& b : buttons) {
    auto* button = Create<TToolButton>(owner);
    button->SetCaption(b.Caption);
    button->SetStyle(b.Style);
    button->SetImageIndex(b.Image);
    button->SetParent(bar);
    if (b.Style == tbsDropDown) button->SetDropdownMenu(recent);
    if (b.Style == tbsCheck) button->SetDown(true);
    if (std::string(b.Caption) == "Print") button->SetEnabled(false);
  }
  adapters->Adapt<TacToolBarVCLWnd>(bar, "TOOLBAR");

  auto* list = Place<TSortedListView>(owner, Parent, 8, 52, 330, 250);
  list->SetViewStyle(vsReport);
  for (const char* caption : {"Name", "Size", "Kind"}) {
    TListColumn* column = list->Columns()->Add();
    column->SetCaption(caption);
    column->SetWidth(caption[0] == 'N' ? 120 : 90);
  }
  list->Columns()->Items(1)->SetAlignment(taRightJustify);
  list->Fill();
  list->SortBy(0);
  adapters->Adapt<TacListViewWnd>(list, "EDIT");

  auto* tree = Place<TTreeView>(owner, Parent, 346, 52, 160, 250);
  SendMessageA(tree->Handle(), WM_SETREDRAW, FALSE, 0);
  for (int folder = 0; folder < kNodes / 10; ++folder) {
    HTREEITEM node = tree->AddNode(nullptr, "Folder " + std::to_string(folder + 1));
    for (int file = 0; file < 9; ++file) tree->AddNode(node, "Item " + std::to_string(folder * 9 + file + 1));
    if (folder < 2) SendMessageA(tree->Handle(), TVM_EXPAND, TVE_EXPAND, LPARAM(node));
  }
  SendMessageA(tree->Handle(), WM_SETREDRAW, TRUE, 0);
  adapters->Adapt<TacTreeViewWnd>(tree, "EDIT");

  auto* grid = Place<TStringGrid>(owner, Parent, 514, 52, 158, 250);
  grid->SetColCount(4);
  grid->SetRowCount(30);
  grid->SetDefaultColWidth(48);
  grid->SetDefaultRowHeight(20);
  for (int c = 1; c < 4; ++c) grid->SetCells(c, 0, std::string(1, char('A' + c - 1)));
  for (int r = 1; r < 30; ++r) {
    grid->SetCells(0, r, std::to_string(r));
    for (int c = 1; c < 4; ++c) grid->SetCells(c, r, std::to_string(r * c));
  }
  adapters->Adapt<TacGridWnd>(grid, "EDIT");

  // A tab control with images; the second tab is active.
  auto* tabs = Place<TTabControl>(owner, Parent, 8, 310, 664, 88);
  tabs->SetImages(images);
  for (const char* caption : {"Files", "Folders", "Details", "History"}) tabs->Tabs()->Add(caption);
  tabs->SetTabIndex(1);
  adapters->Adapt<TacTabControlWnd>(tabs, "PAGECONTROL");

  auto* status = Place<TStatusBar>(owner, Parent, 8, 404, 664, 22);
  status->SetAlign(alNone);
  status->SetSizeGrip(false);
  for (const char* text : {"Ready", "10,000 rows, sorted by a click on a column", "1,000 nodes"}) {
    TStatusPanel* panel = status->Panels()->Add();
    panel->SetText(text);
    panel->SetWidth(text[0] == 'R' ? 100 : 300);
  }
  adapters->Adapt<TacStatusBarWnd>(status, "STATUSBAR");
}
