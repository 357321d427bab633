// The application's once-a-second work. On a sysfs tree of n peripherals read through the sysfs
// provider (as on a real machine): the refresh tick without drawing (finders, merge and sort, the
// list view's update and table reload), with and without the table, set beside the floor a tick
// cannot go below (the supplies listed and their changing attributes read again through
// descriptors held open) and beside the provider's own search, and the tick with the window on
// screen (headless) when nothing changed and when one level changed. Then what drawing costs: the
// whole window against the one row whose level changed. The trees are made under one folder of
// the run in the temporary folder, removed however the run ends.
#include <benchmark/benchmark.h>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <system_error>

#include "AppKit/NSApplication.hpp"
#include "AppKit/NSScreen.hpp"
#include "AppKit/NSWindow.hpp"
#include "CoreBluetooth/BluetoothStack.hpp"
#include "CoreBluetooth/SimulatedBluetoothStack.hpp"
#include "Foundation/Bundle.hpp"
#include "Foundation/Clock.hpp"
#include "Foundation/backends/FileDescriptor.hpp"
#include "Foundation/RunLoop.hpp"
#include "Foundation/UserDefaults.hpp"
#include "IOKit/IORegistry.hpp"
#include "IOKit/backends/SysfsRegistryProvider.hpp"
#include "Quillon/BatteryCells.hpp"
#include "Quillon/MainStoryboard.hpp"
#include "Quillon/ViewController.hpp"

namespace {

const std::string emptyProfile = std::string(QUILLON_FIXTURES_DIR) + "/profiles/empty.json";

/// The folder of this run, under which each benchmark makes its trees and settings.
std::filesystem::path& runFolder() {
    static std::filesystem::path folder;
    return folder;
}

std::filesystem::path scratch(const std::string& name) {
    std::random_device random;
    auto path = runFolder() / (name + "-" + std::to_string(random()));
    std::filesystem::create_directories(path);
    return path;
}

/// Makes the run's folder, and a helper process that removes it when this process ends, however
/// it ends: stopped by a signal, aborted, or on an exception no one caught.
void makeRunFolder() {
    std::string folder = (std::filesystem::temp_directory_path() / "quillon-bench-XXXXXX").string();
    if (!::mkdtemp(folder.data())) throw std::system_error(errno, std::generic_category(), "no folder for the benchmarks");
    runFolder() = folder;
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) return;
    if (::fork() == 0) {
        // The terminal's interrupt reaches the whole group: the helper waits for the run to end.
        for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) std::signal(signal, SIG_IGN);
        ::close(ends[1]);
        char byte;
        while (::read(ends[0], &byte, 1) < 0 && errno == EINTR) {
        }
        std::error_code error;
        std::filesystem::remove_all(folder, error);
        ::_exit(0);
    }
    ::close(ends[0]);  // the other end stays open until this process ends
}

/// A mouse's report descriptor: one application collection of the Generic Desktop page holding a
/// pointer with three buttons, a wheel and relative x and y.
const std::string mouseDescriptor{
    "\x05\x01\x09\x02\xa1\x01\x09\x01\xa1\x00\x05\x09\x19\x01\x29\x03\x15\x00\x25\x01\x95\x03\x75\x01"
    "\x81\x02\x95\x01\x75\x05\x81\x01\x05\x01\x09\x30\x09\x31\x09\x38\x15\x81\x25\x7f\x75\x08\x95\x03"
    "\x81\x06\xc0\xc0",
    52};

