// The skinned page control: skin commands, the window procedure (hot tracking, skinned close
// buttons, page changes with the manager's animation, the page hint), the tab scroller and the
// close buttons of the plain look.
#include <algorithm>

#include "classlib/core/TypInfo.h"
#include "skin/controls/sPageControl.h"
#include "skin/engine/sStyleSimply.h"

bool CloseBtnPressed = false;

namespace {

// Posted to the control: the native scroll arrows appeared (they are replaced once their creation
// is over), close buttons freed during their own click are freed once it is over, and a new tab
// size has been laid out.
constexpr UINT WM_TABS_UPDATEUPDOWN = WM_APP + 0x62;
constexpr UINT WM_TABS_FREEBUTTONS = WM_APP + 0x63;
constexpr UINT WM_TABS_SIZESETTLED = WM_APP + 0x64;

constexpr const char* kNativeArrowsClass = "msctls_updown32";
constexpr UINT kRedrawAll = RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME;

TPoint MousePoint(const TMessage& Message) { return Point(Message.LParamX(), Message.LParamY()); }

}  // namespace

TsPageControl::TsPageControl(TComponent* AOwner) : TacSkinnedControl<TPageControl>(AOwner, tcPageControl, true) {}

TsPageControl::~TsPageControl() {
  for (TsTabBtn* b : FOrphanButtons) b->Free();
  FOrphanButtons.clear();
}

void TsPageControl::BeforeDestruction() {
  // The pages may outlive the control: they keep no close button of it.
  for (int i = 0; i < PageCount(); ++i) FreeCloseButton(Pages(i));
  FreeUpDown();
  if (FPressedBtnPage) CloseBtnPressed = false;
  FPressedBtnPage = nullptr;
  TacSkinnedControl<TPageControl>::BeforeDestruction();
}

void TsPageControl::SkinLoaded() {
  FSkinData->Loaded();
  UpdateCloseBtnSkin();
  if (TTabSheet* active = TPageControl::ActivePage()) AnnounceToParentForm(active);
  UpdateUpDown();
  UpdateCloseButtons();
}

bool TsPageControl::PageChangeAnimated() const {
  TsSkinManager* sm = FSkinData ? FSkinData->SkinManager() : nullptr;
  return sm && sm->PageChange()->Active();
}

// ---- properties -------------------------------------------------------------------------------------

void TsPageControl::SetCloseBtnSkin(const std::string& Value) {
  if (FCloseBtnSkin == Value) return;
  FCloseBtnSkin = Value;
  if (FSkinData->Skinned()) UpdateCloseBtnSkin();
  FSkinData->Invalidate();
}

void TsPageControl::SetShowCloseBtns(bool Value) {
  if (FShowCloseBtns == Value) return;
  FShowCloseBtns = Value;
  const bool skinned = FSkinData->Skinned();
  if (skinned && Value) UpdateCloseBtnSkin();
  UpdateCloseButtons();
  if (skinned) FSkinData->Invalidate();
}

// ---- page switching -----------------------------------------------------------------------------------

void TsPageControl::UpdateActivePage() {
  FHotTabIndex = -1;
  TPageControl::UpdateActivePage();
  if (!FSkinData) return;
  if (!FrameSkinned(this, FSkinData) || !HandleAllocated()) {
    // The plain close buttons follow their tabs (rows of a multi-line strip move with the selection).
    UpdateCloseButtons();
    return;
  }
  if (!FSkinData->Updating()) {
    TTabSheet* active = TPageControl::ActivePage();
    TBitmap* cache = FSkinData->CacheBmp;
    const bool cacheFits = cache && cache->Width() == Width_ && cache->Height() == Height_;
    if (VisibleTabsCount() == FPaintedTabsCount && cacheFits) {
      // No tab appeared or went: only the strip and the active tab change.
      FSkinData->BGChanged = false;
      if (active) {
        {
          const ClientDC dc(Handle_);
          const SavedDC saved(dc);
          RepaintTabStrip(dc);
          PaintTabToDC(active->PageIndex(), 2, dc);
        }
        active->Repaint();
      } else {
        FSkinData->Invalidate();
      }
    } else {
      FSkinData->BGChanged = true;
      Perform(WM_PAINT, 0, 0);
      if (active) active->Repaint();
      if (FUpDown) PlaceUpDown();
    }
  }
  FTabSizeChanged = false;
}

