#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "AppKit/NSScreen.hpp"
#include "AppKit/NSScrollView.hpp"
#include "AppKit/backends/HeadlessWindowBackend.hpp"
#include "AppKit/NSWindow.hpp"
#include "ApplicationTestSupport.hpp"
#include "Foundation/Locale.hpp"
#include "Foundation/NotificationCenter.hpp"
#include "Quillon/BatteryCells.hpp"
#include "RuduredOro/DoubleBatteryDevice.hpp"

using namespace Quillon;
using namespace RuduredOro;

namespace {
std::shared_ptr<SingleBatteryCell> cellAt(NSTableView& table, int row) {
    return std::dynamic_pointer_cast<SingleBatteryCell>(table.view(0, row));
}
}  // namespace

class DeviceListTest : public ApplicationTest {};

TEST_F(DeviceListTest, TheFirstListIsShownAtOnceAndTheWindowTakesItsRows) {
    finder->next = {ioKitDevice("Mouse"), ioKitDevice("Keyboard"), ioKitDevice("Trackpad")};
    launch();
    EXPECT_EQ(finder->refreshes, 1);  // the timer fired once when the view loaded
    auto& vc = list();
    ASSERT_EQ(vc.batteries.size(), 3u);
    EXPECT_EQ(vc.batteries[0]->name(), "Keyboard");
    // Three rows: title bar + 3 x 96 + 16, the window no longer resizable.
    EXPECT_EQ(titleBar(), NSWindow::titleBarHeight + NSWindow::toolbarHeight);
    EXPECT_EQ(window()->frame().height(), titleBar() + 304);
    EXPECT_FALSE(window()->styleMask().contains(NSWindow::StyleMask::resizable()));
    EXPECT_TRUE(window()->standardWindowButton(NSWindow::ButtonType::zoomButton)->isHidden());
    // The table reloads once the main queue runs.
    EXPECT_EQ(table().numberOfRows(), 0);
    runUntilIdle();
    EXPECT_EQ(table().numberOfRows(), 3);
    EXPECT_EQ(cellAt(table(), 2)->name.lock()->stringValue(), "Trackpad");
    // The rows fill the room the window made for them, 96 points each, with nothing left over.
    EXPECT_EQ(table().rectOfRow(2), (CGRect{0, 2 * 96, table().frame().width(), 96}));
    window()->layoutIfNeeded();
    EXPECT_EQ(list().scrollView.lock()->frame().height(), 3 * 96);
    EXPECT_TRUE(list().emptyLabel.lock()->isHidden());
    EXPECT_FALSE(list().scrollView.lock()->isHidden());
}

TEST_F(DeviceListTest, TheWindowFollowsTheNumberOfRowsKeepingItsTopEdge) {
    finder->next = {ioKitDevice("A"), ioKitDevice("B"), ioKitDevice("C")};
    launch();
    runUntilIdle();
    CGFloat top = window()->frame().maxY();

    // Another device in place of one: the table reloads, the window keeps its size.
    finder->next = {ioKitDevice("A"), ioKitDevice("B"), ioKitDevice("D")};
    CGRect before = window()->frame();
    advance(1);
    EXPECT_EQ(finder->refreshes, 2);
    EXPECT_EQ(window()->frame(), before);
    EXPECT_EQ(cellAt(table(), 2)->name.lock()->stringValue(), "D");

    // One more device: a row more, the top edge where it was.
    finder->next.push_back(ioKitDevice("E"));
    advance(1);
    EXPECT_EQ(window()->frame().height(), titleBar() + 4 * 96 + 16);
    EXPECT_EQ(window()->frame().maxY(), top);

    // None: title bar + 16, the empty text in place of the table.
    finder->next.clear();
    advance(1);
    EXPECT_EQ(window()->frame().height(), titleBar() + 16);
    EXPECT_EQ(window()->frame().maxY(), top);
    EXPECT_EQ(table().numberOfRows(), 0);
    EXPECT_TRUE(list().scrollView.lock()->isHidden());
    auto empty = list().emptyLabel.lock();
    EXPECT_FALSE(empty->isHidden());
    EXPECT_EQ(empty->stringValue(), "No battery-powered devices found");
}

TEST_F(DeviceListTest, ALaunchWithoutDevicesKeepsTheStoryboardSize) {
    launch();
    runUntilIdle();
    EXPECT_EQ(window()->contentRect(window()->frame()).size,
              (CGSize{MainStoryboard::windowWidth, MainStoryboard::initialContentHeight}));
    EXPECT_TRUE(window()->styleMask().contains(NSWindow::StyleMask::resizable()));
    EXPECT_FALSE(list().emptyLabel.lock()->isHidden());
    // Low Energy devices without a level stay out of the list.
    lowEnergy->list = {lowEnergyDevice("Pen", std::nullopt)};
    advance(1);
    EXPECT_TRUE(list().batteries.empty());
    EXPECT_TRUE(window()->styleMask().contains(NSWindow::StyleMask::resizable()));
}

