#include "skin/engine/sSkinManager.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <new>

#include "classlib/Forms.h"
#include "classlib/Menus.h"
#include "classlib/core/TypInfo.h"
#include "skin/engine/KeptSkins.h"
#include "skin/engine/SkinWalk.h"
#include "skin/engine/acSkinPack.h"
#include "skin/engine/core/acSkinLoader.h"

namespace fs = std::filesystem;

TsSkinManager* DefaultManager = nullptr;
LRESULT (*DialogHookProc)(int Code, WPARAM WParam, LPARAM LParam) = nullptr;
void (*ClearMnuArrayProc)() = nullptr;
HHOOK CBTHook = nullptr;
TList* DialogProviders = nullptr;
TsSkinableMenus* (*CreateSkinableMenusProc)(TsSkinManager* Manager) = nullptr;

namespace {

std::vector<TWinControl*> SkinnedFormList;

int CompareNoCase(const std::string& a, const std::string& b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const int ca = std::tolower(static_cast<unsigned char>(a[i]));
    const int cb = std::tolower(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool SameNoCase(const std::string& a, const std::string& b) { return CompareNoCase(a, b) == 0; }

// Skin names and folders are the program's ANSI strings; the file system names files in UTF-16. The
// conversions go through the ANSI code page both ways (a narrow path of the standard library would
// read and give UTF-8).
fs::path AnsiPath(const std::string& Text) {
  if (Text.empty()) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, Text.data(), int(Text.size()), nullptr, 0);
  std::wstring wide(std::size_t(std::max(n, 0)), L'\0');
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, Text.data(), int(Text.size()), wide.data(), n);
  return fs::path(wide);
}

// The ANSI spelling of a file name; false when a character has none (such a name could not be
// asked for again).
bool AnsiName(const fs::path& Name, std::string& Out) {
  const std::wstring wide = Name.wstring();
  Out.clear();
  if (wide.empty()) return true;
  BOOL lossy = FALSE;
  const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, &lossy);
  if (n <= 0 || lossy) return false;
  Out.resize(std::size_t(n));
  WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), Out.data(), n, nullptr, &lossy);
  return !lossy;
}

std::string AnsiText(const fs::path& Path) {
  std::string out;
  return AnsiName(Path, out) ? out : Path.string();
}

bool Dying(const TComponent* c) { return c && c->ComponentState().Contains(csDestroying); }

// Runs a skin loader: a skin too large for the memory left (or any other exception of the loader)
// fails like a bad skin, with an error text, from every source.
template <class F>
std::shared_ptr<const qv::TSkinModel> GuardedLoad(F&& load, std::string& error) {
  try {
    return load();
  } catch (const std::bad_alloc&) {
    error = "not enough memory to load it";
  } catch (const std::exception& e) {
    error = e.what();
  }
  return nullptr;
}

// The installed hook: hands every call to the dialog unit's procedure, or passes it on.
LRESULT CALLBACK ManagerCBTProc(int Code, WPARAM WParam, LPARAM LParam) {
  if (DialogHookProc) {
    try {
      return DialogHookProc(Code, WParam, LParam);
    } catch (...) {
      HandleBoundaryException(DefaultManager);
    }
  }
  return CallNextHookEx(CBTHook, Code, WParam, LParam);
}

