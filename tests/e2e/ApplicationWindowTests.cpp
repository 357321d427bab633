// The real program on a virtual X display, on a hardware profile: its window is read back from the
// X server and set beside the same window drawn headless in this process from the same profile.
#include <fcntl.h>
#include <signal.h>
#include <gio/gdesktopappinfo.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <regex>
#include <sstream>
#include <thread>

#include "AppKit/NSApplication.hpp"
#include "AppKit/NSImage.hpp"
#include "AppKit/NSScreen.hpp"
#include "AppKit/NSWindow.hpp"
#include "CoreBluetooth/BluetoothStack.hpp"
#include "CoreBluetooth/SimulatedBluetoothStack.hpp"
#include "Foundation/Bundle.hpp"
#include "Foundation/Locale.hpp"
#include "Foundation/backends/DesktopEntry.hpp"
#include "IOKit/HardwareProfile.hpp"
#include "IOKit/IORegistry.hpp"
#include "Quillon/BatteryCells.hpp"
#include "Quillon/MainStoryboard.hpp"
#include "Quillon/Settings.hpp"
#include "Quillon/ViewController.hpp"
#include "Testing/BluezMock.hpp"
#include "Testing/PrivateBus.hpp"
#include "Testing/TestEnvironment.hpp"
#include "VirtualDisplay.hpp"
#include "ZuzeDiv/Support.hpp"

using namespace Quillon;

namespace {

using WallClock = std::chrono::steady_clock;

const std::string demoProfile = std::string(QUILLON_FIXTURES_DIR) + "/profiles/demo.json";
const std::string emptyProfile = std::string(QUILLON_FIXTURES_DIR) + "/profiles/empty.json";
const std::string tenDevices = std::string(QUILLON_FIXTURES_DIR) + "/profiles/ten-devices.json";
const CGFloat titleBar = NSWindow::titleBarHeight + NSWindow::toolbarHeight;

/// A rectangle of the window, top-left origin, whole pixels.
struct Area {
    int x = 0, y = 0, width = 0, height = 0;
};

/// What a row of the headless window shows and where (nothing and nowhere for a row out of view).
struct Row {
    Area name, level, gauge, charging;
    int percent = 0;
    bool charging_ = false;
};

/// The window as drawn headless, with the places of what the tests look at.
struct Reference {
    std::shared_ptr<CGImage> image;
    int height = 0;
    std::vector<Row> rows;
    Area emptyLabel, inFront, normal, closeButton, miniaturizeButton, about;
};

Area areaOf(const NSView& view, CGFloat windowHeight) {
    CGRect b = view.bounds();
    CGPoint a = view.convertToView(CGPoint{b.minX(), b.minY()}, nullptr);
    CGPoint c = view.convertToView(CGPoint{b.maxX(), b.maxY()}, nullptr);
    CGFloat top = windowHeight - std::max(a.y, c.y), left = std::min(a.x, c.x);
    return {int(std::lround(left)), int(std::lround(top)), int(std::lround(std::abs(c.x - a.x))),
            int(std::lround(std::abs(c.y - a.y)))};
}

Area areaOfSegment(const NSSegmentedControl& control, int segment, CGFloat windowHeight) {
    CGRect r = control.rectForSegment(segment);
    CGPoint a = control.convertToView(CGPoint{r.minX(), r.minY()}, nullptr);
    CGPoint c = control.convertToView(CGPoint{r.maxX(), r.maxY()}, nullptr);
    return {int(std::lround(std::min(a.x, c.x))), int(std::lround(windowHeight - std::max(a.y, c.y))),
            int(std::lround(std::abs(c.x - a.x))), int(std::lround(std::abs(c.y - a.y)))};
}

int red(std::uint32_t p) { return int(p >> 16 & 0xFF); }
int green(std::uint32_t p) { return int(p >> 8 & 0xFF); }
int blue(std::uint32_t p) { return int(p & 0xFF); }

int count(const Screenshot& shot, const Area& area, const std::function<bool(std::uint32_t)>& wanted) {
    int n = 0;
    for (int y = area.y; y < area.y + area.height && y < shot.height; ++y) {
        for (int x = area.x; x < area.x + area.width && x < shot.width; ++x) n += wanted(shot.at(x, y)) ? 1 : 0;
    }
    return n;
}

// The gauge colours (red 255/0/40, green 0/156/0) and the charging mark's amber, with room for
// the edges' blending.
bool gaugeRed(std::uint32_t p) { return red(p) > 200 && green(p) < 70 && blue(p) < 110; }
bool gaugeGreen(std::uint32_t p) { return green(p) > 120 && red(p) < 70 && blue(p) < 70; }
bool amber(std::uint32_t p) { return red(p) > 220 && green(p) > 150 && green(p) < 215 && blue(p) < 80; }
bool ink(std::uint32_t p) { return red(p) < 150 && green(p) < 150 && blue(p) < 150; }
bool accent(std::uint32_t p) { return blue(p) > 180 && red(p) < 90; }

/// The share of pixels of the area that differ between the screenshot and the headless drawing.
double difference(const Screenshot& shot, const CGImage& image, const Area& area) {
    int differing = 0, total = 0;
    for (int y = area.y; y < area.y + area.height; ++y) {
        for (int x = area.x; x < area.x + area.width; ++x) {
            auto expected = image.pixel(std::size_t(x), std::size_t(y));
            auto p = shot.at(x, y);
            int worst = std::max({std::abs(red(p) - expected[0]), std::abs(green(p) - expected[1]), std::abs(blue(p) - expected[2])});
            differing += worst > 8 ? 1 : 0;
            ++total;
        }
    }
    return total ? double(differing) / total : 1.0;
}

/// The part of the screenshot at (x, y) of that size; pixels past its edges are black.
Screenshot crop(const Screenshot& shot, int x, int y, int width, int height) {
    Screenshot out{width, height, {}};
    out.pixels.reserve(std::size_t(width) * std::size_t(height));
    for (int row = y; row < y + height; ++row) {
        for (int column = x; column < x + width; ++column) {
            bool inside = row >= 0 && row < shot.height && column >= 0 && column < shot.width;
            out.pixels.push_back(inside ? shot.at(column, row) : 0);
        }
    }
    return out;
}

/// Where the window drawn in `image` shows in the screenshot (its top-left corner): a place whose
/// title bar, `titleHeight` pixels, looks as the image's does.
std::optional<std::pair<int, int>> locate(const Screenshot& shot, const CGImage& image, const Area& closeButton, int titleHeight) {
    int width = int(image.width());
    auto near = [](std::uint32_t p, const std::array<std::uint8_t, 4>& q) {
        return std::abs(red(p) - q[0]) <= 8 && std::abs(green(p) - q[1]) <= 8 && std::abs(blue(p) - q[2]) <= 8;
    };
    int ax = closeButton.x + closeButton.width / 4, ay = closeButton.y + closeButton.height / 2;
    auto anchor = image.pixel(std::size_t(ax), std::size_t(ay));
    for (int y = ay; y < shot.height; ++y) {
        for (int x = ax; x < shot.width; ++x) {
            if (!near(shot.at(x, y), anchor)) continue;
            int ox = x - ax, oy = y - ay, differing = 0, total = 0;
            for (int ty = 0; ty < titleHeight && oy + ty < shot.height; ty += 2) {
                for (int tx = 0; tx < width && ox + tx < shot.width; tx += 2, ++total) {
                    differing += near(shot.at(ox + tx, oy + ty), image.pixel(std::size_t(tx), std::size_t(ty))) ? 0 : 1;
                }
            }
            if (total > 0 && differing * 100 < total) return std::pair{ox, oy};
        }
    }
    return std::nullopt;
}

/// The text as one word of a shell command.
std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

int run(const std::string& command) { return std::system((command + " >/dev/null").c_str()); }

/// What the README's make install did: its exit status, what it printed, and the files CMake lists
/// as installed when it succeeded.
struct Install {
    int status = -1;
    std::string output;
    std::vector<std::string> files;
};

/// Runs the README's make install with those settings (PREFIX=... DESTDIR=..., quoted), as a user
/// or a package does (the build itself is taken as made). Installs of tests that run side by side
/// take turns, so that each reads its own list.
Install makeInstall(const std::string& settings) {
    Install done;
    const int build = ::open(QUILLON_BUILD_DIR, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (build < 0) return done;
    ::flock(build, LOCK_EX);
    if (std::FILE* pipe = popen(("MAKEFLAGS= make -s -C " + quoted(QUILLON_SOURCE_DIR) + " -o build install BUILD=" +
                                 quoted(QUILLON_BUILD_DIR) + " " + settings + " 2>&1")
                                    .c_str(),
                                "r")) {
        char chunk[4096];
        for (std::size_t read; (read = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) done.output.append(chunk, read);
        const int status = pclose(pipe);
        done.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    if (done.status == 0) {
        std::ifstream manifest(std::string(QUILLON_BUILD_DIR) + "/install_manifest.txt");
        for (std::string line; std::getline(manifest, line);) done.files.push_back(line);
    }
    ::close(build);
    return done;
}

/// Installs the build under the prefix (below `destdir` when one is given) with the README's make
/// install, and gives the files CMake lists as installed; none when the install fails.
std::optional<std::vector<std::string>> installBuild(const std::string& prefix, const std::string& destdir = {}) {
    auto done = makeInstall("PREFIX=" + quoted(prefix) + (destdir.empty() ? "" : " DESTDIR=" + quoted(destdir)));
    if (done.status != 0) return std::nullopt;
    return done.files;
}

/// A hardware profile of Bluetooth mice of the registry, named and at the levels given, and the
/// Bluetooth section given (powered off unless said).
std::string miceProfile(const std::vector<std::pair<std::string, int>>& mice,
                        const std::string& bluetooth = R"({"state": "poweredOff"})") {
    std::string registry;
    for (std::size_t i = 0; i < mice.size(); ++i) {
        char address[32];
        std::snprintf(address, sizeof address, "a0-b1-c2-d3-%02zx-%02zx", i / 256, i % 256);
        registry += std::string(i ? "," : "") + R"({"class": "AppleDeviceManagementHIDEventService", "parent": null,
            "superclasses": ["IOHIDEventService", "IOService"], "properties": {"Product": ")" + mice[i].first +
                    R"(", "BatteryPercent": )" + std::to_string(mice[i].second) + R"(, "DeviceAddress": ")" + address +
                    R"(", "Transport": "Bluetooth", "VendorID": 76, "ProductID": 617, "HIDDefaultBehavior": "Mouse"}})";
    }
    return R"({"registry": [)" + registry + R"(], "bluetooth": )" + bluetooth + "}";
}

/// `count` mice at half their charge, "Mouse 1000" on.
std::vector<std::pair<std::string, int>> halfChargedMice(int count) {
    std::vector<std::pair<std::string, int>> mice;
    for (int i = 0; i < count; ++i) mice.emplace_back("Mouse " + std::to_string(1000 + i), 50);
    return mice;
}

/// What a process holds: its resident memory and threads, and how many of its mappings are of
/// OpenGL's libraries (libGL, libEGL, Mesa's drivers and LLVM).
struct Footprint {
    long residentKiB = 0;
    int threads = 0, openGLMappings = 0;
};

Footprint footprint(pid_t pid) {
    Footprint out;
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) out.residentKiB = std::stol(line.substr(6));
        if (line.rfind("Threads:", 0) == 0) out.threads = std::stoi(line.substr(8));
    }
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    // (SDL 2.26 brings libgbm and libdrm along wherever it is loaded, X11 too: they are not counted.)
    const std::regex openGL(R"(/(libGL|libEGL|libglapi|libLLVM)[^/]*$|/dri/)");
    for (std::string line; std::getline(maps, line);) out.openGLMappings += std::regex_search(line, openGL) ? 1 : 0;
    return out;
}

