// Draws the library's default button glyphs of the combo edits and writes them as BMP files,
// which the resource script builds into every program.
//
//   glyphgen <output folder>
//
// Each glyph is three frames side by side (normal, hot, pressed) over a mask half below them:
// black where the picture shows, white where the button shows through. Files: sf.bmp (open file),
// sr.bmp (open folder), sd.bmp (date), se.bmp (ellipsis), sc.bmp (calculator).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "classlib/core/Image24.h"
#include "skin/engine/core/acBmpFile.h"

using namespace qv;
namespace fs = std::filesystem;

namespace {

struct TRgb {
  int R = 0, G = 0, B = 0;
};

TRgb Mix(TRgb a, TRgb b, double k) {  // k = share of b
  return TRgb{int(std::lround(a.R + (b.R - a.R) * k)), int(std::lround(a.G + (b.G - a.G) * k)),
              int(std::lround(a.B + (b.B - a.B) * k))};
}
TBgr Bgr(TRgb c) {
  auto cl = [](int v) { return std::uint8_t(std::clamp(v, 0, 255)); };
  return TBgr{cl(c.B), cl(c.G), cl(c.R)};
}

// One letter of the pictures and its colour; '.' is clear.
struct TInk {
  char Letter;
  TRgb Color;
};
const TInk kInks[] = {
    {'K', {64, 72, 88}},     // outline
    {'W', {252, 252, 248}},  // paper
    {'G', {150, 158, 170}},  // lines, keys
    {'Y', {236, 190, 72}},   // folder
    {'y', {212, 160, 48}},   // folder, shaded
    {'R', {206, 64, 52}},    // calendar head
    {'B', {96, 150, 206}},   // display, accent
    {'D', {88, 96, 110}},    // dots, dark keys
};

TRgb InkOf(char c) {
  for (const TInk& i : kInks)
    if (i.Letter == c) return i.Color;
  return TRgb{};
}

struct TGlyph {
  const char* File;
  int FrameWidth, FrameHeight;
  std::vector<std::string> Art;  // centred in the frame
};

// The look of a frame: 0 as drawn, 1 hot (lighter, the outline in the accent colour), 2 pressed
// (darker, one pixel down and right).
TRgb FrameInk(char c, int frame) {
  TRgb ink = InkOf(c);
  if (frame == 1) return c == 'K' ? Mix(InkOf('B'), TRgb{0, 0, 0}, 0.25) : Mix(ink, TRgb{255, 255, 255}, 0.2);
  if (frame == 2) return Mix(ink, TRgb{0, 0, 0}, 0.18);
  return ink;
}

TImage24 Draw(const TGlyph& g) {
  const int w = g.FrameWidth, h = g.FrameHeight;
  TImage24 img(3 * w, 2 * h);
  img.Fill(TBgr{255, 255, 255});  // picture half: white under the clear pixels; mask half: clear
  const int artH = int(g.Art.size());
  std::size_t widest = 0;
  for (const std::string& row : g.Art) widest = std::max(widest, row.size());
  const int artW = int(widest);
  for (int frame = 0; frame < 3; ++frame) {
    const int ox = frame * w + (w - artW) / 2 + (frame == 2 ? 1 : 0);
    const int oy = (h - artH) / 2 + (frame == 2 ? 1 : 0);
    for (int y = 0; y < artH; ++y)
      for (int x = 0; x < artW; ++x) {
        const std::string& row = g.Art[std::size_t(y)];
        const char c = std::size_t(x) < row.size() ? row[std::size_t(x)] : '.';
        if (c == '.') continue;
        const int px = ox + x, py = oy + y;
        if (px < frame * w || px >= (frame + 1) * w || py < 0 || py >= h) continue;
        img.SetPixel(px, py, Bgr(FrameInk(c, frame)));
        img.SetPixel(px, py + h, TBgr{0, 0, 0});
      }
  }
  return img;
}

std::vector<TGlyph> Glyphs() {
  return {
      {"sf.bmp",
       20,
       17,
       {"KKKKKKKK....", "KWWWWWWKK...", "KWWWWWWKWK..", "KWGGGGWKKKK.", "KWWWWWWWWWK.", "KWGGGGGGGWK.", "KWWWWWWWWWK.",
        "KWGGGGGGGWK.", "KWWWWWWWWWKBB", "KWGGGGGGGWKBB", "KWWWWWWWWBBBBBB", "KKKKKKKKKKKBB..", "...........BB.."}},
      {"sr.bmp",
       20,
       17,
       {".KKKKK..........", "KYYYYYK.........", "KYYYYYYKKKKKKKK.", "KYYYYYYYYYYYYYK.", "KYKKKKKKKKKKKKKK",
        "KYKyyyyyyyyyyyyK", "KYKyyyyyyyyyyyK.", "KKyyyyyyyyyyyyK.", "KKyyyyyyyyyyyK..", "KyyyyyyyyyyyyK..",
        "KKKKKKKKKKKKKK.."}},
      {"sd.bmp",
       16,
       17,
       {".KK....KK...", "KRKRRRRKRRRK", "KRRRRRRRRRRK", "KKKKKKKKKKKK", "KWWWWWWWWWWK", "KWGWGWGWGWWK", "KWWWWWWWWWWK",
        "KWGWGWGWBWWK", "KWWWWWWWWWWK", "KWGWGWGWGWWK", "KWWWWWWWWWWK", "KKKKKKKKKKKK"}},
      {"se.bmp", 18, 17, {"DD..DD..DD", "DD..DD..DD"}},
      {"sc.bmp",
       19,
       17,
       {"KKKKKKKKKKK", "KWWWWWWWWWK", "KWBBBBBBBWK", "KWBBBBBBBWK", "KWWWWWWWWWK", "KWGWGWGWRWK", "KWWWWWWWWWK",
        "KWGWGWGWDWK", "KWWWWWWWWWK", "KWGWGWGWDWK", "KWWWWWWWWWK", "KWGGGWGWDWK", "KWWWWWWWWWK", "KKKKKKKKKKK"}},
  };
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: glyphgen <output folder>\n");
    return 2;
  }
  const fs::path dir = argv[1];
  std::error_code ec;
  fs::create_directories(dir, ec);
  for (const TGlyph& g : Glyphs()) {
    const std::vector<std::uint8_t> bytes = EncodeBmp(Draw(g));
    std::ofstream out(dir / g.File, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out) {
      std::fprintf(stderr, "glyphgen: cannot write %s\n", (dir / g.File).string().c_str());
      return 1;
    }
    std::printf("%s: %d x %d\n", g.File, 3 * g.FrameWidth, 2 * g.FrameHeight);
  }
  return 0;
}