const char* const DefaultThirdTable[ThirdListCount] = {
    "TEdit\r\nTMemo\r\nTMaskEdit\r\nTLabeledEdit\r\nTHotKey\r\nTListBox\r\nTCheckListBox\r\nTDBListBox\r\n"
    "TRichEdit\r\nTDBMemo\r\nTSynEdit\r\nTSynMemo\r\nTDBSynEdit\r\nTDBLookupListBox\r\nTDBRichEdit\r\n"
    "TDBCtrlGrid\r\nTDateTimePicker\r\nTDBEdit",
    "TButton",
    "TBitBtn",
    "TCheckBox\r\nTRadioButton\r\nTDBCheckBox\r\nTDBCheckBoxEh\r\nTGroupButton",
    "TComboBox\r\nTColorBox\r\nTDBComboBox",
    "TStringGrid\r\nTDrawGrid\r\nTRichView\r\nTDBRichViewEdit\r\nTRichViewEdit\r\nTDBRichView\r\nTwwDBGrid\r\n"
    "TAdvStringGrid\r\nTDBAdvGrid\r\nTValueListEditor\r\nTDBGrid",
    "TGroupBox\r\nTDBRadioGroup\r\nTRadioGroup",
    "TListView",
    "TPanel\r\nTDBCtrlPanel",
    "TTreeView\r\nTRzTreeView\r\nTDBTreeView",
    "TDBLookupComboBox\r\nTwwDBComboBox\r\nTwwDBCustomCombo\r\nTwwDBCustomLookupCombo",
    "TDBGridEh",
    "TVirtualStringTree\r\nTVirtualStringTreeDB\r\nTEasyListview\r\nTVirtualExplorerListview\r\n"
    "TVirtualExplorerTreeview\r\nTVirtualExplorerTree\r\nTVirtualDrawTree",
    "TPageControl",
    "TTabControl",
    "TToolBar",
    "TStatusBar",
};

}  // namespace

const std::array<const char*, ThirdListCount> ThirdKindNames = {
    "Edit",     "Button", "BitBtn", "CheckBox",    "ComboBox",    "Grid",       "GroupBox", "ListView", "Panel",
    "TreeView", "wwEdit", "GridEh", "VirtualTree", "PageControl", "TabControl", "ToolBar",  "StatusBar"};

std::string DefaultThirdNames(int Kind) {
  return Kind >= 0 && Kind < ThirdListCount ? std::string(DefaultThirdTable[Kind]) : std::string();
}

// ---- Skinned forms ---------------------------------------------------------------------------------

int AddSkinnedForm(TWinControl* Form) {
  SkinnedFormList.push_back(Form);
  return int(SkinnedFormList.size());
}

void RemoveSkinnedForm(TWinControl* Form) {
  auto it = std::find(SkinnedFormList.begin(), SkinnedFormList.end(), Form);
  if (it == SkinnedFormList.end()) return;
  *it = SkinnedFormList.back();
  SkinnedFormList.pop_back();
}

const std::vector<TWinControl*>& SkinnedForms() { return SkinnedFormList; }

bool AnimEventAllowed(TacAnimatEvent Event, TacAnimatEvents Events) {
  if (Events.Contains(Event)) return true;
  if (!Events.Contains(aeGlobalDef)) return false;
  const TacAnimatEvents defaults = DefaultManager ? DefaultManager->AnimEventsDefault()
                                                  : TacAnimatEvents{aeMouseEnter, aeMouseLeave, aeMouseDown, aeMouseUp};
  return defaults.Contains(Event);
}

// ---- Popup menu windows ----------------------------------------------------------------------------

namespace {
BOOL CALLBACK FindPopupWindow(HWND wnd, LPARAM data) {
  char cls[16] = {};
  if (IsWindowVisible(wnd) && GetClassNameA(wnd, cls, sizeof cls) > 0 && std::strcmp(cls, "#32768") == 0) {
    *reinterpret_cast<HWND*>(data) = wnd;
    return FALSE;  // the thread's windows come from the top of the z-order down
  }
  return TRUE;
}
}  // namespace

HWND FindOpenPopupMenuWindow() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindPopupWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

// ---- Menu seams ---------------------------------------------------------------------------------

TsSkinableMenus::TsSkinableMenus(TsSkinManager* ASkinManager) : SkinManager(ASkinManager) { CaptionFont = new TFont(); }

TsSkinableMenus::~TsSkinableMenus() {
  SkinManager = nullptr;
  delete CaptionFont;
}

void TsSkinableMenus::UpdateMenus() { SetSkinned(SkinManager && SkinManager->SkinData()->Active); }

void TacPageChange::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TacPageChange*>(Source)) {
    FActive = src->FActive;
    FTime = src->FTime;
    return;
  }
  TPersistent::Assign(Source);
}

TacMenuSupport::TacMenuSupport() : FExtraLineFont(new TFont()) {}

TacMenuSupport::~TacMenuSupport() { delete FExtraLineFont; }

