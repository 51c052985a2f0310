// The pages of the skinned page control and the close button of a plain tab.
#include "skin/controls/sPageControl.h"

#include <optional>

#include "classlib/core/TypInfo.h"
#include "skin/engine/sStyleSimply.h"

// ---- TsTabBtn ---------------------------------------------------------------------------------------

TsTabBtn::TsTabBtn(TComponent* AOwner) : TsSpeedButton(AOwner) {
  SetFlat(true);
  SetCaption("X");
  Font()->SetStyle(TFontStyles{fsBold});
  Font()->SetColor(TColor(0x0000FF));
}

// ---- TsTabSheet ---------------------------------------------------------------------------------------

TsTabSheet::TsTabSheet(TComponent* AOwner) : TTabSheet(AOwner), FSkinData(new TsTabSkinData()) {}

TsTabSheet::~TsTabSheet() { delete FSkinData; }

void TsTabSheet::BeforeDestruction() {
  if (TsPageControl* pc = SkinnedControl()) pc->PageGoes(this);
  TTabSheet::BeforeDestruction();
}

TsPageControl* TsTabSheet::SkinnedControl() const { return dynamic_cast<TsPageControl*>(PageControl()); }

bool TsTabSheet::ControlSkinned() const {
  TsPageControl* pc = SkinnedControl();
  return pc && pc->SkinData() && ControlIsReady(pc) && pc->SkinData()->Skinned();
}

void TsTabSheet::ChangedTabLook() {
  if (TsPageControl* pc = SkinnedControl()) pc->SkinData()->Invalidate();
}

void TsTabSheet::SetButtonSkin(const std::string& Value) {
  if (FButtonSkin == Value) return;
  FButtonSkin = Value;
  ChangedTabLook();
}

void TsTabSheet::SetTabSkin(const std::string& Value) {
  if (FTabSkin == Value) return;
  FTabSkin = Value;
  ChangedTabLook();
}

void TsTabSheet::SetUseCloseBtn(bool Value) {
  if (FUseCloseBtn == Value) return;
  FUseCloseBtn = Value;
  if (TsPageControl* pc = SkinnedControl()) {
    pc->UpdateCloseButtons();
    pc->SkinData()->Invalidate();
  }
}

bool TsTabSheet::SkinCommand(TMessage& Message) {
  TsPageControl* pc = SkinnedControl();
  TsCommonData* sd = pc->SkinData();
  const bool own = IsOwnManagerCommand(Message, sd);
  const bool skinned = ControlSkinned();
  if (AnswerIdentity(Message)) return true;
  switch (Message.WParamHi()) {
    case QC_SKINREMOVED:
      if (own && !SkinSwitchRunning()) Repaint();
      PassSkinCommandOn(this, Message);
      return false;
    case QC_SKINLOADED: PassSkinCommandOn(this, Message); return false;
    case QC_REFRESH:
      if (own && Visible_ && !SkinSwitchRunning()) Repaint();
      PassSkinCommandOn(this, Message);
      return false;
    case QC_GETCACHE:
      if (!skinned) return false;
      // Children of the page take their background from the page control's cache.
      SharedCacheInfo.Ready = false;
      SendControlSkinCommand(pc, QC_GETCACHE);
      SharedCacheInfo.X += Left_;
      SharedCacheInfo.Y += Top_;
      return false;
    case QC_ISBUSY:
      if (!skinned) return false;
      Message.LParam = AskControl(pc, QC_ISBUSY) ? 1 : 0;
      Message.Result = Message.LParam;
      return true;
    case QC_GETPARENTCOLOR:
      if (skinned && pc->HandleAllocated()) SendSkinCommand(pc->Handle(), QC_GETPARENTCOLOR, 0);
      return false;
    case QC_ISTRANSPARENT: {
      if (!skinned) return false;
      const TsGeneralData& gd = sd->SkinManager()->Section(sd->SkinIndex);
      const bool moves = gd.GradientPercent + gd.ImagePercent > 0 || sd->RepaintIfMoved();
      Message.LParam = moves ? 1 : 0;
      Message.Result = Message.LParam;
      return true;
    }
    default: return false;
  }
}

