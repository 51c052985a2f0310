// Scrolling adapters attached before their manager has a skin, as a program builds its windows
// first and loads the skin afterwards: the skin commands of the manager reach the adapted memo and
// the bare list box inside a control, and the bars follow the skin as it is loaded, switched and
// removed. What the screen shows is probed (the adapters paint in WM_NCPAINT, which a printed
// copy of the window would not go through).
#include "tests/support/AdapterTestSupport.h"

#include "classlib/StdCtrls.h"
#include "tests/support/PixelProbe.h"
#include "tests/support/core/SkinBuilder.h"

namespace qvtest {
namespace {

// Skin "B" differs from "A" in the colour of the vertical bar's channel: its two masks, the last
// ones of "A", come after more masks than "A" has, so their colours are none of "A"'s (and every
// other mask keeps its place and colour).
TSkinBuilder SkinB() {
  TSkinBuilder b = TSkinBuilder::Standard();
  for (const char* s : {"SCROLLBAR1V", "SCROLLBAR2V"}) b.RemoveMask(s, "BORDERSMASK");
  b.Section("SPARE");
  for (int i = 0; i < 4; ++i) b.Mask("SPARE", "IMAGE" + std::to_string(i), 4, 4, 1);
  for (const char* s : {"SCROLLBAR1V", "SCROLLBAR2V"}) b.Mask(s, "BORDERSMASK", 9, 9, 3);
  return b;
}

class SkinFollow : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetScrollState();
    PlainLog = TPlainLog{};
    // A default manager that holds two skins and has loaded neither yet.
    Manager = Create<TsSkinManager>(nullptr);
    Manager->SetIsDefault(true);
    Manager->AddInternalSkin("A", A.Packed());
    Manager->AddInternalSkin("B", B.Packed());
    ASSERT_FALSE(Manager->SkinData()->Active);
  }
  void TearDown() override {
    FreeAndNil(MemoAdapter);
    FreeAndNil(ListAdapter);
    delete MemoData;
    MemoData = nullptr;
    Host.reset();
    FreeAndNil(Manager);
    ResetScrollState();
    PlainLog = TPlainLog{};
  }

  // A memo of the class library with its own skin data and a bare list box, both inside a control
  // and both adapted while no skin is loaded.
  void Build() {
    Host = std::make_unique<TTestHost>(420, 160);
    TWinControl* parent = Host->Control();
    Memo = Create<TMemo>(parent);
    Memo->SetParent(parent);
    Memo->SetBounds(8, 8, 200, 120);
    Memo->SetScrollBars(ssVertical);
    std::string text;
    for (int i = 1; i <= 40; ++i) text += "Line " + std::to_string(i) + "\r\n";
    Memo->SetText(text);
    MemoData = new TsCommonData(Memo, false);
    MemoData->SetSkinSection("EDIT");
    MemoAdapter = Create<TacEditWnd>(Memo->Handle(), MemoData, nullptr, "EDIT", true);
    List = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT,
                           220, 8, 160, 120, parent->Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    for (int i = 1; i <= 40; ++i) SendMessageA(List, LB_ADDSTRING, 0, LPARAM(("Item " + std::to_string(i)).c_str()));
    ListAdapter = Create<TacEditWnd>(List, nullptr, nullptr, "EDIT", true);
    flush_events(80, 2000);
  }

  // Pixels of a bar part of a skin on the screen over a window (normal state).
  static int Shown(HWND wnd, const TSkinBuilder& skin, const char* section) {
    return CaptureScreen(wnd).CountColor(TSkinBuilder::FrameColor(skin.MaskOrdinal(section, "BORDERSMASK"), 0));
  }
  void ExpectSkin(const TSkinBuilder* skin, const char* when) {
    SCOPED_TRACE(when);
    flush_events(80, 2000);
    for (HWND wnd : {Memo->Handle(), List}) {
      SCOPED_TRACE(wnd == List ? "list box" : "memo");
      // The thumb's colour is the same in both skins, the channel's differs.
      EXPECT_EQ(skin != nullptr, Shown(wnd, A, "SCROLLSLIDERV") > 0);
      EXPECT_EQ(skin == &A, Shown(wnd, A, "SCROLLBAR2V") > 0);
      EXPECT_EQ(skin == &B, Shown(wnd, B, "SCROLLBAR2V") > 0);
      // The frame is the edit section's (the same in both skins) on the screen, at the left edge.
      RECT r{};
      GetWindowRect(wnd, &r);
      const COLORREF frame = TSkinBuilder::FrameColor(A.MaskOrdinal("EDIT", "BORDERSMASK"), 0);
      EXPECT_EQ(skin != nullptr, CaptureScreen(wnd).Pixel(0, (r.bottom - r.top) / 2) == frame);
    }
    const bool skinned = skin != nullptr;
    EXPECT_EQ(skinned, MemoAdapter->FrameSkinned);
    EXPECT_EQ(skinned, ListAdapter->FrameSkinned);
    EXPECT_EQ(skinned ? 1 : 0, SendSkinCommand(List, QC_ISSKINNED));
  }

