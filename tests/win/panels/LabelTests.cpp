// The skinned labels: the skin's text colours given and taken back, the section under the text,
// the dimmed text of a disabled label, the web label's hover font and the addresses it hands to
// the shell, and the bound label's caption made through the engine's seam.
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "skin/controls/sLabel.h"
#include "skin/engine/sStyleSimply.h"
#include "tests/support/ControlsFixture.h"

using namespace qvtest;

namespace {

struct TShellCall {
  HWND Wnd;
  std::string Verb, File;
  INT Show;
};
std::vector<TShellCall> ShellCalls;

HINSTANCE WINAPI RecordShellCall(HWND wnd, LPCSTR verb, LPCSTR file, LPCSTR, LPCSTR, INT show) {
  ShellCalls.push_back({wnd, verb ? verb : "", file ? file : "", show});
  return reinterpret_cast<HINSTANCE>(33);
}

// A label that counts how often it measures its text (lays it out) and draws it.
template <class Base>
class TCountingLabel : public Base {
 public:
  using Base::Base;
  int Measured = 0, Drawn = 0;

 protected:
  void DoDrawText(TRect& Rect, UINT Flags) override {
    ++((Flags & DT_CALCRECT) ? Measured : Drawn);
    Base::DoDrawText(Rect, Flags);
  }
};

class Label : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    ShellCalls.clear();
    WebLabelShellExecute = &RecordShellCall;
    Form->Font()->SetHeight(-16);
  }
  void TearDown() override {
    WebLabelShellExecute = &ShellExecuteA;
    ControlsTest::TearDown();
  }
  template <class T>
  T* Make(const char* caption, int x = 20, int y = 20) {
    auto* l = Create<T>(Form);
    l->SetParent(Form);
    l->SetLeft(x);
    l->SetTop(y);
    l->SetCaption(caption);
    flush_events();
    return l;
  }
  // Pixels of a colour the screen shows inside the label.
  static int Shown(TControl* l, COLORREF c) {
    const POINT p = ScreenPoint(l, 0, 0);
    return CaptureScreenRect(RECT{p.x, p.y, p.x + l->Width(), p.y + l->Height()}).CountColor(c);
  }
  void RepaintForm() {
    RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    flush_events();
  }
};

}  // namespace

// The skin's colour is shown while the skin is, and the program's colour (its own or its
// parent's font) comes back when it goes; a colour the program sets meanwhile is the one kept.
TEST_F(Label, TextColourFollowsTheSkinAndComesBack) {
  const TColor own = TColor(0x000080), later = TColor(0x206020);
  auto* useSkin = Make<TsLabel>("Skinned");
  useSkin->Font()->SetColor(own);
  auto* keepOwn = Make<TsLabel>("Own colour", 20, 60);
  keepOwn->Font()->SetColor(own);
  keepOwn->SetUseSkinColor(false);
  auto* fromParent = Make<TsLabel>("Parent font", 20, 100);
  Form->Font()->SetColor(TColor(0x804000));
  ASSERT_TRUE(fromParent->ParentFont());
  const TColor parentColor = fromParent->Font()->Color();
  struct Row {
    TsLabel* L;
    TColor Plain;
    bool FollowsSkin;
  } rows[] = {{useSkin, own, true}, {keepOwn, own, false}, {fromParent, parentColor, true}};

  LoadStandardSkin();
  const TColor skin = Manager->GetGlobalFontColor();
  ASSERT_NE(clParentColorUnset, skin);
  for (int round = 0; round < 2; ++round) {
    RepaintForm();
    for (const Row& r : rows) {
      const TColor want = r.FollowsSkin ? skin : r.Plain;
      EXPECT_EQ(want, r.L->Font()->Color()) << r.L->Caption() << " round " << round;
      EXPECT_GT(Shown(r.L, want), 5) << r.L->Caption() << " round " << round;
    }
    Manager->SetActive(false);
    RepaintForm();
    for (const Row& r : rows) {
      EXPECT_EQ(r.Plain, r.L->Font()->Color()) << r.L->Caption() << " after removal, round " << round;
      EXPECT_GT(Shown(r.L, r.Plain), 5) << r.L->Caption();
    }
    EXPECT_TRUE(fromParent->ParentFont()) << "the label still follows its parent's font";
    Manager->SetActive(true);
  }
  RepaintForm();
  useSkin->Font()->SetColor(later);
  RepaintForm();
  EXPECT_EQ(skin, useSkin->Font()->Color()) << "the skin's colour shows while the skin is there";
  Manager->SetActive(false);
  EXPECT_EQ(later, useSkin->Font()->Color()) << "the colour set meanwhile is the program's";
}

