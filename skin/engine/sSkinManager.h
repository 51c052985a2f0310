// The skin manager: loads a skin (from the skin folder, a packed ".asz" file or a skin built into
// the program), holds it, answers lookups of sections, masks and colours, and tells the skinned
// forms and controls when the skin changes (QC_SKINLOADED, QC_SKINREMOVED and QC_REFRESH with the manager in LParam).
//
// A skin that does not load never costs the current look: the manager keeps the skin it had (or
// the plain look), LastError tells why, and OnSkinLoadError is fired.
#pragma once

#include "classlib/Win.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "classlib/Controls.h"
#include "classlib/Graphics.h"
#include "classlib/StdCtrls.h"
#include "classlib/core/Classes.h"
#include "skin/engine/Hooks.h"
#include "skin/engine/core/acSkinModel.h"
#include "skin/engine/sCommonData.h"

class TMenuItem;
class TsSkinManager;

using TsGeneralData = qv::TsGeneralData;
using TsMaskData = qv::TsMaskData;

// ---- Menus ----------------------------------------------------------------------------------------

enum TsMenuItemType : std::uint8_t { smCaption, smDivider, smNormal, smTopLine };

// The manager's menu skinning; the menu unit gives the virtual operations their work.
class TsSkinableMenus : public TPersistent {
 public:
  QV_CLASS_NAME(TsSkinableMenus)
  explicit TsSkinableMenus(TsSkinManager* ASkinManager);
  ~TsSkinableMenus() override;

  // Follows the manager's skin-loaded flag.
  virtual void UpdateMenus();
  // A popup menu window opened (called by the manager's application hook): the menu unit gives
  // it the frame and region of the popup's background image it keeps.
  virtual void HookPopupWindow(HWND /*Wnd*/) {}
  virtual void SetSkinned(bool Value) { Skinned = Value; }

  int Margin = 2;
  TAlignment Alignment = taLeftJustify;
  int BevelWidth = 0;
  int BorderWidth = 3;
  TFont* CaptionFont = nullptr;  // owned
  int SkinBorderWidth = -1;      // -1: measured from the skin; reset whenever a skin is applied
  int Spacing = 6;
  bool Skinned = false;
  TsSkinManager* SkinManager = nullptr;
  std::vector<TRect> MenuRegionRects;
  bool InHook = false;
};

// Private messages posted to the application window by the popup menu drawing when it painted an
// item of a popup whose window it could not find (LParam: the item): the manager's application
// hook then finds the open popup window and hands it to TsSkinableMenus::HookPopupWindow, unless
// the item is gone.
inline constexpr UINT WM_POPUPMENUSHOWN = 0xBCB3;
inline constexpr UINT WM_POPUPMENUSHOWN2 = 0xBCB4;

// The popup menu window (class "#32768") of this thread shown last: the visible one nearest the
// top of the z-order; nullptr when none is open.
HWND FindOpenPopupMenuWindow();

// Published menu options of the manager.
class TacMenuSupport : public TPersistent {
 public:
  QV_CLASS_NAME(TacMenuSupport)
  TacMenuSupport();
  ~TacMenuSupport() override;
  void Assign(TPersistent* Source) override;

  std::string IcoLineSkin;
  bool UseExtraLine = false;
  int ExtraLineWidth = 32;
  bool GetUseExtraLine() const { return UseExtraLine; }
  void SetUseExtraLine(bool Value) { UseExtraLine = Value; }
  int GetExtraLineWidth() const { return ExtraLineWidth; }
  void SetExtraLineWidth(int Value) { ExtraLineWidth = Value; }
  TFont* ExtraLineFont() const { return FExtraLineFont; }
  void SetExtraLineFont(TFont* Value) { FExtraLineFont->Assign(Value); }

 private:
  TFont* FExtraLineFont;
};

