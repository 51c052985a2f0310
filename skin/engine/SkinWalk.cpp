#include "skin/engine/SkinWalk.h"

#include <algorithm>
#include <memory>
#include <unordered_map>
#include <vector>

#include "classlib/Forms.h"
#include "classlib/Hooks.h"
#include "skin/engine/sCommonData.h"
#include "skin/engine/sSkinManager.h"

namespace {

bool Dying(const TComponent* c) { return c && c->ComponentState().Contains(csDestroying); }

// ---- The deliveries under way ------------------------------------------------------------------
//
// Each delivery of a walk is recorded while the window handles the message, innermost first: a
// container that passes the message on (PassSkinCommandOn) finds its own record at the top and
// marks it, and the walk then leaves the container's inside to it. A send of a round (SendInRound)
// is recorded as such: a container reached by a round keeps the message (the round reaches every
// window of its list itself).

struct TDelivery {
  TControl* Control;
  HWND Wnd;
  bool Round;
  bool PassedOn;
  TDelivery* Outer;
};
TDelivery* Innermost = nullptr;

class TDeliveryScope {
 public:
  TDeliveryScope(TControl* Control, HWND Wnd, bool Round) : D_{Control, Wnd, Round, false, Innermost} {
    Innermost = &D_;
  }
  ~TDeliveryScope() { Innermost = D_.Outer; }
  TDeliveryScope(const TDeliveryScope&) = delete;
  TDeliveryScope& operator=(const TDeliveryScope&) = delete;
  bool PassedOn() const { return D_.PassedOn; }

 private:
  TDelivery D_;
};

// The record of the delivery to the container, when the container is handling one now.
TDelivery* DeliveryTo(TControl* Container, HWND Wnd) {
  TDelivery* d = Innermost;
  if (!d) return nullptr;
  if ((Container && d->Control == Container) || (Wnd && d->Wnd == Wnd)) return d;
  return nullptr;
}

// ---- The window tree of a top-level window ------------------------------------------------------
//
// A manager's command walks every window under each top-level window, asking each for its child
// windows. The tree is listed once when the walk reaches the top-level window: one question for
// each window, where asking every window for its first child and every child for the next one
// costs nearly two (under Wine each question is a round trip to the server). A window the listing
// does not hold (a control's window made anew while the command walks) is asked when the walk
// reaches it; a window listed that has gone or was put elsewhere meanwhile is passed over.

struct TTreeListing {
  std::unordered_map<HWND, std::vector<HWND>> Children;  // every window of the tree, in z-order
  bool Complete = true;
};
TTreeListing* Listing = nullptr;

BOOL CALLBACK ListDescendant(HWND wnd, LPARAM data) {
  auto* listing = reinterpret_cast<TTreeListing*>(data);
  // An enumeration callback is a system boundary: a failed allocation leaves the listing unused.
  try {
    listing->Children[GetAncestor(wnd, GA_PARENT)].push_back(wnd);
    listing->Children.try_emplace(wnd);
  } catch (...) {
    HandleBoundaryException(nullptr);
    listing->Complete = false;
    return FALSE;
  }
  return TRUE;
}

void List(HWND Top, TTreeListing& L) {
  L.Children.try_emplace(Top);
  EnumChildWindows(Top, ListDescendant, reinterpret_cast<LPARAM>(&L));
}

// A skin switch's commands walk the same trees one after the other: the listing the first command
// made of a top-level window serves the next ones (a window made meanwhile inside a listed one is
// made in the new skin; a control's window made anew is asked, as every window the listing does
// not hold). Let go when the switch ends.
int SwitchDepth = 0;
std::unordered_map<HWND, std::unique_ptr<TTreeListing>>& KeptListings() {
  static std::unordered_map<HWND, std::unique_ptr<TTreeListing>> kept;
  return kept;
}

class TListingScope {
 public:
  explicit TListingScope(HWND Top) : Outer_(Listing) {
    TTreeListing* l = &L_;
    if (SwitchDepth > 0) {
      std::unique_ptr<TTreeListing>& kept = KeptListings()[Top];
      if (!kept) {
        kept = std::make_unique<TTreeListing>();
        List(Top, *kept);
      }
      l = kept.get();
    } else {
      List(Top, L_);
    }
    if (l->Complete) Listing = l;
  }
  ~TListingScope() { Listing = Outer_; }
  TListingScope(const TListingScope&) = delete;
  TListingScope& operator=(const TListingScope&) = delete;

