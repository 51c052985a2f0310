// Scrolling adapters on real controls: a memo and a list box with skinned bars, the edit adapter's
// WM_PRINT, the dialog look and an MDI client with a maximized child.
#include "tests/support/AdapterTestSupport.h"

#include "classlib/ExtCtrlsPanels.h"
#include "classlib/Forms.h"
#include "classlib/StdCtrls.h"
#include "skin/controls/sButton.h"
#include "skin/engine/sQuorvexGraph.h"
#include "tests/support/PixelProbe.h"
#include "tests/support/core/SkinBuilder.h"

namespace qvtest {
namespace {

class ScrollAdapters : public AdapterTest {
 protected:
  void TearDown() override {
    FreeAndNil(MemoAdapter);
    FreeAndNil(ListAdapter);
    delete MemoData;
    MemoData = nullptr;
    AdapterTest::TearDown();
  }
  // A memo of the class library and a bare list box, both long enough to scroll.
  void BuildMemoAndList(TWinControl* parent) {
    Memo = Create<TMemo>(parent);
    Memo->SetParent(parent);
    Memo->SetBounds(8, 8, 220, 120);
    Memo->SetScrollBars(ssBoth);
    Memo->SetWordWrap(false);
    std::string text;
    for (int i = 1; i <= 40; ++i)
      text += "Line " + std::to_string(i) + " of a memo with lines wider than the window\r\n";
    Memo->SetText(text);
    MemoData = new TsCommonData(Memo, false);
    MemoData->SetSkinSection("EDIT");
    MemoAdapter = Create<TacEditWnd>(Memo->Handle(), MemoData, nullptr, "EDIT", true);
    List = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT,
                           236, 8, 160, 120, parent->Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    for (int i = 1; i <= 40; ++i) SendMessageA(List, LB_ADDSTRING, 0, LPARAM(("Item " + std::to_string(i)).c_str()));
    ListAdapter = Create<TacEditWnd>(List, nullptr, nullptr, "EDIT", true);
    flush_events(80, 2000);
  }
  TMemo* Memo = nullptr;
  HWND List = nullptr;
  TsCommonData* MemoData = nullptr;
  TacEditWnd* MemoAdapter = nullptr;
  TacEditWnd* ListAdapter = nullptr;
};

TEST_F(ScrollAdapters, MemoAndListShowSkinnedBars) {
  TTestHost host(420, 160);
  BuildMemoAndList(host.Control());
  const COLORREF slider = TSkinBuilder::FrameColor(Builder.MaskOrdinal("SCROLLSLIDERV", "BORDERSMASK"), 0);
  int found = 0;
  for (HWND child = GetWindow(host.Control()->Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    auto* a = dynamic_cast<TacEditWnd*>(GetWndAdapter(child));
    ASSERT_NE(nullptr, a);
    ++found;
    const Capture screen = CaptureScreen(child);
    EXPECT_GT(screen.CountColor(slider), 0) << found;
  }
  EXPECT_EQ(2, found);
}

TEST_F(ScrollAdapters, PrintPaintsFrameBarsThenTheClippedClient) {
  HWND top = Track(CreatePlainWindow(nullptr, 0, 30, 30, 400, 300));
  HWND wnd = Track(CreatePlainWindow(top, WS_BORDER | WS_VSCROLL, 20, 20, 180, 120));
  auto* a = Create<TacEditWnd>(wnd, nullptr, Manager, "EDIT", true);
  flush_events(40, 1000);
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 180, 120);
  HGDIOBJ old = SelectObject(mem, bmp);
  struct TSeen {
    UINT Msg;
    WPARAM WParam;
    RECT Clip;
  };
  std::vector<TSeen> seen;
  PlainLog.OnMessage = [&](HWND w, UINT msg, WPARAM wp, LPARAM) {
    if (w != wnd || (msg != WM_ERASEBKGND && msg != WM_PAINT && msg != WM_PRINTCLIENT)) return;
    RECT clip{};
    GetClipBox(HDC(wp), &clip);
    seen.push_back(TSeen{msg, wp, clip});
  };
  SendMessageA(wnd, WM_PRINT, WPARAM(mem), PRF_CLIENT | PRF_NONCLIENT);
  PlainLog.OnMessage = nullptr;
  ASSERT_EQ(3u, seen.size());
  EXPECT_EQ(UINT(WM_ERASEBKGND), seen[0].Msg);
  EXPECT_EQ(UINT(WM_PAINT), seen[1].Msg);
  EXPECT_EQ(UINT(WM_PRINTCLIENT), seen[2].Msg);
  RECT cr{};
  GetClientRect(wnd, &cr);
  for (const auto& s : seen) {
    EXPECT_EQ(WPARAM(mem), s.WParam);
    EXPECT_EQ(0, s.Clip.left);
    EXPECT_EQ(0, s.Clip.top);
    EXPECT_EQ(cr.right, s.Clip.right);
    EXPECT_EQ(cr.bottom, s.Clip.bottom);
  }
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  a->Free();
}

TEST_F(ScrollAdapters, DialogModeFramesInTheGlobalColourWithoutCornerFilling) {
  HWND top = Track(CreatePlainWindow(nullptr, 0, 30, 30, 400, 300));
  HWND wnd = Track(CreatePlainWindow(top, WS_BORDER, 20, 20, 180, 120));
  auto* a = Create<TacEditWnd>(wnd, nullptr, Manager, "EDIT", true);
  flush_events(40, 1000);
  const COLORREF frame = TSkinBuilder::FrameColor(Builder.MaskOrdinal("EDIT", "BORDERSMASK"), 0);
  Capture normal = CaptureWMPrint(wnd);
  EXPECT_EQ(frame, normal.Pixel(1, 0));
  // The key pixel of the top-left corner took the colour behind the window: the background of the
  // parent's window class, as the parent answers no skin command.
  EXPECT_EQ(COLORREF(GetSysColor(COLOR_WINDOW)), normal.Pixel(0, 0));
  a->DialogMode = true;
  a->SkinData->BGChanged = true;
  Capture dialog = CaptureWMPrint(wnd);
  EXPECT_EQ(COLORREF(ColorToRGB(Manager->GetGlobalColor())), dialog.Pixel(1, 0));
  EXPECT_EQ(COLORREF(ColorToRGB(Manager->GetGlobalColor())), dialog.Pixel(0, 0));
  a->Free();
}

TEST_F(ScrollAdapters, DisabledWindowIsDimmedAsItsControlSays) {
  TTestHost host(300, 160);
  // A control that publishes DisabledKind, and one that has none.
  auto* button = Create<TsButton>(host.Control());
  button->SetParent(host.Control());
  button->SetBounds(10, 10, 120, 60);
  auto* plain = Create<TWinControl>(host.Control());
  plain->SetParent(host.Control());
  plain->SetBounds(150, 10, 120, 60);
  const COLORREF frame = TSkinBuilder::FrameColor(Builder.MaskOrdinal("EDIT", "BORDERSMASK"), 0);
  auto centre = [&](TWinControl* c, bool enabled) {
    c->SetEnabled(enabled);
    TsCommonData sd(c, true);
    sd.SetSkinSection("EDIT");
    sd.BGChanged = true;
    PrepareWindowCache(&sd, c->Handle(), false);
    return CaptureBitmap(sd.CacheBmp->Handle()).Pixel(60, 30);
  };
  EXPECT_EQ(frame, centre(button, true));
  button->SetDisabledKind(TsDisabledKind{dkGrayed});
  const COLORREF grayed = centre(button, false);
  EXPECT_EQ(GetRValue(grayed), GetGValue(grayed));
  EXPECT_EQ(GetGValue(grayed), GetBValue(grayed));
  button->SetDisabledKind(TsDisabledKind{});
  EXPECT_EQ(frame, centre(button, false));  // an empty kind leaves the look as it is
  // Without the property: blended with what lies behind.
  const COLORREF blended = centre(plain, false);
  EXPECT_NE(frame, blended);
  EXPECT_FALSE(GetRValue(blended) == GetGValue(blended) && GetGValue(blended) == GetBValue(blended));
  button->Free();
  plain->Free();
}

TEST_F(ScrollAdapters, ContainerClassKeepsItsTransparency) {
  TTestHost host(300, 160);
  auto* memo = Create<TMemo>(host.Control());
  memo->SetParent(host.Control());
  memo->SetBounds(5, 5, 120, 80);
  auto* panel = Create<TPanel>(host.Control());
  panel->SetParent(host.Control());
  panel->SetBounds(150, 5, 120, 80);
  // The class library names the panel class as its container class.
  IsContainerClass = [](const TControl* c) { return dynamic_cast<const TPanel*>(c) != nullptr; };
  for (TWinControl* c : {static_cast<TWinControl*>(memo), static_cast<TWinControl*>(panel)}) {
    SCOPED_TRACE(c->ClassName());
    TControlStyle cs = c->ControlStyle();
    cs.Exclude(csOpaque);
    c->SetControlStyle(cs);
    TsCommonData sd(c, false);
    sd.SetSkinSection("EDIT");
    auto* a = Create<TacEditWnd>(c->Handle(), &sd, nullptr, "EDIT", true);
    EXPECT_EQ(c == memo, c->ControlStyle().Contains(csOpaque));
    a->Free();
  }
  IsContainerClass = nullptr;
  panel->Free();
  memo->Free();
}

TEST_F(ScrollAdapters, BorderCornersShowTheParentsImage) {
  HWND top = Track(CreatePlainWindow(nullptr, 0, 30, 30, 400, 300));
  HWND parent = Track(CreatePlainWindow(top, 0, 10, 10, 300, 200));
  auto* parentAdapter = Create<TacMainWnd>(parent, nullptr, Manager, "PANEL");
  parentAdapter->SkinData->BGChanged = true;
  SendSkinCommand(parent, QC_PREPAREFADE);  // the parent's image
  ASSERT_NE(nullptr, parentAdapter->SkinData->CacheBmp);
  HWND wnd = Track(CreatePlainWindow(parent, WS_BORDER, 40, 40, 180, 120));
  auto* a = Create<TacEditWnd>(wnd, nullptr, Manager, "EDIT", true);
  flush_events(40, 1000);
  const Capture cap = CaptureWMPrint(wnd);
  const COLORREF panel = TSkinBuilder::FrameColor(Builder.MaskOrdinal("PANEL", "BORDERSMASK"), 0);
  const COLORREF frame = TSkinBuilder::FrameColor(Builder.MaskOrdinal("EDIT", "BORDERSMASK"), 0);
  // The key runs of the corners (1 pixel top-left, 2 top-right, 3 bottom-left) show the parent's
  // image; the pixels next to them the frame. (The bottom-right run is longer than the corner.)
  EXPECT_EQ(panel, cap.Pixel(0, 0));
  EXPECT_EQ(frame, cap.Pixel(1, 0));
  EXPECT_EQ(panel, cap.Pixel(178, 0));
  EXPECT_EQ(frame, cap.Pixel(177, 0));
  EXPECT_EQ(panel, cap.Pixel(2, 119));
  EXPECT_EQ(frame, cap.Pixel(3, 119));
  EXPECT_EQ(panel, cap.Pixel(179, 119));
  a->Free();
  parentAdapter->Free();
}

LRESULT CALLBACK MdiChildProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefMDIChildProcA(w, m, wp, lp); }

TEST_F(ScrollAdapters, MdiClientWithAMaximizedChildPaintsNoFrame) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = MdiChildProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hbrBackground = HBRUSH(COLOR_WINDOW + 1);
  wc.lpszClassName = "QvAdpMdiChild";
  RegisterClassA(&wc);
  HWND top = Track(CreatePlainWindow(nullptr, 0, 30, 30, 400, 300));
  CLIENTCREATESTRUCT ccs{nullptr, 1000};
  HWND client = Track(CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                                      WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL, 0, 0, 380, 250,
                                      top, nullptr, GetModuleHandleA(nullptr), &ccs));
  auto* formData = new TsCommonData(nullptr, true);
  formData->SetSkinSection("FORM");
  auto* a = Create<TacMDIWnd>(client, nullptr, Manager, "EDIT", true);
  a->FormSkinData = formData;
  MDICREATESTRUCTA mcs{"QvAdpMdiChild", "Child", GetModuleHandleA(nullptr), 10, 10, 120, 90, WS_VISIBLE, 0};
  HWND child = HWND(SendMessageA(client, WM_MDICREATE, 0, LPARAM(&mcs)));
  ASSERT_NE(nullptr, child);
  flush_events(40, 1000);
  EXPECT_EQ(0, SendMessageA(client, WM_NCPAINT, 1, 0));
  SendMessageA(client, WM_MDIMAXIMIZE, WPARAM(child), 0);
  flush_events(40, 1000);
  EXPECT_EQ(1, SendMessageA(client, WM_NCPAINT, 1, 0));
  a->Free();
  delete formData;
}

}  // namespace
}  // namespace qvtest