void TacMenuSupport::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TacMenuSupport*>(Source)) {
    IcoLineSkin = src->IcoLineSkin;
    UseExtraLine = src->UseExtraLine;
    ExtraLineWidth = src->ExtraLineWidth;
    FExtraLineFont->Assign(src->FExtraLineFont);
    return;
  }
  TPersistent::Assign(Source);
}

// ---- ThirdParty lists ---------------------------------------------------------------------------

TacThirdPartyList::TacThirdPartyList(TsSkinManager* AManager) : FManager(AManager) {
  for (int i = 0; i < ThirdListCount; ++i) FNames[i] = DefaultThirdNames(i);
}

void TacThirdPartyList::SetNames(int Kind, const std::string& Value) {
  if (Kind < 0 || Kind >= ThirdListCount) return;
  FNames[Kind] = Value;
  if (FManager) FManager->UpdateThirdNames();
}

void TacThirdPartyList::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TacThirdPartyList*>(Source)) {
    FNames = src->FNames;
    if (FManager) FManager->UpdateThirdNames();
    return;
  }
  TPersistent::Assign(Source);
}

// ---- TsSkinManager -------------------------------------------------------------------------------

TsSkinManager::TsSkinManager(TComponent* AOwner) : TComponent(AOwner) {
  InitSkinEngineUnit();
  FSkinableMenus = CreateSkinableMenusProc ? CreateSkinableMenusProc(this) : new TsSkinableMenus(this);
  FMenuSupport = new TacMenuSupport();
  FThirdParty = new TacThirdPartyList(this);
  FPageChange = new TacPageChange();
  for (auto& list : FThirdLists) list = new TStringList();
  UpdateThirdNames();
  std::vector<std::uint8_t> builtIn;
  if (LoadBuiltInSkin(builtIn)) FInternalSkins.push_back({BuiltInSkinName, std::move(builtIn)});
  if (!DefaultManager) DefaultManager = this;
  if (Application) Application->HookMainWindow(MakeMethod<&TsSkinManager::ApplicationHook>(this));
}

TsSkinManager::~TsSkinManager() {
  if (Application) Application->UnhookMainWindow(MakeMethod<&TsSkinManager::ApplicationHook>(this));
  if (FHookInstalled) RemoveHook();
  if (DefaultManager == this) DefaultManager = nullptr;
  for (auto& list : FThirdLists) {
    delete list;
    list = nullptr;
  }
  delete FThirdParty;
  delete FPageChange;
  delete FMenuSupport;
  delete FSkinableMenus;
}

void TsSkinManager::BeforeDestruction() {
  // Controls still alive go back to the plain look; the hook goes with the manager.
  if (FSkinData.Active) SendRemoveSkin();
  if (FHookInstalled) RemoveHook();
  if (DefaultManager == this) DefaultManager = nullptr;
  TComponent::BeforeDestruction();
}

void TsSkinManager::Loaded() {
  TComponent::Loaded();
  if (FPendingLoad) {
    FPendingLoad = false;
    if (FActive && !FSkinName.empty()) {
      const std::string name = FSkinName;
      FSkinName.clear();
      SetSkinName(name);
    }
  }
}

bool TsSkinManager::ApplicationHook(TMessage& Message) {
  if (Message.Msg != WM_POPUPMENUSHOWN && Message.Msg != WM_POPUPMENUSHOWN2) return false;
  // Only the default manager (or the only one) does it; other managers leave the message to it.
  if (!IsDefault() && DefaultManager) return false;
  Message.Result = 0;
  if (!FSkinableMenus || !FSkinData.Active || !FSkinnedPopups || Dying(this)) return true;
  // The item that drew the popup may be gone by the time the message arrives: its popup is too.
  if (Message.LParam && !TMenuItem::FromData(ULONG_PTR(Message.LParam))) return true;
  if (HWND popup = FindOpenPopupMenuWindow()) FSkinableMenus->HookPopupWindow(popup);
  return true;
}

