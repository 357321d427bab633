#include <gtest/gtest.h>

#include <algorithm>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSMenuItem.hpp"
#include "AppKit/NSStoryboard.hpp"
#include "AppKit/NSViewController.hpp"
#include "AppKit/NSWindow.hpp"
#include "AppKit/NSWindowController.hpp"
#include "AppKitTestSupport.hpp"

using Windows = AppKitTest;

namespace {
class TintedWindow : public NSWindow {
public:
    using NSWindow::NSWindow;
    static std::shared_ptr<TintedWindow> make(const CGRect& contentRect, StyleMask style) {
        auto window = std::make_shared<TintedWindow>(contentRect, style);
        install(window, contentRect);
        return window;
    }
};
}  // namespace

TEST_F(Windows, SubclassesAreMadeLikePlainWindowsAndMayLetTheBackgroundThrough) {
    auto window = TintedWindow::make({0, 0, 60, 40}, NSWindow::StyleMask::borderless());
    EXPECT_EQ(window->frame(), (CGRect{0, 0, 60, 40}));
    ASSERT_TRUE(window->contentView());
    EXPECT_EQ(window->contentView()->window(), window);
    auto listed = NSApplication::shared().windows();
    EXPECT_NE(std::find(listed.begin(), listed.end(), window), listed.end());

    EXPECT_TRUE(window->isOpaque());
    window->setOpaque(false);
    window->setBackgroundColor(NSColor::make(0, 0, 1, 0.5));
    EXPECT_FALSE(window->isOpaque());
    EXPECT_EQ(pixelAt(*window->image(1.0), 30, 20), (Bytes{0, 0, 128, 128}));
    window->close();
}

TEST_F(Windows, TheTitleBarTakesItsHeightFromTheContent) {
    auto titled = NSWindow::make({100, 100, 300, 200}, NSWindow::StyleMask::titled() | NSWindow::StyleMask::closable());
    EXPECT_EQ(titled->frame(), (CGRect{100, 100, 300, 228}));
    EXPECT_EQ(titled->contentRect(titled->frame()), (CGRect{100, 100, 300, 200}));
    EXPECT_EQ(titled->contentView()->frame(), (CGRect{0, 0, 300, 200}));
    EXPECT_EQ(titled->contentView()->window(), titled);

    titled->setFrame({0, 0, 400, 128});
    EXPECT_EQ(titled->contentView()->frame().size, (CGSize{400, 100}));
    auto child = NSView::make();
    titled->contentView()->addSubview(child);
    EXPECT_EQ(child->window(), titled);

    auto borderless = NSWindow::make({0, 0, 300, 200}, NSWindow::StyleMask::borderless());
    EXPECT_EQ(borderless->contentRect(borderless->frame()), borderless->frame());
    auto fullSize = NSWindow::make({0, 0, 300, 200}, NSWindow::StyleMask::titled() | NSWindow::StyleMask::fullSizeContentView());
    EXPECT_EQ(fullSize->contentRect(fullSize->frame()), fullSize->frame());

    auto replacement = NSView::make();
    titled->setContentView(replacement);
    EXPECT_FALSE(child->window());
    EXPECT_EQ(replacement->frame().size, (CGSize{400, 100}));
    EXPECT_EQ(titled->backingScaleFactor(), 1.0);
}

TEST_F(Windows, AlertsAreAnsweredByTheResponder) {
    auto alert = NSAlert::make();
    alert->setMessageText("Remove?");
    EXPECT_EQ(alert->runModal(), NSAlertFirstButtonReturn);  // nobody installed: the first button
    EXPECT_EQ(alert->buttonTitles(), (std::vector<std::string>{"OK"}));

    std::vector<std::string> seen;
    NSAlert::setResponder([&](const NSAlert& shown) {
        seen.push_back(shown.messageText() + (shown.sheetWindow() ? " (sheet)" : ""));
        return NSAlertSecondButtonReturn;
    });
    auto question = NSAlert::make();
    question->setMessageText("Keep?");
    question->addButton("No");
    question->addButton("Yes");
    EXPECT_EQ(question->runModal(), NSAlertSecondButtonReturn);

    auto window = NSWindow::make({0, 0, 100, 100}, NSWindow::StyleMask::titled());
    std::vector<NSModalResponse> responses;
    question->beginSheetModal(window, [&](NSModalResponse r) { responses.push_back(r); });
    EXPECT_TRUE(responses.empty());  // answered later, on the main queue
    runUntilIdle();
    EXPECT_EQ(responses, (std::vector<NSModalResponse>{NSAlertSecondButtonReturn}));
    EXPECT_EQ(seen, (std::vector<std::string>{"Keep?", "Keep? (sheet)"}));
}

namespace {
class AboutController : public NSViewController {};
}  // namespace

TEST_F(Windows, StoryboardsBuildFreshScenesFromTheirFactories) {
    int built = 0;
    NSStoryboard::registerStoryboard(
        "About", {"about", {{"about", [&] { ++built; return std::make_shared<AboutController>(); }},
                            {"window", [] { return std::make_shared<NSWindowController>(); }}}});
    auto storyboard = NSStoryboard::make("About");
    ASSERT_TRUE(storyboard);
    auto first = storyboard->instantiateInitialController();
    auto second = storyboard->instantiateInitialController();
    EXPECT_TRUE(std::dynamic_pointer_cast<AboutController>(first));
    EXPECT_NE(first, second);
    EXPECT_EQ(built, 2);
    EXPECT_TRUE(std::dynamic_pointer_cast<NSWindowController>(storyboard->instantiateController("window")));
    EXPECT_FALSE(storyboard->instantiateController("missing"));

    EXPECT_FALSE(NSStoryboard::make("Tour"));
    auto elsewhere = std::make_shared<Bundle>("/nonexistent/Other.bundle");
    EXPECT_FALSE(NSStoryboard::make("About", elsewhere));  // registered for the main bundle only
    NSStoryboard::registerStoryboard("Tour", {std::nullopt, {}}, elsewhere);
    EXPECT_TRUE(NSStoryboard::make("Tour", elsewhere));
    EXPECT_FALSE(NSStoryboard::make("Tour", elsewhere)->instantiateInitialController());
    NSStoryboard::unregisterStoryboard("Tour", elsewhere);
    NSStoryboard::unregisterStoryboard("About");
    EXPECT_FALSE(NSStoryboard::make("About"));

    auto controller = std::make_shared<AboutController>();
    EXPECT_FALSE(controller->isViewLoaded());
    EXPECT_TRUE(controller->view());
    EXPECT_TRUE(controller->isViewLoaded());
    EXPECT_TRUE(NSMenuItem::separator()->isSeparatorItem());
}
