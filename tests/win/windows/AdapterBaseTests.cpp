// The adapter base: attaching to bare windows and to class-library controls, one adapter per
// window, leaving the window on WM_DESTROY and when freed, the skin command answers.
#include "tests/support/AdapterTestSupport.h"

#include "tests/support/core/SkinBuilder.h"

#include <string>
#include <vector>

namespace qvtest {
namespace {

WNDPROC ProcOf(HWND wnd) { return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(wnd, GWLP_WNDPROC)); }

class AdapterBase : public AdapterTest {};

TEST_F(AdapterBase, AttachesToABareWindowAndLeavesOnDestroy) {
  HWND wnd = Track(CreatePlainWindow());
  auto* a = Create<TacMainWnd>(wnd, nullptr, nullptr, "EDIT");
  EXPECT_EQ(a, GetPropA(wnd, "ACSBSC"));
  EXPECT_EQ(a, GetWndAdapter(wnd));
  EXPECT_EQ(ProcOf(wnd), &AdapterWndProc);
  EXPECT_TRUE(a->OwnsSkinData);
  EXPECT_EQ("EDIT", a->SkinData->SkinSection());
  EXPECT_EQ("Plain", a->Caption);
  EXPECT_EQ(PlainProc, a->OldWndProc);

  // The window's own procedure still sees its messages, and during WM_DESTROY it is already back.
  HANDLE propAtDestroy = reinterpret_cast<HANDLE>(1);
  WNDPROC procAtDestroy = nullptr;
  PlainLog.OnMessage = [&](HWND w, UINT msg, WPARAM, LPARAM) {
    if (msg == WM_DESTROY) {
      propAtDestroy = GetPropA(w, "ACSBSC");
      procAtDestroy = ProcOf(w);
    }
  };
  SendMessageA(wnd, WM_USER + 7, 1, 2);
  EXPECT_EQ(1, PlainLog.Count(WM_USER + 7));
  DestroyWindow(wnd);
  EXPECT_EQ(1, PlainLog.Count(WM_DESTROY));
  EXPECT_EQ(nullptr, propAtDestroy);
  EXPECT_EQ(PlainProc, procAtDestroy);
  EXPECT_TRUE(a->Destroyed);
  a->Free();  // touches no window
}

TEST_F(AdapterBase, FreeingGivesTheWindowBack) {
  HWND wnd = Track(CreatePlainWindow());
  auto* a = Create<TacMainWnd>(wnd, nullptr, nullptr, "EDIT");
  a->Free();
  EXPECT_EQ(nullptr, GetPropA(wnd, "ACSBSC"));
  EXPECT_EQ(PlainProc, ProcOf(wnd));
}

TEST_F(AdapterBase, DetachesEvenWhileAdapterItemsAreCleared) {
  HWND wnd = Track(CreatePlainWindow());
  auto* a = Create<TacMainWnd>(wnd, nullptr, nullptr, "EDIT");
  AdapterItemsClearing = true;
  a->Free();
  AdapterItemsClearing = false;
  EXPECT_EQ(nullptr, GetPropA(wnd, "ACSBSC"));
  EXPECT_EQ(PlainProc, ProcOf(wnd));
  SendMessageA(wnd, WM_USER, 0, 0);  // would run into the freed adapter otherwise
  EXPECT_EQ(1, PlainLog.Count(WM_USER));
}

WNDPROC OverlayPrev = nullptr;
int OverlayCalls = 0;
LRESULT CALLBACK OverlayProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_USER + 9) ++OverlayCalls;
  return CallWindowProcA(OverlayPrev, wnd, msg, wParam, lParam);
}

