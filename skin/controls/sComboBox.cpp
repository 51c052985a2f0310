#include "skin/controls/sComboBox.h"

#include "classlib/GdiScopes.h"
#include "classlib/core/TypInfo.h"
#include "skin/engine/sQuorvexGraph.h"
#include "skin/engine/sStyleSimply.h"

namespace {

bool IsOwnerDrawn(TComboBoxStyle Style) { return Style == csOwnerDrawFixed || Style == csOwnerDrawVariable; }

// A key that changes the choice of a combo box: space, page and arrow keys, digits (the main row
// and the keypad), letters, and F4 (which opens the list) unless Alt is down (Alt+F4 closes the
// form).
bool KeyChangesChoice(WPARAM Key, bool WithAlt) {
  const auto k = UINT(Key & 0xFFFF);
  return (k >= VK_SPACE && k <= VK_DOWN) || (k >= '0' && k <= '9') || (k >= 'A' && k <= 'Z') ||
         (k >= VK_NUMPAD0 && k <= VK_NUMPAD9) || (k == VK_F4 && !WithAlt);
}

}  // namespace

// ---- construction and properties --------------------------------------------------------------------------

TsCustomComboBox::TsCustomComboBox(TComponent* AOwner) : TacSkinnedControl<TCustomComboBox>(AOwner, tcEdit, true) {
  SetDropDownCount(16);
  if (FSkinData->SkinSection().empty()) FSkinData->SetSkinSection("COMBOBOX");
  FBoundLabel = new TsBoundLabel(FSkinData);
}

TsCustomComboBox::~TsCustomComboBox() {
  FreeListAdapter();
  delete FBoundLabel;
  FBoundLabel = nullptr;
}

void TsCustomComboBox::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  FSkinData->Invalidate();
}

void TsCustomComboBox::SetDisabledKind(TsDisabledKind Value) {
  if (FDisabledKind == Value) return;
  FDisabledKind = Value;
  FSkinData->Invalidate();
}

void TsCustomComboBox::SetShowButton(bool Value) {
  if (FShowButton == Value) return;
  FShowButton = Value;
  FSkinData->Invalidate();
}

void TsCustomComboBox::ApplySkinColors() {
  const TsGeneralData* gd = SectionOf(FSkinData);
  if (!gd) return;
  if (!FSkinData->CustomColor && Color() != TColor(gd->Color)) SetColor(TColor(gd->Color));
  if (!FSkinData->CustomFont && Font()->Color() != TColor(gd->FontColor.Text()))
    Font()->SetColor(TColor(gd->FontColor.Text()));
}

void TsCustomComboBox::SkinLoaded() {
  FSkinData->Loaded();
  if (FSkinData->Skinned()) ApplySkinColors();
}

bool TsCustomComboBox::Focused() const {
  if (HandleAllocated()) {
    HWND f = GetFocus();
    if (f && (f == Handle_ || f == EditHandle_ || f == ListHandle_)) return true;
  }
  return FSkinData && FSkinData->Focused;
}

void TsCustomComboBox::Invalidate() {
  if (FSkinData && HandleAllocated() && TCustomComboBox::Focused()) FSkinData->Focused = true;
  TacSkinnedControl<TCustomComboBox>::Invalidate();
}

// ---- the list's adapter ---------------------------------------------------------------------------------------

void TsCustomComboBox::FreeListAdapter() {
  if (FListAdapter && !FListAdapter->WindowGone() && FListWnd && IsWindow(FListWnd)) {
    // The list gets the plain frame of a drop-down list back.
    const LONG_PTR style = GetWindowLongPtrA(FListWnd, GWL_STYLE);
    SetWindowLongPtrA(FListWnd, GWL_STYLE, (style | WS_BORDER) & ~LONG_PTR(WS_THICKFRAME));
  }
  FListAdapter.reset();
  FListWnd = nullptr;
}

void TsCustomComboBox::MakeListAdapter(HWND ListWnd) {
  if (FListAdapter && FListAdapter->WindowGone()) FreeListAdapter();
  if (Loading() || FListAdapter || !CreateComboListProc || !ListWnd) return;
  // A simple combo's list always shows; a drop-down list needs its bars only when it is long.
  if (Style() != csSimple && Items()->Count() <= DropDownCount()) return;
  FListWnd = ListWnd;
  FListAdapter = CreateComboListProc(ListWnd, FSkinData->SkinManager(), Style() == csSimple);
  if (!FListAdapter) FListWnd = nullptr;
}