// The page-change animation of the skinned page controls: the old picture fades into the new page
// over Time milliseconds.
class TacPageChange : public TPersistent {
 public:
  QV_CLASS_NAME(TacPageChange)
  void Assign(TPersistent* Source) override;
  bool Active() const { return FActive; }
  void SetActive(bool Value) { FActive = Value; }
  int Time() const { return FTime; }
  void SetTime(int Value) { FTime = Value < 0 ? 0 : Value; }

 private:
  bool FActive = true;
  int FTime = 150;
};

using TacGetExtraLineData = TMethod<void(TMenuItem* FirstItem, std::string& SkinSection, std::string& Caption,
                                         TBitmap*& Glyph, bool& LineVisible)>;

// ---- Class-name lists of the control adapter ---------------------------------------------------------

inline constexpr int ThirdListCount = 17;
enum TacThirdKind : std::uint8_t {
  tkEdit,
  tkButton,
  tkBitBtn,
  tkCheckBox,
  tkComboBox,
  tkGrid,
  tkGroupBox,
  tkListView,
  tkPanel,
  tkTreeView,
  tkWWEdit,
  tkGridEh,
  tkVirtualTree,
  tkPageControl,
  tkTabControl,
  tkToolBar,
  tkStatusBar
};
// "Edit", "Button", ... "StatusBar".
extern const std::array<const char*, ThirdListCount> ThirdKindNames;
// The default class names of each kind, one per line (CR LF separated).
std::string DefaultThirdNames(int Kind);

// The published ThirdParty lists (ThirdEdits ... ThirdStatusBar): class names, one per line.
class TacThirdPartyList : public TPersistent {
 public:
  QV_CLASS_NAME(TacThirdPartyList)
  explicit TacThirdPartyList(TsSkinManager* AManager);
  void Assign(TPersistent* Source) override;

  const std::string& Names(int Kind) const { return FNames[Kind]; }
  void SetNames(int Kind, const std::string& Value);

  const std::string& ThirdEdits() const { return FNames[tkEdit]; }
  void SetThirdEdits(const std::string& v) { SetNames(tkEdit, v); }
  const std::string& ThirdButtons() const { return FNames[tkButton]; }
  void SetThirdButtons(const std::string& v) { SetNames(tkButton, v); }
  const std::string& ThirdBitBtns() const { return FNames[tkBitBtn]; }
  void SetThirdBitBtns(const std::string& v) { SetNames(tkBitBtn, v); }
  const std::string& ThirdCheckBoxes() const { return FNames[tkCheckBox]; }
  void SetThirdCheckBoxes(const std::string& v) { SetNames(tkCheckBox, v); }
  const std::string& ThirdComboBoxes() const { return FNames[tkComboBox]; }
  void SetThirdComboBoxes(const std::string& v) { SetNames(tkComboBox, v); }
  const std::string& ThirdGrids() const { return FNames[tkGrid]; }
  void SetThirdGrids(const std::string& v) { SetNames(tkGrid, v); }
  const std::string& ThirdGroupBoxes() const { return FNames[tkGroupBox]; }
  void SetThirdGroupBoxes(const std::string& v) { SetNames(tkGroupBox, v); }
  const std::string& ThirdListViews() const { return FNames[tkListView]; }
  void SetThirdListViews(const std::string& v) { SetNames(tkListView, v); }
  const std::string& ThirdPanels() const { return FNames[tkPanel]; }
  void SetThirdPanels(const std::string& v) { SetNames(tkPanel, v); }
  const std::string& ThirdTreeViews() const { return FNames[tkTreeView]; }
  void SetThirdTreeViews(const std::string& v) { SetNames(tkTreeView, v); }
  const std::string& ThirdWWEdits() const { return FNames[tkWWEdit]; }
  void SetThirdWWEdits(const std::string& v) { SetNames(tkWWEdit, v); }
  const std::string& ThirdGridEh() const { return FNames[tkGridEh]; }
  void SetThirdGridEh(const std::string& v) { SetNames(tkGridEh, v); }
  const std::string& ThirdVirtualTrees() const { return FNames[tkVirtualTree]; }
  void SetThirdVirtualTrees(const std::string& v) { SetNames(tkVirtualTree, v); }
  const std::string& ThirdPageControl() const { return FNames[tkPageControl]; }
  void SetThirdPageControl(const std::string& v) { SetNames(tkPageControl, v); }
  const std::string& ThirdTabControl() const { return FNames[tkTabControl]; }
  void SetThirdTabControl(const std::string& v) { SetNames(tkTabControl, v); }
  const std::string& ThirdToolBar() const { return FNames[tkToolBar]; }
  void SetThirdToolBar(const std::string& v) { SetNames(tkToolBar, v); }
  const std::string& ThirdStatusBar() const { return FNames[tkStatusBar]; }
  void SetThirdStatusBar(const std::string& v) { SetNames(tkStatusBar, v); }