// ---- skin commands --------------------------------------------------------------------------------------

bool TsPageControl::AnswerAnyState(TMessage& Message) {
  switch (Message.WParamHi()) {
    case QC_GETCACHE:
      if (!FSkinData->Skinned()) return false;
      SharedCacheInfo = TsCacheInfo{FSkinData->CacheBmp, 0, 0, FSkinData->CacheBmp && !FSkinData->CacheBmp->Empty()};
      return true;
    case QC_ISBUSY:
      Message.LParam = FSkinData->Updating() || FTabSizeChanged ? 1 : 0;
      Message.Result = Message.LParam;
      return true;
    default: return false;
  }
}

void TsPageControl::AfterSkinChange(int Command) {
  switch (Command) {
    case QC_SKINLOADED: UpdateCloseBtnSkin(); break;
    case QC_SKINREMOVED:
      UpdateUpDown();
      UpdateCloseButtons();
      if (HandleAllocated() && !SkinSwitchRunning()) RedrawWindow(Handle_, nullptr, nullptr, kRedrawAll);
      break;
    case QC_REFRESH:
      if (HandleAllocated() && Showing() && !SkinSwitchRunning()) {
        RedrawWindow(Handle_, nullptr, nullptr, kRedrawAll);
        Perform(WM_PAINT, 0, 0);
      }
      if (TTabSheet* active = TPageControl::ActivePage()) AnnounceToParentForm(active);
      UpdateUpDown();
      UpdateCloseButtons();
      if (FUpDown) {
        TsSkinManager* sm = FSkinData->SkinManager();
        FUpDown->SetButtonSkin(sm && sm->SectionIndexOf("UPDOWNBTN") >= 0 ? "UPDOWNBTN" : "BUTTON");
      }
      break;
    default: break;
  }
}

void TsPageControl::RepaintAfterUpdate() {
  TTabSheet* active = TPageControl::ActivePage();
  if (active && active->HandleAllocated()) SendSkinCommand(active->Handle(), QC_UPDATEDONE);
  Perform(WM_PAINT, 0, 0);
  Perform(WM_NCPAINT, 0, 0);
}

// ---- the window procedure ---------------------------------------------------------------------------------

void TsPageControl::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_TABS_UPDATEUPDOWN: UpdateUpDown(); return;
    case WM_TABS_SIZESETTLED: TabSizeSettled(); return;
    case WM_TABS_FREEBUTTONS: {
      std::vector<TsTabBtn*> orphans;
      orphans.swap(FOrphanButtons);
      for (TsTabBtn* b : orphans) b->Free();
      return;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      // A disabled page cannot be chosen with the mouse.
      if (HandleAllocated() && !IsDesigning(this)) {
        TCHITTESTINFO hit{};
        hit.pt = POINT{Message.LParamX(), Message.LParamY()};
        TTabSheet* page = PageForTab(int(SendMessageA(Handle_, TCM_HITTEST, 0, LPARAM(&hit))));
        if (page && !page->Enabled()) {
          Message.Result = 0;
          return;
        }
      }
      break;
    default: break;
  }
  const bool skinned = FSkinData && FrameSkinned(this, FSkinData);
  auto alive = AliveToken();
  TacSkinnedControl<TPageControl>::WndProc(Message);
  if (!*alive || !FSkinData) return;
  switch (Message.Msg) {
    case CM_HINTSHOW: HintShowMessage(Message); break;
    case WM_WINDOWPOSCHANGING:
    case WM_SIZE:
    case WM_HSCROLL:
    case CM_INVALIDATE:
      if (!skinned) UpdateCloseButtons();
      break;
    default: break;
  }
}

