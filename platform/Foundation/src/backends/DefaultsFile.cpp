#include "DefaultsFile.hpp"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <mutex>
#include <set>

#include "Foundation/SystemLog.hpp"
#include "Foundation/backends/FileDescriptor.hpp"
#include "Foundation/backends/RegularFile.hpp"

namespace {
bool writeAll(int fd, const Data& data) {
    std::size_t written = 0;
    while (written < data.size()) {
        auto n = ::write(fd, data.data() + written, data.size() - written);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    return true;
}

// The lock files open in this process. A forked child closes its copies: the lock belongs to the
// open file, which a copy shares, so a copy left open in the child would hold the lock its parent
// takes (and keep every writer waiting) for as long as the child runs.
class LockFiles {
public:
    static LockFiles& shared() {
        // Lives as long as the process: a child may be forked at any time. Made before main (below),
        // so that no fork meets its making half done.
        static LockFiles* files = [] {
            auto* made = new LockFiles();
            ::pthread_atfork([] { shared().mutex_.lock(); }, [] { shared().mutex_.unlock(); },
                             [] {
                                 for (int fd : shared().open_) ::close(fd);
                                 shared().open_.clear();
                                 shared().mutex_.unlock();
                             });
            return made;
        }();
        return *files;
    }

    // The file open for reading and writing (made when missing); -1 and errno when it cannot be.
    int open(const std::filesystem::path& path) {
        int fd = -1;
        int error = 0;
        {
            std::lock_guard lock(mutex_);
            fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
            error = errno;
            if (fd >= 0) open_.insert(fd);
        }
        errno = error;
        return fd;
    }

    void close(int fd) {
        std::lock_guard lock(mutex_);
        open_.erase(fd);
        ::close(fd);
    }

private:
    std::mutex mutex_;
    std::set<int> open_;
};

[[maybe_unused]] const LockFiles& lockFilesMadeBeforeMain = LockFiles::shared();

// The lock file of one write, open while it runs.
class LockFile {
public:
    explicit LockFile(const std::filesystem::path& path) : fd_(LockFiles::shared().open(path)) {}
    ~LockFile() {
        if (fd_ >= 0) LockFiles::shared().close(fd_);
    }
    LockFile(const LockFile&) = delete;
    LockFile& operator=(const LockFile&) = delete;

    int get() const { return fd_; }

private:
    int fd_;
};

// Takes the lock of the file open as `fd`, for as long as another holder keeps it and `pause`
// lets the caller wait. Nothing when it is taken, else why not (errno tells an error).
std::optional<DefaultsFile::Failure> waitForLock(int fd, const DefaultsFile::Pause& pause) {
    auto interval = DefaultsFile::firstWait;
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return std::nullopt;
        if (errno == EINTR) continue;
        if (errno != EWOULDBLOCK) return DefaultsFile::Failure::unwritable;
        if (!pause(interval)) return DefaultsFile::Failure::abandoned;
        interval = DefaultsFile::nextWait(interval);
    }
}

Data binary(const DefaultsFile::Values& values) {
    return *PropertyListSerialization::data(PropertyListValue(values), PropertyListSerialization::Format::binary);
}

std::filesystem::path withSuffix(std::filesystem::path path, const std::string& suffix) {
    path += suffix;
    return path;
}
}  // namespace

DefaultsFile::State DefaultsFile::load(Values& values) const {
    values.clear();
    std::error_code error;
    auto bytes = RegularFile::contents(path_, maximumSize, &error);
    if (!bytes) {
        if (error == std::errc::no_such_file_or_directory) return State::absent;
        if (error == std::errc::file_too_large) return State::damaged;
        errno = error.value();
        return State::unreadable;
    }
    auto list = PropertyListSerialization::propertyList(dataFromString(*bytes));
    if (!list || !list->isDictionary()) return State::damaged;
    values = std::move(*list->dictionaryValue());
    return State::readable;
}

DefaultsFile::Values DefaultsFile::read() const {
    Values values;
    switch (load(values)) {
        case State::damaged:
            SystemLog::write("The settings file " + path_.string() + " is damaged; its settings start from their defaults.");
            break;
        case State::unreadable:
            SystemLog::write("The settings file " + path_.string() + " cannot be read (" + std::strerror(errno) +
                             "); its settings start from their defaults.");
            break;
        default: break;
    }
    return values;
}

