// Skinned scroll bars: their sizes, their rectangles and the room they take in the frame, and how
// they are painted from the skin sections.
#include "skin/windows/acSBUtils.h"

#include <algorithm>
#include <memory>

#include "skin/engine/sQuorvexGraph.h"
#include "skin/engine/sStyleSimply.h"
#include "skin/windows/acSBUtils/Internal.h"
#include "skin/windows/core/acScrollGeometry.h"

namespace acsb {

TsSkinManager* ManagerOf(const TacMainWnd* a) {
  if (!a) return nullptr;
  if (a->SkinManager) return a->SkinManager;
  return a->SkinData ? a->SkinData->SkinManager() : nullptr;
}

qv::TScrollRange RangeOf(const SCROLLINFO& si) {
  return qv::TScrollRange{si.nMin, si.nMax, si.nPage, si.nPos, si.nTrackPos};
}

void ReadScrollInfo(TacScrollBar* bar, HWND wnd) {
  bar->ScrollInfo.cbSize = sizeof(SCROLLINFO);
  bar->ScrollInfo.fMask = SIF_ALL;
  if (!GetScrollInfo(wnd, bar->BarKind == 0 ? SB_HORZ : SB_VERT, &bar->ScrollInfo)) {
    bar->ScrollInfo.nMin = bar->ScrollInfo.nMax = bar->ScrollInfo.nPos = bar->ScrollInfo.nTrackPos = 0;
    bar->ScrollInfo.nPage = 0;
  }
}

TRect WindowRectOf(HWND wnd) {
  RECT r{};
  GetWindowRect(wnd, &r);
  return FromRECT(r);
}

qv::TBarFrame FrameOf(TacScrollWnd* a, HWND wnd) {
  qv::TBarFrame f;
  f.Window = WindowRectOf(wnd);
  f.BorderLeft = a->BorderLeft;
  f.BorderTop = a->BorderTop;
  f.BorderRight = a->BorderRight;
  f.BorderBottom = a->BorderBottom;
  f.HorzVisible = a->HorzBar && a->HorzBar->ScrollVisible;
  f.VertVisible = a->VertBar && a->VertBar->ScrollVisible;
  f.HorzThickness = a->HorzBar ? GetScrollBarSize(a->HorzBar, true, false) : 0;
  f.VertThickness = a->VertBar ? GetScrollBarSize(a->VertBar, true, false) : 0;
  f.LeftScrollBar = a->LeftScrollBar;
  return f;
}

TRect BarScreenRect(TacScrollBar* bar, HWND wnd) {
  TRect r{};
  if (!bar || !bar->Owner) return r;
  if (bar->BarKind == 0)
    GetHorzBarRect(bar->Owner, wnd, r);
  else
    GetVertBarRect(bar->Owner, wnd, r);
  return r;
}

bool SizeGripShowsFor(TacScrollWnd* a, HWND wnd, const TRect& box) {
  HWND parent = GetParent(wnd);
  int level = 0;
  if (parent) level = GetParent(parent) ? 2 : 1;
  TRect client{};
  if (level == 1) {
    RECT cr{};
    GetClientRect(parent, &cr);
    POINT tl{cr.left, cr.top}, br{cr.right, cr.bottom};
    ClientToScreen(parent, &tl);
    ClientToScreen(parent, &br);
    client = Rect(tl.x, tl.y, br.x, br.y);
  }
  return qv::SizeGripShows(level, box, client, a->BorderLeft, a->BorderRight, a->BorderBottom, a->LeftScrollBar);
}

// Asks the window for the image its frame is painted over (QC_GETCACHE to the window itself).
TsCacheInfo AskOwnCache(TacScrollWnd* a, HWND wnd) {
  SharedCacheInfo = TsCacheInfo{};
  SendSkinCommand(wnd, QC_GETCACHE);
  TsCacheInfo ci = SharedCacheInfo;
  ci.X = 0;
  ci.Y = 0;
  if (ci.Ready && a) {
    const TPoint off = a->BarCacheOffset();
    ci.X = off.X;
    ci.Y = off.Y;
  }
  if (ci.Ready && (!ci.Bmp || ci.Bmp->Empty())) ci.Ready = false;
  return ci;
}

namespace {

// A 24-bit bitmap owned by the caller.
std::unique_ptr<TBitmap> Bmp24(int w, int h) {
  return std::unique_ptr<TBitmap>(CreateBmp24(std::max(w, 0), std::max(h, 0)));
}

void CopyBmp(TBitmap* dst, int x, int y, TBitmap* src) {
  BitmapDC d(dst), s(src);
  if (d.Get() && s.Get()) BitBlt(d.Get(), x, y, src->Width(), src->Height(), s.Get(), 0, 0, SRCCOPY);
}

// A button or the thumb: the section over the bar image, then the glyph frame of the state centred.
void PaintScrollPart(TBitmap* barBmp, const TRect& partRect, const TacSectionIndexes& ix, int state,
                     TsSkinManager* sm) {
  const int w = partRect.Width(), h = partRect.Height();
  if (w <= 0 || h <= 0 || !sm->IsSectionIndex(ix.Section)) return;
  const auto part = Bmp24(w, h);
  const TsCacheInfo ci = BuildCacheInfo(barBmp, partRect.Left, partRect.Top);
  PaintSectionItemByIndexes(ix.Section, ix.Mask, ix.Pattern, ix.HotPattern, ci, true, state, Rect(0, 0, w, h), TPoint{},
                            part.get(), sm);
  if (sm->IsMaskIndex(ix.GlyphMask)) {
    const TsMaskData& m = sm->Mask(ix.GlyphMask);
    const int gw = qv::SafeFrameWidth(m.R.Width(), m.ImageCount);
    const int gh = qv::SafeFrameHeight(m.R.Height(), m.MaskType);
    if (gw > 0 && gh > 0)
      PaintMaskImageByIndex(part.get(), TPoint{(w - gw) / 2, (h - gh) / 2}, state, 0, ix.GlyphMask, sm);
  }
  CopyBmp(barBmp, partRect.Left, partRect.Top, part.get());
}

struct TBarSections {
  const TacSectionIndexes* Bar1;
  const TacSectionIndexes* Bar2;
  const TacSectionIndexes* Btn1;
  const TacSectionIndexes* Btn2;
  const TacSectionIndexes* Slider;
};

TBarSections SectionsOf(TsSkinManager* sm, bool vertical) {
  const TacConstData& cd = sm->ConstData();
  if (vertical) return {&cd.ScrollBar1V, &cd.ScrollBar2V, &cd.ScrollBtnTop, &cd.ScrollBtnBottom, &cd.ScrollSliderV};
  return {&cd.ScrollBar1H, &cd.ScrollBar2H, &cd.ScrollBtnLeft, &cd.ScrollBtnRight, &cd.ScrollSliderH};
}

// Rectangles along the axis of a bar image W x H (vertical: the axis is Y).
TRect AxisRect(bool vertical, int from, int to, int across) {
  return vertical ? Rect(0, from, across, to) : Rect(from, 0, to, across);
}

// The bar image: halves split at Split, arrows Btn long in their states, the thumb (when ThumbLen
// is above 0) at ThumbStart in its state. Coordinates inside the bar.
void PaintBarImage(TBitmap* bmp, TsSkinManager* sm, bool vertical, const TsCacheInfo& ci, const TPoint& barPos,
                   int length, int across, int btn, int split, int state1, int state2, int arrow1, int arrow2,
                   int thumbStart, int thumbLen, int thumbState) {
  const TBarSections s = SectionsOf(sm, vertical);
  split = std::clamp(split, 0, length);
  const TRect h1 = AxisRect(vertical, 0, split, across);
  const TRect h2 = AxisRect(vertical, split, length, across);
  auto half = [&](const TacSectionIndexes* ix, const TRect& r, int st) {
    if (r.IsEmpty() || !sm->IsSectionIndex(ix->Section)) return;
    TsCacheInfo c = ci;
    if (c.Ready) {
      c.X += barPos.X;
      c.Y += barPos.Y;
    }
    PaintSectionItemByIndexes(ix->Section, ix->Mask, ix->Pattern, ix->HotPattern, c, true, st, r, r.TopLeft(), bmp, sm);
  };
  half(s.Bar1, h1, state1);
  half(s.Bar2, h2, state2);
  PaintScrollPart(bmp, AxisRect(vertical, 0, btn, across), *s.Btn1, arrow1, sm);
  PaintScrollPart(bmp, AxisRect(vertical, length - btn, length, across), *s.Btn2, arrow2, sm);
  if (thumbLen > 0)
    PaintScrollPart(bmp, AxisRect(vertical, thumbStart, thumbStart + thumbLen, across), *s.Slider, thumbState, sm);
}

// The dragged bar: the thumb pressed where the pointer holds it (ScrollState.TrackedThumb), the
// halves split at its middle, the arrows normal. R: the bar, window-relative.
void PaintTrackedBar(TacScrollBar* bar, HWND wnd, HDC dc, const TRect& r, TsSkinManager* sm) {
  const bool vertical = bar->BarKind == 1;
  const int length = vertical ? r.Height() : r.Width();
  const int across = vertical ? r.Width() : r.Height();
  const int t = ScrollState.TrackedThumb - (vertical ? r.Top : r.Left);
  const int btn = GetScrollBarSize(bar, false, true);
  const auto bmp = Bmp24(r.Width(), r.Height());
  const TsCacheInfo ci = AskOwnCache(bar->Owner, wnd);
  PaintBarImage(bmp.get(), sm, vertical, ci, r.TopLeft(), length, across, btn, t + ScrollState.ThumbSize / 2, 0, 0, 0,
                0, t, ScrollState.ThumbSize, 2);
  BitmapDC src(bmp.get());
  if (dc && src) BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), src, 0, 0, SRCCOPY);
}

