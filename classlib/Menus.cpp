#include "classlib/Menus.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <unordered_set>

#include "classlib/Buttons.h"
#include "classlib/Forms.h"
#include "classlib/GdiScopes.h"
#include "classlib/core/TypInfo.h"

namespace {

std::unordered_set<TMenuItem*>& LiveItems() {
  static std::unordered_set<TMenuItem*> items;
  return items;
}

std::map<WORD, TMenuItem*>& Commands() {
  static std::map<WORD, TMenuItem*> commands;
  return commands;
}

// Command numbers below the system commands (0xF000 and up).
constexpr WORD kFirstCommand = 1;
constexpr WORD kLastCommand = 0xEFFF;

WORD AllocateCommand(TMenuItem* item) {
  static WORD next = kFirstCommand;
  auto& commands = Commands();
  if (commands.size() >= kLastCommand - kFirstCommand + 1) throw EMenuError("Too many menu items");
  while (commands.count(next)) next = next >= kLastCommand ? kFirstCommand : static_cast<WORD>(next + 1);
  WORD c = next;
  commands[c] = item;
  next = c >= kLastCommand ? kFirstCommand : static_cast<WORD>(c + 1);
  return c;
}

// Removes every entry of a menu without destroying the submenus it lists (their items own them).
void EmptyMenu(HMENU menu) {
  while (GetMenuItemCount(menu) > 0)
    if (!RemoveMenu(menu, 0, MF_BYPOSITION)) break;
}

// Takes a menu's own entries out (without destroying the submenus they list) and keeps those the
// system put in, which carry no item data (an MDI frame's bar shows its maximized child's window
// menu first and its buttons last): returns how many of those come before the own entries.
UINT RemoveOwnEntries(HMENU menu) {
  UINT leading = 0;
  bool ownSeen = false;
  for (int i = 0; i < GetMenuItemCount(menu);) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_DATA;
    if (GetMenuItemInfoA(menu, UINT(i), TRUE, &info) && info.dwItemData == 0) {
      leading += ownSeen ? 0 : 1;
      ++i;
      continue;
    }
    ownSeen = true;
    if (!RemoveMenu(menu, UINT(i), MF_BYPOSITION)) break;
  }
  return leading;
}

std::string StripAmpersands(const std::string& s) {
  std::string r;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '&') {
      if (i + 1 < s.size() && s[i + 1] == '&') r += '&', ++i;
      continue;
    }
    r += s[i];
  }
  return r;
}

HWND gPopupList = nullptr;

LRESULT CALLBACK PopupListProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  try {
    TMessage m = MakeMessage(msg, wParam, lParam);
    if (DispatchMenuMessage(m)) return m.Result;
  } catch (...) {
    HandleBoundaryException(nullptr);
    return 0;
  }
  return DefWindowProcA(wnd, msg, wParam, lParam);
}

HMENU MainMenuHandle(TComponent* menu) {
  auto* m = dynamic_cast<TMainMenu*>(menu);
  return m ? m->Handle() : nullptr;
}

// The forms ask this unit for the menu bar of their Menu.
const bool kFormHook = [] {
  FormMenuHandleHook = &MainMenuHandle;
  FormMenuMessageHook = &DispatchMenuMessage;
  return true;
}();

}  // namespace

HWND PopupListWindow() {
  if (gPopupList && IsWindow(gPopupList)) return gPopupList;
  static ATOM atom = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &PopupListProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TPopupList";
    return RegisterClassA(&wc);
  }();
  (void)atom;
  gPopupList = CreateWindowExA(WS_EX_TOOLWINDOW, "TPopupList", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  return gPopupList;
}

// ---- TMenuItem --------------------------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {
  Command_ = AllocateCommand(this);
  LiveItems().insert(this);
}

