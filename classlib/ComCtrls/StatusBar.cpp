// TStatusBar with its panels.
#include "classlib/ComCtrls.h"

#include <algorithm>

#include "classlib/Forms.h"
#include "classlib/core/TypInfo.h"

// ---- TStatusBar -------------------------------------------------------------------------------

void TStatusPanel::SetText(const std::string& v) {
  if (Text_ == v) return;
  Text_ = v;
  Changed(false);
}

void TStatusPanel::SetWidth(int v) {
  if (Width_ == v) return;
  Width_ = v;
  Changed(true);
}

void TStatusPanel::SetAlignment(TAlignment v) {
  if (Alignment_ == v) return;
  Alignment_ = v;
  Changed(false);
}

void TStatusPanel::SetStyle(TStatusPanelStyle v) {
  if (Style_ == v) return;
  Style_ = v;
  Changed(false);
}

void TStatusPanel::SetBevel(TStatusPanelBevel v) {
  if (Bevel_ == v) return;
  Bevel_ = v;
  Changed(false);
}

void TStatusPanel::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TStatusPanel*>(Source)) {
    Text_ = s->Text_;
    Width_ = s->Width_;
    Alignment_ = s->Alignment_;
    Style_ = s->Style_;
    Bevel_ = s->Bevel_;
    Changed(true);
    return;
  }
  TCollectionItem::Assign(Source);
}

TStatusPanels::TStatusPanels(TStatusBar* bar) : TOwnedCollection(bar, ItemClass<TStatusPanel>()), Bar_(bar) {}

void TStatusPanels::Update(TCollectionItem*) { Bar_->UpdatePanels(); }

TStatusBar::TStatusBar(TComponent* AOwner) : TWinControl(AOwner) {
  ControlStyle_ = TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque};
  Color_ = clBtnFace;
  ParentColor_ = false;
  SetBounds(0, 0, 150, 19);
  Align_ = alBottom;
  Panels_ = new TStatusPanels(this);
  Canvas_ = new TCanvas();
}

TStatusBar::~TStatusBar() {
  delete Panels_;
  delete Canvas_;
}

void TStatusBar::SetSimplePanel(bool v) {
  if (SimplePanel_ == v) return;
  SimplePanel_ = v;
  UpdatePanels();
}

void TStatusBar::SetSimpleText(const std::string& v) {
  if (SimpleText_ == v) return;
  SimpleText_ = v;
  if (HandleAllocated() && SimplePanel_)
    SendMessageA(Handle_, SB_SETTEXTA, 255, reinterpret_cast<LPARAM>(SimpleText_.c_str()));
}

void TStatusBar::SetSizeGrip(bool v) {
  if (SizeGrip_ == v) return;
  SizeGrip_ = v;
  if (HandleAllocated()) RecreateWnd();
}

void TStatusBar::SetUseSystemFont(bool v) {
  if (UseSystemFont_ == v) return;
  UseSystemFont_ = v;
  if (v) {
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof ncm;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0)) {
      Font_->SetName(ncm.lfStatusFont.lfFaceName);
      Font_->SetHeight(ncm.lfStatusFont.lfHeight);
      ParentFont_ = false;
    }
  }
}

bool TStatusBar::SizeGripShown() const {
  // The window's grip sizes the window's parent: only a sizeable form's own bar gets one (inside a
  // panel it would size the panel).
  auto* form = dynamic_cast<TCustomForm*>(Parent_);
  return SizeGrip_ && form && (form->BorderStyle() == bsSizeable || form->BorderStyle() == bsSizeToolWin);
}

void TStatusBar::SetParent(TWinControl* AParent) {
  TWinControl::SetParent(AParent);
  if (!AParent || !HandleAllocated() || ComponentState().Contains(csDestroying)) return;
  const bool has = (GetWindowLongPtrA(Handle_, GWL_STYLE) & SBARS_SIZEGRIP) != 0;
  if (has != SizeGripShown()) RecreateWnd();
}

