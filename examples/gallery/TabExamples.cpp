#include "examples/gallery/TabExamples.h"

#include <memory>
#include <string>
#include <vector>

#include "classlib/ExtCtrls.h"
#include "classlib/ImgList.h"
#include "classlib/StdCtrls.h"
#include "skin/controls/sGauge.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sPageControl.h"
#include "skin/controls/sUpDown.h"

namespace {

// Moves every gauge a step along on each tick, back to the start after the end.
class TGaugeDriver : public TComponent {
 public:
  explicit TGaugeDriver(TComponent* AOwner) : TComponent(AOwner) {}
  void Tick(TObject*) {
    for (TsGauge* g : Gauges) g->SetProgress(g->Progress() >= g->MaxValue() ? g->MinValue() : g->Progress() + 1);
  }
  std::vector<TsGauge*> Gauges;
};

TCustomImageList* TabImages(TComponent* Owner) {
  auto* images = Create<TCustomImageList>(Owner);
  images->SetSize(16, 16);
  const TColor colors[] = {clNavy, clGreen, clMaroon, clTeal};
  for (TColor c : colors) {
    std::unique_ptr<TBitmap> bmp(CreateBmp24(16, 16));
    FillBmpRect(bmp.get(), Rect(0, 0, 16, 16), TColor(0xFF00FF));
    FillBmpRect(bmp.get(), Rect(2, 2, 14, 14), c);
    images->AddMasked(bmp.get(), TColor(0xFF00FF));
  }
  return images;
}

TsPageControl* AddPageControl(TComponent* Owner, TWinControl* Parent, const TRect& Bounds, TTabPosition Position,
                              const std::vector<std::string>& Captions) {
  auto* pc = Create<TsPageControl>(Owner);
  pc->SetParent(Parent);
  pc->SetBoundsRect(Bounds);
  pc->SetTabPosition(Position);
  for (const std::string& caption : Captions) {
    auto* page = Create<TsTabSheet>(Owner);
    page->SetPageControl(pc);
    page->SetCaption(caption);
    page->SetHint("The page \"" + caption + "\"");
    auto* label = Create<TsLabel>(Owner);
    label->SetParent(page);
    label->SetCaption("This is the page \"" + caption + "\".");
    label->SetBounds(10, 10, 240, 16);
  }
  pc->SetActivePageIndex(0);
  return pc;
}

}  // namespace

void AddTabExamples(TWinControl* Parent) {
  TComponent* owner = Parent->Owner() ? Parent->Owner() : Parent;
  TCustomImageList* images = TabImages(owner);

  std::vector<std::string> captions;
  for (int i = 1; i <= 12; ++i) captions.push_back("Page " + std::to_string(i));
  TsPageControl* many = AddPageControl(owner, Parent, Rect(8, 8, 448, 168), tpTop, captions);
  many->SetImages(images);
  many->SetHotTrack(true);
  many->SetShowHint(true);
  many->SetHint("Pages");
  for (int i = 0; i < many->PageCount(); ++i) {
    auto* page = static_cast<TsTabSheet*>(many->Pages(i));
    page->SetImageIndex(i % 3 == 0 ? (i / 3) % 4 : -1);
    page->SetUseCloseBtn(i % 2 == 1);
  }
  many->Pages(4)->SetEnabled(false);
  many->Pages(4)->SetCaption("Disabled");
  many->SetShowCloseBtns(true);

  TsPageControl* bottom = AddPageControl(owner, Parent, Rect(8, 178, 224, 318), tpBottom, {"First", "Second", "Third"});
  bottom->SetImages(images);
  bottom->Pages(1)->SetImageIndex(1);
  TsPageControl* left = AddPageControl(owner, Parent, Rect(232, 178, 448, 318), tpLeft, {"One", "Two", "Three"});
  left->SetImages(images);
  left->Pages(0)->SetImageIndex(2);

  auto* driver = Create<TGaugeDriver>(owner);
  struct {
    TsGaugeKind Kind;
    TRect Bounds;
  } gauges[] = {{gkText, Rect(464, 8, 680, 32)},
                {gkHorizontalBar, Rect(464, 40, 680, 64)},
                {gkVerticalBar, Rect(464, 72, 494, 168)},
                {gkPie, Rect(504, 72, 590, 158)},
                {gkNeedle, Rect(598, 88, 680, 138)}};
  int start = 0;
  for (auto& g : gauges) {
    auto* gauge = Create<TsGauge>(owner);
    gauge->SetParent(Parent);
    gauge->SetBoundsRect(g.Bounds);
    gauge->SetKind(g.Kind);
    gauge->SetProgress(start);
    start += 20;
    driver->Gauges.push_back(gauge);
  }
  auto* timer = Create<TTimer>(owner);
  timer->SetInterval(100);
  timer->SetOnTimer(MakeMethod<&TGaugeDriver::Tick>(driver));

  auto* edit = Create<TEdit>(owner);
  edit->SetParent(Parent);
  edit->SetBounds(464, 180, 80, 22);
  auto* upDown = Create<TsUpDown>(owner);
  upDown->SetParent(Parent);
  upDown->SetBounds(544, 180, 17, 22);
  upDown->SetAssociate(edit);
  upDown->SetMax(10);
  upDown->SetPosition(3);
  auto* horizontal = Create<TsUpDown>(owner);
  horizontal->SetParent(Parent);
  horizontal->SetOrientation(udHorizontal);
  horizontal->SetBounds(576, 180, 34, 20);
}
