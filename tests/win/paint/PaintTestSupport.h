// Shared pieces of the painter tests: a test skin with one solid colour per state frame, a
// manager holding it, and pixel access to 24-bit bitmaps.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "skin/engine/sCommonData.h"
#include "skin/engine/sQuorvexGraph.h"
#include "skin/engine/sSkinManager.h"
#include "skin/engine/sStyleSimply.h"
#include "tests/support/SkinTestSupport.h"
#include "tests/support/core/SkinBuilder.h"

namespace painttest {

struct TBmpFree {
  void operator()(TBitmap* b) const { b->Free(); }
};
using TBmpPtr = std::unique_ptr<TBitmap, TBmpFree>;

inline TBmpPtr Bmp(int w, int h, TColor fill) {
  TBmpPtr b(CreateBmp24(w, h));
  FillBmpRect(b.get(), TRect{0, 0, w, h}, fill);
  return b;
}

inline qv::TColorRef Px(TBitmap* b, int x, int y) { return qv::ColorOf(BmpView(b).Pixel(x, y)); }

inline std::string Hex(qv::TColorRef c) {
  char s[16];
  snprintf(s, sizeof s, "%06X", unsigned(c));
  return s;
}

// A byte-wise mix A * k + B * (1 - k), as the kernels round it (within one step).
inline bool NearMix(qv::TColorRef got, qv::TColorRef a, qv::TColorRef b, double k) {
  for (int shift : {0, 8, 16}) {
    const int ca = int((a >> shift) & 0xFF), cb = int((b >> shift) & 0xFF), cg = int((got >> shift) & 0xFF);
    const double want = ca * k + cb * (1 - k);
    if (std::abs(cg - want) > 1.01) return false;
  }
  return true;
}

// Sections (in this order, so their ordinals are known): BUTTON with a 3-state border mask of
// 12 x 12 frames, PANEL with a 2-state mask type 1, GLASS (no mask) half transparent, TILED with
// a pattern image, and PLAIN without anything.
class PaintTest : public qvtest::SkinEngineTest {
 protected:
  static constexpr int kButton = 0, kPanel = 1, kGlass = 2, kTiled = 3, kPlain = 4;

  void SetUp() override {
    B.Section("BUTTON");
    B.Mask("BUTTON", "BORDERSMASK", 12, 12, 3);
    B.Section("PANEL");
    B.Mask("PANEL", "BORDERSMASK", 12, 12, 2, 1);
    B.Section("GLASS");
    B.Key("GLASS", "TRANSPARENCY", "50");
    B.Key("GLASS", "HOTTRANSPARENCY", "0");
    B.Section("TILED");
    B.Mask("TILED", "PATTERN", 5, 4, 1);
    B.Mask("TILED", "HOTPATTERN", 5, 4, 1);
    B.Section("PLAIN");
    Customize(B);
    Manager = qvtest::CreateTestManager(B);
    ASSERT_NE(Manager->Skin(), nullptr) << Manager->LastError();
  }
  void TearDown() override {
    FreeAndNil(Manager);
    qvtest::SkinEngineTest::TearDown();
  }
  virtual void Customize(qvtest::TSkinBuilder&) {}

  int Section(const char* name) const { return Manager->SectionIndexOf(name); }
  qv::TColorRef Frame(const char* section, const char* prop, int state) const {
    return qvtest::TSkinBuilder::FrameColor(B.MaskOrdinal(section, prop), state);
  }
  static qv::TColorRef SecColor(int ordinal) { return qvtest::TSkinBuilder::SectionColor(ordinal); }
  static qv::TColorRef SecHotColor(int ordinal) { return qvtest::TSkinBuilder::SectionColor(ordinal) ^ 0x404040; }

  qvtest::TSkinBuilder B;
  TsSkinManager* Manager = nullptr;
};

}  // namespace painttest