void TsSkinManager::UpdateThirdNames() {
  for (int i = 0; i < ThirdListCount; ++i) {
    FThirdLists[i]->Clear();
    std::string text = FThirdParty->Names(i);
    std::size_t start = 0;
    while (start <= text.size()) {
      std::size_t end = text.find_first_of("\r\n", start);
      if (end == std::string::npos) end = text.size();
      std::string line = text.substr(start, end - start);
      while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.pop_back();
      std::size_t lead = 0;
      while (lead < line.size() && std::isspace(static_cast<unsigned char>(line[lead]))) ++lead;
      line.erase(0, lead);
      if (!line.empty()) FThirdLists[i]->Add(line);
      start = end + 1;
    }
  }
}

std::string TsSkinManager::SkinDirectoryResolved() const {
  if (!FSkinDirectory.empty()) return FSkinDirectory;
  return ProgramFolder() + "\\Skins";
}

void TsSkinManager::AddInternalSkin(const std::string& Name, std::vector<std::uint8_t> Data) {
  const int i = InternalSkinIndex(Name);
  if (i >= 0)
    FInternalSkins[i].Data = std::move(Data);
  else
    FInternalSkins.push_back({Name, std::move(Data)});
}

int TsSkinManager::InternalSkinIndex(const std::string& Name) const {
  for (std::size_t i = 0; i < FInternalSkins.size(); ++i)
    if (SameNoCase(FInternalSkins[i].Name, Name)) return int(i);
  return -1;
}

void TsSkinManager::Fail(const std::string& Text) {
  FLastError = Text;
  if (OnSkinLoadError) {
    try {
      OnSkinLoadError(this, Text);
    } catch (...) {
      HandleBoundaryException(this);
    }
  }
}

void TsSkinManager::SetSkinName(const std::string& Value) {
  if (ComponentState().Contains(csLoading)) {
    FSkinName = Value;
    FPendingLoad = true;
    return;
  }
  if (Value.empty()) {
    Fail("No skin name given");
    return;
  }
  LoadByName(Value);
}

bool TsSkinManager::LoadByName(const std::string& Name) {
  std::string error;
  const int internal = InternalSkinIndex(Name);
  if (internal >= 0) {
    const auto& data = FInternalSkins[internal].Data;
    auto model = GuardedLoad(
        [&] { return LoadStoredSkin(FInternalSkins[internal].Name, data.data(), data.size(), error); }, error);
    if (!model) {
      Fail("Skin \"" + Name + "\" (stored with the program) could not be loaded: " + error);
      return false;
    }
    return ApplyModel(std::move(model), FInternalSkins[internal].Name, "(stored with the program)");
  }
  if (!qv::IsPlainSkinName(Name)) {
    Fail("Skin \"" + Name + "\" was not loaded: a skin name may not hold a drive, a root or \"..\"");
    return false;
  }
  const fs::path dir = AnsiPath(SkinDirectoryResolved());
  std::error_code ec;
  const fs::path folder = dir / AnsiPath(Name);
  if (fs::is_regular_file(folder / "Options.dat", ec)) return LoadSkinFromPath(AnsiText(folder), Name);
  const fs::path packed = dir / AnsiPath(Name + ".asz");
  if (fs::is_regular_file(packed, ec)) return LoadSkinFromPath(AnsiText(packed), Name);
  Fail("Skin \"" + Name + "\" was not found: no stored skin of that name, no folder \"" + AnsiText(folder) +
       "\" with Options.dat and no file \"" + AnsiText(packed) + "\"");
  return false;
}

bool TsSkinManager::LoadSkinFromPath(const std::string& Path, const std::string& Name) {
  std::string error;
  std::error_code ec;
  const fs::path path = AnsiPath(Path);
  const bool folder = fs::is_directory(path, ec);
  auto model =
      GuardedLoad([&] { return folder ? LoadFolderSkin(path, error) : LoadPackedSkinFile(path, error); }, error);
  if (!model) {
    Fail("Skin \"" + Name + "\" could not be loaded from \"" + Path + "\": " + error);
    return false;
  }
  return ApplyModel(std::move(model), Name, Path);
}

