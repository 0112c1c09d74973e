#pragma once

#include <string>
#include <string_view>

namespace io {

// A file written piece by piece that replaces its target only when complete: the pieces go to a
// temporary file in the target's folder, which commit() flushes to disk and renames over the
// target. Without a successful commit the temporary file is removed and the previous target, if
// any, is untouched. Replaced files keep their permissions; a symbolic link keeps pointing to the
// file it names, which is the one replaced.
class AtomicFileStream {
public:
    AtomicFileStream() = default;
    ~AtomicFileStream();
    AtomicFileStream(const AtomicFileStream &) = delete;
    AtomicFileStream &operator=(const AtomicFileStream &) = delete;

    bool open(const std::string &path, std::string *reason = nullptr);
    bool isOpen() const { return fd >= 0; }
    // Returns false from the first failed write on; commit() then reports it.
    bool write(std::string_view data);
    bool commit(std::string *reason = nullptr);
    // Drops what was written; the target stays as it was.
    void abandon();

private:
    int fd = -1;
    std::string path;
    std::string target;
    std::string temporary;
    std::string failure;
};

// Replaces a file's content as a whole (an AtomicFileStream written in one piece).
class AtomicFileWriter {
public:
    static bool write(const std::string &path, const std::string &content, std::string *reason = nullptr);
};

} // namespace io
