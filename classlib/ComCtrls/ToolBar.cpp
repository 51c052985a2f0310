// TToolBar and its buttons TToolButton.
#include "classlib/ComCtrls.h"

#include <algorithm>

#include "classlib/core/TypInfo.h"

// ---- TToolButton ------------------------------------------------------------------------------

TToolButton::TToolButton(TComponent* AOwner) : TGraphicControl(AOwner) {
  ControlStyle_ = TControlStyle{csCaptureMouse, csSetCaption};
  // The native button is what the user sees and clicks; the control itself covers nothing.
  SetBounds(0, 0, 0, 0);
}

void TToolButton::BeforeDestruction() {
  if (ToolBar_) ToolBar_->RemoveButton(this);
  TGraphicControl::BeforeDestruction();
}

void TToolButton::SetParent(TWinControl* AParent) {
  if (ToolBar_ && ToolBar_ != AParent) ToolBar_->RemoveButton(this);
  TGraphicControl::SetParent(AParent);
  if (auto* bar = dynamic_cast<TToolBar*>(AParent); bar && bar != ToolBar_) bar->InsertButton(this);
}

int TToolButton::Index() const {
  if (!ToolBar_) return -1;
  auto& b = ToolBar_->Buttons_;
  auto it = std::find(b.begin(), b.end(), this);
  return it == b.end() ? -1 : static_cast<int>(it - b.begin());
}

void TToolButton::Changed() {
  if (ToolBar_) ToolBar_->RecreateButtons();
}

void TToolButton::SetStyle(TToolButtonStyle v) {
  if (Style_ == v) return;
  Style_ = v;
  Changed();
}

void TToolButton::SetImageIndex(int v) {
  if (ImageIndex_ == v) return;
  ImageIndex_ = v;
  Changed();
}

bool TToolButton::Down() const {
  if (ToolBar_ && ToolBar_->HandleAllocated() && Index() >= 0 && Visible_) {
    const int id = Index() + 1;
    return (SendMessageA(ToolBar_->Handle_, TB_GETSTATE, static_cast<WPARAM>(id), 0) &
            (TBSTATE_CHECKED | TBSTATE_PRESSED)) != 0;
  }
  return Down_;
}

void TToolButton::SetDown(bool v) {
  Down_ = v;
  if (ToolBar_) ToolBar_->UpdateButtonState(this);
}

void TToolButton::SetGrouped(bool v) {
  if (Grouped_ == v) return;
  Grouped_ = v;
  Changed();
}

void TToolButton::SetDropdownMenu(TPopupMenu* v) {
  DropdownMenu_ = v;
  if (v) v->FreeNotification(this);
}

void TToolButton::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == DropdownMenu_) DropdownMenu_ = nullptr;
}

bool TToolButton::CheckMenuDropdown() {
  if (!DropdownMenu_ || !ToolBar_) return false;
  TRect r = ToolBar_->ButtonRect(Index());
  TPoint p = ToolBar_->ClientToScreen(TPoint{r.Left, r.Bottom});
  TToolBar* bar = ToolBar_;
  DropdownMenu_->SetPopupComponent(this);
  DropdownMenu_->Popup(p.X, p.Y);
  if (bar->HandleAllocated()) PostMessageA(bar->Handle(), CN_DROPDOWNCLOSED, 0, 0);
  return true;
}

void TToolButton::Dispatch(TMessage& Message) {
  TGraphicControl::Dispatch(Message);
  switch (Message.Msg) {
    case CM_TEXTCHANGED:
    case CM_ENABLEDCHANGED:
    case CM_VISIBLECHANGED: Changed(); break;
    default: break;
  }
}

// ---- TToolBar ---------------------------------------------------------------------------------

TToolBar::TToolBar(TComponent* AOwner) : TWinControl(AOwner) {
  ControlStyle_ = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks, csMenuEvents};
  SetBounds(0, 0, 150, 29);
  Align_ = alTop;
  Canvas_ = new TCanvas();
}

