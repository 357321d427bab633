// The application's once-a-second work. On a sysfs tree of n peripherals read through the sysfs
// provider (as on a real machine): the refresh tick without drawing (finders, merge and sort, the
// list view's update and table reload) set beside reading the same files raw, and the tick with
// the window on screen (headless) when nothing changed and when one level changed. Then what
// drawing costs: the whole window against the one row whose level changed.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>

#include "AppKit/NSApplication.hpp"
#include "AppKit/NSWindow.hpp"
#include "CoreBluetooth/BluetoothStack.hpp"
#include "CoreBluetooth/SimulatedBluetoothStack.hpp"
#include "Foundation/Bundle.hpp"
#include "Foundation/Clock.hpp"
#include "Foundation/RunLoop.hpp"
#include "Foundation/UserDefaults.hpp"
#include "IOKit/IORegistry.hpp"
#include "IOKit/backends/SysfsRegistryProvider.hpp"
#include "Quillon/BatteryCells.hpp"
#include "Quillon/MainStoryboard.hpp"
#include "Quillon/ViewController.hpp"

namespace {

const std::string emptyProfile = std::string(QUILLON_FIXTURES_DIR) + "/profiles/empty.json";

std::filesystem::path scratch(const std::string& name) {
    std::random_device random;
    auto path = std::filesystem::temp_directory_path() / ("quillon-bench-" + name + "-" + std::to_string(random()));
    std::filesystem::create_directories(path);
    return path;
}

/// A sysfs tree of n Bluetooth peripherals' batteries, as the kernel shows them.
class SysfsTree {
public:
    explicit SysfsTree(int count) {
        for (int i = 0; i < count; ++i) {
            char address[24];
            std::snprintf(address, sizeof address, "a0:b1:c2:d3:%02x:%02x", i / 256, i % 256);
            auto supply = root_ / "class/power_supply" / ("hid-" + std::string(address) + "-battery");
            std::filesystem::create_directories(supply / "device");
            write(supply / "scope", "Device");
            write(supply / "type", "Battery");
            write(supply / "capacity", std::to_string(10 + i % 90));
            write(supply / "status", i % 3 ? "Discharging" : "Charging");
            write(supply / "model_name", "Device " + std::to_string(i));
            write(supply / "device/uevent", "HID_ID=0005:0000046D:0000B0" + std::to_string(10 + i % 90) +
                                                "\nHID_NAME=Device " + std::to_string(i) + "\nHID_UNIQ=" + address + "\n");
            capacities_.push_back(supply / "capacity");
        }
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root_)) {
            if (entry.is_regular_file()) files_.push_back(entry.path().string());
        }
    }
    ~SysfsTree() { std::filesystem::remove_all(root_); }

    const std::filesystem::path& root() const { return root_; }
    /// Every file of the tree.
    const std::vector<std::string>& files() const { return files_; }
    void setCapacity(std::size_t device, int percent) { write(capacities_[device], std::to_string(percent)); }

private:
    static void write(const std::filesystem::path& path, const std::string& text) { std::ofstream(path) << text << "\n"; }

    std::filesystem::path root_ = scratch("sysfs");
    std::vector<std::filesystem::path> capacities_;
    std::vector<std::string> files_;
};

/// The application's window on a sysfs tree, headless, on a virtual clock, with settings in a
/// folder of its own. Shown, the main loop draws it after each tick as it does on screen; not
/// shown, the tick does everything but drawing.
class DeviceWindow {
public:
    DeviceWindow(const SysfsTree& tree, bool shown) {
        Clock::setCurrent(clock_);
        UserDefaults::setDirectory(defaults_);
        Bundle::setMainPath(QUILLON_APP_DIR);
        IORegistry::setCurrent(std::make_shared<IORegistry>(std::make_shared<SysfsRegistryProvider>(tree.root())));
        BluetoothStack::setCurrent(SimulatedBluetoothStack::fromProfile(emptyProfile));
        controller_ = Quillon::MainStoryboard::makeWindowController();
        window_ = controller_->window();
        list_ = std::dynamic_pointer_cast<Quillon::ViewController>(window_->contentViewController());
        if (shown) controller_->showWindow(nullptr);
        tick();
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
        std::filesystem::remove_all(defaults_);
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
// and the table's reload.
void BM_SysfsTick(benchmark::State& state) {
    SysfsTree tree(int(state.range(0)));
    DeviceWindow app(tree, false);
    for (auto _ : state) app.tick();
    checkRows(state, app);
}
BENCHMARK(BM_SysfsTick)->Arg(10)->Arg(50)->Arg(200)->Unit(benchmark::kMicrosecond);

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

// The kernel's side for the same devices: every file of the tree read raw, as a reader of sysfs
// must at least do once a second.
void BM_SysfsFilesReadRaw(benchmark::State& state) {
    SysfsTree tree(int(state.range(0)));
    char buffer[4096];
    for (auto _ : state) {
        std::size_t total = 0;
        for (const auto& file : tree.files()) {
            int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0) continue;
            ssize_t got = ::read(fd, buffer, sizeof buffer);
            ::close(fd);
            if (got > 0) total += std::size_t(got);
        }
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_SysfsFilesReadRaw)->Arg(10)->Arg(50)->Arg(200)->Unit(benchmark::kMicrosecond);

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

BENCHMARK_MAIN();
