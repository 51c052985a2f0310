// The skinned frame: the window region cut from the skin's corners for each border style, the
// image's border and title in the active and inactive state as the screen shows them, a caption
// change that renews only the title, the four copies of the non-client paint, regions the system
// refuses, the MDI frame over a maximized child, and the GDI handles over many skin switches.
#include "tests/win/provider/ProviderTestSupport.h"

#include "classlib/Menus.h"

#include <functional>
#include <set>

namespace qvtest {
namespace {

using Frame = ProviderTest;

TEST_F(Frame, RegionTitleAndButtonImagesForEachBorderStyle) {
  struct TRow {
    const char* What;
    TFormBorderStyle Style;
    bool Region;
    const char* CloseImage;  // nullptr: no title
  };
  const TRow rows[] = {
      {"sizeable", bsSizeable, true, "BICONCLOSE"},
      {"single", bsSingle, true, "BICONCLOSE"},
      {"dialog", bsDialog, true, "SICONCLOSE"},
      {"tool window", bsToolWindow, true, "SICONCLOSE"},
      {"sizeable tool window", bsSizeToolWin, true, "SICONCLOSE"},
      {"borderless", bsNone, false, nullptr},
  };
  for (const TRow& r : rows) {
    SCOPED_TRACE(r.What);
    TRecordingForm* form = NewForm(r.Style);
    TsSkinProvider* p = ProviderOf(form);
    const int w = p->FormWidth(), h = p->FormHeight();
    OwnedRegion rgn(CreateRectRgn(0, 0, 0, 0));
    ASSERT_EQ(r.Region, GetWindowRgn(form->Handle(), rgn) != ERROR);
    if (r.Region) {
      // The key runs of the corners (1, 2, 3 and 4 pixels) are cut out, the pixel after each kept.
      const std::pair<POINT, bool> probes[] = {
          {{0, 0}, false},         {{1, 0}, true},         {{w - 2, 0}, false},
          {{w - 3, 0}, true},      {{2, h - 1}, false},    {{3, h - 1}, true},
          {{w - 4, h - 1}, false}, {{w - 5, h - 1}, true}, {{w / 2, h / 2}, true},
      };
      for (const auto& [pt, inside] : probes)
        EXPECT_EQ(inside, PtInRegion(rgn, pt.x, pt.y) != 0) << pt.x << "," << pt.y;
    }
    if (!r.CloseImage) {
      EXPECT_EQ(0, p->CaptionHeight());
      EXPECT_EQ(ColorText(TSkinBuilder::SectionColor(1)), ColorText(CachePixel(p, 1, 1))) << "the form's colour";
      continue;
    }
    const int tool = r.Style == bsToolWindow || r.Style == bsSizeToolWin;
    EXPECT_EQ(GetSystemMetrics(tool ? SM_CYSMCAPTION : SM_CYCAPTION), p->CaptionHeight());
    const POINT c = Centre(p->ButtonClose);
    EXPECT_EQ(ColorText(MaskColor("GLOBALINFO", r.CloseImage, 0)), ColorText(ScreenPixel(form, c.x, c.y)));
  }
}

TEST_F(Frame, BorderAndTitleFollowTheActiveStateOnTheScreen) {
  TRecordingForm* form = NewForm();
  TsSkinProvider* p = ProviderOf(form);
  const int h = p->FormHeight();
  ASSERT_TRUE(pump_until([&] { return p->FormActive; }));
  for (int state : {1, 0}) {
    SCOPED_TRACE(state ? "active" : "inactive");
    if (state == 0) {
      NewForm(bsSizeable, 100, 80)->SetBounds(500, 400, 100, 80);
      ASSERT_TRUE(pump_until([&] { return !p->FormActive; }));
      flush_events();
    }
    const COLORREF border = MaskColor("FORM", "BORDERSMASK", state),
                   title = MaskColor("FORMTITLE", "BORDERSMASK", state);
    EXPECT_EQ(ColorText(border), ColorText(CachePixel(p, 1, h / 2)));
    EXPECT_EQ(ColorText(title), ColorText(CachePixel(p, 3, 3)));
    EXPECT_EQ(ColorText(border), ColorText(ScreenPixel(form, 1, h / 2)));
    EXPECT_EQ(ColorText(title), ColorText(ScreenPixel(form, 3, 3)));
    // Printed, the form shows the same frame.
    EXPECT_EQ(ColorText(border), ColorText(CaptureWMPrint(form->Handle()).Pixel(1, h / 2)));
  }
}

TEST_F(Frame, CaptionChangeRenewsOnlyTheTitle) {
  TSkinBuilder b = TSkinBuilder::Standard();
  b.Key("FORM", "SAVETITLE", "TRUE");
  LoadSkin(b);
  TRecordingForm* form = NewForm();
  TsSkinProvider* p = ProviderOf(form);
  const COLORREF marker = 0x123456;
  TMainMenu* menu = GiveMainMenu(form, {"&File"});
  form->SetCaption("The first change measures the menu line");
  flush_events();
  FillBmpRect(p->SkinData->CacheBmp, TRect{150, 150, 152, 152}, TColor(marker));
  // A place of the menu line right of its items.
  const int lineY = p->CaptionHeight() + p->BorderHeight() + p->MenuHeight() / 2;
  const int lineX = p->FormWidth() - p->BorderWidth() - 20;
  FillBmpRect(p->SkinData->CacheBmp, TRect{lineX, lineY, lineX + 1, lineY + 1}, TColor(marker));
  form->SetCaption("A caption of another length");
  flush_events();
  EXPECT_TRUE(p->TitleOnly);
  EXPECT_EQ(ColorText(marker), ColorText(CachePixel(p, 150, 150))) << "the body kept";
  EXPECT_EQ(ColorText(marker), ColorText(CachePixel(p, lineX, lineY))) << "the menu line kept";
  EXPECT_EQ(ColorText(MaskColor("FORMTITLE", "BORDERSMASK", 1)), ColorText(CachePixel(p, 3, 3)));
  // A changed menu paints its line again.
  auto* more = Create<TMenuItem>(form);
  more->SetCaption("&Edit");
  menu->Items()->Add(more);
  flush_events();
  SendMessageA(form->Handle(), WM_NCPAINT, 1, 0);
  EXPECT_NE(ColorText(marker), ColorText(CachePixel(p, lineX, lineY))) << "the menu line painted again";
  form->SetBounds(60, 60, 330, 250);
  flush_events();
  EXPECT_FALSE(p->TitleOnly);
  EXPECT_NE(ColorText(marker), ColorText(CachePixel(p, 150, 150))) << "a new size paints it all";
}

// What the screen shows once the form's own procedure has stored a new caption, before the
// provider paints.
class TCaptionSpyForm : public TRecordingForm {
 public:
  QV_CLASS_NAME(TCaptionSpyForm)
  using TRecordingForm::TRecordingForm;
  Capture Stored;
  void WndProc(TMessage& Message) override {
    TRecordingForm::WndProc(Message);
    if (Message.Msg == WM_SETTEXT && HandleAllocated() && IsWindowVisible(Handle())) Stored = CaptureScreen(Handle());
  }
};

TEST_F(Frame, CaptionChangeShowsNothingOfTheSystemsCaption) {
  auto* form = Create<TCaptionSpyForm>(Application);
  Forms.push_back(form);
  form->SetBounds(60, 60, 420, 240);
  form->SetCaption("A caption longer than the next one");
  GiveMainMenu(form, {"&File"});
  Create<TsSkinProvider>(form);
  form->Show();
  SetForegroundWindow(form->Handle());
  flush_events();
  TsSkinProvider* p = ProviderOf(form);
  struct TRow {
    const char* Caption;
    bool Active;
  };
  const TRow rows[] = {{"Short", true},
                       {"A caption of another length, longer than the first", true},
                       {"", true},
                       {"Shown while another form is active", false}};
  for (const TRow& r : rows) {
    SCOPED_TRACE(r.Caption);
    if (!r.Active) {
      NewForm(bsSizeable, 100, 80)->SetBounds(600, 400, 100, 80);
      ASSERT_TRUE(pump_until([&] { return !p->FormActive; }));
      flush_events();
    }
    const Capture before = CaptureScreen(form->Handle());
    form->SetCaption(r.Caption);
    const Capture after = CaptureScreen(form->Handle());
    EXPECT_EQ(0, DifferingPixels(before, form->Stored)) << "the screen as it was until the provider painted";
    EXPECT_GT(DifferingPixels(before, after), 0) << "the new caption shows at once";
    p->RepaintFrame();
    flush_events();
    EXPECT_EQ(0, DifferingPixels(after, CaptureScreen(form->Handle()))) << "as the whole frame composed shows it";
  }
}

// The frame keeps the parts that did not change (the title under its caption and buttons, the menu
// line with its items): after each kind of change the screen shows what a frame composed with
// nothing kept shows.
TEST_F(Frame, KeptPartsFollowEveryChange) {
  TSkinBuilder other = TSkinBuilder::Standard();
  other.RemoveMask("GLOBALINFO", "BICONHELP");
  Manager->AddInternalSkin("Other", other.Packed());
  TRecordingForm* form = NewForm(bsSizeable, 420, 260);
  TsSkinProvider* p = ProviderOf(form);
  auto* menu = Create<TMainMenu>(form);
  TMenuItem* items[2] = {Create<TMenuItem>(form), Create<TMenuItem>(form)};
  items[0]->SetCaption("&File");
  items[1]->SetCaption("&Edit");
  for (TMenuItem* i : items) menu->Items()->Add(i);
  form->SetMenu(menu);
  flush_events();
  TIcon* icon = Create<TIcon>();
  icon->SetHandle(CopyIcon(LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_WARNING))));
  TCustomForm* cover = nullptr;
  struct TRow {
    const char* What;
    std::function<void()> Change;
  };
  const TRow rows[] = {
      {"caption", [&] { form->SetCaption("Another caption"); }},
      {"size", [&] { form->SetBounds(60, 60, 470, 300); }},
      {"inactive",
       [&] {
         cover = NewForm(bsSizeable, 100, 80);
         cover->SetBounds(600, 400, 100, 80);
         ASSERT_TRUE(pump_until([&] { return !p->FormActive; }));
       }},
      {"caption while inactive", [&] { form->SetCaption("Inactive"); }},
      {"active",
       [&] {
         SetForegroundWindow(form->Handle());
         ASSERT_TRUE(pump_until([&] { return p->FormActive; }));
       }},
      {"menu item", [&] { items[1]->SetCaption("&Window"); }},
      {"menu item disabled", [&] { items[0]->SetEnabled(false); }},
      {"icon", [&] { form->SetIcon(icon); }},
      {"maximized", [&] { form->SetWindowState(wsMaximized); }},
      {"restored", [&] { form->SetWindowState(wsNormal); }},
      {"skin", [&] { Manager->SetSkinName("Other"); }},
      {"button hot", [&] { MouseTo(At(form, Centre(p->ButtonClose).x, Centre(p->ButtonClose).y)); }},
  };
  for (const TRow& r : rows) {
    SCOPED_TRACE(r.What);
    r.Change();
    flush_events();
    const Capture kept = CaptureScreen(form->Handle());
    p->FreeKeptParts();
    p->RepaintFrame();
    flush_events();
    EXPECT_EQ(0, DifferingPixels(kept, CaptureScreen(form->Handle())));
  }
  EXPECT_EQ(1, p->ButtonClose.State) << "the close button was hot";
  icon->Free();
}