// A section under the text (its border mask, centre filled) is painted from the skin only for a
// section the skin has past the first one; its font colour is the text's.
TEST_F(Label, SectionUnderTheText) {
  LoadStandardSkin();
  const int panel = Manager->SectionIndexOf("PANEL");
  ASSERT_GT(panel, 0);
  ASSERT_EQ(0, Manager->SectionIndexOf("GLOBALINFO"));
  const COLORREF formColor = ColorToRGB(Form->Color());
  struct Row {
    const char* Section;
    COLORREF Behind;
  } rows[] = {{"PANEL", Frame("PANEL", 0)}, {"GLOBALINFO", formColor}, {"NOSUCH", formColor}};
  int y = 20;
  for (const Row& r : rows) {
    auto* l = Make<TsLabel>("Ab", 20, y);
    l->SetAutoSize(false);
    l->SetBounds(20, y, 120, 30);
    l->SetSkinSection(r.Section);
    flush_events();
    EXPECT_EQ(ColorText(r.Behind), ColorText(ScreenPixel(l, 100, 15))) << r.Section;
    y += 40;
    if (std::string(r.Section) == "PANEL") {
      EXPECT_EQ(TColor(Manager->Section(panel).FontColor.Text() & 0xFFFFFF), l->Font()->Color());
    }
  }
}

// A disabled label under a skin mixes its text 40 % into the colour behind it.
TEST_F(Label, DisabledTextIsMixedIntoTheBackground) {
  LoadStandardSkin();
  auto* l = Make<TsLabel>("Disabled text");
  l->SetEnabled(false);
  RepaintForm();
  const TColor mixed = MixColors(Manager->GetGlobalFontColor(), TColor(ColorToRGB(Form->Color())), 0.4);
  EXPECT_GT(Shown(l, mixed), 5);
  EXPECT_EQ(0, Shown(l, Manager->GetGlobalFontColor()));
}

// A press with the real mouse opens the address once; an empty address or anything but a web or
// mail address never reaches the shell.
TEST_F(Label, WebLabelOpensOnlyWebAddresses) {
  auto* l = Make<TsWebLabel>("Visit us");
  l->SetShowMode(soNormal);
  MouseTo(l, 3, l->Height() / 2);
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  MouseButton(MOUSEEVENTF_LEFTUP);
  EXPECT_TRUE(ShellCalls.empty()) << "no address: nothing opened";

  l->SetURL("https://example.org/page?a=1");
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  MouseButton(MOUSEEVENTF_LEFTUP);
  ASSERT_EQ(1u, ShellCalls.size());
  EXPECT_EQ(Application->Handle(), ShellCalls[0].Wnd);
  EXPECT_EQ("open", ShellCalls[0].Verb);
  EXPECT_EQ(l->URL(), ShellCalls[0].File);
  EXPECT_EQ(SW_SHOWNORMAL, ShellCalls[0].Show);

  const struct {
    const char* Address;
    bool Opens;
  } table[] = {
      {"http://example.org", true},
      {"HTTPS://EXAMPLE.ORG", true},
      {"ftp://files.example.org/a.zip", true},
      {"mailto:someone@example.org", true},
      {"mailto:", false},
      {"http://", false},
      {"http:///etc/passwd", false},
      {"file:///C:/windows/system32/calc.exe", false},
      {"C:\\windows\\system32\\cmd.exe", false},
      {"cmd.exe /c del *.*", false},
      {"javascript:alert(1)", false},
      {"http://example.org\" --new-window \"x", false},
      {"http://example.org /c calc", false},
      {"http://example.org\tx", false},
      {" http://example.org", false},
      {"www.example.org", false},
  };
  for (const auto& row : table) {
    ShellCalls.clear();
    l->SetURL(row.Address);
    EXPECT_EQ(row.Opens, l->OpenURL()) << row.Address;
    EXPECT_EQ(row.Opens ? 1u : 0u, ShellCalls.size()) << row.Address;
  }
}

