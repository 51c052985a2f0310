// The control adapter: which of a form's controls get a window adapter, with which section and
// class, and the items that hold them.
#include "skin/windows/sSkinProvider/CtrlAdapter.h"

#include <algorithm>

#include "classlib/StdCtrls.h"
#include "skin/engine/sSkinManager.h"
#include "skin/windows/acSBUtils.h"

bool AddingItems = false;

namespace {

constexpr std::intptr_t kNeverSkinnedTag = -98;

// Sections by kind: "Edit", "Button", "BitBtn", "CheckBox", "ComboBox", "Grid", "GroupBox",
// "ListView", "Panel", "TreeView", "wwEdit", "GridEh", "VirtualTree", "PageControl", "TabControl",
// "ToolBar", "StatusBar".
constexpr TacKindSections kKindSections[ThirdListCount] = {
    {"", "EDIT"},
    {"BUTTON", "BUTTON"},
    {"BUTTON", "BUTTON"},
    {"CHECKBOX", ""},
    {"", "EDIT"},
    {"", "EDIT"},
    {"GROUPBOX", ""},
    {"", "EDIT"},
    {"PANEL", "PANEL"},
    {"", "EDIT"},
    {"", "EDIT"},
    {"", "EDIT"},
    {"", "EDIT"},
    {"PAGECONTROL", "PAGECONTROL"},
    {"PAGECONTROL", "PAGECONTROL"},
    {"TOOLBAR", "TOOLBAR"},
    {"STATUSBAR", "STATUSBAR"},
};

bool HasWindow(const TControl* c) {
  return c->IsWindowControl() && static_cast<const TWinControl*>(c)->HandleAllocated();
}

// The window of an item whose adapter lives and whose control has a parent; nullptr otherwise.
HWND LiveWindow(const TacAdapterItem* item) {
  if (!item || !item->WndAdapter || item->WndAdapter->Destroyed || !item->Control || !item->Control->Parent() ||
      !HasWindow(item->Control))
    return nullptr;
  return static_cast<TWinControl*>(item->Control)->Handle();
}

// A window control that is a skinned control already (it answers QC_ISSKINNED with 1).
bool SkinnedOfItsOwn(TControl* c) { return c->IsWindowControl() && AskControl(c, QC_ISSKINNED); }

// The adding guard held by the outermost walk only: nested walks (a receiver's handler adapting a
// form of its own, or the walk's own descent) leave it as the outer walk set it.
class TAddingScope {
 public:
  TAddingScope() : Outer_(AddingItems) { AddingItems = true; }
  ~TAddingScope() { AddingItems = Outer_; }
  TAddingScope(const TAddingScope&) = delete;
  TAddingScope& operator=(const TAddingScope&) = delete;

 private:
  bool Outer_;
};

}  // namespace

// Hears when the control of an item is freed, so that no item outlives its control.
class TacControlWatch : public TComponent {
 public:
  QV_CLASS_NAME(TacControlWatch)
  explicit TacControlWatch(TacCtrlAdapter* Owner) : TComponent(nullptr), Owner_(Owner) {}
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && Owner_) Owner_->ControlFreed(AComponent);
  }
  TacCtrlAdapter* Owner_;
};

const TacKindSections& KindSections(int Kind) {
  static const TacKindSections none{"", ""};
  return Kind >= 0 && Kind < ThirdListCount ? kKindSections[Kind] : none;
}

int ThirdKindOf(TsSkinManager* Manager, const std::string& ClassName) {
  if (!Manager) return -1;
  for (int kind = 0; kind < ThirdListCount; ++kind) {
    const TStringList* list = Manager->ThirdLists()[std::size_t(kind)];
    if (!list) continue;
    for (int i = 0; i < list->Count(); ++i)
      if (list->Strings(i) == ClassName) return kind;
  }
  return -1;
}

// ---- TacAdapterItem --------------------------------------------------------------------------------------

TacAdapterItem::TacAdapterItem() : SkinData(new TsCommonData(this, true)) { SkinData->TypeCode = tcAdapterItem; }

TacAdapterItem::~TacAdapterItem() {
  if (WndAdapter) FreeAndNil(WndAdapter);
  delete SkinData;
  SkinData = nullptr;
}

void TacAdapterItem::AttachControl(TControl* AControl) {
  if (!AControl || !HasWindow(AControl)) return;
  if (AControl->Parent() && SkinnedOfItsOwn(AControl)) return;
  Control = AControl;
  SkinData->OwnerControl = AControl;
  SkinData->OwnerObject = AControl;
  if (!AControl->Parent()) return;
  TsSkinManager* sm = SkinData->SkinManager();
  const int kind = ThirdKindOf(sm, AControl->ClassName());
  const TacAdapterMaker make = KindAdapter(kind);
  if (kind < 0 || !make) return;
  const TacKindSections& sections = KindSections(kind);
  if (*sections.ItemSection) SkinData->SetSkinSection(sections.ItemSection);
  WndAdapter = make(static_cast<TWinControl*>(AControl)->Handle(), SkinData, sm, sections.AdapterSection, true);
}

