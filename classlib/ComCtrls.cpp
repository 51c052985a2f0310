#include "classlib/ComCtrls.h"

#include <algorithm>

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
    case CN_NOTIFY: {
      auto* hdr = reinterpret_cast<NMHDR*>(Message.LParam);
      if (hdr->code == static_cast<UINT>(TCN_SELCHANGING)) {
        Message.Result = CanChange() ? 0 : 1;
        return;
      }
      if (hdr->code == static_cast<UINT>(TCN_SELCHANGE)) {
        Change();
        return;
      }
      TWinControl::Dispatch(Message);
      return;
    }
    case CN_DRAWITEM: {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
      CanvasOnDC bind(Canvas_, dis->hDC, Font_);
      Canvas_->Brush()->Assign(Brush_);
      DrawTab(static_cast<int>(dis->itemID), FromRECT(dis->rcItem), (dis->itemState & ODS_SELECTED) != 0);
      Message.Result = 1;
      return;
    }
    case CM_FONTCHANGED:
    case WM_SIZE:
      TWinControl::Dispatch(Message);
      Realign();
      return;
    default: TWinControl::Dispatch(Message);
  }
}

// ---- TTabSheet --------------------------------------------------------------------------------

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {
  ControlStyle_ += TControlStyle{csAcceptsControls, csNoDesignVisible, csParentBackground};
  Align_ = alClient;
  Visible_ = false;
}

void TTabSheet::BeforeDestruction() {
  if (PageControl_) PageControl_->RemovePage(this);
  TWinControl::BeforeDestruction();
}

void TTabSheet::SetPageControl(TPageControl* v) {
  if (PageControl_ == v) return;
  if (PageControl_) PageControl_->RemovePage(this);
  SetParent(v);
  if (v) v->InsertPage(this);
}

void TTabSheet::SetTabVisible(bool v) {
  if (TabVisible_ == v) return;
  TabVisible_ = v;
  if (PageControl_) PageControl_->RebuildTabs();
}

int TTabSheet::TabIndex() const {
  if (!PageControl_ || !TabVisible_) return -1;
  int n = 0;
  for (TTabSheet* p : PageControl_->Pages_) {
    if (p == this) return n;
    if (p->TabVisible_) ++n;
  }
  return -1;
}

int TTabSheet::PageIndex() const {
  if (!PageControl_) return -1;
  auto& pages = PageControl_->Pages_;
  auto it = std::find(pages.begin(), pages.end(), this);
  return it == pages.end() ? -1 : static_cast<int>(it - pages.begin());
}

void TTabSheet::SetPageIndex(int v) {
  if (!PageControl_) return;
  auto& pages = PageControl_->Pages_;
  int cur = PageIndex();
  v = std::clamp(v, 0, static_cast<int>(pages.size()) - 1);
  if (cur == v) return;
  pages.erase(pages.begin() + cur);
  pages.insert(pages.begin() + v, this);
  PageControl_->RebuildTabs();
}

void TTabSheet::SetImageIndex(int v) {
  if (ImageIndex_ == v) return;
  ImageIndex_ = v;
  if (PageControl_) PageControl_->UpdateTabImages();
}

void TTabSheet::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TTabSheet::Dispatch(TMessage& Message) {
  TWinControl::Dispatch(Message);
  if (Message.Msg == CM_TEXTCHANGED && PageControl_) PageControl_->UpdateTab(this);
}

// ---- TPageControl -----------------------------------------------------------------------------

TPageControl::TPageControl(TComponent* AOwner) : TCustomTabControl(AOwner) { ControlStyle_.Include(csAcceptsControls); }

void TPageControl::BeforeDestruction() {
  for (TTabSheet* p : Pages_) p->PageControl_ = nullptr;
  Pages_.clear();
  ActivePage_ = nullptr;
  TCustomTabControl::BeforeDestruction();
}

TTabSheet* TPageControl::Pages(int Index) const {
  if (Index < 0 || Index >= PageCount()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return Pages_[static_cast<std::size_t>(Index)];
}

void TPageControl::InsertPage(TTabSheet* Page) {
  Pages_.push_back(Page);
  Page->PageControl_ = this;
  RebuildTabs();
  if (!ActivePage_ && Page->TabVisible()) SetActivePage(Page);
}

void TPageControl::RemovePage(TTabSheet* Page) {
  auto it = std::find(Pages_.begin(), Pages_.end(), Page);
  if (it == Pages_.end()) return;
  TTabSheet* next = FindNextPage(Page, true, true);
  if (next == Page) next = nullptr;
  if (ActivePage_ == Page) SetActivePage(next);
  Pages_.erase(std::find(Pages_.begin(), Pages_.end(), Page));
  Page->PageControl_ = nullptr;
  RebuildTabs();
}

TTabSheet* TPageControl::PageForTab(int TabIndex) const {
  if (TabIndex < 0) return nullptr;
  for (TTabSheet* p : Pages_)
    if (p->TabVisible() && TabIndex-- == 0) return p;
  return nullptr;
}

int TPageControl::GetImageIndex(int TabIndex) {
  TTabSheet* p = PageForTab(TabIndex);
  return p ? p->ImageIndex() : -1;
}

void TPageControl::RebuildTabs() {
  if (IsDestroying()) return;
  Tabs_->BeginUpdate();
  Tabs_->Clear();
  for (TTabSheet* p : Pages_)
    if (p->TabVisible()) Tabs_->AddObject(p->Caption(), p);
  Tabs_->EndUpdate();
  UpdateActivePage();
}

void TPageControl::UpdateTab(TTabSheet* Page) {
  const int i = Page->TabIndex();
  if (i >= 0) Tabs_->SetStrings(i, Page->Caption());
}

void TPageControl::SetActivePage(TTabSheet* v) {
  if (v && v->PageControl_ != this) return;
  TTabSheet* old = ActivePage_;
  if (v) {
    v->BringToFront();
    v->SetVisible(true);
  }
  ActivePage_ = v;
  if (old && old != v) old->SetVisible(false);
  UpdateActivePage();
}

void TPageControl::SetActivePageIndex(int v) { SetActivePage(v >= 0 && v < PageCount() ? Pages(v) : nullptr); }

void TPageControl::UpdateActivePage() { SetTabIndex(ActivePage_ ? ActivePage_->TabIndex() : -1); }

void TPageControl::Change() {
  TTabSheet* p = PageForTab(TabIndex());
  if (p && p != ActivePage_) SetActivePage(p);
  TCustomTabControl::Change();
}

void TPageControl::CreateWnd() {
  TCustomTabControl::CreateWnd();
  RebuildTabs();
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* CurrentPage, bool GoForward, bool CheckTabVisible) {
  const int n = PageCount();
  if (n == 0) return nullptr;
  int start = CurrentPage ? CurrentPage->PageIndex() : -1;
  if (start < 0) start = GoForward ? n - 1 : 0;
  int i = start;
  for (int k = 0; k < n; ++k) {
    i = GoForward ? (i + 1) % n : (i - 1 + n) % n;
    TTabSheet* p = Pages_[static_cast<std::size_t>(i)];
    if (!CheckTabVisible || p->TabVisible()) return p;
  }
  return nullptr;
}

void TPageControl::SelectNextPage(bool GoForward, bool CheckTabVisible) {
  TTabSheet* p = FindNextPage(ActivePage_, GoForward, CheckTabVisible);
  if (p && p != ActivePage_ && CanChange()) {
    SetActivePage(p);
    TCustomTabControl::Change();
  }
}

// ---- TStatusBar -------------------------------------------------------------------------------

void TStatusPanel::SetText(const std::string& v) {
  if (Text_ == v) return;
  Text_ = v;
  Changed(false);
}

void TStatusPanel::SetWidth(int v) {
  if (Width_ == v) return;
  Width_ = v;
  Changed(true);
}

void TStatusPanel::SetAlignment(TAlignment v) {
  if (Alignment_ == v) return;
  Alignment_ = v;
  Changed(false);
}

void TStatusPanel::SetStyle(TStatusPanelStyle v) {
  if (Style_ == v) return;
  Style_ = v;
  Changed(false);
}

void TStatusPanel::SetBevel(TStatusPanelBevel v) {
  if (Bevel_ == v) return;
  Bevel_ = v;
  Changed(false);
}

void TStatusPanel::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TStatusPanel*>(Source)) {
    Text_ = s->Text_;
    Width_ = s->Width_;
    Alignment_ = s->Alignment_;
    Style_ = s->Style_;
    Bevel_ = s->Bevel_;
    Changed(true);
    return;
  }
  TCollectionItem::Assign(Source);
}