TEST_F(AdapterBase, AdapterUnderAnotherSubclassLeavesTheChainWhole) {
  HWND wnd = Track(CreatePlainWindow());
  auto* a = Create<TacMainWnd>(wnd, nullptr, nullptr, "EDIT");
  // Another procedure is installed over the adapter's.
  OverlayPrev =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OverlayProc)));
  ASSERT_EQ(&AdapterWndProc, OverlayPrev);
  OverlayCalls = 0;
  a->Free();
  // The procedure above stays; messages still pass it and reach the window's own procedure.
  EXPECT_EQ(OverlayProc, ProcOf(wnd));
  EXPECT_EQ(nullptr, GetWndAdapter(wnd));
  PlainLog.Clear();
  SendMessageA(wnd, WM_USER + 9, 0, 0);
  EXPECT_EQ(1, OverlayCalls);
  EXPECT_EQ(1, PlainLog.Count(WM_USER + 9));
  // A new adapter takes the old one's place in the chain: each message reaches every procedure
  // once, and the window answers as skinned.
  auto* b = Create<TacMainWnd>(wnd, nullptr, nullptr, "EDIT");
  EXPECT_FALSE(b->Destroyed);
  EXPECT_EQ(OverlayProc, ProcOf(wnd));
  EXPECT_EQ(PlainProc, b->OldWndProc);
  EXPECT_EQ(1, SendSkinCommand(wnd, QC_ISSKINNED));
  PlainLog.Clear();
  OverlayCalls = 0;
  SendMessageA(wnd, WM_USER + 9, 0, 0);
  EXPECT_EQ(1, OverlayCalls);
  EXPECT_EQ(1, PlainLog.Count(WM_USER + 9));
  // Given back on WM_DESTROY as well, and the window's destruction runs through all of them.
  DestroyWindow(wnd);
  EXPECT_TRUE(b->Destroyed);
  EXPECT_EQ(1, PlainLog.Count(WM_NCDESTROY));
  b->Free();
}

// An adapter that counts the messages WM_USER + 9 it hears.
class TCountingAdapter : public TacMainWnd {
 public:
  using TacMainWnd::TacMainWnd;
  void HandleMessage(TMessage& Message) override {
    if (Message.Msg == WM_USER + 9) ++Heard;
    TacMainWnd::HandleMessage(Message);
  }
  int Heard = 0;
};

// A program's subclass (S) and two adapters (A, B) come and go on a bare window in every order,
// the program putting back what it replaced whatever was installed over it since: the latest
// adapter that lives hears every message once, and so do the program's subclass while it is in
// the chain and the window's own procedure; an adapter the program cut out of the chain has left
// the window.
TEST_F(AdapterBase, SubclassesComingAndGoingInAnyOrder) {
  struct TChainCase {
    const char* Steps;  // S+ S- A+ A- B+ B-
    bool S, A, B;       // what hears the message afterwards
  };
  const TChainCase cases[] = {
      {"S+ A+ S- B+", false, false, true},    {"S+ A+ S- A- B+", false, false, true},
      {"A+ S+ A- B+", true, false, true},     {"A+ S+ A- S- B+", false, false, true},
      {"S+ A+ S- B+ A-", false, false, true}, {"A+ S+ S-", false, true, false},
      {"S+ A+ A- S-", false, false, false},   {"S+ A+ B+", true, true, false},
  };
  for (const TChainCase& c : cases) {
    SCOPED_TRACE(c.Steps);
    HWND wnd = Track(CreatePlainWindow());
    TCountingAdapter* adapters[2] = {};
    bool subclassed = false;
    const std::string steps = c.Steps;
    for (std::size_t i = 0; i + 1 < steps.size(); i += 3) {
      const char who = steps[i];
      const bool add = steps[i + 1] == '+';
      if (who == 'S' && add) {
        OverlayPrev =
            reinterpret_cast<WNDPROC>(SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OverlayProc)));
        subclassed = true;
      } else if (who == 'S') {
        SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OverlayPrev));
        subclassed = false;
      } else if (add) {
        adapters[who - 'A'] = Create<TCountingAdapter>(wnd, nullptr, nullptr, "EDIT");
      } else {
        FreeAndNil(adapters[who - 'A']);
      }
    }
    OverlayCalls = 0;
    PlainLog.Clear();
    SendMessageA(wnd, WM_USER + 9, 0, 0);
    EXPECT_EQ(1, PlainLog.Count(WM_USER + 9)) << "the window's own procedure";
    EXPECT_EQ(c.S ? 1 : 0, OverlayCalls) << "the program's subclass";
    for (int k = 0; k < 2; ++k) {
      SCOPED_TRACE(k ? "B" : "A");
      const bool hears = k ? c.B : c.A;
      EXPECT_EQ(hears ? 1 : 0, adapters[k] ? adapters[k]->Heard : 0);
      if (hears) EXPECT_EQ(adapters[k], GetWndAdapter(wnd));
      if (adapters[k] && !hears) EXPECT_TRUE(adapters[k]->Destroyed) << "it left the window";
    }
    EXPECT_EQ(c.A || c.B ? 1 : 0, SendSkinCommand(wnd, QC_ISSKINNED));
    // Everything gone: the window's own procedure alone, hearing each message once.
    for (TCountingAdapter*& a : adapters) FreeAndNil(a);
    if (subclassed) SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OverlayPrev));
    PlainLog.Clear();
    SendMessageA(wnd, WM_USER + 9, 0, 0);
    EXPECT_EQ(1, PlainLog.Count(WM_USER + 9));
    EXPECT_EQ(nullptr, GetWndAdapter(wnd));
    DestroyWindow(wnd);
  }
}

