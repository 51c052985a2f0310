#include "skin/controls/core/acWebAddress.h"

#include <array>
#include <cctype>

namespace qv {

namespace {

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(s[i])) != prefix[i]) return false;
  return true;
}

}  // namespace

bool IsSafeWebAddress(std::string_view Address) {
  for (char c : Address) {
    const auto u = static_cast<unsigned char>(c);
    if (u <= 0x20 || u == 0x7F || c == '"') return false;
  }
  // Schemes whose rest is a host: "//" and at least one character of it.
  static constexpr std::array<std::string_view, 3> kHostSchemes{"http://", "https://", "ftp://"};
  for (std::string_view scheme : kHostSchemes) {
    if (!StartsWithNoCase(Address, scheme)) continue;
    const std::string_view rest = Address.substr(scheme.size());
    return !rest.empty() && rest.front() != '/';
  }
  if (StartsWithNoCase(Address, "mailto:")) return Address.size() > 7;
  return false;
}

}  // namespace qv
