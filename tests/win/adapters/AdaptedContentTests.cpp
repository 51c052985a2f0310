// What adapted windows show of their own: for every kind of window the adapters take over (in a
// dialog through the dialog hook, and in a plain window with clipped children given the adapter the
// hook would give), the texts, images, icons, arrows and notes the window shows without a skin are
// found where it shows them, under the shipped skins "Default" and "Graphite"; and when the skin goes,
// or the adapters are freed while it stays, the window shows exactly its never-skinned picture.
//
// A content is found by difference: each window is made twice side by side, once with the content
// and once without it (its text empty, no image, no note, another button type); the pixels where the
// two pictures differ clearly (some channel by a quarter of its range or more) are the content's.
// Where the plain windows show such pixels, the adapted ones must show them too (at least a fifth as
// many). A look compared with another window instead (a checked push-like check box against a pushed
// push button) must agree in every pixel.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "skin/engine/acSkinPack.h"
#include "skin/windows/acDials.h"
#include "skin/windows/core/acDialogGeometry.h"
#include "tests/support/AdapterTestSupport.h"

namespace qvtest {
namespace {

namespace fs = std::filesystem;

fs::path SkinsFolder() { return fs::path(__FILE__).parent_path().parent_path().parent_path().parent_path() / "skins"; }

// The common controls of version 6 for the windows made while an object of this class lives.
class TVersion6 {
 public:
  explicit TVersion6(bool on) {
    if (!on) return;
    static HANDLE context = [] {
      const fs::path manifest = fs::temp_directory_path() / "qv_common_controls_6.manifest";
      std::ofstream(manifest) << "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
                                 "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">"
                                 "<dependency><dependentAssembly><assemblyIdentity type=\"win32\" "
                                 "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\" "
                                 "processorArchitecture=\"*\" publicKeyToken=\"6595b64144ccf1df\" language=\"*\"/>"
                                 "</dependentAssembly></dependency></assembly>";
      const std::string path = manifest.string();
      ACTCTXA ctx{};
      ctx.cbSize = sizeof ctx;
      ctx.lpSource = path.c_str();
      return CreateActCtxA(&ctx);
    }();
    if (context != INVALID_HANDLE_VALUE && ActivateActCtx(context, &Cookie_)) Active_ = true;
  }
  ~TVersion6() {
    if (Active_) DeactivateActCtx(0, Cookie_);
  }
  TVersion6(const TVersion6&) = delete;
  TVersion6& operator=(const TVersion6&) = delete;

