#include "Testing/PrivateBus.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

#include "Testing/TestEnvironment.hpp"

extern char** environ;

namespace {

constexpr const char* daemonProgram = "/usr/bin/dbus-daemon";
constexpr const char* pythonProgram = "/usr/bin/python3";
constexpr const char* dbusmockFolder = "/usr/lib/python3/dist-packages/dbusmock";
constexpr double startTimeout = 30;  // seconds; python starts slowly on a busy machine

double seconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Ends a child we started: politely, then for good.
void end(pid_t pid) {
    if (pid <= 0) return;
    ::kill(pid, SIGTERM);
    ::kill(pid, SIGCONT);  // a paused one too
    for (int i = 0; i < 500; ++i) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
}

bool exited(pid_t pid) {
    int status = 0;
    return ::waitpid(pid, &status, WNOHANG) == pid;
}

std::string whatIsMissing() {
    if (::access(daemonProgram, X_OK) != 0) return "dbus-daemon is not installed (no /usr/bin/dbus-daemon)";
    if (::access(pythonProgram, X_OK) != 0) return "Debian's python3 is not installed (no /usr/bin/python3)";
    if (!std::filesystem::exists(dbusmockFolder)) {
        // Installed some other way than Debian's package? Ask python itself.
        pid_t pid = 0;
        char python[] = "/usr/bin/python3", flag[] = "-c", code[] = "import dbusmock";
        char* argv[] = {python, flag, code, nullptr};
        if (::posix_spawn(&pid, pythonProgram, nullptr, nullptr, argv, environ) != 0) return "python3 does not start";
        int status = 0;
        ::waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "python3-dbusmock is not installed";
    }
    return "";
}

}  // namespace

PrivateBus::PrivateBus(Kind kind) : kind_(kind) {
    unavailable_ = whatIsMissing();
    if (!unavailable_.empty()) return;
    directory_ = std::make_unique<TemporaryDirectory>();
    startDaemon();
    if (const char* previous = std::getenv(variable())) previousAddress_ = previous;
    ::setenv(variable(), address_.c_str(), 1);
    connection_ = sdbus::createSessionBusConnectionWithAddress(address_);
}

void PrivateBus::restart() {
    stop();
    start();
}

void PrivateBus::stop() {
    connection_.reset();
    for (auto& [name, pid] : mocks_) end(pid);
    mocks_.clear();
    end(daemon_);
    daemon_ = -1;
}

void PrivateBus::start() {
    const auto address = address_;
    startDaemon();
    if (address_ != address) throw std::runtime_error("dbus-daemon came back at " + address_ + ", not " + address);
    connection_ = sdbus::createSessionBusConnectionWithAddress(address_);
}

void PrivateBus::pause() {
    int status = 0;
    if (::kill(daemon_, SIGSTOP) == 0) ::waitpid(daemon_, &status, WUNTRACED);  // stopped once told so
}

void PrivateBus::resume() {
    int status = 0;
    if (::kill(daemon_, SIGCONT) == 0) ::waitpid(daemon_, &status, WCONTINUED);
}