// The hover font shows while the real mouse is over the web label; the label is sized to it.
TEST_F(Label, WebLabelShowsItsHoverFont) {
  auto* l = Make<TsWebLabel>("Hover here");
  const TColor normal = TColor(0x800000), hover = TColor(0x0000C0);
  l->Font()->SetColor(normal);
  l->HoverFont()->Assign(l->Font());
  l->HoverFont()->SetColor(hover);
  l->HoverFont()->SetHeight(-24);
  const int plainHeight = l->Height();
  MouseAway();
  MouseTo(l, 3, 3);
  EXPECT_TRUE(l->Hovered());
  EXPECT_GT(l->Height(), plainHeight) << "sized to the hover font";
  EXPECT_GT(Shown(l, hover), 5);
  MouseTo(Form, Form->ClientWidth() - 10, Form->ClientHeight() - 10);
  EXPECT_FALSE(l->Hovered());
  EXPECT_EQ(plainHeight, l->Height());
  EXPECT_GT(Shown(l, normal), 5);
  EXPECT_EQ(0, Shown(l, hover));
}

// A skinned edit's bound label shows a TsEditLabel; either side may go first.
TEST_F(Label, BoundLabelShowsAnEditLabel) {
  auto* edit = Create<TTestSkinControl>(Form, tcEdit);
  edit->SetParent(Form);
  edit->SetBounds(120, 40, 100, 22);
  {
    TsBoundLabel bound(edit->SkinData);
    bound.SetCaption("Name");
    bound.SetActive(true);
    auto* label = dynamic_cast<TsEditLabel*>(bound.TheLabel());
    ASSERT_NE(nullptr, label);
    EXPECT_EQ(&bound, label->BoundLabel());
    EXPECT_EQ("Name", label->Caption());
    EXPECT_EQ(Form, label->Parent());
    label->Free();
    EXPECT_EQ(nullptr, bound.TheLabel());
    bound.SetActive(false);
    bound.SetActive(true);
    ASSERT_NE(nullptr, bound.TheLabel());
  }  // the bound label frees its label
  EXPECT_EQ(0, edit->ComponentCount());
}

// The last glyph of an autosized label shows whole, whatever the alignment, for a glyph whose ink
// reaches past its advance (an italic letter) and for a long line whose glyphs the rasterizer
// places past the sum of their advances.
TEST_F(Label, LastGlyphShowsWhole) {
  // The rightmost column of ink of the text drawn from x = 0 in the font.
  const auto inkRight = [](HFONT font, const char* text) {
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 400, 40);
    HGDIOBJ oldBmp = SelectObject(mem, bmp), oldFont = SelectObject(mem, font);
    PatBlt(mem, 0, 0, 400, 40, WHITENESS);
    SetBkMode(mem, TRANSPARENT);
    RECT r{0, 0, 400, 40};
    DrawTextA(mem, text, -1, &r, DT_LEFT | DT_NOCLIP);
    SelectObject(mem, oldFont);
    SelectObject(mem, oldBmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    const Capture c = CaptureBitmap(bmp);
    DeleteObject(bmp);
    int right = -1;
    for (int y = 0; y < c.Height(); ++y)
      for (int x = 0; x < c.Width(); ++x)
        if (c.Pixel(x, y) != RGB(255, 255, 255)) right = std::max(right, x);
    return right;
  };
  const struct {
    const char* Text;
    int Height;
    bool Italic;
  } texts[] = {{"A web label: example.org", -11, false}, {"Self", -16, true}};
  int y = 10;
  for (const auto& t : texts)
    for (TAlignment a : {taLeftJustify, taCenter, taRightJustify}) {
      auto* l = Make<TsWebLabel>(t.Text, 20, y);
      l->Font()->SetHeight(t.Height);
      if (t.Italic) l->Font()->SetStyle(TFontStyles{fsItalic});
      l->SetAlignment(a);
      flush_events();
      y += 30;
      const int expected = inkRight(l->Font()->Handle(), t.Text);
      const POINT p = ScreenPoint(l, 0, 0);
      const Capture shown = CaptureScreenRect(RECT{p.x, p.y, p.x + l->Width() + 10, p.y + l->Height()});
      const COLORREF back = shown.Pixel(shown.Width() - 1, 0);
      int right = -1;
      for (int yy = 0; yy < shown.Height(); ++yy)
        for (int x = 0; x < shown.Width(); ++x)
          if (shown.Pixel(x, yy) != back) right = std::max(right, x);
      EXPECT_EQ(expected, right) << t.Text << ", alignment " << int(a) << ", width " << l->Width();
      EXPECT_LT(right, l->Width()) << t.Text << ", alignment " << int(a);
    }
}

