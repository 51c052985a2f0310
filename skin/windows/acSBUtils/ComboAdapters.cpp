// The combo box adapters: the combo's frame and drop-down button, its list's frame and bars.
#include "skin/windows/acSBUtils/ComboAdapters.h"

#include <algorithm>
#include <cstring>

#include "skin/engine/sQuorvexGraph.h"
#include "skin/engine/sStyleSimply.h"
#include "skin/windows/acSBUtils/Internal.h"

using namespace acsb;

bool DroppedDown = false;

namespace {

// What a combo sends its list when the list starts and ends selecting by dragging.
constexpr UINT LBCB_STARTTRACK = 0x1AE;
constexpr UINT LBCB_ENDTRACK = 0x1AF;

UINT ComboType(HWND wnd) { return UINT(GetWindowLongPtrA(wnd, GWL_STYLE) & 3); }

HWND ListOf(HWND combo) {
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  return GetComboBoxInfo(combo, &info) ? info.hwndList : nullptr;
}

// The image of the window's parent and where the window lies in it, or the parent's colour.
void CopyParentImage(HDC dc, HWND wnd, const TRect& r) {
  if (r.IsEmpty()) return;
  const TsCacheInfo ci = AskParentCacheWnd(wnd);
  HWND parent = GetParent(wnd);
  RECT wr{}, pr{};
  GetWindowRect(wnd, &wr);
  if (parent) GetWindowRect(parent, &pr);
  if (ci.Ready && ci.Bmp && !ci.Bmp->Empty()) {
    BitmapDC src(ci.Bmp);
    if (src) {
      BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), src, ci.X + wr.left - pr.left + r.Left,
             ci.Y + wr.top - pr.top + r.Top, SRCCOPY);
      return;
    }
  }
  FillRectColor(dc, r, ParentColorOf(wnd));
}

}  // namespace

// ---- TacComboBoxWnd ---------------------------------------------------------------------------------

TacComboBoxWnd::TacComboBoxWnd(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager,
                               const std::string& SkinSection, bool Repaint)
    : TacEditWnd(AHandle, ASkinData, ASkinManager, SkinSection, Repaint),
      BtnSkinData(new TsCommonData(nullptr, true)) {}

TacComboBoxWnd::~TacComboBoxWnd() {
  FreeAndNil(ListAdapter);
  delete BtnSkinData;
  BtnSkinData = nullptr;
}

bool TacComboBoxWnd::IsSimple() const { return ComboType(WndHandle) == CBS_SIMPLE; }

TRect TacComboBoxWnd::ButtonRect() {
  RECT wr{};
  GetWindowRect(WndHandle, &wr);
  const int w = wr.right - wr.left, h = wr.bottom - wr.top;
  const UINT type = ComboType(WndHandle);
  const int width = type == CBS_DROPDOWN || type == CBS_DROPDOWNLIST ? GetSystemMetrics(SM_CXVSCROLL) : 0;
  const int left = (GetWindowLongPtrA(WndHandle, GWL_EXSTYLE) & WS_EX_RTLREADING) ? 2 : w - width - 2;
  return Rect(left, 2, left + width, h - 2);
}

void TacComboBoxWnd::HandleMessage(TMessage& Message) {
  auto alive = AliveToken();
  switch (Message.Msg) {
    case SM_QUORVEXCMD:
      if (Message.WParamHi() != QC_MOUSEENTERWND && Message.WParamHi() != QC_MOUSELEAVEWND) break;
      SkinData->MouseAbove = Message.WParamHi() == QC_MOUSEENTERWND;
      TacEditWnd::HandleMessage(Message);
      if (*alive) PaintButton(nullptr);
      return;
    case WM_NCPAINT:
    case WM_ERASEBKGND: return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_LBUTTONUP:
      TacEditWnd::HandleMessage(Message);
      if (*alive) PaintButton(nullptr);
      return;
    case WM_NCCALCSIZE:
      TacEditWnd::HandleMessage(Message);
      if (*alive) BorderLeft = 3;
      return;
    case WM_COMMAND:
      if (ComboType(WndHandle) != CBS_DROPDOWN) {
        if (HiWord(Message.WParam) == CBN_CLOSEUP) DroppedDown = false;
        if (HiWord(Message.WParam) == CBN_DROPDOWN) DroppedDown = true;
      }
      break;
    case WM_PAINT: ComboPaint(Message); return;
    case WM_CTLCOLORLISTBOX: ListColors(Message); return;
    case WM_PRINT:
      if (!Message.WParam) break;
      PrintInto(HDC(Message.WParam));
      return;
    default: break;
  }
  TacEditWnd::HandleMessage(Message);
}

