#include <gtest/gtest.h>

#include "classlib/core/DisabledLook.h"

namespace {

TEST(DisabledLook, GreysByLuminanceInsideTheMaskOnly) {
  qv::TImage24 background(3, 1), image(3, 1), mask(3, 1);
  background.Fill(qv::TBgr{0, 255, 0});
  image.SetPixel(0, 0, qv::TBgr{0, 0, 0});
  image.SetPixel(1, 0, qv::TBgr{255, 255, 255});
  image.SetPixel(2, 0, qv::TBgr{0, 0, 255});
  mask.Fill(qv::TBgr{0, 0, 0});
  mask.SetPixel(2, 0, qv::TBgr{255, 255, 255});  // not covered by the image
  qv::ApplyDisabledLook(background.View(), image.View(), mask.View());
  EXPECT_EQ(background.Pixel(0, 0), (qv::TBgr{128, 128, 128}));
  EXPECT_EQ(background.Pixel(1, 0), (qv::TBgr{255, 255, 255}));
  EXPECT_EQ(background.Pixel(2, 0), (qv::TBgr{0, 255, 0}));
}

TEST(DisabledLook, SmallerViewsLimitTheArea) {
  qv::TImage24 background(4, 4), image(2, 2), mask(4, 4);
  background.Fill(qv::TBgr{1, 2, 3});
  qv::ApplyDisabledLook(background.View(), image.View(), mask.View());
  EXPECT_EQ(background.Pixel(1, 1), (qv::TBgr{128, 128, 128}));
  EXPECT_EQ(background.Pixel(2, 2), (qv::TBgr{1, 2, 3}));
  qv::ApplyDisabledLook(background.View(), qv::TImageView{}, mask.View());  // empty: nothing
}

}  // namespace