bool TsSkinManager::LoadSkinFromBytes(const std::uint8_t* Data, std::size_t Size, const std::string& Name) {
  std::string error;
  auto model = Data ? GuardedLoad(
                          [&]() -> std::shared_ptr<const qv::TSkinModel> {
                            return qv::LoadSkinFromPackedBytes(Data, Size, error);
                          },
                          error)
                    : nullptr;
  if (!model) {
    Fail("Skin \"" + Name + "\" could not be loaded: " + (Data ? error : std::string("no data")));
    return false;
  }
  return ApplyModel(std::move(model), Name, "(memory)");
}

bool TsSkinManager::ApplyModel(std::shared_ptr<const qv::TSkinModel> Model, const std::string& Name,
                               const std::string& Source) {
  FLastError.clear();
  FSkinName = Name;
  FSkin = std::move(Model);
  FSkinData.SkinName = Name;
  FSkinData.SkinSource = Source;
  if (FActive) DoActivate();
  return true;
}

void TsSkinManager::DoActivate() {
  SkinChanging = true;
  {
    // Every window is told, then painted once.
    TSkinSwitch paintOnce;
    FSkinData.Active = FSkin != nullptr;
    UpdateConstData();
    if (FSkinableMenus) {
      FSkinableMenus->SkinBorderWidth = -1;
      FSkinableMenus->UpdateMenus();
    }
    if (FSkinData.Active && IsDefault()) InstallHook();
    SendNewSkin();
  }
  SkinChanging = false;
}

void TsSkinManager::SetActive(bool Value) {
  if (FActive == Value) return;
  FActive = Value;
  if (ComponentState().Contains(csLoading)) return;
  if (Value) {
    if (FSkin)
      DoActivate();
    else if (!FSkinName.empty())
      LoadByName(FSkinName);
  } else if (FSkinData.Active) {
    SendRemoveSkin();
  }
}

void TsSkinManager::SetSkinnedPopups(bool Value) {
  FSkinnedPopups = Value;
  if (FSkinableMenus) FSkinableMenus->UpdateMenus();
}

void TsSkinManager::SendNewSkin() {
  TMessage m = MakeMessage(SM_QUORVEXCMD, SkinCommandWParam(QC_SKINLOADED), reinterpret_cast<LPARAM>(this));
  SendToAll(m);
  RepaintForms();
}

void TsSkinManager::RepaintForms() {
  TMessage m = MakeMessage(SM_QUORVEXCMD, SkinCommandWParam(QC_REFRESH), reinterpret_cast<LPARAM>(this));
  SendToAll(m);
}

void TsSkinManager::SendRemoveSkin() {
  SkinRemoving = true;
  {
    // Every window is told, then painted once in the plain look.
    TSkinSwitch paintOnce;
    FSkinData.Active = false;
    if (FSkinableMenus) FSkinableMenus->UpdateMenus();
    TMessage m = MakeMessage(SM_QUORVEXCMD, SkinCommandWParam(QC_SKINREMOVED), reinterpret_cast<LPARAM>(this));
    SendToAll(m);
    if (FHookInstalled) RemoveHook();
  }
  SkinRemoving = false;
}

void TsSkinManager::SendToAll(TMessage& Message) { SendSkinCommandToAll(Message); }