void TsCustomComboBox::DestroyWnd() {
  FreeListAdapter();
  FDropped = false;
  // A window made again (another style or reading order) gets its look anew.
  FSkinData->BGChanged = true;
  TacSkinnedControl<TCustomComboBox>::DestroyWnd();
}

// ---- the cache ---------------------------------------------------------------------------------------------------

TRect TsCustomComboBox::ButtonRect() const {
  const int width = Style() == csSimple || !FShowButton ? 0 : GetSystemMetrics(SM_CXVSCROLL);
  const int left = UseRightToLeftScrollBar() ? 2 : Width_ - width - 2;
  return Rect(left, 2, left + width, Height_ - 2);
}

int TsCustomComboBox::ArrowHeight() const {
  if (!FSkinData->Skinned()) return 16;
  TsSkinManager* sm = FSkinData->SkinManager();
  const int glyph = sm->ConstData().ComboBoxGlyph;
  return sm->IsMaskIndex(glyph) ? sm->Mask(glyph).FrameHeight() : 16;
}

bool TsCustomComboBox::OwnerDrawsWithHandler() const { return IsOwnerDrawn(Style()) && OnDrawItem.Assigned(); }

std::string TsCustomComboBox::ShownText() {
  // A drop-down combo shows what its field holds, which need not be an item.
  if (Style() == csDropDown) return Text();
  const int index = ItemIndex();
  return index >= 0 && index < Items()->Count() ? Items()->Strings(index) : std::string();
}

void TsCustomComboBox::PaintButton() {
  const TRect r = ButtonRect();
  TBitmap* cache = FSkinData->CacheBmp;
  TsSkinManager* sm = FSkinData->SkinManager();
  if (r.IsEmpty() || !sm) return;
  const int state = FDropped ? 2 : FSkinData->IsHot() ? 1 : 0;
  const TacSectionIndexes& btn = sm->ConstData().ComboBtn;
  if (sm->IsSectionIndex(btn.Section)) {
    // The button lies over the control's own look.
    std::unique_ptr<TBitmap> parent(CreateBmp24(cache->Width(), cache->Height()));
    {
      const BitmapDC src(cache), dst(parent.get());
      BitBlt(dst, 0, 0, cache->Width(), cache->Height(), src, 0, 0, SRCCOPY);
    }
    std::unique_ptr<TBitmap> bmp(CreateBmp24(r.Width(), r.Height()));
    PaintSectionItem(btn.Section, "COMBOBTN", BuildCacheInfo(parent.get(), 0, 0), true, state,
                     Rect(0, 0, r.Width(), r.Height()), r.TopLeft(), bmp.get(), sm, btn.Pattern, btn.HotPattern);
    const BitmapDC src(bmp.get()), dst(cache);
    BitBlt(dst, r.Left, r.Top, r.Width(), r.Height(), src, 0, 0, SRCCOPY);
  }
  const int glyph = sm->ConstData().ComboBoxGlyph;
  if (sm->IsMaskIndex(glyph)) {
    const int gw = sm->Mask(glyph).FrameWidth();
    PaintMaskImage(cache, Point(r.Left + (r.Width() - gw) / 2, (Height_ - ArrowHeight()) / 2), state, 1,
                   sm->Mask(glyph), sm);
  }
}

void TsCustomComboBox::PaintShownText(TOwnerDrawState State) {
  const TRect b = ButtonRect();
  TRect r =
      UseRightToLeftScrollBar() ? Rect(b.Width() + 4, 3, Width_ - 2, Height_ - 3) : Rect(3, 3, b.Left - 1, Height_ - 3);
  if (r.IsEmpty()) return;
  TCanvas* canvas = FSkinData->CacheBmp->Canvas();
  canvas->SetFont(Font());
  const bool focus = State.Contains(odFocused);
  if (focus) {
    canvas->Font()->SetColor(clHighlightText);
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(clHighlight);
    canvas->FillRect(r);
  } else {
    canvas->Brush()->SetColor(Color());
    canvas->Brush()->SetStyle(bsClear);
  }
  TRect t = r;
  if (Style() != csDropDown) t.Left += 1;
  if (Style() == csDropDown) t.Bottom -= 1;
  DrawTextStr(canvas->Handle(), ShownText(), t, AlignmentDrawFlags(this, FAlignment) | DT_SINGLELINE | DT_NOPREFIX);
  if (focus) canvas->DrawFocusRect(r);
}

