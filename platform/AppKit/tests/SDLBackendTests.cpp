// A real window on a virtual X display: shown through SDL2, read back from a screenshot of the
// display's root window, and closed through the window system's close request.
#include <gtest/gtest.h>

#include <SDL.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "AppKit/NSScrollView.hpp"
#include "AppKit/NSTableView.hpp"
#include "AppKit/backends/SDLWindowBackend.hpp"
#include "Foundation/Data.hpp"
#include "WindowingTestSupport.hpp"

extern char** environ;

namespace {

/// An X server of its own on a free display number, ended when the object goes.
class VirtualDisplay {
public:
    VirtualDisplay() {
        // Xvfb takes a free display number itself and writes it to the descriptor named, so that
        // tests run side by side never start two servers on one display.
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0) return;
        fcntl(fds[1], F_SETFD, 0);
        std::vector<std::string> args{"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "640x480x24", "-nolisten", "tcp"};
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, "/usr/bin/Xvfb", nullptr, nullptr, argv.data(), environ) != 0) pid_ = 0;
        close(fds[1]);
        std::string number;
        pollfd ready{fds[0], POLLIN, 0};
        while (pid_ && poll(&ready, 1, 10000) > 0) {
            char c;
            if (read(fds[0], &c, 1) != 1 || c == '\n') break;
            number += c;
        }
        close(fds[0]);
        if (number.empty()) {
            stop();
            return;
        }
        name_ = ":" + number;
    }
    ~VirtualDisplay() { stop(); }
    bool running() const { return pid_ != 0; }
    const std::string& name() const { return name_; }

private:
    void stop() {
        if (!pid_) return;
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = 0;
    }
    pid_t pid_ = 0;
    std::string name_;
};