/// How often the process woke over that time: the voluntary context switches of every thread that
/// ran meanwhile. The threads are looked at every 10 ms, so that one that ended counts with what
/// it did until then, and one begun meanwhile counts whole.
long wakeUps(pid_t pid, std::chrono::seconds over) {
    auto switches = [&] {
        std::map<std::string, long> byThread;
        std::error_code error;
        for (const auto& task : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
            std::ifstream status(task.path() / "status");
            for (std::string line; std::getline(status, line);) {
                if (line.rfind("voluntary_ctxt_switches:", 0) == 0) byThread[task.path().filename()] = std::stol(line.substr(24));
            }
        }
        return byThread;
    };
    const auto before = switches();
    auto last = before;
    for (const auto end = std::chrono::steady_clock::now() + over; std::chrono::steady_clock::now() < end;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        for (const auto& [thread, count] : switches()) last[thread] = count;
    }
    long total = 0;
    for (const auto& [thread, count] : last) {
        auto known = before.find(thread);
        total += count - (known == before.end() ? 0 : known->second);
    }
    return total;
}

}  // namespace

class ApplicationWindow : public VirtualTimeTest {
protected:
    void SetUp() override {
        VirtualTimeTest::SetUp();
        if (access((std::string(QUILLON_BIN_DIR) + "/Quillon").c_str(), X_OK) != 0) GTEST_SKIP() << "Quillon is not built";
        display_ = std::make_unique<VirtualDisplay>(1024, 1400);
        if (!display_->unavailable().empty()) GTEST_SKIP() << display_->unavailable();
    }
    void TearDown() override {
        app_.reset();
        display_.reset();
        VirtualTimeTest::TearDown();
    }

    /// The main window as this process draws it headless from the same bundle and profile, once
    /// the Low Energy peripherals had the time to connect, at `scale` pixels a point (the places
    /// too), on a screen of that size if one is given, after that key if one is given and that
    /// many notches of the wheel down over the window's middle.
    Reference reference(const std::string& profile, CGFloat scale = 1, std::optional<CGSize> screen = std::nullopt,
                        std::optional<std::uint16_t> key = std::nullopt, int wheelNotchesDown = 0) {
        if (screen) NSScreen::setMain(std::make_shared<NSScreen>(CGRect{CGPoint{}, *screen}));
        Bundle::setMainPath(QUILLON_APP_DIR);
        Locale::setPreferredLanguages(std::vector<std::string>{"en"});
        Settings::forgetKeepInFront();
        IORegistry::setCurrent(std::make_shared<IORegistry>(std::make_shared<HardwareProfileProvider>(std::filesystem::path(profile))));
        BluetoothStack::setCurrent(SimulatedBluetoothStack::fromProfile(profile));
        Reference out;
        {
            auto controller = MainStoryboard::makeWindowController();
            auto window = controller->window();
            controller->showWindow(nullptr);
            advance(3);
            runUntilIdle();
            if (key) {
                NSEvent press;
                press.type = NSEvent::EventType::keyDown;
                press.keyCode = *key;
                window->sendEvent(press);
            }
            if (wheelNotchesDown) {
                NSEvent wheel;
                wheel.type = NSEvent::EventType::scrollWheel;
                wheel.locationInWindow = CGPoint{window->frame().width() / 2, window->frame().height() / 2};
                wheel.setWheelNotches(0, -wheelNotchesDown, 10);
                window->sendEvent(wheel);
            }
            out.image = window->image(scale);
            CGFloat height = window->frame().height();
            out.height = int(height);
            auto& list = dynamic_cast<ViewController&>(*window->contentViewController());
            auto table = list.tableView.lock();
            for (int i = 0; i < table->numberOfRows(); ++i) {
                auto cell = std::dynamic_pointer_cast<SingleBatteryCell>(table->view(0, i));
                if (!cell) {  // out of view: no place in the window
                    out.rows.emplace_back();
                    continue;
                }
                Row row{areaOf(*cell->name.lock(), height), areaOf(*cell->level.lock(), height),
                        areaOf(*cell->value.lock(), height), areaOf(*cell->isChargingIcon.lock(), height),
                        int(*list.batteries[std::size_t(i)]->batteryLevel()), list.batteries[std::size_t(i)]->isCharging()};
                out.rows.push_back(row);
            }
            out.emptyLabel = areaOf(*list.emptyLabel.lock(), height);
            auto control = controller->keepInFront.lock();
            out.inFront = areaOfSegment(*control, WindowController::inFrontSegment, height);
            out.normal = areaOfSegment(*control, WindowController::normalSegment, height);
            out.closeButton = areaOf(*window->standardWindowButton(NSWindow::ButtonType::closeButton), height);
            out.miniaturizeButton = areaOf(*window->standardWindowButton(NSWindow::ButtonType::miniaturizeButton), height);
            out.about = areaOf(*controller->about.lock()->itemView(), height);
            if (scale != 1) {
                auto scaled = [scale](Area& a) {
                    a = {int(a.x * scale), int(a.y * scale), int(a.width * scale), int(a.height * scale)};
                };
                for (auto& row : out.rows) {
                    for (Area* a : {&row.name, &row.level, &row.gauge, &row.charging}) scaled(*a);
                }
                for (Area* a : {&out.emptyLabel, &out.inFront, &out.normal, &out.closeButton, &out.miniaturizeButton, &out.about})
                    scaled(*a);
                out.height = int(height * scale);
            }
            window->close();
        }
        NSApplication::shared().reset();
        IORegistry::setCurrent(nullptr);
        BluetoothStack::setCurrent(nullptr);
        Settings::forgetKeepInFront();
        Bundle::setMainPath({});
        NSScreen::setMain(nullptr);
        return out;
    }

    /// Starts the program (the built one unless `program` names another) on the display with its
    /// settings under `configHome`, in English and with no session bus unless `environment` says
    /// otherwise.
    void start(const std::string& profile, const std::filesystem::path& configHome,
               const std::map<std::string, std::string>& environment = {},
               const std::vector<std::string>& command = {std::string(QUILLON_BIN_DIR) + "/Quillon"}) {
        app_.reset();
        std::map<std::string, std::string> variables{{"DISPLAY", display_->name()},
                                                     {"QUILLON_WINDOW_BACKEND", "sdl"},
                                                     {"QUILLON_HARDWARE_PROFILE", profile},
                                                     {"XDG_CONFIG_HOME", configHome.string()},
                                                     {"LANGUAGE", "en"},
                                                     {"DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/quillon-e2e-bus"}};
        for (const auto& [name, value] : environment) variables[name] = value;
        app_ = std::make_unique<ApplicationProcess>(command, variables, configHome / "quillon.log");
        log_ = configHome / "quillon.log";
        ASSERT_TRUE(app_->started());
    }

