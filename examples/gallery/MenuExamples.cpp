#include "examples/gallery/MenuExamples.h"

#include "examples/gallery/FrameExamples.h"

#include <initializer_list>
#include <memory>

#include "classlib/Forms.h"
#include "classlib/ImgList.h"
#include "classlib/Menus.h"
#include "skin/engine/sQuorvexGraph.h"

namespace {

// A 16 x 16 image: a coloured shape on the transparent key.
std::unique_ptr<TBitmap> Glyph(TColor color, bool round) {
  std::unique_ptr<TBitmap> bmp(CreateBmp24(16, 16));
  FillBmpRect(bmp.get(), Rect(0, 0, 16, 16), TColor(0xFF00FF));
  if (round) {
    TCanvas* c = bmp->Canvas();
    c->Brush()->SetColor(color);
    c->Pen()->SetColor(color);
    c->Ellipse(2, 2, 14, 14);
  } else {
    FillBmpRect(bmp.get(), Rect(2, 3, 14, 13), color);
  }
  return bmp;
}

class TMenuBuilder {
 public:
  explicit TMenuBuilder(TComponent* Owner) : Owner_(Owner) {}
  TMenuItem* Add(TMenuItem* Parent, const std::string& Caption, int ImageIndex = -1) {
    auto* item = Create<TMenuItem>(Owner_);
    item->SetCaption(Caption);
    item->SetImageIndex(ImageIndex);
    Parent->Add(item);
    return item;
  }
  TMenuItem* Line(TMenuItem* Parent) { return Add(Parent, "-"); }
  // Radio items of one group, the first checked.
  void Radios(TMenuItem* Parent, std::initializer_list<const char*> Captions, int Group) {
    bool first = true;
    for (const char* caption : Captions) {
      TMenuItem* item = Add(Parent, caption);
      item->SetRadioItem(true);
      item->SetGroupIndex(Group);
      item->SetAutoCheck(true);
      item->SetChecked(first);
      first = false;
    }
  }

 private:
  TComponent* Owner_;
};

}  // namespace

TPopupMenu* AddMenuExamples(TCustomForm* Form) {
  auto* images = Create<TCustomImageList>(Form);
  images->SetSize(16, 16);
  for (auto [color, round] : {std::pair{clNavy, false}, std::pair{clGreen, true}, std::pair{clMaroon, false},
                              std::pair{clTeal, true}, std::pair{clPurple, false}})
    images->AddMasked(Glyph(color, round).get(), TColor(0xFF00FF));

  TMenuBuilder b(Form);
  auto* main = Create<TMainMenu>(Form);
  main->SetImages(images);
  TMenuItem* root = main->Items();

  TMenuItem* file = b.Add(root, "&File");
  b.Add(file, "&New", 0)->SetShortCut(ShortCut('N', TShiftState{ssCtrl}));
  b.Add(file, "&Open...", 1)->SetShortCut(ShortCut('O', TShiftState{ssCtrl}));
  b.Add(file, "&Save", 2)->SetShortCut(ShortCut('S', TShiftState{ssCtrl}));
  b.Add(file, "Save &as...");
  TMenuItem* recent = b.Add(file, "&Recent files");
  for (const char* name : {"notes.txt", "report.doc", "sketch.bmp"}) b.Add(recent, name);
  b.Line(file);
  b.Add(file, "&Print", 3)->SetEnabled(false);
  b.Add(file, "&Frame styles...")->OnClick =
      TNotifyEvent(Form, [](void* form, TObject*) { ShowFrameExamples(static_cast<TCustomForm*>(form)); });
  b.Line(file);
  b.Add(file, "E&xit")->OnClick =
      TNotifyEvent(Form, [](void* form, TObject*) { static_cast<TCustomForm*>(form)->Close(); });

  TMenuItem* edit = b.Add(root, "&Edit");
  b.Add(edit, "&Undo")->SetShortCut(ShortCut('Z', TShiftState{ssCtrl}));
  b.Line(edit);
  b.Add(edit, "Cu&t", 4)->SetShortCut(ShortCut('X', TShiftState{ssCtrl}));
  b.Add(edit, "&Copy")->SetShortCut(ShortCut('C', TShiftState{ssCtrl}));
  b.Add(edit, "&Paste")->SetEnabled(false);

  TMenuItem* view = b.Add(root, "&View");
  b.Add(view, "-Show-");
  TMenuItem* toolBar = b.Add(view, "&Tool bar");
  toolBar->SetAutoCheck(true);
  toolBar->SetChecked(true);
  TMenuItem* statusBar = b.Add(view, "&Status bar");
  statusBar->SetAutoCheck(true);
  b.Add(view, "-Zoom-");
  b.Radios(view, {"50 %", "100 %", "200 %"}, 1);
  // A second column.
  TMenuItem* icons = b.Add(view, "Lar&ge icons");
  icons->SetBreak(mbBreak);
  b.Radios(view, {"Small icons", "List", "Details"}, 2);
  icons->SetRadioItem(true);
  icons->SetGroupIndex(2);

  TMenuItem* help = b.Add(root, "&Help");
  b.Add(help, "&Contents", 1)->SetShortCut(ShortCut(VK_F1, TShiftState{}));
  b.Line(help);
  b.Add(help, "&About...");
  Form->SetMenu(main);

  auto* popup = Create<TPopupMenu>(Form);
  popup->SetImages(images);
  TMenuItem* items = popup->Items();
  b.Add(items, "-Clipboard-");
  b.Add(items, "Cu&t", 4);
  b.Add(items, "&Copy", 0);
  b.Add(items, "&Paste", 2)->SetEnabled(false);
  b.Line(items);
  TMenuItem* bold = b.Add(items, "&Bold");
  bold->SetAutoCheck(true);
  bold->SetChecked(true);
  b.Radios(items, {"&Left", "C&enter", "&Right"}, 3);
  b.Line(items);
  TMenuItem* more = b.Add(items, "&More");
  b.Add(more, "&Select all", 1)->SetShortCut(ShortCut('A', TShiftState{ssCtrl}));
  b.Add(more, "&Find...", 3);
  b.Add(items, "&Properties")->SetDefault(true);
  Form->SetPopupMenu(popup);
  return popup;
}