// The bar's scroll information as last read (ScrollInfo) differs from the state it was last painted
// with.
bool InfoDiffers(const TacScrollBar* bar) {
  const SCROLLINFO& now = bar->ScrollInfo;
  const SCROLLINFO& shown = bar->Shown;
  return shown.cbSize == 0 || now.nMin != shown.nMin || now.nMax != shown.nMax || now.nPage != shown.nPage ||
         now.nPos != shown.nPos;
}

void NoteShown(TacScrollBar* bar, bool enabled) {
  bar->Shown = bar->ScrollInfo;
  bar->ShownEnabled = enabled;
}

// The corner box between the two bars: the window's image under it (or the skin's hot colour),
// with the size grip where it shows. Box: screen coordinates.
void PaintCornerBox(TacScrollWnd* a, HWND wnd, HDC dc, const TRect& box) {
  TsSkinManager* sm = ManagerOf(a);
  const TRect wr = WindowRectOf(wnd);
  const auto bmp = Bmp24(box.Width(), box.Height());
  TRect local = box;
  local.Offset(-wr.Left, -wr.Top);
  const TsCacheInfo ci = AskOwnCache(a, wnd);
  if (ci.Ready) {
    BitmapDC d(bmp.get()), s(ci.Bmp);
    if (d && s) BitBlt(d, 0, 0, box.Width(), box.Height(), s, local.Left + ci.X, local.Top + ci.Y, SRCCOPY);
  } else if (sm && sm->Skin()) {
    FillBmpRect(bmp.get(), Rect(0, 0, box.Width(), box.Height()), sm->GetGlobalHotColor());
  }
  if (sm && sm->Skin() && SizeGripShowsFor(a, wnd, box)) {
    const int gi = sm->SectionIndexOf("GLOBALINFO");
    const int grip = gi >= 0 ? sm->LookupMask(gi, "GLOBALINFO", "GRIPIMAGE") : -1;
    if (sm->IsMaskIndex(grip)) {
      const TsMaskData& m = sm->Mask(grip);
      const int gw = qv::SafeFrameWidth(m.R.Width(), m.ImageCount);
      const int gh = qv::SafeFrameHeight(m.R.Height(), m.MaskType);
      if (gw > 0 && gh > 0)
        PaintMaskImageByIndex(bmp.get(), TPoint{box.Width() - gw, box.Height() - gh}, 0, 0, grip, sm);
    }
  }
  BitmapDC src(bmp.get());
  if (src) BitBlt(dc, local.Left, local.Top, box.Width(), box.Height(), src, 0, 0, SRCCOPY);
}

