#include "skin/controls/sCustomComboEdit.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "classlib/GdiScopes.h"
#include "classlib/core/TypInfo.h"
#include "skin/engine/sStyleSimply.h"

// ---- TsEditButton -------------------------------------------------------------------------------------

TsEditButton::TsEditButton(TComponent* AOwner)
    : TsSpeedButton(AOwner), FEdit(AOwner), FComboEdit(dynamic_cast<TsCustomComboEdit*>(AOwner)) {
  FSkinData->SetSkinSection("SPEEDBUTTON");
  SetFlat(true);
  SetCursor(crArrow);
  SetAlign(alRight);
  SetWidth(22);
  SetShowCaption(false);
}

int TsEditButton::GlyphWidth() {
  return FComboEdit && FComboEdit->GlyphMode() ? FComboEdit->GlyphMode()->GlyphWidth() : TsSpeedButton::GlyphWidth();
}

int TsEditButton::GlyphHeight() {
  return FComboEdit && FComboEdit->GlyphMode() ? FComboEdit->GlyphMode()->GlyphHeight() : TsSpeedButton::GlyphHeight();
}

int TsEditButton::GlyphFrame() {
  if (State_ == bsDown || State_ == bsExclusive) return 2;
  return (FSkinData->MouseAbove || MouseInControl_) && Enabled() ? 1 : 0;
}

bool TsEditButton::SkinnedLook() {
  return FComboEdit && FComboEdit->SkinData()->Skinned(false) && FComboEdit->HandleAllocated();
}

void TsEditButton::DrawEditGlyph(TBitmap* Bmp, bool Skinned) {
  TsGlyphMode* mode = FComboEdit ? FComboEdit->GlyphMode() : nullptr;
  TBitmap* glyph = mode ? mode->Chosen() : nullptr;
  if (!glyph || glyph->Empty()) return;
  const int gw = glyph->Width() / ButtonGlyphFrames, gh = glyph->Height() / 2;
  if (gw < 1 || gh < 1 || mode->GlyphWidth() < 1) return;
  const int frame = GlyphFrame();
  const TRect dst = Bounds((Width_ - gw) / 2, (Height_ - gh) / 2, gw, gh);
  const TRect src = Bounds(frame * gw, 0, gw, gh);
  const bool quiet = Skinned && FComboEdit->CurrentState() == 0 && GlyphFrame() == 0;
  if (quiet && mode->Grayed()) {
    // Only the picture turns grey: the button's background stays as the edit shows it.
    std::unique_ptr<TBitmap> grey(CreateBmp24(gw, 2 * gh));
    {
      const BitmapDC to(grey.get()), from(glyph);
      BitBlt(to, 0, 0, gw, gh, from, src.Left, 0, SRCCOPY);
      BitBlt(to, 0, gh, gw, gh, from, src.Left, gh, SRCCOPY);
    }
    qv::TImageView picture = BmpView(grey.get());
    picture.Height = gh;
    qv::GrayscaleBmp(picture);
    CopyByMask(dst, Bounds(0, 0, gw, gh), Bmp, grey.get(), EmptyCacheInfo, false);
  } else {
    CopyByMask(dst, src, Bmp, glyph, EmptyCacheInfo, false);
  }
}

void TsEditButton::PrepareCache() {
  if (!FComboEdit) {
    TsSpeedButton::PrepareCache();
    return;
  }
  FSkinData->InitCacheBmp();
  TBitmap* cache = FSkinData->CacheBmp;
  const TsCacheInfo ci = AskParentCache(FSkinData);
  if (ci.Ready && ci.Bmp) {
    const BitmapDC to(cache), from(ci.Bmp);
    BitBlt(to, 0, 0, Width_, Height_, from, ci.X + Left_, ci.Y + Top_, SRCCOPY);
  } else {
    FillBmpRect(cache, Rect(0, 0, Width_, Height_), TColor(ColorToRGB(FComboEdit->Color())));
  }
  if (TBitmap* glyph = FComboEdit->GlyphMode()->Chosen(); glyph && !glyph->Empty()) {
    std::unique_ptr<TBitmap> look(CreateBmpLike(cache));
    {
      const BitmapDC to(look.get()), from(cache);
      BitBlt(to, 0, 0, Width_, Height_, from, 0, 0, SRCCOPY);
    }
    DrawEditGlyph(look.get(), true);
    TsGlyphMode* mode = FComboEdit->GlyphMode();
    if (FComboEdit->CurrentState() == 0 && GlyphFrame() == 0 && mode->Blend() > 0)
      BlendBitmaps(look.get(), cache, mode->BlendAmount());
    if (!FComboEdit->Enabled()) ApplyDisabledLook(look.get(), DisabledKind(), FComboEdit, ci, Point(Left_, Top_));
    const BitmapDC to(cache), from(look.get());
    BitBlt(to, 0, 0, Width_, Height_, from, 0, 0, SRCCOPY);
  }
  FSkinData->BGChanged = false;
}

