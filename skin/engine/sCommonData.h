// Per-control skin state and the skin command message.
//
// Every skinned control owns a TsCommonData (published as SkinData) and every window adapter holds
// one: the section the control is painted in, the indexes of that section, its border mask and
// pattern images in the manager's skin, the cache bitmap the control paints into, and the flags
// that drive repainting (BGChanged, Updating, Focused, MouseAbove ...).
//
// Skin commands travel as one window message, SM_QUORVEXCMD: the command code in the high word of
// WParam, a small argument in its low word, a manager, control, bitmap or answer in LParam.
//
// Query answers. Some queries were meant to be answered by writing LParam (7, 10, 11, 19). That
// only works when the query is performed on a TMessage record that the asker reads back; a query
// sent with SendMessage passes LParam by value and the written answer is lost. So every query
// answer is written to Result as well, and the askers here (AskControl, AskWindow, the Updating
// getter) read Result. Answer both ways in any handler of these commands.
#pragma once

#include "classlib/Win.h"

#include <cstdint>
#include <string>

#include "classlib/Controls.h"
#include "classlib/Graphics.h"
#include "classlib/core/Classes.h"
#include "classlib/core/Messages.h"
#include "classlib/core/Sets.h"
#include "skin/engine/Hooks.h"
#include "skin/engine/SkinWalk.h"

class TsSkinManager;

// ---- The skin command message ---------------------------------------------------------------

// The name is registered with the system at start-up (RegisteredSkinCommand keeps what the system
// gave); the message number itself is fixed.
inline constexpr UINT SM_QUORVEXCMD = 0xA100;
inline constexpr const char* SkinCommandName = "SM_QUORVEXCMD";
extern UINT RegisteredSkinCommand;

// Command codes (high word of WParam).
inline constexpr int QC_SKINLOADED = 1;        // LParam: the manager that loaded a skin
inline constexpr int QC_SKINREMOVED = 2;       // LParam: the manager whose skin goes away
inline constexpr int QC_REFRESH = 3;           // LParam: the manager whose skin is repainted
inline constexpr int QC_GETPROVIDER = 4;       // Result = the form's provider object
inline constexpr int QC_GETCACHE = 5;          // fill SharedCacheInfo with your cache image
inline constexpr int QC_UPDATEDONE = 6;        // the parent's update ended: repaint
inline constexpr int QC_ISSKINNED = 7;         // query: 1 when skinned
inline constexpr int QC_SETUPDATING = 8;       // Updating = (low word = 1)
inline constexpr int QC_SETALWAYSREPAINT = 9;  // AlwaysRepaint = (low word = 1)
inline constexpr int QC_ISBUSY = 10;           // query: BGChanged or Updating
inline constexpr int QC_ISPARTLYHIDDEN = 11;   // query: PartlyHidden
inline constexpr int QC_INVALIDATECACHE = 12;  // BGChanged set (low word 1, a cache is kept)
inline constexpr int QC_SECTIONCHANGED = 13;   // LParam: const char* section name
inline constexpr int QC_POPUPREGION = 14;      // to a popup menu window before its region is set
inline constexpr int QC_SETREPAINTCHILD = 15;  // LParam: the graphic child repainting now (0: done)
inline constexpr int QC_STOPFADE = 16;
inline constexpr int QC_BGCHANGED = 17;
inline constexpr int QC_ISTRANSPARENT = 19;   // query: must repaint when moved
inline constexpr int QC_PARENTMOVED = 20;     // low word 1: redraw; passed on to children
inline constexpr int QC_GETPARENTCOLOR = 21;  // write your background colour into SharedParentColor
inline constexpr int QC_SETPARTLYHIDDEN = 22;
inline constexpr int QC_PREPAREFADE = 23;      // rebuild the cache now
inline constexpr int QC_FADEFRAME = 24;        // LParam: TBitmap* frame; answer 0 to have it copied
inline constexpr int QC_CONTROLANNOUNCE = 25;  // LParam: TWinControl* announcing itself to its form
inline constexpr int QC_GETSECTIONINDEX = 26;  // Result = section index + 1 (0 unknown)
inline constexpr int QC_GETSKINMANAGER = 27;   // Result = the control's skin manager
inline constexpr int QC_REATTACHCHILDREN = 28;
inline constexpr int QC_MOUSEENTERWND = 29;  // the window became the manager's hot window
inline constexpr int QC_MOUSELEAVEWND = 30;  // the window stopped being the hot window
inline constexpr int QC_BEGINUPDATE = 31;
inline constexpr int QC_ENDUPDATE = 32;
inline constexpr int QC_LOCKREDRAW = 51;
inline constexpr int QC_UNLOCKREDRAW = 52;
inline constexpr int QC_GETAPPLICATION = 60;   // Result = the application object
inline constexpr int QC_GETCLIENTOFFSET = 61;  // Result = client offset in the image (X lo, Y hi)

