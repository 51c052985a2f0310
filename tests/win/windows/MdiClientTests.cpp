// The MDI client of a class-library MDI form with its adapter: background, frame, arranging and the
// scroll bars that move the child windows.
#include "tests/support/AdapterTestSupport.h"

#include "classlib/Forms.h"
#include "skin/engine/sQuorvexGraph.h"
#include "tests/support/PixelProbe.h"

namespace qvtest {
namespace {

// The MDI client of a class-library MDI form, skinned without a form provider: the provider's
// work is left out, everything else works.
class MdiClient : public AdapterTest {
 protected:
  void SetUp() override {
    AdapterTest::SetUp();
    OldMain = Application->MainForm();
    Frame = Create<TForm>(Application);
    Frame->SetTag(-98);  // no provider from the dialog hook
    Frame->SetFormStyle(fsMDIForm);
    Frame->SetBounds(20, 20, 500, 360);
    Application->SetMainForm(Frame);
    Frame->Show();
    flush_events(40, 1500);
    FormData = new TsCommonData(nullptr, true);
    FormData->SetSkinSection("FORM");
    RECT wr{};
    GetWindowRect(Frame->Handle(), &wr);
    FormData->CacheBmp->SetSize(wr.right - wr.left, wr.bottom - wr.top);
    FillBmpRect(FormData->CacheBmp, Rect(0, 0, wr.right - wr.left, wr.bottom - wr.top), TColor(FormColor));
    Client = Frame->ClientHandle();
    Adapter = Create<TacMDIWnd>(Client, nullptr, Manager, "EDIT", true);
    Adapter->Form = Frame;
    Adapter->FormSkinData = FormData;
    ASSERT_EQ(nullptr, Adapter->Provider);
    flush_events(40, 1500);
  }
  void TearDown() override {
    FreeAndNil(Adapter);
    delete FormData;
    FreeAndNil(Frame);
    Application->SetMainForm(OldMain);
    Application->ResetTerminated();
    AdapterTest::TearDown();
  }
  TForm* NewChild(int x, int y) {
    auto* c = Create<TForm>(Frame);
    c->SetTag(-98);
    c->SetBounds(x, y, 160, 120);
    c->SetFormStyle(fsMDIChild);
    flush_events(40, 1500);
    return c;
  }
  static constexpr COLORREF FormColor = RGB(30, 120, 200);
  TCustomForm* OldMain = nullptr;
  TForm* Frame = nullptr;
  TsCommonData* FormData = nullptr;
  HWND Client = nullptr;
  TacMDIWnd* Adapter = nullptr;
};

TEST_F(MdiClient, BackgroundComesFromTheFormsImage) {
  RedrawWindow(Client, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  flush_events(40, 1500);
  RECT cr{};
  GetClientRect(Client, &cr);
  POINT mid{cr.right / 2, cr.bottom / 2};
  ClientToScreen(Client, &mid);
  const RECT one{mid.x, mid.y, mid.x + 1, mid.y + 1};
  EXPECT_EQ(FormColor, CaptureScreenRect(one).Pixel(0, 0));
  // Printed the same way.
  RECT wr{};
  GetWindowRect(Client, &wr);
  const Capture print = CaptureWMPrint(Client);
  EXPECT_EQ(FormColor, print.Pixel(mid.x - wr.left, mid.y - wr.top));
}

TEST_F(MdiClient, ArrangingRedrawingAndMenuRefreshWithoutAProvider) {
  TForm* a = NewChild(10, 10);
  TForm* b = NewChild(40, 40);
  FormData->BGChanged = false;
  SendMessageA(Client, WM_MDITILE, MDITILE_VERTICAL, 0);
  EXPECT_TRUE(FormData->BGChanged);
  FormData->BGChanged = false;
  SendMessageA(Client, WM_MDICASCADE, 0, 0);
  EXPECT_TRUE(FormData->BGChanged);
  SendMessageA(Client, WM_MDIREFRESHMENU, 0, 0);
  flush_events(40, 1500);
  // The commands around a scroll message leave the client visible (hidden, it would not move its
  // children).
  SendSkinCommand(Client, QC_LOCKREDRAW);
  EXPECT_TRUE(GetWindowLongPtrA(Client, GWL_STYLE) & WS_VISIBLE);
  SendSkinCommand(Client, QC_UNLOCKREDRAW, MAKELONG(SB_LINEDOWN, WM_VSCROLL));
  EXPECT_TRUE(GetWindowLongPtrA(Client, GWL_STYLE) & WS_VISIBLE);
  // A child moved out of sight gives the client a bar; the adapter's bar follows the style.
  SetWindowPos(b->Handle(), nullptr, 600, 500, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  flush_events(40, 1500);
  SendMessageA(Client, WM_PARENTNOTIFY, WM_CREATE, 0);
  const LONG_PTR style = GetWindowLongPtrA(Client, GWL_STYLE);
  EXPECT_EQ((style & WS_VSCROLL) != 0, Adapter->VertBar->ScrollVisible);
  EXPECT_EQ((style & WS_HSCROLL) != 0, Adapter->HorzBar->ScrollVisible);
  // QC_GETCACHE goes to the form, which has no provider to answer it: the record stays empty.
  SharedCacheInfo = BuildCacheInfo(FormData->CacheBmp, 1, 1);
  SharedCacheInfo.Ready = false;
  SendSkinCommand(Client, QC_GETCACHE);
  EXPECT_FALSE(SharedCacheInfo.Ready);
  a->Free();
  b->Free();
  flush_events(40, 1500);
}

TEST_F(MdiClient, MaximizedChildLeavesFrameAndBackgroundAlone) {
  TForm* a = NewChild(10, 10);
  SendMessageA(Client, WM_MDIMAXIMIZE, WPARAM(a->Handle()), 0);
  flush_events(40, 1500);
  EXPECT_EQ(1, SendMessageA(Client, WM_NCPAINT, 1, 0));
  // Without a container class nothing is painted under the form's controls.
  HDC dc = GetDC(Client);
  EXPECT_EQ(1, SendMessageA(Client, WM_ERASEBKGND, WPARAM(dc), 0));
  ReleaseDC(Client, dc);
  a->Free();
  flush_events(40, 1500);
}

LRESULT CALLBACK PlainMdiChildProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefMDIChildProcA(w, m, wp, lp); }

TEST_F(MdiClient, SkinnedArrowsAndThumbMoveTheChildren) {
  // Two plain MDI children, one below the client's bottom: the client gets its vertical bar.
  WNDCLASSA wc{};
  wc.lpfnWndProc = PlainMdiChildProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hbrBackground = HBRUSH(COLOR_WINDOW + 1);
  wc.lpszClassName = "QvPlainMdiChild";
  RegisterClassA(&wc);
  auto child = [&](int x, int y) {
    MDICREATESTRUCTA mcs{"QvPlainMdiChild", "Child", GetModuleHandleA(nullptr), x, y, 160, 120, WS_VISIBLE, 0};
    return HWND(SendMessageA(Client, WM_MDICREATE, 0, LPARAM(&mcs)));
  };
  // Wine's client drops its scroll styles when it is made without children, and then never shows
  // its bars: they are given back.
  ShowScrollBar(Client, SB_BOTH, TRUE);
  HWND a = child(10, 10), b = child(60, 40);
  SetWindowPos(b, nullptr, 60, 400, 160, 121, SWP_NOZORDER | SWP_NOACTIVATE);
  flush_events(40, 1500);
  ASSERT_TRUE(GetWindowLongPtrA(Client, GWL_STYLE) & WS_VSCROLL);
  ASSERT_TRUE(Adapter->VertBar->ScrollVisible);
  auto top = [](HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return int(r.top);
  };
  TRect v;
  GetVertBarRect(Adapter, Client, v);
  const int x = v.Left + v.Width() / 2;
  EXPECT_EQ(0, BarPixelsNotSkinned(Client, Adapter));
  // The thumb dragged a little way down its channel, then a click on the down arrow: the children
  // move up, together.
  const int aTop = top(a), bTop = top(b);
  MouseTo(x, v.Top + 16 + 4);
  LeftButton(true);
  MouseTo(x, v.Top + 16 + 44);
  LeftButton(false);
  EXPECT_LT(top(a), aTop);
  EXPECT_EQ(aTop - top(a), bTop - top(b));
  EXPECT_EQ(0, BarPixelsNotSkinned(Client, Adapter)) << "after the drag";
  const int dragged = top(a);
  MouseTo(x, v.Bottom - 6);
  LeftButton(true);
  LeftButton(false);
  EXPECT_LT(top(a), dragged);
  EXPECT_EQ(aTop - top(a), bTop - top(b));
  EXPECT_EQ(0, BarPixelsNotSkinned(Client, Adapter)) << "after the arrow";
  EXPECT_TRUE(GetWindowLongPtrA(Client, GWL_STYLE) & WS_VISIBLE);
  SendMessageA(Client, WM_MDIDESTROY, WPARAM(a), 0);
  SendMessageA(Client, WM_MDIDESTROY, WPARAM(b), 0);
  flush_events(40, 1500);
}

}  // namespace
}  // namespace qvtest
