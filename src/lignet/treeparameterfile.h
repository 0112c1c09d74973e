#pragma once

#include "lignet/treeparameters.h"

#include <iosfwd>
#include <string>

namespace lignet {

// The tab-separated text format of a tree parameter set (".tree.xml", plain text despite the
// name): two texture path lines, one line of ten scalars, then twelve curve blocks. The tables
// are not stored; they are recomputed after a load.
class TreeParameterFile {
public:
    // Longest texture path line a reader accepts, not counting the line end.
    static constexpr std::size_t MaxPathLength = 254;
    // A curve block announcing more points than this is taken as damage, not as a design.
    static constexpr long MaxCurvePoints = 100000;
    // Files larger than this are refused before parsing; real ones are a few kilobytes.
    static constexpr std::size_t MaxFileSize = 16u * 1024u * 1024u;

    // The file text of the set in the file format, LF line ends.
    static std::string text(const TreeParameters &parameters);

    // Reads a whole file from the stream into the set and recomputes its tables. A damaged file
    // is refused whole: the set stays exactly as it was and the reason names the line and what
    // was expected there. Fields the format does not carry keep their values.
    static bool read(std::istream &in, TreeParameters &parameters, std::string *reason = nullptr);
    static bool parse(const std::string &content, TreeParameters &parameters, std::string *reason = nullptr);

    // File versions of the above. save() writes a temporary file next to the target and renames
    // it over the target only after a complete write, so a failed save leaves the old file alone.
    static bool save(const TreeParameters &parameters, const std::string &path,
                     std::string *reason = nullptr);
    static bool load(TreeParameters &parameters, const std::string &path, std::string *reason = nullptr);
};

} // namespace lignet
