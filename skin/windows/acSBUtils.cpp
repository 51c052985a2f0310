#include "skin/windows/acSBUtils.h"

#include <algorithm>
#include <vector>

#include "classlib/core/TypInfo.h"
#include "skin/engine/sQuorvexGraph.h"
#include "skin/engine/sStyleSimply.h"
#include "skin/windows/core/acScrollGeometry.h"

bool HookAttaching = false;
bool AdapterItemsClearing = false;

namespace {

TWinControl* ProviderForm(const TsCommonData* sd) {
  if (!sd || !sd->OwnerIsProvider()) return nullptr;
  auto* provider = dynamic_cast<TComponent*>(sd->OwnerObject);
  return provider ? dynamic_cast<TWinControl*>(provider->Owner()) : nullptr;
}

bool ManagerActive(TsSkinManager* sm) { return sm && sm->Active(); }

TObject* ApplicationObject() {
  if (GetApplicationObject) return GetApplicationObject();
  return Application;
}

// Puts a replaced window method back on the control or the provider's form.
void RestoreWindowMethod(TacMainWnd* a) {
  if (!a->SkinData) return;
  if (TWinControl* form = ProviderForm(a->SkinData))
    form->WindowProc = a->OldProc;
  else if (a->SkinData->OwnerControl)
    a->SkinData->OwnerControl->WindowProc = a->OldProc;
}

// A bare window whose adapter left while another procedure had been installed over the adapter's
// keeps AdapterWndProc in its chain (taking it out would cut the procedure above off); this
// property then holds the procedure the adapter had replaced, and AdapterWndProc passes on to it.
constexpr const char* LeftProcPropName = "QvAdapterLeftProc";

// Gives a subclassed bare window its procedure back.
void UnhookBareWindow(TacMainWnd* a, HWND wnd) {
  if (a->OldWndProc && wnd && IsWindow(wnd)) {
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(wnd, GWLP_WNDPROC)) == AdapterWndProc)
      SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(a->OldWndProc));
    else
      SetPropA(wnd, LeftProcPropName, reinterpret_cast<HANDLE>(a->OldWndProc));
  }
  a->WndProcInstance = nullptr;
}

// The procedure an earlier adapter had replaced while that adapter's procedure is still in the
// window's chain; nil when none (a property left over after the chain was cut back is dropped).
WNDPROC LeftProcInChain(HWND wnd) {
  auto left = reinterpret_cast<WNDPROC>(GetPropA(wnd, LeftProcPropName));
  if (left && reinterpret_cast<WNDPROC>(GetWindowLongPtrA(wnd, GWLP_WNDPROC)) == left) {
    RemovePropA(wnd, LeftProcPropName);
    left = nullptr;
  }
  return left;
}

// How a disabled control is dimmed: its published DisabledKind, blended for a control without one
// (the default of every skinned control's DisabledKind).
TsDisabledKind DisabledKindOf(TControl* c) {
  if (!HasPropByName(c, "DisabledKind")) return TsDisabledKind{dkBlended};
  TsDisabledKind kind;
  if (SetPropContains(c, "DisabledKind", "dkBlended")) kind.Include(dkBlended);
  if (SetPropContains(c, "DisabledKind", "dkGrayed")) kind.Include(dkGrayed);
  return kind;
}

// The colour a window shows behind its children when it answers no skin command: a class-library
// control's Color, else the solid background brush of its window class, else the button face.
TColor PlainBackgroundOf(HWND wnd) {
  if (wnd) {
    if (TWinControl* c = FindControl(wnd)) return TColor(ColorToRGB(c->Color()));
    if (auto brush = reinterpret_cast<HBRUSH>(GetClassLongPtrA(wnd, GCLP_HBRBACKGROUND))) {
      const auto index = reinterpret_cast<INT_PTR>(brush);
      if (index > 0 && index <= COLOR_MENUBAR + 1) return TColor(GetSysColor(int(index - 1)));
      LOGBRUSH lb{};
      if (GetObjectA(brush, sizeof lb, &lb) == int(sizeof lb) && lb.lbStyle == BS_SOLID) return TColor(lb.lbColor);
    }
  }
  return TColor(GetSysColor(COLOR_BTNFACE));
}

}  // namespace

bool (*IsContainerClass)(const TControl* Control) = nullptr;

// ---- Static window procedure ----------------------------------------------------------------------

LRESULT CALLBACK AdapterWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  TacMainWnd* adapter = GetWndAdapter(Wnd);
  if (!adapter) {
    if (auto prev = reinterpret_cast<WNDPROC>(GetPropA(Wnd, LeftProcPropName))) {
      if (Msg == WM_NCDESTROY) RemovePropA(Wnd, LeftProcPropName);
      return CallWindowProcA(prev, Wnd, Msg, WParam, LParam);
    }
    return DefWindowProcA(Wnd, Msg, WParam, LParam);
  }
  TMessage m = MakeMessage(Msg, WParam, LParam);
  try {
    adapter->RouteMessage(m);
  } catch (...) {
    HandleBoundaryException(nullptr);
  }
  return m.Result;
}

TacMainWnd* GetWndAdapter(HWND Wnd) { return Wnd ? static_cast<TacMainWnd*>(GetPropA(Wnd, AdapterPropName)) : nullptr; }

// ---- TacMainWnd -------------------------------------------------------------------------------------

TacMainWnd::TacMainWnd(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager,
                       const std::string& SkinSection, bool Repaint)
    : WndHandle(AHandle), SkinManager(ASkinManager), Repaint_(Repaint), InitSection_(SkinSection) {
  if (ASkinData) {
    SkinData = ASkinData;
    if (!SkinManager) SkinManager = SkinData->SkinManager();
  } else {
    OwnsSkinData = true;
    SkinData = new TsCommonData(nullptr, true);
    if (ASkinManager) SkinData->SetSkinManager(ASkinManager);
  }
  if (SkinData->SkinSection().empty()) SkinData->SetSkinSection(SkinSection);
  DialogMode = HookAttaching;
}

void TacMainWnd::AfterConstruction() {
  TObject::AfterConstruction();
  ThemeOff(InitSection_);
  StoreOriginalColors();
  Skinned = false;
  ReadCaption();
  AttachToWindow();
  MakeOwnerOpaque();
}

void TacMainWnd::ThemeOff(const std::string& SkinSection) {
  if (acSetWindowTheme && WndHandle && SkinSection != "DIALOG") acSetWindowTheme(WndHandle, L" ", L" ");
}

void TacMainWnd::MakeOwnerOpaque() {
  if (SkinData && SkinData->OwnerControl) {
    TControlStyle cs = SkinData->OwnerControl->ControlStyle();
    cs.Include(csOpaque);
    SkinData->OwnerControl->SetControlStyle(cs);
  }
}

void TacMainWnd::ReadCaption() {
  Caption.clear();
  if (!WndHandle || !IsWindow(WndHandle)) return;
  const int len = GetWindowTextLengthW(WndHandle);
  if (len <= 0) return;
  std::wstring w(std::size_t(len) + 1, L'\0');
  const int got = GetWindowTextW(WndHandle, w.data(), len + 1);
  if (got <= 0) return;
  const int bytes = WideCharToMultiByte(CP_ACP, 0, w.data(), got, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return;
  Caption.assign(std::size_t(bytes), '\0');
  WideCharToMultiByte(CP_ACP, 0, w.data(), got, Caption.data(), bytes, nullptr, nullptr);
}

void TacMainWnd::AttachToWindow() { AttachWndProc(this, WndHandle); }

void TacMainWnd::LeaveWindow() {
  if (Destroyed) return;
  // Whatever else is going on (a control adapter freeing all its items, a skin removal), a window
  // that lives must never keep a procedure or a property pointing at a freed adapter.
  const bool alive = WndHandle && IsWindow(WndHandle);
  if (alive && acSetWindowTheme) acSetWindowTheme(WndHandle, nullptr, nullptr);
  if (OldProc) {
    RestoreWindowMethod(this);
  } else if (OldWndProc) {
    UnhookBareWindow(this, alive ? WndHandle : nullptr);
    OldWndProc = nullptr;
  }
  if (alive) {
    if (GetWndAdapter(WndHandle) == this) RemovePropA(WndHandle, AdapterPropName);
    RestoreOriginalColors();
  }
  Destroyed = true;
}

void TacMainWnd::BeforeDestruction() {
  LeaveWindow();
  TObject::BeforeDestruction();
}

TacMainWnd::~TacMainWnd() {
  LeaveWindow();
  if (OwnsSkinData) delete SkinData;
  SkinData = nullptr;
  SkinManager = nullptr;
  if (Brush_) DeleteObject(Brush_);
  *Alive_ = false;
}

HBRUSH TacMainWnd::CtlColorBrush(TColor Color) {
  if (!Brush_ || BrushColor_ != Color) {
    HBRUSH fresh = CreateSolidBrush(ColorToRGB(Color));
    if (!fresh) return Brush_;
    if (Brush_) DeleteObject(Brush_);
    Brush_ = fresh;
    BrushColor_ = Color;
  }
  return Brush_;
}

void TacMainWnd::RouteMessage(TMessage& Message) {
  if (BeforeMessage(Message)) HandleMessage(Message);
}

bool TacMainWnd::PassOn(TMessage& Message) {
  auto alive = Alive_;
  LPARAM lp = Message.LParam;
  const LRESULT r = CallPrevProc(this, WndHandle, Message.Msg, Message.WParam, lp);
  Message.LParam = lp;
  Message.Result = r;
  return *alive;
}

void TacMainWnd::HandleMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_DESTROY:
    case WM_NCDESTROY: {
      if (OldWndProc || OldProc) {
        TacMainWnd* self = this;
        DetachWndProc(WndHandle, false, false, self);
      }
      PassOn(Message);
      return;
    }
    case WM_SIZE:
      if (SkinData) SkinData->BGChanged = true;
      break;
    case WM_SETTEXT:
      if (PassOn(Message)) ReadCaption();
      return;
    case WM_UPDATEUISTATE: return;
    case WM_MOUSEMOVE:
      if (DefaultManager && !DefaultManager->ComponentState().Contains(csDesigning) && IsWindowEnabled(WndHandle) &&
          DefaultManager->HotWindow() != WndHandle)
        DefaultManager->SetHotWindow(WndHandle);
      break;
    case WM_PRINT: Message.Result = SendMessageA(WndHandle, WM_PAINT, Message.WParam, Message.LParam); return;
    default: break;
  }
  TsSkinManager* sm = SkinData ? SkinData->SkinManager() : nullptr;
  if (Message.Msg == SM_QUORVEXCMD && sm && Message.WParamHi() == QC_SKINREMOVED &&
      Message.LParam == reinterpret_cast<LPARAM>(sm)) {
    // The manager switches itself off before it announces the removal: the colours go back all the same.
    RestoreOriginalColors();
    PassOn(Message);
    return;
  }
  if (!ManagerActive(sm)) {
    PassOn(Message);
    return;
  }
  if (Message.Msg == SM_QUORVEXCMD) {
    const bool own = Message.LParam == reinterpret_cast<LPARAM>(sm);
    switch (Message.WParamHi()) {
      case QC_SKINLOADED:
        if (own) {
          SkinData->UpdateIndexes();
          SkinData->BGChanged = true;
        }
        break;
      case QC_REFRESH:
        if (own) {
          SkinData->UpdateIndexes();
          SkinData->BGChanged = true;
          SendMessageA(WndHandle, WM_PAINT, 0, 0);
          return;
        }
        break;
      case QC_GETCACHE:
        // Ready only with a real image: an empty or missing cache is no background to copy from.
        if (SkinData->CacheBmp && !SkinData->CacheBmp->Empty())
          SharedCacheInfo = BuildCacheInfo(SkinData->CacheBmp, 0, 0);
        else
          SharedCacheInfo = TsCacheInfo{};
        return;
      case QC_UPDATEDONE:
        if (SkinData->UpdatingFlag()) {
          SkinData->SetUpdating(false);
          RedrawWindow(WndHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
          return;
        }
        break;
      case QC_ISSKINNED:
        Message.LParam = 1;
        Message.Result = 1;
        return;
      case QC_ISBUSY: {
        const bool busy = SkinData->BGChanged || SkinData->UpdatingFlag();
        if (!PassOn(Message)) return;
        Message.LParam = busy ? 1 : 0;
        Message.Result = busy ? 1 : 0;
        return;
      }
      case QC_ISTRANSPARENT:
      case QC_GETPARENTCOLOR:
        if (SkinData->OwnerControl) {
          HandleSkinCommand(Message, SkinData);
          return;
        }
        break;
      case QC_PREPAREFADE: PrepareWindowCache(SkinData, WndHandle, false); break;
      case QC_GETAPPLICATION: Message.Result = reinterpret_cast<LRESULT>(ApplicationObject()); return;
      default: break;
    }
  }
  PassOn(Message);
}

