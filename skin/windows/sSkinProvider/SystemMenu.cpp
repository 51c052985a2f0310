// The skinned window menu of a provider's form.
#include "skin/windows/sSkinProvider.h"

#include <algorithm>

#include "classlib/core/TypInfo.h"
#include "skin/engine/sQuorvexGraph.h"
#include "skin/engine/sSkinManager.h"
#include "skin/windows/sSkinMenus.h"

TsSkinProvider* MaximizingMDIChild = nullptr;

namespace {

const char* const sAvailableSkins = "Available skins";
const char* const kSkinSelectItem = "SkinSelectItem";
// A new column of skin items after this many.
constexpr int kSkinsPerColumn = 20;

std::string WithoutAmpersands(const std::string& s) {
  std::string r;
  r.reserve(s.size());
  for (char c : s)
    if (c != '&') r += c;
  return r;
}

std::string DoubledAmpersands(const std::string& s) {
  std::string r;
  r.reserve(s.size());
  for (char c : s) {
    r += c;
    if (c == '&') r += '&';
  }
  return r;
}

}  // namespace

// ---- TsSystemMenu -----------------------------------------------------------------------------------------

TsSystemMenu::TsSystemMenu(TsSkinProvider* AProvider) : TPopupMenu(AProvider), Provider(AProvider) {
  if (AProvider) Form = AProvider->Form;
  ItemRestore = AddItem("ItemRestore", sWindowMenuRestore, MakeMethod<&TsSystemMenu::RestoreClick>(this));
  ItemMove = AddItem("ItemMove", sWindowMenuMove, MakeMethod<&TsSystemMenu::MoveClick>(this));
  ItemSize = AddItem("ItemSize", sWindowMenuSize, MakeMethod<&TsSystemMenu::SizeClick>(this));
  ItemMinimize = AddItem("ItemMinimize", sWindowMenuMinimize, MakeMethod<&TsSystemMenu::MinimizeClick>(this));
  ItemMaximize = AddItem("ItemMaximize", sWindowMenuMaximize, MakeMethod<&TsSystemMenu::MaximizeClick>(this));
  AddItem("", "-", TNotifyEvent());
  ItemClose = AddItem("ItemClose", sWindowMenuClose, MakeMethod<&TsSystemMenu::CloseClick>(this));
  ItemClose->SetShortCut(ShortCut(VK_F4, TShiftState{ssAlt}));
}

TMenuItem* TsSystemMenu::AddItem(const std::string& Name, const std::string& Caption, TNotifyEvent OnClick) {
  auto* item = Create<TMenuItem>(this);
  if (!Name.empty()) item->SetName(Name);
  item->SetCaption(Caption);
  item->OnClick = OnClick;
  Items()->Add(item);
  return item;
}

bool TsSystemMenu::HasSysMenu() const { return Provider ? Provider->HasSysMenu() : true; }

void TsSystemMenu::UpdateItems() {
  if (!Form || !Items()) return;
  const TFormBorderStyle bs = Form->BorderStyle();
  const TBorderIcons icons = Form->BorderIcons();
  const TWindowState ws = Form->WindowState();
  const bool mdiChild = Form->FormStyle() == fsMDIChild;
  const bool iconic = Form->HandleAllocated() && IsIconic(Form->Handle());
  const bool sysMenu = HasSysMenu();
  const bool toolOrDialog = bs == bsDialog || bs == bsNone || bs == bsToolWindow || bs == bsSizeToolWin;

  ItemRestore->SetVisible(sysMenu && (mdiChild || !toolOrDialog));
  ItemRestore->SetEnabled((icons.Contains(biMaximize) && ws != wsNormal) || ws == wsMinimized);

  ItemMove->SetVisible(true);
  ItemMove->SetEnabled(ws != wsMaximized);

  ItemSize->SetVisible(mdiChild || !(bs == bsDialog || bs == bsNone || bs == bsToolWindow));
  ItemSize->SetEnabled(bs != bsSingle && !iconic);

  // Minimize and Maximize are shown by the same rule, each with its own border icon.
  auto boxVisible = [&](TBorderIcon icon) {
    if (!sysMenu) return false;
    if (iconic || mdiChild) return true;
    if (toolOrDialog) return false;
    if (bs == bsSingle && !icons.Contains(icon)) return false;
    return icons.Contains(icon);
  };
  ItemMinimize->SetVisible(boxVisible(biMinimize));
  ItemMinimize->SetEnabled(icons.Contains(biMinimize) && ws != wsMinimized);
  ItemMaximize->SetVisible(boxVisible(biMaximize));
  ItemMaximize->SetEnabled(icons.Contains(biMaximize) &&
                           (mdiChild || (ws != wsMaximized && (bs == bsSingle || bs == bsSizeable))));

  ItemClose->SetVisible(sysMenu);
  ItemClose->SetEnabled(true);
}