void TsEditButton::PaintTo(HDC DC, int X, int Y) {
  if (!DC || Width_ < 1 || Height_ < 1 || !SkinnedLook()) return;
  PrepareCache();
  const BitmapDC from(FSkinData->CacheBmp);
  BitBlt(DC, X, Y, Width_, Height_, from, 0, 0, SRCCOPY);
}

void TsEditButton::Paint() {
  if (!FComboEdit) {
    TsSpeedButton::Paint();
    return;
  }
  if (Width_ < 1 || Height_ < 1) return;
  if (SkinnedLook()) {
    // The look depends on the edit's cache and state, which the button does not see change:
    // it is built again for every paint (it is small).
    PrepareCache();
    const BitmapDC from(FSkinData->CacheBmp);
    BitBlt(Canvas_->Handle(), 0, 0, Width_, Height_, from, 0, 0, SRCCOPY);
    return;
  }
  TsSpeedButton::Paint();
  // The glyph over the plain button, laid on what the button shows.
  std::unique_ptr<TBitmap> look(CreateBmp24(Width_, Height_));
  HDC canvas = Canvas_->Handle();
  {
    const BitmapDC to(look.get());
    BitBlt(to, 0, 0, Width_, Height_, canvas, 0, 0, SRCCOPY);
  }
  DrawEditGlyph(look.get(), false);
  const BitmapDC from(look.get());
  BitBlt(canvas, 0, 0, Width_, Height_, from, 0, 0, SRCCOPY);
}

// ---- the popup's area -----------------------------------------------------------------------------------

TRect MonitorWorkArea(const TRect& ControlRect) {
  const RECT r{ControlRect.Left, ControlRect.Top, ControlRect.Right, ControlRect.Bottom};
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (HMONITOR monitor = MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST); monitor && GetMonitorInfoA(monitor, &info))
    return Rect(info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom);
  const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
  return Bounds(x, y, GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
}

TacPopupAreaFunc PopupArea = &MonitorWorkArea;

// ---- TsCustomComboEdit --------------------------------------------------------------------------------

TsCustomComboEdit::TsCustomComboEdit(TComponent* AOwner) : TsMaskEdit(AOwner) {
  FSkinData->TypeCode = tcComboEdit;
  ControlStyle_.Include(csAcceptsControls);
  FGlyphMode = new TsGlyphMode(this);
  SetAutoSize(false);
  FButton = ::Create<TsEditButton>(this);
  FButton->SetParent(this);
  FButton->SetVisible(true);
  // The button's look follows the edit's: it has no fade of its own.
  FButton->SetAnimatEvents(TacAnimatEvents{});
  FButton->OnClick = MakeMethod<&TsCustomComboEdit::ButtonClickHandler>(this);
  FButton->OnMouseDown = MakeMethod<&TsCustomComboEdit::ButtonMouseDown>(this);
  FButton->OnMouseUp = MakeMethod<&TsCustomComboEdit::ButtonMouseUp>(this);
  FButton->OnMouseEnter = MakeMethod<&TsCustomComboEdit::ButtonHover>(this);
  FButton->OnMouseLeave = MakeMethod<&TsCustomComboEdit::ButtonHover>(this);
  SetHeight(21);
}

