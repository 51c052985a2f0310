// The tool bar adapters: a standard tool bar painted whole by the adapter from the button data the
// window reports, and the class library's tool bar painted through its two custom-draw events.
#include "skin/windows/acSBUtils.h"

#include <algorithm>
#include <vector>

#include "skin/engine/sQuorvexGraph.h"
#include "skin/engine/sStyleSimply.h"
#include "skin/windows/acSBUtils/Internal.h"

using namespace acsb;

namespace {

constexpr const char* ToolButtonSection = "TOOLBUTTON";
// Width of the arrow part of a drop-down button of the class library's tool bar.
constexpr int DropDownArrowWidth = 13;

int ToolButtonIndex(TsSkinManager* sm) { return sm ? sm->SectionIndexOf(ToolButtonSection) : -1; }

// The down arrow of a skin: the glyph of the lower scroll button.
int DownArrowMask(TsSkinManager* sm) { return sm ? sm->ConstData().ScrollBtnBottom.GlyphMask : -1; }

void PaintDownArrow(TBitmap* Bmp, const TRect& R, int State, TsSkinManager* sm) {
  const int arrow = DownArrowMask(sm);
  if (!sm->IsMaskIndex(arrow)) return;
  const TSize g = sm->GetMaskItemSize(arrow);
  PaintMaskImageByIndex(Bmp, Point(R.Left + (R.Width() - g.cx) / 2, R.Top + (R.Height() - g.cy) / 2), State, 0, arrow,
                        sm);
}

// The words of a text split into the longest leading run that fits Width and the rest.
std::pair<std::string, std::string> SplitToWidth(TCanvas* Canvas, const std::string& Text, int Width) {
  std::size_t cut = std::string::npos;
  for (std::size_t space = Text.find(' '); space != std::string::npos; space = Text.find(' ', space + 1)) {
    if (Canvas->TextWidth(Text.substr(0, space)) > Width) break;
    cut = space;
  }
  if (cut == std::string::npos || Canvas->TextWidth(Text) <= Width) return {Text, {}};
  return {Text.substr(0, cut), Text.substr(cut + 1)};
}

}  // namespace

// ---- Standard tool bar ---------------------------------------------------------------------------

int TacToolBarWnd::ButtonState(int Index, const TBBUTTON& Button) const {
  if (!(Button.fsState & TBSTATE_ENABLED)) return 0;
  if (Button.fsState & (TBSTATE_PRESSED | TBSTATE_CHECKED)) return 2;
  POINT p{};
  GetCursorPos(&p);
  if (WindowFromPoint(p) != WndHandle) return 0;
  ScreenToClient(WndHandle, &p);
  RECT r{};
  return SendMessageA(WndHandle, TB_GETITEMRECT, WPARAM(Index), LPARAM(&r)) && PtInRect(&r, p) ? 1 : 0;
}

bool TacToolBarWnd::ParentUpdating() {
  const bool parentBusy = ParentWnd && AskWindow(ParentWnd, QC_ISBUSY);
  if (parentBusy) SkinData->SetUpdating(true);
  return AskUpdating() || parentBusy;
}

void TacToolBarWnd::PrepareCache() {
  UpdateRects();
  TBitmap* cache = SkinData->CacheBmp;
  if (!SkinData->BGChanged && cache && cache->Width() == WndSize.cx && cache->Height() == WndSize.cy) return;
  SkinData->BGChanged = true;
  RECT client{};
  GetClientRect(WndHandle, &client);
  ClientRect = FromRECT(client);
  PrepareWindowCache(SkinData, WndHandle, DialogMode);
  FillBorderCorners(SkinData, 0, this);
  Border = (WndSize.cy - ClientRect.Height()) / 2;
  SkinData->BGChanged = false;
}

void TacToolBarWnd::PaintFrame() {
  UpdateRects();
  if (ParentUpdating()) return;
  PrepareCache();
  const WindowDC dc(WndHandle);
  const BitmapDC src(SkinData->CacheBmp);
  if (dc && src) BitBltBorder(dc, 0, 0, WndSize.cx, WndSize.cy, src, 0, 0, (WndSize.cx - ClientRect.Width()) / 2);
}

