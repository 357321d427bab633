#include "VirtualDisplay.hpp"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <thread>
#include <utility>

extern char** environ;

namespace {
pid_t spawn(const std::vector<std::string>& arguments, const std::vector<std::string>& environment,
            const std::string& output) {
    std::vector<char*> argv, envp;
    for (const auto& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    for (const auto& e : environment) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// Windows come and go while a test walks the tree (an About window closing, a frame torn down):
// a request about a window that just went fails, and the walk takes it as not there.
int ignoreXErrors(Display*, XErrorEvent*) { return 0; }

// Ends a helper program started here and the folder it was given, if any.
void stop(pid_t pid, const std::filesystem::path& folder = {}) {
    if (pid > 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
    std::error_code ignored;
    if (!folder.empty()) std::filesystem::remove_all(folder, ignored);
}

std::vector<std::string> currentEnvironment() {
    std::vector<std::string> out;
    for (char** e = environ; *e; ++e) out.emplace_back(*e);
    return out;
}
}  // namespace

// The display.

VirtualDisplay::VirtualDisplay(int width, int height, bool watched) {
    if (access("/usr/bin/Xvfb", X_OK) != 0) {
        unavailable_ = "Xvfb is not installed";
        return;
    }
    std::vector<std::string> screenFile;
    if (watched) {
        // In memory, so that the server's drawing never waits for a disk.
        std::filesystem::path shared = std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
        screenFolder_ = shared / ("quillon-screen-" + std::to_string(getpid()) + "-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
        std::filesystem::create_directories(screenFolder_);
        screenFile = {"-fbdir", screenFolder_.string()};
    }
    // Xvfb finds a free display number and writes it to the descriptor named, so that tests run
    // side by side never race for one.
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        unavailable_ = "no pipe for Xvfb";
        return;
    }
    int flags = fcntl(fds[1], F_GETFD);
    fcntl(fds[1], F_SETFD, flags & ~FD_CLOEXEC);
    std::vector<std::string> arguments{"/usr/bin/Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
                                       std::to_string(width) + "x" + std::to_string(height) + "x24", "-nolisten", "tcp"};
    arguments.insert(arguments.end(), screenFile.begin(), screenFile.end());
    pid_ = spawn(arguments, currentEnvironment(), "/dev/null");
    close(fds[1]);
    std::string number;
    pollfd wait{fds[0], POLLIN, 0};
    while (pid_ > 0 && poll(&wait, 1, 10000) > 0) {
        char c;
        if (read(fds[0], &c, 1) != 1 || c == '\n') break;
        number += c;
    }
    close(fds[0]);
    if (number.empty()) {
        unavailable_ = "Xvfb did not start";
        return;
    }
    name_ = ":" + number;
    display_ = XOpenDisplay(name_.c_str());
    XSetErrorHandler(ignoreXErrors);
    if (!display_) unavailable_ = "cannot connect to Xvfb at " + name_;
}

VirtualDisplay::~VirtualDisplay() {
    if (display_) XCloseDisplay(display_);
    stop(pid_, screenFolder_);
}

std::filesystem::path VirtualDisplay::screenFile() const { return screenFolder_.empty() ? screenFolder_ : screenFolder_ / "Xvfb_screen0"; }

// Watching the screen.

ScreenWatch::ScreenWatch(const VirtualDisplay& display, const WindowPlace& area, std::uint32_t desktop) : area_(area), desktop_(desktop) {
    int fd = display.screenFile().empty() ? -1 : open(display.screenFile().c_str(), O_RDONLY | O_CLOEXEC);
    struct stat file {};
    if (fd < 0 || fstat(fd, &file) != 0 || file.st_size < 100) {
        if (fd >= 0) close(fd);
        unavailable_ = "the display keeps no screen file";
        return;
    }
    fileSize_ = std::size_t(file.st_size);
    void* mapped = mmap(nullptr, fileSize_, PROT_READ, MAP_SHARED, fd, 0);
    close(fd);
    if (mapped == MAP_FAILED) {
        unavailable_ = "the screen file cannot be mapped";
        return;
    }
    file_ = static_cast<const std::uint8_t*>(mapped);
    // An XWD header of big-endian 32-bit fields (its size, ..., bits a pixel at 11, bytes a row at
    // 12, ..., colours at 19), the colours of 12 bytes each, then the pixels.
    auto field = [&](int i) {
        const std::uint8_t* f = file_ + 4 * i;
        return std::size_t(f[0]) << 24 | std::size_t(f[1]) << 16 | std::size_t(f[2]) << 8 | std::size_t(f[3]);
    };
    bytesPerRow_ = field(12);
    std::size_t offset = field(0) + field(19) * 12;
    if (field(11) != 32 || offset + bytesPerRow_ * std::size_t(area.y + area.height) > fileSize_ ||
        std::size_t(area.x + area.width) * 4 > bytesPerRow_) {
        unavailable_ = "the screen file is not of 32-bit pixels holding the area";
        return;
    }
    pixels_ = file_ + offset;
    last_ = differing();
    thread_ = std::thread([this] { watch(); });
}

ScreenWatch::~ScreenWatch() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    if (thread_.joinable()) thread_.join();
    if (file_) munmap(const_cast<std::uint8_t*>(file_), fileSize_);
}

WindowPlace ScreenWatch::differing() const {
    int left = area_.width, top = -1, right = -1, bottom = -1;
    for (int y = 0; y < area_.height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(pixels_ + std::size_t(area_.y + y) * bytesPerRow_) + area_.x;
        for (int x = 0; x < area_.width; ++x) {
            if ((row[x] & 0xFFFFFF) == desktop_) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            if (top < 0) top = y;
            bottom = y;
        }
    }
    if (right < 0) return {};
    return WindowPlace{0, area_.x + left, area_.y + top, right - left + 1, bottom - top + 1};
}

void ScreenWatch::watch() {
    for (;;) {
        auto place = differing();
        {
            std::lock_guard lock(mutex_);
            if (stopping_) return;
            if (place != last_) seen_.push_back(place);
            last_ = place;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

std::vector<WindowPlace> ScreenWatch::take() {
    std::lock_guard lock(mutex_);
    return std::exchange(seen_, {});
}

WindowPlace ScreenWatch::now() {
    std::lock_guard lock(mutex_);
    return last_;
}

// The window manager.

namespace {
// Whether a window manager has announced itself: the root window names a window of its own that
// names itself (one that has ended leaves the name of a window now gone).
bool windowManagerAnnounced(Display* display) {
    Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    auto named = [&](Window window) -> Window {
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, left = 0;
        unsigned char* data = nullptr;
        Window found = 0;
        if (XGetWindowProperty(display, window, check, 0, 1, False, XA_WINDOW, &type, &format, &items, &left, &data) == Success &&
            items == 1)
            found = *reinterpret_cast<Window*>(data);
        if (data) XFree(data);
        return found;
    };
    Window own = named(DefaultRootWindow(display));
    return own && named(own) == own;
}

// Waits (a minute at most) for an event of the connection that `wanted` takes.
bool awaitEvent(Display* display, const std::function<bool(const XEvent&)>& wanted,
                std::chrono::milliseconds patience = std::chrono::seconds(60)) {
    const auto end = std::chrono::steady_clock::now() + patience;
    for (;;) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (wanted(event)) return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd wait{ConnectionNumber(display), POLLIN, 0};
        ::poll(&wait, 1, int(left.count()));
    }
}
}  // namespace

WindowManager::WindowManager(const VirtualDisplay& display, std::string name) : name_(std::move(name)) {
    const std::string program = "/usr/bin/" + name_;
    if (access(program.c_str(), X_OK) != 0) {
        unavailable_ = name_ + " is not installed";
        return;
    }
    // Its own empty home and settings folder: the defaults, whatever the user running the tests has.
    home_ = std::filesystem::temp_directory_path() /
            ("quillon-wm-" + std::to_string(getpid()) + "-" + display.name().substr(1) + "-" + name_);
    std::filesystem::create_directories(home_);
    auto environment = currentEnvironment();
    std::erase_if(environment, [](const std::string& e) {
        return e.rfind("DISPLAY=", 0) == 0 || e.rfind("XDG_CONFIG_HOME=", 0) == 0 || e.rfind("HOME=", 0) == 0 ||
               e.rfind("DBUS_SESSION_BUS_ADDRESS=", 0) == 0;
    });
    environment.push_back("DISPLAY=" + display.name());
    environment.push_back("XDG_CONFIG_HOME=" + home_.string());
    environment.push_back("HOME=" + home_.string());
    std::vector<std::string> command{program};
    if (name_ == "openbox") command.push_back("--sm-disable");
    if (name_ == "xfwm4") {
        // xfwm4 reads its settings from xfconfd, which the session bus starts when asked.
        const std::string address = "unix:path=" + (home_ / "bus").string();
        bus_ = spawn({"/usr/bin/dbus-daemon", "--session", "--nofork", "--nopidfile", "--address=" + address}, environment,
                     (home_ / "bus.log").string());
        environment.push_back("DBUS_SESSION_BUS_ADDRESS=" + address);
        command.push_back("--compositor=off");
    } else {
        environment.push_back("DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/quillon-e2e-bus");
    }
    pid_ = spawn(command, environment, (home_ / "output.log").string());
    // It manages the display once it has announced itself on the root window.
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (pid_ > 0 && std::chrono::steady_clock::now() < end && !windowManagerAnnounced(display.connection())) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (pid_ <= 0 || !windowManagerAnnounced(display.connection())) {
        unavailable_ = name_ + " did not start";
        return;
    }
    watch_ = XOpenDisplay(display.name().c_str());
    if (!watch_) return;
    XSelectInput(watch_, DefaultRootWindow(watch_), SubstructureNotifyMask);
    XSetWindowAttributes attributes{};
    attributes.event_mask = PropertyChangeMask;
    probe_ = XCreateWindow(watch_, DefaultRootWindow(watch_), 0, 0, 10, 10, 0, CopyFromParent, InputOutput, CopyFromParent,
                           CWEventMask, &attributes);
    XSync(watch_, False);
    // Its start is over (its panels are up, the work area set) once it answers.
    settled();
}

WindowManager::~WindowManager() {
    resume();
    if (watch_) XCloseDisplay(watch_);
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    stop(bus_, home_);
}

void WindowManager::pause() {
    int status = 0;
    if (pid_ > 0 && !paused_ && ::kill(pid_, SIGSTOP) == 0) paused_ = waitpid(pid_, &status, WUNTRACED) == pid_;
}

void WindowManager::resume() {
    int status = 0;
    if (pid_ > 0 && paused_ && ::kill(pid_, SIGCONT) == 0) waitpid(pid_, &status, WCONTINUED);
    paused_ = false;
}

void WindowManager::kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

bool WindowManager::settled() {
    if (!watch_) return false;
    const Atom extents = XInternAtom(watch_, "_NET_FRAME_EXTENTS", False);
    XDeleteProperty(watch_, probe_, extents);
    XEvent request{};
    request.xclient.type = ClientMessage;
    request.xclient.window = probe_;
    request.xclient.message_type = XInternAtom(watch_, "_NET_REQUEST_FRAME_EXTENTS", False);
    request.xclient.format = 32;
    // Asked again now and then: a window manager that has announced itself may not yet listen on
    // the root window (openbox, just started), and the request would be lost.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < end) {
        XSendEvent(watch_, DefaultRootWindow(watch_), False, SubstructureRedirectMask | SubstructureNotifyMask, &request);
        XFlush(watch_);
        const bool answered = awaitEvent(
            watch_,
            [&](const XEvent& event) {
                return event.type == PropertyNotify && event.xproperty.window == probe_ && event.xproperty.atom == extents &&
                       event.xproperty.state == PropertyNewValue;
            },
            std::chrono::milliseconds(250));
        if (answered) return true;
    }
    return false;
}

bool WindowManager::moveAskedFor(unsigned long window) {
    if (!watch_) return false;
    const Atom moveResize = XInternAtom(watch_, "_NET_WM_MOVERESIZE", False);
    return awaitEvent(watch_, [&](const XEvent& event) {
        return event.type == ClientMessage && event.xclient.message_type == moveResize && event.xclient.window == window &&
               event.xclient.data.l[2] == 8;
    });
}

// The Wayland compositor.

WestonCompositor::WestonCompositor(const VirtualDisplay& display, int scale, const std::vector<std::pair<int, int>>& outputs) {
    if (access("/usr/bin/weston", X_OK) != 0 || access("/usr/bin/weston-screenshooter", X_OK) != 0) {
        unavailable_ = "weston is not installed";
        return;
    }
    runtime_ = std::filesystem::temp_directory_path() / ("quillon-weston-" + std::to_string(getpid()) + "-" + display.name().substr(1));
    std::filesystem::create_directories(runtime_);
    std::filesystem::permissions(runtime_, std::filesystem::perms::owner_all);
    socket_ = "wayland-quillon";
    // A plain dark desktop without a panel, never dimmed; the X11 backend names its outputs X1,
    // X2 and so on.
    std::FILE* config = std::fopen((runtime_ / "weston.ini").c_str(), "w");
    if (config) {
        std::fputs("[core]\nidle-time=0\n[shell]\npanel-position=none\nbackground-color=0xff202020\n", config);
        for (std::size_t i = 0; i < outputs.size(); ++i) {
            std::fprintf(config, "[output]\nname=X%zu\nmode=%dx%d\n", i + 1, outputs[i].first, outputs[i].second);
        }
        std::fclose(config);
    }
    auto environment = currentEnvironment();
    std::erase_if(environment, [](const std::string& e) {
        return e.rfind("DISPLAY=", 0) == 0 || e.rfind("WAYLAND_DISPLAY=", 0) == 0 || e.rfind("XDG_RUNTIME_DIR=", 0) == 0;
    });
    environment.push_back("DISPLAY=" + display.name());
    environment.push_back("XDG_RUNTIME_DIR=" + runtime_.string());
    pid_ = spawn({"/usr/bin/weston", "--backend=x11-backend.so", "--use-pixman", "--socket=" + socket_,
                  "--output-count=" + std::to_string(outputs.size()), "--scale=" + std::to_string(scale), "--debug",
                  "--config=" + (runtime_ / "weston.ini").string()},
                 environment, (runtime_ / "weston.log").string());
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (pid_ > 0 && !std::filesystem::exists(runtime_ / socket_) && std::chrono::steady_clock::now() < end) {
        if (waitpid(pid_, nullptr, WNOHANG) == pid_) pid_ = -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (pid_ <= 0 || !std::filesystem::exists(runtime_ / socket_)) {
        unavailable_ = "weston did not start";
        return;
    }
    // The outputs' windows (of the class "Weston Compositor", named after their outputs in
    // _NET_WM_NAME), once they are all there. Its pointer follows the X pointer in them.
    Atom nameAtom = XInternAtom(display.connection(), "_NET_WM_NAME", False);
    auto outputWindows = [&] {
        std::map<std::string, std::pair<Window, XWindowAttributes>> found;
        Window root = 0, up = 0, *children = nullptr;
        unsigned int count = 0;
        XQueryTree(display.connection(), DefaultRootWindow(display.connection()), &root, &up, &children, &count);
        for (unsigned int i = 0; i < count; ++i) {
            XClassHint hint{};
            XWindowAttributes attributes{};
            if (XGetClassHint(display.connection(), children[i], &hint)) {
                Atom type = 0;
                int format = 0;
                unsigned long items = 0, left = 0;
                unsigned char* name = nullptr;
                if (hint.res_class && std::string(hint.res_class) == "Weston Compositor" &&
                    XGetWindowProperty(display.connection(), children[i], nameAtom, 0, 64, False, AnyPropertyType, &type, &format,
                                       &items, &left, &name) == Success &&
                    name && format == 8 && XGetWindowAttributes(display.connection(), children[i], &attributes) &&
                    attributes.map_state == IsViewable) {
                    found[std::string(reinterpret_cast<char*>(name), items)] = std::pair{children[i], attributes};
                }
                if (name) XFree(name);
                XFree(hint.res_name);
                XFree(hint.res_class);
            }
        }
        if (children) XFree(children);
        return found;
    };
    auto windows = outputWindows();
    while (windows.size() < outputs.size() && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        windows = outputWindows();
    }
    if (outputs.empty() || windows.size() < outputs.size()) {
        unavailable_ = "weston showed no output";
        return;
    }
    // All its windows open at the display's top-left corner: each next one goes right of the one
    // before, as weston lays out the outputs.
    int x = 0;
    std::pair<Window, XWindowAttributes> last{};
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        auto window = windows.find("Weston Compositor - X" + std::to_string(i + 1));
        if (window == windows.end()) {
            unavailable_ = "weston showed no output X" + std::to_string(i + 1);
            return;
        }
        XMoveWindow(display.connection(), window->second.first, x, 0);
        x += window->second.second.width;
        last = window->second;
    }
    // The keys the X server's test extension presses go to the window with the X keyboard focus:
    // held by weston's, they reach it wherever the pointer is (an X server's focus can come to
    // rest on no window at all, which drops every key).
    XSetInputFocus(display.connection(), last.first, RevertToPointerRoot, CurrentTime);
    // Weston takes its pointer's place from the X pointer's entering one of its windows, and
    // misses the first while it still starts: the X pointer leaves its windows and enters the
    // last output's bottom-right corner again until weston's own pointer (its cursor, drawn for
    // the desktop's background) is there, so that windows open on that output.
    const std::string lastOutput = "(X" + std::to_string(outputs.size()) + ")";
    for (int moves = 0; std::chrono::steady_clock::now() < end; ++moves) {
        if (moves > 0) {
            XWarpPointer(display.connection(), None, DefaultRootWindow(display.connection()), 0, 0, 0, 0, x + 5, 0);
            XSync(display.connection(), False);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        XWarpPointer(display.connection(), None, last.first, 0, 0, 0, 0, last.second.width - 2, last.second.height - 2);
        XSync(display.connection(), False);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        auto graph = sceneGraph();
        auto cursor = graph.find("role wl_pointer-cursor");
        auto shown = graph.find("outputs: ", cursor);
        if (cursor != std::string::npos && shown != std::string::npos &&
            graph.substr(shown, graph.find('\n', shown) - shown).find(lastOutput) != std::string::npos) {
            break;
        }
    }
}

WestonCompositor::~WestonCompositor() { stop(pid_, runtime_); }

std::map<std::string, std::string> WestonCompositor::clientEnvironment() const {
    return {{"WAYLAND_DISPLAY", socket_}, {"XDG_RUNTIME_DIR", runtime_.string()}, {"DISPLAY", ""}};
}

Screenshot WestonCompositor::screenshot() const {
    // It writes "wayland-screenshot-<date>.png" into the folder it runs in.
    auto folder = runtime_ / "shots";
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    std::filesystem::create_directories(folder);
    std::string command = "cd '" + folder.string() + "' && WAYLAND_DISPLAY=" + socket_ + " XDG_RUNTIME_DIR='" + runtime_.string() +
                          "' /usr/bin/weston-screenshooter >/dev/null 2>&1";
    Screenshot shot;
    if (std::system(command.c_str()) != 0) return shot;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        cairo_surface_t* image = cairo_image_surface_create_from_png(entry.path().c_str());
        if (cairo_surface_status(image) == CAIRO_STATUS_SUCCESS) {
            cairo_surface_flush(image);
            shot.width = cairo_image_surface_get_width(image);
            shot.height = cairo_image_surface_get_height(image);
            const auto* data = cairo_image_surface_get_data(image);
            int stride = cairo_image_surface_get_stride(image);
            for (int y = 0; y < shot.height; ++y) {
                const auto* row = reinterpret_cast<const std::uint32_t*>(data + std::size_t(y) * std::size_t(stride));
                for (int x = 0; x < shot.width; ++x) shot.pixels.push_back(row[x] & 0xFFFFFF);
            }
        }
        cairo_surface_destroy(image);
        break;
    }
    return shot;
}

std::string WestonCompositor::sceneGraph() const {
    std::string command =
        "WAYLAND_DISPLAY=" + socket_ + " XDG_RUNTIME_DIR='" + runtime_.string() + "' /usr/bin/weston-debug scene-graph 2>/dev/null";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return {};
    std::string graph;
    char chunk[4096];
    for (std::size_t read; (read = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) graph.append(chunk, read);
    pclose(pipe);
    return graph;
}

std::optional<WindowPlace> WestonCompositor::windowPlace(const std::string& title) const {
    // Its scene graph names each window's title and then the corners of its place:
    //     View 0 (role xdg_toplevel, ..., top-level window 'Quillon' of org.quillon.Quillon, ...):
    //         position: (1183, 136) -> (1433, 386)
    auto graph = sceneGraph();
    auto view = graph.find("top-level window '" + title + "'");
    auto position = graph.find("position: ", view);
    if (view == std::string::npos || position == std::string::npos) return std::nullopt;
    int left = 0, top = 0, right = 0, bottom = 0;
    if (std::sscanf(graph.c_str() + position, "position: (%d, %d) -> (%d, %d)", &left, &top, &right, &bottom) != 4) return std::nullopt;
    return WindowPlace{0, left, top, right - left, bottom - top};
}

// Windows, pixels, clicks.

namespace {

// Every mapped window under `parent` that carries a name or a process id: the applications' own
// windows, also inside a window manager's frames.
void collectWindows(Display* display, Window parent, std::vector<Window>& out) {
    Window root = 0, up = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, parent, &root, &up, &children, &count)) return;
    Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    for (unsigned int i = 0; i < count; ++i) {
        XWindowAttributes attributes{};
        if (!XGetWindowAttributes(display, children[i], &attributes) || attributes.map_state != IsViewable) continue;
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, left = 0;
        unsigned char* data = nullptr;
        char* name = nullptr;
        bool named = XFetchName(display, children[i], &name) && name;
        if (name) XFree(name);
        bool hasPid = XGetWindowProperty(display, children[i], pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &items,
                                         &left, &data) == Success && items == 1;
        if (data) XFree(data);
        // A window manager's frame may be named too (icewm's are "Frame"): the client inside it
        // is looked for all the same.
        if (named || hasPid) out.push_back(children[i]);
        if (!hasPid) collectWindows(display, children[i], out);
    }
    if (children) XFree(children);
}

WindowPlace placeOf(Display* display, Window window) {
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, window, &attributes);
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
    return {window, x, y, attributes.width, attributes.height};
}

}  // namespace

std::optional<WindowPlace> findWindow(Display* display, const std::string& title) {
    std::vector<Window> windows;
    collectWindows(display, DefaultRootWindow(display), windows);
    // The client's own, which names its process, before a frame or a task bar's button that a
    // window manager may name after it (xfwm4); the innermost first.
    Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    std::stable_partition(windows.begin(), windows.end(), [&](Window window) {
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, left = 0;
        unsigned char* data = nullptr;
        bool hasPid = XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &items, &left,
                                         &data) == Success && items == 1;
        if (data) XFree(data);
        return !hasPid;
    });
    for (Window window : std::vector<Window>(windows.rbegin(), windows.rend())) {
        char* name = nullptr;
        if (!XFetchName(display, window, &name) || !name) continue;
        bool same = title == name;
        XFree(name);
        if (same) return placeOf(display, window);
    }
    return std::nullopt;
}