TStatusPanels::TStatusPanels(TStatusBar* bar) : TOwnedCollection(bar, ItemClass<TStatusPanel>()), Bar_(bar) {}

void TStatusPanels::Update(TCollectionItem*) { Bar_->UpdatePanels(); }

TStatusBar::TStatusBar(TComponent* AOwner) : TWinControl(AOwner) {
  ControlStyle_ = TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque};
  Color_ = clBtnFace;
  ParentColor_ = false;
  SetBounds(0, 0, 150, 19);
  Align_ = alBottom;
  Panels_ = new TStatusPanels(this);
  Canvas_ = new TCanvas();
}

TStatusBar::~TStatusBar() {
  delete Panels_;
  delete Canvas_;
}

void TStatusBar::SetSimplePanel(bool v) {
  if (SimplePanel_ == v) return;
  SimplePanel_ = v;
  UpdatePanels();
}

void TStatusBar::SetSimpleText(const std::string& v) {
  if (SimpleText_ == v) return;
  SimpleText_ = v;
  if (HandleAllocated() && SimplePanel_)
    SendMessageA(Handle_, SB_SETTEXTA, 255, reinterpret_cast<LPARAM>(SimpleText_.c_str()));
}

void TStatusBar::SetSizeGrip(bool v) {
  if (SizeGrip_ == v) return;
  SizeGrip_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TStatusBar::SetUseSystemFont(bool v) {
  if (UseSystemFont_ == v) return;
  UseSystemFont_ = v;
  if (v) {
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof ncm;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0)) {
      Font_->SetName(ncm.lfStatusFont.lfFaceName);
      Font_->SetHeight(ncm.lfStatusFont.lfHeight);
      ParentFont_ = false;
    }
  }
}

void TStatusBar::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, STATUSCLASSNAMEA);
  Params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
  if (SizeGrip_) Params.Style |= SBARS_SIZEGRIP;
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TStatusBar::CreateWnd() {
  TWinControl::CreateWnd();
  UpdatePanels();
}

void TStatusBar::UpdatePanels() {
  if (!HandleAllocated()) return;
  if (SimplePanel_) {
    SendMessageA(Handle_, SB_SIMPLE, TRUE, 0);
    SendMessageA(Handle_, SB_SETTEXTA, 255, reinterpret_cast<LPARAM>(SimpleText_.c_str()));
    return;
  }
  SendMessageA(Handle_, SB_SIMPLE, FALSE, 0);
  const int n = Panels_->Count();
  if (n == 0) {
    int edge = -1;
    SendMessageA(Handle_, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&edge));
    SendMessageA(Handle_, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(""));
    return;
  }
  std::vector<int> edges(static_cast<std::size_t>(std::min(n, 255)));
  int x = 0;
  for (std::size_t i = 0; i < edges.size(); ++i) {
    x += Panels_->Items(static_cast<int>(i))->Width();
    edges[i] = i + 1 == edges.size() ? -1 : x;
  }
  SendMessageA(Handle_, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
  for (std::size_t i = 0; i < edges.size(); ++i) {
    TStatusPanel* p = Panels_->Items(static_cast<int>(i));
    WPARAM flags = i;
    if (p->Bevel() == pbNone) flags |= SBT_NOBORDERS;
    if (p->Bevel() == pbRaised) flags |= SBT_POPOUT;
    if (p->Style() == psOwnerDraw) {
      SendMessageA(Handle_, SB_SETTEXTA, flags | SBT_OWNERDRAW, reinterpret_cast<LPARAM>(p));
    } else {
      std::string text = p->Text();
      if (p->Alignment() == taCenter) text = "\t" + text;
      if (p->Alignment() == taRightJustify) text = "\t\t" + text;
      SendMessageA(Handle_, SB_SETTEXTA, flags, reinterpret_cast<LPARAM>(text.c_str()));
    }
  }
}

void TStatusBar::DrawPanel(TStatusPanel* Panel, const TRect& Rect) {
  if (OnDrawPanel)
    OnDrawPanel(this, Panel, Rect);
  else
    Canvas_->FillRect(Rect);
}

void TStatusBar::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_DRAWITEM: {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
      const int i = static_cast<int>(dis->itemID);
      if (i >= 0 && i < Panels_->Count()) {
        CanvasOnDC bind(Canvas_, dis->hDC, Font_);
        Canvas_->Brush()->Assign(Brush_);
        DrawPanel(Panels_->Items(i), FromRECT(dis->rcItem));
      }
      Message.Result = 1;
      return;
    }
    case WM_SIZE:
      TWinControl::Dispatch(Message);
      // The bar resizes its size grip and parts with the window.
      if (HandleAllocated()) SendMessageA(Handle_, WM_SIZE, 0, 0);
      return;
    default: TWinControl::Dispatch(Message);
  }
}

