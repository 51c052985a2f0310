#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classlib/core/ButtonGlyph.h"

namespace {

const qv::TBgr kKey{0, 128, 128};  // olive
const qv::TBgr kHigh{255, 255, 255};
const qv::TBgr kShadow{128, 128, 128};

// A glyph from rows of letters: '.' key, 'w' white, 'b' black, 'r' red.
qv::TImage24 Glyph(const std::vector<std::string>& rows) {
  qv::TImage24 img(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
  for (int y = 0; y < img.Height(); ++y)
    for (int x = 0; x < img.Width(); ++x) {
      const char c = rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
      img.SetPixel(x, y,
                   c == '.'   ? kKey
                   : c == 'w' ? qv::TBgr{255, 255, 255}
                   : c == 'b' ? qv::TBgr{}
                              : qv::TBgr{0, 0, 255});
    }
  return img;
}

// The result as rows of letters: '.' key, 'h' highlight, 's' shadow, '?' anything else.
std::vector<std::string> Rows(const qv::TImage24& img) {
  std::vector<std::string> rows;
  for (int y = 0; y < img.Height(); ++y) {
    std::string row;
    for (int x = 0; x < img.Width(); ++x) {
      const qv::TBgr p = img.Pixel(x, y);
      row += p == kKey ? '.' : p == kHigh ? 'h' : p == kShadow ? 's' : '?';
    }
    rows.push_back(row);
  }
  return rows;
}

TEST(ButtonGlyph, InkIsEmbossedKeyAndWhiteVanish) {
  const qv::TImage24 glyph = Glyph({
      "r...",
      ".bw.",
      "....",
  });
  qv::TImage24 out(4, 3);
  out.Fill(qv::TBgr{1, 2, 3});
  qv::MakeDisabledGlyph(glyph.View(), kKey, out.View(), kHigh, kShadow);
  const std::vector<std::string> want = {
      "s...",
      ".s..",
      "..h.",
  };
  EXPECT_EQ(want, Rows(out));
}

TEST(ButtonGlyph, HighlightFallingPastTheEdgeIsCutAndSmallerViewsLimit) {
  const qv::TImage24 glyph = Glyph({
      "..",
      ".b",
  });
  qv::TImage24 out(2, 2);
  qv::MakeDisabledGlyph(glyph.View(), kKey, out.View(), kHigh, kShadow);
  EXPECT_EQ((std::vector<std::string>{"..", ".s"}), Rows(out));
  qv::TImage24 small(1, 1);
  small.Fill(qv::TBgr{9, 9, 9});
  qv::MakeDisabledGlyph(glyph.View(), kKey, small.View(), kHigh, kShadow);
  EXPECT_EQ((std::vector<std::string>{"."}), Rows(small));
  qv::MakeDisabledGlyph(qv::TImageView{}, kKey, small.View(), kHigh, kShadow);  // empty: nothing
  EXPECT_EQ((std::vector<std::string>{"."}), Rows(small));
}

}  // namespace
