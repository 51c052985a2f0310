// The button adapters: push buttons, bitmap buttons, check boxes and radio buttons, group boxes.
#include "skin/windows/acSBUtils/ButtonAdapters.h"

#include <algorithm>

#include "classlib/Buttons.h"
#include "skin/engine/sQuorvexGraph.h"
#include "skin/engine/sStyleSimply.h"
#include "skin/windows/acSBUtils/Internal.h"

using namespace acsb;

namespace {

LONG_PTR StyleOf(HWND wnd) { return GetWindowLongPtrA(wnd, GWL_STYLE); }
UINT ButtonType(HWND wnd) { return UINT(StyleOf(wnd) & BS_TYPEMASK); }
LRESULT ButtonStateOf(HWND wnd) { return SendMessageA(wnd, BM_GETSTATE, 0, 0); }

const TsGeneralData* SectionOf(TsCommonData* sd) {
  TsSkinManager* sm = sd ? sd->SkinManager() : nullptr;
  return sm && sm->IsSectionIndex(sd->SkinIndex) ? &sm->Section(sd->SkinIndex) : nullptr;
}

// The parent's image (or colour) copied over R of the cache: what shows around a group box's caption.
void FillFromParent(TBitmap* cache, const TRect& r, const TsCacheInfo& ci, TPoint pos, TColor color) {
  if (r.IsEmpty()) return;
  if (ci.Ready && ci.Bmp && !ci.Bmp->Empty()) {
    BitmapDC src(ci.Bmp), dst(cache);
    if (src && dst) {
      BitBlt(dst, r.Left, r.Top, r.Width(), r.Height(), src, ci.X + pos.X + r.Left, ci.Y + pos.Y + r.Top, SRCCOPY);
      return;
    }
  }
  FillBmpRect(cache, r, color);
}

}  // namespace

// ---- TacBtnWnd --------------------------------------------------------------------------------------

bool TacBtnWnd::Pushed() const { return (ButtonStateOf(WndHandle) & BST_PUSHED) != 0; }

bool TacBtnWnd::IsDefaultButton() const { return ButtonType(WndHandle) == BS_DEFPUSHBUTTON; }

int TacBtnWnd::ButtonState() {
  if (Pushed()) return 2;
  if (!IsWindowEnabled(WndHandle)) return 0;
  if (GetFocus() == WndHandle || (DefaultManager && DefaultManager->HotWindow() == WndHandle) || IsDefaultButton())
    return 1;
  return 0;
}

void TacBtnWnd::HandleMessage(TMessage& Message) {
  if (!SkinOn()) {
    TacMainWnd::HandleMessage(Message);
    return;
  }
  const HWND wnd = WndHandle;
  auto alive = AliveToken();
  switch (Message.Msg) {
    case SM_QUORVEXCMD: {
      const int cmd = Message.WParamHi();
      if ((cmd == QC_MOUSEENTERWND || cmd == QC_MOUSELEAVEWND) && SkinData->MouseAbove != (cmd == QC_MOUSEENTERWND)) {
        SkinData->MouseAbove = cmd == QC_MOUSEENTERWND;
        RepaintNow();
        if (!*alive) return;
      }
      break;
    }
    case WM_PAINT:
      if (!Skinned) ApplySkinColors();
      ButtonPaint(HDC(Message.WParam));
      return;
    case WM_PRINT: ButtonPaint(HDC(Message.WParam)); return;
    case WM_ERASEBKGND:
    case WM_NCPAINT:
    case WM_UPDATEUISTATE: Message.Result = 1; return;
    case WM_MOVE:
      if (const TsGeneralData* gd = SectionOf(SkinData);
          gd && (gd->Transparency > 0 || (gd->HotTransparency > 0 && IsHot()))) {
        RepaintNow();
        if (!*alive) return;
      }
      break;
    case WM_SETFOCUS:
      if (!IsWindowEnabled(wnd)) return;  // a disabled button takes no focus look
      ChangeFocus(Message, true);
      return;
    case WM_KILLFOCUS:
      if (!IsWindowEnabled(wnd)) break;
      ChangeFocus(Message, false);
      return;
    case WM_ENABLE:
    case WM_SETTEXT:
    case BM_SETSTATE:
      if (!IsWindowVisible(wnd)) break;
      ChangeState(Message);
      return;
    default: break;
  }
  TacMainWnd::HandleMessage(Message);
  if (*alive && Message.Msg == WM_MOUSEMOVE) FollowPointer();
}

