#include "skin/controls/sStatusBar.h"

#include <vector>

#include "classlib/GdiScopes.h"
#include "classlib/core/TypInfo.h"
#include "skin/controls/core/acBarGeometry.h"
#include "skin/engine/sStyleSimply.h"

TsStatusBar::TsStatusBar(TComponent* AOwner) : TacSkinnedControl<TStatusBar>(AOwner, tcStatusBar, true) {
  ControlStyle_ += TControlStyle{csAcceptsControls, csOpaque};
}

// ---- geometry and texts ----------------------------------------------------------------------------------

TRect TsStatusBar::PanelSlot(int Index) const {
  const int n = Panels()->Count();
  if (n == 0) return Index == 0 ? Rect(0, 0, Width_, Height_) : TRect{};
  std::vector<int> widths(std::size_t(n), 0);
  for (int i = 0; i < n; ++i) widths[std::size_t(i)] = Panels()->Items(i)->Width();
  return qv::StatusPanelSlot(widths, Index, Width_, Height_);
}

std::string TsStatusBar::PartText(int Index) {
  // The window holds no more than MaxWindowParts parts: the panels beyond them keep their texts.
  if (!HandleAllocated() || Index >= MaxWindowParts)
    return Index < Panels()->Count() ? Panels()->Items(Index)->Text() : std::string();
  const LRESULT length = SendMessageA(Handle_, SB_GETTEXTLENGTHA, WPARAM(Index), 0);
  std::string text(std::size_t(LOWORD(length)) + 1, '\0');
  const LRESULT copied = SendMessageA(Handle_, SB_GETTEXTA, WPARAM(Index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(std::min<std::size_t>(LOWORD(copied), text.size() - 1));
  text.erase(0, text.find_first_not_of('\t') == std::string::npos ? text.size() : text.find_first_not_of('\t'));
  return text;
}

// ---- the cache -------------------------------------------------------------------------------------------

void TsStatusBar::PrepareCache() {
  FSkinData->BGChanged = FSkinData->BGChanged || FSkinData->PartlyHidden || (Parent_ && AskControl(Parent_, 11));
  FSkinData->PartlyHidden = Parent_ && !qv::RectInsideRect(BoundsRect(), Parent_->ClientRect());
  if (!FSkinData->BGChanged || FSkinData->AlwaysRepaint) return;
  const TsCacheInfo ci = AskParentCache(FSkinData);
  FSkinData->InitCacheBmp();
  PaintControlItem(FSkinData, ci, false, 0, Rect(0, 0, Width_, Height_), Point(Left_, Top_), FSkinData->CacheBmp, true);
  auto alive = AliveToken();
  PaintPanels();
  if (!*alive) return;
  if (SizeGripShown()) PaintSizeGrip();
  FSkinData->BGChanged = false;
}

void TsStatusBar::PaintPanels() {
  if (SimplePanel()) {
    DrawPanel(nullptr, SimpleText(), Rect(0, 1, Width_ - 1, Height_ - 1), true);
    return;
  }
  const int n = Panels()->Count();
  if (n == 0) {
    // No panels: the window's one part, with whatever text the program gave it.
    DrawPanel(nullptr, PartText(0), Rect(0, 1, Width_ - 1, Height_ - 1), true);
    return;
  }
  auto alive = AliveToken();
  for (int i = 0; i < n && *alive; ++i) PaintPanel(Panels()->Items(i), i, PanelSlot(i));
}

void TsStatusBar::PaintPanel(TStatusPanel* Panel, int Index, TRect R) {
  // OnDrawPanel draws into the cache through the bar's canvas.
  const BitmapDC cache(FSkinData->CacheBmp);
  const CanvasOnDC bound(Canvas(), cache, Font_);
  R.Inflate(-1, -1);
  const std::string text = Panel->Style() == psText ? PartText(Index) : std::string();
  DrawPanel(Panel, text, R, Index + 1 == Panels()->Count());
}

void TsStatusBar::DrawPanel(TStatusPanel* Panel, const std::string& Text, TRect R, bool Last) {
  TRect t = R;
  t.Inflate(-1, -1);
  TsSkinManager* sm = FSkinData->SkinManager();
  if (sm && sm->IsSectionIndex(FSkinData->SkinIndex)) {
    const int mask = sm->LookupMask(FSkinData->SkinIndex, FSkinData->SkinSection(), "STATUSPANELMASK");
    if (sm->IsMaskIndex(mask)) {
      PaintMaskRectByIndex(FSkinData->CacheBmp, Panel ? R : Rect(0, 0, Width_, Height_), true, EmptyCacheInfo, mask, 0,
                           true, sm);
    } else if (Panel && !Last) {
      PaintDivider(R);
    }
  }
  if (Panel && Panel->Style() == psOwnerDraw && OnDrawPanel) {
    OnDrawPanel(this, Panel, t);
    return;
  }
  t.Bottom -= 1;
  t.Left += 2;
  t.Right -= 4;
  TCanvas* canvas = FSkinData->CacheBmp->Canvas();
  canvas->SetFont(Font_);
  const std::string shown = CutTextToWidth(canvas, Text, t.Width());
  WritePanelText(shown, t, AlignmentDrawFlags(this, Panel ? Panel->Alignment() : taLeftJustify));
}

// The divider at a panel's right edge, over what the cache shows there.
void TsStatusBar::PaintDivider(const TRect& R) {
  TsSkinManager* sm = FSkinData->SkinManager();
  const int section = sm->SectionIndexOf("DIVIDER");
  if (section < 0) return;
  const int mask = sm->LookupMask(section, "DIVIDER", "BORDERSMASK");
  if (!sm->IsMaskIndex(mask)) return;
  const TSize frame = sm->GetMaskItemSize(mask);
  const int w = frame.cx - 1, h = Height_ - 2;
  if (w <= 0 || h <= 0) return;
  const int x = R.Right - w;
  std::unique_ptr<TBitmap> bmp(CreateBmp24(w, h));
  {
    const BitmapDC dst(bmp.get()), src(FSkinData->CacheBmp);
    BitBlt(dst, 0, 0, w, h, src, x, 1, SRCCOPY);
  }
  PaintSectionItem(section, "DIVIDER", BuildCacheInfo(FSkinData->CacheBmp), true, 0, Rect(0, 0, w, h), Point(x, 1),
                   bmp.get(), sm);
  const BitmapDC dst(FSkinData->CacheBmp), src(bmp.get());
  BitBlt(dst, x, 1, w, h, src, 0, 0, SRCCOPY);
}

void TsStatusBar::WritePanelText(const std::string& Text, const TRect& R, UINT Flags) {
  if (Text.empty()) return;
  TCanvas* canvas = FSkinData->CacheBmp->Canvas();
  canvas->SetFont(Font_);
  DrawControlText(canvas, Text, true, R, DrawTextBiDiModeFlags(Flags) | DT_SINGLELINE | DT_VCENTER, FSkinData,
                  FSkinData->IsHot());
}

void TsStatusBar::PaintSizeGrip() {
  TsSkinManager* sm = FSkinData->SkinManager();
  if (!sm) return;
  int grip = sm->ConstData().GripImage;
  if (!sm->IsMaskIndex(grip)) grip = sm->LookupMask(FSkinData->SkinIndex, "FORM", "GRIPIMAGE");
  if (!sm->IsMaskIndex(grip)) return;
  const TSize frame = sm->GetMaskItemSize(grip);
  PaintMaskImageByIndex(FSkinData->CacheBmp, Point(Width_ - frame.cx - BorderWidth_, Height_ - frame.cy - BorderWidth_),
                        0, 1, grip, sm);
}

void TsStatusBar::CopyBorder(HDC DC) {
  if (BorderWidth_ <= 0) return;
  const BitmapDC cache(FSkinData->CacheBmp);
  BitBltBorder(DC, 0, 0, Width_, Height_, cache, 0, 0, BorderWidth_);
}

void TsStatusBar::PaintStatusBar(HDC DC) {
  const ClientDC dc(Handle_, DC);
  const SavedDC saved(dc);
  if (RefreshUpdating(FSkinData)) return;
  auto alive = AliveToken();
  PrepareCache();
  if (!*alive) return;
  CopyCacheExcludingChildren(this, FSkinData, Point(BorderWidth_, BorderWidth_), Rect(0, 0, Width_, Height_), dc, true,
                             0, 0);
  PaintGraphicChildren(dc, this, Point(0, 0));
  RepaintChildControls(this);
  FSkinData->BGChanged = false;
}

void TsStatusBar::CreateWnd() {
  TacSkinnedControl<TStatusBar>::CreateWnd();
  // A new window (a changed size grip, a recreated bar) may differ from what the cache shows.
  FSkinData->BGChanged = true;
}

void TsStatusBar::PaintWindow(HDC DC) {
  if (FrameSkinned(this, FSkinData))
    PaintStatusBar(DC);
  else
    TStatusBar::PaintWindow(DC);
}

// ---- window procedure -------------------------------------------------------------------------------------

void TsStatusBar::AfterSkinChange(int Command) {
  if (Command == QC_SKINREMOVED) {
    // The native bar paints itself again in a window of its own.
    RecreateWnd();
    return;
  }
  if (PrintDC || SkinSwitchRunning()) return;
  Repaint();
  Perform(WM_NCPAINT, 0, 0);
}

void TsStatusBar::RepaintAfterUpdate() {
  Repaint();
  Perform(WM_NCPAINT, 0, 0);
}

void TsStatusBar::EraseMessage(TMessage& Message) {
  if (!RefreshUpdating(FSkinData) && !FSkinData->BGChanged) {
    const HDC dc = reinterpret_cast<HDC>(Message.WParam);
    CopyCacheExcludingChildren(this, FSkinData, Point(BorderWidth_, BorderWidth_), Rect(0, 0, Width_, Height_), dc,
                               true, 0, 0);
    PaintGraphicChildren(dc, this, Point(0, 0));
  }
  Message.Result = 1;
}

void TsStatusBar::NCPaintMessage(TMessage& Message) {
  Message.Result = 0;
  if (BorderWidth_ == 0 || !(Visible_ || IsDesigning(this)) || RefreshUpdating(FSkinData)) return;
  PrepareCache();
  const WindowDC dc(Handle_);
  const SavedDC saved(dc);
  CopyBorder(dc);
}

void TsStatusBar::PrintMessage(TMessage& Message) {
  Message.Result = 0;
  const HDC dc = reinterpret_cast<HDC>(Message.WParam);
  if (!dc || !(Visible_ || IsDesigning(this))) return;
  const SavedDC saved(dc);
  if (!RefreshUpdating(FSkinData)) {
    PrepareCache();
    CopyBorder(dc);
  }
  POINT org{};
  GetWindowOrgEx(dc, &org);
  SetWindowOrgEx(dc, org.x - BorderWidth_, org.y - BorderWidth_, nullptr);
  const TRect client = ClientRect();
  IntersectClipRect(dc, 0, 0, client.Width(), client.Height());
  PaintStatusBar(dc);
}

bool TsStatusBar::SkinnedMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ERASEBKGND: EraseMessage(Message); return true;
    case WM_NCPAINT: NCPaintMessage(Message); return true;
    case WM_PRINT: PrintMessage(Message); return true;
    case WM_MOVE: {
      const TsGeneralData* gd = SectionOf(FSkinData);
      if (gd && (gd->Transparency > 0 || gd->HotTransparency > 0)) {
        FSkinData->BGChanged = true;
        if (IsDesigning(this)) {
          Repaint();
          Perform(WM_NCPAINT, 0, 0);
        }
      }
      return false;
    }
    case WM_PAINT: {
      // One paint: the cache goes to the window, nothing of the native bar's own painting.
      const PaintScope paint(Handle_, reinterpret_cast<HDC>(Message.WParam));
      PaintStatusBar(paint);
      Message.Result = 0;
      return true;
    }
    default: return false;
  }
}

void TsStatusBar::AfterInherited(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SIZE:
      if (Visible_ && BorderWidth_ > 0) Perform(WM_NCPAINT, 0, 0);
      break;
    // Every change of the parts, their texts or the font: the cache is stale.
    case SB_SETTEXTA:
    case SB_SETTEXTW:
    case SB_SETPARTS:
    case SB_SIMPLE:
    case SB_SETMINHEIGHT:
    case SB_SETICON:
    case WM_SETTEXT:
    case WM_SETFONT:
    case CM_FONTCHANGED: FSkinData->BGChanged = true; break;
    default: break;
  }
}

namespace {
const bool kStatusBarProps =
    RegisterProperties<TsStatusBar, TStatusBar>([](auto& p) { p.Obj("SkinData", &TsStatusBar::SkinData); });
}  // namespace
