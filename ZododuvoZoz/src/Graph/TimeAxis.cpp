#include "ZododuvoZoz/Graph/TimeAxis.hpp"

#include <algorithm>
#include <cmath>

#include "AppKit/NSBezierPath.hpp"
#include "AxisLabels.hpp"
#include "Foundation/Calendar.hpp"
#include "ZododuvoZoz/BezierPathExtensions.hpp"
#include "ZuzeDiv/ArrayExtensions.hpp"

namespace ZododuvoZoz {
namespace {
constexpr CGFloat kBand = 24;

std::shared_ptr<NSFont> labelFont() { return NSFont::systemFont(10, NSFont::Weight::regular()); }
}  // namespace

void TimeAxis::layout(const std::shared_ptr<CALayer>& layer, CGFloat) {
    ZuzeDiv::removeAllFromSuperlayer(layers_);
    if (!layer) return;
    drawTicks(layer, kBand);
    drawLabels(layer, kBand);
}

void TimeAxis::clear() {
    tickLayer_->removeFromSuperlayer();
    ZuzeDiv::removeAllFromSuperlayer(layers_);
}

void TimeAxis::drawTicks(const std::shared_ptr<CALayer>& layer, CGFloat height) {
    tickLayer_->removeFromSuperlayer();
    tickLayer_ = CAShapeLayer::make();
    tickLayer_->setLineWidth(1.0);
    const std::size_t n = timestamps_.size();
    const CGFloat w = layer->frame().width(), h = layer->bounds().height();
    NSBezierPath ticks;
    for (std::size_t i = 0; i < n; ++i) {
        const CGFloat cell = w / static_cast<CGFloat>(n);
        const CGFloat x = std::trunc(cell * 0.2 * 0.5 + cell * static_cast<CGFloat>(i) - 0.5);
        ticks.move({x, h - height});
        ticks.line({x, h - height + 2});
    }
    tickLayer_->setPath(cgPath(ticks));
    tickLayer_->setStrokeColor(tickColor_ ? std::optional<CGColor>(tickColor_->cgColor()) : std::nullopt);
    tickLayer_->setFillColor(std::nullopt);
    layer->addSublayer(tickLayer_);
    layers_.push_back(tickLayer_);
}

void TimeAxis::drawLabels(const std::shared_ptr<CALayer>& layer, CGFloat height) {
    const std::size_t n = timestamps_.size();
    if (period_ == TimePeriod::lastYear) {
        for (std::size_t i = 0; i < n; ++i) monthLabel(timestamps_[i], layer, i);
        return;
    }
    if (n < 2) return;
    const CGFloat w = layer->frame().width();
    for (std::size_t k = n - 1;; k -= 4) {
        const std::string text = AxisLabels::monthName(timestamps_[k]);
        const CGFloat tw = AxisLabels::measure(text, labelFont(), {32, height - 4}).width;
        const CGFloat limit = w - tw / 2 - 4;
        const CGFloat x = std::min(monthPosition(timestamps_[k], *layer), limit);
        placeLabel(x, layer, text, CATextLayerAlignmentMode::center);
        if (x == limit || k <= 4) break;
    }
}

void TimeAxis::monthLabel(double time, const std::shared_ptr<CALayer>& layer, std::size_t index) {
    const CGFloat w = layer->frame().width(), h = layer->bounds().height();
    const CGFloat cell = w / static_cast<CGFloat>(timestamps_.size());
    auto label = AxisLabels::label(AxisLabels::monthName(time), labelFont(), NSColor::labelColor(),
                                   CATextLayerAlignmentMode::left);
    label->setFrame({cell * static_cast<CGFloat>(index) + cell * 0.1, h - kBand + 4, cell, kBand - 4});
    layer->addSublayer(label);
    layers_.push_back(label);
}

CGFloat TimeAxis::monthPosition(double time, const CALayer& layer) const {
    if (timestamps_.empty()) return 0;
    auto start = startOfMonth(Date(time));
    if (!start) return 0;
    const CGFloat w = layer.frame().width();
    const double first = timestamps_.front(), last = timestamps_.back();
    const CGFloat cell = w / static_cast<CGFloat>(timestamps_.size());
    // Samples all at one moment give the time scale no width: only the cell's offset is left.
    if (last == first) return cell;
    return cell + (last - start->timeIntervalSince1970()) * w / (last - first);
}

void TimeAxis::placeLabel(CGFloat x, const std::shared_ptr<CALayer>& layer, const std::string& text,
                          CATextLayerAlignmentMode alignment) {
    const CGFloat w = layer->frame().width(), h = layer->bounds().height();
    const CGFloat tw = AxisLabels::measure(text, labelFont(), {32, kBand - 4}).width;
    const CGRect frame{w - x - tw / 2, h - kBand + 4, tw, kBand - 4};
    for (const auto& placed : layers_) {
        if (placed->frame().intersects(frame)) return;
    }
    auto label = AxisLabels::label(text, labelFont(), NSColor::secondaryLabelColor(), alignment);
    label->setFrame(frame);
    layer->addSublayer(label);
    layers_.push_back(label);
}

std::optional<Date> TimeAxis::startOfMonth(const Date& date) const {
    const Calendar calendar = Calendar::current();
    auto parts = calendar.dateComponents({CalendarComponent::year, CalendarComponent::month}, date);
    return calendar.date(parts);
}

}  // namespace ZododuvoZoz
