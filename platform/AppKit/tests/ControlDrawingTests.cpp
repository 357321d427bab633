#include <gtest/gtest.h>

#include <functional>

#include "AppKit/NSBezierPath.hpp"
#include "AppKit/NSGradient.hpp"
#include "AppKit/NSImageView.hpp"
#include "AppKit/NSSearchFieldCell.hpp"
#include "AppKit/NSSecureTextFieldCell.hpp"
#include "AppKit/NSSegmentedControl.hpp"
#include "AppKit/NSTextField.hpp"
#include "AppKit/ViewRenderer.hpp"
#include "AppKitTestSupport.hpp"

namespace {
// The box around the pixels of a render that are more than faintly covered, y up; null when none.
CGRect inkBox(const CGImage& image) {
    CGRect box = CGRect::null();
    for (std::size_t y = 0; y < image.height(); ++y) {
        for (std::size_t x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y)[3] > 60) {
                box = box.unionWith(CGRect{CGFloat(x), CGFloat(image.height() - 1 - y), 1, 1});
            }
        }
    }
    return box;
}

// The darkest (light: true) or lightest pixel's colour, unpremultiplied, among the inked ones.
Bytes strongestInk(const CGImage& image, bool darkest) {
    Bytes best{0, 0, 0, 0};
    int bestLevel = darkest ? 1000 : -1;
    for (std::size_t y = 0; y < image.height(); ++y) {
        for (std::size_t x = 0; x < image.width(); ++x) {
            Bytes p = image.pixel(x, y);
            if (p[3] < 200) continue;
            int level = (p[0] + p[1] + p[2]) * 255 / p[3];
            if (darkest ? level < bestLevel : level > bestLevel) {
                bestLevel = level;
                best = p;
            }
        }
    }
    return best;
}

// A view that draws the block in its bounds.
class Canvas : public NSView {
public:
    Canvas(CGRect frame, std::function<void(const CGRect&)> body) : NSView(frame), body_(std::move(body)) {}
    void draw(const CGRect&) override { body_(bounds()); }

private:
    std::function<void(const CGRect&)> body_;
};

// A 20 x 20 template: the left half filled, the right half empty.
std::shared_ptr<NSImage> halfTemplate() {
    auto image = NSImage::make({20, 20});
    image->lockFocus();
    NSColor::blackColor()->setFill();
    NSBezierPath::rect({0, 0, 10, 20})->fill();
    image->unlockFocus();
    image->setTemplate(true);
    return image;
}
}  // namespace

using ControlDrawing = AppKitTest;

TEST_F(ControlDrawing, LabelsDrawTheirTextInTheLabelColourFromTheTop) {
    auto label = NSTextField::labelWithString("Keyboard");
    label->setFrameSize({200, 40});
    auto image = ViewRenderer::image(*label);
    CGRect ink = inkBox(*image);
    ASSERT_FALSE(ink.isNull());
    EXPECT_LT(ink.minX(), 6);    // natural alignment: from the left, 2 points in
    EXPECT_GT(ink.maxY(), 30);   // from the top of the flipped field
    EXPECT_LT(ink.minY(), 40);
    EXPECT_LT(strongestInk(*image, true)[0], 30);  // near-black label colour

    label->setAlignment(NSTextAlignment::right);
    CGRect right = inkBox(*ViewRenderer::image(*label));
    EXPECT_GT(right.maxX(), 190);
    EXPECT_GT(right.minX(), 100);
    label->setAlignment(NSTextAlignment::center);
    CGRect centred = inkBox(*ViewRenderer::image(*label));
    EXPECT_NEAR(centred.midX(), 100, 3);

    label->setAppearance(NSAppearance::named(NSAppearanceNameDarkAqua));
    EXPECT_GT(strongestInk(*ViewRenderer::image(*label), false)[0], 200);  // white text in the dark

    label->setStringValue("");
    EXPECT_TRUE(inkBox(*ViewRenderer::image(*label)).isNull());

    // Too long for its width: clipped mid-letter, or cut at the end with an ellipsis, whose dots
    // sit low on the line.
    label = NSTextField::labelWithString("Xbox Wireless Controller");
    label->setFrameSize({90, 20});
    auto inkHeightAtTheEnd = [&] {
        auto image = ViewRenderer::image(*label);
        CGRect ink = inkBox(*image);
        CGRect end = CGRect::null();
        for (CGFloat x = ink.maxX() - 3; x < ink.maxX(); ++x) {
            for (CGFloat y = 0; y < 20; ++y) {
                if (pixelAt(*image, x, y)[3] > 60) end = end.unionWith(CGRect{x, y, 1, 1});
            }
        }
        return end.height();
    };
    EXPECT_GT(inkHeightAtTheEnd(), 6);
    label->setLineBreakMode(NSLineBreakMode::byTruncatingTail);
    EXPECT_LT(inkHeightAtTheEnd(), 4);
    EXPECT_LE(inkBox(*ViewRenderer::image(*label)).maxX(), 88);
}

TEST_F(ControlDrawing, FieldsDrawTheirBackgroundAndBezel) {
    auto field = NSTextField::make({0, 0, 100, 24});
    auto image = ViewRenderer::image(*field);
    EXPECT_EQ(pixelAt(*image, 50, 12), (Bytes{255, 255, 255, 255}));  // the background
    Bytes edge = pixelAt(*image, 50, 0);
    EXPECT_LT(edge[0], 220);  // the bezel line darkens the edge
    field->setDrawsBackground(false);
    field->setBezeled(false);
    EXPECT_EQ(pixelAt(*ViewRenderer::image(*field), 50, 0)[3], 0);
    field->setBackgroundColor(NSColor::make(0, 0, 1));
    field->setDrawsBackground(true);
    EXPECT_EQ(pixelAt(*ViewRenderer::image(*field), 50, 12), (Bytes{0, 0, 255, 255}));
}

