#include "io/printableexcerpt.h"

namespace io {

std::string printableExcerpt(std::string_view bytes, std::size_t limit)
{
    static constexpr char Hex[] = "0123456789abcdef";
    std::string text;
    for (const char c : bytes.substr(0, limit)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7f && byte != '\\') {
            text += c;
        } else {
            text += "\\x";
            text += Hex[byte >> 4];
            text += Hex[byte & 0x0f];
        }
    }
    if (bytes.size() > limit)
        text += "...";
    return text;
}

} // namespace io