struct TThemeCall {
  HWND Wnd;
  bool Blank;  // both arguments a single blank (styles off); false: both nullptr (styles back on)
};
std::vector<TThemeCall> ThemeCalls;
HRESULT WINAPI RecordTheme(HWND wnd, LPCWSTR app, LPCWSTR ids) {
  const bool blank = app && ids && std::wstring(app) == L" " && std::wstring(ids) == L" ";
  EXPECT_TRUE(blank || (!app && !ids));
  ThemeCalls.push_back(TThemeCall{wnd, blank});
  return S_OK;
}

TEST_F(AdapterBase, VisualStylesOffForEverySectionButDialog) {
  struct TRestore {
    TSetWindowTheme Saved = acSetWindowTheme;
    ~TRestore() { acSetWindowTheme = Saved; }
  } restore;
  acSetWindowTheme = RecordTheme;
  ThemeCalls.clear();
  HWND wnd = Track(CreatePlainWindow());
  auto* dialog = Create<TacMainWnd>(wnd, nullptr, nullptr, "DIALOG");
  EXPECT_TRUE(ThemeCalls.empty());
  dialog->Free();
  ThemeCalls.clear();
  for (const char* section : {"EDIT", "Dialog"}) {  // the test is exact and case-sensitive
    SCOPED_TRACE(section);
    auto* a = Create<TacMainWnd>(wnd, nullptr, nullptr, section);
    ASSERT_EQ(1u, ThemeCalls.size());
    EXPECT_EQ(wnd, ThemeCalls[0].Wnd);
    EXPECT_TRUE(ThemeCalls[0].Blank);
    a->Free();
    ASSERT_EQ(2u, ThemeCalls.size());
    EXPECT_FALSE(ThemeCalls[1].Blank);
    ThemeCalls.clear();
  }
  // The edit adapter as well.
  auto* edit = Create<TacEditWnd>(wnd, nullptr, Manager, "EDIT", true);
  ASSERT_EQ(1u, ThemeCalls.size());
  EXPECT_TRUE(ThemeCalls[0].Blank);
  edit->Free();
}

TEST_F(AdapterBase, OneAdapterPerWindow) {
  HWND wnd = Track(CreatePlainWindow());
  auto* first = Create<TacMainWnd>(wnd, nullptr, nullptr, "EDIT");
  auto* second = Create<TacMainWnd>(wnd, nullptr, nullptr, "EDIT");
  EXPECT_TRUE(second->Destroyed);
  EXPECT_EQ(first, GetWndAdapter(wnd));
  second->Free();
  EXPECT_EQ(first, GetWndAdapter(wnd));
  EXPECT_EQ(ProcOf(wnd), &AdapterWndProc);
  first->Free();
  EXPECT_EQ(PlainProc, ProcOf(wnd));
}

TEST_F(AdapterBase, AdapterFreedInsideItsOwnWindowProcedure) {
  HWND wnd = Track(CreatePlainWindow());
  TacMainWnd* a = Create<TacMainWnd>(wnd, nullptr, nullptr, "EDIT");
  PlainLog.OnMessage = [&](HWND, UINT msg, WPARAM, LPARAM) {
    if (msg == WM_USER + 5 && a) FreeAndNil(a);
  };
  SendMessageA(wnd, WM_SETTEXT, 0, LPARAM("x"));
  PlainLog.OnMessage = [&](HWND, UINT msg, WPARAM, LPARAM) {
    if (msg == WM_SETTEXT && a) FreeAndNil(a);  // the handler reads the caption after passing on
  };
  SendMessageA(wnd, WM_SETTEXT, 0, LPARAM("freed"));
  EXPECT_EQ(nullptr, a);
  EXPECT_EQ(PlainProc, ProcOf(wnd));
  EXPECT_EQ(nullptr, GetPropA(wnd, "ACSBSC"));
}