 private:
  TsSkinManager* FManager;
  std::array<std::string, ThirdListCount> FNames;
};

// ---- Skin data and cached indexes ---------------------------------------------------------------------

// The loaded skin's common data.
class TsSkinData {
 public:
  bool Active = false;     // a skin is loaded and in use
  std::string SkinName;    // the name it was loaded by
  std::string SkinSource;  // the folder, file or "(built in)" it came from
};

// Indexes of one section kept after loading (-1 when missing).
struct TacSectionIndexes {
  int Section = -1;
  int Mask = -1;        // "BORDERSMASK"
  int Pattern = -1;     // "PATTERN"
  int HotPattern = -1;  // "HOTPATTERN"
  int GlyphMask = -1;   // "GLYPHMASK" (buttons and sliders)
};

struct TacConstData {
  TacSectionIndexes ScrollBtnTop, ScrollBtnBottom, ScrollBtnLeft, ScrollBtnRight;
  TacSectionIndexes ScrollSliderH, ScrollSliderV;
  TacSectionIndexes ScrollBar1H, ScrollBar1V, ScrollBar2H, ScrollBar2V;
  TacSectionIndexes ComboBtn;
  int ComboBoxGlyph = -1;  // "GLYPHMASK" of "COMBOBOX"
  int GlobalInfo = -1;     // "GLOBALINFO" section
  int GripImage = -1;      // "GRIPIMAGE" of "GLOBALINFO"
  // RESERVEDBOOLEAN of "SCROLLBTNLEFT": scroll-bar arrows as long as their image.
  bool ScrollArrowsFromImage = false;
  TacSectionIndexes TabTop, TabBottom, TabLeft, TabRight;
};

// A skin stored with the program: its name and the packed bytes.
struct TacInternalSkin {
  std::string Name;
  std::vector<std::uint8_t> Data;
};

enum TacSkinningRule : std::uint8_t { srStdForms, srStdDialogs, srThirdParty };
using TacSkinningRules = TSet<TacSkinningRule>;

enum TacSkinTypes : std::uint8_t { stUnpacked, stPacked, stAllSkins };

// A show animation of forms: a form fades in from what the screen showed under it when it first
// appears, over Time milliseconds.
struct TacShowAnimation {
  bool Active = true;
  int Time = 150;
};

using TacSkinLoadErrorEvent = TMethod<void(TObject* Sender, const std::string& ErrorText)>;

// ---- The dialog hook's state ---------------------------------------------------------------------------

// The hook handle and the dialog providers (TObject*; entries may be nullptr), owned by the default
// manager while its hook is installed.
extern HHOOK CBTHook;
extern TList* DialogProviders;

// ---- The manager ----------------------------------------------------------------------------------------

class TsSkinManager : public TComponent {
 public:
  QV_CLASS_NAME(TsSkinManager)
  explicit TsSkinManager(TComponent* AOwner);
  ~TsSkinManager() override;
  void BeforeDestruction() override;
  void Loaded() override;

