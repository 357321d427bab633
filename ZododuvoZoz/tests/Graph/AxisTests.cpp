#include <gtest/gtest.h>

#include "AppKit/NSAttributedString.hpp"
#include "GraphTestSupport.hpp"
#include "QuartzCore/CABasicAnimation.hpp"
#include "ZododuvoZoz/Graph/PointAxis.hpp"
#include "ZododuvoZoz/Graph/TextAxis.hpp"
#include "ZododuvoZoz/Graph/TimeAxis.hpp"
#include "ZododuvoZoz/Graph/ValueAxis.hpp"

using namespace ZododuvoZoz;

namespace {
CGSize measured(const std::string& text, CGFloat size, CGFloat width) {
    return NSAttributedString(text, {{NSAttributedStringKey::font(), NSFont::systemFont(size)}}).size(width);
}

std::vector<std::string> textsOf(const std::vector<std::shared_ptr<CALayer>>& layers) {
    std::vector<std::string> texts;
    for (const auto& layer : layers) {
        if (auto text = std::dynamic_pointer_cast<CATextLayer>(layer)) texts.push_back(text->string());
    }
    return texts;
}

std::shared_ptr<const CABasicAnimation> colourAnimation(const CALayer& layer, const std::string& key) {
    return std::dynamic_pointer_cast<const CABasicAnimation>(layer.animation(key));
}

constexpr double kDay = 86400;
constexpr double kJanuary4th2023 = 1672790400;
}  // namespace

using TextAxes = GraphTest;

TEST_F(TextAxes, EvenLabelsRunFromTheLeftEdgeToTheRightEdge) {
    auto layer = host(300, 100);
    auto axis = TextAxis::make();
    EXPECT_EQ(axis->height(), 24);
    axis->setTexts({"One"});
    axis->layout(layer, 2);
    ASSERT_EQ(axis->layers().size(), 1u);
    const CGSize one = measured("One", 12, 300);
    EXPECT_EQ(axis->layers()[0]->frame(), (CGRect{2, 88 - one.height / 2, one.width, one.height}));
    EXPECT_EQ(axis->layers()[0]->alignmentMode(), CATextLayerAlignmentMode::left);

    axis->setTexts({"One", "Two", "Three"});
    axis->setFillLabel(true);  // taller band, labels centred 18 points up
    EXPECT_EQ(axis->height(), 36);
    axis->layout(layer, 2);
    const auto& labels = axis->layers();
    ASSERT_EQ(labels.size(), 3u);
    const CGSize two = measured("Two", 12, 300), three = measured("Three", 12, 300);
    EXPECT_DOUBLE_EQ(labels[1]->frame().minX(), 150 - 1 - two.width / 2);
    EXPECT_EQ(labels[1]->alignmentMode(), CATextLayerAlignmentMode::center);
    EXPECT_DOUBLE_EQ(labels[2]->frame().minX(), 300 - three.width - 2);
    EXPECT_EQ(labels[2]->alignmentMode(), CATextLayerAlignmentMode::right);
    EXPECT_DOUBLE_EQ(labels[2]->frame().midY(), 82);
    EXPECT_TRUE(axis->fillLayers().empty());  // cells are filled in the centred layout only
    EXPECT_EQ(labels[0]->foregroundColor(), NSColor::secondaryLabelColor()->cgColor());

    axis->setTexts({"One", "", "Three"});  // a blank place; the others stay where they were
    axis->layout(layer, 2);
    EXPECT_EQ(axis->layers().size(), 2u);
    EXPECT_DOUBLE_EQ(axis->layers()[1]->frame().minX(), 300 - three.width - 2);
}