bool TsPageControl::SkinnedMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      if (IsDesigning(this)) return true;
      // A focus change repaints the active tab only (the native control invalidates it).
      const bool changed = FSkinData->BGChanged;
      auto alive = AliveToken();
      TPageControl::WndProc(Message);
      if (*alive) FSkinData->BGChanged = changed;
      return true;
    }
    case WM_MOUSELEAVE:
    case CM_MOUSELEAVE: return MouseLeaveMessage(Message);
    case WM_MOUSEMOVE: return MouseMoveMessage(Message);
    case WM_LBUTTONDOWN: return CloseButtonMouse(Message, true);
    case WM_LBUTTONUP: return CloseButtonMouse(Message, false);
    case TCM_INSERTITEMA:
    case TCM_DELETEALLITEMS: FSkinData->BGChanged = true; return false;
    case CN_NOTIFY: return NotifyMessage(Message);
    default: return false;
  }
}

bool TsPageControl::AfterCommonMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ERASEBKGND: Message.Result = 1; return true;
    case WM_PAINT:
      if (Parent_ && IsDying(Parent_)) return false;
      PaintMessage(Message);
      return true;
    case WM_PRINT: PrintMessage(Message); return true;
    case WM_NCPAINT:
      if (!TPageControl::ActivePage()) return false;
      NcPaintMessage(Message);
      return true;
    case WM_STYLECHANGING:
    case WM_STYLECHANGED:
      FSkinData->BGChanged = true;
      Repaint();
      return false;
    case TCM_SETITEMSIZE: FTabSizeChanged = true; return false;
    default: return false;
  }
}

void TsPageControl::AfterInherited(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SIZE:
      if (!Loading()) {
        UpdateUpDown();
        UpdateCloseButtons();
      }
      break;
    case WM_HSCROLL:
      // The strip scrolled: the tabs are painted again where they are now.
      FSkinData->BGChanged = true;
      Repaint();
      break;
    case TCM_DELETEITEM:
      if (!FSkinData->UpdatingFlag()) FSkinData->BGChanged = true;
      break;
    case TCM_SETCURSEL:
    case CM_DIALOGCHAR:
    case CM_ENABLEDCHANGED: FSkinData->Invalidate(); break;
    case CM_CONTROLLISTCHANGE:
      UpdateUpDown();
      UpdateCloseButtons();
      AnnounceToParentForm(this);
      break;
    case WM_PARENTNOTIFY:
      if (LoWord(Message.WParam) == WM_CREATE) {
        AnnounceToParentForm(this);
        char cls[32] = {};
        HWND child = reinterpret_cast<HWND>(Message.LParam);
        if (child && GetClassNameA(child, cls, sizeof cls) && lstrcmpiA(cls, kNativeArrowsClass) == 0)
          PostMessageA(Handle_, WM_TABS_UPDATEUPDOWN, 0, 0);
      }
      break;
    case WM_LBUTTONDOWN:
      if (Style() != tsTabs && FHotTabIndex >= 0) RepaintTab(FHotTabIndex, 1);
      break;
    case WM_WINDOWPOSCHANGING:
      if (FTabSizeChanged) TabSizePending();
      break;
    case TCM_SETITEMSIZE:
      // Painting waits for the new layout; once the queue has handled what the change brought
      // about it is over, whether or not the control was moved or a page chosen meanwhile.
      PostMessageA(Handle_, WM_TABS_SIZESETTLED, 0, 0);
      break;
    default: break;
  }
}

void TsPageControl::TabSizeSettled() {
  if (!FTabSizeChanged) return;
  FTabSizeChanged = false;
  // The strip took another height: the pages and the frame move with it.
  Realign();
  FSkinData->BGChanged = true;
  UpdateUpDown();
  UpdateCloseButtons();
  Invalidate();
}

// ---- mouse ---------------------------------------------------------------------------------------------------

void TsPageControl::LeaveHotTab(bool LookFlag) {
  if (FHotTabIndex < 0) return;
  if (LookFlag) RepaintTab(FHotTabIndex, 0);
  RepaintTabWithButton(FHotTabIndex, 0, 0);
}

bool TsPageControl::MouseLeaveMessage(TMessage& Message) {
  if (IsDesigning(this) || (!HotTrack() && !FShowCloseBtns)) return false;
  if (Message.Msg == CM_MOUSELEAVE && !IsOwnEnterLeave(Message, this)) return false;
  auto alive = AliveToken();
  TPageControl::WndProc(Message);
  if (!*alive) return true;
  TTabSheet* active = TPageControl::ActivePage();
  const int activeIndex = active ? active->PageIndex() : -1;
  if (FHotTabIndex >= 0 && FHotTabIndex != activeIndex) {
    if (HotTrack()) RepaintTab(FHotTabIndex, 0);
    if (FShowCloseBtns) {
      RepaintTabWithButton(FHotTabIndex, 0, 0);
      RepaintTabWithButton(activeIndex, 0, 2);
    }
  } else {
    RepaintTabWithButton(activeIndex, 0, 2);
  }
  CloseBtnPressed = false;
  FPressedBtnPage = nullptr;
  FHotTabIndex = -1;
  return true;
}

