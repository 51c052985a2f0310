#include "skin/controls/sTrackBar.h"

#include <utility>
#include <vector>

#include "classlib/GdiScopes.h"
#include "classlib/core/TypInfo.h"
#include "skin/controls/core/acBarGeometry.h"
#include "skin/engine/PressedState.h"
#include "skin/engine/sStyleSimply.h"

namespace {

// Rows (upside down) or columns (left to right) of an image reversed.
void Mirror(const qv::TImageView& v, bool LeftToRight) {
  if (LeftToRight) {
    for (int y = 0; y < v.Height; ++y)
      for (int x = 0; x < v.Width / 2; ++x) {
        const qv::TBgr a = v.Pixel(x, y);
        v.SetPixel(x, y, v.Pixel(v.Width - 1 - x, y));
        v.SetPixel(v.Width - 1 - x, y, a);
      }
    return;
  }
  for (int y = 0; y < v.Height / 2; ++y)
    for (int x = 0; x < v.Width; ++x) {
      const qv::TBgr a = v.Pixel(x, y);
      v.SetPixel(x, y, v.Pixel(x, v.Height - 1 - y));
      v.SetPixel(x, v.Height - 1 - y, a);
    }
}

void CopyRect(const qv::TImageView& dst, int dx, int dy, const qv::TImageView& src, int sx, int sy, int w, int h) {
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int tx = dx + x, ty = dy + y, fx = sx + x, fy = sy + y;
      if (tx < 0 || ty < 0 || tx >= dst.Width || ty >= dst.Height) continue;
      if (fx < 0 || fy < 0 || fx >= src.Width || fy >= src.Height) continue;
      dst.SetPixel(tx, ty, src.Pixel(fx, fy));
    }
}

// The frames of a thumb image stretched to W x H each (the image half and the mask half apart).
qv::TImage24 StretchFrames(const qv::TMaskFrames& f, int W, int H) {
  const int count = std::max(f.ImageCount, 1), halves = f.MaskType + 1;
  const int fw = f.R.Width() / count, fh = f.R.Height() / halves;
  qv::TImage24 out(W * count, H * halves);
  if (fw <= 0 || fh <= 0 || W <= 0 || H <= 0) return out;
  const qv::TImageView v = out.View();
  for (int half = 0; half < halves; ++half)
    for (int i = 0; i < count; ++i)
      for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
          const int sx = f.R.Left + i * fw + x * fw / W, sy = f.R.Top + half * fh + y * fh / H;
          if (sx < f.Image.Width && sy < f.Image.Height) v.SetPixel(i * W + x, half * H + y, f.Image.Pixel(sx, sy));
        }
  return out;
}

}  // namespace

TsTrackBar::TsTrackBar(TComponent* AOwner) : TacSkinnedControl<TTrackBar>(AOwner, tcTrackBar, true) {
  ControlStyle_.Exclude(csOpaque);
  SetThumbLength(23);
}

void TsTrackBar::SetDisabledKind(TsDisabledKind Value) {
  if (FDisabledKind == Value) return;
  FDisabledKind = Value;
  FSkinData->Invalidate();
}

void TsTrackBar::SetShowFocus(bool Value) {
  if (FShowFocus == Value) return;
  FShowFocus = Value;
  FSkinData->Invalidate();
}

// ---- geometry -------------------------------------------------------------------------------------------

TRect TsTrackBar::ThumbRect() {
  TRect r{};
  if (HandleAllocated()) SendMessageA(Handle_, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&r));
  return r;
}

TRect TsTrackBar::ChannelRect() {
  TRect r{};
  if (HandleAllocated()) SendMessageA(Handle_, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&r));
  return qv::ChannelInOrientation(r, Vertical());
}

int TsTrackBar::TickCount() { return HandleAllocated() ? int(SendMessageA(Handle_, TBM_GETNUMTICS, 0, 0)) : 0; }

int TsTrackBar::TickPos(int Index) {
  return HandleAllocated() ? int(SendMessageA(Handle_, TBM_GETTICPOS, WPARAM(Index), 0)) : -1;
}

