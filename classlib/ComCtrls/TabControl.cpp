// TCustomTabControl and its tab list TTabStrings.
#include "classlib/ComCtrls.h"

#include "classlib/core/TypInfo.h"

namespace {

std::string TabText(HWND wnd, int index) {
  char buf[256] = {};
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  item.pszText = buf;
  item.cchTextMax = sizeof buf;
  if (!SendMessageA(wnd, TCM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)))
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return buf;
}

}  // namespace

// ---- TTabStrings ------------------------------------------------------------------------------

int TTabStrings::Count() const {
  if (Tabs_->HandleAllocated()) return static_cast<int>(SendMessageA(Tabs_->Handle_, TCM_GETITEMCOUNT, 0, 0));
  return Tabs_->SavedTabs_->Count();
}

std::string TTabStrings::Get(int index) const {
  if (!Tabs_->HandleAllocated()) return Tabs_->SavedTabs_->Strings(index);
  return TabText(Tabs_->Handle_, index);
}

void TTabStrings::Put(int index, const std::string& s) {
  if (!Tabs_->HandleAllocated()) {
    Tabs_->SavedTabs_->SetStrings(index, s);
    return;
  }
  TCITEMA item{};
  item.mask = TCIF_TEXT | TCIF_IMAGE;
  item.pszText = const_cast<char*>(s.c_str());
  item.iImage = Tabs_->GetImageIndex(index);
  if (!SendMessageA(Tabs_->Handle_, TCM_SETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)))
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  Tabs_->Realign();
}

TObject* TTabStrings::GetObject(int index) const {
  if (!Tabs_->HandleAllocated()) return Tabs_->SavedTabs_->Objects(index);
  TCITEMA item{};
  item.mask = TCIF_PARAM;
  if (!SendMessageA(Tabs_->Handle_, TCM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)))
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return reinterpret_cast<TObject*>(item.lParam);
}

