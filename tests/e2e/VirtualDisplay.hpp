#pragma once
// A virtual X display of the test's own, the application run on it, and what the test reads from
// it and sends to it through Xlib: the window's place, its pixels, clicks.
#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

typedef struct _XDisplay Display;

/// An Xvfb server on a display number it chooses itself; stopped when the object goes. A watched
/// one keeps its screen in a file in memory, which a ScreenWatch reads as the server draws.
class VirtualDisplay {
public:
    VirtualDisplay(int width, int height, bool watched = false);
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    /// Why there is no display; empty when it runs.
    const std::string& unavailable() const { return unavailable_; }
    const std::string& name() const { return name_; }
    Display* connection() const { return display_; }
    /// The file that holds the screen of a watched display (XWD, as Xvfb maps it); empty otherwise.
    std::filesystem::path screenFile() const;

private:
    std::string unavailable_;
    std::string name_;
    std::filesystem::path screenFolder_;
    pid_t pid_ = -1;
    Display* display_ = nullptr;
};

/// An EWMH window manager on the display, with its own empty settings (its defaults): openbox
/// unless another is named (xfwm4, on a session bus of its own for its settings daemon; icewm,
/// whose task bar takes the bottom of the screen out of the work area; fluxbox); stopped when the
/// object goes.
class WindowManager {
public:
    explicit WindowManager(const VirtualDisplay& display, std::string name = "openbox");
    ~WindowManager();
    WindowManager(const WindowManager&) = delete;
    WindowManager& operator=(const WindowManager&) = delete;

    /// Why there is no window manager; empty once it manages the display.
    const std::string& unavailable() const { return unavailable_; }
    const std::string& name() const { return name_; }
    /// Holds it still until resume(), as a window manager too busy to read: what is sent to it waits.
    void pause();
    void resume();
    /// Ends it at once (SIGKILL), as a window manager that crashes: what it set on windows stays.
    void kill();
    /// Waits until it has handled everything sent to it before: asked for the frame extents of a
    /// window of the test's own (_NET_REQUEST_FRAME_EXTENTS), it answers in turn. False when it
    /// has not within a minute.
    bool settled();
    /// Waits until the window was asked to be moved with the pointer (_NET_WM_MOVERESIZE's move),
    /// as the window manager is asked, since the last call; false when it was not within a minute.
    bool moveAskedFor(unsigned long window);

private:
    std::string name_;
    std::string unavailable_;
    std::filesystem::path home_;
    pid_t pid_ = -1;
    pid_t bus_ = -1;
    bool paused_ = false;
    // The test's own connection, which hears what is sent to the window manager, and its window.
    Display* watch_ = nullptr;
    unsigned long probe_ = 0;
};

/// An application's window as the X server has it (inside a window manager's frame, if any); the
/// place is in root coordinates.
struct WindowPlace {
    unsigned long id = 0;
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const WindowPlace&) const = default;
};

/// An area of a watched display, read on a thread of its own about every millisecond, from its
/// making to its end (which joins the thread): where it shows other than the desktop's colour,
/// each time that changes, as the smallest rectangle around those pixels (in root coordinates;
/// of no size where there are none). A picture the server was drawing as it was read may be half
/// the new one and half the old.
class ScreenWatch {
public:
    /// Watches the area for pixels other than the desktop's colour (0xRRGGBB).
    ScreenWatch(const VirtualDisplay& display, const WindowPlace& area, std::uint32_t desktop);
    ~ScreenWatch();
    ScreenWatch(const ScreenWatch&) = delete;
    ScreenWatch& operator=(const ScreenWatch&) = delete;

    /// Why the display cannot be watched; empty when it is.
    const std::string& unavailable() const { return unavailable_; }
    /// What was seen since the last call, in the order seen.
    std::vector<WindowPlace> take();
    /// What differs now.
    WindowPlace now();

private:
    void watch();
    WindowPlace differing() const;

    std::string unavailable_;
    WindowPlace area_;
    const std::uint8_t* file_ = nullptr;
    std::size_t fileSize_ = 0;
    const std::uint8_t* pixels_ = nullptr;
    std::size_t bytesPerRow_ = 0;
    std::uint32_t desktop_;
    std::mutex mutex_;
    std::vector<WindowPlace> seen_;
    WindowPlace last_;
    bool stopping_ = false;
    std::thread thread_;
};

