#include "skin/controls/sQuorvexListBox.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "classlib/GdiScopes.h"
#include "classlib/core/SysUtils.h"
#include "classlib/core/TypInfo.h"
#include "skin/engine/sStyleSimply.h"

namespace {

[[noreturn]] void RaiseCannotInsert() { throw EOutOfResources("Unable to insert a line"); }

}  // namespace

// ---- TListBoxStrings ----------------------------------------------------------------------------------

HWND TListBoxStrings::Wnd() const {
  if (FListBox->HandleAllocated()) return FListBox->Handle();
  if (FListBox->Parent() || FListBox->ParentWindow()) return FListBox->Handle();
  return nullptr;
}

bool TListBoxStrings::Virtual() const { return FListBox->IsVirtual(); }

LRESULT TListBoxStrings::Change(HWND w, UINT Msg, WPARAM WParam, LPARAM LParam) {
  // Between BeginUpdate and EndUpdate nothing is shown: the change goes straight to the system
  // window, and the control, its frame and its bars follow once at EndUpdate.
  if (UpdateCount() > 0 && FListBox->DefWndProc())
    return CallWindowProcA(FListBox->DefWndProc(), w, Msg, WParam, LParam);
  return SendMessageA(w, Msg, WParam, LParam);
}

int TListBoxStrings::Count() const {
  if (HWND w = Wnd()) return int(SendMessageA(w, LB_GETCOUNT, 0, 0));
  if (Virtual()) return FListBox->FCount;
  return FListBox->FSaveItems ? FListBox->FSaveItems->Count() : 0;
}

std::string TListBoxStrings::Get(int index) const {
  if (Virtual()) return FListBox->VirtualText(index);
  HWND w = Wnd();
  if (!w) {
    if (!FListBox->FSaveItems) RaiseListIndexError(index);
    return FListBox->FSaveItems->Strings(index);
  }
  const LRESULT len = SendMessageA(w, LB_GETTEXTLEN, WPARAM(index), 0);
  if (len == LB_ERR) RaiseListIndexError(index);
  std::string s(std::size_t(len) + 1, '\0');
  const LRESULT got = SendMessageA(w, LB_GETTEXT, WPARAM(index), reinterpret_cast<LPARAM>(s.data()));
  s.resize(std::size_t(std::max<LRESULT>(0, std::min(got, len))));
  return s;
}

TObject* TListBoxStrings::GetObject(int index) const {
  if (Virtual()) {
    TObject* object = nullptr;
    FListBox->OnDataObject(FListBox, index, object);
    return object;
  }
  HWND w = Wnd();
  if (!w) return FListBox->FSaveItems ? FListBox->FSaveItems->Objects(index) : nullptr;
  const LRESULT data = SendMessageA(w, LB_GETITEMDATA, WPARAM(index), 0);
  if (data == LB_ERR) RaiseListIndexError(index);
  return reinterpret_cast<TObject*>(data);
}

void TListBoxStrings::Put(int index, const std::string& s) {
  if (Virtual()) return;
  const int current = FListBox->ItemIndex();
  const bool selected = FListBox->MultiSelect() && FListBox->Selected(index);
  TObject* object = GetObject(index);
  Delete(index);
  InsertObject(index, s, object);
  if (FListBox->MultiSelect()) FListBox->SetSelected(index, selected);
  FListBox->SetItemIndex(current);
}

void TListBoxStrings::PutObject(int index, TObject* object) {
  if (Virtual()) return;
  HWND w = Wnd();
  if (!w) {
    if (FListBox->FSaveItems) FListBox->FSaveItems->SetObjects(index, object);
    return;
  }
  if (SendMessageA(w, LB_SETITEMDATA, WPARAM(index), reinterpret_cast<LPARAM>(object)) == LB_ERR)
    RaiseListIndexError(index);
}

int TListBoxStrings::InsertAt(int index, const std::string& s) {
  HWND w = Wnd();
  if (!w) {
    if (!FListBox->FSaveItems) FListBox->FSaveItems = new TStringList();
    if (index < 0) return FListBox->FSaveItems->Add(s);
    FListBox->FSaveItems->Insert(index, s);
    return index;
  }
  const LRESULT r = index < 0 ? Change(w, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()))
                              : Change(w, LB_INSERTSTRING, WPARAM(index), reinterpret_cast<LPARAM>(s.c_str()));
  if (r < 0) RaiseCannotInsert();
  return int(r);
}

int TListBoxStrings::Add(const std::string& s) {
  if (Virtual()) return -1;
  return InsertAt(-1, s);
}

void TListBoxStrings::Insert(int index, const std::string& s) {
  if (Virtual()) return;
  InsertAt(index, s);
}

