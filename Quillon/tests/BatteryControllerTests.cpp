#include <gtest/gtest.h>

#include "Fakes.hpp"
#include "Quillon/BatteryController.hpp"
#include "RuduredOro/SingleBatteryDevice.hpp"

using namespace Quillon;
using namespace RuduredOro;

namespace {
class CountingObserver : public Observer {
public:
    explicit CountingObserver(int id) : id_(id) {}
    int id() const override { return id_; }
    void setId(int id) override { id_ = id; }
    void update() override { ++updates; }
    int updates = 0;

private:
    int id_;
};

std::vector<std::string> names(const std::vector<std::shared_ptr<BatteryDevice>>& devices) {
    std::vector<std::string> out;
    for (const auto& device : devices) out.push_back(device->name());
    return out;
}
}  // namespace

class BatteryControllerTest : public ::testing::Test {
protected:
    std::shared_ptr<FakeFinder> finder = std::make_shared<FakeFinder>();
    std::shared_ptr<FakeLowEnergyFinder> lowEnergy = std::make_shared<FakeLowEnergyFinder>();
    BatteryController controller{finder, lowEnergy};
};

TEST_F(BatteryControllerTest, MergesBothFindersSortedByCodePointsKeepingTheMergedOrderOfEqualNames) {
    auto ioMouse = ioKitDevice("Mouse");
    finder->next = {ioKitDevice("keyboard"), ioMouse, ioKitDevice("\xC3\x89lan")};  // "Élan", composed
    auto leMouse = lowEnergyDevice("Mouse", 40);
    lowEnergy->list = {lowEnergyDevice("Zebra Pen", 10), lowEnergyDevice("Unread", std::nullopt), leMouse,
                       lowEnergyDevice("E\xCC\x81toile", 70)};  // "Étoile", decomposed
    controller.refresh();
    // Capitals before small letters, whatever the letters; NFC before comparing; no Low Energy
    // device without a level.
    EXPECT_EQ(names(controller.batteries),
              (std::vector<std::string>{"Mouse", "Mouse", "Zebra Pen", "keyboard", "\xC3\x89lan", "E\xCC\x81toile"}));
    EXPECT_EQ(controller.batteries[0], ioMouse);  // the IOKit device first among equal names
    EXPECT_EQ(controller.batteries[1], leMouse);

    // As many devices, in another order: the last refresh's order does not sort them.
    finder->next = {ioKitDevice("\xC3\x89lan"), ioMouse, ioKitDevice("keyboard")};
    controller.refresh();
    EXPECT_EQ(names(controller.batteries),
              (std::vector<std::string>{"Mouse", "Mouse", "Zebra Pen", "keyboard", "\xC3\x89lan", "E\xCC\x81toile"}));
    EXPECT_EQ(controller.batteries[0], ioMouse);
}

TEST_F(BatteryControllerTest, TheLowEnergyFinderRefreshesOnlyWhilePoweredOnButKeepsItsDevices) {
    lowEnergy->poweredOn = false;
    lowEnergy->list = {lowEnergyDevice("Pen", 80)};
    controller.refresh();
    EXPECT_EQ(lowEnergy->refreshes, 0);
    EXPECT_EQ(finder->refreshes, 1);
    EXPECT_EQ(names(controller.batteries), (std::vector<std::string>{"Pen"}));
    lowEnergy->poweredOn = true;
    controller.refresh();
    EXPECT_EQ(lowEnergy->refreshes, 1);
}

TEST_F(BatteryControllerTest, ObserversByIdAreCalledAfterEveryRefreshEvenWithNoDevices) {
    auto first = std::make_shared<CountingObserver>(0), replacement = std::make_shared<CountingObserver>(0);
    controller.addObserver(first);
    controller.addObserver(replacement);  // the same id replaces
    controller.refresh();
    EXPECT_TRUE(controller.batteries.empty());
    EXPECT_EQ(first->updates, 0);
    EXPECT_EQ(replacement->updates, 1);

    lowEnergy->list = {lowEnergyDevice("Late", std::nullopt)};
    controller.refresh();
    EXPECT_TRUE(controller.batteries.empty());
    lowEnergy->list.front()->setBatteryLevel(33);  // listed from the first refresh after its level was read
    controller.refresh();
    EXPECT_EQ(names(controller.batteries), (std::vector<std::string>{"Late"}));
    lowEnergy->list.push_back(lowEnergyDevice("Drained", 0));  // a level of 0 is a level read
    controller.refresh();
    EXPECT_EQ(names(controller.batteries), (std::vector<std::string>{"Drained", "Late"}));
    EXPECT_EQ(replacement->updates, 4);
}
