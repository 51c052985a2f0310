#include "examples/gallery/PanelExamples.h"

#include <string>

#include "skin/controls/sLabel.h"
#include "skin/controls/sPanel.h"
#include "skin/controls/sStatusBar.h"
#include "skin/controls/sTrackBar.h"
#include "skin/engine/sSkinManager.h"

namespace {

template <class T>
T* Place(TWinControl* Parent, int X, int Y, int W, int H) {
  TComponent* owner = Parent->Owner() ? Parent->Owner() : Parent;
  auto* c = Create<T>(owner);
  c->SetParent(Parent);
  c->SetBounds(X, Y, W, H);
  return c;
}

TsWebLabel* AddLabels(TWinControl* Parent) {
  auto* plain = Place<TsLabel>(Parent, 12, 12, 160, 16);
  plain->SetCaption("A label in the skin's colour");
  auto* section = Place<TsLabel>(Parent, 12, 36, 190, 22);
  section->SetAutoSize(false);
  section->SetLayout(tlCenter);
  section->SetAlignment(taCenter);
  section->SetSkinSection("PANEL_LOW");
  section->SetCaption("A label over a section");
  auto* disabled = Place<TsLabel>(Parent, 12, 66, 160, 16);
  disabled->SetCaption("A disabled label");
  disabled->SetEnabled(false);
  auto* web = Place<TsWebLabel>(Parent, 12, 90, 160, 16);
  web->SetCaption("A web label: example.org");
  web->SetURL("https://example.org/");
  web->Font()->SetColor(clBlue);
  web->HoverFont()->Assign(web->Font());
  web->HoverFont()->SetStyle(TFontStyles{fsUnderline});
  return web;
}

void AddPanel(TWinControl* Parent) {
  auto* panel = Place<TsPanel>(Parent, 220, 12, 250, 96);
  panel->SetCaption("A panel with a drag bar");
  auto* bar = Create<TsDragBar>(panel->Owner());
  bar->SetParent(panel);
  bar->SetCaption("Drag here to move the window");
}

void AddStatusBar(TWinControl* Parent) {
  auto* status = Place<TsStatusBar>(Parent, 0, 0, 100, 22);
  status->SetAlign(alBottom);
  const struct {
    const char* Text;
    int Width;
    TAlignment Alignment;
  } panels[] = {{"Session: Demo", 150, taLeftJustify},
                {"Set: Evening", 120, taCenter},
                {"Program: Strings", 160, taLeftJustify},
                {"Ready", 100, taRightJustify}};
  for (const auto& p : panels) {
    TStatusPanel* panel = status->Panels()->Add();
    panel->SetWidth(p.Width);
    panel->SetAlignment(p.Alignment);
    panel->SetText(p.Text);
  }
}

// The faders: vertical ones side by side and horizontal ones in a column, 23 in all.
void AddTrackBars(TWinControl* Parent) {
  constexpr int kVertical = 15, kHorizontal = 8;
  for (int i = 0; i < kVertical; ++i) {
    auto* bar = Place<TsTrackBar>(Parent, 12 + i * 32, 120, 45, 160);
    bar->SetOrientation(trVertical);
    bar->SetBounds(12 + i * 32, 120, 30, 170);
    bar->SetMax(127);
    bar->SetFrequency(16);
    bar->SetTickMarks(i % 3 == 0 ? tmBoth : i % 3 == 1 ? tmBottomRight : tmTopLeft);
    bar->SetTickStyle(i == kVertical - 1 ? tsNone : tsAuto);
    bar->SetPosition((i * 37) % 128);
  }
  for (int i = 0; i < kHorizontal; ++i) {
    auto* bar = Place<TsTrackBar>(Parent, 500, 120 + i * 36, 180, 34);
    bar->SetMax(100);
    bar->SetFrequency(10);
    bar->SetTickMarks(i % 2 ? tmTopLeft : tmBottomRight);
    bar->SetPosition(i * 13);
  }
}

}  // namespace

TsWebLabel* AddPanelExamples(TWinControl* Parent) {
  // The page's background is a skinned panel too: the controls lie over its image.
  auto* area = Place<TsPanel>(Parent, 0, 0, Parent->Width(), Parent->Height());
  area->SetBevelOuter(bvNone);
  area->SetAlign(alClient);
  TsWebLabel* web = AddLabels(area);
  AddPanel(area);
  AddTrackBars(area);
  AddStatusBar(area);
  return web;
}

void FollowLookInLinkColour(TsWebLabel* Label, TsSkinManager* Manager) {
  if (!Label) return;
  const bool skinned = Manager && Manager->Active() && Manager->SkinData()->Active;
  const COLORREF back = COLORREF(ColorToRGB(skinned ? Manager->GetGlobalColor() : clBtnFace));
  // A dark form colour (below half the brightness scale, by the eye's weights) takes the light blue.
  const double luminance = (0.2126 * GetRValue(back) + 0.7152 * GetGValue(back) + 0.0722 * GetBValue(back)) / 255;
  const TColor link = luminance < 0.5 ? TColor(RGB(130, 180, 255)) : clBlue;
  Label->Font()->SetColor(link);
  Label->HoverFont()->SetColor(link);
}