  // ---- published
  bool Active() const { return FActive; }
  void SetActive(bool Value);
  const std::string& SkinName() const { return FSkinName; }
  // Loads and applies the named skin: an internal skin, a sub-folder of SkinDirectory holding
  // "Options.dat", or SkinDirectory\<name>.asz, in that order. On failure the current skin stays.
  void SetSkinName(const std::string& Value);
  // Empty: the "Skins" folder beside the program.
  const std::string& SkinDirectory() const { return FSkinDirectory; }
  void SetSkinDirectory(const std::string& Value) { FSkinDirectory = Value; }
  std::string SkinDirectoryResolved() const;
  bool SkinnedPopups() const { return FSkinnedPopups; }
  void SetSkinnedPopups(bool Value);
  TacSkinningRules SkinningRules() const { return FSkinningRules; }
  void SetSkinningRules(TacSkinningRules Value) { FSkinningRules = Value; }
  TacMenuSupport* MenuSupport() const { return FMenuSupport; }
  void SetMenuSupport(TacMenuSupport* Value) { FMenuSupport->Assign(Value); }
  TacThirdPartyList* ThirdParty() const { return FThirdParty; }
  void SetThirdParty(TacThirdPartyList* Value) { FThirdParty->Assign(Value); }
  TacPageChange* PageChange() const { return FPageChange; }
  void SetPageChange(TacPageChange* Value) { FPageChange->Assign(Value); }
  // The mouse events that start a fade for controls whose AnimatEvents hold aeGlobalDef.
  TacAnimatEvents AnimEventsDefault() const { return FAnimEventsDefault; }
  void SetAnimEventsDefault(TacAnimatEvents Value) { FAnimEventsDefault = Value; }
  TacGetExtraLineData OnGetMenuExtraLineData;
  TacSkinLoadErrorEvent OnSkinLoadError;
  // The first appearance of forms (DialogShow: dialog forms, FormShow: the others).
  TacShowAnimation FormShow;
  TacShowAnimation DialogShow;
  TacGetExtraLineData GetOnGetMenuExtraLineData() const { return OnGetMenuExtraLineData; }
  void SetOnGetMenuExtraLineData(TacGetExtraLineData Value) { OnGetMenuExtraLineData = Value; }
  TacSkinLoadErrorEvent GetOnSkinLoadError() const { return OnSkinLoadError; }
  void SetOnSkinLoadError(TacSkinLoadErrorEvent Value) { OnSkinLoadError = Value; }

  // The text of the last load failure; empty after a successful load.
  const std::string& LastError() const { return FLastError; }

  // ---- skins stored with the program (the built-in skin is the first when present)
  std::vector<TacInternalSkin>& InternalSkins() { return FInternalSkins; }
  void AddInternalSkin(const std::string& Name, std::vector<std::uint8_t> Data);
  int InternalSkinIndex(const std::string& Name) const;

  // ---- loaded skin
  TsSkinData* SkinData() { return &FSkinData; }
  const TsSkinData* SkinData() const { return &FSkinData; }
  // The skin in use; nullptr when none is loaded.
  const qv::TSkinModel* Skin() const { return FSkinData.Active ? FSkin.get() : nullptr; }
  const TacConstData& ConstData() const { return FConstData; }
  std::array<TStringList*, ThirdListCount>& ThirdLists() { return FThirdLists; }
  TsSkinableMenus* SkinableMenus() const { return FSkinableMenus; }

  int SectionIndexOf(const std::string& Name) const;
  int MaskIndexOf(const std::string& SectionName, const std::string& PropertyName) const;
  int LookupMask(int SkinIndex, const std::string& SectionName, const std::string& PropertyName) const;
  bool IsSectionIndex(int Index) const;
  bool IsMaskIndex(int Index) const;
  // The section and mask at an index (valid indexes only: check first).
  const TsGeneralData& Section(int Index) const { return FSkin->Sections[Index]; }
  const TsMaskData& Mask(int Index) const { return FSkin->Masks[Index]; }
  int SectionCount() const { return Skin() ? int(FSkin->Sections.size()) : 0; }
  int MaskCount() const { return Skin() ? int(FSkin->Masks.size()) : 0; }
  // The pixels of a mask's image; nullptr for a bad index.
  const qv::TImage24* MaskImage(int MaskIndex) const;
  TSize GetMaskItemSize(int MaskIndex) const;
  int MaskMarginLeft(int Index) const;
  int MaskMarginTop(int Index) const;
  int MaskMarginRight(int Index) const;
  int MaskMarginBottom(int Index) const;