TEST_F(DeviceListTest, RowsShowLevelColourTextAndChargingMark) {
    finder->next = {ioKitDevice("A low", 19), ioKitDevice("B enough", 20, DeviceType::keyboard, true), ioKitDevice("C full", 100)};
    launch();
    runUntilIdle();
    auto low = cellAt(table(), 0), enough = cellAt(table(), 1), full = cellAt(table(), 2);
    ASSERT_TRUE(low && enough && full);

    EXPECT_EQ(components(low->value.lock()->color()), (std::array<int, 3>{255, 0, 40}));
    EXPECT_EQ(components(enough->value.lock()->color()), (std::array<int, 3>{0, 156, 0}));
    EXPECT_DOUBLE_EQ(low->value.lock()->value(), 0.19);
    EXPECT_DOUBLE_EQ(full->value.lock()->value(), 1.0);
    EXPECT_EQ(full->level.lock()->stringValue(), "Level: 100%");
    EXPECT_EQ(low->level.lock()->stringValue(), "Level: 19%");
    EXPECT_EQ(low->name.lock()->alignment(), NSTextAlignment::left);
    EXPECT_TRUE(low->isChargingIcon.lock()->isHidden());
    EXPECT_FALSE(enough->isChargingIcon.lock()->isHidden());
    ASSERT_TRUE(enough->isChargingIcon.lock()->image());  // the bundle's charging mark
    EXPECT_TRUE(enough->imageView()->image());           // the keyboard picture
    EXPECT_FALSE(low->level.lock()->isHidden());

    // The dark appearance has a brighter green; the red stays.
    NSApplication::shared().setSystemAppearance(NSAppearance::named(NSAppearanceNameDarkAqua));
    advance(1);
    EXPECT_EQ(components(cellAt(table(), 1)->value.lock()->color()), (std::array<int, 3>{16, 172, 16}));
    EXPECT_EQ(components(cellAt(table(), 0)->value.lock()->color()), (std::array<int, 3>{255, 0, 40}));
    // A reload of the table's own, after the list's, follows the appearance of its time too.
    NSApplication::shared().setSystemAppearance(NSAppearance::named(NSAppearanceNameAqua));
    table().reloadData();
    EXPECT_EQ(components(cellAt(table(), 1)->value.lock()->color()), (std::array<int, 3>{0, 156, 0}));
    NSApplication::shared().setSystemAppearance(NSAppearance::named(NSAppearanceNameDarkAqua));

    // Drawn: the low row's ring is red where it starts, at the lower left.
    auto image = window()->image(1.0);
    auto gauge = cellAt(table(), 0)->value.lock();
    CGRect box = gauge->bounds();
    CGFloat radius = box.width() / 2 - 12;
    CGPoint start = gauge->convertToView(CGPoint{box.midX() - radius * 0.7071, box.midY() - radius * 0.7071}, nullptr);
    auto pixel = image->pixel(std::size_t(start.x), image->height() - 1 - std::size_t(start.y));
    EXPECT_GT(pixel[0], 200);
    EXPECT_LT(pixel[1], 60);
}

TEST_F(DeviceListTest, ATickRedrawsOnlyTheRowsThatChanged) {
    finder->next = {ioKitDevice("A", 50), ioKitDevice("B", 60), ioKitDevice("C", 70)};
    launch();
    runUntilIdle();
    auto backend = std::dynamic_pointer_cast<HeadlessWindowBackend>(NSApplication::shared().windowBackend());
    ASSERT_TRUE(backend);
    int displays = backend->displayCount(*window());
    advance(1);  // the same devices, read anew
    EXPECT_EQ(backend->displayCount(*window()), displays);

    finder->next = {ioKitDevice("A", 50), ioKitDevice("B", 61), ioKitDevice("C", 70)};
    advance(1);
    EXPECT_EQ(backend->displayCount(*window()), displays + 1);
    auto row = table().rowView(1);
    CGPoint a = row->convertToView(CGPoint{0, 0}, nullptr), b = row->convertToView(CGPoint{row->bounds().maxX(), row->bounds().maxY()}, nullptr);
    CGRect rowInWindow{std::min(a.x, b.x), std::min(a.y, b.y), std::abs(b.x - a.x), std::abs(b.y - a.y)};
    for (const auto& drawn : backend->lastDrawnRects(*window())) EXPECT_TRUE(rowInWindow.contains(drawn)) << drawn.minX() << "," << drawn.minY() << " " << drawn.width() << "x" << drawn.height() << " in " << rowInWindow.minX() << "," << rowInWindow.minY() << " " << rowInWindow.width() << "x" << rowInWindow.height();
}