TEST_F(AdapterBase, SectionOfAGivenSkinDataIsKept) {
  HWND wnd = Track(CreatePlainWindow());
  auto* sd = new TsCommonData(nullptr, true);
  sd->SetSkinSection("BUTTON");
  auto* a = Create<TacMainWnd>(wnd, sd, nullptr, "EDIT");
  EXPECT_EQ("BUTTON", sd->SkinSection());
  EXPECT_FALSE(a->OwnsSkinData);
  EXPECT_EQ(Manager, a->SkinManager);
  a->Free();
  EXPECT_EQ("BUTTON", sd->SkinSection());  // still alive: the adapter left it alone
  delete sd;
}

TEST_F(AdapterBase, ChainsTheWindowMethodOfAClassLibraryControl) {
  TTestHost host;
  auto* child = Create<TWinControl>(host.Control());
  child->SetParent(host.Control());
  child->SetBounds(10, 10, 80, 40);
  HWND wnd = child->Handle();
  const TWndMethod original = child->WindowProc;
  auto* sd = new TsCommonData(child, false);
  sd->SetSkinSection("PANEL");
  auto* a = Create<TacMainWnd>(wnd, sd, nullptr, "PANEL");
  EXPECT_EQ(a->AdapterMethod(), child->WindowProc);
  EXPECT_EQ(original, a->OldProc);
  EXPECT_EQ(nullptr, a->OldWndProc);
  EXPECT_EQ(a, GetWndAdapter(wnd));
  EXPECT_TRUE(child->ControlStyle().Contains(csOpaque));
  EXPECT_EQ(1, SendSkinCommand(wnd, QC_ISSKINNED));
  a->Free();
  EXPECT_EQ(original, child->WindowProc);
  EXPECT_EQ(nullptr, GetWndAdapter(wnd));
  delete sd;
  child->Free();
}

