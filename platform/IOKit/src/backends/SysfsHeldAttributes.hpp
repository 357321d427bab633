#pragma once
// The attributes of a power supply that change (its level, its status, a battery's charge), held
// open from their first read, so that a refresh reads each again with one pread.
#include <sys/resource.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Foundation/backends/FileDescriptor.hpp"
#include "SysfsFiles.hpp"

namespace sysfs {

/// How many descriptors held attributes may keep open together: half of what the process may
/// open, so that however many supplies a machine lists, the rest of the application has room.
class DescriptorBudget {
public:
    DescriptorBudget() {
        rlimit limit{};
        if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) limit_ = limit.rlim_cur / 2;
    }
    bool take() {
        if (held_ >= limit_) return false;
        ++held_;
        return true;
    }
    void give() { --held_; }

private:
    std::uint64_t held_ = 0, limit_ = UINT32_MAX;
};

/// The changing attributes of one folder. Each is opened at its first read and, while the budget
/// allows, held open. While the folder is watched, its listing tells which files are there, so that
/// a file it lacks is not looked for at each read. Holding and listing are only sound while the
/// folder is watched: whoever watches it releases them when its files change.
class HeldAttributes {
public:
    /// The attributes of `folder`; with no budget, each read opens its file anew.
    HeldAttributes(std::string folder, DescriptorBudget* budget) : folder_(std::move(folder)), budget_(budget) {}
    HeldAttributes(const HeldAttributes&) = delete;
    HeldAttributes& operator=(const HeldAttributes&) = delete;
    ~HeldAttributes() { release(); }

    /// The bytes of `attribute` now; absent when it is missing, is no regular file or its read
    /// fails. They stay valid until the reader's next read.
    std::optional<std::string_view> bytes(AttributeReader& reader, const char* attribute) {
        std::string_view name = attribute;
        for (const auto& [heldName, fd] : held_) {
            if (heldName != name) continue;
            auto bytes = reader.read(fd.get());
            if (!bytes) failed_ = true;
            return bytes;
        }
        if (!listed(name)) return std::nullopt;
        auto fd = AttributeReader::open(AT_FDCWD, (folder_ + "/" + attribute).c_str());
        if (fd.get() < 0) return std::nullopt;
        auto bytes = reader.read(fd.get());
        if (bytes && budget_ && budget_->take()) held_.emplace_back(name, std::move(fd));
        return bytes;
    }
    std::optional<std::string_view> text(AttributeReader& reader, const char* attribute) {
        return AttributeReader::trimmed(bytes(reader, attribute));
    }
    std::optional<std::int64_t> integer(AttributeReader& reader, const char* attribute) {
        auto text = this->text(reader, attribute);
        return text ? parseInteger(*text) : std::nullopt;
    }

    /// Closes every descriptor held and forgets the listing, so that each file is looked for and
    /// opened anew at its next read.
    void release() {
        for (std::size_t count = held_.size(); count > 0; --count) budget_->give();
        held_.clear();
        files_.reset();
    }

    /// True once the read of a held descriptor failed (sysfs fails them when the supply is gone),
    /// or once its folder went: the supply is no longer the one it was.
    bool failed() const { return failed_; }
    void fail() { failed_ = true; }

private:
    /// False when the folder's listing lacks the file; true when the folder is not watched (there
    /// is then no listing to trust) or cannot be listed.
    bool listed(std::string_view attribute) {
        if (!budget_) return true;
        if (!files_) {
            std::set<std::string, std::less<>> files;
            std::error_code error;
            for (std::filesystem::directory_iterator file(folder_, error), end; !error && file != end; file.increment(error)) {
                files.insert(file->path().filename().string());
            }
            if (error) return true;
            files_ = std::move(files);
        }
        return files_->contains(attribute);
    }

    std::string folder_;
    DescriptorBudget* budget_;
    /// By attribute, in the order of their first reads (a supply holds a few).
    std::vector<std::pair<std::string, FileDescriptor>> held_;
    /// The files of the folder as it was last listed.
    std::optional<std::set<std::string, std::less<>>> files_;
    bool failed_ = false;
};

}  // namespace sysfs