void TTabStrings::PutObject(int index, TObject* object) {
  if (!Tabs_->HandleAllocated()) {
    Tabs_->SavedTabs_->SetObjects(index, object);
    return;
  }
  TCITEMA item{};
  item.mask = TCIF_PARAM;
  item.lParam = reinterpret_cast<LPARAM>(object);
  SendMessageA(Tabs_->Handle_, TCM_SETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

void TTabStrings::Insert(int index, const std::string& s) {
  if (!Tabs_->HandleAllocated()) {
    Tabs_->SavedTabs_->Insert(index, s);
    return;
  }
  TCITEMA item{};
  item.mask = TCIF_TEXT | TCIF_IMAGE;
  item.pszText = const_cast<char*>(s.c_str());
  item.iImage = Tabs_->GetImageIndex(index);
  if (SendMessageA(Tabs_->Handle_, TCM_INSERTITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) < 0)
    throw EListError("Failed to set tab \"" + s + "\" at " + std::to_string(index));
  Tabs_->Realign();
}

void TTabStrings::Delete(int index) {
  if (!Tabs_->HandleAllocated()) {
    Tabs_->SavedTabs_->Delete(index);
    return;
  }
  if (!SendMessageA(Tabs_->Handle_, TCM_DELETEITEM, static_cast<WPARAM>(index), 0))
    throw EListError("Failed to delete tab at " + std::to_string(index));
  Tabs_->Realign();
}

void TTabStrings::Clear() {
  if (!Tabs_->HandleAllocated()) {
    Tabs_->SavedTabs_->Clear();
    return;
  }
  SendMessageA(Tabs_->Handle_, TCM_DELETEALLITEMS, 0, 0);
  Tabs_->Realign();
}

// ---- TCustomTabControl ------------------------------------------------------------------------

TCustomTabControl::TCustomTabControl(TComponent* AOwner) : TWinControl(AOwner) {
  ControlStyle_ = TControlStyle{csDoubleClicks, csOpaque};
  SetBounds(0, 0, 289, 193);
  TabStop_ = true;
  Tabs_ = new TTabStrings(this);
  SavedTabs_ = new TStringList();
  Canvas_ = new TCanvas();
}

TCustomTabControl::~TCustomTabControl() {
  delete Canvas_;
  delete Tabs_;
  delete SavedTabs_;
}

int TCustomTabControl::TabIndex() const {
  if (Handle_) return static_cast<int>(SendMessageA(Handle_, TCM_GETCURSEL, 0, 0));
  return SavedTabIndex_;
}

void TCustomTabControl::SetTabIndex(int v) {
  if (Handle_)
    SendMessageA(Handle_, TCM_SETCURSEL, static_cast<WPARAM>(v), 0);
  else
    SavedTabIndex_ = v;
}

void TCustomTabControl::SetStyle(TTabStyle v) {
  if (Style_ == v) return;
  Style_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomTabControl::SetTabPosition(TTabPosition v) {
  if (TabPosition_ == v) return;
  TabPosition_ = v;
  // Tabs at the sides need several rows.
  if (v == tpLeft || v == tpRight) MultiLine_ = true;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomTabControl::SetHotTrack(bool v) {
  if (HotTrack_ == v) return;
  HotTrack_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomTabControl::SetMultiLine(bool v) {
  if (MultiLine_ == v) return;
  if (!v && (TabPosition_ == tpLeft || TabPosition_ == tpRight)) return;
  MultiLine_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomTabControl::SetOwnerDraw(bool v) {
  if (OwnerDraw_ == v) return;
  OwnerDraw_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomTabControl::SetImages(TCustomImageList* v) {
  Images_ = v;
  if (v) v->FreeNotification(this);
  if (HandleAllocated()) {
    SendMessageA(Handle_, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(v ? v->Handle() : nullptr));
    UpdateTabImages();
  }
}

void TCustomTabControl::UpdateTabImages() {
  if (!HandleAllocated()) return;
  const int n = Tabs_->Count();
  for (int i = 0; i < n; ++i) {
    TCITEMA item{};
    item.mask = TCIF_IMAGE;
    item.iImage = GetImageIndex(i);
    SendMessageA(Handle_, TCM_SETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
  Realign();
}

void TCustomTabControl::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == Images_) {
    Images_ = nullptr;
    if (HandleAllocated() && !IsDestroying()) SendMessageA(Handle_, TCM_SETIMAGELIST, 0, 0);
  }
}

TRect TCustomTabControl::DisplayRect() {
  const TRect client = ClientRect();
  if (!HandleAllocated()) return client;
  RECT r{client.Left, client.Top, client.Right, client.Bottom};
  SendMessageA(Handle_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  return FromRECT(r);
}

void TCustomTabControl::AdjustClientRect(TRect& Rect) {
  Rect = DisplayRect();
  TWinControl::AdjustClientRect(Rect);
}

bool TCustomTabControl::CanChange() {
  bool allow = true;
  OnChanging(this, allow);
  return allow;
}

void TCustomTabControl::Change() { OnChange(this); }

void TCustomTabControl::DrawTab(int TabIndex, const TRect& Rect, bool Active) {
  if (OnDrawTab) {
    OnDrawTab(this, TabIndex, Rect, Active);
    return;
  }
  Canvas_->FillRect(Rect);
  Canvas_->TextOut(Rect.Left + 4, Rect.Top + 2, Tabs_->Strings(TabIndex));
}

void TCustomTabControl::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, WC_TABCONTROLA);
  Params.Style |= WS_CLIPCHILDREN;
  if (Style_ == tsButtons) Params.Style |= TCS_BUTTONS;
  if (Style_ == tsFlatButtons) Params.Style |= TCS_BUTTONS | TCS_FLATBUTTONS;
  if (MultiLine_) Params.Style |= TCS_MULTILINE;
  if (HotTrack_) Params.Style |= TCS_HOTTRACK;
  if (OwnerDraw_) Params.Style |= TCS_OWNERDRAWFIXED;
  switch (TabPosition_) {
    case tpBottom: Params.Style |= TCS_BOTTOM; break;
    case tpLeft: Params.Style |= TCS_VERTICAL | TCS_MULTILINE; break;
    case tpRight: Params.Style |= TCS_VERTICAL | TCS_RIGHT | TCS_MULTILINE; break;
    default: break;
  }
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomTabControl::CreateWnd() {
  TWinControl::CreateWnd();
  if (Images_) SendMessageA(Handle_, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(Images_->Handle()));
  for (int i = 0; i < SavedTabs_->Count(); ++i) {
    TCITEMA item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_PARAM;
    std::string s = SavedTabs_->Strings(i);
    item.pszText = s.data();
    item.iImage = GetImageIndex(i);
    item.lParam = reinterpret_cast<LPARAM>(SavedTabs_->Objects(i));
    SendMessageA(Handle_, TCM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
  SavedTabs_->Clear();
  if (SavedTabIndex_ >= 0) SendMessageA(Handle_, TCM_SETCURSEL, static_cast<WPARAM>(SavedTabIndex_), 0);
  SavedTabIndex_ = -1;
  Realign();
}

void TCustomTabControl::DestroyWnd() {
  if (Handle_) {
    SavedTabs_->Clear();
    const int n = static_cast<int>(SendMessageA(Handle_, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
      TCITEMA item{};
      char buf[256] = {};
      item.mask = TCIF_TEXT | TCIF_PARAM;
      item.pszText = buf;
      item.cchTextMax = sizeof buf;
      SendMessageA(Handle_, TCM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
      SavedTabs_->AddObject(buf, reinterpret_cast<TObject*>(item.lParam));
    }
    SavedTabIndex_ = static_cast<int>(SendMessageA(Handle_, TCM_GETCURSEL, 0, 0));
  }
  TWinControl::DestroyWnd();
}

void TCustomTabControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_NOTIFY:
      if (!CNNotify(Message)) TWinControl::Dispatch(Message);
      return;
    case CN_DRAWITEM: CNDrawItem(Message); return;
    case CM_FONTCHANGED:
    case WM_SIZE:
      TWinControl::Dispatch(Message);
      Realign();
      return;
    default: TWinControl::Dispatch(Message);
  }
}

// The selection is about to change (the control may refuse) or has changed; true when handled.
bool TCustomTabControl::CNNotify(TMessage& Message) {
  const UINT code = reinterpret_cast<NMHDR*>(Message.LParam)->code;
  if (code == static_cast<UINT>(TCN_SELCHANGING)) {
    Message.Result = CanChange() ? 0 : 1;
    return true;
  }
  if (code == static_cast<UINT>(TCN_SELCHANGE)) {
    Change();
    return true;
  }
  return false;
}

// An owner-drawn tab: drawn on the control's canvas bound to the item's DC.
void TCustomTabControl::CNDrawItem(TMessage& Message) {
  auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
  CanvasOnDC bind(Canvas_, dis->hDC, Font_);
  Canvas_->Brush()->Assign(Brush_);
  DrawTab(static_cast<int>(dis->itemID), FromRECT(dis->rcItem), (dis->itemState & ODS_SELECTED) != 0);
  Message.Result = 1;
}

// ---- published properties ----------------------------------------------------------------------

static const bool kCustomTabControlProps = RegisterProperties<TCustomTabControl, TWinControl>([](auto& p) {
  p.Obj("Tabs", &TCustomTabControl::Tabs, &TCustomTabControl::SetTabs);
  p.Ord("TabIndex", &TCustomTabControl::TabIndex, &TCustomTabControl::SetTabIndex);
  p.Ord("Style", &TCustomTabControl::Style, &TCustomTabControl::SetStyle);
  p.Ord("TabPosition", &TCustomTabControl::TabPosition, &TCustomTabControl::SetTabPosition);
  p.Ord("HotTrack", &TCustomTabControl::HotTrack, &TCustomTabControl::SetHotTrack);
  p.Ord("MultiLine", &TCustomTabControl::MultiLine, &TCustomTabControl::SetMultiLine);
  p.Ord("OwnerDraw", &TCustomTabControl::OwnerDraw, &TCustomTabControl::SetOwnerDraw);
  p.Obj("Images", &TCustomTabControl::Images, &TCustomTabControl::SetImages);
});
