#include <gtest/gtest.h>

#include <cmath>

#include "AppKit/backends/HeadlessWindowBackend.hpp"
#include "AppKit/NSAttributedString.hpp"
#include "AppKit/ViewRenderer.hpp"
#include "PresentationTestSupport.hpp"
#include "QuartzCore/CATransition.hpp"
#include "ZododuvoZoz/Colors.hpp"
#include "ZododuvoZoz/Presentation/AnimatedLabel.hpp"
#include "ZododuvoZoz/Presentation/HoverLabel.hpp"
#include "ZododuvoZoz/Presentation/TagLabel.hpp"

using namespace ZododuvoZoz;

namespace presentation_tests {
namespace {

CGSize measured(const std::string& text, const std::shared_ptr<NSFont>& font) {
    return NSAttributedString(text, {{NSAttributedStringKey::font(), font}}).size();
}

bool holds(const CALayer& parent, const std::shared_ptr<CALayer>& layer) {
    for (const auto& sublayer : parent.sublayers()) {
        if (sublayer == layer) return true;
    }
    return false;
}

std::shared_ptr<NSImage> square(CGFloat side) {
    auto image = NSImage::make({side, side});
    image->lockFocus();
    NSColor::blackColor()->setFill();
    NSRectFill({0, 0, side, side});
    image->unlockFocus();
    return image;
}

}  // namespace

using Labels = PresentationTest;

TEST_F(Labels, AnimatedLabelFadesToEveryTitle) {
    auto label = AnimatedLabel::make({0, 0, 120, 20});
    label->setTitle("Ready");  // without a layer only the text changes
    EXPECT_EQ(label->stringValue(), "Ready");

    label->setWantsLayer(true);
    label->setTitle(std::nullopt);
    EXPECT_EQ(label->stringValue(), "");
    auto fade = std::dynamic_pointer_cast<const CATransition>(label->layer()->animation("kCATransitionFade"));
    ASSERT_TRUE(fade);
    EXPECT_EQ(fade->type, CATransitionType::fade);
    EXPECT_DOUBLE_EQ(fade->duration, 0.75);
    EXPECT_EQ(fade->timingFunction, CAMediaTimingFunction(CAMediaTimingFunctionName::easeInEaseOut));

    label->setDuration(2);
    label->setTitle("Done");
    EXPECT_EQ(label->layer()->animationKeys().size(), 1u);
    EXPECT_DOUBLE_EQ(label->layer()->animation("kCATransitionFade")->duration, 2);
    EXPECT_EQ(label->stringValue(), "Done");
}

TEST_F(Labels, HoverLabelFillsForHoverAndStrongerForOn) {
    useAppearance(NSAppearanceNameAqua);
    auto label = HoverLabel::make({0, 0, 120, 30});
    auto fill = [&] { return label->backgroundLayer()->fillColor(); };
    EXPECT_FALSE(fill());
    EXPECT_EQ(label->layer()->cornerRadius(), 6);
    EXPECT_TRUE(label->layer()->masksToBounds());

    label->mouseEntered(entered());
    EXPECT_TRUE(label->hover());
    EXPECT_EQ(fill(), rgb(242, 242, 242));
    label->setOn(true);
    EXPECT_EQ(fill(), rgb(210, 231, 255));  // on wins over hover
    label->mouseExited(exited());
    EXPECT_EQ(fill(), rgb(210, 231, 255));
    label->setOn(false);
    EXPECT_FALSE(fill());

    useAppearance(NSAppearanceNameDarkAqua);
    label->mouseEntered(entered());
    EXPECT_EQ(fill(), CGColor::gray(1, 0.4));  // the quaternary label colour at alpha 0.4
    label->setOn(true);
    EXPECT_EQ(fill(), rgb(51, 81, 115));
}

TEST_F(Labels, HoverLabelCentresItsTextAndShowsAnIconOnlyWithASize) {
    NSScreen::setMain(std::make_shared<NSScreen>(CGRect{0, 0, 800, 600}, 2.0));
    auto label = HoverLabel::make({0, 0, 160, 40});
    label->setStringValue("Battery");
    label->setup();
    auto text = label->textLayer();
    CGSize size = measured("Battery", label->font());
    EXPECT_EQ(text->string(), "Battery");
    EXPECT_TRUE(sameRect(text->frame(), {80 - size.width / 2, 20 - size.height / 2, size.width, size.height}));
    EXPECT_EQ(text->fontSize(), label->font()->pointSize());
    EXPECT_EQ(text->foregroundColor(), NSColor::labelColor()->cgColor());
    label->setOn(true);
    EXPECT_EQ(text->foregroundColor(), NSColor::systemBlueColor()->cgColor());

    label->setIcon(square(32));
    EXPECT_FALSE(holds(*label->layer(), label->imageLayer()));
    label->setIconSize({16, 16});
    EXPECT_FALSE(holds(*label->layer(), label->imageLayer()));  // waits for the next redraw
    label->setup();
    ASSERT_TRUE(holds(*label->layer(), label->imageLayer()));
    EXPECT_TRUE(sameRect(label->imageLayer()->frame(), {4, 12, 16, 16}));
    EXPECT_EQ(label->imageLayer()->contents()->width(), 32u);  // at the screen's scale
    EXPECT_EQ(label->imageLayer()->contentsGravity(), CALayerContentsGravity::center);
    // Background, text, icon: each layer once, however often it redraws.
    label->setup();
    EXPECT_EQ(label->layer()->sublayers(),
              (std::vector<std::shared_ptr<CALayer>>{label->backgroundLayer(), label->textLayer(), label->imageLayer()}));

    label->setFont(nullptr);
    label->setup();
    EXPECT_FALSE(holds(*label->layer(), label->textLayer()));
}

TEST_F(Labels, HoverLabelFollowsThePointerThroughOneTrackingArea) {
    auto content = NSView::make({0, 0, 200, 100});
    auto label = HoverLabel::make({20, 20, 100, 30});
    content->addSubview(label);
    auto window = windowWith(content);
    label->setFrameSize({120, 30});
    window->layoutIfNeeded();
    ASSERT_EQ(label->trackingAreas().size(), 1u);
    EXPECT_EQ(label->trackingAreas()[0]->options().rawValue, 0x81u);
    EXPECT_EQ(label->trackingAreas()[0]->rect(), (CGRect{0, 0, 120, 30}));

    HeadlessWindowBackend::moveMouse(*window, {130, 30});  // inside only since the resize
    EXPECT_TRUE(label->hover());
    EXPECT_TRUE(label->backgroundLayer()->fillColor());
    HeadlessWindowBackend::moveMouse(*window, {150, 30});
    EXPECT_FALSE(label->hover());
    EXPECT_FALSE(label->backgroundLayer()->fillColor());
}

TEST_F(Labels, TagLabelSizesItselfThroughTwoNamedConstraints) {
    auto tag = TagLabel::make({10, 10, 0, 0});
    EXPECT_TRUE(tag->constraints().empty());  // no look before the first change
    EXPECT_FALSE(tag->translatesAutoresizingMaskIntoConstraints());
    EXPECT_EQ(tag->layer()->cornerRadius(), 4);

    auto container = NSView::make({0, 0, 200, 50});
    container->addSubview(tag);
    tag->setStringValue("abc");
    CGSize text = measured("abc", tag->font());
    ASSERT_EQ(tag->constraints().size(), 2u);
    EXPECT_EQ(tag->constraints()[0]->identifier(), "width");
    EXPECT_EQ(tag->constraints()[0]->constant(), std::trunc(text.width + 13));
    EXPECT_EQ(tag->constraints()[1]->identifier(), "height");
    EXPECT_EQ(tag->constraints()[1]->constant(), std::trunc(text.height + 5));
    container->layoutSubtreeIfNeeded();
    EXPECT_EQ(tag->frame().size, (CGSize{std::trunc(text.width + 13), std::trunc(text.height + 5)}));

    // Later redraws change the same two constraints.
    tag->setOffset(10);
    tag->setHeightOffset(0);
    ASSERT_EQ(tag->constraints().size(), 2u);
    EXPECT_EQ(tag->constraints()[0]->constant(), std::trunc(text.width + 21));
    EXPECT_EQ(tag->constraints()[1]->constant(), std::trunc(text.height + 1));
    EXPECT_EQ(tag->textColor(), NSColor::systemGreenColor());
    EXPECT_EQ(tag->layer()->backgroundColor(), NSColor::systemGreenColor()->withAlphaComponent(0.22)->cgColor());

    // A constraint named "width" that the tag already has is the one it changes.
    auto other = TagLabel::make();
    auto width = other->widthAnchor().constraint(50.0);
    width->setIdentifier("width");
    width->setActive(true);
    other->setStringValue("abc");
    EXPECT_EQ(other->constraints().size(), 2u);
    EXPECT_EQ(width->constant(), std::trunc(text.width + 13));

    auto fixed = TagLabel::make();
    fixed->setAutoCalculateSize(false);
    fixed->setStringValue("abc");
    EXPECT_TRUE(fixed->constraints().empty());
}

TEST_F(Labels, TagLabelProgressFillsAClampedShareOfTheWidth) {
    auto tag = TagLabel::make({0, 0, 100, 20});
    tag->setAutoCalculateSize(false);
    auto filled = [&](std::optional<CGFloat> progress) {
        tag->setProgress(progress);
        auto layer = tag->progressLayer();
        return layer ? layer->path()->boundingBox().width() : -1.0;
    };
    EXPECT_EQ(filled(0.25), 25);
    EXPECT_EQ(tag->progressLayer()->fillColor(), NSColor::systemGreenColor()->withAlphaComponent(0.25)->cgColor());
    EXPECT_FALSE(tag->progressLayer()->strokeColor());
    EXPECT_EQ(filled(1.5), 100);
    EXPECT_EQ(filled(-0.2), 0);
    EXPECT_EQ(tag->layer()->sublayers().size(), 1u);  // the old fill is gone
    EXPECT_EQ(filled(std::nullopt), -1);
    EXPECT_TRUE(tag->layer()->sublayers().empty());

    // A fill made before the tag has its size takes the size layout gives the tag.
    auto container = NSView::make({0, 0, 200, 50});
    auto early = TagLabel::make();
    container->addSubview(early);
    early->setStringValue("abc");
    early->setProgress(0.5);
    container->layoutSubtreeIfNeeded();
    ASSERT_GT(early->frame().width(), 0);
    EXPECT_EQ(early->progressLayer()->frame(), early->bounds());
    EXPECT_EQ(early->progressLayer()->path()->boundingBox().width(), early->frame().width() / 2);
}

TEST_F(Labels, RenderedHoverHighlightAndTagProgress) {
    useAppearance(NSAppearanceNameAqua);
    auto label = HoverLabel::make({0, 0, 80, 24});
    label->mouseEntered(entered());
    auto hovered = ViewRenderer::image(*label, 1.0);
    EXPECT_EQ(pixelAt(*hovered, 3, 12), opaque(242, 242, 242));
    EXPECT_EQ(pixelAt(*hovered, 0, 0)[3], 0);  // the rounded corner is cut off

    auto tag = TagLabel::make({0, 0, 100, 20});
    asLabel(*tag);
    tag->setAutoCalculateSize(false);
    tag->setColor(NSColor::make(0, 0, 1, 1));
    tag->setProgress(0.5);
    auto image = ViewRenderer::image(*tag, 1.0);
    // Blue at 0.22 alone, and blue at 0.25 over it: alpha 0.22 and 1 - 0.78 * 0.75 = 0.415.
    EXPECT_TRUE(near(pixelAt(*image, 80, 10), Pixel{0, 0, 56, 56}));
    EXPECT_TRUE(near(pixelAt(*image, 20, 10), Pixel{0, 0, 106, 106}));
}

}  // namespace presentation_tests
