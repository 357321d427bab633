#pragma once
// Watching folders of attributes for files made, removed or put in another's place. sysfs itself
// never replaces a file (it makes a value afresh at each read), but trees that stand in for it,
// written by tools and tests, do: a descriptor held open would then read the old file for ever.
#include <sys/inotify.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

#include "Foundation/backends/FileDescriptor.hpp"

namespace sysfs {

/// One inotify instance and the folders it watches; looking for news costs one read when there
/// is none.
class FolderWatch {
public:
    FolderWatch() : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}

    /// One folder watched for as long as the watch lives (it must not outlive its FolderWatch).
    class Watch {
    public:
        Watch() = default;
        Watch(Watch&& other) noexcept : owner_(other.owner_), id_(std::exchange(other.id_, -1)) {}
        Watch& operator=(Watch&& other) noexcept {
            std::swap(owner_, other.owner_);
            std::swap(id_, other.id_);
            return *this;
        }
        ~Watch() {
            if (id_ >= 0) ::inotify_rm_watch(owner_->fd_.get(), id_);
        }
        int id() const { return id_; }
        explicit operator bool() const { return id_ >= 0; }

    private:
        friend class FolderWatch;
        Watch(const FolderWatch* owner, int id) : owner_(owner), id_(id) {}
        const FolderWatch* owner_ = nullptr;
        int id_ = -1;
    };

    /// A watch of `folder`; an empty one when it cannot be watched (no inotify, too many watches).
    Watch watch(const std::string& folder) const {
        if (fd_.get() < 0) return {};
        constexpr auto events = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
        return {this, ::inotify_add_watch(fd_.get(), folder.c_str(), events)};
    }

    /// Tells what happened since the last call: `changed(id, gone)` for each event of a watched
    /// folder, `gone` when the folder itself was removed or moved away; `changed(-1, false)` when
    /// events were lost, so that any folder may have changed.
    template <typename Changed>
    void follow(Changed&& changed) const {
        if (fd_.get() < 0) return;
        alignas(inotify_event) char events[4096];
        for (;;) {
            ssize_t got = ::read(fd_.get(), events, sizeof events);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) return;
            for (std::size_t at = 0; at + sizeof(inotify_event) <= static_cast<std::size_t>(got);) {
                inotify_event event;
                std::memcpy(&event, events + at, sizeof event);
                at += sizeof event + event.len;
                if (event.mask & IN_Q_OVERFLOW) changed(-1, false);
                else changed(event.wd, (event.mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_UNMOUNT)) != 0);
            }
        }
    }

private:
    FileDescriptor fd_;
};

}  // namespace sysfs