TsCustomComboEdit::~TsCustomComboEdit() {
  if (FButton) {
    FButton->OnClick = TNotifyEvent();
    FButton->OnMouseDown = TMouseEvent();
    FButton->OnMouseUp = TMouseEvent();
    FButton->OnMouseEnter = TNotifyEvent();
    FButton->OnMouseLeave = TNotifyEvent();
  }
  delete FGlyphMode;
  FGlyphMode = nullptr;
}

void TsCustomComboEdit::Loaded() {
  TsMaskEdit::Loaded();
  UpdateButton();
  SetEditRect();
}

void TsCustomComboEdit::CreateParams(TCreateParams& Params) {
  TsMaskEdit::CreateParams(Params);
  static const DWORD kAlign[] = {ES_LEFT, ES_RIGHT, ES_CENTER};
  // The text rectangle (EM_SETRECTNP) holds only for a multi-line edit window.
  Params.Style |= ES_MULTILINE | kAlign[FAlignment] | WS_CLIPCHILDREN;
}

void TsCustomComboEdit::CreateWnd() {
  TsMaskEdit::CreateWnd();
  SetEditRect();
}

// ---- properties ---------------------------------------------------------------------------------------------

void TsCustomComboEdit::SetShowButton(bool Value) {
  if (FShowButton == Value) return;
  FShowButton = Value;
  Invalidate();
}

void TsCustomComboEdit::SetReadOnly(bool Value) {
  FReadOnly = Value;
  TsMaskEdit::SetReadOnly(FReadOnly || !FDirectInput);
}

void TsCustomComboEdit::SetDirectInput(bool Value) {
  FDirectInput = Value;
  TsMaskEdit::SetReadOnly(FReadOnly || !FDirectInput);
}

void TsCustomComboEdit::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  if (HandleAllocated()) RecreateWnd();
  FSkinData->Invalidate();
}

void TsCustomComboEdit::SetDefaultGlyphName(const std::string& Value) {
  FDefaultGlyphName = Value;
  UpdateButton();
  Invalidate();
}

int TsCustomComboEdit::ButtonWidth() const {
  if (!FShowButton || !FGlyphMode) return 0;
  const int gw = FGlyphMode->GlyphWidth();
  if (gw < 1) return 0;
  return FGlyphMode->Chosen() ? gw + 2 : 22;
}

void TsCustomComboEdit::UpdateButton() {
  if (!FButton) return;
  const int w = ButtonWidth();
  const bool changed = FButton->Visible() != FShowButton || FButton->Width() != w;
  if (FButton->Visible() != FShowButton) FButton->SetVisible(FShowButton);
  if (FButton->Width() != w) FButton->SetWidth(w);
  if (changed) SetEditRect();
}

void TsCustomComboEdit::Invalidate() {
  if (FButton) {
    UpdateButton();
    if (!SkinChanging) FButton->SkinData()->BGChanged = true;
    FButton->Invalidate();
  }
  TsMaskEdit::Invalidate();
}

TPoint TsCustomComboEdit::ClientOffset() {
  if (!HandleAllocated()) return Point(0, 0);
  RECT wr{};
  GetWindowRect(Handle_, &wr);
  POINT origin{0, 0};
  ::ClientToScreen(Handle_, &origin);
  return Point(origin.x - wr.left, origin.y - wr.top);
}

int TsCustomComboEdit::TextRight() const { return FButton && FButton->Visible() ? FButton->Width() : 0; }

