#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "AppKit/NSWorkspace.hpp"
#include "DesktopFixture.hpp"
#include "Foundation/FileManager.hpp"
#include "Foundation/PathUtilities.hpp"
#include "Foundation/SystemRoot.hpp"
#include "RarAvi/Permissions.hpp"
#include "RarAvi/PhotoEffectNames.hpp"
#include "RarAvi/SideBar.hpp"
#include "RarAvi/TextUtilities.hpp"
#include "Testing/TemporaryDesktop.hpp"

using namespace RarAvi;
using DesktopTesting::DesktopTest;

namespace {
class Privacy : public DesktopTest {};

NSTextAlignment alignmentOf(const NSAttributes& attributes) {
    return std::get<std::shared_ptr<const NSParagraphStyle>>(attributes.at(NSAttributedStringKey::paragraphStyle()))->alignment();
}
std::shared_ptr<NSFont> fontOf(const NSAttributes& attributes) {
    return std::get<std::shared_ptr<NSFont>>(attributes.at(NSAttributedStringKey::font()));
}
std::shared_ptr<NSColor> colorOf(const NSAttributes& attributes) {
    return std::get<std::shared_ptr<NSColor>>(attributes.at(NSAttributedStringKey::foregroundColor()));
}
}  // namespace

TEST_F(Privacy, FullDiskAccessIsToldByListingProtectedFolders) {
    SystemRoot::setPath(std::nullopt);
    TemporaryDesktop desktop;
    // None of them there (a sandbox without the home folder): no access.
    EXPECT_FALSE(Permissions::hasFullDiskAccess());
    desktop.write("home/.ssh/known_hosts", "");
    desktop.write("home/.mozilla/profiles.ini", "");
    desktop.write("home/.gnupg", "a file in place of the folder is skipped");
    EXPECT_TRUE(Permissions::hasFullDiskAccess());
    // A folder that refuses its listing means no access, whatever follows.
    FileManager::setProtectedPaths({(desktop.home() / ".ssh").string()});
    EXPECT_FALSE(Permissions::hasFullDiskAccess());
}

TEST_F(Privacy, AFolderWhoseListingIsDeniedMeansNoAccess) {
    if (::geteuid() == 0) GTEST_SKIP() << "the superuser lists every folder";
    SystemRoot::setPath(std::nullopt);
    TemporaryDesktop desktop;
    desktop.write("home/.ssh/known_hosts", "");
    desktop.write("home/.mozilla/profiles.ini", "");
    std::filesystem::permissions(desktop.home() / ".mozilla", std::filesystem::perms::none);
    EXPECT_FALSE(Permissions::hasFullDiskAccess());
    std::filesystem::permissions(desktop.home() / ".mozilla", std::filesystem::perms::owner_all);
}

TEST_F(Privacy, ThePrivacyDatabaseAndTheSettingsPages) {
    EXPECT_TRUE(Permissions::canReadPrivacyDatabase());
    FileManager::setProtectedPaths({"/Library/Application Support/com.apple.TCC"});
    EXPECT_FALSE(Permissions::canReadPrivacyDatabase());
    FileManager::setProtectedPaths({});
    SystemRoot::setPath(std::filesystem::path(QUILLON_FIXTURES_DIR) / "desktop" / "Users");
    EXPECT_FALSE(Permissions::canReadPrivacyDatabase());

    std::vector<std::string> opened;
    NSWorkspace::shared().setURLOpener([&](const URL& url) {
        opened.push_back(url.absoluteString());
        return false;
    });
    Permissions::openPrivacyPage(PrivacyPage::allFiles);
    Permissions::openPrivacyPage(PrivacyPage::privacy);
    Permissions::openPrivacyPage(PrivacyPage::SystemServices);
    Permissions::openNotificationSettings();
    EXPECT_EQ(opened, (std::vector<std::string>{"x-apple.systempreferences:com.apple.preference.security?Privacy_AllFiles",
                                                "x-apple.systempreferences:com.apple.preference.security?Privacy",
                                                "x-apple.systempreferences:com.apple.preference.security?Privacy_SystemServices",
                                                "x-apple.systempreferences:com.apple.preference.notifications"}));

    for (int i = 0; i <= static_cast<int>(PrivacyPage::SystemServices); ++i) {
        auto page = static_cast<PrivacyPage>(i);
        EXPECT_EQ(privacyPageFrom(rawValue(page)), page);
    }
    EXPECT_EQ(rawValue(PrivacyPage::LocationServices), "Privacy_LocationServices");
    EXPECT_FALSE(privacyPageFrom("privacy_camera"));
    EXPECT_FALSE(privacyPageFrom("Privacy_Camera "));
}

TEST(TextUtilities, FlagsShiftEveryCharacterIntoTheRegionalLetters) {
    EXPECT_EQ(TextUtilities::flag("DE"), "\U0001F1E9\U0001F1EA");
    EXPECT_EQ(TextUtilities::flag(""), "");
    EXPECT_EQ(TextUtilities::flag("de"), "\U0001F209\U0001F20A");
    // Characters that would leave Unicode, and malformed bytes, are left out.
    EXPECT_EQ(TextUtilities::flag("D\U000F0E5B\xff" "E"), "\U0001F1E9\U0001F1EA");
    EXPECT_EQ(TextUtilities::flag("\U000F0E5A"), "\U0010FFFF");
}

