#include "ecosystem/simulation/atomicfile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include <unistd.h>

namespace ecosystem {

SimulationOutcome writeFileAtomically(const std::string &path, const std::string &content)
{
    // The process id keeps two programs saving the same name from writing into one temporary.
    const std::string temporary = path + ".tmp" + std::to_string(::getpid());
    const auto failed = [&](const std::string &reason) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return SimulationOutcome::failure("could not write '" + path + "': " + reason);
    };

    errno = 0;
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    if (!file)
        return failed(errno ? std::strerror(errno) : "cannot create the file");
    file.write(content.data(), static_cast<std::streamsize>(content.size()));
    file.flush();
    if (!file)
        return failed(errno ? std::strerror(errno) : "write error");
    file.close();
    if (file.fail())
        return failed(errno ? std::strerror(errno) : "write error");

    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec)
        return failed(ec.message());
    return SimulationOutcome::success();
}

} // namespace ecosystem