std::vector<int> TsTrackBar::TickPositions() {
  const TRect channel = ChannelRect(), thumb = ThumbRect();
  const int count = TickCount();
  const bool v = Vertical();
  const int start = v ? channel.Top : channel.Left, end = v ? channel.Bottom : channel.Right;
  const int thumbLength = v ? thumb.Height() : thumb.Width();
  if (TickStyle() == tsManual) {
    // The values of the ticks between the first and the last, in one message; their places from
    // the system's places of two of them (a message a tick cost seconds for 10,000 of them).
    std::vector<int> manual;
    const int between = count - 2;
    const auto* values = between > 0 && HandleAllocated()
                             ? reinterpret_cast<const DWORD*>(SendMessageA(Handle_, TBM_GETPTICS, 0, 0))
                             : nullptr;
    if (values) {
      const std::vector<int> v(values, values + between);
      manual = qv::ManualTickPositions(v, v.front(), TickPos(0), v.back(), TickPos(between - 1));
    }
    return qv::TickPositions(qv::TTickSpacing::Manual, count, start, end, thumbLength, manual);
  }
  return qv::TickPositions(qv::TTickSpacing::Automatic, count, start, end, thumbLength);
}

int TsTrackBar::ThumbState() {
  if (ControlState_.Contains(csLButtonDown)) return 2;
  return FSkinData->IsHot() ? 1 : 0;
}

bool TsTrackBar::OverThumb() {
  if (!HandleAllocated()) return false;
  POINT p{};
  GetCursorPos(&p);
  ::ScreenToClient(Handle_, &p);
  return ThumbRect().Contains(Point(p.x, p.y));
}

// ---- the cache ----------------------------------------------------------------------------------------------

void TsTrackBar::PrepareCache() {
  const TsCacheInfo ci = BeginPrepareCache(this, FSkinData);
  PaintBody(ci);
  ApplyDisabledIfNeeded(this, FSkinData, FDisabledKind);
  EndPrepareCache(FSkinData);
}

void TsTrackBar::PaintBody(const TsCacheInfo& Parent) {
  PaintControlItem(FSkinData, Parent, true, FSkinData->IsHot() ? 1 : 0, Rect(0, 0, Width_, Height_), Point(Left_, Top_),
                   FSkinData->CacheBmp, true);
  if (FShowFocus && (Focused() || ControlState_.Contains(csLButtonDown))) {
    TRect r = ClientRect();
    r.Inflate(-1, -1);
    DrawFocusDots(FSkinData->CacheBmp->Canvas(), r);
  }
  PaintChannel();
  PaintThumb();
}

void TsTrackBar::PaintChannel() {
  TsSkinManager* sm = FSkinData->SkinManager();
  const TRect channel = ChannelRect();
  const int mask = sm->LookupMask(FSkinData->SkinIndex, FSkinData->SkinSection(), "SLIDERCHANNEL");
  if (sm->IsMaskIndex(mask)) {
    const TSize frame = sm->GetMaskItemSize(mask);
    const TRect band = qv::ChannelBand(channel, Vertical(), (Vertical() ? frame.cx : frame.cy) - 1);
    PaintMaskRectByIndex(FSkinData->CacheBmp, band, true, BuildCacheInfo(FSkinData->CacheBmp), mask,
                         FSkinData->IsHot() ? 1 : 0, true, sm);
  }
  if (TickStyle() != tsNone) PaintTicks(channel);
}

void TsTrackBar::PaintTicks(const TRect& Channel) {
  const TRect thumb = ThumbRect();
  const bool v = Vertical();
  const int offset = qv::TickOffset(v ? thumb.Width() : thumb.Height(), v ? Channel.Width() : Channel.Height());
  const bool before = TickMarks() == tmTopLeft || TickMarks() == tmBoth;
  const bool after = TickMarks() == tmBottomRight || TickMarks() == tmBoth;
  std::vector<TPoint> marks;
  for (int t : TickPositions()) {
    if (before)
      marks.push_back(v ? Point(Channel.Left - offset - FTickLength, t) : Point(t, Channel.Top - offset - FTickLength));
    if (after) marks.push_back(v ? Point(Channel.Right + offset, t) : Point(t, Channel.Bottom + offset));
  }
  TsSkinManager* sm = FSkinData->SkinManager();
  const int mask = sm->LookupMask(FSkinData->SkinIndex, FSkinData->SkinSection(), v ? "TICKVERT" : "TICKHORZ");
  if (!sm->IsMaskIndex(mask)) {
    // Etched marks.
    const BitmapDC dc(FSkinData->CacheBmp);
    for (const TPoint& p : marks) {
      TRect r = v ? Bounds(p.X, p.Y, FTickLength, 2) : Bounds(p.X, p.Y, 2, FTickLength);
      int width = 1;
      PaintFrame3D(dc, r, clBtnShadow, clWhite, width);
    }
    return;
  }
  // The tick image centred on each tick along the bar.
  const TSize frame = sm->GetMaskItemSize(mask);
  const int state = ThumbState();
  for (const TPoint& p : marks)
    PaintMaskImageByIndex(FSkinData->CacheBmp, v ? Point(p.X, p.Y - frame.cy / 2) : Point(p.X - frame.cx / 2, p.Y),
                          state, 0, mask, sm);
}

