#include "io/atomicfilewriter.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace io {

namespace {

void setReason(std::string *reason, const std::string &text)
{
    if (reason)
        *reason = text;
}

std::string systemError(const std::string &what, int error)
{
    return what + ": " + std::strerror(error);
}

// New files get the permissions an ordinary open() would give them; replaced files keep theirs.
mode_t modeFor(const std::string &target)
{
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode))
        return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

AtomicFileStream::~AtomicFileStream()
{
    abandon();
}

bool AtomicFileStream::open(const std::string &fileName, std::string *reason)
{
    namespace fs = std::filesystem;
    abandon();
    failure.clear();
    path = fileName;
    if (path.empty()) {
        setReason(reason, "no file name given");
        return false;
    }
    // Writing through a symbolic link replaces the file it points to, not the link.
    std::error_code ec;
    fs::path resolved(path);
    if (fs::is_symlink(resolved, ec)) {
        const fs::path followed = fs::weakly_canonical(resolved, ec);
        if (!ec)
            resolved = followed;
    }
    if (fs::is_directory(resolved, ec)) {
        setReason(reason, "cannot write \"" + path + "\": it is a folder");
        return false;
    }
    target = resolved.string();
    const fs::path folder = resolved.has_parent_path() ? resolved.parent_path() : fs::path(".");
    const std::string pattern = (folder / ("." + resolved.filename().string() + ".XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    fd = ::mkstemp(name.data());
    if (fd < 0) {
        setReason(reason, systemError("cannot write \"" + path + "\"", errno));
        return false;
    }
    temporary = name.data();
    return true;
}

bool AtomicFileStream::write(std::string_view data)
{
    if (fd < 0 || !failure.empty())
        return false;
    while (!data.empty()) {
        const ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            failure = systemError("cannot write \"" + path + "\"", errno);
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool AtomicFileStream::commit(std::string *reason)
{
    if (fd < 0) {
        setReason(reason, failure.empty() ? "cannot write \"" + path + "\": the file is not open" : failure);
        return false;
    }
    if (failure.empty() && (::fchmod(fd, modeFor(target)) != 0 || ::fsync(fd) != 0))
        failure = systemError("cannot write \"" + path + "\"", errno);
    const int closed = ::close(fd);
    fd = -1;
    if (failure.empty() && closed != 0)
        failure = systemError("cannot write \"" + path + "\"", errno);
    if (failure.empty() && ::rename(temporary.c_str(), target.c_str()) != 0)
        failure = systemError("cannot replace \"" + path + "\"", errno);
    if (!failure.empty()) {
        ::unlink(temporary.c_str());
        temporary.clear();
        setReason(reason, failure);
        return false;
    }
    temporary.clear();
    return true;
}

void AtomicFileStream::abandon()
{
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
    if (!temporary.empty()) {
        ::unlink(temporary.c_str());
        temporary.clear();
    }
}

bool AtomicFileWriter::write(const std::string &path, const std::string &content, std::string *reason)
{
    AtomicFileStream file;
    if (!file.open(path, reason))
        return false;
    file.write(content);
    return file.commit(reason);
}

} // namespace io
