// The platform's review prompt, shown headless.
#include <gtest/gtest.h>

#include <vector>

#include "AppKit/NSApplication.hpp"
#include "AppKit/NSButton.hpp"
#include "AppKit/NSWindow.hpp"
#include "AppKit/NSWorkspace.hpp"
#include "AppKit/backends/HeadlessWindowBackend.hpp"
#include "Foundation/Bundle.hpp"
#include "StoreKit/ReviewPrompt.hpp"
#include "StoreKit/SKStoreReviewController.hpp"
#include "Testing/TestEnvironment.hpp"

namespace {

class ReviewPromptTest : public VirtualTimeTest {
protected:
    void SetUp() override {
        VirtualTimeTest::SetUp();
        bundle.write("Info.plist",
                     "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
                     "<key>CFBundleName</key><string>Sample</string>"
                     "<key>CFBundleIdentifier</key><string>org.example.Sample</string></dict></plist>\n");
        Bundle::setMainPath(bundle.path());
        NSWorkspace::shared().setURLOpener([this](const URL& url) {
            opened.push_back(url.absoluteString());
            return true;
        });
        SKStoreReviewController::setResponder(ReviewPrompt::show);  // the platform's own
    }
    void TearDown() override {
        SKStoreReviewController::setResponder(nullptr);
        NSWorkspace::shared().setURLOpener(nullptr);
        NSApplication::shared().reset();
        Bundle::setMainPath({});
        VirtualTimeTest::TearDown();
    }

    /// The prompt's button with that title.
    std::shared_ptr<NSButton> button(const std::string& title) {
        for (const auto& view : ReviewPrompt::window()->contentView()->subviews()) {
            auto found = std::dynamic_pointer_cast<NSButton>(view);
            if (found && found->title() == title) return found;
        }
        return nullptr;
    }
    void press(const std::string& title) {
        auto pressed = button(title);
        ASSERT_TRUE(pressed) << title;
        HeadlessWindowBackend::click(*ReviewPrompt::window(),
                                     pressed->convertToView(CGPoint{pressed->bounds().midX(), pressed->bounds().midY()}, nullptr));
    }

    TemporaryDirectory bundle;
    std::vector<std::string> opened;
};

}  // namespace

TEST_F(ReviewPromptTest, RatingOpensTheApplicationsPageAndClosesThePrompt) {
    SKStoreReviewController::requestReview();
    EXPECT_FALSE(ReviewPrompt::window());  // after the request's caller has finished
    runUntilIdle();
    auto window = ReviewPrompt::window();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->title(), "Sample");
    EXPECT_TRUE(window->isKeyWindow());
    SKStoreReviewController::requestReview();  // one prompt at a time
    runUntilIdle();
    EXPECT_EQ(NSApplication::shared().windows().size(), 1u);
    EXPECT_EQ(SKStoreReviewController::requestCount(), 2);

    press("Rate Sample");
    EXPECT_EQ(opened, (std::vector<std::string>{"appstream://org.example.Sample"}));
    EXPECT_FALSE(ReviewPrompt::window());
}

TEST_F(ReviewPromptTest, NotNowOnlyClosesIt) {
    SKStoreReviewController::requestReview();
    runUntilIdle();
    press("Not Now");
    EXPECT_FALSE(ReviewPrompt::window());
    EXPECT_TRUE(opened.empty());
}
