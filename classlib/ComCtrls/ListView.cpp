// TCustomListView with its columns and items.
#include "classlib/ComCtrls.h"

#include "classlib/core/TypInfo.h"

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

// ---- published properties ----------------------------------------------------------------------

static const bool kCustomListViewProps = RegisterProperties<TCustomListView, TWinControl>([](auto& p) {
  p.Obj("Columns", &TCustomListView::Columns, &TCustomListView::SetColumns);
  p.Ord("ViewStyle", &TCustomListView::ViewStyle, &TCustomListView::SetViewStyle);
  p.Obj("SmallImages", &TCustomListView::SmallImages, &TCustomListView::SetSmallImages);
  p.Obj("LargeImages", &TCustomListView::LargeImages, &TCustomListView::SetLargeImages);
  p.Ord("BorderStyle", &TCustomListView::BorderStyle, &TCustomListView::SetBorderStyle);
});