void TListBoxStrings::Delete(int index) {
  HWND w = Wnd();
  if (!w) {
    if (FListBox->FSaveItems) FListBox->FSaveItems->Delete(index);
    return;
  }
  Change(w, LB_DELETESTRING, WPARAM(index), 0);
}

void TListBoxStrings::Clear() {
  if (Virtual()) return;
  if (HWND w = Wnd())
    SendMessageA(w, LB_RESETCONTENT, 0, 0);
  else if (FListBox->FSaveItems)
    FListBox->FSaveItems->Clear();
}

int TListBoxStrings::IndexOf(const std::string& s) const {
  if (Virtual()) return FListBox->OnDataFind ? FListBox->OnDataFind(FListBox, s) : -1;
  HWND w = Wnd();
  if (!w) return FListBox->FSaveItems ? FListBox->FSaveItems->IndexOf(s) : -1;
  const LRESULT r = SendMessageA(w, LB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(s.c_str()));
  return r == LB_ERR ? -1 : int(r);
}

void TListBoxStrings::Exchange(int index1, int index2) {
  if (Virtual() || index1 == index2) return;
  const int current = FListBox->ItemIndex();
  BeginUpdate();
  const std::string s1 = Strings(index1), s2 = Strings(index2);
  TObject* o1 = Objects(index1);
  TObject* o2 = Objects(index2);
  Put(index1, s2);
  PutObject(index1, o2);
  Put(index2, s1);
  PutObject(index2, o1);
  // The current item stays on its string.
  if (current == index1)
    FListBox->SetItemIndex(index2);
  else if (current == index2)
    FListBox->SetItemIndex(index1);
  EndUpdate();
}

void TListBoxStrings::Move(int curIndex, int newIndex) {
  if (Virtual() || curIndex == newIndex) return;
  HWND w = Wnd();
  if (!w) {
    TStrings::Move(curIndex, newIndex);
    return;
  }
  BeginUpdate();
  FMoving = true;
  const std::string s = Strings(curIndex);
  const LRESULT data = SendMessageA(w, LB_GETITEMDATA, WPARAM(curIndex), 0);
  SendMessageA(w, LB_SETITEMDATA, WPARAM(curIndex), 0);
  Delete(curIndex);
  Insert(newIndex, s);
  SendMessageA(w, LB_SETITEMDATA, WPARAM(newIndex), data);
  FMoving = false;
  EndUpdate();
}

void TListBoxStrings::SetUpdateState(bool updating) {
  if (!FListBox->HandleAllocated()) return;
  HWND w = FListBox->Handle();
  TsCommonData* sd = FListBox->SkinData();
  // Neither the window nor its skinned frame and bars paint per item meanwhile.
  SendMessageA(w, WM_SETREDRAW, updating ? 0 : 1, 0);
  sd->SetUpdating(updating);
  if (updating) return;
  if (FListBox->FScrollWnd) FListBox->FScrollWnd->RefreshBars(false);
  RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
  FListBox->Refresh();
}

// ---- TsQuorvexListBox: construction and properties -----------------------------------------------------

TsQuorvexListBox::TsQuorvexListBox(TComponent* AOwner) : TacSkinnedControl<TWinControl>(AOwner, tcCustomEdit, true) {
  ControlStyle_ = TControlStyle{csSetCaption, csDoubleClicks};
  SetBounds(0, 0, 121, 97);
  TabStop_ = true;
  ParentColor_ = false;
  Color_ = clWindow;
  FItems = new TListBoxStrings(this);
  FCanvas = new TControlCanvas();
  FCanvas->SetControl(this);
  if (FSkinData->SkinSection().empty()) FSkinData->SetSkinSection("EDIT");
  FBoundLabel = new TsBoundLabel(FSkinData);
}

TsQuorvexListBox::~TsQuorvexListBox() {
  FScrollWnd.reset();
  delete FBoundLabel;
  FBoundLabel = nullptr;
  delete FCanvas;
  FCanvas = nullptr;
  delete FItems;
  FItems = nullptr;
  delete FSaveItems;
  FSaveItems = nullptr;
}

void TsQuorvexListBox::StyleChanged() {
  if (!Loading() && HandleAllocated()) RecreateWnd();
}

void TsQuorvexListBox::SetAutoHideScroll(bool Value) {
  if (FAutoHideScroll == Value) return;
  FAutoHideScroll = Value;
  StyleChanged();
}

void TsQuorvexListBox::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  StyleChanged();
}

void TsQuorvexListBox::SetColumns(int Value) {
  if (FColumns == Value) return;
  const bool both = FColumns != 0 && Value != 0;
  FColumns = Value;
  if (both)
    SetColumnWidth();
  else
    StyleChanged();
}