void TsCustomComboBox::PrepareCache() {
  const TsCacheInfo ci = BeginPrepareCache(this, FSkinData);
  TBitmap* cache = FSkinData->CacheBmp;
  const int state = FSkinData->IsHot() ? 1 : 0;
  if (Style() == csSimple) {
    // The edit field only: the list below it is a window of its own.
    const int h = ItemHeight() + 8;
    cache->SetSize(Width_, h);
    PaintControlItem(FSkinData, ci, true, state, Rect(0, 0, Width_, h), Point(Left_, Top_), cache, false);
  } else {
    PaintControlItem(FSkinData, ci, true, state, Rect(0, 0, Width_, Height_), Point(Left_, Top_), cache, false);
    if (FShowButton) PaintButton();
    if (!OwnerDrawsWithHandler()) {
      TOwnerDrawState ods{odComboBoxEdit};
      if (Focused() && Style() == csDropDownList && Enabled())
        ods = TOwnerDrawState{odComboBoxEdit, odSelected, odFocused};
      PaintShownText(ods);
    }
  }
  ApplyDisabledIfNeeded(this, FSkinData, FDisabledKind);
  EndPrepareCache(FSkinData);
}

void TsCustomComboBox::PaintControl(HDC DC) {
  if (!HandleAllocated()) return;
  WindowDC dc(Handle_, DC);
  if (!dc || RefreshUpdating(FSkinData)) return;
  NotePartlyHidden(this, FSkinData);
  if (FSkinData->BGChanged) PrepareCache();
  RepaintAllCacheCorners(FSkinData, 0);
  TBitmap* cache = FSkinData->CacheBmp;
  if (!cache || cache->Empty()) return;
  const int w = cache->Width(), h = cache->Height();
  {
    const BitmapDC src(cache);
    if (!src) return;
    const TRect b = ButtonRect();
    const auto frameAndButton = [&] {
      BitBltBorder(dc, 0, 0, w, h, src, 0, 0, 3);
      if (!b.IsEmpty()) BitBlt(dc, b.Left, b.Top, b.Width(), b.Height(), src, b.Left, b.Top, SRCCOPY);
    };
    if (!Enabled()) {
      BitBlt(dc, 0, 0, w, h, src, 0, 0, SRCCOPY);
      return;
    }
    switch (Style()) {
      case csSimple:
        BitBltBorder(dc, 0, 0, w, h, src, 0, 0, 3);
        PaintBelowList(dc);
        return;
      case csDropDown:
        // The focused edit field paints its own text.
        if (Focused())
          frameAndButton();
        else
          BitBlt(dc, 0, 0, w, h, src, 0, 0, SRCCOPY);
        return;
      case csDropDownList: BitBlt(dc, 0, 0, w, h, src, 0, 0, SRCCOPY); return;
      default: frameAndButton(); break;
    }
  }
  // An owner-drawn style draws its chosen item over the frame.
  TOwnerDrawState state{odComboBoxEdit};
  if (Focused()) state = TOwnerDrawState{odComboBoxEdit, odSelected, odFocused};
  const CanvasOnDC bind(Canvas(), dc);
  DrawItem(ItemIndex(), Rect(3, 3, ButtonRect().Left, h - 3), state);
}

void TsCustomComboBox::PaintBelowList(HDC DC) {
  // A list of whole items leaves a strip of the box below it: what lies behind the control shows.
  if (!ListHandle_ || !IsWindowVisible(ListHandle_)) return;
  RECT lr{};
  GetWindowRect(ListHandle_, &lr);
  MapWindowPoints(nullptr, Handle_, reinterpret_cast<POINT*>(&lr), 2);
  const TRect strip = Rect(0, lr.bottom, Width_, Height_);
  if (strip.IsEmpty()) return;
  const TsCacheInfo ci = AskParentCache(FSkinData);
  if (ci.Ready && ci.Bmp && !ci.Bmp->Empty()) {
    const BitmapDC src(ci.Bmp);
    BitBlt(DC, strip.Left, strip.Top, strip.Width(), strip.Height(), src, ci.X + Left_, ci.Y + Top_ + strip.Top,
           SRCCOPY);
  } else {
    FillRectColor(DC, strip, Parent_ ? Parent_->Color() : clBtnFace);
  }
}

// ---- items ---------------------------------------------------------------------------------------------------------

