// Skinned menus: the owner-draw handlers planted into the application's menus and given back,
// item sizes, popup items painted from the skin in each state (read back from the screen of a
// real popup driven by the keyboard), the extra line and icon column, drawing without a popup
// window, and the main-menu line over the form provider's background.
#include "tests/win/menus/MenuTestSupport.h"

#include <cmath>
#include <memory>

#include "classlib/ImgList.h"
#include "skin/controls/sSpeedButton.h"
#include "skin/engine/sQuorvexGraph.h"
#include "skin/engine/sStyleSimply.h"
#include "skin/windows/sSkinProvider.h"

namespace qvtest {
namespace {

// Per channel A + (B - A) * K.
COLORREF Mix(COLORREF a, COLORREF b, double k) {
  auto ch = [&](int shift) {
    const double va = (a >> shift) & 0xFF, vb = (b >> shift) & 0xFF;
    return COLORREF(std::lround(va + (vb - va) * k)) << shift;
  };
  return ch(0) | ch(8) | ch(16);
}

bool Near(COLORREF a, COLORREF b, int tolerance = 2) {
  for (int shift : {0, 8, 16})
    if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance) return false;
  return true;
}

struct TAppHandlers {
  void Draw(TObject*, TCanvas*, TRect, TOwnerDrawState) {}
  void Measure(TObject*, TCanvas*, int& w, int& h) { w = 50, h = 20; }
};

class SkinMenus : public MenuTest {};

// Which handler an item has: none, the application's, the popup's or the menu line's.
enum THandler { hNone, hApp, hPopup, hLine };

TEST_F(SkinMenus, HandlersArePlantedWhereFreeAndGivenBack) {
  TAppHandlers app;
  const auto appDraw = MakeMethod<&TAppHandlers::Draw>(&app);
  const auto appMeasure = MakeMethod<&TAppHandlers::Measure>(&app);
  auto* main = Create<TMainMenu>(Form);
  TMenuItem* file = NewItem("&File", main->Items());
  file->OnAdvancedDrawItem = appDraw;
  TMenuItem* open = NewItem("&Open", file);
  open->OnAdvancedDrawItem = appDraw;
  TMenuItem* save = NewItem("&Save", file);
  auto* popup = Create<TPopupMenu>(Form);
  TMenuItem* cut = NewItem("Cu&t", popup->Items());
  cut->OnMeasureItem = appMeasure;
  TMenuItem* more = NewItem("&More", popup->Items());
  TMenuItem* deep = NewItem("&Deep", more);

  const auto drawOf = [&](TMenuItem* i) {
    const auto& e = i->OnAdvancedDrawItem;
    if (!e) return hNone;
    if (e == appDraw) return hApp;
    if (e.Code() == MakeMethod<&TacSkinableMenus::PopupDrawItem>(Menus()).Code()) return hPopup;
    return e.Code() == MakeMethod<&TacSkinableMenus::MainDrawItem>(Menus()).Code() ? hLine : hApp;
  };
  const auto measureOf = [&](TMenuItem* i) {
    const auto& e = i->OnMeasureItem;
    if (!e) return hNone;
    if (e == appMeasure) return hApp;
    if (e.Code() == MakeMethod<&TacSkinableMenus::PopupMeasureItem>(Menus()).Code()) return hPopup;
    return e.Code() == MakeMethod<&TacSkinableMenus::MainMeasureItem>(Menus()).Code() ? hLine : hApp;
  };
  struct TRow {
    TMenuItem* Item;
    THandler Draw, Measure;
  };
  const auto check = [&](const char* phase, std::initializer_list<TRow> rows, bool mainOwnerDraw, bool popupOwnerDraw) {
    SCOPED_TRACE(phase);
    for (const TRow& r : rows) {
      EXPECT_EQ(r.Draw, drawOf(r.Item)) << r.Item->Caption();
      EXPECT_EQ(r.Measure, measureOf(r.Item)) << r.Item->Caption();
    }
    EXPECT_EQ(mainOwnerDraw, main->OwnerDraw());
    EXPECT_EQ(popupOwnerDraw, popup->OwnerDraw());
    EXPECT_EQ(popupOwnerDraw, popup->MenuAnimation().Contains(maNone)) << "popups open without animation";
  };

  // The menu line always takes the skin's handlers; popup items keep the application's own.
  Menus()->InitComponent(Form, true);
  check("skinned",
        {{file, hLine, hLine},
         {open, hApp, hPopup},
         {save, hPopup, hPopup},
         {cut, hPopup, hApp},
         {more, hPopup, hPopup},
         {deep, hPopup, hPopup}},
        true, true);
  // Skin off: only this unit's handlers go.
  Manager->SetActive(false);
  check("skin removed",
        {{file, hNone, hNone}, {open, hApp, hNone}, {save, hNone, hNone}, {cut, hNone, hApp}, {deep, hNone, hNone}},
        false, false);
  // Skinned again without skinned popups: the menu line only.
  Manager->SetSkinnedPopups(false);
  Manager->SetActive(true);
  check("popups not skinned",
        {{file, hLine, hLine}, {open, hApp, hNone}, {save, hNone, hNone}, {cut, hNone, hApp}, {deep, hNone, hNone}},
        true, false);
  // One item at a time, as the form provider does.
  Manager->SetSkinnedPopups(true);
  Menus()->PrepareMainItem(save, true);
  Menus()->PrepareMainItem(file, true);
  check("single items", {{save, hPopup, hPopup}, {file, hLine, hLine}, {open, hApp, hNone}}, true, false);
  Menus()->PrepareMainItem(save, false);
  EXPECT_EQ(hNone, drawOf(save));
  EXPECT_FALSE(main->OwnerDraw());
  // A menu of no form keeps its handlers until the manager goes, then loses them.
  auto* loose = Create<TPopupMenu>(nullptr);
  TMenuItem* item = NewItem("Loose", loose->Items());
  Menus()->PreparePopupMenu(loose, true);
  EXPECT_EQ(hPopup, drawOf(item));
  FreeAndNil(Manager);
  EXPECT_FALSE(item->OnAdvancedDrawItem);
  EXPECT_FALSE(item->OnMeasureItem);
  loose->Free();
}

TEST_F(SkinMenus, ItemSizesFollowTheirKind) {
  auto* images = Create<TCustomImageList>(Form);
  images->SetSize(20, 18);
  auto* popup = Create<TPopupMenu>(Form);
  auto* listed = Create<TPopupMenu>(Form);
  listed->SetImages(images);
  // A menu no form owns measures with the menu font's own charset.
  std::unique_ptr<TPopupMenu, void (*)(TPopupMenu*)> stray(Create<TPopupMenu>(nullptr),
                                                           [](TPopupMenu* m) { m->Free(); });
  auto* main = Create<TMainMenu>(Form);
  main->SetImages(images);

  // The text measures of the test itself: the screen's menu font on a screen DC.
  HDC dc = GetDC(nullptr);
  TCanvas canvas;
  canvas.SetHandle(dc);
  canvas.Font()->Assign(Screen->MenuFont());
  const auto textWidth = [&](const std::string& s) {
    RECT r{0, 0, 0, 0};
    DrawTextA(canvas.Handle(), s.c_str(), int(s.size()), &r, DT_CALCRECT | DT_NOCLIP | DT_EXPANDTABS | DT_SINGLELINE);
    return int(r.right);
  };
  const int line = int(std::nearbyint(canvas.TextHeight("W") * 1.25));
  const int plainLineWidth = canvas.TextWidth("File");

  const int m = Menus()->Margin, sp = Menus()->Spacing;
  struct TRow {
    const char* Caption;
    TMenu* Menu;
    TShortCut Key;
    int BitmapW, BitmapH;  // the item's own glyph (0: none)
    std::string Measured;  // the text measured for the width
    int GlyphW, GlyphH;
    bool CaptionItem, Separator;
  };
  const TShortCut ctrlO = ShortCut('O', TShiftState{ssCtrl});
  const TRow rows[] = {
      {"Open", popup, 0, 0, 0, "Open", 16, 16, false, false},
      {"Open", popup, ctrlO, 0, 0, "Open" + ShortCutToText(ctrlO), 16, 16, false, false},
      {"-", popup, 0, 0, 0, "", 16, 16, false, true},
      {"-Title-", popup, 0, 0, 0, "--Title--", 16, 16, true, false},
      {"--", popup, 0, 0, 0, "----", 16, 16, true, false},
      {"Big", popup, 0, 24, 30, "Big", 24, 30, false, false},
      {"Listed", listed, 0, 0, 0, "Listed", 20, 18, false, false},
      {"Stray", stray.get(), 0, 0, 0, "Stray", 16, 16, false, false},
  };
  for (const TRow& r : rows) {
    SCOPED_TRACE(std::string(r.Caption) + (r.Key ? " with shortcut" : ""));
    TMenuItem* item = NewItem(r.Caption, r.Menu->Items());
    item->SetShortCut(r.Key);
    if (r.BitmapW) item->Bitmap()->Assign(std::unique_ptr<TBitmap>(CreateBmp24(r.BitmapW, r.BitmapH)).get());
    Menus()->PrepareItems(r.Menu->Items(), true);
    MEASUREITEMSTRUCT mis{ODT_MENU, 0, item->Command(), 0, 0, reinterpret_cast<ULONG_PTR>(item)};
    TMessage msg = MakeMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
    ASSERT_TRUE(DispatchMenuMessage(msg));
    const int height = r.Separator ? 2 : (r.CaptionItem ? line : std::max(line, r.GlyphH)) + 2 * m;
    EXPECT_EQ(2 * r.GlyphW + (r.Measured.empty() ? 0 : textWidth(r.Measured)) + 3 * m + sp, int(mis.itemWidth));
    EXPECT_EQ(height, int(mis.itemHeight));
    EXPECT_EQ(r.Separator ? smDivider : r.CaptionItem ? smCaption : smNormal, MenuState.LastItemType);
    EXPECT_TRUE(PopupMenuShown);
  }

  // The main-menu line: the caption without its "&", the image list's width and 6 beside it.
  TMenuItem* file = NewItem("&File", main->Items());
  Menus()->PrepareMainMenu(main, true);
  for (int index : {-1, 2}) {
    file->SetImageIndex(index);
    MEASUREITEMSTRUCT mis{ODT_MENU, 0, file->Command(), 0, 0, reinterpret_cast<ULONG_PTR>(file)};
    TMessage msg = MakeMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
    ASSERT_TRUE(DispatchMenuMessage(msg));
    EXPECT_EQ(plainLineWidth + (index >= 0 ? 20 + 6 : 0), int(mis.itemWidth));
    EXPECT_EQ(GetSystemMetrics(SM_CYMENU) - 1, int(mis.itemHeight));
  }
  canvas.SetHandle(nullptr);
  ReleaseDC(nullptr, dc);
}

TEST_F(SkinMenus, ColumnsOfAPopupWithTheExtraLine) {
  Manager->MenuSupport()->UseExtraLine = true;
  Manager->MenuSupport()->ExtraLineWidth = 24;
  auto* popup = Create<TPopupMenu>(Form);
  TMenuItem* first = NewItem("One", popup->Items());
  TMenuItem* second = NewItem("Two", popup->Items());
  second->SetBreak(mbBreak);
  Menus()->PreparePopupMenu(popup, true);
  int widths[2] = {};
  for (int i = 0; i < 2; ++i) {
    TMenuItem* item = popup->Items()->Items(i);
    MEASUREITEMSTRUCT mis{ODT_MENU, 0, item->Command(), 0, 0, reinterpret_cast<ULONG_PTR>(item)};
    TMessage msg = MakeMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
    ASSERT_TRUE(DispatchMenuMessage(msg));
    widths[i] = int(mis.itemWidth);
  }
  // Same text width ("One", "Two" in most fonts differ: compare the difference to the measures).
  HDC dc = GetDC(nullptr);
  TCanvas c;
  c.SetHandle(dc);
  c.Font()->Assign(Screen->MenuFont());
  const int diff = c.TextWidth("One") - c.TextWidth("Two");
  c.SetHandle(nullptr);
  ReleaseDC(nullptr, dc);
  EXPECT_EQ(24 + diff, widths[0] - widths[1]) << "the extra line widens the first column only";
  // Without the application's event the line shows the reminder in section "EXTRALINE".
  EXPECT_TRUE(MenuState.ExtraLineVisible);
  EXPECT_EQ("EXTRALINE", MenuState.ExtraSection);
  EXPECT_EQ("Don`t forget OnGetExtraLineData event...", MenuState.ExtraCaption);
  // The skin-choice popup never shows it.
  ClearMenuState();
  first->SetName("SkinSelectItem");
  MEASUREITEMSTRUCT mis{ODT_MENU, 0, first->Command(), 0, 0, reinterpret_cast<ULONG_PTR>(first)};
  TMessage msg = MakeMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
  ASSERT_TRUE(DispatchMenuMessage(msg));
  EXPECT_FALSE(MenuState.ExtraLineVisible);
  EXPECT_EQ(0, Menus()->ActiveExtraLineWidth());
}

// A real popup: the items as drawn, then the first one selected from the keyboard.
TEST_F(SkinMenus, PopupItemsShowTheirStatesOnTheScreen) {
  auto* popup = Create<TPopupMenu>(Form);
  TMenuItem* normal = NewItem("Normal", popup->Items());
  NewItem("Checked", popup->Items())->SetChecked(true);
  TMenuItem* radio = NewItem("Radio", popup->Items());
  radio->SetRadioItem(true);
  radio->SetChecked(true);
  NewItem("-", popup->Items());
  NewItem("-Caption-", popup->Items());
  NewItem("Disabled", popup->Items())->SetEnabled(false);
  NewItem("Inner", NewItem("Submenu", popup->Items()));
  Menus()->PreparePopupMenu(popup, true);
  std::vector<std::pair<TMenuItem*, TOwnerDrawState>> drawn;
  Menus()->OnDrawItem =
      TsMenuManagerDrawItemEvent(&drawn, [](void* d, TObject* s, TCanvas*, TRect, TOwnerDrawState st, TsMenuItemType) {
        static_cast<decltype(drawn)*>(d)->emplace_back(static_cast<TMenuItem*>(s), st);
      });
  const auto selectedDrawn = [&] {
    for (const auto& [item, state] : drawn)
      if (item == normal && state.Contains(odSelected)) return true;
    return false;
  };

  Capture before, after;
  RECT wr{};
  std::vector<RECT> items;
  TSettledShot settledBefore, settledAfter;
  TMenuScript script;
  script
      .Then([&] {
        HWND wnd = DrawnPopup();
        if (!wnd) return false;
        GetWindowRect(wnd, &wr);
        if (!settledBefore.Take(wr, before)) return false;
        for (int i = 0; i < popup->Items()->Count(); ++i) items.push_back(PopupItemRect(popup->Items()->Handle(), i));
        PressKey(VK_DOWN);
        return true;
      })
      .Then([&] { return selectedDrawn() && settledAfter.Take(wr, after); });
  ASSERT_TRUE(script.Run(popup, 140, 120));
  ASSERT_EQ(7u, items.size());

  const COLORREF background = Frame("MAINMENU", "BORDERSMASK");
  const COLORREF item = SectionColor("MENUITEM");
  const COLORREF text = ColorToRGB(SectionTextColor(Manager->SectionIndexOf("MENUITEM"), true, false, Manager));
  // A point of an item, from its left (x >= 0) or right (x < 0) edge, on its middle row (or its
  // top row for the 2-pixel separator).
  const auto at = [&](const Capture& c, int index, int x, bool top = false) {
    const RECT& r = items[std::size_t(index)];
    const int px = (x >= 0 ? r.left + x : r.right + x) - wr.left;
    return c.Pixel(px, (top ? r.top : (r.top + r.bottom) / 2) - wr.top);
  };
  const int checkX = Menus()->Margin + 6;  // the middle of a 13-pixel check frame
  struct TProbe {
    const char* What;
    COLORREF Actual, Expected;
  };
  const TProbe probes[] = {
      {"normal item", at(before, 0, -6), item},
      {"selected item", at(after, 0, -6), SectionColor("MENUITEM", true)},
      {"check mark", at(before, 1, checkX), Frame("GLOBALINFO", "CHECK")},
      {"radio mark", at(before, 2, checkX), Frame("GLOBALINFO", "RADIOCHECKED")},
      {"separator line", at(before, 3, (items[3].right - items[3].left) / 2, true), Frame("DIVIDERV", "BORDERSMASK")},
      {"caption item", at(before, 4, -6), SectionColor("TOOLBAR")},
      {"disabled item", at(before, 5, -6), Mix(background, item, 0.4)},
      {"frame", before.Pixel(1, before.Height() / 2), background},
      {"submenu arrow", at(before, 6, -8), text},
  };
  for (const TProbe& p : probes)
    EXPECT_TRUE(Near(p.Expected, p.Actual))
        << p.What << ": " << ColorText(p.Actual) << ", expected " << ColorText(p.Expected);
  // The submenu item's end shows the item and its arrow only: none of the system's arrow box.
  const RECT& sub = items[6];
  for (int y = sub.top; y < sub.bottom; ++y)
    for (int x = sub.right - 24; x < sub.right; ++x) {
      const COLORREF c = before.Pixel(x - wr.left, y - wr.top);
      ASSERT_TRUE(c == item || c == text)
          << "submenu item at " << x - sub.left << "," << y - sub.top << ": " << ColorText(c);
    }
}

// Items of a section that lets the popup's background through show the extra line, its glyph and
// the icon column; the application's glyph stays the application's.
TEST_F(SkinMenus, ExtraLineAndIconColumnShowThroughTransparentItems) {
  TSkinBuilder skin = MenuSkin();
  skin.Key("MENUITEM", "TRANSPARENCY", "100");
  LoadSkin(skin);
  TacMenuSupport* support = Manager->MenuSupport();
  support->UseExtraLine = true;
  support->ExtraLineWidth = 24;
  support->IcoLineSkin = "ICOLINE";
  // A red square on the transparent key.
  std::unique_ptr<TBitmap> glyph(CreateBmp24(8, 8));
  FillBmpRect(glyph.get(), TRect{0, 0, 8, 8}, TColor(0xFF00FF));
  FillBmpRect(glyph.get(), TRect{2, 2, 6, 6}, TColor(0x0000C0));
  struct TEvent {
    TBitmap* Glyph;
    int Calls = 0;
    void Get(TMenuItem*, std::string& section, std::string& caption, TBitmap*& g, bool& visible) {
      ++Calls;
      section = "EXTRALINE";
      caption = "&Tools";
      g = Glyph;
      visible = true;
    }
  } event{glyph.get()};
  Manager->OnGetMenuExtraLineData = MakeMethod<&TEvent::Get>(&event);
  auto* popup = Create<TPopupMenu>(Form);
  for (const char* c : {"One", "Two", "Three", "Four", "Five"}) NewItem(c, popup->Items());
  Menus()->PreparePopupMenu(popup, true);

  Capture shot;
  RECT item{};
  TSettledShot settled;
  TMenuScript script;
  script.Then([&] {
    HWND wnd = DrawnPopup();
    if (!wnd) return false;
    RECT wr{};
    GetWindowRect(wnd, &wr);
    item = PopupItemRect(popup->Items()->Handle(), 0);
    OffsetRect(&item, -wr.left, -wr.top);
    return settled.Take(wr, shot);
  });
  ASSERT_TRUE(script.Run(popup, 140, 120));
  EXPECT_EQ(1, event.Calls) << "once per popup";
  EXPECT_EQ("Tools", MenuState.ExtraCaption) << "the caption without its \"&\"";
  const int border = Menus()->GetSkinBorderWidth();
  EXPECT_EQ(3, border) << "the frame mask names no border width";
  const int y = (item.top + item.bottom) / 2;
  const int textStart = Menus()->Margin + 16 + Menus()->Spacing;
  struct TProbe {
    const char* What;
    POINT At;
    COLORREF Expected;
  };
  const TProbe probes[] = {
      {"extra line", {border + 2, y}, SectionColor("EXTRALINE")},
      {"extra line glyph", {border + 12, shot.Height() - border - 12 - 4}, COLORREF(0x0000C0)},
      {"icon column", {border + 24 + textStart / 2, y}, SectionColor("ICOLINE")},
      {"background", {int(item.right) - 4, y}, Frame("MAINMENU", "BORDERSMASK")},
  };
  for (const TProbe& p : probes) EXPECT_EQ(ColorText(p.Expected), ColorText(shot.Pixel(p.At.x, p.At.y))) << p.What;
  EXPECT_EQ(DWORD(OBJ_BITMAP), GetObjectType(glyph->Handle())) << "the application's glyph is left alone";
  EXPECT_EQ(nullptr, MenuState.ExtraGlyph) << "the copy is freed once painted";
}

// A speed button's drop-down menu, opened by a real click on the arrow: the hints its press
// switched off are back while the menu shows (the button itself restores them only once the menu
// has closed), and the button is no longer recorded as the dropped-down one.
TEST_F(SkinMenus, DropDownMenuBringsTheHintsBack) {
  auto* popup = Create<TPopupMenu>(Form);
  NewItem("First", popup->Items());
  NewItem("Second", popup->Items());
  Menus()->PreparePopupMenu(popup, true);
  auto* button = Create<TsSpeedButton>(Form);
  button->SetParent(Form);
  button->SetBounds(20, 20, 90, 28);
  button->SetButtonStyle(tbsDropDown);
  button->SetDropdownMenu(popup);
  Application->SetShowHint(true);
  flush_events();
  bool hintsOnWhileShown = false, recordCleared = false;
  TMenuScript script;
  script.Then([&] {
    if (!DrawnPopup()) return false;
    hintsOnWhileShown = Application->ShowHint();
    recordCleared = DroppedDownButton() == nullptr;
    return true;
  });
  const TPoint arrow = button->ClientToScreen(TPoint{90 - DropDownArrowWidth / 2, 14});
  ASSERT_TRUE(script.Run([&] {
    MouseTo(POINT{arrow.X, arrow.Y});
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    pump_until([&] { return script.Over(); }, 8000);
  }));
  MouseButton(MOUSEEVENTF_LEFTUP);
  flush_events();
  EXPECT_TRUE(hintsOnWhileShown);
  EXPECT_TRUE(recordCleared);
  EXPECT_TRUE(Application->ShowHint());
}

// Drawing on a DC that belongs to no window: the background is sized from the items, and the
// manager is asked once to find the popup window.
TEST_F(SkinMenus, DrawingWithoutAWindowAsksTheManagerOnce) {
  auto* popup = Create<TPopupMenu>(Form);
  TMenuItem* one = NewItem("One", popup->Items());
  NewItem("Two", popup->Items());
  Menus()->PreparePopupMenu(popup, true);
  std::unique_ptr<TBitmap> target(CreateBmp24(200, 60));
  TCanvas* canvas = target->Canvas();
  canvas->Lock();
  const int width = Menus()->PopupWidth(one, canvas), height = Menus()->PopupHeight(one, canvas);
  MSG stale;
  while (PeekMessageA(&stale, Application->Handle(), WM_POPUPMENUSHOWN, WM_POPUPMENUSHOWN2, PM_REMOVE)) {
  }
  for (int i = 0; i < 2; ++i) one->AdvancedDrawItem(canvas, TRect{3, 3, 120, 23}, TOwnerDrawState{}, false);
  ASSERT_NE(nullptr, MenuBitmap);
  EXPECT_EQ(width + 6, MenuBitmap->Width());
  EXPECT_EQ(height + 6, MenuBitmap->Height());
  EXPECT_EQ(ColorText(SectionColor("MENUITEM")), ColorText(CaptureBitmap(target->Handle()).Pixel(110, 12)));
  canvas->Unlock();
  MSG m;
  int posted = 0;
  LPARAM data = 0;
  while (PeekMessageA(&m, Application->Handle(), WM_POPUPMENUSHOWN, WM_POPUPMENUSHOWN2, PM_REMOVE)) {
    ++posted;
    data = m.lParam;
  }
  EXPECT_EQ(1, posted);
  EXPECT_EQ(reinterpret_cast<LPARAM>(one), data);
}

// The main-menu line: items over the provider's background in the section's colours, a disabled
// one laid under the background at 102 of 255; without a provider the class library's look.
class TProviderForm : public TForm {
 public:
  QV_CLASS_NAME(TProviderForm)
  using TForm::TForm;
  TsSkinProvider* Provider = nullptr;
  void WndProc(TMessage& Message) override {
    if (Message.Msg == SM_QUORVEXCMD && Message.WParamHi() == QC_GETPROVIDER && Provider) {
      Message.Result = reinterpret_cast<LRESULT>(Provider);
      return;
    }
    TForm::WndProc(Message);
  }
};

TEST_F(SkinMenus, MainMenuLineIsDrawnOverTheProvidersBackground) {
  const COLORREF lineBack = 0x30507A;
  for (bool withProvider : {true, false}) {
    SCOPED_TRACE(withProvider ? "provider" : "no provider");
    auto* form = Create<TProviderForm>(Application);
    form->SetBounds(60, 60, 300, 200);
    auto* main = Create<TMainMenu>(form);
    NewItem("&File", main->Items());
    NewItem("&Edit", main->Items())->SetEnabled(false);
    form->SetMenu(main);
    if (withProvider) {
      form->Provider = Create<TsSkinProvider>(form);
      form->Provider->TempBmp->SetSize(300, GetSystemMetrics(SM_CYMENU));
      FillBmpRect(form->Provider->TempBmp, TRect{0, 0, 300, GetSystemMetrics(SM_CYMENU)}, TColor(lineBack));
    }
    Menus()->InitComponent(form, true);
    form->Show();
    DrawMenuBar(form->Handle());
    flush_events();
    const auto itemPixel = [&](int index) {
      RECT r{};
      GetMenuItemRect(form->Handle(), GetMenu(form->Handle()), UINT(index), &r);
      return CaptureScreenRect(r).Pixel(int(r.right - r.left) - 2, int(r.bottom - r.top) / 2);
    };
    if (withProvider) {
      // Items at rest, enabled or not, lie on the line (never boxes of the item section's colour).
      EXPECT_EQ(ColorText(lineBack), ColorText(itemPixel(0)));
      EXPECT_EQ(ColorText(lineBack), ColorText(itemPixel(1)));
      // A hot one shows the item section's hot look.
      const int h = GetSystemMetrics(SM_CYMENU);
      TBitmap* hot = CreateBmp24(60, h);
      main->Items()->Items(0)->AdvancedDrawItem(hot->Canvas(), TRect{0, 0, 60, h}, TOwnerDrawState{odSelected}, true);
      EXPECT_EQ(ColorText(SectionColor("MENUITEM", true)), ColorText(CaptureBitmap(hot->Handle()).Pixel(57, h / 2)));
      hot->Free();
    } else {
      EXPECT_EQ(ColorText(GetSysColor(COLOR_MENU)), ColorText(itemPixel(0)));
    }
    form->Free();
    flush_events();
  }
}

}  // namespace
}  // namespace qvtest
