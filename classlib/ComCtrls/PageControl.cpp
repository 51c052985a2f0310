// TPageControl and its pages TTabSheet.
#include "classlib/ComCtrls.h"

#include <algorithm>

#include "classlib/core/TypInfo.h"

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

// ---- published properties ----------------------------------------------------------------------

static const bool kPageControlProps = RegisterProperties<TPageControl, TCustomTabControl>(
    [](auto& p) { p.Obj("ActivePage", &TPageControl::ActivePage, &TPageControl::SetActivePage); });

static const bool kTabSheetProps = RegisterProperties<TTabSheet, TWinControl>([](auto& p) {
  p.Str("Caption", &TTabSheet::Caption, &TTabSheet::SetCaption);
  p.Obj("PageControl", &TTabSheet::PageControl, &TTabSheet::SetPageControl);
  p.Ord("TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible);
  p.Ord("PageIndex", &TTabSheet::PageIndex, &TTabSheet::SetPageIndex);
  p.Ord("ImageIndex", &TTabSheet::ImageIndex, &TTabSheet::SetImageIndex);
});
