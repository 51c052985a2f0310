// Check boxes, radio buttons, group boxes, labels and panels: state kept by the control and shown
// by the window, click cycles, radio siblings, accelerators, auto-size and client areas.
#include <gtest/gtest.h>

#include "classlib/ExtCtrlsPanels.h"
#include "classlib/Forms.h"
#include "classlib/StdCtrls.h"
#include "classlib/core/TypInfo.h"
#include "tests/support/FormFixture.h"
#include "tests/support/PixelProbe.h"
#include "tests/support/Pump.h"

using namespace qvtest;

// Each test runs on a fresh test form.
class ChecksLabels : public FormTest {};

namespace {

struct Log {
  std::vector<std::string> Items;
  void Click(TObject* s) { Items.push_back(static_cast<TComponent*>(s)->Name() + ".click"); }
};

// Notes CM_CHANGED reaching a control's WindowProc.
struct ChangedSpy {
  TControl* Control = nullptr;
  TWndMethod Old;
  Log* Out = nullptr;
  void Attach(TControl* c, Log* out) {
    Control = c;
    Out = out;
    Old = c->WindowProc;
    c->WindowProc = MakeMethod<&ChangedSpy::Proc>(this);
  }
  void Proc(TMessage& m) {
    if (m.Msg == CM_CHANGED) Out->Items.push_back(Control->Name() + ".changed");
    Old(m);
  }
  ~ChangedSpy() {
    if (Control) Control->WindowProc = Old;
  }
};

LRESULT CheckOf(TWinControl* c) { return SendMessageA(c->Handle(), BM_GETCHECK, 0, 0); }

}  // namespace