TMenuItem::~TMenuItem() {
  if (Parent_) Parent_->Remove(this);
  while (!Items_.empty()) {
    TMenuItem* child = Items_.back();
    Items_.pop_back();
    child->Parent_ = nullptr;
    child->Free();
  }
  if (Handle_) {
    if (IsMenu(Handle_)) {
      EmptyMenu(Handle_);
      DestroyMenu(Handle_);
    }
    Handle_ = nullptr;
  }
  delete Bitmap_;
  Commands().erase(Command_);
  LiveItems().erase(this);
}

void TMenuItem::BeforeDestruction() {
  TComponent::BeforeDestruction();
  if (Parent_) Parent_->Remove(this);
}

long TMenuItem::LiveCount() { return static_cast<long>(LiveItems().size()); }

TMenuItem* TMenuItem::FromCommand(WORD Command) {
  auto it = Commands().find(Command);
  return it == Commands().end() ? nullptr : it->second;
}

TMenuItem* TMenuItem::FromData(ULONG_PTR Data) {
  auto* item = reinterpret_cast<TMenuItem*>(Data);
  return LiveItems().count(item) ? item : nullptr;
}

void TMenuItem::SetCaption(const std::string& v) {
  if (Caption_ == v) return;
  Caption_ = v;
  MenuChanged(true);
}

TBitmap* TMenuItem::Bitmap() {
  if (!Bitmap_) {
    Bitmap_ = new TBitmap();
    Bitmap_->OnChange =
        TNotifyEvent(this, [](void* self, TObject*) { static_cast<TMenuItem*>(self)->MenuChanged(false); });
  }
  return Bitmap_;
}

void TMenuItem::SetImageIndex(int v) {
  if (ImageIndex_ == v) return;
  ImageIndex_ = v;
  MenuChanged(true);
}

void TMenuItem::SetBreak(TMenuBreak v) {
  if (Break_ == v) return;
  Break_ = v;
  MenuChanged(true);
}

void TMenuItem::SetRadioItem(bool v) {
  if (RadioItem_ == v) return;
  RadioItem_ = v;
  if (Checked_ && v) TurnSiblingsOff();
  MenuChanged(true);
}

void TMenuItem::SetChecked(bool v) {
  if (Checked_ == v) return;
  Checked_ = v;
  if (v && RadioItem_) TurnSiblingsOff();
  MenuChanged(false);
}

void TMenuItem::TurnSiblingsOff() {
  if (!Parent_) return;
  for (TMenuItem* s : Parent_->Items_)
    if (s != this && s->RadioItem_ && s->GroupIndex_ == GroupIndex_ && s->Checked_) {
      s->Checked_ = false;
      s->MenuChanged(false);
    }
}

void TMenuItem::SetDefault(bool v) {
  if (Default_ == v) return;
  if (v && Parent_)
    for (TMenuItem* s : Parent_->Items_)
      if (s != this) s->Default_ = false;
  Default_ = v;
  MenuChanged(true);
}

void TMenuItem::SetEnabled(bool v) {
  if (Enabled_ == v) return;
  Enabled_ = v;
  MenuChanged(false);
}

void TMenuItem::SetVisible(bool v) {
  if (Visible_ == v) return;
  Visible_ = v;
  MenuChanged(true);
}

void TMenuItem::SetShortCut(TShortCut v) {
  if (ShortCut_ == v) return;
  ShortCut_ = v;
  MenuChanged(true);
}

TMenuItem* TMenuItem::Items(int Index) const {
  if (Index < 0 || Index >= Count()) throw EMenuError("Menu index out of range");
  return Items_[static_cast<std::size_t>(Index)];
}

int TMenuItem::IndexOf(const TMenuItem* Item) const {
  auto it = std::find(Items_.begin(), Items_.end(), Item);
  return it == Items_.end() ? -1 : static_cast<int>(it - Items_.begin());
}

int TMenuItem::MenuIndex() const { return Parent_ ? Parent_->IndexOf(this) : -1; }

