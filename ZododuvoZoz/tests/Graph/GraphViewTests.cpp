#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "GraphTestSupport.hpp"
#include "ZododuvoZoz/Graph/GraphView.hpp"

using namespace ZododuvoZoz;

namespace {
class SpyPlotter : public IDataPlotter {
public:
    explicit SpyPlotter(DataSeries data = {}) : data_(std::move(data)) {}
    const DataSeries& data() const override { return data_; }
    std::shared_ptr<PlotterDelegate> delegate() const override { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<PlotterDelegate>& delegate) override { delegate_ = delegate; }
    void setData(const DataSeries& data) override {
        data_ = data;
        if (auto d = delegate()) d->dataChanged(data_, shared_from_this());
    }
    void draw(const std::shared_ptr<CALayer>& layer, CGFloat min, CGFloat max, CGFloat offset) override {
        draws.push_back({layer, min, max, offset});
    }
    void clear() override {
        ++clears;
        delegate_.reset();
        data_.clear();
    }
    struct Draw {
        std::shared_ptr<CALayer> layer;
        CGFloat min, max, offset;
    };
    std::vector<Draw> draws;
    int clears = 0;

private:
    DataSeries data_;
    std::weak_ptr<PlotterDelegate> delegate_;
};

class AnimatedSpy : public SpyPlotter, public IAnimatable {
public:
    using SpyPlotter::SpyPlotter;
    void animate(const std::shared_ptr<CALayer>&, CGFloat, CGFloat max, CGFloat) override { animations.push_back(max); }
    std::vector<CGFloat> animations;
};

class SpyAxis : public IAxis {
public:
    CGFloat height() const override { return 30; }
    void layout(const std::shared_ptr<CALayer>& layer, CGFloat lineWidth) override {
        layouts.push_back(lineWidth);
        laidOutIn = layer;
    }
    void clear() override { ++clears; }
    std::vector<CGFloat> layouts;
    std::shared_ptr<CALayer> laidOutIn;
    int clears = 0;
};

std::vector<std::string> labelTexts(const GraphView& graph) {
    std::vector<std::string> texts;
    for (const auto& label : graph.textLayers()) texts.push_back(label->string());
    return texts;
}
}  // namespace

using GraphViewRange = GraphTest;

TEST_F(GraphViewRange, MinimumAndMaximumRoundToTheScaleStep) {
    auto graph = GraphView::make({0, 0, 400, 200});
    EXPECT_EQ(graph->scaleMode(), ScaleMode::ten);
    for (auto [value, expected] : {std::pair{23.0, 10.0}, {25.0, 20.0}, {0.0, -10.0}, {-25.0, -40.0}}) {
        graph->setMinValue(value);
        EXPECT_EQ(graph->minValue(), expected) << value;
    }
    for (auto [value, expected] : {std::pair{73.0, 80.0}, {75.0, 90.0}, {80.0, 90.0}, {85.0, 100.0}, {0.0, 10.0}}) {
        graph->setMaxValue(value);
        EXPECT_EQ(graph->maxValue(), expected) << value;
    }
    graph->setScaleMode(ScaleMode::kilobytes);  // 1024 × 1024, not 1024
    graph->setMaxValue(1500000);
    EXPECT_EQ(graph->maxValue(), 2 * 1048576.0);

    graph->setScaleMode(ScaleMode::none);
    graph->setMinValue(23.7);
    graph->setMaxValue(73.2);
    EXPECT_EQ(graph->minValue(), 23.7);
    EXPECT_EQ(graph->maxValue(), 73.2);
    graph->setMinValue(std::nan(""));
    EXPECT_EQ(graph->minValue(), 0);
    graph->setMaxValue(std::numeric_limits<double>::infinity());
    EXPECT_EQ(graph->maxValue(), std::numeric_limits<double>::infinity());
    graph->refresh();
    graph->setMaxValue(std::nan(""));
    EXPECT_TRUE(std::isnan(graph->maxValue()));
    graph->refresh();
    graph->setMaxValue(73.2);

    graph->setScaleMode(ScaleMode::ten);
    graph->setUseZeroAsMin(true);
    graph->setMinValue(55);
    EXPECT_EQ(graph->minValue(), 0);

    // Values whose rounding does not fit 64-bit integers are kept as they are; a maximum that is
    // not a finite number is ignored where it would be rounded or give a unit.
    graph->setMaxValue(1e300);
    EXPECT_EQ(graph->maxValue(), 1e300);
    graph->setMaxValue(std::numeric_limits<double>::infinity());
    graph->setMaxValue(std::nan(""));
    graph->setAutoGraphMode(AutoGraphMode::byteSpeed);
    graph->setMaxValue(-std::numeric_limits<double>::infinity());
    EXPECT_EQ(graph->maxValue(), 1e300);
    EXPECT_EQ(scaleModeFrom(1024), std::nullopt);
}

