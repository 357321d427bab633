#include <gtest/gtest.h>

#include "IOKit/IOKitLib.hpp"
#include "IOKit/IORegistry.hpp"

namespace {

std::shared_ptr<IORegistryEntry> entry(std::string className, CFDictionary properties,
                                       std::shared_ptr<const IORegistryEntry> parent = nullptr,
                                       std::vector<std::string> superclasses = {}) {
    auto made = std::make_shared<IORegistryEntry>();
    made->className = std::move(className);
    made->superclasses = std::move(superclasses);
    made->properties = std::move(properties);
    made->parent = std::move(parent);
    return made;
}

class IORegistryTest : public ::testing::Test {
protected:
    void install(std::vector<std::shared_ptr<const IORegistryEntry>> entries) {
        registry = std::make_shared<IORegistry>(std::make_shared<StaticRegistryProvider>(std::move(entries)));
        IORegistry::setCurrent(registry);
    }
    void TearDown() override { IORegistry::setCurrent(nullptr); }

    /// The "Name" property of every service matching a class, in enumeration order; releases all.
    std::vector<std::string> namesOf(const char* className) {
        io_iterator_t iterator = 0;
        EXPECT_EQ(IOServiceGetMatchingServices(kIOMainPortDefault, IOServiceMatching(className), &iterator), KERN_SUCCESS);
        std::vector<std::string> names;
        while (io_service_t service = IOIteratorNext(iterator)) {
            auto name = IORegistryEntryCreateCFProperty(service, "Name", kCFAllocatorDefault, 0);
            names.push_back(name ? name->stringValue().value_or("?") : "-");
            IOObjectRelease(service);
        }
        IOObjectRelease(iterator);
        return names;
    }

    std::shared_ptr<IORegistry> registry;
};

}  // namespace

TEST_F(IORegistryTest, MatchesByClassOrSuperclassInRegistryOrderAndReleasesEveryHandle) {
    install({entry("AppleHSBluetoothDevice", {{"Name", "one"}}, nullptr, {"IOService"}),
             entry("IOHIDUserDevice", {{"Name", "two"}}, nullptr, {"IOHIDDevice", "IOService"}),
             entry("AppleHSBluetoothDevice", {{"Name", "three"}}, nullptr, {"IOService"})});

    EXPECT_EQ(namesOf("AppleHSBluetoothDevice"), (std::vector<std::string>{"one", "three"}));
    EXPECT_EQ(namesOf("IOHIDDevice"), (std::vector<std::string>{"two"}));
    EXPECT_EQ(namesOf("IOService"), (std::vector<std::string>{"one", "two", "three"}));
    // No match is still a success, with an empty iterator; class names compare exactly.
    EXPECT_TRUE(namesOf("applehsbluetoothdevice").empty());
    EXPECT_EQ(registry->openHandles(), 0u);

    io_service_t first = IOServiceGetMatchingService(kIOMainPortDefault, IOServiceMatching("IOHIDUserDevice"));
    ASSERT_NE(first, 0u);
    CFMutableDictionaryRef properties;
    ASSERT_EQ(IORegistryEntryCreateCFProperties(first, &properties, kCFAllocatorDefault, 0), KERN_SUCCESS);
    EXPECT_EQ(properties->find("Name")->stringValue(), "two");
    EXPECT_EQ(IORegistryEntryCreateCFProperty(first, "Missing", kCFAllocatorDefault, 0), nullptr);
    // The properties handed out are the caller's own: changing them changes no one else's.
    CFMutableDictionaryRef again;
    ASSERT_EQ(IORegistryEntryCreateCFProperties(first, &again, kCFAllocatorDefault, 0), KERN_SUCCESS);
    properties->set("Name", "changed");
    again->remove("Name");
    EXPECT_EQ(IORegistryEntryCreateCFProperty(first, "Name", kCFAllocatorDefault, 0)->stringValue(), "two");
    EXPECT_EQ(properties->find("Name")->stringValue(), "changed");
    EXPECT_EQ(IOObjectRelease(first), KERN_SUCCESS);
    EXPECT_NE(IOObjectRelease(first), KERN_SUCCESS);  // a handle is given back only once
    EXPECT_EQ(IOServiceGetMatchingService(kIOMainPortDefault, IOServiceMatching("Nothing")), 0u);

    // Handle 0 and unusable arguments fail without harm.
    EXPECT_NE(IOObjectRelease(0), KERN_SUCCESS);
    EXPECT_EQ(IOIteratorNext(0), 0u);
    EXPECT_NE(IORegistryEntryCreateCFProperties(0, &properties, kCFAllocatorDefault, 0), KERN_SUCCESS);
    EXPECT_EQ(properties, nullptr);
    io_iterator_t iterator = 99;
    EXPECT_NE(IOServiceGetMatchingServices(kIOMainPortDefault, nullptr, &iterator), KERN_SUCCESS);
    EXPECT_EQ(iterator, 0u);
    EXPECT_EQ(registry->openHandles(), 0u);
}

