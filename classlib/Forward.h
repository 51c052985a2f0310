// Every class of the class library, declared. A header that only names a class (a pointer, a
// reference, a parameter) includes this rather than the unit that defines the class.
#pragma once

// core/System.h, core/Classes.h, core/SysUtils.h, core/EditMask.h, core/Image24.h
class TObject;
class TPersistent;
class TComponent;
class TList;
class TStrings;
class TStringList;
class TCollectionItem;
class TCollection;
class TOwnedCollection;
class Exception;
class TEditMask;
class TImage24;

// Graphics.h
class TGraphicsObject;
class TFont;
class TPen;
class TBrush;
class TCanvas;
class TBitmapCanvas;
class TGraphic;
class TBitmap;
class TIcon;

// Controls.h
class TControl;
class TWinControl;
class TGraphicControl;
class TCustomControl;
class TControlCanvas;
class TSizeConstraints;
class TMouse;
class TBasicAction;
class TCustomAction;
class TCustomActionList;

// Forms.h
class TCustomForm;
class TForm;
class THintWindow;
class TApplication;
class TScreen;

// StdCtrls.h
class TButtonControl;
class TButton;
class TCustomCheckBox;
class TCheckBox;
class TRadioButton;
class TCustomGroupBox;
class TGroupBox;
class TCustomLabel;
class TLabel;
class TCustomEdit;
class TEdit;
class TCustomMemo;
class TMemo;
class TMemoStrings;
class TCustomComboBox;
class TComboBox;
class TComboBoxStrings;

// ComCtrls.h
class TCustomTabControl;
class TTabControl;
class TTabStrings;
class TPageControl;
class TTabSheet;
class TStatusPanel;
class TStatusPanels;
class TStatusBar;
class TTrackBar;
class TCustomUpDown;
class TUpDown;
class TToolBar;
class TToolButton;
class TListColumn;
class TListColumns;
class TCustomListView;
class TListView;
class TCustomTreeView;
class TTreeView;

// Buttons.h, Menus.h, ExtCtrls.h, ExtCtrlsPanels.h, ImgList.h, ActnList.h, Clipbrd.h, Grids.h,
// Mask.h
class TBitBtn;
class TSpeedButton;
class TMenu;
class TMenuItem;
class TMainMenu;
class TPopupMenu;
class TTimer;
class TCustomPanel;
class TPanel;
class TCustomImageList;
class TImageList;
class TActionList;
class TClipboard;
class TCustomGrid;
class TStringGrid;
class TCustomMaskEdit;
class TMaskEdit;
