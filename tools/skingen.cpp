// Draws the shipped skins with code and writes each as a folder and a packed file.
//
//   skingen <skins folder>
//
// "Default": light blue-grey, gradients, rounded corners, all frames cut from one master bitmap.
// "Graphite": dark, flat, nearly square corners, one file per image.
// Transparent pixels use the key colour 0xFF00FF (mask type 0).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "skin/engine/core/acSkinLoader.h"
#include "skin/engine/core/acSkinValues.h"

using namespace qv;
namespace fs = std::filesystem;

namespace {

// ---------------------------------------------------------------------------------------------
// Colours and drawing

struct TRgb {
  int R = 0, G = 0, B = 0;
};

TRgb Mix(TRgb a, TRgb b, double k) {  // k = share of b
  return TRgb{int(std::lround(a.R + (b.R - a.R) * k)), int(std::lround(a.G + (b.G - a.G) * k)),
              int(std::lround(a.B + (b.B - a.B) * k))};
}
TRgb Lighter(TRgb c, double k) { return Mix(c, TRgb{255, 255, 255}, k); }
TRgb Darker(TRgb c, double k) { return Mix(c, TRgb{0, 0, 0}, k); }
TBgr Bgr(TRgb c) {
  auto cl = [](int v) { return std::uint8_t(std::clamp(v, 0, 255)); };
  return TBgr{cl(c.B), cl(c.G), cl(c.R)};
}
TColorRef Ref(TRgb c) { return ColorOf(Bgr(c)); }
const TRgb kKey{255, 0, 255};

// Contrast as the web's accessibility guidelines measure it: 1 (none) to 21 (black on white).
double Luminance(TRgb c) {
  auto lin = [](int v) {
    const double x = std::clamp(v, 0, 255) / 255.0;
    return x <= 0.03928 ? x / 12.92 : std::pow((x + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * lin(c.R) + 0.7152 * lin(c.G) + 0.0722 * lin(c.B);
}
double Contrast(TRgb a, TRgb b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}
// Fg, moved towards white or black (away from Bg) until it keeps Ratio against Bg.
TRgb Readable(TRgb fg, TRgb bg, double ratio) {
  const TRgb to = Luminance(bg) > 0.18 ? TRgb{0, 0, 0} : TRgb{255, 255, 255};
  for (int i = 0; i <= 20 && Contrast(fg, bg) < ratio; ++i) fg = Mix(fg, to, 0.1);
  return fg;
}

struct TCanvas {
  TImage24& Img;
  void Px(int x, int y, TRgb c) {
    if (x >= 0 && y >= 0 && x < Img.Width() && y < Img.Height()) Img.SetPixel(x, y, Bgr(c));
  }
  void Fill(int x, int y, int w, int h, TRgb c) {
    for (int j = 0; j < h; ++j)
      for (int i = 0; i < w; ++i) Px(x + i, y + j, c);
  }
  void VGradient(int x, int y, int w, int h, TRgb top, TRgb bottom) {
    for (int j = 0; j < h; ++j) {
      const TRgb c = Mix(top, bottom, h > 1 ? double(j) / (h - 1) : 0.0);
      for (int i = 0; i < w; ++i) Px(x + i, y + j, c);
    }
  }
  void HGradient(int x, int y, int w, int h, TRgb left, TRgb right) {
    for (int i = 0; i < w; ++i) {
      const TRgb c = Mix(left, right, w > 1 ? double(i) / (w - 1) : 0.0);
      for (int j = 0; j < h; ++j) Px(x + i, y + j, c);
    }
  }
  void Frame(int x, int y, int w, int h, TRgb tl, TRgb br) {
    for (int i = 0; i < w; ++i) {
      Px(x + i, y, tl);
      Px(x + i, y + h - 1, br);
    }
    for (int j = 0; j < h; ++j) {
      Px(x, y + j, tl);
      Px(x + w - 1, y + j, br);
    }
  }
  // Rounds the chosen corners (bits 1 top-left, 2 top-right, 4 bottom-left, 8 bottom-right) of
  // the rectangle with radius r: pixels outside become the key, the pixels on the arc take the
  // outline colour.
  void RoundCorners(int x, int y, int w, int h, int r, int corners, TRgb outline) {
    if (r <= 0) return;
    for (int j = 0; j < r; ++j)
      for (int i = 0; i < r; ++i) {
        const double dx = r - i - 0.5, dy = r - j - 0.5;
        const double d = std::sqrt(dx * dx + dy * dy);
        const bool outside = d > r + 0.05;
        const bool edge = !outside && d > r - 1.0;
        auto set = [&](int px, int py) {
          if (outside)
            Px(px, py, kKey);
          else if (edge)
            Px(px, py, outline);
        };
        if (corners & 1) set(x + i, y + j);
        if (corners & 2) set(x + w - 1 - i, y + j);
        if (corners & 4) set(x + i, y + h - 1 - j);
        if (corners & 8) set(x + w - 1 - i, y + h - 1 - j);
      }
  }
};

// ---------------------------------------------------------------------------------------------
// A skin's look

struct TLook {
  std::string Name;
  TRgb Face, Light, Shadow, Dark, Window, Text, WindowText, Accent, AccentText, Hot, Pressed, InactiveTitle;
  int Radius = 3;  // corners of buttons and frames
  bool Gradients = true;
  bool DarkLook = false;  // light text on dark faces: hot highlights under text are dark tints
  bool Brackets = false;  // accent brackets in the corners of group boxes (corner images)
  bool UseMaster = true;
};

TLook DefaultLook() {
  TLook l;
  l.Name = "Default";
  l.Face = {226, 231, 238};
  l.Light = {255, 255, 255};
  l.Shadow = {160, 172, 188};
  l.Dark = {96, 110, 130};
  l.Window = {255, 255, 255};
  l.Text = {28, 34, 44};
  l.WindowText = {20, 20, 20};
  l.Accent = {58, 110, 180};
  l.AccentText = {255, 255, 255};
  l.Hot = {252, 214, 120};
  l.Pressed = {196, 208, 224};
  l.InactiveTitle = {150, 160, 176};
  l.Radius = 3;
  l.Gradients = true;
  l.UseMaster = true;
  return l;
}

TLook GraphiteLook() {
  TLook l;
  l.Name = "Graphite";
  l.Face = {58, 60, 64};
  l.Light = {96, 100, 106};
  l.Shadow = {36, 37, 40};
  l.Dark = {20, 20, 22};
  l.Window = {40, 42, 46};
  l.Text = {222, 224, 228};
  l.WindowText = {236, 236, 236};
  l.Accent = {214, 120, 40};
  l.AccentText = {20, 20, 20};
  l.Hot = {240, 150, 70};
  l.Pressed = {30, 31, 34};
  l.InactiveTitle = {74, 76, 80};
  l.Radius = 1;
  l.Gradients = false;
  l.DarkLook = true;
  l.Brackets = true;
  l.UseMaster = false;
  return l;
}

// A hot highlight that text lies on: a tint of the hot colour, light in a light look (k: how much
// lighter), a dark amber in a dark one so that the look's light text stays readable on it.
TRgb SoftHot(const TLook& l, double k) { return l.DarkLook ? Mix(l.Face, l.Hot, 0.3) : Lighter(l.Hot, k); }
// The edge around such a highlight.
TRgb SoftHotEdge(const TLook& l) { return l.DarkLook ? Mix(l.Face, l.Hot, 0.6) : Lighter(l.Hot, 0.3); }

// ---------------------------------------------------------------------------------------------
// Mask images

struct TMaskOut {
  std::string Section, Property;
  TImage24 Img;
  int Count = 1;
  int Margins[4] = {0, 0, 0, 0};
  TsDrawMode Mode = TsDrawMode::Stretch;
  bool HotOnly = false;
};

using TFramePainter = std::function<void(TCanvas&, int x0, int state)>;

TImage24 Frames(int w, int h, int count, const TFramePainter& paint) {
  TImage24 img(w * count, h);
  TCanvas c{img};
  c.Fill(0, 0, w * count, h, kKey);
  for (int s = 0; s < count; ++s) paint(c, s * w, s);
  return img;
}

// Button body: 0 normal, 1 hot, 2 pressed; `flatNormal`: state 0 fully transparent.
void Button(const TLook& l, TCanvas& c, int x, int y, int w, int h, int state, int radius, bool flatNormal = false) {
  if (flatNormal && state == 0) {
    c.Fill(x, y, w, h, kKey);
    return;
  }
  TRgb top = l.Light, bottom = l.Face, border = l.Shadow;
  if (!l.Gradients) top = bottom = l.Face;
  if (state == 1) {
    top = Lighter(l.Hot, 0.55);
    bottom = l.Gradients ? Lighter(l.Hot, 0.1) : Mix(l.Face, l.Hot, 0.25);
    if (!l.Gradients) top = bottom;
    border = Darker(l.Hot, 0.25);
  } else if (state >= 2) {
    top = l.Gradients ? l.Pressed : l.Pressed;
    bottom = l.Gradients ? Lighter(l.Pressed, 0.4) : l.Pressed;
    border = l.Dark;
  }
  c.VGradient(x, y, w, h, top, bottom);
  c.Frame(x, y, w, h, border, border);
  if (state < 2 && w > 4 && h > 4) {  // inner highlight
    for (int i = 1; i < w - 1; ++i) c.Px(x + i, y + 1, Lighter(top, 0.5));
  }
  c.RoundCorners(x, y, w, h, radius, 15, border);
}

// An arrow on a key background, centred in a frame of w x h at x0: a solid triangle as wide as the
// frame allows (odd, one pixel of room on each side) and half as long.
void Arrow(TCanvas& c, int x0, int w, int h, int dir, TRgb col) {  // 0 up, 1 down, 2 left, 3 right
  const bool horz = dir >= 2;
  const int across = horz ? h : w, along = horz ? w : h;
  int base = std::min(across - 2, 2 * along - 1);
  if (base % 2 == 0) --base;
  base = std::max(base, 1);
  const int len = (base + 1) / 2;
  const int a0 = (across - base) / 2, l0 = (along - len) / 2;
  for (int i = 0; i < len; ++i) {  // i: rows from the tip
    const int at = dir == 0 || dir == 2 ? l0 + i : l0 + len - 1 - i;
    for (int k = -i; k <= i; ++k) {
      const int cross = a0 + base / 2 + k;
      if (horz)
        c.Px(x0 + at, cross, col);
      else
        c.Px(x0 + cross, at, col);
    }
  }
}

enum class TTitleGlyph { Close, Max, Min, Norm, Help, None };

void TitleGlyph(TCanvas& c, int x, int y, int w, int h, TTitleGlyph g, TRgb col) {
  const int s = std::min(w, h) / 2;  // glyph size
  const int gx = x + (w - s) / 2, gy = y + (h - s) / 2;
  switch (g) {
    case TTitleGlyph::Close:
      for (int i = 0; i < s; ++i) {
        c.Px(gx + i, gy + i, col);
        c.Px(gx + i + 1, gy + i, col);
        c.Px(gx + s - 1 - i, gy + i, col);
        c.Px(gx + s - i, gy + i, col);
      }
      break;
    case TTitleGlyph::Max:
      c.Frame(gx, gy, s + 1, s, col, col);
      c.Fill(gx, gy + 1, s + 1, 1, col);
      break;
    case TTitleGlyph::Min: c.Fill(gx, gy + s - 2, s, 2, col); break;
    case TTitleGlyph::Norm:
      c.Frame(gx + 2, gy, s - 1, s - 2, col, col);
      c.Frame(gx, gy + 2, s - 1, s - 2, col, col);
      c.Fill(gx, gy + 3, s - 1, 1, col);
      break;
    case TTitleGlyph::Help: {
      const int mx = gx + s / 2;
      c.Fill(mx - 2, gy, 4, 1, col);
      c.Px(mx - 3, gy + 1, col);
      c.Px(mx + 2, gy + 1, col);
      c.Px(mx + 2, gy + 2, col);
      c.Px(mx + 1, gy + 3, col);
      c.Px(mx, gy + 4, col);
      if (s > 6) c.Px(mx, gy + 5, col);
      c.Px(mx, gy + s - 1, col);
      break;
    }
    case TTitleGlyph::None: break;
  }
}

TImage24 TitleButton(const TLook& l, int w, int h, TTitleGlyph g, bool isClose) {
  return Frames(w, h, 3, [&](TCanvas& c, int x, int s) {
    TRgb base = isClose ? TRgb{200, 70, 60} : Lighter(l.Accent, 0.15);
    if (!l.Gradients) base = isClose ? TRgb{170, 60, 50} : l.Light;
    if (s == 1) base = isClose ? TRgb{232, 96, 84} : Lighter(base, 0.3);
    if (s == 2) base = Darker(base, 0.3);
    c.VGradient(x, 0, w, h, l.Gradients ? Lighter(base, 0.35) : base, base);
    c.Frame(x, 0, w, h, Darker(base, 0.4), Darker(base, 0.4));
    c.RoundCorners(x, 0, w, h, l.Radius, 15, Darker(base, 0.4));
    TitleGlyph(c, x, 0, w, h, g, TRgb{255, 255, 255});
  });
}

// Check and radio glyphs: 0 normal, 1 hot, 2 pressed.
TImage24 CheckGlyph(const TLook& l, int kind) {  // 0 unchecked, 1 checked, 2 grayed
  const int n = 13;
  return Frames(n, n, 3, [&](TCanvas& c, int x, int s) {
    const TRgb border = s == 1 ? Darker(l.Hot, 0.2) : l.Dark;
    const TRgb inside = s == 2 ? l.Pressed : (s == 1 ? SoftHot(l, 0.7) : l.Window);
    c.Fill(x, 0, n, n, inside);
    c.Frame(x, 0, n, n, border, border);
    if (l.Radius > 1) c.RoundCorners(x, 0, n, n, 2, 15, border);
    // The mark stands out from the inside in every state; a grayed one is a grey between the box
    // and the text.
    const TRgb mark = Readable(kind == 2 ? Mix(l.Window, l.Text, 0.5) : l.Accent, inside, 3.0);
    if (kind == 0) return;
    const int pts[][2] = {{3, 6}, {4, 7}, {5, 8}, {6, 7}, {7, 6}, {8, 5}, {9, 4}};
    for (auto& p : pts) {
      c.Px(x + p[0], p[1], mark);
      c.Px(x + p[0], p[1] - 1, mark);
    }
  });
}

TImage24 RadioGlyph(const TLook& l, bool checked) {
  // The ring, drawn by hand so it stays round at this size; inside it the fill, outside the key.
  static const char* const kRing[13] = {
      "....#####....", "..##.....##..", ".#.........#.", ".#.........#.", "#...........#",
      "#...........#", "#...........#", "#...........#", "#...........#", ".#.........#.",
      ".#.........#.", "..##.....##..", "....#####....",
  };
  const int n = 13;
  return Frames(n, n, 3, [&](TCanvas& c, int x, int s) {
    const TRgb border = s == 1 ? Darker(l.Hot, 0.2) : l.Dark;
    const TRgb inside = s == 2 ? l.Pressed : (s == 1 ? SoftHot(l, 0.7) : l.Window);
    const TRgb dot = Readable(s == 2 ? Darker(l.Accent, 0.2) : l.Accent, inside, 3.0);
    for (int j = 0; j < n; ++j) {
      const std::string row = kRing[j];
      const std::size_t first = row.find('#'), last = row.rfind('#');
      for (int i = 0; i < n; ++i) {
        if (row[std::size_t(i)] == '#')
          c.Px(x + i, j, border);
        else if (std::size_t(i) > first && std::size_t(i) < last)
          c.Px(x + i, j, inside);
      }
    }
    if (!checked) return;
    static const char* const kDot[5] = {".###.", "#####", "#####", "#####", ".###."};
    for (int j = 0; j < 5; ++j)
      for (int i = 0; i < 5; ++i)
        if (kDot[j][i] == '#') c.Px(x + 4 + i, 4 + j, dot);
  });
}

// A tab frame pointing up (open side at the bottom); the other positions are made by turning it.
TImage24 TabTop(const TLook& l) {
  const int w = 20, h = 20;
  return Frames(w, h, 3, [&](TCanvas& c, int x, int s) {
    TRgb top = s == 2 ? l.Window : (s == 1 ? SoftHot(l, 0.6) : l.Face);
    TRgb bottom = s == 2 ? l.Face : (l.Gradients ? Darker(l.Face, 0.04) : l.Face);
    if (s == 2 && !l.Gradients) top = bottom = l.Light;
    c.VGradient(x, 0, w, h, top, bottom);
    for (int j = 0; j < h; ++j) {
      c.Px(x, j, l.Shadow);
      c.Px(x + w - 1, j, l.Shadow);
    }
    c.Fill(x, 0, w, 1, l.Shadow);
    if (s == 2) c.Fill(x + 1, 1, w - 2, 2, l.Accent);
    if (s != 2) c.Fill(x, h - 1, w, 1, l.Shadow);
    c.RoundCorners(x, 0, w, h, l.Radius + 1, 3, l.Shadow);
  });
}

// Turns every frame of an image: 0 as is, 1 upside down, 2 to the left (transposed), 3 to the right.
TImage24 TurnFrames(const TImage24& src, int frameW, int count, int how) {
  const int fh = src.Height();
  const bool swap = how >= 2;
  const int ow = swap ? fh : frameW, oh = swap ? frameW : fh;
  TImage24 out(ow * count, oh);
  for (int s = 0; s < count; ++s)
    for (int y = 0; y < oh; ++y)
      for (int x = 0; x < ow; ++x) {
        int sx = x, sy = y;
        if (how == 1) sy = fh - 1 - y;
        if (how == 2) {
          sx = y;
          sy = x;
        }
        if (how == 3) {
          sx = y;
          sy = fh - 1 - x;
        }
        out.SetPixel(s * ow + x, y, src.Pixel(s * frameW + sx, sy));
      }
  return out;
}

// ---------------------------------------------------------------------------------------------
// The skin

struct TSkinOut {
  std::vector<TsGeneralData> Sections;
  std::vector<TMaskOut> Masks;
};

class TSkinMaker {
 public:
  explicit TSkinMaker(const TLook& l) : L(l) {}

  TsGeneralData& Section(const std::string& name, TRgb color, TRgb font, const std::string& parent = "") {
    TsGeneralData s;
    s.Name = name;
    s.SetColor("COLOR", Ref(color));
    s.SetFontColors("FONTCOLOR", TsFontColors{{Ref(font), clNoColor, clNoColor, clNoColor, clNoColor}});
    if (!parent.empty()) s.Set("PARENTCLASS", parent);
    Out.Sections.push_back(s);
    return Out.Sections.back();
  }
  TsGeneralData& Get(const std::string& name) {
    for (auto& s : Out.Sections)
      if (s.Name == name) return s;
    std::fprintf(stderr, "skingen: no section %s\n", name.c_str());
    std::exit(1);
  }
  TMaskOut& Mask(const std::string& section, const std::string& prop, TImage24 img, int count, int margin,
                 TsDrawMode mode = TsDrawMode::Stretch) {
    TMaskOut m;
    m.Section = section;
    m.Property = prop;
    m.Img = std::move(img);
    m.Count = count;
    std::fill(m.Margins, m.Margins + 4, margin);
    m.Mode = mode;
    Out.Masks.push_back(std::move(m));
    return Out.Masks.back();
  }
  // A background gradient laid wholly over the section's colour (skins with gradients only).
  void Gradient(TsGeneralData& s, TRgb from, TRgb to, bool vertical) {
    if (!L.Gradients) return;
    s.Set("GRADIENTDATA", FormatSkinGradient(TsGradientData{true, Ref(from), Ref(to), vertical}));
    s.SetInt("GRADIENTPERCENT", 100);
  }
  void Hot(TsGeneralData& s, TRgb color, TRgb font) {
    s.SetColor("HOTCOLOR", Ref(color));
    s.SetFontColors("HOTFONTCOLOR", TsFontColors{{Ref(font), clNoColor, clNoColor, clNoColor, clNoColor}});
  }
  void Fading(TsGeneralData& s) {
    s.SetBool("FADINGENABLED", true);
    s.SetInt("FADINGITERATIONS", 5);
  }

  void Build();
  const TLook& L;
  TSkinOut Out;
};

void TSkinMaker::Build() {
  const TLook& l = L;
  const bool g = l.Gradients;

  // Global colours and the shared images.
  auto& global = Section("GLOBALINFO", l.Face, l.Text);
  Hot(global, l.Window, l.WindowText);
  global.Set("VERSION", "1");
  global.Set("AUTHOR", "quorvex skingen");
  const int bw = 19, bh = 17, sw = 15, sh = 13;
  Mask("GLOBALINFO", "BICONCLOSE", TitleButton(l, bw, bh, TTitleGlyph::Close, true), 3, 0);
  Mask("GLOBALINFO", "BICONMAX", TitleButton(l, bw, bh, TTitleGlyph::Max, false), 3, 0);
  Mask("GLOBALINFO", "BICONMIN", TitleButton(l, bw, bh, TTitleGlyph::Min, false), 3, 0);
  Mask("GLOBALINFO", "BICONNORM", TitleButton(l, bw, bh, TTitleGlyph::Norm, false), 3, 0);
  Mask("GLOBALINFO", "BICONHELP", TitleButton(l, bw, bh, TTitleGlyph::Help, false), 3, 0);
  Mask("GLOBALINFO", "SICONCLOSE", TitleButton(l, sw, sh, TTitleGlyph::Close, true), 3, 0);
  Mask("GLOBALINFO", "SICONMAX", TitleButton(l, sw, sh, TTitleGlyph::Max, false), 3, 0);
  Mask("GLOBALINFO", "SICONMIN", TitleButton(l, sw, sh, TTitleGlyph::Min, false), 3, 0);
  Mask("GLOBALINFO", "SICONHELP", TitleButton(l, sw, sh, TTitleGlyph::Help, false), 3, 0);
  Mask("GLOBALINFO", "TITLEBUTTON", TitleButton(l, bw, bh, TTitleGlyph::None, false), 3, 0);
  Mask("GLOBALINFO", "GRIPIMAGE",
       Frames(12, 12, 2,
              [&](TCanvas& c, int x, int s) {
                for (int j = 0; j < 3; ++j)
                  for (int i = 0; i <= j; ++i) {
                    const int px = x + 9 - 3 * i, py = 9 - 3 * (j - i);
                    c.Fill(px + 1, py + 1, 2, 2, l.Light);
                    c.Fill(px, py, 2, 2, s ? l.Accent : l.Dark);
                  }
              }),
       2, 0);
  Mask("GLOBALINFO", "BOXUNCHECKED", CheckGlyph(l, 0), 3, 0);
  Mask("GLOBALINFO", "BOXCHECKED", CheckGlyph(l, 1), 3, 0);
  Mask("GLOBALINFO", "BOXGRAYED", CheckGlyph(l, 2), 3, 0);
  Mask("GLOBALINFO", "RADIOUNCHECKED", RadioGlyph(l, false), 3, 0);
  Mask("GLOBALINFO", "RADIOCHECKED", RadioGlyph(l, true), 3, 0);
  Mask("GLOBALINFO", "CHECK",
       Frames(13, 13, 2,
              [&](TCanvas& c, int x, int s) {
                const int pts[][2] = {{3, 6}, {4, 7}, {5, 8}, {6, 7}, {7, 6}, {8, 5}, {9, 4}};
                for (auto& p : pts) {
                  c.Px(x + p[0], p[1], s ? l.WindowText : l.Text);
                  c.Px(x + p[0], p[1] - 1, s ? l.WindowText : l.Text);
                }
              }),
       2, 0);

  // Forms: frame (0 inactive, 1 active), title band, the strip under the title buttons.
  auto& form = Section("FORM", l.Face, l.Text);
  form.SetBool("SAVETITLE", true);
  auto formFrame = [&](int w, int h) {
    return Frames(w, h, 2, [&](TCanvas& c, int x, int s) {
      const TRgb edge = s ? Darker(l.Accent, 0.35) : l.InactiveTitle;
      const TRgb band = s ? l.Accent : Lighter(l.InactiveTitle, 0.3);
      c.Fill(x, 0, w, h, l.Face);
      c.Fill(x, 0, w, 4, band);
      c.Fill(x, h - 4, w, 4, band);
      c.Fill(x, 0, 4, h, band);
      c.Fill(x + w - 4, 0, 4, h, band);
      c.Frame(x, 0, w, h, edge, edge);
      c.Frame(x + 3, 3, w - 6, h - 6, Darker(band, 0.2), Lighter(band, 0.3));
      c.RoundCorners(x, 0, w, h, l.Radius + 3, 3, edge);
      c.RoundCorners(x, 0, w, h, l.Radius, 12, edge);
    });
  };
  Mask("FORM", "BORDERSMASK", formFrame(24, 24), 2, 4);
  Mask("FORM", "TITLEBAR",
       Frames(24, 22, 2,
              [&](TCanvas& c, int x, int s) {
                const TRgb base = s ? Darker(l.Accent, 0.15) : l.InactiveTitle;
                c.VGradient(x, 0, 24, 22, g && !s ? Lighter(base, 0.2) : base, g && s ? Darker(base, 0.15) : base);
                c.RoundCorners(x, 0, 24, 22, 6, 5, Darker(base, 0.2));
              }),
       2, 6);
  // The inactive title (state 0) in the look's text colour, the active one (hot) in the accent's.
  auto& title = Section("FORMTITLE", l.InactiveTitle, l.Text);
  Hot(title, l.Accent, l.AccentText);
  title.SetFontColors("HOTFONTCOLOR", TsFontColors{{Ref(l.AccentText), clNoColor, clNoColor, clNoColor,
                                                    g ? Ref(Darker(l.Accent, 0.5)) : clNoColor}});
  Mask("FORMTITLE", "BORDERSMASK",
       Frames(24, 26, 2,
              [&](TCanvas& c, int x, int s) {
                const TRgb base = s ? l.Accent : l.InactiveTitle;
                const TRgb edge = s ? Darker(l.Accent, 0.35) : Darker(l.InactiveTitle, 0.2);
                // The active title darkens downwards, the inactive one lightens upwards: away from
                // the colour of their text.
                c.VGradient(x, 0, 24, 26, g && !s ? Lighter(base, 0.35) : base, g && s ? Darker(base, 0.25) : base);
                c.Frame(x, 0, 24, 27, edge, edge);  // no bottom line: the frame goes on below
                c.Fill(x + 1, 1, 22, 1, Lighter(base, 0.5));
                c.RoundCorners(x, 0, 24, 26, l.Radius + 3, 3, edge);
              }),
       2, 4);
  Section("DIALOG", l.Face, l.Text, "FORM");
  Mask("DIALOG", "BORDERSMASK", formFrame(24, 24), 2, 4);
  auto& mdi = Section("MDIAREA", Darker(l.Face, 0.25), l.Text);
  Gradient(mdi, Darker(l.Face, 0.15), Darker(l.Face, 0.35), true);

  // Menus.
  auto& mainMenu = Section("MAINMENU", l.Window, l.WindowText);
  Hot(mainMenu, l.Hot, l.WindowText);
  Mask("MAINMENU", "BORDERSMASK",
       Frames(12, 12, 1,
              [&](TCanvas& c, int x, int) {
                c.Fill(x, 0, 12, 12, l.Window);
                c.Frame(x, 0, 12, 12, l.Shadow, l.Dark);
                c.Frame(x + 1, 1, 10, 10, l.Light, Lighter(l.Shadow, 0.4));
              }),
       1, 2);
  auto& menuLine = Section("MENULINE", l.Face, l.Text);
  Hot(menuLine, l.Hot, l.Text);
  Mask("MENULINE", "BORDERSMASK",
       Frames(12, 20, 1,
              [&](TCanvas& c, int x, int) {
                c.VGradient(x, 0, 12, 20, g ? l.Light : l.Face, l.Face);
                c.Fill(x, 19, 12, 1, l.Shadow);
              }),
       1, 2);
  auto& item = Section("MENUITEM", l.Window, l.WindowText);
  Hot(item, l.Hot, l.WindowText);
  Mask("MENUITEM", "BORDERSMASK",
       Frames(12, 12, 2,
              [&](TCanvas& c, int x, int s) {
                if (s == 0) return;
                Button(l, c, x, 0, 12, 12, 1, l.Radius);
              }),
       2, 3)
      .HotOnly = true;
  auto& icoLine = Section("ICOLINE", l.Gradients ? Darker(l.Window, 0.06) : l.Face, l.WindowText);
  Gradient(icoLine, Darker(l.Window, 0.02), Darker(l.Window, 0.1), false);
  auto& extraLine = Section("EXTRALINE", l.Accent, l.AccentText);
  Gradient(extraLine, l.Accent, Darker(l.Accent, 0.3), true);

  // Buttons.
  for (const char* s : {"BUTTON", "SPEEDBUTTON", "SPEEDBUTTON_SMALL", "TOOLBUTTON", "UPDOWNBTN"}) {
    auto& sec = Section(s, l.Face, l.Text);
    Hot(sec, l.Hot, l.Text);
    Fading(sec);
    const bool tool = std::string(s) == "TOOLBUTTON";
    const bool small = std::string(s) == "SPEEDBUTTON_SMALL" || std::string(s) == "UPDOWNBTN";
    if (std::string(s) == "BUTTON") sec.SetBool("SHOWFOCUS", true);
    if (tool) sec.SetInt("TRANSPARENCY", 100);
    const int r = small ? std::min(l.Radius, 2) : l.Radius;
    Mask(s, "BORDERSMASK",
         Frames(small ? 14 : 24, small ? 14 : 22, 3,
                [&, tool, r](TCanvas& c, int x, int st) {
                  Button(l, c, x, 0, small ? 14 : 24, small ? 14 : 22, st, r, tool);
                }),
         3, small ? 3 : 4)
        .HotOnly = tool;
  }
  auto& header = Section("COLHEADER", l.Face, l.Text);
  Hot(header, l.Hot, l.Text);
  Mask("COLHEADER", "BORDERSMASK",
       Frames(16, 18, 3,
              [&](TCanvas& c, int x, int s) {
                const TRgb top = s == 2 ? l.Pressed : (s == 1 ? SoftHot(l, 0.6) : (g ? l.Light : l.Face));
                c.VGradient(x, 0, 16, 18, top, s == 1 ? SoftHot(l, 0.2) : l.Face);
                c.Fill(x, 17, 16, 1, l.Shadow);
                c.Fill(x + 15, 2, 1, 14, l.Shadow);
                c.Fill(x, 2, 1, 14, l.Light);
              }),
       3, 2);

  // Check boxes, radio buttons, group boxes: transparent, a soft highlight when hot.
  for (const char* s : {"CHECKBOX", "RADIOBUTTON"}) {
    auto& sec = Section(s, l.Face, l.Text);
    Hot(sec, l.Face, l.Text);
    sec.SetInt("TRANSPARENCY", 100);
    sec.SetBool("SHOWFOCUS", true);
    Fading(sec);
    Mask(s, "BORDERSMASK",
         Frames(12, 12, 2,
                [&](TCanvas& c, int x, int st) {
                  if (st == 0) return;
                  c.Fill(x, 0, 12, 12, SoftHot(l, 0.75));
                  c.Frame(x, 0, 12, 12, SoftHotEdge(l), SoftHotEdge(l));
                  c.RoundCorners(x, 0, 12, 12, l.Radius, 15, SoftHotEdge(l));
                }),
         2, 3)
        .HotOnly = true;
  }
  auto& group = Section("GROUPBOX", l.Face, g ? Readable(l.Accent, l.Face, 4.5) : l.Text);
  group.SetInt("TRANSPARENCY", 100);
  Mask("GROUPBOX", "BORDERSMASK",
       Frames(16, 16, 1,
              [&](TCanvas& c, int x, int) {
                c.Frame(x, 0, 16, 16, l.Shadow, l.Shadow);
                c.Frame(x + 1, 1, 14, 14, l.Light, l.Light);
                c.RoundCorners(x, 0, 16, 16, l.Radius + 1, 15, l.Shadow);
              }),
       1, 4);
  if (l.Brackets) {
    // An L of the accent colour in each corner, turned to face inwards.
    for (int corner = 0; corner < 4; ++corner)
      Mask("GROUPBOX", kCornerImageNames[std::size_t(corner)],
           Frames(6, 6, 1,
                  [&, corner](TCanvas& c, int x, int) {
                    const int col = corner & 1 ? 5 : 0, row = corner & 2 ? 5 : 0;
                    c.Fill(x, row, 6, 1, l.Accent);
                    c.Fill(x + col, 0, 1, 6, l.Accent);
                  }),
           1, 0);
  }

  // Edits and combo boxes.
  auto editFrame = [&](int w, int h) {
    return Frames(w, h, 2, [&, w, h](TCanvas& c, int x, int s) {
      const TRgb edge = s ? l.Accent : l.Shadow;
      c.Fill(x, 0, w, h, l.Window);
      c.Frame(x, 0, w, h, edge, edge);
      if (l.Radius > 1) c.RoundCorners(x, 0, w, h, 2, 15, edge);
    });
  };
  auto& edit = Section("EDIT", l.Window, l.WindowText);
  Hot(edit, l.Window, l.WindowText);
  Mask("EDIT", "BORDERSMASK", editFrame(12, 12), 2, 2);
  auto& combo = Section("COMBOBOX", l.Window, l.WindowText, "EDIT");
  Hot(combo, l.Window, l.WindowText);
  Mask("COMBOBOX", "BORDERSMASK", editFrame(12, 12), 2, 2);
  Mask("COMBOBOX", "GLYPHMASK",
       Frames(9, 6, 3, [&](TCanvas& c, int x, int s) { Arrow(c, x, 9, 6, 1, s ? l.Accent : l.Text); }), 3, 0);
  auto& comboBtn = Section("COMBOBTN", l.Face, l.Text);
  Hot(comboBtn, l.Hot, l.Text);
  Mask("COMBOBTN", "BORDERSMASK",
       Frames(17, 20, 3, [&](TCanvas& c, int x, int s) { Button(l, c, x, 0, 17, 20, s, std::min(l.Radius, 2)); }), 3,
       3);
  Mask("COMBOBTN", "PATTERN",
       Frames(8, 20, 1, [&](TCanvas& c, int x, int) { c.VGradient(x, 0, 8, 20, g ? l.Light : l.Face, l.Face); }), 1, 0);
  Mask("COMBOBTN", "HOTPATTERN",
       Frames(8, 20, 1,
              [&](TCanvas& c, int x, int) { c.VGradient(x, 0, 8, 20, Lighter(l.Hot, 0.6), Lighter(l.Hot, 0.1)); }),
       1, 0);

  // Panels and bars.
  auto bevel = [&](bool raised) {
    return Frames(12, 12, 1, [&, raised](TCanvas& c, int x, int) {
      c.Fill(x, 0, 12, 12, l.Face);
      if (raised)
        c.Frame(x, 0, 12, 12, l.Light, l.Shadow);
      else
        c.Frame(x, 0, 12, 12, l.Shadow, l.Light);
    });
  };
  Section("PANEL", l.Face, l.Text);
  Mask("PANEL", "BORDERSMASK", bevel(true), 1, 2);
  Section("PANEL_LOW", Darker(l.Face, 0.03), l.Text);
  Mask("PANEL_LOW", "BORDERSMASK", bevel(false), 1, 2);
  auto barImage = [&](TRgb top, TRgb bottom, int h) {
    return Frames(12, h, 1, [&, top, bottom, h](TCanvas& c, int x, int) {
      c.VGradient(x, 0, 12, h, top, bottom);
      c.Fill(x, 0, 12, 1, l.Light);
      c.Fill(x, h - 1, 12, 1, l.Shadow);
    });
  };
  Section("BAR", l.Face, l.Text);
  Mask("BAR", "BORDERSMASK", barImage(g ? l.Light : l.Face, l.Face, 24), 1, 2);
  Section("TOOLBAR", l.Face, l.Text);
  Mask("TOOLBAR", "BORDERSMASK", barImage(g ? l.Light : l.Face, g ? Darker(l.Face, 0.05) : l.Face, 26), 1, 2);
  // Caption bars darken downwards from the accent, away from their light text.
  auto& barTitle = Section("BARTITLE", l.Accent, l.AccentText);
  Hot(barTitle, Darker(l.Accent, 0.1), l.AccentText);
  Mask("BARTITLE", "BORDERSMASK", barImage(l.Accent, g ? Darker(l.Accent, 0.2) : l.Accent, 20), 1, 2);
  auto& drag = Section("DRAGBAR", l.Accent, l.AccentText);
  Hot(drag, Darker(l.Accent, 0.1), l.AccentText);
  Mask("DRAGBAR", "BORDERSMASK", barImage(l.Accent, g ? Darker(l.Accent, 0.2) : l.Accent, 20), 1, 2);
  auto& split = Section("SPLITTER", l.Face, l.Text);
  Hot(split, SoftHot(l, 0.5), l.Text);
  Mask("SPLITTER", "BORDERSMASK",
       Frames(9, 9, 2,
              [&](TCanvas& c, int x, int s) {
                c.Fill(x, 0, 9, 9, s ? SoftHot(l, 0.5) : l.Face);
                c.Fill(x + 4, 2, 1, 5, l.Shadow);
              }),
       2, 3);
  auto& sheet = Section("TABSHEET", g ? Lighter(l.Face, 0.5) : l.Face, l.Text);
  Gradient(sheet, Lighter(l.Face, 0.7), l.Face, true);

  // Page controls and tabs in four positions.
  for (const char* s : {"PAGECONTROL", "PAGECONTROLBOTTOM", "PAGECONTROLLEFT", "PAGECONTROLRIGHT"}) {
    Section(s, g ? Lighter(l.Face, 0.5) : l.Face, l.Text);
    Mask(s, "BORDERSMASK",
         Frames(12, 12, 1,
                [&](TCanvas& c, int x, int) {
                  c.Fill(x, 0, 12, 12, g ? Lighter(l.Face, 0.5) : l.Face);
                  c.Frame(x, 0, 12, 12, l.Shadow, l.Shadow);
                }),
         1, 2);
  }
  const TImage24 tab = TabTop(l);
  const char* tabNames[] = {"TABTOP", "TABBOTTOM", "TABLEFT", "TABRIGHT"};
  for (int i = 0; i < 4; ++i) {
    auto& sec = Section(tabNames[i], l.Face, l.Text);
    Hot(sec, l.Face, l.Text);
    Fading(sec);
    Mask(tabNames[i], "BORDERSMASK", TurnFrames(tab, 20, 3, i), 3, 4);
  }

  // Status bar, dividers.
  Section("STATUSBAR", l.Face, l.Text);
  Mask("STATUSBAR", "BORDERSMASK",
       Frames(12, 22, 1,
              [&](TCanvas& c, int x, int) {
                c.VGradient(x, 0, 12, 22, l.Face, g ? Darker(l.Face, 0.06) : l.Face);
                c.Fill(x, 0, 12, 1, l.Shadow);
                c.Fill(x, 1, 12, 1, l.Light);
              }),
       1, 2);
  Mask("STATUSBAR", "STATUSPANELMASK",
       Frames(9, 9, 1, [&](TCanvas& c, int x, int) { c.Frame(x, 0, 9, 9, l.Shadow, l.Light); }), 1, 2);
  Section("DIVIDER", l.Face, l.Text);
  Mask("DIVIDER", "BORDERSMASK",
       Frames(4, 16, 1,
              [&](TCanvas& c, int x, int) {
                c.Fill(x + 1, 2, 1, 12, l.Shadow);
                c.Fill(x + 2, 2, 1, 12, l.Light);
              }),
       1, 1);
  // The separator line of popup menus, two pixels high: the whole height is the line, its ends
  // fade out over the left and right margins.
  Section("DIVIDERV", l.Face, l.Text);
  auto& divider = Mask("DIVIDERV", "BORDERSMASK",
                       Frames(16, 2, 1,
                              [&](TCanvas& c, int x, int) {
                                c.Fill(x + 2, 0, 12, 1, l.Shadow);
                                c.Fill(x + 2, 1, 12, 1, l.Light);
                              }),
                       1, 0);
  divider.Margins[0] = divider.Margins[2] = 2;

  // Gauge and progress bars.
  Section("GAUGE", l.Window, l.WindowText);
  Mask("GAUGE", "BORDERSMASK",
       Frames(12, 12, 1,
              [&](TCanvas& c, int x, int) {
                c.Fill(x, 0, 12, 12, l.Window);
                c.Frame(x, 0, 12, 12, l.Shadow, l.Shadow);
                if (l.Radius > 1) c.RoundCorners(x, 0, 12, 12, 2, 15, l.Shadow);
              }),
       1, 2);
  Section("PROGRESSH", l.Accent, l.AccentText);
  Mask("PROGRESSH", "BORDERSMASK",
       Frames(12, 14, 1,
              [&](TCanvas& c, int x, int) {
                c.VGradient(x, 0, 12, 14, l.Accent, g ? Darker(l.Accent, 0.2) : l.Accent);
                c.Frame(x, 0, 12, 14, Darker(l.Accent, 0.2), Darker(l.Accent, 0.2));
                c.RoundCorners(x, 0, 12, 14, std::min(l.Radius, 2), 15, Darker(l.Accent, 0.2));
              }),
       1, 3);
  Section("PROGRESSV", l.Accent, l.AccentText);
  Mask("PROGRESSV", "BORDERSMASK",
       Frames(14, 12, 1,
              [&](TCanvas& c, int x, int) {
                c.HGradient(x, 0, 14, 12, l.Accent, g ? Darker(l.Accent, 0.2) : l.Accent);
                c.Frame(x, 0, 14, 12, Darker(l.Accent, 0.2), Darker(l.Accent, 0.2));
                c.RoundCorners(x, 0, 14, 12, std::min(l.Radius, 2), 15, Darker(l.Accent, 0.2));
              }),
       1, 3);

  // Track bar: channel, thumbs (horizontal 11 x 21 pointing down, vertical 21 x 11 pointing right), ticks.
  auto& track = Section("TRACKBAR", l.Face, l.Text);
  track.SetInt("TRANSPARENCY", 100);
  Mask("TRACKBAR", "SLIDERCHANNEL",
       Frames(12, 6, 2,
              [&](TCanvas& c, int x, int s) {
                c.Fill(x, 0, 12, 6, s ? Lighter(l.Accent, 0.6) : l.Window);
                c.Frame(x, 0, 12, 6, l.Shadow, l.Light);
              }),
       2, 2);
  auto thumb = [&](bool vertical) {
    const int w = vertical ? 21 : 11, h = vertical ? 11 : 21;
    return Frames(w, h, 3, [&, vertical, w, h](TCanvas& c, int x, int s) {
      const TRgb top = s == 2 ? l.Pressed : (s == 1 ? Lighter(l.Hot, 0.5) : (g ? l.Light : l.Light));
      const TRgb bottom = s == 2 ? Lighter(l.Pressed, 0.3) : (s == 1 ? l.Hot : l.Face);
      const TRgb edge = s == 1 ? Darker(l.Hot, 0.3) : l.Dark;
      for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
          const int along = vertical ? i : j, across = vertical ? j : i;
          const int len = vertical ? w : h, wid = vertical ? h : w;
          const int tip = len - wid / 2 - 1;  // where the point starts
          bool inside = true;
          if (along > tip) inside = std::abs(across - wid / 2) <= len - 1 - along;
          if (!inside) continue;
          const bool border = across == 0 || across == wid - 1 || along == 0 ||
                              (along > tip && std::abs(across - wid / 2) == len - 1 - along) || along == len - 1;
          const TRgb fill = vertical ? Mix(top, bottom, double(j) / (h - 1)) : Mix(top, bottom, double(i) / (w - 1));
          c.Px(x + i, j, border ? edge : fill);
        }
    });
  };
  Mask("TRACKBAR", "SLIDERMASK", thumb(false), 3, 0);
  Mask("TRACKBAR", "SLIDERVMASK", thumb(true), 3, 0);
  Mask("TRACKBAR", "TICKHORZ",
       Frames(1, 4, 3, [&](TCanvas& c, int x, int s) { c.Fill(x, 0, 1, 4, s ? l.Accent : l.Dark); }), 3, 0);
  Mask("TRACKBAR", "TICKVERT",
       Frames(4, 1, 3, [&](TCanvas& c, int x, int s) { c.Fill(x, 0, 4, 1, s ? l.Accent : l.Dark); }), 3, 0);

  // Scroll bars: arrow buttons, thumbs and the two halves of the track.
  const char* arrows[] = {"SCROLLBTNTOP", "SCROLLBTNBOTTOM", "SCROLLBTNLEFT", "SCROLLBTNRIGHT"};
  for (int d = 0; d < 4; ++d) {
    auto& sec = Section(arrows[d], l.Face, l.Text);
    Hot(sec, l.Hot, l.Text);
    if (d == 2) sec.SetBool("RESERVEDBOOLEAN", true);  // the arrow length comes from the image
    Mask(arrows[d], "BORDERSMASK",
         Frames(16, 16, 3, [&](TCanvas& c, int x, int s) { Button(l, c, x, 0, 16, 16, s, std::min(l.Radius, 2)); }), 3,
         3);
    const bool horz = d >= 2;
    Mask(arrows[d], "GLYPHMASK",
         Frames(horz ? 6 : 9, horz ? 9 : 6, 3,
                [&, d, horz](TCanvas& c, int x, int s) {
                  Arrow(c, x, horz ? 6 : 9, horz ? 9 : 6, d,
                        s == 0 ? l.Text : (s == 1 ? Darker(l.Hot, 0.6) : l.Accent));
                }),
         3, 0);
    Mask(arrows[d], "PATTERN", Frames(8, 8, 1, [&](TCanvas& c, int x, int) { c.Fill(x, 0, 8, 8, l.Face); }), 1, 0,
         TsDrawMode::Tile);
    Mask(arrows[d], "HOTPATTERN",
         Frames(8, 8, 1, [&](TCanvas& c, int x, int) { c.Fill(x, 0, 8, 8, Lighter(l.Hot, 0.5)); }), 1, 0,
         TsDrawMode::Tile);
  }
  for (const char* s : {"SCROLLSLIDERH", "SCROLLSLIDERV"}) {
    const bool horz = std::string(s) == "SCROLLSLIDERH";
    auto& sec = Section(s, l.Face, l.Text);
    Hot(sec, l.Hot, l.Text);
    Mask(s, "BORDERSMASK",
         Frames(16, 16, 3, [&](TCanvas& c, int x, int st) { Button(l, c, x, 0, 16, 16, st, std::min(l.Radius, 3)); }),
         3, 4);
    Mask(s, "GLYPHMASK",
         Frames(8, 8, 3,
                [&, horz](TCanvas& c, int x, int st) {
                  const TRgb a = st ? Darker(l.Hot, 0.5) : l.Shadow, b = l.Light;
                  for (int k = 0; k < 3; ++k) {
                    if (horz) {
                      c.Fill(x + 1 + 2 * k, 1, 1, 6, a);
                      c.Fill(x + 2 + 2 * k, 1, 1, 6, b);
                    } else {
                      c.Fill(x + 1, 1 + 2 * k, 6, 1, a);
                      c.Fill(x + 1, 2 + 2 * k, 6, 1, b);
                    }
                  }
                }),
         3, 0);
    Mask(s, "PATTERN", Frames(8, 8, 1, [&](TCanvas& c, int x, int) { c.Fill(x, 0, 8, 8, l.Face); }), 1, 0,
         TsDrawMode::Tile);
    Mask(s, "HOTPATTERN", Frames(8, 8, 1, [&](TCanvas& c, int x, int) { c.Fill(x, 0, 8, 8, Lighter(l.Hot, 0.5)); }), 1,
         0, TsDrawMode::Tile);
  }
  for (const char* s : {"SCROLLBAR1H", "SCROLLBAR2H", "SCROLLBAR1V", "SCROLLBAR2V"}) {
    const bool horz = s[10] == 'H';
    const TRgb track = g ? Darker(l.Face, 0.04) : Darker(l.Face, 0.2);
    auto& sec = Section(s, track, l.Text);
    Hot(sec, Mix(track, l.Hot, 0.3), l.Text);
    Mask(s, "BORDERSMASK",
         Frames(horz ? 12 : 16, horz ? 16 : 12, 3,
                [&, horz, track](TCanvas& c, int x, int st) {
                  const int w = horz ? 12 : 16, h = horz ? 16 : 12;
                  const TRgb fill = st == 2 ? l.Shadow : (st == 1 ? Mix(track, l.Hot, 0.3) : track);
                  c.Fill(x, 0, w, h, fill);
                  if (horz)
                    c.Fill(x, 0, w, 1, Darker(track, 0.1));
                  else
                    c.Fill(x, 0, 1, h, Darker(track, 0.1));
                }),
         3, 2);
    Mask(s, "PATTERN",
         Frames(4, 4, 1,
                [&, track](TCanvas& c, int x, int) {
                  c.Fill(x, 0, 4, 4, track);
                  c.Px(x + 1, 1, Darker(track, 0.05));
                  c.Px(x + 3, 3, Darker(track, 0.05));
                }),
         1, 0, TsDrawMode::Tile);
    Mask(s, "HOTPATTERN",
         Frames(4, 4, 1, [&, track](TCanvas& c, int x, int) { c.Fill(x, 0, 4, 4, Mix(track, l.Hot, 0.3)); }), 1, 0,
         TsDrawMode::Tile);
  }
}

// ---------------------------------------------------------------------------------------------
// Output

std::string FileNameOf(const TMaskOut& m) {
  std::string n = m.Section + "_" + m.Property + ".bmp";
  std::transform(n.begin(), n.end(), n.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return n;
}

TSkinModel ToModel(const TLook& look, const TSkinOut& out) {
  TSkinModel skin;
  for (const auto& s : out.Sections) skin.AddSection(s);
  if (look.UseMaster) {
    // Shelf packing: masks from the tallest down, rows of at most 256 pixels.
    std::vector<int> order(out.Masks.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = int(i);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return out.Masks[a].Img.Height() > out.Masks[b].Img.Height(); });
    const int rowWidth = 256;
    std::vector<TPoint> at(out.Masks.size());
    int x = 0, y = 0, rowH = 0;
    for (int i : order) {
      const TImage24& img = out.Masks[i].Img;
      if (x + img.Width() > rowWidth && x > 0) {
        x = 0;
        y += rowH + 1;
        rowH = 0;
      }
      at[i] = TPoint{x, y};
      x += img.Width() + 1;
      rowH = std::max(rowH, img.Height());
    }
    TImage24 master(rowWidth, y + rowH);
    master.Fill(BgrOf(clKeyMagenta));
    for (std::size_t i = 0; i < out.Masks.size(); ++i) {
      const TImage24& img = out.Masks[i].Img;
      for (int yy = 0; yy < img.Height(); ++yy)
        for (int xx = 0; xx < img.Width(); ++xx) master.SetPixel(at[i].X + xx, at[i].Y + yy, img.Pixel(xx, yy));
    }
    skin.MasterImageIndex = skin.AddImage("master.bmp", std::move(master));
    for (std::size_t i = 0; i < out.Masks.size(); ++i) {
      const TMaskOut& m = out.Masks[i];
      TsMaskData d;
      d.SectionName = m.Section;
      d.PropertyName = m.Property;
      d.ImageIndex = skin.MasterImageIndex;
      d.R = Bounds(at[i].X, at[i].Y, m.Img.Width(), m.Img.Height());
      d.ImageCount = m.Count;
      d.MarginLeft = m.Margins[0];
      d.MarginTop = m.Margins[1];
      d.MarginRight = m.Margins[2];
      d.MarginBottom = m.Margins[3];
      d.DrawMode = m.Mode;
      d.HotOnly = m.HotOnly;
      skin.AddMask(d);
    }
  } else {
    for (const TMaskOut& m : out.Masks) {
      TsMaskData d;
      d.SectionName = m.Section;
      d.PropertyName = m.Property;
      d.R = Bounds(0, 0, m.Img.Width(), m.Img.Height());
      d.ImageIndex = skin.AddImage(FileNameOf(m), m.Img);
      d.ImageCount = m.Count;
      d.MarginLeft = m.Margins[0];
      d.MarginTop = m.Margins[1];
      d.MarginRight = m.Margins[2];
      d.MarginBottom = m.Margins[3];
      d.DrawMode = m.Mode;
      d.HotOnly = m.HotOnly;
      skin.AddMask(d);
    }
  }
  return skin;
}

bool WriteSkin(const TLook& look, const fs::path& dir) {
  TSkinMaker maker(look);
  maker.Build();
  const TSkinModel skin = ToModel(look, maker.Out);
  for (const TsMaskData& m : skin.Masks) {
    const TImage24& img = skin.Images[m.ImageIndex].Bitmap;
    const std::string e = ValidateMask(m, img.Width(), img.Height());
    if (!e.empty()) {
      std::fprintf(stderr, "skingen: [%s] %s: %s\n", m.SectionName.c_str(), m.PropertyName.c_str(), e.c_str());
      return false;
    }
  }
  std::string error;
  const fs::path folder = dir / look.Name;
  std::error_code ec;
  fs::remove_all(folder, ec);
  if (!SaveSkinToFolder(skin, folder, error) || !SaveSkinToPackedFile(skin, dir / (look.Name + ".asz"), error)) {
    std::fprintf(stderr, "skingen: %s\n", error.c_str());
    return false;
  }
  // What was written must load again.
  for (const fs::path& p : {folder, dir / (look.Name + ".asz")}) {
    if (!LoadSkin(p, error)) {
      std::fprintf(stderr, "skingen: %s does not load: %s\n", p.string().c_str(), error.c_str());
      return false;
    }
  }
  std::printf("%s: %zu sections, %zu masks, %zu images\n", look.Name.c_str(), skin.Sections.size(), skin.Masks.size(),
              skin.Images.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: skingen <skins folder>\n");
    return 2;
  }
  const fs::path dir = argv[1];
  std::error_code ec;
  fs::create_directories(dir, ec);
  bool ok = WriteSkin(DefaultLook(), dir);
  ok = WriteSkin(GraphiteLook(), dir) && ok;
  return ok ? 0 : 1;
}