void TStatusBar::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, STATUSCLASSNAMEA);
  Params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
  if (SizeGripShown()) Params.Style |= SBARS_SIZEGRIP;
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TStatusBar::CreateWnd() {
  TWinControl::CreateWnd();
  UpdatePanels();
}

void TStatusBar::UpdatePanels() {
  if (!HandleAllocated()) return;
  if (SimplePanel_) {
    SendMessageA(Handle_, SB_SIMPLE, TRUE, 0);
    SendMessageA(Handle_, SB_SETTEXTA, 255, reinterpret_cast<LPARAM>(SimpleText_.c_str()));
    return;
  }
  SendMessageA(Handle_, SB_SIMPLE, FALSE, 0);
  const int n = Panels_->Count();
  if (n == 0) {
    int edge = -1;
    SendMessageA(Handle_, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&edge));
    SendMessageA(Handle_, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(""));
    return;
  }
  std::vector<int> edges(static_cast<std::size_t>(std::min(n, MaxWindowParts)));
  int x = 0;
  for (std::size_t i = 0; i < edges.size(); ++i) {
    x += Panels_->Items(static_cast<int>(i))->Width();
    edges[i] = i + 1 == edges.size() ? -1 : x;
  }
  SendMessageA(Handle_, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
  for (std::size_t i = 0; i < edges.size(); ++i) {
    TStatusPanel* p = Panels_->Items(static_cast<int>(i));
    WPARAM flags = i;
    if (p->Bevel() == pbNone) flags |= SBT_NOBORDERS;
    if (p->Bevel() == pbRaised) flags |= SBT_POPOUT;
    if (p->Style() == psOwnerDraw) {
      SendMessageA(Handle_, SB_SETTEXTA, flags | SBT_OWNERDRAW, reinterpret_cast<LPARAM>(p));
    } else {
      std::string text = p->Text();
      if (p->Alignment() == taCenter) text = "\t" + text;
      if (p->Alignment() == taRightJustify) text = "\t\t" + text;
      SendMessageA(Handle_, SB_SETTEXTA, flags, reinterpret_cast<LPARAM>(text.c_str()));
    }
  }
}

void TStatusBar::DrawPanel(TStatusPanel* Panel, const TRect& Rect) {
  if (OnDrawPanel)
    OnDrawPanel(this, Panel, Rect);
  else
    Canvas_->FillRect(Rect);
}

void TStatusBar::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_DRAWITEM: CNDrawItem(Message); return;
    case WM_SIZE:
      TWinControl::Dispatch(Message);
      // The bar resizes its size grip and parts with the window.
      if (HandleAllocated()) SendMessageA(Handle_, WM_SIZE, 0, 0);
      return;
    default: TWinControl::Dispatch(Message);
  }
}

// An owner-drawn panel: drawn on the bar's canvas bound to the item's DC.
void TStatusBar::CNDrawItem(TMessage& Message) {
  auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
  const int i = static_cast<int>(dis->itemID);
  if (i >= 0 && i < Panels_->Count()) {
    CanvasOnDC bind(Canvas_, dis->hDC, Font_);
    Canvas_->Brush()->Assign(Brush_);
    DrawPanel(Panels_->Items(i), FromRECT(dis->rcItem));
  }
  Message.Result = 1;
}

// ---- published properties ----------------------------------------------------------------------

static const bool kStatusBarProps = RegisterProperties<TStatusBar, TWinControl>([](auto& p) {
  p.Obj("Panels", &TStatusBar::Panels, &TStatusBar::SetPanels);
  p.Ord("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel);
  p.Str("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText);
  p.Ord("SizeGrip", &TStatusBar::SizeGrip, &TStatusBar::SetSizeGrip);
  p.Ord("UseSystemFont", &TStatusBar::UseSystemFont, &TStatusBar::SetUseSystemFont);
});
