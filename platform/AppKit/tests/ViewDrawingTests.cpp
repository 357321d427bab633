#include <gtest/gtest.h>

#include "AppKit/NSAnimationContext.hpp"
#include "AppKit/NSAttributedString.hpp"
#include "AppKit/NSBezierPath.hpp"
#include "AppKit/NSColor.hpp"
#include "AppKit/NSImage.hpp"
#include "AppKit/NSMutableParagraphStyle.hpp"
#include "AppKit/NSView.hpp"
#include "AppKit/ViewRenderer.hpp"
#include "AppKitTestSupport.hpp"
#include "QuartzCore/CAShapeLayer.hpp"

namespace {
// Fills a 10 x 10 square at its origin in a colour that follows the appearance.
class SquareView : public NSView {
public:
    SquareView(CGRect frame, bool flipped) : NSView(frame), flipped_(flipped) {}
    static std::shared_ptr<SquareView> make(CGRect frame, bool flipped = false) {
        return std::make_shared<SquareView>(frame, flipped);
    }
    bool isFlipped() const override { return flipped_; }
    void draw(const CGRect&) override {
        ++draws;
        NSColor::dynamic(CGColor{1, 0, 0, 1}, CGColor{0, 0, 1, 1})->setFill();
        NSBezierPath::rect({0, 0, 10, 10})->fill();
    }
    int draws = 0;

private:
    bool flipped_;
};

constexpr Bytes red{255, 0, 0, 255};
constexpr Bytes blue{0, 0, 255, 255};
}  // namespace

using ViewDrawing = AppKitTest;

TEST_F(ViewDrawing, UnflippedViewsDrawUpwardsAndFlippedOnesDownwards) {
    auto root = SquareView::make({0, 0, 100, 100}, true);
    auto child = SquareView::make({50, 0, 40, 40});  // at the top of its flipped parent
    root->addSubview(child);
    auto image = ViewRenderer::image(*root);
    EXPECT_EQ(pixelAt(*image, 5, 95), red);   // the flipped root's origin is its top-left corner
    EXPECT_EQ(pixelAt(*image, 5, 5)[3], 0);
    EXPECT_EQ(pixelAt(*image, 55, 65), red);  // the child's origin is its own lower-left corner
    EXPECT_EQ(pixelAt(*image, 55, 95)[3], 0);
    EXPECT_EQ(root->draws, 1);
    EXPECT_FALSE(root->needsDisplay());

    child->setHidden(true);
    EXPECT_EQ(pixelAt(*ViewRenderer::image(*root), 55, 65)[3], 0);
}

TEST_F(ViewDrawing, EachViewDrawsInItsOwnAppearance) {
    auto root = SquareView::make({0, 0, 40, 20});
    auto child = SquareView::make({20, 0, 20, 20});
    root->addSubview(child);
    child->setAppearance(NSAppearance::named(NSAppearanceNameDarkAqua));
    auto image = ViewRenderer::image(*root);
    EXPECT_EQ(pixelAt(*image, 5, 5), red);
    EXPECT_EQ(pixelAt(*image, 25, 5), blue);
}

TEST_F(ViewDrawing, LayerBackedViewsDrawThroughTheirLayer) {
    NSScreen::setMain(std::make_shared<NSScreen>(CGRect{0, 0, 1440, 900}, 2.0));
    auto view = SquareView::make({30, 40, 50, 20});
    EXPECT_FALSE(view->layer());
    view->setWantsLayer(true);
    auto layer = view->layer();
    ASSERT_TRUE(layer);
    EXPECT_EQ(layer->anchorPoint(), (CGPoint{0, 0}));
    EXPECT_EQ(layer->frame(), view->frame());
    EXPECT_EQ(layer->contentsScale(), 2.0);
    view->setFrame({0, 0, 60, 30});
    EXPECT_EQ(layer->frame(), (CGRect{0, 0, 60, 30}));

    layer->setBackgroundColor(CGColor{0, 1, 0, 1});
    auto dot = CAShapeLayer::make();
    CGMutablePath path;
    path.addRect({40, 0, 10, 10});
    dot->setPath(path);  // black fill by default
    layer->addSublayer(dot);

    auto image = ViewRenderer::image(*view);  // at the screen's scale
    EXPECT_EQ(image->width(), 120u);
    EXPECT_EQ(pixelAt(*image, 5, 5, 2), red);  // draw(_:) over the background, under sublayers
    EXPECT_EQ(pixelAt(*image, 30, 5, 2), (Bytes{0, 255, 0, 255}));
    EXPECT_EQ(pixelAt(*image, 45, 5, 2), (Bytes{0, 0, 0, 255}));

    // The layer alone renders the same way.
    EXPECT_EQ(pixelAt(*ViewRenderer::image(*layer, 1.0), 5, 5), red);
    view->setWantsLayer(false);
    EXPECT_FALSE(view->layer());
}