void TsQuorvexListBox::SetColumnWidth() {
  // Without columns there is nothing to divide.
  if (!HandleAllocated() || FColumns == 0) return;
  SendMessageA(Handle_, LB_SETCOLUMNWIDTH, WPARAM(std::max(1, (Width_ + FColumns - 1) / FColumns)), 0);
}

void TsQuorvexListBox::SetDisabledKind(TsDisabledKind Value) {
  if (FDisabledKind == Value) return;
  FDisabledKind = Value;
  FSkinData->Invalidate();
}

void TsQuorvexListBox::SetExtendedSelect(bool Value) {
  if (FExtendedSelect == Value) return;
  FExtendedSelect = Value;
  StyleChanged();
}

void TsQuorvexListBox::SetIntegralHeight(bool Value) {
  if (FIntegralHeight == Value) return;
  FIntegralHeight = Value;
  StyleChanged();
}

int TsQuorvexListBox::ItemHeight() const {
  if (FStyle == lbStandard && HandleAllocated()) {
    RECT r{};
    if (SendMessageA(Handle_, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r)) != LB_ERR && r.bottom > r.top)
      return r.bottom - r.top;
    return int(SendMessageA(Handle_, LB_GETITEMHEIGHT, 0, 0));
  }
  return FItemHeight;
}

void TsQuorvexListBox::SetItemHeight(int Value) {
  if (Value <= 0 || FItemHeight == Value) return;
  FItemHeight = Value;
  StyleChanged();
}

void TsQuorvexListBox::SetItems(TStrings* Value) {
  // A list of its own turns a virtual list into the matching plain one.
  if (FStyle == lbVirtual)
    SetStyle(lbStandard);
  else if (FStyle == lbVirtualOwnerDraw)
    SetStyle(lbOwnerDrawFixed);
  FItems->Assign(Value);
}

void TsQuorvexListBox::SetMultiSelect(bool Value) {
  if (FMultiSelect == Value) return;
  FMultiSelect = Value;
  StyleChanged();
}

void TsQuorvexListBox::SetSorted(bool Value) {
  if (IsVirtual() || FSorted == Value) return;
  FSorted = Value;
  StyleChanged();
}

void TsQuorvexListBox::SetStyle(TListBoxStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  if (IsVirtual()) FSorted = false;
  StyleChanged();
}

void TsQuorvexListBox::SetTabWidth(int Value) {
  if (FTabWidth == Value) return;
  FTabWidth = Value;
  StyleChanged();
}

// ---- the list ---------------------------------------------------------------------------------------

int TsQuorvexListBox::Count() const {
  if (IsVirtual()) return HandleAllocated() ? int(SendMessageA(Handle_, LB_GETCOUNT, 0, 0)) : FCount;
  return FItems->Count();
}

void TsQuorvexListBox::SetCount(int Value) {
  if (!IsVirtual()) return;
  FCount = std::max(0, Value);
  if (HandleAllocated()) SendMessageA(Handle_, LB_SETCOUNT, WPARAM(FCount), 0);
}

int TsQuorvexListBox::ItemIndex() const {
  if (!HandleAllocated()) return FSaveItemIndex;
  return int(SendMessageA(Handle_, FMultiSelect ? LB_GETCARETINDEX : LB_GETCURSEL, 0, 0));
}

void TsQuorvexListBox::SetItemIndex(int Value) {
  if (!HandleAllocated() && !Parent_ && !ParentWindow_) {
    FSaveItemIndex = Value;
    return;
  }
  const int old = ItemIndex();
  if (old == Value) return;
  if (FMultiSelect)
    SendMessageA(Handle(), LB_SETCARETINDEX, WPARAM(Value), 0);
  else
    SendMessageA(Handle(), LB_SETCURSEL, WPARAM(Value), 0);
  // The system window redraws what it draws itself; an item drawn here is drawn here again.
  if (old >= 0 && FStyle != lbStandard) RepaintItem(old);
}

bool TsQuorvexListBox::Selected(int Index) const {
  if (!HandleAllocated()) return !FMultiSelect && Index >= 0 && Index == FSaveItemIndex;
  return SendMessageA(Handle_, LB_GETSEL, WPARAM(Index), 0) > 0;
}

void TsQuorvexListBox::SetSelected(int Index, bool Value) {
  if (FMultiSelect) {
    if (SendMessageA(Handle(), LB_SETSEL, Value ? TRUE : FALSE, Index) == LB_ERR) RaiseListIndexError(Index);
    return;
  }
  if (Index < 0 || Index >= Count()) RaiseListIndexError(Index);
  if (Value)
    SetItemIndex(Index);
  else if (ItemIndex() == Index)
    SetItemIndex(-1);
}

int TsQuorvexListBox::TopIndex() const {
  if (!HandleAllocated()) return FSaveTopIndex;
  return int(SendMessageA(Handle_, LB_GETTOPINDEX, 0, 0));
}

