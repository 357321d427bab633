#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "Foundation/ProcessInfo.hpp"
#include "Foundation/SystemRoot.hpp"
#include "RuduredOro/BatteryDevice.hpp"
#include "Testing/TestEnvironment.hpp"

using namespace RuduredOro;

namespace {

// The stand-in pictures of the fixture system root are told apart by their width in pixels; the
// module's own artwork is 64 points wide.
constexpr double artwork = 64;

double widthOf(const std::shared_ptr<NSImage>& image) { return image ? image->size().width : 0; }

std::string symbolOf(const std::shared_ptr<NSImage>& image) {
    return image && image->symbolName() ? *image->symbolName() : "(none)";
}

class DevicePictures : public VirtualTimeTest {
protected:
    void SetUp() override {
        VirtualTimeTest::SetUp();
        SystemRoot::setPath(std::filesystem::path(QUILLON_FIXTURES_DIR) / "systemroot");
    }
    void TearDown() override {
        SystemRoot::setPath({});
        VirtualTimeTest::TearDown();
    }

    static std::shared_ptr<NSImage> product(std::int64_t productId) {
        return BatteryDevice(DeviceType::undefined, "").productImage(productId);
    }

    static std::shared_ptr<BatteryDevice> device(DeviceType type, std::optional<std::int64_t> productId = std::nullopt,
                                                 std::optional<std::string> internalName = std::nullopt) {
        auto made = std::make_shared<BatteryDevice>(type, "");
        made->setProductId(productId);
        made->setInternalName(std::move(internalName));
        return made;
    }
};

}  // namespace

