// Static text, icon and link adapters on statics made as a dialog makes them: the section and the
// text in each state, statics the skin leaves alone, the link's anchors, the icon, and new text
// shown at once.
#include "tests/support/AdapterTestSupport.h"

#include <string>

namespace qvtest {
namespace {

class StaticAdapters : public AdapterTest {
 protected:
  void SetUp() override {
    AdapterTest::SetUp();
    Dialog = Track(CreatePlainWindow(nullptr, 0, 40, 40, 420, 400));
  }
  COLORREF Frame() const { return AdapterTest::Frame("CHECKBOX", "BORDERSMASK"); }
  COLORREF Ink() const { return AdapterTest::Ink("CHECKBOX"); }
  HWND Dialog = nullptr;
};

struct TStaticCase {
  const char* Name;
  const char* Text;
  DWORD Style, ExStyle;
  TacAdapterMaker Maker;
  bool Skinned;   // the section shows
  bool InkShows;  // text in the section's font colour
};

TEST_F(StaticAdapters, PaintsTheSectionAndTheContentInEachState) {
  const TStaticCase cases[] = {
      {"left text", "Some text", SS_LEFT, 0, &MakeAdapter<TacStaticWnd>, true, true},
      {"centred text", "Some text", SS_CENTER, 0, &MakeAdapter<TacStaticWnd>, true, true},
      {"disabled", "Some text", SS_LEFT | WS_DISABLED, 0, &MakeAdapter<TacStaticWnd>, true, false},
      {"tab stop", "Some text", SS_LEFT | WS_TABSTOP, 0, &MakeAdapter<TacStaticWnd>, false, false},
      {"static edge", "Some text", SS_LEFT, WS_EX_STATICEDGE, &MakeAdapter<TacStaticWnd>, false, false},
      {"link", "Go <A>there</A> now", SS_LEFT, 0, &MakeAdapter<TacLinkWnd>, true, true},
      {"icon", "", SS_ICON, 0, &MakeAdapter<TacIconWnd>, true, false},
  };
  int y = 8;
  for (const TStaticCase& c : cases) {
    SCOPED_TRACE(c.Name);
    HWND wnd = CreateControl(Dialog, "STATIC", c.Text, c.Style, 8, y, 160, 36, c.ExStyle);
    if ((c.Style & SS_TYPEMASK) == SS_ICON)
      SendMessageA(wnd, STM_SETICON, WPARAM(LoadIconA(nullptr, IDI_APPLICATION)), 0);
    HWND twin = CreateControl(Dialog, "STATIC", c.Text, c.Style, 200, y, 160, 36, c.ExStyle);
    if ((c.Style & SS_TYPEMASK) == SS_ICON)
      SendMessageA(twin, STM_SETICON, WPARAM(LoadIconA(nullptr, IDI_APPLICATION)), 0);
    y += 40;
    TacMainWnd* a = c.Maker(wnd, nullptr, Manager, "CHECKBOX", true);
    flush_events(20, 500);
    const Capture screen = CaptureScreen(wnd);
    EXPECT_EQ(c.Skinned, screen.Pixel(5, 0) == Frame()) << ColorText(screen.Pixel(5, 0));
    EXPECT_EQ(c.InkShows, screen.CountColor(Ink()) > 0);
    if ((c.Style & SS_TYPEMASK) == SS_ICON) {
      EXPECT_NE(Frame(), screen.Pixel(16, 16)) << "the icon over the section";
    }
    if (c.Skinned) {
      // The screen shows what the adapter prints.
      const Capture print = CaptureWMPrint(wnd);
      EXPECT_EQ(0, DifferingPixels(print, screen));
    } else {
      EXPECT_EQ(0, SendSkinCommand(wnd, QC_ISSKINNED)) << "answers no skin command itself";
      EXPECT_EQ(0, DifferingPixels(screen, CaptureScreen(twin))) << "looks as without skin";
    }
    a->Free();
  }
}

TEST_F(StaticAdapters, LinkShowsThePlainSentenceAndIconOnlyItsBackgroundWithoutOne) {
  HWND link = CreateControl(Dialog, "STATIC", "Read <A>the notes</A> first", SS_LEFT, 8, 8, 180, 20);
  HWND text = CreateControl(Dialog, "STATIC", "Read the notes first", SS_LEFT, 8, 40, 180, 20);
  HWND icon = CreateControl(Dialog, "STATIC", "", SS_ICON, 8, 72, 40, 40);
  HWND empty = CreateControl(Dialog, "STATIC", "", SS_LEFT, 60, 72, 40, 40);
  TacMainWnd* adapters[] = {MakeAdapter<TacLinkWnd>(link, nullptr, Manager, "CHECKBOX", true),
                            MakeAdapter<TacStaticWnd>(text, nullptr, Manager, "CHECKBOX", true),
                            MakeAdapter<TacIconWnd>(icon, nullptr, Manager, "CHECKBOX", true),
                            MakeAdapter<TacStaticWnd>(empty, nullptr, Manager, "CHECKBOX", true)};
  EXPECT_EQ(0, DifferingPixels(CaptureWMPrint(link), CaptureWMPrint(text)));
  EXPECT_EQ(0, DifferingPixels(CaptureWMPrint(icon), CaptureWMPrint(empty)));
  for (TacMainWnd* a : adapters) a->Free();
}

TEST_F(StaticAdapters, NewTextShowsAtOnceAndWrapsWithinTheWindow) {
  HWND wnd = CreateControl(Dialog, "STATIC", "Old", SS_LEFT, 8, 8, 120, 60);
  HWND twin = CreateControl(Dialog, "STATIC", "A new text long enough to wrap", SS_LEFT, 8, 80, 120, 60);
  TacMainWnd* a = MakeAdapter<TacStaticWnd>(wnd, nullptr, Manager, "CHECKBOX", true);
  TacMainWnd* b = MakeAdapter<TacStaticWnd>(twin, nullptr, Manager, "CHECKBOX", true);
  flush_events(20, 500);
  SetWindowTextA(wnd, "A new text long enough to wrap");
  EXPECT_EQ("A new text long enough to wrap", a->Caption);
  flush_events(20, 500);
  const Capture now = CaptureScreen(wnd), expected = CaptureScreen(twin);
  EXPECT_EQ(0, DifferingPixels(now, expected));
  // Two lines of ink: the text wrapped.
  int inkRows = 0;
  for (int y = 0; y < now.Height(); ++y) inkRows += now.CountColor(Ink(), RECT{0, y, now.Width(), y + 1}) > 0;
  EXPECT_GT(inkRows, 14);
  a->Free();
  b->Free();
}

}  // namespace
}  // namespace qvtest