TToolBar::~TToolBar() { delete Canvas_; }

void TToolBar::BeforeDestruction() {
  for (TToolButton* b : Buttons_) b->ToolBar_ = nullptr;
  Buttons_.clear();
  TWinControl::BeforeDestruction();
}

void TToolBar::SetShowCaptions(bool v) {
  if (ShowCaptions_ == v) return;
  ShowCaptions_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TToolBar::SetImages(TCustomImageList* v) {
  Images_ = v;
  if (v) v->FreeNotification(this);
  if (HandleAllocated()) RecreateWnd();
}

void TToolBar::SetFlat(bool v) {
  if (Flat_ == v) return;
  Flat_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TToolBar::SetButtonWidth(int v) {
  ButtonWidth_ = v;
  RecreateButtons();
}

void TToolBar::SetButtonHeight(int v) {
  ButtonHeight_ = v;
  RecreateButtons();
}

void TToolBar::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == Images_) {
    Images_ = nullptr;
    if (HandleAllocated() && !IsDestroying()) SendMessageA(Handle_, TB_SETIMAGELIST, 0, 0);
  }
}

void TToolBar::InsertButton(TToolButton* Button) {
  if (std::find(Buttons_.begin(), Buttons_.end(), Button) != Buttons_.end()) return;
  Buttons_.push_back(Button);
  Button->ToolBar_ = this;
  RecreateButtons();
}

void TToolBar::RemoveButton(TToolButton* Button) {
  auto it = std::find(Buttons_.begin(), Buttons_.end(), Button);
  if (it == Buttons_.end()) return;
  Buttons_.erase(it);
  Button->ToolBar_ = nullptr;
  RecreateButtons();
}

TRect TToolBar::ButtonRect(int Index) {
  RECT r{};
  if (HandleAllocated())
    SendMessageA(Handle_, TB_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&r));
  return FromRECT(r);
}

void TToolBar::UpdateButtonState(TToolButton* Button) {
  const int i = Button->Index();
  if (!HandleAllocated() || i < 0) return;
  BYTE state = Button->Enabled() ? TBSTATE_ENABLED : 0;
  if (Button->Down_) state |= Button->Style_ == tbsCheck ? TBSTATE_CHECKED : TBSTATE_PRESSED;
  if (!Button->Visible()) state |= TBSTATE_HIDDEN;
  SendMessageA(Handle_, TB_SETSTATE, static_cast<WPARAM>(i + 1), MAKELONG(state, 0));
}

void TToolBar::RecreateButtons() {
  if (!HandleAllocated() || Rebuilding_ || IsDestroying()) return;
  Rebuilding_ = true;
  while (SendMessageA(Handle_, TB_BUTTONCOUNT, 0, 0) > 0)
    if (!SendMessageA(Handle_, TB_DELETEBUTTON, 0, 0)) break;
  SendMessageA(Handle_, TB_SETBUTTONSIZE, 0, MAKELONG(ButtonWidth_, ButtonHeight_));
  for (std::size_t i = 0; i < Buttons_.size(); ++i) {
    TToolButton* b = Buttons_[i];
    TBBUTTON tb{};
    tb.iBitmap = b->ImageIndex_ >= 0 ? b->ImageIndex_ : I_IMAGENONE;
    tb.idCommand = static_cast<int>(i + 1);
    tb.fsState = b->Enabled() ? TBSTATE_ENABLED : 0;
    if (!b->Visible()) tb.fsState |= TBSTATE_HIDDEN;
    switch (b->Style_) {
      case tbsCheck:
        tb.fsStyle = BTNS_CHECK | (b->Grouped_ ? BTNS_GROUP : 0);
        if (b->Down_) tb.fsState |= TBSTATE_CHECKED;
        break;
      case tbsDropDown: tb.fsStyle = BTNS_DROPDOWN; break;
      case tbsSeparator:
      case tbsDivider:
        tb.fsStyle = BTNS_SEP;
        tb.iBitmap = 8;  // the gap's width
        break;
      default:
        tb.fsStyle = BTNS_BUTTON;
        if (b->Down_) tb.fsState |= TBSTATE_PRESSED;
        break;
    }
    tb.dwData = reinterpret_cast<DWORD_PTR>(b);
    const std::string caption = b->Caption();
    tb.iString = ShowCaptions_ && b->Style_ != tbsSeparator && b->Style_ != tbsDivider
                     ? reinterpret_cast<INT_PTR>(caption.c_str())
                     : -1;
    SendMessageA(Handle_, TB_INSERTBUTTONA, i, reinterpret_cast<LPARAM>(&tb));
  }
  SendMessageA(Handle_, TB_AUTOSIZE, 0, 0);
  Rebuilding_ = false;
  Invalidate();
}