void TsTrackBar::PaintThumb() {
  TsSkinManager* sm = FSkinData->SkinManager();
  const bool v = Vertical();
  const int mask = sm->LookupMask(FSkinData->SkinIndex, FSkinData->SkinSection(), v ? "SLIDERVMASK" : "SLIDERMASK");
  if (!sm->IsMaskIndex(mask)) return;
  const qv::TMaskFrames frames = MaskFramesOf(sm, mask);
  if (frames.Image.Empty()) return;
  const TRect thumb = ThumbRect();
  if (thumb.IsEmpty()) return;
  const int state = ThumbState();
  const qv::TImageView cache = BmpView(FSkinData->CacheBmp);
  const TSize frame = sm->GetMaskItemSize(mask);
  if (!qv::ThumbImageFits(frame.cx, frame.cy, thumb, v)) {
    // Stretched to the thumb, frame by frame.
    const qv::TImage24 stretched = StretchFrames(frames, thumb.Width(), thumb.Height());
    qv::TMaskFrames f = frames;
    f.Image = stretched.View();
    f.R = Rect(0, 0, stretched.Width(), stretched.Height());
    f.KeyRuns = nullptr;
    qv::PaintMaskImage(cache, thumb.TopLeft(), state, 0, f);
    return;
  }
  if (TickMarks() != tmTopLeft) {
    qv::PaintMaskImage(cache, thumb.TopLeft(), state, 0, frames);
    return;
  }
  // Ticks above (left of) the channel: the image mirrored, pointing at them.
  qv::TImage24 under(thumb.Width(), thumb.Height());
  CopyRect(under.View(), 0, 0, cache, thumb.Left, thumb.Top, thumb.Width(), thumb.Height());
  Mirror(under.View(), v);
  qv::PaintMaskImage(under.View(), Point(0, 0), state, 0, frames);
  Mirror(under.View(), v);
  CopyRect(cache, thumb.Left, thumb.Top, under.View(), 0, 0, thumb.Width(), thumb.Height());
}

void TsTrackBar::PaintToCanvas(HDC DC) {
  if (IsDying(this) || !FSkinData->Skinned()) return;
  if (RefreshUpdating(FSkinData)) return;
  if (FFadeTimer && FFadeTimer->Enabled()) return;
  PrepareCache();
  RepaintAllCacheCorners(FSkinData, FSkinData->IsHot() ? 1 : 0);
  const BitmapDC cache(FSkinData->CacheBmp);
  BitBlt(DC, 0, 0, Width_, Height_, cache, 0, 0, SRCCOPY);
}

void TsTrackBar::PaintWindow(HDC DC) {
  if (!FrameSkinned(this, FSkinData)) {
    TTrackBar::PaintWindow(DC);
    return;
  }
  if (FFadeTimer && FFadeTimer->Enabled()) return;
  const ClientDC dc(Handle_, DC);
  PaintToCanvas(dc);
}

// ---- mouse and focus ----------------------------------------------------------------------------------------

void TsTrackBar::ButtonDown() {
  if (IsDesigning(this) || !Enabled()) return;
  HintsOffWhilePressed(this);
  if (!OverThumb()) {
    StopFade(FFadeTimer);
    return;
  }
  ControlState_.Include(csLButtonDown);
  FSkinData->BGChanged = false;
  FadeOrRepaint(FFadeTimer, FSkinData, false, AnimEventAllowed(aeMouseDown, FAnimatEvents), 1);
}