// The bars asked for (and the corner box) on DC, or on the window's DC when it is 0; nothing while
// the skin data says the window must not paint.
LRESULT PaintBars(TacScrollWnd* a, HWND wnd, HDC DC, bool horz, bool vert, bool box) {
  if (!a || !wnd) return 0;
  TsCommonData* sd = a->SkinData;
  if (sd) {
    sd->SetUpdating(sd->Updating());
    if (sd->UpdatingFlag()) return 0;
    if (TControl* c = sd->OwnerControl) {
      if (c->ControlState().Contains(csCreating) || !c->Showing()) return 0;
    }
    if (sd->BGChanged) {
      auto alive = a->AliveToken();
      SendSkinCommand(wnd, QC_PREPAREFADE);
      if (!*alive) return 0;
    }
  }
  WindowDC dc(wnd, DC);
  if (!dc) return 0;
  const TRect wr = WindowRectOf(wnd);
  for (TacScrollBar* bar : {horz ? a->HorzBar : nullptr, vert ? a->VertBar : nullptr}) {
    if (!bar || !bar->ScrollVisible) continue;
    TRect r = BarScreenRect(bar, wnd);
    r.Offset(-wr.Left, -wr.Top);
    PaintScrollBar(bar, wnd, dc, ScrollState.PressedBar == bar->BarKind ? ScrollState.PressedPart : -1, r);
  }
  const TRect corner = qv::CornerBoxRect(FrameOf(a, wnd));
  if (box && !corner.IsEmpty()) PaintCornerBox(a, wnd, dc, corner);
  return 0;
}

}  // namespace