void TsQuorvexListBox::SetTopIndex(int Value) {
  if (!HandleAllocated()) {
    FSaveTopIndex = Value;
    return;
  }
  if (TopIndex() != Value) SendMessageA(Handle_, LB_SETTOPINDEX, WPARAM(Value), 0);
}

LRESULT TsQuorvexListBox::GetItemData(int Index) const {
  return HandleAllocated() ? SendMessageA(Handle_, LB_GETITEMDATA, WPARAM(Index), 0) : LB_ERR;
}

void TsQuorvexListBox::SetItemData(int Index, LRESULT Data) {
  if (HandleAllocated()) SendMessageA(Handle_, LB_SETITEMDATA, WPARAM(Index), Data);
}

int TsQuorvexListBox::ItemAtPos(TPoint Pos, bool Existing) const {
  if (!HandleAllocated() || !ClientRect().Contains(Pos)) return -1;
  const int count = Count();
  const int bottom = ClientHeight();
  for (int i = std::max(0, TopIndex()); i < count; ++i) {
    RECT r{};
    if (SendMessageA(Handle_, LB_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&r)) == LB_ERR) break;
    if (TRect{r.left, r.top, r.right, r.bottom}.Contains(Pos)) return i;
    // Items below the client area (one column) or right of it (columns) are not looked at.
    if ((FColumns == 0 && r.top > bottom) || r.left > ClientWidth()) break;
  }
  return Existing ? -1 : count;
}

TRect TsQuorvexListBox::ItemRect(int Index) const {
  const int count = Count();
  if (!HandleAllocated() || Index < 0 || Index > count) return TRect{};
  RECT r{};
  if (Index < count || Index == 0) {
    SendMessageA(Handle_, LB_GETITEMRECT, WPARAM(Index), reinterpret_cast<LPARAM>(&r));
    return TRect{r.left, r.top, r.right, r.bottom};
  }
  SendMessageA(Handle_, LB_GETITEMRECT, WPARAM(count - 1), reinterpret_cast<LPARAM>(&r));
  const int h = r.bottom - r.top;
  return TRect{r.left, r.top + h, r.right, r.bottom + h};
}

void TsQuorvexListBox::ClearSelection() {
  if (FMultiSelect) {
    if (HandleAllocated()) SendMessageA(Handle_, LB_SETSEL, FALSE, -1);
  } else {
    SetItemIndex(-1);
  }
}

void TsQuorvexListBox::DeleteString(int Index) { FItems->Delete(Index); }

std::string TsQuorvexListBox::VirtualText(int Index) {
  std::string s;
  OnData(this, Index, s);
  return s;
}

// ---- painting -------------------------------------------------------------------------------------------

void TsQuorvexListBox::PrepareCache() {
  FSkinData->InitCacheBmp();
  const TsCacheInfo ci = AskParentCache(FSkinData);
  PaintControlItem(FSkinData, ci, true, FSkinData->IsHot() ? 1 : 0, Rect(0, 0, Width_, Height_), Point(Left_, Top_),
                   FSkinData->CacheBmp, false);
  if (!Enabled()) ApplyDisabledLook(FSkinData->CacheBmp, FDisabledKind, Parent_, ci, Point(Left_, Top_));
  FSkinData->BGChanged = false;
}

void TsQuorvexListBox::RepaintItem(int Index) {
  if (!HandleAllocated()) return;
  const TRect r = ItemRect(Index);
  TRect shown{};
  const TRect client = ClientRect();
  if (!IntersectRect(reinterpret_cast<RECT*>(&shown), reinterpret_cast<const RECT*>(&r),
                     reinterpret_cast<const RECT*>(&client)))
    return;
  const ClientDC dc(Handle_, PrintDC);
  if (!dc) return;
  const SavedDC saved(dc);
  FCanvas->Lock();
  DRAWITEMSTRUCT dis{};
  dis.CtlType = ODT_LISTBOX;
  dis.itemID = UINT(Index);
  dis.itemAction = ODA_DRAWENTIRE;
  if (FMultiSelect && Selected(Index)) dis.itemState |= ODS_SELECTED;
  if (Index == ItemIndex() && Focused()) dis.itemState |= ODS_SELECTED | ODS_FOCUS;
  dis.hwndItem = Handle_;
  dis.hDC = dc;
  dis.rcItem = RECT{r.Left, r.Top, r.Right, r.Bottom};
  dis.itemData = ULONG_PTR(GetItemData(Index));
  Perform(CN_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
  FCanvas->Unlock();
}

bool TsQuorvexListBox::OwnerDrawsWithHandler() const {
  return (FStyle == lbOwnerDrawFixed || FStyle == lbOwnerDrawVariable || FStyle == lbVirtualOwnerDraw) &&
         OnDrawItem.Assigned();
}

void TsQuorvexListBox::MeasureItem(int Index, int& Height) { OnMeasureItem(this, Index, Height); }

void TsQuorvexListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
  if (Index < 0) return;
  FCanvas->FillRect(Rect);
  if (OnDrawItem.Assigned() && OwnerDrawsWithHandler()) {
    OnDrawItem(this, Index, Rect, State);
  } else if (Index < Count()) {
    const std::string text = IsVirtual() ? VirtualText(Index) : FItems->Strings(Index);
    TRect r = Rect;
    if (UseRightToLeftAlignment())
      r.Right -= 2;
    else
      r.Left += 2;
    HDC dc = FCanvas->Handle();
    SetBkMode(dc, TRANSPARENT);
    DrawTextStr(dc, text, r, DrawTextBiDiModeFlags(DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX));
  }
  if (State.Contains(odFocused)) FCanvas->DrawFocusRect(Rect);
}

