#include "examples/gallery/PlainWindowExamples.h"

#include <string>

#include "classlib/Forms.h"
#include "classlib/StdCtrls.h"
#include "skin/windows/acSBUtils.h"

namespace {

// Frees the adapters with the form.
class TPlainWindowAdapters : public TComponent {
 public:
  QV_CLASS_NAME(TPlainWindowAdapters)
  using TComponent::TComponent;
  ~TPlainWindowAdapters() override { Adapters.FreeAll(); }
  TacAdapterList Adapters;
};

// One window of the examples: where it goes in its column and the adapter it gets (none: it shows
// as the system draws it in both columns).
struct TPlainWindow {
  const char* Class;
  const char* Text;
  DWORD Style;
  int X, Y, W, H;
  TacAdapterMaker Maker;
  const char* Section;
};

constexpr DWORD kButton = WS_TABSTOP;
const TPlainWindow kWindows[] = {
    {"STATIC", "Static text in the dialog's font", SS_LEFT, 8, 8, 150, 30, &MakeAdapter<TacStaticWnd>, "CHECKBOX"},
    {"STATIC", "Centred", SS_CENTER, 164, 8, 70, 16, &MakeAdapter<TacStaticWnd>, "CHECKBOX"},
    {"STATIC", "Read <A>the notes</A> first", SS_LEFT, 164, 26, 110, 16, &MakeAdapter<TacLinkWnd>, "CHECKBOX"},
    {"STATIC", "", SS_ICON, 282, 8, 32, 32, &MakeAdapter<TacIconWnd>, "CHECKBOX"},
    {"BUTTON", "Push", BS_PUSHBUTTON | kButton, 8, 48, 80, 26, &MakeAdapter<TacBtnWnd>, "BUTTON"},
    {"BUTTON", "Default", BS_DEFPUSHBUTTON | kButton, 96, 48, 80, 26, &MakeAdapter<TacBtnWnd>, "BUTTON"},
    {"BUTTON", "Disabled", BS_PUSHBUTTON | WS_DISABLED, 184, 48, 80, 26, &MakeAdapter<TacBtnWnd>, "BUTTON"},
    {"BUTTON", "Check box", BS_AUTOCHECKBOX | kButton, 8, 82, 110, 20, &MakeAdapter<TacCheckBoxWnd>, "CHECKBOX"},
    {"BUTTON", "Three states", BS_AUTO3STATE | kButton, 124, 82, 110, 20, &MakeAdapter<TacCheckBoxWnd>, "CHECKBOX"},
    {"BUTTON", "Radio one", BS_AUTORADIOBUTTON | WS_GROUP | kButton, 8, 106, 110, 20, &MakeAdapter<TacCheckBoxWnd>,
     "CHECKBOX"},
    {"BUTTON", "Radio two", BS_AUTORADIOBUTTON, 124, 106, 110, 20, &MakeAdapter<TacCheckBoxWnd>, "CHECKBOX"},
    {"BUTTON", "Group box", BS_GROUPBOX | WS_GROUP, 8, 132, 150, 70, &MakeAdapter<TacGroupBoxWnd>, "GROUPBOX"},
    {"COMBOBOX", "", CBS_DROPDOWN | WS_VSCROLL | kButton, 8, 212, 100, 160, &MakeAdapter<TacComboBoxWnd>, "COMBOBOX"},
    {"COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | kButton, 114, 212, 100, 160, &MakeAdapter<TacComboBoxWnd>,
     "COMBOBOX"},
    {"COMBOBOX", "", CBS_SIMPLE | WS_VSCROLL | kButton, 220, 212, 100, 96, &MakeAdapter<TacComboBoxWnd>, "COMBOBOX"},
    {"EDIT", "5", ES_NUMBER | WS_BORDER | kButton, 8, 250, 60, 22, nullptr, ""},
    {"msctls_updown32", "", UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS, 0, 0, 0, 0,
     &MakeAdapter<TacSpinWnd>, "SPEEDBUTTON_SMALL"},
    {"msctls_updown32", "", UDS_HORZ | UDS_ARROWKEYS, 84, 250, 40, 20, &MakeAdapter<TacSpinWnd>, "SPEEDBUTTON_SMALL"},
};

// A plain window of its own class for each column, the parent of the column's windows.
HWND CreateColumn(HWND parent, int x, int y, int w, int h) {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = HBRUSH(COLOR_BTNFACE + 1);
    wc.lpszClassName = "QvGalleryColumn";
    registered = RegisterClassA(&wc) != 0;
  }
  return CreateWindowExA(WS_EX_CONTROLPARENT, "QvGalleryColumn", "", WS_CHILD | WS_VISIBLE, x, y, w, h, parent, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

void FillColumn(HWND column, HFONT font, TacAdapterList* adapters) {
  for (const TPlainWindow& w : kWindows) {
    HWND wnd = CreateWindowExA(0, w.Class, w.Text, WS_CHILD | WS_VISIBLE | w.Style, w.X, w.Y, w.W, w.H, column, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    SendMessageA(wnd, WM_SETFONT, WPARAM(font), FALSE);
    const std::string cls = w.Class;
    if (cls == "STATIC" && (w.Style & SS_TYPEMASK) == SS_ICON)
      SendMessageA(wnd, STM_SETICON, WPARAM(LoadIconA(nullptr, IDI_INFORMATION)), 0);
    if (cls == "COMBOBOX") {
      for (int i = 1; i <= 30; ++i) SendMessageA(wnd, CB_ADDSTRING, 0, LPARAM(("Choice " + std::to_string(i)).c_str()));
      SendMessageA(wnd, CB_SETCURSEL, 2, 0);
    }
    if ((w.Style & BS_TYPEMASK) == BS_AUTO3STATE && cls == "BUTTON")
      SendMessageA(wnd, BM_SETCHECK, BST_INDETERMINATE, 0);
    if (std::string(w.Text) == "Check box" || std::string(w.Text) == "Radio one")
      SendMessageA(wnd, BM_SETCHECK, BST_CHECKED, 0);
    if (cls == "msctls_updown32") SendMessageA(wnd, UDM_SETRANGE32, 0, 99);
    if (adapters && w.Maker) adapters->Add(w.Maker(wnd, nullptr, nullptr, w.Section, true));
  }
  // The size grip in the corner of a small panel, and a page holding a text of its own.
  HWND panel = CreateWindowExA(WS_EX_CONTROLPARENT, "QvGalleryColumn", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 170, 132,
                               140, 70, column, nullptr, GetModuleHandleA(nullptr), nullptr);
  HWND grip = CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | WS_VISIBLE | SBS_SIZEGRIP | SBS_SIZEBOXBOTTOMRIGHTALIGN, 0,
                              0, 138, 68, panel, nullptr, GetModuleHandleA(nullptr), nullptr);
  HWND page = CreateWindowExA(WS_EX_CONTROLPARENT, "QvGalleryColumn", "", WS_CHILD | WS_VISIBLE, 8, 318, 220, 60,
                              column, nullptr, GetModuleHandleA(nullptr), nullptr);
  HWND text = CreateWindowExA(0, "STATIC", "A page of a property sheet", WS_CHILD | WS_VISIBLE | SS_LEFT, 10, 20, 200,
                              18, page, nullptr, GetModuleHandleA(nullptr), nullptr);
  SendMessageA(text, WM_SETFONT, WPARAM(font), FALSE);
  if (!adapters) return;
  adapters->Add(MakeAdapter<TacDlgPanelWnd>(panel, nullptr, nullptr, "PANEL", true));
  adapters->Add(MakeAdapter<TacSizerWnd>(grip, nullptr, nullptr, "CHECKBOX", true));
  adapters->Add(MakeAdapter<TacTransPanelWnd>(page, nullptr, nullptr, "CHECKBOX", true));
  adapters->Add(MakeAdapter<TacStaticWnd>(text, nullptr, nullptr, "CHECKBOX", true));
}

}  // namespace

void AddPlainWindowExamples(TWinControl* Parent) {
  TComponent* owner = Parent->Owner() ? Parent->Owner() : Parent;
  auto* holder = Create<TPlainWindowAdapters>(owner);
  TCustomForm* form = GetParentForm(Parent);
  HFONT font = form ? form->Font()->Handle() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  const char* titles[] = {"Adapted one by one", "As the system draws them"};
  for (int c = 0; c < 2; ++c) {
    auto* title = Create<TLabel>(owner);
    title->SetParent(Parent);
    title->SetCaption(titles[c]);
    title->SetBounds(8 + c * 344, 4, 300, 16);
    HWND column = CreateColumn(Parent->Handle(), 8 + c * 344, 24, 330, 390);
    // The adapted column shows through to the page, as a dialog's transparent container does.
    if (c == 0) holder->Adapters.Add(MakeAdapter<TacTransPanelWnd>(column, nullptr, nullptr, "CHECKBOX", true));
    FillColumn(column, font, c == 0 ? &holder->Adapters : nullptr);
  }
}
