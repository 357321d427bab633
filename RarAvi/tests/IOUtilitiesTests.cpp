#include <gtest/gtest.h>

#include <filesystem>

#include "AppKit/NSWorkspace.hpp"
#include "DesktopFixture.hpp"
#include "Foundation/FileManager.hpp"
#include "Foundation/PathUtilities.hpp"
#include "Foundation/ProcessInfo.hpp"
#include "Foundation/SystemRoot.hpp"
#include "RarAvi/Directory.hpp"
#include "RarAvi/IOUtilities.hpp"
#include "Testing/TemporaryDesktop.hpp"

using namespace RarAvi;
using DesktopTesting::DesktopTest;

namespace {
class Folders : public DesktopTest {};

URL folder(const std::string& path) { return URL::fileURLWithPath(path, true); }

std::vector<std::string> paths(const std::vector<URL>& urls) {
    std::vector<std::string> result;
    for (const auto& url : urls) result.push_back(url.path());
    return result;
}

bool containsPath(const std::vector<URL>& urls, const std::string& path) {
    auto all = paths(urls);
    return std::find(all.begin(), all.end(), path) != all.end();
}
}  // namespace

TEST_F(Folders, TheUsersFoldersAreWhereTheDesktopKeepsThem) {
    SystemRoot::setPath(std::nullopt);
    TemporaryDesktop desktop;
    const std::string home = desktop.home().string();
    desktop.setVariable("XDG_CACHE_HOME", home + "/Cache");
    desktop.write("home/.config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
    EXPECT_EQ(path(Directory::user), home);
    EXPECT_EQ(path(Directory::documents), home + "/Dokumente");
    EXPECT_EQ(path(Directory::downloads), home + "/Downloads");
    EXPECT_EQ(path(Directory::caches), home + "/Cache");
    EXPECT_EQ(path(Directory::spotifyCache), home + "/Cache/spotify");
    EXPECT_EQ(path(Directory::applicationSupport), home + "/.local/share");
    EXPECT_EQ(path(Directory::trash), home + "/.local/share/Trash/files");
    EXPECT_EQ(path(Directory::preferences), home + "/.config");
    EXPECT_EQ(path(Directory::savedState), home + "/.local/state");
    EXPECT_EQ(path(Directory::userLaunchAgents), home + "/.config/autostart");
    EXPECT_EQ(name(Directory::mailAttachments), "Mail Downloads");
    EXPECT_EQ(name(Directory::xcode), "Xcode");
    EXPECT_TRUE(url(Directory::caches).hasDirectoryPath());

    // The containers are the sandboxed applications' folders.
    for (const std::string id : {"com.apple.mail", "com.applesauce", "org.example.Notes"}) desktop.write("home/.var/app/" + id + "/data", "");
    auto names = [](const std::vector<URL>& urls) {
        std::vector<std::string> result;
        for (const auto& url : urls) result.push_back(url.lastPathComponent());
        return result;
    };
    EXPECT_EQ(names(IOUtilities::containers(false)), (std::vector<std::string>{"com.apple.mail", "com.applesauce", "org.example.Notes"}));
    EXPECT_EQ(names(IOUtilities::containers(true)), (std::vector<std::string>{"com.applesauce", "org.example.Notes"}));
}

TEST_F(Folders, RecursiveListingsSkipHiddenItemsAndPackageContents) {
    const URL projects = folder("/Users/anna/Projects");
    EXPECT_EQ(paths(IOUtilities::files(projects)),
              (std::vector<std::string>{"/Users/anna/Projects/Sub/Deeper/d.txt", "/Users/anna/Projects/Sub/c.txt",
                                        "/Users/anna/Projects/a.txt", "/Users/anna/Projects/b.log"}));
    EXPECT_EQ(paths(IOUtilities::files(projects, ".txt")),
              (std::vector<std::string>{"/Users/anna/Projects/Sub/Deeper/d.txt", "/Users/anna/Projects/Sub/c.txt",
                                        "/Users/anna/Projects/a.txt"}));
    EXPECT_TRUE(IOUtilities::files(projects, ".TXT").empty());
    EXPECT_EQ(paths(IOUtilities::directories(projects)),
              (std::vector<std::string>{"/Users/anna/Projects/Kit.bundle", "/Users/anna/Projects/Sub",
                                        "/Users/anna/Projects/Sub/Deeper"}));
    EXPECT_TRUE(IOUtilities::files(folder("/Users/anna/Nowhere")).empty());
    EXPECT_TRUE(IOUtilities::directories(folder("/Users/anna/Nowhere")).empty());
}

TEST_F(Folders, TheLibraryFilterDropsOnlyTheUsersLibrary) {
    auto home = IOUtilities::directories(folder("/Users/anna"), true);
    EXPECT_TRUE(containsPath(home, "/Users/anna/Projects/Sub"));
    EXPECT_FALSE(std::any_of(home.begin(), home.end(), [](const URL& url) { return url.path().find("/Library") != std::string::npos; }));
    EXPECT_TRUE(containsPath(IOUtilities::directories(folder("/Users/anna"), false), "/Users/anna/Library/Mail/V10"));

    // At the root "Library" is the second component and stays.
    auto all = IOUtilities::directories(folder("/"), true);
    EXPECT_TRUE(containsPath(all, "/Library/Fonts"));
    EXPECT_TRUE(containsPath(all, "/Users/anna"));
    EXPECT_FALSE(containsPath(all, "/Users/anna/Library"));
    EXPECT_FALSE(containsPath(all, "/Users/anna/Library/Safari"));

    EXPECT_EQ(paths(IOUtilities::contents(folder("/Users/anna"), true, true)),
              (std::vector<std::string>{"/Users/anna/Documents", "/Users/anna/Downloads", "/Users/anna/Projects"}));
}

TEST_F(Folders, DirectListingsSplitFoldersFromFilesAndReportFailuresOnOneLine) {
    const URL projects = folder("/Users/anna/Projects");
    EXPECT_EQ(paths(IOUtilities::contents(projects, true)),
              (std::vector<std::string>{"/Users/anna/Projects/Kit.bundle", "/Users/anna/Projects/Sub"}));
    EXPECT_EQ(paths(IOUtilities::contents(projects, false)),
              (std::vector<std::string>{"/Users/anna/Projects/a.txt", "/Users/anna/Projects/b.log"}));

    testing::internal::CaptureStdout();
    EXPECT_TRUE(IOUtilities::contents(folder("/Users/anna/Nowhere"), true).empty());
    std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_NE(printed.find("Nowhere"), std::string::npos);
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1);
}

