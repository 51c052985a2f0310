// TCustomComboBox with its items.
#include "classlib/StdCtrls.h"

#include <algorithm>

#include "classlib/GdiScopes.h"
#include "classlib/StdCtrls/Internal.h"
#include "classlib/core/TypInfo.h"

using namespace stdctrls_impl;

// ---- TCustomComboBox --------------------------------------------------------------------------

namespace {
const char kComboOwnerProp[] = "QvComboOwner";
}

int TComboBoxStrings::Count() const {
  if (Combo_->HandleAllocated()) return static_cast<int>(SendMessageA(Combo_->Handle_, CB_GETCOUNT, 0, 0));
  return Combo_->SavedItems_->Count();
}

std::string TComboBoxStrings::Get(int index) const {
  if (!Combo_->HandleAllocated()) return Combo_->SavedItems_->Strings(index);
  LRESULT len = SendMessageA(Combo_->Handle_, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (len == CB_ERR) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  std::string s(static_cast<std::size_t>(len) + 1, '\0');
  len = SendMessageA(Combo_->Handle_, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(s.data()));
  s.resize(static_cast<std::size_t>(std::max<LRESULT>(len, 0)));
  return s;
}

TObject* TComboBoxStrings::GetObject(int index) const {
  if (!Combo_->HandleAllocated()) return Combo_->SavedItems_->Objects(index);
  LRESULT d = SendMessageA(Combo_->Handle_, CB_GETITEMDATA, static_cast<WPARAM>(index), 0);
  if (d == CB_ERR) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return reinterpret_cast<TObject*>(d);
}

void TComboBoxStrings::PutObject(int index, TObject* object) {
  if (!Combo_->HandleAllocated()) {
    Combo_->SavedItems_->SetObjects(index, object);
    return;
  }
  SendMessageA(Combo_->Handle_, CB_SETITEMDATA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(object));
}

int TComboBoxStrings::Add(const std::string& s) {
  if (!Combo_->HandleAllocated()) return Combo_->SavedItems_->Add(s);
  LRESULT r = SendMessageA(Combo_->Handle_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
  if (r < 0) throw EOutOfResources("Not enough storage is available to complete this operation");
  return static_cast<int>(r);
}

void TComboBoxStrings::Insert(int index, const std::string& s) {
  if (!Combo_->HandleAllocated()) {
    Combo_->SavedItems_->Insert(index, s);
    return;
  }
  LRESULT r =
      SendMessageA(Combo_->Handle_, CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(s.c_str()));
  if (r < 0) throw EOutOfResources("Not enough storage is available to complete this operation");
}

void TComboBoxStrings::Delete(int index) {
  if (!Combo_->HandleAllocated()) {
    Combo_->SavedItems_->Delete(index);
    return;
  }
  SendMessageA(Combo_->Handle_, CB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void TComboBoxStrings::Clear() {
  if (!Combo_->HandleAllocated()) {
    Combo_->SavedItems_->Clear();
    Combo_->SavedIndex_ = -1;
    return;
  }
  std::string text = Combo_->Text();
  SendMessageA(Combo_->Handle_, CB_RESETCONTENT, 0, 0);
  Combo_->SetText(text);  // the edit part keeps what was typed
  Combo_->Update();
}

int TComboBoxStrings::IndexOf(const std::string& s) const {
  if (!Combo_->HandleAllocated()) return Combo_->SavedItems_->IndexOf(s);
  // CB_FINDSTRINGEXACT compares without case, as the list does.
  LRESULT r =
      SendMessageA(Combo_->Handle_, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(s.c_str()));
  return r == CB_ERR ? -1 : static_cast<int>(r);
}

void TComboBoxStrings::SetUpdateState(bool updating) {
  if (!Combo_->HandleAllocated()) return;
  SendMessageA(Combo_->Handle_, WM_SETREDRAW, updating ? 0 : 1, 0);
  if (!updating) Combo_->Refresh();
}

TCustomComboBox::TCustomComboBox(TComponent* AOwner) : TWinControl(AOwner) {
  ControlStyle_ = TControlStyle{csSetCaption, csDoubleClicks, csFixedHeight};
  SetBounds(0, 0, 145, 25);
  TabStop_ = true;
  ParentColor_ = false;
  Color_ = clWindow;
  Items_ = new TComboBoxStrings(this);
  SavedItems_ = new TStringList();
  Canvas_ = new TCanvas();
}

TCustomComboBox::~TCustomComboBox() {
  delete Canvas_;
  delete Items_;
  delete SavedItems_;
}

void TCustomComboBox::BeforeDestruction() {
  RestoreChildren();
  TWinControl::BeforeDestruction();
}

void TCustomComboBox::SetStyle(TComboBoxStyle v) {
  if (Style_ == v) return;
  Style_ = v;
  ControlStyle_.Set(csFixedHeight, v != csSimple && v != csOwnerDrawVariable);
  if (HandleAllocated()) RecreateWnd();
}

int TCustomComboBox::ItemIndex() {
  if (HandleAllocated()) return static_cast<int>(SendMessageA(Handle_, CB_GETCURSEL, 0, 0));
  return SavedIndex_;
}

void TCustomComboBox::SetItemIndex(int v) {
  if (HandleAllocated()) {
    if (static_cast<int>(SendMessageA(Handle_, CB_GETCURSEL, 0, 0)) != v)
      SendMessageA(Handle_, CB_SETCURSEL, static_cast<WPARAM>(v), 0);
  } else {
    SavedIndex_ = v;
  }
}

int TCustomComboBox::ItemHeight() {
  if (HandleAllocated() && (Style_ == csOwnerDrawFixed || Style_ == csOwnerDrawVariable)) return ItemHeight_;
  if (HandleAllocated()) return static_cast<int>(SendMessageA(Handle_, CB_GETITEMHEIGHT, 0, 0));
  return ItemHeight_;
}

void TCustomComboBox::SetItemHeight(int v) {
  if (v <= 0 || ItemHeight_ == v) return;
  ItemHeight_ = v;
  if (HandleAllocated() && (Style_ == csOwnerDrawFixed || Style_ == csOwnerDrawVariable)) RecreateWnd();
}

bool TCustomComboBox::DroppedDown() {
  return HandleAllocated() && SendMessageA(Handle_, CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TCustomComboBox::SetDroppedDown(bool v) { SendMessageA(Handle(), CB_SHOWDROPDOWN, v ? 1 : 0, 0); }

void TCustomComboBox::SetSorted(bool v) {
  if (Sorted_ == v) return;
  Sorted_ = v;
  if (HandleAllocated()) {
    RecreateWnd();
  } else if (v) {
    SavedItems_->Sort();
  }
}

void TCustomComboBox::SetMaxLength(int v) {
  MaxLength_ = std::max(0, v);
  if (HandleAllocated()) SendMessageA(Handle_, CB_LIMITTEXT, static_cast<WPARAM>(MaxLength_), 0);
}

void TCustomComboBox::SetCharCase(TEditCharCase v) {
  if (CharCase_ == v) return;
  CharCase_ = v;
  if (HandleAllocated()) RecreateWnd();
}

bool TCustomComboBox::Focused() const {
  if (!Handle_) return false;
  HWND f = GetFocus();
  return f != nullptr && (f == Handle_ || f == EditHandle_ || f == ListHandle_);
}

void TCustomComboBox::Clear() {
  SetText("");
  Items_->Clear();
}

void TCustomComboBox::SelectAll() {
  if (HandleAllocated()) SendMessageA(Handle_, CB_SETEDITSEL, 0, MAKELPARAM(0, 0xFFFF));
}

void TCustomComboBox::Change() {
  auto alive = AliveToken();
  Changed();
  if (*alive) OnChange(this);
}

void TCustomComboBox::Select() {
  if (OnSelect)
    OnSelect(this);
  else
    Change();
}

void TCustomComboBox::DropDown() { OnDropDown(this); }

void TCustomComboBox::AdjustDropDown() {
  if (!HandleAllocated() || Style_ == csSimple) return;
  // The window of a drop-down combo box is as high as the box and its list together; the
  // system keeps that height for the list and shows the box at its own height.
  const int rows = std::clamp(Items_->Count(), 1, std::max(DropDownCount_, 1));
  const int itemHeight = static_cast<int>(SendMessageA(Handle_, CB_GETITEMHEIGHT, 0, 0));
  SetWindowPos(Handle_, nullptr, 0, 0, Width_, Height_ + itemHeight * rows + 2,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
}
void TCustomComboBox::CloseUp() { OnCloseUp(this); }

void TCustomComboBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
  if (OnDrawItem) {
    OnDrawItem(this, Index, Rect, State);
    return;
  }
  Canvas_->FillRect(Rect);
  if (Index >= 0 && Index < Items_->Count()) Canvas_->TextOut(Rect.Left + 2, Rect.Top, Items_->Strings(Index));
}

void TCustomComboBox::MeasureItem(int Index, int& Height) { OnMeasureItem(this, Index, Height); }

void TCustomComboBox::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, "COMBOBOX");
  static const DWORD kStyles[] = {CBS_DROPDOWN, CBS_SIMPLE, CBS_DROPDOWNLIST,
                                  CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS,
                                  CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE | CBS_HASSTRINGS};
  Params.Style |= WS_VSCROLL | CBS_AUTOHSCROLL | kStyles[Style_];
  if (Sorted_) Params.Style |= CBS_SORT;
  if (CharCase_ == ecUpperCase) Params.Style |= CBS_UPPERCASE;
  if (CharCase_ == ecLowerCase) Params.Style |= CBS_LOWERCASE;
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomComboBox::CreateWnd() {
  // The text given while there was no window: the new window has taken it over (and emptied the
  // control's copy), but a combo box ignores the caption it is made with.
  const std::string text = Text_;
  TWinControl::CreateWnd();
  SendMessageA(Handle_, CB_LIMITTEXT, static_cast<WPARAM>(MaxLength_), 0);
  if (Style_ == csOwnerDrawFixed || Style_ == csOwnerDrawVariable)
    SendMessageA(Handle_, CB_SETITEMHEIGHT, 0, ItemHeight_);
  // The items kept while the control had no window go into the new one, in one pass and without
  // the window drawing meanwhile.
  if (SavedItems_->Count() > 0) {
    SendMessageA(Handle_, WM_SETREDRAW, FALSE, 0);
    FillListWindow(Handle_, ComboBoxWindow, *SavedItems_, DefWndProc_);
    SendMessageA(Handle_, WM_SETREDRAW, TRUE, 0);
  }
  // The chosen item stays chosen even when the new window sorts the items differently.
  if (SavedIndex_ >= 0 && SavedIndex_ < SavedItems_->Count()) SavedIndex_ = FindSavedItem(SavedIndex_);
  SavedItems_->Clear();
  if (SavedIndex_ >= 0)
    SendMessageA(Handle_, CB_SETCURSEL, static_cast<WPARAM>(SavedIndex_), 0);
  else if (!text.empty() && Style_ != csDropDownList)
    ::SetWindowTextA(Handle_, text.c_str());
  SavedIndex_ = -1;
  SubclassChildren();
}

int TCustomComboBox::FindSavedItem(int Index) const {
  const std::string text = SavedItems_->Strings(Index);
  TObject* data = SavedItems_->Objects(Index);
  const auto same = [&](int i) {
    return reinterpret_cast<TObject*>(SendMessageA(Handle_, CB_GETITEMDATA, WPARAM(i), 0)) == data &&
           Items_->Strings(i) == text;
  };
  // Unsorted, or sorted as before: the item kept its place.
  if (Index < Items_->Count() && same(Index)) return Index;
  // Otherwise among the items of the same text (the search ignores case; it wraps round at the end).
  LRESULT first = SendMessageA(Handle_, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(text.c_str()));
  for (LRESULT at = first; at != CB_ERR;) {
    if (same(int(at))) return int(at);
    at = SendMessageA(Handle_, CB_FINDSTRINGEXACT, WPARAM(at), reinterpret_cast<LPARAM>(text.c_str()));
    if (at == first) break;
  }
  return Index;
}

void TCustomComboBox::DestroyWnd() {
  if (Handle_) {
    SavedItems_->Clear();
    ReadListWindowItems(Handle_, ComboBoxWindow, *SavedItems_, DefWndProc_);
    SavedIndex_ = static_cast<int>(SendMessageA(Handle_, CB_GETCURSEL, 0, 0));
    RestoreChildren();
  }
  TWinControl::DestroyWnd();
}

void TCustomComboBox::SubclassChildren() {
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  if (!GetComboBoxInfo(Handle_, &info)) return;
  EditHandle_ = Style_ == csDropDown || Style_ == csSimple ? info.hwndItem : nullptr;
  ListHandle_ = info.hwndList;
  if (EditHandle_) {
    SetPropA(EditHandle_, kComboOwnerProp, this);
    EditProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(EditHandle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TCustomComboBox::ChildProc)));
  }
  if (ListHandle_) {
    SetPropA(ListHandle_, kComboOwnerProp, this);
    ListProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(ListHandle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TCustomComboBox::ChildProc)));
  }
}

void TCustomComboBox::RestoreChildren() {
  auto restore = [](HWND& wnd, WNDPROC& proc) {
    if (wnd && IsWindow(wnd)) {
      // Only when nobody subclassed the child after us; otherwise the chain stays intact and
      // ChildProc passes everything on once the owner is gone.
      if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(wnd, GWLP_WNDPROC)) == &TCustomComboBox::ChildProc)
        SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
      else
        SetPropA(wnd, "QvComboOldProc", reinterpret_cast<HANDLE>(proc));
      RemovePropA(wnd, kComboOwnerProp);
    }
    wnd = nullptr;
    proc = nullptr;
  };
  restore(EditHandle_, EditProc_);
  restore(ListHandle_, ListProc_);
}

