#include <gtest/gtest.h>

#include <filesystem>

#include "AppKitTestSupport.hpp"
#include "AppKit/NSStatusBar.hpp"
#include "AppKit/NSWorkspace.hpp"
#include "Foundation/SystemRoot.hpp"

namespace DesktopServicesTesting {

class DesktopServices : public AppKitTest {
protected:
    void TearDown() override {
        NSStatusBar::system().setAppearance(nullptr);
        NSWorkspace::shared().setURLOpener(nullptr);
        NSWorkspace::shared().setFileViewer(nullptr);
        SystemRoot::setPath(std::nullopt);
        AppKitTest::TearDown();
    }
};

struct Watcher : NSKeyValueObserver {
    std::vector<std::string> appearances;
    void observeValue(const std::string&, const void*, const NSKeyValueChange& change, void*) override {
        auto appearance = std::any_cast<std::shared_ptr<NSAppearance>>(change.newValue);
        appearances.push_back(appearance ? appearance->name() : "none");
    }
};

const char* const squareSVG =
    R"(<svg xmlns="http://www.w3.org/2000/svg" width="8" height="8"><rect width="8" height="8" fill="#ff0000"/></svg>)";

}  // namespace DesktopServicesTesting

using namespace DesktopServicesTesting;

TEST_F(DesktopServices, TheStatusBarHoldsItsItemsWeakly) {
    auto& bar = NSStatusBar::system();
    EXPECT_EQ(bar.thickness(), 22);
    auto first = bar.statusItem(NSVariableStatusItemLength);
    auto second = bar.statusItem(NSSquareStatusItemLength);
    EXPECT_TRUE(bar.containsItem(first) && bar.containsItem(second));
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(second->length(), NSSquareStatusItemLength);
    ASSERT_TRUE(first->button());
    EXPECT_EQ(first->button()->title(), "");

    bar.removeStatusItem(first);
    EXPECT_FALSE(bar.containsItem(first));
    const auto before = bar.statusItems().size();
    second.reset();
    EXPECT_EQ(bar.statusItems().size(), before - 1);
}

TEST_F(DesktopServices, StatusItemsTellObserversWhenTheirButtonChangesAppearance) {
    auto& bar = NSStatusBar::system();
    auto item = bar.statusItem(NSVariableStatusItemLength);
    Watcher watcher;
    item->addObserver(&watcher, "button.effectiveAppearance",
                      NSKeyValueObservingOptions::newValue() | NSKeyValueObservingOptions::initial());
    EXPECT_EQ(watcher.appearances, (std::vector<std::string>{NSAppearanceNameAqua}));

    bar.setAppearance(NSAppearance::named(NSAppearanceNameDarkAqua));
    bar.setAppearance(NSAppearance::named(NSAppearanceNameDarkAqua));
    bar.setAppearance(nullptr);
    EXPECT_EQ(watcher.appearances, (std::vector<std::string>{NSAppearanceNameAqua, NSAppearanceNameDarkAqua, NSAppearanceNameAqua}));

    // New items are drawn as the bar is; a custom view takes the button's place.
    bar.setAppearance(NSAppearance::named(NSAppearanceNameVibrantDark));
    EXPECT_EQ(bar.statusItem(NSVariableStatusItemLength)->button()->effectiveAppearance()->name(), NSAppearanceNameVibrantDark);
    item->setView(NSView::make());
    EXPECT_FALSE(item->button());
    EXPECT_EQ(watcher.appearances.back(), "none");
    item->removeObserver(&watcher, "button.effectiveAppearance");
}

TEST_F(DesktopServices, WorkspaceIconsOfItemsAndTypes) {
    TemporaryDirectory root;
    SystemRoot::setPath(root.path());
    root.write("Applications/Drawn.app/Contents/Info.plist",
               "<plist><dict><key>CFBundleIconFile</key><string>Art</string></dict></plist>");
    root.write("Applications/Drawn.app/Contents/Resources/Art.icns", squareSVG);
    root.write("Applications/Plain.app/Contents/Info.plist", "<plist><dict/></plist>");
    root.write("Pictures/square.svg", squareSVG);
    root.write("Pictures/notes.txt", "text");
    auto& workspace = NSWorkspace::shared();

    auto drawn = workspace.iconForFile("/Applications/Drawn.app");
    auto picture = workspace.iconForFile("/Pictures/square.svg");
    auto plainApp = workspace.iconForFile("/Applications/Plain.app");
    auto folder = workspace.iconForFile("/Pictures");
    auto document = workspace.iconForFile("/Pictures/notes.txt");
    auto missing = workspace.iconForFile("/Pictures/gone.txt");
    for (const auto& icon : {drawn, picture, plainApp, folder, document, missing}) {
        ASSERT_TRUE(icon);
        EXPECT_EQ(icon->size(), (CGSize{32, 32}));
    }
    EXPECT_EQ(drawn->pngData(), picture->pngData());
    EXPECT_NE(drawn->pngData(), plainApp->pngData());
    EXPECT_EQ(document->pngData(), missing->pngData());
    EXPECT_NE(folder->pngData(), document->pngData());
    EXPECT_NE(workspace.iconForFile("/Pictures/notes.txt"), document);  // a new image each time

    EXPECT_EQ(workspace.iconForContentType(UTType::applicationBundle())->pngData(), plainApp->pngData());
    EXPECT_EQ(workspace.iconForContentType(UTType::folder())->pngData(), folder->pngData());
    EXPECT_EQ(workspace.iconForFileType("txt")->pngData(), document->pngData());
    EXPECT_EQ(workspace.iconForFileType("no-such-type")->pngData(), document->pngData());
}

TEST_F(DesktopServices, ShowingFilesAndRunningApplications) {
    TemporaryDirectory root;
    SystemRoot::setPath(root.path());
    root.write("Users/anna/a.txt", "a");
    std::vector<std::string> opened;
    NSWorkspace::shared().setURLOpener([&](const URL& url) {
        opened.push_back(url.path());
        return true;
    });
    EXPECT_TRUE(NSWorkspace::shared().selectFile("/Users/anna/a.txt", "/Users/anna"));
    EXPECT_FALSE(NSWorkspace::shared().selectFile("/Users/anna/b.txt", "/Users/anna"));
    // Without a file manager the folder opens, once the bus has said so.
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return !opened.empty(); }, 15));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(std::filesystem::path(opened[0]), root.path() / "Users/anna");

    auto running = NSWorkspace::shared().runningApplications();
    ASSERT_EQ(running.size(), 1u);
    EXPECT_EQ(running[0]->processIdentifier(), NSRunningApplication::current()->processIdentifier());
}

TEST_F(DesktopServices, CapHeightsGrowWithTheFontSize) {
    const CGFloat small = NSFont::systemFont(10)->capHeight();
    EXPECT_NEAR(small, 7.29, 0.05);
    EXPECT_NEAR(NSFont::systemFont(20)->capHeight(), 2 * small, 1e-6);
    EXPECT_NEAR(NSFont::boldSystemFont(10)->capHeight(), small, 0.1);
    EXPECT_LT(small, NSFont::systemFont(10)->ascender());
}
