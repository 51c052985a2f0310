// The skinned gauge: its range rules and change events, the plain look of the five kinds, the
// skinned bars from the progress sections, the skinned pie's text, and painting while the parent
// updates.
#include <gtest/gtest.h>

#include <climits>

#include "skin/controls/sGauge.h"
#include "tests/support/ControlsFixture.h"
#include "tests/support/SkinTestSupport.h"

using namespace qvtest;

namespace {

constexpr COLORREF kBack = RGB(0, 0, 255), kFore = RGB(255, 0, 0);

class TCountingGauge : public TsGauge {
 public:
  using TsGauge::TsGauge;
  int Paints = 0;
  int Changes = 0;
  void Changed(TObject*) { ++Changes; }

 protected:
  void Paint() override {
    ++Paints;
    TsGauge::Paint();
  }
};

class Gauge : public ControlsTest {
 protected:
  TCountingGauge* MakeGauge(TsGaugeKind kind, int w = 120, int h = 40, TWinControl* parent = nullptr) {
    auto* g = Create<TCountingGauge>(Form);
    g->SetParent(parent ? parent : Form);
    g->SetBounds(20, 20, w, h);
    g->SetKind(kind);
    g->SetShowText(false);
    g->SetBackColor(TColor(kBack));
    g->SetForeColor(TColor(kFore));
    g->OnChange = MakeMethod<&TCountingGauge::Changed>(g);
    flush_events();
    return g;
  }
};

}  // namespace

// Progress stays inside the range; OnChange fires for every change of the stored value, a repaint
// only when the percentage changed; a bound outside the other raises with the values allowed,
// except while loading.
TEST_F(Gauge, RangeRulesAndChangeEvents) {
  TCountingGauge* g = MakeGauge(gkHorizontalBar);
  struct {
    const char* Step;
    int Min, Max, Progress;
    int Stored, Percent;
    bool Changed, Repainted;
  } steps[] = {
      {"inside", 0, 100, 60, 60, 60, true, true},
      {"above the range", 0, 100, 500, 100, 100, true, true},
      {"the same bound again", 0, 100, 100, 100, 100, false, false},
      {"below the range", 0, 100, -3, 0, 0, true, true},
      {"a change under one percent", 0, 1000, 5, 5, 0, true, false},
      {"an empty range", 7, 7, 7, 7, 0, false, false},
      {"a negative range", -300, -100, -200, -200, 50, true, true},
      {"the whole 32-bit range", INT_MIN, INT_MAX, 0, 0, 50, true, true},
      {"its last value", INT_MIN, INT_MAX, INT_MAX, INT_MAX, 100, true, true},
  };
  for (const auto& s : steps) {
    // The range opens wide first, so that no step is refused on the way.
    g->SetMinValue(INT_MIN);
    g->SetMaxValue(INT_MAX);
    g->SetMaxValue(s.Max);
    g->SetMinValue(s.Min);
    flush_events();
    const int changes = g->Changes, paints = g->Paints;
    g->SetProgress(s.Progress);
    EXPECT_EQ(s.Stored, g->Progress()) << s.Step;
    EXPECT_EQ(s.Percent, g->PercentDone()) << s.Step;
    EXPECT_EQ(s.Changed, g->Changes > changes) << s.Step;
    EXPECT_EQ(s.Repainted, g->Paints > paints) << s.Step;
  }

  g->SetMinValue(0);
  g->SetMaxValue(100);
  try {
    g->SetMinValue(101);
    ADD_FAILURE() << "no error";
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ("Value must be between -2147483648 and 100", e.Message());
  }
  try {
    g->SetMaxValue(-1);
    ADD_FAILURE() << "no error";
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ("Value must be between 0 and 2147483647", e.Message());
  }
  EXPECT_EQ(0, g->MinValue());
  EXPECT_EQ(100, g->MaxValue());
  BeginLoading(g);
  g->SetMaxValue(-10);
  EXPECT_EQ(-10, g->MaxValue());
  g->SetMaxValue(100);
  EndLoading(g);
}

// The plain look of each kind in BackColor and ForeColor (the frame black), read from the screen.
TEST_F(Gauge, PlainKindsInTheirColours) {
  struct {
    TsGaugeKind Kind;
    int Percent;
    TPoint Fore, Back;
  } cases[] = {
      {gkHorizontalBar, 50, {30, 40}, {90, 40}}, {gkVerticalBar, 50, {60, 70}, {60, 10}},
      {gkPie, 25, {88, 28}, {30, 28}},           {gkPie, 75, {30, 60}, {30, 28}},
      {gkNeedle, 50, {60, 40}, {30, 55}},        {gkText, 80, {-1, -1}, {60, 40}},
  };
  for (const auto& c : cases) {
    TCountingGauge* g = MakeGauge(c.Kind, 120, 80);
    g->SetProgress(c.Percent);
    flush_events();
    if (c.Fore.X >= 0) {
      EXPECT_EQ(ColorText(kFore), ColorText(ScreenPixel(g, c.Fore.X, c.Fore.Y))) << c.Kind;
    }
    EXPECT_EQ(ColorText(kBack), ColorText(ScreenPixel(g, c.Back.X, c.Back.Y))) << c.Kind;
    if (c.Kind == gkHorizontalBar || c.Kind == gkVerticalBar || c.Kind == gkText) {
      EXPECT_EQ(ColorText(0), ColorText(ScreenPixel(g, 0, 0))) << c.Kind;
    }
    g->Free();
  }
  // The percentage inverts the colours under it.
  TCountingGauge* g = MakeGauge(gkText, 120, 40);
  g->SetShowText(true);
  flush_events();
  const POINT o = ScreenPoint(g, 0, 0);
  const Capture shot = CaptureScreenRect(RECT{o.x, o.y, o.x + 120, o.y + 40});
  EXPECT_GT(shot.CountColor(kBack ^ 0xFFFFFF), 10);
}

