// A gtest fixture that makes a top-level test form (shown, at a fixed place) before each test and
// frees it afterwards, draining the queue around both so that X11's late messages do not leak
// into the next test.
#pragma once

#include <gtest/gtest.h>

#include "classlib/Forms.h"
#include "tests/support/Pump.h"

namespace qvtest {

class FormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->ResetTerminated();
    // The real mouse stays off the test forms, so only the messages a test sends move it there.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2);
    Form = Create<TForm>(Application);
    Form->SetBounds(40, 40, 320, 240);
    Form->SetCaption("Test form");
    Form->Show();
    flush_events();
  }
  void TearDown() override {
    if (Form) FreeAndNil(Form);
    flush_events();
  }
  TForm* Form = nullptr;
};

}  // namespace qvtest
