#include "imageheader.h"

#include <array>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

namespace {

std::vector<unsigned char> readAll(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t bigEndian32(const std::vector<unsigned char> &b, std::size_t at)
{
    return (std::uint32_t(b[at]) << 24) | (std::uint32_t(b[at + 1]) << 16) | (std::uint32_t(b[at + 2]) << 8) |
           std::uint32_t(b[at + 3]);
}

int bigEndian16(const std::vector<unsigned char> &b, std::size_t at)
{
    return (int(b[at]) << 8) | int(b[at + 1]);
}

std::optional<ImageHeader> pngHeader(const std::vector<unsigned char> &b)
{
    static const std::array<unsigned char, 8> signature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (b.size() < 29 || !std::equal(signature.begin(), signature.end(), b.begin()))
        return std::nullopt;
    if (std::string(b.begin() + 12, b.begin() + 16) != "IHDR")
        return std::nullopt;
    ImageHeader h;
    h.width = int(bigEndian32(b, 16));
    h.height = int(bigEndian32(b, 20));
    switch (b[25]) { // colour type
    case 0:
        h.channels = 1;
        break;
    case 2:
        h.channels = 3;
        break;
    case 3:
        h.channels = 3;
        break; // palette
    case 4:
        h.channels = 2;
        break;
    case 6:
        h.channels = 4;
        break;
    default:
        return std::nullopt;
    }
    return h;
}

std::optional<ImageHeader> jpegHeader(const std::vector<unsigned char> &b)
{
    if (b.size() < 4 || b[0] != 0xff || b[1] != 0xd8)
        return std::nullopt;
    std::size_t at = 2;
    while (at + 4 <= b.size()) {
        if (b[at] != 0xff)
            return std::nullopt;
        const unsigned char marker = b[at + 1];
        const int length = bigEndian16(b, at + 2);
        // Start-of-frame markers carry the size: C0..CF except C4 (tables), C8 and CC.
        if (marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc) {
            if (at + 10 > b.size())
                return std::nullopt;
            ImageHeader h;
            h.height = bigEndian16(b, at + 5);
            h.width = bigEndian16(b, at + 7);
            h.channels = b[at + 9];
            return h;
        }
        at += 2 + std::size_t(length);
    }
    return std::nullopt;
}

std::optional<ImageHeader> xpmHeader(const std::vector<unsigned char> &b)
{
    const std::string text(b.begin(), b.end());
    if (text.rfind("/* XPM */", 0) != 0)
        return std::nullopt;
    // The first string holds "width height colours chars-per-pixel".
    const auto open = text.find('"');
    const auto close = text.find('"', open + 1);
    if (open == std::string::npos || close == std::string::npos)
        return std::nullopt;
    std::istringstream values(text.substr(open + 1, close - open - 1));
    ImageHeader h;
    int colours = 0;
    int charsPerPixel = 0;
    if (!(values >> h.width >> h.height >> colours >> charsPerPixel))
        return std::nullopt;
    h.channels = text.find(" c None\"") != std::string::npos ? 4 : 3;
    return h;
}

} // namespace

std::optional<ImageHeader> readImageHeader(const std::string &path)
{
    const std::vector<unsigned char> bytes = readAll(path);
    if (auto h = pngHeader(bytes))
        return h;
    if (auto h = jpegHeader(bytes))
        return h;
    return xpmHeader(bytes);
}