void TMenuItem::SetMenuIndex(int v) {
  if (!Parent_) return;
  TMenuItem* p = Parent_;
  int cur = p->IndexOf(this);
  v = std::clamp(v, 0, p->Count() - 1);
  if (cur == v) return;
  p->Items_.erase(p->Items_.begin() + cur);
  p->Items_.insert(p->Items_.begin() + v, this);
  p->MenuChanged(true);
}

void TMenuItem::Insert(int Index, TMenuItem* Item) {
  if (!Item) return;
  if (Item->Parent_) throw EMenuError("Menu inserted twice");
  if (Index < 0 || Index > Count()) throw EMenuError("Menu index out of range");
  for (const TMenuItem* p = this; p; p = p->Parent_)
    if (p == Item) throw EMenuError("Menu inserted into itself");
  Items_.insert(Items_.begin() + Index, Item);
  Item->Parent_ = this;
  MenuChanged(true);
}

void TMenuItem::Delete(int Index) {
  if (Index < 0 || Index >= Count()) throw EMenuError("Menu index out of range");
  TMenuItem* item = Items_[static_cast<std::size_t>(Index)];
  Items_.erase(Items_.begin() + Index);
  item->Parent_ = nullptr;
  MenuChanged(true);
}

void TMenuItem::Remove(TMenuItem* Item) {
  int i = IndexOf(Item);
  if (i < 0) throw EMenuError("Sub-menu is not in menu");
  Delete(i);
}

void TMenuItem::Clear() {
  while (!Items_.empty()) Items_.back()->Free();
}

TMenuItem* TMenuItem::Find(const std::string& ACaption) const {
  const std::string want = AnsiUpperCase(StripAmpersands(ACaption));
  for (TMenuItem* i : Items_)
    if (AnsiUpperCase(StripAmpersands(i->Caption_)) == want) return i;
  return nullptr;
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* i = this;
  while (i->Parent_) i = i->Parent_;
  return i->Menu_;
}

bool TMenuItem::IsTopLevel() const {
  return Parent_ && !Parent_->Parent_ && dynamic_cast<TMainMenu*>(Parent_->Menu_) != nullptr;
}

HMENU TMenuItem::Handle() {
  // A menu bar goes away with the window that showed it (and its submenus with it).
  if (Handle_ && !IsMenu(Handle_)) Handle_ = nullptr;
  if (!Handle_) {
    Handle_ = MenuBar_ ? CreateMenu() : CreatePopupMenu();
    if (!Handle_) throw EMenuError("Cannot create a menu");
    RebuildHandle();
  }
  return Handle_;
}