 private:
  ULONG_PTR Cookie_ = 0;
  bool Active_ = false;
};

HICON WarningIcon() { return LoadIcon(nullptr, IDI_WARNING); }

// A 16 x 16 bitmap of one colour, kept for the whole run.
HBITMAP Swatch() {
  static HBITMAP bmp = [] {
    HDC screen = GetDC(nullptr);
    HBITMAP b = CreateCompatibleBitmap(screen, 16, 16);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, b);
    const RECT r{0, 0, 16, 16};
    HBRUSH brush = CreateSolidBrush(RGB(200, 30, 160));
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return b;
  }();
  return bmp;
}

HWND Child(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w, int h) {
  return CreateControl(parent, cls, text, style, x, y, w, h);
}

// ---- The windows of the table: each made with its content, or without it (Blank) ---------------------

using TMaker = HWND (*)(HWND Parent, int X, int Y, int W, int H, bool Blank);

HWND StaticText(HWND p, int x, int y, int w, int h, bool blank) {
  return Child(p, "STATIC", blank ? "" : "Static text", SS_LEFT, x, y, w, h);
}
HWND StaticIcon(HWND p, int x, int y, int w, int h, bool blank) {
  HWND wnd = Child(p, "STATIC", "", SS_ICON, x, y, w, h);
  if (!blank) SendMessageA(wnd, STM_SETICON, WPARAM(WarningIcon()), 0);
  return wnd;
}
// Shapes: the blank is a text static without text.
HWND Shape(HWND p, int x, int y, int w, int h, bool blank, DWORD style) {
  return Child(p, "STATIC", "", blank ? SS_LEFT : style, x, y, w, h);
}
HWND BlackFrame(HWND p, int x, int y, int w, int h, bool blank) { return Shape(p, x, y, w, h, blank, SS_BLACKFRAME); }
HWND BlackRect(HWND p, int x, int y, int w, int h, bool blank) { return Shape(p, x, y, w, h, blank, SS_BLACKRECT); }
HWND EtchedLine(HWND p, int x, int y, int w, int h, bool blank) { return Shape(p, x, y, w, h, blank, SS_ETCHEDHORZ); }
HWND GrayRect(HWND p, int x, int y, int w, int h, bool blank) { return Shape(p, x, y, w, h, blank, SS_GRAYRECT); }
HWND PushButton(HWND p, int x, int y, int w, int h, bool blank) {
  return Child(p, "BUTTON", blank ? "" : "Push", BS_PUSHBUTTON, x, y, w, h);
}
HWND IconButton(HWND p, int x, int y, int w, int h, bool blank) {
  HWND wnd = Child(p, "BUTTON", "", BS_PUSHBUTTON | BS_ICON, x, y, w, h);
  if (!blank) SendMessageA(wnd, BM_SETIMAGE, IMAGE_ICON, LPARAM(WarningIcon()));
  return wnd;
}
HWND BitmapButton(HWND p, int x, int y, int w, int h, bool blank) {
  HWND wnd = Child(p, "BUTTON", "", BS_PUSHBUTTON | BS_BITMAP, x, y, w, h);
  if (!blank) SendMessageA(wnd, BM_SETIMAGE, IMAGE_BITMAP, LPARAM(Swatch()));
  return wnd;
}
HWND SplitButton(HWND p, int x, int y, int w, int h, bool blank) {
  return Child(p, "BUTTON", "Split", blank ? BS_PUSHBUTTON : BS_SPLITBUTTON, x, y, w, h);
}
HWND DefaultSplitButton(HWND p, int x, int y, int w, int h, bool blank) {
  return Child(p, "BUTTON", "Split", blank ? BS_SPLITBUTTON : BS_DEFSPLITBUTTON, x, y, w, h);
}
HWND CommandLink(HWND p, int x, int y, int w, int h, bool blank, DWORD type, bool note) {
  HWND wnd = Child(p, "BUTTON", "Copy the session", type, x, y, w, h);
  if (note) SendMessageW(wnd, BCM_SETNOTE, 0, LPARAM(L"All files, changed or not"));
  (void)blank;
  return wnd;
}
HWND LinkNote(HWND p, int x, int y, int w, int h, bool blank) {
  return CommandLink(p, x, y, w, h, blank, BS_COMMANDLINK, !blank);
}
HWND LinkArrow(HWND p, int x, int y, int w, int h, bool blank) {
  if (blank) return Child(p, "BUTTON", "", BS_PUSHBUTTON, x, y, w, h);
  return CommandLink(p, x, y, w, h, blank, BS_COMMANDLINK, true);
}
HWND DefaultLink(HWND p, int x, int y, int w, int h, bool blank) {
  return CommandLink(p, x, y, w, h, blank, blank ? BS_COMMANDLINK : BS_DEFCOMMANDLINK, true);
}
// Looked at against a push button held down.
HWND PushLike(HWND p, int x, int y, int w, int h, bool blank) {
  if (blank) {
    HWND wnd = Child(p, "BUTTON", "Check", BS_PUSHBUTTON, x, y, w, h);
    SendMessageA(wnd, BM_SETSTATE, TRUE, 0);
    return wnd;
  }
  HWND wnd = Child(p, "BUTTON", "Check", BS_AUTOCHECKBOX | BS_PUSHLIKE, x, y, w, h);
  SendMessageA(wnd, BM_SETCHECK, BST_CHECKED, 0);
  return wnd;
}
// The blank caption is as many spaces as take the caption's width, so that the frame keeps its place.
std::string SpacesAsWide(const char* text) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  SIZE whole{}, space{};
  GetTextExtentPoint32A(dc, text, lstrlenA(text), &whole);
  GetTextExtentPoint32A(dc, " ", 1, &space);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return std::string(std::size_t(space.cx > 0 ? (whole.cx + space.cx / 2) / space.cx : 1), ' ');
}
HWND GroupBox(HWND p, int x, int y, int w, int h, bool blank) {
  static const std::string spaces = SpacesAsWide("Group caption");
  return Child(p, "BUTTON", blank ? spaces.c_str() : "Group caption", BS_GROUPBOX, x, y, w, h);
}
HWND ListToolBar(HWND p, int x, int y, int w, int h, bool blank) {
  HWND tb = Child(p, TOOLBARCLASSNAMEA, "",
                  TBSTYLE_LIST | TBSTYLE_FLAT | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER, x, y, w, h);
  SendMessageA(tb, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  static HIMAGELIST images = [] {
    HIMAGELIST il = ImageList_Create(16, 16, ILC_COLOR24, 1, 0);
    ImageList_Add(il, Swatch(), nullptr);
    return il;
  }();
  SendMessageA(tb, TB_SETIMAGELIST, 0, LPARAM(images));
  // Buttons of one width, with their texts or with blanks.
  SendMessageA(tb, TB_SETBUTTONWIDTH, 0, MAKELPARAM(80, 80));
  TBBUTTON buttons[2] = {};
  const char* texts[] = {"Open", "Save all"};
  for (int i = 0; i < 2; ++i) {
    buttons[i].idCommand = 100 + i;
    buttons[i].fsState = TBSTATE_ENABLED;
    buttons[i].fsStyle = BTNS_SHOWTEXT;
    buttons[i].iString = INT_PTR(blank ? " " : texts[i]);
  }
  SendMessageA(tb, TB_ADDBUTTONSA, 2, LPARAM(buttons));
  return tb;
}
HWND ListView(HWND p, int x, int y, int w, int h, bool blank) {
  HWND list = Child(p, WC_LISTVIEWA, "", LVS_LIST | WS_BORDER, x, y, w, h);
  if (!blank) {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.pszText = const_cast<char*>("First row");
    SendMessageA(list, LVM_INSERTITEMA, 0, LPARAM(&item));
  }
  return list;
}
HWND TreeView(HWND p, int x, int y, int w, int h, bool blank) {
  HWND tree = Child(p, WC_TREEVIEWA, "", TVS_HASLINES | WS_BORDER, x, y, w, h);
  if (!blank) {
    TVINSERTSTRUCTA ins{};
    ins.hParent = TVI_ROOT;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT;
    ins.item.pszText = const_cast<char*>("Branch");
    SendMessageA(tree, TVM_INSERTITEMA, 0, LPARAM(&ins));
  }
  return tree;
}
HWND StatusBar(HWND p, int x, int y, int w, int h, bool simple, bool blank) {
  HWND bar = Child(p, STATUSCLASSNAMEA, "", CCS_NOPARENTALIGN | CCS_NORESIZE, x, y, w, h);
  if (simple) {
    SendMessageA(bar, SB_SIMPLE, TRUE, 0);
    SendMessageA(bar, SB_SETTEXTA, SB_SIMPLEID, LPARAM(blank ? "" : "Simple status text"));
    return bar;
  }
  int parts[2] = {w / 2, -1};
  SendMessageA(bar, SB_SETPARTS, 2, LPARAM(parts));
  SendMessageA(bar, SB_SETTEXTA, 0, LPARAM("Ready"));
  if (!blank) SendMessageA(bar, SB_SETICON, 0, LPARAM(WarningIcon()));
  return bar;
}
HWND SimpleStatus(HWND p, int x, int y, int w, int h, bool blank) { return StatusBar(p, x, y, w, h, true, blank); }
HWND StatusIcon(HWND p, int x, int y, int w, int h, bool blank) { return StatusBar(p, x, y, w, h, false, blank); }

// Where a content lies in its window (the whole window when nullptr).
using TWhere = RECT (*)(int W, int H);
RECT RightPart(int w, int h) { return RECT{w - 14, 0, w, h}; }
RECT LeftPart(int w, int h) { return RECT{0, 0, 32, h}; }
// The caption's upper half, above the frame's top line.
RECT TopBand(int w, int) { return RECT{0, 0, w, 6}; }

struct TContentRow {
  const char* Name;
  TMaker Make;
  int W, H;
  bool Version6;
  TWhere Where = nullptr;
  // Not a content: the look is compared with the blank window's (the plain pictures may differ: the
  // system hatches a checked push-like box where a pushed button is only sunken).
  bool Looks = false;
  bool StatusBar = false;  // given its adapter by the test (the hook gives a status bar none)
  bool Adapted = true;     // the hook gives it an adapter
};

const TContentRow Rows[] = {
    {"StaticText", StaticText, 90, 20, false},
    {"StaticIcon", StaticIcon, 40, 40, false},
    {"BlackFrame", BlackFrame, 60, 30, false},
    {"BlackRectangle", BlackRect, 60, 30, false},
    {"EtchedLine", EtchedLine, 60, 10, false},
    {"GrayRectangle", GrayRect, 60, 30, false, nullptr, false, false, false},
    {"PushButton", PushButton, 80, 26, false},
    {"IconButton", IconButton, 44, 44, false},
    {"BitmapButton", BitmapButton, 40, 30, true},
    {"SplitButtonArrow", SplitButton, 100, 26, true, RightPart},
    {"DefaultSplitButton", DefaultSplitButton, 100, 26, true},
    {"CommandLinkNote", LinkNote, 220, 58, true},
    {"CommandLinkArrow", LinkArrow, 220, 58, true, LeftPart},
    {"DefaultCommandLink", DefaultLink, 220, 58, true},
    {"PushLikeCheckBox", PushLike, 80, 26, false, nullptr, true},
    {"GroupBoxCaption", GroupBox, 140, 60, false, TopBand},
    {"ListToolBarCaptions", ListToolBar, 180, 26, true},
    {"ListView", ListView, 140, 70, false},
    {"TreeView", TreeView, 140, 70, false},
    {"SimpleStatusBar", SimpleStatus, 220, 22, false, nullptr, false, true},
    {"StatusBarIcon", StatusIcon, 220, 22, false, nullptr, false, true},
};

enum class THost { Dialog, ClippingWindow };

struct TParam {
  const TContentRow* Row;
  THost Host;
};

std::string ParamName(const ::testing::TestParamInfo<TParam>& info) {
  return std::string(info.param.Row->Name) + (info.param.Host == THost::Dialog ? "InDialog" : "InClippingWindow");
}

std::vector<TParam> AllParams() {
  std::vector<TParam> all;
  for (const TContentRow& row : Rows)
    for (THost host : {THost::Dialog, THost::ClippingWindow}) all.push_back(TParam{&row, host});
  return all;
}

// A dialog of the dialog class as the system makes one from a template.
INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

HWND MakeDialogHost() {
  alignas(4) WORD buf[64] = {};
  auto* t = reinterpret_cast<DLGTEMPLATE*>(buf);
  t->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  t->cx = 200;
  t->cy = 100;
  WORD* p = reinterpret_cast<WORD*>(t + 1);
  *p++ = 0;
  *p++ = 0;
  for (const char* c = "Content"; *c; ++c) *p++ = WORD(*c);
  *p++ = 0;
  HWND dlg = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), t, nullptr, QuietDialogProc, 0);
  SetWindowPos(dlg, nullptr, 40, 40, 560, 200, SWP_NOZORDER | SWP_NOACTIVATE);
  return dlg;
}