TEST_F(DevicePictures, ProductPicturesFollowClonesAndPassOverUnusableEntries) {
    EXPECT_EQ(widthOf(product(0x030D)), 30);
    EXPECT_EQ(widthOf(product(0x0269)), 30);   // "Clone" 0x030D
    EXPECT_EQ(widthOf(product(0x0270)), 30);   // "Clone" 030d, without the prefix
    EXPECT_EQ(widthOf(product(0x10000)), 34);  // more than four digits
    EXPECT_EQ(widthOf(product(0x0600)), 34);   // in a plain subfolder

    // An entry that cannot be used sends the search on to the next list, which has the product.
    EXPECT_EQ(widthOf(product(0x0100)), 32);  // clone "0x" alone
    EXPECT_EQ(widthOf(product(0x0101)), 32);  // clone "0x1G"
    EXPECT_EQ(widthOf(product(0x0300)), 32);  // no bundle
    EXPECT_EQ(widthOf(product(0x0400)), 32);  // no dictionary
    // A bundle that does not exist ends the search.
    EXPECT_FALSE(product(0x0200));

    // Hidden files, lists with another suffix and lists inside packages are not read.
    EXPECT_FALSE(product(0x0500));
    EXPECT_FALSE(product(0x0501));
    EXPECT_FALSE(product(0x0502));
    EXPECT_FALSE(product(0x0999));

    // A pipe or a link to a device among the lists is passed over, not waited on or read without end.
    TemporaryDirectory root;
    std::filesystem::copy(SystemRoot::path(), root.path(), std::filesystem::copy_options::recursive);
    const auto resources = root.path() / std::filesystem::path(BatteryDevice::bluetoothResourcesPath).relative_path();
    ASSERT_EQ(::mkfifo((resources / "A.plist").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", resources / "B.plist");
    SystemRoot::setPath(root.path());
    EXPECT_EQ(widthOf(product(0x030D)), 30);
}

TEST_F(DevicePictures, ClonesThatComeBackEndWithoutAPicture) {
    EXPECT_FALSE(product(0x0005));  // 0x0005 -> 0x0006 -> 0x0005
    EXPECT_FALSE(product(0x0006));
    EXPECT_FALSE(product(0x0007));  // clones itself
}

TEST_F(DevicePictures, TheSystemsPicturesComeFirstAndTheModulesArtworkStandsIn) {
    EXPECT_EQ(widthOf(BatteryDevice::keyboardImage()), 24);
    EXPECT_EQ(widthOf(BatteryDevice::mouseImage()), 26);
    EXPECT_EQ(widthOf(BatteryDevice::bluetoothImage()), 20);
    EXPECT_EQ(widthOf(BatteryDevice::speakersImage()), 22);
    EXPECT_EQ(widthOf(BatteryDevice::trackpadImage()), artwork);  // the fixture has no trackpad pane
    EXPECT_EQ(symbolOf(BatteryDevice::headphonesImage()), "headphones");

    // A host without any of the system's files: the module's artwork throughout, speakers aside.
    TemporaryDirectory bare;
    SystemRoot::setPath(bare.path());
    for (const auto& image : {BatteryDevice::keyboardImage(), BatteryDevice::mouseImage(), BatteryDevice::trackpadImage(),
                              BatteryDevice::bluetoothImage()}) {
        ASSERT_TRUE(image);
        EXPECT_EQ(widthOf(image), artwork);
        EXPECT_FALSE(image->symbolName());
    }
    EXPECT_FALSE(BatteryDevice::speakersImage());
    EXPECT_FALSE(product(0x030D));
    // Before the headphones symbol existed, the artwork stands in for it too.
    ProcessInfo::processInfo().setOperatingSystemVersion(OperatingSystemVersion{10, 15, 0});
    EXPECT_EQ(widthOf(BatteryDevice::headphonesImage()), artwork);
}

TEST_F(DevicePictures, ImageTriesTheProductThenTheCatalogueThenTheKind) {
    EXPECT_EQ(widthOf(device(DeviceType::keyboard, 0x0269, "iPhone14,5")->image()), 30);
    // No product picture: the catalogue's icon of the model.
    auto phone = device(DeviceType::keyboard, 0x0999, "iPhone14,5")->image();
    ASSERT_TRUE(phone);
    EXPECT_EQ(phone->size().width, 32);
    EXPECT_EQ(phone->size().height, 48);
    // A catalogued model without an icon decides all the same.
    EXPECT_FALSE(device(DeviceType::keyboard, std::nullopt, "iPhone1,1")->image());
    // A model the catalogue does not know: the picture of the kind.
    EXPECT_EQ(widthOf(device(DeviceType::keyboard, std::nullopt, "Gadget1,1")->image()), 24);
    EXPECT_EQ(widthOf(device(DeviceType::mouse)->image()), 26);
    EXPECT_EQ(widthOf(device(DeviceType::trackpad)->image()), artwork);
    EXPECT_EQ(symbolOf(device(DeviceType::headset)->image()), "headphones");
    EXPECT_EQ(symbolOf(device(DeviceType::headphones)->image()), "headphones");
    for (DeviceType type : {DeviceType::undefined, DeviceType::lowEnergy, DeviceType::chargingCase}) {
        EXPECT_FALSE(device(type)->image()) << type.rawValue();
    }
}

TEST_F(DevicePictures, SymbolsFollowTheKindTheNameAndTheSystemVersion) {
    struct Case {
        DeviceType type;
        const char* name;
        const char* fromMacOS12;
        const char* before;
    };
    const Case cases[] = {
        {DeviceType::keyboard, "Magic Mouse", "keyboard", "keyboard"},
        {DeviceType::mouse, "", "magicmouse", "cursorarrow"},
        {DeviceType::trackpad, "", "rectangle", "rectangle"},
        {DeviceType::headset, "", "headphones", "headphones"},
        {DeviceType::chargingCase, "AirPods Pro", "airpodspro.chargingcase.wireless", "bolt.fill"},
        {DeviceType::chargingCase, "AirPods", "airpods.chargingcase", "bolt.fill"},
        {DeviceType::lowEnergy, "AirPods", "dot.radiowaves.right", "dot.radiowaves.right"},
        {DeviceType::undefined, "AIRPODS2 case", "airpods.chargingcase", "bolt.fill"},
        {DeviceType::undefined, "airPods Pro", "airpodspro", "airpods"},
        {DeviceType::undefined, "AirPods Max", "airpodsmax", "headphones"},
        {DeviceType::undefined, "AirPods", "airpods", "airpods"},
        {DeviceType::undefined, "Beats Solo3", "beats.headphones", "headphones"},
        {DeviceType::undefined, "Powerbeats Pro", "beats.powerbeats", "headphones"},
        {DeviceType::undefined, "Magic Mouse 2", "magicmouse", "cursorarrow"},
        {DeviceType::undefined, "Speaker", "dot.radiowaves.right", "dot.radiowaves.right"},
        // "pro" is found inside longer words too.
        {DeviceType::chargingCase, "Case of a Professional", "airpodspro.chargingcase.wireless", "bolt.fill"},
    };
    for (auto version : {OperatingSystemVersion{12, 0, 0}, OperatingSystemVersion{11, 5, 0}}) {
        ProcessInfo::processInfo().setOperatingSystemVersion(version);
        for (const auto& c : cases) {
            BatteryDevice device(c.type, c.name);
            EXPECT_EQ(symbolOf(device.symbolName()), version.majorVersion >= 12 ? c.fromMacOS12 : c.before)
                << c.type.rawValue() << " " << c.name << " on " << version.majorVersion;
        }
    }
}