void TMenuItem::FillItemInfo(MENUITEMINFOA& info, std::string& text) {
  TMenu* menu = GetParentMenu();
  const bool ownerDraw = menu && menu->OwnerDraw();
  info = MENUITEMINFOA{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA | MIIM_SUBMENU | MIIM_STRING;
  if (IsLine()) info.fType |= MFT_SEPARATOR;
  if (ownerDraw) info.fType |= MFT_OWNERDRAW;
  if (RadioItem_) info.fType |= MFT_RADIOCHECK;
  if (Break_ == mbBreak) info.fType |= MFT_MENUBREAK;
  if (Break_ == mbBarBreak) info.fType |= MFT_MENUBARBREAK;
  if (menu && menu->BiDiMode() != bdLeftToRight) info.fType |= MFT_RIGHTORDER;
  if (Checked_) info.fState |= MFS_CHECKED;
  if (!Enabled_) info.fState |= MFS_GRAYED;
  if (Default_) info.fState |= MFS_DEFAULT;
  info.wID = Command_;
  info.dwItemData = reinterpret_cast<ULONG_PTR>(this);
  info.hSubMenu = Items_.empty() ? nullptr : Handle();
  text = Caption_;
  if (ShortCut_ && !IsTopLevel()) text += "\t" + ShortCutToText(ShortCut_);
  info.dwTypeData = text.data();
  info.cch = static_cast<UINT>(text.size());
  if (!ownerDraw && HasBitmap()) {
    info.fMask |= MIIM_BITMAP;
    info.hbmpItem = Bitmap_->Handle();
  }
}

void TMenuItem::RebuildHandle() {
  if (!Handle_) return;
  UINT pos = RemoveOwnEntries(Handle_);
  for (TMenuItem* child : Items_) {
    if (!child->Visible_) continue;
    MENUITEMINFOA info;
    std::string text;
    child->FillItemInfo(info, text);
    InsertMenuItemA(Handle_, pos++, TRUE, &info);
  }
}

void TMenuItem::MenuChanged(bool Rebuild) {
  if (Parent_) {
    Parent_->RebuildHandle();
  }
  if (Rebuild && Handle_) RebuildHandle();
  OnChange(this, this, Rebuild);
  if (TMenu* m = GetParentMenu()) m->MenuChanged(this, this, Rebuild);
}

void TMenuItem::SetParentComponent(TComponent* Value) {
  if (Parent_) Parent_->Remove(this);
  if (auto* item = dynamic_cast<TMenuItem*>(Value))
    item->Add(this);
  else if (auto* menu = dynamic_cast<TMenu*>(Value))
    menu->Items()->Add(this);
}

void TMenuItem::Click() {
  if (!Enabled_) return;
  if (AutoCheck_) SetChecked(!Checked_);
  OnClick(this);
}

void TMenuItem::MeasureItem(TCanvas* ACanvas, int& Width, int& Height) {
  TMenu* menu = GetParentMenu();
  const std::string text = StripAmpersands(Caption_);
  if (IsLine()) {
    Width = 0;
    Height = GetSystemMetrics(SM_CYMENU) / 2;
  } else {
    TSize glyph{16, 16};
    if (HasBitmap())
      glyph = TSize{Bitmap_->Width(), Bitmap_->Height()};
    else if (menu && menu->Images())
      glyph = TSize{menu->Images()->Width(), menu->Images()->Height()};
    const int th = ACanvas->TextHeight("W");
    Height = std::max(th + 4, glyph.cy + 4);
    if (IsTopLevel()) {
      Width = ACanvas->TextWidth(text) + 6;
    } else {
      Width = glyph.cx + 8 + ACanvas->TextWidth(text) + 8;
      if (ShortCut_) Width += ACanvas->TextWidth(ShortCutToText(ShortCut_)) + 16;
    }
  }
  OnMeasureItem(this, ACanvas, Width, Height);
}

void TMenuItem::AdvancedDrawItem(TCanvas* ACanvas, TRect ARect, TOwnerDrawState State, bool TopLevel) {
  if (OnAdvancedDrawItem) {
    OnAdvancedDrawItem(this, ACanvas, ARect, State);
    return;
  }
  if (OnDrawItem) {
    OnDrawItem(this, ACanvas, ARect, State.Contains(odSelected));
    return;
  }
  DrawPlainItem(ACanvas, ARect, State, TopLevel);
}

void TMenuItem::DrawPlainItem(TCanvas* ACanvas, TRect ARect, TOwnerDrawState State, bool TopLevel) {
  const bool selected = State.Contains(odSelected) || State.Contains(odHotLight);
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->Brush()->SetColor(selected && !IsLine() ? clHighlight : clMenu);
  ACanvas->FillRect(ARect);
  HDC dc = ACanvas->Handle();
  RECT r{ARect.Left, ARect.Top, ARect.Right, ARect.Bottom};
  if (IsLine()) {
    RECT line{r.left + 2, (r.top + r.bottom) / 2 - 1, r.right - 2, (r.top + r.bottom) / 2 + 1};
    DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
    return;
  }
  TMenu* menu = GetParentMenu();
  int glyphW = 16;
  if (!TopLevel) {
    if (HasBitmap()) {
      glyphW = Bitmap_->Width();
      DrawGlyphFrame(dc, Bitmap_, 1, 0, r.left + 2, r.top + (ARect.Height() - Bitmap_->Height()) / 2);
    } else if (menu && menu->Images() && ImageIndex_ >= 0) {
      glyphW = menu->Images()->Width();
      menu->Images()->Draw(ACanvas, r.left + 2, r.top + (ARect.Height() - menu->Images()->Height()) / 2, ImageIndex_,
                           Enabled_);
    } else if (Checked_) {
      RECT cr{r.left + 2, r.top + (ARect.Height() - 16) / 2, r.left + 18, r.top + (ARect.Height() + 16) / 2};
      DrawFrameControl(dc, &cr, DFC_MENU, RadioItem_ ? DFCS_MENUBULLET : DFCS_MENUCHECK);
    }
    r.left += glyphW + 8;
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(!Enabled_ ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
  UINT flags = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS | (TopLevel ? DT_CENTER : DT_LEFT);
  if (State.Contains(odNoAccel)) flags |= DT_HIDEPREFIX;
  if (Default_) {
    TFontStyles s = ACanvas->Font()->Style();
    s.Include(fsBold);
    ACanvas->Font()->SetStyle(s);
    dc = ACanvas->Handle();
  }
  DrawTextA(dc, Caption_.c_str(), -1, &r, flags);
  if (ShortCut_ && !TopLevel) {
    const std::string sc = ShortCutToText(ShortCut_);
    RECT sr{r.left, r.top, r.right - 8, r.bottom};
    DrawTextA(dc, sc.c_str(), -1, &sr, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
  }
}

// ---- TMenu ------------------------------------------------------------------------------------

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner) {
  Items_ = Create<TMenuItem>(this);
  Items_->Menu_ = this;
}

TMenu::~TMenu() {
  if (Items_) {
    TMenuItem* root = Items_;
    Items_ = nullptr;
    root->Menu_ = nullptr;
    root->Free();
  }
}

void TMenu::BeforeDestruction() {
  TComponent::BeforeDestruction();
  if (WindowHandle_ && IsWindow(WindowHandle_) && Items_ && GetMenu(WindowHandle_) == Items_->Handle_)
    ::SetMenu(WindowHandle_, nullptr);
}

HMENU TMenu::Handle() { return Items_->Handle(); }

void TMenu::SetOwnerDraw(bool v) {
  if (OwnerDraw_ == v) return;
  OwnerDraw_ = v;
  MenuChanged(this, nullptr, true);
}

void TMenu::SetImages(TCustomImageList* v) {
  Images_ = v;
  if (v) v->FreeNotification(this);
  MenuChanged(this, nullptr, true);
}

void TMenu::SetBiDiMode(TBiDiMode v) {
  if (BiDiMode_ == v) return;
  BiDiMode_ = v;
  MenuChanged(this, nullptr, true);
}

void TMenu::SetWindowHandle(HWND v) {
  WindowHandle_ = v;
  // Only a main menu is the window's menu bar; a popup menu shown for a window stays a popup.
  if (v && dynamic_cast<TMainMenu*>(this)) ::SetMenu(v, Handle());
}

void TMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == Images_) {
    Images_ = nullptr;
    if (!IsDestroying()) MenuChanged(this, nullptr, true);
  }
  if (AComponent == Items_) Items_ = nullptr;
}

void TMenu::MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild) {
  if (!Items_) return;
  if (Source == nullptr) {
    // A menu-wide change (owner draw, images): every handle is refilled.
    std::vector<TMenuItem*> stack{Items_};
    while (!stack.empty()) {
      TMenuItem* i = stack.back();
      stack.pop_back();
      i->RebuildHandle();
      for (TMenuItem* c : i->Items_) stack.push_back(c);
    }
  }
  OnChange(Sender, Source, Rebuild);
}