// ---- TTrackBar --------------------------------------------------------------------------------

TTrackBar::TTrackBar(TComponent* AOwner) : TWinControl(AOwner) {
  ControlStyle_ = TControlStyle{csCaptureMouse, csClickEvents};
  SetBounds(0, 0, 150, 45);
  TabStop_ = true;
}

int TTrackBar::Position() const {
  if (Handle_) return static_cast<int>(SendMessageA(Handle_, TBM_GETPOS, 0, 0));
  return Position_;
}

void TTrackBar::SetPosition(int v) {
  v = std::clamp(v, Min_, Max_);
  if (Position() == v) return;
  Position_ = v;
  if (HandleAllocated()) SendMessageA(Handle_, TBM_SETPOS, TRUE, v);
  Changed();
}

void TTrackBar::SetMin(int v) {
  if (v > Max_) return;
  Min_ = v;
  if (HandleAllocated()) SendMessageA(Handle_, TBM_SETRANGEMIN, TRUE, v);
  if (Position() < v) SetPosition(v);
}

void TTrackBar::SetMax(int v) {
  if (v < Min_) return;
  Max_ = v;
  if (HandleAllocated()) SendMessageA(Handle_, TBM_SETRANGEMAX, TRUE, v);
  if (Position() > v) SetPosition(v);
}

void TTrackBar::SetOrientation(TTrackBarOrientation v) {
  if (Orientation_ == v) return;
  Orientation_ = v;
  SetBounds(Left_, Top_, Height_, Width_);
  if (HandleAllocated()) RecreateWnd();
}

void TTrackBar::SetThumbLength(int v) {
  ThumbLength_ = v;
  if (HandleAllocated()) SendMessageA(Handle_, TBM_SETTHUMBLENGTH, static_cast<WPARAM>(v), 0);
}

void TTrackBar::SetTickStyle(TTickStyle v) {
  if (TickStyle_ == v) return;
  TickStyle_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TTrackBar::SetTickMarks(TTickMark v) {
  if (TickMarks_ == v) return;
  TickMarks_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TTrackBar::SetFrequency(int v) {
  Frequency_ = v;
  if (HandleAllocated()) SendMessageA(Handle_, TBM_SETTICFREQ, static_cast<WPARAM>(v), 0);
}

void TTrackBar::SetLineSize(int v) {
  LineSize_ = v;
  if (HandleAllocated()) SendMessageA(Handle_, TBM_SETLINESIZE, 0, v);
}

void TTrackBar::SetPageSize(int v) {
  PageSize_ = v;
  if (HandleAllocated()) SendMessageA(Handle_, TBM_SETPAGESIZE, 0, v);
}

void TTrackBar::Changed() { OnChange(this); }

void TTrackBar::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, TRACKBAR_CLASSA);
  Params.Style |= Orientation_ == trVertical ? TBS_VERT : TBS_HORZ;
  Params.Style |= TBS_FIXEDLENGTH;
  if (TickStyle_ == tsNone) Params.Style |= TBS_NOTICKS;
  if (TickStyle_ == tsAuto) Params.Style |= TBS_AUTOTICKS;
  if (TickMarks_ == tmTopLeft) Params.Style |= TBS_TOP;
  if (TickMarks_ == tmBoth) Params.Style |= TBS_BOTH;
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TTrackBar::CreateWnd() {
  TWinControl::CreateWnd();
  SendMessageA(Handle_, TBM_SETTHUMBLENGTH, static_cast<WPARAM>(ThumbLength_), 0);
  SendMessageA(Handle_, TBM_SETLINESIZE, 0, LineSize_);
  SendMessageA(Handle_, TBM_SETPAGESIZE, 0, PageSize_);
  SendMessageA(Handle_, TBM_SETRANGEMIN, FALSE, Min_);
  SendMessageA(Handle_, TBM_SETRANGEMAX, FALSE, Max_);
  SendMessageA(Handle_, TBM_SETPOS, TRUE, Position_);
  SendMessageA(Handle_, TBM_SETTICFREQ, static_cast<WPARAM>(Frequency_), 0);
}

void TTrackBar::DestroyWnd() {
  if (Handle_) Position_ = static_cast<int>(SendMessageA(Handle_, TBM_GETPOS, 0, 0));
  TWinControl::DestroyWnd();
}

void TTrackBar::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_HSCROLL:
    case CN_VSCROLL: {
      const int p = static_cast<int>(SendMessageA(Handle_, TBM_GETPOS, 0, 0));
      if (p != Position_) {
        Position_ = p;
        Changed();
      }
      Message.Result = 0;
      return;
    }
    default: TWinControl::Dispatch(Message);
  }
}

// ---- TCustomUpDown ----------------------------------------------------------------------------

TCustomUpDown::TCustomUpDown(TComponent* AOwner) : TWinControl(AOwner) {
  ControlStyle_ = TControlStyle{csCaptureMouse};
  SetBounds(0, 0, 17, 25);
}

int TCustomUpDown::Position() const {
  if (Handle_) {
    BOOL err = FALSE;
    int p = static_cast<int>(SendMessageA(Handle_, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&err)));
    if (!err) return p;
  }
  return Position_;
}

void TCustomUpDown::SetPosition(int v) {
  v = std::clamp(v, std::min(Min_, Max_), std::max(Min_, Max_));
  Position_ = v;
  if (HandleAllocated()) SendMessageA(Handle_, UDM_SETPOS32, 0, v);
}

void TCustomUpDown::SetMin(int v) {
  Min_ = v;
  if (HandleAllocated()) SendMessageA(Handle_, UDM_SETRANGE32, static_cast<WPARAM>(Min_), Max_);
}

void TCustomUpDown::SetMax(int v) {
  Max_ = v;
  if (HandleAllocated()) SendMessageA(Handle_, UDM_SETRANGE32, static_cast<WPARAM>(Min_), Max_);
}

