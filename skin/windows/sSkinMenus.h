// Skinned menus: the application's menus made owner-drawn and painted from the active skin (the
// items of popup menus and submenus, separators, caption items, the top-level items of a form's
// main-menu line), and the popup menu windows themselves (background, frame, extra line and icon
// column painted once into MenuBitmap, the window subclassed so that the system paints no frame
// over it, its region cut by the skin's transparent corners).
//
// The skin manager makes one TacSkinableMenus (the behaviour of the engine's TsSkinableMenus) and
// owns it; this unit registers the maker when it is linked in, which any program does that uses
// the form provider or names one of the routines below.
//
// Popup windows. The item drawing finds the popup window from the DC it draws on. Where the system
// gives the popup a non-client frame, the client area lies inside the window by that frame (three
// pixels on Windows) and the items start at the client origin; where it has none (Wine), client and
// window coincide and the items start three pixels in. Either way an item's place in MenuBitmap is
// its rectangle moved by the client origin's offset in the window, which the drawing measures
// (PopupClientOffset) instead of assuming it.
#pragma once

#include "classlib/Win.h"

#include <string>
#include <unordered_set>

#include "classlib/Menus.h"
#include "skin/engine/sSkinManager.h"

using TsMenuManagerDrawItemEvent =
    TMethod<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, TOwnerDrawState State, TsMenuItemType ItemType)>;

// ---- The window menu's texts, with the system's letters for the keyboard (forms' and dialogs' alike) -----

inline constexpr const char* sWindowMenuRestore = "&Restore";
inline constexpr const char* sWindowMenuMove = "&Move";
inline constexpr const char* sWindowMenuSize = "&Size";
inline constexpr const char* sWindowMenuMinimize = "Mi&nimize";
inline constexpr const char* sWindowMenuMaximize = "Ma&ximize";
inline constexpr const char* sWindowMenuClose = "&Close";

// ---- State of the popup being drawn (one popup is open at a time) ---------------------------------------

// The background of the popup being drawn, as large as the popup window; nullptr when none.
extern TBitmap* MenuBitmap;
// A skinned popup menu is being shown: set by the popup measuring and by the form window procedure
// on WM_INITMENUPOPUP, cleared by the menu window adapter when its window goes.
extern bool PopupMenuShown;

struct TacMenuState {
  TMenuItem* CurrentFirstItem = nullptr;   // first item of the popup MenuBitmap belongs to
  TsMenuItemType LastItemType = smNormal;  // kind of the item last measured or drawn
  bool ExtraLineVisible = false;
  bool ExtraDataFetched = false;
  bool FetchingExtraData = false;
  std::string ExtraSection;
  std::string ExtraCaption;
  TBitmap* ExtraGlyph = nullptr;  // owned; a copy of what the application handed over
  int TextStart = 0;              // left edge of texts and separators: Margin + glyph width + Spacing
  TPoint ClientOffset{3, 3};      // the popup's client origin in its window (MenuBitmap)
};
extern TacMenuState MenuState;

// Forgets the popup: first item, MenuBitmap, extra-line state.
void ClearMenuState();
void FreeMenuBitmap();

// ---- Item geometry (also used by the form provider) -------------------------------------------------------

// The item's Bitmap size, else its menu's image-list size, else 16 x 16.
TSize MenuGlyphSize(TMenuItem* Item);
// Caption "-": smDivider; "-...-": smCaption; else smNormal.
TsMenuItemType MenuItemKind(TMenuItem* Item);
bool IsCaptionItem(TMenuItem* Item);
// The item is a top-level item of a main menu.
bool IsTopLineItem(TMenuItem* Item);
// No item from the parent's first up to this one starts a column.
bool InFirstColumn(TMenuItem* Item);
// The canvas font of menu items: the screen's menu font, the charset of the menu's form, bold for
// the default item.
void SetMenuItemFont(TCanvas* Canvas, TMenuItem* Item);
// The client origin of a popup window inside its window rectangle.
TPoint PopupClientOffset(HWND Wnd);

// ---- The menus of a skin manager ---------------------------------------------------------------------------

class TacSkinableMenus : public TsSkinableMenus {
 public:
  QV_CLASS_NAME(TacSkinableMenus)
  explicit TacSkinableMenus(TsSkinManager* ASkinManager);
  ~TacSkinableMenus() override;

  // Stores a changed value and prepares (or gives back) the menus of every form.
  void SetSkinned(bool Value) override;
  // Not at design time: every component of the application, recursively.
  void InitForms(bool Value);
  void InitComponent(TComponent* C, bool Value);