TEST_F(AdapterBase, TextAndUiStateMessages) {
  HWND wnd = Track(CreatePlainWindow());
  auto* a = Create<TacMainWnd>(wnd, nullptr, nullptr, "EDIT");
  PlainLog.Clear();
  SendMessageA(wnd, WM_SETTEXT, 0, LPARAM("New text"));
  EXPECT_EQ(1, PlainLog.Count(WM_SETTEXT));
  EXPECT_EQ("New text", a->Caption);
  SendMessageA(wnd, WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
  EXPECT_EQ(0, PlainLog.Count(WM_UPDATEUISTATE));
  a->Free();
}

TEST_F(AdapterBase, SkinCommandAnswers) {
  HWND wnd = Track(CreatePlainWindow());
  auto* a = Create<TacMainWnd>(wnd, nullptr, nullptr, "EDIT");
  PlainLog.Clear();
  EXPECT_EQ(1, SendSkinCommand(wnd, QC_ISSKINNED));
  EXPECT_EQ(0, PlainLog.CountCommand(QC_ISSKINNED));

  // Refresh from the adapter's own manager: repainted, not passed on.
  SendSkinCommand(wnd, QC_REFRESH, reinterpret_cast<LPARAM>(Manager));
  EXPECT_EQ(0, PlainLog.CountCommand(QC_REFRESH));
  EXPECT_EQ(1, PlainLog.Count(WM_PAINT));

  // The QC_GETAPPLICATION answer is the application object.
  EXPECT_EQ(reinterpret_cast<LRESULT>(static_cast<TObject*>(Application)), SendSkinCommand(wnd, QC_GETAPPLICATION));
  // Every adapter answers its section index plus one.
  EXPECT_EQ(Manager->SectionIndexOf("EDIT") + 1, SendSkinCommand(wnd, QC_GETSECTIONINDEX));

  // An empty cache is no background: QC_GETCACHE leaves the record not ready.
  SharedCacheInfo = BuildCacheInfo(nullptr, 3, 3);
  SendSkinCommand(wnd, QC_GETCACHE);
  EXPECT_FALSE(SharedCacheInfo.Ready);
  a->Free();
}

TEST_F(AdapterBase, AForeignManagersCommandsChangeNothing) {
  HWND wnd = Track(CreatePlainWindow());
  auto* a = Create<TacMainWnd>(wnd, nullptr, nullptr, "EDIT");
  TsSkinManager* foreign = CreateTestManager(Builder, "Other", false);
  a->SkinData->BGChanged = false;
  const int index = a->SkinData->SkinIndex;
  PlainLog.Clear();
  for (int cmd : {QC_SKINLOADED, QC_SKINREMOVED, QC_REFRESH})
    SendSkinCommand(wnd, cmd, reinterpret_cast<LPARAM>(foreign));
  EXPECT_FALSE(a->SkinData->BGChanged);
  EXPECT_EQ(index, a->SkinData->SkinIndex);
  EXPECT_EQ(0, PlainLog.Count(WM_PAINT));
  // All three went on to the window's own procedure.
  EXPECT_EQ(1, PlainLog.CountCommand(QC_SKINLOADED));
  EXPECT_EQ(1, PlainLog.CountCommand(QC_SKINREMOVED));
  EXPECT_EQ(1, PlainLog.CountCommand(QC_REFRESH));
  a->Free();
  FreeAndNil(foreign);
}

TEST_F(AdapterBase, WithoutAnActiveSkinEverythingPassesOn) {
  HWND wnd = Track(CreatePlainWindow());
  auto* a = Create<TacMainWnd>(wnd, nullptr, nullptr, "EDIT");
  Manager->SetActive(false);
  PlainLog.Clear();
  EXPECT_EQ(0, SendSkinCommand(wnd, QC_ISSKINNED));
  EXPECT_EQ(1, PlainLog.CountCommand(QC_ISSKINNED));
  a->Free();
}

TEST_F(AdapterBase, CacheOfAChildWindowIsPaintedAndHandedOut) {
  HWND top = Track(CreatePlainWindow(nullptr, 0, 40, 40, 300, 220));
  HWND wnd = Track(CreatePlainWindow(top, 0, 20, 20, 120, 60));
  auto* a = Create<TacMainWnd>(wnd, nullptr, nullptr, "EDIT");
  a->SkinData->BGChanged = true;
  SendSkinCommand(wnd, QC_PREPAREFADE);
  ASSERT_NE(nullptr, a->SkinData->CacheBmp);
  EXPECT_EQ(120, a->SkinData->CacheBmp->Width());
  EXPECT_EQ(60, a->SkinData->CacheBmp->Height());
  SharedCacheInfo = TsCacheInfo{};
  SendSkinCommand(wnd, QC_GETCACHE);
  EXPECT_TRUE(SharedCacheInfo.Ready);
  EXPECT_EQ(a->SkinData->CacheBmp, SharedCacheInfo.Bmp);
  // The centre of the cache shows the section's border frame in state 0.
  const Capture cap = CaptureBitmap(a->SkinData->CacheBmp->Handle());
  EXPECT_EQ(TSkinBuilder::FrameColor(Builder.MaskOrdinal("EDIT", "BORDERSMASK"), 0), cap.Pixel(60, 30));
  a->Free();
}

TEST_F(AdapterBase, OneCtlColorBrushPerAdapter) {
  HWND wnd = Track(CreatePlainWindow());
  auto* a = Create<TacMainWnd>(wnd, nullptr, nullptr, "EDIT");
  HBRUSH b1 = a->CtlColorBrush(TColor(0x123456));
  EXPECT_EQ(b1, a->CtlColorBrush(TColor(0x123456)));
  HBRUSH b2 = a->CtlColorBrush(TColor(0x654321));
  EXPECT_NE(nullptr, b2);
  LOGBRUSH lb{};
  GetObjectA(b2, sizeof lb, &lb);
  EXPECT_EQ(COLORREF(0x654321), lb.lbColor);
  a->Free();
}

// A control whose window method answers WM_USER + 3 by writing LParam and Result.
class TAnsweringControl : public TWinControl {
 public:
  QV_CLASS_NAME(TAnsweringControl)
  using TWinControl::TWinControl;
  void WndProc(TMessage& Message) override {
    if (Message.Msg == WM_USER + 3) {
      Message.LParam = 77;
      Message.Result = 5;
      return;
    }
    TWinControl::WndProc(Message);
  }
};

TEST_F(AdapterBase, PreviousProcedureCall) {
  // Nothing replaced: 0.
  auto* loose = Create<TacMainWnd>(nullptr, nullptr, nullptr, "EDIT");
  LPARAM lp = 3;
  EXPECT_EQ(0, CallPrevProc(loose, nullptr, WM_USER, 0, lp));
  EXPECT_EQ(0, CallPrevProc(nullptr, nullptr, WM_USER, 0, lp));
  loose->Free();
  // A chained window method: its LParam comes back to the caller with its result.
  TTestHost host;
  auto* child = Create<TAnsweringControl>(host.Control());
  child->SetParent(host.Control());
  child->SetBounds(5, 5, 50, 30);
  auto* sd = new TsCommonData(child, false);
  sd->SetSkinSection("PANEL");
  auto* a = Create<TacMainWnd>(child->Handle(), sd, nullptr, "PANEL");
  lp = 1;
  EXPECT_EQ(5, CallPrevProc(a, child->Handle(), WM_USER + 3, 0, lp));
  EXPECT_EQ(77, lp);
  a->Free();
  delete sd;
  child->Free();
}

LRESULT CALLBACK OffsetParentProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == SM_QUORVEXCMD && HiWord(wParam) == QC_GETCLIENTOFFSET) return MAKELONG(5, 7);
  return DefWindowProcA(wnd, msg, wParam, lParam);
}

