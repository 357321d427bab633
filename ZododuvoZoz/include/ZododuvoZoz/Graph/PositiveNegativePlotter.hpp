#pragma once
// A data series as a straight line over a dashed horizontal baseline at the value `initial`. The
// whole line takes the positive colour when the series ends above the baseline and the negative
// colour when it ends below (black when it ends on it, ends absent or is empty). No area, no
// markers and no explicit points; an absent sample after the first is drawn at the bottom unless
// drawNilMode is `stop`, which ends the line there.
#include <memory>
#include <optional>
#include <vector>

#include "AppKit/NSColor.hpp"
#include "QuartzCore/CAShapeLayer.hpp"
#include "ZododuvoZoz/Graph/GradientLayer.hpp"
#include "ZododuvoZoz/Graph/LineStyles.hpp"
#include "ZododuvoZoz/Graph/SeriesPlotter.hpp"

namespace ZododuvoZoz {

class PositiveNegativePlotter : public SeriesPlotter {
public:
    PositiveNegativePlotter(const std::shared_ptr<NSColor>& positive, const std::shared_ptr<NSColor>& negative);
    static std::shared_ptr<PositiveNegativePlotter> make(const std::shared_ptr<NSColor>& positive,
                                                         const std::shared_ptr<NSColor>& negative) {
        return std::make_shared<PositiveNegativePlotter>(positive, negative);
    }

    // IDataPlotter.
    void setData(const DataSeries& data) override;
    void draw(const std::shared_ptr<CALayer>& layer, CGFloat min, CGFloat max, CGFloat bottomOffset) override;
    void clear() override;

    const std::shared_ptr<NSColor>& positive() const { return positive_; }
    void setPositive(const std::shared_ptr<NSColor>& color) { positive_ = color; }
    const std::shared_ptr<NSColor>& negative() const { return negative_; }
    void setNegative(const std::shared_ptr<NSColor>& color) { negative_ = color; }
    CGFloat lineDashPhase() const { return lineDashPhase_; }
    void setLineDashPhase(CGFloat phase) { lineDashPhase_ = phase; }
    const std::optional<std::vector<CGFloat>>& lineDashPattern() const { return lineDashPattern_; }
    void setLineDashPattern(const std::optional<std::vector<CGFloat>>& pattern) { lineDashPattern_ = pattern; }
    CGFloat lineWidth() const { return lineWidth_; }
    void setLineWidth(CGFloat width) { lineWidth_ = width; }
    bool truncateData() const { return truncateData_; }
    void setTruncateData(bool truncate) { truncateData_ = truncate; }
    CGFloat minimumDistance() const { return minimumDistance_; }
    void setMinimumDistance(CGFloat distance) { minimumDistance_ = distance; }
    CAShapeLayerLineJoin lineJoin() const { return lineJoin_; }
    void setLineJoin(CAShapeLayerLineJoin join) { lineJoin_ = join; }
    CGPoint strokeStartPoint() const { return strokeStartPoint_; }
    void setStrokeStartPoint(CGPoint point) { strokeStartPoint_ = point; }
    CGPoint strokeEndPoint() const { return strokeEndPoint_; }
    void setStrokeEndPoint(CGPoint point) { strokeEndPoint_ = point; }
    /// The line's mask colour: its alpha sets the line's opacity.
    const std::shared_ptr<NSColor>& strokeColor() const { return strokeColor_; }
    void setStrokeColor(const std::shared_ptr<NSColor>& color) { strokeColor_ = color; }
    /// Kept for callers; nothing is filled.
    CGPoint fillStartPoint() const { return fillStartPoint_; }
    void setFillStartPoint(CGPoint point) { fillStartPoint_ = point; }
    CGPoint fillEndPoint() const { return fillEndPoint_; }
    void setFillEndPoint(CGPoint point) { fillEndPoint_ = point; }
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
    void setDrawNilMode(DrawNilMode mode);
    /// Kept for callers.
    CGFloat maxX() const { return maxX_; }
    void setMaxX(CGFloat maxX) { maxX_ = maxX; }

    void resetTruncation() { truncated_ = false; }

    // What the last drawing pass made.
    const std::vector<CGPoint>& calculatedPoints() const { return calculatedPoints_; }
    const std::shared_ptr<GradientLayer>& strokeLayer() const { return strokeLayer_; }
    const std::shared_ptr<GradientLayer>& initialLayer() const { return initialLayer_; }

private:
    void drawLine(CALayer& layer, CGFloat min, CGFloat max, CGFloat bottomOffset);
    void drawInitial(CALayer& layer, CGFloat min, CGFloat max, CGFloat bottomOffset);

    DataSeries mData_;
    std::vector<CGPoint> calculatedPoints_;
    std::shared_ptr<GradientLayer> strokeLayer_;
    std::shared_ptr<GradientLayer> initialLayer_;
    bool truncated_ = false;
    std::shared_ptr<NSColor> positive_;
    std::shared_ptr<NSColor> negative_;
    CGFloat lineDashPhase_ = 0;
    std::optional<std::vector<CGFloat>> lineDashPattern_;
    CGFloat lineWidth_;
    bool truncateData_ = false;
    CGFloat minimumDistance_ = 5.0;
    CAShapeLayerLineJoin lineJoin_ = CAShapeLayerLineJoin::miter;
    CGPoint strokeStartPoint_{0.5, 0.0};
    CGPoint strokeEndPoint_{0.5, 1.0};
    std::shared_ptr<NSColor> strokeColor_;
    CGPoint fillStartPoint_{0.5, 0.0};
    CGPoint fillEndPoint_{0.5, 1.0};
    CGFloat initial_ = 0.0;
    CGFloat initialThickness_;
    std::shared_ptr<NSColor> initialColor_ = NSColor::systemGrayColor();
    CGFloat initialLineDashPhase_ = 2.0;
    std::vector<CGFloat> initialLineDashPattern_{3.0, 3.0};
    DrawNilMode drawNilMode_ = DrawNilMode::drawMinValue;
    CGFloat maxX_ = 100.0;
};

}  // namespace ZododuvoZoz