void TacBtnWnd::ChangeState(TMessage& Message) {
  if (!PassOnUnseen(Message)) return;
  if (Message.Msg == WM_SETTEXT) ReadCaption();
  RepaintNow();
}

void TacBtnWnd::ChangeFocus(TMessage& Message, bool Focused) {
  if (!PassOnUnseen(Message)) return;
  SkinData->Focused = Focused;
  RepaintNow();
}

void TacBtnWnd::FollowPointer() {
  if (!DefaultManager || DefaultManager->ComponentState().Contains(csDesigning) || !IsWindowEnabled(WndHandle)) return;
  POINT p{};
  RECT r{};
  GetCursorPos(&p);
  GetWindowRect(WndHandle, &r);
  if (PtInRect(&r, p))
    TakeHotWindow();
  else if (DefaultManager->HotWindow() == WndHandle)
    DefaultManager->SetHotWindow(nullptr);
}

void TacBtnWnd::ButtonPaint(HDC Given) {
  UpdateRects();
  auto alive = AliveToken();
  PaintScope paint(WndHandle, Given);
  if (!*alive || AskUpdating()) return;
  ClientDC dc(WndHandle, Given);
  if (!dc) return;
  SkinData->BGChanged = true;
  PaintButton();
  if (*alive) CopyCacheTo(dc);
}

void TacBtnWnd::PaintButton() {
  const TsCacheInfo ci = AskParentCacheWnd(WndHandle);
  SharedParentColor = clParentColorUnset;
  if (ci.Ready && !SkinData->RepaintIfMoved() && ParentWnd) {
    SendSkinCommand(ParentWnd, QC_GETPARENTCOLOR);
    if (SharedParentColor != clParentColorUnset) SharedParentColor = TColor(ColorToRGB(SharedParentColor));
  }
  TBitmap* cache = SizeCache();
  const int state = ButtonState();
  PaintControlItem(SkinData, ci, true, state, Rect(0, 0, WndSize.cx, WndSize.cy), WndPos, cache, false);
  FillBorderCorners(SkinData, state, this);
  DrawCaption();
  DrawGlyph();
  if (!IsWindowEnabled(WndHandle)) DimDisabled(cache, ci);
  SharedParentColor = clParentColorUnset;
  SharedCacheInfo = TsCacheInfo{};
  SkinData->BGChanged = false;
}

void TacBtnWnd::DrawCaption() {
  TCanvas* canvas = SkinData->CacheBmp->Canvas();
  UseWindowFont(canvas);
  TRect r = CaptionRect();
  // Captions wrap within the button (a single-line button's too long caption as well).
  DrawCaptionText(r, DT_CENTER | DT_EXPANDTABS | DT_WORDBREAK);
  const TsGeneralData* gd = SectionOf(SkinData);
  if (IsWindowEnabled(WndHandle) && (ButtonStateOf(WndHandle) & BST_FOCUS) && !Caption.empty() && gd && gd->ShowFocus) {
    r.Inflate(1, 1);
    DrawFocusDots(canvas, r);
  }
}

void TacBtnWnd::DrawCaptionText(TRect R, UINT Flags) {
  TCanvas* canvas = SkinData->CacheBmp->Canvas();
  canvas->Brush()->SetStyle(bsClear);
  WriteControlText(canvas, Caption, true, R, Flags, SkinData, ButtonState() != 0);
}

TRect TacBtnWnd::CaptionRect() {
  const TSize s = TextSize();
  const int x = (WndSize.cx - s.cx) / 2, y = (WndSize.cy - s.cy) / 2;
  TRect r = Rect(x - 1, y, WndSize.cx - x + 2, WndSize.cy - y);
  if (Pushed()) r.Offset(1, 1);
  return r;
}