bool TsPageControl::MouseMoveMessage(TMessage& Message) {
  if (IsDesigning(this)) return false;
  if (DefaultManager) DefaultManager->SetHotWindow(nullptr);
  const bool lookFlag = HotTrack() || Style() != tsTabs;
  if (!lookFlag && !FShowCloseBtns) return false;
  const TPoint p = MousePoint(Message);
  if (!TabsRect().Contains(p)) {
    if (FHotTabIndex >= 0) {
      LeaveHotTab(lookFlag);
      FHotTabIndex = -1;
      CloseBtnPressed = false;
      FPressedBtnPage = nullptr;
    }
    return false;
  }
  // Nothing is pumped here: a handler run from the queue could free the control under us.
  const int hot = TabAtPos(p);
  const int hotState = HotTrack() ? 1 : 0;
  if (hot == FHotTabIndex) {
    if (FShowCloseBtns && FHotTabIndex >= 0) {
      RepaintTabWithButton(FHotTabIndex, CloseBtnRect(PageOf(FHotTabIndex)).Contains(p) ? 1 : 0, hotState);
      return true;
    }
    return false;
  }
  TTabSheet* active = TPageControl::ActivePage();
  const int activeIndex = active ? active->PageIndex() : -1;
  if (FHotTabIndex >= 0) {
    if (HotTrack() || FShowCloseBtns) LeaveHotTab(lookFlag);
  } else if (FShowCloseBtns && hot != activeIndex) {
    RepaintTabWithButton(activeIndex, 0, 2);
  }
  auto alive = AliveToken();
  TPageControl::WndProc(Message);
  if (!*alive) return true;
  FHotTabIndex = hot;
  if (hot >= 0 && (HotTrack() || FShowCloseBtns)) {
    if (hot != activeIndex) {
      if (lookFlag) RepaintTab(hot, hotState);
    } else {
      // The active tab is never drawn hot.
      FHotTabIndex = -1;
      if (FShowCloseBtns) RepaintTabWithButton(activeIndex, CloseBtnRect(active).Contains(p) ? 1 : 0, 2);
    }
  }
  if (FShowCloseBtns && FHotTabIndex >= 0 && CloseBtnRect(PageOf(FHotTabIndex)).Contains(p)) {
    RepaintTabWithButton(FHotTabIndex, 1, hotState);
    RepaintTabWithButton(activeIndex, 0, 2);
  }
  return true;
}

bool TsPageControl::CloseButtonMouse(TMessage& Message, bool Down) {
  if (IsDesigning(this) || !FShowCloseBtns) return false;
  const TPoint p = MousePoint(Message);
  TTabSheet* pressed = FPressedBtnPage;
  if (!Down) {
    // The press is over wherever the button goes up.
    CloseBtnPressed = false;
    FPressedBtnPage = nullptr;
  }
  if (!TabsRect().Contains(p)) return false;
  TTabSheet* active = TPageControl::ActivePage();
  TTabSheet* page = nullptr;
  int tab = 0;
  for (int i = 0; i < PageCount() && !page; ++i) {
    TTabSheet* candidate = Pages(i);
    if (!candidate->TabVisible()) continue;
    if (SkinTabRect(tab, candidate == active).Contains(p) && UsesCloseBtn(candidate) &&
        CloseBtnRect(candidate).Contains(p))
      page = candidate;
    ++tab;
  }
  if (!page) return false;
  const int pageIndex = page->PageIndex();
  RepaintTabWithButton(pageIndex, Down ? 2 : 1, TabState(page));
  if (Down) {
    CloseBtnPressed = true;
    FPressedBtnPage = page;
    return true;
  }
  // A release closes only the page whose button went down.
  if (pressed != page) return true;
  bool canClose = true;
  TacCloseAction action = acaFree;
  auto alive = AliveToken();
  auto* sheet = dynamic_cast<TsTabSheet*>(page);
  std::shared_ptr<bool> pageAlive = sheet ? sheet->AliveToken() : nullptr;
  OnCloseBtnClick(this, pageIndex, canClose, action);
  if (!*alive) return true;
  // The handler may have freed the page itself.
  if (pageAlive && !*pageAlive) page = nullptr;
  if (page && page->PageControl() != this) page = nullptr;
  ClosePage(page, pageIndex, canClose, action);
  return true;
}

