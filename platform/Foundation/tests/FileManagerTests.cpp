#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "Foundation/FileManager.hpp"
#include "Foundation/KeyValueObserving.hpp"
#include "Foundation/MetadataItem.hpp"
#include "Foundation/PathUtilities.hpp"
#include "Foundation/SystemRoot.hpp"
#include "Foundation/URLBookmarks.hpp"
#include "Foundation/URLResourceValues.hpp"
#include "Testing/TestEnvironment.hpp"

namespace fs = std::filesystem;

namespace FileSystemTesting {

// A small disk of its own as the system root.
class FileSystem : public ::testing::Test {
protected:
    void SetUp() override {
        SystemRoot::setPath(root.path());
        root.write("Users/anna/Notes/a.txt", "alpha");
        root.write("Users/anna/Notes/.hidden", "h");
        root.write("Users/anna/Notes/Tool.app/Contents/Info.plist", "<plist/>");
        root.write("Users/anna/Notes/Sub/b.txt", "bravo!");
        root.write("Users/anna/Notes/.Secret/c.txt", "c");
        fs::create_directory_symlink(root.path() / "Users/anna/Notes/Sub", root.path() / "Users/anna/Notes/Link");
    }
    void TearDown() override {
        SystemRoot::setPath(std::nullopt);
        FileManager::setProtectedPaths({});
        SecurityScopedAccess::setRefusal(nullptr);
        SecurityScopedAccess::reset();
        UserAccount::setHomeDirectory(std::nullopt);
    }

    static std::vector<std::string> walk(unsigned options) {
        std::vector<std::string> seen;
        auto enumerator = FileManager::defaultManager().enumerator(URL::fileURLWithPath("/Users/anna/Notes", true), options);
        while (auto url = enumerator->nextObject()) seen.push_back(url->path().substr(18) + (url->hasDirectoryPath() ? "/" : ""));
        return seen;
    }

    TemporaryDirectory root;
    FileManager& files = FileManager::defaultManager();
};

struct Watcher : NSKeyValueObserver {
    std::vector<std::string> heard;
    std::function<void()> onChange;
    void observeValue(const std::string& keyPath, const void*, const NSKeyValueChange& change, void*) override {
        heard.push_back(keyPath + "=" + (change.newValue.has_value() ? std::to_string(std::any_cast<int>(change.newValue)) : "?"));
        if (onChange) onChange();
    }
};

struct Counter : NSKeyValueObservable {
    int value = 0;
    void set(int newValue) {
        value = newValue;
        didChangeValue("value");
    }
    std::any valueForKeyPath(const std::string&) const override { return value; }
};

}  // namespace FileSystemTesting

using namespace FileSystemTesting;

TEST_F(FileSystem, EnumerationFollowsTheOptions) {
    EXPECT_EQ(walk(0), (std::vector<std::string>{".Secret/", ".Secret/c.txt", ".hidden", "Link", "Sub/", "Sub/b.txt", "Tool.app/",
                                                 "Tool.app/Contents/", "Tool.app/Contents/Info.plist", "a.txt"}));
    EXPECT_EQ(walk(FileManager::skipsHiddenFiles | FileManager::skipsPackageDescendants),
              (std::vector<std::string>{"Link", "Sub/", "Sub/b.txt", "Tool.app/", "a.txt"}));
    EXPECT_EQ(walk(FileManager::skipsSubdirectoryDescendants | FileManager::skipsHiddenFiles),
              (std::vector<std::string>{"Link", "Sub/", "Tool.app/", "a.txt"}));
    EXPECT_FALSE(files.enumerator(URL::fileURLWithPath("/Users/anna/Nowhere", true)));
    EXPECT_FALSE(files.enumerator(*URL::string("https://example.com/")));
}