void TsSystemMenu::SendCommand(WPARAM Command) {
  if (Form && Form->HandleAllocated()) SendMessageA(Form->Handle(), WM_SYSCOMMAND, Command, 0);
}

void TsSystemMenu::RestoreClick(TObject*) {
  SendCommand(SC_RESTORE);
  UpdateItems();
}

void TsSystemMenu::MoveClick(TObject*) { SendCommand(SC_MOVE); }

void TsSystemMenu::SizeClick(TObject*) { SendCommand(SC_SIZE); }

void TsSystemMenu::MinimizeClick(TObject*) {
  if (Form && Application && Application->MainForm() == Form)
    Application->Minimize();
  else
    SendCommand(SC_MINIMIZE);
  UpdateItems();
}

void TsSystemMenu::MaximizeClick(TObject*) {
  if (Form) {
    if (Form->FormStyle() == fsMDIChild)
      MaximizingMDIChild = Provider;
    else
      Form->SetWindowState(wsMaximized);
  }
  SendCommand(SC_MAXIMIZE);
  UpdateItems();
}

void TsSystemMenu::CloseClick(TObject*) { SendCommand(SC_CLOSE); }

void TsSystemMenu::RemoveSkinItems() {
  TMenuItem* root = Items();
  if (!root) return;
  for (int i = 0; i < root->Count(); ++i) {
    TMenuItem* item = root->Items(i);
    if (item->Name() != kSkinSelectItem) continue;
    if (i + 1 < root->Count() && root->Items(i + 1)->IsLine()) root->Items(i + 1)->Free();
    item->Free();
    break;
  }
  FSkinNames.clear();
}

void TsSystemMenu::MakeSkinItems() {
  TsSkinManager* manager = Provider && Provider->SkinData ? Provider->SkinData->SkinManager() : nullptr;
  if (!manager) return;
  RemoveSkinItems();
  TStringList names;
  std::string first;
  manager->ListSkins(&names, stAllSkins, first);
  if (names.Count() == 0) return;

  auto* top = Create<TMenuItem>(this);
  top->SetName(kSkinSelectItem);
  top->SetCaption(sAvailableSkins);
  Items()->Insert(0, top);
  auto* line = Create<TMenuItem>(this);
  line->SetCaption("-");
  Items()->Insert(1, line);

  for (int i = 0; i < names.Count(); ++i) {
    const std::string name = names.Strings(i);
    FSkinNames.push_back(name);
    auto* item = Create<TMenuItem>(this);
    item->SetName(kSkinSelectItem + std::to_string(i));
    item->SetTag(i);
    item->SetCaption(DoubledAmpersands(name));
    item->SetRadioItem(true);
    item->SetChecked(name == manager->SkinName());
    if (i > 0 && i % kSkinsPerColumn == 0) item->SetBreak(mbBreak);
    item->OnClick = MakeMethod<&TsSystemMenu::SkinItemClick>(this);
    top->Add(item);
  }
}

void TsSystemMenu::SkinItemClick(TObject* Sender) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  TsSkinManager* manager = Provider && Provider->SkinData ? Provider->SkinData->SkinManager() : nullptr;
  if (!item || !manager) return;
  const std::intptr_t i = item->Tag();
  // The name kept for the item; an item made otherwise goes by its caption.
  const std::string name =
      i >= 0 && std::size_t(i) < FSkinNames.size() ? FSkinNames[std::size_t(i)] : WithoutAmpersands(item->Caption());
  manager->SetSkinName(name);
}
