// The colours of every adapted window class through a round trip: attached under skin A, switched
// to skin B, the skin removed, loaded again, the adapter freed. While skinned the window shows the
// skin's colours; after the removal and after the adapter left it shows exactly its own again.
#include "tests/support/ListAdapterTestSupport.h"

#include <map>

#include "classlib/ComCtrls.h"
#include "classlib/Grids.h"
#include "skin/engine/core/acSkinValues.h"

namespace qvtest {
namespace {

using TColors = std::map<std::string, long long>;

enum class TKind {
  ListView,
  TreeView,
  LibListView,
  LibTreeView,
  StringGrid,
  AdvGrid,
  VirtualTree,
  TabControl,
  LibTabControl,
  LibPageControl
};
bool IsTabKind(TKind kind) {
  return kind == TKind::TabControl || kind == TKind::LibTabControl || kind == TKind::LibPageControl;
}

std::string KindName(const testing::TestParamInfo<TKind>& info) {
  static const char* names[] = {"ListView", "TreeView",    "LibListView", "LibTreeView",   "StringGrid",
                                "AdvGrid",  "VirtualTree", "TabControl",  "LibTabControl", "LibPageControl"};
  return names[int(info.param)];
}

// Skin B: other colours for the edit section and the global ones.
TSkinBuilder SkinB() {
  TSkinBuilder b = TSkinBuilder::Standard();
  b.Key("EDIT", "COLOR", qv::FormatSkinColor(0x203040));
  b.Key("EDIT", "FONTCOLOR", qv::FormatSkinColor(0x506070));
  b.Key("EDIT", "HOTCOLOR", qv::FormatSkinColor(0x8090A0));
  b.Key("EDIT", "HOTFONTCOLOR", qv::FormatSkinColor(0xB0C0D0));
  b.Key("GLOBALINFO", "COLOR", qv::FormatSkinColor(0x0A0B0C));
  b.Key("GLOBALINFO", "FONTCOLOR", qv::FormatSkinColor(0x0D0E0F));
  return b;
}

class ColorRoundTrip : public ListAdapterTest, public testing::WithParamInterface<TKind> {
 protected:
  void FreeControls() override {
    if (Control) Control->Free();
    Control = nullptr;
  }

  // The window with colours of its own, not the defaults.
  void Build() {
    const TKind kind = GetParam();
    if (kind == TKind::TabControl) {
      Wnd = Make(WC_TABCONTROLA, 0, 10, 10, 240, 160);
      TCITEMA item{};
      item.mask = TCIF_TEXT;
      item.pszText = const_cast<char*>("Tab");
      SendMessageA(Wnd, TCM_INSERTITEMA, 0, LPARAM(&item));
      return;
    }
    if (kind == TKind::ListView || kind == TKind::TreeView) {
      Wnd = Make(kind == TKind::ListView ? WC_LISTVIEWA : WC_TREEVIEWA, kind == TKind::ListView ? LVS_REPORT : 0, 10,
                 10, 240, 160, WS_EX_CLIENTEDGE);
      if (kind == TKind::ListView) {
        SendMessageA(Wnd, LVM_SETBKCOLOR, 0, 0x112233);
        SendMessageA(Wnd, LVM_SETTEXTCOLOR, 0, 0x445566);
        SendMessageA(Wnd, LVM_SETTEXTBKCOLOR, 0, 0x778899);
      } else {
        SendMessageA(Wnd, TVM_SETTEXTCOLOR, 0, 0x0000C0);  // the background keeps the system's (-1)
      }
      return;
    }
    LibHost = std::make_unique<TTestHost>(300, 220);
    TWinControl* parent = LibHost->Control();
    switch (kind) {
      case TKind::LibListView: {
        auto* lv = Create<TListView>(parent);
        lv->SetViewStyle(vsReport);
        Control = lv;
        break;
      }
      case TKind::LibTreeView: Control = Create<TTreeView>(parent); break;
      case TKind::StringGrid: Control = Create<TStringGrid>(parent); break;
      case TKind::AdvGrid: {
        auto* g = Create<TDBAdvGrid>(parent);
        g->TitleFont()->SetColor(clNavy);
        g->FixedFont()->SetColor(clTeal);
        for (int i = 0; i < 2; ++i) {
          auto* c = static_cast<TAdvColumn*>(g->Columns()->Add());
          c->HeaderFont()->SetColor(TColor(0x010101 * (i + 1)));
          c->Font()->SetColor(TColor(0x020202 * (i + 1)));
          c->SetColor(TColor(0x030303 * (i + 1)));
        }
        Control = g;
        break;
      }
      case TKind::LibTabControl: {
        auto* tabs = Create<TTabControl>(parent);
        tabs->SetParent(parent);
        tabs->Tabs()->Add("One");
        tabs->Tabs()->Add("Two");
        Control = tabs;
        break;
      }
      case TKind::LibPageControl: {
        auto* pages = Create<TPageControl>(parent);
        pages->SetParent(parent);
        for (const char* caption : {"One", "Two"}) {
          auto* page = Create<TTabSheet>(pages);
          page->SetPageControl(pages);
          page->SetCaption(caption);
          page->SetColor(clCream);
        }
        Control = pages;
        break;
      }
      default: Control = Create<TVirtualStringTree>(parent); break;
    }
    Control->SetParent(parent);
    Control->SetBounds(10, 10, 240, 160);
    Control->SetColor(clInfoBk);
    Control->Font()->SetColor(clPurple);
    if (auto* g = dynamic_cast<TCustomGrid*>(Control)) g->SetFixedColor(clAqua);
    Wnd = Control->Handle();
  }