void TsPageControl::ClosePage(TTabSheet* Page, int, bool CanClose, TacCloseAction Action) {
  if (!CanClose || !Page) return;
  Perform(WM_SETREDRAW, 0, 0);
  if (Action == acaFree)
    Page->Free();
  else
    Page->SetTabVisible(false);
  Perform(WM_SETREDRAW, 1, 0);
  FSkinData->BGChanged = true;
  RedrawWindow(Handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

// ---- notifications and hints -----------------------------------------------------------------------------

bool TsPageControl::NotifyMessage(TMessage& Message) {
  const auto* hdr = reinterpret_cast<const NMHDR*>(Message.LParam);
  if (!hdr) return false;
  const bool animate = !IsDesigning(this) && PageChangeAnimated();
  auto alive = AliveToken();
  if (hdr->code == UINT(TCN_SELCHANGING)) {
    if (animate) ShowOutputOverlay(this);
    PlaceUpDown();
    TPageControl::WndProc(Message);
    if (*alive && Message.Result == 1) {
      // The change was refused: nothing is animated.
      SendMessageA(Handle_, WM_SETREDRAW, 1, 0);
      FreeOutputOverlay();
      SendMessageA(Handle_, WM_MOUSEMOVE, 0, 0);
    }
    return true;
  }
  if (hdr->code == UINT(TCN_SELCHANGE)) {
    TPageControl::WndProc(Message);
    if (!*alive) return true;
    PlaceUpDown();
    if (animate) {
      AnimateControlShow(this, FSkinData->SkinManager()->PageChange()->Time());
      if (!*alive) return true;
      if (TTabSheet* active = TPageControl::ActivePage(); active && active->HandleAllocated())
        RedrawWindow(active->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    return true;
  }
  return false;
}

void TsPageControl::HintShowMessage(TMessage& Message) {
  auto* info = reinterpret_cast<THintInfo*>(Message.LParam);
  if (!info || !HandleAllocated()) return;
  const int index = TabAtPos(info->CursorPos);
  if (index < 0) return;
  TTabSheet* page = Pages(index);
  POINT cursor{};
  GetCursorPos(&cursor);
  info->HintPos = Point(cursor.x + GetSystemMetrics(SM_CXCURSOR) / 2, cursor.y + GetSystemMetrics(SM_CYCURSOR) / 2);
  info->HintStr = page->Hint();
  // Another tab shows its own hint.
  info->CursorRect = SkinTabRect(page->TabIndex(), false);
  Message.Result = 0;
}

// ---- the tab scroller ----------------------------------------------------------------------------------------

void TsPageControl::UpdateUpDown() {
  if (FUpdatingUpDown || Loading() || !HandleAllocated() || ControlState_.Contains(csCreating) || IsDying(this)) return;
  FUpdatingUpDown = true;
  struct TDone {
    bool& Flag;
    ~TDone() { Flag = false; }
  } done{FUpdatingUpDown};
  if (!FSkinData->Skinned()) {
    FreeUpDown();
    if (FNativeArrowsGone) {
      // The native control keeps the arrows it made: a new window makes them again.
      FNativeArrowsGone = false;
      PostMessageA(Handle_, CM_RECREATEWND, 0, 0);
    }
    return;
  }
  while (HWND arrows = FindWindowExA(Handle_, nullptr, kNativeArrowsClass, nullptr)) {
    DestroyWindow(arrows);
    FNativeArrowsGone = true;
  }
  const bool sides = TabPosition() == tpLeft || TabPosition() == tpRight;
  const int hidden = sides ? 0 : HiddenTabsCount();
  if (hidden == 0 || MultiLine()) {
    FreeUpDown();
    return;
  }
  if (!FUpDown)
    CreateUpDown();
  else
    PlaceUpDown();
}

void TsPageControl::CreateUpDown() {
  TComponent* owner = IsDesigning(this) ? static_cast<TComponent*>(Application) : this;
  auto* ud = ::Create<TsUpDown>(owner);
  ud->SetVisible(false);
  ud->SetOrientation(udHorizontal);
  ud->SetWidth((GetSystemMetrics(SM_CXHSCROLL) + 1) * 2);
  ud->SetHeight(GetSystemMetrics(SM_CYHSCROLL) + 1);
  TsSkinManager* sm = FSkinData->SkinManager();
  ud->SetButtonSkin(sm && sm->SectionIndexOf("UPDOWNBTN") >= 0 ? "UPDOWNBTN" : "BUTTON");
  // Known before it joins the control: joining announces a change of the control list.
  FUpDown = ud;
  ud->SetParent(this);
  ud->SetMin(0);
  ud->SetMax(HiddenTabsCount());
  ud->SetIncrement(1);
  ud->SetShowInaccessibility(false);
  PlaceUpDown();
  ud->OnClick = MakeMethod<&TsPageControl::UpDownClick>(this);
  ud->SetVisible(true);
}

void TsPageControl::FreeUpDown() {
  if (!FUpDown) return;
  TsUpDown* ud = FUpDown;
  FUpDown = nullptr;
  ud->Free();
}

void TsPageControl::PlaceUpDown() {
  if (!FUpDown) return;
  FUpDown->SetLeft(Width_ - FUpDown->Width());
  FUpDown->SetTop(TabPosition() == tpTop ? 0 : Height_ - FUpDown->Height());
  FUpDown->SetMax(HiddenTabsCount());
  int before = 0, tab = 0;
  for (int i = 0; i < PageCount(); ++i) {
    if (!Pages(i)->TabVisible()) continue;
    if (ItemRect(tab++).Left > 0) break;
    ++before;
  }
  FUpDown->SetPosition(before);
}

void TsPageControl::UpDownClick(TObject*, TUDBtnType) {
  if (!FUpDown || !HandleAllocated()) return;
  SendMessageA(Handle_, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, FUpDown->Position()), 0);
  UpdateActivePage();
}

// ---- close buttons of the plain look ---------------------------------------------------------------------------

void TsPageControl::FreeCloseButton(TTabSheet* Page) {
  auto* sheet = dynamic_cast<TsTabSheet*>(Page);
  if (!sheet || !sheet->FCloseButton) return;
  TsTabBtn* button = sheet->FCloseButton;
  sheet->FCloseButton = nullptr;
  button->Page = nullptr;
  if (FInCloseClick == 0) {
    button->Free();
    return;
  }
  // The button is inside its own click: it goes once the click is over.
  button->SetVisible(false);
  button->OnClick = TNotifyEvent();
  FOrphanButtons.push_back(button);
  if (HandleAllocated()) PostMessageA(Handle_, WM_TABS_FREEBUTTONS, 0, 0);
}

void TsPageControl::PageGoes(TsTabSheet* Page) {
  FreeCloseButton(Page);
  if (FPressedBtnPage == Page) {
    FPressedBtnPage = nullptr;
    CloseBtnPressed = false;
  }
}

int TsPageControl::CloseBtnSpace() const {
  if (!FShowCloseBtns) return 0;
  if (FSkinData && FSkinData->Skinned()) return FBtnSkinIndex >= 0 ? FBtnWidth : 0;
  return 15;
}

void TsPageControl::ApplyTabPadding() {
  if (!HandleAllocated()) return;
  const int space = CloseBtnSpace();
  const int extra = space > 0 ? space / 2 + 4 : 0;
  if (extra == FPaddingExtra) return;
  FPaddingExtra = extra;
  // The system's padding is 6 by 3 pixels; a new font makes the control lay its tabs out again.
  SendMessageA(Handle_, TCM_SETPADDING, 0, MAKELPARAM(6 + extra, 3));
  SendMessageA(Handle_, WM_SETFONT, WPARAM(Font()->Handle()), TRUE);
}

void TsPageControl::CreateWnd() {
  // A new window (another style or side) is painted anew from the start.
  FSkinData->BGChanged = true;
  FPaintedTabsCount = -1;
  TacSkinnedControl<TPageControl>::CreateWnd();
  FPaddingExtra = 0;
  ApplyTabPadding();
  // A new window (another style) may need the scroller no more, or anew.
  PostMessageA(Handle_, WM_TABS_UPDATEUPDOWN, 0, 0);
}

void TsPageControl::UpdateCloseButtons() {
  if (FUpdatingButtons || IsDying(this)) return;
  FUpdatingButtons = true;
  struct TDone {
    bool& Flag;
    ~TDone() { Flag = false; }
  } done{FUpdatingButtons};
  ApplyTabPadding();
  const bool plain = FShowCloseBtns && !(FSkinData && FSkinData->Skinned());
  if (!plain) {
    for (int i = 0; i < PageCount(); ++i) FreeCloseButton(Pages(i));
    return;
  }
  if (Loading() || !HandleAllocated()) return;
  for (int i = 0; i < PageCount(); ++i) {
    auto* sheet = dynamic_cast<TsTabSheet*>(Pages(i));
    if (!sheet) continue;
    if (!sheet->UseCloseBtn()) {
      FreeCloseButton(sheet);
      continue;
    }
    TsTabBtn* button = sheet->FCloseButton;
    if (button) button->SetVisible(sheet->TabVisible());
    if (!sheet->TabVisible()) continue;
    if (!button) {
      button = ::Create<TsTabBtn>(this);
      button->OnClick = MakeMethod<&TsPageControl::CloseButtonClick>(this);
      button->Page = sheet;
      button->SetVisible(false);
      button->SetBounds(0, 0, 15, 15);
      button->SetParent(this);
      sheet->FCloseButton = button;
    }
    const TRect r = ItemRect(sheet->TabIndex());
    const int left = TabPosition() == tpLeft ? r.Left + 1 : r.Right - button->Width() - 1;
    button->SetBounds(left, r.Top + 1, button->Width(), button->Height());
    // A tab scrolled out of sight hides its button.
    button->SetVisible(!r.IsEmpty() && r.Left >= 0 && r.Right <= Width_);
  }
}

void TsPageControl::CloseButtonClick(TObject* Sender) {
  auto* button = dynamic_cast<TsTabBtn*>(Sender);
  if (!button || !button->Page) return;
  TsTabSheet* page = button->Page;
  ++FInCloseClick;
  struct TDone {
    int& Depth;
    ~TDone() { --Depth; }
  } done{FInCloseClick};
  bool canClose = true;
  TacCloseAction action = acaFree;
  auto alive = AliveToken();
  auto pageAlive = page->AliveToken();
  // The handler is told the page's index, as on the skinned path (tab indexes shift when pages
  // before it hide their tabs).
  OnCloseBtnClick(this, page->PageIndex(), canClose, action);
  if (!*alive) return;
  if (canClose && *pageAlive && page->PageControl() == this) {
    if (action == acaFree)
      page->Free();
    else
      page->SetTabVisible(false);
    // The button goes with a freed page (PageGoes); a hidden tab hides it.
    if (button->Page) button->SetVisible(false);
  }
  UpdateCloseButtons();
  if (HandleAllocated()) RedrawWindow(Handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

// ---- published properties ------------------------------------------------------------------------------------

namespace {
const bool kPageControlProps = RegisterProperties<TsPageControl, TPageControl>([](auto& p) {
  p.Obj("SkinData", &TsPageControl::SkinData);
  p.Str("CloseBtnSkin", &TsPageControl::CloseBtnSkin, &TsPageControl::SetCloseBtnSkin);
  p.Set("AnimatEvents", &TsPageControl::AnimatEvents, &TsPageControl::SetAnimatEvents,
        {"aeMouseEnter", "aeMouseLeave", "aeMouseDown", "aeMouseUp", "aeGlobalDef"});
  p.Ord("ShowCloseBtns", &TsPageControl::ShowCloseBtns, &TsPageControl::SetShowCloseBtns);
  p.Method("OnCloseBtnClick", &TsPageControl::GetOnCloseBtnClick, &TsPageControl::SetOnCloseBtnClick);
});
}  // namespace