int TacBtnWnd::MaxTextWidth() {
  if (Caption.empty()) return 0;
  const TSize g = GlyphSize();
  return WndSize.cx - 2 - (g.cx != 0 ? g.cx + 2 : 0);
}

TSize TacBtnWnd::TextSize() {
  TRect r = Rect(0, 0, MaxTextWidth(), 0);
  TCanvas* canvas = SkinData->CacheBmp->Canvas();
  UseWindowFont(canvas);
  DrawTextStr(canvas->Handle(), Caption, r, DT_CENTER | DT_EXPANDTABS | DT_CALCRECT | DT_NOPREFIX | DT_WORDBREAK);
  return TSize{r.Width(), r.Height()};
}

// ---- TacBitBtnWnd -----------------------------------------------------------------------------------

TBitBtn* TacBitBtnWnd::BitBtn() const { return dynamic_cast<TBitBtn*>(SkinData->OwnerControl); }

TSize TacBitBtnWnd::GlyphSize() {
  if (TBitBtn* b = BitBtn()) {
    TBitmap* g = b->Glyph();
    if (!g || g->Empty()) return TSize{};
    return TSize{g->Width() / std::max(b->NumGlyphs(), 1), g->Height()};
  }
  // The image's own size (GetObject): a bitmap's dimension field is only what a program set.
  if (auto bmp = reinterpret_cast<HBITMAP>(SendMessageA(WndHandle, BM_GETIMAGE, IMAGE_BITMAP, 0))) {
    BITMAP info{};
    if (GetObjectA(bmp, sizeof info, &info) == int(sizeof info)) return TSize{info.bmWidth, info.bmHeight};
  }
  if (auto icon = reinterpret_cast<HICON>(SendMessageA(WndHandle, BM_GETIMAGE, IMAGE_ICON, 0))) {
    ICONINFO ii{};
    if (GetIconInfo(icon, &ii)) {
      GdiObject<HBITMAP> mask(ii.hbmMask), color(ii.hbmColor);
      BITMAP info{};
      GetObjectA(color ? color.Get() : mask.Get(), sizeof info, &info);
      return TSize{info.bmWidth, color ? info.bmHeight : info.bmHeight / 2};
    }
  }
  return TSize{};
}

int TacBitBtnWnd::MaxTextWidth() {
  TBitBtn* b = BitBtn();
  if (!b) return TacBtnWnd::MaxTextWidth();
  if (Caption.empty()) return 0;
  const TSize g = GlyphSize();
  const bool beside = b->Layout() == blGlyphLeft || b->Layout() == blGlyphRight;
  return b->Width() - 2 * b->Margin() - (g.cy > 0 && beside ? g.cx + b->Spacing() : 0);
}

TRect TacBitBtnWnd::CaptionRect() {
  TBitBtn* b = BitBtn();
  const TSize g = GlyphSize();
  if (!b) {
    TRect r = TacBtnWnd::CaptionRect();
    if (g.cx != 0) r.Offset(g.cx / 2 + 1, 0);
    return r;
  }
  TPoint glyphPos{};
  TRect text{};
  CalcGlyphTextLayout(Rect(0, 0, WndSize.cx, WndSize.cy), g, TextSize(), b->Layout(), taCenter, b->Margin(),
                      b->Spacing(), glyphPos, text, 0);
  if (Pushed()) text.Offset(1, 1);
  return text;
}

TRect TacBitBtnWnd::GlyphRect() {
  const TSize g = GlyphSize();
  const int p = Pushed() ? 1 : 0;
  if (TBitBtn* b = BitBtn()) {
    // Where the bitmap button's own layout puts the glyph beside its caption.
    TPoint glyphPos{};
    TRect text{};
    CalcGlyphTextLayout(Rect(0, 0, WndSize.cx, WndSize.cy), g, TextSize(), b->Layout(), taCenter, b->Margin(),
                        b->Spacing(), glyphPos, text, 0);
    return Rect(glyphPos.X + p, glyphPos.Y + p, glyphPos.X + p + g.cx, glyphPos.Y + p + g.cy);
  }
  if (g.cx == 0) return TRect{};
  const int right = CaptionRect().Left - 2;
  const int top = p + (WndSize.cy - g.cy) / 2;
  return Rect(right - g.cx, top, right, top + g.cy);
}

