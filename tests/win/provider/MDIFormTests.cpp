// An MDI frame form's client window under the frame's provider: one adapter however often it is
// connected, none without a skin, the client painted from the frame's image around its children,
// and the window given back whole.
#include "tests/win/provider/ProviderTestSupport.h"

#include "skin/windows/acSBUtils.h"
#include "skin/windows/sMDIForm.h"

namespace qvtest {
namespace {

class MDIForm : public ProviderTest {
 protected:
  void SetUp() override {
    ProviderTest::SetUp();
    Builder = TSkinBuilder::Standard();
    Builder.Section("MDIAREA");
    LoadSkin(Builder);
    OldMain = Application->MainForm();
    Frame = Create<TForm>(Application);
    Frame->SetTag(-98);  // no provider from the dialog hook: the test gives it its own
    Frame->SetFormStyle(fsMDIForm);
    Frame->SetBounds(40, 40, 600, 420);
    Frame->SetCaption("MDI frame");
    Application->SetMainForm(Frame);
    Frame->HandleNeeded();
    ClientProc = GetWindowLongPtrA(Frame->ClientHandle(), GWLP_WNDPROC);
    Provider = Create<TsSkinProvider>(Frame);
    Provider->Loaded();
    Frame->Show();
    flush_events();
  }
  void TearDown() override {
    FreeAndNil(Frame);
    Application->SetMainForm(OldMain);
    ProviderTest::TearDown();
  }
  TForm* NewChild(const char* caption, int x, int y) {
    auto* c = Create<TForm>(Frame);
    c->SetTag(-98);
    c->SetBounds(x, y, 180, 120);
    c->SetCaption(caption);
    c->SetFormStyle(fsMDIChild);
    flush_events();
    return c;
  }
  TsMDIForm* Mdi() const { return dynamic_cast<TsMDIForm*>(Provider->MDIForm); }
  HWND Client() const { return Frame->ClientHandle(); }
  TColor SectionColor(const char* name) const { return Manager->Section(Manager->SectionIndexOf(name)).Color; }

  TCustomForm* OldMain = nullptr;
  TForm* Frame = nullptr;
  TsSkinProvider* Provider = nullptr;
  LONG_PTR ClientProc = 0;
};

TEST_F(MDIForm, OneClientAdapterWhileSkinnedAndTheClientGivenBack) {
  TsMDIForm* mdi = Mdi();
  ASSERT_NE(nullptr, mdi);
  EXPECT_EQ(Frame, mdi->Form);
  ASSERT_NE(nullptr, mdi->MDIAdapter);
  EXPECT_EQ(mdi->MDIAdapter, GetWndAdapter(Client()));
  EXPECT_EQ(Provider->SkinData, mdi->MDIAdapter->FormSkinData);

  // Connected again and again: one adapter on the client, the ones before freed with their skin data.
  TacMDIWnd* first = mdi->MDIAdapter;
  mdi->ConnectToClient();
  EXPECT_EQ(first, mdi->MDIAdapter);
  const int handles = GdiHandleCount();
  for (int i = 0; i < 50; ++i) mdi->Connect();
  flush_events();
  EXPECT_EQ(mdi->MDIAdapter, GetWndAdapter(Client()));
  EXPECT_LE(GdiHandleCount(), handles + 2);

  // The skin goes: the client's own procedure back, no property; connecting then makes nothing.
  Manager->SetActive(false);
  flush_events();
  EXPECT_EQ(ClientProc, GetWindowLongPtrA(Client(), GWLP_WNDPROC));
  EXPECT_EQ(nullptr, GetPropA(Client(), AdapterPropName));
  if (TsMDIForm* left = Mdi()) {
    left->Connect();
    EXPECT_EQ(nullptr, left->MDIAdapter);
  }
  // And comes back.
  Manager->SetActive(true);
  flush_events();
  ASSERT_NE(nullptr, Mdi());
  ASSERT_NE(nullptr, Mdi()->MDIAdapter);
  EXPECT_EQ(Mdi()->MDIAdapter, GetWndAdapter(Client()));

  // The provider going first takes the adapter with it.
  Provider->Free();
  Provider = nullptr;
  flush_events();
  EXPECT_EQ(ClientProc, GetWindowLongPtrA(Client(), GWLP_WNDPROC));
  EXPECT_EQ(nullptr, GetPropA(Client(), AdapterPropName));
}

// The client shows the frame's MDI area around three children, also after they are tiled and
// after one is closed.
TEST_F(MDIForm, ClientPaintedFromTheFramesImage) {
  NewChild("One", 0, 0);
  NewChild("Two", 30, 30);
  TForm* three = NewChild("Three", 60, 60);
  const TColor area = SectionColor("MDIAREA");
  auto probe = [&] {
    flush_events();
    RECT cr{};
    GetClientRect(Client(), &cr);
    POINT p{cr.right - 6, cr.bottom - 6};  // the children stay in the top-left part
    ClientToScreen(Client(), &p);
    const RECT r{p.x, p.y, p.x + 1, p.y + 1};
    return CaptureScreenRect(r).Pixel(0, 0);
  };
  EXPECT_EQ(COLORREF(area), probe());
  SendMessageA(Client(), WM_MDICASCADE, 0, 0);
  EXPECT_EQ(COLORREF(area), probe());
  three->Free();
  EXPECT_EQ(COLORREF(area), probe());
}

}  // namespace
}  // namespace qvtest