    /// Waits until the window is there with that height and drawn as `settled` wants it (or the
    /// time is up); returns where it is and what it shows.
    std::pair<WindowPlace, Screenshot> settledWindow(int height, const std::function<bool(const Screenshot&)>& settled) {
        auto end = WallClock::now() + std::chrono::seconds(60);  // generous: CI machines may be busy
        WindowPlace place;
        Screenshot shot;
        while (WallClock::now() < end && app_->running()) {
            if (auto found = findWindow(display_->connection(), "Quillon")) {
                place = *found;
                if (place.height == height) {
                    shot = grab(display_->connection(), place);
                    if (shot.width && settled(shot)) break;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return {place, shot};
    }

    /// Waits (a generous while, and while the program started last runs) until the condition
    /// holds; returns whether it did.
    bool eventually(const std::function<bool()>& condition) {
        auto end = WallClock::now() + std::chrono::seconds(60);
        while (WallClock::now() < end && (!app_ || app_->running())) {
            if (condition()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return condition();
    }

    /// Runs xdotool on the display: input as the X server has it from a pointing device (XTest),
    /// so that a window manager sees the button as the program does. Its exit status.
    int xdotool(const std::string& arguments) {
        return std::system(("DISPLAY=" + display_->name() + " xdotool " + arguments).c_str());
    }
    /// Moves the pointer to that point of the screen, once it is there.
    int pointTo(int x, int y) { return xdotool("mousemove --sync " + std::to_string(x) + " " + std::to_string(y)); }
    /// The top-left corner of the program's window on the screen; -1, -1 while it shows none.
    std::pair<int, int> windowCorner() {
        auto found = findWindow(display_->connection(), "Quillon");
        return found ? std::pair{found->x, found->y} : std::pair{-1, -1};
    }

    void clickAt(const WindowPlace& place, const Area& area) {
        click(display_->connection(), place, area.x + area.width / 2, area.y + area.height / 2);
    }

    void save(const Screenshot& shot, const std::string& name) {
        shot.save(std::filesystem::path(QUILLON_E2E_OUTPUT_DIR) / (name + ".png"));
    }

    void closeThroughTheCloseButton(const WindowPlace& place, const Reference& ref) {
        click(display_->connection(), place, ref.closeButton.x + ref.closeButton.width / 2,
              ref.closeButton.y + ref.closeButton.height / 2);
        EXPECT_EQ(app_->waitForExit(60), std::optional<int>(0)) << "the program said:\n" << programOutput();
    }

    std::string programOutput() const {
        std::ifstream file(log_);
        return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    }

    std::unique_ptr<VirtualDisplay> display_;
    std::unique_ptr<ApplicationProcess> app_;
    std::filesystem::path log_;
};

TEST_F(ApplicationWindow, TheDemoHardwareShowsOneRowPerDeviceWithItsLevelAndChargingMark) {
    auto ref = reference(demoProfile);
    ASSERT_EQ(ref.rows.size(), 5u);  // three devices of the registry, two Low Energy peripherals
    TemporaryDirectory config;
    // Language settings that are not UTF-8 are ignored: the texts are English, as with none.
    start(demoProfile, config.path(), {{"LANGUAGE", "de\xff"}, {"LANG", "de_DE.\xff"}});
    int height = int(titleBar) + 96 * 5 + 16;
    auto [place, shot] = settledWindow(height, [&](const Screenshot& s) {
        for (const auto& row : ref.rows) {
            if (difference(s, *ref.image, row.name) > 0.01 || difference(s, *ref.image, row.level) > 0.01) return false;
        }
        return true;
    });
    save(shot, "demo");
    ASSERT_EQ(place.height, height) << "the window has title bar + 96 per row + 16";
    ASSERT_EQ(shot.height, height);
    EXPECT_EQ(place.width, int(MainStoryboard::windowWidth));

    for (std::size_t i = 0; i < ref.rows.size(); ++i) {
        const auto& row = ref.rows[i];
        SCOPED_TRACE("row " + std::to_string(i));
        // Name and level text: drawn, and as the headless window draws them.
        EXPECT_GT(count(shot, row.name, ink), 40);
        EXPECT_GT(count(shot, row.level, [](std::uint32_t p) { return red(p) < 200; }), 30);
        EXPECT_LT(difference(shot, *ref.image, row.name), 0.01);
        EXPECT_LT(difference(shot, *ref.image, row.level), 0.01);
        // The ring: red at 19 % and below, green above.
        int reds = count(shot, row.gauge, gaugeRed), greens = count(shot, row.gauge, gaugeGreen);
        if (row.percent <= 19) {
            EXPECT_GT(reds, 20);
            EXPECT_EQ(greens, 0);
        } else {
            EXPECT_GT(greens, 20);
            EXPECT_EQ(reds, 0);
        }
        // The bolt only where the device charges.
        if (row.charging_) {
            EXPECT_GT(count(shot, row.charging, amber), 15);
        } else {
            EXPECT_EQ(count(shot, row.charging, amber), 0);
        }
    }
    closeThroughTheCloseButton(place, ref);
}

TEST_F(ApplicationWindow, WithoutDevicesTheWindowSaysSo) {
    auto ref = reference(emptyProfile);
    ASSERT_TRUE(ref.rows.empty());
    TemporaryDirectory config;
    start(emptyProfile, config.path());
    int height = int(titleBar + MainStoryboard::initialContentHeight);
    auto [place, shot] =
        settledWindow(height, [&](const Screenshot& s) { return difference(s, *ref.image, ref.emptyLabel) < 0.01; });
    save(shot, "empty");
    ASSERT_EQ(place.height, height);
    EXPECT_GT(count(shot, ref.emptyLabel, [](std::uint32_t p) { return red(p) < 200; }), 100);
    EXPECT_LT(difference(shot, *ref.image, ref.emptyLabel), 0.01);
    Area content{0, int(titleBar), shot.width, shot.height - int(titleBar)};
    EXPECT_EQ(count(shot, content, gaugeGreen) + count(shot, content, gaugeRed), 0);
    closeThroughTheCloseButton(place, ref);
}

TEST_F(ApplicationWindow, InstalledItIsADesktopApplicationWhoseWindowMatchesItsEntry) {
    // Installed as a package installs it: under /usr, below a folder of the test's own, whose
    // name make must not expand.
    TemporaryDirectory staging;
    const auto stage = staging.path() / "stage $HOME x";
    auto installed = installBuild("/usr", stage.string());
    ASSERT_TRUE(installed);
    auto share = stage / "usr/share";
    auto entryPath = share / "applications/org.quillon.Quillon.desktop";
    auto metainfoPath = share / "metainfo/org.quillon.Quillon.metainfo.xml";
    // CMake lists the installed files by their place under the prefix, without DESTDIR; the
    // desktop entry, written by the build's own install code, is listed as they are.
    EXPECT_NE(std::find(installed->begin(), installed->end(), "/usr/share/applications/org.quillon.Quillon.desktop"),
              installed->end());
    for (const auto& file : *installed) EXPECT_EQ(file.rfind("/usr/", 0), 0u) << file;
    EXPECT_EQ(run("desktop-file-validate '" + entryPath.string() + "'"), 0) << "desktop-file-utils installed?";
    EXPECT_EQ(run("appstreamcli validate --no-net '" + metainfoPath.string() + "'"), 0) << "appstream installed?";
    auto entry = DesktopEntry::atPath(entryPath.string());
    ASSERT_TRUE(entry);
    ASSERT_TRUE(entry->exec && entry->icon);
    EXPECT_EQ(*entry->exec, "/usr/bin/quillon");
    EXPECT_TRUE(NSImage::contentsOfFile((share / "icons/hicolor/scalable/apps" / (*entry->icon + ".svg")).string()));
    auto text = [](const std::filesystem::path& path) {
        std::ifstream file(path);
        return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    };
    // The software centre finds the metainfo by the id the review prompt opens: the bundle's identifier.
    auto bundle = Bundle::atPath(stage / "usr/lib/quillon/Quillon.app");
    ASSERT_TRUE(bundle && bundle->bundleIdentifier());
    const std::string id = *bundle->bundleIdentifier();
    EXPECT_NE(text(metainfoPath).find("<id>" + id + "</id>"), std::string::npos);
    EXPECT_NE(text(entryPath).find("\nStartupWMClass=" + id + "\n"), std::string::npos);

    // The installed command finds the bundle's resources: its window shows the texts, and the
    // desktop tells it by the entry's class and shows its icon.
    auto ref = reference(emptyProfile);
    TemporaryDirectory config;
    start(emptyProfile, config.path(), {}, {(stage / "usr/bin/quillon").string()});
    int height = int(titleBar + MainStoryboard::initialContentHeight);
    auto [place, shot] =
        settledWindow(height, [&](const Screenshot& s) { return difference(s, *ref.image, ref.emptyLabel) < 0.01; });
    ASSERT_EQ(place.height, height) << "the program said:\n" << programOutput();
    EXPECT_LT(difference(shot, *ref.image, ref.emptyLabel), 0.01);
    EXPECT_EQ(windowClass(display_->connection(), place.id), std::pair(id, id));
    EXPECT_EQ(windowIconSize(display_->connection(), place.id), std::pair(128L, 128L));
    closeThroughTheCloseButton(place, ref);
    EXPECT_EQ(programOutput().find("unable to find bundle"), std::string::npos);
}

TEST_F(ApplicationWindow, InstalledUnderAFolderWithBlanksAndQuotesItsEntryStartsIt) {
    // A user's folder may hold what a desktop entry's Exec must quote or escape, what make would
    // expand, and a field code.
    TemporaryDirectory home;
    const auto prefix = home.path() / "my \"apps\" $HOME `date` $(error expanded) it's 100%u";
    ASSERT_TRUE(installBuild(prefix.string()));
    const auto entryPath = prefix / "share/applications/org.quillon.Quillon.desktop";
    EXPECT_EQ(run("desktop-file-validate " + quoted(entryPath.string())), 0);
    // GLib loads an entry only when the program its Exec names is there, and starts the words of
    // Exec as the shell would split them, %% as %, the program looked for on the PATH.
    GDesktopAppInfo* info = g_desktop_app_info_new_from_filename(entryPath.c_str());
    ASSERT_TRUE(info) << "GLib cannot load the entry";
    int count = 0;
    char** words = nullptr;
    const bool parsed = g_shell_parse_argv(g_app_info_get_commandline(G_APP_INFO(info)), &count, &words, nullptr);
    g_object_unref(info);
    ASSERT_TRUE(parsed);
    std::vector<std::string> command(words, words + count);
    g_strfreev(words);
    for (auto& word : command) {
        for (auto at = word.find("%%"); at != std::string::npos; at = word.find("%%", at + 1)) word.erase(at, 1);
    }
    ASSERT_EQ(command.back(), (prefix / "bin/quillon").string());
    char* program = g_find_program_in_path(command[0].c_str());
    ASSERT_TRUE(program);
    command[0] = program;
    g_free(program);

    auto ref = reference(emptyProfile);
    TemporaryDirectory config;
    // A sanitizer build's leak check, at the program's end, names places through llvm-symbolizer,
    // which reads the program's path from a line of text that these quotes leave unfinished: it
    // waits for ever. addr2line takes the path as an argument.
    const char* sanitizer = std::getenv("ASAN_OPTIONS");
    const std::string options = std::string(sanitizer ? sanitizer : "") + (sanitizer && *sanitizer ? ":" : "") +
                                "external_symbolizer_path=/usr/bin/addr2line";
    start(emptyProfile, config.path(), {{"ASAN_OPTIONS", options}}, command);
    int height = int(titleBar + MainStoryboard::initialContentHeight);
    auto [place, shot] =
        settledWindow(height, [&](const Screenshot& s) { return difference(s, *ref.image, ref.emptyLabel) < 0.01; });
    ASSERT_EQ(place.height, height) << "the program said:\n" << programOutput();
    closeThroughTheCloseButton(place, ref);
}

// CMake would read a backslash in the prefix or DESTDIR as a folder separator: make install says so
// and makes nothing.
TEST(Build, APrefixOrDestdirHoldingABackslashIsRefusedBeforeAnythingIsMade) {
    TemporaryDirectory home;
    for (const std::string setting : {"PREFIX", "DESTDIR"}) {
        auto done = makeInstall(setting + "=" + quoted((home.path() / "back\\slash").string()));
        EXPECT_NE(done.status, 0) << setting;
        EXPECT_NE(done.output.find(setting + " holds a backslash (\\)"), std::string::npos) << done.output;
        EXPECT_TRUE(std::filesystem::is_empty(home.path())) << setting;
    }
}

// A library's test program built alone (ninja RuduredOro_tests) has the resource bundles that its
// libraries read built before it: ninja lists them among the commands it runs for it.
TEST(Build, ALibrarysTestsBuiltAloneHaveTheirLibrariesBundles) {
    if (!std::filesystem::exists(std::string(QUILLON_BUILD_DIR) + "/build.ninja")) GTEST_SKIP() << "not built by ninja";
    std::FILE* pipe = popen(("ninja -C " + quoted(QUILLON_BUILD_DIR) + " -t commands RuduredOro_tests").c_str(), "r");
    ASSERT_TRUE(pipe);
    std::string commands;
    char chunk[4096];
    for (std::size_t read; (read = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) commands.append(chunk, read);
    ASSERT_EQ(pclose(pipe), 0);
    for (const std::string module : {"RuduredOro", "RarAvi", "ZuzeDiv"}) {
        EXPECT_NE(commands.find("/" + module + "/" + module + "_bundle.stamp"), std::string::npos) << module;
    }
}

TEST_F(ApplicationWindow, KeepInFrontRaisesTheWindowAboveOthersAndIsRememberedAcrossARestart) {
    WindowManager manager(*display_);
    if (!manager.unavailable().empty()) GTEST_SKIP() << manager.unavailable();
    auto ref = reference(emptyProfile);
    TemporaryDirectory config;
    int height = int(titleBar + MainStoryboard::initialContentHeight);
    auto selected = [&](const Area& segment) {
        return [&, segment](const Screenshot& s) { return count(s, segment, accent) > segment.width * segment.height / 3; };
    };
    auto above = [&](const WindowPlace& place) {
        auto state = windowState(*display_, place.id);
        return std::find(state.begin(), state.end(), "_NET_WM_STATE_ABOVE") != state.end();
    };

    start(emptyProfile, config.path());
    auto [place, shot] = settledWindow(height, selected(ref.normal));
    ASSERT_EQ(place.height, height);
    EXPECT_TRUE(selected(ref.normal)(shot)) << "a first launch keeps the window at the normal level";
    EXPECT_FALSE(above(place));
    clickAt(place, ref.inFront);
    auto [after, chosen] = settledWindow(height, selected(ref.inFront));
    save(chosen, "keep-in-front-chosen");
    EXPECT_TRUE(selected(ref.inFront)(chosen));
    EXPECT_TRUE(eventually([&, after = after] { return above(after); })) << "the window manager keeps the window above others";
    closeThroughTheCloseButton(after, ref);

    start(emptyProfile, config.path());
    auto [again, restarted] = settledWindow(height, selected(ref.inFront));
    save(restarted, "keep-in-front-restarted");
    EXPECT_TRUE(selected(ref.inFront)(restarted)) << "the second launch shows the stored choice";
    EXPECT_FALSE(selected(ref.normal)(restarted));
    EXPECT_TRUE(eventually([&, again = again] { return above(again); }));
    clickAt(again, ref.normal);
    EXPECT_TRUE(eventually([&, again = again] { return !above(again); })) << "back at the normal level";
    closeThroughTheCloseButton(again, ref);
}

TEST_F(ApplicationWindow, TheYellowButtonIconifiesTheWindow) {
    WindowManager manager(*display_);
    if (!manager.unavailable().empty()) GTEST_SKIP() << manager.unavailable();
    auto ref = reference(emptyProfile);
    TemporaryDirectory config;
    start(emptyProfile, config.path());
    int height = int(titleBar + MainStoryboard::initialContentHeight);
    WindowPlace place;
    std::tie(place, std::ignore) = settledWindow(height, [](const Screenshot&) { return true; });
    ASSERT_EQ(place.height, height);
    clickAt(place, ref.miniaturizeButton);
    EXPECT_TRUE(eventually([&] {
        auto state = windowState(*display_, place.id);
        return std::find(state.begin(), state.end(), "_NET_WM_STATE_HIDDEN") != state.end();
    })) << "the window manager holds the window iconified";
    requestClose(display_->connection(), place.id);
    EXPECT_EQ(app_->waitForExit(60), std::optional<int>(0)) << "the program said:\n" << programOutput();
}

TEST_F(ApplicationWindow, ATapOnARowMovesNothingAndADragOfTheBackgroundMovesTheWindow) {
    if (std::system("command -v xdotool >/dev/null") != 0) GTEST_SKIP() << "xdotool is not installed";
    WindowManager manager(*display_);
    if (!manager.unavailable().empty()) GTEST_SKIP() << manager.unavailable();
    auto ref = reference(demoProfile);
    ASSERT_FALSE(ref.rows.empty());
    TemporaryDirectory config;
    start(demoProfile, config.path());
    WindowPlace place;
    std::tie(place, std::ignore) = settledWindow(int(titleBar) + 96 * int(ref.rows.size()) + 16, [](const Screenshot&) { return true; });
    ASSERT_GT(place.id, 0u);
    auto where = [&] { return windowCorner(); };
    const auto start = where();

    // A tap on a row, press and release back to back as a touchpad gives them; once the program
    // has handled it (it answers a ping after), the pointer moves on and the window stays.
    const Area& row = ref.rows[0].name;
    ASSERT_EQ(pointTo(start.first + row.x + row.width / 2, start.second + row.y + row.height / 2), 0);
    ASSERT_EQ(xdotool("mousedown 1 mouseup 1"), 0);
    ASSERT_TRUE(pingAnswerTime(display_->connection(), place.id, 60));
    bool stayed = true;
    for (int step = 1; step <= 10 && stayed; ++step) {
        ASSERT_EQ(pointTo(start.first + 200 + 6 * step, start.second + 200 + 4 * step), 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        stayed = where() == start;
    }
    EXPECT_TRUE(stayed) << "the window follows the pointer after a tap";
    if (!stayed) {
        ASSERT_EQ(xdotool("key Escape"), 0);  // the window manager's move ends
    }
    ASSERT_TRUE(eventually([&] { return where() == start; }));

    // A press on the background above the rows, a 40-pixel move and a release: the window moves
    // as far, and stays there once the pointer goes on.
    const int fromX = start.first + 150, fromY = start.second + int(titleBar) + 4;
    ASSERT_EQ(pointTo(fromX, fromY), 0);
    ASSERT_EQ(xdotool("mousedown 1"), 0);
    for (int step = 1; step <= 8; ++step) ASSERT_EQ(pointTo(fromX + 5 * step, fromY + 5 * step), 0);
    // The window manager moves the window on the pointer's moves once it has taken it over.
    bool followed = eventually([&] {
        pointTo(fromX + 39, fromY + 39);
        pointTo(fromX + 40, fromY + 40);
        auto now = where();
        return std::abs(now.first - start.first - 40) <= 2 && std::abs(now.second - start.second - 40) <= 2;
    });
    ASSERT_EQ(xdotool("mouseup 1"), 0);
    EXPECT_TRUE(followed) << "the window is at " << where().first << "," << where().second << ", from " << start.first << ","
                          << start.second;
    ASSERT_EQ(pointTo(fromX + 200, fromY + 300), 0);
    ASSERT_TRUE(pingAnswerTime(display_->connection(), place.id, 60));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    auto moved = where();
    EXPECT_NEAR(moved.first - start.first, 40, 2);
    EXPECT_NEAR(moved.second - start.second, 40, 2);
    requestClose(display_->connection(), place.id);
    EXPECT_EQ(app_->waitForExit(60), std::optional<int>(0)) << "the program said:\n" << programOutput();
}

// Under each window manager, quick drags of a window as tall as the work area: pressed on the
// background, 12 pixels to the right and released at once, some while the window manager is too
// busy to take the move before the release. Each moves the window as far and leaves no move
// running (no one holds the pointer once the window manager has caught up); then a drag of 60, 40
// in steps moves it as far, down too (icewm keeps a window within its work area when asked to move
// it, not when it moves it with the pointer).
TEST_F(ApplicationWindow, UnderEachWindowManagerDragsMoveTheWindowAsFarAndLeaveNoMoveRunning) {
    if (std::system("command -v xdotool >/dev/null") != 0) GTEST_SKIP() << "xdotool is not installed";
    for (const std::string name : {"icewm", "xfwm4", "openbox"}) {
        SCOPED_TRACE(name);
        WindowManager manager(*display_, name);
        if (!manager.unavailable().empty()) GTEST_SKIP() << manager.unavailable();
        TemporaryDirectory config;
        start(config.write("mice.json", miceProfile(halfChargedMice(20))).string(), config.path());
        ASSERT_TRUE(eventually([&] {
            auto found = findWindow(display_->connection(), "Quillon");
            return found && found->height >= workAreaHeight(display_->connection());
        })) << "the window is " << (findWindow(display_->connection(), "Quillon") ? findWindow(display_->connection(), "Quillon")->height : 0)
            << " tall, the work area " << workAreaHeight(display_->connection());
        const auto id = findWindow(display_->connection(), "Quillon")->id;
        auto dragBy = [&](int dx, int dy, int steps, bool busy) {
            const auto from = windowCorner();
            const int x0 = from.first + 150, y0 = from.second + int(titleBar) + 4;
            ASSERT_EQ(pointTo(x0, y0), 0);
            ASSERT_EQ(xdotool("mousedown 1"), 0);
            // A first move short of the threshold goes through once a window manager that takes
            // the press first (to raise the window) has passed it on.
            ASSERT_EQ(pointTo(x0 + 2, y0), 0);
            if (busy) manager.pause();
            for (int step = 1; step <= steps; ++step) ASSERT_EQ(pointTo(x0 + dx * step / steps, y0 + dy * step / steps), 0);
            if (busy) {
                ASSERT_TRUE(manager.moveAskedFor(id)) << "the move was not handed to the window manager";
            }
            ASSERT_EQ(xdotool("mouseup 1"), 0);
            if (busy) manager.resume();
            const std::pair to{from.first + dx, from.second + dy};
            EXPECT_TRUE(eventually([&] { return windowCorner() == to; }))
                << "the window is at " << windowCorner().first << "," << windowCorner().second << ", from " << from.first << ","
                << from.second;
            ASSERT_TRUE(manager.settled());
            ASSERT_TRUE(eventually([&] { return !pointerHeld(display_->connection()); })) << "a move is left running";
            EXPECT_EQ(windowCorner(), to);
            ASSERT_EQ(pointTo(to.first + 5, to.second + 5), 0);  // off the next press's place
        };
        for (int drag = 0; drag < 6 && !HasFatalFailure(); ++drag) dragBy(12, 0, 1, drag % 2 == 1);
        if (!HasFatalFailure()) dragBy(60, 40, 6, false);
        if (HasFatalFailure()) return;
        requestClose(display_->connection(), id);
        EXPECT_EQ(app_->waitForExit(60), std::optional<int>(0)) << "the program said:\n" << programOutput();
    }
}

TEST_F(ApplicationWindow, WithoutAWindowManagerOrAfterItEndedADragOfTheTitleBarOrTheBackgroundMovesTheWindow) {
    if (std::system("command -v xdotool >/dev/null") != 0) GTEST_SKIP() << "xdotool is not installed";
    auto ref = reference(demoProfile);
    TemporaryDirectory config;
    start(demoProfile, config.path());
    WindowPlace place;
    std::tie(place, std::ignore) = settledWindow(int(titleBar) + 96 * int(ref.rows.size()) + 16, [](const Screenshot&) { return true; });
    ASSERT_GT(place.id, 0u);
    // Nobody takes the move: the window follows the pointer itself, pressed on the title bar and
    // on the background above the rows.
    auto dragBoth = [&] {
        for (int y : {10, int(titleBar) + 4}) {
            const auto from = windowCorner();
            const int x0 = from.first + 150, y0 = from.second + y;
            ASSERT_EQ(pointTo(x0, y0), 0);
            ASSERT_EQ(xdotool("mousedown 1"), 0);
            for (int step = 1; step <= 6; ++step) ASSERT_EQ(pointTo(x0 + 10 * step, y0 + 40 * step / 6), 0);
            ASSERT_EQ(xdotool("mouseup 1"), 0);
            const std::pair to{from.first + 60, from.second + 40};
            EXPECT_TRUE(eventually([&] { return windowCorner() == to; }))
                << "pressed " << y << " pixels from the top, the window is at " << windowCorner().first << ","
                << windowCorner().second << ", from " << from.first << "," << from.second;
        }
    };
    dragBoth();
    // A window manager that framed the window and then crashed leaves its frame's extents on it
    // (_NET_FRAME_EXTENTS): the window has no frame any more and drags as before.
    {
        WindowManager manager(*display_);
        if (!manager.unavailable().empty()) GTEST_SKIP() << manager.unavailable();
        ASSERT_TRUE(eventually([&] { return frameExtents(display_->connection(), place.id).has_value(); }))
            << "the window manager did not frame the window";
        manager.kill();
    }
    dragBoth();
    requestClose(display_->connection(), place.id);
    EXPECT_EQ(app_->waitForExit(60), std::optional<int>(0)) << "the program said:\n" << programOutput();
}

TEST_F(ApplicationWindow, TheWindowFollowsTheDesktopsColourSchemeWhileRunning) {
    PrivateSessionBus session;
    if (!session.unavailable().empty()) GTEST_SKIP() << session.unavailable();
    const std::string portal = "org.freedesktop.portal.Desktop", path = "/org/freedesktop/portal/desktop",
                      settings = "org.freedesktop.portal.Settings";
    session.startObjectMock(portal, path, settings);
    session.addMethod(portal, path, settings, "ReadOne", "ss", "v",
                      "if args[1] != 'color-scheme':\n"
                      "    raise dbus.exceptions.DBusException('no such key', name='org.freedesktop.portal.Error.NotFound')\n"
                      "ret = dbus.UInt32(2)\n");
    auto ref = reference(demoProfile);
    TemporaryDirectory config;
    start(demoProfile, config.path(), {{"DBUS_SESSION_BUS_ADDRESS", session.address()}});
    int height = int(titleBar) + 96 * int(ref.rows.size()) + 16;

    // The background above the rows, and the gauges' greens: (0, 156, 0) light, (16, 172, 16) dark.
    Area background{4, int(titleBar) + 2, 8, 4};
    auto near = [](std::uint32_t p, int r, int g, int b) {
        return std::abs(red(p) - r) <= 6 && std::abs(green(p) - g) <= 6 && std::abs(blue(p) - b) <= 6;
    };
    auto looks = [&](bool dark) {
        return [&, dark](const Screenshot& s) {
            int lightGreens = 0, darkGreens = 0;
            for (const auto& row : ref.rows) {
                lightGreens += count(s, row.gauge, [&](std::uint32_t p) { return near(p, 0, 156, 0); });
                darkGreens += count(s, row.gauge, [&](std::uint32_t p) { return near(p, 16, 172, 16); });
            }
            bool darkBackground = count(s, background, [](std::uint32_t p) { return green(p) < 90; }) == background.width * background.height;
            bool lightBackground = count(s, background, [](std::uint32_t p) { return green(p) > 200; }) == background.width * background.height;
            return dark ? darkBackground && darkGreens > 100 && lightGreens == 0 : lightBackground && lightGreens > 100 && darkGreens == 0;
        };
    };
    auto [place, light] = settledWindow(height, looks(false));
    save(light, "scheme-light");
    ASSERT_TRUE(looks(false)(light)) << "the portal prefers light";

    session.proxy(portal, path)
        ->callMethod("EmitSignal")
        .onInterface("org.freedesktop.DBus.Mock")
        .withArguments(settings, std::string("SettingChanged"), std::string("ssv"),
                       std::vector<sdbus::Variant>{sdbus::Variant(std::string("org.freedesktop.appearance")),
                                                   sdbus::Variant(std::string("color-scheme")), sdbus::Variant(std::uint32_t(1))});
    auto [same, dark] = settledWindow(height, looks(true));
    save(dark, "scheme-dark");
    EXPECT_TRUE(looks(true)(dark)) << "the desktop switched to dark while the application ran";
    closeThroughTheCloseButton(same, ref);
}

TEST_F(ApplicationWindow, AboutFromTheToolbarAndTheMenuAndHelpOpensTheContactPage) {
    // A stand-in for the desktop's URL opener that writes down what it is asked to open.
    TemporaryDirectory opener;
    auto script = opener.write("xdg-open", "#!/bin/sh\necho \"$1\" >> \"" + (opener.path() / "opened").string() + "\"\n");
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    auto ref = reference(emptyProfile);
    TemporaryDirectory config;
    start(emptyProfile, config.path(), {{"PATH", opener.path().string() + ":" + std::getenv("PATH")}});
    int height = int(titleBar + MainStoryboard::initialContentHeight);
    auto [place, shot] = settledWindow(height, [](const Screenshot&) { return true; });
    ASSERT_EQ(place.height, height);
    auto windows = [&] { return windowsOf(display_->connection(), app_->pid()).size(); };
    ASSERT_EQ(windows(), 1u);

    // The title bar's menu button (22 by 18 points, 8 from the right edge), and the menu's rows
    // of 22 points under the title bar, inside 5 points of padding: About, then Help.
    Area menuButton{place.width - 30, int(NSWindow::titleBarHeight - 18) / 2, 22, 18};
    auto menuRow = [&, place = place](int index) { return Area{place.width - 120, int(NSWindow::titleBarHeight) + 5 + 22 * index, 80, 22}; };

    auto closeAbout = [&, place = place] {
        for (const auto& window : windowsOf(display_->connection(), app_->pid())) {
            if (window.id != place.id) requestClose(display_->connection(), window.id);
        }
        return eventually([&] { return windows() == 1u; });
    };

    clickAt(place, ref.about);
    ASSERT_TRUE(eventually([&] { return windows() == 2u; })) << "the toolbar's About button shows the About window";
    ASSERT_TRUE(closeAbout());
    clickAt(place, menuButton);
    clickAt(place, menuRow(0));
    EXPECT_TRUE(eventually([&] { return windows() == 2u; })) << "the menu's About item shows it too";
    ASSERT_TRUE(closeAbout());

    // Escape closes the menu: the rows under the title bar show the list again.
    auto under = [&, place = place] { return crop(grab(display_->connection(), place), menuRow(0).x, menuRow(0).y, 80, 44).pixels; };
    auto closed = under();
    clickAt(place, menuButton);
    ASSERT_TRUE(eventually([&] { return under() != closed; })) << "the menu opens";
    pressKey(display_->connection(), place, "Escape");
    EXPECT_TRUE(eventually([&] { return under() == closed; })) << "Escape closes the menu";

    clickAt(place, menuButton);
    clickAt(place, menuRow(1));
    auto opened = [&] {
        std::ifstream file(opener.path() / "opened");
        return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    };
    EXPECT_TRUE(eventually([&] { return !opened().empty(); })) << "Help opens a page";
    EXPECT_EQ(opened(), ZuzeDiv::Support::contactPageAddress + "\n");
    closeThroughTheCloseButton(place, ref);
}

TEST_F(ApplicationWindow, OnASmallScreenTheWindowFitsItAndTheListScrollsToItsLastRow) {
    display_ = std::make_unique<VirtualDisplay>(1024, 600);
    if (!display_->unavailable().empty()) GTEST_SKIP() << display_->unavailable();
    auto ref = reference(tenDevices, 1, CGSize{1024, 600}, NSEvent::KeyCode::end);
    ASSERT_EQ(ref.rows.size(), 10u);
    ASSERT_EQ(ref.height, 600) << "ten rows are taller than the screen";
    TemporaryDirectory config;
    start(tenDevices, config.path());
    WindowPlace place;
    Screenshot shot;
    std::tie(place, shot) = settledWindow(600, [](const Screenshot&) { return true; });
    ASSERT_EQ(place.height, 600) << "the window is as tall as the screen";
    const Row& last = ref.rows.back();
    bool shown = eventually([&] {
        pressKey(display_->connection(), place, "End");
        shot = grab(display_->connection(), place);
        return difference(shot, *ref.image, last.name) < 0.01 && difference(shot, *ref.image, last.gauge) < 0.01;
    });
    save(shot, "small-screen-end");
    EXPECT_TRUE(shown) << "End brings the last row into view";
    EXPECT_GT(count(shot, last.name, ink), 40);
    closeThroughTheCloseButton(place, ref);
}

TEST_F(ApplicationWindow, TwoHundredDevicesOpenAWindowAndTheLoopRestsBetweenTicks) {
    TemporaryDirectory config;
    auto profile = config.write("many.json", miceProfile(halfChargedMice(200)));
    start(profile.string(), config.path());
    auto [place, shot] = settledWindow(1400, [](const Screenshot& s) { return count(s, {0, 100, s.width, 200}, gaugeGreen) > 100; });
    save(shot, "two-hundred");
    ASSERT_EQ(place.height, 1400) << "as tall as the screen, the rows scrolling inside";

    // The main thread's own wake-ups over a second or so: a tick, the reload, a few events. A loop
    // that polls wakes about a thousand times a second.
    auto switches = [&] {
        std::ifstream status("/proc/" + std::to_string(app_->pid()) + "/status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0) return std::stol(line.substr(line.find(':') + 1));
        }
        return 0L;
    };
    long before = switches();
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_LT(switches() - before, 300) << "the main loop sleeps between its ticks";
    requestClose(display_->connection(), place.id);
    EXPECT_EQ(app_->waitForExit(60), std::optional<int>(0)) << "the program said:\n" << programOutput();
}

// Buses whose daemons take connections and never answer, there before the program starts (a
// desktop whose buses hang): the window maps within half a second of the time it takes without
// buses, the main loop answers the window system every 100 ms throughout, and the program ends
// when the window is closed.
TEST_F(ApplicationWindow, BusesThatNeverAnswerHoldUpNeitherTheWindowNorItsLoop) {
    PrivateSessionBus session;
    PrivateSystemBus system;
    if (!session.unavailable().empty()) GTEST_SKIP() << session.unavailable();
    TemporaryDirectory config;
    // The machine's own hardware, BlueZ included; the window and the seconds it took to map.
    auto started = [&](const std::map<std::string, std::string>& buses) {
        const auto began = WallClock::now();
        start("", config.path(), buses);
        std::optional<WindowPlace> place;
        while (!(place = findWindow(display_->connection(), "Quillon")) && app_->running() &&
               WallClock::now() - began < std::chrono::seconds(60)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return std::pair{place, std::chrono::duration<double>(WallClock::now() - began).count()};
    };
    const auto [alone, withoutBuses] = started({{"DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/quillon-e2e-bus"}});
    ASSERT_TRUE(alone);
    session.pause();
    system.pause();
    const auto [place, withSilentBuses] = started({{"DBUS_SESSION_BUS_ADDRESS", session.address()},
                                                   {"DBUS_SYSTEM_BUS_ADDRESS", system.address()}});
    ASSERT_TRUE(place) << "the window never mapped";
    EXPECT_LT(withSilentBuses, withoutBuses + 0.5);
    double longest = 0;
    for (int i = 0; i < 30; ++i) {
        auto answered = pingAnswerTime(display_->connection(), place->id, 10);
        ASSERT_TRUE(answered) << "the main loop stopped turning";
        longest = std::max(longest, *answered);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_LT(longest, 0.5);
    requestClose(display_->connection(), place->id);
    EXPECT_EQ(app_->waitForExit(60), std::optional<int>(0)) << "the program said:\n" << programOutput();
    session.resume();
    system.resume();
}

// At rest, without buses (one's socket awaited in a folder that is missing, the other's in one that
// exists) and on a desktop with both, BlueZ on the system one with an adapter, the process wakes
// about once a second for its tick, all its threads together: no thread looks at a bus on a timer.
TEST_F(ApplicationWindow, AtRestWithOrWithoutTheDesktopsBusesTheProgramWakesAboutOnceASecond) {
    PrivateSystemBus system;
    PrivateSessionBus session;
    if (!system.unavailable().empty()) GTEST_SKIP() << system.unavailable();
    BluezMock bluez(system);
    bluez.addAdapter();
    TemporaryDirectory config;
    const std::map<std::string, std::map<std::string, std::string>> desktops{
        {"without buses",
         {{"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + (config.path() / "session-bus").string()},
          {"DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/quillon-e2e-bus"}}},
        {"with both buses", {{"DBUS_SESSION_BUS_ADDRESS", session.address()}, {"DBUS_SYSTEM_BUS_ADDRESS", system.address()}}}};
    for (const auto& [desktop, buses] : desktops) {
        start("", config.path(), buses);
        ASSERT_TRUE(eventually([&] { return findWindow(display_->connection(), "Quillon").has_value(); }));
        std::this_thread::sleep_for(std::chrono::seconds(3));  // BlueZ read, the list settled, idle threads ended
        EXPECT_LE(wakeUps(app_->pid(), std::chrono::seconds(10)), 12) << "wake-ups in ten seconds at rest " << desktop;
        app_.reset();
    }
}

// Quit with SIGTERM while another connection floods the system bus with BlueZ's property changes,
// each read on the bus's thread: the program ends cleanly every time, whatever that thread held.
TEST_F(ApplicationWindow, QuitWhileTheSystemBusFloodsItWithSignalsEndsCleanlyEveryTime) {
    PrivateSystemBus system;
    if (!system.unavailable().empty()) GTEST_SKIP() << system.unavailable();
    BluezMock bluez(system);
    const auto adapter = bluez.addAdapter();
    // Stopped and joined however the test ends.
    std::jthread flood([&](std::stop_token stop) {
        auto connection = sdbus::createSessionBusConnectionWithAddress(system.address());
        auto object = sdbus::createObject(*connection, adapter);
        const std::map<std::string, sdbus::Variant> changes{{"Powered", sdbus::Variant(true)},
                                                            {"Alias", sdbus::Variant(std::string("Quillon Host"))},
                                                            {"Class", sdbus::Variant(std::uint32_t(0x10c))}};
        while (!stop.stop_requested()) {
            object->emitSignal("PropertiesChanged")
                .onInterface("org.freedesktop.DBus.Properties")
                .withArguments(std::string("org.bluez.Adapter1"), changes, std::vector<std::string>{});
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    TemporaryDirectory config;
    std::vector<std::string> ends;
    for (int quit = 0; quit < 50; ++quit) {
        start("", config.path(), {{"DBUS_SYSTEM_BUS_ADDRESS", system.address()}});
        ASSERT_TRUE(eventually([&] { return findWindow(display_->connection(), "Quillon").has_value(); }));
        std::this_thread::sleep_for(std::chrono::milliseconds(20 * (quit % 10)));
        ::kill(app_->pid(), SIGTERM);
        auto status = app_->waitForExit(60);
        if (status != std::optional<int>(0)) ends.push_back(status ? std::to_string(*status) : "still running");
    }
    flood.request_stop();
    flood.join();
    EXPECT_TRUE(ends.empty()) << ends.size() << " of 50 quits ended otherwise, the last with " << ends.back()
                              << "; it said:\n" << programOutput();
}

// At rest on a desktop without buses, the process makes no thread: waiting to join them again
// takes none. strace, which starts the program, notes each thread made and when.
TEST_F(ApplicationWindow, AtRestWithoutBusesTheProgramMakesNoThreads) {
    if (std::system("command -v strace >/dev/null") != 0) GTEST_SKIP() << "strace is not installed";
    TemporaryDirectory config;
    const auto clones = config.path() / "clones";
    const auto traced = config.write("traced", "#!/bin/sh\nexec strace -f -qq -ttt -e trace=clone,clone3 -o '" +
                                                   clones.string() + "' '" + QUILLON_BIN_DIR + "/Quillon'\n");
    std::filesystem::permissions(traced, std::filesystem::perms::owner_exec, std::filesystem::perm_options::add);
    start("", config.path(), {{"DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/quillon-e2e-bus"}}, {traced.string()});
    ASSERT_TRUE(eventually([&] { return findWindow(display_->connection(), "Quillon").has_value(); }));
    std::this_thread::sleep_for(std::chrono::seconds(3));  // the list settled, the buses tried
    auto now = [] { return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count(); };
    const double begin = now();
    std::this_thread::sleep_for(std::chrono::seconds(15));
    const double end = now();

    // The program quits as it would; strace ends with it. (How it ends is not looked at: the leak
    // checker of a sanitizer build cannot work under strace.)
    std::ifstream children("/proc/" + std::to_string(app_->pid()) + "/task/" + std::to_string(app_->pid()) + "/children");
    pid_t program = 0;
    ASSERT_TRUE(children >> program) << "strace started no program";
    ::kill(program, SIGTERM);
    app_->waitForExit(60);
    std::ifstream trace(clones);
    int made = 0;
    for (std::string line; std::getline(trace, line);) {
        std::istringstream fields(line);
        pid_t thread = 0;
        double at = 0;
        if (fields >> thread >> at && at >= begin && at <= end && line.find("clone") != std::string::npos) ++made;
    }
    EXPECT_EQ(made, 0) << "threads made in 15 seconds at rest";
}

TEST_F(ApplicationWindow, ADisplayThatCannotBeOpenedOrGoesAwayEndsTheProgramWithAMessage) {
    int number = 97;
    while (std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(number))) ++number;
    std::string missing = ":" + std::to_string(number);
    TemporaryDirectory config;
    start(demoProfile, config.path(), {{"DISPLAY", missing}});
    auto status = app_->waitForExit(60);
    ASSERT_TRUE(status) << "the program runs on without a window";
    EXPECT_NE(*status, 0);
    EXPECT_NE(programOutput().find("No window can be opened on the display " + missing + " (DISPLAY)"), std::string::npos) << programOutput();

    // Where a compositor's socket would be: a socket that takes the connection and stays silent,
    // one that answers with what no compositor sends, and paths that are no sockets.
    TemporaryDirectory runtime;
    auto listening = [&](const std::string& name) {
        int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", (runtime.path() / name).c_str());
        EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        listen(fd, 4);
        return fd;
    };
    int silent = listening("silent"), talking = listening("talking"), answered = -1;
    runtime.write("file", "");
    std::filesystem::create_directory(runtime.path() / "folder");
    mkfifo((runtime.path() / "fifo").c_str(), 0600);
    for (std::string name : {"silent", "talking", "file", "folder", "fifo"}) {
        SCOPED_TRACE(name);
        start(demoProfile, config.path(), {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", name}, {"XDG_RUNTIME_DIR", runtime.path().string()}});
        pollfd knocked{talking, POLLIN, 0};
        if (name == "talking" && poll(&knocked, 1, 30'000) == 1 && (answered = accept(talking, nullptr, nullptr)) >= 0) {
            EXPECT_GT(write(answered, "HTTP/1.1 400 Bad Request\r\n\r\n", 28), 0);
        }
        status = app_->waitForExit(60);
        ASSERT_TRUE(status) << "the program waits on";
        EXPECT_EQ(*status, 1);
        auto said = programOutput();
        EXPECT_NE(said.find("No window can be opened on the display " + name + " (WAYLAND_DISPLAY): "), std::string::npos) << said;
        if (name.starts_with("f")) {
            EXPECT_NE(said.find("is not a socket"), std::string::npos) << said;
        }
    }
    for (int fd : {silent, talking, answered}) close(fd);

    // A compositor that goes away once the window is drawn.
    auto weston = std::make_unique<WestonCompositor>(*display_, 1);
    if (!weston->unavailable().empty()) GTEST_SKIP() << weston->unavailable();
    auto environment = weston->clientEnvironment();
    auto socket = environment.at("WAYLAND_DISPLAY");
    start(demoProfile, config.path(), environment);
    ASSERT_TRUE(eventually([&] {
        auto output = weston->screenshot();
        return count(output, {0, 0, output.width, output.height}, gaugeGreen) > 100;
    })) << programOutput();
    weston.reset();
    status = app_->waitForExit(60);
    ASSERT_TRUE(status) << "the program runs on without its compositor";
    EXPECT_EQ(*status, 1);
    EXPECT_NE(programOutput().find("The display " + socket + " (WAYLAND_DISPLAY) was lost"), std::string::npos) << programOutput();
}

TEST_F(ApplicationWindow, OnWaylandTheRowsAreDrawnWholeAtTheCompositorsScale) {
    // Three devices of the registry and a stylus that loses a percent a second, and the compositor
    // places the window where it fits.
    TemporaryDirectory config;
    auto profile = config.write("four.json", miceProfile({{"Glide Trackpad", 57}, {"Orbit Mouse", 15}, {"Quiet Keyboard", 82}},
                                                         R"({"state": "poweredOn", "peripherals": [
        {"identifier": "6F1A2B3C-0000-4000-8000-00000000C001", "name": "Zeta Stylus", "connected": true, "connectDelay": 0.1,
         "levelChange": {"every": 1, "by": -1}, "services": {"180F": {"2A19": [64]}}}]})"))
                       .string();
    display_ = std::make_unique<VirtualDisplay>(2000, 1800);  // room for the output's window at twice the scale
    if (!display_->unavailable().empty()) GTEST_SKIP() << display_->unavailable();
    for (int scale : {1, 2}) {
        SCOPED_TRACE("scale " + std::to_string(scale));
        WestonCompositor weston(*display_, scale);
        if (!weston.unavailable().empty()) GTEST_SKIP() << weston.unavailable();
        auto ref = reference(profile, scale);
        ASSERT_EQ(ref.rows.size(), 4u);
        const Row& stylus = ref.rows.back();
        start(profile, config.path(), weston.clientEnvironment());
        Screenshot output, window;
        std::optional<std::pair<int, int>> place;
        // Every row is there; those of the registry as in the reference, the stylus's by its name.
        auto rowsDrawn = [&] {
            output = weston.screenshot();
            place = locate(output, *ref.image, ref.closeButton, int(NSWindow::titleBarHeight) * scale);
            if (!place) return false;
            window = crop(output, place->first, place->second, int(ref.image->width()), ref.height);
            for (const auto& row : ref.rows) {
                for (const Area* a : {&row.name, &row.level, &row.gauge}) {
                    if ((&row != &stylus || a == &row.name) && difference(window, *ref.image, *a) > 0.01) return false;
                }
            }
            return true;
        };
        bool drawn = eventually(rowsDrawn);
        save(output, "wayland-at-" + std::to_string(scale));
        ASSERT_TRUE(drawn) << "the program said:\n" << programOutput();
        // The window ends where the picture does: the desktop (the output's commonest colour)
        // shows right under it and beside it.
        auto [x, y] = *place;
        int below = y + ref.height, beside = x + int(ref.image->width());
        std::map<std::uint32_t, int> colours;
        for (int i = 0; i < int(output.pixels.size()); i += 97) ++colours[output.pixels[std::size_t(i)]];
        std::uint32_t desktop = std::max_element(colours.begin(), colours.end(), [](const auto& a, const auto& b) {
                                    return a.second < b.second;
                                })->first;
        if (below < output.height) {
            EXPECT_EQ(output.at(x + 10, below), desktop);
        }
        if (beside < output.width) {
            EXPECT_EQ(output.at(beside, y + 10), desktop);
        }
        // Each tick draws the stylus's level anew, often into another buffer than the one the
        // compositor still reads; the rest of the window comes along whole.
        auto levelShown = crop(window, stylus.level.x, stylus.level.y, stylus.level.width, stylus.level.height).pixels;
        int changes = 0;
        bool whole = eventually([&] {
            if (!rowsDrawn()) return false;
            auto now = crop(window, stylus.level.x, stylus.level.y, stylus.level.width, stylus.level.height).pixels;
            if (now != levelShown) ++changes;
            levelShown = now;
            return changes >= 3;
        });
        save(output, "wayland-at-" + std::to_string(scale) + "-later");
        EXPECT_TRUE(whole) << "the stylus's level changed " << changes << " times";
        app_.reset();
    }
}

// A laptop's screen beside a larger one: the window takes the size of the output weston opens it
// on (the one under the pointer, here the second): on the smaller one no taller than it, on the
// larger one as tall as that one lets it be, within it from the title bar to the bottom edge.
TEST_F(ApplicationWindow, OnWaylandTheWindowTakesTheSizeOfTheOutputItOpensOn) {
    display_ = std::make_unique<VirtualDisplay>(1700, 1000);  // room for both outputs' windows
    if (!display_->unavailable().empty()) GTEST_SKIP() << display_->unavailable();
    const std::pair<int, int> large{1000, 900}, small{600, 500};
    for (const auto& [first, second] : {std::pair{large, small}, std::pair{small, large}}) {
        SCOPED_TRACE("opened on the output of " + std::to_string(second.first) + " by " + std::to_string(second.second));
        WestonCompositor weston(*display_, 1, {first, second});
        if (!weston.unavailable().empty()) GTEST_SKIP() << weston.unavailable();
        int height = reference(tenDevices, 1, CGSize{CGFloat(second.first), CGFloat(second.second)}).height;
        TemporaryDirectory config;
        start(tenDevices, config.path(), weston.clientEnvironment());
        std::optional<WindowPlace> place;
        bool sized = eventually([&] {
            place = weston.windowPlace("Quillon");
            return place && place->height == height;
        });
        ASSERT_TRUE(place) << programOutput();
        EXPECT_TRUE(sized) << "the window is " << place->height << " units tall, not " << height;
        // Weston lays the second output out right of the first.
        EXPECT_GE(place->x, first.first);
        EXPECT_GE(place->y, 0) << "the title bar is on the output";
        EXPECT_LE(place->y + place->height, second.second) << "the bottom edge is on the output";
        app_.reset();
    }
}

// Opened on the larger of two outputs, where it is taller than the smaller lets it be, the window
// is seen once, where it stays: never first at another height or place, to vanish then. Watched
// as the X server has the outputs' pixels (weston shows them in windows of its own), about every
// millisecond, over a few openings (the window it would show first lasts one of weston's frames).
TEST_F(ApplicationWindow, OnWaylandTheWindowOpenedOnTheLargerOutputIsSeenOnlyWhereItStays) {
    display_ = std::make_unique<VirtualDisplay>(1700, 1000, true);
    if (!display_->unavailable().empty()) GTEST_SKIP() << display_->unavailable();
    WestonCompositor weston(*display_, 1, {{600, 500}, {1000, 900}});
    if (!weston.unavailable().empty()) GTEST_SKIP() << weston.unavailable();
    int height = reference(tenDevices, 1, CGSize{1000, 900}).height;
    // The larger output but its right edge, where weston's pointer rests; its desktop is bare.
    ScreenWatch watch(*display_, WindowPlace{0, 600, 0, 960, 900}, 0x202020);
    ASSERT_EQ(watch.unavailable(), "");
    for (int opening = 1; opening <= 4; ++opening) {
        SCOPED_TRACE("opening " + std::to_string(opening));
        ASSERT_TRUE(eventually([&] { return watch.now().width == 0; })) << "the desktop is bare";
        watch.take();
        TemporaryDirectory config;
        start(tenDevices, config.path(), weston.clientEnvironment());
        std::optional<WindowPlace> place;
        auto within = [&](const WindowPlace& seen) {
            return seen.x >= place->x && seen.y >= place->y && seen.x + seen.width <= place->x + place->width &&
                   seen.y + seen.height <= place->y + place->height;
        };
        ASSERT_TRUE(eventually([&] {
            place = weston.windowPlace("Quillon");
            return place && place->height == height;
        })) << programOutput();
        // Drawn whole where it stays: as far down as it reaches.
        ASSERT_TRUE(eventually([&] {
            auto now = watch.now();
            return now.width > 0 && within(now) && now.y + now.height == place->y + place->height;
        }));
        for (const auto& seen : watch.take()) {
            EXPECT_TRUE(within(seen)) << seen.width << " by " << seen.height << " at " << seen.x << ", " << seen.y << " seen, the window is "
                                      << place->width << " by " << place->height << " at " << place->x << ", " << place->y;
        }
        app_.reset();
    }
}

// Started with two devices, the window grows to the output's height as twelve Low Energy
// peripherals connect: shown anew for weston to place it for its new height, it stays within the
// output (weston places a window at random where it fits, and keeps its top edge as it grows).
TEST_F(ApplicationWindow, OnWaylandAWindowThatGrowsPastTheHeightItWasPlacedWithStaysWithinItsOutput) {
    display_ = std::make_unique<VirtualDisplay>(1100, 1000);
    if (!display_->unavailable().empty()) GTEST_SKIP() << display_->unavailable();
    WestonCompositor weston(*display_, 1);
    if (!weston.unavailable().empty()) GTEST_SKIP() << weston.unavailable();
    std::string peripherals;
    for (int i = 1; i <= 12; ++i) {
        char identifier[40];
        std::snprintf(identifier, sizeof identifier, "6F1A2B3C-0000-4000-8000-%012d", i);
        peripherals += std::string(i > 1 ? "," : "") + R"({"identifier": ")" + identifier + R"(", "name": "Pen )" + std::to_string(i) +
                       R"(", "connected": true, "connectDelay": 1.5, "services": {"180F": {"2A19": [60]}}})";
    }
    TemporaryDirectory config;
    auto profile = config.write("growing.json", miceProfile(halfChargedMice(2), R"({"state": "poweredOn", "peripherals": [)" +
                                                                                     peripherals + "]}"))
                       .string();
    int height = reference(profile, 1, CGSize{1000, 900}).height;
    start(profile, config.path(), weston.clientEnvironment());
    std::optional<WindowPlace> place;
    ASSERT_TRUE(eventually([&] {
        place = weston.windowPlace("Quillon");
        return place && place->height == height;
    })) << programOutput();
    EXPECT_GE(place->y, 0) << "the title bar is on the output";
    EXPECT_LE(place->y + place->height, 900) << "the bottom edge is on the output";
}

// Dragged by its title bar from the laptop's screen across the edge onto the larger one beside it
// and back, the window fits the smaller one all the way: the output it leaves no longer sizes it.
// (Weston follows the X pointer's moves, not its place: pushed into the smaller output's top-left
// corner first, the two agree.)
TEST_F(ApplicationWindow, OnWaylandTheWindowDraggedAcrossTheEdgeOfALargerOutputAndBackFitsTheOutputsItIsOn) {
    if (std::system("command -v xdotool >/dev/null") != 0) GTEST_SKIP() << "xdotool is not installed";
    display_ = std::make_unique<VirtualDisplay>(1700, 1000);
    if (!display_->unavailable().empty()) GTEST_SKIP() << display_->unavailable();
    WestonCompositor weston(*display_, 1, {{1000, 900}, {600, 500}});
    if (!weston.unavailable().empty()) GTEST_SKIP() << weston.unavailable();
    TemporaryDirectory config;
    start(tenDevices, config.path(), weston.clientEnvironment());
    std::optional<WindowPlace> place;
    auto fits = [&](auto where) {
        return eventually([&] {
            place = weston.windowPlace("Quillon");
            return place && where(place->x) && place->height == 500;
        });
    };
    ASSERT_TRUE(fits([](int left) { return left >= 1000; })) << programOutput();
    auto xdotool = [&](const std::string& arguments) {
        return std::system(("DISPLAY=" + display_->name() + " xdotool " + arguments).c_str());
    };
    auto pointTo = [&](int x, int y) { return xdotool("mousemove --sync " + std::to_string(x) + " " + std::to_string(y)); };
    ASSERT_EQ(pointTo(1000, 0), 0);
    // The title bar's middle, dragged 300 units left in steps, and back from where it is then.
    int x = place->x + place->width / 2, y = place->y + int(NSWindow::titleBarHeight) / 2;
    ASSERT_EQ(pointTo(x, y), 0);
    auto drag = [&](int by) {
        if (xdotool("mousedown 1") != 0) return false;
        for (int step = 1; step <= 10; ++step) {
            if (pointTo(x + by * step / 10, y) != 0) return false;
        }
        x += by;
        return xdotool("mouseup 1") == 0;
    };
    ASSERT_TRUE(drag(-300));
    EXPECT_TRUE(fits([](int left) { return left < 1000; })) << "across the edge the window is " << place->height << " units tall at x " << place->x;
    ASSERT_TRUE(drag(300));
    EXPECT_TRUE(fits([](int left) { return left >= 1000; })) << "back on the smaller output the window is " << place->height
                                                       << " units tall at x " << place->x;
}

TEST_F(ApplicationWindow, OnWaylandTheWindowTakesTheMemoryAndThreadsItTakesOnX11) {
    // Thirty devices, a window as tall as the screen on both; on Wayland no OpenGL library at all.
    TemporaryDirectory config;
    auto profile = config.write("thirty.json", miceProfile(halfChargedMice(30))).string();
    start(profile, config.path());
    auto [place, shot] = settledWindow(1400, [](const Screenshot& s) { return count(s, {0, 100, s.width, 200}, gaugeGreen) > 100; });
    ASSERT_EQ(place.height, 1400) << programOutput();
    Footprint x11 = footprint(app_->pid());
    app_.reset();

    WestonCompositor weston(*display_, 1);
    if (!weston.unavailable().empty()) GTEST_SKIP() << weston.unavailable();
    start(profile, config.path(), weston.clientEnvironment());
    ASSERT_TRUE(eventually([&] {
        auto output = weston.screenshot();
        return count(output, {0, 100, output.width, 200}, gaugeGreen) > 100;
    })) << programOutput();
    Footprint wayland = footprint(app_->pid());
    EXPECT_EQ(wayland.openGLMappings, 0) << "no OpenGL library is loaded";
    EXPECT_LE(wayland.threads, 1.3 * x11.threads) << "no renderer's threads";
    EXPECT_LE(double(wayland.residentKiB), 1.3 * double(x11.residentKiB))
        << "on Wayland " << wayland.residentKiB << " KiB, on X11 " << x11.residentKiB << " KiB";
    // At rest the process wakes for its ticks, not to look at the compositor's socket.
    EXPECT_LT(wakeUps(app_->pid(), std::chrono::seconds(5)), 25);
}

// Through the compositor as a user works it: the X server's test extension moves weston's pointer
// over the list and turns the wheel a notch, which scrolls the list as the platform scrolls it for
// a notch, and clicks the close button, which ends the program. (Weston follows the X pointer's
// moves, not its place: pushed into the output's top-left corner first, the two agree.)
TEST_F(ApplicationWindow, OnWaylandTheWheelScrollsTheListAndTheCloseButtonEndsTheProgram) {
    if (std::system("command -v xdotool >/dev/null") != 0) GTEST_SKIP() << "xdotool is not installed";
    WestonCompositor weston(*display_, 1);
    if (!weston.unavailable().empty()) GTEST_SKIP() << weston.unavailable();
    const CGSize output{1000, 900};
    auto ref = reference(tenDevices, 1, output);
    auto scrolled = reference(tenDevices, 1, output, std::nullopt, 1);
    TemporaryDirectory config;
    start(tenDevices, config.path(), weston.clientEnvironment());
    Screenshot shot;
    std::optional<std::pair<int, int>> place;
    // The rows on the output, three at least, look as in the reference.
    auto shows = [&](const Reference& expected) {
        shot = weston.screenshot();
        place = locate(shot, *expected.image, expected.closeButton, int(NSWindow::titleBarHeight));
        if (!place) return false;
        auto window = crop(shot, place->first, place->second, int(expected.image->width()), expected.height);
        int rows = 0;
        for (const auto& row : expected.rows) {
            if (row.name.height == 0 || place->second + row.name.y + row.name.height > shot.height) continue;
            if (difference(window, *expected.image, row.name) > 0.01) return false;
            ++rows;
        }
        return rows >= 3;
    };
    ASSERT_TRUE(eventually([&] { return shows(ref); })) << programOutput();
    auto xdotool = [&](const std::string& arguments) {
        return std::system(("DISPLAY=" + display_->name() + " xdotool " + arguments).c_str());
    };
    auto pointTo = [&](int x, int y) {
        return xdotool("mousemove --sync " + std::to_string(x) + " " + std::to_string(y));
    };
    ASSERT_EQ(pointTo(int(output.width) - 1, int(output.height) - 1), 0);
    ASSERT_EQ(pointTo(0, 0), 0);
    // Beside the rows' names, so that the pointer's picture leaves them alone.
    ASSERT_EQ(pointTo(place->first + int(ref.image->width()) - 10, place->second + ref.height / 2), 0);
    ASSERT_EQ(xdotool("click 5"), 0);
    bool scrolledANotch = eventually([&] { return shows(scrolled); });
    save(shot, "wayland-wheel");
    EXPECT_TRUE(scrolledANotch) << "the program said:\n" << programOutput();
    // The title bar's menu button (8 points from the right edge) opens the menu, and Escape closes it.
    int width = int(ref.image->width());
    auto underMenu = [&] {
        return crop(weston.screenshot(), place->first + width - 120, place->second + int(NSWindow::titleBarHeight) + 5, 80, 44).pixels;
    };
    // The window as it stays, two pictures alike in a row.
    auto closed = underMenu();
    ASSERT_TRUE(eventually([&] {
        auto now = underMenu();
        bool same = now == closed;
        closed = std::move(now);
        return same;
    }));
    ASSERT_EQ(pointTo(place->first + width - 19, place->second + int(NSWindow::titleBarHeight) / 2), 0);
    ASSERT_EQ(xdotool("click 1"), 0);
    ASSERT_TRUE(eventually([&] { return underMenu() != closed; })) << "the menu opens";
    // The window has had the keyboard since weston mapped it, and the click gave it again: one
    // press closes the menu.
    ASSERT_EQ(xdotool("key Escape"), 0);
    EXPECT_TRUE(eventually([&] { return underMenu() == closed; })) << "Escape closes the menu";
    const Area& close = ref.closeButton;
    ASSERT_EQ(pointTo(place->first + close.x + close.width / 2, place->second + close.y + close.height / 2), 0);
    ASSERT_EQ(xdotool("click 1"), 0);
    EXPECT_EQ(app_->waitForExit(60), std::optional<int>(0)) << "the program said:\n" << programOutput();
}

TEST_F(ApplicationWindow, OnADesktopAtTwiceTheResolutionTheWindowIsDrawnAtIt) {
    // The desktop's scale as X11 desktops set it: Xft.dpi at twice 96.
    if (std::system("command -v xrdb >/dev/null") != 0) GTEST_SKIP() << "xrdb is not installed";
    ASSERT_EQ(std::system(("echo 'Xft.dpi: 192' | DISPLAY=" + display_->name() + " xrdb -merge").c_str()), 0);
    auto ref = reference(demoProfile, 2);
    ASSERT_EQ(ref.rows.size(), 5u);
    TemporaryDirectory config;
    start(demoProfile, config.path());
    int height = 2 * (int(titleBar) + 96 * 5 + 16);
    auto matches = [&](const Screenshot& s) {
        for (const auto& row : ref.rows) {
            for (const Area& a : {row.name, row.level, row.gauge}) {
                if (difference(s, *ref.image, a) > 0.01) return false;
            }
        }
        return true;
    };
    auto [place, shot] = settledWindow(height, matches);
    save(shot, "demo-at-twice");
    ASSERT_EQ(place.height, height) << "twice as many pixels as points";
    EXPECT_EQ(place.width, 2 * int(MainStoryboard::windowWidth));
    // Texts and rings as drawn at two pixels a point, not a smaller drawing scaled up.
    for (std::size_t i = 0; i < ref.rows.size(); ++i) {
        SCOPED_TRACE("row " + std::to_string(i));
        EXPECT_LT(difference(shot, *ref.image, ref.rows[i].name), 0.01);
        EXPECT_LT(difference(shot, *ref.image, ref.rows[i].level), 0.01);
        EXPECT_LT(difference(shot, *ref.image, ref.rows[i].gauge), 0.01);
    }
    closeThroughTheCloseButton(place, ref);
}