void TsQuorvexListBox::DrawItemMessage(TMessage& Message) {
  auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
  Message.Result = 1;
  if (!dis) return;
  if (FrameSkinned(this, FSkinData, false) && RefreshUpdating(FSkinData)) return;
  if (Count() < 1) return;
  const int index = int(dis->itemID);
  const TOwnerDrawState state = OwnerDrawStateFromODS(dis->itemState);
  FCanvas->SetHandle(dis->hDC);
  FCanvas->Font()->Assign(Font());
  FCanvas->Brush()->Assign(Brush());
  if (!OwnerDrawsWithHandler() && index >= 0) {
    if ((dis->itemState & ODS_SELECTED) || (index == ItemIndex() && !Focused())) {
      FCanvas->Brush()->SetColor(clHighlight);
      FCanvas->Font()->SetColor(clHighlightText);
    } else if (!FSkinData->CustomFont) {
      FCanvas->Font()->SetColor(Enabled() ? Font()->Color() : AverageColor(Font()->Color(), Color()));
    }
  }
  auto alive = AliveToken();
  DrawItem(index, TRect{dis->rcItem.left, dis->rcItem.top, dis->rcItem.right, dis->rcItem.bottom}, state);
  if (*alive) FCanvas->SetHandle(nullptr);
}

void TsQuorvexListBox::MeasureItemMessage(TMessage& Message) {
  auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
  Message.Result = 1;
  if (!mis) return;
  int height = FItemHeight;
  if (FStyle == lbOwnerDrawVariable) MeasureItem(int(mis->itemID), height);
  mis->itemHeight = UINT(std::max(0, height));
}

void TsQuorvexListBox::PaintDisabled(TMessage& Message) {
  const PaintScope paint(Handle_, reinterpret_cast<HDC>(Message.WParam));
  const TRect client = ClientRect();
  FillRectColor(paint, client, Color());
  const int count = Count();
  for (int i = std::max(0, TopIndex()); i < count; ++i) {
    RECT r{};
    if (SendMessageA(Handle_, LB_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&r)) == LB_ERR) break;
    if ((FColumns == 0 && r.top >= client.Bottom) || r.left >= client.Right) break;
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_LISTBOX;
    dis.itemID = UINT(i);
    dis.itemAction = ODA_DRAWENTIRE;
    dis.hwndItem = Handle_;
    dis.hDC = paint;
    dis.rcItem = r;
    TMessage m = MakeMessage(CN_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
    DrawItemMessage(m);
  }
  Message.Result = 0;
}

void TsQuorvexListBox::PrintMessage(TMessage& Message) {
  HDC dc = reinterpret_cast<HDC>(Message.WParam);
  if (!PrintDC || !dc) {
    DefaultHandler(Message);
    return;
  }
  const SavedDC saved(dc);
  POINT org{};
  GetWindowOrgEx(dc, &org);
  SetWindowOrgEx(dc, org.x - 2, org.y - 2, nullptr);
  int w = ClientWidth(), h = ClientHeight();
  if (FScrollWnd) {
    w -= FScrollWnd->BarRoom(true);
    h -= FScrollWnd->BarRoom(false);
  }
  IntersectClipRect(dc, 0, 0, w, h);
  for (int i = 0, count = Count(); i < count; ++i) RepaintItem(i);
  Message.Result = 1;
}

// ---- window ---------------------------------------------------------------------------------------------

