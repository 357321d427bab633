#include "ZododuvoZoz/Graphs/BarGraph.hpp"

#include <algorithm>
#include <limits>

#include "GraphDrawing.hpp"
#include "ZododuvoZoz/TextUtilities.hpp"

namespace ZododuvoZoz {

using namespace graphs;

namespace {
NSAttributes labelAttributes() {
    return TextUtilities::attributes(NSTextAlignment::left, NSColor::secondaryLabelColor(), true, 8.25);
}
}  // namespace

BarGraph::BarGraph(CGRect frame) : NSView(frame), color_(NSColor::redColor()) {}

void BarGraph::setColor(const std::shared_ptr<NSColor>& color) {
    color_ = color;
    setNeedsDisplay(true);
}

void BarGraph::setAlpha(CGFloat alpha) {
    alpha_ = alpha;
    setNeedsDisplay(true);
}

void BarGraph::setLineWidth(CGFloat width) {
    lineWidth_ = width;
    setNeedsDisplay(true);
}

void BarGraph::setData(const std::vector<std::int32_t>& data) {
    data_ = data;
    setNeedsDisplay(true);
}

std::int32_t BarGraph::scaleMaximum() const {
    std::int32_t largest = 0;
    for (std::int32_t value : data_) largest = std::max(largest, value);
    if (largest == 0) return 100;
    // Computed wide: the hundred above a value near the 32-bit limit does not fit 32 bits, and
    // such a scale stops at the largest 32-bit number instead.
    std::int64_t rounded = (std::int64_t{largest} / 100 + 1) * 100;
    return static_cast<std::int32_t>(std::min<std::int64_t>(rounded, std::numeric_limits<std::int32_t>::max()));
}

void BarGraph::draw(const CGRect& dirtyRect) {
    NSView::draw(dirtyRect);
    ContextCanvas canvas;
    draw(canvas);
}

void BarGraph::draw(GraphCanvas& canvas) {
    const CGFloat W = bounds().width(), H = bounds().height();
    const CGFloat L = leftOffset(), T = topOffset(), B = bottomOffset(), lw = lineWidth();
    const CGFloat height = (H - T) - B;
    const std::int32_t maximum = scaleMaximum();
    drawGrid(canvas, height);
    drawScale(canvas, height, maximum);

    const auto& values = data();
    if (values.empty()) return;
    const CGFloat n = static_cast<CGFloat>(values.size());
    const CGFloat gap = 24 - n / 2;
    const CGFloat width = ((W - L) - 3 - gap * (n - 1)) / n;
    const auto& texts = labels();
    const bool withLabels = texts.size() == values.size();
    auto outline = color();
    auto inside = outline ? fillColor(*outline, alpha()) : nullptr;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const CGFloat index = static_cast<CGFloat>(i);
        auto path = pathOfWidth(lw);
        const CGFloat x = gap * index + width * index + L + 1;
        const CGFloat value = height * (static_cast<CGFloat>(values[i]) / static_cast<CGFloat>(maximum));
        const CGFloat left = truncated(x) - lw / 2;
        const CGFloat right = truncated(x + width) - lw / 2;
        const CGFloat top = B + truncated(value) - lw / 2;
        path->move({left, B});
        path->line({left, top});
        path->line({right, top});
        path->line({right, B});
        canvas.stroke(*path, outline);
        canvas.fill(*path, inside);

        if (withLabels) {
            auto attributes = labelAttributes();
            const CGFloat textWidth = graphs::textWidth(texts[i], attributes);
            canvas.drawText(texts[i],
                            CGRect{left + width / 2 - textWidth / 2, 3, textWidth < width ? width : 16, 12},
                            attributes);
        }
    }
}

void BarGraph::drawGrid(GraphCanvas& canvas, CGFloat height) {
    const CGFloat W = bounds().width(), H = bounds().height();
    const CGFloat L = leftOffset(), T = topOffset(), lw = lineWidth();
    auto path = pathOfWidth(0.5);
    path->move({L, truncated(H - (H - T)) - 0.25});
    path->line({W, H - (H - T)});
    const CGFloat quarter = truncated(height * 0.25 + T) - lw / 2;
    addSegment(*path, {L, quarter}, {W, quarter});
    const CGFloat half = truncated(height * 0.5 + T) + lw / 2;
    addSegment(*path, {L, half}, {W, half});
    const CGFloat threeQuarters = truncated(height * 0.75 + T) - lw / 2;
    addSegment(*path, {L, threeQuarters}, {W, threeQuarters});
    const CGFloat top = (T + height) - lw / 2;
    addSegment(*path, {L, top}, {W, top});
    const CGFloat leftEdge = L + lw / 2;
    addSegment(*path, {leftEdge, truncated(T + height)}, {leftEdge, T});
    const CGFloat rightEdge = W - lw / 2;
    addSegment(*path, {rightEdge, truncated(T + height)}, {rightEdge, T});
    canvas.stroke(*path, NSColor::separatorColor());
}

void BarGraph::drawScale(GraphCanvas& canvas, CGFloat height, std::int32_t maximum) {
    const CGFloat T = topOffset(), B = bottomOffset();
    auto attributes = labelAttributes();
    const std::int32_t quarter = maximum / 4;
    struct Mark {
        std::int32_t value;
        CGFloat y, height;
    };
    const Mark marks[] = {
        {0, B - 6, 12},
        {quarter, height * 0.25 + T - 5, 10},
        {maximum / 2, height * 0.5 + T - 5, 10},
        {3 * quarter, height * 0.75 + T - 5, 10},
        {maximum, T + height - 5, 10},
    };
    for (const auto& mark : marks) {
        canvas.drawText(std::to_string(mark.value), CGRect{4, mark.y + 1, 56, mark.height}, attributes);
    }
}

}  // namespace ZododuvoZoz
