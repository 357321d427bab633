#include <gtest/gtest.h>

#include <cmath>

#include "AppKit/NSButton.hpp"
#include "AppKit/NSEvent.hpp"
#include "AppKit/NSShadow.hpp"
#include "AppKit/ViewRenderer.hpp"
#include "GaugeTestSupport.hpp"
#include "QuartzCore/CAShapeLayer.hpp"
#include "ZododuvoZoz/ClipView.hpp"
#include "ZododuvoZoz/ColorView.hpp"
#include "ZododuvoZoz/Constants.hpp"
#include "ZododuvoZoz/GradientBorderView.hpp"
#include "ZododuvoZoz/GradientView.hpp"
#include "ZododuvoZoz/HorizontalLine.hpp"
#include "ZododuvoZoz/HoverView.hpp"
#include "ZododuvoZoz/NoDividerSplitView.hpp"
#include "ZododuvoZoz/NonInteractiveView.hpp"
#include "ZododuvoZoz/RoundView.hpp"
#include "ZododuvoZoz/ShadowView.hpp"
#include "ZododuvoZoz/WindowContentView.hpp"

using namespace ZododuvoZoz;

namespace {
void expectColour(const Bytes& pixel, int r, int g, int b, int tolerance = 3) {
    EXPECT_NEAR(pixel[0], r, tolerance);
    EXPECT_NEAR(pixel[1], g, tolerance);
    EXPECT_NEAR(pixel[2], b, tolerance);
    EXPECT_EQ(pixel[3], 255);
}

constexpr Bytes transparent{0, 0, 0, 0};

// A pixel of a render at two pixels per point, at a point given y up.
Bytes atScale2(const CGImage& image, double x, double y) {
    return image.pixel(std::size_t(x * 2), image.height() - 1 - std::size_t(y * 2));
}
}  // namespace

using DecoratedViews = GaugeTest;

TEST_F(DecoratedViews, GradientPanelsFollowTheirThemeOnceSet) {
    auto panel = GradientView::make({0, 0, 200, 40});
    EXPECT_EQ(panel->colorTheme(), ColorTheme::custom);
    auto image = ViewRenderer::image(*panel);
    expectColour(pixelAt(*image, 0, 20), 249, 86, 23);  // orange to yellow, though the theme reads custom
    expectColour(pixelAt(*image, 199, 20), 253, 209, 42);

    panel->setColorTheme(ColorTheme::cardTwo);
    image = ViewRenderer::image(*panel);
    expectColour(pixelAt(*image, 0, 20), 203, 74, 125);
    expectColour(pixelAt(*image, 199, 20), 252, 110, 135);
    expectColour(pixelAt(*image, 100, 20), 228, 92, 130);  // halfway between
    EXPECT_EQ(pixelAt(*image, 0, 0), transparent);        // rounded corners of 8
    EXPECT_EQ(pixelAt(*image, 199, 39), transparent);
    expectColour(pixelAt(*image, 8, 0), 205, 75, 125, 4);
    EXPECT_EQ(panel->layer()->cornerRadius(), 8);

    // Colours set afterwards win while the theme keeps its value; one colour draws nothing.
    panel->setColors({NSColor::make(1, 0, 0), NSColor::make(0, 0, 1)});
    EXPECT_EQ(panel->colorTheme(), ColorTheme::cardTwo);
    expectColour(pixelAt(*ViewRenderer::image(*panel), 0, 20), 255, 0, 0);
    panel->setColors({NSColor::make(1, 0, 0)});
    EXPECT_EQ(pixelAt(*ViewRenderer::image(*panel), 100, 20), transparent);

    panel->setCornerRadius(0);
    panel->setColorTheme(ColorTheme::custom);
    image = ViewRenderer::image(*panel);
    expectColour(pixelAt(*image, 0, 0), 217, 87, 169);
    expectColour(pixelAt(*image, 199, 20), 243, 143, 67);

    EXPECT_EQ(colorThemeFrom(3), ColorTheme::cardThree);
    EXPECT_EQ(colorThemeFrom(4), ColorTheme::cardFull);
    EXPECT_EQ(colorThemeFrom(5), std::nullopt);
    EXPECT_EQ(colorThemeFrom(7), std::nullopt);
    EXPECT_EQ(colorThemeFrom(-1), std::nullopt);
    EXPECT_EQ(rawValue(ColorTheme::cardOne), 1);
}

