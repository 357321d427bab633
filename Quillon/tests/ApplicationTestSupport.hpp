#pragma once
// A fixture that builds the main window from the application's storyboard on fake finders, with
// the application's own bundle as the main bundle, headless and on virtual time.
#include <array>
#include <cmath>

#include "AppKit/NSApplication.hpp"
#include "AppKit/NSWorkspace.hpp"
#include "Fakes.hpp"
#include "Foundation/Bundle.hpp"
#include "Quillon/MainStoryboard.hpp"
#include "Quillon/Settings.hpp"
#include "Quillon/ViewController.hpp"
#include "StoreKit/SKStoreReviewController.hpp"
#include "Testing/TestEnvironment.hpp"

class ApplicationTest : public VirtualTimeTest {
protected:
    void SetUp() override {
        VirtualTimeTest::SetUp();
        NSApplication::shared().reset();
        Bundle::setMainPath(QUILLON_APP_DIR);
        Quillon::Settings::forgetKeepInFront();
        SKStoreReviewController::setResponder(nullptr);
    }
    void TearDown() override {
        NSApplication::shared().reset();
        NSApplication::shared().setSystemAppearance(nullptr);
        NSWorkspace::shared().setURLOpener(nullptr);
        Quillon::Settings::forgetKeepInFront();
        windowController.reset();
        delegate.reset();
        VirtualTimeTest::TearDown();
        Bundle::setMainPath({});
    }

    /// What the launch does: the delegate, the window scene, the window shown, the delegate told.
    void launch() {
        delegate = Quillon::MainStoryboard::makeApplicationDelegate();
        NSApplication::shared().setDelegate(delegate);
        auto controller = std::make_shared<Quillon::BatteryController>(finder, lowEnergy);
        windowController = Quillon::MainStoryboard::makeWindowController(controller);
        windowController->showWindow(nullptr);
        delegate->applicationDidFinishLaunching(Notification{NSApplicationDidFinishLaunchingNotification, nullptr, {}});
    }

    std::shared_ptr<NSWindow> window() { return windowController->window(); }
    Quillon::ViewController& list() {
        return *std::dynamic_pointer_cast<Quillon::ViewController>(window()->contentViewController());
    }
    NSTableView& table() { return *list().tableView.lock(); }
    /// Title bar and toolbar band.
    CGFloat titleBar() { return window()->frame().height() - window()->contentRect(window()->frame()).height(); }

    std::shared_ptr<FakeFinder> finder = std::make_shared<FakeFinder>();
    std::shared_ptr<FakeLowEnergyFinder> lowEnergy = std::make_shared<FakeLowEnergyFinder>();
    std::shared_ptr<Quillon::WindowController> windowController;
    std::shared_ptr<Quillon::AppDelegate> delegate;
};

/// A colour as 8-bit components.
inline std::array<int, 3> components(const std::shared_ptr<NSColor>& color) {
    auto c = color->cgColor();
    return {int(std::lround(c.red * 255)), int(std::lround(c.green * 255)), int(std::lround(c.blue * 255))};
}
