// How the skinned page control looks: strip, frame and rows for the four sides, the active tab
// over its neighbours, the sections tabs are painted in, captions (disabled, rotated), owner-drawn
// tabs, skin images that would divide by nothing, and no GDI object left behind by painting.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "classlib/ImgList.h"
#include "skin/controls/sGauge.h"
#include "tests/support/GdiHandles.h"
#include "tests/win/tabs/TabsFixture.h"

using namespace qvtest;

namespace {

const char* const kTabSections[] = {"TABTOP", "TABBOTTOM", "TABLEFT", "TABRIGHT"};

class TabPainting : public TabsTest {
 protected:
  // The screen pixels of a rectangle of the control.
  static Capture Shot(TControl* c, const TRect& r) {
    const POINT o = ScreenPoint(c, r.Left, r.Top);
    return CaptureScreenRect(RECT{o.x, o.y, o.x + r.Width(), o.y + r.Height()});
  }
  // The text colour of a section (FONTCOLOR, normal state).
  const qv::TsGeneralData& SectionData(const char* name) const {
    return Manager->Section(Manager->SectionIndexOf(name));
  }
};

struct TDrawLog {
  std::vector<std::pair<int, bool>> Calls;
  void Draw(TCustomTabControl* c, int Tab, const TRect& R, bool Active) {
    Calls.emplace_back(Tab, Active);
    c->Canvas()->Brush()->SetColor(TColor(RGB(0, 200, 0)));
    c->Canvas()->FillRect(Rect(R.Left + 6, R.Top + 6, R.Left + 10, R.Top + 10));
  }
};

}  // namespace

// For the four sides, with one row and with several: strip and frame split the client area, the
// active tab reaches over the frame's edge, rows count from the farthest and the active tab's row
// is next to the pages.
TEST_F(TabPainting, GeometryOfTheFourSidesAndRows) {
  LoadStandardSkin();
  struct {
    TTabPosition Position;
    int Pages;
    bool MultiLine;
  } cases[] = {{tpTop, 3, false}, {tpBottom, 3, false}, {tpLeft, 3, true},  {tpRight, 3, true},
               {tpTop, 14, true}, {tpBottom, 14, true}, {tpLeft, 14, true}, {tpRight, 14, true}};
  for (const auto& c : cases) {
    TsPageControl* pc = MakePages(c.Pages, c.Position, Rect(10, 10, 330, 250));
    pc->SetMultiLine(c.MultiLine);
    pc->SetActivePageIndex(c.Pages / 2);
    flush_events();
    const std::string name = std::to_string(c.Position) + " x" + std::to_string(c.Pages);
    const TRect strip = pc->TabsRect(), frame = pc->PageFrameRect();
    const TRect client = Rect(0, 0, pc->Width(), pc->Height());
    EXPECT_TRUE(IntersectRects(strip, frame).IsEmpty()) << name;
    EXPECT_EQ(client.Width() * client.Height(), strip.Width() * strip.Height() + frame.Width() * frame.Height())
        << name;
    const int active = pc->ActivePage()->TabIndex();
    EXPECT_FALSE(IntersectRects(pc->SkinTabRect(active, true), frame).IsEmpty()) << name;
    const int rows = int(SendMessageA(pc->Handle(), TCM_GETROWCOUNT, 0, 0));
    EXPECT_EQ(c.Pages > 3, rows > 1) << name;
    EXPECT_EQ(rows, pc->TabRow(active)) << name;
    // Farther from the frame, lower the row.
    const bool vertical = c.Position == tpLeft || c.Position == tpRight;
    auto distance = [&](int tab) {
      const TRect r = ItemRect(pc, tab);
      switch (c.Position) {
        case tpTop: return frame.Top - r.Bottom;
        case tpBottom: return r.Top - frame.Bottom;
        case tpLeft: return frame.Left - r.Right;
        default: return r.Left - frame.Right;
      }
    };
    for (int t = 0; t + 1 < c.Pages; ++t)
      for (int u = t + 1; u < c.Pages; ++u)
        if (distance(t) > distance(u) + (vertical ? ItemRect(pc, u).Width() : ItemRect(pc, u).Height()) / 2) {
          EXPECT_LT(pc->TabRow(t), pc->TabRow(u)) << name << " tabs " << t << ", " << u;
        }
    pc->Free();
  }
}