  TColor GetGlobalColor() const;
  TColor GetGlobalFontColor() const;
  TColor GetGlobalHotColor() const;

  // ---- hot window
  HWND HotWindow() const { return FHotWnd; }
  void SetHotWindow(HWND Wnd);

  bool IsDefault() const;
  void SetIsDefault(bool Value);

  // Names of the available skins, sorted (case-insensitively): internal skins, sub-folders of the
  // skin folder holding "Options.dat", ".asz" files without the extension. FirstName receives the
  // first name (empty when there is none). Names are spelt in the ANSI code page, as SetSkinName
  // takes them; a file name with a character that code page lacks is left out.
  void ListSkins(TStrings* List, TacSkinTypes SkinType, std::string& FirstName) const;

  void InstallHook();
  void RemoveHook();
  bool HookInstalled() const { return FHookInstalled; }

  // QC_SKINLOADED / QC_SKINREMOVED / QC_REFRESH (and any other message) to the skinned forms and controls of this
  // thread.
  void SendToAll(TMessage& Message);
  // Repaints everything with the current skin (QC_REFRESH).
  void RepaintForms();

  // ---- called by the manager's owner / tests
  // Loads a skin from a path (folder or .asz) or packed bytes and applies it; false and
  // LastError on failure (the current skin stays).
  bool LoadSkinFromPath(const std::string& Path, const std::string& Name);
  bool LoadSkinFromBytes(const std::uint8_t* Data, std::size_t Size, const std::string& Name);

 private:
  friend class TacThirdPartyList;
  bool ApplyModel(std::shared_ptr<const qv::TSkinModel> Model, const std::string& Name, const std::string& Source);
  bool LoadByName(const std::string& Name);
  void Fail(const std::string& Text);
  void SendNewSkin();
  void SendRemoveSkin();
  void UpdateConstData();
  void UpdateThirdNames();
  void DoActivate();
  // The application hook: popups whose window the menu drawing could not find.
  bool ApplicationHook(TMessage& Message);

  bool FActive = true;
  std::string FSkinName;
  std::string FSkinDirectory;
  bool FSkinnedPopups = true;
  TacSkinningRules FSkinningRules{srStdForms, srStdDialogs, srThirdParty};
  TacAnimatEvents FAnimEventsDefault{aeMouseEnter, aeMouseLeave, aeMouseDown, aeMouseUp};
  TacMenuSupport* FMenuSupport = nullptr;
  TsSkinableMenus* FSkinableMenus = nullptr;
  TacThirdPartyList* FThirdParty = nullptr;
  TacPageChange* FPageChange = nullptr;
  std::array<TStringList*, ThirdListCount> FThirdLists{};
  std::vector<TacInternalSkin> FInternalSkins;
  std::shared_ptr<const qv::TSkinModel> FSkin;  // kept with the skin loaded before it (KeptSkins.h)
  TsSkinData FSkinData;
  TacConstData FConstData;
  std::string FLastError;
  HWND FHotWnd = nullptr;
  bool FHookInstalled = false;
  bool FPendingLoad = false;
};

// The manager used by controls that name none; nullptr when none exists.
extern TsSkinManager* DefaultManager;

// The list of skinned forms (forms that carry a form provider).
int AddSkinnedForm(TWinControl* Form);
void RemoveSkinnedForm(TWinControl* Form);
const std::vector<TWinControl*>& SkinnedForms();

// true when Event is in Events, or Events holds aeGlobalDef and Event is in the default
// manager's AnimEventsDefault (all four mouse events without a manager).
bool AnimEventAllowed(TacAnimatEvent Event, TacAnimatEvents Events);