void TsCustomComboBox::DrawItemText(int Index, const TRect& Rect) {
  // An index outside the list (-1: nothing chosen) draws no text.
  if (Index < 0 || Index >= Items()->Count()) return;
  const int d = Style() == csDropDown ? 0 : 1;
  TCanvas* canvas = Canvas();
  const TRect r = Rect;
  canvas->TextRect(r, Rect.Left + d, Rect.Top + d, Items()->Strings(Index));
}

void TsCustomComboBox::DrawEditArea(int Index, const TRect& Rect, TOwnerDrawState State) {
  TCanvas* canvas = Canvas();
  canvas->SetFont(Font());
  TBitmap* cache = FSkinData->CacheBmp;
  if (cache && !cache->Empty()) {
    const BitmapDC src(cache);
    BitBlt(canvas->Handle(), 0, 0, cache->Width(), cache->Height(), src, 0, 0, SRCCOPY);
  }
  if (!Enabled() || FReadOnly) return;
  auto alive = AliveToken();
  if (FDropped) {
    canvas->Font()->SetColor(Font()->Color());
    canvas->Brush()->SetStyle(bsClear);
    if (OnDrawItem.Assigned())
      OnDrawItem(this, Index, Rect, State);
    else
      DrawItemText(Index, Rect);
    if (*alive && State.Contains(odFocused)) canvas->DrawFocusRect(Rect);
    return;
  }
  const bool focus = State.Contains(odFocused) || State.Contains(odSelected) || FSkinData->Focused;
  if (OwnerDrawsWithHandler()) {
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Font()->SetColor(State.Contains(odFocused) ? clHighlightText : Font()->Color());
    canvas->Brush()->SetColor(State.Contains(odFocused) ? clHighlight : Color());
    if (Index > -1) OnDrawItem(this, Index, Rect, State);
    return;
  }
  if (!focus) return;
  canvas->Font()->SetColor(clHighlightText);
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(clHighlight);
  canvas->FillRect(Rect);
  DrawItemText(Index, Rect);
}

void TsCustomComboBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
  if (State.Contains(odComboBoxEdit) && FSkinData->Skinned()) {
    DrawEditArea(Index, Rect, State);
    return;
  }
  TCanvas* canvas = Canvas();
  canvas->SetFont(Font());
  canvas->Brush()->SetStyle(bsSolid);
  if (State.Contains(odSelected) || State.Contains(odFocused)) {
    canvas->Font()->SetColor(clHighlightText);
    canvas->Brush()->SetColor(clHighlight);
  } else {
    canvas->Font()->SetColor(Enabled() ? Font()->Color() : clGrayText);
    canvas->Brush()->SetColor(Color());
  }
  if (!OwnerDrawsWithHandler()) canvas->FillRect(Rect);
  if (OnDrawItem.Assigned())
    OnDrawItem(this, Index, Rect, State);
  else
    DrawItemText(Index, Rect);
}

// ---- the children's messages ------------------------------------------------------------------------------------

void TsCustomComboBox::ComboWndProc(TMessage& Message, HWND ComboWnd, WNDPROC ComboProc) {
  if (FReadOnly) {
    switch (Message.Msg) {
      case WM_SYSKEYDOWN:
        // Alt with an arrow opens the list from the edit field.
        if (Message.WParam != VK_UP && Message.WParam != VK_DOWN) break;
        [[fallthrough]];
      case WM_KEYDOWN:
      case WM_KEYUP:
      case WM_CHAR:
      case WM_SYSKEYUP:
      case WM_CUT:
      case WM_PASTE:
      case WM_CLEAR:
      case WM_UNDO:
      case CN_KEYDOWN:
      case CN_CHAR:
      case CN_SYSKEYDOWN:
      case CN_SYSCHAR: Message.Result = 0; return;
      default: break;
    }
  }
  // An edit field that shows nothing of its own leaves the control's look from the cache.
  if (ComboWnd == EditHandle_ && Style() != csSimple && FrameSkinned(this, FSkinData)) {
    if (Message.Msg == WM_MOUSEMOVE || Message.Msg == WM_MOUSELEAVE) EditMouseMessage(Message);
    const bool own = Focused() && Enabled() && !FReadOnly;
    if (Message.Msg == WM_PAINT && !own) {
      const PaintScope validate(ComboWnd);
      Message.Result = 0;
      return;
    }
    if ((Message.Msg == WM_ERASEBKGND || Message.Msg == WM_NCPAINT) && !own) {
      Message.Result = 1;
      return;
    }
  }
  TacSkinnedControl<TCustomComboBox>::ComboWndProc(Message, ComboWnd, ComboProc);
}