TEST(TextUtilities, AttributeSetsHoldFontColourAndAlignment) {
    auto red = NSColor::redColor();
    auto plain = TextUtilities::attributes(12);
    EXPECT_EQ(plain.size(), 3u);
    EXPECT_EQ(fontOf(plain)->pointSize(), 12);
    EXPECT_EQ(fontOf(plain)->weight(), NSFont::Weight::regular());
    EXPECT_EQ(alignmentOf(plain), NSTextAlignment::center);
    EXPECT_EQ(colorOf(plain), NSColor::labelColor());

    auto bold = TextUtilities::attributes(true, NSTextAlignment::right, 9);
    EXPECT_EQ(fontOf(bold)->weight(), NSFont::Weight::bold());
    EXPECT_EQ(alignmentOf(bold), NSTextAlignment::right);
    EXPECT_EQ(alignmentOf(TextUtilities::attributes(red, 10)), NSTextAlignment::center);
    EXPECT_EQ(colorOf(TextUtilities::attributes(NSTextAlignment::left, red, false, 10)), red);
    auto font = NSFont::boldSystemFont(20);
    auto given = TextUtilities::attributes(font, NSTextAlignment::justified, red);
    EXPECT_EQ(fontOf(given), font);
    EXPECT_EQ(alignmentOf(given), NSTextAlignment::justified);
    EXPECT_EQ(alignmentOf(TextUtilities::attributes(font, red, NSTextAlignment::left)), NSTextAlignment::left);
    // Each set has a paragraph style of its own.
    EXPECT_NE(plain.at(NSAttributedStringKey::paragraphStyle()), TextUtilities::attributes(12).at(NSAttributedStringKey::paragraphStyle()));
}

TEST(TextUtilities, MeasuringText) {
    auto font = NSFont::systemFont(12);
    EXPECT_EQ(TextUtilities::height(std::nullopt, font), 0);
    EXPECT_EQ(TextUtilities::size(std::nullopt, font, {100, 100}), CGSize::zero());
    const CGFloat line = TextUtilities::height("Battery", font);
    EXPECT_GT(line, 12);
    EXPECT_LT(line, 20);
    const std::string longText = "a sentence long enough to be wrapped over several lines";
    EXPECT_EQ(TextUtilities::height(longText, font), line);
    CGSize wrapped = TextUtilities::size(longText, font, {60, 0});
    EXPECT_LE(wrapped.width, 60);
    EXPECT_GE(wrapped.height, 3 * line);
}

TEST(TextUtilities, ImageAttachmentsSitOnTheCapHeight) {
    auto image = NSImage::make({12, 16});
    // DejaVu Sans has capitals 0.729 em high: at 13.72 points they are 10 points high.
    auto font = NSFont::systemFont(13.72);
    EXPECT_NEAR(font->capHeight(), 10, 0.05);
    ImageAttachment attachment(image, font);
    EXPECT_EQ(attachment.bounds(), (CGRect{0, -3, 12, 16}));
    EXPECT_EQ(attachment.image(), image);
    EXPECT_FALSE(attachment.contents());

    ImageAttachment tall(NSImage::make({20, 31}), font);
    EXPECT_EQ(tall.bounds().origin.y, -10.5);

    ImageAttachment unplaced(image, nullptr);
    EXPECT_FALSE(unplaced.image());
    EXPECT_EQ(unplaced.bounds(), CGRect::zero());
}

TEST(SideBar, GroupsRemoveTheVeryItemOnly) {
    SideBarGroup group("Devices");
    group.addItem("Mouse", nullptr);
    group.addItem("Keyboard", NSImage::make({16, 16}), std::string("kbd"));
    auto pen = std::make_shared<SideBarItem>("Pen", nullptr);
    group.add(pen);
    group.add(pen);
    auto lookalike = std::make_shared<SideBarItem>("Pen", nullptr);
    group.add(lookalike);
    ASSERT_EQ(group.items().size(), 5u);
    EXPECT_EQ(std::any_cast<std::string>(group.items()[1]->representedObject()), "kbd");
    EXPECT_FALSE(group.items()[0]->representedObject().has_value());

    group.remove(pen);
    ASSERT_EQ(group.items().size(), 3u);
    EXPECT_EQ(group.items()[2], lookalike);
    group.setTitle("Accessories");
    EXPECT_EQ(group.title(), "Accessories");
}

TEST(PhotoEffects, NamedByTheirFilters) {
    EXPECT_EQ(photoEffectFrom(std::string("CIPhotoEffectNoir")), PhotoEffect::noir);
    EXPECT_EQ(photoEffectFrom(std::string("CIPhotoEffectMono")), PhotoEffect::mono);
    EXPECT_FALSE(photoEffectFrom(std::string("ciphotoeffecttonal")));
    EXPECT_EQ(filterName(*photoEffectFrom(std::string("CIPhotoEffectTonal"))), "CIPhotoEffectTonal");
}
