// The window menu of a skinned dialog.
#include "skin/windows/acDials.h"

#include "skin/windows/sSkinMenus.h"

namespace {

// An item's system command and whether the items are updated after it, kept in its Tag.
constexpr std::intptr_t kUpdateFlag = 1;

}  // namespace

TacSystemMenu::TacSystemMenu(TacDialogWnd* AOwner) : TPopupMenu(nullptr), Adapter(AOwner) {
  ItemRestore = AddItem("miRestore", sWindowMenuRestore, SC_RESTORE, true);
  ItemMove = AddItem("miMove", sWindowMenuMove, SC_MOVE, false);
  ItemSize = AddItem("miSize", sWindowMenuSize, SC_SIZE, false);
  ItemMinimize = AddItem("miMinimize", sWindowMenuMinimize, SC_MINIMIZE, false);
  ItemMaximize = AddItem("miMaximize", sWindowMenuMaximize, SC_MAXIMIZE, true);
  auto* line = Create<TMenuItem>(this);
  line->SetCaption("-");
  Items()->Add(line);
  ItemClose = AddItem("miClose", sWindowMenuClose, SC_CLOSE, false);
  ItemClose->SetShortCut(ShortCut(VK_F4, TShiftState{ssAlt}));
}

TMenuItem* TacSystemMenu::AddItem(const std::string& Name, const std::string& Caption, WPARAM Command, bool Update) {
  auto* item = Create<TMenuItem>(this);
  item->SetName(Name);
  item->SetCaption(Caption);
  item->SetTag(std::intptr_t(Command) | (Update ? kUpdateFlag : 0));
  item->OnClick = MakeMethod<&TacSystemMenu::ItemClick>(this);
  Items()->Add(item);
  return item;
}

void TacSystemMenu::ItemClick(TObject* Sender) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  if (!item || !Adapter || Adapter->Destroyed) return;
  const std::intptr_t tag = item->Tag();
  auto alive = Adapter->AliveToken();
  SendMessageA(Adapter->WndHandle, WM_SYSCOMMAND, WPARAM(tag & ~kUpdateFlag), 0);
  if (*alive && (tag & kUpdateFlag) != 0) UpdateItems();
}

void TacSystemMenu::UpdateItems() {
  if (!Adapter || Adapter->Destroyed || !Items()) return;
  const std::uint32_t style = Adapter->StyleBits;
  const bool sizeable = Adapter->FrameKind == qv::fkUnknown || Adapter->FrameKind == qv::fkSizeable;
  const bool maxBox = (style & WS_MAXIMIZEBOX) != 0, minBox = (style & WS_MINIMIZEBOX) != 0;
  const bool iconic = Adapter->Iconic(), zoomed = Adapter->Zoomed();
  ItemRestore->SetVisible(sizeable && (style & WS_SYSMENU) != 0);
  ItemRestore->SetEnabled(maxBox && (iconic || zoomed));
  ItemMove->SetVisible(true);
  ItemMove->SetEnabled(!zoomed);
  ItemSize->SetVisible(sizeable);
  ItemSize->SetEnabled(Adapter->FrameKind != qv::fkUnknown && !iconic);
  ItemMinimize->SetVisible(minBox);
  ItemMinimize->SetEnabled(minBox && !iconic);
  ItemMaximize->SetVisible(maxBox);
  ItemMaximize->SetEnabled(Adapter->MaxEnabled());
  ItemClose->SetVisible((style & WS_SYSMENU) != 0);
  ItemClose->SetEnabled(Adapter->CloseEnabled());
}