void TToolBar::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, TOOLBARCLASSNAMEA);
  Params.Style |= CCS_NOPARENTALIGN | CCS_NOMOVEY | CCS_NORESIZE | CCS_NODIVIDER;
  if (Flat_) Params.Style |= TBSTYLE_FLAT;
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TToolBar::CreateWnd() {
  TWinControl::CreateWnd();
  SendMessageA(Handle_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageA(Handle_, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
  if (Images_) {
    SendMessageA(Handle_, TB_SETBITMAPSIZE, 0, MAKELONG(Images_->Width(), Images_->Height()));
    SendMessageA(Handle_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(Images_->Handle()));
  } else {
    SendMessageA(Handle_, TB_SETBITMAPSIZE, 0, MAKELONG(0, 0));
  }
  RecreateButtons();
}

LRESULT TToolBar::CustomDraw(NMTBCUSTOMDRAW& cd) {
  const DWORD stage = cd.nmcd.dwDrawStage;
  auto mapStage = [](DWORD s) {
    switch (s & ~static_cast<DWORD>(CDDS_ITEM)) {
      case CDDS_POSTPAINT: return cdPostPaint;
      case CDDS_PREERASE: return cdPreErase;
      case CDDS_POSTERASE: return cdPostErase;
      default: return cdPrePaint;
    }
  };
  if (!(stage & CDDS_ITEM)) {
    LRESULT result = CDRF_DODEFAULT;
    if (OnAdvancedCustomDraw) {
      bool def = true;
      CanvasOnDC bind(Canvas_, cd.nmcd.hdc, Font_);
      OnAdvancedCustomDraw(this, FromRECT(cd.nmcd.rc), mapStage(stage), def);
      if (!def) result = CDRF_SKIPDEFAULT;
    }
    if (stage == CDDS_PREPAINT) {
      if (OnAdvancedCustomDrawButton) result |= CDRF_NOTIFYITEMDRAW;
      if (OnAdvancedCustomDraw) result |= CDRF_NOTIFYPOSTPAINT;
    }
    return result;
  }
  auto* button = reinterpret_cast<TToolButton*>(cd.nmcd.lItemlParam);
  if (std::find(Buttons_.begin(), Buttons_.end(), button) == Buttons_.end() || !OnAdvancedCustomDrawButton)
    return CDRF_DODEFAULT;
  TCustomDrawState state;
  const UINT s = cd.nmcd.uItemState;
  if (s & CDIS_SELECTED) state.Include(cdsSelected);
  if (s & CDIS_GRAYED) state.Include(cdsGrayed);
  if (s & CDIS_DISABLED) state.Include(cdsDisabled);
  if (s & CDIS_CHECKED) state.Include(cdsChecked);
  if (s & CDIS_FOCUS) state.Include(cdsFocused);
  if (s & CDIS_DEFAULT) state.Include(cdsDefault);
  if (s & CDIS_HOT) state.Include(cdsHot);
  if (s & CDIS_MARKED) state.Include(cdsMarked);
  if (s & CDIS_INDETERMINATE) state.Include(cdsIndeterminate);
  TTBCustomDrawFlags flags;
  bool def = true;
  {
    CanvasOnDC bind(Canvas_, cd.nmcd.hdc, Font_);
    OnAdvancedCustomDrawButton(this, button, state, mapStage(stage), flags, def);
  }
  if (!def) return CDRF_SKIPDEFAULT;
  LRESULT result = CDRF_DODEFAULT;
  if (flags.Contains(tbNoEdges)) result |= TBCDRF_NOEDGES;
  if (flags.Contains(tbHiliteHotTrack)) result |= TBCDRF_HILITEHOTTRACK;
  if (flags.Contains(tbNoOffset)) result |= TBCDRF_NOOFFSET;
  if (flags.Contains(tbNoMark)) result |= TBCDRF_NOMARK;
  if (flags.Contains(tbNoEtchedEffect)) result |= TBCDRF_NOETCHEDEFFECT;
  return result;
}

void TToolBar::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_DROPDOWNCLOSED: Message.Result = 0; return;
    case CN_COMMAND: CNCommand(Message); return;
    case CN_NOTIFY:
      if (!CNNotify(Message)) TWinControl::Dispatch(Message);
      return;
    default: TWinControl::Dispatch(Message);
  }
}