void TsSkinManager::UpdateConstData() {
  FConstData = TacConstData{};
  if (!Skin()) return;
  auto fill = [this](TacSectionIndexes& ix, const char* name, bool glyph) {
    ix.Section = SectionIndexOf(name);
    if (ix.Section < 0) return;
    ix.Mask = LookupMask(ix.Section, name, "BORDERSMASK");
    ix.Pattern = LookupMask(ix.Section, name, "PATTERN");
    ix.HotPattern = LookupMask(ix.Section, name, "HOTPATTERN");
    if (glyph) ix.GlyphMask = LookupMask(ix.Section, name, "GLYPHMASK");
  };
  fill(FConstData.ScrollBtnTop, "SCROLLBTNTOP", true);
  fill(FConstData.ScrollBtnBottom, "SCROLLBTNBOTTOM", true);
  fill(FConstData.ScrollBtnLeft, "SCROLLBTNLEFT", true);
  fill(FConstData.ScrollBtnRight, "SCROLLBTNRIGHT", true);
  fill(FConstData.ScrollSliderH, "SCROLLSLIDERH", true);
  fill(FConstData.ScrollSliderV, "SCROLLSLIDERV", true);
  fill(FConstData.ScrollBar1H, "SCROLLBAR1H", false);
  fill(FConstData.ScrollBar1V, "SCROLLBAR1V", false);
  fill(FConstData.ScrollBar2H, "SCROLLBAR2H", false);
  fill(FConstData.ScrollBar2V, "SCROLLBAR2V", false);
  fill(FConstData.ComboBtn, "COMBOBTN", false);
  const int combo = SectionIndexOf("COMBOBOX");
  FConstData.ComboBoxGlyph = combo >= 0 ? LookupMask(combo, "COMBOBOX", "GLYPHMASK") : -1;
  FConstData.GlobalInfo = SectionIndexOf("GLOBALINFO");
  FConstData.GripImage = FConstData.GlobalInfo >= 0 ? MaskIndexOf("GLOBALINFO", "GRIPIMAGE") : -1;
  FConstData.ScrollArrowsFromImage = FConstData.ScrollBtnLeft.Section >= 0 &&
                                     FSkin->Sections[std::size_t(FConstData.ScrollBtnLeft.Section)].ReservedBoolean;
  fill(FConstData.TabTop, "TABTOP", false);
  fill(FConstData.TabBottom, "TABBOTTOM", false);
  fill(FConstData.TabLeft, "TABLEFT", false);
  fill(FConstData.TabRight, "TABRIGHT", false);
}

int TsSkinManager::SectionIndexOf(const std::string& Name) const { return Skin() ? FSkin->SectionIndexOf(Name) : -1; }

int TsSkinManager::MaskIndexOf(const std::string& SectionName, const std::string& PropertyName) const {
  return Skin() ? FSkin->MaskIndexOf(SectionName, PropertyName) : -1;
}

int TsSkinManager::LookupMask(int SkinIndex, const std::string& SectionName, const std::string& PropertyName) const {
  return Skin() ? FSkin->LookupMask(SkinIndex, SectionName, PropertyName) : -1;
}

bool TsSkinManager::IsSectionIndex(int Index) const { return Skin() && FSkin->IsSectionIndex(Index); }
bool TsSkinManager::IsMaskIndex(int Index) const { return Skin() && FSkin->IsMaskIndex(Index); }

const qv::TImage24* TsSkinManager::MaskImage(int MaskIndex) const {
  return Skin() ? FSkin->MaskImage(MaskIndex) : nullptr;
}

TSize TsSkinManager::GetMaskItemSize(int MaskIndex) const {
  return Skin() ? FSkin->GetMaskItemSize(MaskIndex) : TSize{};
}
int TsSkinManager::MaskMarginLeft(int Index) const { return Skin() ? FSkin->MaskMarginLeft(Index) : 0; }
int TsSkinManager::MaskMarginTop(int Index) const { return Skin() ? FSkin->MaskMarginTop(Index) : 0; }
int TsSkinManager::MaskMarginRight(int Index) const { return Skin() ? FSkin->MaskMarginRight(Index) : 0; }
int TsSkinManager::MaskMarginBottom(int Index) const { return Skin() ? FSkin->MaskMarginBottom(Index) : 0; }

TColor TsSkinManager::GetGlobalColor() const {
  const int i = SectionIndexOf("GLOBALINFO");
  return i >= 0 ? TColor(FSkin->Sections[i].Color) : TColor(ColorToRGB(clBtnFace));
}

TColor TsSkinManager::GetGlobalFontColor() const {
  const int i = SectionIndexOf("GLOBALINFO");
  return i >= 0 ? TColor(FSkin->Sections[i].FontColor.Text()) : clParentColorUnset;
}

TColor TsSkinManager::GetGlobalHotColor() const {
  const int i = SectionIndexOf("GLOBALINFO");
  return i >= 0 ? TColor(FSkin->Sections[i].HotColor) : TColor(ColorToRGB(clWindow));
}

