// Adapters of windows that carry a column header or colour properties of their own: list views
// with their "SysHeader32" header, grids of the class library and of other component families
// (their colours reached through published properties by name), tree views, and virtual trees
// reached through their published properties and events. Each is an edit adapter (skinned frame
// and scroll bars) that also gives the window the skin's colours and gives the window's own back,
// exactly, when the skin goes. Part of the window adapters (include skin/windows/acSBUtils.h).
#pragma once

#include "skin/windows/acSBUtils.h"

#include <vector>

// ---- List view ---------------------------------------------------------------------------------

// A standard list view. In report view its column header is painted by the adapter in the skin's
// "COLHEADER" section ("BUTTON" when the skin has none): columns normal, hot under the pointer,
// pressed while clicked, with the sort arrows of the scroll buttons' glyphs. The header is hooked
// while the skin is on and given back when it goes.
class TacListViewWnd : public TacEditWnd {
 public:
  QV_CLASS_NAME(TacListViewWnd)
  using TacEditWnd::TacEditWnd;
  void AfterConstruction() override;
  void StoreOriginalColors() override;
  void RestoreOriginalColors() override;
  void ApplySkinColors() override;
  void HandleMessage(TMessage& Message) override;
  // The list's own procedure scrolls from its position when the thumb is dragged (LVM_SCROLL).
  bool SetsPositionWhileTracking() const override { return false; }

  // The list shows its report view (LVM_GETVIEW).
  bool ReportView() const;
  // What the hooked header's procedure runs (the static procedure finds the adapter by a property
  // of the header).
  void HeaderMessage(TMessage& Message);

  HWND HeaderWnd = nullptr;         // the hooked header, 0 when none
  WNDPROC OldHeaderProc = nullptr;  // the header's procedure before the adapter's
  int PressedColumn = -1;
  int HotColumn = -1;
  int HeaderHeight = 0;
  bool HeaderPressed = false;
  // The window's own colours (LVM_GETBKCOLOR, LVM_GETTEXTCOLOR, LVM_GETTEXTBKCOLOR) as they were
  // before the skin gave it its own.
  COLORREF SavedBkColor = CLR_NONE, SavedTextColor = 0, SavedTextBkColor = CLR_NONE;

 private:
  // Hooks the first "SysHeader32" child while the skin is on (nothing when hooked already).
  void HookHeader();
  void HookHeaderWindow(HWND Header);
  void UnhookHeader();
  // WM_HSCROLL / WM_VSCROLL with SB_THUMBTRACK: the list scrolled from where it is to the position.
  void TrackThumb(TMessage& Message);
  void PaintHeader(HDC DC);
  void PaintColumn(HDC DC, int Index, const TRect& R);
  // The header's painting into a DC that the list view prints into (WM_PRINT in report view).
  void PrintHeader(HDC DC);
  void HeaderMouseMove(const TMessage& Message);
  int HeaderHitTest(LPARAM Point, bool* OnDivider = nullptr) const;
  bool ColorsSaved_ = false;
};

// ---- Grids ---------------------------------------------------------------------------------------

// A grid of the class library or of another component family: the frame and bars of the edit
// adapter, its fixed, title, footer and indicator colours by published property name (each only
// when the grid has it), kept per grid and given back when the skin goes.
class TacGridWnd : public TacEditWnd {
 public:
  QV_CLASS_NAME(TacGridWnd)
  using TacEditWnd::TacEditWnd;
  void StoreOriginalColors() override;
  void RestoreOriginalColors() override;
  void ApplySkinColors() override;
  void HandleMessage(TMessage& Message) override;

  TColor SavedFixedColor = clNone;
  TColor SavedFooterColor = clNone;
  TColor SavedFooterCellColor = clNone;
  TColor SavedTitleFontColor = clNone;
  TColor SavedFixedFontColor = clNone;  // a grid with a fixed font keeps it apart from its title font
  TColor SavedTitleColor = clNone;
  TColor SavedIndicatorIconColor = clNone;
  // The colours of each column of a grid that keeps them per column ("TDBAdvGrid").
  struct TColumnColors {
    TColor HeaderFont = clNone, Font = clNone, Color = clNone;
  };
  std::vector<TColumnColors> SavedColumns;