// The active tab is painted after its neighbours: where it overlaps one, the screen shows the
// active look; beside the overlap the neighbour shows its own.
TEST_F(TabPainting, ActiveTabOverItsNeighbours) {
  LoadStandardSkin();
  for (TTabPosition side : {tpTop, tpBottom, tpLeft, tpRight}) {
    TsPageControl* pc = MakePages(3, side, Rect(10, 10, 330, 250));
    pc->SetActivePageIndex(1);
    flush_events();
    const TRect active = pc->SkinTabRect(1, true), frame = pc->PageFrameRect();
    int probes = 0;
    for (int n : {0, 2}) {
      const TRect neighbour = pc->SkinTabRect(n, false);
      TRect overlap = IntersectRects(active, neighbour);
      if (overlap.IsEmpty()) continue;
      // Clear of the frame and of the corner runs of both tabs.
      const TPoint p = Centre(overlap);
      if (frame.Contains(p)) continue;
      ++probes;
      EXPECT_EQ(ColorText(Tab(2, kTabSections[side])), At(pc, p)) << side << " over tab " << n;
      EXPECT_EQ(ColorText(Tab(0, kTabSections[side])), At(pc, TabBody(pc, n, false))) << side << " tab " << n;
    }
    EXPECT_GT(probes, 0) << side;
    pc->Free();
  }
}

// The section a tab is painted in: the side's tab section, the page's own, the button sections of
// the button styles; none for a missing section or a skin without tab sections; a tab section that
// is the skin's first (index 0) is painted like any other.
TEST_F(TabPainting, SectionsOfTabs) {
  struct {
    const char* Name;
    std::function<TSkinBuilder()> Skin;
    TTabStyle Style;
    const char* TabSkin;
    const char* Section;  // nullptr: no tab background
  } cases[] = {
      {"side", [] { return TSkinBuilder::Standard(); }, tsTabs, "", "TABTOP"},
      {"own", [] { return TSkinBuilder::Standard(); }, tsTabs, "BUTTON", "BUTTON"},
      {"missing own", [] { return TSkinBuilder::Standard(); }, tsTabs, "NOSUCH", nullptr},
      {"buttons", [] { return TSkinBuilder::Standard(); }, tsButtons, "", "BUTTON"},
      {"flat buttons", [] { return TSkinBuilder::Standard(); }, tsFlatButtons, "", "TOOLBUTTON"},
      {"no tab sections", [] { return TSkinBuilder::Standard().RemoveSection("TABTOP"); }, tsButtons, "", nullptr},
      {"first section",
       [] {
         TSkinBuilder b;
         b.Section("TABTOP");
         b.Mask("TABTOP", "BORDERSMASK", 12, 12, 3);
         b.Section("PAGECONTROL");
         b.Mask("PAGECONTROL", "BORDERSMASK", 9, 9, 1);
         return b;
       },
       tsTabs, "", "TABTOP"},
  };
  for (const auto& c : cases) {
    FreeAndNil(Manager);
    LoadSkin(c.Skin());
    TsPageControl* pc = MakePages(3);
    pc->SetStyle(c.Style);
    static_cast<TsTabSheet*>(pc->Pages(1))->SetTabSkin(c.TabSkin);
    flush_events();
    ASSERT_TRUE(pc->SkinData()->Skinned()) << c.Name;
    const TPoint body = TabBody(pc, 1, false);
    const std::string want = c.Section ? ColorText(Frame(c.Section, 0)) : ColorText(ColorToRGB(Form->Color()));
    EXPECT_EQ(want, At(pc, body)) << c.Name;
    pc->Free();
  }
}