std::vector<WindowPlace> windowsOf(Display* display, pid_t pid) {
    std::vector<Window> windows;
    collectWindows(display, DefaultRootWindow(display), windows);
    Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    std::vector<WindowPlace> out;
    for (Window window : windows) {
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, left = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &items, &left, &data) ==
                Success &&
            items == 1 && pid_t(*reinterpret_cast<unsigned long*>(data)) == pid)
            out.push_back(placeOf(display, window));
        if (data) XFree(data);
    }
    return out;
}

std::vector<std::string> windowState(const VirtualDisplay& display, unsigned long window) {
    std::string command = "xprop -display " + display.name() + " -id " + std::to_string(window) + " _NET_WM_STATE 2>/dev/null";
    std::vector<std::string> atoms;
    FILE* output = popen(command.c_str(), "r");
    if (!output) return atoms;
    std::string text;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, output)) text += buffer;
    pclose(output);
    // "_NET_WM_STATE(ATOM) = _NET_WM_STATE_ABOVE, _NET_WM_STATE_FOCUSED"
    auto equals = text.find(" = ");
    if (equals == std::string::npos) return atoms;
    std::string list = text.substr(equals + 3);
    std::size_t start = 0;
    while (start < list.size()) {
        auto end = list.find_first_of(", \n", start);
        if (end == std::string::npos) end = list.size();
        if (end > start) atoms.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return atoms;
}

