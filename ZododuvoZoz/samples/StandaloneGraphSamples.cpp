// Writes pictures of the stand-alone graph views into a folder, so that a person can look at
// them: bar graph, double bar graph (with a pair selected and the pointer on its delete mark),
// separated bar graph (with and without the pointer inside) and history view, light and dark.
#include <filesystem>
#include <string>

#include "AppKit/NSEvent.hpp"
#include "SampleSupport.hpp"
#include "ZododuvoZoz/Graphs/BarGraph.hpp"
#include "ZododuvoZoz/Graphs/DoubleBarGraph.hpp"
#include "ZododuvoZoz/Graphs/HistoryView.hpp"
#include "ZododuvoZoz/Graphs/SeparatedBarGraph.hpp"

using namespace ZododuvoZoz;

namespace {
bool write(const std::shared_ptr<NSView>& graph, const std::filesystem::path& file) {
    CGRect frame = graph->frame();
    auto backdrop = std::make_shared<Samples::Backdrop>(CGRect{0, 0, frame.width() + 20, frame.height() + 20});
    graph->setFrameOrigin({10, 10});
    backdrop->addSubview(graph);
    backdrop->layoutSubtreeIfNeeded();
    auto image = ViewRenderer::image(*backdrop, 2.0);
    graph->removeFromSuperview();
    return Samples::writeImage(image, file);
}

NSEvent pointerAt(CGFloat x, CGFloat y) {
    NSEvent event;
    event.locationInWindow = {x, y};
    return event;
}
}  // namespace

int main(int argc, char** argv) {
    auto folder = Samples::outputFolder(argc, argv);
    bool ok = true;
    // One history view drawn in light and then in dark: its background cells follow the appearance.
    auto history = HistoryView::make({0, 0, 200, 48});
    history->setData({5, 12, 25, 38, 51, 64, 77, 90, 100, 95, 80, 65, 50, 35, 20, 10, 30, 55, 75, 100, 42, 18, 66, 88, 99,
                      47, 23, 61, 84, 100, 70, 33, 15, 58, 92, 100, 45, 27, 73, 60});
    history->layout();
    Samples::inEachAppearance([&](const std::string& name) {
        const std::string suffix = "-" + name + ".png";

        auto bars = BarGraph::make({0, 0, 420, 220});
        bars->setData({120, 340, 80, 260, 410, 190});
        bars->setLabels({"Mon", "Tue", "Wed", "Thu", "Fri", "Sat"});
        ok &= write(bars, folder / ("bar-graph" + suffix));

        auto pairs = DoubleBarGraph::make({0, 0, 420, 220});
        pairs->setData({{1200000, 800000}, {450000, 1700000}, {2300000, 900000}, {0, 300000}, {1500000, 1500000}});
        pairs->setLegendLabelsX({"Mon", "Tue", "Wed", "Thu", "Fri"});
        pairs->setLegendLabelsY({"0", "768 KB", "1.5 MB", "2.3 MB", "3 MB"});  // maximum 3 × 1024²
        auto trash = NSImage::systemSymbol("trash");
        if (trash) trash->setTemplate(true);
        pairs->setInteractionImage(trash);
        pairs->mouseMoved(pointerAt(200, 100));
        ok &= write(pairs, folder / ("double-bar-graph" + suffix));
        if (auto rect = pairs->deleteRect()) pairs->mouseMoved(pointerAt(rect->midX(), rect->midY()));
        ok &= write(pairs, folder / ("double-bar-graph-delete" + suffix));

        auto separated = SeparatedBarGraph::make({0, 0, 420, 160});
        separated->setDataTop({300, 900, 1500, 0, 2048, 1200, 600, 1800, 400, 1000});
        separated->setDataBottom({1200, 400, 0, 1600, 800, 2000, 300});
        separated->setLegendLabelsY({"2 KB", "1 KB", "0", "2 KB", "1 KB"});
        ok &= write(separated, folder / ("separated-bar-graph" + suffix));
        separated->mouseEntered(pointerAt(100, 80));
        ok &= write(separated, folder / ("separated-bar-graph-hover" + suffix));

        ok &= write(history, folder / ("history-view" + suffix));
    });
    return ok ? 0 : 1;
}