// The title and the menu line look whole at every width: a long caption's ellipsis ends before the
// backdrop behind the title buttons, and the line runs on under its items in every row it takes.
TEST_F(Frame, CaptionAndMenuLineLookWholeAtEveryWidth) {
  TRecordingForm* form = NewForm(bsSizeable, 600, 300);
  TsSkinProvider* p = ProviderOf(form);
  GiveMainMenu(form, {"&File", "&Edit", "&View", "&Insert", "F&ormat", "&Tools", "&Window", "&Help"});
  form->SetCaption("A caption far longer than the title bar of a form this wide could ever show in full");
  const int title = Manager->SectionIndexOf("FORMTITLE");
  const COLORREF ink = Manager->Section(title).HotFontColor.Text(),
                 line = Manager->Section(Manager->SectionIndexOf("MENULINE")).Color,
                 backdrop = MaskColor("FORM", "TITLEBAR", 1);
  for (int width : {600, 300, 200}) {
    SCOPED_TRACE(width);
    form->SetBounds(60, 60, width, 300);
    flush_events();
    ASSERT_TRUE(p->FormActive);
    const Capture shot = CaptureScreen(form->Handle());
    int backdropLeft = shot.Width(), inkRight = -1;
    for (int y = p->BorderHeight(); y < p->BorderHeight() + p->CaptionHeight(); ++y)
      for (int x = 0; x < shot.Width(); ++x) {
        if (shot.Pixel(x, y) == backdrop) backdropLeft = std::min(backdropLeft, x);
        if (shot.Pixel(x, y) == ink) inkRight = std::max(inkRight, x);
      }
    EXPECT_GE(inkRight, 0) << "the caption shows";
    EXPECT_LT(inkRight, backdropLeft) << "the caption ends before the buttons' backdrop";
    const HMENU bar = GetMenu(form->Handle());
    RECT wr{};
    GetWindowRect(form->Handle(), &wr);
    std::set<LONG> rows;
    for (int i = 0; i < GetMenuItemCount(bar); ++i) {
      RECT r{};
      ASSERT_TRUE(GetMenuItemRect(form->Handle(), bar, UINT(i), &r));
      OffsetRect(&r, -wr.left, -wr.top);
      rows.insert(r.top);
      // (Left and right of the item's text, clear of its corners.)
      for (POINT at : {POINT{r.left + 3, r.top + 3}, POINT{r.right - 4, r.bottom - 3}})
        EXPECT_EQ(ColorText(line), ColorText(shot.Pixel(at.x, at.y))) << "item " << i << " lies on the line";
    }
    if (width == 200) EXPECT_GT(rows.size(), 1u) << "the line takes more rows";
  }
}