TEST_F(DecoratedViews, GradientBorderShowsTheInnerHalfOfItsStroke) {
    // Four device pixels wide: on a screen of scale 2 that is 2 points. (The device pixel is fixed
    // for the process at its first use, so the width is set here as such a screen gives it.)
    EXPECT_EQ(GradientBorderView::make()->lineWidth(), 4 * Constants::onePixel());
    NSScreen::setMain(std::make_shared<NSScreen>(CGRect{0, 0, 1440, 900}, 2.0));
    auto border = GradientBorderView::make({0, 0, 100, 50});
    border->awakeFromNib();
    border->setLineWidth(2);
    auto mask = std::dynamic_pointer_cast<CAShapeLayer>(border->gradientLayer()->mask());
    ASSERT_TRUE(mask);
    EXPECT_EQ(mask->lineWidth(), 2);
    EXPECT_EQ(mask->contentsScale(), 2);
    EXPECT_FALSE(mask->fillColor());

    auto image = ViewRenderer::image(*border);  // two pixels a point
    EXPECT_EQ(atScale2(*image, 50, 0.25)[3], 255);  // the first device pixel inside the edge
    EXPECT_EQ(atScale2(*image, 50, 0.75)[3], 255);  // the second
    EXPECT_EQ(atScale2(*image, 50, 1.25)[3], 0);    // past one point nothing shows
    EXPECT_EQ(atScale2(*image, 50, 25)[3], 0);
    // The gradient runs the layer's default way: teal at the bottom, cyan at the top.
    expectColour(atScale2(*image, 50, 0.25), 62, 189, 177, 6);
    expectColour(atScale2(*image, 50, 49.75), 0, 182, 208, 6);
}

TEST_F(DecoratedViews, GradientBorderMakesANewMaskOnEveryLayout) {
    auto border = GradientBorderView::make({0, 0, 60, 30});
    border->awakeFromNib();
    border->setCornerRadius(4);
    auto first = border->gradientLayer()->mask();
    std::weak_ptr<CALayer> old = first;
    first.reset();
    border->setColors({NSColor::make(1, 0, 0), NSColor::make(0, 1, 0)});
    EXPECT_TRUE(old.expired());  // released when replaced
    EXPECT_EQ(border->layer()->sublayers().size(), 1u);
    EXPECT_EQ(border->layer()->cornerRadius(), 4);
    EXPECT_TRUE(border->layer()->masksToBounds());
    EXPECT_EQ(border->gradientLayer()->colors().size(), 2u);
    EXPECT_EQ(border->gradientLayer()->frame(), (CGRect{0, 0, 60, 30}));
}

TEST_F(DecoratedViews, ClipViewRoundsOnlyItsLowerCorners) {
    auto view = ClipView::make({0, 0, 100, 50});
    view->layer()->setBackgroundColor(CGColor{1, 0, 0, 1});
    auto image = ViewRenderer::image(*view);
    EXPECT_EQ(pixelAt(*image, 0, 0), transparent);
    EXPECT_EQ(pixelAt(*image, 1, 1), transparent);
    EXPECT_EQ(pixelAt(*image, 99, 0), transparent);
    EXPECT_EQ(pixelAt(*image, 0, 49), (Bytes{255, 0, 0, 255}));
    EXPECT_EQ(pixelAt(*image, 99, 49), (Bytes{255, 0, 0, 255}));
    EXPECT_EQ(pixelAt(*image, 10, 0), (Bytes{255, 0, 0, 255}));
    EXPECT_EQ(pixelAt(*image, 50, 25), (Bytes{255, 0, 0, 255}));

    // A new size or radius makes a new outline.
    view->setFrameSize({100, 80});
    view->setRadius(20);
    image = ViewRenderer::image(*view);
    EXPECT_EQ(pixelAt(*image, 4, 4), transparent);
    EXPECT_EQ(pixelAt(*image, 0, 79), (Bytes{255, 0, 0, 255}));
}

