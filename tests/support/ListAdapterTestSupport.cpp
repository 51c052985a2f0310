#include "tests/support/ListAdapterTestSupport.h"

namespace qvtest {

void ListAdapterTest::TearDown() {
  FreeAndNil(Adapter);
  delete Data;
  Data = nullptr;
  FreeControls();
  LibHost.reset();
  AdapterTest::TearDown();
}

HWND ListAdapterTest::Host(int w, int h) {
  if (!HostWnd || !IsWindow(HostWnd)) HostWnd = Track(CreatePlainWindow(nullptr, WS_CLIPCHILDREN, 40, 40, w, h));
  return HostWnd;
}

HWND ListAdapterTest::Make(const char* cls, DWORD style, int x, int y, int w, int h, DWORD exStyle) {
  return CreateControl(Host(), cls, "", style, x, y, w, h, exStyle);
}

COLORREF ListAdapterTest::SectionColor(const char* section, const char* key) const {
  const TsGeneralData& gd = Manager->Section(Manager->SectionIndexOf(section));
  const std::string k = key;
  if (k == "HOTCOLOR") return ColorToRGB(TColor(gd.HotColor));
  if (k == "FONTCOLOR") return ColorToRGB(TColor(gd.FontColor.Text()));
  if (k == "HOTFONTCOLOR") return ColorToRGB(TColor(gd.HotFontColor.Text()));
  return ColorToRGB(TColor(gd.Color));
}

}  // namespace qvtest

#include "classlib/core/TypInfo.h"

namespace qvtest {

TAdvColumn::TAdvColumn(TCollection* Collection)
    : TCollectionItem(Collection), HeaderFont_(new TFont), Font_(new TFont) {}
TAdvColumn::~TAdvColumn() {
  delete HeaderFont_;
  delete Font_;
}

TDBAdvGrid::TDBAdvGrid(TComponent* AOwner)
    : TStringGrid(AOwner),
      TitleFont_(new TFont),
      FixedFont_(new TFont),
      Columns_(new TCollection(TCollection::ItemClass<TAdvColumn>())) {}
TDBAdvGrid::~TDBAdvGrid() {
  delete TitleFont_;
  delete FixedFont_;
  delete Columns_;
}

void TDBAdvGrid::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_VSCROLL &&
      (LOWORD(Message.WParam) == SB_THUMBTRACK || LOWORD(Message.WParam) == SB_THUMBPOSITION)) {
    SCROLLINFO si{sizeof si, SIF_POS, 0, 0, 0, 0, 0};
    GetScrollInfo(Handle(), SB_VERT, &si);
    ThumbMoves.emplace_back(LOWORD(Message.WParam), si.nPos);
  }
  TStringGrid::Dispatch(Message);
}

TVirtualStringTree::TVirtualStringTree(TComponent* AOwner)
    : TCustomControl(AOwner), Colors_(new TVetColors), Header_(new TVTHeader) {}
TVirtualStringTree::~TVirtualStringTree() {
  delete Colors_;
  delete Header_;
}

namespace {
const bool kStandIns = [] {
  RegisterProperties<TAdvColumn, TCollectionItem>([](auto& p) {
    p.Obj("HeaderFont", &TAdvColumn::HeaderFont);
    p.Obj("Font", &TAdvColumn::Font);
    p.Ord("Color", &TAdvColumn::Color, &TAdvColumn::SetColor);
  });
  RegisterProperties<TDBAdvGrid, TStringGrid>([](auto& p) {
    p.Obj("TitleFont", &TDBAdvGrid::TitleFont);
    p.Obj("FixedFont", &TDBAdvGrid::FixedFont);
    p.Obj("Columns", &TDBAdvGrid::Columns);
    p.Obj("DataSource", &TDBAdvGrid::DataSource);
    p.Ord("FooterColor", &TDBAdvGrid::FooterColor, &TDBAdvGrid::SetFooterColor);
    p.Ord("FooterCellColor", &TDBAdvGrid::FooterCellColor, &TDBAdvGrid::SetFooterCellColor);
    p.Ord("TitleColor", &TDBAdvGrid::TitleColor, &TDBAdvGrid::SetTitleColor);
    p.Ord("IndicatorIconColor", &TDBAdvGrid::IndicatorIconColor, &TDBAdvGrid::SetIndicatorIconColor);
  });
  RegisterProperties<TVetColors, TPersistent>([](auto& p) {
    p.Ord("CompressedTextColor", &TVetColors::CompressedTextColor, &TVetColors::SetCompressedTextColor);
    p.Ord("FileTextColor", &TVetColors::FileTextColor, &TVetColors::SetFileTextColor);
    p.Ord("FolderTextColor", &TVetColors::FolderTextColor, &TVetColors::SetFolderTextColor);
  });
  RegisterProperties<TVTHeader, TPersistent>([](auto& p) {
    p.Set("Options", &TVTHeader::Options, &TVTHeader::SetOptions, {"hoOwnerDraw", "hoVisible", "hoHotTrack"});
    p.Ord("Height", &TVTHeader::Height);
    p.Ord("SortDirection", &TVTHeader::SortDirection, &TVTHeader::SetSortDirection);
  });
  RegisterProperties<TVTColumn, TPersistent>([](auto& p) { p.Str("Text", &TVTColumn::Text, &TVTColumn::SetText); });
  RegisterProperties<TVirtualStringTree, TCustomControl>([](auto& p) {
    p.Obj("VETColors", &TVirtualStringTree::VETColors);
    p.Obj("Header", &TVirtualStringTree::Header);
    p.Method("OnAdvancedHeaderDraw", &TVirtualStringTree::GetOnAdvancedHeaderDraw,
             &TVirtualStringTree::SetOnAdvancedHeaderDraw);
    p.Method("OnHeaderDrawQueryElements", &TVirtualStringTree::GetOnHeaderDrawQueryElements,
             &TVirtualStringTree::SetOnHeaderDrawQueryElements);
  });
  return true;
}();
}  // namespace

}  // namespace qvtest