void TCustomUpDown::SetIncrement(int v) {
  Increment_ = v;
  if (HandleAllocated()) {
    UDACCEL accel{0, static_cast<UINT>(v)};
    SendMessageA(Handle_, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
  }
}

void TCustomUpDown::SetOrientation(TUDOrientation v) {
  if (Orientation_ == v) return;
  Orientation_ = v;
  SetBounds(Left_, Top_, Height_, Width_);
  if (HandleAllocated()) RecreateWnd();
}

void TCustomUpDown::SetAlignButton(TUDAlignButton v) {
  if (AlignButton_ == v) return;
  AlignButton_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomUpDown::SetAssociate(TWinControl* v) {
  if (v == this) return;
  if (Associate_ && HandleAllocated()) SendMessageA(Handle_, UDM_SETBUDDY, 0, 0);
  Associate_ = v;
  if (v) {
    v->FreeNotification(this);
    if (HandleAllocated()) {
      SendMessageA(Handle_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(v->Handle()), 0);
      SendMessageA(Handle_, UDM_SETPOS32, 0, Position_);
    }
  }
}

void TCustomUpDown::SetArrowKeys(bool v) {
  if (ArrowKeys_ == v) return;
  ArrowKeys_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomUpDown::SetThousands(bool v) {
  if (Thousands_ == v) return;
  Thousands_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomUpDown::SetWrap(bool v) {
  if (Wrap_ == v) return;
  Wrap_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomUpDown::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == Associate_) {
    Associate_ = nullptr;
    if (HandleAllocated() && !IsDestroying()) SendMessageA(Handle_, UDM_SETBUDDY, 0, 0);
  }
}

bool TCustomUpDown::CanChange() {
  bool allow = true;
  OnChanging(this, allow);
  return allow;
}

bool TCustomUpDown::DoCanChange(short NewVal, short Delta) {
  const TUpDownDirection dir = Delta < 0 ? updDown : Delta > 0 ? updUp : updNone;
  bool allow = CanChange();
  OnChangingEx(this, allow, NewVal, dir);
  return allow;
}

void TCustomUpDown::Click(TUDBtnType Button) { OnClick(this, Button); }

void TCustomUpDown::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, UPDOWN_CLASSA);
  Params.Style |= UDS_SETBUDDYINT;
  Params.Style |= AlignButton_ == udRight ? UDS_ALIGNRIGHT : UDS_ALIGNLEFT;
  if (Orientation_ == udHorizontal) Params.Style |= UDS_HORZ;
  if (ArrowKeys_) Params.Style |= UDS_ARROWKEYS;
  if (!Thousands_) Params.Style |= UDS_NOTHOUSANDS;
  if (Wrap_) Params.Style |= UDS_WRAP;
}

void TCustomUpDown::CreateWnd() {
  TWinControl::CreateWnd();
  SendMessageA(Handle_, UDM_SETRANGE32, static_cast<WPARAM>(Min_), Max_);
  UDACCEL accel{0, static_cast<UINT>(Increment_)};
  SendMessageA(Handle_, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
  if (Associate_) SendMessageA(Handle_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(Associate_->Handle()), 0);
  SendMessageA(Handle_, UDM_SETPOS32, 0, Position_);
}

void TCustomUpDown::DestroyWnd() {
  if (Handle_) Position_ = Position();
  TWinControl::DestroyWnd();
}

void TCustomUpDown::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_NOTIFY: {
      auto* hdr = reinterpret_cast<NMHDR*>(Message.LParam);
      if (hdr->code == static_cast<UINT>(UDN_DELTAPOS)) {
        auto* ud = reinterpret_cast<NMUPDOWN*>(Message.LParam);
        Message.Result = DoCanChange(static_cast<short>(ud->iPos + ud->iDelta), static_cast<short>(ud->iDelta)) ? 0 : 1;
        return;
      }
      TWinControl::Dispatch(Message);
      return;
    }
    case CN_HSCROLL:
    case CN_VSCROLL:
      if (LOWORD(Message.WParam) == SB_THUMBPOSITION) {
        const int p = Position();
        const int old = Position_;
        Position_ = p;
        if (p != old) Click(p > old ? btNext : btPrev);
      }
      Message.Result = 0;
      return;
    default: TWinControl::Dispatch(Message);
  }
}

// ---- TToolButton ------------------------------------------------------------------------------

TToolButton::TToolButton(TComponent* AOwner) : TGraphicControl(AOwner) {
  ControlStyle_ = TControlStyle{csCaptureMouse, csSetCaption};
  // The native button is what the user sees and clicks; the control itself covers nothing.
  SetBounds(0, 0, 0, 0);
}

void TToolButton::BeforeDestruction() {
  if (ToolBar_) ToolBar_->RemoveButton(this);
  TGraphicControl::BeforeDestruction();
}

void TToolButton::SetParent(TWinControl* AParent) {
  if (ToolBar_ && ToolBar_ != AParent) ToolBar_->RemoveButton(this);
  TGraphicControl::SetParent(AParent);
  if (auto* bar = dynamic_cast<TToolBar*>(AParent); bar && bar != ToolBar_) bar->InsertButton(this);
}

int TToolButton::Index() const {
  if (!ToolBar_) return -1;
  auto& b = ToolBar_->Buttons_;
  auto it = std::find(b.begin(), b.end(), this);
  return it == b.end() ? -1 : static_cast<int>(it - b.begin());
}

void TToolButton::Changed() {
  if (ToolBar_) ToolBar_->RecreateButtons();
}

void TToolButton::SetStyle(TToolButtonStyle v) {
  if (Style_ == v) return;
  Style_ = v;
  Changed();
}

void TToolButton::SetImageIndex(int v) {
  if (ImageIndex_ == v) return;
  ImageIndex_ = v;
  Changed();
}

bool TToolButton::Down() const {
  if (ToolBar_ && ToolBar_->HandleAllocated() && Index() >= 0 && Visible_) {
    const int id = Index() + 1;
    return (SendMessageA(ToolBar_->Handle_, TB_GETSTATE, static_cast<WPARAM>(id), 0) &
            (TBSTATE_CHECKED | TBSTATE_PRESSED)) != 0;
  }
  return Down_;
}

void TToolButton::SetDown(bool v) {
  Down_ = v;
  if (ToolBar_) ToolBar_->UpdateButtonState(this);
}

void TToolButton::SetGrouped(bool v) {
  if (Grouped_ == v) return;
  Grouped_ = v;
  Changed();
}

void TToolButton::SetDropdownMenu(TPopupMenu* v) {
  DropdownMenu_ = v;
  if (v) v->FreeNotification(this);
}

void TToolButton::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == DropdownMenu_) DropdownMenu_ = nullptr;
}

bool TToolButton::CheckMenuDropdown() {
  if (!DropdownMenu_ || !ToolBar_) return false;
  TRect r = ToolBar_->ButtonRect(Index());
  TPoint p = ToolBar_->ClientToScreen(TPoint{r.Left, r.Bottom});
  TToolBar* bar = ToolBar_;
  DropdownMenu_->SetPopupComponent(this);
  DropdownMenu_->Popup(p.X, p.Y);
  if (bar->HandleAllocated()) PostMessageA(bar->Handle(), CN_DROPDOWNCLOSED, 0, 0);
  return true;
}

void TToolButton::Dispatch(TMessage& Message) {
  TGraphicControl::Dispatch(Message);
  switch (Message.Msg) {
    case CM_TEXTCHANGED:
    case CM_ENABLEDCHANGED:
    case CM_VISIBLECHANGED: Changed(); break;
    default: break;
  }
}

