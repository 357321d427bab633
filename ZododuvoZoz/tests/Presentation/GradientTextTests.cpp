#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "AppKit/NSAttributedString.hpp"
#include "CoreGraphics/CGContext.hpp"
#include "PresentationTestSupport.hpp"
#include "ZododuvoZoz/Presentation/GradientText.hpp"

using namespace ZododuvoZoz;

namespace presentation_tests {
namespace {

/// A render of the text offered the whole bitmap, at one pixel per point.
std::shared_ptr<CGImage> render(const GradientText& text, std::size_t width, std::size_t height) {
    auto context = CGContext::makeBitmap(nullptr, width, height, 8, width * 4, CGColorSpace::deviceRGB, {});
    if (!context) return nullptr;
    text.draw(*context, {CGFloat(width), CGFloat(height)});
    return context->makeImage();
}

/// The leftmost and rightmost columns holding opaque pixels in rows from `low` to `high` (y up).
std::pair<int, int> inkColumns(const CGImage& image, int low, int high) {
    int first = int(image.width()), last = -1;
    for (int y = low; y < high; ++y) {
        for (int x = 0; x < int(image.width()); ++x) {
            if (pixelAt(image, x, y)[3] < 250) continue;
            first = std::min(first, x);
            last = std::max(last, x);
        }
    }
    return {first, last};
}

}  // namespace

using GradientTextLabel = PresentationTest;

TEST_F(GradientTextLabel, DefaultsAndColoursInTheOrderGiven) {
    GradientText plain;
    EXPECT_EQ(plain.text, "");
    ASSERT_EQ(plain.colors.size(), 2u);
    EXPECT_EQ(plain.colors[0]->cgColor(), NSColor::systemRedColor()->cgColor());
    EXPECT_EQ(plain.colors[1]->cgColor(), NSColor::systemOrangeColor()->cgColor());
    ASSERT_TRUE(plain.font);
    EXPECT_EQ(plain.font->pointSize(), 24);
    EXPECT_EQ(plain.font->weight(), NSFont::Weight::bold());

    auto blue = NSColor::systemBlueColor(), green = NSColor::systemGreenColor(), pink = NSColor::systemPinkColor();
    GradientText listed("Hi", {blue, green, pink});
    EXPECT_EQ(listed.text, "Hi");
    EXPECT_EQ(listed.colors, (GradientText::Colors{blue, green, pink}));
    EXPECT_EQ(listed.font->pointSize(), 24);
    auto small = NSFont::systemFont(10);
    GradientText withFont("Hi", {pink, blue}, small);
    EXPECT_EQ(withFont.colors, (GradientText::Colors{pink, blue}));
    EXPECT_EQ(withFont.font, small);

    // The ideal size is the text measured in its font; an empty text shows nothing.
    auto measured = NSAttributedString("Hi", {{NSAttributedStringKey::font(), small}}).size();
    EXPECT_EQ(withFont.idealSize(), measured);
    auto empty = render(plain, 40, 40);
    ASSERT_TRUE(empty);
    EXPECT_EQ(inkColumns(*empty, 0, 40).second, -1);
}

TEST_F(GradientTextLabel, OnlyTheGlyphsShowTheGradientFromLeftToRight) {
    GradientText text("WWW", {NSColor::make(1, 0, 0), NSColor::make(0, 0, 1)}, NSFont::boldSystemFont(60));
    auto image = render(text, 300, 120);
    ASSERT_TRUE(image);
    CGRect frame = text.body().frame({300, 120});

    // Left glyph pixels are red, right ones blue, and the middle a mixture of both.
    auto [first, last] = inkColumns(*image, 0, 120);
    ASSERT_LT(first, last);
    auto average = [&](int from, int to) {
        std::array<double, 2> redBlue{0, 0};
        for (int x = from; x <= to; ++x) {
            for (int y = 0; y < 120; ++y) {
                auto p = pixelAt(*image, x, y);
                if (p[3] < 250) continue;
                redBlue[0] += p[0];
                redBlue[1] += p[2];
            }
        }
        return redBlue;
    };
    auto left = average(first, first + 8), right = average(last - 8, last);
    EXPECT_GT(left[0], 5 * left[1]);
    EXPECT_GT(right[1], 5 * right[0]);

    // Around and between the glyphs the bitmap stays clear: nothing outside the frame, and inside
    // it both clear and opaque pixels.
    int clear = 0, solid = 0;
    for (int y = 0; y < 120; ++y) {
        for (int x = 0; x < 300; ++x) {
            auto alpha = pixelAt(*image, x, y)[3];
            bool inside = x >= frame.minX() - 1 && x <= frame.maxX() && y >= frame.minY() - 1 && y <= frame.maxY();
            if (!inside) {
                ASSERT_EQ(alpha, 0) << x << ", " << y;
            } else if (alpha == 0) {
                ++clear;
            } else if (alpha == 255) {
                ++solid;
            }
        }
    }
    double area = frame.width() * frame.height();
    EXPECT_GT(clear, area * 0.3);
    EXPECT_GT(solid, area * 0.1);
}

TEST_F(GradientTextLabel, LinesAreCentredOnOneAnother) {
    GradientText text("I\nWWWW", {NSColor::make(1, 0, 0), NSColor::make(0, 0, 1)}, NSFont::boldSystemFont(40));
    auto image = render(text, 240, 140);
    ASSERT_TRUE(image);
    CGRect frame = text.body().frame({240, 140});
    auto [first, last] = inkColumns(*image, int(frame.midY()) + 2, int(frame.maxY()));  // the upper line
    ASSERT_LT(first, last);
    EXPECT_NEAR((first + last + 1) / 2.0, frame.midX(), 3);
    EXPECT_LT(last - first, frame.width() / 3);
}

}  // namespace presentation_tests