TEST_F(IORegistryTest, ParentsAndPropertySearchUpAndDownTheServicePlane) {
    auto controller = entry("IOSMBusController", {{"Vendor", "root"}});
    auto battery = entry("AppleSmartBattery", {{"Serial", "B1"}}, controller);
    auto cell = entry("Cell", {{"Deep", 1}, {"Tag", "cell"}}, battery);
    auto sibling = entry("Other", {{"Vendor", "sibling"}, {"Tag", "sibling"}}, controller);
    install({controller, battery, cell, sibling});

    io_service_t service = IOServiceGetMatchingService(kIOMainPortDefault, IOServiceMatching("AppleSmartBattery"));
    io_registry_entry_t parent = 0;
    ASSERT_EQ(IORegistryEntryGetParentEntry(service, kIOServicePlane, &parent), KERN_SUCCESS);
    EXPECT_EQ(IORegistryEntryCreateCFProperty(parent, "Vendor", kCFAllocatorDefault, 0)->stringValue(), "root");
    io_registry_entry_t none = 7;
    EXPECT_EQ(IORegistryEntryGetParentEntry(parent, kIOServicePlane, &none), kIOReturnNotFound);
    EXPECT_EQ(none, 0u);
    EXPECT_NE(IORegistryEntryGetParentEntry(service, "IODeviceTree", &none), KERN_SUCCESS);

    auto search = [&](io_registry_entry_t from, const char* key, IOOptionBits options) {
        auto value = IORegistryEntrySearchCFProperty(from, kIOServicePlane, key, kCFAllocatorDefault, options);
        return value ? std::optional<CFValue>(*value) : std::nullopt;
    };
    const auto up = kIORegistryIterateRecursively | kIORegistryIterateParents;
    EXPECT_EQ(search(service, "Serial", 0), CFValue("B1"));
    EXPECT_FALSE(search(service, "Vendor", 0));  // without recursion only the entry itself
    EXPECT_EQ(search(service, "Vendor", up), CFValue("root"));
    EXPECT_FALSE(search(service, "Deep", up));
    EXPECT_EQ(search(service, "Deep", kIORegistryIterateRecursively), CFValue(1));
    // Downwards, children come in registry order, each before its own children.
    EXPECT_EQ(search(parent, "Deep", kIORegistryIterateRecursively), CFValue(1));
    EXPECT_EQ(search(parent, "Serial", kIORegistryIterateRecursively), CFValue("B1"));
    EXPECT_EQ(search(parent, "Tag", kIORegistryIterateRecursively), CFValue("cell"));

    IOObjectRelease(parent);
    IOObjectRelease(service);
    EXPECT_EQ(registry->openHandles(), 0u);
}

TEST_F(IORegistryTest, InjectedFailuresAndTheReadCounter) {
    install({entry("A", {{"Name", "ok"}}), entry("A", {{"Name", "broken"}}), entry("A", {{"Name", "ok too"}})});
    registry->setFaults({KERN_SUCCESS, [](const IORegistryEntry& e) { return e.properties.find("Name")->stringValue() == "broken"; }});

    io_iterator_t iterator = 0;
    ASSERT_EQ(IOServiceGetMatchingServices(kIOMainPortDefault, IOServiceMatching("A"), &iterator), KERN_SUCCESS);
    std::vector<bool> readable;
    while (io_service_t service = IOIteratorNext(iterator)) {
        CFMutableDictionaryRef properties;
        readable.push_back(IORegistryEntryCreateCFProperties(service, &properties, kCFAllocatorDefault, 0) == KERN_SUCCESS);
        IOObjectRelease(service);
    }
    IOObjectRelease(iterator);
    EXPECT_EQ(readable, (std::vector<bool>{true, false, true}));
    EXPECT_EQ(registry->propertyReads(), 3u);

    registry->setFaults({kIOReturnError, nullptr});
    iterator = 5;
    EXPECT_EQ(IOServiceGetMatchingServices(kIOMainPortDefault, IOServiceMatching("A"), &iterator), kIOReturnError);
    EXPECT_EQ(iterator, 0u);
    EXPECT_EQ(IOServiceGetMatchingService(kIOMainPortDefault, IOServiceMatching("A")), 0u);
    EXPECT_EQ(registry->openHandles(), 0u);
}
