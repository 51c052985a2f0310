// The adapter of popup menu windows.
#include "skin/windows/acSBUtils/MenuWindowAdapters.h"

#include "skin/engine/sQuorvexGraph.h"
#include "skin/engine/sStyleSimply.h"
#include "skin/windows/acSBUtils/Internal.h"
#include "skin/windows/sSkinMenus.h"

using namespace acsb;

namespace {

// The popup's frame in the skin: as wide as the menus draw it.
constexpr int kMenuFrame = 3;

}  // namespace

bool TacMnuWnd::AnswerAnyState(TMessage& Message) {
  switch (Message.Msg) {
    case WM_DESTROY:
    case WM_NCDESTROY: WindowGoes(Message); return true;
    case SM_QUORVEXCMD: AnswerMenuCommand(Message); return true;
    default: return TacScrollWnd::AnswerAnyState(Message);
  }
}

void TacMnuWnd::HandleMessage(TMessage& Message) {
  TsSkinManager* sm = ManagerOf(this);
  if (PopupMenuShown) {
    switch (Message.Msg) {
      case WM_ERASEBKGND:
        PaintBackground(HDC(Message.WParam));
        Message.Result = 1;
        return;
      case WM_NCPAINT:
        if (!sm || !sm->SkinnedPopups()) break;
        PaintFrame();
        return;
      default: break;
    }
  }
  TacScrollWnd::HandleMessage(Message);
}

void TacMnuWnd::WindowGoes(TMessage& Message) {
  Painting = 0;
  if (PassOn(Message) && (OldWndProc || OldProc) && !Destroyed) {
    // Nobody else frees an adapter whose window is gone: it frees itself (and leaves every list).
    FinishClick(false);
    TacMnuWnd* self = this;
    DetachScrollWnd(WndHandle, true, false, self);
  }
  ClearMenuState();
  PopupMenuShown = false;
}

void TacMnuWnd::AnswerMenuCommand(TMessage& Message) {
  switch (Message.WParamHi()) {
    case QC_SETUPDATING: Message.LParam = Painting; return;
    case QC_POPUPREGION:
      if (IsWindowVisible(WndHandle)) Painting = 1;
      return;
    case QC_SKINLOADED:
    case QC_REFRESH:
      // A popup open through a skin switch: its image and frame are made again from the new skin at
      // the next paint.
      if (Destroyed || !IsOwnManager(Message, SkinData)) return;
      FreeMenuBitmap();
      MarkSkinChanged();
      return;
    default: AnswerIdentity(Message); return;
  }
}

void TacMnuWnd::PaintMenuCache() {
  UpdateRects();
  TBitmap* made = SkinData->CacheBmp;
  if (!SkinData->BGChanged && made && made->Width() == WndSize.cx && made->Height() == WndSize.cy) return;
  SharedParentColor = clParentColorUnset;
  TBitmap* cache = SizeCache();
  // A popup lies on the desktop: its section is painted over nothing.
  PaintControlItem(SkinData, EmptyCacheInfo, true, 0, Rect(0, 0, WndSize.cx, WndSize.cy),
                   TPoint{WndRect.Left - ParentRect.Left, WndRect.Top - ParentRect.Top}, cache, true);
  FillBorderCorners(SkinData, 0, this);
  SkinData->BGChanged = false;
}

void TacMnuWnd::PaintBackground(HDC DC) {
  PaintMenuCache();
  // The client area's place in the window image: the system's frame, where it gives the popup one.
  RECT wr{};
  POINT origin{0, 0};
  GetWindowRect(WndHandle, &wr);
  ClientToScreen(WndHandle, &origin);
  ClientDC dc(WndHandle, DC);
  TBitmap* cache = SkinData->CacheBmp;
  if (dc && cache && !cache->Empty()) {
    BitmapDC src(cache);
    const int x = origin.x - wr.left, y = origin.y - wr.top;
    if (src) BitBlt(dc, 0, 0, cache->Width() - x, cache->Height() - y, src, x, y, SRCCOPY);
  }
  Painting = 0;
}

void TacMnuWnd::PaintFrame() {
  RECT wr{};
  GetWindowRect(WndHandle, &wr);
  const int w = wr.right - wr.left, h = wr.bottom - wr.top;
  WindowDC dc(WndHandle);
  if (!dc) return;
  // The open popup's image is this window's when it has the window's size.
  if (MenuBitmap && MenuBitmap->Width() == w && MenuBitmap->Height() == h) {
    BitmapDC src(MenuBitmap);
    if (src) BitBltBorder(dc, 0, 0, w, h, src, 0, 0, kMenuFrame);
    return;
  }
  PaintMenuCache();
  TBitmap* cache = SkinData->CacheBmp;
  BitmapDC src(cache);
  if (src && cache && !cache->Empty()) BitBltBorder(dc, 0, 0, cache->Width(), cache->Height(), src, 0, 0, kMenuFrame);
}