int WideFrameMetric(int index) {
  if (index == SM_CXFRAME) return 8;
  if (index == SM_CYFRAME) return 2;
  return GetSystemMetrics(index);
}

TEST_F(Frame, NonClientPaintCopiesTheSideStripsAtTheirWidth) {
  TRecordingForm* form = NewForm();
  TsSkinProvider* p = ProviderOf(form);
  SetFrameMetricSource(WideFrameMetric);
  p->SkinData->BGChanged = true;
  const int w = p->FormWidth(), h = p->FormHeight();
  TBitmap* target = CreateBmp24(w, h);
  FillBmpRect(target, TRect{0, 0, w, h}, TColor(0x123456));
  {
    BitmapDC dc(target);
    p->PaintNonClient(dc);
  }
  const Capture out = CaptureBitmap(target->Handle());
  for (int x : {0, 7, w - 8, w - 1})
    EXPECT_EQ(ColorText(CachePixel(p, x, h / 2)), ColorText(out.Pixel(x, h / 2))) << "x " << x;
  EXPECT_EQ(ColorText(0x123456), ColorText(out.Pixel(w / 2, h / 2))) << "the client area untouched";
  target->Free();
}

// Eats the window's last message, so the class library keeps the handle of a window that is gone.
LRESULT CALLBACK KeepHandleProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto old = reinterpret_cast<WNDPROC>(GetPropA(wnd, "QvTestOldProc"));
  if (msg == WM_NCDESTROY) return 0;
  return CallWindowProcA(old, wnd, msg, wParam, lParam);
}