LRESULT CALLBACK TCustomComboBox::ChildProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* combo = static_cast<TCustomComboBox*>(GetPropA(wnd, kComboOwnerProp));
  if (!combo) {
    auto old = reinterpret_cast<WNDPROC>(GetPropA(wnd, "QvComboOldProc"));
    if (msg == WM_NCDESTROY) RemovePropA(wnd, "QvComboOldProc");
    return old ? CallWindowProcA(old, wnd, msg, wParam, lParam) : DefWindowProcA(wnd, msg, wParam, lParam);
  }
  WNDPROC proc = wnd == combo->EditHandle_ ? combo->EditProc_ : combo->ListProc_;
  TMessage m = MakeMessage(msg, wParam, lParam);
  try {
    combo->ComboWndProc(m, wnd, proc);
  } catch (...) {
    HandleBoundaryException(combo);
  }
  return m.Result;
}

void TCustomComboBox::ComboWndProc(TMessage& Message, HWND ComboWnd, WNDPROC ComboProc) {
  // Keys typed in the edit part reach the combo box's key events first.
  if (ComboWnd == EditHandle_) {
    switch (Message.Msg) {
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
        if (DoKeyDown(Message)) return;
        break;
      case WM_CHAR: {
        if (DoKeyPress(Message)) return;
        const char ch = static_cast<char>(Message.WParam);
        Message.Result = CallWindowProcA(ComboProc, ComboWnd, Message.Msg, Message.WParam, Message.LParam);
        if (AutoComplete_ && Style_ == csDropDown && static_cast<unsigned char>(ch) >= 32) AutoCompleteText();
        return;
      }
      case WM_KEYUP:
      case WM_SYSKEYUP:
        if (DoKeyUp(Message)) return;
        break;
      default: break;
    }
  }
  Message.Result = CallWindowProcA(ComboProc, ComboWnd, Message.Msg, Message.WParam, Message.LParam);
}