// ---- TacCtrlAdapter --------------------------------------------------------------------------------------

TacCtrlAdapter::TacCtrlAdapter(TsSkinProvider* AProvider)
    : Provider(AProvider), Watch_(Create<TacControlWatch>(this)) {}

TacCtrlAdapter::~TacCtrlAdapter() {
  CleanItems();
  ClearItems();
  RestoreLabels();
  static_cast<TacControlWatch*>(Watch_)->Owner_ = nullptr;
  FreeAndNil(Watch_);
}

void TacCtrlAdapter::ControlFreed(TComponent* Control) {
  for (std::size_t i = 0; i < Items.size(); ++i) {
    TacAdapterItem* item = Items[i];
    if (!item || item->Control != Control) continue;
    // The adapter gives the window back while the control is still whole.
    Items.erase(Items.begin() + std::ptrdiff_t(i));
    item->Free();
    return;
  }
}

TsSkinManager* TacCtrlAdapter::Manager() const {
  return Provider && Provider->SkinData ? Provider->SkinData->SkinManager() : nullptr;
}

bool TacCtrlAdapter::AskProvider(TControl* Control, std::string& Section) {
  bool canBeAdded = true;
  if (Provider && Provider->OnSkinItem) Provider->OnSkinItem(Control, canBeAdded, Section);
  return canBeAdded;
}

bool TacCtrlAdapter::IsControlSupported(TControl* Control) {
  if (!Control || Control->Tag() == kNeverSkinnedTag) return false;
  if (Control->IsWindowControl()) {
    if (!HasWindow(Control) || SkinnedOfItsOwn(Control)) return false;
  } else {
    if (!dynamic_cast<TCustomLabel*>(Control)) return false;
    std::string section;
    return AskProvider(Control, section);
  }
  return ThirdKindOf(Manager(), Control->ClassName()) >= 0;
}

TacAdapterItem* TacCtrlAdapter::GetItem(int Index) const {
  return Index >= 0 && Index < Count() ? Items[std::size_t(Index)] : nullptr;
}

void TacCtrlAdapter::AddNewItem(TControl* Control) { AddItem(Control, DefaultSection); }

void TacCtrlAdapter::AddItem(TControl* Control, const std::string& Section) {
  if (!Control || Control->Tag() == kNeverSkinnedTag || !Control->Parent() || SkinnedOfItsOwn(Control)) return;
  std::string section = Section;
  if (!AskProvider(Control, section)) return;
  auto found = std::find_if(Items.begin(), Items.end(), [&](const TacAdapterItem* i) { return i->Control == Control; });
  if (found != Items.end()) {
    TacAdapterItem* item = *found;
    item->SkinData->SetSkinSection(section);
    if (item->WndAdapter && item->WndAdapter->Destroyed) {
      // The control's window was made again: a new adapter in the same item.
      FreeAndNil(item->WndAdapter);
      if (Control->Parent()) item->AttachControl(Control);
    }
    return;
  }
  auto* item = Create<TacAdapterItem>();
  item->Adapter = this;
  item->Control = Control;
  if (TsSkinManager* own = Provider && Provider->SkinData ? Provider->SkinData->OwnSkinManager() : nullptr)
    item->SkinData->SetSkinManager(own);
  item->SkinData->SetSkinSection(section);
  Items.push_back(item);
  item->AttachControl(Control);
  if (!item->WndAdapter) {
    Items.erase(std::find(Items.begin(), Items.end(), item));
    item->Free();
    return;
  }
  Watch_->FreeNotification(Control);
}

void TacCtrlAdapter::RemoveItem(int Index) {
  if (Index < 0 || Index >= Count()) return;
  TacAdapterItem* item = Items[std::size_t(Index)];
  Items[std::size_t(Index)] = Items.back();
  Items.pop_back();
  item->Free();
}

void TacCtrlAdapter::BroadcastMessage(TMessage& Message) {
  // The windows as they are now; before each is sent the message, it must still be the window of a
  // live item (a receiver may free items, and a new item may take a freed one's memory).
  std::vector<HWND> windows;
  for (TacAdapterItem* item : Items)
    if (HWND wnd = LiveWindow(item)) windows.push_back(wnd);
  // Each item hears it from this round, a container among them keeping it (SendInRound).
  try {
    for (HWND wnd : windows)
      if (std::any_of(Items.begin(), Items.end(), [&](TacAdapterItem* i) { return LiveWindow(i) == wnd; })) {
        TMessage m = Message;
        SendInRound(wnd, m);
      }
  } catch (...) {
    // A failing receiver ends the broadcast; the sender goes on.
  }
}

