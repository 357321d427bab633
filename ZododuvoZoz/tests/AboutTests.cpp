#include <gtest/gtest.h>

#include "AppKit/backends/HeadlessWindowBackend.hpp"
#include "Presentation/PresentationTestSupport.hpp"
#include "ZododuvoZoz/About.hpp"
#include "ZododuvoZoz/GradientDialog.hpp"

using namespace ZododuvoZoz;

namespace {

// Addresses opened through the workspace are recorded in `opened`.
class AboutWindow : public presentation_tests::PresentationTest {
protected:
    void SetUp() override {
        PresentationTest::SetUp();
        NSApplication::shared().reset();
        NSScreen::setMain(std::make_shared<NSScreen>(CGRect{0, 0, 1200, 800}, 1));
    }
    void TearDown() override {
        if (auto window = GradientDialog::shared()->window) window->close();
        PresentationTest::TearDown();
    }

    static PropertyListValue::Dictionary info(const std::string& version = "2.4") {
        return {{"CFBundleName", "Quillon"},
                {"CFBundleShortVersionString", version},
                {"NSHumanReadableCopyright", "Copyright 2026 Quillon Makers"}};
    }
    static std::shared_ptr<GradientDialogViewController> dialogController() {
        auto window = GradientDialog::shared()->window;
        return window ? std::dynamic_pointer_cast<GradientDialogViewController>(window->contentViewController()) : nullptr;
    }
    static std::shared_ptr<AboutViewController> aboutController() {
        return std::dynamic_pointer_cast<AboutViewController>(GradientDialog::shared()->viewController);
    }
};

}  // namespace

TEST_F(AboutWindow, IncompleteInformationShowsNothing) {
    About::show(std::nullopt, "Private");
    About::show(PropertyListValue::Dictionary{}, "Private");
    for (const char* key : {"CFBundleName", "CFBundleShortVersionString", "NSHumanReadableCopyright"}) {
        auto missing = info();
        missing.erase(key);
        About::show(missing, "Private");
        auto notText = info();
        notText[key] = 3;
        About::show(notText, "Private");
    }
    EXPECT_FALSE(GradientDialog::shared()->window);
    EXPECT_TRUE(NSApplication::shared().windows().empty());
}

TEST_F(AboutWindow, ShowsNameVersionNoticeAndPrivacyInAFloatingDialog) {
    About::show(info(), "We keep nothing.");
    auto window = GradientDialog::shared()->window;
    ASSERT_TRUE(window);
    auto dialog = dialogController();
    auto about = aboutController();
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(about);
    EXPECT_EQ(dialog->titleLabel.lock()->stringValue(), "About");
    EXPECT_EQ(dialog->subtitleLabel.lock()->stringValue(), "Quillon");
    EXPECT_EQ(dialog->focusLabel.lock()->stringValue(), "2.4");
    EXPECT_EQ(about->lblCopyright.lock()->stringValue(), "Copyright 2026 Quillon Makers");
    EXPECT_EQ(about->lblPrivacy.lock()->stringValue(), "We keep nothing.");
    EXPECT_EQ(about->view()->superview(), dialog->contentContainer.lock());

    // The window: in front, floating, key, movable by its background, centred, not resizable,
    // with a transparent, titleless title bar over the content and only its close button.
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isKeyWindow());
    EXPECT_EQ(window->level(), NSWindow::floatingLevel);
    EXPECT_TRUE(window->isMovableByWindowBackground());
    EXPECT_EQ(window->frame().midX(), 600);
    EXPECT_FALSE(window->styleMask().contains(NSWindow::StyleMask::resizable()));
    EXPECT_TRUE(window->styleMask().contains(NSWindow::StyleMask::fullSizeContentView()));
    EXPECT_TRUE(window->titlebarAppearsTransparent());
    EXPECT_EQ(window->title(), "");
    EXPECT_EQ(window->titleVisibility(), NSWindow::TitleVisibility::hidden);
    EXPECT_TRUE(window->standardWindowButton(NSWindow::ButtonType::zoomButton)->isHidden());
    EXPECT_TRUE(window->standardWindowButton(NSWindow::ButtonType::miniaturizeButton)->isHidden());
    EXPECT_FALSE(window->standardWindowButton(NSWindow::ButtonType::closeButton)->isHidden());

    // The header: the theme's gradient from edge to edge, the version in a black box.
    window->layoutIfNeeded();
    EXPECT_EQ(dialog->heightConstraint.lock()->constant(), 140);
    auto box = dialog->blackContainer.lock();
    ASSERT_TRUE(box->layer());
    EXPECT_EQ(box->layer()->cornerRadius(), 6.0);
    auto image = window->image(1.0);
    ASSERT_TRUE(image);
    CGFloat height = window->frame().height();
    auto left = image->pixel(1, 60), right = image->pixel(image->width() - 2, 60);
    EXPECT_NEAR(left[0], 217, 4);
    EXPECT_NEAR(left[2], 169, 6);
    EXPECT_NEAR(right[0], 243, 4);
    EXPECT_NEAR(right[1], 143, 6);
    CGPoint boxCorner = box->convertToView(CGPoint{2, 2}, nullptr);
    EXPECT_EQ(image->pixel(std::size_t(boxCorner.x + 1), std::size_t(height - boxCorner.y - 1)),
              (std::array<std::uint8_t, 4>{0, 0, 0, 255}));
}