void TacBitBtnWnd::DrawGlyph() {
  TBitmap* cache = SkinData->CacheBmp;
  const TRect r = GlyphRect();
  if (r.IsEmpty()) return;
  if (TBitBtn* b = BitBtn()) {
    TBitmap* glyph = b->Glyph();
    if (!glyph || glyph->Empty()) return;
    // The frames the bitmap button itself shows: up, disabled, down (the first when it has no such
    // frame).
    const int n = std::max(b->NumGlyphs(), 1);
    int frame = 0;
    if (!IsWindowEnabled(WndHandle) && n > 1)
      frame = 1;
    else if (Pushed() && n > 2)
      frame = 2;
    // The owner's glyph stays as it is: a 24-bit copy is drawn.
    TBitmap copy;
    copy.Assign(glyph);
    copy.SetPixelFormat(pf24bit);
    const TColor key = copy.Canvas()->Pixels(0, 0);
    const int w = r.Width();
    CopyTransparentRect(cache, &copy, r.Left, r.Top, Rect(frame * w, 0, frame * w + w, r.Height()), key, EmptyCacheInfo,
                        false);
    return;
  }
  BitmapDC dst(cache);
  if (!dst) return;
  if (auto bmp = reinterpret_cast<HBITMAP>(SendMessageA(WndHandle, BM_GETIMAGE, IMAGE_BITMAP, 0))) {
    MemoryDC src(dst, bmp);
    BitBlt(dst, r.Left, r.Top, r.Width(), r.Height(), src, 0, 0, SRCCOPY);
  } else if (auto icon = reinterpret_cast<HICON>(SendMessageA(WndHandle, BM_GETIMAGE, IMAGE_ICON, 0))) {
    DrawIconEx(dst, r.Left, r.Top, icon, r.Width(), r.Height(), 0, nullptr, DI_NORMAL);
  }
}

// ---- TacCheckBoxWnd ---------------------------------------------------------------------------------

void TacCheckBoxWnd::HandleMessage(TMessage& Message) {
  if (!SkinOn()) {
    TacMainWnd::HandleMessage(Message);
    return;
  }
  const HWND wnd = WndHandle;
  auto alive = AliveToken();
  switch (Message.Msg) {
    case SM_QUORVEXCMD:
      if (Message.WParamHi() == QC_MOUSEENTERWND || Message.WParamHi() == QC_MOUSELEAVEWND) {
        SkinData->MouseAbove = Message.WParamHi() == QC_MOUSEENTERWND;
        RepaintNow();
        if (!*alive) return;
      }
      break;
    case WM_PAINT: CheckPaint(HDC(Message.WParam)); return;
    case WM_PRINT: CheckPaint(HDC(Message.WParam)); return;
    case WM_NCPAINT:
    case WM_ERASEBKGND: return;
    case WM_ENABLE:
    case BM_SETCHECK:
    case BM_SETSTATE:
    case WM_SETTEXT:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      // The box draws its new state itself; held back, the skin draws it.
      if (!IsWindowVisible(wnd)) break;
      if (!PassOnUnseen(Message)) return;
      if (Message.Msg == WM_SETTEXT) ReadCaption();
      RepaintNow();
      return;
    default: break;
  }
  TacMainWnd::HandleMessage(Message);
  if (!*alive) return;
  if (Message.Msg == WM_KEYDOWN && Message.WParam == VK_SPACE) RepaintNow();
  if (Message.Msg == WM_NCHITTEST && IsWindowEnabled(wnd)) TakeHotWindow();
}

void TacCheckBoxWnd::CheckPaint(HDC Given) {
  UpdateRects();
  auto alive = AliveToken();
  PaintScope paint(WndHandle, Given);
  if (!*alive || AskUpdating()) return;
  if (!Given && !IsWindowVisible(WndHandle)) return;
  ClientDC dc(WndHandle, Given);
  if (!dc) return;
  SkinData->BGChanged = true;
  PaintCheckBox();
  if (*alive) CopyCacheTo(dc);
}