void TsSkinManager::SetHotWindow(HWND Wnd) {
  if (Wnd == FHotWnd) return;
  HWND old = FHotWnd;
  FHotWnd = Wnd;
  if (old && IsWindow(old)) SendSkinCommand(old, QC_MOUSELEAVEWND);
  if (Wnd && IsWindow(Wnd)) SendSkinCommand(Wnd, QC_MOUSEENTERWND);
}

bool TsSkinManager::IsDefault() const { return DefaultManager == this; }

void TsSkinManager::SetIsDefault(bool Value) {
  if (Value) {
    if (DefaultManager == this) return;
    if (DefaultManager && DefaultManager->FHookInstalled) DefaultManager->RemoveHook();
    DefaultManager = this;
    if (FSkinData.Active) InstallHook();
  } else if (DefaultManager == this) {
    if (FHookInstalled) RemoveHook();
    DefaultManager = nullptr;
  }
}

void TsSkinManager::ListSkins(TStrings* List, TacSkinTypes SkinType, std::string& FirstName) const {
  FirstName.clear();
  if (!List) return;
  std::vector<std::string> names;
  for (const auto& s : FInternalSkins) names.push_back(s.Name);
  std::error_code ec;
  const fs::path dir = AnsiPath(SkinDirectoryResolved());
  if (fs::is_directory(dir, ec)) {
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
      const fs::path& p = it->path();
      std::error_code e2;
      std::string name;
      if (SkinType != stPacked && fs::is_directory(p, e2) && fs::is_regular_file(p / "Options.dat", e2)) {
        if (AnsiName(p.filename(), name)) names.push_back(name);
      } else if (SkinType != stUnpacked && fs::is_regular_file(p, e2) && SameNoCase(AnsiText(p.extension()), ".asz")) {
        if (AnsiName(p.stem(), name)) names.push_back(name);
      }
    }
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const int c = CompareNoCase(a, b);
    return c != 0 ? c < 0 : a < b;
  });
  names.erase(std::unique(names.begin(), names.end(), SameNoCase), names.end());
  List->BeginUpdate();
  List->Clear();
  for (const auto& n : names) List->Add(n);
  List->EndUpdate();
  if (!names.empty()) FirstName = names.front();
}

void TsSkinManager::InstallHook() {
  if (!IsDefault() || ComponentState().Contains(csDesigning) || FHookInstalled) return;
  if (!DialogProviders) DialogProviders = new TList();
  CBTHook = SetWindowsHookExA(WH_CBT, ManagerCBTProc, nullptr, GetCurrentThreadId());
  FHookInstalled = CBTHook != nullptr;
}

void TsSkinManager::RemoveHook() {
  if (ClearMnuArrayProc) ClearMnuArrayProc();
  if (CBTHook) {
    UnhookWindowsHookEx(CBTHook);
    CBTHook = nullptr;
  }
  FHookInstalled = false;
  if (DialogProviders) {
    TList* list = DialogProviders;
    DialogProviders = nullptr;
    for (int i = 0; i < list->Count(); ++i)
      if (auto* provider = static_cast<TObject*>(list->Items(i))) provider->Free();
    delete list;
  }
}

// ---- Published properties ------------------------------------------------------------------------