TEST_F(TextAxes, CentredLabelsFillTheirCellsAndCarryDetails) {
    auto layer = host(100, 100);
    auto axis = TextAxis::make();
    axis->setAlignMode(TextAlignMode::centered);
    axis->setTexts({"A", "B", "C"});
    axis->setFillLabel(true);
    axis->setSelectedIndex(1);
    axis->layout(layer, 2);
    EXPECT_EQ(axis->cellEnd(0, layer->bounds()), 33);
    EXPECT_EQ(axis->cellEnd(1, layer->bounds()), 66);
    EXPECT_EQ(axis->cellEnd(2, layer->bounds()), 100);
    const auto& fills = axis->fillLayers();
    ASSERT_EQ(fills.size(), 3u);
    EXPECT_EQ(fills[1]->path()->boundingBox(), (CGRect{35, 64, 33, 36}));
    EXPECT_EQ(fills[0]->path()->boundingBox(), (CGRect{2, 64, 33, 36}));
    EXPECT_EQ(fills[1]->fillColor(), CGColor::black());  // selected
    const auto& labels = axis->layers();
    EXPECT_EQ(labels[1]->foregroundColor(), CGColor::white());
    const CGFloat th = measured("B", 12, 100).height;
    EXPECT_TRUE(sameRect(labels[1]->frame(), {100.0 / 3, 82 - th / 2, 100.0 / 3, th}));
    // Each fill lies under its label.
    auto index = [&](const std::shared_ptr<CALayer>& l) {
        return std::find(layer->sublayers().begin(), layer->sublayers().end(), l) - layer->sublayers().begin();
    };
    EXPECT_LT(index(fills[1]), index(labels[1]));

    axis->setFillLabel(false);
    axis->setDetails({"1", std::nullopt, "3"});
    axis->layout(layer, 2);
    ASSERT_EQ(axis->layers().size(), 5u);  // three labels, two details
    const CGFloat dh = measured("1", 12, 100).height;  // measured in the label's font
    EXPECT_TRUE(sameRect(axis->layers()[0]->frame(), {0, 78 + th + 2, 100.0 / 3, dh}));  // the first detail
    EXPECT_EQ(axis->layers()[0]->fontSize(), 10);
    EXPECT_TRUE(sameRect(axis->layers()[1]->frame(), {0, 78, 100.0 / 3, th}));  // its label, above it

    axis->setDetails({"1"});  // not one per text: ignored
    axis->layout(layer, 2);
    EXPECT_EQ(axis->layers().size(), 3u);
    EXPECT_DOUBLE_EQ(axis->layers()[0]->frame().midY(), 88);

    axis->clear();
    EXPECT_TRUE(layer->sublayers().empty());
}

TEST_F(TextAxes, ASelectionAnimatesTheOldCellBackAndTheNewCellOver) {
    auto layer = host(300, 100);
    auto axis = TextAxis::make();
    axis->setAlignMode(TextAlignMode::centered);
    axis->setFillLabel(true);
    axis->setTexts({"A", "", "C", "D"});
    axis->layout(layer, 2);
    ASSERT_EQ(axis->fillLayers().size(), 3u);
    auto fillOf = [&](int category) { return axis->fillLayers()[category == 0 ? 0 : category - 1]; };
    auto labelOf = [&](int category) { return axis->layers()[category == 0 ? 0 : category - 1]; };

    axis->setSelectedIndex(2);  // the cell of "C", after the blank one
    auto fill = colourAnimation(*fillOf(2), "fillColor");
    ASSERT_TRUE(fill);
    EXPECT_EQ(std::get<CGColor>(fill->toValue), CGColor::black());
    EXPECT_EQ(fill->fillMode, CAMediaTimingFillMode::forwards);  // held until the next layout
    EXPECT_FALSE(fill->isRemovedOnCompletion);
    EXPECT_EQ(std::get<CGColor>(colourAnimation(*labelOf(2), "foregroundColor")->toValue), CGColor::white());
    EXPECT_EQ(fillOf(2)->fillColor(), NSColor::separatorColor()->cgColor());  // the model is unchanged
    EXPECT_FALSE(fillOf(3)->animation("fillColor"));

    fillOf(2)->removeAllAnimations();
    axis->setSelectedIndex(2);  // unchanged: nothing happens
    EXPECT_FALSE(fillOf(2)->animation("fillColor"));

    axis->setSelectedIndex(9);  // beyond the cells: only the old cell goes back
    EXPECT_EQ(std::get<CGColor>(colourAnimation(*fillOf(2), "fillColor")->toValue),
              NSColor::separatorColor()->cgColor());
    axis->setSelectedIndex(-1);  // a negative index selects nothing
    axis->setSelectedIndex(std::nullopt);
    axis->setSelectedIndex(0);
    EXPECT_TRUE(colourAnimation(*fillOf(0), "fillColor"));
    EXPECT_EQ(axis->selectedIndex(), 0);

    // A later layout shows the selection through the colours it starts with.
    axis->layout(layer, 2);
    EXPECT_EQ(axis->fillLayers()[0]->fillColor(), CGColor::black());
}