class AdaptedContent : public AdapterTest, public ::testing::WithParamInterface<TParam> {
 protected:
  struct TScene {
    HWND Host = nullptr, Shown = nullptr, Blank = nullptr;
    std::vector<TacMainWnd*> Adapters;  // made by the test
  };

  void TearDown() override {
    FreeScene(Scene_);
    AdapterTest::TearDown();
  }

  const TContentRow& Row() const { return *GetParam().Row; }
  bool InDialog() const { return GetParam().Host == THost::Dialog; }

  // The host with an edit that holds the focus, the window with its content and the one without,
  // side by side; shown, and adapted as the skin that is on gives (the hook adapts a dialog's
  // windows as it shows; the test gives the clipping window's the hook's adapters).
  void MakeScene() {
    FreeScene(Scene_);
    TScene& s = Scene_;
    s.Host = InDialog() ? MakeDialogHost() : CreatePlainWindow(nullptr, WS_CLIPCHILDREN, 40, 40, 560, 200);
    HWND focus = CreateControl(s.Host, "EDIT", "", WS_TABSTOP | WS_BORDER, 4, 4, 30, 20);
    {
      TVersion6 v6(Row().Version6);
      s.Shown = Row().Make(s.Host, 20, 50, Row().W, Row().H, false);
      s.Blank = Row().Make(s.Host, 40 + Row().W, 50, Row().W, Row().H, true);
    }
    // Painted whole once everything is set (a window does not repaint for every setting).
    RedrawWindow(s.Host, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    ShowWindow(s.Host, SW_SHOW);
    SetForegroundWindow(s.Host);
    SetFocus(focus);
    flush_events(60, 1500);
    if (Manager->Active()) {
      for (HWND wnd : {s.Shown, s.Blank}) {
        if (GetWndAdapter(wnd)) continue;
        TacAdapterMaker maker = nullptr;
        std::string section = "STATUSBAR";
        if (Row().StatusBar) {
          maker = MakeAdapter<TacStatusBarWnd>;
        } else if (!InDialog()) {
          char cls[64] = {};
          GetClassNameA(wnd, cls, sizeof cls);
          RECT r{};
          GetWindowRect(wnd, &r);
          const qv::TacDialogChildChoice choice =
              qv::DialogChildAdapter(qv::LowerClassName(cls), std::uint32_t(GetWindowLongPtrA(wnd, GWL_STYLE)),
                                     r.right - r.left, r.bottom - r.top);
          maker = DialogChildMakers[std::size_t(choice.Kind)];
          section = choice.Section;
        }
        if (maker) s.Adapters.push_back(maker(wnd, nullptr, Manager, section, true));
      }
      flush_events(60, 1000);
    }
  }

  void FreeScene(TScene& s) {
    for (TacMainWnd* a : s.Adapters) a->Free();
    s.Adapters.clear();
    if (s.Host && IsWindow(s.Host)) DestroyWindow(s.Host);
    s = TScene{};
    flush_events(30, 500);
  }

  // The dialog's provider and every adapter the test made are freed while the skin stays.
  void FreeAdapters() {
    for (TacMainWnd* a : Scene_.Adapters) a->Free();
    Scene_.Adapters.clear();
    if (DialogProviders)
      for (int i = 0; i < DialogProviders->Count(); ++i)
        if (auto* p = static_cast<TacProvider*>(DialogProviders->Items(i)); p && p->Wnd == Scene_.Host) p->Free();
    flush_events(60, 1000);
  }

  struct TPictures {
    Capture Shown, Blank;
  };
  TPictures Take() {
    MouseTo(2, 2);
    return TPictures{SettledScreen(Scene_.Shown), SettledScreen(Scene_.Blank)};
  }

  RECT Region() const { return Row().Where ? Row().Where(Row().W, Row().H) : RECT{0, 0, Row().W, Row().H}; }

  // The pixels of the region where the two pictures differ clearly.
  int ContentPixels(const TPictures& p) const {
    const RECT r = Region();
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) {
        const COLORREF a = p.Shown.Pixel(x, y), b = p.Blank.Pixel(x, y);
        if (a == CLR_INVALID || b == CLR_INVALID) continue;
        const int d =
            std::max({std::abs(int(GetRValue(a)) - int(GetRValue(b))), std::abs(int(GetGValue(a)) - int(GetGValue(b))),
                      std::abs(int(GetBValue(a)) - int(GetBValue(b)))});
        n += d >= 64;
      }
    return n;
  }

