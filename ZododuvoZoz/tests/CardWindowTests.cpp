#include <gtest/gtest.h>

#include "AppKit/NSEvent.hpp"
#include "AppKit/NSShadow.hpp"
#include "AppKit/ViewRenderer.hpp"
#include "GaugeTestSupport.hpp"
#include "ZododuvoZoz/CardView.hpp"
#include "ZododuvoZoz/Window.hpp"

using namespace ZododuvoZoz;

namespace {
NSEvent moveTo(CGPoint point) {
    NSEvent event;
    event.type = NSEvent::EventType::mouseMoved;
    event.locationInWindow = point;
    return event;
}

/// A card at (40, 40, 100, 50) in the content view of a borderless window of 200 × 200.
struct CardInWindow {
    std::shared_ptr<NSWindow> window = NSWindow::make({0, 0, 200, 200}, NSWindow::StyleMask::borderless());
    std::shared_ptr<CardView> card = CardView::make({40, 40, 100, 50});
    CardInWindow() { window->contentView()->addSubview(card); }
    ~CardInWindow() { window->close(); }
};

constexpr CGColor grey80{80 / 255.0, 80 / 255.0, 80 / 255.0, 1};
}  // namespace

using Cards = GaugeTest;

TEST_F(Cards, WindowsBlendTheirTitleBarAndCannotZoom) {
    auto window = Window::make({0, 0, 300, 200}, NSWindow::StyleMask::titled() | NSWindow::StyleMask::closable(),
                               NSWindow::BackingStoreType::buffered, false);
    EXPECT_TRUE(window->styleMask().contains(NSWindow::StyleMask::resizable()));
    EXPECT_FALSE(window->isOpaque());
    EXPECT_TRUE(window->titlebarAppearsTransparent());
    EXPECT_EQ(window->backgroundColor(), NSColor::windowBackgroundColor());
    ASSERT_TRUE(window->standardWindowButton(NSWindow::ButtonType::zoomButton));
    EXPECT_TRUE(window->standardWindowButton(NSWindow::ButtonType::zoomButton)->isHidden());
    EXPECT_FALSE(window->standardWindowButton(NSWindow::ButtonType::closeButton)->isHidden());
    window->close();
}

TEST_F(Cards, CardsTakeTheirLookWhateverTheirStoredFieldsSay) {
    auto parent = NSView::make({0, 0, 200, 200});
    auto card = CardView::make({20, 20, 100, 60});
    auto layer = card->layer();
    ASSERT_TRUE(layer);  // styled from the start
    EXPECT_FALSE(card->trackingArea());
    parent->addSubview(card);
    card->setShadowOpacity(0.9f);
    card->setRadius(20);  // lays out, which styles the layer again and takes in the superview
    EXPECT_TRUE(parent->layer());
    ASSERT_TRUE(card->shadow());
    EXPECT_EQ(layer->cornerRadius(), 8);
    EXPECT_FLOAT_EQ(layer->shadowOpacity(), 0.1f);
    EXPECT_EQ(layer->shadowRadius(), 3);
    EXPECT_EQ(layer->shadowOffset(), (CGSize{0, 5}));
    EXPECT_EQ(layer->shadowColor(), CGColor::black());
    EXPECT_EQ(layer->backgroundColor(), (CGColor{30 / 255.0, 30 / 255.0, 30 / 255.0, 1}));

    card->setShadowOfSetWidth(-2);
    card->setShadowOfSetHeight(-4);
    EXPECT_EQ(layer->shadowOffset(), (CGSize{-2, -4}));

    // The shadow colour follows the card's own appearance, the background the drawing one.
    card->setAppearance(NSAppearance::named(NSAppearanceNameDarkAqua));
    card->layout();
    EXPECT_EQ(layer->shadowColor(), grey80);
    NSAppearance::named(NSAppearanceNameDarkAqua)->performAsCurrentDrawingAppearance([&] { card->layout(); });
    EXPECT_EQ(layer->backgroundColor(), (CGColor{230 / 255.0, 230 / 255.0, 230 / 255.0, 1}));
}