int TacCheckBoxWnd::GlyphMask() {
  TsSkinManager* sm = SkinData->SkinManager();
  const LRESULT state = ButtonStateOf(WndHandle);
  const int check = (state & 3) == BST_INDETERMINATE ? 2 : (state & 3) == BST_CHECKED ? 1 : 0;
  // The kind by the button's type field: radio buttons and auto radio buttons get radio glyphs.
  const UINT type = ButtonType(WndHandle);
  const bool radio = type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
  static const char* const boxes[] = {"BOXUNCHECKED", "BOXCHECKED", "BOXGRAYED"};
  static const char* const radios[] = {"RADIOUNCHECKED", "RADIOCHECKED", "BOXGRAYED"};
  return sm->LookupMask(sm->ConstData().GlobalInfo, "GLOBALINFO", (radio ? radios : boxes)[check]);
}

TRect TacCheckBoxWnd::GlyphRect() {
  TsSkinManager* sm = SkinData->SkinManager();
  const int mask = GlyphMask();
  if (!sm->IsMaskIndex(mask) || WndSize.cx < 1) return TRect{};
  const TsMaskData& m = sm->Mask(mask);
  const int w = m.ImageCount > 0 ? m.FrameWidth() : m.R.Width(), h = m.FrameHeight();
  const int x = (StyleOf(WndHandle) & BS_LEFTTEXT) ? WndSize.cx - w : 0;
  const int y = (WndSize.cy - h) / 2;
  return Rect(x, y, x + w, y + h);
}

void TacCheckBoxWnd::PaintCheckBox() {
  TsSkinManager* sm = SkinData->SkinManager();
  const TsCacheInfo ci = AskParentCacheWnd(WndHandle);
  TBitmap* cache = SizeCache();
  TCanvas* canvas = cache->Canvas();
  UseWindowFont(canvas);
  const bool hot = IsHot();
  PaintControlItem(SkinData, ci, true, hot ? 1 : 0, Rect(0, 0, WndSize.cx, WndSize.cy), WndPos, cache, true);
  const LONG_PTR style = StyleOf(WndHandle);
  const LRESULT state = ButtonStateOf(WndHandle);
  if (!Caption.empty()) {
    // The room of the checked glyph (16 x 16 without one) is kept beside the text.
    const int radio = ButtonType(WndHandle) == BS_RADIOBUTTON || ButtonType(WndHandle) == BS_AUTORADIOBUTTON;
    const int checked = sm->LookupMask(sm->ConstData().GlobalInfo, "GLOBALINFO", radio ? "RADIOCHECKED" : "BOXCHECKED");
    const int gw = sm->IsMaskIndex(checked) ? sm->Mask(checked).FrameWidth() : 16;
    const int tw = WndSize.cx - (gw + 2);
    const bool multi = (style & BS_MULTILINE) != 0;
    TRect text = Rect(0, 0, tw, 0);
    DrawTextStr(canvas->Handle(), Caption, text, DT_CALCRECT | (multi ? DT_WORDBREAK : DT_SINGLELINE));
    const int y = std::max((WndSize.cy - text.Height()) / 2, 0);
    TRect r;
    if (!(style & BS_LEFTTEXT)) {
      const int x = WndSize.cx - tw + 2;
      r = Rect(x, y, x + text.Width(), WndSize.cy - y);
      r.Offset(multi ? -1 : 0, -1);
    } else {
      r = Rect(2, y, text.Width() + 2, WndSize.cy - y);
    }
    canvas->Brush()->SetStyle(bsClear);
    WriteControlText(canvas, Caption, true, r, (multi ? 0 : DT_SINGLELINE) | DT_CENTER | DT_WORDBREAK, SkinData, hot);
    canvas->Pen()->SetStyle(psClear);
    canvas->Brush()->SetStyle(bsSolid);
    if (state & BST_FOCUS) {
      r.Inflate(1, 0);
      DrawFocusDots(canvas, r);
    }
  }
  const TRect g = GlyphRect();
  if (!g.IsEmpty()) {
    const int glyphState = (state & BST_PUSHED) ? 2 : (hot || GetFocus() == WndHandle) ? 1 : 0;
    PaintMaskImage(cache, g.TopLeft(), glyphState, 1, sm->Mask(GlyphMask()), sm);
  }
  if (!IsWindowEnabled(WndHandle)) DimDisabled(cache, ci);
  SharedCacheInfo = TsCacheInfo{};
  SkinData->BGChanged = false;
}