void TsQuorvexListBox::CreateParams(TCreateParams& Params) {
  TacSkinnedControl<TWinControl>::CreateParams(Params);
  CreateSubClass(Params, "LISTBOX");
  Params.Style |= WS_VSCROLL | LBS_NOTIFY;
  Params.Style |= IsVirtual() ? LBS_NODATA : LBS_HASSTRINGS;
  if (FStyle == lbOwnerDrawFixed || IsVirtual()) Params.Style |= LBS_OWNERDRAWFIXED;
  if (FStyle == lbOwnerDrawVariable) Params.Style |= LBS_OWNERDRAWVARIABLE;
  if (FSorted) Params.Style |= LBS_SORT;
  if (FMultiSelect) Params.Style |= FExtendedSelect ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
  if (!FIntegralHeight) Params.Style |= LBS_NOINTEGRALHEIGHT;
  if (FColumns != 0) Params.Style |= LBS_MULTICOLUMN | WS_HSCROLL;
  if (FBorderStyle == bsSingle) {
    if (Ctl3D_)
      Params.ExStyle |= WS_EX_CLIENTEDGE;
    else
      Params.Style |= WS_BORDER;
  }
  if (FTabWidth != 0) Params.Style |= LBS_USETABSTOPS;
  if (!FAutoHideScroll) Params.Style |= LBS_DISABLENOSCROLL;
  Params.WindowClass.style &= ~UINT(CS_VREDRAW);
  if (!UseRightToLeftAlignment()) Params.WindowClass.style &= ~UINT(CS_HREDRAW);
}

void TsQuorvexListBox::CreateWnd() {
  TacSkinnedControl<TWinControl>::CreateWnd();
  SetWindowPos(Handle_, nullptr, Left_, Top_, Width_, Height_, SWP_NOZORDER | SWP_NOACTIVATE);
  if (FTabWidth != 0) SendMessageA(Handle_, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&FTabWidth));
  SetColumnWidth();
  if (IsVirtual()) {
    if (FSaveCount >= 0) FCount = FSaveCount;
    if (FCount > 0) SendMessageA(Handle_, LB_SETCOUNT, WPARAM(FCount), 0);
  } else if (FSaveItems) {
    // The items go back in one pass, storage reserved for all of them, nothing shown meanwhile.
    std::unique_ptr<TStringList> saved(FSaveItems);
    FSaveItems = nullptr;
    FItems->BeginUpdate();
    FillListWindow(Handle_, ListBoxWindow, *saved, DefWndProc());
    FItems->EndUpdate();
  }
  SetTopIndex(FSaveTopIndex);
  SetItemIndex(FSaveItemIndex);
  FSaveCount = -1;
}

void TsQuorvexListBox::DestroyWnd() {
  // A window made again gets the items back; one that goes with its control keeps nothing.
  if (HandleAllocated() && !IsDying(this)) {
    const int count = Count();
    if (IsVirtual()) {
      FSaveCount = count;
    } else if (count > 0) {
      auto* saved = new TStringList();
      ReadListWindowItems(Handle_, ListBoxWindow, *saved, DefWndProc());
      delete FSaveItems;
      FSaveItems = saved;
    }
    FSaveTopIndex = TopIndex();
    FSaveItemIndex = ItemIndex();
  }
  FScrollWnd.reset();
  TacSkinnedControl<TWinControl>::DestroyWnd();
}

void TsQuorvexListBox::ApplySkinColors() {
  const TsGeneralData* gd = SectionOf(FSkinData);
  if (!gd) return;
  if (!FSkinData->CustomColor && Color() != TColor(gd->Color)) SetColor(TColor(gd->Color));
  if (!FSkinData->CustomFont && Font()->Color() != TColor(gd->FontColor.Text()))
    Font()->SetColor(TColor(gd->FontColor.Text()));
}

void TsQuorvexListBox::Loaded() {
  TacSkinnedControl<TWinControl>::Loaded();
  if (FSkinData->Skinned()) ApplySkinColors();
}

void TsQuorvexListBox::KeyPress(char& Key) {
  auto alive = AliveToken();
  TacSkinnedControl<TWinControl>::KeyPress(Key);
  if (!*alive || !FAutoComplete || Key == 0) return;
  // Enter, Esc and the other control keys but backspace are no part of what is searched for: they
  // neither start a search anew nor move the selection. Enter and Esc go on to the window.
  if (BYTE(Key) < 32 && Key != '\b') {
    if (Key != '\r' && Key != 27) Key = 0;
    return;
  }
  const DWORD now = GetTickCount();
  if (now - FLastTime >= FAutoCompleteDelay) FFilter.clear();
  FLastTime = now;
  if (Key == '\b') {
    if (!FFilter.empty()) {
      const std::size_t n = FFilter.size();
      const bool wide = n >= 2 && IsDBCSLeadByte(BYTE(FFilter[n - 2]));
      FFilter.resize(n - (wide ? 2 : 1));
    }
  } else if (IsDBCSLeadByte(BYTE(Key))) {
    // The two bytes of a double-byte character come as two characters.
    MSG msg{};
    FFilter += Key;
    if (PeekMessageA(&msg, Handle_, WM_CHAR, WM_CHAR, PM_REMOVE)) FFilter += char(msg.wParam);
    Key = 0;
  } else {
    FFilter += Key;
  }
  if (FFilter.empty()) {
    SetItemIndex(0);
    if (*alive) Click();
  } else {
    int found = -1;
    if (IsVirtual()) {
      if (OnDataFind) found = OnDataFind(this, FFilter);
    } else {
      const LRESULT r = SendMessageA(Handle_, LB_FINDSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(FFilter.c_str()));
      found = r == LB_ERR ? -1 : int(r);
    }
    if (found >= 0) {
      if (FMultiSelect) {
        ClearSelection();
        SendMessageA(Handle_, LB_SELITEMRANGE, TRUE, MAKELPARAM(found, found));
      }
      SetItemIndex(found);
      if (*alive) Click();
    }
  }
  if (*alive && Key != '\b') Key = 0;
}