/// A sysfs tree of n Bluetooth peripherals' batteries laid out as the kernel lays them out: each
/// HID device under devices/ with its uevent and report descriptor, its battery's folder under
/// it, linked from class/power_supply, and the battery's `device` link back to the HID device.
class SysfsTree {
public:
    explicit SysfsTree(int count) {
        namespace fs = std::filesystem;
        fs::create_directories(root_ / "class/power_supply");
        for (int i = 0; i < count; ++i) {
            char address[24], hid[32];
            std::snprintf(address, sizeof address, "a0:b1:c2:d3:%02x:%02x", i / 256, i % 256);
            std::snprintf(hid, sizeof hid, "0005:046D:B0%02d.%04X", 10 + i % 90, i + 1);
            std::string name = "hid-" + std::string(address) + "-battery";
            auto device = fs::path("devices/virtual/misc/uhid") / hid;
            auto supply = device / "power_supply" / name;
            fs::create_directories(root_ / supply);
            fs::create_directory_symlink(fs::path("../..") / supply, root_ / "class/power_supply" / name);
            fs::create_directory_symlink(fs::path("../../..") / hid, root_ / supply / "device");
            write(device / "uevent", "DRIVER=hid-generic\nHID_ID=0005:0000046D:0000B0" + std::to_string(10 + i % 90) +
                                         "\nHID_NAME=Device " + std::to_string(i) + "\nHID_PHYS=00:1a:7d:da:71:13\nHID_UNIQ=" +
                                         address + "\nMODALIAS=hid:b0005g0001v0000046Dp0000B0" + std::to_string(10 + i % 90));
            write(device / "report_descriptor", mouseDescriptor, false);
            write(supply / "uevent", "POWER_SUPPLY_NAME=" + name + "\nPOWER_SUPPLY_TYPE=Battery");
            write(supply / "type", "Battery");
            write(supply / "scope", "Device");
            write(supply / "present", "1");
            write(supply / "online", "1");
            write(supply / "capacity", std::to_string(10 + i % 90));
            write(supply / "status", i % 3 ? "Discharging" : "Charging");
            write(supply / "model_name", "Device " + std::to_string(i));
            capacities_.push_back(root_ / supply / "capacity");
        }
    }
    ~SysfsTree() { std::filesystem::remove_all(root_); }

    const std::filesystem::path& root() const { return root_; }
    void setCapacity(std::size_t device, int percent) { std::ofstream(capacities_[device]) << percent << "\n"; }

private:
    void write(const std::filesystem::path& file, const std::string& text, bool line = true) {
        std::ofstream(root_ / file, std::ios::binary) << text << (line ? "\n" : "");
    }

    std::filesystem::path root_ = scratch("sysfs");
    std::vector<std::filesystem::path> capacities_;
};

/// The application's window on a sysfs tree, headless on a screen of 1920 by 1080 points (so that
/// a long list scrolls, as on a desktop), on a virtual clock, with settings in a folder of its
/// own. Shown, the main loop draws it after each tick as it does on screen; not shown, the tick
/// does everything but drawing.
class DeviceWindow {
public:
    DeviceWindow(const SysfsTree& tree, bool shown) {
        Clock::setCurrent(clock_);
        NSScreen::setMain(std::make_shared<NSScreen>(CGRect{0, 0, 1920, 1080}));
        UserDefaults::setDirectory(defaults_);
        Bundle::setMainPath(QUILLON_APP_DIR);
        IORegistry::setCurrent(std::make_shared<IORegistry>(std::make_shared<SysfsRegistryProvider>(tree.root())));
        BluetoothStack::setCurrent(SimulatedBluetoothStack::fromProfile(emptyProfile));
        controller_ = Quillon::MainStoryboard::makeWindowController();
        window_ = controller_->window();
        list_ = std::dynamic_pointer_cast<Quillon::ViewController>(window_->contentViewController());
        if (shown) controller_->showWindow(nullptr);
        tick();
        // Laid out as on screen, shown or not: the list has the rows in view that a user sees.
        window_->layoutIfNeeded();
    }
    ~DeviceWindow() {
        window_->close();
        RunLoop::main().runUntilIdle();
        RunLoop::main().invalidateAllTimers();
        NSApplication::shared().reset();
        IORegistry::setCurrent(nullptr);
        BluetoothStack::setCurrent(nullptr);
        Bundle::setMainPath({});
        Clock::setCurrent(nullptr);
        NSScreen::setMain(nullptr);
        // The settings are written on a thread of their own: the folder goes once they are.
        UserDefaults::synchronizeAll(std::chrono::seconds(5));
        std::error_code error;
        std::filesystem::remove_all(defaults_, error);
    }