void RepaintBar(TacScrollBar* bar, HWND wnd, int part) {
  if (!bar || !bar->Owner) return;
  TRect r = BarScreenRect(bar, wnd);
  const TRect wr = WindowRectOf(wnd);
  r.Offset(-wr.Left, -wr.Top);
  WindowDC dc(wnd);
  PaintScrollBar(bar, wnd, dc.Get(), part, r);
}

TacScrollBar* BarOfKind(TacScrollWnd* a, int kind) {
  if (!a) return nullptr;
  return kind == 0 ? a->HorzBar : kind == 1 ? a->VertBar : nullptr;
}

bool IsDraggedBar(const TacScrollBar* bar, HWND wnd) {
  return bar->Owner && bar->Owner->ThumbTracking && ScrollState.CurrentScrollWnd == wnd &&
         ScrollState.PressedBar == bar->BarKind;
}

}  // namespace acsb

using namespace acsb;

int GetScrollBarSize(TacScrollBar* Bar, bool Thickness, bool UseSkin) {
  if (!Bar || Bar->BarKind > 1) return 0;
  if (Thickness) {
    if (Bar->Thickness >= 0) return Bar->Thickness;
    return -Bar->Thickness * GetSystemMetrics(Bar->BarKind == 0 ? SM_CYHSCROLL : SM_CXVSCROLL);
  }
  if (Bar->ArrowLength >= 0) return Bar->ArrowLength;
  if (UseSkin) {
    TsSkinManager* sm = ManagerOf(Bar->Owner);
    if (sm && sm->Skin()) {
      const int left = sm->SectionIndexOf("SCROLLBTNLEFT");
      const int leftMask = left >= 0 ? sm->LookupMask(left, "SCROLLBTNLEFT", "BORDERSMASK") : -1;
      if (left >= 0 && sm->Section(left).ReservedBoolean && sm->IsMaskIndex(leftMask)) {
        int size = -1;
        if (Bar->BarKind == 0) {
          const TsMaskData& m = sm->Mask(leftMask);
          size = qv::SafeFrameWidth(m.R.Width(), m.ImageCount);
        } else {
          const int top = sm->SectionIndexOf("SCROLLBTNTOP");
          const int topMask = top >= 0 ? sm->LookupMask(top, "SCROLLBTNTOP", "BORDERSMASK") : -1;
          if (sm->IsMaskIndex(topMask)) {
            const TsMaskData& m = sm->Mask(topMask);
            size = qv::SafeFrameHeight(m.R.Height(), m.MaskType);
          }
        }
        if (size >= 0) return std::max(size, qv::DefaultArrowLength) * -Bar->ArrowLength;
      }
    }
  }
  return -Bar->ArrowLength * qv::DefaultArrowLength;
}

