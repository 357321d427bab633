#include <gtest/gtest.h>

#include "AppKit/NSBezierPath.hpp"
#include "AppKit/ViewRenderer.hpp"
#include "ControlTestSupport.hpp"
#include "QuartzCore/CABasicAnimation.hpp"
#include "ZododuvoZoz/BezierPathExtensions.hpp"
#include "ZododuvoZoz/Controls/ColorButton.hpp"

namespace ZododuvoZoz::ControlTesting {
namespace {

CGPath roundedOver(CGRect bounds, CGFloat radius) { return cgPath(*NSBezierPath::roundedRect(bounds, radius, radius)); }

double scaleOf(const CALayer& layer) { return layer.affineTransform().a; }

double recordedScale(const CALayer& layer) {
    auto animation = std::dynamic_pointer_cast<const CABasicAnimation>(layer.animation("transform"));
    if (!animation || !std::holds_alternative<double>(animation->toValue)) return -1;
    EXPECT_DOUBLE_EQ(animation->duration, 0.2);
    return std::get<double>(animation->toValue);
}

using ColorButtonLayers = ControlTest;

TEST_F(ColorButtonLayers, LayersAreMadeOnceAndRebuiltInDrawingOrder) {
    auto button = ColorButton::make({0, 0, 120, 40});
    auto background = button->backgroundLayer().get();
    auto text = button->textLayer().get();
    ASSERT_TRUE(button->layer());
    EXPECT_TRUE(button->layer()->masksToBounds());
    EXPECT_EQ(sublayersOf(*button->layer()), (std::vector<const CALayer*>{background, text}));

    // Setters and layouts reshape the same layers; none is added twice.
    button->setColor(NSColor::systemRedColor());
    button->setFill(true);
    button->setFrameSize({200, 50});
    button->layoutSubtreeIfNeeded();
    EXPECT_EQ(button->backgroundLayer().get(), background);
    EXPECT_EQ(sublayersOf(*button->layer()), (std::vector<const CALayer*>{background, text}));
    EXPECT_EQ(background->frame(), (CGRect{0, 0, 200, 50}));
    EXPECT_EQ(button->backgroundLayer()->path(), roundedOver({0, 0, 200, 50}, 8));
    EXPECT_EQ(button->backgroundLayer()->lineWidth(), 4);

    // The title sits in the middle at the size it measures.
    CGRect title = button->textLayer()->frame();
    EXPECT_EQ(button->textLayer()->string(), "Button");
    EXPECT_NEAR(title.midX(), 100, 0.01);
    EXPECT_NEAR(title.midY(), 25, 0.01);
    EXPECT_GT(title.width(), 20);
    EXPECT_EQ(button->textLayer()->fontSize(), 13);
}

TEST_F(ColorButtonLayers, ColoursFollowFillTextColourAndEnabledState) {
    auto button = ColorButton::make({0, 0, 120, 40});
    auto& shape = *button->backgroundLayer();
    CGColor accent = inAppearance(NSColor::controlAccentColor());
    EXPECT_EQ(shape.strokeColor(), accent);
    EXPECT_EQ(shape.fillColor(), std::nullopt);
    EXPECT_EQ(button->textLayer()->foregroundColor(), accent);

    button->setFill(true);  // the title is drawn in the colour on a fill of the colour
    EXPECT_EQ(shape.fillColor(), accent);
    EXPECT_EQ(button->textLayer()->foregroundColor(), accent);
    button->setTextColor(NSColor::whiteColor());
    EXPECT_EQ(button->textLayer()->foregroundColor(), CGColor::white());

    button->setEnabled(false);
    EXPECT_EQ(shape.strokeColor(), inAppearance(NSColor::lightGrayColor()));
    EXPECT_EQ(shape.fillColor(), inAppearance(NSColor::lightGrayColor()));
    EXPECT_EQ(button->textLayer()->foregroundColor(), inAppearance(NSColor::darkGrayColor()));
}

TEST_F(ColorButtonLayers, WithoutAFontOnlyTheBackgroundShows) {
    auto button = ColorButton::make({0, 0, 120, 40});
    button->setFont(nullptr);
    button->setup();
    EXPECT_EQ(sublayersOf(*button->layer()), (std::vector<const CALayer*>{button->backgroundLayer().get()}));
    EXPECT_EQ(button->textLayer()->superlayer(), nullptr);
}

TEST_F(ColorButtonLayers, CornerRadiusRoundsTheViewAtOnceAndTheShapeAtTheNextRedraw) {
    auto button = ColorButton::make({0, 0, 120, 40});
    button->setCornerRadius(12);
    EXPECT_EQ(button->layer()->cornerRadius(), 12);
    EXPECT_EQ(button->backgroundLayer()->path(), roundedOver({0, 0, 120, 40}, 8));
    button->setLineWidth(2);
    EXPECT_EQ(button->backgroundLayer()->path(), roundedOver({0, 0, 120, 40}, 12));
}

TEST_F(ColorButtonLayers, LayersTakeTheMainScreensScale) {
    auto plain = ColorButton::make({0, 0, 120, 40});
    EXPECT_EQ(plain->backgroundLayer()->contentsScale(), 1);
    EXPECT_EQ(plain->textLayer()->contentsScale(), 1);
    NSScreen::setMain(std::make_shared<NSScreen>(CGRect{0, 0, 1440, 900}, 2));
    plain->setup();
    EXPECT_EQ(plain->backgroundLayer()->contentsScale(), 2);
    EXPECT_EQ(plain->textLayer()->contentsScale(), 2);
}

using ColorButtonPress = ControlTest;

TEST_F(ColorButtonPress, ShrinksWhilePressedAndComesBackWhereverTheMouseGoesUp) {
    auto button = ColorButton::make({0, 0, 120, 40});
    int actions = 0;
    button->setAction([&](NSControl&) { ++actions; });
    auto window = windowWith(button);
    auto& layer = *button->layer();

    press(*window, inWindow(*button, {60, 20}));
    EXPECT_DOUBLE_EQ(scaleOf(layer), 0.95);
    EXPECT_DOUBLE_EQ(recordedScale(layer), 0.95);
    EXPECT_EQ(layer.anchorPoint(), (CGPoint{0.5, 0.5}));
    EXPECT_EQ(layer.position(), (CGPoint{80, 40}));  // the middle of the frame (20, 20, 120, 40)
    release(*window, inWindow(*button, {300, 20}));  // outside: no action
    EXPECT_TRUE(layer.affineTransform().isIdentity());
    EXPECT_DOUBLE_EQ(recordedScale(layer), 1.0);
    EXPECT_EQ(actions, 0);

    HeadlessWindowBackend::click(*window, inWindow(*button, {60, 20}));
    EXPECT_EQ(actions, 1);
    EXPECT_TRUE(layer.affineTransform().isIdentity());

    // The layer still covers the frame when the button moves after a press.
    button->setFrame({10, 10, 100, 30});
    EXPECT_EQ(layer.frame(), (CGRect{10, 10, 100, 30}));
}

TEST_F(ColorButtonPress, ADisabledButtonStillPlaysThePressButSendsNothing) {
    auto button = ColorButton::make({0, 0, 120, 40});
    int actions = 0;
    button->setAction([&](NSControl&) { ++actions; });
    button->setEnabled(false);
    auto window = windowWith(button);
    press(*window, inWindow(*button, {60, 20}));
    // A disabled button does not follow the press: the animation runs to its end at once.
    EXPECT_TRUE(button->layer()->affineTransform().isIdentity());
    EXPECT_DOUBLE_EQ(recordedScale(*button->layer()), 1.0);
    release(*window, inWindow(*button, {60, 20}));
    EXPECT_EQ(actions, 0);
}

using ColorButtonRender = ControlTest;

TEST_F(ColorButtonRender, OutlineInTheColourAndAClearMiddle) {
    auto button = ColorButton::make({0, 0, 120, 40});
    button->setFont(nullptr);
    button->setColor(NSColor::make(1, 0, 0));
    button->setup();
    auto image = ViewRenderer::image(*button);
    EXPECT_EQ(pixelAt(*image, 60, 1), opaque(255, 0, 0));   // the inner half of the 4-point line
    EXPECT_EQ(pixelAt(*image, 60, 20), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(pixelAt(*image, 0, 0), (Bytes{0, 0, 0, 0}));  // cut off by the rounded corner

    button->setFill(true);
    auto filled = ViewRenderer::image(*button);
    EXPECT_EQ(pixelAt(*filled, 60, 20), opaque(255, 0, 0));
}

}  // namespace
}  // namespace ZododuvoZoz::ControlTesting
