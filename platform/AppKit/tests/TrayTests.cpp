#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <optional>

#include "AppKitTestSupport.hpp"
#include "AppKit/NSMenu.hpp"
#include "AppKit/NSStatusBar.hpp"
#include "Foundation/backends/DBusConnection.hpp"
#include "Testing/PrivateBus.hpp"

namespace TrayTesting {

constexpr const char* watcherName = "org.kde.StatusNotifierWatcher";
constexpr const char* watcherPath = "/StatusNotifierWatcher";
constexpr const char* itemInterface = "org.kde.StatusNotifierItem";
constexpr const char* menuInterface = "com.canonical.dbusmenu";

using Pixmaps = std::vector<sdbus::Struct<std::int32_t, std::int32_t, std::vector<std::uint8_t>>>;
using Layout = sdbus::Struct<std::int32_t, std::map<std::string, sdbus::Variant>, std::vector<sdbus::Variant>>;

const char* const redSquareSVG =
    R"(<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16"><rect width="16" height="16" fill="#ff0000"/></svg>)";

struct Target : NSResponder {
    int chosen = 0;
    void choose(const Selector::Sender&) { ++chosen; }
};

struct AppearanceObserver : NSKeyValueObserver {
    int changes = 0;
    void observeValue(const std::string&, const void*, const NSKeyValueChange&, void*) override { ++changes; }
};

/// The desktop's tray on a private session bus: a stand-in watcher that lists the items
/// registered with it while their bus names last, started when the test says so.
class Tray : public AppKitTest {
protected:
    void SetUp() override {
        AppKitTest::SetUp();
        if (!bus_.unavailable().empty()) GTEST_SKIP() << bus_.unavailable();
    }

    void startWatcher() { bus_.startMock(QUILLON_SOURCE_DIR "/testing/dbusmock/status_notifier_watcher.py", watcherName); }
    /// The watcher's items, each as "<bus name><path>".
    std::vector<std::string> registered() {
        return bus_.proxy(watcherName, watcherPath)
            ->getProperty("RegisteredStatusNotifierItems")
            .onInterface(watcherName)
            .get<std::vector<std::string>>();
    }
    bool waitFor(const std::function<bool()>& condition) { return RunLoop::main().runUntil(condition, 30); }
    /// A registered item as the tray reaches it, or another object of its connection.
    std::unique_ptr<sdbus::IProxy> exported(const std::string& item, std::optional<std::string> path = std::nullopt) {
        const auto slash = item.find('/');
        return bus_.proxy(item.substr(0, slash), path ? *path : item.substr(slash));
    }

    PrivateSessionBus bus_;
};

}  // namespace TrayTesting

using namespace TrayTesting;

