// The adapter base: how an adapter takes over a window and gives it back, the previous-procedure
// call, the base message handler, and the routines every painting adapter shares (the window's
// cache image, the border corners, finding a control by its handle).
#include "skin/windows/acSBUtils.h"

#include <algorithm>
#include <mutex>
#include <unordered_map>

#include "classlib/WindowProps.h"
#include "classlib/core/TypInfo.h"
#include "skin/engine/sQuorvexGraph.h"
#include "skin/engine/sStyleSimply.h"
#include "skin/windows/acSBUtils/Internal.h"

using namespace acsb;

bool HookAttaching = false;
bool AdapterItemsClearing = false;

namespace {

TWinControl* ProviderForm(const TsCommonData* sd) {
  if (!sd || !sd->OwnerIsProvider()) return nullptr;
  auto* provider = dynamic_cast<TComponent*>(sd->OwnerObject);
  return provider ? dynamic_cast<TWinControl*>(provider->Owner()) : nullptr;
}

bool ManagerActive(TsSkinManager* sm) { return sm && sm->Active(); }

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

// The property is mirrored in a table by window, written and cleared where the property is, as the
// adapters' own property is (reading a property can be a round trip to the window server).
struct TLeftProcTable {
  std::mutex Lock;
  std::unordered_map<HWND, WNDPROC> Map;
};

TLeftProcTable& LeftProcs() {
  static TLeftProcTable* table = new TLeftProcTable();  // never freed: windows may go at exit
  return *table;
}

void SetLeftProc(HWND wnd, WNDPROC proc) {
  SetPropA(wnd, LeftProcPropName, reinterpret_cast<HANDLE>(proc));
  TLeftProcTable& t = LeftProcs();
  std::lock_guard<std::mutex> hold(t.Lock);
  t.Map[wnd] = proc;
}

WNDPROC LeftProcOf(HWND wnd) {
  TLeftProcTable& t = LeftProcs();
  std::lock_guard<std::mutex> hold(t.Lock);
  const auto at = t.Map.find(wnd);
  return at != t.Map.end() ? at->second : nullptr;
}

// The property goes from a live window, and the window from the table.
void RemoveLeftProc(HWND wnd, bool windowAlive) {
  {
    TLeftProcTable& t = LeftProcs();
    std::lock_guard<std::mutex> hold(t.Lock);
    if (t.Map.erase(wnd) == 0) return;
  }
  if (windowAlive) RemovePropA(wnd, LeftProcPropName);
}

// The window asked whether AdapterWndProc hears its messages (ChainReachesAdapterProc), and
// whether it did.
HWND ProbedWnd = nullptr;
bool ProbeHeard = false;

// Messages to the window still pass AdapterWndProc: it is the window's procedure, or one installed
// over it calls it on (a procedure put back from under it, out of order, cut it out of the chain).
// Asked with a message that does nothing.
bool ChainReachesAdapterProc(HWND wnd) {
  if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(wnd, GWLP_WNDPROC)) == AdapterWndProc) return true;
  const HWND outer = ProbedWnd;
  const bool outerHeard = ProbeHeard;
  ProbedWnd = wnd;
  ProbeHeard = false;
  SendMessageA(wnd, WM_NULL, 0, 0);
  const bool heard = ProbeHeard;
  ProbedWnd = outer;
  ProbeHeard = outerHeard;
  return heard;
}

// Gives a subclassed bare window its procedure back.
void UnhookBareWindow(TacMainWnd* a, HWND wnd) {
  if (a->OldWndProc && wnd && IsWindow(wnd)) {
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(wnd, GWLP_WNDPROC)) == AdapterWndProc)
      SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(a->OldWndProc));
    else if (ChainReachesAdapterProc(wnd))
      SetLeftProc(wnd, a->OldWndProc);
    // Else the chain no longer reaches the adapter's procedure: there is nothing of it to take out.
  }
  a->WndProcInstance = nullptr;
}