// ---- TToolBar ---------------------------------------------------------------------------------

TToolBar::TToolBar(TComponent* AOwner) : TWinControl(AOwner) {
  ControlStyle_ = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks, csMenuEvents};
  SetBounds(0, 0, 150, 29);
  Align_ = alTop;
  Canvas_ = new TCanvas();
}

TToolBar::~TToolBar() { delete Canvas_; }

void TToolBar::BeforeDestruction() {
  for (TToolButton* b : Buttons_) b->ToolBar_ = nullptr;
  Buttons_.clear();
  TWinControl::BeforeDestruction();
}

void TToolBar::SetShowCaptions(bool v) {
  if (ShowCaptions_ == v) return;
  ShowCaptions_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TToolBar::SetImages(TCustomImageList* v) {
  Images_ = v;
  if (v) v->FreeNotification(this);
  if (HandleAllocated()) RecreateWnd();
}

void TToolBar::SetFlat(bool v) {
  if (Flat_ == v) return;
  Flat_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TToolBar::SetButtonWidth(int v) {
  ButtonWidth_ = v;
  RecreateButtons();
}

void TToolBar::SetButtonHeight(int v) {
  ButtonHeight_ = v;
  RecreateButtons();
}

void TToolBar::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == Images_) {
    Images_ = nullptr;
    if (HandleAllocated() && !IsDestroying()) SendMessageA(Handle_, TB_SETIMAGELIST, 0, 0);
  }
}

void TToolBar::InsertButton(TToolButton* Button) {
  if (std::find(Buttons_.begin(), Buttons_.end(), Button) != Buttons_.end()) return;
  Buttons_.push_back(Button);
  Button->ToolBar_ = this;
  RecreateButtons();
}

void TToolBar::RemoveButton(TToolButton* Button) {
  auto it = std::find(Buttons_.begin(), Buttons_.end(), Button);
  if (it == Buttons_.end()) return;
  Buttons_.erase(it);
  Button->ToolBar_ = nullptr;
  RecreateButtons();
}

TRect TToolBar::ButtonRect(int Index) {
  RECT r{};
  if (HandleAllocated())
    SendMessageA(Handle_, TB_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&r));
  return FromRECT(r);
}

void TToolBar::UpdateButtonState(TToolButton* Button) {
  const int i = Button->Index();
  if (!HandleAllocated() || i < 0) return;
  BYTE state = Button->Enabled() ? TBSTATE_ENABLED : 0;
  if (Button->Down_) state |= Button->Style_ == tbsCheck ? TBSTATE_CHECKED : TBSTATE_PRESSED;
  if (!Button->Visible()) state |= TBSTATE_HIDDEN;
  SendMessageA(Handle_, TB_SETSTATE, static_cast<WPARAM>(i + 1), MAKELONG(state, 0));
}

void TToolBar::RecreateButtons() {
  if (!HandleAllocated() || Rebuilding_ || IsDestroying()) return;
  Rebuilding_ = true;
  while (SendMessageA(Handle_, TB_BUTTONCOUNT, 0, 0) > 0)
    if (!SendMessageA(Handle_, TB_DELETEBUTTON, 0, 0)) break;
  SendMessageA(Handle_, TB_SETBUTTONSIZE, 0, MAKELONG(ButtonWidth_, ButtonHeight_));
  for (std::size_t i = 0; i < Buttons_.size(); ++i) {
    TToolButton* b = Buttons_[i];
    TBBUTTON tb{};
    tb.iBitmap = b->ImageIndex_ >= 0 ? b->ImageIndex_ : I_IMAGENONE;
    tb.idCommand = static_cast<int>(i + 1);
    tb.fsState = b->Enabled() ? TBSTATE_ENABLED : 0;
    if (!b->Visible()) tb.fsState |= TBSTATE_HIDDEN;
    switch (b->Style_) {
      case tbsCheck:
        tb.fsStyle = BTNS_CHECK | (b->Grouped_ ? BTNS_GROUP : 0);
        if (b->Down_) tb.fsState |= TBSTATE_CHECKED;
        break;
      case tbsDropDown: tb.fsStyle = BTNS_DROPDOWN; break;
      case tbsSeparator:
      case tbsDivider:
        tb.fsStyle = BTNS_SEP;
        tb.iBitmap = 8;  // the gap's width
        break;
      default:
        tb.fsStyle = BTNS_BUTTON;
        if (b->Down_) tb.fsState |= TBSTATE_PRESSED;
        break;
    }
    tb.dwData = reinterpret_cast<DWORD_PTR>(b);
    const std::string caption = b->Caption();
    tb.iString = ShowCaptions_ && b->Style_ != tbsSeparator && b->Style_ != tbsDivider
                     ? reinterpret_cast<INT_PTR>(caption.c_str())
                     : -1;
    SendMessageA(Handle_, TB_INSERTBUTTONA, i, reinterpret_cast<LPARAM>(&tb));
  }
  SendMessageA(Handle_, TB_AUTOSIZE, 0, 0);
  Rebuilding_ = false;
  Invalidate();
}