TEST_F(Frame, RegionTheSystemRefusesIsDeleted) {
  TRecordingForm* form = NewForm();
  TsSkinProvider* p = ProviderOf(form);
  const HWND wnd = form->Handle();
  SetPropA(wnd, "QvTestOldProc", reinterpret_cast<HANDLE>(GetWindowLongPtrA(wnd, GWLP_WNDPROC)));
  SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(KeepHandleProc));
  DestroyWindow(wnd);
  ASSERT_FALSE(IsWindow(wnd));
  ASSERT_TRUE(form->HandleAllocated());
  const int before = GdiHandleCount();
  for (int i = 0; i < 20; ++i) p->UpdateFormRegion(false);
  EXPECT_EQ(before, GdiHandleCount());
}

TEST_F(Frame, MDIFrameOverAMaximizedChildIsPaintedAgain) {
  TCustomForm* oldMain = Application->MainForm();
  auto* frame = Create<TForm>(Application);
  Forms.push_back(frame);
  frame->SetFormStyle(fsMDIForm);
  frame->SetBounds(40, 40, 500, 380);
  Application->SetMainForm(frame);
  TsSkinProvider* fp = Create<TsSkinProvider>(frame);
  frame->Show();
  auto* child = Create<TForm>(frame);
  child->SetFormStyle(fsMDIChild);
  child->SetBounds(0, 0, 200, 150);
  Create<TsSkinProvider>(child);
  child->SetWindowState(wsMaximized);
  flush_events();
  ASSERT_TRUE(IsZoomed(child->Handle()));
  fp->RepaintFrame();
  flush_events();
  EXPECT_FALSE(fp->FrameDirty);
  EXPECT_FALSE(fp->SkinData->BGChanged);
  Application->SetMainForm(oldMain);
}

TEST_F(Frame, SkinSwitchesLeaveTheGdiHandlesWhereTheyWere) {
  TSkinBuilder other = TSkinBuilder::Standard();
  other.Key("FORM", "SAVETITLE", "TRUE");
  Manager->AddInternalSkin("Other", other.Packed());
  TRecordingForm* form = NewForm();
  GiveMainMenu(form, {"&File"});
  ProviderOf(form)->TitleButtons->Add();
  for (const char* s : {"Other", "Test"}) Manager->SetSkinName(s);
  flush_events();
  const int before = GdiHandleCount();
  for (int i = 0; i < 500; ++i) {
    Manager->SetSkinName(i % 2 ? "Test" : "Other");
    if (i % 50 == 0) flush_events(10, 200);
  }
  flush_events();
  EXPECT_EQ("Test", Manager->SkinName());
  EXPECT_EQ(before, GdiHandleCount());
}

}  // namespace
}  // namespace qvtest