// ---- TacGroupBoxWnd ---------------------------------------------------------------------------------

void TacGroupBoxWnd::ForgetOpaque() {
  if (!SkinData->OwnerControl) return;
  TControlStyle cs = SkinData->OwnerControl->ControlStyle();
  cs.Exclude(csOpaque);
  SkinData->OwnerControl->SetControlStyle(cs);
}

void TacGroupBoxWnd::HandleMessage(TMessage& Message) {
  if (IsWindowTreeCommand(Message)) {
    // The group box's own answer: the adapter base passes the command on to what lies inside it.
    if (Message.WParamHi() == QC_SKINREMOVED && SkinOn()) ForgetOpaque();
    TacMainWnd::HandleMessage(Message);
    return;
  }
  if (!SkinOn()) {
    TacMainWnd::HandleMessage(Message);
    return;
  }
  const HWND wnd = WndHandle;
  auto alive = AliveToken();
  switch (Message.Msg) {
    case SM_QUORVEXCMD:
      if (Message.WParamHi() == QC_GETSKINMANAGER) {
        // A group box answers QC_GETSKINMANAGER with the height of its caption band.
        UpdateRects();
        SizeCache();
        UseWindowFont(SkinData->CacheBmp->Canvas());
        Message.Result = CaptionRect().Height();
        return;
      }
      break;
    case WM_ERASEBKGND:
      if (DialogMode) break;
      // Erased inside the group box's own paint: painted there.
      if (!InPaint_) GroupPaint(HDC(Message.WParam));
      Message.Result = 1;
      return;
    case WM_PAINT: {
      if (DialogMode && !PassOn(Message)) return;
      InPaint_ = true;
      {
        PaintScope paint(wnd, HDC(Message.WParam));
        if (!*alive) return;
        GroupPaint(HDC(Message.WParam));
      }
      if (*alive) InPaint_ = false;
      return;
    }
    case WM_NCPAINT:
      if (!DialogMode) break;
      GroupPaint(nullptr);
      return;
    case WM_PRINT:
      if (DialogMode) {
        // The box as the system prints it, the skin's frame and caption over it.
        if (PassOn(Message)) GroupPaint(HDC(Message.WParam));
        return;
      }
      SkinData->BGChanged = true;
      GroupPaint(HDC(Message.WParam));
      Message.Result = 0;
      return;
    case WM_MOVE:
    case WM_SIZE: SkinData->BGChanged = true; break;
    case WM_ENABLE:
    case WM_SETTEXT:
      // The box draws its new look itself; held back, the skin draws it.
      if (!IsWindowVisible(wnd)) break;
      if (!PassOnUnseen(Message)) return;
      if (Message.Msg == WM_SETTEXT) ReadCaption();
      SkinData->BGChanged = true;
      RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
      return;
    default: break;
  }
  TacMainWnd::HandleMessage(Message);
  if (*alive && Message.Msg == WM_PARENTNOTIFY && LoWord(Message.WParam) == WM_CREATE && SkinData->OwnerControl)
    AnnounceToParentForm(SkinData->OwnerControl);
}

TRect TacGroupBoxWnd::CaptionRect() {
  if (Caption.empty()) return Rect(6, 0, 14, 4);
  TRect r{};
  DrawTextStr(SkinData->CacheBmp->Canvas()->Handle(), Caption, r, DT_CALCRECT | DT_CENTER);
  return Rect(6, 0, std::min(r.Width() + 14, WndSize.cx - 1), std::max(4, r.Height()) + 2);
}

