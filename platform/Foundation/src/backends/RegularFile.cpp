#include "Foundation/backends/RegularFile.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include "Foundation/backends/FileDescriptor.hpp"

namespace {
std::optional<std::string> failure(std::error_code& error, std::errc why) {
    error = std::make_error_code(why);
    return std::nullopt;
}

// Up to `limit` bytes of a regular file; `whole` tells whether the file ended within them. A file
// that says it is longer than `longest` is not read at all. `error` tells why nothing was read.
std::optional<std::string> read(const std::filesystem::path& path, std::size_t limit, std::size_t longest, bool& whole,
                                std::error_code& error) {
    // Opening without waiting: a FIFO would otherwise hold the open until some writer came.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat status {};
    if (file.get() < 0 || ::fstat(file.get(), &status) != 0) return failure(error, static_cast<std::errc>(errno));
    if (!S_ISREG(status.st_mode)) return failure(error, std::errc::invalid_argument);
    if (static_cast<std::uintmax_t>(std::max<off_t>(status.st_size, 0)) > longest) return failure(error, std::errc::file_too_large);
    std::string bytes;
    bytes.reserve(std::min(static_cast<std::size_t>(std::max<off_t>(status.st_size, 0)), limit));
    char buffer[16384];
    whole = false;
    while (bytes.size() < limit) {
        const ssize_t count = ::read(file.get(), buffer, std::min(sizeof buffer, limit - bytes.size()));
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return failure(error, static_cast<std::errc>(errno));
        if (count == 0) {
            whole = true;
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
    return bytes;
}
}  // namespace

std::optional<std::string> RegularFile::contents(const std::filesystem::path& path, std::size_t maximumSize,
                                                 std::error_code* error) {
    bool whole = false;
    std::error_code why;
    // One byte past the limit tells a file that is too long from one that fills it exactly.
    auto bytes = read(path, maximumSize + 1, maximumSize, whole, why);
    if (bytes && !whole) bytes = failure(why, std::errc::file_too_large);
    if (!bytes && error) *error = why;
    return bytes;
}

std::optional<std::string> RegularFile::firstBytes(const std::filesystem::path& path, std::size_t count) {
    bool whole = false;
    std::error_code error;
    return read(path, count, SIZE_MAX, whole, error);
}