// Captions are drawn in the tab section's colours; a disabled control or page draws them disabled
// on every side (no pixel in the section's colour; grey on the sides); side captions stand upright.
TEST_F(TabPainting, CaptionsDisabledAndUpright) {
  LoadStandardSkin();
  for (TTabPosition side : {tpTop, tpBottom, tpLeft, tpRight}) {
    struct {
      const char* Name;
      bool ControlEnabled, PageEnabled;
    } states[] = {{"enabled", true, true}, {"control disabled", false, true}, {"page disabled", true, false}};
    for (const auto& s : states) {
      TsPageControl* pc = MakePages(3, side, Rect(10, 10, 330, 250));
      pc->Pages(1)->SetCaption("WWWWW");
      pc->SetEnabled(s.ControlEnabled);
      pc->Pages(1)->SetEnabled(s.PageEnabled);
      flush_events();
      const TRect r = pc->SkinTabRect(1, false);
      const Capture shot = Shot(pc, r);
      const COLORREF font = SectionData(kTabSections[side]).FontColor.Text();
      const bool enabled = s.ControlEnabled && s.PageEnabled;
      const std::string name = std::to_string(side) + " " + s.Name;
      if (enabled) {
        EXPECT_GT(shot.CountColor(font), 8) << name;
      } else {
        EXPECT_EQ(0, shot.CountColor(font)) << name;
      }
      if ((side == tpLeft || side == tpRight) && !enabled) {
        EXPECT_GT(shot.CountColor(0x808080), 8) << name;
      }
      if (side == tpLeft || side == tpRight) {
        // The caption's pixels stand taller than wide.
        const COLORREF ink = enabled ? font : COLORREF(0x808080);
        int top = INT_MAX, bottom = -1, left = INT_MAX, right = -1;
        for (int y = 0; y < shot.Height(); ++y)
          for (int x = 0; x < shot.Width(); ++x)
            if (shot.Pixel(x, y) == ink) {
              top = std::min(top, y), bottom = std::max(bottom, y);
              left = std::min(left, x), right = std::max(right, x);
            }
        EXPECT_GT(bottom - top, right - left) << name;
      }
      pc->Free();
    }
  }
}

// Owner-drawn tabs: the handler draws them, told whether the tab is the active one (a hot tab is
// not); without a handler the tabs show their section alone.
TEST_F(TabPainting, OwnerDrawnTabs) {
  LoadStandardSkin();
  TsPageControl* pc = MakePages(3);
  pc->SetOwnerDraw(true);
  pc->SetHotTrack(true);
  TDrawLog log;
  pc->OnDrawTab = MakeMethod<&TDrawLog::Draw>(&log);
  pc->Invalidate();
  flush_events();
  MouseAway();
  log.Calls.clear();
  const TPoint hot = Centre(ItemRect(pc, 2));
  MouseTo(pc, hot.X, hot.Y);
  ASSERT_FALSE(log.Calls.empty());
  for (const auto& call : log.Calls) EXPECT_EQ(call.first == 0, call.second) << "tab " << call.first;
  EXPECT_NE(std::find(log.Calls.begin(), log.Calls.end(), std::make_pair(2, false)), log.Calls.end());
  const TRect r2 = pc->SkinTabRect(2, false);
  EXPECT_EQ(ColorText(RGB(0, 200, 0)), At(pc, Point(r2.Left + 7, r2.Top + 7)));

  pc->OnDrawTab = TDrawTabEvent();
  pc->SkinData()->Invalidate();
  flush_events();
  const COLORREF font = SectionData("TABTOP").FontColor.Text();
  EXPECT_EQ(0, Shot(pc, pc->SkinTabRect(1, false)).CountColor(font));
  EXPECT_EQ(ColorText(Tab(0)), At(pc, TabBody(pc, 1, false)));
}