bool IsScrollBarEnabled(TacScrollBar* Bar) {
  if (!Bar || !Bar->Owner) return false;
  const HWND wnd = Bar->Owner->WndHandle;
  // A bar the window does not have is never used (and asking for it costs a round trip under Wine).
  if (!(GetWindowLongPtrA(wnd, GWL_STYLE) & (Bar->BarKind == 0 ? WS_HSCROLL : WS_VSCROLL))) return false;
  SCROLLBARINFO sbi{};
  sbi.cbSize = sizeof(sbi);
  if (!GetScrollBarInfo(wnd, Bar->BarKind == 0 ? OBJID_HSCROLL : OBJID_VSCROLL, &sbi)) return false;
  if (sbi.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) return false;
  // Some systems mark only the two arrows when the whole bar is disabled (ESB_DISABLE_BOTH).
  return !((sbi.rgstate[1] & STATE_SYSTEM_UNAVAILABLE) && (sbi.rgstate[5] & STATE_SYSTEM_UNAVAILABLE));
}

void GetHorzBarRect(TacScrollWnd* Adapter, HWND Wnd, TRect& R) { R = qv::HorzBarRect(FrameOf(Adapter, Wnd)); }
void GetVertBarRect(TacScrollWnd* Adapter, HWND Wnd, TRect& R) { R = qv::VertBarRect(FrameOf(Adapter, Wnd)); }

// ---- Painting ----------------------------------------------------------------------------------------