void TToolBar::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, TOOLBARCLASSNAMEA);
  Params.Style |= CCS_NOPARENTALIGN | CCS_NOMOVEY | CCS_NORESIZE | CCS_NODIVIDER;
  if (Flat_) Params.Style |= TBSTYLE_FLAT;
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TToolBar::CreateWnd() {
  TWinControl::CreateWnd();
  SendMessageA(Handle_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageA(Handle_, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
  if (Images_) {
    SendMessageA(Handle_, TB_SETBITMAPSIZE, 0, MAKELONG(Images_->Width(), Images_->Height()));
    SendMessageA(Handle_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(Images_->Handle()));
  } else {
    SendMessageA(Handle_, TB_SETBITMAPSIZE, 0, MAKELONG(0, 0));
  }
  RecreateButtons();
}

LRESULT TToolBar::CustomDraw(NMTBCUSTOMDRAW& cd) {
  const DWORD stage = cd.nmcd.dwDrawStage;
  auto mapStage = [](DWORD s) {
    switch (s & ~static_cast<DWORD>(CDDS_ITEM)) {
      case CDDS_POSTPAINT: return cdPostPaint;
      case CDDS_PREERASE: return cdPreErase;
      case CDDS_POSTERASE: return cdPostErase;
      default: return cdPrePaint;
    }
  };
  if (!(stage & CDDS_ITEM)) {
    LRESULT result = CDRF_DODEFAULT;
    if (OnAdvancedCustomDraw) {
      bool def = true;
      CanvasOnDC bind(Canvas_, cd.nmcd.hdc, Font_);
      OnAdvancedCustomDraw(this, FromRECT(cd.nmcd.rc), mapStage(stage), def);
      if (!def) result = CDRF_SKIPDEFAULT;
    }
    if (stage == CDDS_PREPAINT) {
      if (OnAdvancedCustomDrawButton) result |= CDRF_NOTIFYITEMDRAW;
      if (OnAdvancedCustomDraw) result |= CDRF_NOTIFYPOSTPAINT;
    }
    return result;
  }
  auto* button = reinterpret_cast<TToolButton*>(cd.nmcd.lItemlParam);
  if (std::find(Buttons_.begin(), Buttons_.end(), button) == Buttons_.end() || !OnAdvancedCustomDrawButton)
    return CDRF_DODEFAULT;
  TCustomDrawState state;
  const UINT s = cd.nmcd.uItemState;
  if (s & CDIS_SELECTED) state.Include(cdsSelected);
  if (s & CDIS_GRAYED) state.Include(cdsGrayed);
  if (s & CDIS_DISABLED) state.Include(cdsDisabled);
  if (s & CDIS_CHECKED) state.Include(cdsChecked);
  if (s & CDIS_FOCUS) state.Include(cdsFocused);
  if (s & CDIS_DEFAULT) state.Include(cdsDefault);
  if (s & CDIS_HOT) state.Include(cdsHot);
  if (s & CDIS_MARKED) state.Include(cdsMarked);
  if (s & CDIS_INDETERMINATE) state.Include(cdsIndeterminate);
  TTBCustomDrawFlags flags;
  bool def = true;
  {
    CanvasOnDC bind(Canvas_, cd.nmcd.hdc, Font_);
    OnAdvancedCustomDrawButton(this, button, state, mapStage(stage), flags, def);
  }
  if (!def) return CDRF_SKIPDEFAULT;
  LRESULT result = CDRF_DODEFAULT;
  if (flags.Contains(tbNoEdges)) result |= TBCDRF_NOEDGES;
  if (flags.Contains(tbHiliteHotTrack)) result |= TBCDRF_HILITEHOTTRACK;
  if (flags.Contains(tbNoOffset)) result |= TBCDRF_NOOFFSET;
  if (flags.Contains(tbNoMark)) result |= TBCDRF_NOMARK;
  if (flags.Contains(tbNoEtchedEffect)) result |= TBCDRF_NOETCHEDEFFECT;
  return result;
}

void TToolBar::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_DROPDOWNCLOSED: Message.Result = 0; return;
    case CN_COMMAND: {
      const int i = LOWORD(Message.WParam) - 1;
      if (i >= 0 && i < ButtonCount()) {
        TToolButton* b = Buttons_[static_cast<std::size_t>(i)];
        if (b->Style_ == tbsCheck)
          b->Down_ = SendMessageA(Handle_, TB_ISBUTTONCHECKED, static_cast<WPARAM>(i + 1), 0) != 0;
        b->Click();
      }
      Message.Result = 0;
      return;
    }
    case CN_NOTIFY: {
      auto* hdr = reinterpret_cast<NMHDR*>(Message.LParam);
      if (hdr->code == static_cast<UINT>(NM_CUSTOMDRAW)) {
        Message.Result = CustomDraw(*reinterpret_cast<NMTBCUSTOMDRAW*>(Message.LParam));
        return;
      }
      if (hdr->code == static_cast<UINT>(TBN_DROPDOWN)) {
        const int i = reinterpret_cast<NMTOOLBARA*>(Message.LParam)->iItem - 1;
        if (i >= 0 && i < ButtonCount()) Buttons_[static_cast<std::size_t>(i)]->CheckMenuDropdown();
        Message.Result = TBDDRET_DEFAULT;
        return;
      }
      TWinControl::Dispatch(Message);
      return;
    }
    default: TWinControl::Dispatch(Message);
  }
}

// ---- TCustomListView --------------------------------------------------------------------------

void TListColumn::SetCaption(const std::string& v) {
  Caption_ = v;
  Changed(false);
}

int TListColumn::Width() const {
  auto* cols = dynamic_cast<TListColumns*>(Collection());
  if (cols && cols->Owner()->HandleAllocated())
    return static_cast<int>(SendMessageA(cols->Owner()->Handle(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(Index()), 0));
  return Width_;
}

void TListColumn::SetWidth(int v) {
  Width_ = v;
  Changed(false);
}

void TListColumn::SetImageIndex(int v) {
  ImageIndex_ = v;
  Changed(false);
}

void TListColumn::SetAlignment(TAlignment v) {
  Alignment_ = v;
  Changed(false);
}

TListColumns::TListColumns(TCustomListView* owner) : TOwnedCollection(owner, ItemClass<TListColumn>()), View_(owner) {}

void TListColumns::Update(TCollectionItem*) { View_->UpdateColumns(); }

TCustomListView::TCustomListView(TComponent* AOwner) : TWinControl(AOwner) {
  ControlStyle_ = TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks};
  SetBounds(0, 0, 250, 150);
  TabStop_ = true;
  ParentColor_ = false;
  Color_ = clWindow;
  Columns_ = new TListColumns(this);
}

TCustomListView::~TCustomListView() { delete Columns_; }

void TCustomListView::SetViewStyle(TViewStyle v) {
  if (ViewStyle_ == v) return;
  ViewStyle_ = v;
  if (HandleAllocated()) {
    static const DWORD kViews[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
    LONG_PTR style = GetWindowLongPtrA(Handle_, GWL_STYLE);
    SetWindowLongPtrA(Handle_, GWL_STYLE, (style & ~static_cast<LONG_PTR>(LVS_TYPEMASK)) | kViews[v]);
    Invalidate();
  }
}

void TCustomListView::SetSmallImages(TCustomImageList* v) {
  SmallImages_ = v;
  if (v) v->FreeNotification(this);
  if (HandleAllocated())
    SendMessageA(Handle_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(v ? v->Handle() : nullptr));
}

void TCustomListView::SetLargeImages(TCustomImageList* v) {
  LargeImages_ = v;
  if (v) v->FreeNotification(this);
  if (HandleAllocated())
    SendMessageA(Handle_, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(v ? v->Handle() : nullptr));
}

void TCustomListView::SetBorderStyle(TBorderStyle v) {
  if (BorderStyle_ == v) return;
  BorderStyle_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomListView::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == SmallImages_) SetSmallImages(nullptr);
  if (AComponent == LargeImages_) SetLargeImages(nullptr);
}

