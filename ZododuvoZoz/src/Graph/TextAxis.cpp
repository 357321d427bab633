#include "ZododuvoZoz/Graph/TextAxis.hpp"

#include <cmath>

#include "AppKit/NSBezierPath.hpp"
#include "AxisLabels.hpp"
#include "QuartzCore/CABasicAnimation.hpp"
#include "ZododuvoZoz/BezierPathExtensions.hpp"
#include "ZododuvoZoz/Constants.hpp"
#include "ZuzeDiv/ArrayExtensions.hpp"

namespace ZododuvoZoz {
namespace {
void animateColor(CALayer& layer, const std::string& keyPath, const std::shared_ptr<NSColor>& color) {
    CABasicAnimation animation(keyPath);
    if (color) animation.toValue = color->cgColor();
    animation.duration = 0.4;
    animation.timingFunction = CAMediaTimingFunction(CAMediaTimingFunctionName::easeInEaseOut);
    animation.fillMode = CAMediaTimingFillMode::forwards;
    animation.isRemovedOnCompletion = false;
    layer.add(animation, keyPath);
}

/// The entry of a category, when the index names one that has it.
template <class Layer>
std::shared_ptr<Layer> entry(const std::vector<std::shared_ptr<Layer>>& list, std::optional<int> index) {
    if (!index || *index < 0 || static_cast<std::size_t>(*index) >= list.size()) return nullptr;
    return list[static_cast<std::size_t>(*index)];
}
}  // namespace

void TextAxis::setSelectedIndex(std::optional<int> index) {
    auto old = selectedIndex_;
    selectedIndex_ = index;
    updateSelection(old, index);
}

void TextAxis::clear() {
    ZuzeDiv::removeAllFromSuperlayer(layers_);
    ZuzeDiv::removeAllFromSuperlayer(fillLayers_);
    categoryLabels_.clear();
    categoryFills_.clear();
}

void TextAxis::layout(const std::shared_ptr<CALayer>& layer, CGFloat lineWidth) {
    clear();
    if (!layer || texts_.empty()) return;
    if (alignMode_ == TextAlignMode::centered) {
        layoutCentered(layer);
    } else {
        layoutEvenly(layer, lineWidth);
    }
}

void TextAxis::layoutEvenly(const std::shared_ptr<CALayer>& layer, CGFloat lineWidth) {
    const std::size_t n = texts_.size();
    const CGFloat w = layer->frame().width(), h = layer->frame().height();
    const CGFloat center = fillLabel_ ? h - 18 : h - 12;
    const auto labelFont = font(fontSize_);
    categoryLabels_.assign(n, nullptr);
    categoryFills_.assign(n, nullptr);
    for (std::size_t i = 0; i < n; ++i) {
        const std::string& text = texts_[i];
        if (text.empty()) continue;
        const CGSize size = AxisLabels::measure(text, labelFont, {w, h});
        CGFloat x;
        CATextLayerAlignmentMode alignment;
        if (i == 0) {
            x = 2;
            alignment = CATextLayerAlignmentMode::left;
        } else if (i == n - 1) {
            x = w - size.width - 2;
            alignment = CATextLayerAlignmentMode::right;
        } else {
            x = w / static_cast<CGFloat>(n - 1) * static_cast<CGFloat>(i) - lineWidth / 2 - size.width / 2;
            alignment = CATextLayerAlignmentMode::center;
        }
        auto label = AxisLabels::label(text, labelFont, NSColor::secondaryLabelColor(), alignment);
        label->setFrame({x, center - size.height / 2, size.width, size.height});
        layer->addSublayer(label);
        layers_.push_back(label);
        categoryLabels_[i] = label;
    }
}

void TextAxis::layoutCentered(const std::shared_ptr<CALayer>& layer) {
    const std::size_t n = texts_.size();
    const CGFloat w = layer->frame().width(), h = layer->frame().height();
    const CGFloat cell = w / static_cast<CGFloat>(n);
    const auto labelFont = font(fontSize_);
    const bool withDetails = details_.size() == texts_.size();
    categoryLabels_.assign(n, nullptr);
    categoryFills_.assign(n, nullptr);
    for (std::size_t i = 0; i < n; ++i) {
        const std::string& text = texts_[i];
        if (text.empty()) continue;
        const bool selected = selectedIndex_ && *selectedIndex_ == static_cast<int>(i);
        const auto color = fillLabel_ && selected ? selectedTextColor_ : NSColor::secondaryLabelColor();
        const CGFloat x = cell * static_cast<CGFloat>(i);
        const CGFloat th = AxisLabels::measure(text, labelFont, {w, h}).height;
        auto label = AxisLabels::label(text, labelFont, color, CATextLayerAlignmentMode::center);
        if (withDetails) {
            const CGFloat band = fillLabel_ ? 36 : 24;
            label->setFrame({x, h - band + 2, cell, th});
            if (const auto& detail = details_[i]) {
                // Measured in the label's font, a little taller than the detail's own.
                const CGFloat dh = AxisLabels::measure(*detail, labelFont, {w, h}).height;
                auto line = AxisLabels::label(*detail, font(detailFontSize_), color, CATextLayerAlignmentMode::center);
                line->setFrame({x, h - band + 2 + th + 2, cell, dh});
                layer->addSublayer(line);
                layers_.push_back(line);
            }
        } else {
            label->setFrame({x, (fillLabel_ ? h - 18 : h - 12) - th / 2, cell, th});
        }
        if (fillLabel_) {
            const CGRect bounds = layer->bounds();
            const CGFloat start = i > 0 ? cellEnd(static_cast<int>(i) - 1, bounds) : 0;
            auto fill = CAShapeLayer::make();
            fill->setContentsScale(Constants::screenScale());
            const auto& fillColor = selected ? selectedColor_ : fillColor_;
            fill->setFillColor(fillColor ? std::optional<CGColor>(fillColor->cgColor()) : std::nullopt);
            fill->setStrokeColor(std::nullopt);
            fill->setPath(cgPath(
                *NSBezierPath::rect({start + fillOffset_ / 2, h - 36, cellEnd(static_cast<int>(i), bounds) - start, 36})));
            layer->addSublayer(fill);
            fillLayers_.push_back(fill);
            categoryFills_[i] = fill;
        }
        layer->addSublayer(label);
        layers_.push_back(label);
        categoryLabels_[i] = label;
    }
}

CGFloat TextAxis::cellEnd(int index, const CGRect& rect) const {
    const CGFloat w = rect.width();
    const int n = static_cast<int>(texts_.size());
    if (n == 0) return w;
    const CGFloat cell = std::trunc(w / n);
    if (index <= 0) return cell;
    if (index <= n - 2) return cell * (index + 1);
    return w;
}

void TextAxis::updateSelection(std::optional<int> oldIndex, std::optional<int> newIndex) {
    if (oldIndex && newIndex && *oldIndex == *newIndex) return;
    // Only indexes of shown cells count: none, a negative one or one past the cells selects nothing.
    if (auto fill = entry(categoryFills_, oldIndex)) {
        animateColor(*fill, "fillColor", fillColor_);
        if (auto label = entry(categoryLabels_, oldIndex)) animateColor(*label, "foregroundColor", NSColor::secondaryLabelColor());
    }
    auto fill = entry(categoryFills_, newIndex);
    auto label = entry(categoryLabels_, newIndex);
    if (fill && label) {
        animateColor(*fill, "fillColor", selectedColor_);
        animateColor(*label, "foregroundColor", selectedTextColor_);
    }
}

}  // namespace ZododuvoZoz