TEST_F(ViewDrawing, ImagesTakeDrawingWithFocusAndDrawUpright) {
    auto image = NSImage::make({10, 20});
    image->lockFocus();
    ASSERT_TRUE(NSGraphicsContext::current());
    NSColor::make(1, 0, 0)->set();
    NSRectFill({0, 10, 10, 10});  // the upper half
    image->unlockFocus();
    EXPECT_FALSE(NSGraphicsContext::current());

    auto bitmap = image->cgImage();
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->width(), 10u);
    EXPECT_EQ(pixelAt(*bitmap, 5, 15), red);
    EXPECT_EQ(pixelAt(*bitmap, 5, 5)[3], 0);

    // Drawn twice as large into a y-up context, and from its lower half only.
    auto target = NSImage::make({40, 40});
    target->lockFocus();
    image->draw(CGRect{0, 0, 20, 40});
    image->draw(CGRect{20, 0, 20, 20}, CGRect{0, 0, 10, 10}, NSCompositingOperation::sourceOver, 1.0);
    target->unlockFocus();
    auto drawn = target->cgImage();
    EXPECT_EQ(pixelAt(*drawn, 10, 30), red);
    EXPECT_EQ(pixelAt(*drawn, 10, 10)[3], 0);
    EXPECT_EQ(pixelAt(*drawn, 30, 10)[3], 0);

    auto copy = NSImage::fromCGImage(bitmap, {5, 10});
    EXPECT_EQ(copy->cgImage()->width(), 10u);  // keeps its own pixels: two per point
}

TEST_F(ViewDrawing, AttributedTextMeasuresAndDrawsWithItsAttributes) {
    auto bold = NSFont::boldSystemFont(16);
    EXPECT_EQ(bold->fontName(), "DejaVuSans-Bold");
    EXPECT_EQ(NSFont::systemFont(16)->fontName(), "DejaVuSans");
    EXPECT_EQ(NSFont::systemFont(16, NSFont::Weight::ultraLight())->fontName(), "DejaVuSans-Thin");
    EXPECT_GT(bold->ascender(), 0);
    EXPECT_LT(bold->descender(), 0);

    NSAttributedString plain("Mouse 80%", {{NSAttributedStringKey::font(), NSFont::systemFont(16)}});
    NSAttributedString heavy("Mouse 80%", {{NSAttributedStringKey::font(), bold}});
    EXPECT_GT(heavy.size().width, plain.size().width);
    EXPECT_NEAR(plain.size().height, NSFont::systemFont(16)->ascender() - NSFont::systemFont(16)->descender(), 3);
    EXPECT_GT(plain.size(30).height, 1.5 * plain.size().height);  // wrapped

    auto paragraph = NSParagraphStyle::defaultStyle()->mutableCopy();
    paragraph->setAlignment(NSTextAlignment::right);
    EXPECT_EQ(NSParagraphStyle::defaultStyle()->alignment(), NSTextAlignment::natural);
    NSAttributedString right("Ok", {{NSAttributedStringKey::foregroundColor(), NSColor::textColor()},
                                    {NSAttributedStringKey::paragraphStyle(), std::shared_ptr<const NSParagraphStyle>(paragraph)}});
    auto canvas = NSImage::make({100, 40});
    canvas->lockFocus();
    NSAppearance::named(NSAppearanceNameDarkAqua)->performAsCurrentDrawingAppearance([&] { right.draw(CGRect{0, 0, 100, 40}); });
    canvas->unlockFocus();
    auto image = canvas->cgImage();
    int leftmost = 100;
    for (std::size_t x = 0; x < 100; ++x) {
        for (std::size_t y = 0; y < 40; ++y) {
            if (image->pixel(x, y)[3] > 0) {
                leftmost = std::min<int>(leftmost, int(x));
                EXPECT_EQ(image->pixel(x, y)[0], image->pixel(x, y)[3]);  // white in the dark appearance
                EXPECT_LT(y, 25u);                                       // in the top line
            }
        }
    }
    EXPECT_GT(leftmost, 70);
}

TEST_F(ViewDrawing, TransformedBackingLayersDrawAroundTheirAnchorPoint) {
    auto parent = NSView::make({0, 0, 100, 100});
    auto card = NSView::make({40, 40, 20, 20});
    parent->addSubview(card);
    card->setWantsLayer(true);
    card->layer()->setBackgroundColor(CGColor{1, 0, 0, 1});
    EXPECT_EQ(pixelAt(*ViewRenderer::image(*parent), 35, 50), (Bytes{0, 0, 0, 0}));

    double seen = 0;
    NSAnimationContext::runAnimationGroup([&](NSAnimationContext& context) {
        seen = context.duration();
        context.setDuration(0.6);
        card->layer()->setAnchorPoint({0.5, 0.5});
        card->layer()->setPosition({50, 50});
        card->layer()->setAffineTransform(CGAffineTransform::scale(1.5, 1.5));
    });
    EXPECT_EQ(seen, 0.25);
    EXPECT_EQ(card->layer()->frame(), (CGRect{35, 35, 30, 30}));  // made at once
    auto image = ViewRenderer::image(*parent);
    EXPECT_EQ(pixelAt(*image, 36, 50), red);  // grown around its centre
    EXPECT_EQ(pixelAt(*image, 63, 63), red);
    EXPECT_EQ(pixelAt(*image, 50, 67), (Bytes{0, 0, 0, 0}));
}