// A button was clicked: a check button takes the bar's checked state first.
void TToolBar::CNCommand(TMessage& Message) {
  const int i = LOWORD(Message.WParam) - 1;
  if (i >= 0 && i < ButtonCount()) {
    TToolButton* b = Buttons_[static_cast<std::size_t>(i)];
    if (b->Style_ == tbsCheck) b->Down_ = SendMessageA(Handle_, TB_ISBUTTONCHECKED, static_cast<WPARAM>(i + 1), 0) != 0;
    b->Click();
  }
  Message.Result = 0;
}

// Custom drawing and drop-down arrows; true when handled.
bool TToolBar::CNNotify(TMessage& Message) {
  const UINT code = reinterpret_cast<NMHDR*>(Message.LParam)->code;
  if (code == static_cast<UINT>(NM_CUSTOMDRAW)) {
    Message.Result = CustomDraw(*reinterpret_cast<NMTBCUSTOMDRAW*>(Message.LParam));
    return true;
  }
  if (code == static_cast<UINT>(TBN_DROPDOWN)) {
    const int i = reinterpret_cast<NMTOOLBARA*>(Message.LParam)->iItem - 1;
    if (i >= 0 && i < ButtonCount()) Buttons_[static_cast<std::size_t>(i)]->CheckMenuDropdown();
    Message.Result = TBDDRET_DEFAULT;
    return true;
  }
  return false;
}

// ---- published properties ----------------------------------------------------------------------

static const bool kToolButtonProps = RegisterProperties<TToolButton, TGraphicControl>([](auto& p) {
  p.Str("Caption", &TToolButton::Caption, &TToolButton::SetCaption);
  p.Ord("Style", &TToolButton::Style, &TToolButton::SetStyle);
  p.Ord("ImageIndex", &TToolButton::ImageIndex, &TToolButton::SetImageIndex);
  p.Ord("Down", &TToolButton::Down, &TToolButton::SetDown);
  p.Ord("Grouped", &TToolButton::Grouped, &TToolButton::SetGrouped);
  p.Obj("DropdownMenu", &TToolButton::DropdownMenu, &TToolButton::SetDropdownMenu);
});

static const bool kToolBarProps = RegisterProperties<TToolBar, TWinControl>([](auto& p) {
  p.Ord("ShowCaptions", &TToolBar::ShowCaptions, &TToolBar::SetShowCaptions);
  p.Obj("Images", &TToolBar::Images, &TToolBar::SetImages);
  p.Ord("Flat", &TToolBar::Flat, &TToolBar::SetFlat);
  p.Ord("ButtonWidth", &TToolBar::ButtonWidth, &TToolBar::SetButtonWidth);
  p.Ord("ButtonHeight", &TToolBar::ButtonHeight, &TToolBar::SetButtonHeight);
});
