#include <gtest/gtest.h>

#include "AppKit/NSAppearance.hpp"
#include "RenderTestSupport.hpp"
#include "ZododuvoZoz/ColorGradient.hpp"
#include "ZododuvoZoz/Colors.hpp"
#include "ZododuvoZoz/Gradients.hpp"

using namespace ZododuvoZoz;
using RenderTesting::rgb;

namespace {
template <class F>
void inDark(F&& body) {
    NSAppearance::named(NSAppearanceNameDarkAqua)->performAsCurrentDrawingAppearance(body);
}

std::vector<double> alphas(const std::vector<std::shared_ptr<NSColor>>& colors) {
    std::vector<double> result;
    for (const auto& c : colors) result.push_back(c->alphaComponent());
    return result;
}
}  // namespace

TEST(Colors, FixedColoursAreSharedAndAppearanceColoursMadeOnEachRead) {
    EXPECT_EQ(Colors::teal(), Colors::teal());
    EXPECT_EQ(Colors::teal()->cgColor(), rgb(62, 189, 177));
    EXPECT_EQ(Colors::raspberry()->cgColor(), rgb(202, 74, 125));

    EXPECT_EQ(Colors::onColor()->cgColor(), rgb(210, 231, 255));
    inDark([] {
        EXPECT_EQ(Colors::onColor()->cgColor(), rgb(51, 81, 115));
        EXPECT_EQ(Colors::surface()->cgColor(), rgb(52, 54, 57));
    });
    EXPECT_NE(Colors::onColor(), Colors::onColor());
    auto lightBlue = Colors::blue();
    inDark([&] { EXPECT_EQ(lightBlue->cgColor(), rgb(48, 99, 182)); });  // read once, kept its value
}

TEST(ColorGradient, BuildsFromAnyNumberOfColours) {
    ColorGradient none(std::vector<std::shared_ptr<NSColor>>{});
    EXPECT_EQ(none.mColors, (std::vector{Colors::teal(), Colors::cyan()}));
    EXPECT_EQ(none.start, Colors::teal());
    EXPECT_EQ(none.end, Colors::cyan());

    auto red = NSColor::make(1, 0, 0);
    ColorGradient one(std::vector{red});
    EXPECT_EQ(one.mColors.size(), 1u);
    EXPECT_EQ(one.start, red);
    EXPECT_EQ(one.end, red);

    auto blue = NSColor::make(0, 0, 1), green = NSColor::make(0, 1, 0);
    ColorGradient three(std::vector{red, green, blue});
    EXPECT_EQ(three.start, red);
    EXPECT_EQ(three.end, blue);
    EXPECT_EQ(alphas(three.colors(0.3, 0.6)), (std::vector{0.3, 0.6}));
}

TEST(ColorGradient, FadedColours) {
    auto a = NSColor::make(1, 0, 0), b = NSColor::make(0, 1, 0);
    ColorGradient two(a, b);
    two.start = NSColor::make(0, 0, 1);  // the two fields count, not the list
    auto faded = two.fadedColors();
    EXPECT_EQ(alphas(faded), (std::vector{0.75, 0.2}));
    EXPECT_EQ(faded[0]->blueComponent(), 1);

    std::vector<std::shared_ptr<NSColor>> five(5, a);
    auto fadedFive = alphas(ColorGradient(five).fadedColors());
    std::vector<double> expected{0.9, 0.76, 0.62, 0.48, 0.34};
    ASSERT_EQ(fadedFive.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) EXPECT_NEAR(fadedFive[i], expected[i], 1e-12);

    ColorGradient empty(a, b);
    empty.mColors.clear();
    EXPECT_TRUE(empty.fadedColors().empty());
}

TEST(Gradients, PresetsAreBuiltOnceAndHandedOutAsCopies) {
    auto pastel = Gradients::pastel(), alt = Gradients::pastelAlt();
    ASSERT_EQ(pastel.mColors.size(), 6u);
    EXPECT_EQ(pastel.mColors[0], Gradients::pastel().mColors[0]);  // the same colour objects each read
    EXPECT_NE(pastel.mColors[0], alt.mColors[0]);                  // a separate value
    for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(pastel.mColors[i]->cgColor(), alt.mColors[i]->cgColor());

    pastel.mColors.clear();  // a copy: the preset keeps its colours
    EXPECT_EQ(Gradients::pastel().mColors.size(), 6u);

    EXPECT_EQ(Gradients::tealCyan().start, Colors::teal());
    EXPECT_EQ(Gradients::tealCyan().end, Colors::cyan());
    EXPECT_EQ(Gradients::cardTwo().start->cgColor(), rgb(203, 74, 125));
    EXPECT_EQ(Gradients::redToGreen().end->cgColor(), rgb(45, 201, 55));
    EXPECT_EQ(Gradients::magentaOrange().mColors.size(), 3u);

    auto rainbow = Gradients::systemRainbow();
    ASSERT_EQ(rainbow.mColors.size(), 6u);
    EXPECT_EQ(rainbow.start, NSColor::systemRedColor());
    EXPECT_EQ(rainbow.end, NSColor::systemBlueColor());

    auto green = Gradients::greenFade();
    EXPECT_EQ(alphas(green.mColors), (std::vector{0.22, 1.0}));
    EXPECT_TRUE(green.start->isDynamic());  // a system colour resolves when drawn
    EXPECT_EQ(green.end, NSColor::systemGreenColor());
}
