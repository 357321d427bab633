#pragma once
// Helpers of the graph tests: a fixture with a virtual clock (plotters draw on the main queue),
// readings of paths by their points, and a delegate that records what plotters tell it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "AppKit/NSApplication.hpp"
#include "AppKit/NSScreen.hpp"
#include "CoreGraphics/CGPath.hpp"
#include "Foundation/Locale.hpp"
#include "QuartzCore/CALayer.hpp"
#include "Testing/TestEnvironment.hpp"
#include "ZododuvoZoz/Graph/PlottingInterfaces.hpp"

// Helpers of these tests only, in a namespace of their own: other tests of the same program
// have helpers of the same names.
namespace graph_view_tests {

class GraphTest : public VirtualTimeTest {
protected:
    void TearDown() override {
        VirtualTimeTest::TearDown();
        NSScreen::setMain(nullptr);
        NSApplication::shared().setAppearance(nullptr);
    }

    /// A layer like a graph view's: flipped, of the given size.
    static std::shared_ptr<CALayer> host(CGFloat width, CGFloat height) {
        auto layer = CALayer::make();
        layer->setFrame({0, 0, width, height});
        layer->setGeometryFlipped(true);
        return layer;
    }
};

/// The end points of a path's moves, lines and curves, in order.
inline std::vector<CGPoint> pointsOf(const CGPath& path) {
    std::vector<CGPoint> points;
    for (const auto& e : path.elements()) {
        if (e.type != CGPathElementType::closeSubpath) points.push_back(e.endPoint());
    }
    return points;
}

inline std::size_t countOf(const CGPath& path, CGPathElementType type) {
    return static_cast<std::size_t>(std::count_if(path.elements().begin(), path.elements().end(),
                                                  [&](const CGPathElement& e) { return e.type == type; }));
}

/// Whether two points agree to a thousandth of a point.
inline bool same(CGPoint a, CGPoint b) { return std::abs(a.x - b.x) < 1e-3 && std::abs(a.y - b.y) < 1e-3; }

inline bool sameRect(const CGRect& a, const CGRect& b) {
    return same(a.origin, b.origin) && std::abs(a.width() - b.width()) < 1e-3 && std::abs(a.height() - b.height()) < 1e-3;
}

/// The sublayers of a layer that are of one kind.
template <class Layer>
std::vector<std::shared_ptr<Layer>> sublayersOf(const CALayer& layer) {
    std::vector<std::shared_ptr<Layer>> found;
    for (const auto& sublayer : layer.sublayers()) {
        if (auto typed = std::dynamic_pointer_cast<Layer>(sublayer)) found.push_back(typed);
    }
    return found;
}

/// Records the calls a plotter makes on its delegate.
class RecordingDelegate : public ZododuvoZoz::PlotterDelegate {
public:
    void redraw(const std::shared_ptr<ZododuvoZoz::IDataPlotter>& plotter) override { redraws.push_back(plotter); }
    void dataChanged(const ZododuvoZoz::DataSeries& data,
                     const std::shared_ptr<ZododuvoZoz::IDataPlotter>& plotter) override {
        changes.push_back(data);
        changed.push_back(plotter);
    }
    std::vector<std::shared_ptr<ZododuvoZoz::IDataPlotter>> redraws;
    std::vector<ZododuvoZoz::DataSeries> changes;
    std::vector<std::shared_ptr<ZododuvoZoz::IDataPlotter>> changed;
};

}  // namespace graph_view_tests

using namespace graph_view_tests;
