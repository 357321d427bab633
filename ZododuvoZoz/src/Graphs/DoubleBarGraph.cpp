#include "ZododuvoZoz/Graphs/DoubleBarGraph.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "AppKit/ContentBackgroundColors.hpp"
#include "AppKit/NSEvent.hpp"
#include "GraphDrawing.hpp"
#include "TrackingAreas.hpp"
#include "ZododuvoZoz/ImageExtensions.hpp"
#include "ZododuvoZoz/TextUtilities.hpp"

namespace ZododuvoZoz {

using namespace graphs;

DoubleBarGraph::DoubleBarGraph(CGRect frame)
    : NSView(frame),
      textFontAttributes_(TextUtilities::attributes(NSTextAlignment::left, NSColor::labelColor(), false, 9)),
      colorLeft_(NSColor::greenColor()),
      colorRight_(NSColor::redColor()) {
    replaceTrackingArea();
}

std::shared_ptr<DoubleBarGraph> DoubleBarGraph::make(CGRect frame) {
    auto view = std::make_shared<DoubleBarGraph>(frame);
    view->replaceTrackingArea();
    return view;
}

void DoubleBarGraph::replaceTrackingArea() {
    auto options = NSTrackingArea::Options::mouseEnteredAndExited() | NSTrackingArea::Options::mouseMoved() |
                   NSTrackingArea::Options::activeAlways();
    trackingArea_ = ZododuvoZoz::replaceTrackingArea(*this, trackingArea_, options);
}

void DoubleBarGraph::changed() { setNeedsDisplay(true); }

void DoubleBarGraph::setLeftOffset(CGFloat offset) {
    leftOffset_ = offset;
    changed();
}

void DoubleBarGraph::setRightOffset(CGFloat offset) {
    rightOffset_ = offset;
    changed();
}

void DoubleBarGraph::setTopOffset(CGFloat offset) {
    topOffset_ = offset;
    changed();
}

void DoubleBarGraph::setBottomOffset(CGFloat offset) {
    bottomOffset_ = offset;
    changed();
}

void DoubleBarGraph::setColorLeft(const std::shared_ptr<NSColor>& color) {
    colorLeft_ = color;
    changed();
}

void DoubleBarGraph::setColorRight(const std::shared_ptr<NSColor>& color) {
    colorRight_ = color;
    changed();
}

void DoubleBarGraph::setInteractionImage(const std::shared_ptr<NSImage>& image) {
    interactionImage_ = image;
    changed();
}

void DoubleBarGraph::setColorAlpha(CGFloat alpha) {
    colorAlpha_ = alpha;
    changed();
}

void DoubleBarGraph::setData(const std::vector<Pair>& data) {
    data_ = data;
    changed();
}

void DoubleBarGraph::setLegendLabelsX(const std::vector<std::string>& labels) {
    legendLabelsX_ = labels;
    changed();
}

void DoubleBarGraph::setLegendLabelsY(const std::vector<std::string>& labels) {
    legendLabelsY_ = labels;
    changed();
}

void DoubleBarGraph::setGridLineWidth(CGFloat width) {
    gridLineWidth_ = width;
    changed();
}

void DoubleBarGraph::setLineWidth(CGFloat width) {
    lineWidth_ = width;
    changed();
}

std::uint64_t DoubleBarGraph::maximumValue() const {
    std::uint64_t largest = 0;
    for (const auto& [left, right] : data()) largest = std::max({largest, left, right});
    if (largest == 0) return 41943040;  // 40 × 1024 × 1024
    int thousands = 0;
    while (largest >= 1000) {
        largest /= 1000;
        ++thousands;
    }
    const std::string digits = std::to_string(largest);
    std::uint64_t result = static_cast<std::uint64_t>(digits.front() - '0') + 1;
    // Values from 10^19 on would need more than 64 bits; their axis ends at the largest number.
    auto times = [&result](std::uint64_t factor) {
        if (__builtin_mul_overflow(result, factor, &result)) result = std::numeric_limits<std::uint64_t>::max();
    };
    for (std::size_t i = 1; i < digits.size(); ++i) times(10);
    for (int i = 0; i < thousands; ++i) times(1024);
    return result;
}

void DoubleBarGraph::layout() {
    NSView::layout();
    replaceTrackingArea();
}

void DoubleBarGraph::viewDidMoveToSuperview() {
    NSView::viewDidMoveToSuperview();
    trackingArea_ = ownTrackingArea(*this, trackingArea_);
}

void DoubleBarGraph::viewDidChangeEffectiveAppearance() {
    NSView::viewDidChangeEffectiveAppearance();
    setNeedsDisplay(true);
}

void DoubleBarGraph::draw(const CGRect& dirtyRect) {
    NSView::draw(dirtyRect);
    ContextCanvas canvas;
    draw(canvas);
}

void DoubleBarGraph::draw(GraphCanvas& canvas) {
    const CGFloat W = bounds().width(), H = bounds().height();
    const CGFloat L = leftOffset(), R = rightOffset(), B = bottomOffset(), lw = lineWidth();
    const CGFloat height = (H - topOffset()) - B;
    const auto& pairs = data();
    const CGFloat maximum = static_cast<CGFloat>(maximumValue());
    drawGrid(canvas, truncated(height));
    drawLegendY(canvas, height);
    if (pairs.empty()) return;

    const CGFloat n = static_cast<CGFloat>(pairs.size());
    const CGFloat gap = 24 - n / 2;
    const CGFloat width = ((W - L - R) - 3 - gap * (n - 1)) / (2 * n);
    const CGFloat half = lw / 2;
    const bool withLabels = legendLabelsX().size() == pairs.size();
    auto leftOutline = colorLeft(), rightOutline = colorRight();
    auto leftInside = leftOutline ? fillColor(*leftOutline, colorAlpha()) : nullptr;
    auto rightInside = rightOutline ? fillColor(*rightOutline, colorAlpha()) : nullptr;
    const auto selected = index();
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        const CGFloat at = static_cast<CGFloat>(i);
        const CGFloat x = gap * at + 2 * width * at + L + 1;
        const CGFloat leftTop = B + height * (static_cast<CGFloat>(pairs[i].first) / maximum);
        const CGFloat rightTop = B + height * (static_cast<CGFloat>(pairs[i].second) / maximum);
        const CGFloat x0 = truncated(x) - half;
        const CGFloat x1 = truncated(x + width) - half;
        const CGFloat s = truncated(x0 + 1 + width + 1) - half;
        const CGFloat e = truncated(s + 1 + width) - half;
        const CGFloat pairEnd = truncated(s + width) + 1 - half;

        if (selected == i) drawSelection(canvas, x0, pairEnd);

        auto left = pathOfWidth(lw);
        left->move({x0, B});
        left->line({x0, truncated(leftTop) - half});
        left->line({x1, truncated(leftTop) - half});
        left->line({x1, B});
        canvas.stroke(*left, leftOutline);
        canvas.fill(*left, leftInside);

        auto right = pathOfWidth(lw);
        right->move({truncated(s) + 1 - half, B});
        right->line({s, truncated(rightTop)});
        right->line({e, truncated(rightTop)});
        right->line({pairEnd, B});
        canvas.stroke(*right, rightOutline);
        canvas.fill(*right, rightInside);

        if (withLabels) {
            const std::string& text = legendLabelsX()[i];
            const CGFloat textWidth = graphs::textWidth(text, textFontAttributes_);
            canvas.drawText(text, CGRect{width + x0 - textWidth / 2, 1, textWidth < 2 * width ? 2 * width : 16, 12},
                            textFontAttributes_);
        }
    }
}