void TsTrackBar::ButtonUp() {
  if (IsDesigning(this) || !Enabled()) return;
  RestoreHints(this);
  if (!OverThumb()) {
    StopFade(FFadeTimer);
    return;
  }
  ControlState_.Exclude(csLButtonDown);
  FSkinData->BGChanged = false;
  FadeOrRepaint(FFadeTimer, FSkinData, false, AnimEventAllowed(aeMouseUp, FAnimatEvents), 1);
}

bool TsTrackBar::FocusMessage(TMessage& Message, bool Gained) {
  if (IsDesigning(this)) return false;
  auto alive = AliveToken();
  TTrackBar::WndProc(Message);
  if (!*alive || !Enabled()) return true;
  if (Gained) {
    if (FFadeTimer)
      FFadeTimer->FadeStep();
    else
      Repaint();
  } else if (FFadeTimer) {
    StopFade(FFadeTimer);
  }
  return true;
}

// ---- window procedure -------------------------------------------------------------------------------------

void TsTrackBar::AfterSkinChange(int Command) {
  if (Command == QC_SKINREMOVED)
    RecreateWnd();
  else if (!(Command == QC_REFRESH && PrintDC) && !SkinSwitchRunning())
    Repaint();
}

bool TsTrackBar::AnswerAnyState(TMessage& Message) {
  switch (Message.WParamHi()) {
    case QC_PREPAREFADE:
      PrepareCache();
      Message.Result = 0;
      return true;
    case QC_FADEFRAME: Message.Result = 0; return true;
    default: return false;
  }
}

bool TsTrackBar::SkinnedMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: ButtonDown(); return false;
    case WM_LBUTTONUP: ButtonUp(); return false;
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE: RestoreHints(this); return false;
    case WM_PAINT: ControlState_.Include(csCustomPaint); return false;
    case WM_SETFOCUS:
    case CM_ENTER: return FocusMessage(Message, true);
    case WM_KILLFOCUS:
    case CM_EXIT: return FocusMessage(Message, false);
    case WM_ERASEBKGND: Message.Result = 0; return true;
    case WM_PRINT:
      PaintWindow(reinterpret_cast<HDC>(Message.WParam));
      Message.Result = 0;
      return true;
    case CN_HSCROLL:
    case CN_VSCROLL:
      StopFade(FFadeTimer);
      Repaint();
      return false;
    default: return false;
  }
}

void TsTrackBar::AfterInherited(TMessage& Message) {
  switch (Message.Msg) {
    case WM_PAINT: ControlState_.Exclude(csCustomPaint); break;
    case WM_MOVE:
      if (IsDesigning(this)) Repaint();
      break;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE: {
      if (!IsOwnEnterLeave(Message, this) || IsDesigning(this) || ControlState_.Contains(csLButtonDown)) break;
      const bool enter = Message.Msg == CM_MOUSEENTER;
      FSkinData->MouseAbove = enter;
      FSkinData->BGChanged = false;
      FadeOrRepaint(FFadeTimer, FSkinData, false, AnimEventAllowed(enter ? aeMouseEnter : aeMouseLeave, FAnimatEvents),
                    1);
      break;
    }
    default: break;
  }
}

void TsTrackBar::WndProc(TMessage& Message) {
  auto alive = AliveToken();
  TacSkinnedControl<TTrackBar>::WndProc(Message);
  // The user moved the thumb (by mouse or keys): the system tells only of moves it made itself.
  if (*alive && (Message.Msg == CN_HSCROLL || Message.Msg == CN_VSCROLL)) OnUserChange(this);
}

namespace {
const bool kTrackBarProps = RegisterProperties<TsTrackBar, TTrackBar>([](auto& p) {
  p.Obj("SkinData", &TsTrackBar::SkinData);
  p.Set("AnimatEvents", &TsTrackBar::AnimatEvents, &TsTrackBar::SetAnimatEvents,
        {"aeMouseEnter", "aeMouseLeave", "aeMouseDown", "aeMouseUp", "aeGlobalDef"});
  p.Set("DisabledKind", &TsTrackBar::DisabledKind, &TsTrackBar::SetDisabledKind, {"dkBlended", "dkGrayed"});
  p.Ord("ShowFocus", &TsTrackBar::ShowFocus, &TsTrackBar::SetShowFocus);
  p.Method("OnUserChange", &TsTrackBar::GetOnUserChange, &TsTrackBar::SetOnUserChange);
});
}  // namespace