// ---- window procedure ---------------------------------------------------------------------------------------------

bool TsCustomComboBox::ReadOnlySwallows(TMessage& Message) {
  switch (Message.Msg) {
    case WM_KEYDOWN:
    case CN_KEYDOWN: return KeyChangesChoice(Message.WParam, false);
    case WM_SYSKEYDOWN:
    case CN_SYSKEYDOWN: return KeyChangesChoice(Message.WParam, true);
    case WM_CHAR: return true;
    case CB_SHOWDROPDOWN: return Message.WParam != 0;
    case CN_COMMAND:
      // The list was opened all the same (by the program): it closes again.
      if (Message.WParamHi() != CBN_DROPDOWN) return false;
      PostMessageA(Handle_, CB_SHOWDROPDOWN, FALSE, 0);
      return true;
    case WM_MOUSEWHEEL:
      // The parent scrolls; the choice stays.
      Message.Result = DefWindowProcA(Handle_, Message.Msg, Message.WParam, Message.LParam);
      return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      if (CanFocus() && !Focused()) SetFocus();
      if (Message.Msg == WM_LBUTTONDBLCLK) DblClick();
      return true;
    }
    default: return false;
  }
}

void TsCustomComboBox::WndProc(TMessage& Message) {
  if (FReadOnly && FSkinData && ReadOnlySwallows(Message)) return;
  auto alive = AliveToken();
  TacSkinnedControl<TCustomComboBox>::WndProc(Message);
  if (*alive) FollowBoundLabel(FBoundLabel, this, Message);
}

void TsCustomComboBox::AfterSkinChange(int Command) {
  switch (Command) {
    case QC_SKINLOADED:
      ApplySkinColors();
      // The list gets its adapter anew, made with the new skin; the window and its items stay.
      FreeListAdapter();
      if (HandleAllocated() && ListHandle_) MakeListAdapter(ListHandle_);
      break;
    case QC_SKINREMOVED:
      FreeListAdapter();
      if (FSkinData->Skinned()) {
        ApplySkinColors();
      } else {
        if (!FSkinData->CustomColor) SetColor(clWindow);
        if (!FSkinData->CustomFont) Font()->SetColor(clWindowText);
      }
      if (HandleAllocated()) RedrawWindow(Handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
      if (!SkinSwitchRunning()) Repaint();
      break;
    case QC_REFRESH:
      if (FSkinData->Skinned()) {
        ApplySkinColors();
        FSkinData->BGChanged = true;
        if (!SkinSwitchRunning()) Repaint();
      }
      break;
    default: break;
  }
}

void TsCustomComboBox::FocusGot(TMessage& Message) {
  if (CanFocus()) {
    FSkinData->Focused = true;
    FSkinData->MouseAbove = false;
    FSkinData->BGChanged = true;
  }
  auto alive = AliveToken();
  TCustomComboBox::WndProc(Message);
  if (*alive && HandleAllocated()) InvalidateRect(Handle_, nullptr, FALSE);
}

void TsCustomComboBox::FocusLost(TMessage& Message) {
  // The focus going to the control's own edit field or list stays inside it.
  const HWND to = Message.Msg == WM_KILLFOCUS ? HWND(Message.WParam) : nullptr;
  if (!to || (to != EditHandle_ && to != ListHandle_ && to != Handle_)) {
    if (DroppedDown()) SetDroppedDown(false);
    FSkinData->Focused = false;
    FSkinData->MouseAbove = false;
    FSkinData->BGChanged = true;
    Repaint();
  }
  TCustomComboBox::WndProc(Message);
}

bool TsCustomComboBox::MouseOverWindow() const {
  POINT p{};
  RECT r{};
  return HandleAllocated() && GetCursorPos(&p) && GetWindowRect(Handle_, &r) && PtInRect(&r, p);
}

void TsCustomComboBox::SetMouseAbove(bool Value) {
  if (FSkinData->MouseAbove == Value) return;
  FSkinData->MouseAbove = Value;
  FSkinData->BGChanged = true;
  Repaint();
}

void TsCustomComboBox::EnterLeave(TMessage& Message) {
  // The mouse going on into the edit field stays over the control.
  auto alive = AliveToken();
  SetMouseAbove(Message.Msg == CM_MOUSEENTER || MouseOverWindow());
  if (*alive) TCustomComboBox::WndProc(Message);
}

void TsCustomComboBox::EditMouseMessage(const TMessage& Message) {
  if (Message.Msg == WM_MOUSEMOVE) {
    if (FSkinData->MouseAbove || DroppedDown()) return;
    TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, EditHandle_, 0};
    TrackMouseEvent(&tme);
    SetMouseAbove(true);
  } else if (Message.Msg == WM_MOUSELEAVE && !DroppedDown()) {
    SetMouseAbove(MouseOverWindow());
  }
}