void TsTabSheet::PaintMessage(TMessage& Message) {
  TsPageControl* pc = SkinnedControl();
  TsCommonData* sd = pc->SkinData();
  HDC given = reinterpret_cast<HDC>(Message.WParam);
  // A paint without a DC only validates the window here: the whole page is painted on the
  // window's DC (the page control repaints its active page that way after its own paint).
  std::optional<PaintScope> validate;
  if (!given) validate.emplace(Handle_);
  Message.Result = 0;
  if (RefreshUpdating(sd)) return;
  if (!sd->CacheBmp || sd->CacheBmp->Empty() || sd->BGChanged) {
    // The page control has not built its picture yet: it paints this page when it has.
    pc->Invalidate();
    return;
  }
  const ClientDC dc(Handle_, given);
  if (!dc) return;
  const SavedDC saved(dc);
  CopyCacheExcludingChildren(this, sd, Point(Left_, Top_), Rect(0, 0, Width_, Height_), dc, false, 0, 0);
  PaintGraphicChildren(dc, this, Point(0, 0));
  RepaintChildControls(this);
}

void TsTabSheet::PrintMessage(TMessage& Message) {
  HDC dc = reinterpret_cast<HDC>(Message.WParam);
  if (!dc) return;
  TMessage paint = MakeMessage(WM_PAINT, Message.WParam, 1);
  PaintMessage(paint);
  if (Message.LParam & PRF_CHILDREN) PrintChildWindows(Handle_, dc, Message.LParam);
  Message.Result = 0;
}

void TsTabSheet::WndProc(TMessage& Message) {
  if (!SkinnedControl()) {
    TTabSheet::WndProc(Message);
    return;
  }
  // The tab shows whether its page is enabled.
  if (Message.Msg == CM_ENABLEDCHANGED || Message.Msg == CM_TEXTCHANGED) ChangedTabLook();
  if (Message.Msg == SM_QUORVEXCMD) {
    if (SkinCommand(Message)) return;
    TTabSheet::WndProc(Message);
    return;
  }
  if (ControlSkinned() && !IsDying(this)) {
    switch (Message.Msg) {
      case WM_ERASEBKGND: Message.Result = 1; return;
      case WM_PAINT:
        if (Showing()) {
          PaintMessage(Message);
          return;
        }
        break;
      case WM_PRINT:
        if (Showing()) {
          PrintMessage(Message);
          return;
        }
        break;
      case WM_MOUSEMOVE:
        if (!IsDesigning(this) && DefaultManager) DefaultManager->SetHotWindow(nullptr);
        break;
      case WM_PARENTNOTIFY: {
        const int event = LoWord(Message.WParam);
        if (event != WM_CREATE && event != WM_DESTROY) break;
        auto alive = AliveToken();
        TTabSheet::WndProc(Message);
        if (*alive && event == WM_CREATE) AnnounceToParentForm(this);
        return;
      }
      default: break;
    }
  }
  TTabSheet::WndProc(Message);
}

// ---- published properties ------------------------------------------------------------------------------------

namespace {
const bool kTabSkinDataProps = RegisterProperties<TsTabSkinData, TPersistent>([](auto& p) {
  p.Ord("CustomColor", &TsTabSkinData::CustomColor, &TsTabSkinData::SetCustomColor);
  p.Ord("CustomFont", &TsTabSkinData::CustomFont, &TsTabSkinData::SetCustomFont);
  p.Str("SkinSection", &TsTabSkinData::SkinSection, &TsTabSkinData::SetSkinSection);
});
const bool kTabSheetProps = RegisterProperties<TsTabSheet, TTabSheet>([](auto& p) {
  p.Obj("SkinData", &TsTabSheet::SkinData);
  p.Str("ButtonSkin", &TsTabSheet::ButtonSkin, &TsTabSheet::SetButtonSkin);
  p.Str("TabSkin", &TsTabSheet::TabSkin, &TsTabSheet::SetTabSkin);
  p.Ord("UseCloseBtn", &TsTabSheet::UseCloseBtn, &TsTabSheet::SetUseCloseBtn);
});
}  // namespace
