#include "backends/DetachedProcess.hpp"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "Foundation/backends/ProgramPath.hpp"

extern char** environ;

namespace DetachedProcess {

// The program is started by a child that ends at once, so that it is the init process's to reap.
// A pipe closed at exec tells whether it started: it reads nothing when it did, errno when not.
// Everything the children use is made before forking: between fork and exec only calls that are
// safe in a child of a process with threads.
bool start(const std::vector<std::string>& arguments) {
    if (arguments.empty()) return false;
    const auto found = ProgramPath::find(arguments.front());
    if (!found) return false;
    const std::string& program = *found;
    std::vector<std::string> copies = arguments;
    std::vector<char*> argv;
    for (auto& argument : copies) argv.push_back(argument.data());
    argv.push_back(nullptr);
    const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (nowhere < 0) return false;
    int failure[2];
    if (::pipe2(failure, O_CLOEXEC) != 0) {
        ::close(nowhere);
        return false;
    }

    const pid_t child = ::fork();
    if (child == 0) {
        const pid_t started = ::_Fork();  // fork() is not safe to call here
        if (started > 0) ::_exit(0);
        if (started == 0) {
            ::dup2(nowhere, STDOUT_FILENO);
            ::dup2(nowhere, STDERR_FILENO);
            ::execve(program.c_str(), argv.data(), environ);
        }
        const int error = errno;
        [[maybe_unused]] const auto written = ::write(failure[1], &error, sizeof error);
        ::_exit(127);
    }
    ::close(nowhere);
    ::close(failure[1]);
    ssize_t read = -1;
    if (child > 0) {
        while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
        }
        int error = 0;
        while ((read = ::read(failure[0], &error, sizeof error)) < 0 && errno == EINTR) {
        }
    }
    ::close(failure[0]);
    return read == 0;
}

}  // namespace DetachedProcess