    /// What the timer does once a second, the reload it posts and, for a window on screen, the
    /// loop's drawing of what changed.
    [[gnu::noinline]] void tick() {
        list_->controller->refreshAsync();
        RunLoop::main().runUntilIdle();
    }
    std::size_t rows() const { return list_->batteries.size(); }
    NSWindow& window() { return *window_; }
    Quillon::ViewController& list() { return *list_; }

private:
    std::shared_ptr<VirtualClock> clock_ = std::make_shared<VirtualClock>();
    std::filesystem::path defaults_ = scratch("defaults");
    std::shared_ptr<Quillon::WindowController> controller_;
    std::shared_ptr<NSWindow> window_;
    std::shared_ptr<Quillon::ViewController> list_;
};

void checkRows(benchmark::State& state, const DeviceWindow& app) {
    if (app.rows() != std::size_t(state.range(0))) state.SkipWithError("the tree did not give a row per device");
    state.counters["rows"] = double(app.rows());
}

// The tick without drawing: every file read through the provider, the finders, the list's update
// and the table's reload. Without devices, what a tick costs whatever the devices.
void BM_SysfsTick(benchmark::State& state) {
    SysfsTree tree(int(state.range(0)));
    DeviceWindow app(tree, false);
    for (auto _ : state) app.tick();
    checkRows(state, app);
}
BENCHMARK(BM_SysfsTick)->Arg(0)->Arg(10)->Arg(50)->Arg(200)->Unit(benchmark::kMicrosecond);

// The same tick with the list's table taken away: what the tick costs besides the table's reload,
// to set beside the floor.
void BM_SysfsTickWithoutTable(benchmark::State& state) {
    SysfsTree tree(int(state.range(0)));
    DeviceWindow app(tree, false);
    app.list().tableView.reset();
    for (auto _ : state) app.tick();
    checkRows(state, app);
}
BENCHMARK(BM_SysfsTickWithoutTable)->Arg(10)->Arg(50)->Arg(200)->Unit(benchmark::kMicrosecond);

// The list's part of the tick alone: its update with the devices of the last refresh and the
// table's reload that it posts.
void BM_ListUpdateAndReload(benchmark::State& state) {
    SysfsTree tree(int(state.range(0)));
    DeviceWindow app(tree, false);
    for (auto _ : state) {
        app.list().update();
        RunLoop::main().runUntilIdle();
    }
    checkRows(state, app);
}
BENCHMARK(BM_ListUpdateAndReload)->Arg(10)->Arg(50)->Arg(200)->Unit(benchmark::kMicrosecond);

// The floor no tick can go below: list the power supplies, then read each one's level (its
// capacity, else its coarse capacity_level) and status again through descriptors held open from
// a first read, with one pread system call each.
void BM_SysfsTickFloor(benchmark::State& state) {
    SysfsTree tree(int(state.range(0)));
    auto folder = tree.root() / "class/power_supply";
    struct Held {
        FileDescriptor level, status;
    };
    std::map<std::string, Held, std::less<>> held;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        auto open = [&](const char* file) { return FileDescriptor(::open((entry.path() / file).c_str(), O_RDONLY | O_CLOEXEC)); };
        Held files{open("capacity"), open("status")};
        if (files.level.get() < 0) files.level = open("capacity_level");
        held.emplace(entry.path().filename().string(), std::move(files));
    }
    char buffer[64];
    auto read = [&](const FileDescriptor& file) { return std::max<ssize_t>(::pread(file.get(), buffer, sizeof buffer, 0), 0); };
    std::size_t supplies = 0;
    for (auto _ : state) {
        std::size_t total = 0;
        supplies = 0;
        DIR* list = ::opendir(folder.c_str());
        while (auto* entry = list ? ::readdir(list) : nullptr) {
            auto found = held.find(std::string_view(entry->d_name));
            if (found == held.end()) continue;
            total += std::size_t(read(found->second.level) + read(found->second.status));
            ++supplies;
        }
        if (list) ::closedir(list);
        benchmark::DoNotOptimize(total);
    }
    if (supplies != std::size_t(state.range(0))) state.SkipWithError("the tree did not list a supply per device");
    state.counters["rows"] = double(supplies);
}
BENCHMARK(BM_SysfsTickFloor)->Arg(0)->Arg(10)->Arg(50)->Arg(200)->Unit(benchmark::kMicrosecond);