// ---- window procedure -------------------------------------------------------------------------------------

void TsQuorvexListBox::WndProc(TMessage& Message) {
  auto alive = AliveToken();
  TacSkinnedControl<TWinControl>::WndProc(Message);
  if (!*alive) return;
  if (Message.Msg == WM_VSCROLL) OnVScroll(this);
  if (*alive) FollowBoundLabel(FBoundLabel, this, Message);
}

void TsQuorvexListBox::BeforeSkinChange(int Command) {
  if (Command == QC_SKINREMOVED) FScrollWnd.reset();
}

void TsQuorvexListBox::AfterSkinChange(int Command) {
  if (!HandleAllocated()) return;
  if (Command == QC_REFRESH) {
    if (FSkinData->Skinned()) ApplySkinColors();
    UpdateControlScrollBars(FSkinData, FScrollWnd);
    if (SkinSwitchRunning()) return;
    Repaint();
    SendMessageA(Handle_, WM_NCPAINT, 0, 0);
  } else if (Command == QC_SKINREMOVED) {
    if (!FSkinData->CustomColor) SetColor(clWindow);
    if (!FSkinData->CustomFont) Font()->SetColor(clWindowText);
    RedrawWindow(Handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
  }
}

void TsQuorvexListBox::RepaintAfterUpdate() {
  if (!HandleAllocated()) return;
  RedrawWindow(Handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
  SendMessageA(Handle_, WM_NCPAINT, 0, 0);
}

bool TsQuorvexListBox::AfterCommonMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (!IsDesigning(this) && DragMode_ == dmAutomatic && !Dragging()) {
        // Past the class library's automatic drag: the list handles the press first.
        ControlState_.Include(csLButtonDown);
        Dispatch(Message);
        return true;
      }
      return false;
    case WM_SIZE:
    case WM_WINDOWPOSCHANGING:
      if (!Loading() && !ControlState_.Contains(csCreating)) FSkinData->BGChanged = true;
      return false;
    case WM_PAINT:
      if (!Enabled() && FStyle == lbStandard) {
        PaintDisabled(Message);
        return true;
      }
      return false;
    default: return false;
  }
}