// Skin images whose frame count or mask type would divide by nothing leave the close buttons and
// the arrow glyphs out instead.
TEST_F(TabPainting, ImagesWithoutFramesNeverDivide) {
  LoadStandardSkin();
  auto& model = const_cast<qv::TSkinModel&>(*Manager->Skin());
  for (const char* image : {"SICONCLOSE", "BICONCLOSE"}) {
    auto& m = model.Masks[std::size_t(Manager->MaskIndexOf("GLOBALINFO", image))];
    m.ImageCount = 0;
    m.MaskType = -1;
  }
  auto& glyph = model.Masks[std::size_t(Manager->ConstData().ScrollBtnLeft.GlyphMask)];
  glyph.ImageCount = 0;
  glyph.MaskType = -1;
  TsPageControl* pc = MakePages(20);
  pc->SetShowCloseBtns(true);
  flush_events();
  EXPECT_EQ(-1, pc->BtnSkinIndex());
  ASSERT_NE(nullptr, pc->UpDown());
  pc->UpDown()->Repaint();
  pc->Repaint();
  flush_events();
  EXPECT_EQ(ColorText(Tab(0)), At(pc, TabBody(pc, 1, false)));
}

// Painting again and again leaves no GDI object behind: page switches, hot tabs, close buttons,
// rotated captions with images on the four sides, the tab scroller, skin refreshes, and gauges of
// every kind.
TEST_F(TabPainting, RepeatedPaintingKeepsNoHandles) {
  LoadStandardSkin();
  auto* images = Create<TCustomImageList>(Form);
  images->SetSize(16, 16);
  {
    std::unique_ptr<TBitmap> bmp(CreateBmp24(16, 16));
    FillBmpRect(bmp.get(), Rect(0, 0, 16, 16), TColor(0x00C000));
    images->Add(bmp.get(), nullptr);
  }
  std::vector<TsPageControl*> controls;
  const TRect places[] = {Rect(5, 5, 185, 125), Rect(190, 5, 370, 125), Rect(5, 130, 185, 330),
                          Rect(190, 130, 370, 330)};
  for (TTabPosition side : {tpTop, tpBottom, tpLeft, tpRight}) {
    TsPageControl* pc = MakePages(side == tpTop ? 12 : 4, side, places[side]);
    pc->SetImages(images);
    pc->SetHotTrack(true);
    pc->SetShowCloseBtns(true);
    pc->SetMultiLine(side == tpLeft || side == tpRight);
    for (int i = 0; i < pc->PageCount(); i += 2) pc->Pages(i)->SetImageIndex(0);
    controls.push_back(pc);
  }
  std::vector<TsGauge*> gauges;
  for (TsGaugeKind kind : {gkText, gkHorizontalBar, gkVerticalBar, gkPie, gkNeedle}) {
    auto* g = Create<TsGauge>(Form);
    g->SetParent(Form);
    g->SetBounds(380, 5 + 50 * int(kind), 120, 40);
    g->SetKind(kind);
    gauges.push_back(g);
  }
  flush_events();
  auto round = [&](int n) {
    for (TsPageControl* pc : controls) {
      pc->SetActivePageIndex((n + 1) % pc->PageCount());
      for (int i = 0; i < pc->PageCount(); ++i) {
        const TPoint p = Centre(ItemRect(pc, i));
        SendMessageA(pc->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(p.X, p.Y));
        const TRect b = pc->CloseBtnRect(pc->Pages(i));
        SendMessageA(pc->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(b.Left + 2, b.Top + 2));
      }
      SendMessageA(pc->Handle(), WM_MOUSELEAVE, 0, 0);
      if (pc->UpDown()) pc->UpDown()->Repaint();
    }
    for (TsGauge* g : gauges) g->SetProgress((g->Progress() + 37) % 100);
    Manager->RepaintForms();
    flush_events();
  };
  for (int n = 0; n < 12; ++n) round(n);  // every page shown once: its brush and the caches made
  const int before = GdiHandleCount();
  // A second time round the same states: every object made by a state is there again.
  for (int n = 12; n < 24; ++n) round(n);
  EXPECT_EQ(before, GdiHandleCount());
}