  void Adapt() {
    const TKind kind = GetParam();
    if (kind == TKind::ListView) Adapter = Create<TacListViewWnd>(Wnd, nullptr, Manager, "EDIT", true);
    if (kind == TKind::TreeView) Adapter = Create<TacTreeViewWnd>(Wnd, nullptr, Manager, "EDIT", true);
    if (kind == TKind::TabControl) Adapter = Create<TacTabControlWnd>(Wnd, nullptr, Manager, "PAGECONTROL", true);
    if (Control) {
      Data = new TsCommonData(Control, false);
      Data->SetSkinSection(IsTabKind(kind) ? "PAGECONTROL" : "EDIT");
    }
    switch (kind) {
      case TKind::LibListView: Adapter = Create<TacListViewWnd>(Wnd, Data, nullptr, "EDIT", true); break;
      case TKind::LibTreeView: Adapter = Create<TacTreeViewWnd>(Wnd, Data, nullptr, "EDIT", true); break;
      case TKind::VirtualTree: Adapter = Create<TacVirtualTreeViewWnd>(Wnd, Data, nullptr, "EDIT", true); break;
      case TKind::LibTabControl: Adapter = Create<TacTabControlWnd>(Wnd, Data, nullptr, "PAGECONTROL", true); break;
      case TKind::LibPageControl: Adapter = Create<TacPageControlWnd>(Wnd, Data, nullptr, "PAGECONTROL", true); break;
      case TKind::StringGrid:
      case TKind::AdvGrid: Adapter = Create<TacGridWnd>(Wnd, Data, nullptr, "EDIT", true); break;
      default: break;
    }
    flush_events(60, 2000);
  }

  TColors Read() const {
    TColors c;
    const TKind kind = GetParam();
    if (kind == TKind::ListView || kind == TKind::LibListView) {
      c["bk"] = COLORREF(SendMessageA(Wnd, LVM_GETBKCOLOR, 0, 0));
      c["text"] = COLORREF(SendMessageA(Wnd, LVM_GETTEXTCOLOR, 0, 0));
      c["textbk"] = COLORREF(SendMessageA(Wnd, LVM_GETTEXTBKCOLOR, 0, 0));
    }
    if (kind == TKind::TreeView || kind == TKind::LibTreeView) {
      c["bk"] = COLORREF(SendMessageA(Wnd, TVM_GETBKCOLOR, 0, 0));
      c["text"] = COLORREF(SendMessageA(Wnd, TVM_GETTEXTCOLOR, 0, 0));
    }
    // Tab windows have no colours of their own to set: their body's middle shows what they paint.
    if (IsTabKind(kind)) {
      const Capture shot = CaptureScreen(Wnd);
      c["body"] = shot.Pixel(shot.Width() / 2, shot.Height() / 2);
    }
    if (!Control) return c;
    c["Color"] = Control->Color();
    c["Font.Color"] = Control->Font()->Color();
    if (auto* p = dynamic_cast<TPageControl*>(Control))
      for (int i = 0; i < p->PageCount(); ++i) c["Page" + std::to_string(i) + ".Color"] = p->Pages(i)->Color();
    if (auto* g = dynamic_cast<TCustomGrid*>(Control)) c["FixedColor"] = g->FixedColor();
    if (auto* g = dynamic_cast<TDBAdvGrid*>(Control)) {
      c["TitleFont"] = g->TitleFont()->Color();
      c["FixedFont"] = g->FixedFont()->Color();
      c["FooterColor"] = g->FooterColor();
      c["FooterCellColor"] = g->FooterCellColor();
      c["TitleColor"] = g->TitleColor();
      c["IndicatorIconColor"] = g->IndicatorIconColor();
      for (int i = 0; i < g->Columns()->Count(); ++i) {
        auto* col = static_cast<TAdvColumn*>(g->Columns()->Items(i));
        const std::string n = "Column" + std::to_string(i);
        c[n + ".HeaderFont"] = col->HeaderFont()->Color();
        c[n + ".Font"] = col->Font()->Color();
        c[n + ".Color"] = col->Color();
      }
    }
    if (auto* t = dynamic_cast<TVirtualStringTree*>(Control)) {
      c["Compressed"] = t->VETColors()->CompressedTextColor();
      c["File"] = t->VETColors()->FileTextColor();
      c["Folder"] = t->VETColors()->FolderTextColor();
    }
    return c;
  }