 private:
  bool ColorsSaved_ = false;
};

// A grid of the second family: what the grid adapter does.
class TacGridEhWnd : public TacGridWnd {
 public:
  QV_CLASS_NAME(TacGridEhWnd)
  using TacGridWnd::TacGridWnd;
  void HandleMessage(TMessage& Message) override;
};

// ---- Trees -------------------------------------------------------------------------------------

// A standard tree view: background in the section's HOTCOLOR, text in its HOTFONTCOLOR; the
// window's own colours (TVM_GETBKCOLOR, TVM_GETTEXTCOLOR: -1 for the system's) given back.
class TacTreeViewWnd : public TacEditWnd {
 public:
  QV_CLASS_NAME(TacTreeViewWnd)
  using TacEditWnd::TacEditWnd;
  void StoreOriginalColors() override;
  void RestoreOriginalColors() override;
  void ApplySkinColors() override;
  void HandleMessage(TMessage& Message) override;

  COLORREF SavedBkColor = CLR_NONE, SavedTextColor = CLR_NONE;

 private:
  void EraseBackground(TMessage& Message);
  bool ColorsSaved_ = false;
};

// The header part a virtual tree asks its advanced header painter to draw: where, with what, and
// for which column (nullptr for the header area beyond the columns).
enum TacHeaderPaintElement : std::uint8_t {
  hpeBackground,   // 1
  hpeDropMark,     // 2
  hpeHeaderGlyph,  // 4
  hpeSortGlyph,    // 8
  hpeText,         // 16
  hpeOverlay       // 32
};
using TacHeaderPaintElements = TSet<TacHeaderPaintElement>;
struct TacHeaderPaintInfo {
  TCanvas* TargetCanvas = nullptr;
  TObject* Column = nullptr;  // its "Text" is the caption
  TRect PaintRectangle{};
  TRect TextRectangle{};  // in the canvas's coordinates
  TPoint SortGlyphPos{};  // in the canvas's coordinates
  bool ShowSortGlyph = false;
  bool IsHoverIndex = false;
  bool IsDownIndex = false;
};
// "OnAdvancedHeaderDraw" and "OnHeaderDrawQueryElements" of a virtual tree.
using TacAdvancedHeaderPaintEvent =
    TMethod<void(TObject* Sender, TacHeaderPaintInfo& PaintInfo, TacHeaderPaintElements Elements)>;
using TacHeaderPaintQueryElementsEvent =
    TMethod<void(TObject* Sender, TacHeaderPaintInfo& PaintInfo, TacHeaderPaintElements& Elements)>;

// A virtual tree of another component family: its "VETColors" text colours, and its header painted
// in the skin through its owner-draw header events while no handler of the program's holds them.
class TacVirtualTreeViewWnd : public TacEditWnd {
 public:
  QV_CLASS_NAME(TacVirtualTreeViewWnd)
  using TacEditWnd::TacEditWnd;
  void StoreOriginalColors() override;
  void RestoreOriginalColors() override;
  void ApplySkinColors() override;
  void HandleMessage(TMessage& Message) override;

  TColor SavedCompressedTextColor = clNone;
  TColor SavedFileTextColor = clNone;
  TColor SavedFolderTextColor = clNone;
  bool SavedOwnerDraw = false;
  // The header events hold the adapter's handlers.
  bool HeaderDrawInstalled = false;
  bool QueryInstalled = false;

  // The adapter's header painter and element query, as installed on the tree.
  void AdvancedHeaderDraw(TObject* Sender, TacHeaderPaintInfo& PaintInfo, TacHeaderPaintElements Elements);
  void HeaderDrawQueryElements(TObject* Sender, TacHeaderPaintInfo& PaintInfo, TacHeaderPaintElements& Elements);

 private:
  void PaintFrame(TMessage& Message);
  void PrintTree(TMessage& Message);
  TObject* Header() const;
  bool ColorsSaved_ = false;
};
