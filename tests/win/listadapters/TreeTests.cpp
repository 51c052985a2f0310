// The tree adapters: a tree view's background in the dialog look, its erase path, and a virtual
// tree's header events, taken only while the program holds none and given back.
#include "tests/support/ListAdapterTestSupport.h"

namespace qvtest {
namespace {

class Tree : public ListAdapterTest {
 protected:
  void FreeControls() override {
    if (VTree) VTree->Free();
    VTree = nullptr;
    HookAttaching = false;
  }
  HWND AdaptedTree(bool dialog) {
    HWND tree = Make(WC_TREEVIEWA, TVS_HASLINES, 10, 10, 200, 160, WS_EX_CLIENTEDGE);
    HookAttaching = dialog;
    Adapter = Create<TacTreeViewWnd>(tree, nullptr, Manager, "EDIT", true);
    HookAttaching = false;
    flush_events(40, 1000);
    return tree;
  }
  TVirtualStringTree* AdaptedVirtualTree(bool ownHandler) {
    LibHost = std::make_unique<TTestHost>(300, 220);
    VTree = Create<TVirtualStringTree>(LibHost->Control());
    VTree->SetParent(LibHost->Control());
    VTree->SetBounds(10, 10, 200, 160);
    if (ownHandler) {
      VTree->OnAdvancedHeaderDraw = TacAdvancedHeaderPaintEvent(
          &ProgramDraws,
          [](void* n, TObject*, TacHeaderPaintInfo&, TacHeaderPaintElements) { ++*static_cast<int*>(n); });
      VTree->Header()->SetOptions(TVTHeaderOptions{hoVisible});
    }
    Data = new TsCommonData(VTree, false);
    Data->SetSkinSection("EDIT");
    Adapter = Create<TacVirtualTreeViewWnd>(VTree->Handle(), Data, nullptr, "EDIT", true);
    flush_events(40, 1000);
    return VTree;
  }
  TVirtualStringTree* VTree = nullptr;
  int ProgramDraws = 0;
};

TEST_F(Tree, DialogLookTakesTheWindowColourAsItIs) {
  HWND tree = AdaptedTree(true);
  EXPECT_EQ(COLORREF(GetSysColor(COLOR_WINDOW)), COLORREF(SendMessageA(tree, TVM_GETBKCOLOR, 0, 0)));
  EXPECT_EQ(COLORREF(GetSysColor(COLOR_WINDOWTEXT)), COLORREF(SendMessageA(tree, TVM_GETTEXTCOLOR, 0, 0)));
  FreeAndNil(Adapter);
  EXPECT_EQ(COLORREF(-1), COLORREF(SendMessageA(tree, TVM_GETBKCOLOR, 0, 0)));
}

TEST_F(Tree, ErasingLeavesNoDeviceContextBehind) {
  HWND tree = AdaptedTree(false);
  SendMessageA(tree, WM_ERASEBKGND, 0, 0);
  const int before = GdiHandleCount();
  for (int i = 0; i < 300; ++i) SendMessageA(tree, WM_ERASEBKGND, 0, 0);
  EXPECT_EQ(before, GdiHandleCount());
  // What it erased is the section's hot colour.
  const Capture c = CaptureScreen(tree);
  EXPECT_EQ(SectionColor("EDIT", "HOTCOLOR"), c.Pixel(c.Width() / 2, c.Height() / 2));
}

TEST_F(Tree, VirtualTreeHeaderPaintedThroughItsEventsOnlyWhileTheProgramHasNone) {
  for (bool ownHandler : {false, true}) {
    SCOPED_TRACE(ownHandler);
    TVirtualStringTree* vt = AdaptedVirtualTree(ownHandler);
    auto* a = static_cast<TacVirtualTreeViewWnd*>(Adapter);
    EXPECT_EQ(!ownHandler, a->HeaderDrawInstalled);
    EXPECT_EQ(!ownHandler, vt->Header()->Options().Contains(hoOwnerDraw));
    EXPECT_EQ(!ownHandler, vt->OnHeaderDrawQueryElements.Assigned());
    // The header painted through the event into a canvas: the column's section and its text.
    TBitmap target;
    target.SetPixelFormat(pf24bit);
    target.SetSize(120, 20);
    TVTColumn column;
    column.SetText("Name");
    TacHeaderPaintInfo info;
    info.TargetCanvas = target.Canvas();
    info.Column = &column;
    info.PaintRectangle = Rect(0, 0, 120, 20);
    info.TextRectangle = Rect(4, 0, 100, 20);
    info.IsHoverIndex = true;
    TacHeaderPaintElements elements;
    if (vt->OnHeaderDrawQueryElements) vt->OnHeaderDrawQueryElements(vt, info, elements);
    EXPECT_EQ(ownHandler ? 0u : 27u, elements.ToBits());
    vt->OnAdvancedHeaderDraw(vt, info, TacHeaderPaintElements{hpeBackground});
    vt->OnAdvancedHeaderDraw(vt, info, TacHeaderPaintElements{hpeText});
    const Capture c = CaptureBitmap(target.Handle());
    EXPECT_EQ(ownHandler ? 2 : 0, ProgramDraws);
    if (!ownHandler) {
      EXPECT_EQ(Frame("COLHEADER", "BORDERSMASK", 1), c.Pixel(2, 2));
      EXPECT_GT(c.CountColor(SectionColor("COLHEADER", "HOTFONTCOLOR")), 10);
    }
    Manager->SetActive(false);
    flush_events(40, 1000);
    EXPECT_EQ(ownHandler, vt->OnAdvancedHeaderDraw.Assigned());
    EXPECT_FALSE(vt->OnHeaderDrawQueryElements.Assigned());
    EXPECT_FALSE(vt->Header()->Options().Contains(hoOwnerDraw));
    Manager->SetActive(true);
    FreeAndNil(Adapter);
    delete Data;
    Data = nullptr;
    VTree->Free();
    VTree = nullptr;
    ProgramDraws = 0;
  }
}

// A message that changes nothing the adapter shows costs little more than it costs the plain window,
// with the bars shown or not (asking for a bar the window does not have costs a round trip under
// Wine: tens of microseconds a message).
TEST_F(Tree, MessagesCostLittleMoreThanOnThePlainWindow) {
  struct TCase {
    const char* Cls;
    DWORD Style;
    UINT Msg;
    int Items;
  };
  for (const TCase& c :
       {TCase{WC_TREEVIEWA, TVS_HASLINES, TVM_GETCOUNT, 0}, TCase{WC_TREEVIEWA, TVS_HASLINES, TVM_GETCOUNT, 40},
        TCase{WC_LISTVIEWA, LVS_REPORT, LVM_GETITEMCOUNT, 0}}) {
    SCOPED_TRACE(std::string(c.Cls) + " items " + std::to_string(c.Items));
    HWND plain = Make(c.Cls, c.Style, 10, 10, 200, 160, WS_EX_CLIENTEDGE);
    HWND adapted = Make(c.Cls, c.Style, 220, 10, 200, 160, WS_EX_CLIENTEDGE);
    for (HWND w : {plain, adapted})
      for (int i = 0; i < c.Items; ++i) {  // enough items for the vertical bar
        TVINSERTSTRUCTA ins{};
        ins.hParent = TVI_ROOT;
        ins.hInsertAfter = TVI_LAST;
        ins.item.mask = TVIF_TEXT;
        ins.item.pszText = const_cast<char*>("Item");
        SendMessageA(w, TVM_INSERTITEMA, 0, LPARAM(&ins));
      }
    Adapter = c.Msg == TVM_GETCOUNT ? MakeAdapter<TacTreeViewWnd>(adapted, nullptr, Manager, "EDIT", true)
                                    : MakeAdapter<TacListViewWnd>(adapted, nullptr, Manager, "EDIT", true);
    flush_events(40, 1000);
    EXPECT_EQ(c.Items > 0, static_cast<TacScrollWnd*>(Adapter)->VertBar->ScrollVisible);
    auto perMessage = [&](HWND w) {
      LARGE_INTEGER f, t0, t1;
      QueryPerformanceFrequency(&f);
      QueryPerformanceCounter(&t0);
      for (int i = 0; i < 1000; ++i) SendMessageA(w, c.Msg, 0, 0);
      QueryPerformanceCounter(&t1);
      return double(t1.QuadPart - t0.QuadPart) / double(f.QuadPart) / 1000 * 1e6;
    };
    std::vector<double> extra;
    for (int round = 0; round < 7; ++round) extra.push_back(perMessage(adapted) - perMessage(plain));
    std::sort(extra.begin(), extra.end());
    EXPECT_LT(extra[extra.size() / 2], 10.0) << "microseconds a message more than plain";
    FreeAndNil(Adapter);
    DestroyWindow(plain);
    DestroyWindow(adapted);
  }
}

}  // namespace
}  // namespace qvtest