TEST_F(ControlDrawing, TemplateImagesTakeTheLabelColourAndImagesScaleToFit) {
    auto view = NSImageView::make({0, 0, 40, 40});
    view->setImage(halfTemplate());
    // Shrunk only: the 20-point image sits in the middle at its own size.
    EXPECT_EQ(view->imageRect(), (CGRect{10, 10, 20, 20}));
    auto image = ViewRenderer::image(*view);
    Bytes ink = pixelAt(*image, 15, 20);
    EXPECT_NEAR(ink[3], 217, 2);  // black at 0.85
    EXPECT_LT(ink[0], 5);
    EXPECT_EQ(pixelAt(*image, 25, 20)[3], 0);  // the empty half stays empty
    EXPECT_EQ(pixelAt(*image, 5, 20)[3], 0);

    view->setAppearance(NSAppearance::named(NSAppearanceNameDarkAqua));
    Bytes light = pixelAt(*ViewRenderer::image(*view), 15, 20);
    EXPECT_NEAR(light[0], 217, 2);  // white at 0.85, premultiplied
    EXPECT_NEAR(light[3], 217, 2);

    view->setImageScaling(NSImageScaling::scaleProportionallyUpOrDown);
    EXPECT_EQ(view->imageRect(), (CGRect{0, 0, 40, 40}));
    EXPECT_GT(pixelAt(*ViewRenderer::image(*view), 2, 20)[3], 200);
    view->setFrameSize({40, 20});
    EXPECT_EQ(view->imageRect(), (CGRect{10, 0, 20, 20}));
    view->setImageScaling(NSImageScaling::scaleAxesIndependently);
    EXPECT_EQ(view->imageRect(), (CGRect{0, 0, 40, 20}));

    // An image that is no template keeps its own colours.
    auto plain = halfTemplate();
    plain->setTemplate(false);
    view->setImage(plain);
    EXPECT_EQ(pixelAt(*ViewRenderer::image(*view), 5, 10), (Bytes{0, 0, 0, 255}));
    view->setImage(nullptr);
    EXPECT_TRUE(inkBox(*ViewRenderer::image(*view)).isNull());
}

TEST_F(ControlDrawing, GradientsRunAlongTheirAngle) {
    EXPECT_FALSE(NSGradient::make({NSColor::redColor()}));
    EXPECT_FALSE(NSGradient::make({NSColor::redColor(), NSColor::blueColor()}, {0}));
    auto gradient = NSGradient::make({NSColor::redColor(), NSColor::blueColor()});
    ASSERT_TRUE(gradient);
    CGFloat angle = 0;
    auto canvas = std::make_shared<Canvas>(CGRect{0, 0, 100, 50}, [&](const CGRect& b) { gradient->draw(b, angle); });
    auto image = ViewRenderer::image(*canvas);
    EXPECT_GT(pixelAt(*image, 0, 25)[0], 250);
    EXPECT_GT(pixelAt(*image, 99, 25)[2], 250);
    EXPECT_NEAR(pixelAt(*image, 50, 25)[0], 127, 3);
    EXPECT_EQ(pixelAt(*image, 50, 0), pixelAt(*image, 50, 49));  // the same down a column

    angle = 90;  // first colour at the bottom
    image = ViewRenderer::image(*canvas);
    EXPECT_GT(pixelAt(*image, 50, 0)[0], 245);
    EXPECT_GT(pixelAt(*image, 50, 49)[2], 245);
}

TEST_F(ControlDrawing, SelectedSegmentsShowInTheAccentColour) {
    auto control = NSSegmentedControl::make({"On", "Off"}, nullptr);
    control->setFrameSize({100, 24});
    control->setSelectedSegment(0);
    auto image = ViewRenderer::image(*control);
    EXPECT_EQ(pixelAt(*image, 5, 12), (Bytes{0, 120, 250, 255}));
    EXPECT_EQ(pixelAt(*image, 55, 12), (Bytes{255, 255, 255, 255}));
    control->setSelectedSegment(1);
    image = ViewRenderer::image(*control);
    EXPECT_EQ(pixelAt(*image, 5, 12), (Bytes{255, 255, 255, 255}));
    EXPECT_EQ(pixelAt(*image, 55, 12), (Bytes{0, 120, 250, 255}));
}

TEST_F(ControlDrawing, CellsMeasureAndPlaceTheirText) {
    NSTextFieldCell label("Mouse");
    NSTextFieldCell bezeled("Mouse");
    bezeled.setBezeled(true);
    CGSize plain = label.cellSize();
    EXPECT_EQ(bezeled.cellSize().height, plain.height + 6);
    EXPECT_EQ(bezeled.cellSize().width, plain.width + 4);
    EXPECT_EQ(label.titleRect({0, 0, 100, 20}), (CGRect{2, 0, 96, 20}));

    NSSearchFieldCell search("find");
    EXPECT_EQ(search.titleRect({0, 0, 120, 22}), (CGRect{22, 3, 94, 16}));

    // Bullets, one per character as a reader counts them (an accent that combines is no character).
    NSSecureTextFieldCell secret("pa\u0301ss");
    NSTextFieldCell bullets("\u2022\u2022\u2022\u2022");
    EXPECT_EQ(secret.cellSize(), bullets.cellSize());
    EXPECT_EQ(secret.stringValue(), "pa\u0301ss");
    secret.setEchosBullets(false);
    EXPECT_EQ(secret.cellSize().width, 4);  // nothing shown, only the insets
}