void TacToolBarWnd::PaintBar(TMessage& Message) {
  const PaintScope paint(WndHandle, HDC(Message.WParam));
  Message.Result = 0;
  UpdateRects();
  if (!paint || ParentUpdating()) return;
  PrepareCache();
  TBitmap* cache = SkinData->CacheBmp;
  if (!cache || cache->Empty()) return;
  // The bar and its buttons in a work image, copied in one step.
  auto work = MakeBmp24(cache->Width(), cache->Height());
  {
    const BitmapDC dst(work.get());
    BlitBmp(dst, 0, 0, cache);
  }
  const TPoint co = ClientOffsetOf(WndHandle);
  const int count = int(SendMessageA(WndHandle, TB_BUTTONCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    RECT r{};
    if (!SendMessageA(WndHandle, TB_GETITEMRECT, WPARAM(i), LPARAM(&r)) || IsRectEmpty(&r)) continue;
    TRect at = FromRECT(r);
    at.Offset(co.X, co.Y);
    PaintButton(i, at, work.get());
  }
  const SavedDC saved(paint);
  // Child windows of the bar (a combo box in a gap) paint themselves.
  for (HWND child = GetWindow(WndHandle, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    RECT cr{};
    GetWindowRect(child, &cr);
    MapWindowPoints(nullptr, WndHandle, reinterpret_cast<POINT*>(&cr), 2);
    ExcludeClipRect(paint, cr.left, cr.top, cr.right, cr.bottom);
  }
  const BitmapDC src(work.get());
  if (src) BitBlt(paint, 0, 0, ClientRect.Width(), ClientRect.Height(), src, co.X, co.Y, SRCCOPY);
}

void TacToolBarWnd::PrintBar(TMessage& Message) {
  const HDC dc = HDC(Message.WParam);
  Message.Result = 0;
  UpdateRects();
  if (ParentUpdating()) return;
  PrepareCache();
  if (GetWindowLongPtrA(WndHandle, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) {
    const BitmapDC src(SkinData->CacheBmp);
    if (src) BitBltBorder(dc, 0, 0, WndSize.cx, WndSize.cy, src, 0, 0, (WndSize.cx - ClientRect.Width()) / 2);
  }
  // The client area painted as on the screen, where it lies in the window.
  const TPoint co = ClientOffsetOf(WndHandle);
  const SavedDC saved(dc);
  OffsetViewportOrgEx(dc, co.X, co.Y, nullptr);
  IntersectClipRect(dc, 0, 0, ClientRect.Width(), ClientRect.Height());
  TMessage paint = MakeMessage(WM_PAINT, WPARAM(dc), 0);
  PaintBar(paint);
}

void TacToolBarWnd::PaintButton(int Index, const TRect& R, TBitmap* Bar) {
  TBBUTTON tb{};
  if (!SendMessageA(WndHandle, TB_GETBUTTON, WPARAM(Index), LPARAM(&tb))) return;
  if ((tb.fsStyle & BTNS_SEP) || (tb.fsState & TBSTATE_HIDDEN)) return;  // a gap keeps the bar
  TsSkinManager* sm = SkinData->SkinManager();
  const int w = R.Width(), h = R.Height();
  if (!sm || w <= 0 || h <= 0) return;
  const bool enabled = (tb.fsState & TBSTATE_ENABLED) != 0;
  const int state = ButtonState(Index, tb);
  const int down = (tb.fsState & TBSTATE_PRESSED) && enabled ? 1 : 0;
  auto bmp = MakeBmp24(w, h);
  const int section = ToolButtonIndex(sm);
  // A flat bar (TBSTYLE_FLAT) shows a button only while it is hot, pressed or checked.
  const bool flat = (GetWindowLongPtrA(WndHandle, GWL_STYLE) & TBSTYLE_FLAT) != 0;
  if (flat && state == 0) {
    const BitmapDC dst(bmp.get()), src(Bar);
    if (dst && src) BitBlt(dst, 0, 0, w, h, src, R.Left, R.Top, SRCCOPY);
  } else {
    PaintSectionItem(section, ToolButtonSection, BuildCacheInfo(Bar), true, state, Rect(0, 0, w, h), R.TopLeft(),
                     bmp.get(), sm);
  }
  // The drop-down arrow of a whole-drop-down button (or of a drop-down one whose bar draws arrows).
  const bool arrow =
      (tb.fsStyle & BTNS_WHOLEDROPDOWN) ||
      ((tb.fsStyle & BTNS_DROPDOWN) && (SendMessageA(WndHandle, TB_GETEXTENDEDSTYLE, 0, 0) & TBSTYLE_EX_DRAWDDARROWS));
  int arrowWidth = 0;
  if (arrow && sm->IsMaskIndex(DownArrowMask(sm))) {
    const TSize g = sm->GetMaskItemSize(DownArrowMask(sm));
    arrowWidth = g.cx + 4;
    PaintDownArrow(bmp.get(), Rect(w - 2 - g.cx, 0, w - 2, h), state, sm);
  }
  // The text, read with the length the bar reports.
  const auto command = WPARAM(tb.idCommand);
  const std::string text =
      ReadReportedText([&] { return SendMessageA(WndHandle, TB_GETBUTTONTEXTA, command, 0); },
                       [&](char* buffer, int) { SendMessageA(WndHandle, TB_GETBUTTONTEXTA, command, LPARAM(buffer)); });
  // A bar with text beside the images (TBSTYLE_LIST) shows each button's text at the right of its
  // image; a bar of mixed buttons only the text of those that ask for it (BTNS_SHOWTEXT).
  const bool list = (GetWindowLongPtrA(WndHandle, GWL_STYLE) & TBSTYLE_LIST) != 0;
  const bool mixed = (SendMessageA(WndHandle, TB_GETEXTENDEDSTYLE, 0, 0) & TBSTYLE_EX_MIXEDBUTTONS) != 0;
  const bool showText = !text.empty() && (!list || !mixed || (tb.fsStyle & BTNS_SHOWTEXT));
  // The image: image 0 is an image like any other.
  int imageHeight = 0, imageRight = 0;
  auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(WndHandle, TB_GETIMAGELIST, 0, 0));
  if (state == 1)
    if (auto hot = reinterpret_cast<HIMAGELIST>(SendMessageA(WndHandle, TB_GETHOTIMAGELIST, 0, 0))) images = hot;
  if (!enabled)
    if (auto off = reinterpret_cast<HIMAGELIST>(SendMessageA(WndHandle, TB_GETDISABLEDIMAGELIST, 0, 0))) images = off;
  int cx = 0, cy = 0;
  if (images && tb.iBitmap >= 0 && tb.iBitmap < ImageList_GetImageCount(images) &&
      ImageList_GetIconSize(images, &cx, &cy)) {
    imageHeight = cy;
    // Beside the text at the left of a list bar's button, above it on other bars, else centred.
    const int x = list && showText ? ListImageLeft() : (w - arrowWidth - cx) / 2;
    const int y = !showText || list ? (h - cy) / 2 : 3;
    imageRight = x + cx;
    BitmapDC dc(bmp.get());
    ImageList_Draw(images, tb.iBitmap, dc, x + down, y + down, ILD_TRANSPARENT);
  }
  if (showText && list) {
    TRect tr = Rect(imageRight ? imageRight + ListImageLeft() : ListImageLeft(), 0, w - 2 - arrowWidth, h);
    tr.Offset(down, down);
    PaintButtonText(bmp.get(), text, tr, state, enabled, true);
  } else if (showText) {
    TRect tr = Rect(2, imageHeight ? imageHeight + 4 : 2, w - 2 - arrowWidth, h - 2);
    tr.Offset(down, down);
    PaintButtonText(bmp.get(), text, tr, state, enabled, false);
  }
  // A disabled button: 40 % of it over the bar.
  if (!enabled) BlendRectKeyed(bmp.get(), 0, 0, Bar, R, 0.4, clNone);
  const BitmapDC dst(Bar);
  BlitBmp(dst, R.Left, R.Top, bmp.get());
}

int TacToolBarWnd::ListImageLeft() const {
  // Half the bar's padding at either side of the image, as the bar itself places it.
  const LRESULT padding = SendMessageA(WndHandle, TB_GETPADDING, 0, 0);
  return std::max(int(LOWORD(DWORD_PTR(padding))) / 2, 2);
}

void TacToolBarWnd::PaintButtonText(TBitmap* Bmp, const std::string& Text, TRect R, int State, bool Enabled,
                                    bool Beside) {
  TCanvas* canvas = Bmp->Canvas();
  UseWindowFont(canvas);
  canvas->Brush()->SetStyle(bsClear);
  TsSkinManager* sm = SkinData->SkinManager();
  auto draw = [&](const std::string& line, const TRect& r, UINT flags) {
    if (State != 0)
      DrawSectionText(canvas, line, Enabled, r, flags, ToolButtonIndex(sm), true, sm);
    else
      DrawControlText(canvas, line, Enabled, r, flags, SkinData, false);
  };
  if (Beside) {
    draw(Text, R, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    return;
  }
  const auto [first, second] = SplitToWidth(canvas, Text, R.Width());
  if (second.empty()) {
    draw(Text, R, DT_CENTER | DT_VCENTER | DT_WORDBREAK | DT_END_ELLIPSIS);
    return;
  }
  const int lineHeight = canvas->TextHeight("Wg");
  draw(first, Rect(R.Left, R.Top, R.Right, R.Top + lineHeight), DT_CENTER | DT_SINGLELINE);
  draw(second, Rect(R.Left, R.Top + lineHeight, R.Right, R.Bottom), DT_CENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
}

int TacToolBarWnd::ButtonAt(TPoint P) const {
  POINT p{P.X, P.Y};
  const int index = int(SendMessageA(WndHandle, TB_HITTEST, 0, LPARAM(&p)));
  if (index < 0) return -1;
  TBBUTTON tb{};
  if (!SendMessageA(WndHandle, TB_GETBUTTON, WPARAM(index), LPARAM(&tb)) || (tb.fsStyle & BTNS_SEP)) return -1;
  return index;
}

void TacToolBarWnd::InvalidateButton(int Index) {
  RECT r{};
  if (Index >= 0 && SendMessageA(WndHandle, TB_GETITEMRECT, WPARAM(Index), LPARAM(&r)))
    InvalidateRect(WndHandle, &r, FALSE);
}

void TacToolBarWnd::TrackHot(const TMessage& Message) {
  const int hot =
      Message.Msg == WM_MOUSELEAVE ? -1 : ButtonAt(Point(short(LOWORD(Message.LParam)), short(HIWORD(Message.LParam))));
  if (hot == HotButton) return;
  InvalidateButton(HotButton);
  InvalidateButton(hot);
  HotButton = hot;
  if (hot >= 0) {
    TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, WndHandle, 0};
    TrackMouseEvent(&tme);
  }
}

void TacToolBarWnd::HandleMessage(TMessage& Message) {
  auto alive = AliveToken();
  const UINT msg = Message.Msg;
  switch (msg) {
    case SM_QUORVEXCMD:
      if (Message.WParamHi() == QC_REFRESH && IsOwnManager(Message, SkinData)) {
        MarkSkinChanged();
        RedrawAfterSkinCommand(RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
        return;
      }
      break;
    case WM_ERASEBKGND: Message.Result = 1; return;  // the paint covers the whole bar
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
      SkinData->BGChanged = true;
      TacMainWnd::HandleMessage(Message);
      if (*alive && IsWindowVisible(WndHandle)) SendMessageA(WndHandle, WM_NCPAINT, 0, 0);
      return;
    case WM_PAINT: PaintBar(Message); return;
    case WM_PRINT:
      if (Message.WParam) {
        PrintBar(Message);
        return;
      }
      break;
    case WM_NCPAINT:
      // A bar without a client edge keeps its own frame.
      if (GetWindowLongPtrA(WndHandle, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) {
        PaintFrame();
        Message.Result = 0;
        return;
      }
      break;
    default: break;
  }
  TacMainWnd::HandleMessage(Message);
  if (!*alive) return;
  if (msg == WM_MOUSEMOVE || msg == WM_MOUSELEAVE) TrackHot(Message);
}

// ---- The class library's tool bar ------------------------------------------------------------------

TacToolBarVCLWnd::TacToolBarVCLWnd(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager,
                                   const std::string& SkinSection, bool Repaint)
    : TacMainWnd(AHandle, ASkinData, ASkinManager, SkinSection, Repaint) {
  ToolBar = dynamic_cast<TToolBar*>(SkinData->OwnerControl);
}

void TacToolBarVCLWnd::AfterConstruction() {
  TacMainWnd::AfterConstruction();
  if (!ToolBar || Destroyed) return;
  SavedBarDraw_ = ToolBar->OnAdvancedCustomDraw;
  SavedButtonDraw_ = ToolBar->OnAdvancedCustomDrawButton;
  ToolBar->OnAdvancedCustomDraw = MakeMethod<&TacToolBarVCLWnd::BarCustomDraw>(this);
  ToolBar->OnAdvancedCustomDrawButton = MakeMethod<&TacToolBarVCLWnd::ButtonCustomDraw>(this);
  HandlersInstalled_ = true;
  // The bar asks for the button notifications only while a button handler is set.
  if (IsWindowVisible(WndHandle)) RedrawWindow(WndHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

void TacToolBarVCLWnd::ReleaseHandlers() {
  if (!HandlersInstalled_) return;
  HandlersInstalled_ = false;
  if (!ToolBar) return;
  // Handlers the program set meanwhile stay.
  if (ToolBar->OnAdvancedCustomDraw == MakeMethod<&TacToolBarVCLWnd::BarCustomDraw>(this))
    ToolBar->OnAdvancedCustomDraw = SavedBarDraw_;
  if (ToolBar->OnAdvancedCustomDrawButton == MakeMethod<&TacToolBarVCLWnd::ButtonCustomDraw>(this))
    ToolBar->OnAdvancedCustomDrawButton = SavedButtonDraw_;
}

void TacToolBarVCLWnd::BeforeDestruction() {
  ReleaseHandlers();
  TacMainWnd::BeforeDestruction();
}

void TacToolBarVCLWnd::DetachOnDestroy() {
  ReleaseHandlers();
  TacMainWnd::DetachOnDestroy();
}

TPoint TacToolBarVCLWnd::ClientOffset() const { return ClientOffsetOf(WndHandle); }

void TacToolBarVCLWnd::PrepareCache() {
  UpdateRects();
  TBitmap* cache = SizeCache();
  const TsCacheInfo ci = AskParentCache(SkinData);
  PaintControlItem(SkinData, ci, false, 0, Rect(0, 0, WndSize.cx, WndSize.cy), WndPos, cache, true);
  SkinData->BGChanged = false;
}

void TacToolBarVCLWnd::PaintFrame(HDC DC) {
  const TPoint co = ClientOffset();
  RECT client{};
  GetClientRect(WndHandle, &client);
  UpdateRects();
  if (co.X == 0 && co.Y == 0 && client.right == WndSize.cx && client.bottom == WndSize.cy) return;
  if (AskUpdating()) return;
  if (SkinData->BGChanged || !SkinData->CacheBmp || SkinData->CacheBmp->Width() != WndSize.cx) PrepareCache();
  const WindowDC dc(WndHandle, DC);
  if (!dc) return;
  const SavedDC saved(dc);
  ExcludeClipRect(dc, co.X, co.Y, co.X + client.right, co.Y + client.bottom);
  BlitBmp(dc, 0, 0, SkinData->CacheBmp);
}

void TacToolBarVCLWnd::PrintBar(TMessage& Message) {
  const HDC dc = HDC(Message.WParam);
  Message.Result = 0;
  if (!dc) return;
  UpdateRects();
  if (SkinData->BGChanged || !SkinData->CacheBmp || SkinData->CacheBmp->Width() != WndSize.cx) PrepareCache();
  BlitBmp(dc, 0, 0, SkinData->CacheBmp);
  const TPoint co = ClientOffset();
  RECT client{};
  GetClientRect(WndHandle, &client);
  const SavedDC saved(dc);
  OffsetViewportOrgEx(dc, co.X, co.Y, nullptr);
  IntersectClipRect(dc, 0, 0, client.right, client.bottom);
  SendMessageA(WndHandle, WM_PAINT, WPARAM(dc), 0);
}

void TacToolBarVCLWnd::BarCustomDraw(TToolBar* Sender, const TRect& ARect, TCustomDrawStage Stage, bool& DefaultDraw) {
  if (!SkinOn()) {
    if (SavedBarDraw_) SavedBarDraw_(Sender, ARect, Stage, DefaultDraw);
    return;
  }
  if (Stage != cdPrePaint) {
    DefaultDraw = false;
    return;
  }
  if (AskUpdating()) return;
  UpdateRects();
  if (SkinData->BGChanged || !SkinData->CacheBmp || SkinData->CacheBmp->Width() != WndSize.cx) PrepareCache();
  const TPoint co = ClientOffset();
  const HDC dc = ToolBar->Canvas()->Handle();
  // The whole client area (the DC is clipped to what needs painting; the bar's own rectangle may
  // be only a part of it).
  RECT client{};
  GetClientRect(WndHandle, &client);
  (void)ARect;
  CopyCacheExcludingChildren(ToolBar, SkinData, co, FromRECT(client), dc, true, 0, 0);
  PaintGraphicChildren(dc, ToolBar, Point(0, 0));
  RepaintChildControls(ToolBar);
  if (co.X != 0 || co.Y != 0) SendMessageA(WndHandle, WM_NCPAINT, 0, 0);
}

void TacToolBarVCLWnd::ButtonCustomDraw(TToolBar* Sender, TToolButton* Button, TCustomDrawState State,
                                        TCustomDrawStage Stage, TTBCustomDrawFlags& Flags, bool& DefaultDraw) {
  if (!SkinOn()) {
    if (SavedButtonDraw_) SavedButtonDraw_(Sender, Button, State, Stage, Flags, DefaultDraw);
    return;
  }
  DefaultDraw = false;
  TsSkinManager* sm = SkinData->SkinManager();
  const int index = Button ? Button->Index() : -1;
  if (!sm || index < 0 || AskUpdating()) return;
  const bool designing = ToolBar->ComponentState().Contains(csDesigning);
  if (!designing && !ToolBar->Dragging() && index == HotIndex) State.Include(cdsHot);
  const bool enabled = Button->Enabled() && !State.Contains(cdsDisabled);
  const int state = State.Contains(cdsSelected) || State.Contains(cdsChecked) || Button->Down() ? 2
                    : State.Contains(cdsHot) || State.Contains(cdsMarked)                       ? 1
                                                                                                : 0;
  const TRect r = ToolBar->ButtonRect(index);
  const int w = r.Width(), h = r.Height();
  if (w <= 0 || h <= 0) return;
  UpdateRects();
  if (SkinData->BGChanged || !SkinData->CacheBmp || SkinData->CacheBmp->Width() != WndSize.cx) PrepareCache();
  const TPoint co = ClientOffset();
  const TPoint at = Point(co.X + r.Left, co.Y + r.Top);
  const TsCacheInfo bar = BuildCacheInfo(SkinData->CacheBmp);
  auto bmp = MakeBmp24(w, h);
  const int section = ToolButtonIndex(sm);
  const bool dropDown = Button->Style() == tbsDropDown;
  const int bodyWidth = dropDown ? std::max(0, w - DropDownArrowWidth) : w;
  if (ToolBar->Flat() && state == 0) {
    const BitmapDC dst(bmp.get()), src(SkinData->CacheBmp);
    if (dst && src) BitBlt(dst, 0, 0, w, h, src, at.X, at.Y, SRCCOPY);
  } else {
    PaintSectionItem(section, ToolButtonSection, bar, true, state, Rect(0, 0, bodyWidth, h), at, bmp.get(), sm);
  }
  if (dropDown) {
    // The arrow part: pressed while its menu shows or the button is down, hot while hot; on a flat
    // bar a normal button shows its arrow over the bar.
    const int arrowState = DroppedButton == Button || state == 2 ? 2 : state;
    const TRect part = Rect(bodyWidth, 0, w, h);
    if (!(ToolBar->Flat() && arrowState == 0))
      PaintSectionItem(section, ToolButtonSection, bar, true, arrowState, part, Point(at.X + bodyWidth, at.Y),
                       bmp.get(), sm);
    PaintDownArrow(bmp.get(), part, arrowState, sm);
  }
  const int down = state == 2 ? 1 : 0;
  TCanvas* canvas = bmp->Canvas();
  TCustomImageList* images = ToolBar->Images();
  const bool image = images && Button->ImageIndex() >= 0 && Button->ImageIndex() < images->Count();
  const bool caption = ToolBar->ShowCaptions() && !Button->Caption().empty();
  if (image) {
    const int y = caption ? 3 : (h - images->Height()) / 2;
    images->Draw(canvas, (bodyWidth - images->Width()) / 2 + down, y + down, Button->ImageIndex(), enabled);
  }
  if (caption) {
    canvas->Font()->Assign(ToolBar->Font());
    canvas->Brush()->SetStyle(bsClear);
    TRect tr = Rect(2, image ? images->Height() + 3 : 0, bodyWidth - 2, h);
    tr.Offset(down, down);
    DrawSectionText(canvas, Button->Caption(), enabled, tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE, section, state != 0,
                    sm);
  }
  if (!enabled) ApplyDisabledLook(bmp.get(), TsDisabledKind{dkBlended}, ToolBar, bar, at);
  BitmapDC src(bmp.get());
  if (src) BitBlt(ToolBar->Canvas()->Handle(), r.Left, r.Top, w, h, src, 0, 0, SRCCOPY);
}

void TacToolBarVCLWnd::RepaintButton(int Index) {
  if (!ToolBar || Index < 0 || Index >= ToolBar->ButtonCount() || !ToolBar->HandleAllocated()) return;
  TToolButton* button = ToolBar->Buttons(Index);
  if (!button->Visible()) return;
  const ClientDC dc(WndHandle);
  if (!dc) return;
  const CanvasOnDC bound(ToolBar->Canvas(), dc, ToolBar->Font());
  const LRESULT tbState = SendMessageA(WndHandle, TB_GETSTATE, WPARAM(Index + 1), 0);
  TCustomDrawState state;
  if (tbState & TBSTATE_CHECKED) state.Include(cdsChecked);
  if (tbState & TBSTATE_PRESSED) state.Include(cdsSelected);
  if (!(tbState & TBSTATE_ENABLED)) state.Include(cdsDisabled);
  TTBCustomDrawFlags flags;
  bool def = false;
  ButtonCustomDraw(ToolBar, button, state, cdPrePaint, flags, def);
}

void TacToolBarVCLWnd::TrackHot(TPoint P) {
  if (!ToolBar || ToolBar->ComponentState().Contains(csDesigning) || ToolBar->Dragging()) return;
  int hot = -1;
  for (int i = 0; i < ToolBar->ButtonCount(); ++i) {
    TToolButton* b = ToolBar->Buttons(i);
    if (b->Style() == tbsSeparator || b->Style() == tbsDivider || !b->Visible()) continue;
    if (ToolBar->ButtonRect(i).Contains(P)) {
      hot = i;
      break;
    }
  }
  if (hot == HotIndex) return;
  if (hot >= 0 && !ToolBar->Buttons(hot)->Enabled()) return;
  const int old = HotIndex;
  HotIndex = hot;
  for (int i : {old, hot})
    if (i >= 0 && i < ToolBar->ButtonCount() && !ToolBar->Buttons(i)->Down()) RepaintButton(i);
}

void TacToolBarVCLWnd::Notified(TMessage& Message) {
  const auto* nm = reinterpret_cast<const NMHDR*>(Message.LParam);
  if (!nm || !ToolBar) return;
  if (nm->code == UINT(TBN_DELETINGBUTTON)) {
    if (HotIndex >= int(SendMessageA(WndHandle, TB_BUTTONCOUNT, 0, 0))) HotIndex = -1;
  } else if (nm->code == UINT(TBN_DROPDOWN)) {
    const int command = reinterpret_cast<const NMTOOLBARA*>(Message.LParam)->iItem;
    const int index = int(SendMessageA(WndHandle, TB_COMMANDTOINDEX, WPARAM(command), 0));
    TBBUTTON tb{};
    if (index >= 0 && SendMessageA(WndHandle, TB_GETBUTTON, WPARAM(index), LPARAM(&tb))) {
      auto* button = reinterpret_cast<TToolButton*>(tb.dwData);
      if (button && index < ToolBar->ButtonCount() && ToolBar->Buttons(index) == button) {
        DroppedButton = button;
        RepaintButton(index);
      }
    }
  }
}

void TacToolBarVCLWnd::HandleMessage(TMessage& Message) {
  auto alive = AliveToken();
  const UINT msg = Message.Msg;
  switch (msg) {
    case SM_QUORVEXCMD:
      if (IsOwnManager(Message, SkinData) && (Message.WParamHi() == QC_SKINREMOVED || Message.WParamHi() == QC_REFRESH))
        DroppedButton = nullptr;
      if (Message.WParamHi() == QC_REFRESH && IsOwnManager(Message, SkinData)) {
        MarkSkinChanged();
        RedrawAfterSkinCommand(RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
        return;
      }
      if (Message.WParamHi() == QC_GETCACHE) {
        // The bar's children see its image, from the client area's place on.
        const TPoint co = ClientOffset();
        SharedCacheInfo = SkinData->CacheBmp && !SkinData->CacheBmp->Empty()
                              ? BuildCacheInfo(SkinData->CacheBmp, co.X, co.Y)
                              : TsCacheInfo{};
        return;
      }
      break;
    case WM_ERASEBKGND: Message.Result = 1; return;
    case WM_NCPAINT:
      PaintFrame(nullptr);
      Message.Result = 0;
      return;
    case WM_PRINT: PrintBar(Message); return;
    case CN_NOTIFY:
      Notified(Message);
      if (!*alive) return;
      break;
    default: break;
  }
  TacMainWnd::HandleMessage(Message);
  if (!*alive) return;
  switch (msg) {
    case WM_SIZE: RedrawWindow(WndHandle, nullptr, nullptr, RDW_INVALIDATE); break;
    case WM_MOUSEMOVE: TrackHot(Point(short(LOWORD(Message.LParam)), short(HIWORD(Message.LParam)))); break;
    case CN_DROPDOWNCLOSED:
      if (DroppedButton) {
        HotIndex = -1;
        const int index = DroppedButton->Index();
        DroppedButton = nullptr;
        RepaintButton(index);
      }
      break;
    case CM_MOUSELEAVE:
      if (ToolBar && !ToolBar->ComponentState().Contains(csDesigning) && !ToolBar->Dragging() && HotIndex >= 0) {
        const int old = HotIndex;
        HotIndex = -1;
        if (old < ToolBar->ButtonCount() && !ToolBar->Buttons(old)->Down()) RepaintButton(old);
      }
      break;
    default: break;
  }
}
