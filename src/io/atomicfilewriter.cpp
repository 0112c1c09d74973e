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

bool AtomicFileWriter::write(const std::string &path, const std::string &content, std::string *reason)
{
    namespace fs = std::filesystem;
    if (path.empty()) {
        setReason(reason, "no file name given");
        return false;
    }
    // Writing through a symbolic link replaces the file it points to, not the link.
    std::error_code ec;
    fs::path target(path);
    if (fs::is_symlink(target, ec)) {
        const fs::path resolved = fs::weakly_canonical(target, ec);
        if (!ec)
            target = resolved;
    }
    if (fs::is_directory(target, ec)) {
        setReason(reason, "cannot write \"" + path + "\": it is a folder");
        return false;
    }
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        setReason(reason, systemError("cannot write \"" + path + "\"", errno));
        return false;
    }
    const std::string temporary(name.data());
    auto abandon = [&](const std::string &why) {
        ::close(fd);
        ::unlink(temporary.c_str());
        setReason(reason, why);
        return false;
    };

    const char *data = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return abandon(systemError("cannot write \"" + path + "\"", errno));
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    if (::fchmod(fd, modeFor(target.string())) != 0 || ::fsync(fd) != 0)
        return abandon(systemError("cannot write \"" + path + "\"", errno));
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        setReason(reason, systemError("cannot write \"" + path + "\"", error));
        return false;
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        setReason(reason, systemError("cannot replace \"" + path + "\"", error));
        return false;
    }
    return true;
}

} // namespace io