void TacComboBoxWnd::ComboPaint(TMessage& Message) {
  UpdateRects();
  // The combo paints itself first; the skin's frame and button go over it.
  if (!PassOn(Message)) return;
  WindowDC dc(WndHandle, HDC(Message.WParam));
  if (!dc || AskUpdating()) return;
  auto alive = AliveToken();
  if (IsSimple()) {
    PrepareSimpleCache();
  } else {
    SkinData->BGChanged = true;
    SendSkinCommand(WndHandle, QC_PREPAREFADE);
    if (!*alive) return;
  }
  TBitmap* cache = SkinData->CacheBmp;
  if (cache && !cache->Empty()) {
    BitmapDC src(cache);
    if (src) BitBltBorder(dc, 0, 0, cache->Width(), cache->Height(), src, 0, 0, 3);
  }
  if (!IsSimple()) PaintButton(dc);
}

void TacComboBoxWnd::PaintButton(HDC DC) {
  if (IsSimple() || !SkinOn()) return;
  const TRect r = ButtonRect();
  TBitmap* cache = SkinData->CacheBmp;
  if (r.IsEmpty() || !cache || cache->Empty()) return;
  if (!ListWnd) ListWnd = ListOf(WndHandle);
  TsSkinManager* sm = SkinData->SkinManager();
  const int state = ListWnd && IsWindowVisible(ListWnd) ? 2 : IsHot() ? 1 : 0;
  BtnSkinData->InitCacheBmp();
  TBitmap* bmp = BtnSkinData->CacheBmp;
  bmp->SetSize(r.Width(), r.Height());
  {
    BitmapDC src(cache), dst(bmp);
    if (!src || !dst) return;
    BitBlt(dst, 0, 0, r.Width(), r.Height(), src, r.Left, r.Top, SRCCOPY);
  }
  const TacSectionIndexes& btn = sm->ConstData().ComboBtn;
  if (sm->IsSectionIndex(btn.Section))
    PaintSectionItem(btn.Section, "COMBOBTN", BuildCacheInfo(cache, 0, 0), true, state,
                     Rect(0, 0, r.Width(), r.Height()), r.TopLeft(), bmp, sm, btn.Pattern, btn.HotPattern);
  const int glyph = sm->ConstData().ComboBoxGlyph;
  const int gh = sm->IsMaskIndex(glyph) ? sm->Mask(glyph).FrameHeight() : 16;
  if (sm->IsMaskIndex(glyph)) {
    const int gw = sm->Mask(glyph).FrameWidth();
    // Centred in the button across, in the window down.
    PaintMaskImage(bmp, TPoint{(r.Width() - gw) / 2, (WndSize.cy - gh) / 2 - r.Top}, state, 1, sm->Mask(glyph), sm);
  }
  WindowDC dc(WndHandle, DC);
  BitmapDC src(bmp);
  if (dc && src) BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), src, 0, 0, SRCCOPY);
}

