#include <gtest/gtest.h>

#include "AppKit/NSBezierPath.hpp"
#include "AppKit/ViewRenderer.hpp"
#include "ControlTestSupport.hpp"
#include "ZododuvoZoz/BezierPathExtensions.hpp"
#include "ZododuvoZoz/Controls/GradientButton.hpp"
#include "ZododuvoZoz/Controls/HierarchicalButton.hpp"
#include "ZododuvoZoz/Controls/RoundButton.hpp"

namespace ZododuvoZoz::ControlTesting {
namespace {

using GradientButtonTest = ControlTest;

TEST_F(GradientButtonTest, TealToCyanFaceWithRoundedCornersAndAWhiteTitle) {
    auto button = GradientButton::make({0, 0, 200, 40});
    button->setFont(nullptr);  // pixels of the face only
    button->setup();
    auto image = ViewRenderer::image(*button);
    EXPECT_TRUE(near(pixelAt(*image, 0, 20), opaque(62, 189, 177), 3));
    EXPECT_TRUE(near(pixelAt(*image, 199, 20), opaque(0, 182, 208), 3));
    EXPECT_EQ(pixelAt(*image, 0, 0), (Bytes{0, 0, 0, 0}));  // radius 16
    EXPECT_EQ(pixelAt(*image, 199, 39), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(button->layer()->cornerRadius(), 16);

    // The mask shapes the gradient but is never drawn on its own.
    EXPECT_EQ(button->gradientLayer()->mask(), button->maskingLayer());
    EXPECT_EQ(sublayersOf(*button->layer()), (std::vector<const CALayer*>{button->gradientLayer().get()}));

    button->setFont(NSFont::systemFont(13));
    button->setEnabled(false);  // the gradient stays; the title turns dark grey
    EXPECT_EQ(button->gradientLayer()->colors().size(), 2u);
    EXPECT_EQ(button->textLayer()->foregroundColor(), inAppearance(NSColor::darkGrayColor()));
    button->setEnabled(true);
    EXPECT_EQ(button->textLayer()->foregroundColor(), CGColor::white());
}

TEST_F(GradientButtonTest, WithoutColoursTheTitleStillShows) {
    auto button = GradientButton::make({0, 0, 200, 40});
    button->setColors({});
    EXPECT_TRUE(button->gradientLayer()->colors().empty());
    EXPECT_EQ(sublayersOf(*button->layer()),
              (std::vector<const CALayer*>{button->gradientLayer().get(), button->textLayer().get()}));
}

using HierarchicalButtonTest = ControlTest;

TEST_F(HierarchicalButtonTest, TitleWinsOverImageAndAnEmptyTitleShowsTheTintedImage) {
    auto button = HierarchicalButton::make({0, 0, 100, 30});
    auto symbol = NSImage::systemSymbol("star.fill");
    symbol->setTemplate(false);
    button->setImage(symbol);
    button->setup();
    auto& layer = *button->layer();
    EXPECT_EQ(layer.backgroundColor(), inAppearance(NSColor::systemBlueColor()).copy(0.22));
    EXPECT_EQ(layer.cornerRadius(), 4);
    EXPECT_EQ(sublayersOf(layer), (std::vector<const CALayer*>{button->textLayer().get()}));
    EXPECT_EQ(button->textLayer()->foregroundColor(), inAppearance(NSColor::systemBlueColor()));

    button->setTitle("");
    button->setup();
    EXPECT_EQ(sublayersOf(layer), (std::vector<const CALayer*>{button->imageLayer().get()}));
    EXPECT_TRUE(symbol->isTemplate());  // the caller's image itself became a template
    ASSERT_TRUE(button->imageLayer()->contents());
    EXPECT_EQ(button->imageLayer()->contents()->width(), 16u);

    // The image is tinted blue and sits in the middle of the button.
    button->setColor(NSColor::make(0, 0, 1));
    auto image = ViewRenderer::image(*button);
    Bytes centre = pixelAt(*image, 50, 15);
    EXPECT_GT(centre[2], 200);
    EXPECT_LT(centre[0], 40);
    EXPECT_EQ(pixelAt(*image, 5, 15)[2], pixelAt(*image, 95, 15)[2]);  // only the tinted background there

    button->setImage(nullptr);
    button->setup();
    EXPECT_TRUE(layer.sublayers().empty());
    EXPECT_TRUE(layer.backgroundColor().has_value());
}

TEST_F(HierarchicalButtonTest, RoundingAndPaddingsLayTheButtonOutAtOnce) {
    auto button = HierarchicalButton::make({0, 0, 100, 30});
    button->setRound(true);
    EXPECT_EQ(button->layer()->cornerRadius(), 15);
    button->setRound(false);
    EXPECT_EQ(button->layer()->cornerRadius(), 4);

    CGSize base = button->intrinsicContentSize();
    button->setHorizontalPadding(20);
    button->setVerticalPadding(6);
    CGSize padded = button->intrinsicContentSize();
    EXPECT_EQ(padded.width, base.width + 20);
    EXPECT_EQ(padded.height, base.height + 6);
}

using RoundButtonTest = ControlTest;

TEST_F(RoundButtonTest, FilledRectangleWithCornersOfFourAndAWhiteTitleUnderTheImage) {
    auto button = RoundButton::make({0, 0, 160, 60});
    button->setCustomImage(NSImage::systemSymbol("gearshape"));
    auto& background = *button->backgroundLayer();
    EXPECT_EQ(button->layer()->cornerRadius(), 4);
    EXPECT_EQ(background.path(), cgPath(*NSBezierPath::roundedRect({0, 0, 160, 60}, 4, 4)));
    EXPECT_EQ(background.strokeColor(), std::nullopt);
    EXPECT_EQ(background.fillColor(), inAppearance(NSColor::systemBlueColor()));
    EXPECT_EQ(button->textLayer()->foregroundColor(), CGColor::white());
    EXPECT_EQ(sublayersOf(*button->layer()),
              (std::vector<const CALayer*>{&background, button->textLayer().get(), button->imageLayer().get()}));

    button->setEnabled(false);  // the drawing does not change
    button->setup();
    EXPECT_EQ(background.fillColor(), inAppearance(NSColor::systemBlueColor()));
}

TEST_F(RoundButtonTest, DisabledButtonsIgnoreThePressEntirely) {
    auto round = RoundButton::make({0, 0, 100, 30});
    auto soft = HierarchicalButton::make({0, 0, 100, 30});
    for (std::shared_ptr<NSButton> button : {std::static_pointer_cast<NSButton>(round), std::static_pointer_cast<NSButton>(soft)}) {
        int actions = 0;
        button->setAction([&](NSControl&) { ++actions; });
        auto window = windowWith(button);
        auto& layer = *button->layer();

        press(*window, inWindow(*button, {50, 15}));
        EXPECT_DOUBLE_EQ(layer.affineTransform().a, 0.95);
        release(*window, inWindow(*button, {50, 15}));
        EXPECT_TRUE(layer.affineTransform().isIdentity());
        EXPECT_EQ(actions, 1);

        button->setEnabled(false);
        layer.removeAllAnimations();
        layer.setAnchorPoint({0, 0});
        press(*window, inWindow(*button, {50, 15}));
        release(*window, inWindow(*button, {50, 15}));
        EXPECT_EQ(actions, 1);
        EXPECT_TRUE(layer.animationKeys().empty());
        EXPECT_EQ(layer.anchorPoint(), (CGPoint{0, 0}));
    }
}

}  // namespace
}  // namespace ZododuvoZoz::ControlTesting