TEST_F(DecoratedViews, ShadowCardsTakeTheirLookOnceInASuperview) {
    auto parent = NSView::make({0, 0, 200, 200});
    auto card = ShadowView::make({20, 20, 100, 100});
    EXPECT_FALSE(card->layer());  // nothing applied yet
    parent->setAppearance(NSAppearance::named(NSAppearanceNameDarkAqua));
    parent->addSubview(card);
    auto layer = card->layer();
    ASSERT_TRUE(layer);
    ASSERT_TRUE(card->shadow());
    EXPECT_EQ(layer->backgroundColor(), (CGColor{28 / 255.0, 27 / 255.0, 29 / 255.0, 1}));
    EXPECT_EQ(layer->shadowColor(), CGColor::white());
    EXPECT_FLOAT_EQ(layer->shadowOpacity(), 0.15f);
    EXPECT_EQ(layer->shadowRadius(), 20);
    EXPECT_EQ(layer->shadowOffset(), (CGSize{0, 0}));
    EXPECT_EQ(layer->cornerRadius(), 8);

    parent->setAppearance(NSAppearance::named(NSAppearanceNameAqua));
    EXPECT_EQ(layer->backgroundColor(), CGColor::white());
    EXPECT_EQ(layer->shadowColor(), CGColor::black());
    // Drawn, the card's soft shadow shows around it: black at 0.15, fading with distance.
    auto image = ViewRenderer::image(*parent);
    EXPECT_NEAR(pixelAt(*image, 10, 70)[3], 0.15 * 0.31 * 255, 2);  // 10 points left of the card
    EXPECT_NEAR(pixelAt(*image, 0, 70)[3], 0.15 * 0.16 * 255, 2);   // one radius (20) away

    card->setShadowRadius(5);
    card->setCornerRadius(12);
    EXPECT_EQ(layer->shadowRadius(), 5);
    EXPECT_EQ(layer->cornerRadius(), 12);
}

TEST_F(DecoratedViews, HoverViewsLightUpOnlyWhenTrackingAndEnabled) {
    auto view = HoverView::make({0, 0, 40, 20});
    EXPECT_TRUE(view->trackingAreas().empty());  // made in code: no tracking
    view->awakeFromNib();
    ASSERT_EQ(view->trackingAreas().size(), 1u);
    auto area = view->trackingAreas().front();
    EXPECT_EQ(area->options().rawValue, 641u);
    EXPECT_EQ(area->owner(), view);
    EXPECT_EQ(area->rect(), view->bounds());

    view->setHoverColor(NSColor::make(1, 0, 0));
    NSEvent entered;
    entered.type = NSEvent::EventType::mouseEntered;
    view->mouseEntered(entered);
    EXPECT_TRUE(view->mouseOver());
    auto image = ViewRenderer::image(*view);
    EXPECT_EQ(pixelAt(*image, 20, 10), (Bytes{255, 0, 0, 255}));
    EXPECT_EQ(pixelAt(*image, 0, 0), transparent);  // corners of 4
    view->resetHover();
    EXPECT_FALSE(view->mouseOver());
    EXPECT_EQ(pixelAt(*ViewRenderer::image(*view), 20, 10), transparent);

    view->setEnableHover(false);
    view->mouseEntered(entered);
    EXPECT_FALSE(view->mouseOver());
    EXPECT_EQ(pixelAt(*ViewRenderer::image(*view), 20, 10), transparent);

    struct Owner : TileViewDelegate {};
    auto owner = std::make_shared<Owner>();
    view->setDelegate(owner);
    EXPECT_EQ(view->delegate(), owner);
    owner.reset();
    EXPECT_FALSE(view->delegate());  // held weakly
}

TEST_F(DecoratedViews, ClicksPassThroughNonInteractiveViews) {
    auto root = NSView::make({0, 0, 200, 100});
    int clicks = 0;
    auto button = NSButton::make("Go", [&](NSControl&) { ++clicks; });
    button->setFrame({10, 10, 80, 30});
    root->addSubview(button);
    auto cover = NonInteractiveView::make({0, 0, 200, 100});
    cover->addSubview(NSView::make({0, 0, 200, 100}));
    root->addSubview(cover);

    auto hit = root->hitTest({50, 25});
    EXPECT_EQ(hit, button);
    NSEvent down;
    down.type = NSEvent::EventType::leftMouseDown;
    down.locationInWindow = {50, 25};
    NSEvent up = down;
    up.type = NSEvent::EventType::leftMouseUp;
    hit->mouseDown(down);
    hit->mouseUp(up);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(root->hitTest({150, 50}), root);
}