void TacComboBoxWnd::ListColors(TMessage& Message) {
  auto alive = AliveToken();
  TacEditWnd::HandleMessage(Message);  // the parent's answer first
  if (!*alive) return;
  if (!ListWnd) ListWnd = HWND(Message.LParam);
  if (!ListAdapterMade_ && ListWnd) {
    ListAdapterMade_ = true;
    // The list of a simple combo may carry an adapter already (a dialog's windows are adapted one
    // by one): one window, one adapter.
    if (!GetWndAdapter(ListWnd)) {
      const bool hooking = HookAttaching;
      if (!SkinData->OwnerControl) HookAttaching = DialogMode;
      const bool repaint = SendMessageA(WndHandle, CB_GETCOUNT, 0, 0) > 0;
      ListAdapter = Create<TacComboListWnd>(ListWnd, nullptr, SkinData->SkinManager(), "EDIT", repaint);
      HookAttaching = hooking;
      ListAdapter->IsSimple = IsSimple();
      if (!*alive) return;
    }
  }
  const LRESULT index = ListWnd ? SendSkinCommand(ListWnd, QC_GETSECTIONINDEX) : 0;
  TsSkinManager* sm = SkinData->SkinManager();
  if (index > 0 && !DialogMode && sm && sm->IsSectionIndex(int(index - 1))) {
    const TsGeneralData& gd = sm->Section(int(index - 1));
    HDC dc = HDC(Message.WParam);
    if (gd.FontColor.Text() != qv::clNoColor) SetTextColor(dc, COLORREF(gd.FontColor.Text()));
    SetBkColor(dc, COLORREF(gd.Color));
    Message.Result = reinterpret_cast<LRESULT>(CtlColorBrush(TColor(gd.Color)));
  }
}

void TacComboBoxWnd::PrepareSimpleCache() {
  // The edit field's part of the window: above the list.
  int field = int(SendMessageA(WndHandle, CB_GETITEMHEIGHT, WPARAM(-1), 0)) + 8;
  if (!ListWnd) ListWnd = ListOf(WndHandle);
  if (ListWnd && IsWindowVisible(ListWnd)) {
    RECT lr{};
    GetWindowRect(ListWnd, &lr);
    field = std::clamp(int(lr.top - WndRect.Top), 0, WndSize.cy);
  }
  SkinData->InitCacheBmp();
  TBitmap* cache = SkinData->CacheBmp;
  if (cache->Width() != WndSize.cx || cache->Height() != field) cache->SetSize(WndSize.cx, field);
  TsSkinManager* sm = SkinData->SkinManager();
  const bool global =
      sm->SectionIndexOf("GLOBALINFO") >= 0 && (sm->GetGlobalColor() & 0xFFFFFF) != (clParentColorUnset & 0xFFFFFF);
  if (DialogMode && global)
    FillBmpRect(cache, Rect(0, 0, WndSize.cx, field), sm->GetGlobalColor());
  else
    PaintControlItem(SkinData, AskParentCacheWnd(WndHandle), true, IsHot() ? 1 : 0, Rect(0, 0, WndSize.cx, field),
                     WndPos, cache, true);
  SkinData->BGChanged = false;
}