TEST_F(FileSystem, ListingsAndTheirErrors) {
    auto entries = files.contentsOfDirectory(URL::fileURLWithPath("/Users/anna/Notes"), FileManager::skipsHiddenFiles);
    ASSERT_TRUE(entries);
    EXPECT_EQ(entries->front().absoluteString(), "file:///Users/anna/Notes/Link");
    EXPECT_EQ((*entries)[1].absoluteString(), "file:///Users/anna/Notes/Sub/");
    EXPECT_EQ(files.contentsOfDirectory("/Users/anna/Notes")->size(), 6u);

    NSError error;
    EXPECT_FALSE(files.contentsOfDirectory("/Users/anna/Nowhere", &error));
    EXPECT_EQ(error.domain, NSCocoaErrorDomain);
    EXPECT_EQ(error.code, NSFileReadNoSuchFileError);
    ASSERT_TRUE(error.underlyingError);
    EXPECT_EQ(error.underlyingError->code, ENOENT);
    EXPECT_NE(error.localizedDescription.find("Nowhere"), std::string::npos);

    // Protected folders refuse listing and reading everything below them as not permitted.
    FileManager::setProtectedPaths({"/Users/anna/Notes/Sub/"});
    EXPECT_FALSE(files.contentsOfDirectory("/Users/anna/Notes/Sub", &error));
    EXPECT_EQ(error.code, NSFileReadNoPermissionError);
    EXPECT_EQ(error.underlyingError->domain, NSPOSIXErrorDomain);
    EXPECT_EQ(error.underlyingError->code, EPERM);
    EXPECT_FALSE(files.contents("/Users/anna/Notes/Sub/b.txt"));
    EXPECT_FALSE(files.isReadableFile("/Users/anna/Notes/Sub/b.txt"));
    EXPECT_TRUE(files.fileExists("/Users/anna/Notes/Sub/b.txt"));
    EXPECT_TRUE(files.contents("/Users/anna/Notes/a.txt"));
    EXPECT_FALSE(FileManager::isProtected("/Users/anna/Notes/Subway"));
    EXPECT_FALSE(files.contents("/Users/anna/Notes"));
    fs::resize_file(root.write("Users/anna/Notes/huge.bin", ""), FileManager::maximumContentsSize + 1);  // sparse
    EXPECT_FALSE(files.contents("/Users/anna/Notes/huge.bin"));
}

TEST_F(FileSystem, ItemsAndTheirAttributes) {
    bool folder = false;
    EXPECT_TRUE(files.fileExists("/Users/anna/Notes/Link", &folder));
    EXPECT_TRUE(folder);
    auto values = resourceValues(URL::fileURLWithPath("/Users/anna/Notes/Link"),
                                 {URLResourceKey::isDirectory, URLResourceKey::isSymbolicLink, URLResourceKey::fileSize});
    ASSERT_TRUE(values);
    EXPECT_EQ(values->isDirectory, false);
    EXPECT_EQ(values->isSymbolicLink, true);
    EXPECT_FALSE(values->fileSize);
    EXPECT_EQ(resourceValues(URL::fileURLWithPath("/Users/anna/Notes/Sub/b.txt"), {URLResourceKey::fileSize})->fileSize, 6u);
    EXPECT_FALSE(resourceValues(URL::fileURLWithPath("/Users/anna/gone"), {URLResourceKey::fileSize}));

    auto attributes = files.attributesOfItem("/Users/anna/Notes/a.txt");
    ASSERT_TRUE(attributes);
    EXPECT_EQ(attributes->at(NSFileType), PropertyListValue(NSFileTypeRegular));
    EXPECT_EQ(attributes->at(NSFileSize), PropertyListValue(5));
    EXPECT_TRUE(attributes->at(NSFileModificationDate).isDate());
    EXPECT_EQ(files.attributesOfItem("/Users/anna/Notes/Link")->at(NSFileType), PropertyListValue(NSFileTypeSymbolicLink));
    EXPECT_FALSE(files.attributesOfItem("/Users/anna/gone"));

    EXPECT_FALSE(MDItemCreate("/Users/anna/gone"));
    EXPECT_FALSE(MDItemCopyAttribute(MDItemCreate("/Users/anna/Notes/a.txt"), kMDItemLastUsedDate));
}

TEST_F(FileSystem, RemovingItems) {
    NSError error;
    EXPECT_TRUE(files.removeItem("/Users/anna/Notes/Link"));
    EXPECT_TRUE(fs::exists(root.path() / "Users/anna/Notes/Sub/b.txt"));
    EXPECT_TRUE(files.removeItem("/Users/anna/Notes/Sub/"));
    EXPECT_FALSE(fs::exists(root.path() / "Users/anna/Notes/Sub"));
    EXPECT_FALSE(files.removeItem("/Users/anna/Notes/Sub", &error));
    EXPECT_EQ(error.underlyingError->code, ENOENT);
    EXPECT_FALSE(files.removeItem("/", &error));
    EXPECT_FALSE(files.removeItem("/Users/..", &error));
    EXPECT_EQ(error.underlyingError->code, EPERM);
    EXPECT_TRUE(fs::exists(root.path() / "Users/anna/Notes/a.txt"));
}

