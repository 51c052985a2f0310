// The clipboard (Clipbrd): its text.
#include "classlib/Clipbrd.h"
#include "tests/win/graphics/LeakCheck.h"

namespace {

using Clipbrd = GraphicsTest;

TEST_F(Clipbrd, TextRoundTrip) {
  Clipboard()->SetAsText("Quorvex clipboard text");
  EXPECT_TRUE(Clipboard()->HasFormat(CF_TEXT));
  EXPECT_EQ(Clipboard()->AsText(), "Quorvex clipboard text");
  Clipboard()->Open();
  Clipboard()->SetAsText("two");  // nested opening
  EXPECT_EQ(Clipboard()->AsText(), "two");
  Clipboard()->Close();
  Clipboard()->Clear();
  EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));
  EXPECT_EQ(Clipboard()->AsText(), "");
}

}  // namespace
