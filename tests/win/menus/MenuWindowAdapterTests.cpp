// The adapter of popup menu windows: attached as a real popup opens (as the thread's hook attaches
// it), it paints the frame from the popup's image, answers as a skinned window, and frees itself
// when the popup closes, leaving the list that held it and resetting the popup state; a window whose
// image is another's paints its frame from the section.
#include "skin/engine/sQuorvexGraph.h"
#include "skin/windows/acSBUtils.h"
#include "tests/win/menus/MenuTestSupport.h"

namespace qvtest {
namespace {

class MenuWindowAdapter : public MenuTest {};

TacAdapterList* HookedList = nullptr;
HHOOK Hook = nullptr;

LRESULT CALLBACK AttachToPopups(int code, WPARAM wParam, LPARAM lParam) {
  char cls[16] = {};
  if (code == HCBT_CREATEWND && GetClassNameA(HWND(wParam), cls, sizeof cls) && std::string(cls) == "#32768") {
    HookAttaching = true;
    HookedList->Add(Create<TacMnuWnd>(HWND(wParam), nullptr, DefaultManager, "MAINMENU", false));
    HookAttaching = false;
  }
  return CallNextHookEx(Hook, code, wParam, lParam);
}

TEST_F(MenuWindowAdapter, PopupOpenedForRealIsPaintedAndLetGoWithItsWindow) {
  auto* menu = Create<TPopupMenu>(Form);
  for (int i = 0; i < 4; ++i) NewItem("Item " + std::to_string(i), menu->Items());
  Menus()->PreparePopupMenu(menu, true);
  TacAdapterList list;
  HookedList = &list;
  Hook = SetWindowsHookExA(WH_CBT, &AttachToPopups, nullptr, GetCurrentThreadId());
  HWND seen = nullptr;
  TacMnuWnd* adapter = nullptr;
  Capture shot;
  TSettledShot settled;
  LRESULT skinned = 0;
  TMenuScript script;
  script.Then([&] {
    if (!(seen = DrawnPopup())) return false;
    adapter = dynamic_cast<TacMnuWnd*>(GetWndAdapter(seen));
    RECT wr{};
    GetWindowRect(seen, &wr);
    return settled.Take(wr, shot);
  });
  script.Then([&] {
    skinned = SendSkinCommand(seen, QC_ISSKINNED);
    // The frame drawn again by the adapter, from the popup's image.
    SendMessageA(seen, WM_NCPAINT, 1, 0);
    return true;
  });
  const bool ran = script.Run(menu, 120, 120);
  UnhookWindowsHookEx(Hook);
  ASSERT_TRUE(ran);
  ASSERT_NE(nullptr, adapter);
  EXPECT_TRUE(adapter->DialogMode);
  EXPECT_EQ(1, skinned);
  const COLORREF frame = Frame("MAINMENU", "BORDERSMASK");
  EXPECT_EQ(ColorText(frame), ColorText(shot.Pixel(shot.Width() / 2, 1)));
  EXPECT_EQ(ColorText(frame), ColorText(shot.Pixel(1, shot.Height() / 2)));
  EXPECT_FALSE(IsWindow(seen));
  EXPECT_EQ(0, list.Count()) << "the adapter freed itself and left the list";
  EXPECT_FALSE(PopupMenuShown);
  EXPECT_EQ(nullptr, MenuBitmap);
  menu->Free();
}

TEST_F(MenuWindowAdapter, WindowOfAnotherImagePaintsItsFrameFromTheSection) {
  HWND popup = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "#32768", "", WS_POPUP, 20, 20, 80, 60, nullptr,
                               nullptr, nullptr, nullptr);
  ASSERT_NE(nullptr, popup);
  TacAdapterList list;
  // The thread's dialog hook gave the popup its adapter as the window was made.
  auto* a = dynamic_cast<TacMnuWnd*>(GetWndAdapter(popup));
  ASSERT_NE(nullptr, a);
  list.Add(a);
  PopupMenuShown = true;
  // An image of another size: some other popup's.
  MenuBitmap = CreateBmp24(40, 30);
  FillBmpRect(MenuBitmap, Rect(0, 0, 40, 30), clRed);
  ShowWindow(popup, SW_SHOWNOACTIVATE);
  // A popup without a menu of its own: the system's paint of its client area is not what is looked at.
  ValidateRect(popup, nullptr);
  SendMessageA(popup, WM_NCPAINT, 1, 0);
  // What was painted reaches the screen once the queue has gone quiet.
  flush_events();
  const Capture shot = CaptureScreen(popup);
  EXPECT_EQ(ColorText(Frame("MAINMENU", "BORDERSMASK")), ColorText(shot.Pixel(40, 1)));
  EXPECT_EQ(0, shot.CountColor(RGB(255, 0, 0)));
  // The region's announcement marks the window painting until its background is painted.
  SendSkinCommand(popup, QC_POPUPREGION);
  EXPECT_EQ(1, a->Painting);
  RedrawWindow(popup, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  EXPECT_EQ(0, a->Painting);
  DestroyWindow(popup);
  EXPECT_EQ(0, list.Count());
  EXPECT_FALSE(PopupMenuShown);
  EXPECT_EQ(nullptr, MenuBitmap) << "the popup state goes with the window";
}

}  // namespace
}  // namespace qvtest
