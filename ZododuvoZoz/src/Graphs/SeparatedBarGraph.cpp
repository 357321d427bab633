#include "ZododuvoZoz/Graphs/SeparatedBarGraph.hpp"

#include <cmath>

#include "GraphDrawing.hpp"
#include "TrackingAreas.hpp"
#include "ZododuvoZoz/TextUtilities.hpp"

namespace ZododuvoZoz {

using namespace graphs;

SeparatedBarGraph::SeparatedBarGraph(CGRect frame)
    : NSView(frame), upperColor_(NSColor::greenColor()), lowerColor_(NSColor::redColor()) {
    installTrackingArea();
}

std::shared_ptr<SeparatedBarGraph> SeparatedBarGraph::make(CGRect frame) {
    auto view = std::make_shared<SeparatedBarGraph>(frame);
    view->installTrackingArea();
    return view;
}

void SeparatedBarGraph::installTrackingArea() {
    area_ = replaceTrackingArea(*this, area_,
                                NSTrackingArea::Options::mouseEnteredAndExited() | NSTrackingArea::Options::activeAlways());
}

void SeparatedBarGraph::viewDidMoveToSuperview() {
    NSView::viewDidMoveToSuperview();
    area_ = ownTrackingArea(*this, area_);
}

void SeparatedBarGraph::setFrame(const CGRect& frame) {
    const CGSize oldSize = this->frame().size;
    NSView::setFrame(frame);
    if (area_ && frame.size != oldSize) installTrackingArea();
}

void SeparatedBarGraph::setMaxTop(CGFloat value) {
    maxTop_ = value;
    setNeedsDisplay(true);
}

void SeparatedBarGraph::setMaxBottom(CGFloat value) {
    maxBottom_ = value;
    setNeedsDisplay(true);
}

void SeparatedBarGraph::setMouseOffset(CGFloat offset) {
    mouseOffset_ = offset;
    setNeedsDisplay(true);
}

void SeparatedBarGraph::setDataTop(const std::vector<CGFloat>& data) {
    dataTop_ = data;
    setNeedsDisplay(true);
}

void SeparatedBarGraph::setDataBottom(const std::vector<CGFloat>& data) {
    dataBottom_ = data;
    setNeedsDisplay(true);
}

void SeparatedBarGraph::setUpperColor(const std::shared_ptr<NSColor>& color) {
    upperColor_ = color;
    setNeedsDisplay(true);
}

void SeparatedBarGraph::setLowerColor(const std::shared_ptr<NSColor>& color) {
    lowerColor_ = color;
    setNeedsDisplay(true);
}

void SeparatedBarGraph::setColorAlpha(CGFloat alpha) {
    colorAlpha_ = alpha;
    setNeedsDisplay(true);
}

void SeparatedBarGraph::setLegendLabelsY(const std::vector<std::string>& labels) {
    legendLabelsY_ = labels;
    setNeedsDisplay(true);
}

void SeparatedBarGraph::mouseEntered(const NSEvent&) {
    mouseEntered_ = true;
    setNeedsDisplay(true);
}

void SeparatedBarGraph::mouseExited(const NSEvent&) {
    mouseEntered_ = false;
    setNeedsDisplay(true);
}

void SeparatedBarGraph::draw(const CGRect& dirtyRect) {
    NSView::draw(dirtyRect);
    ContextCanvas canvas;
    draw(canvas);
}

void SeparatedBarGraph::draw(GraphCanvas& canvas) {
    drawGrid(canvas);
    drawTopBars(canvas);
    drawBottomBars(canvas);
    drawBaseline(canvas);
    if (mouseEntered()) drawLegend(canvas);
}

void SeparatedBarGraph::drawBars(GraphCanvas& canvas, const std::vector<CGFloat>& values, CGFloat maximum,
                                 const std::shared_ptr<NSColor>& color, bool upwards) {
    if (values.empty()) return;
    const CGFloat W = bounds().width(), middle = bounds().height() / 2;
    const CGFloat n = static_cast<CGFloat>(values.size());
    const CGFloat width = (W - 2 * (n - 1) - inset()) / n;
    auto inside = color ? fillColor(*color, colorAlpha()) : nullptr;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const CGFloat value = values[i];
        if (value == 0) continue;
        const CGFloat height = middle * (value / maximum);
        // A maximum of 0 gives bars of no finite height; they are left out.
        if (!std::isfinite(height)) continue;
        const CGFloat at = static_cast<CGFloat>(i);
        const CGFloat x0 = inset() + width * at + 2 * at;
        const CGFloat x1 = x0 + width;
        auto path = pathOfWidth(0.5);
        if (upwards) {
            path->move({x0, middle + height});
            path->line({x1, middle + height});
            path->line({x1, middle});
            path->line({x0, middle});
            path->line({x0, middle + height});
        } else {
            path->move({x0, middle - 0.25});
            path->line({x1, middle - 0.25});
            path->line({x1, middle - height});
            path->line({x0, middle - height});
            path->line({x0, middle - 0.25});
        }
        canvas.stroke(*path, color);
        canvas.fill(*path, inside);
    }
}

void SeparatedBarGraph::drawTopBars(GraphCanvas& canvas) {
    drawBars(canvas, dataTop(), maxTop(), upperColor(), true);
}

void SeparatedBarGraph::drawBottomBars(GraphCanvas& canvas) {
    drawBars(canvas, dataBottom(), maxBottom(), lowerColor(), false);
}

void SeparatedBarGraph::drawBaseline(GraphCanvas& canvas) {
    const CGFloat middle = bounds().height() / 2;
    auto path = pathOfWidth(1.0);
    addSegment(*path, {inset(), middle - 0.5}, {bounds().width(), middle - 0.5});
    canvas.stroke(*path, NSColor::separatorColor());
}

void SeparatedBarGraph::drawGrid(GraphCanvas& canvas) {
    if (!mouseEntered()) return;
    const CGFloat W = bounds().width(), H = bounds().height();
    auto path = pathOfWidth(0.5);
    // The lines go into one path, which is stroked again after each one is added.
    for (CGFloat y : {truncated(0.5 * H + 0.25 * H) - 0.25, H - 0.25, truncated(0.25 * H) - 0.25, 0.25}) {
        addSegment(*path, {mouseOffset(), y}, {W, y});
        canvas.stroke(*path, NSColor::separatorColor());
    }
}

void SeparatedBarGraph::drawLegend(GraphCanvas& canvas) {
    const auto& texts = legendLabelsY();
    if (texts.size() != 5) return;
    const CGFloat H = bounds().height();
    auto attributes = TextUtilities::attributes(NSTextAlignment::center, NSColor::labelColor(), false, 9);
    const CGFloat ys[] = {H - 10, truncated(0.5 * H + 0.25 * H) - 5, 0.5 * H - 5, 0, truncated(0.25 * H) - 5};
    for (std::size_t i = 0; i < 5; ++i) {
        canvas.drawText(texts[i], CGRect{3, ys[i] + 1, mouseOffset() - 3, 10}, attributes);
    }
}

}  // namespace ZododuvoZoz
