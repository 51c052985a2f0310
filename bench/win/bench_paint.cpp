// The skin painters against the platform's own routines on the same bitmaps, in one run:
//  - a nine-piece border mask over 800 x 600 (PaintMaskRect) against nine StretchBlt calls;
//  - one hover-fade frame of 800 x 600 (start image copied, then blended with the new look)
//    against AlphaBlend with a constant alpha.
// Prints the time of each and the ratio ours / platform (below 1: ours is faster).
#include "classlib/Win.h"

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "skin/engine/core/acSkinLoader.h"
#include "skin/engine/sCommonData.h"
#include "skin/engine/sQuorvexGraph.h"
#include "skin/engine/sSkinManager.h"

namespace {

double Seconds(const std::function<void()>& work, int reps) {
  LARGE_INTEGER f, a, b;
  QueryPerformanceFrequency(&f);
  work();  // warm up
  QueryPerformanceCounter(&a);
  for (int i = 0; i < reps; ++i) work();
  QueryPerformanceCounter(&b);
  return double(b.QuadPart - a.QuadPart) / double(f.QuadPart) / reps;
}

// A skin with one section whose border mask has three 48 x 48 frames with 16-pixel margins and
// transparent corner pixels.
std::unique_ptr<qv::TSkinModel> BenchSkin() {
  auto m = std::make_unique<qv::TSkinModel>();
  qv::TImage24 img(48 * 3, 48);
  for (int s = 0; s < 3; ++s)
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 48; ++x) {
        const bool corner = (x < 3 || x > 44) && (y < 3 || y > 44);
        img.SetPixel(
            s * 48 + x, y,
            corner ? qv::BgrOf(qv::clKeyMagenta) : qv::TBgr{std::uint8_t(40 * s + x), std::uint8_t(y * 5), 90});
      }
  m->AddImage("button.bmp", std::move(img));
  qv::TsGeneralData sec;
  sec.Name = "BUTTON";
  m->AddSection(sec);
  qv::TsMaskData mask;
  mask.SectionName = "BUTTON";
  mask.PropertyName = "BORDERSMASK";
  mask.ImageIndex = 0;
  mask.R = TRect{0, 0, 144, 48};
  mask.ImageCount = 3;
  mask.MarginLeft = mask.MarginTop = mask.MarginRight = mask.MarginBottom = 16;
  m->AddMask(mask);
  m->RebuildIndex();
  return m;
}

}  // namespace

int main() {
#if defined(__GNUC__) && !defined(__OPTIMIZE__)
  std::printf("note: an unoptimised build; configure with -DCMAKE_BUILD_TYPE=Release for fair ratios\n");
#endif
  constexpr int W = 800, H = 600, Reps = 60;
  std::string error;
  std::vector<std::uint8_t> packed;
  if (!qv::PackSkin(*BenchSkin(), packed, error)) {
    std::printf("skin not packed: %s\n", error.c_str());
    return 1;
  }
  auto* manager = Create<TsSkinManager>(nullptr);
  if (!manager->LoadSkinFromBytes(packed.data(), packed.size(), "Bench")) {
    std::printf("skin not loaded: %s\n", manager->LastError().c_str());
    manager->Free();
    return 1;
  }
  const int maskIndex = manager->MaskIndexOf("BUTTON", "BORDERSMASK");
  const qv::TsMaskData& mask = manager->Mask(maskIndex);

  TBitmap* target = CreateBmp24(W, H);
  TBitmap* source = CreateBmp24(144, 48);  // the mask's image as a GDI bitmap for StretchBlt
  {
    const qv::TImage24* img = manager->MaskImage(maskIndex);
    const qv::TImageView d = BmpView(source);
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 144; ++x) d.SetPixel(x, y, img->Pixel(x, y));
  }

  // Nine-piece paint.
  const double ours9 = Seconds(
      [&] {
        PaintMaskRect(target, TRect{0, 0, W, H}, true, EmptyCacheInfo, mask, 1, false, manager);
      },
      Reps);
  target->Canvas()->Lock();
  source->Canvas()->Lock();
  HDC td = target->Canvas()->Handle(), sd = source->Canvas()->Handle();
  SetStretchBltMode(td, COLORONCOLOR);
  const int fx = 48, m = 16;
  const int xs[3] = {0, m, W - m}, ws[3] = {m, W - 2 * m, m};
  const int ys[3] = {0, m, H - m}, hs[3] = {m, H - 2 * m, m};
  const int sxs[3] = {fx, fx + m, fx + 48 - m}, sys[3] = {0, m, 48 - m};
  const double gdi9 = Seconds(
      [&] {
        for (int j = 0; j < 3; ++j)
          for (int i = 0; i < 3; ++i) StretchBlt(td, xs[i], ys[j], ws[i], hs[j], sd, sxs[i], sys[j], m, m, SRCCOPY);
        GdiFlush();
      },
      Reps);

  // One fade frame: start image copied into the frame, then blended with the new look.
  TBitmap* start = CreateBmp24(W, H);
  TBitmap* now = CreateBmp24(W, H);
  TBitmap* frame = CreateBmp24(W, H);
  FillBmpRect(start, TRect{0, 0, W, H}, TColor(0x204080));
  FillBmpRect(now, TRect{0, 0, W, H}, TColor(0xC0A060));
  const qv::TImageView sv = BmpView(start), fv = BmpView(frame);
  const double oursFade = Seconds(
      [&] {
        for (int y = 0; y < H; ++y) std::copy(sv.Row(y), sv.Row(y) + 3 * W, fv.Row(y));
        BlendBitmaps(frame, now, 128);
      },
      Reps);
  frame->Canvas()->Lock();
  start->Canvas()->Lock();
  now->Canvas()->Lock();
  HDC fd = frame->Canvas()->Handle(), std_ = start->Canvas()->Handle(), nd = now->Canvas()->Handle();
  BLENDFUNCTION bf{AC_SRC_OVER, 0, 128, 0};
  const double gdiFade = Seconds(
      [&] {
        BitBlt(fd, 0, 0, W, H, std_, 0, 0, SRCCOPY);
        AlphaBlend(fd, 0, 0, W, H, nd, 0, 0, W, H, bf);
        GdiFlush();
      },
      Reps);

  std::printf("nine-piece 800x600: ours %.3f ms, StretchBlt x9 %.3f ms, ratio %.2f\n", ours9 * 1e3, gdi9 * 1e3,
              ours9 / gdi9);
  std::printf("fade frame 800x600: ours %.3f ms, AlphaBlend %.3f ms, ratio %.2f\n", oursFade * 1e3, gdiFade * 1e3,
              oursFade / gdiFade);

  for (TBitmap* b : {target, source, start, now, frame}) {
    b->Canvas()->Unlock();
    b->Free();
  }
  manager->Free();
  return 0;
}
