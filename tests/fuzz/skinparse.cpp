// Fuzz target: Options.dat text, parsed alone and loaded as a skin with a small image beside it.
#include <cstddef>
#include <cstdlib>
#include <cstdint>
#include <algorithm>
#include <string>
#include <vector>
#include <string_view>

#include "skin/engine/core/acBmpFile.h"
#include "skin/engine/core/acOptionsFile.h"
#include "skin/engine/core/acSkinLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  qv::TOptionsFile file;
  std::string error;
  if (qv::ParseOptionsFile(text, file, error)) {
    // What is written must parse again.
    qv::TOptionsFile again;
    if (!qv::ParseOptionsFile(qv::WriteOptionsFile(file), again, error)) std::abort();
  } else if (error.empty()) {
    std::abort();
  }
  static const std::vector<std::uint8_t> bmp = [] {
    qv::TImage24 img(24, 16);
    img.Fill(qv::TBgr{1, 2, 3});
    return qv::EncodeBmp(img);
  }();
  std::vector<qv::TPackedEntry> files = {
      {"Options.dat", std::vector<std::uint8_t>(data, data + size)},
      {"a.bmp", bmp},
      {"master.bmp", bmp},
      {"b.bmp", std::vector<std::uint8_t>(data, data + std::min<std::size_t>(size, 64))}};
  auto skin = qv::LoadSkinFromEntries(files, error);
  if (skin) {
    for (int i = 0; i < int(skin->Masks.size()); ++i) {
      (void)skin->GetMaskItemSize(i);
      (void)skin->MaskMarginLeft(i);
      (void)skin->LookupMask(-1, skin->Masks[i].SectionName, "X");
    }
    for (int i = 0; i < int(skin->Sections.size()); ++i) {
      (void)skin->LookupMask(i, skin->Sections[i].Name, "NONE");
      (void)skin->CornerImages(i);
    }
  } else if (error.empty()) {
    std::abort();
  }
  return 0;
}
