#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <stdlib.h>

namespace testsupport {

// A fresh folder under the system temporary folder, removed with everything in it at the end.
class TempFolder {
public:
    TempFolder()
    {
        std::string name = (std::filesystem::temp_directory_path() / "verdalis-test-XXXXXX").string();
        if (!::mkdtemp(name.data()))
            throw std::runtime_error("cannot create a temporary folder");
        m_path = name;
    }
    ~TempFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    const std::filesystem::path &path() const { return m_path; }
    std::string file(const std::string &name) const { return (m_path / name).string(); }

    std::size_t entryCount() const
    {
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(m_path),
                                                      std::filesystem::directory_iterator()));
    }

private:
    std::filesystem::path m_path;
};

inline std::string readBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The pieces of the text between separators (lines by default); a separator at the end ends the last.
inline std::vector<std::string> split(const std::string &text, char separator = '\n')
{
    std::vector<std::string> pieces;
    std::istringstream in(text);
    for (std::string piece; std::getline(in, piece, separator);)
        pieces.push_back(piece);
    return pieces;
}

// The text with field `field` (from 0; the whole line when -1) of line `line` (from 0; from the end
// when negative) replaced by `value`. Fields are separated by tabs.
inline std::string withField(const std::string &text, int line, int field, const std::string &value)
{
    auto all = split(text);
    std::string &target =
        all.at(static_cast<std::size_t>(line < 0 ? static_cast<int>(all.size()) + line : line));
    std::size_t start = 0;
    for (int f = 0; f < field; ++f)
        start = target.find('\t', start) + 1;
    target.replace(start, field < 0 ? std::string::npos : target.find('\t', start) - start, value);
    std::string joined;
    for (const std::string &l : all)
        joined += l + "\n";
    return joined;
}

inline void writeBytes(const std::string &path, const std::string &content)
{
    std::ofstream out(path, std::ios::binary);
    out << content;
}

} // namespace testsupport