void TsQuorvexListBox::AfterInherited(TMessage& Message) {
  switch (Message.Msg) {
    case CM_COLORCHANGED: ApplySkinColors(); break;
    case CM_SHOWINGCHANGED: UpdateControlScrollBars(FSkinData, FScrollWnd); break;
    case WM_SIZE:
    case CM_ENABLEDCHANGED: SetColumnWidth(); break;
    case WM_WINDOWPOSCHANGING:
      if (FSkinData->BGChanged)
        RedrawWindow(Handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
      break;
    case LB_SETCURSEL:
      if (FScrollWnd) FScrollWnd->RefreshBars(true);
      break;
    default: break;
  }
}

void TsQuorvexListBox::ButtonDownMessage(TMessage& Message) {
  if (DragMode_ != dmAutomatic || Dragging() || IsDesigning(this)) {
    TacSkinnedControl<TWinControl>::Dispatch(Message);
    return;
  }
  const TShiftState shift = KeysToShiftState(Message.WParam);
  const bool ctrl = shift.Contains(ssCtrl), shiftKey = shift.Contains(ssShift);
  if (FMultiSelect) {
    const int item = ItemAtPos(Point(Message.LParamX(), Message.LParamY()), true);
    // A press on a selected item drags the whole selection as it is.
    if (item >= 0 && Selected(item) && (!shiftKey || ctrl)) {
      BeginDrag(false);
      return;
    }
  }
  auto alive = AliveToken();
  TacSkinnedControl<TWinControl>::Dispatch(Message);
  if (!*alive) return;
  if (!(FMultiSelect && (ctrl || shiftKey))) BeginDrag(false);
}

void TsQuorvexListBox::TextMessage(TMessage& Message) {
  if (!IsVirtual()) {
    DefaultHandler(Message);
    return;
  }
  const int index = int(Message.WParam);
  if (index < 0 || index >= Count()) {
    Message.Result = LB_ERR;
    return;
  }
  const std::string text = VirtualText(index);
  if (Message.Msg == LB_GETTEXT && Message.LParam) {
    std::memcpy(reinterpret_cast<char*>(Message.LParam), text.c_str(), text.size() + 1);
  }
  Message.Result = LRESULT(text.size());
}

void TsQuorvexListBox::EnabledChanged(TMessage& Message) {
  FSkinData->BGChanged = true;
  if (HandleAllocated()) {
    InvalidateRect(Handle_, nullptr, TRUE);
    SendMessageA(Handle_, WM_NCPAINT, 0, 0);
  }
  TacSkinnedControl<TWinControl>::Dispatch(Message);
}

void TsQuorvexListBox::FontChanged(TMessage& Message) {
  auto alive = AliveToken();
  TacSkinnedControl<TWinControl>::Dispatch(Message);
  if (!*alive) return;
  FSkinData->BGChanged = true;
  // The standard list measures its items by the font. The list is painted again in its turn: the
  // font may change inside a paint of its frame, where a paint of the items now would be erased.
  if (FStyle == lbStandard && HandleAllocated()) FItemHeight = ItemHeight();
  Invalidate();
}

void TsQuorvexListBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_COMMAND:
      if (Message.WParamHi() == LBN_SELCHANGE)
        Click();
      else if (Message.WParamHi() == LBN_DBLCLK)
        DblClick();
      return;
    case CN_DRAWITEM: DrawItemMessage(Message); return;
    case CN_MEASUREITEM: MeasureItemMessage(Message); return;
    case CM_CTL3DCHANGED:
      if (FBorderStyle == bsSingle) StyleChanged();
      TacSkinnedControl<TWinControl>::Dispatch(Message);
      return;
    case CM_ENABLEDCHANGED: EnabledChanged(Message); return;
    case CM_FONTCHANGED: FontChanged(Message); return;
    case WM_LBUTTONDOWN: ButtonDownMessage(Message); return;
    case WM_PRINT: PrintMessage(Message); return;
    case LB_GETTEXT:
    case LB_GETTEXTLEN: TextMessage(Message); return;
    default: TacSkinnedControl<TWinControl>::Dispatch(Message);
  }
}

// ---- published properties ------------------------------------------------------------------------------------

namespace {
const bool kListBoxProps = RegisterProperties<TsQuorvexListBox, TWinControl>([](auto& p) {
  p.Obj("SkinData", &TsQuorvexListBox::SkinData);
  p.Obj("BoundLabel", &TsQuorvexListBox::BoundLabel);
  p.Obj("Items", &TsQuorvexListBox::Items, &TsQuorvexListBox::SetItems);
  p.Ord("AutoCompleteDelay", &TsQuorvexListBox::AutoCompleteDelay, &TsQuorvexListBox::SetAutoCompleteDelay);
  p.Ord("AutoComplete", &TsQuorvexListBox::AutoComplete, &TsQuorvexListBox::SetAutoComplete);
  p.Ord("AutoHideScroll", &TsQuorvexListBox::AutoHideScroll, &TsQuorvexListBox::SetAutoHideScroll);
  p.Ord("BorderStyle", &TsQuorvexListBox::BorderStyle, &TsQuorvexListBox::SetBorderStyle);
  p.Ord("Columns", &TsQuorvexListBox::Columns, &TsQuorvexListBox::SetColumns);
  p.Set("DisabledKind", &TsQuorvexListBox::DisabledKind, &TsQuorvexListBox::SetDisabledKind, {"dkBlended", "dkGrayed"});
  p.Ord("IntegralHeight", &TsQuorvexListBox::IntegralHeight, &TsQuorvexListBox::SetIntegralHeight);
  p.Ord("ItemHeight", &TsQuorvexListBox::ItemHeight, &TsQuorvexListBox::SetItemHeight);
  p.Ord("Sorted", &TsQuorvexListBox::Sorted, &TsQuorvexListBox::SetSorted);
  p.Ord("Style", &TsQuorvexListBox::Style, &TsQuorvexListBox::SetStyle);
  p.Ord("TabWidth", &TsQuorvexListBox::TabWidth, &TsQuorvexListBox::SetTabWidth);
});
const bool kPlainListBoxProps = RegisterProperties<TsListBox, TsQuorvexListBox>([](auto& p) {
  p.Ord("MultiSelect", &TsListBox::MultiSelect, &TsListBox::SetMultiSelect);
  p.Ord("ExtendedSelect", &TsListBox::ExtendedSelect, &TsListBox::SetExtendedSelect);
});
}  // namespace
