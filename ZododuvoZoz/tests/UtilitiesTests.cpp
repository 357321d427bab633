#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>

#include "AppKit/NSAppearance.hpp"
#include "AppKit/NSApplication.hpp"
#include "AppKit/NSScreen.hpp"
#include "AppKit/ViewRenderer.hpp"
#include "GaugeTestSupport.hpp"
#include "ZododuvoZoz/AppearanceExtensions.hpp"
#include "ZododuvoZoz/BezierPathExtensions.hpp"
#include "ZododuvoZoz/Constants.hpp"
#include "ZododuvoZoz/ImageExtensions.hpp"
#include "ZododuvoZoz/TextUtilities.hpp"
#include "ZododuvoZoz/TransactionExtensions.hpp"
#include "ZododuvoZoz/Utilities.hpp"
#include "ZododuvoZoz/ViewExtensions.hpp"

using namespace ZododuvoZoz;

TEST(Utilities, SpeedLadderInBytes) {
    EXPECT_EQ(Utilities::speedUnit(1023, false), "B/s");
    EXPECT_EQ(Utilities::speedDivisor(1023, false), 1);
    EXPECT_EQ(Utilities::speedUnit(1024, false), "KB/s");
    EXPECT_EQ(Utilities::speedDivisor(1024, false), 1024);
    EXPECT_EQ(Utilities::speedUnit(1048575, false), "KB/s");
    EXPECT_EQ(Utilities::speedUnit(1073741824, false), "GB/s");
    EXPECT_EQ(Utilities::speedUnit(1099511627776, false), "TB/s");
    EXPECT_EQ(Utilities::speedDivisor(1099511627776, false), 1099511627776.0);
}

TEST(Utilities, SpeedLadderInBitsHasAnAnswerForEveryValue) {
    EXPECT_EQ(Utilities::speedUnit(124, true), "b/s");
    EXPECT_EQ(Utilities::speedDivisor(124, true), 1);
    EXPECT_EQ(Utilities::speedUnit(125, true), "Kb/s");  // 1000 bits
    EXPECT_EQ(Utilities::speedDivisor(125, true), 1000);
    EXPECT_EQ(Utilities::speedUnit(124999, true), "Kb/s");
    EXPECT_EQ(Utilities::speedUnit(125000, true), "Mb/s");
    EXPECT_EQ(Utilities::speedUnit(125000000000, true), "Tb/s");
    // Eight times these no longer fits in 64 bits; they are still terabits, not a wrapped-around
    // small number.
    EXPECT_EQ(Utilities::speedUnit(2305843009213693952ull, true), "Tb/s");
    EXPECT_EQ(Utilities::speedUnit(std::numeric_limits<std::uint64_t>::max(), true), "Tb/s");
    EXPECT_EQ(Utilities::speedDivisor(std::numeric_limits<std::uint64_t>::max(), true), 1e12);
}

TEST(BezierPathConversion, KeepsEveryElement) {
    EXPECT_TRUE(cgPath(NSBezierPath()).isEmpty());
    NSBezierPath path;
    path.move({1, 2});
    path.line({3, 4});
    path.curve({9, 9}, {5, 6}, {7, 8});
    path.close();
    CGMutablePath expected;
    expected.move({1, 2});
    expected.addLine({3, 4});
    expected.addCurve({9, 9}, {5, 6}, {7, 8});
    expected.closeSubpath();
    EXPECT_EQ(cgPath(path), expected);
    EXPECT_EQ(cgPath(path).elements()[2].endPoint(), (CGPoint{9, 9}));  // the third point
}

class DrawingUtilities : public GaugeTest {};

TEST_F(DrawingUtilities, DarkModeIsAnyNameContainingDark) {
    EXPECT_FALSE(isDarkMode());
    auto custom = std::make_shared<NSAppearance>("MyDaRkTheme");
    custom->performAsCurrentDrawingAppearance([] { EXPECT_TRUE(isDarkMode()); });

    auto view = NSView::make();
    EXPECT_FALSE(isDarkMode(*view));
    view->setAppearance(NSAppearance::named(NSAppearanceNameAccessibilityHighContrastVibrantDark));
    EXPECT_TRUE(isDarkMode(*view));
}