void PrivateBus::startDaemon() {
    const auto socket = directory_->path() / "bus_socket";
    auto config = directory_->write("bus.conf",
        "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
        " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
        "<busconfig>\n"
        "  <listen>unix:path=" + socket.string() + "</listen>\n"
        "  <auth>EXTERNAL</auth>\n"
        "  <policy context=\"default\">\n"
        "    <allow user=\"*\"/>\n"
        "    <allow own=\"*\"/>\n"
        "    <allow send_type=\"method_call\"/>\n"
        "    <allow send_type=\"signal\"/>\n"
        "    <allow send_requested_reply=\"true\" send_type=\"method_return\"/>\n"
        "    <allow send_requested_reply=\"true\" send_type=\"error\"/>\n"
        "    <allow receive_type=\"method_call\"/>\n"
        "    <allow receive_type=\"method_return\"/>\n"
        "    <allow receive_type=\"error\"/>\n"
        "    <allow receive_type=\"signal\"/>\n"
        "  </policy>\n"
        "</busconfig>\n");

    int address[2];
    if (::pipe2(address, O_CLOEXEC) != 0) throw std::runtime_error("no pipe for dbus-daemon");
    int output = ::open((directory_->path() / "dbus-daemon.log").c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, address[1], 3);
    posix_spawn_file_actions_adddup2(&actions, output, 1);
    posix_spawn_file_actions_adddup2(&actions, output, 2);
    std::vector<std::string> arguments{daemonProgram, "--config-file=" + config.string(), "--nofork", "--nopidfile",
                                       "--print-address=3"};
    std::vector<char*> argv;
    for (auto& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    int spawned = ::posix_spawn(&daemon_, daemonProgram, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(address[1]);
    ::close(output);
    if (spawned != 0) {
        ::close(address[0]);
        throw std::runtime_error("dbus-daemon does not start: " + std::string(std::strerror(spawned)));
    }

    // The daemon prints its address once it listens.
    std::string printed;
    const double deadline = seconds() + startTimeout;
    while (printed.find('\n') == std::string::npos && seconds() < deadline) {
        pollfd wait{address[0], POLLIN, 0};
        if (::poll(&wait, 1, 100) <= 0) continue;
        char buffer[256];
        auto count = ::read(address[0], buffer, sizeof buffer);
        if (count <= 0) break;
        printed.append(buffer, static_cast<std::size_t>(count));
    }
    ::close(address[0]);
    if (printed.find('\n') == std::string::npos) {
        end(daemon_);
        daemon_ = -1;
        throw std::runtime_error("dbus-daemon did not come up: " + log("dbus-daemon"));
    }
    // Without its guid, the address is the same each time the daemon starts, as a system bus's is.
    address_ = printed.substr(0, printed.find('\n'));
    if (auto guid = address_.find(",guid="); guid != std::string::npos) address_.erase(guid);

}

PrivateBus::~PrivateBus() {
    connection_.reset();
    for (auto& [name, pid] : mocks_) end(pid);
    end(daemon_);
    if (!directory_) return;
    if (previousAddress_) {
        ::setenv(variable(), previousAddress_->c_str(), 1);
    } else {
        ::unsetenv(variable());
    }
}

pid_t PrivateBus::spawn(const std::string& program, const std::vector<std::string>& arguments, int outputFd) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outputFd, 1);
    posix_spawn_file_actions_adddup2(&actions, outputFd, 2);
    std::vector<std::string> argumentCopy = arguments;
    std::vector<char*> argv;
    for (auto& argument : argumentCopy) argv.push_back(argument.data());
    argv.push_back(nullptr);
    // The mock must find Debian's own modules, not those of another python.
    std::vector<char*> environment;
    for (char** variable = environ; *variable; ++variable) {
        if (std::strncmp(*variable, "PYTHONPATH=", 11) == 0 || std::strncmp(*variable, "PYTHONHOME=", 11) == 0) continue;
        environment.push_back(*variable);
    }
    environment.push_back(nullptr);
    pid_t pid = -1;
    int spawned = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environment.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) throw std::runtime_error(program + " does not start: " + std::strerror(spawned));
    return pid;
}

