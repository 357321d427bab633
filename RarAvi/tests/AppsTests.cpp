#include <gtest/gtest.h>

#include <filesystem>

#include "AppKit/NSWorkspace.hpp"
#include "DesktopFixture.hpp"
#include "Foundation/SystemRoot.hpp"
#include "RarAvi/Apps.hpp"
#include "RarAvi/FileIconManager.hpp"
#include "Testing/TemporaryDesktop.hpp"

using namespace RarAvi;
using DesktopTesting::DesktopTest;

namespace {
class Inventory : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        FileIconManager::shared().cache.removeAll();
    }
};

std::vector<std::string> identifiers(const std::vector<std::shared_ptr<App>>& apps) {
    std::vector<std::string> result;
    for (const auto& app : apps) result.push_back(app->identifier);
    return result;
}

URL bundle(const std::string& path) { return URL::fileURLWithPath(path, true); }
}  // namespace

TEST_F(Inventory, InstalledApplicationsAreTheMenusDesktopEntries) {
    SystemRoot::setPath(std::nullopt);
    TemporaryDesktop desktop;
    const auto program = desktop.write("bin/notes-pad", std::string(1234, 'x'));
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    desktop.write("share/applications/org.example.Notes.desktop",
                  "[Desktop Entry]\nType=Application\nName=Notes\nTryExec=" + program.string() + "\nExec=notes-pad %U\nIcon=" +
                      (desktop.root() / "share/notes.svg").string() + "\n");
    desktop.write("share/notes.svg", R"(<svg xmlns="http://www.w3.org/2000/svg" width="8" height="8"><rect width="8" height="8"/></svg>)");
    desktop.write("share/metainfo/org.example.Notes.metainfo.xml", "<component><releases><release version=\"2.1\"/></releases></component>");
    desktop.write("share/applications/com.apple.Music.desktop", "[Desktop Entry]\nType=Application\nName=Music\nExec=music\n");
    desktop.write("share/applications/org.example.Helper.desktop",
                  "[Desktop Entry]\nType=Application\nName=Helper\nExec=helper\nNoDisplay=true\n");

    auto apps = Apps::installedApps(false);
    auto notes = std::find_if(apps.begin(), apps.end(), [](const auto& app) { return app->identifier == "org.example.Notes"; });
    ASSERT_NE(notes, apps.end());
    const auto& record = *notes;
    EXPECT_EQ(record->name, "Notes");
    EXPECT_EQ(record->version, "2.1");
    EXPECT_EQ(record->baseUrl->path(), (desktop.share() / "applications/org.example.Notes.desktop").string());
    EXPECT_EQ(record->binaryFileSize(), 1234u);
    EXPECT_TRUE(record->installed);
    EXPECT_TRUE(record->containedApps.empty());
    ASSERT_TRUE(record->icon);
    EXPECT_EQ(record->icon->pngData(), NSWorkspace::shared().iconForFile(record->baseUrl->path())->pngData());
    EXPECT_TRUE(std::any_of(apps.begin(), apps.end(), [](const auto& app) { return app->identifier == "com.apple.Music"; }));
    EXPECT_FALSE(std::any_of(apps.begin(), apps.end(), [](const auto& app) { return app->identifier == "org.example.Helper"; }));
    auto withoutSystemMakers = identifiers(Apps::installedApps(true));
    EXPECT_EQ(std::count(withoutSystemMakers.begin(), withoutSystemMakers.end(), "com.apple.Music"), 0);
    EXPECT_EQ(Apps::bundleIdentifier(*record->baseUrl), "org.example.Notes");
}

TEST_F(Inventory, BundlesWithTheirNestedBundles) {
    auto notes = Apps::app(bundle("/Applications/Notes Pad.app"), true, false);
    ASSERT_TRUE(notes);
    EXPECT_EQ(notes->name, "Notes Pad");
    EXPECT_EQ(notes->version, "2.1");
    EXPECT_EQ(notes->baseUrl->path(), "/Applications/Notes Pad.app");
    ASSERT_TRUE(notes->binaryFile);
    // Everything in the bundle, hidden files and nested bundles included.
    std::uintmax_t expected = 0;
    for (auto& entry : std::filesystem::recursive_directory_iterator(host("/Applications/Notes Pad.app"))) {
        if (entry.is_regular_file()) expected += entry.file_size();
    }
    EXPECT_EQ(notes->binaryFileSize(), expected);
    EXPECT_EQ(notes->installed, IOUtilities::creationDate("/Applications/Notes Pad.app"));

    // One level deep: the share extension and both login items, not the extension inside a
    // login item; nested records have no nested records of their own.
    EXPECT_EQ(identifiers(notes->containedApps), (std::vector<std::string>{"com.example.notespad.helper",
                                                                           "com.apple.systemagent",
                                                                           "com.example.notespad.share"}));
    for (const auto& nested : notes->containedApps) EXPECT_TRUE(nested->containedApps.empty());
    EXPECT_EQ(notes->containedApps[0]->baseUrl->path(), "/Applications/Notes Helper.app");
    // An extension keeps its base name.
    EXPECT_EQ(notes->containedApps[2]->name, "Share");

    // A version that is no text is absent; a subfolder's application still gets its base URL in
    // the application folder.
    auto gauge = Apps::app(bundle("/Applications/Utilities/Disk Gauge.app"), true, false);
    EXPECT_FALSE(gauge->version);
    EXPECT_EQ(gauge->baseUrl->path(), "/Applications/Disk Gauge.app");
}

TEST_F(Inventory, ExcludingTheSystemMakersApplications) {
    EXPECT_EQ(identifiers(Apps::app(bundle("/Applications/Notes Pad.app"), true, true)->containedApps),
              (std::vector<std::string>{"com.example.notespad.helper", "com.example.notespad.share"}));

    EXPECT_FALSE(Apps::app(bundle("/Applications/Utilities/Console Tool.app"), false, true));
    EXPECT_TRUE(Apps::app(bundle("/Applications/Utilities/Console Tool.app"), false, false));
    EXPECT_TRUE(Apps::app(bundle("/Applications/Notes Pad.app"), false, false)->containedApps.empty());
    EXPECT_FALSE(Apps::app(bundle("/Applications/Broken.app"), true, false));
    EXPECT_FALSE(Apps::app(bundle("/Applications/Nameless.app"), true, false));
    EXPECT_FALSE(Apps::app(bundle("/Applications/Utilities"), true, false));
    EXPECT_TRUE(Apps::containedApps(bundle("/Applications/Missing.app"), false).empty());

    EXPECT_EQ(Apps::bundleIdentifier(bundle("/Applications/Notes Pad.app")), "com.example.notespad");
    EXPECT_FALSE(Apps::bundleIdentifier(bundle("/Applications/Nameless.app")));
    EXPECT_FALSE(Apps::bundleIdentifier(bundle("/Applications/Utilities")));
}

TEST_F(Inventory, SelectedSizesAddOnlySelectedRecords) {
    auto app = App::make("Notes Pad", "com.example.notespad");
    EXPECT_EQ(app->binaryFileSize() + app->containerSize() + app->preferencesSize() + app->savedStateSize() + app->cachesSize(), 0u);
    app->container = FileURL::make(URL::fileURLWithPath("/Users/anna/Library/Containers/com.example.notespad", true));
    app->caches = {FileURL::make(URL::fileURLWithPath("/Users/anna/Library/Caches/com.example.notespad", true)),
                   FileURL::make(URL::fileURLWithPath("/Users/anna/Projects/b.log"))};
    EXPECT_EQ(app->containerSize(), 6u);
    EXPECT_EQ(app->cachesSize(), 74u);
    EXPECT_EQ(app->selectedSize(), 0u);
    app->container->isSelected = true;
    app->caches[1]->isSelected = true;
    EXPECT_EQ(app->selectedSize(), 16u);
}

TEST_F(Inventory, RunningApplicationsAndBuildProducts) {
    NSWorkspace::shared().setRunningApplications(std::vector<std::shared_ptr<NSRunningApplication>>{
        std::make_shared<NSRunningApplication>(std::nullopt, "Tool", 10),
        std::make_shared<NSRunningApplication>("com.example.NotesPad", "Notes Pad", 11)});
    EXPECT_TRUE(Apps::isRunning("com.example.NotesPad"));
    EXPECT_FALSE(Apps::isRunning("com.example.notespad"));
    EXPECT_FALSE(Apps::isRunning("com.example"));
    EXPECT_FALSE(Apps::isRunning(""));

    auto product = Apps::xcodeProduct(bundle("/Build"));
    ASSERT_TRUE(product);
    EXPECT_EQ(product->first, "Notes Pad");
    EXPECT_EQ(product->second->pngData(), NSWorkspace::shared().iconForFile("/Build/Products/Debug/Notes Pad.app")->pngData());
    EXPECT_FALSE(Apps::xcodeProduct(bundle("/Users/anna")));
}

TEST_F(Inventory, ApplicationIconsByName) {
    useWritableCopy();
    auto& icons = FileIconManager::shared();
    // The system folder's icon file is read as an image of its own size.
    auto calendar = icons.appIcon("Calendar");
    ASSERT_TRUE(calendar);
    EXPECT_EQ(calendar->size(), (CGSize{20, 20}));
    // The application folder's icon file is shown through the workspace.
    auto notes = icons.appIcon("Notes Pad");
    ASSERT_TRUE(notes);
    EXPECT_EQ(notes->pngData(),
              NSWorkspace::shared().iconForFile("/Applications/Notes Pad.app/Contents/Resources/NotesPad.icns")->pngData());
    // An unknown name gets the workspace's generic icon, which is cached too; so does an
    // application in a subfolder, which is not looked for there.
    auto unknown = icons.appIcon("Nobody");
    ASSERT_TRUE(unknown);
    EXPECT_EQ(unknown->pngData(), NSWorkspace::shared().iconForFile("/Applications/Nobody.app")->pngData());
    EXPECT_NE(unknown->pngData(), notes->pngData());
    EXPECT_EQ(icons.cache.get("Nobody"), unknown);
    EXPECT_EQ(icons.appIcon("Disk Gauge")->pngData(), unknown->pngData());

    // A second lookup answers from the cache without the file system.
    std::filesystem::remove_all(host("/System/Applications/Calendar.app"));
    EXPECT_EQ(icons.appIcon("Calendar"), calendar);

    // An icon file that is no image gives nothing, and nothing is kept.
    EXPECT_FALSE(icons.appIcon("Broken Icon"));
    EXPECT_FALSE(icons.cache.get("Broken Icon"));
}

TEST_F(Inventory, FileIconsFollowTheBundleAFileIsIn) {
    auto& icons = FileIconManager::shared();
    auto bundleIcon = icons.fileIcon(URL::fileURLWithPath("/Applications/Notes Pad.app", true));
    ASSERT_TRUE(bundleIcon);
    EXPECT_EQ(bundleIcon->pngData(), NSWorkspace::shared().iconForFile("/Applications/Notes Pad.app")->pngData());
    EXPECT_TRUE(icons.cache.isEmpty());

    auto inside = icons.fileIcon(URL::fileURLWithPath("/Applications/Notes Pad.app/Contents/MacOS/Notes Pad"));
    EXPECT_EQ(inside, icons.cache.get("Notes Pad"));
    auto calendar = icons.fileIcon(URL::fileURLWithPath("/System/Applications/Calendar.app/Contents/Resources/Calendar.icns"));
    EXPECT_EQ(icons.cache.get("Calendar"), calendar);
    // Every ".app" goes from the component.
    auto twice = icons.fileIcon(URL::fileURLWithPath("/Users/anna/My.app.app/readme.txt"));
    EXPECT_EQ(icons.cache.get("My"), twice);
    EXPECT_FALSE(icons.fileIcon(URL::fileURLWithPath("/Users/anna/Documents/report.txt")));

    EXPECT_EQ(icons.firstIconFile(bundle("/Applications/Notes Pad.app"))->path(),
              "/Applications/Notes Pad.app/Contents/Resources/NotesPad.icns");
    EXPECT_FALSE(icons.firstIconFile(bundle("/Users/anna")));
    EXPECT_FALSE(icons.firstIconFile(bundle("/Users/nobody")));
}