TMenuItem* TMenu::FindItem(std::uintptr_t Value, TFindItemKind Kind) {
  if (!Items_) return nullptr;
  std::vector<TMenuItem*> stack{Items_};
  while (!stack.empty()) {
    TMenuItem* i = stack.back();
    stack.pop_back();
    switch (Kind) {
      case fkCommand:
        if (i != Items_ && i->Command_ == Value) return i;
        break;
      case fkHandle:
        if (i->Handle_ && reinterpret_cast<std::uintptr_t>(i->Handle_) == Value) return i;
        break;
      case fkShortCut:
        if (i != Items_ && i->ShortCut_ != 0 && i->ShortCut_ == Value) return i;
        break;
    }
    for (TMenuItem* c : i->Items_) stack.push_back(c);
  }
  return nullptr;
}

bool TMenu::DispatchCommand(WORD ACommand) {
  TMenuItem* i = FindItem(ACommand, fkCommand);
  if (!i) return false;
  i->Click();
  return true;
}

bool TMenu::DispatchPopup(HMENU AHandle) {
  TMenuItem* i = FindItem(reinterpret_cast<std::uintptr_t>(AHandle), fkHandle);
  if (!i) return false;
  if (i != Items_) i->Click();
  return true;
}

bool TMenu::IsShortCut(TShortCut shortCut) {
  TMenuItem* i = FindItem(shortCut, fkShortCut);
  if (!i || !i->Enabled()) return false;
  for (TMenuItem* p = i->Parent(); p; p = p->Parent())
    if (!p->Enabled() || !p->Visible()) return false;
  i->Click();
  return true;
}