// A label lays its text out again only when its text or its font (its colour aside) change: a colour of the program's
// or of the skin's coming and going only repaints it, however long its text, for the skinned label and for the class
// library's alike.
TEST_F(Label, LaysOutAgainOnlyForTextFontOrWidth) {
  std::string text;
  for (int i = 0; text.size() < 20000; ++i) text += "Word " + std::to_string(i) + (i % 12 == 11 ? "\n" : " ");
  auto* skinned = Make<TCountingLabel<TsLabel>>(text.c_str(), 10, 10);
  auto* plain = Make<TCountingLabel<TLabel>>(text.c_str(), 10, 130);
  auto* wrapped = Make<TCountingLabel<TsLabel>>(text.c_str(), 180, 10);
  wrapped->SetWidth(150);
  wrapped->SetWordWrap(true);
  struct Watched {
    const char* Name;
    TCustomLabel* L;
    int* Measured;
    int* Drawn;
  } const labels[] = {{"skinned", skinned, &skinned->Measured, &skinned->Drawn},
                      {"plain", plain, &plain->Measured, &plain->Drawn},
                      {"wrapped", wrapped, &wrapped->Measured, &wrapped->Drawn}};
  const auto forEach = [&](const std::function<void(TCustomLabel*)>& f) {
    for (const Watched& w : labels) f(w.L);
  };
  LoadStandardSkin();
  RepaintForm();
  const struct {
    const char* Step;
    std::function<void()> Change;
    bool LaidOut;
  } steps[] = {
      {"colour of the program", [&] { forEach([](TCustomLabel* l) { l->Font()->SetColor(TColor(0x305070)); }); },
       false},
      {"skin removed", [&] { Manager->SetActive(false); }, false},
      {"skin back", [&] { Manager->SetActive(true); }, false},
      {"text", [&] { forEach([&](TCustomLabel* l) { l->SetCaption(text + "\nOne more line"); }); }, true},
      {"font size", [&] { forEach([](TCustomLabel* l) { l->Font()->SetSize(14); }); }, true},
      {"font style", [&] { forEach([](TCustomLabel* l) { l->Font()->SetStyle(TFontStyles{fsBold}); }); }, true},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.Step);
    std::vector<int> areas;
    for (const Watched& w : labels) {
      areas.push_back(w.L->Width() * w.L->Height());
      *w.Measured = *w.Drawn = 0;
    }
    step.Change();
    RepaintForm();
    for (std::size_t i = 0; i < std::size(labels); ++i) {
      const Watched& w = labels[i];
      EXPECT_EQ(step.LaidOut, *w.Measured > 0) << w.Name << " measured its text " << *w.Measured << " times";
      EXPECT_GT(*w.Drawn, 0) << w.Name << " is shown again";
      // What a layout gives: a longer text, a larger or bolder font takes more room.
      if (step.LaidOut)
        EXPECT_GT(w.L->Width() * w.L->Height(), areas[i]) << w.Name;
      else
        EXPECT_EQ(areas[i], w.L->Width() * w.L->Height()) << w.Name;
    }
  }
}
