// TCustomTreeView with its nodes.
#include "classlib/ComCtrls.h"

#include "classlib/core/TypInfo.h"

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

static const bool kCustomTreeViewProps = RegisterProperties<TCustomTreeView, TWinControl>([](auto& p) {
  p.Obj("Images", &TCustomTreeView::Images, &TCustomTreeView::SetImages);
  p.Ord("BorderStyle", &TCustomTreeView::BorderStyle, &TCustomTreeView::SetBorderStyle);
});
