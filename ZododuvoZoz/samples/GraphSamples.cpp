// Writes pictures of graph views into a folder, so that a person can look at them: line plotters
// over a text axis, bar plotters over a value axis, transfer speeds over a time axis, a colour
// range area with tick marks, each light and dark.
#include <cmath>
#include <filesystem>
#include <string>

#include "Foundation/Locale.hpp"
#include "Foundation/RunLoop.hpp"
#include "SampleSupport.hpp"
#include "ZododuvoZoz/Colors.hpp"
#include "ZododuvoZoz/Graph/BarPlotter.hpp"
#include "ZododuvoZoz/Graph/CapsulePlotter.hpp"
#include "ZododuvoZoz/Graph/ColorizedSegmentPlotter.hpp"
#include "ZododuvoZoz/Graph/CurvedLinePlotter.hpp"
#include "ZododuvoZoz/Graph/GraphView.hpp"
#include "ZododuvoZoz/Graph/MultiColorBarPlotter.hpp"
#include "ZododuvoZoz/Graph/PercentageBarPlotter.hpp"
#include "ZododuvoZoz/Graph/PointAxis.hpp"
#include "ZododuvoZoz/Graph/PositiveNegativePlotter.hpp"
#include "ZododuvoZoz/Graph/StraightLinePlotter.hpp"
#include "ZododuvoZoz/Graph/TextAxis.hpp"
#include "ZododuvoZoz/Graph/TimeAxis.hpp"
#include "ZododuvoZoz/Graph/ValueAxis.hpp"

using namespace ZododuvoZoz;

namespace {
bool write(const std::shared_ptr<GraphView>& graph, const std::filesystem::path& file) {
    RunLoop::main().runUntilIdle();  // plotters with data draw on the main queue
    // On a window-coloured ground, as the graph would be seen in a window.
    auto ground = Samples::layerGround(graph->frame());
    ground->addSubview(graph);
    return Samples::writeView(*ground, file);
}

DataSeries wave(int count, double base, double swing, double phase) {
    DataSeries series;
    for (int i = 0; i < count; ++i) series.push_back(base + swing * std::sin(i * 0.6 + phase));
    return series;
}

std::shared_ptr<GraphView> lines() {
    auto graph = GraphView::make({0, 0, 480, 240});
    auto axis = TextAxis::make();
    axis->setTexts({"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"});
    graph->setAxisX(axis);
    auto straight = StraightLinePlotter::make({Colors::teal(), Colors::cyan()});
    straight->setLineJoinMarker(LineJoinMarker::circle);
    straight->setDrawNilMode(DrawNilMode::stopAndHighlightPreviousValue);
    auto series = wave(12, 55, 25, 0);
    series[9] = std::nullopt;
    graph->addPlotter(straight);
    straight->setData(series);
    auto curved = CurvedLinePlotter::make({NSColor::systemPinkColor(), NSColor::systemOrangeColor()}, false);
    graph->addPlotter(curved);
    curved->setData(wave(12, 35, 20, 2));
    graph->refresh();
    return graph;
}

std::shared_ptr<GraphView> bars() {
    auto graph = GraphView::make({0, 0, 480, 240});
    graph->setAxisX(ValueAxis::make(0, 60, 4));
    graph->setUseZeroAsMin(true);
    graph->setMinValue(0);
    graph->setAutoCalculateMax(true);
    auto capsules = CapsulePlotter::make({Colors::teal(), Colors::cyan()});
    graph->addPlotter(capsules);
    capsules->setData({12, 30, 0, 45, std::nullopt, 66, 20, 52});
    graph->refresh();
    return graph;
}

std::shared_ptr<GraphView> ranges() {
    // Made smaller and sized later, as a window would: the tick marks move with the rest.
    auto graph = GraphView::make({0, 0, 320, 160});
    auto ticks = graph->tickOptions();
    ticks.showTickMarks = true;
    ticks.numberOfTicks = 7;
    ticks.fillColors = {Colors::teal(), Colors::cyan()};
    graph->setTickOptions(ticks);
    graph->setAxisX(nullptr);  // builds the tick marks
    auto green = ColorRange::make(0, 40, NSColor::systemGreenColor()->withAlphaComponent(0.7));
    auto orange = ColorRange::make(40, 70, NSColor::systemOrangeColor()->withAlphaComponent(0.7));
    auto red = ColorRange::make(70, 100, NSColor::systemRedColor()->withAlphaComponent(0.7));
    graph->addPlotter(ColorizedSegmentPlotter::make({green, orange, red}, wave(16, 50, 35, 1)));
    auto span = PercentageBarPlotter::make(NSColor::systemBlueColor()->withAlphaComponent(0.3));
    span->setStart(0.55);
    span->setEnd(0.75);
    graph->addPlotter(span);
    graph->setFrameSize({480, 240});
    graph->layoutSubtreeIfNeeded();
    return graph;
}

std::shared_ptr<GraphView> speeds() {
    auto graph = GraphView::make({0, 0, 480, 240});
    graph->setAutoGraphMode(AutoGraphMode::byteSpeed);
    graph->setUseZeroAsMin(true);
    graph->setMinValue(0);
    // Every label in the maximum's unit: 0, 1 and 2 MB/s for a maximum of 1.5 MB/s.
    graph->setMaxValue(1.5 * 1048576);
    auto axis = TimeAxis::make();
    std::vector<double> months;
    for (int m = 0; m < 12; ++m) months.push_back(1673740800.0 + m * 2629800.0);  // 2023, mid-month by month
    axis->setTimestamps(months);
    graph->setAxisX(axis);
    auto multi = MultiColorBarPlotter::make(std::vector<std::shared_ptr<ColorRange>>{
        ColorRange::make(0, 1048576, NSColor::systemGreenColor()),
        ColorRange::make(1048576, 3 * 1048576, NSColor::systemOrangeColor())});
    DataSeries values;
    for (int m = 0; m < 12; ++m) values.push_back(150000.0 + m * 110000.0);
    graph->addPlotter(multi);
    multi->setData(values);
    auto trend = PositiveNegativePlotter::make(NSColor::systemGreenColor(), NSColor::systemRedColor());
    trend->setInitial(0.75 * 1048576);
    graph->addPlotter(trend);
    trend->setData(values);
    graph->refresh();
    return graph;
}
}  // namespace

int main(int argc, char** argv) {
    auto folder = Samples::outputFolder(argc, argv);
    Locale::setCurrent("en_US");
    TimeZone::setCurrent("UTC");
    bool ok = true;
    Samples::inEachAppearance([&](const std::string& name) {
        std::string suffix = "-" + name + ".png";
        ok &= write(lines(), folder / ("graph-lines" + suffix));
        ok &= write(bars(), folder / ("graph-bars" + suffix));
        ok &= write(ranges(), folder / ("graph-ranges" + suffix));
        ok &= write(speeds(), folder / ("graph-speeds" + suffix));
    });
    return ok ? 0 : 1;
}
