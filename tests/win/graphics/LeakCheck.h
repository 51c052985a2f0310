// Every graphics test runs inside this fixture: the handles the library counts must be back at
// their starting numbers when the test ends.
#pragma once

#include <gtest/gtest.h>

#include "classlib/Graphics.h"

class GraphicsTest : public testing::Test {
 protected:
  void SetUp() override { Before_ = GdiLiveCounts(); }
  void TearDown() override {
    TGdiCounts after = GdiLiveCounts();
    EXPECT_EQ(Before_.Objects, after.Objects) << "GDI objects leaked";
    EXPECT_EQ(Before_.MemoryDCs, after.MemoryDCs) << "memory DCs leaked";
    EXPECT_EQ(Before_.Icons, after.Icons) << "icons leaked";
    EXPECT_EQ(Before_.ImageLists, after.ImageLists) << "image lists leaked";
  }

 private:
  TGdiCounts Before_;
};

// A test colour per position, distinct in all three channels.
inline TColor PatternColor(int x, int y) { return RGBColor(x * 37 + 11, y * 53 + 7, (x * 13 + y * 29) & 0xFF); }
