#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace io {

// The start of some bytes read from a file, safe to put in a message for a terminal: at most
// `limit` bytes, followed by "..." when there were more; every byte outside printable ASCII (and
// the backslash) is written as \xNN, so a damaged or binary file never sends control sequences
// or broken characters to the terminal.
std::string printableExcerpt(std::string_view bytes, std::size_t limit = 24);

} // namespace io