TEST_F(Cards, HoverAreaOnlyWhileEnlargingAndRenewedOnLayout) {
    CardInWindow scene;
    auto card = scene.card;
    scene.window->sendEvent(moveTo({90, 65}));
    EXPECT_TRUE(card->layer()->affineTransform().isIdentity());  // does not enlarge: nothing happens
    EXPECT_TRUE(card->trackingAreas().empty());

    card->setEnlarges(true);
    auto area = card->trackingArea();
    ASSERT_TRUE(area);
    EXPECT_EQ(card->trackingAreas(), (std::vector<std::shared_ptr<NSTrackingArea>>{area}));
    EXPECT_EQ(area->rect(), (CGRect{0, 0, 100, 50}));
    EXPECT_EQ(area->options().rawValue, 129u);
    EXPECT_EQ(area->owner(), card);

    card->setFrame({40, 40, 120, 60});
    card->layout();
    ASSERT_NE(card->trackingArea(), area);
    EXPECT_EQ(card->trackingAreas().size(), 1u);
    EXPECT_EQ(card->trackingArea()->rect(), (CGRect{0, 0, 120, 60}));

    card->setEnlarges(false);
    EXPECT_FALSE(card->trackingArea());
    EXPECT_TRUE(card->trackingAreas().empty());
}

TEST_F(Cards, HoveredCardsGrowAroundTheirCentreAndShrinkBack) {
    CardInWindow scene;
    auto card = scene.card;
    card->setEnlarges(true);
    auto layer = card->layer();

    scene.window->sendEvent(moveTo({90, 65}));
    EXPECT_EQ(layer->position(), (CGPoint{90, 65}));
    EXPECT_EQ(layer->anchorPoint(), (CGPoint{0.5, 0.5}));
    EXPECT_EQ(layer->affineTransform(), CGAffineTransform::scale(1.02, 1.02));
    CGRect grown = layer->frame();
    EXPECT_NEAR(grown.minX(), 39, 1e-9);
    EXPECT_NEAR(grown.width(), 102, 1e-9);
    EXPECT_NEAR(grown.minY(), 39.5, 1e-9);
    EXPECT_NEAR(grown.height(), 51, 1e-9);

    scene.window->sendEvent(moveTo({10, 10}));
    EXPECT_TRUE(layer->affineTransform().isIdentity());
    EXPECT_EQ(layer->frame(), card->frame());

    card->setScalingFactor(0.5);
    scene.window->sendEvent(moveTo({90, 65}));
    auto image = ViewRenderer::image(*scene.window->contentView());
    Bytes outside = pixelAt(*image, 30, 65);  // inside the grown card, outside the card at rest
    EXPECT_EQ(outside, (Bytes{30, 30, 30, 255}));
}

TEST_F(Cards, RenderShowsTheCardAndItsShadowAbove) {
    auto parent = NSView::make({0, 0, 200, 200});
    auto card = CardView::make({40, 40, 100, 50});
    parent->addSubview(card);
    card->layout();
    auto image = ViewRenderer::image(*parent);
    EXPECT_EQ(pixelAt(*image, 90, 65), (Bytes{30, 30, 30, 255}));
    // Black at 0.1, 5 points up, blurred by 3: 1 - Φ(d / 3) of it at d points beyond its edge (95).
    Bytes shadow = pixelAt(*image, 90, 92);
    EXPECT_NEAR(shadow[3], 0.1 * 0.84 * 255, 2);
    EXPECT_EQ(shadow[0], 0);
    EXPECT_NEAR(pixelAt(*image, 90, 98)[3], 0.1 * 0.16 * 255, 2);
    EXPECT_EQ(pixelAt(*image, 90, 106)[3], 0);
    EXPECT_EQ(pixelAt(*image, 40, 40)[3], 0);  // a rounded corner
}
