#include "DefaultsFile.hpp"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>

#include "Foundation/SystemLog.hpp"

namespace {
// A file descriptor closed when it goes out of scope (which also lets go of a flock on it).
struct Descriptor {
    int fd;
    explicit Descriptor(int fd) : fd(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

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

// The whole file; absent when it does not exist, an empty optional inside when it cannot be read.
std::optional<std::optional<Data>> contents(const std::filesystem::path& path) {
    Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.fd < 0) {
        if (errno == ENOENT) return std::nullopt;
        return std::optional<Data>();
    }
    Data data;
    std::uint8_t buffer[16384];
    for (;;) {
        auto n = ::read(file.fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return std::optional<Data>();
        if (n == 0) return std::optional<Data>(std::move(data));
        data.insert(data.end(), buffer, buffer + n);
    }
}

std::filesystem::path withSuffix(std::filesystem::path path, const std::string& suffix) {
    path += suffix;
    return path;
}
}  // namespace

DefaultsFile::State DefaultsFile::load(PropertyListValue::Dictionary& values) const {
    values.clear();
    auto bytes = contents(path_);
    if (!bytes) return State::absent;
    std::optional<PropertyListValue> list;
    if (*bytes) list = PropertyListSerialization::propertyList(**bytes);
    if (!list || !list->isDictionary()) return State::damaged;
    values = *list->dictionaryValue();
    return State::readable;
}

PropertyListValue::Dictionary DefaultsFile::read() const {
    PropertyListValue::Dictionary values;
    if (load(values) == State::damaged)
        SystemLog::write("The settings file " + path_.string() + " cannot be read; its settings start from their defaults.");
    return values;
}

std::optional<PropertyListValue::Dictionary> DefaultsFile::update(const Changes& changes) const {
    std::error_code error;
    std::filesystem::create_directories(path_.parent_path(), error);
    Descriptor lock(::open(withSuffix(path_, ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (lock.fd < 0) return std::nullopt;
    while (::flock(lock.fd, LOCK_EX) != 0) {
        if (errno != EINTR) return std::nullopt;
    }
    removeStaleTemporaries();

    PropertyListValue::Dictionary values;
    const State state = load(values);
    if (state == State::damaged) {
        const auto kept = withSuffix(path_, ".damaged");
        if (::rename(path_.c_str(), kept.c_str()) == 0)
            SystemLog::write("The settings file " + path_.string() + " could not be read; it was kept as " + kept.string() + ".");
    }
    const PropertyListValue::Dictionary stored = values;
    for (const auto& [key, value] : changes) {
        if (value) {
            values.insert_or_assign(key, *value);
        } else {
            values.erase(key);
        }
    }
    // Storing what the file already holds (a list stored again every second, say) writes nothing.
    if (state != State::damaged && values == stored) return values;
    if (!replace(*PropertyListSerialization::data(PropertyListValue(values), PropertyListSerialization::Format::binary)))
        return std::nullopt;
    return values;
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
        Descriptor file(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
        if (file.fd < 0) return false;
        if (!writeAll(file.fd, bytes) || ::fsync(file.fd) != 0) {
            ::unlink(temporary.c_str());
            return false;
        }
    }
    if (::rename(temporary.c_str(), path_.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    Descriptor directory(::open(path_.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.fd >= 0) ::fsync(directory.fd);
    return true;
}