void DoubleBarGraph::drawSelection(GraphCanvas& canvas, CGFloat from, CGFloat to) {
    const CGFloat H = bounds().height(), T = topOffset();
    auto image = interactionImage();
    auto rect = deleteRect();
    if (image && rect) {
        canvas.drawImage(mouseInDeletionRect() ? tinted(image, NSColor::redColor()) : image, *rect);
    }
    auto path = NSBezierPath::make();
    path->move({from - 1, H - T});
    path->line({to + 1, H - T});
    path->line({to + 1, T});
    path->line({from - 1, T});
    path->close();
    canvas.fill(*path, alternatingContentBackgroundColors()[1]);
}

void DoubleBarGraph::drawGrid(GraphCanvas& canvas, CGFloat height) {
    const CGFloat W = bounds().width(), H = bounds().height();
    const CGFloat L = leftOffset(), R = rightOffset(), T = topOffset(), gl = gridLineWidth();
    auto frame = pathOfWidth(gl);
    const CGFloat bottom = (H - (H - T)) - gl / 2;
    addSegment(*frame, {L, bottom}, {W - R, bottom});
    const CGFloat leftEdge = truncated(L) + gl / 2;
    addSegment(*frame, {leftEdge, T + height}, {leftEdge, T});
    const CGFloat rightEdge = (W - R) - gl / 2;
    addSegment(*frame, {rightEdge, T + height}, {rightEdge, T});
    addSegment(*frame, {L, T + height - 0.25}, {W - R, T + height - gl / 2});
    canvas.stroke(*frame, NSColor::tertiaryLabelColor());

    auto inner = pathOfWidth(gl);
    for (CGFloat fraction : {0.25, 0.5, 0.75}) {
        const CGFloat y = truncated(height * fraction + T) + gl / 2;
        addSegment(*inner, {L, y}, {W - R, y});
    }
    canvas.stroke(*inner, NSColor::tertiaryLabelColor());
}