  // Main menu: the top-level items get the main-line handlers (or lose this unit's), the menu's
  // OwnerDraw follows Value.
  void PrepareMainMenu(TMainMenu* Menu, bool Value);
  // One item, for the form provider.
  void PrepareMainItem(TMenuItem* Item, bool Value);
  void PreparePopupMenu(TPopupMenu* Menu, bool Value);
  // Every sub-item at every level: the popup handlers where the events are free (Value), this
  // unit's handlers taken away (not Value). The application's own handlers stay.
  void PrepareItems(TMenuItem* Item, bool Value);

  // The border width of "MAINMENU"'s "BORDERSMASK", measured once per skin (below 1 counts as 3;
  // 0 without the mask).
  int GetSkinBorderWidth();
  // The extra line's width while the current popup shows it; else 0.
  int ActiveExtraLineWidth() const;

  // Popup sizes without a window: columns start at items with Break.
  int PopupWidth(TMenuItem* FirstItem, TCanvas* Canvas);
  int PopupHeight(TMenuItem* FirstItem, TCanvas* Canvas);
  int MenuItemHeight(TMenuItem* Item, TCanvas* Canvas);

  // Builds MenuBitmap for the popup whose first item is FirstItem (once per popup) and hooks Wnd
  // when it is not 0.
  void PreparePopupBitmap(TMenuItem* FirstItem, int Width, int Height, HWND Wnd);
  // The manager's OnGetMenuExtraLineData for the current popup.
  void FetchExtraLineData(TMenuItem* FirstItem);
  // Subclasses the popup window and gives it the region of MenuBitmap.
  void HookPopupWindow(HWND Wnd) override;
  void HookPopupWindow(HWND Wnd, TBitmap* Bitmap);

  // ---- the handlers planted in the items
  void PopupMeasureItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height);
  virtual void PopupDrawItem(TObject* Sender, TCanvas* ACanvas, TRect ARect, TOwnerDrawState State);
  void MainMeasureItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height);
  virtual void MainDrawItem(TObject* Sender, TCanvas* ACanvas, TRect ARect, TOwnerDrawState State);
  // The handlers are this unit's (any manager's).
  static bool IsOwnDrawHandler(const TAdvancedMenuDrawItemEvent& Event);
  static bool IsOwnMeasureHandler(const TMenuMeasureItemEvent& Event);

  void DrawSeparator(TCanvas* Canvas, const TRect& ARect);
  void DrawCaptionItem(TCanvas* Canvas, TMenuItem* Item, const TRect& ARect);

  // ---- published
  TsMenuManagerDrawItemEvent OnDrawItem;
  int GetMargin() const { return Margin; }
  void SetMargin(int Value) { Margin = Value; }
  TAlignment GetAlignment() const { return Alignment; }
  void SetAlignment(TAlignment Value) { Alignment = Value; }
  int GetBevelWidth() const { return BevelWidth; }
  void SetBevelWidth(int Value) { BevelWidth = Value; }
  int GetBorderWidth() const { return BorderWidth; }
  void SetBorderWidth(int Value) { BorderWidth = Value; }
  TFont* GetCaptionFont() const { return CaptionFont; }
  void SetCaptionFont(TFont* Value) { CaptionFont->Assign(Value); }
  int GetSpacing() const { return Spacing; }
  void SetSpacing(int Value) { Spacing = Value; }
  void SetSkinBorderWidth(int Value) { SkinBorderWidth = Value; }
  TsMenuManagerDrawItemEvent GetOnDrawItem() const { return OnDrawItem; }
  void SetOnDrawItem(TsMenuManagerDrawItemEvent Value) { OnDrawItem = Value; }

 private:
  void PlantPopupHandlers(TMenuItem* Item, bool Value);
  void PlantMainHandlers(TMenuItem* Item, bool Value);
  void Planted(TMenuItem* Item);
  void PaintFrameBands(HWND Wnd, TMenuItem* Item, const TRect& ARect, int FirstColumn);
  void FillColumnGaps(TCanvas* Canvas, TMenuItem* Item, const TRect& ARect);
  void PaintItemGlyph(TBitmap* Image, TMenuItem* Item);
  void PaintCheckMark(TBitmap* Image, TMenuItem* Item, bool Hot);
  // The extra line's strip, its glyph and caption, into MenuBitmap.
  void PaintExtraLine(int Height);
  // Items given this object's handlers (some may be gone since).
  std::unordered_set<TMenuItem*> FPlanted;
};

// The menus of a manager (nullptr when it has none of this unit).
TacSkinableMenus* SkinableMenusOf(TsSkinManager* Manager);

// The popup window procedure (WM_DESTROY forgets the popup, WM_ERASEBKGND and WM_NCPAINT paint
// nothing over MenuBitmap); the previous procedure is kept in GWLP_USERDATA.
LRESULT CALLBACK PopupWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