void TacComboBoxWnd::PaintEditText() {
  TBitmap* cache = SkinData->CacheBmp;
  if (!cache || cache->Empty()) return;
  TCanvas* canvas = cache->Canvas();
  UseWindowFont(canvas);
  std::string text;
  const LRESULT sel = SendMessageA(WndHandle, CB_GETCURSEL, 0, 0);
  const LRESULT len = sel >= 0 ? SendMessageA(WndHandle, CB_GETLBTEXTLEN, WPARAM(sel), 0) : CB_ERR;
  if (len >= 0) {
    text.assign(std::size_t(len) + 1, '\0');
    SendMessageA(WndHandle, CB_GETLBTEXT, WPARAM(sel), LPARAM(text.data()));
    text.resize(std::strlen(text.c_str()));
  } else {
    text = Caption;
  }
  TRect r = Rect(3, 3, ButtonRect().Left, WndSize.cy - 3);
  if (r.IsEmpty()) return;
  HDC dc = canvas->Handle();
  if (GetFocus() == WndHandle && ComboType(WndHandle) == CBS_DROPDOWNLIST) {
    FillRectColor(dc, r, clHighlight);
    canvas->Font()->SetColor(clHighlightText);
    TRect t = r;
    t.Offset(1, 1);
    canvas->Brush()->SetStyle(bsClear);
    DrawTextStr(canvas->Handle(), text, t, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    DrawFocusRect(canvas->Handle(), AsRECT(&r));
  } else {
    canvas->Brush()->SetStyle(bsClear);
    DrawControlText(canvas, text, IsWindowEnabled(WndHandle) != FALSE, r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX,
                    SkinData, false);
  }
}

void TacComboBoxWnd::PrintInto(HDC DC) {
  UpdateRects();
  SkinData->SetUpdating(false);
  SkinData->BGChanged = true;
  if (!Skinned) ApplySkinColors();
  auto alive = AliveToken();
  if (IsSimple()) {
    PrepareSimpleCache();
  } else {
    SendSkinCommand(WndHandle, QC_PREPAREFADE);
    if (!*alive) return;
    PaintEditText();
  }
  FillBorderCorners(SkinData, 0, this);
  CopyCacheTo(DC);
  PaintButton(DC);
}

// ---- TacComboListWnd --------------------------------------------------------------------------------

void TacComboListWnd::HandleMessage(TMessage& Message) {
  const HWND wnd = WndHandle;
  auto alive = AliveToken();
  switch (Message.Msg) {
    case WM_NCCALCSIZE: Message.Result = ScrollNCCalcSize(this, wnd, Message.WParam, Message.LParam); return;
    case WM_ERASEBKGND:
    case WM_HSCROLL:
    case WM_VSCROLL: PassOn(Message); return;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: {
      const LRESULT hit = ScrollNCHitTest(this, wnd, 0, Message.LParam);
      if (*alive && (hit == HTHSCROLL || hit == HTVSCROLL))
        Message.Result = ScrollNCLButtonDown(this, wnd, Message.Msg, WPARAM(hit), Message.LParam);
      return;
    }
    case WM_LBUTTONUP:
      Message.Result = ScrollLButtonUp(this, wnd, Message.WParam, Message.LParam);
      if (*alive && IsSimple && GetCapture() == wnd) ReleaseCapture();
      return;
    case LBCB_STARTTRACK: Tracking = true; break;
    case LBCB_ENDTRACK:
      Tracking = false;
      SkinData->BGChanged = true;
      break;
    case WM_NCPAINT:
      if (ScrollFlag) break;
      PaintFrame();
      return;
    case WM_PRINT:
    case WM_PRINTCLIENT:
      if (!Message.WParam || !IsWindowVisible(wnd)) break;
      PrintInto(Message);
      return;
    default: break;
  }
  const UINT msg = Message.Msg;
  TacEditWnd::HandleMessage(Message);
  if (*alive && msg == WM_WINDOWPOSCHANGED) RefreshScrollInfo(this, true);
}

void TacComboListWnd::PrepareBackground() {
  if (IsSimple) {
    SkinData->BGChanged = true;
    SendSkinCommand(WndHandle, QC_PREPAREFADE);
    return;
  }
  // A drop-down list lies on the desktop: it shows its window colour and a line around.
  SkinData->UpdateIndexes();
  ApplySkinColors();
  SkinData->InitCacheBmp();
  TBitmap* cache = SkinData->CacheBmp;
  if (cache->Width() != WndSize.cx || cache->Height() != WndSize.cy) cache->SetSize(WndSize.cx, WndSize.cy);
  FillBmpRect(cache, Rect(0, 0, WndSize.cx, WndSize.cy), BgColor);
  BitmapDC dc(cache);
  if (dc) {
    GdiObject<HBRUSH> line(CreateSolidBrush(ColorToRGB(BorderColor)));
    const RECT r{0, 0, WndSize.cx, WndSize.cy};
    FrameRect(dc, &r, line);
  }
  SkinData->BGChanged = false;
}

void TacComboListWnd::PaintFrame() {
  const HWND wnd = WndHandle;
  if (IsSimple) {
    UpdateRects();
  } else {
    // A drop-down list's parent is the desktop, which is asked nothing.
    RECT wr{};
    GetWindowRect(wnd, &wr);
    WndRect = FromRECT(wr);
    WndSize = TSize{WndRect.Width(), WndRect.Height()};
  }
  auto alive = AliveToken();
  PrepareBackground();
  if (!*alive) return;
  if (!DialogMode && IsSimple) FillBorderCorners(SkinData, 0, this);
  {
    WindowDC dc(wnd);
    TBitmap* cache = SkinData->CacheBmp;
    if (dc && cache && !cache->Empty()) {
      BitmapDC src(cache);
      if (src) BitBltBorder(dc, 0, 0, cache->Width(), cache->Height(), src, 0, 0, 2);
    }
    if (dc) PaintScrollBars(this, wnd, dc);
  }
  if (!*alive || !IsSimple || !ParentWnd) return;
  // The combo's part below its list (a list of whole items leaves a strip) shows what lies behind
  // the combo.
  RECT cr{}, lr{};
  GetWindowRect(ParentWnd, &cr);
  GetWindowRect(wnd, &lr);
  if (lr.bottom < cr.bottom) {
    WindowDC combo(ParentWnd);
    if (combo) CopyParentImage(combo, ParentWnd, Rect(0, lr.bottom - cr.top, cr.right - cr.left, cr.bottom - cr.top));
  }
}

void TacComboListWnd::PrintInto(TMessage& Message) {
  auto alive = AliveToken();
  const HDC dc = HDC(Message.WParam);
  PrepareBackground();
  if (!*alive || !PassOn(Message)) return;
  if (Message.Msg == WM_PRINT && SendMessageA(WndHandle, LB_GETCOUNT, 0, 0) >= 1 && ScrollState.ClickedPart == -1 &&
      !Tracking) {
    TBitmap* cache = SkinData->CacheBmp;
    BitmapDC src(cache);
    if (src) BitBltBorder(dc, 0, 0, cache->Width(), cache->Height(), src, 0, 0, 3);
  }
  Message.Result = PaintScrollBars(this, WndHandle, dc);
}

// ---- TacWWComboBoxWnd -------------------------------------------------------------------------------

TacWWComboBoxWnd::TacWWComboBoxWnd(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager,
                                   const std::string& SkinSection, bool Repaint)
    : TacComboBoxWnd(AHandle, ASkinData, ASkinManager, SkinSection, Repaint) {
  // A combo box of the class library or a window of the system's combo class shows its button by
  // its kind; the other family's controls always do.
  TControl* c = SkinData ? SkinData->OwnerControl : nullptr;
  char cls[32] = {};
  if (AHandle) GetClassNameA(AHandle, cls, sizeof cls);
  if (c ? c->ClassName() == "TComboBox" : lstrcmpiA(cls, "ComboBox") == 0) {
    const UINT type = AHandle ? ComboType(AHandle) : UINT(CBS_DROPDOWN);
    ShowButton = type == CBS_DROPDOWN || type == CBS_DROPDOWNLIST;
  }
}

TRect TacWWComboBoxWnd::ButtonRect() {
  RECT wr{};
  GetWindowRect(WndHandle, &wr);
  const int w = wr.right - wr.left, h = wr.bottom - wr.top;
  const int b = ShowButton ? GetSystemMetrics(SM_CXVSCROLL) : 0;
  const int left = (GetWindowLongPtrA(WndHandle, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) ? 2 : w - b - 2;
  return Rect(left, 2, left + b, h - 2);
}

// ---- List adapters of skinned combo boxes -----------------------------------------------------------

namespace {

// The list adapter held by a skinned combo box.
class TacComboListHolder final : public TacControlComboList {
 public:
  explicit TacComboListHolder(TacComboListWnd* Adapter) : Adapter_(Adapter) {}
  ~TacComboListHolder() override { FreeAndNil(Adapter_); }
  bool WindowGone() const override { return Adapter_->Destroyed; }
  int SectionIndex() const override { return Adapter_->SkinData ? Adapter_->SkinData->SkinIndex : -1; }

 private:
  TacComboListWnd* Adapter_;
};

std::unique_ptr<TacControlComboList> MakeComboList(HWND ListWnd, TsSkinManager* Manager, bool Simple) {
  if (!ListWnd || !IsWindow(ListWnd) || GetWndAdapter(ListWnd)) return nullptr;
  auto* adapter = Create<TacComboListWnd>(ListWnd, nullptr, Manager, "EDIT", true);
  adapter->IsSimple = Simple;
  return std::make_unique<TacComboListHolder>(adapter);
}

const bool kComboListHook = (CreateComboListProc = &MakeComboList, true);
const bool kComboKinds = RegisterKindAdapter(tkComboBox, &MakeAdapter<TacComboBoxWnd>) &&
                         RegisterKindAdapter(tkWWEdit, &MakeAdapter<TacWWComboBoxWnd>);

}  // namespace