std::pair<std::string, std::string> windowClass(Display* display, unsigned long window) {
    XClassHint hint{};
    if (!XGetClassHint(display, window, &hint)) return {};
    std::pair<std::string, std::string> names{hint.res_name ? hint.res_name : "", hint.res_class ? hint.res_class : ""};
    if (hint.res_name) XFree(hint.res_name);
    if (hint.res_class) XFree(hint.res_class);
    return names;
}

std::optional<std::pair<long, long>> windowIconSize(Display* display, unsigned long window) {
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, left = 0;
    unsigned char* data = nullptr;
    std::optional<std::pair<long, long>> size;
    if (XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_ICON", False), 0, 2, False, XA_CARDINAL, &type,
                           &format, &items, &left, &data) == Success &&
        items == 2) {
        auto* values = reinterpret_cast<long*>(data);
        size = std::pair{values[0], values[1]};
    }
    if (data) XFree(data);
    return size;
}

bool pointerHeld(Display* display) {
    int status = XGrabPointer(display, DefaultRootWindow(display), False, 0, GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
    if (status == GrabSuccess) XUngrabPointer(display, CurrentTime);
    XSync(display, False);
    return status == AlreadyGrabbed;
}

std::optional<std::vector<long>> frameExtents(Display* display, unsigned long window) {
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, left = 0;
    unsigned char* data = nullptr;
    std::optional<std::vector<long>> extents;
    if (XGetWindowProperty(display, window, XInternAtom(display, "_NET_FRAME_EXTENTS", False), 0, 4, False, XA_CARDINAL, &type,
                           &format, &items, &left, &data) == Success &&
        items == 4) {
        auto* values = reinterpret_cast<long*>(data);
        extents = std::vector<long>(values, values + 4);
    }
    if (data) XFree(data);
    return extents;
}

int workAreaHeight(Display* display) {
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, left = 0;
    unsigned char* data = nullptr;
    int height = DisplayHeight(display, DefaultScreen(display));
    if (XGetWindowProperty(display, DefaultRootWindow(display), XInternAtom(display, "_NET_WORKAREA", False), 0, 4, False,
                           XA_CARDINAL, &type, &format, &items, &left, &data) == Success &&
        items == 4)
        height = int(reinterpret_cast<long*>(data)[3]);
    if (data) XFree(data);
    return height;
}

std::optional<double> pingAnswerTime(Display* display, unsigned long window, double patience) {
    static long serial = 0;
    const long stamp = ++serial;
    const Atom ping = XInternAtom(display, "_NET_WM_PING", False);
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);  // where the answer goes, as to a window manager
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(ping);
    event.xclient.data.l[1] = stamp;
    event.xclient.data.l[2] = long(window);
    const auto sent = std::chrono::steady_clock::now();
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
    const auto deadline = sent + std::chrono::duration<double>(patience);
    for (;;) {
        while (XPending(display)) {
            XEvent answer;
            XNextEvent(display, &answer);
            if (answer.type == ClientMessage && answer.xclient.window == root && answer.xclient.data.l[0] == long(ping) &&
                answer.xclient.data.l[1] == stamp) {
                return std::chrono::duration<double>(std::chrono::steady_clock::now() - sent).count();
            }
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return std::nullopt;
        pollfd wait{ConnectionNumber(display), POLLIN, 0};
        ::poll(&wait, 1, int(left.count()));
    }
}

void requestClose(Display* display, unsigned long window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
}

Screenshot grab(Display* display, const WindowPlace& place) {
    Screenshot shot;
    XImage* image = XGetImage(display, DefaultRootWindow(display), place.x, place.y, unsigned(place.width),
                              unsigned(place.height), AllPlanes, ZPixmap);
    if (!image) return shot;
    shot.width = place.width;
    shot.height = place.height;
    shot.pixels.reserve(std::size_t(place.width) * std::size_t(place.height));
    for (int y = 0; y < place.height; ++y) {
        for (int x = 0; x < place.width; ++x) shot.pixels.push_back(std::uint32_t(XGetPixel(image, x, y)) & 0xFFFFFF);
    }
    XDestroyImage(image);
    return shot;
}

void Screenshot::save(const std::filesystem::path& path) const {
    std::filesystem::create_directories(path.parent_path());
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    auto* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y) std::memcpy(data + y * stride, &pixels[std::size_t(y) * std::size_t(width)], std::size_t(width) * 4);
    cairo_surface_mark_dirty(surface);
    cairo_surface_write_to_png(surface, path.c_str());
    cairo_surface_destroy(surface);
}