/// Pixels of a screen area, rows top down, 0xRRGGBB.
struct Screenshot {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t at(int x, int y) const { return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
    /// Writes it as PNG (for a person to look at when a test fails).
    void save(const std::filesystem::path& path) const;
};

/// A Wayland compositor (weston) whose X11 backend shows its outputs, of the sizes given (one of
/// 1000 by 900 units unless told otherwise) at `scale` pixels a unit, side by side as weston
/// lays them out, each in a window of its own, the first at the display's top-left corner and
/// each next one right of it; stopped when the object goes. Started with --debug, so that
/// weston-screenshooter may read the outputs back and weston-debug tell where the windows are.
/// It draws with pixman, which reads a client's buffer until the client attaches another, so a
/// client that draws again always finds its last buffer still in use. Its pointer rests in the
/// last output's bottom-right corner, so that weston opens windows there, and it has the X
/// keyboard focus.
class WestonCompositor {
public:
    WestonCompositor(const VirtualDisplay& display, int scale, const std::vector<std::pair<int, int>>& outputs = {{1000, 900}});
    ~WestonCompositor();
    WestonCompositor(const WestonCompositor&) = delete;
    WestonCompositor& operator=(const WestonCompositor&) = delete;

    /// Why there is no compositor; empty once it takes clients.
    const std::string& unavailable() const { return unavailable_; }
    /// What a client needs to reach it: WAYLAND_DISPLAY and XDG_RUNTIME_DIR (DISPLAY left empty).
    std::map<std::string, std::string> clientEnvironment() const;
    /// The outputs, every pixel, as weston-screenshooter reads them; empty when it cannot.
    Screenshot screenshot() const;
    /// Where the compositor shows the window of that title, in its own units (the outputs laid
    /// side by side from the first one's top-left corner on); none while it shows none.
    std::optional<WindowPlace> windowPlace(const std::string& title) const;

private:
    /// What weston-debug tells of the windows, the cursor and the outputs (views, their places
    /// and the outputs they show on).
    std::string sceneGraph() const;

    std::string unavailable_;
    std::filesystem::path runtime_;
    std::string socket_;
    pid_t pid_ = -1;
};

/// The mapped window of that title; none when there is none.
std::optional<WindowPlace> findWindow(Display* display, const std::string& title);
/// The mapped windows of a process (by their _NET_WM_PID).
std::vector<WindowPlace> windowsOf(Display* display, pid_t pid);
/// The window's _NET_WM_STATE atoms, as xprop reads them ("_NET_WM_STATE_ABOVE", ...).
std::vector<std::string> windowState(const VirtualDisplay& display, unsigned long window);
/// The window's WM_CLASS (instance and class), by which the desktop matches it to a desktop entry.
std::pair<std::string, std::string> windowClass(Display* display, unsigned long window);
/// The width and height of the first picture of the window's icon (_NET_WM_ICON); none without one.
std::optional<std::pair<long, long>> windowIconSize(Display* display, unsigned long window);
/// Whether a client holds the pointer (a window manager moving a window does): the test's own
/// grab is refused.
bool pointerHeld(Display* display);
/// The extents of the frame a window manager put around the window, as it set them on the window
/// (_NET_FRAME_EXTENTS: left, right, top, bottom); none where none are set.
std::optional<std::vector<long>> frameExtents(Display* display, unsigned long window);
/// The height of the work area, the screen less the window manager's panels (_NET_WORKAREA); the
/// screen's without one.
int workAreaHeight(Display* display);
/// Pings the window as a window manager does (_NET_WM_PING): the seconds until the program's main
/// loop answered, none when it did not within `patience` seconds.
std::optional<double> pingAnswerTime(Display* display, unsigned long window, double patience);
/// Asks the window to close, as a window manager's close button does (WM_DELETE_WINDOW).
void requestClose(Display* display, unsigned long window);
Screenshot grab(Display* display, const WindowPlace& place);
/// Moves the pointer to the point of the window (top-left origin) and presses and releases the
/// left button there, as the window system tells a click.
void click(Display* display, const WindowPlace& place, int x, int y);
/// Gives the window the keyboard and presses and releases the key named as X names it ("End").
void pressKey(Display* display, const WindowPlace& place, const std::string& key);

/// The application started by `command` (the program's path and its arguments) with the
/// environment given (added to the test's own, less its display and Quillon settings); killed when
/// the object goes while it still runs.
class ApplicationProcess {
public:
    ApplicationProcess(const std::vector<std::string>& command, const std::map<std::string, std::string>& environment,
                       const std::filesystem::path& log);
    ~ApplicationProcess();
    ApplicationProcess(const ApplicationProcess&) = delete;
    ApplicationProcess& operator=(const ApplicationProcess&) = delete;

    bool started() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }
    bool running();
    /// The exit status once the program has ended within the time; none when it has not (or it
    /// was ended by a signal: -signal).
    std::optional<int> waitForExit(double seconds);

private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};