  // What the adapted windows show under the skin that is on, against the plain pictures.
  void ExpectContentKept(const TPictures& plain, const char* skin) {
    SCOPED_TRACE(skin);
    EXPECT_EQ(Row().Adapted, GetWndAdapter(Scene_.Shown) != nullptr) << "the window is adapted";
    const TPictures now = Take();
    if (Row().Looks) {
      EXPECT_EQ(0, DifferingPixels(now.Shown, now.Blank)) << "looks like the window it is compared with";
      return;
    }
    const int want = ContentPixels(plain);
    if (want == 0) return;  // the plain window does not show it (the common controls' version)
    EXPECT_GE(ContentPixels(now), std::max(3, want / 5)) << want << " pixels of content without the skin";
  }

  TScene Scene_;
};

TEST_P(AdaptedContent, KeptUnderBothSkinsAndGivenBackWhole) {
  ASSERT_TRUE(fs::is_directory(SkinsFolder()));
  Manager->SetSkinDirectory(SkinsFolder().string());
  // The never-skinned pictures.
  Manager->SetActive(false);
  MakeScene();
  const TPictures plain = Take();
  ASSERT_FALSE(plain.Shown.Empty());

  // Under both shipped skins, the second one switched to while the windows show.
  Manager->SetSkinName(BuiltInSkinName);
  Manager->SetActive(true);
  ASSERT_TRUE(Manager->SkinData()->Active) << Manager->LastError();
  MakeScene();
  ExpectContentKept(plain, "Default");
  Manager->SetSkinName("Graphite");
  ASSERT_TRUE(Manager->SkinData()->Active) << Manager->LastError();
  flush_events(60, 1000);
  ExpectContentKept(plain, "Graphite");

  // The skin removed: the never-skinned picture.
  Manager->SetActive(false);
  flush_events(60, 1000);
  EXPECT_EQ(0, DifferingPixels(plain.Shown, Take().Shown)) << "after the skin went";

  // The adapters freed while the skin stays: the same.
  Manager->SetActive(true);
  MakeScene();
  FreeAdapters();
  EXPECT_EQ(nullptr, GetWndAdapter(Scene_.Shown));
  EXPECT_EQ(0, DifferingPixels(plain.Shown, Take().Shown)) << "after the adapters were freed";
}

INSTANTIATE_TEST_SUITE_P(Windows, AdaptedContent, ::testing::ValuesIn(AllParams()), ParamName);

}  // namespace
}  // namespace qvtest