  TSkinBuilder A = TSkinBuilder::Standard();
  TSkinBuilder B = SkinB();
  TsSkinManager* Manager = nullptr;
  std::unique_ptr<TTestHost> Host;
  TMemo* Memo = nullptr;
  HWND List = nullptr;
  TsCommonData* MemoData = nullptr;
  TacEditWnd* MemoAdapter = nullptr;
  TacEditWnd* ListAdapter = nullptr;
};

TEST_F(SkinFollow, BarsFollowTheSkinLoadedSwitchedAndRemovedAfterTheAdaptersCame) {
  ASSERT_EQ(A.MaskOrdinal("SCROLLSLIDERV", "BORDERSMASK"), B.MaskOrdinal("SCROLLSLIDERV", "BORDERSMASK"));
  ASSERT_GT(B.MaskOrdinal("SCROLLBAR2V", "BORDERSMASK"), A.MaskOrdinal("SCROLLBAR2V", "BORDERSMASK"));
  Build();
  const TColor plainColor = Memo->Color();
  ExpectSkin(nullptr, "before any skin");

  // Loaded while the windows are hidden (as a program loads its skin before it shows its form).
  ShowWindow(Host->Window(), SW_HIDE);
  flush_events(40, 1000);
  Manager->SetSkinName("A");
  ASSERT_TRUE(Manager->SkinData()->Active) << Manager->LastError();
  ShowWindow(Host->Window(), SW_SHOWNA);
  ExpectSkin(&A, "skin A loaded, then shown");
  EXPECT_EQ(TColor(Manager->Section(Manager->SectionIndexOf("EDIT")).Color), Memo->Color());

  Manager->SetSkinName("B");
  ExpectSkin(&B, "switched to skin B");

  Manager->SetActive(false);
  ExpectSkin(nullptr, "skin removed");
  EXPECT_EQ(plainColor, Memo->Color());

  Manager->SetActive(true);
  ExpectSkin(&B, "skin B in use again");
}