TEST_F(AboutWindow, ShowingAgainOnlyBringsTheOpenDialogForward) {
    About::show(info(), "First");
    auto window = GradientDialog::shared()->window;
    auto about = aboutController();
    window->setLevel(NSWindow::normalLevel);
    window->orderOut();

    About::show(info("9.9"), "Second", "https://example.org");
    EXPECT_EQ(GradientDialog::shared()->window, window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->level(), NSWindow::floatingLevel);
    EXPECT_EQ(dialogController()->focusLabel.lock()->stringValue(), "2.4");
    EXPECT_EQ(about->lblPrivacy.lock()->stringValue(), "First");
    // The controller on screen stays the dialog's, so its button still answers.
    EXPECT_EQ(aboutController(), about);
    EXPECT_EQ(NSApplication::shared().windows().size(), 1u);
}

TEST_F(AboutWindow, AnEmptyVersionCollapsesTheHeader) {
    About::show(info(""), "Private");
    auto window = GradientDialog::shared()->window;
    ASSERT_TRUE(window);
    auto dialog = dialogController();
    window->layoutIfNeeded();
    EXPECT_EQ(dialog->heightConstraint.lock()->constant(), 80.0);
    EXPECT_EQ(dialog->bottomConstraint.lock()->constant(), 0);
    EXPECT_FALSE(dialog->blackContainer.lock());  // removed, and gone with its superview's hold
    auto header = dialog->headerContainer.lock();
    EXPECT_EQ(header->frame().height(), 80);
    for (const auto& pin : {dialog->top.lock(), dialog->left.lock(), dialog->right.lock()}) {
        if (pin) {
            EXPECT_FALSE(pin->isActive());
        }
    }
    // The title block sits in the middle of the gradient.
    auto block = dialog->container.lock();
    auto gradient = dialog->gradientView.lock();
    EXPECT_NEAR(block->frame().midX(), gradient->frame().midX(), 0.5);
    EXPECT_NEAR(block->frame().midY(), gradient->frame().midY(), 0.5);
}

TEST_F(AboutWindow, ClosingForgetsTheDialogAndTheNextShowBuildsAFreshOne) {
    About::show(info(), "Private");
    auto first = GradientDialog::shared()->window;
    auto content = aboutController()->view();
    auto button = dialogController()->closeButton.lock();
    ASSERT_TRUE(button);
    CGPoint centre = button->convertToView(CGPoint{button->bounds().midX(), button->bounds().midY()}, nullptr);
    HeadlessWindowBackend::click(*first, centre);
    EXPECT_FALSE(first->isVisible());
    EXPECT_FALSE(GradientDialog::shared()->window);
    EXPECT_FALSE(GradientDialog::shared()->viewController);
    EXPECT_FALSE(first->delegate());
    EXPECT_FALSE(content->superview());
    EXPECT_TRUE(NSApplication::shared().windows().empty());

    About::show(info("3.0"), "Private");
    auto second = GradientDialog::shared()->window;
    ASSERT_TRUE(second);
    EXPECT_NE(second, first);
    EXPECT_EQ(dialogController()->focusLabel.lock()->stringValue(), "3.0");
}

TEST_F(AboutWindow, TheHomepageButtonOpensTheMakersPageOrAValidCustomAddress) {
    About::show(info(), "Private");
    auto about = aboutController();
    ASSERT_TRUE(about);
    NSTextField unused;
    about->homepageClicked(unused);
    about->customHomepageURL = "https://example.org/app";
    about->homepageClicked(unused);
    about->customHomepageURL = "http://exa mple.org/\x01";
    about->homepageClicked(unused);
    EXPECT_EQ(opened, (std::vector<std::string>{About::homepageAddress, "https://example.org/app"}));
    EXPECT_EQ(About::homepageAddress.rfind("https://", 0), 0u);
}

TEST_F(AboutWindow, AGeneralDialogTakesItsSizeAndMayHideItsCloseButton) {
    auto content = std::make_shared<NSViewController>();
    GradientDialog::shared()->show("Title", "Subtitle", "Focus", content, true, true, CGSize{420, 300});
    auto window = GradientDialog::shared()->window;
    ASSERT_TRUE(window);
    auto dialog = dialogController();
    EXPECT_EQ(window->contentRect(window->frame()).size, (CGSize{420, 300}));
    EXPECT_EQ(window->contentMinSize(), (CGSize{420, 300}));
    EXPECT_TRUE(window->styleMask().contains(NSWindow::StyleMask::resizable()));
    EXPECT_FALSE(dialog->closeButton.lock());  // removed from its superview
    EXPECT_EQ(dialog->heightConstraint.lock()->constant(), 8.0);
    EXPECT_EQ(content->view()->superview(), dialog->contentContainer.lock());
    GradientDialog::shared()->configureWindow();  // again: no harm
    GradientDialog::shared()->windowWillClose({});
    GradientDialog::shared()->configureWindow();  // no window: nothing
    window->close();
}
