// The button adapters: push buttons, bitmap buttons, check boxes and radio buttons, group boxes.
#include "skin/windows/acSBUtils/ButtonAdapters.h"

#include <algorithm>

#include "classlib/Buttons.h"
#include "skin/engine/core/acPaintUtils.h"
#include "skin/engine/sQuorvexGraph.h"
#include "skin/engine/sStyleSimply.h"
#include "skin/windows/acSBUtils/Internal.h"

using namespace acsb;

namespace {

LONG_PTR StyleOf(HWND wnd) { return GetWindowLongPtrA(wnd, GWL_STYLE); }
UINT ButtonType(HWND wnd) { return UINT(StyleOf(wnd) & BS_TYPEMASK); }
LRESULT ButtonStateOf(HWND wnd) { return SendMessageA(wnd, BM_GETSTATE, 0, 0); }

// A check box or radio button that looks like a push button.
bool IsPushLike(HWND wnd) {
  switch (ButtonType(wnd)) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: return (StyleOf(wnd) & BS_PUSHLIKE) != 0;
    default: return false;
  }
}

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

bool TacBtnWnd::Pushed() const {
  const LRESULT state = ButtonStateOf(WndHandle);
  if (state & BST_PUSHED) return true;
  // A push-like check box or radio button stays down while it is checked.
  return (state & (BST_CHECKED | BST_INDETERMINATE)) && IsPushLike(WndHandle);
}

bool TacBtnWnd::IsDefaultButton() const {
  const UINT type = ButtonType(WndHandle);
  return type == BS_DEFPUSHBUTTON || type == BS_DEFSPLITBUTTON || type == BS_DEFCOMMANDLINK;
}

bool TacBtnWnd::IsSplitButton() const {
  const UINT type = ButtonType(WndHandle);
  return type == BS_SPLITBUTTON || type == BS_DEFSPLITBUTTON;
}

bool TacBtnWnd::IsCommandLink() const {
  const UINT type = ButtonType(WndHandle);
  return type == BS_COMMANDLINK || type == BS_DEFCOMMANDLINK;
}

TRect TacBtnWnd::SplitRect() {
  if (!IsSplitButton() || WndSize.cx <= 0) return TRect{};
  BUTTON_SPLITINFO info{};
  info.mask = BCSIF_SIZE | BCSIF_STYLE;
  int width = 0;
  bool left = false;
  if (SendMessageA(WndHandle, BCM_GETSPLITINFO, 0, LPARAM(&info))) {
    width = info.size.cx;
    left = (info.uSplitStyle & BCSS_ALIGNLEFT) != 0;
  }
  if (width <= 0) {
    // A window that does not tell: the skin's arrow with a margin on each side.
    TsSkinManager* sm = SkinData->SkinManager();
    const int arrow = sm ? sm->ConstData().ScrollBtnBottom.GlyphMask : -1;
    width = (sm && sm->IsMaskIndex(arrow) ? sm->GetMaskItemSize(arrow).cx : 8) + 8;
  }
  width = std::min(width, WndSize.cx / 2);
  return left ? Rect(0, 0, width, WndSize.cy) : Rect(WndSize.cx - width, 0, WndSize.cx, WndSize.cy);
}

TRect TacBtnWnd::ContentRect() {
  TRect r = Rect(0, 0, WndSize.cx, WndSize.cy);
  const TRect split = SplitRect();
  if (split.IsEmpty()) return r;
  if (split.Left == 0)
    r.Left = split.Right;
  else
    r.Right = split.Left;
  return r;
}

int TacBtnWnd::ButtonState() {
  if (Pushed()) return 2;
  if (!IsWindowEnabled(WndHandle)) return 0;
  if (GetFocus() == WndHandle || (DefaultManager && DefaultManager->HotWindow() == WndHandle) || IsDefaultButton())
    return 1;
  return 0;
}