void click(Display* display, const WindowPlace& place, int x, int y) {
    // The pointer really moves there (the window hears it enter and move); the button is told
    // to the window directly.
    XWarpPointer(display, None, place.id, 0, 0, 0, 0, x, y);
    XSync(display, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    for (int type : {ButtonPress, ButtonRelease}) {
        XEvent event{};
        event.xbutton.type = type;
        event.xbutton.display = display;
        event.xbutton.window = place.id;
        event.xbutton.root = DefaultRootWindow(display);
        event.xbutton.subwindow = None;
        event.xbutton.time = CurrentTime;
        event.xbutton.x = x;
        event.xbutton.y = y;
        event.xbutton.x_root = place.x + x;
        event.xbutton.y_root = place.y + y;
        event.xbutton.state = type == ButtonRelease ? Button1Mask : 0;
        event.xbutton.button = Button1;
        event.xbutton.same_screen = True;
        XSendEvent(display, place.id, True, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &event);
        XSync(display, False);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

void pressKey(Display* display, const WindowPlace& place, const std::string& key) {
    XSetInputFocus(display, place.id, RevertToParent, CurrentTime);
    for (int type : {KeyPress, KeyRelease}) {
        XEvent event{};
        event.xkey.type = type;
        event.xkey.display = display;
        event.xkey.window = place.id;
        event.xkey.root = DefaultRootWindow(display);
        event.xkey.time = CurrentTime;
        event.xkey.keycode = XKeysymToKeycode(display, XStringToKeysym(key.c_str()));
        event.xkey.same_screen = True;
        XSendEvent(display, place.id, True, type == KeyPress ? KeyPressMask : KeyReleaseMask, &event);
        XSync(display, False);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

// The application.

ApplicationProcess::ApplicationProcess(const std::vector<std::string>& command, const std::map<std::string, std::string>& environment,
                                       const std::filesystem::path& log) {
    std::vector<std::string> env;
    for (const auto& entry : currentEnvironment()) {
        auto name = entry.substr(0, entry.find('='));
        if (environment.count(name) || name == "DISPLAY" || name == "WAYLAND_DISPLAY" || name.rfind("QUILLON_", 0) == 0 ||
            name == "LANGUAGE" || name == "LC_ALL" || name == "LC_MESSAGES" || name == "LANG")
            continue;
        env.push_back(entry);
    }
    for (const auto& [name, value] : environment) env.push_back(name + "=" + value);
    pid_ = spawn(command, env, log.string());
}

ApplicationProcess::~ApplicationProcess() {
    if (running()) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

bool ApplicationProcess::running() {
    if (pid_ <= 0 || status_) return false;
    int status = 0;
    pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == 0) return true;
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    return false;
}

std::optional<int> ApplicationProcess::waitForExit(double seconds) {
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (running() && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return status_;
}