// WParam of a skin command.
inline constexpr WPARAM SkinCommandWParam(int Command, std::uint16_t Arg = 0) {
  return WPARAM((std::uint32_t(Command) & 0xFFFF) << 16) | Arg;
}
inline bool IsSkinCommand(const TMessage& m) { return m.Msg == SM_QUORVEXCMD; }
inline int SkinCommandOf(const TMessage& m) { return m.WParamHi(); }

// ---- Control type codes (TsCommonData::TypeCode) ----------------------------------------------
// A code selects the default section at Loaded (see DefaultSectionForType); codes without an
// entry take the owner's class name.
inline constexpr std::uint8_t tcEdit = 3;
inline constexpr std::uint8_t tcMemo = 7;
inline constexpr std::uint8_t tcComboBox = 18;
inline constexpr std::uint8_t tcBar = 20;
inline constexpr std::uint8_t tcBarTitle = 21;
inline constexpr std::uint8_t tcCheckBox = 32;
inline constexpr std::uint8_t tcRadioButton = 33;
inline constexpr std::uint8_t tcCurrencyEdit = 41;
inline constexpr std::uint8_t tcPanel = 51;
inline constexpr std::uint8_t tcPanelLow = 52;
inline constexpr std::uint8_t tcToolBar = 53;
inline constexpr std::uint8_t tcDragBar = 56;
inline constexpr std::uint8_t tcSplitter = 57;
inline constexpr std::uint8_t tcGroupBox = 74;
inline constexpr std::uint8_t tcSpeedButton = 92;
inline constexpr std::uint8_t tcButton = 93;
inline constexpr std::uint8_t tcBitBtn = 94;
inline constexpr std::uint8_t tcSpeedButtonAlt = 95;
inline constexpr std::uint8_t tcToolButton = 96;
inline constexpr std::uint8_t tcCustomEdit = 97;
inline constexpr std::uint8_t tcComboEdit = 138;
inline constexpr std::uint8_t tcPageControl = 141;
inline constexpr std::uint8_t tcTabSheet = 142;
inline constexpr std::uint8_t tcStatusBar = 151;
inline constexpr std::uint8_t tcCheckBoxAlt = 152;
inline constexpr std::uint8_t tcGauge = 161;
inline constexpr std::uint8_t tcTrackBar = 165;
inline constexpr std::uint8_t tcForm = 224;
inline constexpr std::uint8_t tcGroupBoxAlt = 226;
inline constexpr std::uint8_t tcAdapterItem = 227;

// The default section of a type code; empty when the code has none.
std::string DefaultSectionForType(std::uint8_t TypeCode);
// Codes whose controls show no hover look (panels, bars, group boxes, pages, gauges, forms).
bool TypeIgnoresHover(std::uint8_t TypeCode);
// Codes of the edit family (their colours follow the section's COLOR / FONTCOLOR).
bool TypeIsEdit(std::uint8_t TypeCode);

// ---- Shared records and process-wide state ----------------------------------------------------

// A parent's cached image and where a child lies in it.
struct TsCacheInfo {
  TBitmap* Bmp = nullptr;
  int X = 0;
  int Y = 0;
  bool Ready = false;
};

// The answer to QC_GETCACHE: filled by the parent that is asked, read by the asker.
extern TsCacheInfo SharedCacheInfo;
// Always empty: for painters that need no parent image.
extern const TsCacheInfo EmptyCacheInfo;

// The colour behind transparent parts; 0xFF00FF when unset. Written by QC_GETPARENTCOLOR and by
// UpdateParentColor, read by the painters.
inline constexpr TColor clParentColorUnset = TColor(0xFF00FF);
extern TColor SharedParentColor;
// true while a manager loads or applies a skin (no fade starts meanwhile).
extern bool SkinChanging;
// true while a manager takes its skin away (window adapters then leave their windows).
extern bool SkinRemoving;
// Non-zero while a window is printed into an off-screen DC: no repaint on QC_REFRESH, no region
// changes.
extern HDC PrintDC;

// The visual-styles library's SetWindowTheme, looked up at start-up; nullptr when missing.
using TSetWindowTheme = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
extern TSetWindowTheme acSetWindowTheme;
// Visual styles are on for this application (IsAppThemed, when the library offers it).
bool ThemesInUse();

// Runs the unit's start-up work (registering the message name, looking up SetWindowTheme). Safe
// to call any number of times; the manager calls it.
void InitSkinEngineUnit();

// ---- Animation events ---------------------------------------------------------------------------