void TacBtnWnd::HandleMessage(TMessage& Message) {
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
    case BM_SETCHECK:  // a push-like check box
    case BM_SETIMAGE:
    case BCM_SETNOTE:
    case BCM_SETSPLITINFO:
    case BCM_SETDROPDOWNSTATE:
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
  if (IsCommandLink()) {
    DrawCommandLink();
    return;
  }
  DrawSplitPart();
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

void TacBtnWnd::DrawSplitPart() {
  const TRect r = SplitRect();
  if (r.IsEmpty()) return;
  TsSkinManager* sm = SkinData->SkinManager();
  TBitmap* cache = SkinData->CacheBmp;
  const LRESULT state = ButtonStateOf(WndHandle);
  const bool enabled = IsWindowEnabled(WndHandle) != FALSE;
  // The divider in the caption's colour, inside the frame; none for a part that does not split.
  BUTTON_SPLITINFO info{};
  info.mask = BCSIF_STYLE;
  const bool whole = SendMessageA(WndHandle, BCM_GETSPLITINFO, 0, LPARAM(&info)) && (info.uSplitStyle & BCSS_NOSPLIT);
  if (!whole) {
    const int x = r.Left == 0 ? r.Right - 1 : r.Left;
    const TColor ink = SectionTextColor(SkinData->SkinIndex, enabled, ButtonState() != 0, sm);
    if (ink != clNone) FillBmpRect(cache, Rect(x, 4, x + 1, WndSize.cy - 4), ink);
  }
  // The skin's down arrow, pressed while the part is.
  const int arrow = sm->ConstData().ScrollBtnBottom.GlyphMask;
  if (!sm->IsMaskIndex(arrow)) return;
  const TSize g = sm->GetMaskItemSize(arrow);
  const int arrowState = (state & BST_DROPDOWNPUSHED) ? 2 : ButtonState();
  const int down = (state & BST_DROPDOWNPUSHED) ? 1 : 0;
  PaintMaskImageByIndex(cache, Point(r.Left + (r.Width() - g.cx) / 2 + down, (WndSize.cy - g.cy) / 2 + down),
                        arrowState, 1, arrow, sm);
}

std::string TacBtnWnd::Note() const {
  const LRESULT length = SendMessageA(WndHandle, BCM_GETNOTELENGTH, 0, 0);
  if (length <= 0 || length > (1 << 20)) return {};
  std::wstring wide(std::size_t(length) + 1, L'\0');
  DWORD size = DWORD(wide.size());
  if (!SendMessageW(WndHandle, BCM_GETNOTE, WPARAM(&size), LPARAM(wide.data()))) return {};
  const int n = int(std::wcslen(wide.c_str()));
  const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
  std::string note(std::size_t(std::max(bytes, 0)), '\0');
  if (bytes > 0) WideCharToMultiByte(CP_ACP, 0, wide.data(), n, note.data(), bytes, nullptr, nullptr);
  return note;
}

void TacBtnWnd::DrawCommandLink() {
  TsSkinManager* sm = SkinData->SkinManager();
  TBitmap* cache = SkinData->CacheBmp;
  TCanvas* canvas = cache->Canvas();
  const int p = Pushed() ? 1 : 0;
  const int state = ButtonState();
  const bool enabled = IsWindowEnabled(WndHandle) != FALSE;
  // The arrow at the top left, where the system puts its own: the skin's right arrow.
  const int margin = 8;
  int left = margin + 16 + margin;
  const int arrow = sm->ConstData().ScrollBtnRight.GlyphMask;
  if (sm->IsMaskIndex(arrow)) {
    const TSize g = sm->GetMaskItemSize(arrow);
    PaintMaskImageByIndex(cache, Point(margin + p, margin + 2 + p), state, 1, arrow, sm);
    left = margin + g.cx + margin;
  }
  // The caption in the window's font made bold, the note under it in the window's own font.
  canvas->Brush()->SetStyle(bsClear);
  UseWindowFont(canvas);
  canvas->Font()->SetStyle(TFontStyles{fsBold});
  TRect caption = Rect(left + p, margin + p, WndSize.cx - margin + p, WndSize.cy - margin + p);
  TRect measured = caption;
  DrawTextStr(canvas->Handle(), Caption, measured, DT_LEFT | DT_WORDBREAK | DT_CALCRECT | DT_NOPREFIX);
  WriteControlText(canvas, Caption, enabled, caption, DT_LEFT | DT_WORDBREAK, SkinData, state != 0);
  UseWindowFont(canvas);
  if (const std::string note = Note(); !note.empty()) {
    TRect r = Rect(left + p, measured.Bottom + 2, WndSize.cx - margin + p, WndSize.cy - 2);
    WriteControlText(canvas, note, enabled, r, DT_LEFT | DT_WORDBREAK | DT_END_ELLIPSIS, SkinData, state != 0);
  }
  const TsGeneralData* gd = SectionOf(SkinData);
  if (enabled && (ButtonStateOf(WndHandle) & BST_FOCUS) && gd && gd->ShowFocus) {
    TRect r = Rect(2, 2, WndSize.cx - 2, WndSize.cy - 2);
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
  // Centred in the button, beside a split button's arrow part.
  const TRect c = ContentRect();
  const int x = (c.Width() - s.cx) / 2, y = (WndSize.cy - s.cy) / 2;
  TRect r = Rect(c.Left + x - 1, y, c.Right - x + 2, WndSize.cy - y);
  if (Pushed()) r.Offset(1, 1);
  return r;
}

int TacBtnWnd::MaxTextWidth() {
  if (Caption.empty()) return 0;
  const TSize g = GlyphSize();
  return ContentRect().Width() - 2 - (g.cx != 0 ? g.cx + 2 : 0);
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
  // The image's own size: a bitmap's dimension field is only what a program set.
  bool isBitmap = false;
  const HANDLE image = Image(isBitmap);
  if (!image) return TSize{};
  if (isBitmap) {
    BITMAP info{};
    if (GetObjectA(image, sizeof info, &info) == int(sizeof info)) return TSize{info.bmWidth, info.bmHeight};
    return TSize{};
  }
  ICONINFO ii{};
  if (!GetIconInfo(static_cast<HICON>(image), &ii)) return TSize{};
  GdiObject<HBITMAP> mask(ii.hbmMask), color(ii.hbmColor);
  BITMAP info{};
  GetObjectA(color ? color.Get() : mask.Get(), sizeof info, &info);
  return TSize{info.bmWidth, color ? info.bmHeight : info.bmHeight / 2};
}

HANDLE TacBitBtnWnd::Image(bool& IsBitmap) const {
  IsBitmap = false;
  // Asked for the kind the style names first; what comes back is taken by its own type.
  const bool iconFirst = (StyleOf(WndHandle) & BS_ICON) != 0;
  for (const WPARAM kind :
       {iconFirst ? WPARAM(IMAGE_ICON) : WPARAM(IMAGE_BITMAP), iconFirst ? WPARAM(IMAGE_BITMAP) : WPARAM(IMAGE_ICON)}) {
    if (auto image = reinterpret_cast<HANDLE>(SendMessageA(WndHandle, BM_GETIMAGE, kind, 0))) {
      IsBitmap = GetObjectType(image) == OBJ_BITMAP;
      return image;
    }
  }
  return nullptr;
}

bool TacBitBtnWnd::ImageOnly() const { return !BitBtn() && (StyleOf(WndHandle) & (BS_BITMAP | BS_ICON)) != 0; }

void TacBitBtnWnd::DrawCaption() {
  if (!ImageOnly()) TacBtnWnd::DrawCaption();
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
  const int top = p + (WndSize.cy - g.cy) / 2;
  if (ImageOnly()) {
    // The image alone, centred as the window centres it.
    const int left = p + (WndSize.cx - g.cx) / 2;
    return Rect(left, top, left + g.cx, top + g.cy);
  }
  const int right = CaptionRect().Left - 2;
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
  bool isBitmap = false;
  const HANDLE image = Image(isBitmap);
  if (!image) return;
  if (isBitmap) {
    MemoryDC src(dst, static_cast<HBITMAP>(image));
    if (src) BitBlt(dst, r.Left, r.Top, r.Width(), r.Height(), src, 0, 0, SRCCOPY);
  } else {
    DrawIconEx(dst, r.Left, r.Top, static_cast<HICON>(image), r.Width(), r.Height(), 0, nullptr, DI_NORMAL);
  }
}

// ---- TacCheckBoxWnd ---------------------------------------------------------------------------------

void TacCheckBoxWnd::HandleMessage(TMessage& Message) {
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

void TacGroupBoxWnd::BeforeSkinChange(int Command) {
  if (Command == QC_SKINREMOVED && SkinOn()) ForgetOpaque();
}

void TacGroupBoxWnd::AfterSkinChange(int Command) {
  if (Command == QC_SKINREMOVED && IsWindow(WndHandle)) ShowParentUnder(WndHandle);
}

void TacGroupBoxWnd::HandleMessage(TMessage& Message) {
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
    const bool enabled = IsWindowEnabled(WndHandle) != FALSE;
    const UINT flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (ci.Ready) {
      WriteControlText(canvas, Caption, enabled, text, flags, SkinData, false);
    } else {
      // On the colour of a parent that is not skinned the caption takes a colour that stands out
      // on it (a light skin's text on a light window would not be read).
      const TColor section = SectionTextColor(SkinData->SkinIndex, true, false, SkinData->SkinManager());
      TColor ink =
          TColor(qv::InkOn(COLORREF(ColorToRGB(section != clNone ? section : clBtnText)), COLORREF(ColorToRGB(color))));
      if (!enabled) ink = MixColors(ink, color, 0.4);
      const HDC dc = canvas->Handle();
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, COLORREF(ColorToRGB(ink)));
      DrawTextStr(dc, Caption, text, flags);
    }
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