// Skinned bars are painted in their progress section over the gauge's section; a skin without the
// section shows the gauge's section alone.
TEST_F(Gauge, SkinnedBarsFromProgressSections) {
  LoadStandardSkin();
  struct {
    TsGaugeKind Kind;
    const char* ProgressSkin;
    const char* Section;
    TPoint Bar, Rest;
  } cases[] = {
      {gkHorizontalBar, "", "PROGRESSH", {30, 20}, {90, 20}},
      {gkVerticalBar, "", "PROGRESSV", {60, 30}, {60, 8}},
      {gkHorizontalBar, "BUTTON", "BUTTON", {30, 20}, {90, 20}},
  };
  for (const auto& c : cases) {
    TCountingGauge* g = MakeGauge(c.Kind, 120, 40);
    g->SetProgressSkin(c.ProgressSkin);
    g->SetProgress(50);
    flush_events();
    EXPECT_EQ(ColorText(Frame(c.Section, 0)), ColorText(ScreenPixel(g, c.Bar.X, c.Bar.Y))) << c.Section;
    EXPECT_EQ(ColorText(Frame("GAUGE", 0)), ColorText(ScreenPixel(g, c.Rest.X, c.Rest.Y))) << c.Section;
    EXPECT_EQ(nullptr, g->SkinData()->CacheBmp);  // the gauge keeps no cache between paints
    g->Free();
  }

  // The skin goes: the plain look; it comes back: the bar again.
  TCountingGauge* g = MakeGauge(gkHorizontalBar, 120, 40);
  g->SetProgress(50);
  Manager->SetActive(false);
  flush_events();
  EXPECT_EQ(ColorText(kFore), ColorText(ScreenPixel(g, 30, 20)));
  Manager->SetActive(true);
  flush_events();
  EXPECT_EQ(ColorText(Frame("PROGRESSH", 0)), ColorText(ScreenPixel(g, 30, 20)));
  FreeAndNil(Manager);
  LoadSkin(TSkinBuilder::Standard().RemoveSection("PROGRESSH"));
  flush_events();
  EXPECT_EQ(ColorText(Frame("GAUGE", 0)), ColorText(ScreenPixel(g, 30, 20)));
}

// The skinned pie's percentage stands out on either of the pie's colours, even when that colour is
// the section's text colour.
TEST_F(Gauge, SkinnedPieTextStandsOutOnBothColours) {
  LoadStandardSkin();
  const TColor ink = TColor(Manager->Section(Manager->SectionIndexOf("GAUGE")).FontColor.Text());
  struct {
    int Progress;
    bool OnFore;  // the text lies on ForeColor (the whole pie), else on BackColor (no pie)
  } cases[] = {{0, false}, {100, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Progress);
    TCountingGauge* g = MakeGauge(gkPie, 90, 90);
    g->SetShowText(true);
    (c.OnFore ? g->SetForeColor(ink) : g->SetBackColor(ink));
    g->SetProgress(c.Progress);
    flush_events();
    const TPoint at = g->ClientToScreen(Point(25, 35));
    const Capture text = CaptureScreenRect(RECT{at.X, at.Y, at.X + 40, at.Y + 20});
    const COLORREF fill = COLORREF(ColorToRGB(ink));
    EXPECT_GT(text.Width() * text.Height() - text.CountColor(fill), 15) << "the text shows";
    g->Free();
  }
}

// While the parent is being updated the gauge paints nothing: no pixel of the key colour shows.
TEST_F(Gauge, NothingPaintedWhileTheParentUpdates) {
  LoadStandardSkin();
  auto* host = Create<TTestSkinControl>(Form);
  host->SetParent(Form);
  host->SetBounds(10, 10, 200, 100);
  flush_events();
  TCountingGauge* g = MakeGauge(gkHorizontalBar, 120, 40, host);
  host->SkinData->SetUpdating(true);
  const int paints = g->Paints;
  g->SetProgress(90);
  ASSERT_GT(g->Paints, paints);
  EXPECT_NE(ColorText(0xFF00FF), ColorText(ScreenPixel(g, 0, 0)));
  host->SkinData->SetUpdating(false);
}