void TsCustomComboBox::ComboCommand(TMessage& Message) {
  // Every notification may change what the control shows (the choice, the text, the button).
  FSkinData->BGChanged = true;
  switch (Message.WParamHi()) {
    case CBN_DROPDOWN: FDropped = true; break;
    case CBN_CLOSEUP:
      FDropped = false;
      PaintControl(nullptr);
      break;
    default: break;
  }
}

bool TsCustomComboBox::SkinnedMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_PRINT:
      FSkinData->SetUpdating(false);
      PaintControl(HDC(Message.WParam));
      return true;
    case WM_PAINT: {
      const PaintScope paint(Handle_, HDC(Message.WParam));
      PaintControl(paint);
      Message.Result = 0;
      return true;
    }
    case WM_NCPAINT: PaintControl(nullptr); return true;
    case WM_ERASEBKGND: Message.Result = 1; return true;
    case WM_SETFOCUS:
    case CM_ENTER: FocusGot(Message); return true;
    case WM_KILLFOCUS:
    case CM_EXIT: FocusLost(Message); return true;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      if (!IsOwnEnterLeave(Message, this) || SendMessageA(Handle_, CB_GETDROPPEDSTATE, 0, 0)) return false;
      EnterLeave(Message);
      return true;
    case WM_SETFONT:
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
    case CM_MOUSEWHEEL:
    case CM_TEXTCHANGED:
    case WM_SETTEXT:
    case CB_SETCURSEL: FSkinData->BGChanged = true; return false;
    case WM_COMMAND:
      if (!FReadOnly) {
        // The edit field's notifications come while the list shows too.
        FDropped = FDropped && DroppedDown();
        FSkinData->BGChanged = true;
        PaintControl(nullptr);
      }
      return false;
    case WM_CTLCOLORLISTBOX: MakeListAdapter(HWND(Message.LParam)); return false;
    case CN_COMMAND: ComboCommand(Message); return false;
    default: return false;
  }
}

void TsCustomComboBox::Dispatch(TMessage& Message) {
  if (Message.Msg != CN_DRAWITEM || !FrameSkinned(this, FSkinData)) {
    TacSkinnedControl<TCustomComboBox>::Dispatch(Message);
    return;
  }
  auto& item = *reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
  if (!(item.itemState & ODS_COMBOBOXEDIT)) {
    TacSkinnedControl<TCustomComboBox>::Dispatch(Message);
    return;
  }
  Message.Result = 1;
  TBitmap* cache = FSkinData->CacheBmp;
  if (!FDropped && !(item.itemState & ODS_FOCUS)) {
    if (FSkinData->BGChanged) PrepareCache();
    if (cache && !cache->Empty()) {
      const BitmapDC src(cache);
      BitBlt(item.hDC, 0, 0, cache->Width(), cache->Height(), src, 0, 0, SRCCOPY);
    }
    return;
  }
  // The edit area draws its own focus look (no second focus rectangle over it).
  const CanvasOnDC bind(Canvas(), item.hDC);
  DrawItem(int(item.itemID), FromRECT(item.rcItem), OwnerDrawStateFromODS(item.itemState));
}

// ---- published properties ------------------------------------------------------------------------------------

namespace {
const bool kComboBoxProps = RegisterProperties<TsCustomComboBox, TCustomComboBox>([](auto& p) {
  p.Obj("SkinData", &TsCustomComboBox::SkinData);
  p.Obj("BoundLabel", &TsCustomComboBox::BoundLabel);
  p.Ord("Alignment", &TsCustomComboBox::Alignment, &TsCustomComboBox::SetAlignment);
  p.Set("DisabledKind", &TsCustomComboBox::DisabledKind, &TsCustomComboBox::SetDisabledKind, {"dkBlended", "dkGrayed"});
  p.Ord("ReadOnly", &TsCustomComboBox::ReadOnly, &TsCustomComboBox::SetReadOnly);
});
const bool kPlainComboBoxProps = RegisterProperties<TsComboBox, TsCustomComboBox>([](auto&) {});
}  // namespace
