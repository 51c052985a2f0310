#include "examples/gallery/ButtonExamples.h"

#include <memory>

#include "classlib/ImgList.h"
#include "classlib/Menus.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sSpeedButton.h"

namespace {

// A small glyph: a coloured square on the transparent key.
void FillGlyph(TBitmap* glyph, TColor color) {
  std::unique_ptr<TBitmap> bmp(CreateBmp24(16, 16));
  FillBmpRect(bmp.get(), Rect(0, 0, 16, 16), TColor(0xFF00FF));
  FillBmpRect(bmp.get(), Rect(3, 3, 13, 13), color);
  glyph->Assign(bmp.get());
}

}  // namespace

void AddButtonExamples(TWinControl* Parent) {
  TComponent* owner = Parent->Owner() ? Parent->Owner() : Parent;

  auto* ok = Create<TsButton>(owner);
  ok->SetParent(Parent);
  ok->SetBounds(8, 8, 90, 28);
  ok->SetCaption("Default");
  ok->SetDefault(true);

  auto* disabled = Create<TsButton>(owner);
  disabled->SetParent(Parent);
  disabled->SetBounds(106, 8, 90, 28);
  disabled->SetCaption("Disabled");
  disabled->SetEnabled(false);

  auto* multi = Create<TsButton>(owner);
  multi->SetParent(Parent);
  multi->SetBounds(204, 8, 90, 40);
  multi->SetCaption("A caption on two lines");

  auto* flat = Create<TsSpeedButton>(owner);
  flat->SetParent(Parent);
  flat->SetBounds(8, 56, 70, 26);
  flat->SetCaption("Flat");
  flat->SetFlat(true);

  for (int i = 0; i < 3; ++i) {
    auto* grouped = Create<TsSpeedButton>(owner);
    grouped->SetParent(Parent);
    grouped->SetBounds(86 + i * 28, 56, 26, 26);
    grouped->SetGroupIndex(1);
    grouped->SetDown(i == 0);
    FillGlyph(grouped->Glyph(), i == 0 ? clRed : i == 1 ? clGreen : clBlue);
  }

  auto* images = Create<TCustomImageList>(owner);
  images->SetSize(16, 16);
  {
    std::unique_ptr<TBitmap> bmp(CreateBmp24(16, 16));
    FillBmpRect(bmp.get(), Rect(0, 0, 16, 16), TColor(0xFF00FF));
    FillBmpRect(bmp.get(), Rect(2, 2, 14, 14), clNavy);
    images->AddMasked(bmp.get(), TColor(0xFF00FF));
  }
  auto* withGlyph = Create<TsSpeedButton>(owner);
  withGlyph->SetParent(Parent);
  withGlyph->SetBounds(8, 90, 100, 30);
  withGlyph->SetCaption("Image list");
  withGlyph->SetImages(images);
  withGlyph->SetImageIndex(0);

  auto* menu = Create<TPopupMenu>(owner);
  for (const char* text : {"First", "Second", "Third"}) {
    auto* item = Create<TMenuItem>(menu);
    item->SetCaption(text);
    menu->Items()->Add(item);
  }
  auto* dropDown = Create<TsSpeedButton>(owner);
  dropDown->SetParent(Parent);
  dropDown->SetBounds(116, 90, 80, 30);
  dropDown->SetCaption("Menu");
  dropDown->SetButtonStyle(tbsDropDown);
  dropDown->SetDropdownMenu(menu);
}