TEST_F(DecoratedViews, PillsBoxesLinesAndBackgrounds) {
    auto pill = ColorView::make({0, 0, 60, 20});
    pill->layout();
    EXPECT_EQ(pill->layer()->cornerRadius(), 10);
    EXPECT_TRUE(pill->layer()->masksToBounds());
    EXPECT_EQ(pill->layer()->backgroundColor(), NSColor::separatorColor()->cgColor());
    pill->setColor(NSColor::make(0, 1, 0));
    EXPECT_EQ(pill->layer()->backgroundColor(), (CGColor{0, 1, 0, 1}));

    auto box = RoundView::make({0, 0, 50, 50});
    EXPECT_EQ(box->layer()->cornerRadius(), 8);
    EXPECT_EQ(box->layer()->borderWidth(), 0.5);
    EXPECT_FALSE(box->layer()->borderColor());  // no border colour: no border
    box->setBorderColor(NSColor::make(0, 0, 1));
    EXPECT_EQ(box->layer()->borderColor(), (CGColor{0, 0, 1, 1}));
    box->setAppearance(NSAppearance::named(NSAppearanceNameDarkAqua));
    EXPECT_EQ(box->layer()->backgroundColor(), CGColor::gray(1, 0.55));  // secondary label, dark

    auto line = HorizontalLine::make({0, 0, 100, 10});
    line->setColor(NSColor::make(0, 0, 0));
    line->setLineWidth(2);
    auto image = ViewRenderer::image(*line);
    EXPECT_EQ(pixelAt(*image, 50, 3.5), (Bytes{0, 0, 0, 255}));  // from y 3 to 5
    EXPECT_EQ(pixelAt(*image, 50, 4.5), (Bytes{0, 0, 0, 255}));
    EXPECT_EQ(pixelAt(*image, 50, 5.5), transparent);
    EXPECT_EQ(pixelAt(*image, 50, 2.5), transparent);

    auto under = NSView::make({0, 0, 20, 20});
    under->setWantsLayer(true);
    under->layer()->setBackgroundColor(CGColor{1, 0, 0, 1});
    auto content = WindowContentView::make({0, 0, 20, 20});
    under->addSubview(content);
    EXPECT_EQ(pixelAt(*ViewRenderer::image(*under), 10, 10), (Bytes{255, 255, 255, 255}));
    content->setAppearance(NSAppearance::named(NSAppearanceNameDarkAqua));
    EXPECT_EQ(pixelAt(*ViewRenderer::image(*under), 10, 10), transparent);  // a clear hole in the dark
}

TEST_F(DecoratedViews, SplitViewsWithoutDividers) {
    auto split = NoDividerSplitView::make({0, 0, 200, 100});
    split->setVertical(true);
    auto left = NSView::make({0, 0, 80, 100}), right = NSView::make();
    split->addSubview(left);
    split->addSubview(right);
    split->layoutSubtreeIfNeeded();
    EXPECT_EQ(split->dividerThickness(), 0);
    EXPECT_EQ(right->frame(), (CGRect{80, 0, 120, 100}));

    auto plain = NSSplitView::make({0, 0, 200, 100});
    plain->setVertical(true);
    plain->setDividerStyle(NSSplitViewDividerStyle::thin);
    auto a = NSView::make({0, 0, 80, 100}), b = NSView::make();
    plain->addSubview(a);
    plain->addSubview(b);
    plain->layoutSubtreeIfNeeded();
    EXPECT_EQ(b->frame(), (CGRect{81, 0, 119, 100}));
    EXPECT_GT(pixelAt(*ViewRenderer::image(*plain), 80.5, 50)[3], 0);  // the divider shows
    EXPECT_EQ(pixelAt(*ViewRenderer::image(*split), 80.5, 50)[3], 0);
}