TEST_F(DrawingUtilities, ScaleConstantsWithoutAScreen) {
    EXPECT_EQ(Constants::screenScale(), 1.0);
    EXPECT_EQ(Constants::onePixel(), 1.0);  // fixed from now on
    NSScreen::setMain(std::make_shared<NSScreen>(CGRect{0, 0, 100, 100}, 2.0));
    EXPECT_EQ(Constants::screenScale(), 2.0);
    EXPECT_EQ(Constants::onePixel(), 1.0);
    EXPECT_EQ(Constants::tebi(), 1099511627776u);
}

TEST_F(DrawingUtilities, TintingAndResizing) {
    auto photo = NSImage::make({4, 4});
    EXPECT_EQ(tinted(photo, NSColor::make(1, 0, 0)), photo);  // not a template: the same object

    auto symbol = NSImage::systemSymbol("rectangle");
    auto red = tinted(symbol, NSColor::make(1, 0, 0));
    ASSERT_NE(red, symbol);
    EXPECT_FALSE(red->isTemplate());
    EXPECT_TRUE(symbol->isTemplate());
    auto pixels = red->cgImage();
    bool inked = false;
    for (std::size_t y = 0; y < pixels->height(); ++y) {
        for (std::size_t x = 0; x < pixels->width(); ++x) {
            auto p = pixels->pixel(x, y);
            if (p[3] == 0) continue;
            inked = true;
            EXPECT_EQ(p[1], 0);  // only red where the symbol has ink
            EXPECT_EQ(p[0], p[3]);
        }
    }
    EXPECT_TRUE(inked);

    auto larger = resized(*red, {40, 30});
    EXPECT_EQ(larger->size(), (CGSize{40, 30}));
    EXPECT_EQ(larger->cgImage()->width(), 40u);
}

TEST_F(DrawingUtilities, TransactionsWithoutActionsCommitEvenWhenTheBodyThrows) {
    int value = performWithoutActions([] {
        EXPECT_TRUE(CATransaction::disableActions());
        return 42;
    });
    EXPECT_EQ(value, 42);
    EXPECT_EQ(CATransaction::depth(), 0);
    EXPECT_THROW(performWithoutActions([]() -> int { throw std::runtime_error("failed"); }), std::runtime_error);
    EXPECT_EQ(CATransaction::depth(), 0);
    EXPECT_FALSE(CATransaction::disableActions());
}

TEST_F(DrawingUtilities, CornerRadiusAndBackgroundMakeViewsLayerBacked) {
    auto view = NSView::make({0, 0, 40, 40});
    applyCornerRadius(*view);
    ASSERT_TRUE(view->layer());
    EXPECT_EQ(view->layer()->cornerRadius(), 8);
    applyCornerRadius(*view, 4, NSColor::make(0, 0, 1));
    EXPECT_EQ(view->layer()->cornerRadius(), 4);
    EXPECT_EQ(view->layer()->backgroundColor(), (CGColor{0, 0, 1, 1}));
    auto other = NSView::make({0, 0, 40, 40});
    setLayerBackground(*other, NSColor::make(0, 1, 0));
    auto image = ViewRenderer::image(*other);
    EXPECT_EQ(pixelAt(*image, 1, 1), (Bytes{0, 255, 0, 255}));
}

TEST(TextUtilities, ThreeAttributes) {
    auto color = NSColor::make(1, 0, 0);
    auto attributes = TextUtilities::attributes(NSTextAlignment::center, color, true, 14);
    ASSERT_EQ(attributes.size(), 3u);
    auto font = std::get<std::shared_ptr<NSFont>>(attributes.at(NSAttributedStringKey::font()));
    EXPECT_EQ(font->fontName(), "DejaVuSans-Bold");
    EXPECT_EQ(font->pointSize(), 14);
    EXPECT_EQ(std::get<std::shared_ptr<NSColor>>(attributes.at(NSAttributedStringKey::foregroundColor())), color);
    auto paragraph = std::get<std::shared_ptr<const NSParagraphStyle>>(attributes.at(NSAttributedStringKey::paragraphStyle()));
    EXPECT_EQ(paragraph->alignment(), NSTextAlignment::center);
    EXPECT_NE(paragraph, NSParagraphStyle::defaultStyle());
    EXPECT_EQ(NSParagraphStyle::defaultStyle()->alignment(), NSTextAlignment::natural);
}