// ---- TMainMenu --------------------------------------------------------------------------------

TMainMenu::TMainMenu(TComponent* AOwner) : TMenu(AOwner) { Items_->MenuBar_ = true; }

void TMainMenu::MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild) {
  TMenu::MenuChanged(Sender, Source, Rebuild);
  // The form hears of every change of its main menu before the bar is drawn again, so whatever
  // draws its menu line draws the items as they are now.
  if (auto* form = dynamic_cast<TCustomForm*>(Owner());
      form && form->Menu() == this && form->HandleAllocated() && !form->IsDestroying())
    form->Perform(CM_MENUCHANGED, 0, 0);
  HWND wnd = WindowHandle_;
  if (!wnd)
    if (auto* form = dynamic_cast<TCustomForm*>(Owner()); form && form->HandleAllocated() && form->Menu() == this)
      wnd = form->Handle();
  if (wnd && Items_ && Items_->Handle_ && GetMenu(wnd) == Items_->Handle_) DrawMenuBar(wnd);
}

// ---- TPopupMenu -------------------------------------------------------------------------------

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

TPopupMenu::~TPopupMenu() = default;

void TPopupMenu::SetPopupComponent(TComponent* v) {
  PopupComponent_ = v;
  if (v) v->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TMenu::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == PopupComponent_) PopupComponent_ = nullptr;
}

void TPopupMenu::DoPopup(TObject* Sender) { OnPopup(Sender); }

void TPopupMenu::Popup(int X, int Y) {
  PopupPoint_ = TPoint{X, Y};
  DoPopup(this);
  if (!Items_ || Items_->Count() == 0) return;
  UINT flags = Alignment_ == paRight ? TPM_RIGHTALIGN : Alignment_ == paCenter ? TPM_CENTERALIGN : TPM_LEFTALIGN;
  flags |= TrackButton_ == tbRightButton ? TPM_RIGHTBUTTON : TPM_LEFTBUTTON;
  if (MenuAnimation_.Contains(maNone)) {
    flags |= TPM_NOANIMATION;
  } else {
    if (MenuAnimation_.Contains(maLeftToRight)) flags |= TPM_HORPOSANIMATION;
    if (MenuAnimation_.Contains(maRightToLeft)) flags |= TPM_HORNEGANIMATION;
    if (MenuAnimation_.Contains(maTopToBottom)) flags |= TPM_VERPOSANIMATION;
    if (MenuAnimation_.Contains(maBottomToTop)) flags |= TPM_VERNEGANIMATION;
  }
  HWND owner = PopupListWindow();
  TrackPopupMenu(Items_->Handle(), flags, X, Y, 0, owner, nullptr);
  OnClose(this);
}