void TacGroupBoxWnd::PaintGroupBox() {
  const TsCacheInfo ci = AskParentCacheWnd(WndHandle);
  TBitmap* cache = SizeCache();
  TCanvas* canvas = cache->Canvas();
  UseWindowFont(canvas);
  const TRect cr = CaptionRect();
  TColor color = clParentColorUnset;
  if (!ci.Ready) {
    if (SkinData->OwnerControl) {
      UpdateParentColor(SkinData->OwnerControl);
      color = SharedParentColor;
    }
    if (color == clParentColorUnset) color = ParentColorOf(WndHandle);
  }
  FillFromParent(cache, Rect(0, 0, WndSize.cx, cr.Height()), ci, WndPos, color);
  const int half = cr.Height() / 2;
  PaintControlItem(SkinData, ci, false, 0, Rect(0, half, WndSize.cx, WndSize.cy), TPoint{WndPos.X, WndPos.Y + half},
                   cache, true);
  if (!Caption.empty()) {
    FillFromParent(cache, cr, ci, WndPos, color);
    canvas->Brush()->SetStyle(bsClear);
    UseWindowFont(canvas);
    TRect text = cr;
    WriteControlText(canvas, Caption, IsWindowEnabled(WndHandle) != FALSE, text, DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                     SkinData, false);
  }
  SharedParentColor = clParentColorUnset;
  SharedCacheInfo = TsCacheInfo{};
  SkinData->BGChanged = false;
}

void TacGroupBoxWnd::GroupPaint(HDC DC) {
  UpdateRects();
  if (AskUpdating()) return;
  auto alive = AliveToken();
  {
    WindowDC dc(WndHandle, DC);
    if (!dc) return;
    PaintGroupBox();
    SavedDC saved(dc);
    const TRect all = Rect(0, 0, WndSize.cx, WndSize.cy);
    if (DialogMode) {
      // Only the frame band and the caption: the dialog paints what lies inside.
      TsSkinManager* sm = SkinData->SkinManager();
      const int mask = SkinData->BorderIndex;
      const bool m = sm->IsMaskIndex(mask);
      ExcludeClipRect(dc, m ? sm->MaskMarginLeft(mask) : 2, CaptionRect().Height(),
                      WndSize.cx - (m ? sm->MaskMarginRight(mask) : 2),
                      WndSize.cy - (m ? sm->MaskMarginBottom(mask) : 2));
    } else if (!DC) {
      // Windows of the same parent that lie on the box (the controls of a dialog's group) keep
      // their own look.
      for (HWND s = GetWindow(GetWindow(WndHandle, GW_HWNDFIRST), GW_HWNDFIRST); s; s = GetWindow(s, GW_HWNDNEXT)) {
        if (s == WndHandle || !IsWindowVisible(s)) continue;
        RECT sr{};
        GetWindowRect(s, &sr);
        RECT inter{};
        const RECT mine{WndRect.Left, WndRect.Top, WndRect.Right, WndRect.Bottom};
        if (!IntersectRect(&inter, &sr, &mine) || EqualRect(&inter, &mine)) continue;
        ExcludeClipRect(dc, inter.left - WndRect.Left, inter.top - WndRect.Top, inter.right - WndRect.Left,
                        inter.bottom - WndRect.Top);
      }
    }
    CopyCacheExcludingChildWnds(WndHandle, SkinData, all, all, dc, true, 0, 0);
    if (auto* owner = dynamic_cast<TWinControl*>(SkinData->OwnerControl)) PaintGraphicChildren(dc, owner, TPoint{});
  }
  if (*alive) RepaintChildWindows(WndHandle);
}

// ---- The button kinds of the control adapter ----------------------------------------------------------

namespace {

const bool kButtonKinds = RegisterKindAdapter(tkButton, &MakeAdapter<TacBtnWnd>) &&
                          RegisterKindAdapter(tkBitBtn, &MakeAdapter<TacBitBtnWnd>) &&
                          RegisterKindAdapter(tkCheckBox, &MakeAdapter<TacCheckBoxWnd>) &&
                          RegisterKindAdapter(tkGroupBox, &MakeAdapter<TacGroupBoxWnd>);

}  // namespace
