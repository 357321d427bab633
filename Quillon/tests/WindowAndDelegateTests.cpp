#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "AppKit/backends/HeadlessWindowBackend.hpp"
#include "AppKit/NSMenu.hpp"
#include "AppKit/NSSegmentedControl.hpp"
#include "AppKit/NSToolbar.hpp"
#include "AppKit/NSWindow.hpp"
#include "ApplicationTestSupport.hpp"
#include "Foundation/UserDefaults.hpp"
#include "IOKit/HardwareProfile.hpp"
#include "IOKit/IORegistry.hpp"
#include "CoreBluetooth/BluetoothStack.hpp"
#include "CoreBluetooth/SimulatedBluetoothStack.hpp"
#include "Quillon/WindowController.hpp"
#include "ZuzeDiv/Support.hpp"

using namespace Quillon;

namespace {
// Clicks the middle of a segment as a person would.
void clickSegment(NSWindow& window, NSSegmentedControl& control, int segment) {
    CGRect rect = control.rectForSegment(segment);
    CGPoint point = control.convertToView(CGPoint{rect.midX(), rect.midY()}, nullptr);
    HeadlessWindowBackend::click(window, point);
}
}  // namespace

class WindowAndDelegateTest : public ApplicationTest {};

TEST_F(WindowAndDelegateTest, KeepInFrontFollowsTheStoredSettingAndEveryChangeFlipsIt) {
    UserDefaults::standard().set(true, Settings::keepInFrontKey);
    launch();
    auto control = windowController->keepInFront.lock();
    ASSERT_TRUE(control);
    EXPECT_EQ(control->segmentCount(), 2);
    EXPECT_EQ(control->selectedSegment(), WindowController::inFrontSegment);
    EXPECT_EQ(window()->level(), NSWindow::floatingLevel);
    EXPECT_TRUE(window()->isKeyWindow());
    EXPECT_TRUE(windowController->about.lock()->isBordered());

    // A click on "normal" lowers the window and stores the choice; a click on the segment already
    // chosen sends nothing, so control and setting stay together.
    clickSegment(*window(), *control, WindowController::normalSegment);
    EXPECT_EQ(control->selectedSegment(), WindowController::normalSegment);
    EXPECT_EQ(window()->level(), NSWindow::normalLevel);
    EXPECT_FALSE(Settings::keepInFront());
    EXPECT_FALSE(UserDefaults::standard().boolForKey(Settings::keepInFrontKey));
    clickSegment(*window(), *control, WindowController::normalSegment);
    EXPECT_FALSE(Settings::keepInFront());

    // Two action messages bring the setting back.
    windowController->keepInFrontChanged(nullptr);
    EXPECT_EQ(window()->level(), NSWindow::floatingLevel);
    windowController->keepInFrontChanged(nullptr);
    EXPECT_EQ(window()->level(), NSWindow::normalLevel);
    EXPECT_FALSE(UserDefaults::standard().boolForKey(Settings::keepInFrontKey));
}

TEST_F(WindowAndDelegateTest, ClicksWhileAnotherProcessHoldsTheSettingsLockWaitForNothing) {
    launch();
    auto control = windowController->keepInFront.lock();
    const auto& domain = UserDefaults::standard().domain();
    LockHeldElsewhere lock(UserDefaults::directory() / (domain + ".plist.lock"));

    // For five seconds the main loop turns every 100 ms, with a click on "In front" or "Normal"
    // each time, ending on "In front".
    using Clock = std::chrono::steady_clock;
    std::vector<Clock::duration> turns;
    for (int turn = 0; turn < 49; ++turn) {
        const auto start = Clock::now();
        clickSegment(*window(), *control, turn % 2 == 0 ? WindowController::inFrontSegment : WindowController::normalSegment);
        runUntilIdle();
        turns.push_back(Clock::now() - start);
        std::this_thread::sleep_until(start + std::chrono::milliseconds(100));
    }
    ASSERT_TRUE(Settings::keepInFront());
    std::sort(turns.begin(), turns.end());
    EXPECT_LT(turns[turns.size() / 2], std::chrono::milliseconds(100)) << "a click waits for the lock";

    // The last choice is on disk within a second of the lock going.
    lock.release();
    const auto released = Clock::now();
    bool stored = false;
    while (!stored && Clock::now() - released < std::chrono::seconds(1)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        stored = UserDefaults(domain, UserDefaults::directory()).boolForKey(Settings::keepInFrontKey);
    }
    EXPECT_TRUE(stored);
}