// The provider's part of the tick: one search for the peripherals' batteries, to set beside the floor.
void BM_SysfsSearch(benchmark::State& state) {
    SysfsTree tree(int(state.range(0)));
    SysfsRegistryProvider provider(tree.root());
    std::size_t rows = 0;
    for (auto _ : state) rows = provider.matchingEntries(SysfsRegistryProvider::hidEventServiceClass).size();
    state.counters["rows"] = double(rows);
}
BENCHMARK(BM_SysfsSearch)->Arg(10)->Arg(50)->Arg(200)->Unit(benchmark::kMicrosecond);

// The tick with the window on screen when no level changed: nothing is drawn.
void BM_SysfsTickShownAtRest(benchmark::State& state) {
    SysfsTree tree(int(state.range(0)));
    DeviceWindow app(tree, true);
    for (auto _ : state) app.tick();
    checkRows(state, app);
}
BENCHMARK(BM_SysfsTickShownAtRest)->Arg(10)->Arg(50)->Arg(200)->Unit(benchmark::kMicrosecond);

// The tick with the window on screen when one device's level changed: its row is drawn again.
void BM_SysfsTickShownOneLevelChanged(benchmark::State& state) {
    SysfsTree tree(int(state.range(0)));
    DeviceWindow app(tree, true);
    int level = 0;
    for (auto _ : state) {
        state.PauseTiming();
        tree.setCapacity(0, 40 + (++level % 2));
        state.ResumeTiming();
        app.tick();
    }
    checkRows(state, app);
}
BENCHMARK(BM_SysfsTickShownOneLevelChanged)->Arg(10)->Arg(50)->Arg(200)->Unit(benchmark::kMicrosecond);

// Drawing alone, on the five rows of the demo window: the whole window, and what one changed
// level draws again (its gauge and its text).
void BM_DrawWholeWindow(benchmark::State& state) {
    SysfsTree tree(int(state.range(0)));
    DeviceWindow app(tree, true);
    for (auto _ : state) app.window().display();
    checkRows(state, app);
}
BENCHMARK(BM_DrawWholeWindow)->Arg(5)->Unit(benchmark::kMicrosecond);

void BM_DrawOneChangedLevel(benchmark::State& state) {
    SysfsTree tree(int(state.range(0)));
    DeviceWindow app(tree, true);
    auto cell = std::dynamic_pointer_cast<Quillon::SingleBatteryCell>(app.list().tableView.lock()->view(0, 0));
    auto gauge = cell ? cell->value.lock() : nullptr;
    auto text = cell ? cell->level.lock() : nullptr;
    if (!gauge || !text) state.SkipWithError("no first row");
    int level = 0;
    for (auto _ : state) {
        if (!gauge || !text) break;
        ++level;
        gauge->setValue(CGFloat(40 + level % 2) / 100);
        text->setStringValue("Level: " + std::to_string(40 + level % 2) + "%");
        app.window().displayIfNeeded();
    }
    checkRows(state, app);
}
BENCHMARK(BM_DrawOneChangedLevel)->Arg(5)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    makeRunFolder();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(runFolder());
    return 0;
}