void TCustomComboBox::AutoCompleteText() {
  // The typed text (up to the caret) completed by the first item that starts with it.
  DWORD start = 0, end = 0;
  SendMessageA(EditHandle_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const std::string typed = Text().substr(0, start);
  if (typed.empty()) return;
  LRESULT i = SendMessageA(Handle_, CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(typed.c_str()));
  if (i == CB_ERR) return;
  const std::string item = Items_->Strings(static_cast<int>(i));
  if (item.size() <= typed.size()) return;
  SendMessageA(Handle_, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
  ::SetWindowTextA(EditHandle_, (typed + item.substr(typed.size())).c_str());
  SendMessageA(EditHandle_, EM_SETSEL, typed.size(), static_cast<LPARAM>(item.size()));
}

void TCustomComboBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_COMMAND: CNCommand(Message.WParamHi()); return;
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORSTATIC: AnswerCtlColor(this, Message); return;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      // The combo box's own edit field and list show in its colours.
      if (Message.LParam && (HWND(Message.LParam) == EditHandle_ || HWND(Message.LParam) == ListHandle_)) {
        AnswerCtlColor(this, Message);
        return;
      }
      TWinControl::Dispatch(Message);
      return;
    case CN_DRAWITEM:
      CNDrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam));
      Message.Result = 1;
      return;
    case CN_MEASUREITEM:
      CNMeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam));
      Message.Result = 1;
      return;
    default: TWinControl::Dispatch(Message);
  }
}

