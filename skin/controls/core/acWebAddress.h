// Which addresses a link may hand to the shell to open.
//
// The shell opens whatever it is given: a program path with arguments, a document, a folder, a
// protocol handler of any installed program. A link label only ever means a web page or a mail
// address, so it opens an address only when it names one of the few schemes for those (http,
// https, ftp, mailto) followed by something, and holds nothing the shell could read as the start
// of a second argument or a new command (blanks, quotes, control characters).
#pragma once

#include <string_view>

namespace qv {

bool IsSafeWebAddress(std::string_view Address);

}  // namespace qv
