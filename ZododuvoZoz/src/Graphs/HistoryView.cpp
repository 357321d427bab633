#include "ZododuvoZoz/Graphs/HistoryView.hpp"

#include <algorithm>
#include <cmath>

#include "AppKit/NSBezierPath.hpp"
#include "ZododuvoZoz/BezierPathExtensions.hpp"
#include "ZododuvoZoz/Constants.hpp"
#include "ZododuvoZoz/Gradients.hpp"

namespace ZododuvoZoz {

namespace {
constexpr std::size_t rowsPerColumn = 10;

std::vector<CGColor> cgColors(const std::vector<std::shared_ptr<NSColor>>& colors) {
    std::vector<CGColor> result;
    result.reserve(colors.size());
    for (const auto& color : colors) result.push_back(color ? color->cgColor() : CGColor::clear());
    return result;
}
}  // namespace

HistoryView::HistoryView(CGRect frame)
    : NSView(frame), backColor_(NSColor::tertiaryLabelColor()), colors_(Gradients::pinkOrange().mColors) {
    setWantsLayer(true);
    layer()->addSublayer(backgroundLayer_);
    layer()->addSublayer(gradientLayer_);
    drawBackground();
    setupGradient();
}

void HistoryView::redraw() {
    if (isLocked_) return;
    rebuild();
}

void HistoryView::rebuild() {
    // Colours resolve in the view's own appearance, whoever asks for the rebuild.
    effectiveAppearance()->performAsCurrentDrawingAppearance([this] {
        drawBackground();
        drawHistory();
    });
}

void HistoryView::setLength(CGFloat length) {
    length_ = length;
    redraw();
}

void HistoryView::setBackColor(const std::shared_ptr<NSColor>& color) {
    backColor_ = color;
    redraw();
}

void HistoryView::setOffset(CGFloat offset) {
    offset_ = offset;
    redraw();
}

void HistoryView::setData(const std::vector<CGFloat>& data) {
    data_ = data;
    redraw();
}

void HistoryView::setColors(const std::vector<std::shared_ptr<NSColor>>& colors) {
    colors_ = colors;
    gradientLayer_->setColors(cgColors(colors_));
}

void HistoryView::setMax(CGFloat max) {
    max_ = max;
    redraw();
}

CGFloat HistoryView::preferredHeight() const { return 10 * length() + 9 * offset(); }

CGFloat HistoryView::preferredWidth() const {
    const auto n = static_cast<CGFloat>(data().size());
    return n * length() + n * offset();
}

void HistoryView::update() { redraw(); }

void HistoryView::lock() { isLocked_ = true; }

void HistoryView::unlock() {
    isLocked_ = false;
    rebuild();
}

void HistoryView::layout() {
    NSView::layout();
    redraw();
}

void HistoryView::viewDidChangeEffectiveAppearance() {
    NSView::viewDidChangeEffectiveAppearance();
    // The background colour resolves anew in the new appearance.
    backgroundIsStale_ = true;
    redraw();
}

CGRect HistoryView::cell(std::size_t sample, std::size_t row) const {
    const CGFloat step = length() + offset();
    return {static_cast<CGFloat>(sample) * step, static_cast<CGFloat>(row) * step, length(), length()};
}

void HistoryView::drawBackground() {
    const auto& samples = data();
    // Cells already built are built again when they would stand elsewhere or show another
    // appearance's colour; otherwise only a new number of samples rebuilds them.
    const Geometry geometry{length(), offset(), bounds()};
    const bool stale = oldDataCount_ > 0 && (backgroundIsStale_ || geometry != backgroundGeometry_);
    if (samples.size() == oldDataCount_ && !stale) return;
    backgroundIsStale_ = false;
    backgroundGeometry_ = geometry;
    backgroundLayer_->setFillColor(backColor() ? std::optional(backColor()->cgColor()) : std::nullopt);
    backgroundLayer_->setStrokeColor(std::nullopt);
    backgroundLayer_->setContentsScale(Constants::screenScale());
    backgroundLayer_->setFrame(bounds());
    NSBezierPath path;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        for (std::size_t row = 0; row < rowsPerColumn; ++row) path.appendRect(cell(i, row));
    }
    backgroundLayer_->setPath(cgPath(path));
    oldDataCount_ = samples.size();
}

void HistoryView::setupGradient() {
    gradientLayer_->setFrame(bounds());
    gradientLayer_->setContentsScale(Constants::screenScale());
    gradientLayer_->setColors(cgColors(colors()));
    gradientLayer_->setStartPoint({0.5, 1.0});
    gradientLayer_->setEndPoint({0.5, 0.0});
}

void HistoryView::drawHistory() {
    auto mask = CAShapeLayer::make();
    mask->setFillColor(CGColor::black());
    mask->setStrokeColor(std::nullopt);
    mask->setContentsScale(Constants::screenScale());
    mask->setFrame(bounds());

    // A sample far above `max` lights cells up to the top of the view and no further, so that a
    // tiny maximum (or one of 0) cannot ask for more cells than could ever be seen.
    const CGFloat step = length() + offset();
    CGFloat visibleRows = rowsPerColumn;
    if (step > 0 && std::isfinite(step)) visibleRows = std::max(visibleRows, std::ceil(bounds().height() / step));

    NSBezierPath path;
    for (std::size_t i = 0; i < data().size(); ++i) {
        const CGFloat ratio = data()[i] / max();
        if (std::isnan(ratio)) continue;
        const CGFloat lit = std::min(std::trunc(ratio * 10), visibleRows);
        for (std::size_t row = 0; static_cast<CGFloat>(row) < lit; ++row) path.appendRect(cell(i, row));
    }
    mask->setPath(cgPath(path));

    gradientLayer_->setFrame(bounds());
    gradientLayer_->setColors(cgColors(colors()));
    gradientLayer_->setMask(mask);
}

}  // namespace ZododuvoZoz