TEST_F(Tray, ItemsShowInTheTrayWithTheirPictureTitleAndMenuAndLeaveWithTheBar) {
    startWatcher();
    auto& bar = NSStatusBar::system();
    auto item = bar.statusItem(NSVariableStatusItemLength);
    auto button = item->button();
    button->setImage(NSImage::fromData(dataFromString(redSquareSVG)));
    button->setTitle("Keyboard");
    int clicks = 0;
    button->setAction([&](NSControl&) { ++clicks; });
    auto target = std::make_shared<Target>();
    auto menu = NSMenu::make();
    menu->addItem("Show_All", Selector::make("choose:", &Target::choose))->setTarget(target);
    menu->addItem(NSMenuItem::separator());
    menu->addItem("Quit", Selector::make("choose:", &Target::choose))->setEnabled(false);
    item->setMenu(menu);

    ASSERT_TRUE(waitFor([&] { return registered().size() == 1; }));
    const std::string registration = registered()[0];
    EXPECT_THAT(registration, testing::MatchesRegex("org\\.kde\\.StatusNotifierItem-" + std::to_string(::getpid()) + "-[0-9]+/StatusNotifierItem"));
    auto tray = exported(registration);
    EXPECT_EQ(tray->getProperty("Title").onInterface(itemInterface).get<std::string>(), "Keyboard");
    EXPECT_EQ(tray->getProperty("Status").onInterface(itemInterface).get<std::string>(), "Active");
    EXPECT_FALSE(tray->getProperty("ItemIsMenu").onInterface(itemInterface).get<bool>());
    auto icon = tray->getProperty("IconPixmap").onInterface(itemInterface).get<Pixmaps>();
    ASSERT_EQ(icon.size(), 2u);
    EXPECT_EQ(std::get<0>(icon[0]), 22);
    EXPECT_EQ(std::get<1>(icon[1]), 44);
    const auto& pixels = std::get<2>(icon[0]);
    const std::size_t middle = (11 * 22 + 11) * 4;
    EXPECT_EQ(std::vector<std::uint8_t>(pixels.begin() + middle, pixels.begin() + middle + 4),
              (std::vector<std::uint8_t>{255, 255, 0, 0}));  // opaque red, alpha first

    // The menu: labels with their underscores kept, the separator, the disabled entry.
    auto menuPath = tray->getProperty("Menu").onInterface(itemInterface).get<sdbus::ObjectPath>();
    auto trayMenu = exported(registration, menuPath);
    std::uint32_t revision = 0;
    Layout root;
    trayMenu->callMethod("GetLayout").onInterface(menuInterface).withArguments(0, -1, std::vector<std::string>{}).storeResultsTo(revision, root);
    auto entries = std::get<2>(root);
    ASSERT_EQ(entries.size(), 3u);
    auto show = entries[0].get<Layout>();
    EXPECT_EQ(std::get<1>(show).at("label").get<std::string>(), "Show__All");
    EXPECT_EQ(std::get<1>(entries[1].get<Layout>()).at("type").get<std::string>(), "separator");
    EXPECT_FALSE(std::get<1>(entries[2].get<Layout>()).at("enabled").get<bool>());

    // Clicks in the tray reach the button and the menu entry.
    trayMenu->callMethod("Event").onInterface(menuInterface).withArguments(std::get<0>(show), "clicked", sdbus::Variant(0), 0u);
    tray->callMethod("Activate").onInterface(itemInterface).withArguments(0, 0);
    ASSERT_TRUE(waitFor([&] { return target->chosen == 1 && clicks == 1; }));

    // Changes reach the tray on the next pass of the main loop.
    button->setTitle("Mouse");
    runUntilIdle();
    EXPECT_EQ(tray->getProperty("Title").onInterface(itemInterface).get<std::string>(), "Mouse");

    // After a restart of the bus the panel finds the same item again: its bus name and its Id.
    const auto id = tray->getProperty("Id").onInterface(itemInterface).get<std::string>();
    trayMenu.reset();
    tray.reset();
    bus_.restart();
    startWatcher();
    ASSERT_TRUE(waitFor([&] { return registered() == std::vector<std::string>{registration}; }));
    tray = exported(registration);
    EXPECT_EQ(tray->getProperty("Id").onInterface(itemInterface).get<std::string>(), id);

    // The item's bus name goes with it, and the watcher drops it.
    bar.removeStatusItem(item);
    ASSERT_TRUE(waitFor([&] { return registered().empty(); }));
    EXPECT_THROW(tray->getProperty("Title").onInterface(itemInterface), sdbus::Error);
}

// An item without an image has its title, drawn as the bar would draw it, as its picture.
TEST_F(Tray, AnItemWithoutAnImageShowsItsTitleAndReachesAWatcherThatComesLater) {
    auto item = NSStatusBar::system().statusItem(NSSquareStatusItemLength);
    item->button()->setTitle("42");
    runUntilIdle();
    startWatcher();
    ASSERT_TRUE(waitFor([&] { return registered().size() == 1; }));
    auto icon = exported(registered()[0])->getProperty("IconPixmap").onInterface(itemInterface).get<Pixmaps>();
    ASSERT_EQ(icon.size(), 2u);
    EXPECT_EQ(std::get<0>(icon[0]), 22);
    const auto& pixels = std::get<2>(icon[0]);
    bool drawn = false;
    for (std::size_t alpha = 0; alpha < pixels.size(); alpha += 4) drawn = drawn || pixels[alpha] > 0;
    EXPECT_TRUE(drawn);

    // The picture is drawn again when the title changes, and only then.
    auto picture = [&] { return exported(registered()[0])->getProperty("IconPixmap").onInterface(itemInterface).get<Pixmaps>(); };
    runUntilIdle();
    EXPECT_EQ(picture(), icon);
    item->button()->setTitle("7");
    runUntilIdle();
    const auto light = picture();
    EXPECT_NE(light, icon);

    // The application's change to dark reaches the item as it reaches windows: its observers hear
    // it and its title is drawn anew in the dark colours.
    AppearanceObserver observer;
    item->addObserver(&observer, "button.effectiveAppearance", NSKeyValueObservingOptions::newValue());
    NSApplication::shared().setSystemAppearance(NSAppearance::named(NSAppearanceNameDarkAqua));
    EXPECT_EQ(observer.changes, 1);
    runUntilIdle();
    EXPECT_NE(picture(), light);
    item->removeObserver(&observer, "button.effectiveAppearance");
}