int TsCustomComboEdit::TextTop() {
  if (!HandleAllocated()) return 0;
  RECT r{};
  SendMessageA(Handle_, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
  return r.top;
}

void TsCustomComboEdit::SetEditRect() {
  if (!Parent_ || !HandleAllocated()) return;
  RECT r{0, 0, std::max(0, ClientWidth() - TextRight()), ClientHeight()};
  SendMessageA(Handle_, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
}

// ---- the popup --------------------------------------------------------------------------------------------------

bool TsCustomComboEdit::PopupVisible() const { return FPopup && FPopup->Visible(); }

void TsCustomComboEdit::ShowPopup() {
  if (!FPopup || GetReadOnly() || FPopup->Visible() || !HandleAllocated()) return;
  FPopup->Hide();
  RECT wr{};
  GetWindowRect(Handle_, &wr);
  const TRect edit = Rect(wr.left, wr.top, wr.right, wr.bottom);
  const TRect area = PopupArea ? PopupArea(edit) : MonitorWorkArea(edit);
  const TPoint at = qv::PlacePopup(edit, TSize{FPopupWidth, FPopup->Height()}, FPopupAlign, area);
  FPopup->SetBounds(at.X, at.Y, FPopupWidth, FPopup->Height());
  FPopup->Show();
}

void TsCustomComboEdit::HidePopup() {
  if (PopupVisible()) FPopup->Close();
}

namespace {
// The timer that ends the press a closing popup noted (see PopupClosed).
constexpr UINT_PTR kPressTimer = 0x5143;
}  // namespace

void TsCustomComboEdit::PopupClosed() {
  FPopup = nullptr;
  // The popup closes as a press on the button takes the activation from it: that press must not
  // open it again. The press is in the queue already, and a timer fires only once the queue has no
  // input left, so the note lasts exactly until that press is handled.
  FPopupClosedByPress = false;
  if (FButton && FButton->Visible() && FButton->Parent() && HandleAllocated()) {
    POINT p{};
    GetCursorPos(&p);
    const TPoint local = FButton->ScreenToClient(Point(p.x, p.y));
    FPopupClosedByPress = local.X >= 0 && local.Y >= 0 && local.X < FButton->Width() && local.Y < FButton->Height();
    if (FPopupClosedByPress) SetTimer(Handle_, kPressTimer, USER_TIMER_MINIMUM, nullptr);
  }
  Invalidate();
}

void TsCustomComboEdit::SelectAll() {
  if (HandleAllocated() && !Text().empty()) SendMessageA(Handle_, EM_SETSEL, 0, -1);
}

void TsCustomComboEdit::ButtonClick() {
  if (GetReadOnly()) return;
  auto alive = AliveToken();
  OnButtonClick(this);
  if (!*alive) return;
  if (PopupVisible())
    HidePopup();
  else
    ShowPopup();
}

void TsCustomComboEdit::ButtonClickHandler(TObject*) {
  if (std::exchange(FIgnoreClick, false)) return;
  ButtonClick();
}

void TsCustomComboEdit::ButtonMouseDown(TObject*, TMouseButton Button, TShiftState, int, int) {
  if (Button != mbLeft) return;
  // The edit takes the focus (a popup that shows keeps it: the click closes the popup); a popup that
  // closed as this press began, losing the activation to it, is not opened again by its click.
  if (!PopupVisible() && CanFocus() && !Focused()) SetFocus();
  FIgnoreClick = std::exchange(FPopupClosedByPress, false);
}

void TsCustomComboEdit::ButtonMouseUp(TObject*, TMouseButton, TShiftState, int, int) {}

void TsCustomComboEdit::ButtonHover(TObject*) {
  // The edit is hot while its button is: its frame and text follow.
  if (!FSkinData->Skinned() || !HandleAllocated() || Focused()) return;
  FSkinData->Invalidate();
  SendMessageA(Handle_, WM_NCPAINT, 0, 0);
}

void TsCustomComboEdit::FocusMovedTo(HWND Wnd) {
  if (!PopupVisible() || !FPopup->HandleAllocated()) return;
  if (Wnd && (Wnd == Handle_ || Wnd == FPopup->Handle() || IsChild(FPopup->Handle(), Wnd))) return;
  HidePopup();
}

// ---- keys --------------------------------------------------------------------------------------------------------

void TsCustomComboEdit::KeyDown(std::uint16_t& Key, TShiftState Shift) {
  auto alive = AliveToken();
  TsMaskEdit::KeyDown(Key, Shift);
  if (!*alive || Key == 0) return;
  if (ShortCut(Key, Shift) == FClickKey && FGlyphMode->GlyphWidth() > 0) {
    ButtonClick();
    Key = 0;
    return;
  }
  if (*alive) SetEditRect();
}

void TsCustomComboEdit::KeyPress(char& Key) {
  if (Key == '\r' || Key == 27) {
    auto alive = AliveToken();
    if (TCustomForm* form = GetParentForm(this)) form->Perform(CM_DIALOGKEY, WPARAM(Key), 0);
    if (!*alive) return;
    if (Key == '\r') {
      Key = 0;
      return;
    }
  }
  TsMaskEdit::KeyPress(Key);
}

void TsCustomComboEdit::Change() {
  if (!PopupVisible()) TsMaskEdit::Change();
}

// ---- painting ------------------------------------------------------------------------------------------------------

int TsCustomComboEdit::CurrentState() {
  if (TsMaskEdit::CurrentState() == 1 || FSkinData->MouseAbove) return 1;
  return FButton && FButton->Enabled() && FButton->SkinData()->MouseAbove ? 1 : 0;
}

void TsCustomComboEdit::PaintText() {
  const std::string text = EditText();
  if (text.empty()) return;
  TCanvas* canvas = FSkinData->CacheBmp->Canvas();
  canvas->SetFont(Font());
  // Where the window shows its text when it paints it itself.
  const int b = BorderWidth();
  const int top = ClientOffset().Y + TextTop();
  TRect r = Rect(b, top, Width_ - b - TextRight(), top + canvas->TextHeight(text));
  const std::string shown = PasswordChar_ ? std::string(text.size(), PasswordChar_) : text;
  DrawControlText(canvas, shown, Enabled() || FSkinData->Skinned(), r,
                  AlignmentDrawFlags(this, FAlignment) | DT_WORDBREAK | DT_NOPREFIX, FSkinData, CurrentState() != 0);
}

bool TsCustomComboEdit::BorderPaintable() {
  return Parent_ && Visible_ && Parent_->Visible() && !ControlState_.Contains(csCreating) && BorderStyle_ != bsNone &&
         !FSkinData->Updating();
}

void TsCustomComboEdit::PaintButtonOn(HDC DC) {
  if (!FButton || !FButton->Visible() || FButton->Width() < 1) return;
  const TPoint off = ClientOffset();
  FButton->PaintTo(DC, FButton->Left() + off.X, FButton->Top() + off.Y);
}

void TsCustomComboEdit::PaintBorder(HDC DC) {
  TsMaskEdit::PaintBorder(DC);
  if (!HandleAllocated() || CurrentState() == 0 || !BorderPaintable()) return;
  const WindowDC dc(Handle_, DC);
  if (dc) PaintButtonOn(dc);
}

void TsCustomComboEdit::PaintEditIn(HDC DC, bool InPaint) {
  if (!HandleAllocated()) return;
  std::optional<PaintScope> paint;
  if (InPaint) paint.emplace(Handle_);
  const WindowDC dc(Handle_, DC);
  if (!dc) return;
  const SavedDC saved(dc);
  if (!FSkinData->Skinned(false)) {
    // The flat look with the text the edit shows when it is not edited (a number edit's format),
    // over the window's own drawing; the button keeps what it painted.
    TsMaskEdit::PrepareCache();
    if (FButton && FButton->Visible() && FButton->Width() > 0) {
      const TPoint off = ClientOffset();
      ExcludeClipRect(dc, FButton->Left() + off.X, FButton->Top() + off.Y, FButton->Left() + off.X + FButton->Width(),
                      FButton->Top() + off.Y + FButton->Height());
    }
    const BitmapDC from(FSkinData->CacheBmp);
    BitBlt(dc, 3, 3, Width_ - 6, Height_ - 6, from, 3, 3, SRCCOPY);
    return;
  }
  PaintEditFromCache(this, FSkinData, dc, false, BorderStyle_ == bsSingle, [this] { PrepareCache(); });
  if (FSkinData->UpdatingFlag()) return;
  // A paint of the window's own (InPaint) draws no child of the window: the button is drawn here.
  if (InPaint || CurrentState() == 0 || (PrintDC && HDC(dc) == PrintDC)) PaintButtonOn(dc);
}

void TsCustomComboEdit::PaintEdit(HDC DC) { PaintEditIn(DC, false); }

// ---- window procedure ----------------------------------------------------------------------------------------------

bool TsCustomComboEdit::SkinnedMessage(TMessage& Message) {
  if (Message.Msg != WM_PAINT) return TsMaskEdit::SkinnedMessage(Message);
  if (CurrentState() != 0 && Focused()) {
    // Edited: the window draws its text (caret and selection with it) and the button, then the
    // frame. Otherwise the cache shows the whole look, hot or not: the text the edit shows when it
    // is not edited (a number edit's value in its display format) is drawn there.
    auto alive = AliveToken();
    TMaskEdit::WndProc(Message);
    if (*alive) PaintBorder(nullptr);
  } else {
    PaintEditIn(reinterpret_cast<HDC>(Message.WParam), true);
  }
  return true;
}

void TsCustomComboEdit::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ERASEBKGND:
      if (FSkinData && Visible_ && FSkinData->Skinned() && FSkinData->Updating()) {
        Message.Result = 1;
        return;
      }
      break;
    case WM_PASTE:
    case WM_CUT:
      if (!FDirectInput || FReadOnly) return;
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (PopupVisible()) HidePopup();
      break;
    case WM_TIMER:
      if (Message.WParam == kPressTimer) {
        KillTimer(Handle_, kPressTimer);
        FPopupClosedByPress = false;
        return;
      }
      break;
    default: break;
  }
  auto alive = AliveToken();
  TsMaskEdit::WndProc(Message);
  if (*alive) AfterMaskEdit(Message);
}