TEST_F(GraphViewRange, SpeedModesTakeTheUnitFromTheMaximumAndScaleTheLabels) {
    auto graph = GraphView::make({0, 0, 400, 200});
    graph->setAutoGraphMode(AutoGraphMode::byteSpeed);
    graph->setMaxValue(2048);
    EXPECT_EQ(graph->maxValue(), 2048);  // not rounded in a speed mode
    EXPECT_EQ(graph->unit(), "KB/s");
    EXPECT_EQ(graph->labelText(2048), "2 KB/s");

    graph->setAutoGraphMode(AutoGraphMode::bitSpeed);
    graph->setMaxValue(1000);
    EXPECT_EQ(graph->unit(), "Kb/s");
    EXPECT_EQ(graph->labelText(1000), "8 Kb/s");

    // Every label is written in the maximum's unit: 1.5 MB/s labels its lines 0, 1 and 2 MB/s. A
    // minimum rounded below zero (0 gives −10) is 0 in that unit, not a huge unsigned speed.
    graph->setAutoGraphMode(AutoGraphMode::byteSpeed);
    graph->setMinValue(0);
    EXPECT_EQ(graph->minValue(), -10);
    graph->setMaxValue(1.5 * 1048576);
    graph->refresh();
    EXPECT_EQ(labelTexts(*graph), (std::vector<std::string>{"0 MB/s", "1 MB/s", "2 MB/s"}));
    graph->setAutoGraphMode(AutoGraphMode::bitSpeed);
    graph->setMaxValue(-5);
    EXPECT_EQ(graph->unit(), "b/s");

    graph->setAutoGraphMode(AutoGraphMode::none);
    graph->setUnit("%");
    graph->setAutoGraphModeTextScale(0.5);
    EXPECT_EQ(graph->labelText(81), "40 %");  // "%.0f" rounds 40.5 to even
}

TEST_F(GraphViewRange, MaximumComesFromThePresentSamplesOfEveryPlotter) {
    auto graph = GraphView::make({0, 0, 400, 200});
    graph->addPlotter(std::make_shared<SpyPlotter>(DataSeries{std::nullopt, std::nullopt}));
    graph->calculateMax();
    EXPECT_EQ(graph->maxValue(), 10);  // no sample at all: one step

    graph->addPlotter(std::make_shared<SpyPlotter>(DataSeries{3, std::nullopt, 42}));
    graph->addPlotter(std::make_shared<SpyPlotter>(DataSeries{std::nullopt, 57, -80}));
    graph->calculateMax();
    EXPECT_EQ(graph->maxValue(), 70);
}

using GraphViewLabels = GraphTest;

