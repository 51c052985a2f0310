// Shared pieces of the tests of the list, bar and tab adapters: the adapter fixture with a host
// window for common controls made with CreateWindowEx, and the colours of the test skin.
#pragma once

#include "tests/support/AdapterTestSupport.h"
#include "tests/support/GdiHandles.h"
#include "tests/support/core/SkinBuilder.h"

namespace qvtest {

class ListAdapterTest : public AdapterTest {
 protected:
  // Frees what a test made, each before what it leans on: the adapter, the skin state it was given,
  // the test's class-library controls (FreeControls), their host, then the windows.
  void TearDown() override;
  virtual void FreeControls() {}
  TacMainWnd* Adapter = nullptr;
  TsCommonData* Data = nullptr;
  std::unique_ptr<TTestHost> LibHost;
  // A visible top-level window for the windows of a test.
  HWND Host(int w = 560, int h = 420);
  // A common control made with CreateWindowEx in the host, with the dialog font.
  HWND Make(const char* cls, DWORD style, int x, int y, int w, int h, DWORD exStyle = 0);
  // The colour of a mask's state frame and of a section in the test skin.
  COLORREF Frame(const char* section, const char* property, int state) const {
    return TSkinBuilder::FrameColor(Builder.MaskOrdinal(section, property), state);
  }
  COLORREF SectionColor(const char* section, const char* key = "COLOR") const;
  HWND HostWnd = nullptr;
};

}  // namespace qvtest

#include "classlib/Grids.h"

namespace qvtest {

// ---- Stand-ins of component families the class library does not have, reached by the adapters
// only through their published properties and events.

// A column of the grid family that keeps its colours per column.
class TAdvColumn : public TCollectionItem {
 public:
  QV_CLASS_NAME(TAdvColumn)
  explicit TAdvColumn(TCollection* Collection);
  ~TAdvColumn() override;
  TFont* HeaderFont() const { return HeaderFont_; }
  TFont* Font() const { return Font_; }
  TColor Color() const { return Color_; }
  void SetColor(TColor v) { Color_ = v; }

 private:
  TFont* HeaderFont_;
  TFont* Font_;
  TColor Color_ = clWindow;
};

// A grid of that family ("TDBAdvGrid"): title and fixed fonts, footer, title and indicator colours,
// its columns, and a data source (it is data-aware).
class TDBAdvGrid : public TStringGrid {
 public:
  QV_CLASS_NAME(TDBAdvGrid)
  explicit TDBAdvGrid(TComponent* AOwner);
  ~TDBAdvGrid() override;
  TFont* TitleFont() const { return TitleFont_; }
  TFont* FixedFont() const { return FixedFont_; }
  TCollection* Columns() const { return Columns_; }
  TObject* DataSource() const { return nullptr; }
  TColor FooterColor() const { return FooterColor_; }
  void SetFooterColor(TColor v) { FooterColor_ = v; }
  TColor FooterCellColor() const { return FooterCellColor_; }
  void SetFooterCellColor(TColor v) { FooterCellColor_ = v; }
  TColor TitleColor() const { return TitleColor_; }
  void SetTitleColor(TColor v) { TitleColor_ = v; }
  TColor IndicatorIconColor() const { return IndicatorIconColor_; }
  void SetIndicatorIconColor(TColor v) { IndicatorIconColor_ = v; }
  // The positions the grid was told to scroll to with its thumb (code, position of its bar).
  std::vector<std::pair<int, int>> ThumbMoves;
  void Dispatch(TMessage& Message) override;

 private:
  TFont* TitleFont_;
  TFont* FixedFont_;
  TCollection* Columns_;
  TColor FooterColor_ = clBtnFace, FooterCellColor_ = clInfoBk, TitleColor_ = clBtnFace, IndicatorIconColor_ = clBlack;
};

// The text colours and the header of a virtual tree.
class TVetColors : public TPersistent {
 public:
  QV_CLASS_NAME(TVetColors)
  TColor CompressedTextColor() const { return Compressed_; }
  void SetCompressedTextColor(TColor v) { Compressed_ = v; }
  TColor FileTextColor() const { return File_; }
  void SetFileTextColor(TColor v) { File_ = v; }
  TColor FolderTextColor() const { return Folder_; }
  void SetFolderTextColor(TColor v) { Folder_ = v; }

 private:
  TColor Compressed_ = clBlue, File_ = clWindowText, Folder_ = clMaroon;
};
enum TVTHeaderOption : std::uint8_t { hoOwnerDraw, hoVisible, hoHotTrack };
using TVTHeaderOptions = TSet<TVTHeaderOption>;
class TVTHeader : public TPersistent {
 public:
  QV_CLASS_NAME(TVTHeader)
  TVTHeaderOptions Options() const { return Options_; }
  void SetOptions(TVTHeaderOptions v) { Options_ = v; }
  int Height() const { return 20; }
  int SortDirection() const { return SortDirection_; }
  void SetSortDirection(int v) { SortDirection_ = v; }

 private:
  TVTHeaderOptions Options_{hoVisible};
  int SortDirection_ = 0;
};
class TVTColumn : public TPersistent {
 public:
  QV_CLASS_NAME(TVTColumn)
  const std::string& Text() const { return Text_; }
  void SetText(const std::string& v) { Text_ = v; }

 private:
  std::string Text_;
};
// A virtual tree ("TVirtualStringTree"): a control with the colours, the header and the two header
// events its family publishes.
class TVirtualStringTree : public TCustomControl {
 public:
  QV_CLASS_NAME(TVirtualStringTree)
  explicit TVirtualStringTree(TComponent* AOwner);
  ~TVirtualStringTree() override;
  TVetColors* VETColors() const { return Colors_; }
  TVTHeader* Header() const { return Header_; }
  TacAdvancedHeaderPaintEvent OnAdvancedHeaderDraw;
  TacHeaderPaintQueryElementsEvent OnHeaderDrawQueryElements;
  TacAdvancedHeaderPaintEvent GetOnAdvancedHeaderDraw() const { return OnAdvancedHeaderDraw; }
  void SetOnAdvancedHeaderDraw(TacAdvancedHeaderPaintEvent v) { OnAdvancedHeaderDraw = v; }
  TacHeaderPaintQueryElementsEvent GetOnHeaderDrawQueryElements() const { return OnHeaderDrawQueryElements; }
  void SetOnHeaderDrawQueryElements(TacHeaderPaintQueryElementsEvent v) { OnHeaderDrawQueryElements = v; }

 private:
  TVetColors* Colors_;
  TVTHeader* Header_;
};

}  // namespace qvtest