std::optional<DefaultsFile::Values> DefaultsFile::current() const {
    Values values;
    const State state = load(values);
    if (state == State::damaged || state == State::unreadable) return std::nullopt;
    return values;
}

std::chrono::milliseconds DefaultsFile::nextWait(std::chrono::milliseconds wait) {
    return std::min(wait * 2, std::chrono::milliseconds(1000));
}

DefaultsFile::Result DefaultsFile::update(const std::function<bool(Values&)>& change, const Pause& pause) {
    auto failed = [&](const std::string& why) -> Result {
        failure_ = why;
        return Failure::unwritable;
    };
    const auto lockPath = withSuffix(path_, ".lock");
    std::optional<LockFile> lock(std::in_place, lockPath);
    if (lock->get() < 0 && errno == ENOENT) {
        // The first write of all: the folder is made.
        std::error_code error;
        std::filesystem::create_directories(path_.parent_path(), error);
        lock.emplace(lockPath);
    }
    if (lock->get() < 0) return failed(std::strerror(errno));
    if (auto failure = waitForLock(lock->get(), pause)) {
        if (*failure == Failure::abandoned) return *failure;
        return failed(std::strerror(errno));
    }

    Values values;
    const State state = load(values);
    if (state == State::unreadable) return failed(std::strerror(errno));
    // Storing what the file already holds (a list stored again every second, say) writes nothing.
    if (!change(values) && state != State::damaged) return values;
    const auto bytes = binary(values);
    // The next reader would set a larger file aside as damaged, and every key with it.
    if (bytes.size() > maximumSize) return Failure::tooLarge;
    if (state == State::damaged && !keepDamaged()) return failed("the damaged file could not be kept aside");
    removeStaleTemporaries();
    if (!replace(bytes)) return failed(std::strerror(errno));
    return values;
}

bool DefaultsFile::fits(const Values& values) { return binary(values).size() <= maximumSize; }

bool DefaultsFile::keepDamaged() const {
    // The first free name of "<file>.damaged", "<file>.damaged.1", ...: an earlier damaged file
    // is never replaced. Other writers wait for the lock, so the name stays free until the rename.
    auto kept = withSuffix(path_, ".damaged");
    std::error_code error;
    for (int number = 1; std::filesystem::symlink_status(kept, error).type() != std::filesystem::file_type::not_found; ++number) {
        if (error && error != std::errc::no_such_file_or_directory) return false;
        kept = withSuffix(path_, ".damaged." + std::to_string(number));
    }
    if (::rename(path_.c_str(), kept.c_str()) != 0) return false;
    SystemLog::write("The settings file " + path_.string() + " is damaged; it was kept as " + kept.string() + ".");
    return true;
}

void DefaultsFile::removeStaleTemporaries() const {
    // "<file>.tmp.<pid>" of a process that no longer runs: a writer that died mid-write.
    const std::string prefix = path_.filename().string() + ".tmp.";
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(path_.parent_path(), error)) {
        const auto name = entry.path().filename().string();
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
        pid_t pid = 0;
        const char* digits = name.data() + prefix.size();
        auto [end, failure] = std::from_chars(digits, name.data() + name.size(), pid);
        if (failure != std::errc() || end != name.data() + name.size() || pid <= 0 || pid == ::getpid()) continue;
        if (::kill(pid, 0) != 0 && errno == ESRCH) ::unlink(entry.path().c_str());
    }
}

bool DefaultsFile::replace(const Data& bytes) const {
    // Write a new file beside the old one, flush it to disk, then move it over the old one: a
    // reader sees either the old or the new domain, never a half-written one.
    const auto temporary = withSuffix(path_, ".tmp." + std::to_string(::getpid()));
    {
        FileDescriptor file(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
        if (file.get() < 0) return false;
        if (!writeAll(file.get(), bytes) || ::fsync(file.get()) != 0) {
            ::unlink(temporary.c_str());
            return false;
        }
    }
    if (::rename(temporary.c_str(), path_.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    FileDescriptor directory(::open(path_.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.get() >= 0) ::fsync(directory.get());
    return true;
}
