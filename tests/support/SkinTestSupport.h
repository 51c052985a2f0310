// Windows-side fixtures for tests of skinned code: skin managers loaded from the portable test
// skin builder, a host window for controls, and minimal skinned controls that answer the skin
// command message through the common handlers and record the commands they receive.
#pragma once

#include "classlib/Win.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "classlib/Controls.h"
#include "skin/engine/sCommonData.h"
#include "skin/engine/sSkinManager.h"
#include "tests/support/core/SkinBuilder.h"

namespace qvtest {

// A manager (no owner) that holds the builder's skin as the internal skin `name` and has loaded
// it. makeDefault: it becomes the default manager. Free it with ::Free / FreeAndNil.
TsSkinManager* CreateTestManager(const TSkinBuilder& builder, const std::string& name = "Test",
                                 bool makeDefault = true);

// One skin command as a control saw it.
struct TRecordedCommand {
  int Command = 0;
  std::uint16_t Arg = 0;
  LPARAM LParam = 0;
};

// A top-level window with a window control in it that accepts child controls; the control is the
// parent of the test controls.
class TTestHost {
 public:
  TTestHost(int width = 300, int height = 200);
  ~TTestHost();
  TTestHost(const TTestHost&) = delete;
  TTestHost& operator=(const TTestHost&) = delete;
  HWND Window() const { return Wnd_; }
  TWinControl* Control() const { return Control_; }

 private:
  HWND Wnd_ = nullptr;
  TWinControl* Control_ = nullptr;
};

// A window control painted in the skin: SkinData (type code given), every message through
// HandleCommonMessage first; records the skin commands it gets and, as a container, passes skin
// QC_SKINLOADED, QC_SKINREMOVED and QC_REFRESH on to its children.
class TTestSkinControl : public TWinControl {
 public:
  QV_CLASS_NAME(TTestSkinControl)
  explicit TTestSkinControl(TComponent* AOwner, std::uint8_t typeCode = tcPanel);
  ~TTestSkinControl() override;
  void AfterConstruction() override;
  void WndProc(TMessage& Message) override;
  TsCommonData* SkinData = nullptr;
  std::vector<TRecordedCommand> Commands;
  // The codes of the commands recorded so far, without the "are you skinned" queries (QC_ISSKINNED)
  // that others ask it (the control adapter as it looks for controls to adapt).
  std::vector<int> CommandCodes() const;
};

// The same for a control without a window.
class TTestSkinGraphic : public TGraphicControl {
 public:
  QV_CLASS_NAME(TTestSkinGraphic)
  explicit TTestSkinGraphic(TComponent* AOwner, std::uint8_t typeCode = tcSpeedButton);
  ~TTestSkinGraphic() override;
  void AfterConstruction() override;
  void WndProc(TMessage& Message) override;
  TsCommonData* SkinData = nullptr;
  std::vector<TRecordedCommand> Commands;
};

// Frees the default manager's leftovers between tests: each test starts without a manager.
class SkinEngineTest : public ::testing::Test {
 protected:
  void TearDown() override;
};

}  // namespace qvtest