TEST_F(ChecksLabels, CheckBoxStateCyclesThroughClicksAndLivesInTheWindow) {
  auto* cb = Create<TCheckBox>(Form);
  cb->SetName("Cb");
  cb->SetParent(Form);
  Log log;
  cb->OnClick = MakeMethod<&Log::Click>(&log);
  cb->SetAllowGrayed(true);
  struct Step {
    TCheckBoxState State;
    LRESULT Check;
  };
  const Step cycle[] = {{cbGrayed, BST_INDETERMINATE},
                        {cbChecked, BST_CHECKED},
                        {cbUnchecked, BST_UNCHECKED},
                        {cbGrayed, BST_INDETERMINATE}};
  for (const Step& s : cycle) {
    SendMessageA(cb->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(s.State, cb->State());
    EXPECT_EQ(s.Check, CheckOf(cb));
  }
  EXPECT_EQ(4u, log.Items.size());
  // Without AllowGrayed a grayed box becomes unchecked; the state survives a new window.
  cb->SetAllowGrayed(false);
  EXPECT_EQ(cbUnchecked, cb->State());
  cb->SetChecked(true);
  cb->SetAlignment(taLeftJustify);
  cb->HandleNeeded();
  EXPECT_EQ(BST_CHECKED, CheckOf(cb));
  EXPECT_NE(0, GetWindowLongPtrA(cb->Handle(), GWL_STYLE) & BS_LEFTTEXT);
  EXPECT_EQ(BS_3STATE, GetWindowLongPtrA(cb->Handle(), GWL_STYLE) & BS_TYPEMASK);
  EXPECT_TRUE(cb->Checked());
}

TEST_F(ChecksLabels, CheckingARadioButtonUnchecksItsSiblingsOnly) {
  auto* box = Create<TGroupBox>(Form);
  box->SetParent(Form);
  box->SetBounds(150, 10, 120, 80);
  TRadioButton* r[3];
  for (int i = 0; i < 3; ++i) {
    r[i] = Create<TRadioButton>(Form);
    r[i]->SetName("R" + std::to_string(i));
    r[i]->SetParent(i < 2 ? static_cast<TWinControl*>(Form) : box);
    r[i]->SetTop(10 + 20 * i);
  }
  Log log;
  for (auto* b : r) b->OnClick = MakeMethod<&Log::Click>(&log);
  ChangedSpy s0, s1;
  s0.Attach(r[0], &log);
  s1.Attach(r[1], &log);
  r[2]->SetChecked(true);
  r[0]->SetChecked(true);
  log.Items.clear();
  SendMessageA(r[1]->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ((std::vector<std::string>{"R0.changed", "R1.changed", "R1.click"}), log.Items);
  EXPECT_FALSE(r[0]->Checked());
  EXPECT_TRUE(r[1]->Checked());
  EXPECT_TRUE(r[2]->Checked());  // another parent
  EXPECT_EQ(BST_UNCHECKED, CheckOf(r[0]));
  EXPECT_EQ(BST_CHECKED, CheckOf(r[1]));
  EXPECT_TRUE(r[1]->TabStop());
  EXPECT_FALSE(r[0]->TabStop());
  r[1]->RecreateWnd();
  EXPECT_EQ(BST_CHECKED, CheckOf(r[1]));
  EXPECT_EQ(BS_RADIOBUTTON, GetWindowLongPtrA(r[1]->Handle(), GWL_STYLE) & BS_TYPEMASK);
}

TEST_F(ChecksLabels, GroupBoxAndPanelAlignChildrenInsideTheirFrames) {
  auto* box = Create<TGroupBox>(Form);
  box->SetParent(Form);
  box->SetBounds(0, 0, 150, 100);
  box->SetCaption("Group");
  auto* inner = Create<TPanel>(Form);
  inner->SetParent(box);
  inner->SetAlign(alClient);
  TRect r = box->ClientRect();
  box->AdjustClientRect(r);
  EXPECT_EQ(r, inner->BoundsRect());
  EXPECT_GT(r.Top, 4);

  auto* panel = Create<TPanel>(Form);
  panel->SetParent(Form);
  panel->SetBounds(160, 0, 100, 100);
  panel->SetBevelInner(bvLowered);
  panel->SetBevelWidth(3);
  auto* child = Create<TPanel>(Form);
  child->SetParent(panel);
  child->SetAlign(alClient);
  EXPECT_EQ(Rect(6, 6, 94, 94), child->BoundsRect());
  // BorderWidth: a band outside the client area (of every window control) and the same band
  // between the panel's two bevels, painted in the panel's colour.
  panel->SetColor(clYellow);
  panel->SetBorderWidth(2);
  EXPECT_EQ(Rect(8, 8, 88, 88), child->BoundsRect());
  child->SetVisible(false);
  flush_events();
  const Capture shot = CaptureWMPrint(panel->Handle(), PRF_CLIENT);  // client coordinates
  EXPECT_NE(RGB(255, 255, 0), shot.Pixel(2, 50));                    // the outer bevel
  EXPECT_EQ(RGB(255, 255, 0), shot.Pixel(3, 50));                    // the border between the bevels
  EXPECT_EQ(RGB(255, 255, 0), shot.Pixel(4, 50));
  EXPECT_NE(RGB(255, 255, 0), shot.Pixel(5, 50));  // the inner bevel
  child->SetVisible(true);
  panel->SetBorderWidth(0);
  panel->SetBorderStyle(bsSingle);
  panel->HandleNeeded();
  EXPECT_NE(0, GetWindowLongPtrA(panel->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_EQ(taCenter, panel->Alignment());
  EXPECT_EQ(bvRaised, GetOrdPropByName(panel, "BevelOuter"));
  EXPECT_EQ(bvLowered, GetOrdPropByName(panel, "BevelInner"));
}

TEST_F(ChecksLabels, LabelSizesToItsCaptionAndFocusesItsControlOnItsAccelerator) {
  auto* edit = Create<TEdit>(Form);
  edit->SetParent(Form);
  edit->SetTop(60);
  auto* l = Create<TLabel>(Form);
  l->SetParent(Form);
  l->SetBounds(200, 10, 10, 10);
  l->SetCaption("&Name");
  const int w1 = l->Width();
  EXPECT_GT(w1, 10);
  l->SetCaption("&Name and more");
  EXPECT_GT(l->Width(), w1);
  // Right-justified auto-size keeps the right edge.
  const int right = l->Left() + l->Width();
  l->SetAlignment(taRightJustify);
  l->SetCaption("&N");
  EXPECT_EQ(right, l->Left() + l->Width());

  l->SetFocusControl(edit);
  EXPECT_EQ(1, l->Perform(CM_DIALOGCHAR, 'n', 0));
  flush_events();
  EXPECT_TRUE(edit->Focused());
  EXPECT_EQ(0, l->Perform(CM_DIALOGCHAR, 'x', 0));

  EXPECT_FALSE(l->Transparent());
  l->SetTransparent(true);
  EXPECT_FALSE(l->ControlStyle().Contains(csOpaque));
  edit->Free();
  EXPECT_EQ(nullptr, l->FocusControl());
}