bool PopupContextMenu(TControl* Control, TComponent* Menu, TPoint ScreenPos) {
  auto* popup = dynamic_cast<TPopupMenu*>(Menu);
  if (!popup || !popup->AutoPopup() || (Control && Control->ComponentState().Contains(csDesigning))) return false;
  popup->SetPopupComponent(Control);
  popup->Popup(ScreenPos.X, ScreenPos.Y);
  return true;
}

// ---- dispatching ------------------------------------------------------------------------------

namespace {

// A menu item's command: its click.
bool MenuCommand(TMessage& Message) {
  if (Message.LParam != 0 || HIWORD(Message.WParam) != 0) return false;
  TMenuItem* item = TMenuItem::FromCommand(LOWORD(Message.WParam));
  if (!item) return false;
  item->Click();
  Message.Result = 0;
  return true;
}

// A submenu opens: its item's click (where its items can be updated).
bool InitMenuPopup(TMessage& Message) {
  auto menu = reinterpret_cast<HMENU>(Message.WParam);
  for (TMenuItem* i : std::vector<TMenuItem*>(LiveItems().begin(), LiveItems().end())) {
    if (!i->HandleAllocated() || i->Handle() != menu) continue;
    if (i->Parent()) i->Click();
    Message.Result = 0;
    return true;
  }
  return false;
}

// An owner-drawn item measured on a screen canvas in the menu font.
bool MeasureMenuItem(TMessage& Message) {
  auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
  if (mis->CtlType != ODT_MENU) return false;
  TMenuItem* item = TMenuItem::FromData(mis->itemData);
  if (!item) return false;
  int w = static_cast<int>(mis->itemWidth), h = static_cast<int>(mis->itemHeight);
  {
    ScreenDC dc;
    TCanvas canvas;
    CanvasOnDC bound(&canvas, dc, Screen ? Screen->MenuFont() : nullptr);
    item->MeasureItem(&canvas, w, h);
  }
  mis->itemWidth = static_cast<UINT>(std::max(w, 0));
  mis->itemHeight = static_cast<UINT>(std::max(h, 0));
  Message.Result = 1;
  return true;
}

// An owner-drawn item drawn on a canvas over the item's DC in the menu font.
bool DrawMenuItem(TMessage& Message) {
  auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
  if (dis->CtlType != ODT_MENU) return false;
  TMenuItem* item = TMenuItem::FromData(dis->itemData);
  if (!item) return false;
  bool topLevel =
      item->Parent() && !item->Parent()->Parent() && dynamic_cast<TMainMenu*>(item->GetParentMenu()) != nullptr;
  TCanvas canvas;
  OwnedRegion drawnClip(CreateRectRgn(0, 0, 0, 0));
  int clipped = 0;
  {
    CanvasOnDC bound(&canvas, dis->hDC, Screen ? Screen->MenuFont() : nullptr);
    item->AdvancedDrawItem(&canvas, FromRECT(dis->rcItem), OwnerDrawStateFromODS(dis->itemState), topLevel);
    if (drawnClip) clipped = GetClipRgn(dis->hDC, drawnClip);
  }
  // The parts of the item its drawing shut out of the DC stay shut once the DC's state is back: the
  // system draws its submenu arrow after the item, and a drawing with an arrow of its own keeps it.
  if (clipped == 1) {
    OwnedRegion shut(CreateRectRgnIndirect(&dis->rcItem));
    if (shut && CombineRgn(shut, shut, drawnClip, RGN_DIFF) > NULLREGION) ExtSelectClipRgn(dis->hDC, shut, RGN_DIFF);
  }
  Message.Result = 1;
  return true;
}

// The letter a caption marks with "&" for the keyboard (upper case), 0 when none.
char AccelChar(const std::string& caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] != '&') return char(std::toupper(static_cast<unsigned char>(caption[i + 1])));
    ++i;
  }
  return 0;
}