namespace {
const bool kManagerProps = RegisterProperties<TsSkinManager, TComponent>([](auto& p) {
  p.Ord("Active", &TsSkinManager::Active, &TsSkinManager::SetActive);
  p.Str("SkinName", &TsSkinManager::SkinName, &TsSkinManager::SetSkinName);
  p.Ord("SkinnedPopups", &TsSkinManager::SkinnedPopups, &TsSkinManager::SetSkinnedPopups);
  p.Set("SkinningRules", &TsSkinManager::SkinningRules, &TsSkinManager::SetSkinningRules,
        {"srStdForms", "srStdDialogs", "srThirdParty"});
  p.Set("AnimEventsDefault", &TsSkinManager::AnimEventsDefault, &TsSkinManager::SetAnimEventsDefault,
        {"aeMouseEnter", "aeMouseLeave", "aeMouseDown", "aeMouseUp", "aeGlobalDef"});
  p.Obj("MenuSupport", &TsSkinManager::MenuSupport, &TsSkinManager::SetMenuSupport);
  p.Obj("PageChange", &TsSkinManager::PageChange, &TsSkinManager::SetPageChange);
  p.Obj("ThirdParty", &TsSkinManager::ThirdParty, &TsSkinManager::SetThirdParty);
  p.Method("OnGetMenuExtraLineData", &TsSkinManager::GetOnGetMenuExtraLineData,
           &TsSkinManager::SetOnGetMenuExtraLineData);
  p.Method("OnSkinLoadError", &TsSkinManager::GetOnSkinLoadError, &TsSkinManager::SetOnSkinLoadError);
});
const bool kPageChangeProps = RegisterProperties<TacPageChange, TPersistent>([](auto& p) {
  p.Ord("Active", &TacPageChange::Active, &TacPageChange::SetActive);
  p.Ord("Time", &TacPageChange::Time, &TacPageChange::SetTime);
});
const bool kMenuSupportProps = RegisterProperties<TacMenuSupport, TPersistent>([](auto& p) {
  p.Str("IcoLineSkin", &TacMenuSupport::IcoLineSkin);
  p.Ord("UseExtraLine", &TacMenuSupport::GetUseExtraLine, &TacMenuSupport::SetUseExtraLine);
  p.Ord("ExtraLineWidth", &TacMenuSupport::GetExtraLineWidth, &TacMenuSupport::SetExtraLineWidth);
  p.Obj("ExtraLineFont", &TacMenuSupport::ExtraLineFont, &TacMenuSupport::SetExtraLineFont);
});
const bool kThirdPartyProps = RegisterProperties<TacThirdPartyList, TPersistent>([](auto& p) {
  p.Str("ThirdEdits", &TacThirdPartyList::ThirdEdits, &TacThirdPartyList::SetThirdEdits);
  p.Str("ThirdButtons", &TacThirdPartyList::ThirdButtons, &TacThirdPartyList::SetThirdButtons);
  p.Str("ThirdBitBtns", &TacThirdPartyList::ThirdBitBtns, &TacThirdPartyList::SetThirdBitBtns);
  p.Str("ThirdCheckBoxes", &TacThirdPartyList::ThirdCheckBoxes, &TacThirdPartyList::SetThirdCheckBoxes);
  p.Str("ThirdComboBoxes", &TacThirdPartyList::ThirdComboBoxes, &TacThirdPartyList::SetThirdComboBoxes);
  p.Str("ThirdGrids", &TacThirdPartyList::ThirdGrids, &TacThirdPartyList::SetThirdGrids);
  p.Str("ThirdGroupBoxes", &TacThirdPartyList::ThirdGroupBoxes, &TacThirdPartyList::SetThirdGroupBoxes);
  p.Str("ThirdListViews", &TacThirdPartyList::ThirdListViews, &TacThirdPartyList::SetThirdListViews);
  p.Str("ThirdPanels", &TacThirdPartyList::ThirdPanels, &TacThirdPartyList::SetThirdPanels);
  p.Str("ThirdTreeViews", &TacThirdPartyList::ThirdTreeViews, &TacThirdPartyList::SetThirdTreeViews);
  p.Str("ThirdWWEdits", &TacThirdPartyList::ThirdWWEdits, &TacThirdPartyList::SetThirdWWEdits);
  p.Str("ThirdGridEh", &TacThirdPartyList::ThirdGridEh, &TacThirdPartyList::SetThirdGridEh);
  p.Str("ThirdVirtualTrees", &TacThirdPartyList::ThirdVirtualTrees, &TacThirdPartyList::SetThirdVirtualTrees);
  p.Str("ThirdPageControl", &TacThirdPartyList::ThirdPageControl, &TacThirdPartyList::SetThirdPageControl);
  p.Str("ThirdTabControl", &TacThirdPartyList::ThirdTabControl, &TacThirdPartyList::SetThirdTabControl);
  p.Str("ThirdToolBar", &TacThirdPartyList::ThirdToolBar, &TacThirdPartyList::SetThirdToolBar);
  p.Str("ThirdStatusBar", &TacThirdPartyList::ThirdStatusBar, &TacThirdPartyList::SetThirdStatusBar);
});
}  // namespace