  // What the skin gives the window over its own colours.
  TColors Skinned(const TColors& own) const {
    TColors c = own;
    const TsGeneralData& edit = Manager->Section(Manager->SectionIndexOf("EDIT"));
    const long long color = edit.Color, font = edit.FontColor.Text(), hot = edit.HotColor,
                    hotFont = edit.HotFontColor.Text(), global = Manager->GetGlobalColor(),
                    globalFont = Manager->GetGlobalFontColor();
    auto set = [&](const std::string& key, long long v) {
      if (c.count(key)) c[key] = v;
    };
    const TKind kind = GetParam();
    if (IsTabKind(kind)) {
      set("body", Frame("PAGECONTROL", "BORDERSMASK", 0));
      return c;
    }
    if (kind == TKind::TreeView || kind == TKind::LibTreeView) {
      set("bk", hot);
      set("text", hotFont);
      set("Font.Color", hotFont);
      return c;
    }
    set("bk", color);
    set("textbk", color);
    set("text", font);
    set("Color", color);
    set("Font.Color", font);
    set("FixedColor", global);
    for (const char* k : {"TitleFont", "FixedFont"}) set(k, globalFont);
    for (const char* k : {"FooterColor", "FooterCellColor", "TitleColor"}) set(k, global);
    set("IndicatorIconColor", font);
    for (int i = 0; i < 2; ++i) {
      const std::string n = "Column" + std::to_string(i);
      set(n + ".HeaderFont", globalFont);
      set(n + ".Font", hotFont);
      set(n + ".Color", color);
    }
    for (const char* k : {"Compressed", "File", "Folder"}) set(k, hotFont);
    return c;
  }

  TWinControl* Control = nullptr;
  HWND Wnd = nullptr;
};

TEST_P(ColorRoundTrip, SkinColorsWhileSkinnedOwnColorsExactlyAfter) {
  Manager->AddInternalSkin("B", SkinB().Packed());
  Build();
  flush_events(40, 1000);
  const TColors own = Read();
  Adapt();
  ASSERT_FALSE(Adapter->Destroyed);
  EXPECT_EQ(Skinned(own), Read()) << "skin A";
  Manager->SetSkinName("B");
  flush_events(40, 1000);
  EXPECT_EQ(Skinned(own), Read()) << "skin B";
  Manager->SetActive(false);
  flush_events(40, 1000);
  EXPECT_EQ(own, Read()) << "skin removed";
  Manager->SetActive(true);
  flush_events(40, 1000);
  EXPECT_EQ(Skinned(own), Read()) << "skin B again";
  FreeAndNil(Adapter);
  flush_events(40, 1000);
  EXPECT_EQ(own, Read()) << "adapter freed";
}

INSTANTIATE_TEST_SUITE_P(Windows, ColorRoundTrip,
                         testing::Values(TKind::ListView, TKind::TreeView, TKind::LibListView, TKind::LibTreeView,
                                         TKind::StringGrid, TKind::AdvGrid, TKind::VirtualTree, TKind::TabControl,
                                         TKind::LibTabControl, TKind::LibPageControl),
                         KindName);

}  // namespace
}  // namespace qvtest