enum TacAnimatEvent : std::uint8_t { aeMouseEnter, aeMouseLeave, aeMouseDown, aeMouseUp, aeGlobalDef };
using TacAnimatEvents = TSet<TacAnimatEvent>;

// ---- TsCommonData --------------------------------------------------------------------------------

class TsCommonData : public TPersistent {
 public:
  QV_CLASS_NAME(TsCommonData)
  // AOwner: the control (also kept as OwnerControl when it is a TControl) or any other object
  // (a form provider, an adapter item). CreateCacheBmp: an empty 24-bit cache bitmap is made.
  TsCommonData(TObject* AOwner, bool CreateCacheBmp);
  ~TsCommonData() override;

  // Sets the default section for the type code when SkinSection is empty, else re-reads the
  // indexes; then announces a skinned window control to its form and gives edits their colours.
  void Loaded();

  // The control's own manager, else the default one (nullptr when none).
  TsSkinManager* SkinManager() const;
  // The manager set on this skin data itself (nullptr: the default manager is used).
  TsSkinManager* OwnSkinManager() const { return FSkinManager; }
  void SetSkinManager(TsSkinManager* Manager);

  const std::string& SkinSection() const { return FSkinSection; }
  void SetSkinSection(const std::string& Value);

  // BGChanged set; section, BORDERSMASK, PATTERN and HOTPATTERN indexes read again (-1 when the
  // section is missing).
  void UpdateIndexes();
  // The owner is alive, a manager exists and is alive (CheckActive: with a loaded skin) and the
  // section index is valid.
  bool Skinned(bool CheckActive = true) const;

  // true without a manager or loaded skin, when the flag is set, when the owner control has no
  // parent or the parent answers QC_ISBUSY with 1; only the flag for a missing or dying owner.
  bool Updating() const;
  // Stores the flag only.
  void SetUpdating(bool Value) { FUpdating = Value; }
  // The stored flag, without asking anybody.
  bool UpdatingFlag() const { return FUpdating; }
  void BeginUpdate();
  void EndUpdate();

  // BGChanged = true and, when the control is ready, its Invalidate (not while loading or dying).
  void Invalidate();
  bool IsHot() const;
  // The owner is a window control with the keyboard focus (asked of it once in each paint).
  bool OwnerFocused() const;
  // Makes the cache bitmap (when missing) 24-bit DIB of the control's size.
  void InitCacheBmp();
  bool RepaintIfMoved() const;

  // The owner is a form provider (its form is then the window the skin data stands for).
  bool OwnerIsProvider() const;
  // The window the skin data stands for: the owner control's (when allocated) or the provider's
  // form's; nullptr when none.
  HWND OwnerHandle() const;

  // Published (with SkinManager above; SkinSection is a string, which the property registry does
  // not carry, so it is reached through its accessors only).
  bool IsCustomFont() const { return CustomFont; }
  void SetCustomFont(bool Value) { CustomFont = Value; }
  bool IsCustomColor() const { return CustomColor; }
  void SetCustomColor(bool Value) { CustomColor = Value; }

  // ---- state read and written by painters, controls and adapters
  bool CustomFont = false;                // published
  bool CustomColor = false;               // published
  int SkinIndex = -1;                     // section index
  int BorderIndex = -1;                   // "BORDERSMASK" mask index
  int Texture = -1;                       // "PATTERN" image index
  int HotTexture = -1;                    // "HOTPATTERN" image index
  TControl* RepaintingControl = nullptr;  // set by QC_SETREPAINTCHILD
  bool AlwaysRepaint = false;
  bool BGChanged = true;
  bool PartlyHidden = true;
  bool Focused = false;
  bool MouseAbove = false;
  TControl* OwnerControl = nullptr;
  TObject* OwnerObject = nullptr;
  TBitmap* CacheBmp = nullptr;  // owned; may be nullptr
  std::uint8_t TypeCode = 0;

 private:
  bool OwnerLoading() const;
  bool OwnerDying() const;
  void NotifySectionChange();
  void ApplyEditColors(bool Skinned);

  TsSkinManager* FSkinManager = nullptr;
  std::string FSkinSection;
  bool FUpdating = false;
  const TControl* FRegistered = nullptr;
};

// The skin data a control made for itself (created with the control as owner); nullptr when none.
TsCommonData* FindSkinData(const TControl* Control);

// The control exists, has a parent and (window controls) a handle, and is not loading, destroying,
// creating or reading its state.
bool ControlIsReady(const TControl* Control);

// ---- Messages and commands ------------------------------------------------------------------------

// Runs in a skinned control's window procedure before the inherited one. true: the message is
// handled (its Result is set).
bool HandleCommonMessage(TMessage& Message, TsCommonData* SkinData);
// The answers to skin commands common to all skinned controls. true for a command it answered.
bool HandleSkinCommand(TMessage& Message, TsCommonData* SkinData);

