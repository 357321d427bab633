#pragma once
// What the line plotters share: the stroke's style, the thinning of long series to the width,
// the series as drawn and the points of the last line, and the gradient layer that shows it.
//
// Every setter here only stores its value; the line changes at the next drawing pass.
#include <memory>
#include <optional>
#include <vector>

#include "AppKit/NSBezierPath.hpp"
#include "AppKit/NSColor.hpp"
#include "QuartzCore/CAShapeLayer.hpp"
#include "ZododuvoZoz/Graph/GradientLayer.hpp"
#include "ZododuvoZoz/Graph/LineStyles.hpp"
#include "ZododuvoZoz/Graph/SeriesPlotter.hpp"

namespace ZododuvoZoz {

class LinePlotter : public SeriesPlotter {
public:
    /// Also replaces the series as drawn.
    void setData(const DataSeries& data) override;
    /// Takes away the plotter's layers, drops the delegate and empties the series, the series as
    /// drawn and the points of the last line.
    void clear() override;

    CGFloat lineDashPhase() const { return lineDashPhase_; }
    void setLineDashPhase(CGFloat phase) { lineDashPhase_ = phase; }
    /// None draws a solid line.
    const std::optional<std::vector<CGFloat>>& lineDashPattern() const { return lineDashPattern_; }
    void setLineDashPattern(const std::optional<std::vector<CGFloat>>& pattern) { lineDashPattern_ = pattern; }
    /// 4 device pixels.
    CGFloat lineWidth() const { return lineWidth_; }
    void setLineWidth(CGFloat width) { lineWidth_ = width; }
    /// Whether long series are thinned to one sample per minimumDistance points of width.
    bool truncateData() const { return truncateData_; }
    void setTruncateData(bool truncate) { truncateData_ = truncate; }
    CGFloat minimumDistance() const { return minimumDistance_; }
    void setMinimumDistance(CGFloat distance) { minimumDistance_ = distance; }
    CAShapeLayerLineJoin lineJoin() const { return lineJoin_; }
    void setLineJoin(CAShapeLayerLineJoin join) { lineJoin_ = join; }
    /// The line's gradient runs from the start to the end point, in unit coordinates.
    CGPoint strokeStartPoint() const { return strokeStartPoint_; }
    void setStrokeStartPoint(CGPoint point) { strokeStartPoint_ = point; }
    CGPoint strokeEndPoint() const { return strokeEndPoint_; }
    void setStrokeEndPoint(CGPoint point) { strokeEndPoint_ = point; }
    /// The line's mask colour: its alpha sets the line's opacity. Teal.
    const std::shared_ptr<NSColor>& strokeColor() const { return strokeColor_; }
    void setStrokeColor(const std::shared_ptr<NSColor>& color) { strokeColor_ = color; }
    /// The area's gradient runs from the start to the end point, in unit coordinates.
    CGPoint fillStartPoint() const { return fillStartPoint_; }
    void setFillStartPoint(CGPoint point) { fillStartPoint_ = point; }
    CGPoint fillEndPoint() const { return fillEndPoint_; }
    void setFillEndPoint(CGPoint point) { fillEndPoint_ = point; }
    /// The x value that maps to the right edge when explicit points are drawn.
    CGFloat maxX() const { return maxX_; }
    void setMaxX(CGFloat maxX) { maxX_ = maxX; }

    void resetTruncation() { truncated_ = false; }

    // What the last drawing pass made (for callers that look at the drawing).
    const std::vector<CGPoint>& calculatedPoints() const { return calculatedPoints_; }
    const std::shared_ptr<GradientLayer>& strokeLayer() const { return strokeLayer_; }

protected:
    LinePlotter();

    /// Takes the layers of the last pass out of the graph's layer.
    virtual void removeLayers();
    /// Thins the series as drawn anew from the whole series, to the layer's width, when
    /// truncateData asks for it.
    void truncate(const CALayer& layer);
    /// Gives the stroke layer the path and the line's style: width, join, dashes and gradient ends.
    void styleStroke(const std::shared_ptr<NSBezierPath>& path);
    /// The same, after the mask colour strokeColor and no fill: a line with nothing under it.
    void strokeLine(const std::shared_ptr<NSBezierPath>& path);
    /// Where sample i of the series as drawn (of two or more) lies on a straight line: the first at
    /// x = 0 and y + 1, the last at x = W + lineWidth, so that the line runs on past the right
    /// edge, and the others at step × i + 1 with step = (W − 2 × lineWidth) / (count − 1); all but
    /// the first at y + lineWidth / 2, y being the sample's place on the vertical scale.
    CGPoint straightPoint(const CALayer& layer, std::size_t index, CGFloat min, CGFloat max,
                          CGFloat bottomOffset) const;

    DataSeries mData_;
    std::vector<CGPoint> calculatedPoints_;
    std::shared_ptr<GradientLayer> strokeLayer_;
    bool truncated_ = false;
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
    CGFloat maxX_ = 100.0;
};

}  // namespace ZododuvoZoz
