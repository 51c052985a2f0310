// The provider's life on a form: the window procedure taken and given back, one provider per form
// however it is owned, the list of skinned forms, what the form gets back when the provider goes
// first, and the skin commands it answers in either state.
#include "tests/win/provider/ProviderTestSupport.h"

#include "classlib/ExtCtrlsPanels.h"
#include "tests/support/ProcSpy.h"

namespace qvtest {
namespace {

using Provider = ProviderTest;

bool Listed(TCustomForm* form) {
  const auto& list = SkinnedForms();
  return std::find(list.begin(), list.end(), form) != list.end();
}

TEST_F(Provider, TakesTheFormOnceAndGivesEverythingBackWhenItGoesFirst) {
  auto* form = Create<TForm>(Application);
  Forms.push_back(form);
  form->SetTag(-98);  // shown plain first: the dialog hook leaves it alone
  form->SetBounds(60, 60, 300, 200);
  form->SetColor(clAqua);
  form->Show();
  flush_events();
  const TWndMethod own = form->WindowProc;
  const LONG style = GetWindowLongA(form->Handle(), GWL_STYLE);
  ASSERT_TRUE(style & WS_SYSMENU);

  auto* provider = Create<TsSkinProvider>(form);
  flush_events();
  EXPECT_FALSE(form->WindowProc == own);
  EXPECT_TRUE(Listed(form));
  EXPECT_FALSE(GetWindowLongA(form->Handle(), GWL_STYLE) & WS_SYSMENU) << "the provider paints the buttons";
  EXPECT_EQ(Manager->GetGlobalColor(), form->Color());
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  EXPECT_NE(ERROR, GetWindowRgn(form->Handle(), rgn)) << "cut from the skin's corners";

  // A second provider, owned deeper down, never takes the form over: the first keeps it.
  auto* panel = Create<TPanel>(form);
  auto* second = Create<TsSkinProvider>(panel);
  EXPECT_EQ(nullptr, second->Form);
  EXPECT_EQ(provider, TsSkinProvider::ProviderOf(form));
  second->Free();
  EXPECT_EQ(LRESULT(provider), SendSkinCommand(form->Handle(), QC_GETPROVIDER));

  provider->Free();
  flush_events();
  EXPECT_TRUE(form->WindowProc == own);
  EXPECT_FALSE(Listed(form));
  EXPECT_EQ(style & WS_SYSMENU, GetWindowLongA(form->Handle(), GWL_STYLE) & WS_SYSMENU);
  EXPECT_EQ(ERROR, GetWindowRgn(form->Handle(), rgn));
  EXPECT_EQ(clAqua, form->Color());
  DeleteObject(rgn);

  // Without a form nothing is touched, whatever is set.
  auto* lone = Create<TsSkinProvider>(nullptr);
  lone->SetUseGlobalColor(false);
  lone->SetUseGlobalColor(true);
  lone->Free();
}

TEST_F(Provider, FormFreedWithItsProviderLeavesNoListEntry) {
  TRecordingForm* form = NewForm();
  TsSkinProvider* provider = ProviderOf(form);
  ASSERT_NE(nullptr, provider);
  Forms.clear();
  form->Free();
  flush_events();
  EXPECT_FALSE(Listed(form));
  EXPECT_EQ(nullptr, TsSkinProvider::FromAnswer(LRESULT(provider)));
}

TEST_F(Provider, SkinCommandAnswers) {
  TRecordingForm* form = NewForm();
  TsSkinProvider* p = ProviderOf(form);
  auto* child = Create<TTestSkinControl>(form);
  child->SetParent(form);
  child->SetBounds(10, 10, 40, 30);
  // What the form's own procedure still receives.
  ProcSpy own;
  own.Only = {SM_QUORVEXCMD};
  own.Old = p->OldWndProc;
  own.Control = form;
  p->OldWndProc = MakeMethod<&ProcSpy::Proc>(&own);

  POINT origin{0, 0};
  ClientToScreen(form->Handle(), &origin);
  const TPoint corner = p->FormLeftTop();
  const LRESULT offset = (origin.x - corner.X) | ((origin.y - corner.Y) << 16);
  auto* other = Create<TsSkinManager>(nullptr);
  other->SetIsDefault(false);
  struct TRow {
    const char* What;
    int Command;
    LPARAM LParam;
    LRESULT Result;
  };
  for (bool skinned : {true, false}) {
    SCOPED_TRACE(skinned ? "skinned" : "plain");
    Manager->SetActive(skinned);
    flush_events();
    const TRow rows[] = {
        {"is skinned", QC_ISSKINNED, 0, 1},
        {"provider", QC_GETPROVIDER, 0, LRESULT(p)},
        {"client offset", QC_GETCLIENTOFFSET, 0, offset},
        {"application", QC_GETAPPLICATION, 0, LRESULT(Application)},
    };
    for (const TRow& r : rows) EXPECT_EQ(r.Result, SendSkinCommand(form->Handle(), r.Command, r.LParam)) << r.What;
  }
  Manager->SetActive(true);
  flush_events();
  own.Seen.clear();
  child->Commands.clear();
  // Unknown commands and the skinned state's own go nowhere; a foreign manager's removal only on.
  SendSkinCommand(form->Handle(), 99);
  SendSkinCommand(form->Handle(), QC_MOUSEENTERWND);
  SendSkinCommand(form->Handle(), QC_SKINREMOVED, LPARAM(other));
  EXPECT_EQ(0, own.Count(SM_QUORVEXCMD));
  ASSERT_EQ(1u, child->CommandCodes().size());
  EXPECT_EQ(QC_SKINREMOVED, child->CommandCodes()[0]);
  EXPECT_TRUE(p->Skinned());
  // The form's colour: the designed one comes back with the skin's removal.
  Manager->SetActive(false);
  flush_events();
  EXPECT_EQ(clBtnFace, form->Color());
  EXPECT_EQ(ERROR, GetWindowRgn(form->Handle(), nullptr));
  p->OldWndProc = own.Old;
  other->Free();
}

TEST_F(Provider, SkinCommandsReachTheFormsControlsAndWindows) {
  TRecordingForm* form = NewForm();
  auto* child = Create<TTestSkinControl>(form);
  child->SetParent(form);
  child->SetBounds(10, 10, 40, 30);
  HWND bare = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 60, 10, 40, 20, form->Handle(), nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  MessageSpy spy;
  spy.Watch(bare);
  child->Commands.clear();
  Manager->SetSkinName("Test");  // the same skin again: loaded, then refreshed
  flush_events();
  std::vector<int> changes;
  for (int c : child->CommandCodes())
    if (c == QC_SKINLOADED || c == QC_SKINREMOVED || c == QC_REFRESH) changes.push_back(c);
  EXPECT_EQ((std::vector<int>{QC_SKINLOADED, QC_REFRESH}), changes);
  std::vector<int> bareCommands;
  for (const MsgEntry& e : spy.Entries())
    if (e.Msg == SM_QUORVEXCMD && HIWORD(e.WParam) != QC_ISSKINNED) bareCommands.push_back(HIWORD(e.WParam));
  EXPECT_EQ((std::vector<int>{QC_SKINLOADED, QC_REFRESH}), bareCommands);
  spy.Unwatch(bare);
  DestroyWindow(bare);
}

}  // namespace
}  // namespace qvtest