TEST_F(GraphViewLabels, NewViewShowsMinimumHalfAndMaximumAtTheRightEdge) {
    auto graph = GraphView::make({0, 0, 400, 200});
    EXPECT_TRUE(graph->isFlipped());
    EXPECT_TRUE(graph->layer()->isGeometryFlipped());
    EXPECT_TRUE(graph->layer()->masksToBounds());
    EXPECT_EQ(graph->minValue(), 0);
    EXPECT_EQ(graph->maxValue(), 100);
    EXPECT_EQ(labelTexts(*graph), (std::vector<std::string>{"0 ", "50 ", "100 "}));
    const auto& labels = graph->textLayers();
    for (const auto& label : labels) {
        EXPECT_EQ(label->frame().origin.x, 268);
        EXPECT_EQ(label->frame().width(), 128);
        EXPECT_EQ(label->zPosition(), 512);  // over every plotter
        EXPECT_EQ(label->foregroundColor(), CGColor::black());
    }
    const CGFloat h = labels[0]->frame().minY() < 200 ? 200 - 4 - labels[0]->frame().minY() : 0;
    EXPECT_GT(h, 10);  // the measured height of the text
    EXPECT_LT(h, 20);
    EXPECT_DOUBLE_EQ(labels[1]->frame().minY(), 100 - h / 2);
    EXPECT_EQ(labels[2]->frame().minY(), 4);

    // With an axis the lower labels move up by its height; in a dark view they turn white.
    auto axis = std::make_shared<SpyAxis>();
    graph->setAppearance(NSAppearance::named(NSAppearanceNameDarkAqua));
    graph->setAxisX(axis);
    EXPECT_DOUBLE_EQ(graph->textLayers()[0]->frame().minY(), 200 - 30 - 4 - h);
    EXPECT_DOUBLE_EQ(graph->textLayers()[1]->frame().minY(), 85 - h / 2);
    EXPECT_EQ(graph->textLayers()[0]->foregroundColor(), CGColor::white());
}

TEST_F(GraphViewLabels, SwitchesChooseWhichLabelsAreDrawnAndNewValuesWaitForARefresh) {
    auto graph = GraphView::make({0, 0, 400, 200});
    auto options = graph->fontOptions();
    options.showHalfValue = false;
    graph->setFontOptions(options);
    graph->setMaxValue(150);
    EXPECT_EQ(labelTexts(*graph), (std::vector<std::string>{"0 ", "50 ", "100 "}));  // stored only
    graph->refresh();
    EXPECT_EQ(labelTexts(*graph), (std::vector<std::string>{"0 ", "160 "}));

    auto old = graph->textLayers();
    graph->setLabelsEnabled(false);
    EXPECT_TRUE(graph->textLayers().empty());
    for (const auto& label : old) EXPECT_FALSE(label->superlayer());
}

using GraphViewPlotters = GraphTest;

TEST_F(GraphViewPlotters, BottomOffsetIsTheAxisHeightOrTheTickRow) {
    auto graph = GraphView::make({0, 0, 400, 200});
    EXPECT_EQ(graph->bottomOffset(), 0);
    auto ticks = graph->tickOptions();
    ticks.showTickMarks = true;
    graph->setTickOptions(ticks);
    EXPECT_EQ(graph->bottomOffset(), 0);  // no ticks to show
    ticks.numberOfTicks = 5;
    graph->setTickOptions(ticks);
    EXPECT_EQ(graph->bottomOffset(), 4);
    graph->setAxisX(std::make_shared<SpyAxis>());
    EXPECT_EQ(graph->bottomOffset(), 30);
}