void DoubleBarGraph::drawLegendY(GraphCanvas& canvas, CGFloat height) {
    const auto& texts = legendLabelsY();
    if (texts.size() != 5) return;
    const CGFloat T = topOffset(), B = bottomOffset();
    const CGFloat ys[] = {
        truncated(B - 6),
        truncated(height * 0.25 + T - 5),
        truncated(height * 0.5 + T - 5),
        truncated(height * 0.75 + T - 5),
        truncated(T + height - 5),
    };
    for (std::size_t i = 0; i < 5; ++i) canvas.drawText(texts[i], CGRect{4, ys[i] + 1, 56, 11}, textFontAttributes_);
}

void DoubleBarGraph::callIndexChanged() const {
    // A copy, so that a host may replace the callback while it runs.
    if (auto callback = indexChanged()) callback();
}

void DoubleBarGraph::clearSelection() {
    index_.reset();
    deleteRect_.reset();
}

void DoubleBarGraph::mouseMoved(const NSEvent& event) {
    const auto old = index_;
    const CGPoint point = convert(event.locationInWindow, nullptr);
    const CGFloat L = leftOffset();
    const CGFloat dx = point.x - L;
    if (dx < 0) {
        clearSelection();
        callIndexChanged();
    } else {
        const auto& pairs = data();
        if (pairs.empty()) return;
        const CGFloat W = bounds().width(), H = bounds().height();
        const CGFloat n = static_cast<CGFloat>(pairs.size());
        const CGFloat gap = 24 - n / 2;
        const CGFloat pairWidth = ((W - L - rightOffset()) - 3 - gap * (n - 1)) / n;
        const CGFloat slot = gap + pairWidth;
        // Slots narrower than a point (or geometry that is no number) select nothing.
        constexpr CGFloat limit = 9.0e18;
        if (!(slot >= 1 && slot < limit && dx < limit)) return;
        const auto step = static_cast<std::int64_t>(truncated(slot));
        const auto i = static_cast<std::size_t>(static_cast<std::int64_t>(truncated(dx)) / step);
        if (i < pairs.size()) {
            if (!old || i != *old) callIndexChanged();
            index_ = i;
            const CGRect rect{(slot * static_cast<CGFloat>(i) + L) + pairWidth / 2 - 8, H - 16, 16, 16};
            const bool inside = rect.contains(point);
            if (inside != mouseInDeletionRect_) {
                mouseInDeletionRect_ = inside;
                setNeedsDisplay(true);
            }
            deleteRect_ = rect;
        } else {
            // Right of the last pair there is no pair to select or delete.
            clearSelection();
            mouseInDeletionRect_ = false;
            if (old) callIndexChanged();
        }
    }
    if (old != index_) setNeedsDisplay(true);
}

void DoubleBarGraph::mouseDown(const NSEvent& event) {
    auto rect = deleteRect();
    if (!rect || !rect->contains(convert(event.locationInWindow, nullptr))) return;
    if (auto callback = clickedInRect()) callback();
}

void DoubleBarGraph::mouseEntered(const NSEvent&) { mouseEntered_ = true; }

void DoubleBarGraph::mouseExited(const NSEvent&) {
    mouseEntered_ = false;
    index_.reset();
    setNeedsDisplay(true);
    callIndexChanged();
}

}  // namespace ZododuvoZoz