class SDLWindows : public WindowingTest {
protected:
    void SetUp() override {
        WindowingTest::SetUp();
        if (!std::filesystem::exists("/usr/bin/Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
        if (!std::filesystem::exists("/usr/bin/import")) GTEST_SKIP() << "ImageMagick's import is not installed";
        display_ = std::make_unique<VirtualDisplay>();
        ASSERT_TRUE(display_->running()) << "Xvfb did not start";
        if (const char* old = std::getenv("DISPLAY")) oldDisplay_ = old;
        setenv("DISPLAY", display_->name().c_str(), 1);
        // Without a session bus, SDL's set-up would start one for the virtual display and leave it
        // running; a bus address that leads nowhere keeps it from trying.
        if (!std::getenv("DBUS_SESSION_BUS_ADDRESS")) {
            setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/quillon-test-bus", 1);
            busAddressSet_ = true;
        }
        std::string why;
        sdl_ = SDLWindowBackend::make(why);
        ASSERT_TRUE(sdl_) << why;
        app().setWindowBackend(sdl_);
    }
    void TearDown() override {
        NSApplication::shared().reset();
        sdl_.reset();
        display_.reset();
        if (busAddressSet_) unsetenv("DBUS_SESSION_BUS_ADDRESS");
        if (oldDisplay_) {
            setenv("DISPLAY", oldDisplay_->c_str(), 1);
        } else {
            unsetenv("DISPLAY");
        }
        WindowingTest::TearDown();
    }

    /// The display's pixels, as ImageMagick reads them from the root window; none where it does
    /// not answer within half a minute.
    std::shared_ptr<CGImage> screenshot() {
        auto path = folder_.path() / "screen.png";
        std::string command = "timeout 30 import -display " + display_->name() + " -window root PNG32:" +
                              path.string() + " 2>/dev/null";
        if (std::system(command.c_str()) != 0) return nullptr;
        std::ifstream file(path, std::ios::binary);
        std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        return CGImage::fromPNG(Data(bytes));
    }

    TemporaryDirectory folder_;
    std::unique_ptr<VirtualDisplay> display_;
    std::shared_ptr<SDLWindowBackend> sdl_;
    std::optional<std::string> oldDisplay_;
    bool busAddressSet_ = false;
};

}  // namespace

TEST_F(SDLWindows, AWindowShowsOnTheDisplayAndClosesThroughTheWindowSystem) {
    // The display is the main screen; windows are placed in its coordinates, y up.
    auto screen = NSScreen::main();
    ASSERT_TRUE(screen);
    EXPECT_EQ(screen->frame(), (CGRect{0, 0, 640, 480}));
    EXPECT_EQ(screen->backingScaleFactor(), 1.0);

    auto window = NSWindow::make({100, 200, 200, 100}, standardStyle);
    window->contentView()->setWantsLayer(true);
    window->contentView()->layer()->setBackgroundColor(CGColor{0, 0.8, 0, 1});
    auto view = std::make_shared<RecordingView>(CGRect{0, 0, 200, 100});
    window->contentView()->addSubview(view);
    window->makeKeyAndOrderFront();
    window->setLevel(NSWindow::floatingLevel);
    ASSERT_TRUE(sdl_->nativeWindow(*window));
    for (int pass = 0; pass < 5; ++pass) {
        sdl_->pumpEvents();
        RunLoop::main().runOnce();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }

    auto shot = screenshot();
    ASSERT_TRUE(shot);
    // The window's top edge is at 200 + 128 points up, so 480 - 328 = 152 pixels down.
    EXPECT_EQ(shot->pixel(200, 152 + 28 + 50), (std::array<std::uint8_t, 4>{0, 204, 0, 255}));  // the content
    EXPECT_EQ(shot->pixel(115, 152 + 10), (std::array<std::uint8_t, 4>{255, 95, 87, 255}));     // the close button
    EXPECT_EQ(shot->pixel(90, 152 + 50), (std::array<std::uint8_t, 4>{0, 0, 0, 255}));          // beside it: nothing
    // The window draws straight into the pixels the window system shows, also once they were made
    // anew at a new size.
    auto surfacePixels = [&] { return SDL_GetWindowSurface(sdl_->nativeWindow(*window))->pixels; };
    EXPECT_EQ(window->backingStore()->data(), surfacePixels());
    window->setFrame({100, 100, 300, 200});
    for (int pass = 0; pass < 5; ++pass) {
        sdl_->pumpEvents();
        RunLoop::main().runOnce();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(window->backingStore()->data(), surfacePixels());
    shot = screenshot();
    ASSERT_TRUE(shot);
    EXPECT_EQ(shot->pixel(380, 180 + 28 + 150), (std::array<std::uint8_t, 4>{0, 204, 0, 255}));  // the content's new corner
    window->setFrame({100, 200, 200, 100 + NSWindow::titleBarHeight});
    RunLoop::main().runOnce();

    // Mouse events arrive in window coordinates, y up.
    int x = 0, y = 0;
    SDL_Event press{};
    press.type = SDL_MOUSEBUTTONDOWN;
    press.button.windowID = SDL_GetWindowID(sdl_->nativeWindow(*window));
    press.button.button = SDL_BUTTON_LEFT;
    press.button.x = 30;
    press.button.y = 118;  // 28 + 100 - 10
    press.button.clicks = 1;
    sdl_->handle(press);
    SDL_GetWindowPosition(sdl_->nativeWindow(*window), &x, &y);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 152);
    EXPECT_EQ(view->log, (std::vector<std::string>{"down 30,10"}));

    // The window system's close request closes the window like its close button.
    SDL_Event close{};
    close.type = SDL_WINDOWEVENT;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    close.window.windowID = press.button.windowID;
    sdl_->handle(close);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(sdl_->nativeWindow(*window));
    EXPECT_TRUE(app().windows().empty());
}

TEST_F(SDLWindows, AWheelNotchScrollsThreeLinesOfTheList) {
    if (std::system("command -v xdotool >/dev/null") != 0) GTEST_SKIP() << "xdotool is not installed";
    // Forty rows of 30 points in a window whose content runs from 80 to 380 pixels down.
    struct Rows : NSTableViewDataSource {
        int numberOfRows(NSTableView&) override { return 40; }
    };
    auto rows = std::make_shared<Rows>();
    auto window = NSWindow::make({100, 100, 200, 300}, standardStyle);
    auto scroll = NSScrollView::make({0, 0, 200, 300});
    auto table = NSTableView::make();
    table->setRowHeight(28);
    table->setDataSource(rows);
    scroll->setDocumentView(table);
    window->contentView()->addSubview(scroll);
    table->reloadData();
    window->makeKeyAndOrderFront();
    auto settle = [&](const std::function<bool()>& done, int passes) {
        for (int pass = 0; pass < passes && !done(); ++pass) {
            sdl_->pumpEvents();
            RunLoop::main().runOnce();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    };
    settle([] { return false; }, 5);
    // The X server's test extension moves the pointer over the list and turns the wheel: buttons
    // 4 and 5 up and down, 6 and 7 left and right, a click a notch.
    ASSERT_EQ(std::system("xdotool mousemove --sync 200 230"), 0);
    auto turn = [&](int button, int notches, CGPoint expected) {
        std::string command = "xdotool click --repeat " + std::to_string(notches) + " --delay 30 " + std::to_string(button);
        ASSERT_EQ(std::system(command.c_str()), 0);
        settle([&] { return scroll->documentVisibleRect().origin == expected; }, 500);
        EXPECT_NEAR(scroll->documentVisibleRect().minX(), expected.x, 1);
        EXPECT_NEAR(scroll->documentVisibleRect().minY(), expected.y, 1);
    };
    turn(5, 2, {0, 2 * 3 * 30});
    turn(4, 1, {0, 3 * 30});
    // A touchpad's smooth scrolling as SDL tells it on Wayland, ten surface units a notch: points.
    SDL_Event smooth{};
    smooth.type = SDL_MOUSEWHEEL;
    smooth.wheel.windowID = SDL_GetWindowID(sdl_->nativeWindow(*window));
    smooth.wheel.preciseY = -2.5f;
    sdl_->handle(smooth);
    EXPECT_EQ(scroll->documentVisibleRect().minY(), 3 * 30 + 25);
    // Sideways, by the scroll view's own line, in a wider document.
    scroll->setDocumentView(NSView::make({0, 0, 1000, 300}));
    turn(7, 1, {3 * 10, 0});
    turn(6, 1, {0, 0});
}

TEST_F(SDLWindows, WithoutAWindowTheLoopSleepsUntilWoken) {
    // SDL's own wait polls every millisecond while it has no window; the loop's sleeps instead.
    auto waiter = sdl_->waiter();
    auto switches = [] {
        rusage usage{};
        getrusage(RUSAGE_THREAD, &usage);
        return usage.ru_nvcsw;
    };
    long before = switches();
    waiter->wait(0.3);
    EXPECT_LT(switches() - before, 30) << "a poll would have woken about 300 times";
    std::thread other([&] { waiter->wake(); });
    waiter->wait(std::nullopt);  // ends once woken, whether the wake came before or during the wait
    other.join();
}