std::string PrivateBus::log(const std::string& name) const {
    std::ifstream file(directory_->path() / (name + ".log"));
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

void PrivateBus::startMock(const std::string& templateName, const std::string& busName, const std::string& parameters) {
    const auto logName = "mock-" + busName;
    int output = ::open((directory_->path() / (logName + ".log")).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    std::vector<std::string> arguments{pythonProgram, "-m", "dbusmock", busFlag(), "--template", templateName};
    if (!parameters.empty()) arguments.insert(arguments.end(), {"--parameters", parameters});
    pid_t pid = spawn(pythonProgram, arguments, output);
    ::close(output);
    mocks_[busName] = pid;
    waitForOwner(busName, pid, templateName, logName);
}

void PrivateBus::waitForOwner(const std::string& busName, pid_t pid, const std::string& what, const std::string& logName) {
    const double deadline = seconds() + startTimeout;
    while (!hasOwner(busName)) {
        if (exited(pid) || seconds() > deadline) {
            if (!exited(pid)) end(pid);
            mocks_.erase(busName);
            throw std::runtime_error("the " + what + " mock did not come up: " + log(logName));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

void PrivateBus::startObjectMock(const std::string& busName, const std::string& path, const std::string& interface) {
    const auto logName = "mock-" + busName;
    int output = ::open((directory_->path() / (logName + ".log")).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    pid_t pid = spawn(pythonProgram, {pythonProgram, "-m", "dbusmock", busFlag(), busName, path, interface}, output);
    ::close(output);
    mocks_[busName] = pid;
    waitForOwner(busName, pid, busName, logName);
}

void PrivateBus::addMethod(const std::string& busName, const std::string& path, const std::string& interface,
                           const std::string& name, const std::string& inSignature, const std::string& outSignature,
                           const std::string& code) {
    proxy(busName, path)
        ->callMethod("AddMethod")
        .onInterface("org.freedesktop.DBus.Mock")
        .withArguments(interface, name, inSignature, outSignature, code);
}

std::vector<std::vector<sdbus::Variant>> PrivateBus::calls(const std::string& busName, const std::string& path,
                                                           const std::string& method) {
    std::vector<sdbus::Struct<std::uint64_t, std::vector<sdbus::Variant>>> all;
    proxy(busName, path)
        ->callMethod("GetMethodCalls")
        .onInterface("org.freedesktop.DBus.Mock")
        .withArguments(method)
        .storeResultsTo(all);
    std::vector<std::vector<sdbus::Variant>> arguments;
    for (auto& call : all) arguments.push_back(std::get<1>(call));
    return arguments;
}

void PrivateBus::stopMock(const std::string& busName) {
    auto found = mocks_.find(busName);
    if (found == mocks_.end()) return;
    end(found->second);
    mocks_.erase(found);
}

bool PrivateBus::hasOwner(const std::string& busName) {
    bool owned = false;
    proxy("org.freedesktop.DBus", "/org/freedesktop/DBus")
        ->callMethod("NameHasOwner")
        .onInterface("org.freedesktop.DBus")
        .withArguments(busName)
        .storeResultsTo(owned);
    return owned;
}

std::string PrivateBus::listener(const std::string& fragment) {
    std::map<std::string, std::vector<std::string>> rules;
    proxy("org.freedesktop.DBus", "/org/freedesktop/DBus")
        ->callMethod("GetAllMatchRules")
        .onInterface("org.freedesktop.DBus.Debug.Stats")
        .storeResultsTo(rules);
    for (const auto& [connection, list] : rules) {
        for (const auto& rule : list) {
            if (rule.find(fragment) != std::string::npos) return connection;
        }
    }
    return "";
}

bool PrivateBus::listensFor(const std::string& fragment) { return !listener(fragment).empty(); }

std::uint32_t PrivateBus::peakBytesSentTo(const std::string& connection) {
    std::map<std::string, sdbus::Variant> stats;
    proxy("org.freedesktop.DBus", "/org/freedesktop/DBus")
        ->callMethod("GetConnectionStats")
        .onInterface("org.freedesktop.DBus.Debug.Stats")
        .withArguments(connection)
        .storeResultsTo(stats);
    auto peak = stats.find("PeakOutgoingBytes");
    if (peak == stats.end()) throw std::runtime_error("the bus keeps no PeakOutgoingBytes of " + connection);
    return peak->second.get<std::uint32_t>();
}

std::unique_ptr<sdbus::IProxy> PrivateBus::proxy(const std::string& busName, const std::string& path) {
    return sdbus::createProxy(*connection_, busName, path);
}