TEST_F(SkinFollow, BarsStaySkinnedWhileTheWindowsChangeTheirScrollRange) {
  Build();
  Manager->SetSkinName("A");
  ExpectSkin(&A, "loaded");
  // The first row of the thumb on the screen, in the bar's middle column.
  auto thumbTop = [&](HWND wnd) {
    TRect v;
    GetVertBarRect(wnd == List ? ListAdapter : MemoAdapter, wnd, v);
    RECT wr{};
    GetWindowRect(wnd, &wr);
    const Capture cap = CaptureScreen(wnd);
    const COLORREF thumb = TSkinBuilder::FrameColor(A.MaskOrdinal("SCROLLSLIDERV", "BORDERSMASK"), 0);
    for (int y = v.Top; y < v.Bottom; ++y)
      if (cap.Pixel(v.Left - wr.left + v.Width() / 2, y - wr.top) == thumb) return y - v.Top;
    return -1;
  };
  const int memoBefore = thumbTop(Memo->Handle()), listBefore = thumbTop(List);
  EXPECT_GE(memoBefore, 0);
  EXPECT_GE(listBefore, 0);
  // The windows set their scroll information themselves (with a redraw of the bar).
  std::string text;
  for (int i = 1; i <= 80; ++i) text += "Another line " + std::to_string(i) + "\r\n";
  Memo->SetText(text);
  for (int i = 1; i <= 20; ++i) SendMessageA(List, LB_ADDSTRING, 0, LPARAM("More"));
  SendMessageA(List, LB_DELETESTRING, 0, 0);
  SendMessageA(Memo->Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
  SendMessageA(List, WM_VSCROLL, SB_PAGEDOWN, 0);
  SendMessageA(Memo->Handle(), WM_KEYDOWN, VK_NEXT, 0);
  ExpectSkin(&A, "after the windows scrolled and changed their ranges");
  EXPECT_GT(thumbTop(Memo->Handle()), memoBefore);
  EXPECT_GT(thumbTop(List), listBefore);
}

TEST_F(SkinFollow, BarsStaySkinnedAfterEachSingleChangeOfTheWindows) {
  Build();
  Manager->SetSkinName("A");
  ExpectSkin(&A, "loaded");
  SendMessageA(List, LB_DELETESTRING, 0, 0);
  ExpectSkin(&A, "an item deleted");
  SendMessageA(List, LB_SETTOPINDEX, 20, 0);
  ExpectSkin(&A, "the top index set");
  Memo->SetText("short\r\ntext\r\n" + std::string(2000, 'x'));
  ExpectSkin(&A, "the memo's text replaced");
  Memo->SetBounds(8, 8, 190, 110);
  ExpectSkin(&A, "the memo resized");
}

TEST_F(SkinFollow, ClientAreaMakesRoomForTheSkinnedBarsOnLoadAndGivesItBack) {
  Build();
  Manager->SetSkinName("A");
  flush_events(60, 1500);
  // The skinned bar is set thicker than the system's: the client area shrinks when the skin
  // comes and widens again when it goes.
  MemoAdapter->VertBar->Thickness = GetSystemMetrics(SM_CXVSCROLL) + 9;
  SetWindowPos(Memo->Handle(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
  RECT skinned{}, plain{};
  GetClientRect(Memo->Handle(), &skinned);
  Manager->SetActive(false);
  flush_events(60, 1500);
  GetClientRect(Memo->Handle(), &plain);
  EXPECT_EQ(9, plain.right - skinned.right);
  Manager->SetActive(true);
  flush_events(60, 1500);
  RECT again{};
  GetClientRect(Memo->Handle(), &again);
  EXPECT_EQ(skinned.right, again.right);
}

TEST_F(SkinFollow, AForeignManagersSkinLeavesTheAdaptersPlain) {
  Build();
  TSkinBuilder other = TSkinBuilder::Standard();
  TsSkinManager* foreign = CreateTestManager(other, "Other", false);
  ASSERT_TRUE(foreign->SkinData()->Active);
  flush_events(60, 1500);
  EXPECT_FALSE(MemoAdapter->SkinOn());
  EXPECT_FALSE(ListAdapter->SkinOn());
  EXPECT_FALSE(ListAdapter->FrameSkinned);
  EXPECT_EQ(0, Shown(List, other, "SCROLLSLIDERV"));
  FreeAndNil(foreign);
}

TEST_F(SkinFollow, ForeignWindowsInsideControlsGetEachCommandOnce) {
  Host = std::make_unique<TTestHost>(300, 200);
  // A bare window in the control, and one more inside that bare window.
  HWND outer = CreatePlainWindow(Host->Control()->Handle(), 0, 10, 10, 200, 150);
  HWND inner = CreatePlainWindow(outer, 0, 10, 10, 80, 60);
  PlainLog.Clear();
  Manager->SetSkinName("A");
  ASSERT_TRUE(Manager->SkinData()->Active);
  for (HWND wnd : {outer, inner}) {
    SCOPED_TRACE(wnd == outer ? "outer" : "inner");
    EXPECT_EQ(1, PlainLog.CountCommand(QC_SKINLOADED, wnd, Manager));
    EXPECT_EQ(1, PlainLog.CountCommand(QC_REFRESH, wnd, Manager));
  }
  PlainLog.Clear();
  Manager->SetActive(false);
  EXPECT_EQ(1, PlainLog.CountCommand(QC_SKINREMOVED, outer, Manager));
  EXPECT_EQ(1, PlainLog.CountCommand(QC_SKINREMOVED, inner, Manager));
  DestroyWindow(outer);
}

}  // namespace
}  // namespace qvtest
