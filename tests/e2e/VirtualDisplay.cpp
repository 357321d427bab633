#include "VirtualDisplay.hpp"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

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

std::vector<std::string> currentEnvironment() {
    std::vector<std::string> out;
    for (char** e = environ; *e; ++e) out.emplace_back(*e);
    return out;
}
}  // namespace

// The display.

VirtualDisplay::VirtualDisplay(int width, int height) {
    if (access("/usr/bin/Xvfb", X_OK) != 0) {
        unavailable_ = "Xvfb is not installed";
        return;
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
    pid_ = spawn({"/usr/bin/Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
                  std::to_string(width) + "x" + std::to_string(height) + "x24", "-nolisten", "tcp"},
                 currentEnvironment(), "/dev/null");
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
    if (!display_) unavailable_ = "cannot connect to Xvfb at " + name_;
}

VirtualDisplay::~VirtualDisplay() {
    if (display_) XCloseDisplay(display_);
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
}

// Windows, pixels, clicks.

std::optional<WindowPlace> findWindow(Display* display, const std::string& title) {
    Window root = DefaultRootWindow(display), parent = 0, *children = nullptr;
    unsigned int count = 0;
    std::optional<WindowPlace> found;
    if (!XQueryTree(display, root, &root, &parent, &children, &count)) return found;
    for (unsigned int i = 0; i < count && !found; ++i) {
        char* name = nullptr;
        if (!XFetchName(display, children[i], &name) || !name) continue;
        bool same = title == name;
        XFree(name);
        XWindowAttributes attributes;
        if (!same || !XGetWindowAttributes(display, children[i], &attributes) || attributes.map_state != IsViewable) continue;
        found = WindowPlace{children[i], attributes.x, attributes.y, attributes.width, attributes.height};
    }
    if (children) XFree(children);
    return found;
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

// The application.

ApplicationProcess::ApplicationProcess(const std::string& program, const std::map<std::string, std::string>& environment,
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
    pid_ = spawn({program}, env, log.string());
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
