#pragma once
// A data series as a straight line over a dashed horizontal baseline at the value `initial`. The
// whole line takes the positive colour when the series ends above the baseline and the negative
// colour when it ends below (black when it ends on it, ends absent or is empty). No area, no
// markers and no explicit points (fillStartPoint, fillEndPoint and maxX are kept for callers); an
// absent sample after the first is drawn at the bottom unless drawNilMode is `stop`, which ends
// the line there.
#include <memory>
#include <vector>

#include "ZododuvoZoz/Graph/LinePlotter.hpp"

namespace ZododuvoZoz {

class PositiveNegativePlotter : public LinePlotter {
public:
    PositiveNegativePlotter(const std::shared_ptr<NSColor>& positive, const std::shared_ptr<NSColor>& negative);
    static std::shared_ptr<PositiveNegativePlotter> make(const std::shared_ptr<NSColor>& positive,
                                                         const std::shared_ptr<NSColor>& negative) {
        return std::make_shared<PositiveNegativePlotter>(positive, negative);
    }

    // IDataPlotter.
    void draw(const std::shared_ptr<CALayer>& layer, CGFloat min, CGFloat max, CGFloat bottomOffset) override;

    const std::shared_ptr<NSColor>& positive() const { return positive_; }
    void setPositive(const std::shared_ptr<NSColor>& color) { positive_ = color; }
    const std::shared_ptr<NSColor>& negative() const { return negative_; }
    void setNegative(const std::shared_ptr<NSColor>& color) { negative_ = color; }
    /// The baseline's value.
    CGFloat initial() const { return initial_; }
    void setInitial(CGFloat value) { initial_ = value; }
    /// 2 device pixels.
    CGFloat initialThickness() const { return initialThickness_; }
    void setInitialThickness(CGFloat thickness) { initialThickness_ = thickness; }
    /// The baseline's mask colour: the baseline shows in the separator colour at its alpha.
    const std::shared_ptr<NSColor>& initialColor() const { return initialColor_; }
    void setInitialColor(const std::shared_ptr<NSColor>& color) { initialColor_ = color; }
    CGFloat initialLineDashPhase() const { return initialLineDashPhase_; }
    void setInitialLineDashPhase(CGFloat phase) { initialLineDashPhase_ = phase; }
    const std::vector<CGFloat>& initialLineDashPattern() const { return initialLineDashPattern_; }
    void setInitialLineDashPattern(const std::vector<CGFloat>& pattern) { initialLineDashPattern_ = pattern; }
    /// Setting it asks the delegate for a redraw.
    DrawNilMode drawNilMode() const { return drawNilMode_; }
    void setDrawNilMode(DrawNilMode mode) {
        drawNilMode_ = mode;
        requestRedraw();
    }

    /// The baseline of the last drawing pass.
    const std::shared_ptr<GradientLayer>& initialLayer() const { return initialLayer_; }

private:
    void removeLayers() override;
    void drawLine(CALayer& layer, CGFloat min, CGFloat max, CGFloat bottomOffset);
    void drawInitial(CALayer& layer, CGFloat min, CGFloat max, CGFloat bottomOffset);

    std::shared_ptr<GradientLayer> initialLayer_;
    std::shared_ptr<NSColor> positive_;
    std::shared_ptr<NSColor> negative_;
    CGFloat initial_ = 0.0;
    CGFloat initialThickness_;
    std::shared_ptr<NSColor> initialColor_ = NSColor::systemGrayColor();
    CGFloat initialLineDashPhase_ = 2.0;
    std::vector<CGFloat> initialLineDashPattern_{3.0, 3.0};
    DrawNilMode drawNilMode_ = DrawNilMode::drawMinValue;
};

}  // namespace ZododuvoZoz