void TCustomListView::UpdateColumns() {
  if (!HandleAllocated()) return;
  while (SendMessageA(Handle_, LVM_DELETECOLUMN, 0, 0)) {
  }
  for (int i = 0; i < Columns_->Count(); ++i) {
    TListColumn* c = Columns_->Items(i);
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    col.fmt = c->Alignment() == taRightJustify ? LVCFMT_RIGHT
              : c->Alignment() == taCenter     ? LVCFMT_CENTER
                                               : LVCFMT_LEFT;
    std::string text = c->Caption();
    col.pszText = text.data();
    col.cx = c->Width_;
    if (c->ImageIndex() >= 0) {
      col.mask |= LVCF_IMAGE;
      col.fmt |= LVCFMT_IMAGE;
      col.iImage = c->ImageIndex();
    }
    SendMessageA(Handle_, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&col));
  }
}

int TCustomListView::ItemCount() {
  if (HandleAllocated()) return static_cast<int>(SendMessageA(Handle_, LVM_GETITEMCOUNT, 0, 0));
  return static_cast<int>(Saved_.size());
}

int TCustomListView::AddItem(const std::string& Caption, int ImageIndex) {
  if (!HandleAllocated()) {
    Saved_.push_back({Caption, ImageIndex});
    return static_cast<int>(Saved_.size()) - 1;
  }
  LVITEMA item{};
  item.mask = LVIF_TEXT | LVIF_IMAGE;
  item.iItem = ItemCount();
  std::string text = Caption;
  item.pszText = text.data();
  item.iImage = ImageIndex;
  return static_cast<int>(SendMessageA(Handle_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

std::string TCustomListView::ItemCaption(int Index) {
  if (!HandleAllocated()) return Saved_.at(static_cast<std::size_t>(Index)).Caption;
  char buf[260] = {};
  LVITEMA item{};
  item.iSubItem = 0;
  item.pszText = buf;
  item.cchTextMax = sizeof buf;
  SendMessageA(Handle_, LVM_GETITEMTEXTA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&item));
  return buf;
}

void TCustomListView::ClearItems() {
  Saved_.clear();
  if (HandleAllocated()) SendMessageA(Handle_, LVM_DELETEALLITEMS, 0, 0);
}

void TCustomListView::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, WC_LISTVIEWA);
  static const DWORD kViews[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
  Params.Style |= kViews[ViewStyle_] | LVS_SHAREIMAGELISTS | WS_CLIPCHILDREN;
  if (BorderStyle_ == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomListView::CreateWnd() {
  TWinControl::CreateWnd();
  if (SmallImages_)
    SendMessageA(Handle_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(SmallImages_->Handle()));
  if (LargeImages_)
    SendMessageA(Handle_, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(LargeImages_->Handle()));
  UpdateColumns();
  std::vector<SavedItem> items;
  items.swap(Saved_);
  for (const SavedItem& s : items) AddItem(s.Caption, s.Image);
}

void TCustomListView::DestroyWnd() {
  if (Handle_) {
    Saved_.clear();
    const int n = ItemCount();
    for (int i = 0; i < n; ++i) {
      LVITEMA item{};
      item.mask = LVIF_IMAGE;
      item.iItem = i;
      SendMessageA(Handle_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
      std::string caption = ItemCaption(i);
      Saved_.push_back({caption, item.iImage});
    }
    // Widths the user dragged are kept for the next window.
    for (int i = 0; i < Columns_->Count(); ++i)
      Columns_->Items(i)->Width_ =
          static_cast<int>(SendMessageA(Handle_, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i), 0));
  }
  TWinControl::DestroyWnd();
}

// ---- TCustomTreeView --------------------------------------------------------------------------

TCustomTreeView::TCustomTreeView(TComponent* AOwner) : TWinControl(AOwner) {
  ControlStyle_ = TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks};
  SetBounds(0, 0, 121, 97);
  TabStop_ = true;
  ParentColor_ = false;
  Color_ = clWindow;
}

void TCustomTreeView::SetImages(TCustomImageList* v) {
  Images_ = v;
  if (v) v->FreeNotification(this);
  if (HandleAllocated())
    SendMessageA(Handle_, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(v ? v->Handle() : nullptr));
}

void TCustomTreeView::SetBorderStyle(TBorderStyle v) {
  if (BorderStyle_ == v) return;
  BorderStyle_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomTreeView::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == Images_) SetImages(nullptr);
}

HTREEITEM TCustomTreeView::AddNode(HTREEITEM Parent, const std::string& Text, int ImageIndex) {
  TVINSERTSTRUCTA ins{};
  ins.hParent = Parent ? Parent : TVI_ROOT;
  ins.hInsertAfter = TVI_LAST;
  ins.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  std::string text = Text;
  ins.item.pszText = text.data();
  ins.item.iImage = ins.item.iSelectedImage = ImageIndex;
  return reinterpret_cast<HTREEITEM>(SendMessageA(Handle(), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
}

std::string TCustomTreeView::NodeText(HTREEITEM Node) {
  char buf[260] = {};
  TVITEMA item{};
  item.mask = TVIF_TEXT;
  item.hItem = Node;
  item.pszText = buf;
  item.cchTextMax = sizeof buf;
  SendMessageA(Handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  return buf;
}

int TCustomTreeView::NodeCount() { return static_cast<int>(SendMessageA(Handle(), TVM_GETCOUNT, 0, 0)); }

void TCustomTreeView::ClearNodes() {
  Saved_.clear();
  if (HandleAllocated()) SendMessageA(Handle_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
}

void TCustomTreeView::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, WC_TREEVIEWA);
  Params.Style |= TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS;
  if (BorderStyle_ == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomTreeView::CreateWnd() {
  TWinControl::CreateWnd();
  if (Images_) SendMessageA(Handle_, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(Images_->Handle()));
  std::vector<SavedNode> nodes;
  nodes.swap(Saved_);
  std::vector<HTREEITEM> made;
  for (const SavedNode& n : nodes)
    made.push_back(AddNode(n.Parent >= 0 ? made[static_cast<std::size_t>(n.Parent)] : nullptr, n.Text, n.Image));
}

void TCustomTreeView::SaveNodes(HTREEITEM item, int parent) {
  for (; item; item = reinterpret_cast<HTREEITEM>(
                   SendMessageA(Handle_, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
    char buf[260] = {};
    TVITEMA tv{};
    tv.mask = TVIF_TEXT | TVIF_IMAGE;
    tv.hItem = item;
    tv.pszText = buf;
    tv.cchTextMax = sizeof buf;
    SendMessageA(Handle_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
    Saved_.push_back({parent, buf, tv.iImage});
    const int self = static_cast<int>(Saved_.size()) - 1;
    SaveNodes(
        reinterpret_cast<HTREEITEM>(SendMessageA(Handle_, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item))),
        self);
  }
}

void TCustomTreeView::DestroyWnd() {
  if (Handle_) {
    Saved_.clear();
    SaveNodes(reinterpret_cast<HTREEITEM>(SendMessageA(Handle_, TVM_GETNEXTITEM, TVGN_ROOT, 0)), -1);
  }
  TWinControl::DestroyWnd();
}

// ---- published properties ----------------------------------------------------------------------

static const bool kComCtrlsProps = [] {
  RegisterProperties<TCustomTabControl, TWinControl>([](auto& p) {
    p.Obj("Tabs", &TCustomTabControl::Tabs, &TCustomTabControl::SetTabs);
    p.Ord("TabIndex", &TCustomTabControl::TabIndex, &TCustomTabControl::SetTabIndex);
    p.Ord("Style", &TCustomTabControl::Style, &TCustomTabControl::SetStyle);
    p.Ord("TabPosition", &TCustomTabControl::TabPosition, &TCustomTabControl::SetTabPosition);
    p.Ord("HotTrack", &TCustomTabControl::HotTrack, &TCustomTabControl::SetHotTrack);
    p.Ord("MultiLine", &TCustomTabControl::MultiLine, &TCustomTabControl::SetMultiLine);
    p.Ord("OwnerDraw", &TCustomTabControl::OwnerDraw, &TCustomTabControl::SetOwnerDraw);
    p.Obj("Images", &TCustomTabControl::Images, &TCustomTabControl::SetImages);
  });
  RegisterProperties<TPageControl, TCustomTabControl>(
      [](auto& p) { p.Obj("ActivePage", &TPageControl::ActivePage, &TPageControl::SetActivePage); });
  RegisterProperties<TTabSheet, TWinControl>([](auto& p) {
    p.Obj("PageControl", &TTabSheet::PageControl, &TTabSheet::SetPageControl);
    p.Ord("TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible);
    p.Ord("PageIndex", &TTabSheet::PageIndex, &TTabSheet::SetPageIndex);
    p.Ord("ImageIndex", &TTabSheet::ImageIndex, &TTabSheet::SetImageIndex);
  });
  RegisterProperties<TStatusBar, TWinControl>([](auto& p) {
    p.Obj("Panels", &TStatusBar::Panels, &TStatusBar::SetPanels);
    p.Ord("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel);
    p.Ord("SizeGrip", &TStatusBar::SizeGrip, &TStatusBar::SetSizeGrip);
    p.Ord("UseSystemFont", &TStatusBar::UseSystemFont, &TStatusBar::SetUseSystemFont);
  });
  RegisterProperties<TTrackBar, TWinControl>([](auto& p) {
    p.Ord("Min", &TTrackBar::Min, &TTrackBar::SetMin);
    p.Ord("Max", &TTrackBar::Max, &TTrackBar::SetMax);
    p.Ord("Position", &TTrackBar::Position, &TTrackBar::SetPosition);
    p.Ord("Orientation", &TTrackBar::Orientation, &TTrackBar::SetOrientation);
    p.Ord("ThumbLength", &TTrackBar::ThumbLength, &TTrackBar::SetThumbLength);
    p.Ord("TickStyle", &TTrackBar::TickStyle, &TTrackBar::SetTickStyle);
    p.Ord("TickMarks", &TTrackBar::TickMarks, &TTrackBar::SetTickMarks);
    p.Ord("Frequency", &TTrackBar::Frequency, &TTrackBar::SetFrequency);
  });
  RegisterProperties<TCustomUpDown, TWinControl>([](auto& p) {
    p.Ord("Min", &TCustomUpDown::Min, &TCustomUpDown::SetMin);
    p.Ord("Max", &TCustomUpDown::Max, &TCustomUpDown::SetMax);
    p.Ord("Position", &TCustomUpDown::Position, &TCustomUpDown::SetPosition);
    p.Ord("Increment", &TCustomUpDown::Increment, &TCustomUpDown::SetIncrement);
    p.Ord("Orientation", &TCustomUpDown::Orientation, &TCustomUpDown::SetOrientation);
    p.Ord("AlignButton", &TCustomUpDown::AlignButton, &TCustomUpDown::SetAlignButton);
    p.Obj("Associate", &TCustomUpDown::Associate, &TCustomUpDown::SetAssociate);
    p.Ord("ArrowKeys", &TCustomUpDown::ArrowKeys, &TCustomUpDown::SetArrowKeys);
    p.Ord("Thousands", &TCustomUpDown::Thousands, &TCustomUpDown::SetThousands);
    p.Ord("Wrap", &TCustomUpDown::Wrap, &TCustomUpDown::SetWrap);
  });
  RegisterProperties<TToolButton, TGraphicControl>([](auto& p) {
    p.Ord("Style", &TToolButton::Style, &TToolButton::SetStyle);
    p.Ord("ImageIndex", &TToolButton::ImageIndex, &TToolButton::SetImageIndex);
    p.Ord("Down", &TToolButton::Down, &TToolButton::SetDown);
    p.Ord("Grouped", &TToolButton::Grouped, &TToolButton::SetGrouped);
    p.Obj("DropdownMenu", &TToolButton::DropdownMenu, &TToolButton::SetDropdownMenu);
  });
  RegisterProperties<TToolBar, TWinControl>([](auto& p) {
    p.Ord("ShowCaptions", &TToolBar::ShowCaptions, &TToolBar::SetShowCaptions);
    p.Obj("Images", &TToolBar::Images, &TToolBar::SetImages);
    p.Ord("Flat", &TToolBar::Flat, &TToolBar::SetFlat);
    p.Ord("ButtonWidth", &TToolBar::ButtonWidth, &TToolBar::SetButtonWidth);
    p.Ord("ButtonHeight", &TToolBar::ButtonHeight, &TToolBar::SetButtonHeight);
  });
  RegisterProperties<TCustomListView, TWinControl>([](auto& p) {
    p.Obj("Columns", &TCustomListView::Columns, &TCustomListView::SetColumns);
    p.Ord("ViewStyle", &TCustomListView::ViewStyle, &TCustomListView::SetViewStyle);
    p.Obj("SmallImages", &TCustomListView::SmallImages, &TCustomListView::SetSmallImages);
    p.Obj("LargeImages", &TCustomListView::LargeImages, &TCustomListView::SetLargeImages);
    p.Ord("BorderStyle", &TCustomListView::BorderStyle, &TCustomListView::SetBorderStyle);
  });
  RegisterProperties<TCustomTreeView, TWinControl>([](auto& p) {
    p.Obj("Images", &TCustomTreeView::Images, &TCustomTreeView::SetImages);
    p.Ord("BorderStyle", &TCustomTreeView::BorderStyle, &TCustomTreeView::SetBorderStyle);
  });
  return true;
}();
