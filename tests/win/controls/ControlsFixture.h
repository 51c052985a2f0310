// Shared fixture of the skinned-control tests: a shown form and, on demand, a default manager
// loaded with a test skin whose every state frame is a distinct solid colour.
#pragma once

#include <gtest/gtest.h>

#include "classlib/Forms.h"
#include "skin/engine/sFade.h"
#include "skin/engine/sSkinManager.h"
#include "tests/support/PixelProbe.h"
#include "tests/support/Pump.h"
#include "tests/support/SkinTestSupport.h"

namespace qvtest {

class ControlsTest : public SkinEngineTest {
 protected:
  void SetUp() override {
    Application->ResetTerminated();
    Application->SetShowHint(true);
    Form = Create<TForm>(Application);
    Form->SetBounds(40, 40, 360, 260);
    Form->SetCaption("Controls");
    Form->Show();
    flush_events();
  }
  void TearDown() override {
    if (Form) FreeAndNil(Form);
    flush_events();
    FreeAndNil(Manager);
    flush_events();
    SkinEngineTest::TearDown();
  }
  // Loads the skin as the default manager's.
  void LoadSkin(const TSkinBuilder& b) {
    Builder = b;
    Manager = CreateTestManager(Builder);
    flush_events();
  }
  void LoadStandardSkin() { LoadSkin(TSkinBuilder::Standard()); }
  COLORREF Frame(const char* section, int state) const {
    return TSkinBuilder::FrameColor(Builder.MaskOrdinal(section, "BORDERSMASK"), state);
  }
  static COLORREF CachePixel(TsCommonData* sd, int x, int y) {
    return CaptureBitmap(sd->CacheBmp->Handle()).Pixel(x, y);
  }

  TForm* Form = nullptr;
  TsSkinManager* Manager = nullptr;
  TSkinBuilder Builder;
};

}  // namespace qvtest
