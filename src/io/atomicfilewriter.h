#pragma once

#include <string>

namespace io {

// Replaces a file's content as a whole: the text goes to a temporary file in the target's folder,
// which is flushed to disk and renamed over the target only when everything was written. On
// failure the temporary file is removed and the previous target, if any, is untouched.
class AtomicFileWriter {
public:
    static bool write(const std::string &path, const std::string &content, std::string *reason = nullptr);
};

} // namespace io