 private:
  TTreeListing L_;
  TTreeListing* Outer_;
};

std::vector<HWND> ChildWindows(HWND Wnd) {
  if (Listing)
    if (auto it = Listing->Children.find(Wnd); it != Listing->Children.end()) return it->second;
  std::vector<HWND> children;
  for (HWND child = GetWindow(Wnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) children.push_back(child);
  return children;
}

struct TThreadWindows {
  std::vector<HWND> List;
};

BOOL CALLBACK CollectThreadWindow(HWND wnd, LPARAM data) {
  // An enumeration callback is a system boundary: a failed allocation ends the walk instead.
  try {
    reinterpret_cast<TThreadWindows*>(data)->List.push_back(wnd);
  } catch (...) {
    HandleBoundaryException(nullptr);
    return FALSE;
  }
  return TRUE;
}

std::vector<HWND> ThreadWindows() {
  TThreadWindows top;
  EnumThreadWindows(GetCurrentThreadId(), CollectThreadWindow, reinterpret_cast<LPARAM>(&top));
  return std::move(top.List);
}

void PassInside(TWinControl* Control, const TMessage& Message);
void PassInside(HWND Wnd, const TMessage& Message);

// Sends the message to a control: its window, or its WindowProc when it has none.
void SendToControl(TControl* Control, TMessage& Message) {
  auto* wc = Control->IsWindowControl() ? static_cast<TWinControl*>(Control) : nullptr;
  if (wc && wc->HandleAllocated()) {
    Message.Result = SendMessageA(wc->Handle(), Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  TMessage m = Message;
  Control->WindowProc(m);
  Message.Result = m.Result;
}

// The foreign windows under a control's window: its child windows that are not its own controls
// (those the walk over its controls reaches). Its own are known by their windows, without asking
// each window for its control; only a window not among them is asked (a control made meanwhile).
void PassToForeignChildren(TWinControl* Control, const TMessage& Message) {
  if (!Control->HandleAllocated()) return;
  std::vector<HWND> own;
  for (int i = 0; i < Control->ControlCount(); ++i) {
    TControl* c = Control->Controls(i);
    if (c && c->IsWindowControl() && static_cast<TWinControl*>(c)->HandleAllocated())
      own.push_back(static_cast<TWinControl*>(c)->Handle());
  }
  const HWND wnd = Control->Handle();
  for (HWND child : ChildWindows(wnd)) {
    if (!IsWindow(child) || GetAncestor(child, GA_PARENT) != wnd) continue;  // gone, or put elsewhere
    if (std::find(own.begin(), own.end(), child) != own.end()) continue;
    if (TWinControl* made = FindControl(child); made && made->Parent() == Control) continue;
    TMessage m = Message;
    DeliverSkinCommand(child, m);
  }
}

void PassInside(TWinControl* Control, const TMessage& Message) {
  if (!Control || Dying(Control)) return;
  auto alive = Control->AliveToken();
  for (int i = 0; i < Control->ControlCount(); ++i) {
    TControl* child = Control->Controls(i);
    if (!child || Dying(child)) break;
    TMessage m = Message;
    DeliverSkinCommand(child, m);
    if (!*alive) return;
  }
  if (!Dying(Control)) PassToForeignChildren(Control, Message);
}

void PassInside(HWND Wnd, const TMessage& Message) {
  if (!Wnd || !IsWindow(Wnd)) return;
  if (TWinControl* control = FindControl(Wnd)) {
    PassInside(control, Message);
    return;
  }
  for (HWND child : ChildWindows(Wnd)) {
    if (!IsWindow(child) || GetAncestor(child, GA_PARENT) != Wnd) continue;
    TMessage m = Message;
    DeliverSkinCommand(child, m);
  }
}

}  // namespace

// ---- Walks ----------------------------------------------------------------------------------------

void DeliverSkinCommand(TControl* Control, TMessage& Message) {
  if (!Control || Dying(Control)) return;
  auto alive = Control->AliveToken();
  auto* wc = Control->IsWindowControl() ? static_cast<TWinControl*>(Control) : nullptr;
  bool passedOn = false;
  {
    TDeliveryScope delivery(Control, wc && wc->HandleAllocated() ? wc->Handle() : nullptr, false);
    SendToControl(Control, Message);
    passedOn = delivery.PassedOn();
  }
  if (!*alive || passedOn || !wc) return;
  PassInside(wc, Message);
}

void DeliverSkinCommand(HWND Wnd, TMessage& Message) {
  if (!Wnd || !IsWindow(Wnd)) return;
  if (TWinControl* control = FindControl(Wnd)) {
    DeliverSkinCommand(control, Message);
    return;
  }
  bool passedOn = false;
  {
    TDeliveryScope delivery(nullptr, Wnd, false);
    Message.Result = SendMessageA(Wnd, Message.Msg, Message.WParam, Message.LParam);
    passedOn = delivery.PassedOn();
  }
  if (!passedOn && IsWindow(Wnd)) PassInside(Wnd, Message);
}

void SendInRound(HWND Wnd, TMessage& Message) {
  if (!Wnd || !IsWindow(Wnd)) return;
  TWinControl* control = FindControl(Wnd);
  TDeliveryScope delivery(control, Wnd, true);
  Message.Result = SendMessageA(Wnd, Message.Msg, Message.WParam, Message.LParam);
}

void PassSkinCommandOn(TWinControl* Container, const TMessage& Message) {
  if (!Container || Dying(Container)) return;
  if (TDelivery* d = DeliveryTo(Container, Container->HandleAllocated() ? Container->Handle() : nullptr)) {
    if (d->Round) return;
    d->PassedOn = true;
  }
  PassInside(Container, Message);
}

void PassSkinCommandOn(HWND Container, const TMessage& Message) {
  if (!Container || !IsWindow(Container)) return;
  if (TWinControl* control = FindControl(Container)) {
    PassSkinCommandOn(control, Message);
    return;
  }
  if (TDelivery* d = DeliveryTo(nullptr, Container)) {
    if (d->Round) return;
    d->PassedOn = true;
  }
  PassInside(Container, Message);
}

void SendSkinCommandToAll(TMessage& Message) {
  const std::vector<HWND> tops = ThreadWindows();
  // The forms with a provider first, as they stand in the list of skinned forms.
  std::vector<HWND> first;
  for (TWinControl* form : std::vector<TWinControl*>(SkinnedForms())) {
    if (!form || Dying(form) || !form->HandleAllocated()) continue;
    const HWND wnd = form->Handle();
    if (std::find(tops.begin(), tops.end(), wnd) != tops.end() &&
        std::find(first.begin(), first.end(), wnd) == first.end())
      first.push_back(wnd);
  }
  for (HWND wnd : first) {
    TListingScope listing(wnd);
    TMessage m = Message;
    DeliverSkinCommand(wnd, m);
  }
  for (HWND wnd : tops) {
    if (std::find(first.begin(), first.end(), wnd) != first.end()) continue;
    TListingScope listing(wnd);
    TMessage m = Message;
    DeliverSkinCommand(wnd, m);
  }
}

void BroadcastToControls(TWinControl* Control, TMessage& Message) { PassSkinCommandOn(Control, Message); }

void RepaintChildControls(TWinControl* Control) {
  if (!Control) return;
  for (int i = 0; i < Control->ControlCount(); ++i) {
    TControl* child = Control->Controls(i);
    if (!child || !child->IsWindowControl() || Dying(child)) continue;
    SendControlSkinCommand(child, QC_UPDATEDONE);
  }
}

void RepaintChildWindows(HWND Wnd) {
  if (!Wnd) return;
  for (HWND child = GetWindow(Wnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    SendSkinCommand(child, QC_UPDATEDONE);
}

// ---- Identity answers ---------------------------------------------------------------------------

bool AnswerIdentity(TMessage& Message) {
  if (Message.Msg != SM_QUORVEXCMD) return false;
  switch (Message.WParamHi()) {
    case QC_ISSKINNED:
      Message.LParam = 1;
      Message.Result = 1;
      return true;
    case QC_GETAPPLICATION:
      Message.Result = reinterpret_cast<LRESULT>(GetApplicationObject ? GetApplicationObject() : nullptr);
      return true;
    default: return false;
  }
}

// ---- Paint once -------------------------------------------------------------------------------------

namespace {
bool FinalPaint = false;

// The forms that controls announced themselves to while the switch walked, each with the last
// control (kept only while it lives).
struct TAnnouncement {
  HWND Form;
  TControl* Control;
  std::shared_ptr<bool> Alive;
};
std::vector<TAnnouncement>& Announcements() {
  static std::vector<TAnnouncement> list;
  return list;
}

// The cuts asked for while the switch walked, in the order they were asked.
struct TCut {
  TCutOrder Order;
  std::shared_ptr<bool> Alive;
  std::function<void()> Cut;
};
std::vector<TCut>& Cuts() {
  static std::vector<TCut> list;
  return list;
}

void MakeCuts() {
  std::vector<TCut> list;
  list.swap(Cuts());
  for (TCutOrder order : {TCutOrder::Form, TCutOrder::Control})
    for (const TCut& c : list)
      if (c.Order == order && c.Alive && *c.Alive) c.Cut();
}

void SendAnnouncements() {
  std::vector<TAnnouncement> list;
  list.swap(Announcements());
  for (const TAnnouncement& a : list)
    if (IsWindow(a.Form))
      SendSkinCommand(a.Form, QC_CONTROLANNOUNCE, *a.Alive ? reinterpret_cast<LPARAM>(a.Control) : 0);
}
}  // namespace

void AnnounceAfterSwitch(HWND Form, TControl* Control) {
  auto& list = Announcements();
  auto at = std::find_if(list.begin(), list.end(), [&](const TAnnouncement& a) { return a.Form == Form; });
  if (at == list.end())
    list.push_back({Form, Control, Control->AliveToken()});
  else
    *at = {Form, Control, Control->AliveToken()};
}

bool CutBeforeSwitchPaint(TCutOrder Order, std::shared_ptr<bool> Alive, std::function<void()> Cut) {
  if (!SkinSwitchWalking() || !Cut) return false;
  Cuts().push_back({Order, std::move(Alive), std::move(Cut)});
  return true;
}

TSkinSwitch::TSkinSwitch() { ++SwitchDepth; }

TSkinSwitch::~TSkinSwitch() {
  if (SwitchDepth > 1) {
    --SwitchDepth;
    return;
  }
  // The forms hear of the controls that announced themselves, then every window is painted.
  try {
    SendAnnouncements();
  } catch (...) {
    HandleBoundaryException(nullptr);
  }
  FinalPaint = true;
  // The new shapes, forms first, then the switch's one paint: every window that shows, with its
  // frame and its children, while the commands' repaints are still held back.
  try {
    MakeCuts();
  } catch (...) {
    Cuts().clear();
    HandleBoundaryException(nullptr);
  }
  try {
    for (HWND wnd : ThreadWindows())
      if (IsWindow(wnd) && IsWindowVisible(wnd))
        RedrawWindow(wnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  } catch (...) {
    HandleBoundaryException(nullptr);
  }
  FinalPaint = false;
  SwitchDepth = 0;
  KeptListings().clear();
}

bool SkinSwitchRunning() { return SwitchDepth > 0; }

bool SkinSwitchWalking() { return SwitchDepth > 0 && !FinalPaint; }

namespace {
// A control invalidated while a switch walks is painted by the switch's end.
const bool kRepaintPending = (WholeRepaintPendingHook = &SkinSwitchWalking, true);
}  // namespace