// The procedure an earlier adapter had replaced while that adapter's procedure is still in the
// window's chain; nullptr when none (a property left over after the chain was cut back, or cut
// below the adapter's procedure, is dropped).
WNDPROC LeftProcInChain(HWND wnd) {
  WNDPROC left = LeftProcOf(wnd);
  if (left &&
      (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(wnd, GWLP_WNDPROC)) == left || !ChainReachesAdapterProc(wnd))) {
    RemoveLeftProc(wnd, true);
    left = nullptr;
  }
  return left;
}

// A child window whose adapter left is painted in its own look again, and so is what its parent
// shows through it (the inside of a group box, which the box itself never paints).
void RepaintAfterLeaving(HWND wnd) {
  RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
  HWND parent = GetParent(wnd);
  if (!parent || !(GetWindowLongPtrA(wnd, GWL_STYLE) & WS_CHILD)) return;
  RECT r{};
  GetWindowRect(wnd, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  RedrawWindow(parent, &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

}  // namespace

void acsb::ShowParentUnder(HWND wnd) {
  HWND parent = wnd ? GetParent(wnd) : nullptr;
  if (!parent || !(GetWindowLongPtrA(wnd, GWL_STYLE) & WS_CHILD) ||
      !(GetWindowLongPtrA(parent, GWL_STYLE) & WS_CLIPCHILDREN))
    return;
  RECT r{};
  GetWindowRect(wnd, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  {
    // A DC of the parent that is not clipped to its children.
    const ClientDC dc = ClientDC::WithFlags(parent, DCX_CACHE | DCX_CLIPSIBLINGS);
    if (!dc) return;
    const SavedDC saved(dc);
    IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    SendMessageA(parent, WM_ERASEBKGND, WPARAM(dc.Get()), 0);
  }
  RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

TColor acsb::PlainBackgroundOf(HWND wnd) {
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

TColor acsb::ParentColorOf(HWND wnd) {
  HWND parent = wnd ? GetParent(wnd) : nullptr;
  SharedParentColor = clParentColorUnset;
  if (parent) SendSkinCommand(parent, QC_GETPARENTCOLOR);
  const TColor answered = SharedParentColor;
  SharedParentColor = clParentColorUnset;
  return answered != clParentColorUnset ? TColor(ColorToRGB(answered)) : PlainBackgroundOf(parent);
}

bool acsb::ItemColors(const TsCommonData* sd, bool DialogMode, bool Hot, COLORREF& Back, COLORREF& Text) {
  if (DialogMode) {
    Back = GetSysColor(COLOR_WINDOW);
    Text = GetSysColor(COLOR_WINDOWTEXT);
    return true;
  }
  TsSkinManager* sm = sd ? sd->SkinManager() : nullptr;
  if (!sm || !sm->IsSectionIndex(sd->SkinIndex)) return false;
  const TsGeneralData& gd = sm->Section(sd->SkinIndex);
  Back = ColorToRGB(TColor(Hot ? gd.HotColor : gd.Color));
  Text = ColorToRGB(TColor(Hot ? gd.HotFontColor.Text() : gd.FontColor.Text()));
  return true;
}

bool (*IsContainerClass)(const TControl* Control) = nullptr;

// ---- The adapter class of each kind of class-name list ---------------------------------------------

namespace {

std::array<TacAdapterMaker, ThirdListCount>& KindAdapters() {
  static std::array<TacAdapterMaker, ThirdListCount> table{};
  return table;
}

}  // namespace

bool RegisterKindAdapter(int Kind, TacAdapterMaker Maker) {
  if (Kind < 0 || Kind >= ThirdListCount) return false;
  KindAdapters()[std::size_t(Kind)] = Maker;
  return true;
}

TacAdapterMaker KindAdapter(int Kind) {
  return Kind >= 0 && Kind < ThirdListCount ? KindAdapters()[std::size_t(Kind)] : nullptr;
}

// ---- Static window procedure ----------------------------------------------------------------------

namespace {
void ForgetAdapterWindow(HWND wnd);
}  // namespace

LRESULT CALLBACK AdapterWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Wnd == ProbedWnd) ProbeHeard = true;
  TacMainWnd* adapter = GetWndAdapter(Wnd);
  if (!adapter) {
    if (WNDPROC prev = LeftProcOf(Wnd)) {
      if (Msg == WM_NCDESTROY) RemoveLeftProc(Wnd, true);
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
  // A window that is gone leaves the table whatever became of its adapter: its handle may be
  // given to a new window.
  if (Msg == WM_NCDESTROY) ForgetAdapterWindow(Wnd);
  return m.Result;
}

bool acsb::IsWindowTreeCommand(const TMessage& Message) {
  if (Message.Msg != SM_QUORVEXCMD) return false;
  const int command = Message.WParamHi();
  return command == QC_SKINLOADED || command == QC_REFRESH || command == QC_SKINREMOVED;
}

// ---- The adapter of a window --------------------------------------------------------------------------
//
// The window's property is the record of its adapter, mirrored in a table by window (every message
// to an adapted window looks its adapter up).

namespace {

TWindowPropTable<TacMainWnd>& Adapters() {
  static auto* table = new TWindowPropTable<TacMainWnd>(AdapterPropName);  // never freed: adapters may leave at exit
  return *table;
}

void SetAdapterProp(HWND wnd, TacMainWnd* a) { Adapters().Set(wnd, a); }

// The adapter leaves the table (whether or not its window still lives) and the live window's property.
void RemoveAdapterProp(HWND wnd, TacMainWnd* a, bool windowAlive) { Adapters().Remove(wnd, a, windowAlive); }

void ForgetAdapterWindow(HWND wnd) { Adapters().Forget(wnd); }

}  // namespace

TacMainWnd* GetWndAdapter(HWND Wnd) {
  if (!Wnd) return nullptr;
  TacMainWnd* a = nullptr;
  return Adapters().Lookup(Wnd, a) ? a : Adapters().FromProperty(Wnd);
}

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
  ShowSkinNow();
}

void TacMainWnd::ShowSkinNow() {
  if (!Destroyed && WndHandle && IsWindowVisible(WndHandle))
    RedrawWindow(WndHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

void TacMainWnd::ThemeOff(const std::string& SkinSection) {
  // Without visual styles in use the window has no theme to take off (each call restyles the
  // window and tells it so: tens of microseconds under Wine).
  if (!WndHandle || SkinSection == "DIALOG" || ThemeTakenOff_ || !ThemesInUse()) return;
  ThemeTakenOff_ = true;
  acSetWindowTheme(WndHandle, L" ", L" ");
}

void TacMainWnd::ThemeBack() {
  if (!ThemeTakenOff_) return;
  ThemeTakenOff_ = false;
  if (acSetWindowTheme && WndHandle && IsWindow(WndHandle)) acSetWindowTheme(WndHandle, nullptr, nullptr);
}

void TacMainWnd::MakeOwnerOpaque() {
  if (SkinData && SkinData->OwnerControl) {
    TControlStyle cs = SkinData->OwnerControl->ControlStyle();
    if (cs.Contains(csOpaque)) return;
    cs.Include(csOpaque);
    SkinData->OwnerControl->SetControlStyle(cs);
    OwnerOpaqueAdded_ = true;
  }
}

void TacMainWnd::RestoreOwnerStyle() {
  if (!OwnerOpaqueAdded_) return;
  OwnerOpaqueAdded_ = false;
  TControl* c = SkinData ? SkinData->OwnerControl : nullptr;
  if (!c || c->ComponentState().Contains(csDestroying)) return;
  TControlStyle cs = c->ControlStyle();
  cs.Exclude(csOpaque);
  c->SetControlStyle(cs);
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
  if (alive && !WindowGoes) ThemeBack();
  if (OldProc) {
    RestoreWindowMethod(this);
    RestoreOwnerStyle();
  } else if (OldWndProc) {
    UnhookBareWindow(this, alive ? WndHandle : nullptr);
    OldWndProc = nullptr;
  }
  RemoveAdapterProp(WndHandle, this, alive);
  if (alive) {
    RestoreOriginalColors();
    // The window paints itself in its own look again.
    if (!WindowGoes && IsWindowVisible(WndHandle)) {
      if (ShowsParentThrough()) ShowParentUnder(WndHandle);
      RepaintAfterLeaving(WndHandle);
    }
  }
  Destroyed = true;
}

void TacMainWnd::BeforeDestruction() {
  LeaveWindow();
  TObject::BeforeDestruction();
}

TacMainWnd::~TacMainWnd() {
  LeaveWindow();
  RemoveAdapterProp(WndHandle, this, false);
  TacAdapterList::Forget(this);
  delete WindowFont_;
  if (OwnsSkinData) delete SkinData;
  SkinData = nullptr;
  SkinManager = nullptr;
  *Alive_ = false;
}

HBRUSH TacMainWnd::CtlColorBrush(TColor Color) {
  if (!Brush_ || BrushColor_ != Color) {
    HBRUSH fresh = CreateSolidBrush(ColorToRGB(Color));
    if (!fresh) return Brush_;
    Brush_.Reset(fresh);
    BrushColor_ = Color;
  }
  return Brush_;
}

void TacMainWnd::RouteMessage(TMessage& Message) {
  auto alive = Alive_;
  if (Message.Msg == SM_QUORVEXCMD) FollowSkinTheme(Message);
  if (AnswerAnyState(Message) || !*alive) return;
  if (IsWindowTreeCommand(Message)) {
    FollowSkinChange(Message);
    return;
  }
  if (!BeforeMessage(Message)) return;
  auto* recreated =
      Message.Msg == CM_RECREATEWND && SkinData ? dynamic_cast<TWinControl*>(SkinData->OwnerControl) : nullptr;
  Dispatch(Message);
  if (!*alive) return;
  AfterMessage(Message);
  // The control's window was made again, and the adapter left the old one: the form hears of the new
  // window at once, so that its control adapter gives it a new adapter. The system tells only the
  // window's parent, which may be a container no adapter listens to.
  if (recreated && *alive && Destroyed && recreated->HandleAllocated()) AnnounceToParentForm(recreated);
}

void TacMainWnd::Dispatch(TMessage& Message) {
  if (SkinOn())
    HandleMessage(Message);
  else
    PlainMessage(Message);
}

void TacMainWnd::FollowSkinChange(TMessage& Message) {
  auto alive = Alive_;
  const HWND wnd = WndHandle;
  const int command = Message.WParamHi();
  const bool own = IsOwnManager(Message, SkinData);
  // A container passes the command on itself (the walk leaves its inside to it): the coming before
  // the window takes it (the container paints over its children's new indexes), the others after.
  const bool container = PassesSkinCommandsOn();
  if (container && command == QC_SKINLOADED) {
    PassSkinCommandOn(wnd, Message);
    if (!*alive) return;
  }
  if (!BeforeMessage(Message)) return;
  if (own) BeforeSkinChange(command);
  if (!*alive) return;
  Dispatch(Message);
  if (!*alive) return;
  if (own) AfterSkinChange(command);
  if (!*alive) return;
  AfterMessage(Message);
  if (container && command != QC_SKINLOADED && IsWindow(wnd)) PassSkinCommandOn(wnd, Message);
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
    case WM_NCDESTROY: LeaveOnDestroy(Message); return;
    case WM_SIZE:
      if (SkinData) SkinData->BGChanged = true;
      break;
    case WM_SETTEXT:
      if (PassOn(Message)) ReadCaption();
      return;
    case WM_UPDATEUISTATE: return;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      if (AnswerBareChildColors(Message)) return;
      break;
    case WM_MOUSEMOVE: TakeHotWindow(); break;
    case WM_MOUSELEAVE:
      if (DefaultManager && DefaultManager->HotWindow() == WndHandle) {
        auto alive = Alive_;
        DefaultManager->SetHotWindow(nullptr);
        if (!*alive) return;
      }
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
  if (ManagerActive(sm) && Message.Msg == SM_QUORVEXCMD && AnswerSkinCommand(Message)) return;
  PassOn(Message);
}

void TacMainWnd::AnswerChildCache() { AnswerCache(SkinData); }

bool TacMainWnd::Busy() const { return SkinData && (SkinData->BGChanged || SkinData->UpdatingFlag()); }

void TacMainWnd::MarkSkinChanged() {
  SkinData->UpdateIndexes();
  SkinData->BGChanged = true;
}

bool TacMainWnd::AnswerSkinCommand(TMessage& Message) {
  const bool own = IsOwnManager(Message, SkinData);
  switch (Message.WParamHi()) {
    case QC_SKINLOADED:
      if (own) {
        MarkSkinChanged();
      }
      return false;
    case QC_REFRESH:
      if (!own) return false;
      MarkSkinChanged();
      RedrawAfterSkinCommand(0);
      return true;
    case QC_GETCACHE: AnswerChildCache(); return true;
    case QC_ISBUSY: {
      const bool busy = Busy();
      if (!PassOn(Message)) return true;
      Message.LParam = busy ? 1 : 0;
      Message.Result = busy ? 1 : 0;
      return true;
    }
    case QC_ISTRANSPARENT:
    case QC_GETPARENTCOLOR:
      if (!SkinData->OwnerControl) return false;
      HandleSkinCommand(Message, SkinData);
      return true;
    case QC_PREPAREFADE: PrepareWindowCache(SkinData, WndHandle, false); return false;
    default: return AnswerCommonCommand(Message);
  }
}

void TacMainWnd::RedrawAfterSkinCommand(UINT Flags) {
  if (SkinSwitchRunning() || !WndHandle) return;
  if (Flags)
    RedrawWindow(WndHandle, nullptr, nullptr, Flags);
  else
    SendMessageA(WndHandle, WM_PAINT, 0, 0);
}

bool TacMainWnd::AnswerCommonCommand(TMessage& Message) {
  switch (Message.WParamHi()) {
    case QC_UPDATEDONE: {
      if (!SkinData->UpdatingFlag()) return false;
      SkinData->SetUpdating(false);
      auto alive = Alive_;
      const bool goesOn = RepaintAfterUpdate();
      return !*alive || !goesOn;
    }
    case QC_GETSECTIONINDEX: Message.Result = SkinData->SkinIndex + 1; return true;
    default: return AnswerIdentity(Message);
  }
}

bool TacMainWnd::RepaintAfterUpdate() {
  RedrawWindow(WndHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
  return false;
}

void TacMainWnd::LeaveOnDestroy(TMessage& Message) {
  WindowGoes = true;
  if (OldWndProc || OldProc) DetachOnDestroy();
  PassOn(Message);
}

void TacMainWnd::DetachOnDestroy() {
  TacMainWnd* self = this;
  DetachWndProc(WndHandle, false, false, self);
}

void TacMainWnd::TakeHotWindow() {
  if (!DefaultManager || DefaultManager->ComponentState().Contains(csDesigning) || !IsWindowEnabled(WndHandle)) return;
  auto alive = Alive_;
  const HWND wnd = WndHandle;
  if (DefaultManager->HotWindow() != wnd) DefaultManager->SetHotWindow(wnd);
  // The window gives the hot window up when the pointer leaves it, wherever it goes (asked at each
  // move: a capture that comes and goes may end the tracking).
  if (*alive && DefaultManager && DefaultManager->HotWindow() == wnd) {
    TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, wnd, 0};
    TrackMouseEvent(&tme);
  }
}

void TacMainWnd::FollowSkinTheme(const TMessage& Message) {
  if (Destroyed || InitSection_ == "DIALOG" || !IsOwnManager(Message, SkinData)) return;
  if (!WndHandle || !IsWindow(WndHandle)) return;
  if (Message.WParamHi() == QC_SKINREMOVED)
    ThemeBack();
  else if (Message.WParamHi() == QC_SKINLOADED)
    ThemeOff(InitSection_);
}

// ---- Painting helpers -------------------------------------------------------------------------------

bool TacMainWnd::SkinOn() const { return !Destroyed && SkinData && SkinData->Skinned(false); }

void TacMainWnd::UpdateRects() { UpdateWndRects(WndHandle, ParentWnd, WndRect, WndPos, WndSize, ParentRect); }

bool TacMainWnd::AskUpdating() {
  if (!SkinData) return true;
  SkinData->SetUpdating(SkinData->Updating());
  return SkinData->UpdatingFlag();
}

TBitmap* TacMainWnd::SizeCache() {
  SkinData->InitCacheBmp();
  TBitmap* bmp = SkinData->CacheBmp;
  const int w = std::max(WndSize.cx, 0), h = std::max(WndSize.cy, 0);
  if (bmp->Width() != w || bmp->Height() != h) bmp->SetSize(w, h);
  return bmp;
}

void TacMainWnd::CopyCacheTo(HDC DC, int X, int Y) {
  if (!DC || !SkinData || !SkinData->CacheBmp || SkinData->CacheBmp->Empty()) return;
  BitmapDC src(SkinData->CacheBmp);
  if (src) BitBlt(DC, X, Y, SkinData->CacheBmp->Width() - X, SkinData->CacheBmp->Height() - Y, src, X, Y, SRCCOPY);
}

bool TacMainWnd::IsHot() const {
  if (!SkinData) return false;
  if (SkinData->OwnerControl) return SkinData->IsHot();
  if (!IsWindowEnabled(WndHandle)) return false;
  return SkinData->MouseAbove || (DefaultManager && DefaultManager->HotWindow() == WndHandle) ||
         GetFocus() == WndHandle;
}

void TacMainWnd::UseWindowFont(TCanvas* Canvas) {
  if (SkinData && SkinData->OwnerControl) {
    TFont* own = SkinData->OwnerControl->Font();
    if (Canvas->Font()->SameFace(own)) {
      Canvas->Font()->SetColor(own->Color());
    } else {
      Canvas->Font()->Assign(own);
    }
    return;
  }
  auto font = reinterpret_cast<HFONT>(SendMessageA(WndHandle, WM_GETFONT, 0, 0));
  if (!font) font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  if (!WindowFont_ || font != WindowFontHandle_) {
    LOGFONTA lf{};
    if (GetObjectA(font, sizeof lf, &lf) != int(sizeof lf)) return;
    if (!WindowFont_) WindowFont_ = new TFont();
    // The attributes only: the canvas makes the font it draws with.
    WindowFont_->SetLogFont(lf);
    WindowFontHandle_ = font;
  }
  // A canvas that draws with the window's font keeps it (a font made again costs more than the
  // text drawn with it).
  if (Canvas->Font()->SameFace(WindowFont_)) return;
  const TColor color = Canvas->Font()->Color();
  Canvas->Font()->Assign(WindowFont_);
  Canvas->Font()->SetColor(color);
}

void TacMainWnd::DimDisabled(TBitmap* Bmp, const TsCacheInfo& CI) {
  if (!Bmp || Bmp->Empty()) return;
  const TRect all = Rect(0, 0, Bmp->Width(), Bmp->Height());
  if (CI.Ready && CI.Bmp) {
    TRect src = all;
    src.Offset(WndPos.X + CI.X, WndPos.Y + CI.Y);
    BlendRectKeyed(Bmp, 0, 0, CI.Bmp, src, 0.4, clNone);
    // Where the parent's image does not reach, the parent's colour.
    const TRect inImage =
        Rect(-WndPos.X - CI.X, -WndPos.Y - CI.Y, CI.Bmp->Width() - WndPos.X - CI.X, CI.Bmp->Height() - WndPos.Y - CI.Y);
    if (inImage.Left <= 0 && inImage.Top <= 0 && inImage.Right >= all.Right && inImage.Bottom >= all.Bottom) return;
  }
  BlendColorRect(Bmp, all, 40, ParentColorOf(WndHandle));
}

bool TacMainWnd::PassOnUnseen(TMessage& Message) {
  const bool shown = (GetWindowLongPtrA(WndHandle, GWL_STYLE) & WS_VISIBLE) != 0;
  auto alive = Alive_;
  if (shown) SendMessageA(WndHandle, WM_SETREDRAW, FALSE, 0);
  if (!*alive) return false;
  HWND wnd = WndHandle;
  const bool goesOn = PassOn(Message);
  if (shown && IsWindow(wnd)) SendMessageA(wnd, WM_SETREDRAW, TRUE, 0);
  return goesOn && *alive;
}

void TacMainWnd::RepaintNow() {
  if (SkinData) SkinData->BGChanged = true;
  // A window that does not show is painted when it comes to show (a dialog's default button takes
  // the focus before the dialog shows).
  if (IsWindowVisible(WndHandle)) SendMessageA(WndHandle, WM_PAINT, 0, 0);
}

// ---- Lists of adapters ------------------------------------------------------------------------------

namespace {
std::vector<TacAdapterList*>& AdapterLists() {
  static std::vector<TacAdapterList*> lists;
  return lists;
}
}  // namespace

TacAdapterList::TacAdapterList() { AdapterLists().push_back(this); }

TacAdapterList::~TacAdapterList() { std::erase(AdapterLists(), this); }

void TacAdapterList::Add(TacMainWnd* Adapter) {
  if (Adapter && !Contains(Adapter)) Items_.push_back(Adapter);
}

void TacAdapterList::Remove(TacMainWnd* Adapter) { std::erase(Items_, Adapter); }

bool TacAdapterList::Contains(const TacMainWnd* Adapter) const {
  return std::find(Items_.begin(), Items_.end(), Adapter) != Items_.end();
}

void TacAdapterList::FreeAll() {
  // Each adapter leaves the list as it is freed.
  while (!Items_.empty()) {
    TacMainWnd* a = Items_.back();
    Items_.pop_back();
    a->Free();
  }
}

void TacAdapterList::Forget(const TacMainWnd* Adapter) {
  for (TacAdapterList* list : AdapterLists()) std::erase(list->Items_, const_cast<TacMainWnd*>(Adapter));
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
  // One adapter per window: a window that has one already keeps it, unless a program cut that
  // adapter's procedure out of the window's chain (it hears nothing any more: it has left).
  if (TacMainWnd* other = GetWndAdapter(Wnd); other && other != Adapter) {
    if (other->OldProc || !other->OldWndProc || ChainReachesAdapterProc(Wnd)) {
      Adapter->Destroyed = true;
      return;
    }
    RemoveAdapterProp(Wnd, other, true);
    other->OldWndProc = nullptr;
    other->WndProcInstance = nullptr;
    other->Destroyed = true;
  }
  TsCommonData* sd = Adapter->SkinData;
  const bool bare = !ProviderForm(sd) && !(sd && sd->OwnerControl);
  // Asked before the window names its new adapter (the question is a message to it).
  const WNDPROC left = bare ? LeftProcInChain(Wnd) : nullptr;
  SetAdapterProp(Wnd, Adapter);
  if (TWinControl* form = ProviderForm(sd)) {
    Adapter->OldProc = form->WindowProc;
    form->WindowProc = Adapter->AdapterMethod();
  } else if (sd && sd->OwnerControl) {
    Adapter->OldProc = sd->OwnerControl->WindowProc;
    sd->OwnerControl->WindowProc = Adapter->AdapterMethod();
  } else if (left) {
    // An earlier adapter's procedure is still in the chain: the new adapter takes its place there.
    RemoveLeftProc(Wnd, true);
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
      Adapter->RestoreOwnerStyle();
    }
    RemoveAdapterProp(Wnd, Adapter, alive);
    if (alive) {
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