TEST_F(AdapterBase, WindowPlaceInsideTheParentsImage) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = OffsetParentProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "QvAdpOffsetParent";
  RegisterClassA(&wc);
  HWND parent = Track(CreateWindowExA(0, "QvAdpOffsetParent", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200,
                                      nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
  HWND plainParent = Track(CreatePlainWindow(nullptr, 0, 50, 50, 300, 200));
  for (HWND p : {parent, plainParent}) {
    HWND wnd = Track(CreatePlainWindow(p, 0, 20, 30, 90, 40));
    HWND pw = nullptr;
    TRect wr, prc;
    TPoint pos;
    TSize size;
    UpdateWndRects(wnd, pw, wr, pos, size, prc);
    RECT r{}, rp{};
    GetWindowRect(wnd, &r);
    GetWindowRect(p, &rp);
    EXPECT_EQ(p, pw);
    EXPECT_EQ(r.left, wr.Left);
    EXPECT_EQ(rp.top, prc.Top);
    EXPECT_EQ(90, size.cx);
    EXPECT_EQ(40, size.cy);
    // The parent that answers QC_GETCLIENTOFFSET has its client offset taken off.
    const int dx = p == parent ? 5 : 0, dy = p == parent ? 7 : 0;
    EXPECT_EQ(r.left - rp.left - dx, pos.X);
    EXPECT_EQ(r.top - rp.top - dy, pos.Y);
  }
}

TEST_F(AdapterBase, FindsTheControlOfAHandleDepthFirst) {
  TTestHost host;
  auto* owner = Create<TComponent>(nullptr);
  auto* group = Create<TComponent>(owner);  // a component that owns a control itself
  auto* deep = Create<TWinControl>(group);
  deep->SetParent(host.Control());
  auto* second = Create<TWinControl>(owner);
  second->SetParent(host.Control());
  auto* noHandle = Create<TWinControl>(owner);  // no window yet
  EXPECT_EQ(deep, FindWinControl(deep->Handle(), owner));
  EXPECT_EQ(second, FindWinControl(second->Handle(), owner));
  EXPECT_FALSE(noHandle->HandleAllocated());
  EXPECT_EQ(nullptr, FindWinControl(host.Window(), owner));
  EXPECT_EQ(nullptr, FindWinControl(nullptr, owner));
  EXPECT_EQ(nullptr, FindWinControl(deep->Handle(), nullptr));
  EXPECT_FALSE(noHandle->HandleAllocated());  // the search made no window
  owner->Free();
}

}  // namespace
}  // namespace qvtest