TEST_F(WindowAndDelegateTest, WithoutAStoredSettingTheWindowIsNormalAndMovableByItsBackground) {
    launch();
    EXPECT_EQ(windowController->keepInFront.lock()->selectedSegment(), WindowController::normalSegment);
    EXPECT_EQ(window()->level(), NSWindow::normalLevel);
    EXPECT_TRUE(window()->isMovableByWindowBackground());
    EXPECT_TRUE(delegate->applicationShouldTerminateAfterLastWindowClosed(NSApplication::shared()));

    // Without any window, the level and the launch step do nothing.
    NSApplication::shared().reset();
    applyWindowLevel();
    delegate->applicationDidFinishLaunching(Notification{NSApplicationDidFinishLaunchingNotification, nullptr, {}});
}

TEST_F(WindowAndDelegateTest, TheReviewPromptIsCheckedWhenTheListLoads) {
    Settings::setNextReviewDate(now() - 1);
    launch();
    EXPECT_EQ(SKStoreReviewController::requestCount(), 1);
    EXPECT_EQ(Settings::nextReviewDate(), now() + Settings::reviewInterval);
}

TEST_F(WindowAndDelegateTest, AboutAndHelpFromToolbarAndMenu) {
    std::vector<std::string> opened;
    NSWorkspace::shared().setURLOpener([&](const URL& url) {
        opened.push_back(url.absoluteString());
        return true;
    });
    launch();
    ASSERT_EQ(NSApplication::shared().windows().size(), 1u);
    EXPECT_TRUE(windowController->about.lock()->performAction());
    EXPECT_EQ(NSApplication::shared().windows().size(), 2u);  // the About window, from the bundle's information
    EXPECT_TRUE(NSApplication::shared().isActive());

    auto menu = NSApplication::shared().mainMenu();
    ASSERT_TRUE(menu);
    auto items = menu->flattenedItems();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0]->title(), "About Quillon");
    EXPECT_EQ(items[1]->title(), "Quillon Help");
    EXPECT_TRUE(items[1]->performAction());
    EXPECT_EQ(opened, (std::vector<std::string>{ZuzeDiv::Support::contactPageAddress}));
    EXPECT_TRUE(items[0]->performAction());
}

// The whole launch from the bundle's storyboard, on the demo hardware: the devices of the registry
// first, the Low Energy ones once connected; closing the window ends the application.
TEST_F(WindowAndDelegateTest, TheLaunchOnTheDemoHardwareListsEveryDeviceAndClosingEndsIt) {
    auto profile = std::string(QUILLON_FIXTURES_DIR) + "/profiles/demo.json";
    IORegistry::setCurrent(std::make_shared<IORegistry>(std::make_shared<HardwareProfileProvider>(std::filesystem::path(profile))));
    BluetoothStack::setCurrent(SimulatedBluetoothStack::fromProfile(profile));
    MainStoryboard::registerScenes();
    auto& app = NSApplication::shared();
    ASSERT_TRUE(app.finishLaunching());
    auto window = app.windows().front();
    EXPECT_TRUE(window->isMovableByWindowBackground());
    auto titleBar = window->frame().height() - window->contentRect(window->frame()).height();
    EXPECT_EQ(window->frame().height(), titleBar + 3 * 96 + 16);
    advance(3);  // the peripherals connect and their levels are read
    EXPECT_EQ(window->frame().height(), titleBar + 5 * 96 + 16);

    window->performClose();
    runUntilIdle();
    EXPECT_TRUE(app.isTerminated());
    IORegistry::setCurrent(nullptr);
    BluetoothStack::setCurrent(nullptr);
}