TEST_F(Folders, ItemCounts) {
    // Below Documents, Downloads and Projects (the library left out): Kit.bundle, its Contents,
    // Sub and Sub/Deeper.
    EXPECT_EQ(IOUtilities::itemCount(folder("/Users/anna"), true), 4);
    // The files inside those folders at every depth, hidden ones left out.
    EXPECT_EQ(IOUtilities::itemCount(folder("/Users/anna"), false), 7);
    EXPECT_EQ(IOUtilities::itemCount(folder("/Users/anna/Documents"), true), 0);
    EXPECT_EQ(IOUtilities::itemCount(folder("/Users/anna/Nowhere"), true), 0);
}

TEST_F(Folders, SizesCountEverythingBelowAFolder) {
    FileURL projects(folder("/Users/anna/Projects"));
    // 5 + 10 + 8 + 5, the hidden 7 and 4, and 7 inside the package.
    EXPECT_EQ(projects.size, 46u);
    EXPECT_EQ(projects.name, "Projects");
    EXPECT_FALSE(projects.isSelected);
    EXPECT_EQ(FileURL(URL::fileURLWithPath("/Users/anna/Projects/b.log")).size, 10u);
    FileURL missing(URL::fileURLWithPath("/Users/anna/gone.txt"));
    EXPECT_EQ(missing.size, 0u);
    EXPECT_EQ(missing.name, "gone.txt");

    EXPECT_EQ(IOUtilities::pathType("/Users/anna/Projects"), PathType::directory);
    EXPECT_EQ(IOUtilities::pathType("/Users/anna/Projects/a.txt"), PathType::file);
    EXPECT_EQ(IOUtilities::pathType("/Users/anna/gone.txt"), PathType::invalid);
    EXPECT_EQ(IOUtilities::fileSize(folder("/Users/anna/Projects")), 0u);
    EXPECT_EQ(IOUtilities::directorySize(folder("/Users/anna/Nowhere")), 0u);
}

