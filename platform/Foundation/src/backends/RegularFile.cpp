#include "Foundation/backends/RegularFile.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

namespace {
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Up to `limit` bytes of a regular file; `whole` tells whether the file ended within them. A file
// that says it is longer than `longest` is not read at all.
std::optional<std::string> read(const std::filesystem::path& path, std::size_t limit, std::size_t longest, bool& whole) {
    // Opening without waiting: a FIFO would otherwise hold the open until some writer came.
    Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat status {};
    if (file.get() < 0 || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
    if (static_cast<std::uintmax_t>(std::max<off_t>(status.st_size, 0)) > longest) return std::nullopt;
    std::string bytes;
    bytes.reserve(std::min(static_cast<std::size_t>(std::max<off_t>(status.st_size, 0)), limit));
    char buffer[16384];
    whole = false;
    while (bytes.size() < limit) {
        const ssize_t count = ::read(file.get(), buffer, std::min(sizeof buffer, limit - bytes.size()));
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return std::nullopt;
        if (count == 0) {
            whole = true;
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
    return bytes;
}
}  // namespace

std::optional<std::string> RegularFile::contents(const std::filesystem::path& path, std::size_t maximumSize) {
    bool whole = false;
    // One byte past the limit tells a file that is too long from one that fills it exactly.
    auto bytes = read(path, maximumSize + 1, maximumSize, whole);
    if (!bytes || !whole) return std::nullopt;
    return bytes;
}

std::optional<std::string> RegularFile::firstBytes(const std::filesystem::path& path, std::size_t count) {
    bool whole = false;
    return read(path, count, SIZE_MAX, whole);
}