// A key typed in an open menu of the library's: owner-drawn items have no text the system could
// search, so the item whose caption marks that letter is chosen here (one such item is carried
// out, several are gone through one by one).
bool MenuChar(TMessage& Message) {
  auto menu = reinterpret_cast<HMENU>(Message.LParam);
  const char key = char(std::toupper(static_cast<unsigned char>(LOWORD(Message.WParam))));
  if (!menu || !key) return false;
  const int count = GetMenuItemCount(menu);
  std::vector<int> matches;
  int current = -1;
  for (int pos = 0; pos < count; ++pos) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_DATA | MIIM_STATE;
    if (!GetMenuItemInfoA(menu, UINT(pos), TRUE, &info)) continue;
    if (info.fState & MFS_HILITE) current = pos;
    TMenuItem* item = TMenuItem::FromData(info.dwItemData);
    if (item && item->Visible() && item->Enabled() && !item->IsLine() && AccelChar(item->Caption()) == key)
      matches.push_back(pos);
  }
  if (matches.empty()) return false;
  if (matches.size() == 1) {
    Message.Result = MAKELRESULT(matches.front(), MNC_EXECUTE);
    return true;
  }
  int next = matches.front();
  for (int pos : matches)
    if (pos > current) {
      next = pos;
      break;
    }
  Message.Result = MAKELRESULT(next, MNC_SELECT);
  return true;
}

}  // namespace

bool DispatchMenuMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_COMMAND: return MenuCommand(Message);
    case WM_INITMENUPOPUP: return InitMenuPopup(Message);
    case WM_MEASUREITEM: return MeasureMenuItem(Message);
    case WM_DRAWITEM: return DrawMenuItem(Message);
    case WM_MENUCHAR: return MenuChar(Message);
    default: return false;
  }
}

// ---- published properties ----------------------------------------------------------------------

static const bool kMenusProps = [] {
  RegisterProperties<TMenuItem, TComponent>([](auto& p) {
    p.Str("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption);
    p.Str("Hint", &TMenuItem::Hint, &TMenuItem::SetHint);
    p.Ord("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex);
    p.Ord("Break", &TMenuItem::Break, &TMenuItem::SetBreak);
    p.Ord("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem);
    p.Ord("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex);
    p.Ord("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked);
    p.Ord("AutoCheck", &TMenuItem::AutoCheck, &TMenuItem::SetAutoCheck);
    p.Ord("Default", &TMenuItem::Default, &TMenuItem::SetDefault);
    p.Ord("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled);
    p.Ord("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible);
    p.Ord("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut);
  });
  RegisterProperties<TMenu, TComponent>([](auto& p) {
    p.Ord("OwnerDraw", &TMenu::OwnerDraw, &TMenu::SetOwnerDraw);
    p.Obj("Images", &TMenu::Images, &TMenu::SetImages);
    p.Ord("BiDiMode", &TMenu::BiDiMode, &TMenu::SetBiDiMode);
  });
  RegisterProperties<TMainMenu, TMenu>(
      [](auto& p) { p.Ord("AutoMerge", &TMainMenu::AutoMerge, &TMainMenu::SetAutoMerge); });
  RegisterProperties<TPopupMenu, TMenu>([](auto& p) {
    p.Ord("Alignment", &TPopupMenu::Alignment, &TPopupMenu::SetAlignment);
    p.Ord("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup);
    p.Ord("TrackButton", &TPopupMenu::TrackButton, &TPopupMenu::SetTrackButton);
    p.Set("MenuAnimation", &TPopupMenu::MenuAnimation, &TPopupMenu::SetMenuAnimation,
          {"maLeftToRight", "maRightToLeft", "maTopToBottom", "maBottomToTop", "maNone"});
    p.Obj("PopupComponent", &TPopupMenu::PopupComponent, &TPopupMenu::SetPopupComponent);
  });
  return true;
}();
