// Options.dat text: values, sections, mask entries and the errors of malformed files.
#include <gtest/gtest.h>

#include "skin/engine/core/acOptionsFile.h"
#include "skin/engine/core/acSkinValues.h"

using namespace qv;

namespace {

TEST(SkinOptions, ValuesColoursAreWrittenRgbAndStoredBgr) {
  TColorRef c = 0;
  ASSERT_TRUE(ParseSkinColor("#112233", c));
  EXPECT_EQ(c, 0x332211u);
  ASSERT_TRUE(ParseSkinColor("  #aBcDeF ", c));
  EXPECT_EQ(c, 0xEFCDABu);
  EXPECT_EQ(FormatSkinColor(0x332211), "#112233");
  for (const char* bad : {"", "#", "#12345", "#1234567", "112233", "#12345G", "#-12345", "0xFF00FF", "# 12345"})
    EXPECT_FALSE(ParseSkinColor(bad, c)) << bad;
}

TEST(SkinOptions, ValuesFontColourListsCarryOutlines) {
  TsFontColors f;
  ASSERT_TRUE(ParseSkinFontColors("#000010", f));
  EXPECT_EQ(f.Text(), 0x100000u);
  EXPECT_FALSE(f.HasOutline());
  ASSERT_TRUE(ParseSkinFontColors("#000001 none #000002 NONE #000003", f));
  EXPECT_EQ(f.Items[1], clNoColor);
  EXPECT_EQ(f.Items[2], 0x020000u);
  EXPECT_EQ(f.Items[3], clNoColor);
  EXPECT_EQ(f.Items[4], 0x030000u);
  EXPECT_EQ(FormatSkinFontColors(f), "#000001 none #000002 none #000003");
  for (const char* bad : {"", "none", "#000000 #000000 #000000 #000000 #000000 #000000", "#000000 red"})
    EXPECT_FALSE(ParseSkinFontColors(bad, f)) << bad;
}

TEST(SkinOptions, ValuesNumbersAndFlagsAreStrict) {
  int v = -1;
  EXPECT_TRUE(ParseSkinInt(" 42 ", 0, 100, v));
  EXPECT_EQ(v, 42);
  EXPECT_TRUE(ParseSkinInt("+7", 0, 100, v));
  for (const char* bad : {"", "101", "-1", "4x", "1e3", "99999999999999999999", " ", "0x10"})
    EXPECT_FALSE(ParseSkinInt(bad, 0, 100, v)) << bad;
  bool b = false;
  EXPECT_TRUE(ParseSkinBool("true", b) && b);
  EXPECT_TRUE(ParseSkinBool("FALSE", b) && !b);
  EXPECT_TRUE(ParseSkinBool("1", b) && b);
  EXPECT_FALSE(ParseSkinBool("yes", b));
}

TEST(SkinOptions, ValuesGradientsAreTwoColoursAndADirection) {
  struct {
    const char* Text;
    bool Ok;
    TColorRef C1, C2;
    bool Vertical;
  } cases[] = {
      {"#102030 #405060", true, 0x302010, 0x605040, true},
      {" #102030\t#405060  v ", true, 0x302010, 0x605040, true},
      {"#000000 #FFFFFF H", true, 0x000000, 0xFFFFFF, false},
      {"#000000 #FFFFFF h", true, 0x000000, 0xFFFFFF, false},
      {"", false, 0, 0, true},
      {"#000000", false, 0, 0, true},
      {"#000000 #FFFFFF X", false, 0, 0, true},
      {"#000000 #FFFFFF V V", false, 0, 0, true},
      {"#000000 white", false, 0, 0, true},
      {"V #000000 #FFFFFF", false, 0, 0, true},
  };
  for (const auto& c : cases) {
    TsGradientData g;
    g.Color1 = 0x123456;
    EXPECT_EQ(ParseSkinGradient(c.Text, g), c.Ok) << c.Text;
    if (!c.Ok) {
      EXPECT_FALSE(g.Valid) << "unchanged on failure: " << c.Text;
      EXPECT_EQ(g.Color1, 0x123456u);
      continue;
    }
    EXPECT_TRUE(g.Valid);
    EXPECT_EQ(g.Color1, c.C1) << c.Text;
    EXPECT_EQ(g.Color2, c.C2) << c.Text;
    EXPECT_EQ(g.Vertical, c.Vertical) << c.Text;
    TsGradientData again;
    ASSERT_TRUE(ParseSkinGradient(FormatSkinGradient(g), again));
    EXPECT_EQ(again, g);
  }
}

TEST(SkinOptions, SectionsKeysAndDefaults) {
  const char* text =
      "\xEF\xBB\xBF; comment\r\n"
      "[button]\r\n"
      "  color = #102030\r\n"
      "FontColor=#FFFFFF #000000 none none #000000\n"
      "Transparency=40\n"
      "GRADIENTPERCENT=10\nIMAGEPERCENT=90\nSHOWFOCUS=TRUE\nFADINGENABLED=true\nFADINGITERATIONS=8\n"
      "RESERVEDBOOLEAN=TRUE\nPARENTCLASS=speedbutton\nCUSTOM=any text = kept\n"
      "GRADIENTDATA=#000000 #FFFFFF H\n"
      "# another comment\n\n"
      "[EDIT]\nHOTCOLOR=#010203\n";
  TOptionsFile f;
  std::string err;
  ASSERT_TRUE(ParseOptionsFile(text, f, err)) << err;
  ASSERT_EQ(f.Sections.size(), 2u);
  const TsGeneralData& b = f.Sections[0];
  EXPECT_EQ(b.Name, "BUTTON");
  EXPECT_EQ(b.Color, 0x302010u);
  EXPECT_EQ(b.HotColor, b.Color);  // hot colours default to the normal ones
  EXPECT_EQ(b.FontColor.Text(), 0xFFFFFFu);
  EXPECT_TRUE(b.FontColor.HasOutline());
  EXPECT_EQ(b.HotFontColor, b.FontColor);
  EXPECT_EQ(b.Transparency, 40);
  EXPECT_EQ(b.GradientPercent, 10);
  EXPECT_EQ(b.ImagePercent, 90);
  EXPECT_TRUE(b.ShowFocus);
  EXPECT_TRUE(b.FadingEnabled);
  EXPECT_EQ(b.FadingIterations, 8);
  EXPECT_TRUE(b.ReservedBoolean);
  EXPECT_EQ(b.ParentClass, "SPEEDBUTTON");
  EXPECT_TRUE(b.Gradient.Valid);
  EXPECT_FALSE(b.Gradient.Vertical);
  EXPECT_EQ(b.Gradient.Color2, 0xFFFFFFu);
  ASSERT_NE(b.Value("CUSTOM"), nullptr);
  EXPECT_EQ(*b.Value("CUSTOM"), "any text = kept");
  EXPECT_EQ(b.Value("custom"), nullptr);
  const TsGeneralData& e = f.Sections[1];
  EXPECT_EQ(e.HotColor, 0x030201u);
  EXPECT_EQ(e.Color, TsGeneralData().Color);
  EXPECT_FALSE(e.FadingEnabled);
  EXPECT_EQ(e.FadingIterations, 5);
  EXPECT_FALSE(e.Gradient.Valid);
}

TEST(SkinOptions, MaskEntries) {
  const char* text =
      "[SKININFO]\nMASTERBITMAP=master.bmp\n"
      "[FORM]\nBORDERSMASK=mask: file=Form.bmp count=2 type=1 margins=4,5,6,7 border=3 mode=tile\n"
      "GLYPHMASK=MASK: rect=1,2,30,40 count=3 hotonly=1\n";
  TOptionsFile f;
  std::string err;
  ASSERT_TRUE(ParseOptionsFile(text, f, err)) << err;
  ASSERT_EQ(f.Masks.size(), 2u);
  const TOptionsMask& a = f.Masks[0];
  EXPECT_EQ(a.Mask.SectionName, "FORM");
  EXPECT_EQ(a.Mask.PropertyName, "BORDERSMASK");
  EXPECT_EQ(a.FileName, "Form.bmp");
  EXPECT_FALSE(a.HasRect);
  EXPECT_EQ(a.Mask.ImageCount, 2);
  EXPECT_EQ(a.Mask.MaskType, 1);
  EXPECT_EQ(a.Mask.MarginLeft, 4);
  EXPECT_EQ(a.Mask.MarginTop, 5);
  EXPECT_EQ(a.Mask.MarginRight, 6);
  EXPECT_EQ(a.Mask.MarginBottom, 7);
  EXPECT_EQ(a.Mask.BorderWidth, 3);
  EXPECT_EQ(a.Mask.DrawMode, TsDrawMode::Tile);
  EXPECT_FALSE(a.Mask.HotOnly);
  const TOptionsMask& g = f.Masks[1];
  EXPECT_TRUE(g.Mask.HotOnly);
  EXPECT_TRUE(g.FileName.empty());
  EXPECT_TRUE(g.HasRect);
  EXPECT_EQ(g.Mask.R, Bounds(1, 2, 30, 40));
  EXPECT_EQ(g.Mask.DrawMode, TsDrawMode::Stretch);
  // Masks are not keys of the section.
  EXPECT_EQ(f.Sections[1].Value("BORDERSMASK"), nullptr);
}

TEST(SkinOptions, WriteThenParseGivesTheSame) {
  const char* text =
      "[A]\nCOLOR=#010203\nFONTCOLOR=#000000 #FFFFFF none none none\nPARENTCLASS=B\nX=1\n"
      "P=mask: file=p.bmp count=1 type=0 mode=tile\n"
      "GRADIENTDATA=#FF0000 #00FF00 H\n"
      "[B]\nQ=mask: file=q.bmp rect=0,0,9,18 count=3 type=1 margins=1,2,1,2 border=1 mode=stretch hotonly=true\n";
  TOptionsFile f, g;
  std::string err;
  ASSERT_TRUE(ParseOptionsFile(text, f, err)) << err;
  const std::string written = WriteOptionsFile(f);
  ASSERT_TRUE(ParseOptionsFile(written, g, err)) << err << "\n" << written;
  ASSERT_EQ(g.Sections.size(), f.Sections.size());
  for (std::size_t i = 0; i < f.Sections.size(); ++i) EXPECT_EQ(g.Sections[i].Keys, f.Sections[i].Keys);
  ASSERT_EQ(g.Masks.size(), f.Masks.size());
  for (std::size_t i = 0; i < f.Masks.size(); ++i) {
    EXPECT_EQ(g.Masks[i].FileName, f.Masks[i].FileName);
    EXPECT_EQ(g.Masks[i].Mask.R, f.Masks[i].Mask.R);
    EXPECT_EQ(g.Masks[i].Mask.BorderWidth, f.Masks[i].Mask.BorderWidth);
    EXPECT_EQ(g.Masks[i].Mask.DrawMode, f.Masks[i].Mask.DrawMode);
    EXPECT_EQ(g.Masks[i].Mask.HotOnly, f.Masks[i].Mask.HotOnly);
  }
  EXPECT_TRUE(g.Masks[1].Mask.HotOnly);
  EXPECT_EQ(g.Sections[0].Gradient, f.Sections[0].Gradient);
  EXPECT_TRUE(g.Sections[0].Gradient.Valid);
  EXPECT_EQ(WriteOptionsFile(g), written);
}

struct TBadOptions {
  const char* Text;
  const char* ErrorPart;
};

TEST(SkinOptions, MalformedFilesFailWithTheLineAndReason) {
  const TBadOptions cases[] = {
      {"COLOR=#000000\n", "line 1: key outside a section"},
      {"[A]\nnot a key\n", "line 2: \"key=value\""},
      {"[A\n", "without ']'"},
      {"[]\n", "bad section name"},
      {"[A B]\n", "bad section name"},
      {"[A]\n[a]\n", "line 2: section [A] given twice"},
      {"[A]\nCOLOR=#000000\ncolor=#000000\n", "line 3: key COLOR given twice"},
      {"[A]\n=1\n", "bad key name"},
      {"[A]\nCOLOR=red\n", "line 2: [A] COLOR=red: a colour"},
      {"[A]\nTRANSPARENCY=101\n", "0..100"},
      {"[A]\nGRADIENTPERCENT=-5\n", "0..100"},
      {"[A]\nSHOWFOCUS=maybe\n", "TRUE or FALSE"},
      {"[A]\nFADINGITERATIONS=0\n", "1..100"},
      {"[A]\nFADINGITERATIONS=99999999999\n", "1..100"},
      {"[A]\nPARENTCLASS=a b\n", "a section name"},
      {"[A]\nX=a\x01z\n", "control character"},
      {"[A]\nP=mask: file=p.bmp count=0\n", "state count 0"},
      {"[A]\nP=mask: file=p.bmp count=-3\n", "state count -3"},
      {"[A]\nP=mask: file=p.bmp count=100000\n", "state count 100000"},
      {"[A]\nP=mask: file=p.bmp type=2\n", "mask type 2 is not 0 or 1"},
      {"[A]\nP=mask: file=p.bmp colour=1\n", "unknown mask field COLOUR"},
      {"[A]\nP=mask: file=p.bmp count=1 count=2\n", "COUNT given twice"},
      {"[A]\nP=mask: file=../p.bmp\n", "bad image file name"},
      {"[A]\nP=mask: file=c:\\p.bmp\n", "bad image file name"},
      {"[A]\nP=mask: rect=1,2,3\n", "rect=x,y,width,height"},
      {"[A]\nP=mask: rect=1,2,3,99999\n", "rect=x,y,width,height"},
      {"[A]\nP=mask: file=p.bmp margins=1,2,3,4,5\n", "margins="},
      {"[A]\nP=mask: file=p.bmp mode=wrap\n", "stretch or tile"},
      {"[A]\nP=mask: count=1\n", "master bitmap needs rect="},
      {"[A]\nP=mask: file=p.bmp\nP=mask: file=q.bmp\n", "mask P given twice"},
      {"[A]\nP=mask: file\n", "not name=value"},
      {"[A]\nP=mask: file=p.bmp hotonly=2\n", "hotonly: 1 or 0"},
      {"[A]\nGRADIENTDATA=#000000\n", "[A] GRADIENTDATA=#000000: two colours"},
      {"[A]\nGRADIENTDATA=#000000 #FFFFFF D\n", "optional direction V or H"},
  };
  for (const TBadOptions& c : cases) {
    TOptionsFile f;
    f.Sections.resize(1);
    std::string err;
    EXPECT_FALSE(ParseOptionsFile(c.Text, f, err)) << c.Text;
    EXPECT_NE(err.find(c.ErrorPart), std::string::npos) << c.Text << " -> " << err;
    EXPECT_EQ(f.Sections.size(), 1u) << "output changed on failure";
  }
}

TEST(SkinOptions, SizeBoundsHold) {
  TOptionsFile f;
  std::string err;
  std::string longLine = "[A]\nX=" + std::string(5000, 'x') + "\n";
  EXPECT_FALSE(ParseOptionsFile(longLine, f, err));
  EXPECT_NE(err.find("longer than"), std::string::npos);
  std::string huge(skinlimits::MaxOptionsBytes + 1, ';');
  EXPECT_FALSE(ParseOptionsFile(huge, f, err));
  EXPECT_NE(err.find("larger than"), std::string::npos);
  std::string many;
  for (int i = 0; i <= skinlimits::MaxKeysPerSection; ++i)
    many += (i == 0 ? "[A]\n" : "") + ("K" + std::to_string(i) + "=1\n");
  EXPECT_FALSE(ParseOptionsFile(many, f, err));
  EXPECT_NE(err.find("too many keys"), std::string::npos);
}

TEST(SkinOptions, SectionSetChecksAndKeepsTheOldValueOnError) {
  TsGeneralData s;
  s.Name = "A";
  EXPECT_EQ(s.Set("color", "#0000FF"), "");
  EXPECT_EQ(s.Color, 0xFF0000u);
  EXPECT_NE(s.Set("COLOR", "blue"), "");
  EXPECT_EQ(s.Color, 0xFF0000u);
  EXPECT_EQ(*s.Value("COLOR"), "#0000FF");
  s.SetBool("FADINGENABLED", true);
  s.SetInt("FADINGITERATIONS", 12);
  EXPECT_TRUE(s.FadingEnabled);
  EXPECT_EQ(s.FadingIterations, 12);
}

}  // namespace