int PaintScrollBar(TacScrollBar* Bar, HWND Wnd, HDC DC, int APressedPart, const TRect& R) {
  if (!Bar || !Bar->Owner) return 0;
  TacScrollWnd* a = Bar->Owner;
  const bool vertical = Bar->BarKind == 1;
  if ((vertical && a->ScrollFlag) || !Bar->ScrollVisible) return 0;
  TsSkinManager* sm = ManagerOf(a);
  if (!sm || !sm->Skin()) return 0;
  const TBarSections s = SectionsOf(sm, vertical);
  if (!sm->IsSectionIndex(s.Bar1->Section)) return 0;
  const int length = vertical ? R.Height() : R.Width();
  const int across = vertical ? R.Width() : R.Height();
  if (length < 2 || across <= 0) return 0;
  ReadScrollInfo(Bar, Wnd);

  const int btn = GetScrollBarSize(Bar, false, true);
  const int channel = length - 2 * btn;
  bool enabled = IsScrollBarEnabled(Bar);
  // Painted on the screen (not into a printing DC): the state the screen shows now.
  if (DC && WindowFromDC(DC) == Wnd) NoteShown(Bar, enabled);
  if (a->SkinData && a->SkinData->OwnerControl) enabled = enabled && a->SkinData->OwnerControl->Enabled();
  if (IsDraggedBar(Bar, Wnd)) {
    PaintTrackedBar(Bar, Wnd, DC, R, sm);
    return 1;
  }

  int arrow1 = 0, arrow2 = 0;
  if (Wnd != ScrollState.CurrentScrollWnd) {
    APressedPart = -1;
  } else {
    const bool hotBar = ScrollState.HotBar == Bar->BarKind && enabled;
    arrow1 = APressedPart == 0 ? 2 : (hotBar && ScrollState.HotPart == 0 ? 1 : 0);
    arrow2 = APressedPart == 1 ? 2 : (hotBar && ScrollState.HotPart == 1 ? 1 : 0);
  }
  const qv::TScrollRange range = RangeOf(Bar->ScrollInfo);
  const qv::TThumb thumb = qv::CalcThumb(0, length, btn, range, Bar->MinThumbSize);

  const auto bmp = Bmp24(R.Width(), R.Height());
  const TsCacheInfo ci = AskOwnCache(a, Wnd);
  if (2 * btn >= length) {
    const int half = length / 2;
    PaintBarImage(bmp.get(), sm, vertical, ci, R.TopLeft(), length, across, half, half, 0, 0, arrow1, arrow2, 0, 0, 0);
  } else {
    const bool drawThumb = enabled && qv::ThumbDrawable(range, channel, Bar->MinThumbSize);
    const int thumbState = (ScrollState.HotPart == qv::sbpThumb && ScrollState.HotBar == Bar->BarKind && enabled &&
                            Wnd == ScrollState.CurrentScrollWnd)
                               ? 1
                               : 0;
    PaintBarImage(bmp.get(), sm, vertical, ci, R.TopLeft(), length, across, btn, thumb.Size / 2 + thumb.Pos,
                  APressedPart == 2 ? 2 : 0, APressedPart == 3 ? 2 : 0, arrow1, arrow2, thumb.Pos,
                  drawThumb ? thumb.Size : 0, thumbState);
  }
  if (!enabled) {
    const TsCacheInfo c2 = AskOwnCache(a, Wnd);
    if (c2.Ready) {
      const TRect src = Bounds(R.Left + c2.X, R.Top + c2.Y, R.Width(), R.Height());
      BlendRectKeyed(bmp.get(), 0, 0, c2.Bmp, src, 0.4, TColor(0xFF000000));
    } else {
      BlendColorRect(bmp.get(), Rect(0, 0, R.Width(), R.Height()), 60, TColor(sm->Section(s.Bar1->Section).Color));
    }
  }
  BitmapDC src(bmp.get());
  if (DC && src.Get()) BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), src.Get(), 0, 0, SRCCOPY);
  return 1;
}

LRESULT PaintScrollBars(TacScrollWnd* Adapter, HWND Wnd, HDC DC) {
  return PaintBars(Adapter, Wnd, DC, true, true, true);
}

void RepaintChangedBars(TacScrollWnd* Adapter, bool EnabledMayChange) {
  if (!Adapter || Adapter->ScrollFlag || !Adapter->HorzBar || !Adapter->VertBar || !Adapter->WndHandle) return;
  const HWND wnd = Adapter->WndHandle;
  bool changed[2] = {};
  bool enabled[2] = {};
  for (TacScrollBar* bar : {Adapter->HorzBar, Adapter->VertBar}) {
    const int kind = bar->BarKind;
    if (!bar->ScrollVisible) continue;  // a bar that takes no room is not painted, nor read
    ReadScrollInfo(bar, wnd);
    const bool moved = InfoDiffers(bar);
    // The bar's state is read only when it can have changed: with its range or position, or by what
    // the message did to the window.
    enabled[kind] = moved || EnabledMayChange ? IsScrollBarEnabled(bar) : bar->ShownEnabled;
    changed[kind] = moved || enabled[kind] != bar->ShownEnabled;
  }
  if (!changed[0] && !changed[1]) return;
  auto alive = Adapter->AliveToken();
  PaintBars(Adapter, wnd, nullptr, changed[0], changed[1], false);
  if (!*alive) return;
  // Whatever held the painting back repaints the whole frame when it ends (a skin, an update, the
  // window shown): the state counts as shown.
  for (TacScrollBar* bar : {Adapter->HorzBar, Adapter->VertBar})
    if (changed[bar->BarKind]) NoteShown(bar, enabled[bar->BarKind]);
}