TEST_F(GraphViewPlotters, PlottersWithDataDrawOnceOnTheMainQueueWithTheRangeOfThatMoment) {
    auto graph = GraphView::make({0, 0, 400, 200});
    graph->setAutoCalculateMax(true);

    auto empty = std::make_shared<SpyPlotter>();
    graph->addPlotter(empty);
    ASSERT_EQ(empty->draws.size(), 1u);  // at once, and without recomputing the maximum
    EXPECT_EQ(empty->draws[0].layer, graph->layer());
    EXPECT_EQ(empty->draws[0].max, 100);
    EXPECT_EQ(empty->delegate().get(), static_cast<PlotterDelegate*>(graph.get()));

    auto full = std::make_shared<SpyPlotter>(DataSeries{12, 34});
    graph->addPlotter(full);
    EXPECT_EQ(graph->maxValue(), 40);  // recomputed at once...
    EXPECT_TRUE(full->draws.empty());  // ...drawn later
    runUntilIdle();
    ASSERT_EQ(full->draws.size(), 1u);
    EXPECT_EQ(full->draws[0].max, 40);

    // Two changes in one turn draw twice, both with the range read when their blocks run.
    full->setData({5});
    full->setData({61});
    graph->setMaxValue(200);
    EXPECT_EQ(full->draws.size(), 1u);
    runUntilIdle();
    ASSERT_EQ(full->draws.size(), 3u);
    EXPECT_EQ(full->draws[1].max, 210);
    EXPECT_EQ(full->draws[2].max, 210);

    graph->redraw(std::static_pointer_cast<IDataPlotter>(empty));
    EXPECT_EQ(empty->draws.size(), 1u);
    runUntilIdle();
    EXPECT_EQ(empty->draws.size(), 2u);
    EXPECT_EQ(graph->firstPlotter(), empty);
    EXPECT_EQ(graph->secondPlotter(), full);
    EXPECT_FALSE(graph->thirdPlotter());
}

TEST_F(GraphViewPlotters, ClearedPlottersForgetTheViewAndAnimationReachesOnlyAnimatablePlotters) {
    auto graph = GraphView::make({0, 0, 400, 200});
    auto plain = std::make_shared<SpyPlotter>();
    graph->addPlotter(plain);
    graph->animate();  // nothing animatable: nothing happens

    auto animated = std::make_shared<AnimatedSpy>();
    graph->addPlotter(animated);
    graph->animate();
    EXPECT_EQ(animated->animations, (std::vector<CGFloat>{100}));

    graph->clear();
    EXPECT_TRUE(graph->plotters().empty());
    EXPECT_EQ(plain->clears, 1);
    EXPECT_FALSE(plain->delegate());
    plain->setData({1, 2, 3});
    runUntilIdle();
    EXPECT_EQ(plain->draws.size(), 1u);  // only the draw when it was added

    // A draw asked for before the graph was cleared does not reach the cleared graph.
    auto pending = std::make_shared<SpyPlotter>(DataSeries{4});
    graph->addPlotter(pending);
    graph->clear();
    runUntilIdle();
    EXPECT_TRUE(pending->draws.empty());

    // A plotter that belongs to no view only stores its data.
    auto lonely = std::make_shared<SpyPlotter>();
    lonely->setData({7});
    runUntilIdle();
    EXPECT_TRUE(lonely->draws.empty());
}

TEST_F(GraphViewPlotters, RefreshDrawsPlottersInOrderThenTheAxisAndRemovalClearsBoth) {
    auto parent = NSView::make({0, 0, 500, 300});
    auto graph = GraphView::make({0, 0, 400, 200});
    parent->addSubview(graph);
    auto first = std::make_shared<SpyPlotter>(), second = std::make_shared<SpyPlotter>();
    graph->addPlotter(first);
    graph->addPlotter(second);
    auto axis = std::make_shared<SpyAxis>();
    graph->setAxisX(axis);
    EXPECT_EQ(axis->layouts, (std::vector<CGFloat>{2, 2}));  // when set, then by the refresh
    EXPECT_EQ(axis->laidOutIn, graph->layer());
    EXPECT_EQ(first->draws.back().offset, 30);

    auto replacement = std::make_shared<SpyAxis>();
    graph->setAxisX(replacement);
    EXPECT_EQ(axis->clears, 1);
    EXPECT_EQ(replacement->layouts.size(), 2u);

    graph->removeFromSuperview();
    EXPECT_EQ(first->clears, 1);
    EXPECT_EQ(second->clears, 1);
    EXPECT_TRUE(graph->plotters().empty());
    EXPECT_FALSE(graph->axisX());
    EXPECT_GE(replacement->clears, 1);
}