// SendMessage(Wnd, SM_QUORVEXCMD, Command << 16 | Arg, LParam).
LRESULT SendSkinCommand(HWND Wnd, int Command, LPARAM LParam = 0, std::uint16_t Arg = 0);
// Through Perform for a control without a window, SendMessage for a window control with a handle
// that is not being destroyed; 0 otherwise.
LRESULT SendControlSkinCommand(TControl* Control, int Command, LPARAM LParam = 0, std::uint16_t Arg = 0);
// true when the control answers the query with 1 (through WindowProc, then by SendMessage).
bool AskControl(TControl* Control, int Command);
// true when the window answers the query with 1.
bool AskWindow(HWND Wnd, int Command);
// QC_GETCACHE to the control's parent; the shared record it filled (Ready false: no answer).
TsCacheInfo AskParentCache(TsCommonData* SkinData);
TsCacheInfo AskParentCacheWnd(HWND Wnd);
TsCacheInfo BuildCacheInfo(TBitmap* Bmp, int X = 0, int Y = 0);
// SharedParentColor = the parent's answer to QC_GETPARENTCOLOR, else the parent's Color.
void UpdateParentColor(TControl* Control);
// QC_CONTROLANNOUNCE with the control in LParam to the window of its top parent form.
void AnnounceToParentForm(TControl* Control);

// The answers of a control's parent about its image (QC_GETCACHE, AskParentCache) and its colour
// (QC_GETPARENTCOLOR, UpdateParentColor), and whether the control has the keyboard focus
// (TsCommonData::IsHot), kept for as long as the object lives: one paint of the control. The
// first question of each kind within it sends the command (asks the control, which asks the
// system); the later ones, by the control or any painter it calls, get the same answer without a
// message. Scopes nest (a paint may run another control's paint), each answering for its own
// control only.
class TsParentAnswers {
 public:
  explicit TsParentAnswers(TControl* Control);
  ~TsParentAnswers();
  TsParentAnswers(const TsParentAnswers&) = delete;
  TsParentAnswers& operator=(const TsParentAnswers&) = delete;

 private:
  friend TsCacheInfo AskParentCache(TsCommonData* SkinData);
  friend void UpdateParentColor(TControl* Control);
  friend class TsCommonData;
  static TsParentAnswers* For(const TControl* Control);

  TControl* Control_;
  TsParentAnswers* Outer_;
  bool HasCache_ = false, HasColor_ = false, HasFocused_ = false, Focused_ = false;
  TsCacheInfo Cache_;
  TColor Color_ = clParentColorUnset;
};
// BroadcastToControls, RepaintChildControls and RepaintChildWindows: skin/engine/SkinWalk.h.

// ---- Bound label of skinned edits ---------------------------------------------------------------

enum TsBoundLabelLayout : std::uint8_t { sclLeft, sclTopLeft, sclTopCenter, sclTopRight, sclLeftTop, sclBottomLeft };

class TsBoundLabel : public TPersistent {
 public:
  QV_CLASS_NAME(TsBoundLabel)
  explicit TsBoundLabel(TsCommonData* ACommonData);
  ~TsBoundLabel() override;

  bool Active() const { return FActive; }
  void SetActive(bool Value);
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value);
  int Indent() const { return FIndent; }
  void SetIndent(int Value);
  TsBoundLabelLayout Layout() const { return FLayout; }
  void SetLayout(TsBoundLabelLayout Value);

  // Places the label beside the edit by Layout and Indent.
  void AlignLabel();
  // The label shown (a TsEditLabel), nullptr when none.
  TControl* TheLabel() const { return FTheLabel; }
  // Called by the label's destructor.
  void LabelDestroyed() { FTheLabel = nullptr; }
  TsCommonData* CommonData() const { return FCommonData; }

 private:
  void UpdateLabel();
  TsCommonData* FCommonData;
  TControl* FTheLabel = nullptr;
  bool FActive = false;
  std::string FCaption;
  int FIndent = 0;
  TsBoundLabelLayout FLayout = sclLeft;
};

// ---- 24-bit pixel access --------------------------------------------------------------------------

class TacFast24 {
 public:
  // true when the bitmap is a non-empty 24-bit DIB.
  bool Attach(TBitmap* Bmp);
  bool Attached() const { return !View_.Empty(); }
  int Width() const { return View_.Width; }
  int Height() const { return View_.Height; }
  // 0x00BBGGRR; 0 outside the bitmap.
  TColor GetPixel(int X, int Y) const;
  void SetPixel(int X, int Y, TColor Color);
  const qv::TImageView& View() const { return View_; }

 private:
  qv::TImageView View_;
};