LRESULT ScrollNCCalcSize(TacScrollWnd* Adapter, HWND Wnd, WPARAM WParam, LPARAM LParam) {
  auto* rp = reinterpret_cast<RECT*>(LParam);
  if (!rp) {
    LPARAM lp = LParam;
    return CallPrevProc(Adapter, Wnd, WM_NCCALCSIZE, WParam, lp);
  }
  const TRect old = FromRECT(*rp);
  const LONG_PTR style = GetWindowLongPtrA(Wnd, GWL_STYLE);
  const LONG_PTR bars = style & (WS_HSCROLL | WS_VSCROLL);
  auto alive = Adapter->AliveToken();
  LRESULT result;
  LPARAM lp = LParam;
  if (bars) {
    // What the window computes from: the rectangles (and the position record) it may change.
    NCCALCSIZE_PARAMS given{};
    if (WParam)
      given = *reinterpret_cast<NCCALCSIZE_PARAMS*>(LParam);
    else
      given.rgrc[0] = *rp;
    Adapter->StyleChanging = true;
    SetWindowLongPtrA(Wnd, GWL_STYLE, style & ~bars);
    result = CallPrevProc(Adapter, Wnd, WM_NCCALCSIZE, WParam, lp);
    // The styles come back whatever happened meanwhile: a window must never lose its bars.
    SetWindowLongPtrA(Wnd, GWL_STYLE, GetWindowLongPtrA(Wnd, GWL_STYLE) | bars);
    if (!*alive) {
      // The adapter left during the computation: the window computes its frame again, with the
      // room for its own bars.
      if (WParam)
        *reinterpret_cast<NCCALCSIZE_PARAMS*>(LParam) = given;
      else
        *rp = given.rgrc[0];
      auto proc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Wnd, GWLP_WNDPROC));
      return proc ? CallWindowProcA(proc, Wnd, WM_NCCALCSIZE, WParam, LParam) : result;
    }
    Adapter->StyleChanging = false;
  } else {
    result = CallPrevProc(Adapter, Wnd, WM_NCCALCSIZE, WParam, lp);
    if (!*alive) return result;
  }
  Adapter->FrameSkinned = true;
  TRect r = FromRECT(*rp);
  Adapter->BorderLeft = r.Left - old.Left;
  Adapter->BorderRight = old.Right - r.Right;
  Adapter->BorderTop = r.Top - old.Top;
  Adapter->BorderBottom = old.Bottom - r.Bottom;
  if (!Adapter->HorzBar || !Adapter->VertBar) return result;
  Adapter->HorzBar->ScrollFlags = (style & WS_HSCROLL) ? 8 : 0;
  Adapter->VertBar->ScrollFlags = (style & WS_VSCROLL) ? 8 : 0;
  const qv::TBarRoom room = qv::TakeBarRoom(r, Adapter->HorzBar->ScrollFlags != 0, Adapter->VertBar->ScrollFlags != 0,
                                            GetScrollBarSize(Adapter->HorzBar, true, false),
                                            GetScrollBarSize(Adapter->VertBar, true, false), Adapter->LeftScrollBar);
  Adapter->HorzBar->ScrollVisible = room.HorzVisible;
  Adapter->VertBar->ScrollVisible = room.VertVisible;
  *rp = RECT{r.Left, r.Top, r.Right, r.Bottom};
  return result;
}

LRESULT ScrollStyleChanged(TacScrollWnd* Adapter, HWND Wnd, WPARAM WParam, LPARAM LParam) {
  if (Adapter->StyleChanging) return 0;
  if (WParam == WPARAM(GWL_EXSTYLE) && LParam) {
    const auto* ss = reinterpret_cast<const STYLESTRUCT*>(LParam);
    Adapter->LeftScrollBar = (ss->styleNew & WS_EX_LEFTSCROLLBAR) != 0;
  }
  LPARAM lp = LParam;
  return CallPrevProc(Adapter, Wnd, WM_STYLECHANGED, WParam, lp);
}