void TsCustomComboEdit::AfterMaskEdit(TMessage& Message) {
  switch (Message.Msg) {
    case SM_QUORVEXCMD:
      switch (Message.WParamHi()) {
        case QC_SKINLOADED:
        case QC_SKINREMOVED:
        case QC_REFRESH:
          if (IsOwnManagerCommand(Message, FSkinData)) {
            PassSkinCommandOn(this, Message);
            SetEditRect();
          }
          break;
        case QC_GETCACHE: {
          // The children lie inside the frame: their place in the cache is offset by it.
          TBitmap* cache = FSkinData->CacheBmp;
          const TPoint off = ClientOffset();
          SharedCacheInfo = cache && !cache->Empty() ? BuildCacheInfo(cache, off.X, off.Y) : TsCacheInfo{};
          Message.Result = 1;
          break;
        }
        case QC_ISBUSY:
          Message.LParam = 0;
          Message.Result = 0;
          break;
        default: break;
      }
      break;
    case WM_GETDLGCODE:
      // A one-line field for the dialog keys, whatever the window's style: Tab and Enter move on.
      Message.Result &= ~LRESULT(DLGC_WANTTAB | DLGC_WANTALLKEYS);
      Message.Result |= DLGC_WANTARROWS;
      break;
    case WM_SIZE:
    case CM_FONTCHANGED: SetEditRect(); break;
    case WM_SETFOCUS:
      if (AutoSelect_) SelectAll();
      break;
    case WM_KILLFOCUS: FocusMovedTo(reinterpret_cast<HWND>(Message.WParam)); break;
    case WM_LBUTTONDOWN: SetEditRect(); break;
    default: break;
  }
}

// ---- published properties ------------------------------------------------------------------------------------

namespace {
const bool kEditButtonProps = RegisterProperties<TsEditButton, TsSpeedButton>([](auto&) {});
const bool kComboEditProps = RegisterProperties<TsCustomComboEdit, TsMaskEdit>([](auto& p) {
  p.Method("OnButtonClick", &TsCustomComboEdit::GetOnButtonClick, &TsCustomComboEdit::SetOnButtonClick);
  p.Ord("ShowButton", &TsCustomComboEdit::ShowButton, &TsCustomComboEdit::SetShowButton);
  p.Ord("ClickKey", &TsCustomComboEdit::ClickKey, &TsCustomComboEdit::SetClickKey);
  p.Obj("GlyphMode", &TsCustomComboEdit::GlyphMode, &TsCustomComboEdit::SetGlyphMode);
  p.Ord("DirectInput", &TsCustomComboEdit::DirectInput, &TsCustomComboEdit::SetDirectInput);
  p.Ord("ReadOnly", &TsCustomComboEdit::ReadOnly, &TsCustomComboEdit::SetReadOnly);
  p.Ord("Alignment", &TsCustomComboEdit::Alignment, &TsCustomComboEdit::SetAlignment);
});
}  // namespace