// The combo box's notifications.
void TCustomComboBox::CNCommand(WORD Notification) {
  auto alive = AliveToken();
  switch (Notification) {
    case CBN_DBLCLK: DblClick(); break;
    case CBN_EDITCHANGE: Change(); break;
    case CBN_DROPDOWN:
      DropDown();
      if (*alive) AdjustDropDown();
      break;
    case CBN_CLOSEUP: CloseUp(); break;
    case CBN_SELCHANGE:
      // The edit part shows the chosen item only after this notification; it is set now so the
      // events read the new text.
      if (ItemIndex() >= 0 && Style_ != csDropDownList) SetText(Items_->Strings(ItemIndex()));
      Click();
      if (*alive) Select();
      break;
    default: break;
  }
}

// An owner-drawn item on the combo box's canvas, in the highlight colours when selected.
void TCustomComboBox::CNDrawItem(DRAWITEMSTRUCT& Item) {
  TOwnerDrawState state = OwnerDrawStateFromODS(Item.itemState);
  CanvasOnDC bind(Canvas_, Item.hDC, Font_);
  Canvas_->Brush()->Assign(Brush_);
  if (state.Contains(odSelected)) {
    Canvas_->Brush()->SetColor(clHighlight);
    Canvas_->Font()->SetColor(clHighlightText);
  }
  DrawItem(static_cast<int>(Item.itemID), FromRECT(Item.rcItem), state);
  if (state.Contains(odFocused) && !state.Contains(odNoFocusRect)) DrawFocusRect(Item.hDC, &Item.rcItem);
}