using TimeAxes = GraphTest;

TEST_F(TimeAxes, MonthlySamplesEachGetATickAndALabelInTheirCell) {
    Locale::setCurrent("en_US");
    TimeZone::setCurrent("UTC");
    auto layer = host(600, 100);
    auto axis = TimeAxis::make();
    axis->layout(layer, 2);
    EXPECT_TRUE(axis->tickLayer()->path()->isEmpty());
    EXPECT_EQ(axis->layers(), (std::vector<std::shared_ptr<CALayer>>{axis->tickLayer()}));

    std::vector<double> months;
    for (int m = 0; m < 12; ++m) months.push_back(kJanuary4th2023 + m * 30.5 * kDay);
    axis->setTimestamps(months);
    axis->layout(layer, 2);
    auto ticks = pointsOf(*axis->tickLayer()->path());
    ASSERT_EQ(ticks.size(), 24u);
    EXPECT_EQ(ticks[0], (CGPoint{4, 76}));
    EXPECT_EQ(ticks[1], (CGPoint{4, 78}));
    EXPECT_EQ(ticks[2], (CGPoint{54, 76}));
    const auto& layers = axis->layers();
    ASSERT_EQ(layers.size(), 13u);
    auto texts = textsOf(layers);
    EXPECT_EQ(texts.front(), "Jan");
    EXPECT_EQ(texts.back(), "Dec");
    EXPECT_EQ(layers[2]->frame(), (CGRect{55, 80, 50, 20}));

    axis->clear();
    EXPECT_TRUE(layer->sublayers().empty());
}

TEST_F(TimeAxes, WeeklySamplesAreLabelledEveryFourthWeekBackToTheLeftMargin) {
    Locale::setCurrent("en_US");
    TimeZone::setCurrent("UTC");
    auto layer = host(600, 100);
    auto axis = TimeAxis::make();
    axis->setPeriod(TimePeriod::weekly);
    auto weeks = [](int count, double first) {
        std::vector<double> times;
        for (int i = 0; i < count; ++i) times.push_back(first + i * 7 * kDay);
        return times;
    };
    axis->setTimestamps(weeks(1, kJanuary4th2023));
    axis->layout(layer, 2);
    EXPECT_EQ(axis->layers().size(), 1u);  // the tick, no label

    axis->setTimestamps(weeks(9, kJanuary4th2023));  // samples 8 (1 March) and 4 (1 February)
    axis->layout(layer, 2);
    EXPECT_EQ(textsOf(axis->layers()), (std::vector<std::string>{"Mar", "Feb"}));
    // Each label is centred on its month's start, one cell plus the time back from the newest
    // sample from the right edge: March starts on sample 8, February 28 of the 56 days back.
    EXPECT_NEAR(axis->layers()[1]->frame().midX(), 600 - 600.0 / 9, 1e-9);
    EXPECT_NEAR(axis->layers()[2]->frame().midX(), 600 - (600.0 / 9 + 300), 1e-9);
    const CGFloat tw = axis->layers()[2]->frame().width();
    EXPECT_EQ(axis->layers()[2]->frame(), (CGRect{axis->layers()[2]->frame().minX(), 80, tw, 20}));

    axis->setTimestamps(weeks(13, kJanuary4th2023));  // samples 12 and 8 both start March
    axis->layout(layer, 2);
    EXPECT_EQ(textsOf(axis->layers()), (std::vector<std::string>{"Mar", "Feb"}));  // the overlap is left out

    // Thirteen days of one month: the month began before the first sample, so its label is
    // pushed against the left margin and ends the walk at once.
    std::vector<double> days;
    for (int i = 0; i < 13; ++i) days.push_back(kJanuary4th2023 + (96 + i) * kDay);  // 10 April on
    axis->setTimestamps(days);
    axis->layout(layer, 2);
    ASSERT_EQ(textsOf(axis->layers()), (std::vector<std::string>{"Apr"}));
    EXPECT_NEAR(axis->layers()[1]->frame().minX(), 4, 1e-9);

    // Samples all at one moment have no time scale: the label sits one cell from the right edge.
    axis->setTimestamps(std::vector<double>(5, kJanuary4th2023 + 20 * kDay));
    axis->layout(layer, 2);
    ASSERT_EQ(axis->layers().size(), 2u);
    EXPECT_NEAR(axis->layers()[1]->frame().midX(), 600 - 120, 1e-9);
    EXPECT_EQ(*axis->startOfMonth(Date(kJanuary4th2023 + 20 * kDay)), Date(1672531200));
}