// ---- Attaching and detaching ------------------------------------------------------------------------

LRESULT CallPrevProc(TacMainWnd* Adapter, HWND Wnd, UINT Msg, WPARAM WParam, LPARAM& LParam) {
  if (!Adapter) return 0;
  if (Adapter->OldProc) {
    const TWndMethod method = Adapter->OldProc;  // the call may free the adapter
    TMessage m = MakeMessage(Msg, WParam, LParam);
    method(m);
    LParam = m.LParam;
    return m.Result;
  }
  if (Adapter->OldWndProc) return CallWindowProcA(Adapter->OldWndProc, Wnd, Msg, WParam, LParam);
  return 0;
}

void AttachWndProc(TacMainWnd* Adapter, HWND Wnd) {
  if (!Adapter) return;
  Adapter->ScrollFlag = 0;
  Adapter->WndHandle = Wnd;
  if (!Wnd || !IsWindow(Wnd)) return;
  // One adapter per window: a window that has one already keeps it.
  if (TacMainWnd* other = GetWndAdapter(Wnd); other && other != Adapter) {
    Adapter->Destroyed = true;
    return;
  }
  SetPropA(Wnd, AdapterPropName, Adapter);
  TsCommonData* sd = Adapter->SkinData;
  if (TWinControl* form = ProviderForm(sd)) {
    Adapter->OldProc = form->WindowProc;
    form->WindowProc = Adapter->AdapterMethod();
  } else if (sd && sd->OwnerControl) {
    Adapter->OldProc = sd->OwnerControl->WindowProc;
    sd->OwnerControl->WindowProc = Adapter->AdapterMethod();
  } else if (auto left = LeftProcInChain(Wnd)) {
    // An earlier adapter's procedure is still in the chain: the new adapter takes its place there.
    RemovePropA(Wnd, LeftProcPropName);
    Adapter->OldWndProc = left;
    Adapter->WndProcInstance = AdapterWndProc;
  } else {
    Adapter->OldWndProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Wnd, GWLP_WNDPROC));
    Adapter->WndProcInstance = AdapterWndProc;
    SetWindowLongPtrA(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AdapterWndProc));
  }
}

