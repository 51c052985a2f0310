// Edit-mask rules of the masked edit: fields, escapes, case switches, formatting and values.
#include <gtest/gtest.h>

#include "classlib/core/EditMask.h"

TEST(EditMask, FieldsEscapesAndBlanks) {
  TEditMask m("\\(000\\) 000;0;#");
  EXPECT_EQ("(###) ###", m.BlankText());
  EXPECT_FALSE(m.SaveLiterals());
  EXPECT_EQ('#', m.Blank());
  EXPECT_EQ("(123) 45#", m.Format("12345"));
  EXPECT_EQ("12345 ", m.Value("(123) 45#"));
  EXPECT_EQ(1, m.NextInput(0));
  EXPECT_EQ(3, m.PrevInput(6));
  EXPECT_EQ(m.Length(), m.NextInput(99));
  EXPECT_EQ(-1, m.PrevInput(1));
}

TEST(EditMask, ExclamationMarkTakesNoPosition) {
  TEditMask m("!(999) 000;1;_");
  EXPECT_EQ("(___) ___", m.BlankText());
  EXPECT_EQ(9, m.Length());
  EXPECT_EQ(1, m.NextInput(0));
  EXPECT_EQ("!_", TEditMask("\\!0").BlankText());  // an escaped one is a literal
}

TEST(EditMask, CharacterClassesAndCase) {
  struct Case {
    const char* Mask;
    char In;
    char Out;  // '\0': refused
  };
  const Case cases[] = {{"L", 'a', 'a'},  {"L", '1', 0},    {"A", '7', '7'},   {"A", '-', 0},
                        {"0", 'x', 0},    {"9", '5', '5'},  {"#", '+', '+'},   {"C", ' ', ' '},
                        {">l", 'q', 'Q'}, {"<L", 'Q', 'q'}, {"><a", 'Q', 'Q'}, {"-", '-', 0}};
  for (const Case& c : cases) EXPECT_EQ(c.Out, TEditMask(c.Mask).Accept(0, c.In)) << c.Mask << " " << c.In;
}

TEST(EditMask, CompletenessAndDefaults) {
  TEditMask req("00:00");
  EXPECT_TRUE(req.SaveLiterals());
  EXPECT_EQ('_', req.Blank());
  EXPECT_FALSE(req.Complete("12:_3"));
  EXPECT_TRUE(req.Complete("12:34"));
  EXPECT_TRUE(TEditMask("99:99").Complete("__:__"));
  EXPECT_EQ("12:34", req.Format("12:34"));
  EXPECT_EQ("1_:34", req.Format("1x:34"));  // unfitting characters stay blank
  EXPECT_TRUE(TEditMask("").Empty());
  EXPECT_EQ("x;y", TEditMask("x\\;y").BlankText());
}
