#include "RarAvi/Shell.hpp"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unicode/utf8.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

extern char** environ;

namespace RarAvi {

namespace {

constexpr const char* kShellPath = "/bin/bash";
constexpr const char* kLocaleVariable = "LC_ALL=en_US.UTF-8";

/// A file descriptor closed when it goes out of scope.
class Descriptor {
public:
    Descriptor() = default;
    ~Descriptor() { reset(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return fd_; }
    void reset(int fd = -1) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }

private:
    int fd_ = -1;
};

bool makePipe(Descriptor& readEnd, Descriptor& writeEnd) {
    int fds[2];
    // Close-on-exec, so that children started at the same time by other threads do not inherit
    // our ends and keep them open.
    if (::pipe2(fds, O_CLOEXEC) != 0) return false;
    readEnd.reset(fds[0]);
    writeEnd.reset(fds[1]);
    return true;
}

/// The process's environment with LC_ALL replaced or added.
std::vector<std::string> childEnvironment() {
    std::vector<std::string> variables;
    for (char** entry = environ; entry && *entry; ++entry) {
        if (std::strncmp(*entry, "LC_ALL=", 7) == 0) continue;
        variables.emplace_back(*entry);
    }
    variables.emplace_back(kLocaleVariable);
    return variables;
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
    std::vector<char*> result;
    result.reserve(texts.size() + 1);
    for (auto& text : texts) result.push_back(text.data());
    result.push_back(nullptr);
    return result;
}

/// Reads the pipe until end of file: until the child, and any background child it left with its
/// output, has closed it.
bool drain(int outputFd, Data& output) {
    std::array<std::uint8_t, 65536> buffer;
    for (;;) {
        ssize_t count = ::read(outputFd, buffer.data(), buffer.size());
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return false;
        if (count == 0) return true;
        output.insert(output.end(), buffer.begin(), buffer.begin() + count);
    }
}

bool isValidUTF8(const Data& bytes) {
    const auto* text = reinterpret_cast<const char*>(bytes.data());
    auto length = static_cast<std::int32_t>(bytes.size());
    if (static_cast<std::size_t>(length) != bytes.size()) return false;
    for (std::int32_t i = 0; i < length;) {
        UChar32 c;
        U8_NEXT(text, i, length, c);
        if (c < 0) return false;
    }
    return true;
}

}  // namespace

std::optional<Data> Shell::runData(const std::vector<std::string>& arguments) {
    Descriptor outputRead, outputWrite;
    if (!makePipe(outputRead, outputWrite)) return std::nullopt;

    std::vector<std::string> argv{kShellPath, "-c"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    auto argvPointers = pointers(argv);
    auto environment = childEnvironment();
    auto environmentPointers = pointers(environment);

    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0) return std::nullopt;
    posix_spawn_file_actions_adddup2(&actions, outputWrite.get(), STDOUT_FILENO);
    // Standard error is not used: it goes where nothing waits for it, so that neither a chatty
    // child nor a background one that keeps it open can hold up the caller.
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int status = posix_spawn(&pid, kShellPath, &actions, nullptr, argvPointers.data(), environmentPointers.data());
    posix_spawn_file_actions_destroy(&actions);
    if (status != 0) return std::nullopt;

    // Only the child writes now: our copy of the write end would keep the pipe open forever.
    outputWrite.reset();

    Data output;
    bool complete = drain(outputRead.get(), output);
    outputRead.reset();

    int exitStatus = 0;
    while (::waitpid(pid, &exitStatus, 0) < 0) {
        if (errno != EINTR) return std::nullopt;
    }
    if (!complete || !WIFEXITED(exitStatus) || WEXITSTATUS(exitStatus) != 0) return std::nullopt;
    return output;
}

std::optional<std::string> Shell::run(const std::vector<std::string>& arguments) {
    auto data = runData(arguments);
    if (!data || !isValidUTF8(*data)) return std::nullopt;
    return stringFromData(*data);
}

}  // namespace RarAvi