TEST_F(FileSystem, BookmarksFindTheirItemAgain) {
    const URL notes = URL::fileURLWithPath("/Users/anna/Notes", true);
    auto data = bookmarkData(notes, URLBookmarkCreationOptions::withSecurityScope());
    ASSERT_TRUE(data);
    bool stale = true;
    auto found = resolvingBookmarkData(*data, URLBookmarkResolutionOptions::withSecurityScope(), &stale);
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, notes);
    EXPECT_FALSE(stale);
    EXPECT_EQ(resolvingBookmarkData(*bookmarkData(URL::fileURLWithPath("/Users/anna/Notes/a.txt"), {}), {}, &stale)->absoluteString(),
              "file:///Users/anna/Notes/a.txt");

    // Another folder at the path: stale. Nothing there: an error.
    fs::create_directory(root.path() / "Users/anna/New");
    fs::rename(root.path() / "Users/anna/Notes", root.path() / "Users/anna/Old");
    fs::rename(root.path() / "Users/anna/New", root.path() / "Users/anna/Notes");
    EXPECT_TRUE(resolvingBookmarkData(*data, {}, &stale));
    EXPECT_TRUE(stale);
    fs::remove_all(root.path() / "Users/anna/Notes");
    NSError error;
    EXPECT_FALSE(resolvingBookmarkData(*data, {}, &stale, &error));
    EXPECT_EQ(error.code, NSFileNoSuchFileError);

    EXPECT_FALSE(resolvingBookmarkData(dataFromString("QBMK1 garbage"), {}, &stale, &error));
    EXPECT_EQ(error.code, NSFileReadCorruptFileError);
    EXPECT_FALSE(resolvingBookmarkData(Data{}, {}, &stale, &error));
    EXPECT_FALSE(bookmarkData(notes, {}, &error));
}

TEST_F(FileSystem, SecurityScopedAccessIsCountedAndCanBeRefused) {
    const URL notes = URL::fileURLWithPath("/Users/anna/Notes", true);
    EXPECT_TRUE(startAccessingSecurityScopedResource(notes));
    EXPECT_TRUE(startAccessingSecurityScopedResource(URL::fileURLWithPath("/Users/anna/Notes")));
    EXPECT_EQ(SecurityScopedAccess::accessCount("/Users/anna/Notes/"), 2);
    stopAccessingSecurityScopedResource(notes);
    stopAccessingSecurityScopedResource(notes);
    stopAccessingSecurityScopedResource(notes);
    EXPECT_EQ(SecurityScopedAccess::accessCount("/Users/anna/Notes"), 0);
    EXPECT_FALSE(startAccessingSecurityScopedResource(URL::fileURLWithPath("/Users/anna/gone")));
    SecurityScopedAccess::setRefusal([](const std::string& path) { return path == "/Users/anna/Notes"; });
    EXPECT_FALSE(startAccessingSecurityScopedResource(notes));
    EXPECT_TRUE(startAccessingSecurityScopedResource(URL::fileURLWithPath("/Users/anna/Notes/a.txt")));
}

TEST(PathUtilities, TildesAndStandardPaths) {
    UserAccount::setHomeDirectory("/Users/anna/");
    EXPECT_EQ(expandingTildeInPath("~"), "/Users/anna/");
    EXPECT_EQ(expandingTildeInPath("~/Library/Mail/"), "/Users/anna/Library/Mail/");
    EXPECT_EQ(expandingTildeInPath("~bob/x"), "~bob/x");
    EXPECT_EQ(expandingTildeInPath("/a/~/b"), "/a/~/b");
    UserAccount::setHomeDirectory(std::nullopt);
    EXPECT_FALSE(NSHomeDirectory().empty());
    EXPECT_FALSE(NSUserName().empty());

    EXPECT_EQ(standardizingPath("/Users//anna/./Library/../Mail/"), "/Users/anna/Mail");
    EXPECT_EQ(standardizingPath("/../a"), "/a");
    EXPECT_EQ(standardizingPath("a/../../b"), "../b");
    EXPECT_EQ(standardizingPath("/"), "/");
    EXPECT_EQ(standardizingPath(""), "");
    EXPECT_EQ(pathComponents("/Users/anna/"), (std::vector<std::string>{"/", "Users", "anna"}));
    EXPECT_EQ(pathComponents("a//b"), (std::vector<std::string>{"a", "b"}));
}

TEST(KeyValueObserving, ObserversHearChangesOfTheirKeyPath) {
    Counter counter;
    Watcher first, second;
    counter.addObserver(&first, "value", NSKeyValueObservingOptions::newValue() | NSKeyValueObservingOptions::initial());
    EXPECT_EQ(first.heard, (std::vector<std::string>{"value=0"}));
    counter.addObserver(&second, "value", NSKeyValueObservingOptions::oldValue());
    counter.addObserver(&second, "other", NSKeyValueObservingOptions::newValue());
    // An observer that lets go of another during a change: the other no longer hears it.
    first.onChange = [&] { counter.removeObserver(&second, "value"); };
    counter.set(3);
    EXPECT_EQ(first.heard, (std::vector<std::string>{"value=0", "value=3"}));
    EXPECT_TRUE(second.heard.empty());
    EXPECT_EQ(counter.observationCount(&second, "value"), 0u);
    EXPECT_EQ(counter.observationCount(&second, "other"), 1u);
    counter.removeObserver(&first, "value");
    counter.set(4);
    EXPECT_EQ(first.heard.size(), 2u);
}
