// The application's once-a-second work with ten devices of a hardware profile: the refresh tick
// without drawing (finders, merge and sort, the list view's update and table reload), set beside
// reading the ten devices' sysfs files raw, and the same tick with the window laid out and drawn.
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
#include "IOKit/HardwareProfile.hpp"
#include "IOKit/IORegistry.hpp"
#include "Quillon/MainStoryboard.hpp"
#include "Quillon/ViewController.hpp"

namespace {

const std::string profile = std::string(QUILLON_FIXTURES_DIR) + "/profiles/ten-devices.json";

std::filesystem::path scratch(const std::string& name) {
    std::random_device random;
    auto path = std::filesystem::temp_directory_path() / ("quillon-bench-" + name + "-" + std::to_string(random()));
    std::filesystem::create_directories(path);
    return path;
}

/// The application's window on the ten-device profile, headless, on a virtual clock, with settings
/// in a folder of its own. Shown, the main loop draws it after each tick as it does on screen; not
/// shown, the tick does everything but drawing.
class TenDeviceWindow {
public:
    explicit TenDeviceWindow(bool shown) {
        Clock::setCurrent(clock_);
        UserDefaults::setDirectory(defaults_);
        Bundle::setMainPath(QUILLON_APP_DIR);
        IORegistry::setCurrent(std::make_shared<IORegistry>(std::make_shared<HardwareProfileProvider>(std::filesystem::path(profile))));
        BluetoothStack::setCurrent(SimulatedBluetoothStack::fromProfile(profile));
        controller_ = Quillon::MainStoryboard::makeWindowController();
        window_ = controller_->window();
        list_ = std::dynamic_pointer_cast<Quillon::ViewController>(window_->contentViewController());
        if (shown) controller_->showWindow(nullptr);
        tick();
    }
    ~TenDeviceWindow() {
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
    /// loop's drawing of it.
    [[gnu::noinline]] void tick() {
        list_->controller->refreshAsync();
        RunLoop::main().runUntilIdle();
    }
    std::size_t rows() const { return list_->batteries.size(); }
    NSWindow& window() { return *window_; }

private:
    std::shared_ptr<VirtualClock> clock_ = std::make_shared<VirtualClock>();
    std::filesystem::path defaults_ = scratch("defaults");
    std::shared_ptr<Quillon::WindowController> controller_;
    std::shared_ptr<NSWindow> window_;
    std::shared_ptr<Quillon::ViewController> list_;
};

void BM_RefreshTick(benchmark::State& state) {
    TenDeviceWindow app(false);
    if (app.rows() != 10) state.SkipWithError("the profile did not give ten devices");
    for (auto _ : state) app.tick();
    state.counters["rows"] = double(app.rows());
}
BENCHMARK(BM_RefreshTick)->Unit(benchmark::kMicrosecond);

// Only the controller's part: both finders, the merge and the sort.
void BM_ControllerRefresh(benchmark::State& state) {
    TenDeviceWindow app(false);
    auto controller = std::make_shared<Quillon::BatteryController>();
    for (auto _ : state) {
        controller->refresh();
        benchmark::DoNotOptimize(controller->batteries.data());
    }
}
BENCHMARK(BM_ControllerRefresh)->Unit(benchmark::kMicrosecond);

// The kernel's side for the same ten devices: their capacity, status and model_name files read
// raw, as a reader of sysfs must at least do once a second.
void BM_ReadTenDevicesSysfsFilesRaw(benchmark::State& state) {
    auto root = scratch("sysfs");
    std::vector<std::string> files;
    for (int i = 0; i < 10; ++i) {
        auto supply = root / ("hid-a0:b1:c2:d3:e4:0" + std::to_string(i) + "-battery");
        std::filesystem::create_directories(supply);
        std::ofstream(supply / "capacity") << 10 * i + 5 << "\n";
        std::ofstream(supply / "status") << (i % 3 ? "Discharging" : "Charging") << "\n";
        std::ofstream(supply / "model_name") << "Device " << i << "\n";
        for (const char* name : {"capacity", "status", "model_name"}) files.push_back((supply / name).string());
    }
    char buffer[256];
    for (auto _ : state) {
        std::size_t total = 0;
        for (const auto& file : files) {
            int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0) continue;
            ssize_t got = ::read(fd, buffer, sizeof buffer);
            ::close(fd);
            if (got > 0) total += std::size_t(got);
        }
        benchmark::DoNotOptimize(total);
    }
    std::filesystem::remove_all(root);
}
BENCHMARK(BM_ReadTenDevicesSysfsFilesRaw)->Unit(benchmark::kMicrosecond);

// The tick with the window on screen (headless): laid out and drawn, ten rows at scale 1, by the
// loop's pass after the reload.
void BM_RefreshTickDrawn(benchmark::State& state) {
    TenDeviceWindow app(true);
    if (app.window().backingScaleFactor() != 1.0) state.SkipWithError("the window is not drawn at scale 1");
    for (auto _ : state) app.tick();
    state.counters["rows"] = double(app.rows());
}
BENCHMARK(BM_RefreshTickDrawn)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
