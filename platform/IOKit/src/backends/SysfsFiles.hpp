#pragma once
// Reading sysfs attributes: small text or binary files that the kernel fills on each read.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Foundation/backends/FileDescriptor.hpp"

namespace sysfs {

/// Reads attributes with plain system calls into one buffer that it keeps from read to read: a
/// refresh reads many such files every second.
class AttributeReader {
public:
    /// The kernel writes no text attribute longer than a page.
    static constexpr std::size_t pageSize = 4096;

    /// `file` (a path relative to the open folder `folder`, or any path with AT_FDCWD) opened for
    /// reading, without waiting on it; no descriptor when it cannot be opened or is no regular file.
    static FileDescriptor open(int folder, const char* file) {
        FileDescriptor fd(::openat(folder, file, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
        struct stat status {};
        if (fd.get() < 0 || ::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode)) return FileDescriptor();
        return fd;
    }

    /// The bytes of `file` (as for open()), at most `limit` of them; absent when it is missing, is
    /// not a regular file, or its read fails (the kernel answers some reads, such as the capacity
    /// of a device that has not reported yet, with an error). They stay valid until the next read.
    std::optional<std::string_view> bytes(int folder, const char* file, std::size_t limit = pageSize) {
        auto fd = open(folder, file);
        if (fd.get() < 0) return std::nullopt;
        return read(fd.get(), limit);
    }

    /// What the open regular file `fd` holds from its start, at most `limit` bytes; absent when
    /// the read fails. sysfs makes an attribute's value afresh at each read from offset 0, so a
    /// descriptor held open reads the value of the moment.
    std::optional<std::string_view> read(int fd, std::size_t limit = pageSize) {
        if (buffer_.size() < limit) buffer_.resize(limit);
        std::size_t count = 0;
        while (count < limit) {
            ssize_t got = ::pread(fd, buffer_.data() + count, limit - count, static_cast<off_t>(count));
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) return std::nullopt;
            bool end = got == 0 || static_cast<std::size_t>(got) < limit - count;  // a regular file reads short only at its end
            count += static_cast<std::size_t>(got);
            if (end) break;
        }
        return std::string_view(buffer_.data(), count);
    }

    /// A text attribute without its trailing line break and blanks.
    std::optional<std::string_view> text(int folder, const char* file) { return trimmed(bytes(folder, file)); }
    /// The same text, copied out of the buffer.
    std::optional<std::string> string(int folder, const char* file) {
        auto text = this->text(folder, file);
        return text ? std::optional<std::string>(*text) : std::nullopt;
    }

    /// A whole-number attribute; absent when missing, unreadable or not a number.
    std::optional<std::int64_t> integer(int folder, const char* file);

    /// Bytes read without their trailing line break and blanks.
    static std::optional<std::string_view> trimmed(std::optional<std::string_view> bytes) {
        while (bytes && !bytes->empty() && std::isspace(static_cast<unsigned char>(bytes->back()))) bytes->remove_suffix(1);
        return bytes;
    }

private:
    std::vector<char> buffer_;
};

/// A whole number the kernel can tell: its power-supply values are 32-bit, so a text beyond
/// that range is no value (and arithmetic on what is read cannot overflow).
inline std::optional<std::int64_t> parseInteger(std::string_view text) {
    std::int32_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

inline std::optional<std::int64_t> AttributeReader::integer(int folder, const char* file) {
    auto text = this->text(folder, file);
    return text ? parseInteger(*text) : std::nullopt;
}

/// Lists folders with plain system calls into one buffer that it keeps from listing to listing: a
/// refresh lists the power supplies every second.
class FolderLister {
public:
    /// Calls `visit(name, inode)` for each entry of the open folder `folder` but "." and "..", in
    /// the folder's own order, from its start whatever was read of it before (a folder held open
    /// lists what it holds now); false when it cannot be listed (or not to its end). A name stays
    /// valid only during its call.
    template <typename Visit>
    bool list(int folder, Visit&& visit) {
        if (::lseek(folder, 0, SEEK_SET) != 0) return false;
        if (buffer_.empty()) buffer_.resize(bufferSize);
        for (;;) {
            ssize_t got = ::getdents64(folder, buffer_.data(), buffer_.size());
            if (got <= 0) return got == 0;
            // The kernel lays the records out one after the other, each aligned for its header.
            for (ssize_t at = 0; at < got;) {
                const auto* entry = reinterpret_cast<const dirent64*>(buffer_.data() + at);
                at += entry->d_reclen;
                std::string_view name = entry->d_name;
                if (name != "." && name != "..") visit(name, entry->d_ino);
            }
        }
    }

private:
    /// As much as the C library reads at once.
    static constexpr std::size_t bufferSize = 32768;
    std::vector<char> buffer_;
};

}  // namespace sysfs