void DetachWndProc(HWND Wnd, bool FreeAdapter, bool Repaint, TacMainWnd*& Adapter) {
  if (Adapter && !Adapter->Destroyed) {
    const bool alive = Wnd && IsWindow(Wnd);
    if (!Adapter->OldProc) {
      UnhookBareWindow(Adapter, alive ? Wnd : nullptr);
    } else {
      RestoreWindowMethod(Adapter);
    }
    if (alive) {
      if (GetWndAdapter(Wnd) == Adapter) RemovePropA(Wnd, AdapterPropName);
      Adapter->RestoreOriginalColors();
      if (IsWindowVisible(Wnd)) {
        if (Repaint)
          SetWindowPos(Wnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        else
          SendMessageA(Wnd, WM_NCPAINT, 1, 0);
      }
    }
    Adapter->Destroyed = true;
  }
  if (FreeAdapter && Adapter) {
    Adapter->OldWndProc = nullptr;
    Adapter->OldProc = nullptr;
    FreeAndNil(Adapter);
  }
}

void UpdateWndRects(HWND Wnd, HWND& ParentWnd, TRect& WndRect, TPoint& WndPos, TSize& WndSize, TRect& ParentRect) {
  RECT r{};
  GetWindowRect(Wnd, &r);
  WndRect = FromRECT(r);
  ParentWnd = GetParent(Wnd);
  RECT pr{};
  if (ParentWnd) GetWindowRect(ParentWnd, &pr);
  ParentRect = FromRECT(pr);
  WndSize = TSize{WndRect.Width(), WndRect.Height()};
  WndPos = TPoint{WndRect.Left - ParentRect.Left, WndRect.Top - ParentRect.Top};
  if (ParentWnd) {
    const LRESULT off = SendSkinCommand(ParentWnd, QC_GETCLIENTOFFSET, 0);
    if (off != 0) {
      WndPos.X -= std::int16_t(LoWord(std::uintptr_t(off)));
      WndPos.Y -= std::int16_t(HiWord(std::uintptr_t(off)));
    }
  }
}

// ---- Shared painting --------------------------------------------------------------------------------

void PrepareWindowCache(TsCommonData* SkinData, HWND Wnd, bool UseGlobalColor) {
  if (!SkinData || !SkinData->BGChanged || !Wnd) return;
  RECT wr{};
  GetWindowRect(Wnd, &wr);
  const TRect r = FromRECT(wr);
  const TsCacheInfo ci = AskParentCacheWnd(Wnd);
  if (!SkinData->CacheBmp) SkinData->CacheBmp = CreateBmp24(0, 0);
  if (SkinData->CacheBmp->PixelFormat() != pf24bit) SkinData->CacheBmp->SetPixelFormat(pf24bit);
  SkinData->CacheBmp->SetSize(std::max(r.Width(), 0), std::max(r.Height(), 0));
  TsSkinManager* sm = SkinData->SkinManager();
  const bool globalDefined = sm && sm->SectionIndexOf("GLOBALINFO") >= 0 &&
                             (sm->GetGlobalColor() & 0xFFFFFF) != (clParentColorUnset & 0xFFFFFF);
  TPoint offset{};
  if (UseGlobalColor && globalDefined) {
    FillBmpRect(SkinData->CacheBmp, Rect(0, 0, r.Width(), r.Height()), sm->GetGlobalColor());
  } else {
    HWND parent = GetParent(Wnd);
    if (!parent) return;  // nothing to lie on: the cache stays to be made
    RECT pr{};
    GetWindowRect(parent, &pr);
    offset = TPoint{r.Left - pr.left - ci.X, r.Top - pr.top - ci.Y};
    if (sm && sm->IsSectionIndex(SkinData->SkinIndex))
      PaintControlItem(SkinData, ci, true, 0, Rect(0, 0, r.Width(), r.Height()), offset, SkinData->CacheBmp, true);
  }
  if (SkinData->OwnerControl && !SkinData->OwnerControl->Enabled())
    ApplyDisabledLook(SkinData->CacheBmp, DisabledKindOf(SkinData->OwnerControl), SkinData->OwnerControl->Parent(), ci,
                      offset);
  SkinData->BGChanged = false;
}

void FillBorderCorners(TsCommonData* SkinData, int State, TacMainWnd* Adapter) {
  if (!SkinData || !Adapter || Adapter->DialogMode) return;
  TsSkinManager* sm = SkinData->SkinManager();
  if (!sm || !sm->IsMaskIndex(SkinData->BorderIndex) || !SkinData->CacheBmp) return;
  if (Adapter->WndSize.cx < 2 || Adapter->WndSize.cy < 2) return;
  const TsCacheInfo ci = AskParentCacheWnd(Adapter->WndHandle);
  TColor color = clParentColorUnset;
  if (!ci.Ready) {
    if (SharedParentColor == clParentColorUnset && Adapter->ParentWnd)
      SendSkinCommand(Adapter->ParentWnd, QC_GETPARENTCOLOR);
    // Nobody answered: the colour the parent shows of its own (never the key colour itself).
    color = SharedParentColor != clParentColorUnset ? TColor(ColorToRGB(SharedParentColor))
                                                    : PlainBackgroundOf(Adapter->ParentWnd);
  }
  qv::TMaskFrames mask = MaskFramesOf(sm, SkinData->BorderIndex);
  if (mask.ImageCount == 0) {
    mask.ImageCount = 3;
    mask.MaskType = 1;
  }
  const qv::TCacheView parent =
      color == clParentColorUnset ? CacheViewAt(ci, Adapter->WndPos.X, Adapter->WndPos.Y) : qv::TCacheView{};
  qv::FillBorderCorners(BmpView(SkinData->CacheBmp), Adapter->WndSize.cx, Adapter->WndSize.cy, mask, State, parent,
                        qv::TColorRef(color) & 0xFFFFFF);
  SharedParentColor = clParentColorUnset;
}

TWinControl* FindWinControl(HWND Handle, TComponent* Owner) {
  if (!Owner || !Handle) return nullptr;
  for (int i = 0; i < Owner->ComponentCount(); ++i) {
    TComponent* c = Owner->Components(i);
    if (auto* wc = dynamic_cast<TWinControl*>(c); wc && wc->HandleAllocated() && wc->Handle() == Handle) return wc;
    if (TWinControl* found = FindWinControl(Handle, c)) return found;
  }
  return nullptr;
}

// =====================================================================================================
// Skinned scroll bars
// =====================================================================================================

HWND CurrentScrollWnd = nullptr;
int ClickedPart = -1;
int PressedBar = -1;
int PressedPart = -1;
UINT ScrollMsg = 0;
UINT_PTR RepeatTimer = 0;
int LastTrackPos = -1;
int HotBar = -1;
int HotPart = -1;
int LastHotPart = -1;
UINT_PTR HoverTimer = 0;
TRect HotBarRect{};
namespace {
// The window whose hover timer runs.
HWND HoverWnd = nullptr;
}  // namespace
int ThumbSize = 0;
int ThumbPos = 0;
TRect ThumbBounds{};
int ThumbOffset = 0;

bool (*MDIProviderAnimatingShow)(TObject* Provider) = nullptr;
void (*MDIProviderArranged)(TObject* Provider) = nullptr;
void (*MDIProviderRefreshMenuLine)(TObject* Provider) = nullptr;

namespace {

// A 24-bit bitmap owned by the scope.
struct TTempBmp {
  explicit TTempBmp(int w, int h) : Bmp(CreateBmp24(std::max(w, 0), std::max(h, 0))) {}
  ~TTempBmp() { delete Bmp; }
  TTempBmp(const TTempBmp&) = delete;
  TTempBmp& operator=(const TTempBmp&) = delete;
  TBitmap* Bmp;
};

// A DC of a window unless one is given: the whole window's (GetWindowDC) or the client area's
// (GetDC); released on scope exit only when obtained here.
class TGivenOrOwnDC {
 public:
  enum TArea { daWindow, daClient };
  TGivenOrOwnDC(HWND wnd, HDC given, TArea area) : Wnd_(wnd), DC_(given) {
    if (!DC_) {
      DC_ = area == daWindow ? GetWindowDC(wnd) : GetDC(wnd);
      Own_ = true;
    }
  }
  ~TGivenOrOwnDC() {
    if (Own_ && DC_) ReleaseDC(Wnd_, DC_);
  }
  TGivenOrOwnDC(const TGivenOrOwnDC&) = delete;
  TGivenOrOwnDC& operator=(const TGivenOrOwnDC&) = delete;
  HDC Get() const { return DC_; }

 private:
  HWND Wnd_;
  HDC DC_;
  bool Own_ = false;
};

struct TWindowDC : TGivenOrOwnDC {
  TWindowDC(HWND wnd, HDC given) : TGivenOrOwnDC(wnd, given, daWindow) {}
};
struct TClientDC : TGivenOrOwnDC {
  TClientDC(HWND wnd, HDC given) : TGivenOrOwnDC(wnd, given, daClient) {}
};

// BeginPaint on construction, EndPaint on scope exit.
class TPaintScope {
 public:
  explicit TPaintScope(HWND wnd) : Wnd_(wnd) { BeginPaint(wnd, &PS_); }
  ~TPaintScope() { EndPaint(Wnd_, &PS_); }
  TPaintScope(const TPaintScope&) = delete;
  TPaintScope& operator=(const TPaintScope&) = delete;

 private:
  HWND Wnd_;
  PAINTSTRUCT PS_{};
};

// SaveDC on construction, RestoreDC on scope exit.
class TSavedDC {
 public:
  explicit TSavedDC(HDC dc) : DC_(dc), Saved_(dc ? SaveDC(dc) : 0) {}
  ~TSavedDC() {
    if (Saved_) RestoreDC(DC_, Saved_);
  }
  TSavedDC(const TSavedDC&) = delete;
  TSavedDC& operator=(const TSavedDC&) = delete;

 private:
  HDC DC_;
  int Saved_;
};

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

// Asks the window for the image its frame is painted over (skin command 5 to the window itself).
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

void CopyBmp(TBitmap* dst, int x, int y, TBitmap* src) {
  TBmpDC d(dst), s(src);
  if (d.Get() && s.Get()) BitBlt(d.Get(), x, y, src->Width(), src->Height(), s.Get(), 0, 0, SRCCOPY);
}

// A button or the thumb: the section over the bar image, then the glyph frame of the state centred.
void PaintScrollPart(TBitmap* barBmp, const TRect& partRect, const TacSectionIndexes& ix, int state,
                     TsSkinManager* sm) {
  const int w = partRect.Width(), h = partRect.Height();
  if (w <= 0 || h <= 0 || !sm->IsSectionIndex(ix.Section)) return;
  TTempBmp part(w, h);
  const TsCacheInfo ci = BuildCacheInfo(barBmp, partRect.Left, partRect.Top);
  PaintSectionItemByIndexes(ix.Section, ix.Mask, ix.Pattern, ix.HotPattern, ci, true, state, Rect(0, 0, w, h), TPoint{},
                            part.Bmp, sm);
  if (sm->IsMaskIndex(ix.GlyphMask)) {
    const TsMaskData& m = sm->Mask(ix.GlyphMask);
    const int gw = qv::SafeFrameWidth(m.R.Width(), m.ImageCount);
    const int gh = qv::SafeFrameHeight(m.R.Height(), m.MaskType);
    if (gw > 0 && gh > 0)
      PaintMaskImageByIndex(part.Bmp, TPoint{(w - gw) / 2, (h - gh) / 2}, state, 0, ix.GlyphMask, sm);
  }
  CopyBmp(barBmp, partRect.Left, partRect.Top, part.Bmp);
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

void RepaintBar(TacScrollBar* bar, HWND wnd, int part) {
  if (!bar || !bar->Owner) return;
  TRect r = BarScreenRect(bar, wnd);
  const TRect wr = WindowRectOf(wnd);
  r.Offset(-wr.Left, -wr.Top);
  TWindowDC dc(wnd, nullptr);
  PaintScrollBar(bar, wnd, dc.Get(), part, r);
}

TacScrollBar* BarOfKind(TacScrollWnd* a, int kind) {
  if (!a) return nullptr;
  return kind == 0 ? a->HorzBar : kind == 1 ? a->VertBar : nullptr;
}

int LParamX(LPARAM l) { return std::int16_t(LOWORD(DWORD_PTR(l))); }
int LParamY(LPARAM l) { return std::int16_t(HIWORD(DWORD_PTR(l))); }

TPoint MessagePoint() {
  const DWORD pos = GetMessagePos();
  return TPoint{std::int16_t(LOWORD(pos)), std::int16_t(HIWORD(pos))};
}

void ResetClickState() {
  ClickedPart = -1;
  PressedPart = -1;
  PressedBar = -1;
  RepeatTimer = 0;
  ScrollMsg = 0;
  LastTrackPos = -1;
}

// Draws the bar with the thumb at T (window-relative along the axis) in the pressed state.
void DrawTrackedBar(TacScrollBar* bar, HWND wnd, int tWindow) {
  TacScrollWnd* a = bar->Owner;
  TsSkinManager* sm = ManagerOf(a);
  if (!sm || !sm->Skin()) return;
  const bool vertical = bar->BarKind == 1;
  TRect r = BarScreenRect(bar, wnd);
  const TRect wr = WindowRectOf(wnd);
  r.Offset(-wr.Left, -wr.Top);
  const int length = vertical ? r.Height() : r.Width();
  const int across = vertical ? r.Width() : r.Height();
  if (length <= 0 || across <= 0) return;
  const int t = tWindow - (vertical ? r.Top : r.Left);
  const int btn = GetScrollBarSize(bar, false, true);
  TTempBmp bmp(r.Width(), r.Height());
  const TsCacheInfo ci = AskOwnCache(a, wnd);
  PaintBarImage(bmp.Bmp, sm, vertical, ci, r.TopLeft(), length, across, btn, t + ThumbSize / 2, 0, 0, 0, 0, t,
                ThumbSize, 2);
  TWindowDC dc(wnd, nullptr);
  TBmpDC src(bmp.Bmp);
  if (dc.Get() && src.Get()) BitBlt(dc.Get(), r.Left, r.Top, r.Width(), r.Height(), src.Get(), 0, 0, SRCCOPY);
}

LRESULT TrackThumb(TacScrollBar* bar, HWND wnd, int x, int y) {
  TacScrollWnd* a = bar->Owner;
  const bool vertical = bar->BarKind == 1;
  const int arrow = GetScrollBarSize(bar, false, true);
  const TRect wr = WindowRectOf(wnd);
  const int origin = vertical ? wr.Top : wr.Left;
  const int boundsStart = (vertical ? ThumbBounds.Top : ThumbBounds.Left) + arrow - origin;
  const int boundsEnd = (vertical ? ThumbBounds.Bottom : ThumbBounds.Right) - arrow - origin;
  const int pointer = (vertical ? y : x) - origin;
  const int t = qv::TrackThumbStart(pointer, ThumbOffset, boundsStart, boundsEnd, ThumbSize);
  DrawTrackedBar(bar, wnd, t);
  const int pos = qv::TrackThumbPosition(t, boundsStart, boundsEnd, ThumbSize, RangeOf(bar->ScrollInfo));
  if (pos != LastTrackPos) {
    bar->ScrollInfo.nTrackPos = pos;
    auto alive = a->AliveToken();
    a->ScrollFlag = 1;
    SendScrollMessage(wnd, ScrollMsg, SB_THUMBTRACK, pos);
    if (!*alive) return 0;
    a->ScrollFlag = 0;
  }
  LastTrackPos = pos;
  return 0;
}

}  // namespace

// ---- Attaching -------------------------------------------------------------------------------------

void AttachScrollWnd(TacScrollWnd* Adapter, HWND Wnd, bool Repaint) {
  if (!Adapter) return;
  Adapter->ScrollFlag = 0;
  Adapter->WndHandle = Wnd;
  if (!Wnd || !IsWindow(Wnd)) return;
  if (TacMainWnd* other = GetWndAdapter(Wnd); other && other != Adapter) {
    Adapter->Destroyed = true;  // one adapter per window
    return;
  }
  for (int kind = 0; kind < 2; ++kind) {
    auto* bar = new TacScrollBar;
    bar->Owner = Adapter;
    bar->BarKind = std::uint16_t(kind);
    (kind == 0 ? Adapter->HorzBar : Adapter->VertBar) = bar;
    ReadScrollInfo(bar, Wnd);
  }
  Adapter->LeftScrollBar = (GetWindowLongPtrA(Wnd, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
  const LONG_PTR style = GetWindowLongPtrA(Wnd, GWL_STYLE);
  Adapter->HorzBar->ScrollFlags = (style & WS_HSCROLL) ? 8 : 0;
  Adapter->VertBar->ScrollFlags = (style & WS_VSCROLL) ? 8 : 0;
  Adapter->StyleChanging = false;
  AttachWndProc(Adapter, Wnd);
  SetMinThumbSize(Wnd, 3, qv::DefaultMinThumbSize);
  if (Repaint)
    SetWindowPos(Wnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void DetachScrollWnd(HWND Wnd, bool FreeAdapter, bool Repaint, TacScrollWnd*& Adapter) {
  // Bare windows are given back too: a window must never keep a procedure of a freed adapter.
  if (Adapter && !Adapter->Destroyed) {
    TacMainWnd* base = Adapter;
    const bool alive = Wnd && IsWindow(Wnd);
    if (Adapter->HorzBar) Adapter->HorzBar->Owner = nullptr;
    if (Adapter->VertBar) Adapter->VertBar->Owner = nullptr;
    FreeAndNil(Adapter->HorzBar);
    FreeAndNil(Adapter->VertBar);
    if (CurrentScrollWnd == Wnd) {
      if (alive && RepeatTimer) KillTimer(Wnd, RepeatTimer);
      if (alive && ClickedPart != -1 && GetCapture() == Wnd) ReleaseCapture();
      ResetClickState();
      CurrentScrollWnd = nullptr;
    }
    if (HoverWnd == Wnd) {
      if (alive) KillTimer(Wnd, acHoverTimerId);
      HoverWnd = nullptr;
      HoverTimer = 0;
      HotBar = HotPart = LastHotPart = -1;
    }
    // Procedure, property and colours as DetachWndProc does it; the frame is recalculated without
    // the skinned bars.
    DetachWndProc(Wnd, false, Repaint, base);
  }
  if (FreeAdapter && Adapter) {
    Adapter->OldWndProc = nullptr;
    Adapter->OldProc = nullptr;
    FreeAndNil(Adapter);
  }
}

void RefreshScrollInfo(TacScrollWnd* Adapter, bool Repaint) {
  if (!Adapter || !Adapter->HorzBar || !Adapter->VertBar || !Adapter->WndHandle) return;
  ReadScrollInfo(Adapter->HorzBar, Adapter->WndHandle);
  ReadScrollInfo(Adapter->VertBar, Adapter->WndHandle);
  if (Repaint) PaintScrollBars(Adapter, Adapter->WndHandle, nullptr);
}

TacScrollBar* GetScrollBarOf(HWND Wnd, int Kind) {
  return BarOfKind(dynamic_cast<TacScrollWnd*>(GetWndAdapter(Wnd)), Kind);
}

bool SetMinThumbSize(HWND Wnd, int Bars, int Size) {
  auto* a = dynamic_cast<TacScrollWnd*>(GetWndAdapter(Wnd));
  if (!a) return false;
  if ((Bars == 0 || Bars == 3) && a->HorzBar) a->HorzBar->MinThumbSize = std::uint16_t(std::max(Size, 0));
  if ((Bars == 1 || Bars == 3) && a->VertBar) a->VertBar->MinThumbSize = std::uint16_t(std::max(Size, 0));
  return true;
}

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
  SCROLLBARINFO sbi{};
  sbi.cbSize = sizeof(sbi);
  if (!GetScrollBarInfo(Bar->Owner->WndHandle, Bar->BarKind == 0 ? OBJID_HSCROLL : OBJID_VSCROLL, &sbi)) return false;
  if (sbi.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) return false;
  // Some systems mark only the two arrows when the whole bar is disabled (ESB_DISABLE_BOTH).
  return !((sbi.rgstate[1] & STATE_SYSTEM_UNAVAILABLE) && (sbi.rgstate[5] & STATE_SYSTEM_UNAVAILABLE));
}

void GetHorzBarRect(TacScrollWnd* Adapter, HWND Wnd, TRect& R) { R = qv::HorzBarRect(FrameOf(Adapter, Wnd)); }
void GetVertBarRect(TacScrollWnd* Adapter, HWND Wnd, TRect& R) { R = qv::VertBarRect(FrameOf(Adapter, Wnd)); }

int ScrollBarHitTest(TacScrollBar* Bar, HWND Wnd, const TRect& R, int Y, int X) {
  (void)Wnd;
  if (!Bar) return qv::sbpNone;
  const bool vertical = Bar->BarKind == 1;
  // The arrows as long as they are drawn (the skin's length), here as in the thumb's placing and
  // dragging: a click lands on the part the user sees under the pointer.
  const int btn = GetScrollBarSize(Bar, false, true);
  const int start = vertical ? R.Top : R.Left, end = vertical ? R.Bottom : R.Right;
  const qv::TThumb thumb = qv::CalcThumb(start, end, btn, RangeOf(Bar->ScrollInfo), Bar->MinThumbSize);
  return vertical ? qv::ScrollHitTest(start, end, btn, thumb, Y, X, R.Left, R.Right)
                  : qv::ScrollHitTest(start, end, btn, thumb, X, Y, R.Top, R.Bottom);
}

// ---- Painting ----------------------------------------------------------------------------------------

int PaintScrollBar(TacScrollBar* Bar, HWND Wnd, HDC DC, int APressedPart, const TRect& R) {
  if (!Bar || !Bar->Owner) return 0;
  TacScrollWnd* a = Bar->Owner;
  const bool vertical = Bar->BarKind == 1;
  if (a->ThumbTracking || (vertical && a->ScrollFlag) || !Bar->ScrollVisible) return 0;
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
  if (a->SkinData && a->SkinData->OwnerControl) enabled = enabled && a->SkinData->OwnerControl->Enabled();

  int arrow1 = 0, arrow2 = 0;
  if (Wnd != CurrentScrollWnd) {
    APressedPart = -1;
  } else {
    const bool hotBar = HotBar == Bar->BarKind && enabled;
    arrow1 = APressedPart == 0 ? 2 : (hotBar && HotPart == 0 ? 1 : 0);
    arrow2 = APressedPart == 1 ? 2 : (hotBar && HotPart == 1 ? 1 : 0);
  }
  const qv::TScrollRange range = RangeOf(Bar->ScrollInfo);
  const qv::TThumb thumb = qv::CalcThumb(0, length, btn, range, Bar->MinThumbSize);

  TTempBmp bmp(R.Width(), R.Height());
  const TsCacheInfo ci = AskOwnCache(a, Wnd);
  if (2 * btn >= length) {
    const int half = length / 2;
    PaintBarImage(bmp.Bmp, sm, vertical, ci, R.TopLeft(), length, across, half, half, 0, 0, arrow1, arrow2, 0, 0, 0);
  } else {
    const bool drawThumb = enabled && qv::ThumbDrawable(range, channel, Bar->MinThumbSize);
    const int thumbState =
        (HotPart == qv::sbpThumb && HotBar == Bar->BarKind && enabled && Wnd == CurrentScrollWnd) ? 1 : 0;
    PaintBarImage(bmp.Bmp, sm, vertical, ci, R.TopLeft(), length, across, btn, thumb.Size / 2 + thumb.Pos,
                  APressedPart == 2 ? 2 : 0, APressedPart == 3 ? 2 : 0, arrow1, arrow2, thumb.Pos,
                  drawThumb ? thumb.Size : 0, thumbState);
  }
  if (!enabled) {
    const TsCacheInfo c2 = AskOwnCache(a, Wnd);
    if (c2.Ready) {
      const TRect src = Bounds(R.Left + c2.X, R.Top + c2.Y, R.Width(), R.Height());
      BlendRectKeyed(bmp.Bmp, 0, 0, c2.Bmp, src, 0.4, TColor(0xFF000000));
    } else {
      BlendColorRect(bmp.Bmp, Rect(0, 0, R.Width(), R.Height()), 60, TColor(sm->Section(s.Bar1->Section).Color));
    }
  }
  TBmpDC src(bmp.Bmp);
  if (DC && src.Get()) BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), src.Get(), 0, 0, SRCCOPY);
  return 1;
}

LRESULT PaintScrollBars(TacScrollWnd* Adapter, HWND Wnd, HDC DC) {
  if (!Adapter || !Wnd) return 0;
  TsCommonData* sd = Adapter->SkinData;
  if (sd) {
    sd->SetUpdating(sd->Updating());
    if (sd->UpdatingFlag()) return 0;
    if (TControl* c = sd->OwnerControl) {
      if (c->ControlState().Contains(csCreating) || !c->Showing()) return 0;
    }
    if (sd->BGChanged) {
      auto alive = Adapter->AliveToken();
      SendSkinCommand(Wnd, QC_PREPAREFADE);
      if (!*alive) return 0;
    }
  }
  TWindowDC dc(Wnd, DC);
  if (!dc.Get()) return 0;
  const TRect wr = WindowRectOf(Wnd);
  for (TacScrollBar* bar : {Adapter->HorzBar, Adapter->VertBar}) {
    if (!bar || !bar->ScrollVisible) continue;
    TRect r = BarScreenRect(bar, Wnd);
    r.Offset(-wr.Left, -wr.Top);
    PaintScrollBar(bar, Wnd, dc.Get(), PressedBar == bar->BarKind ? PressedPart : -1, r);
  }
  const qv::TBarFrame frame = FrameOf(Adapter, Wnd);
  const TRect box = qv::CornerBoxRect(frame);
  if (!box.IsEmpty()) {
    TsSkinManager* sm = ManagerOf(Adapter);
    TTempBmp bmp(box.Width(), box.Height());
    TRect local = box;
    local.Offset(-wr.Left, -wr.Top);
    const TsCacheInfo ci = AskOwnCache(Adapter, Wnd);
    if (ci.Ready) {
      TBmpDC d(bmp.Bmp), s(ci.Bmp);
      if (d.Get() && s.Get())
        BitBlt(d.Get(), 0, 0, box.Width(), box.Height(), s.Get(), local.Left + ci.X, local.Top + ci.Y, SRCCOPY);
    } else if (sm && sm->Skin()) {
      FillBmpRect(bmp.Bmp, Rect(0, 0, box.Width(), box.Height()), sm->GetGlobalHotColor());
    }
    if (sm && sm->Skin() && SizeGripShowsFor(Adapter, Wnd, box)) {
      const int gi = sm->SectionIndexOf("GLOBALINFO");
      const int grip = gi >= 0 ? sm->LookupMask(gi, "GLOBALINFO", "GRIPIMAGE") : -1;
      if (sm->IsMaskIndex(grip)) {
        const TsMaskData& m = sm->Mask(grip);
        const int gw = qv::SafeFrameWidth(m.R.Width(), m.ImageCount);
        const int gh = qv::SafeFrameHeight(m.R.Height(), m.MaskType);
        if (gw > 0 && gh > 0)
          PaintMaskImageByIndex(bmp.Bmp, TPoint{box.Width() - gw, box.Height() - gh}, 0, 0, grip, sm);
      }
    }
    TBmpDC src(bmp.Bmp);
    if (src.Get()) BitBlt(dc.Get(), local.Left, local.Top, box.Width(), box.Height(), src.Get(), 0, 0, SRCCOPY);
  }
  return 0;
}

LRESULT SendScrollMessage(HWND Wnd, UINT Msg, int Code, int Pos) {
  SendSkinCommand(Wnd, QC_LOCKREDRAW, 0);
  const int bar = Msg == WM_HSCROLL ? SB_HORZ : SB_VERT;
  SCROLLINFO si{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
  GetScrollInfo(Wnd, bar, &si);
  if (Code == SB_THUMBTRACK && qv::ThumbTrackSetsPos(Pos, RangeOf(si))) SetScrollPos(Wnd, bar, Pos, FALSE);
  if (!IsWindow(Wnd)) return 0;
  SendMessageA(Wnd, Msg, MAKEWPARAM(WORD(Code), WORD(Pos)), 0);
  if (!IsWindow(Wnd)) return 0;
  return SendSkinCommand(Wnd, QC_UNLOCKREDRAW, LPARAM(MAKELONG(WORD(Code), WORD(Msg))));
}

// ---- Message handlers ----------------------------------------------------------------------------

LRESULT ScrollNCCalcSize(TacScrollWnd* Adapter, HWND Wnd, WPARAM WParam, LPARAM LParam) {
  auto* rp = reinterpret_cast<RECT*>(LParam);
  if (!rp) {
    LPARAM lp = LParam;
    return CallPrevProc(Adapter, Wnd, WM_NCCALCSIZE, WParam, lp);
  }
  const TRect old = FromRECT(*rp);
  const LONG_PTR style = GetWindowLongPtrA(Wnd, GWL_STYLE);
  auto alive = Adapter->AliveToken();
  LRESULT result;
  LPARAM lp = LParam;
  if (style & (WS_HSCROLL | WS_VSCROLL)) {
    Adapter->StyleChanging = true;
    SetWindowLongPtrA(Wnd, GWL_STYLE, style & ~LONG_PTR(WS_HSCROLL | WS_VSCROLL));
    result = CallPrevProc(Adapter, Wnd, WM_NCCALCSIZE, WParam, lp);
    if (!*alive) return result;
    SetWindowLongPtrA(Wnd, GWL_STYLE, style);
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

LRESULT ScrollNCHitTest(TacScrollWnd* Adapter, HWND Wnd, WPARAM WParam, LPARAM LParam) {
  const TPoint p{LParamX(LParam), LParamY(LParam)};
  const qv::TBarFrame f = FrameOf(Adapter, Wnd);
  if (f.HorzVisible) {
    const TRect r = qv::HorzBarRect(f);
    if (r.Contains(p)) return IsScrollBarEnabled(Adapter->HorzBar) ? HTHSCROLL : HTNOWHERE;
  }
  if (f.VertVisible) {
    const TRect r = qv::VertBarRect(f);
    if (r.Contains(p)) return IsScrollBarEnabled(Adapter->VertBar) ? HTVSCROLL : HTNOWHERE;
  }
  const TRect box = qv::CornerBoxRect(f);
  if (!box.IsEmpty() && SizeGripShowsFor(Adapter, Wnd, box)) {
    const TRect h = qv::HorzBarRect(f), v = qv::VertBarRect(f);
    const TRect grip = Rect(std::min(h.Right, v.Right), h.Top, std::max(h.Right, v.Right), h.Bottom);
    if (grip.Contains(p)) return HTBOTTOMRIGHT;
  }
  LPARAM lp = LParam;
  return CallPrevProc(Adapter, Wnd, WM_NCHITTEST, WParam, lp);
}

LRESULT ScrollNCMouseMove(TacScrollWnd* Adapter, HWND Wnd, WPARAM WParam, LPARAM LParam) {
  CurrentScrollWnd = Wnd;
  const int kind = WParam == HTHSCROLL ? 0 : WParam == HTVSCROLL ? 1 : -1;
  if (kind >= 0 && HoverTimer && HoverWnd != Wnd) {
    // The pointer came over another window's bar: the old hover ends there first.
    if (HoverWnd && IsWindow(HoverWnd)) KillTimer(HoverWnd, acHoverTimerId);
    HoverTimer = 0;
    HotBar = LastHotPart = HotPart = -1;
  }
  if (kind >= 0 && HotBar != kind) {
    HoverWnd = Wnd;
    LastHotPart = HotPart = -1;
    HotBarRect = BarScreenRect(BarOfKind(Adapter, kind), Wnd);
    HotBar = kind;
    HoverTimer = SetTimer(Wnd, acHoverTimerId, acHoverInterval, nullptr);
    auto alive = Adapter->AliveToken();
    PaintScrollBars(Adapter, Wnd, nullptr);
    if (!*alive) return 0;
  }
  LPARAM lp = LParam;
  return CallPrevProc(Adapter, Wnd, WM_NCMOUSEMOVE, WParam, lp);
}

LRESULT ScrollNCLButtonDown(TacScrollWnd* Adapter, HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  CurrentScrollWnd = Wnd;
  TacScrollBar* bar;
  if (WParam == HTHSCROLL) {
    ScrollMsg = WM_HSCROLL;
    PressedBar = 0;
    bar = Adapter->HorzBar;
  } else {
    ScrollMsg = WM_VSCROLL;
    PressedBar = 1;
    bar = Adapter->VertBar;
  }
  const TPoint p{LParamX(LParam), LParamY(LParam)};
  const TRect br = BarScreenRect(bar, Wnd);
  ClickedPart = ScrollBarHitTest(bar, Wnd, br, p.Y, p.X);
  auto alive = Adapter->AliveToken();
  if (ClickedPart >= 0 && ClickedPart <= 3) {
    if (!IsScrollBarEnabled(bar)) {
      ResetClickState();  // a disabled bar does nothing, and takes no capture
      return 0;
    }
    PressedPart = ScrollBarHitTest(bar, Wnd, br, p.Y, p.X);
    RepaintBar(bar, Wnd, PressedPart);
    SendScrollMessage(Wnd, ScrollMsg, ClickedPart, 0);
    if (!*alive) return 0;
    PressedPart = ClickedPart;
    RepeatTimer = SetTimer(Wnd, acFirstRepeatTimerId, acFirstRepeatDelay, nullptr);
  } else if (ClickedPart == qv::sbpThumb) {
    if (!IsScrollBarEnabled(bar)) {
      ResetClickState();
      return 0;
    }
    ReadScrollInfo(bar, Wnd);
    const bool vertical = bar->BarKind == 1;
    const qv::TThumb t = qv::CalcThumb(vertical ? br.Top : br.Left, vertical ? br.Bottom : br.Right,
                                       GetScrollBarSize(bar, false, true), RangeOf(bar->ScrollInfo), bar->MinThumbSize);
    ThumbSize = t.Size;
    ThumbPos = t.Pos;
    ThumbBounds = br;
    Adapter->ThumbTracking = true;
    bar->ScrollInfo.nTrackPos = bar->ScrollInfo.nPos;
    ThumbOffset = (vertical ? p.Y : p.X) - ThumbPos;
    LastTrackPos = bar->ScrollInfo.nPos;
    PressedPart = qv::sbpThumb;
    const TRect wr = WindowRectOf(Wnd);
    DrawTrackedBar(bar, Wnd, ThumbPos - (vertical ? wr.Top : wr.Left));
  } else {
    ResetClickState();
    LPARAM lp = LParam;
    return CallPrevProc(Adapter, Wnd, Msg == WM_NCLBUTTONDBLCLK ? WM_NCLBUTTONDBLCLK : WM_NCLBUTTONDOWN, WParam, lp);
  }
  if (ClickedPart != -1) SetCapture(Wnd);
  return 0;
}

LRESULT ScrollMouseMove(TacScrollWnd* Adapter, HWND Wnd, WPARAM WParam, LPARAM LParam) {
  // A click or a drag belongs to the window it began in.
  TacScrollBar* bar = CurrentScrollWnd == Wnd ? BarOfKind(Adapter, PressedBar) : nullptr;
  if (Adapter->ThumbTracking && bar) {
    const TPoint p = MessagePoint();
    return TrackThumb(bar, Wnd, p.X, p.Y);
  }
  if (bar && ((ClickedPart >= 0 && ClickedPart <= 3) || ClickedPart == qv::sbpThumb)) {
    const TPoint p = MessagePoint();
    const int part = ScrollBarHitTest(bar, Wnd, BarScreenRect(bar, Wnd), p.Y, p.X);
    const int wanted = part == ClickedPart ? ClickedPart : -1;
    if (wanted != PressedPart) {
      PressedPart = wanted;
      RepaintBar(bar, Wnd, PressedPart);
    }
    return 0;
  }
  LPARAM lp = LParam;
  return CallPrevProc(Adapter, Wnd, WM_MOUSEMOVE, WParam, lp);
}

LRESULT ScrollLButtonUp(TacScrollWnd* Adapter, HWND Wnd, WPARAM WParam, LPARAM LParam) {
  auto alive = Adapter->AliveToken();
  if (ClickedPart != -1 && CurrentScrollWnd == Wnd) {  // a click of this window's bars
    const int clicked = ClickedPart;
    const UINT msg = ScrollMsg;
    TacScrollBar* bar = BarOfKind(Adapter, PressedBar);
    const int track = LastTrackPos;
    const bool tracking = Adapter->ThumbTracking;
    if (RepeatTimer) KillTimer(Wnd, RepeatTimer);
    // The state ends before anything is sent: a handler of the scroll messages may start anew.
    ResetClickState();
    if (!Adapter->KeepsCaptureOnButtonUp() && GetCapture() == Wnd) ReleaseCapture();
    if (!*alive) return 0;
    Adapter->ScrollFlag = 1;
    if (clicked >= 0 && clicked <= 3) {
      SendScrollMessage(Wnd, msg, SB_ENDSCROLL, 0);
    } else if (clicked == qv::sbpThumb) {
      // Only a drag of our own scrolls to its last position.
      Adapter->ThumbTracking = false;
      if (tracking) {
        SendScrollMessage(Wnd, msg, SB_THUMBPOSITION, track);
        if (!*alive) return 0;
        SendScrollMessage(Wnd, msg, SB_ENDSCROLL, track);
      } else {
        SendScrollMessage(Wnd, msg, SB_ENDSCROLL, 0);
      }
    }
    if (!*alive) return 0;
    Adapter->ScrollFlag = 0;
    if (bar && bar->Owner) RepaintBar(bar, Wnd, -1);
  }
  LPARAM lp = LParam;
  return CallPrevProc(Adapter, Wnd, WM_LBUTTONUP, WParam, lp);
}

void TacScrollWnd::CancelClick() {
  if (ClickedPart == -1 || CurrentScrollWnd != WndHandle) return;
  if (RepeatTimer) KillTimer(WndHandle, RepeatTimer);
  TacScrollBar* bar = BarOfKind(this, PressedBar);
  ResetClickState();
  ThumbTracking = false;
  if (bar) RepaintBar(bar, WndHandle, -1);
}

LRESULT ScrollTimer(TacScrollWnd* Adapter, HWND Wnd, WPARAM WParam, LPARAM LParam) {
  auto alive = Adapter->AliveToken();
  switch (WParam) {
    case acHoverTimerId: {
      if (Adapter->ThumbTracking) return 0;
      if (!HoverTimer) {
        KillTimer(Wnd, acHoverTimerId);
        return 0;
      }
      POINT cp{};
      GetCursorPos(&cp);
      const TPoint p{cp.x, cp.y};
      TacScrollBar* bar = BarOfKind(Adapter, HotBar);
      if (bar && HotBarRect.Contains(p)) {
        HotPart = ScrollBarHitTest(bar, Wnd, HotBarRect, p.Y, p.X);
        if (HotPart != LastHotPart) RepaintBar(bar, Wnd, PressedBar == HotBar ? PressedPart : -1);
        LastHotPart = HotPart;
      } else {
        KillTimer(Wnd, acHoverTimerId);
        HoverTimer = 0;
        HoverWnd = nullptr;
        HotBar = LastHotPart = HotPart = -1;
        PaintScrollBars(Adapter, Wnd, nullptr);
      }
      return 0;
    }
    case acFirstRepeatTimerId:
      KillTimer(Wnd, acFirstRepeatTimerId);
      if (RepeatTimer != acFirstRepeatTimerId) return 0;  // left over from an ended click
      RepeatTimer = SetTimer(Wnd, acRepeatTimerId, acRepeatInterval, nullptr);
      return 0;
    case acRepeatTimerId:
      if (RepeatTimer != acRepeatTimerId) {
        KillTimer(Wnd, acRepeatTimerId);
        return 0;
      }
      ScrollMouseMove(Adapter, Wnd, 0, 0);
      if (!*alive) return 0;
      if (PressedPart != -1) {
        Adapter->ScrollFlag = 1;
        SendScrollMessage(Wnd, ScrollMsg, PressedPart, 0);
        if (!*alive) return 0;
        Adapter->ScrollFlag = 0;
      }
      return 0;
    default: {
      // A timer of the window's own reaches its procedure once, with its own id.
      LPARAM lp = LParam;
      return CallPrevProc(Adapter, Wnd, WM_TIMER, WParam, lp);
    }
  }
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

LRESULT ScrollSetCursor(TacScrollWnd* Adapter, HWND Wnd, WPARAM WParam, LPARAM LParam) {
  LPARAM lp = LParam;
  return CallPrevProc(Adapter, Wnd, WM_SETCURSOR, WParam, lp);
}

// =====================================================================================================
// Scrolling adapters
// =====================================================================================================

namespace {

// Class-library notifications the scrolling adapters look at.
constexpr UINT CM_FOCUSNOTIFY = 0xB007;
constexpr UINT CM_ENABLEDNOTIFY = 0xB00C;
constexpr UINT CM_RESIZENOTIFY = 0xB029;
constexpr UINT CM_WHEELNOTIFY = 0xB043;
constexpr UINT CN_KEYDOWNNOTIFY = 0xBD00;
constexpr UINT CN_KEYUPNOTIFY = 0xBD01;
constexpr UINT WM_UNKNOWN2100 = 0x2100;
constexpr UINT WM_UNKNOWN3F = 0x3F;

void RefreshUpdating(TsCommonData* sd) {
  if (sd) sd->SetUpdating(sd->Updating());
}

bool IsOwnManager(const TMessage& m, TsCommonData* sd) {
  TsSkinManager* sm = sd ? sd->SkinManager() : nullptr;
  return sm && m.LParam == reinterpret_cast<LPARAM>(sm);
}

void AnswerCache(TsCommonData* sd) {
  if (sd && sd->CacheBmp && !sd->CacheBmp->Empty())
    SharedCacheInfo = BuildCacheInfo(sd->CacheBmp, 0, 0);
  else
    SharedCacheInfo = TsCacheInfo{};
}

}  // namespace

// ---- TacScrollWnd ------------------------------------------------------------------------------------

TacScrollWnd::~TacScrollWnd() {
  if (HoverWnd == WndHandle && WndHandle) {
    if (IsWindow(WndHandle)) KillTimer(WndHandle, acHoverTimerId);
    HoverWnd = nullptr;
    HoverTimer = 0;
    HotBar = HotPart = LastHotPart = -1;
  }
  if (CurrentScrollWnd == WndHandle && WndHandle) {
    const bool alive = IsWindow(WndHandle) != FALSE;
    if (alive) {
      if (RepeatTimer) KillTimer(WndHandle, RepeatTimer);
      if (HoverTimer) KillTimer(WndHandle, HoverTimer);
      if (ClickedPart != -1 && GetCapture() == WndHandle) ReleaseCapture();
    }
    ResetClickState();
    HoverTimer = 0;
    HotBar = HotPart = LastHotPart = -1;
    CurrentScrollWnd = nullptr;
  }
  if (HorzBar) HorzBar->Owner = nullptr;
  if (VertBar) VertBar->Owner = nullptr;
  FreeAndNil(HorzBar);
  FreeAndNil(VertBar);
}

void TacScrollWnd::AttachToWindow() { AttachScrollWnd(this, WndHandle, Repaint_); }

bool TacScrollWnd::SkinOn() const { return !Destroyed && SkinData && SkinData->Skinned(false); }

void TacScrollWnd::SyncFrame() {
  if (Destroyed || !WndHandle || !IsWindow(WndHandle) || SkinOn() == FrameSkinned) return;
  SetWindowPos(WndHandle, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

bool TacScrollWnd::BeforeMessage(TMessage& Message) {
  if (Message.Msg != SM_QUORVEXCMD || Destroyed || !IsOwnManager(Message, SkinData)) return true;
  auto alive = AliveToken();
  switch (Message.WParamHi()) {
    case QC_SKINLOADED:
      SkinData->UpdateIndexes();  // the indexes of the old skin mean nothing in the new one
      break;
    case QC_REFRESH:
      if (!SkinData->Skinned(false)) SkinData->UpdateIndexes();
      break;
    case QC_SKINREMOVED:
      // The colours go back (the edit adapters compute the frame again there, now for the
      // window's own bars); the next skin applies its colours anew.
      Skinned = false;
      RestoreOriginalColors();
      if (!*alive) return false;
      break;
    default: return true;
  }
  SyncFrame();
  return *alive;
}

void TacScrollWnd::HandleMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_DESTROY:
    case WM_NCDESTROY:
      if (OldWndProc || OldProc) {
        TacScrollWnd* self = this;
        DetachScrollWnd(WndHandle, false, false, self);
      }
      PassOn(Message);
      return;
    case WM_UPDATEUISTATE: return;
    default: break;
  }
  if (!SkinOn()) {
    if (Message.Msg == WM_NCCALCSIZE) FrameSkinned = false;  // the window's own bars take the room
    PassOn(Message);
    return;
  }
  auto alive = AliveToken();
  const HWND wnd = WndHandle;
  if (Message.Msg == SM_QUORVEXCMD) {
    const bool own = IsOwnManager(Message, SkinData);
    switch (Message.WParamHi()) {
      case QC_SKINLOADED:
        if (own) SkinData->UpdateIndexes();
        break;
      case QC_REFRESH:
        if (own) {
          SkinData->UpdateIndexes();
          SkinData->BGChanged = true;
        }
        break;
      case QC_GETCACHE: AnswerCache(SkinData); break;
      case QC_UPDATEDONE:
        if (SkinData->UpdatingFlag()) {
          SkinData->SetUpdating(false);
          RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
          if (!*alive) return;
        }
        break;
      case QC_ISSKINNED:
        Message.LParam = 1;
        Message.Result = 1;
        return;
      case QC_GETAPPLICATION: Message.Result = reinterpret_cast<LRESULT>(ApplicationObject()); return;
      default: break;
    }
  } else {
    switch (Message.Msg) {
      case WM_NCCALCSIZE: Message.Result = ScrollNCCalcSize(this, wnd, Message.WParam, Message.LParam); return;
      case WM_NCHITTEST: Message.Result = ScrollNCHitTest(this, wnd, Message.WParam, Message.LParam); return;
      case WM_NCPAINT: {
        // The window's own frame first, the skinned bars over it.
        if (!PassOn(Message)) return;
        if (IsWindowVisible(wnd)) {
          RefreshUpdating(SkinData);
          if (!SkinData->UpdatingFlag() && !ScrollFlag) PaintScrollBars(this, wnd, nullptr);
        }
        return;
      }
      case WM_NCMOUSEMOVE: Message.Result = ScrollNCMouseMove(this, wnd, Message.WParam, Message.LParam); return;
      case WM_NCLBUTTONDOWN:
      case WM_NCLBUTTONDBLCLK:
        if (Message.WParam == HTHSCROLL || Message.WParam == HTVSCROLL) {
          Message.Result = ScrollNCLButtonDown(this, wnd, Message.Msg, Message.WParam, Message.LParam);
          return;
        }
        break;
      case WM_NCRBUTTONDOWN:
      case WM_NCRBUTTONUP:
      case WM_NCMBUTTONDOWN:
      case WM_NCMBUTTONUP:
        if (Message.WParam == HTHSCROLL || Message.WParam == HTVSCROLL) {
          Message.Result = 0;
          return;
        }
        break;
      case WM_SYSCOMMAND:
        if (Message.WParam == 0xF077) return;
        break;
      case WM_STYLECHANGED: Message.Result = ScrollStyleChanged(this, wnd, Message.WParam, Message.LParam); return;
      case WM_MOUSEMOVE: Message.Result = ScrollMouseMove(this, wnd, Message.WParam, Message.LParam); return;
      case WM_LBUTTONUP: Message.Result = ScrollLButtonUp(this, wnd, Message.WParam, Message.LParam); return;
      case WM_CAPTURECHANGED:
        if (HWND(Message.LParam) != wnd) CancelClick();
        break;
      case WM_TIMER:
        Message.Result = ScrollTimer(this, wnd, Message.WParam, Message.LParam);
        if (*alive && !ScrollFlag && !ThumbTracking) RefreshScrollInfo(this, true);
        return;
      case CM_RESIZENOTIFY:
        if (WndSize.cx != 0) {
          if (!PassOn(Message)) return;
          SetWindowPos(
              wnd, nullptr, 0, 0, WndSize.cx, WndSize.cy,
              SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOCOPYBITS | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
          return;
        }
        break;
      default: break;
    }
  }
  if (!PassOn(Message)) return;
  switch (Message.Msg) {
    case WM_MOUSEWHEEL:
    case CM_WHEELNOTIFY:
      if (!ScrollFlag) RefreshScrollInfo(this, true);
      break;
    case CM_FOCUSNOTIFY: RefreshScrollInfo(this, true); break;
    default: break;
  }
}

// ---- TacBaseWnd -------------------------------------------------------------------------------------

void TacBaseWnd::HandleMessage(TMessage& Message) {
  if (!SkinOn()) {
    TacScrollWnd::HandleMessage(Message);
    return;
  }
  auto alive = AliveToken();
  const HWND wnd = WndHandle;
  const UINT msg = Message.Msg;
  if (msg == SM_QUORVEXCMD) {
    if (Message.WParamHi() == QC_REFRESH && IsOwnManager(Message, SkinData)) {
      TacScrollWnd::HandleMessage(Message);
      if (*alive && IsWindowVisible(wnd)) SendMessageA(wnd, WM_NCPAINT, 0, 0);
      return;
    }
    if (Message.WParamHi() == QC_PREPAREFADE) PrepareWindowCache(SkinData, wnd, false);
  } else if (msg == WM_SIZE) {
    SkinData->BGChanged = true;
  } else if (msg == WM_SETCURSOR) {
    PassOn(Message);
    return;
  } else if (msg == WM_UNKNOWN2100) {
    return;
  }
  TacScrollWnd::HandleMessage(Message);
  if (!*alive) return;
  switch (msg) {
    case WM_SIZE:
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (!ScrollFlag) RefreshScrollInfo(this, true);
      break;
    case WM_ENABLE:
    case CM_ENABLEDNOTIFY:
      if (IsWindowVisible(wnd)) SendMessageA(wnd, WM_NCPAINT, 0, 0);
      break;
    default: break;
  }
}

// ---- TacEditWnd -------------------------------------------------------------------------------------

void TacEditWnd::AfterConstruction() {
  TObject::AfterConstruction();
  if (!WndHandle) return;  // attached to nothing
  if (!KeepsThemeOnCreate()) ThemeOff(InitSection_);
  StoreOriginalColors();
  Skinned = false;
  AttachScrollWnd(this, WndHandle, Repaint_);
  if (!(SkinData && SkinData->OwnerControl && IsContainerClass && IsContainerClass(SkinData->OwnerControl)))
    MakeOwnerOpaque();
}

void TacEditWnd::StoreOriginalColors() {
  TacBaseWnd::StoreOriginalColors();
  if (SkinData && SkinData->OwnerControl) {
    SavedColor = SkinData->OwnerControl->Color();
    SavedFontColor = SkinData->OwnerControl->Font()->Color();
  }
}

void TacEditWnd::RestoreOriginalColors() {
  TacBaseWnd::RestoreOriginalColors();
  if (WndHandle && IsWindow(WndHandle))
    SetWindowPos(WndHandle, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOOWNERZORDER);
  if (SkinData && SkinData->OwnerControl && !SkinData->OwnerControl->ComponentState().Contains(csDestroying)) {
    if (SavedColor != clNone) SkinData->OwnerControl->SetColor(SavedColor);
    if (SavedFontColor != clNone) SkinData->OwnerControl->Font()->SetColor(SavedFontColor);
  }
}

void TacEditWnd::ApplySkinColors() {
  const bool oldChanging = StyleChanging;
  StyleChanging = true;
  TacBaseWnd::ApplySkinColors();
  TsSkinManager* sm = SkinData ? SkinData->SkinManager() : nullptr;
  const bool hasSection = sm && SkinData && sm->IsSectionIndex(SkinData->SkinIndex);
  if (SkinData && SkinData->OwnerControl) {
    TControl* c = SkinData->OwnerControl;
    if (hasSection) {
      const TsGeneralData& gd = sm->Section(SkinData->SkinIndex);
      if (!SkinData->CustomColor) {
        if (gd.Transparency != 0) {
          TColor color = clParentColorUnset;
          if (TWinControl* parent = c->Parent()) {
            SharedParentColor = clParentColorUnset;
            SendControlSkinCommand(parent, QC_GETPARENTCOLOR);
            color = SharedParentColor != clParentColorUnset ? SharedParentColor : TColor(ColorToRGB(parent->Color()));
            SharedParentColor = clParentColorUnset;
          }
          if (color != clParentColorUnset) c->SetColor(color);
        } else if (c->Color() != TColor(gd.Color)) {
          c->SetColor(TColor(gd.Color));
        }
      }
      if (!SkinData->CustomFont && c->Font()->Color() != TColor(gd.FontColor.Text()))
        c->Font()->SetColor(TColor(gd.FontColor.Text()));
    }
  } else {
    BgColor = !DialogMode && hasSection ? TColor(sm->Section(SkinData->SkinIndex).Color) : clWindow;
    BorderColor = 0;
  }
  if (SkinData) SkinData->BGChanged = true;
  StyleChanging = oldChanging;
}

void TacEditWnd::PrintWindowInto(HDC DC) {
  const HWND wnd = WndHandle;
  auto alive = AliveToken();
  SkinData->SetUpdating(false);
  SkinData->BGChanged = true;
  UpdateWndRects(wnd, ParentWnd, WndRect, WndPos, WndSize, ParentRect);
  if (!Skinned) ApplySkinColors();
  PrepareWindowCache(SkinData, wnd, DialogMode);
  if (!DialogMode) FillBorderCorners(SkinData, 0, this);
  if (SkinData->CacheBmp && !SkinData->CacheBmp->Empty()) {
    TBmpDC src(SkinData->CacheBmp);
    if (src.Get())
      BitBltBorder(DC, 0, 0, SkinData->CacheBmp->Width(), SkinData->CacheBmp->Height(), src.Get(), 0, 0, BorderLeft);
  }
  PaintScrollBars(this, wnd, DC);
  if (!*alive) return;
  // The client area through the window's own painting, placed and clipped to where it lies.
  RECT wr{}, cr{};
  GetWindowRect(wnd, &wr);
  GetClientRect(wnd, &cr);
  POINT org{0, 0};
  ClientToScreen(wnd, &org);
  TSavedDC saved(DC);
  OffsetViewportOrgEx(DC, org.x - wr.left, org.y - wr.top, nullptr);
  IntersectClipRect(DC, 0, 0, cr.right, cr.bottom);
  SendMessageA(wnd, WM_ERASEBKGND, WPARAM(DC), 0);
  if (*alive) SendMessageA(wnd, WM_PAINT, WPARAM(DC), 0);
  if (*alive) SendMessageA(wnd, WM_PRINTCLIENT, WPARAM(DC), PRF_CLIENT | PRF_OWNED);
}

void TacEditWnd::HandleMessage(TMessage& Message) {
  if (!SkinOn()) {
    TacBaseWnd::HandleMessage(Message);
    return;
  }
  auto alive = AliveToken();
  const HWND wnd = WndHandle;
  const UINT msg = Message.Msg;
  switch (msg) {
    case SM_QUORVEXCMD:
      switch (Message.WParamHi()) {
        case QC_PREPAREFADE:
          UpdateWndRects(wnd, ParentWnd, WndRect, WndPos, WndSize, ParentRect);
          PrepareWindowCache(SkinData, wnd, false);
          FillBorderCorners(SkinData, 0, this);
          return;
        case QC_REFRESH:
          if (IsOwnManager(Message, SkinData)) {
            TacBaseWnd::HandleMessage(Message);
            if (*alive) ApplySkinColors();
            return;
          }
          break;
        case QC_UPDATEDONE:
          if (SkinData->UpdatingFlag()) {
            SkinData->SetUpdating(false);
            RedrawWindow(wnd, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
            if (!*alive) return;
          }
          break;
        case QC_ISSKINNED:
          Message.LParam = 1;
          Message.Result = 1;
          return;
        case QC_GETSECTIONINDEX: Message.Result = SkinData->SkinIndex + 1; return;
        case QC_GETAPPLICATION: Message.Result = reinterpret_cast<LRESULT>(ApplicationObject()); return;
        default: break;
      }
      break;
    case WM_PAINT:
      if (IsWindowVisible(wnd)) {
        RefreshUpdating(SkinData);
        if (SkinData->UpdatingFlag()) {
          TPaintScope validate(wnd);
          return;
        }
        PaintScrollBars(this, wnd, nullptr);
        if (!*alive) return;
        if (!Skinned) ApplySkinColors();
      }
      break;
    case WM_ERASEBKGND:
      if (IsWindowVisible(wnd)) {
        RefreshUpdating(SkinData);
        if (SkinData->UpdatingFlag()) return;
        if (!Skinned) ApplySkinColors();
      }
      break;
    case WM_NCPAINT:
      if (IsWindowVisible(wnd)) {
        UpdateWndRects(wnd, ParentWnd, WndRect, WndPos, WndSize, ParentRect);
        RefreshUpdating(SkinData);
        if (SkinData->UpdatingFlag()) {
          Message.Result = 0;
          return;
        }
        if (SkinData->BGChanged) {
          if (!Skinned) ApplySkinColors();
          PrepareWindowCache(SkinData, wnd, DialogMode);
        }
        if (!DialogMode) FillBorderCorners(SkinData, 0, this);
        LRESULT r = 0;
        {
          TWindowDC dc(wnd, nullptr);
          if (!dc.Get()) return;
          TSavedDC saved(dc.Get());
          if (SkinData->CacheBmp && !SkinData->CacheBmp->Empty()) {
            TBmpDC src(SkinData->CacheBmp);
            if (src.Get())
              BitBltBorder(dc.Get(), 0, 0, SkinData->CacheBmp->Width(), SkinData->CacheBmp->Height(), src.Get(), 0, 0,
                           BorderLeft);
          }
          r = PaintScrollBars(this, wnd, dc.Get());
        }
        if (*alive) Message.Result = r;
        return;
      }
      break;
    case WM_PRINT:
      if (Message.WParam) {
        PrintWindowInto(HDC(Message.WParam));
        if (*alive) Message.Result = 0;
        return;
      }
      break;
    default: break;
  }
  TacBaseWnd::HandleMessage(Message);
  if (!*alive) return;
  switch (msg) {
    case LB_SETCURSEL:
    case LB_SETTOPINDEX:
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case EM_REPLACESEL: RefreshScrollInfo(this, true); break;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_LBUTTONDOWN:
    case CN_KEYDOWNNOTIFY:
    case CN_KEYUPNOTIFY:
      if (!ScrollFlag) RefreshScrollInfo(this, true);
      break;
    case WM_SIZE:
      if (IsWindowVisible(wnd)) SendMessageA(wnd, WM_NCPAINT, 0, 0);
      break;
    case WM_MOUSEMOVE:
      if (DefaultManager && !DefaultManager->ComponentState().Contains(csDesigning) && IsWindowEnabled(wnd) &&
          DefaultManager->HotWindow() != wnd)
        DefaultManager->SetHotWindow(wnd);
      break;
    default: break;
  }
}

// ---- TacMDIWnd --------------------------------------------------------------------------------------

TacMDIWnd::~TacMDIWnd() {
  FormSkinData = nullptr;
  Provider = nullptr;
}

TPoint TacMDIWnd::BarCacheOffset() const {
  if (!Form || !Form->HandleAllocated()) return TPoint{};
  const TRect c = WindowRectOf(WndHandle);
  const TRect f = WindowRectOf(Form->Handle());
  return TPoint{c.Left - f.Left, c.Top - f.Top};
}

bool TacMDIWnd::MaximizedChild() const {
  BOOL maximized = FALSE;
  HWND active = HWND(SendMessageA(WndHandle, WM_MDIGETACTIVE, 0, LPARAM(&maximized)));
  return active && maximized;
}

void TacMDIWnd::PaintClientBackground(HDC DC) {
  if (!Form || !FormSkinData || !FormSkinData->CacheBmp || FormSkinData->CacheBmp->Empty()) return;
  if (MDIProviderAnimatingShow && Provider && MDIProviderAnimatingShow(Provider)) return;
  RECT cr{};
  GetClientRect(WndHandle, &cr);
  POINT org{0, 0};
  ClientToScreen(WndHandle, &org);
  const TRect f = WindowRectOf(Form->Handle());
  const TPoint src{org.x - f.Left, org.y - f.Top};
  CopyCacheExcludingChildren(Form, FormSkinData, src, FromRECT(cr), DC, false, 0, 0);
  PaintGraphicChildren(DC, Form, src);
}

void TacMDIWnd::PaintUnderContainers() {
  if (!IsContainerClass || !Form || !Form->HandleAllocated() || !FormSkinData || !FormSkinData->CacheBmp ||
      FormSkinData->CacheBmp->Empty())
    return;
  const HWND formWnd = Form->Handle();
  const TRect f = WindowRectOf(formWnd);
  POINT org{0, 0};
  ClientToScreen(formWnd, &org);
  TClientDC dc(formWnd, nullptr);
  TBmpDC src(FormSkinData->CacheBmp);
  if (!dc.Get() || !src.Get()) return;
  for (int i = 0; i < Form->ControlCount(); ++i) {
    TControl* c = Form->Controls(i);
    if (!c || !c->Visible() || !IsContainerClass(c)) continue;
    const TRect b = c->BoundsRect();
    BitBlt(dc.Get(), b.Left, b.Top, b.Width(), b.Height(), src.Get(), b.Left + org.x - f.Left, b.Top + org.y - f.Top,
           SRCCOPY);
  }
}

void TacMDIWnd::HandleMessage(TMessage& Message) {
  auto alive = AliveToken();
  const HWND wnd = WndHandle;
  const bool skinned = !Destroyed && FormSkinData && FormSkinData->Skinned(false);
  switch (Message.Msg) {
    case SM_QUORVEXCMD:
      if (Message.WParamHi() == QC_GETCACHE) {
        Message.Result = Form ? SendControlSkinCommand(Form, QC_GETCACHE) : 0;
        return;
      }
      break;
    case WM_NCPAINT:
      if (skinned) {
        if (MaximizedChild()) {
          Message.Result = 1;
          return;
        }
        TWindowDC dc(wnd, nullptr);
        if (!dc.Get()) return;
        if (FormSkinData->CacheBmp && !FormSkinData->CacheBmp->Empty()) {
          const TPoint off = BarCacheOffset();
          const TRect c = WindowRectOf(wnd);
          TBmpDC src(FormSkinData->CacheBmp);
          if (src.Get()) BitBltBorder(dc.Get(), 0, 0, c.Width(), c.Height(), src.Get(), off.X, off.Y, 2);
        }
        PaintScrollBars(this, wnd, dc.Get());
        return;
      }
      break;
    case WM_PAINT:
      if (skinned && !MaximizedChild()) {
        TPaintScope paint(wnd);
        TClientDC dc(wnd, HDC(Message.WParam));
        TSavedDC saved(dc.Get());
        PaintClientBackground(dc.Get());
        return;
      }
      break;
    case WM_ERASEBKGND:
      if (skinned && Message.WParam) {
        if (!MaximizedChild())
          PaintClientBackground(HDC(Message.WParam));
        else
          PaintUnderContainers();
        Message.Result = 1;
        return;
      }
      break;
    case WM_PRINT:
      if (skinned && Message.WParam) {
        Message.Result = 0;
        if (!MaximizedChild()) {
          HDC dc = HDC(Message.WParam);
          PaintScrollBars(this, wnd, dc);
          if (FormSkinData->CacheBmp && !FormSkinData->CacheBmp->Empty()) {
            const TPoint off = BarCacheOffset();
            const TRect c = WindowRectOf(wnd);
            TBmpDC src(FormSkinData->CacheBmp);
            if (src.Get()) BitBltBorder(dc, 0, 0, c.Width(), c.Height(), src.Get(), off.X, off.Y, 2);
          }
          RECT wr{};
          GetWindowRect(wnd, &wr);
          POINT org{0, 0};
          ClientToScreen(wnd, &org);
          TSavedDC saved(dc);
          OffsetViewportOrgEx(dc, org.x - wr.left, org.y - wr.top, nullptr);
          PaintClientBackground(dc);
        }
        return;
      }
      break;
    case WM_MDITILE:
    case WM_MDICASCADE:
      if (!PassOn(Message)) return;
      if (FormSkinData) FormSkinData->BGChanged = true;
      if (MDIProviderArranged && Provider) MDIProviderArranged(Provider);
      if (!*alive) return;
      RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
      return;
    default: break;
  }
  TacBaseWnd::HandleMessage(Message);
  if (!*alive) return;
  if (Message.Msg == SM_QUORVEXCMD) {
    if (Message.WParamHi() == QC_LOCKREDRAW) {
      SendMessageA(wnd, WM_SETREDRAW, FALSE, 0);
    } else if (Message.WParamHi() == QC_UNLOCKREDRAW) {
      SendMessageA(wnd, WM_SETREDRAW, TRUE, 0);
      if (LoWord(std::uintptr_t(Message.LParam)) != SB_THUMBTRACK) {
        RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
        if (!*alive) return;
        RefreshScrollInfo(this, false);
        UpdateWindow(wnd);
      }
    }
  } else if (Message.Msg == WM_UNKNOWN3F || Message.Msg == WM_PARENTNOTIFY) {
    const LONG_PTR style = GetWindowLongPtrA(wnd, GWL_STYLE);
    if (VertBar) VertBar->ScrollVisible = (style & WS_VSCROLL) != 0;
    if (HorzBar) HorzBar->ScrollVisible = (style & WS_HSCROLL) != 0;
    RefreshScrollInfo(this, true);
  } else if (Message.Msg == WM_MDIREFRESHMENU) {
    if (MDIProviderRefreshMenuLine && Provider) MDIProviderRefreshMenuLine(Provider);
  }
}

// ---- Edit adapters of skinned memos and list boxes ---------------------------------------------------

void UpdateEditScrollWnd(TsCommonData* SkinData, TacEditWnd*& Adapter) {
  if (SkinData && SkinData->Skinned(false)) {
    if (Adapter && Adapter->Destroyed) FreeAndNil(Adapter);
    if (!Adapter) {
      auto* wc = dynamic_cast<TWinControl*>(SkinData->OwnerControl);
      if (!wc) return;
      Adapter = Create<TacEditWnd>(wc->Handle(), SkinData, SkinData->SkinManager(), "EDIT", true);
    }
  } else {
    FreeAndNil(Adapter);
  }
}