void TacCtrlAdapter::AddAllItems(TWinControl* OwnerControl) {
  TCustomForm* form = Provider ? Provider->Form : nullptr;
  if (Provider) {
    Provider->HasParentBgChild = false;
    for (int i = 0; form && i < form->ControlCount(); ++i) {
      auto* wc = dynamic_cast<TWinControl*>(form->Controls(i));
      if (wc && wc->ParentBackground()) {
        Provider->HasParentBgChild = true;
        break;
      }
    }
  }
  TsSkinManager* sm = Manager();
  if (AddingItems || !sm || !sm->SkinningRules().Contains(srThirdParty)) return;
  TWinControl* owner = OwnerControl ? OwnerControl : form;
  if (!owner) return;
  TAddingScope adding;
  CleanItems();
  AddLevel(owner);
}

void TacCtrlAdapter::AddLevel(TWinControl* Owner) {
  // Handlers run while controls are adapted may free components: the lists are read afresh at
  // each step and a control is checked against them before use.
  for (int i = 0; i < Owner->ComponentCount(); ++i)
    if (auto* c = dynamic_cast<TControl*>(Owner->Components(i))) AddFromList(c, true);
  for (int i = 0; i < Owner->ControlCount(); ++i)
    if (TControl* c = Owner->Controls(i)) AddFromList(c, false);
}

void TacCtrlAdapter::AddFromList(TControl* Control, bool FromComponents) {
  if (IsControlSupported(Control)) {
    if (Control->IsWindowControl()) {
      AddItem(Control, "EDIT");
    } else if (auto* label = dynamic_cast<TCustomLabel*>(Control)) {
      const bool plainLabel =
          FromComponents ? !IsClassKind(label, TacClassKind::SkinnedLabel) : dynamic_cast<TLabel*>(label) != nullptr;
      if (plainLabel) SkinLabel(label);
    }
  }
  if (Control->IsWindowControl() && HasWindow(Control) && Control->Parent())
    AddLevel(static_cast<TWinControl*>(Control));
}

void TacCtrlAdapter::SkinLabel(TCustomLabel* Label) {
  TsSkinManager* sm = Manager();
  const TColor color = sm ? sm->GetGlobalFontColor() : clParentColorUnset;
  auto known = std::find_if(Labels_.begin(), Labels_.end(), [&](const TLabelLook& l) { return l.Label == Label; });
  if (known == Labels_.end())
    known = Labels_.insert(Labels_.end(), {Label, Label->Transparent(), Label->Font()->Color(), Label->ParentFont()});
  Label->SetTransparent(true);
  if (color != clParentColorUnset && color >= 0) {
    Label->Font()->SetColor(color);
  } else {
    // A skin without a global font colour shows the label's own.
    Label->Font()->SetColor(known->FontColor);
    if (known->ParentFont) Label->SetParentFont(true);
  }
}

void TacCtrlAdapter::RestoreLabels() {
  if (Labels_.empty()) return;
  std::vector<TLabelLook> labels;
  labels.swap(Labels_);
  TCustomForm* form = Provider ? Provider->Form : nullptr;
  if (!form || form->IsDestroying()) return;
  // Only labels that are still on the form: a freed one is never touched.
  std::vector<TControl*> present;
  std::vector<TWinControl*> pending{form};
  while (!pending.empty()) {
    TWinControl* w = pending.back();
    pending.pop_back();
    for (int i = 0; i < w->ControlCount(); ++i) {
      TControl* c = w->Controls(i);
      present.push_back(c);
      if (c && c->IsWindowControl()) pending.push_back(static_cast<TWinControl*>(c));
    }
  }
  for (const TLabelLook& l : labels) {
    if (std::find(present.begin(), present.end(), l.Label) == present.end() || l.Label->IsDestroying()) continue;
    l.Label->Font()->SetColor(l.FontColor);
    if (l.ParentFont) l.Label->SetParentFont(true);
    l.Label->SetTransparent(l.Transparent);
  }
}

void TacCtrlAdapter::CleanItems() {
  for (std::size_t i = 0; i < Items.size();) {
    TacAdapterItem* item = Items[i];
    if (item && item->WndAdapter && (!item->WndAdapter->Destroyed || item->Control)) {
      ++i;
      continue;
    }
    Items.erase(Items.begin() + std::ptrdiff_t(i));
    ::Free(item);
  }
}

void TacCtrlAdapter::ClearItems() {
  if (AdapterItemsClearing) return;
  AdapterItemsClearing = true;
  while (!Items.empty()) {
    TacAdapterItem* item = Items.back();
    Items.pop_back();
    ::Free(item);
  }
  AdapterItemsClearing = false;
}