TEST_F(DeviceListTest, NamesArePicturesAndTitlesByKindOfDevice) {
    Locale::setPreferredLanguages(std::vector<std::string>{"de"});
    auto plain = lowEnergyDevice("Pen", 50);
    auto modelled = lowEnergyDevice("Stick", 60);
    modelled->setModel("Stick Pro");
    auto mouse = lowEnergyDevice("Zz mouse", 70);
    mouse->setIsMouse(true);
    lowEnergy->list = {plain, modelled, mouse};
    finder->next = {ioKitDevice("Keyboard"), ioKitDevice("Mystery Pad")};
    launch();
    runUntilIdle();
    ASSERT_EQ(table().numberOfRows(), 5);
    // IOKit names are looked up in the strings table; unknown ones stay as they are.
    EXPECT_EQ(cellAt(table(), 0)->name.lock()->stringValue(), "Tastatur");
    EXPECT_EQ(cellAt(table(), 0)->level.lock()->stringValue(), "Ladestand: 50%");
    EXPECT_EQ(cellAt(table(), 1)->name.lock()->stringValue(), "Mystery Pad");
    // Low Energy devices: the model when known, else the name; the fallback pictures.
    EXPECT_EQ(cellAt(table(), 2)->name.lock()->stringValue(), "Pen");
    EXPECT_EQ(cellAt(table(), 3)->name.lock()->stringValue(), "Stick Pro");
    auto png = [](const std::shared_ptr<NSImage>& image) { return image ? image->pngData(1.0) : Data{}; };
    EXPECT_EQ(png(cellAt(table(), 2)->imageView()->image()), png(BatteryDevice::bluetoothImage()));
    EXPECT_EQ(png(cellAt(table(), 4)->imageView()->image()), png(BatteryDevice::mouseImage()));
}

TEST_F(DeviceListTest, DevicesItCannotShowAndRowsPastTheListGiveNoView) {
    finder->next = {ioKitDevice("Keyboard")};
    launch();
    runUntilIdle();
    auto& vc = list();
    EXPECT_TRUE(vc.viewFor(table(), nullptr, 0));
    EXPECT_FALSE(vc.viewFor(table(), nullptr, 1));
    EXPECT_FALSE(vc.viewFor(table(), nullptr, -1));
    // A device of two levels, an IOKit device without a level: empty rows.
    auto noLevel = ioKitDevice("Quiet");
    noLevel->setBatteryLevel(std::nullopt);
    KeyedContainer twoLevels{{"isCharging", false}, {"type", "Headphones"}, {"name", "Buds"}, {"serial", "b-1"},
                             {"batteryLevel", 40}};
    vc.batteries = {std::make_shared<DoubleBatteryDevice>(twoLevels), noLevel};
    EXPECT_FALSE(vc.viewFor(table(), nullptr, 0));
    EXPECT_FALSE(vc.viewFor(table(), nullptr, 1));
}

TEST_F(DeviceListTest, WindowResizeIsHeardOnlyWhileTheViewIsShown) {
    finder->next = {ioKitDevice("A")};
    launch();
    runUntilIdle();
    auto& vc = list();
    vc.batteries.push_back(ioKitDevice("B"));
    NotificationCenter::defaultCenter().post(Notification{ViewController::windowResizeNotification, nullptr, {}});
    EXPECT_EQ(window()->frame().height(), titleBar() + 2 * 96 + 16);

    auto shown = window();
    shown->orderOut();
    vc.batteries.push_back(ioKitDevice("C"));
    NotificationCenter::defaultCenter().post(Notification{ViewController::windowResizeNotification, nullptr, {}});
    EXPECT_EQ(shown->frame().height(), titleBar() + 2 * 96 + 16);
}

TEST_F(DeviceListTest, ScrollingThroughManyKindsOfDeviceKeepsOnlyThePicturesOfRowsInView) {
    // Sixty devices, each a product of its own, on a screen with room for five rows.
    constexpr int devices = 60;
    for (int i = 0; i < devices; ++i) {
        auto device = ioKitDevice("Mouse " + std::to_string(i));
        device->setProductId(1000 + i);
        finder->next.push_back(device);
    }
    struct Screen {
        Screen() { NSScreen::setMain(std::make_shared<NSScreen>(CGRect{0, 0, 1280, 600})); }
        ~Screen() { NSScreen::setMain(nullptr); }
    } screen;
    launch();
    runUntilIdle();
    auto picture = [&](int row) { return cellAt(table(), row)->imageView()->image(); };
    ASSERT_TRUE(picture(0));
    ASSERT_FALSE(table().view(0, 10)) << "the rows past the fifth are out of view";

    // Down to the last row and back, a row at a time, each row's picture noted.
    auto scroll = list().scrollView.lock();
    std::set<std::weak_ptr<NSImage>, std::owner_less<>> shown;
    for (int step = 0; step < 2 * devices; ++step) {
        scroll->scrollTowardsEnd(step < devices ? ViewController::rowHeight : -ViewController::rowHeight);
        for (int row = 0; row < devices; ++row) {
            if (table().view(0, row)) shown.insert(picture(row));
        }
    }
    EXPECT_LE(std::count_if(shown.begin(), shown.end(), [](const auto& image) { return !image.expired(); }), 10)
        << "only the pictures of the rows in view and of the few cells set aside are kept";
    // The rows in view keep their pictures from tick to tick, without reading them again.
    auto top = picture(0);
    advance(1);
    EXPECT_EQ(picture(0), top);
}