TEST_F(Folders, DatesOfItems) {
    useWritableCopy();
    const std::string file = "/Users/anna/Projects/a.txt";
    const auto stamp = std::filesystem::file_time_type::clock::now() - std::chrono::hours(48);
    std::filesystem::last_write_time(host(file), stamp);
    auto modified = IOUtilities::modificationDate(file);
    ASSERT_TRUE(modified);
    const double expected = std::chrono::duration<double>(std::chrono::file_clock::to_sys(stamp).time_since_epoch()).count();
    EXPECT_NEAR(modified->timeIntervalSince1970(), expected, 1e-3);

    // Where the file system keeps creation dates, the copy was made just now.
    if (auto created = IOUtilities::creationDate(file)) {
        EXPECT_GT(created->timeIntervalSince1970(), expected);
    }
    EXPECT_FALSE(IOUtilities::creationDate("/Users/anna/gone.txt"));
    EXPECT_FALSE(IOUtilities::modificationDate("/Users/anna/gone.txt"));
}

TEST_F(Folders, LastUsedDatesComeFromTheRecentlyUsedListForReadableItems) {
    SystemRoot::setPath(std::nullopt);
    TemporaryDesktop desktop;
    const auto file = desktop.write("home/Safari/History.txt", "h");
    EXPECT_FALSE(IOUtilities::lastUsedDate(file.string()));
    desktop.write("home/.local/share/recently-used.xbel",
                  "<xbel version=\"1.0\"><bookmark href=\"file://" + file.string() +
                      "\" added=\"2023-11-14T22:13:20Z\" modified=\"2023-11-14T22:13:20Z\" visited=\"2023-11-14T22:13:20Z\"/></xbel>");
    EXPECT_EQ(IOUtilities::lastUsedDate(file.string()), Date(1700000000));
    FileManager::setProtectedPaths({file.parent_path().string()});
    EXPECT_FALSE(IOUtilities::lastUsedDate(file.string()));
}

TEST_F(Folders, DeletingLeavesNothingAtThePath) {
    useWritableCopy();
    EXPECT_TRUE(IOUtilities::remove(URL::fileURLWithPath("/Users/anna/gone.txt")));
    FileURL record(folder("/Users/anna/Projects/Sub"));
    EXPECT_TRUE(IOUtilities::remove(record));
    EXPECT_FALSE(std::filesystem::exists(host("/Users/anna/Projects/Sub")));
    EXPECT_TRUE(std::filesystem::exists(host("/Users/anna/Projects/a.txt")));

    // The root is never removed.
    EXPECT_FALSE(IOUtilities::remove(folder("/")));
    EXPECT_TRUE(std::filesystem::exists(host("/Users/anna/Projects/a.txt")));
}

TEST_F(Folders, IconsAndTheFileViewer) {
    auto bundle = IOUtilities::icon(std::string("/Applications/Notes Pad.app"));
    auto generic = IOUtilities::icon(std::string("/Applications/Nameless.app"));
    auto missing = IOUtilities::icon(std::string("/Applications/Missing.app"));
    ASSERT_TRUE(bundle && generic && missing);
    EXPECT_EQ(bundle->size(), (CGSize{32, 32}));
    EXPECT_NE(bundle->pngData(), generic->pngData());
    EXPECT_NE(generic->pngData(), missing->pngData());

    EXPECT_TRUE(IOUtilities::icon(URL::fileURLWithPath("/Users/anna/Projects/a.txt")));
    EXPECT_FALSE(IOUtilities::icon(URL::fileURLWithPath("/Users/anna/gone.txt")));
    ProcessInfo::processInfo().setOperatingSystemVersion(OperatingSystemVersion{11, 6, 0});
    EXPECT_TRUE(IOUtilities::icon(URL::fileURLWithPath("/Users/anna/gone.txt")));

    std::vector<std::pair<std::string, std::string>> shown;
    NSWorkspace::shared().setFileViewer([&](const std::string& path, const std::string& root) {
        shown.emplace_back(path, root);
        return true;
    });
    IOUtilities::revealInFinder(URL::fileURLWithPath("/Users/anna/Projects/a.txt"));
    IOUtilities::revealInFinder(URL::fileURLWithPath("/Users/anna/gone.txt"));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], std::make_pair(std::string("/Users/anna/Projects/a.txt"), std::string("/Users/anna/Projects")));
}
