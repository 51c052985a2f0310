// Fuzz target: packed skin bytes (".asz") and the BMP decoder on the same bytes.
#include <cstddef>
#include <cstdlib>
#include <cstdint>
#include <string>
#include <vector>

#include "skin/engine/core/acBmpFile.h"
#include "skin/engine/core/acByteStream.h"
#include "skin/engine/core/acPackedSkin.h"
#include "skin/engine/core/acSkinLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string error;
  std::vector<qv::TPackedEntry> entries;
  if (qv::ReadPackedSkin(data, size, entries, error)) {
    std::vector<std::uint8_t> again;
    if (!qv::WritePackedSkin(entries, again, error)) std::abort();
  }
  // Each entry decoded straight from its stream, as the loader reads images.
  std::vector<qv::TPackedIndexEntry> index;
  if (qv::ReadPackedIndex(data, size, index, error)) {
    for (const qv::TPackedIndexEntry& e : index) {
      auto in = qv::OpenPackedEntry(e);
      qv::TImage24 img;
      if (qv::DecodeBmp(*in, img, error)) (void)in->Finish(error);
    }
  }
  auto skin = qv::LoadSkinFromPackedBytes(data, size, error);
  if (!skin && error.empty()) std::abort();
  qv::TImage24 img;
  (void)qv::DecodeBmp(data, size, img, error);
  return 0;
}