using PointAndValueAxes = GraphTest;

TEST_F(PointAndValueAxes, PointsGetTicksAndLabelsOnTheirScale) {
    auto layer = host(200, 100);
    auto axis = PointAxis::make({AxisPoint::make(50, "Half"), AxisPoint::make(20, std::nullopt),
                                 AxisPoint::make(100, "End")},
                                100);
    axis->layout(layer, 2);
    EXPECT_EQ(pointsOf(*axis->tickLayer()->path()),
              (std::vector<CGPoint>{{99, 76}, {99, 79}, {39, 76}, {39, 79}, {199, 76}, {199, 79}}));
    ASSERT_EQ(axis->layers().size(), 3u);  // two labels and the ticks
    const CGSize half = measured("Half", 12, 64), end = measured("End", 12, 64);
    EXPECT_EQ(axis->layers()[0]->frame(), (CGRect{99 - half.width / 2, 78 + half.height / 2, half.width, 20}));
    EXPECT_DOUBLE_EQ(axis->layers()[1]->frame().minX(), 200 - end.width - 1);  // pulled in from the edge

    axis->setPoints({AxisPoint::make(10, "Ten"), AxisPoint::make(150, "Over"), AxisPoint::make(20, "Twenty")});
    axis->layout(layer, 2);
    EXPECT_EQ(textsOf(axis->layers()), (std::vector<std::string>{"Ten"}));
    EXPECT_FALSE(axis->tickLayer()->superlayer());

    axis->setMax(0);
    axis->setPoints({AxisPoint::make(0, "Zero")});
    axis->layout(layer, 2);
    EXPECT_TRUE(layer->sublayers().empty());

    axis->clear();
    EXPECT_TRUE(axis->points().empty());
}

TEST_F(PointAndValueAxes, ValuesAreSpreadOverEqualSegments) {
    auto layer = host(400, 100);
    auto axis = ValueAxis::make(100, 200, 4);
    axis->layout(layer, 2);
    ASSERT_EQ(axis->layers().size(), 5u);
    std::vector<std::string> texts;
    for (const auto& label : axis->layers()) texts.push_back(label->string());
    EXPECT_EQ(texts, (std::vector<std::string>{"100.00", "200.00", "125.00", "150.00", "175.00"}));
    const CGSize size = measured("125.00", 12, 400);
    EXPECT_EQ(axis->layers()[0]->frame().minX(), 4);
    EXPECT_DOUBLE_EQ(axis->layers()[1]->frame().maxX(), 396);
    EXPECT_DOUBLE_EQ(axis->layers()[2]->frame().midX(), 100);
    EXPECT_DOUBLE_EQ(axis->layers()[2]->frame().midY(), 88);
    EXPECT_DOUBLE_EQ(axis->layers()[2]->frame().width(), size.width);

    axis->setUnit("ms");
    axis->setFormatString("%.1f%%");
    EXPECT_EQ(axis->valueText(12.25), "12.2% ms");
    for (const char* unsafe : {"%s", "%d", "%.2f %f", "%n", "%*f"}) {
        axis->setFormatString(unsafe);
        EXPECT_EQ(axis->valueText(12.25), "12.25 ms") << unsafe;  // written with "%.2f" instead
    }
    axis->setFormatString("n/a");
    EXPECT_EQ(axis->valueText(12.25), "n/a ms");
    axis->setFormatType(ValueAxisFormatType::monthShortName);
    Locale::setCurrent("en_US");
    TimeZone::setCurrent("UTC");
    EXPECT_EQ(axis->valueText(kJanuary4th2023 + 40 * kDay), "Feb");

    axis->setFormatType(ValueAxisFormatType::formatString);
    axis->setFormatString("%.0f");
    axis->setSegmentCount(0);  // only the ends
    axis->layout(layer, 2);
    EXPECT_EQ(axis->layers().size(), 2u);
    for (auto [min, max, format] : {std::tuple{0.0, 0.0, "%.0f"}, {5.0, 5.0, "%.0f"}, {0.0, 10.0, ""}}) {
        axis->setMin(min);
        axis->setMax(max);
        axis->setFormatString(format);
        axis->layout(layer, 2);
        EXPECT_TRUE(axis->layers().empty());
    }
}