void TCustomComboBox::CNMeasureItem(MEASUREITEMSTRUCT& Item) {
  int h = ItemHeight_;
  if (Style_ == csOwnerDrawVariable && static_cast<int>(Item.itemID) >= 0)
    MeasureItem(static_cast<int>(Item.itemID), h);
  Item.itemHeight = static_cast<UINT>(std::max(h, 1));
}

// ---- published properties ----------------------------------------------------------------------

static const bool kCustomComboBoxProps = RegisterProperties<TCustomComboBox, TWinControl>([](auto& p) {
  p.Str("Text", &TCustomComboBox::Text, &TCustomComboBox::SetText);
  p.Ord("Style", &TCustomComboBox::Style, &TCustomComboBox::SetStyle);
  p.Obj("Items", &TCustomComboBox::Items, &TCustomComboBox::SetItems);
  p.Ord("ItemIndex", &TCustomComboBox::ItemIndex, &TCustomComboBox::SetItemIndex);
  p.Ord("ItemHeight", &TCustomComboBox::ItemHeight, &TCustomComboBox::SetItemHeight);
  p.Ord("DropDownCount", &TCustomComboBox::DropDownCount, &TCustomComboBox::SetDropDownCount);
  p.Ord("Sorted", &TCustomComboBox::Sorted, &TCustomComboBox::SetSorted);
  p.Ord("AutoComplete", &TCustomComboBox::AutoComplete, &TCustomComboBox::SetAutoComplete);
  p.Ord("MaxLength", &TCustomComboBox::MaxLength, &TCustomComboBox::SetMaxLength);
  p.Ord("CharCase", &TCustomComboBox::CharCase, &TCustomComboBox::SetCharCase);
});
