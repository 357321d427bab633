#pragma once
// A data series as a line of straight segments, with a gradient along it and an optional gradient
// area under it, drawn through two GradientLayers. Long series can be thinned to the width; absent
// samples follow drawNilMode; inner points can carry join markers in the line's colour. When
// explicit points are set, they are drawn instead of the series.
//
// The plot area is H − bottomOffset − lineWidth high: the maximum maps to the top edge and the
// minimum (and every absent sample) to its bottom. The first point sits at x = 0, inner points at
// step × i + 1, and the last one at W + lineWidth, so that the line runs on past the right edge.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "AppKit/NSColor.hpp"
#include "QuartzCore/CAShapeLayer.hpp"
#include "ZododuvoZoz/Graph/GradientLayer.hpp"
#include "ZododuvoZoz/Graph/LineStyles.hpp"
#include "ZododuvoZoz/Graph/SeriesPlotter.hpp"

namespace ZododuvoZoz {

class StraightLinePlotter : public SeriesPlotter {
public:
    /// The line's gradient colours; everything else takes its default.
    explicit StraightLinePlotter(const std::vector<std::shared_ptr<NSColor>>& colors);
    /// The line's mask colour, and whether the area under the line is drawn.
    StraightLinePlotter(const std::shared_ptr<NSColor>& strokeColor, bool fillArea);
    static std::shared_ptr<StraightLinePlotter> make(const std::vector<std::shared_ptr<NSColor>>& colors) {
        return std::make_shared<StraightLinePlotter>(colors);
    }
    static std::shared_ptr<StraightLinePlotter> make(const std::shared_ptr<NSColor>& strokeColor, bool fillArea) {
        return std::make_shared<StraightLinePlotter>(strokeColor, fillArea);
    }

    // IDataPlotter.
    void setData(const DataSeries& data) override;
    void draw(const std::shared_ptr<CALayer>& layer, CGFloat min, CGFloat max, CGFloat bottomOffset) override;
    void clear() override;

    /// Teal to cyan, opaque.
    const std::vector<std::shared_ptr<NSColor>>& colors() const { return colors_; }
    void setColors(const std::vector<std::shared_ptr<NSColor>>& colors) { colors_ = colors; }
    /// The same two colours at alpha 0.6 and 0.25.
    const std::vector<std::shared_ptr<NSColor>>& fillColors() const { return fillColors_; }
    void setFillColors(const std::vector<std::shared_ptr<NSColor>>& colors) { fillColors_ = colors; }
    bool fillArea() const { return fillArea_; }
    void setFillArea(bool fill) { fillArea_ = fill; }
    CGFloat lineDashPhase() const { return lineDashPhase_; }
    void setLineDashPhase(CGFloat phase) { lineDashPhase_ = phase; }
    const std::optional<std::vector<CGFloat>>& lineDashPattern() const { return lineDashPattern_; }
    void setLineDashPattern(const std::optional<std::vector<CGFloat>>& pattern) { lineDashPattern_ = pattern; }
    LineJoinMarker lineJoinMarker() const { return lineJoinMarker_; }
    void setLineJoinMarker(LineJoinMarker marker) { lineJoinMarker_ = marker; }
    /// The radius of a join marker.
    CGFloat lineJoinMarkerThickness() const { return lineJoinMarkerThickness_; }
    void setLineJoinMarkerThickness(CGFloat radius) { lineJoinMarkerThickness_ = radius; }
    /// 4 device pixels.
    CGFloat lineWidth() const { return lineWidth_; }
    void setLineWidth(CGFloat width) { lineWidth_ = width; }
    /// Whether long series are thinned to one sample per minimumDistance points of width.
    bool truncateData() const { return truncateData_; }
    void setTruncateData(bool truncate) { truncateData_ = truncate; }
    CGFloat minimumDistance() const { return minimumDistance_; }
    void setMinimumDistance(CGFloat distance) { minimumDistance_ = distance; }
    /// Kept for callers; the drawing does not read them.
    const std::optional<std::string>& unit() const { return unit_; }
    void setUnit(const std::optional<std::string>& unit) { unit_ = unit; }
    CGFloat labelFactor() const { return labelFactor_; }
    void setLabelFactor(CGFloat factor) { labelFactor_ = factor; }
    CAShapeLayerLineJoin lineJoin() const { return lineJoin_; }
    void setLineJoin(CAShapeLayerLineJoin join) { lineJoin_ = join; }
    CGPoint strokeStartPoint() const { return strokeStartPoint_; }
    void setStrokeStartPoint(CGPoint point) { strokeStartPoint_ = point; }
    CGPoint strokeEndPoint() const { return strokeEndPoint_; }
    void setStrokeEndPoint(CGPoint point) { strokeEndPoint_ = point; }
    /// The line's mask colour (its alpha sets the line's opacity) and the colour of the highlight
    /// discs.
    const std::shared_ptr<NSColor>& strokeColor() const { return strokeColor_; }
    void setStrokeColor(const std::shared_ptr<NSColor>& color) { strokeColor_ = color; }
    CGPoint fillStartPoint() const { return fillStartPoint_; }
    void setFillStartPoint(CGPoint point) { fillStartPoint_ = point; }
    CGPoint fillEndPoint() const { return fillEndPoint_; }
    void setFillEndPoint(CGPoint point) { fillEndPoint_ = point; }
    bool usePointColor() const { return usePointColor_; }
    void setUsePointColor(bool use) { usePointColor_ = use; }
    /// Setting it asks the delegate for a redraw.
    DrawNilMode drawNilMode() const { return drawNilMode_; }
    void setDrawNilMode(DrawNilMode mode);
    CGFloat innerMarkerRadius() const { return innerMarkerRadius_; }
    void setInnerMarkerRadius(CGFloat radius) { innerMarkerRadius_ = radius; }
    CGFloat outerMarkerRadius() const { return outerMarkerRadius_; }
    void setOuterMarkerRadius(CGFloat radius) { outerMarkerRadius_ = radius; }
    /// Explicit points, drawn instead of the series when there are any: x against maxX, y against
    /// the graph's maximum. Setting them asks the delegate for a redraw.
    const std::vector<CGPoint>& points() const { return points_; }
    void setPoints(const std::vector<CGPoint>& points);
    CGFloat maxX() const { return maxX_; }
    void setMaxX(CGFloat maxX) { maxX_ = maxX; }

    void resetTruncation() { truncated_ = false; }

    // What the last drawing pass made (for callers that look at the drawing).
    const std::vector<CGPoint>& calculatedPoints() const { return calculatedPoints_; }
    const std::shared_ptr<GradientLayer>& strokeLayer() const { return strokeLayer_; }
    const std::shared_ptr<GradientLayer>& fillLayer() const { return fillLayer_; }
    const std::vector<std::shared_ptr<CAShapeLayer>>& markerLayers() const { return markerLayers_; }

private:
    struct Decoration;
    std::optional<std::shared_ptr<NSBezierPath>> linePath(const CALayer& layer, CGFloat min, CGFloat max,
                                                          CGFloat bottomOffset, std::vector<Decoration>* decorations,
                                                          bool record);
    void drawLine(CALayer& layer, CGFloat min, CGFloat max, CGFloat bottomOffset);
    void fillLine(CALayer& layer, CGFloat min, CGFloat max, CGFloat bottomOffset);
    void drawPoints(CALayer& layer, CGFloat max, CGFloat bottomOffset);
    void removeLayers();

    DataSeries mData_;
    std::vector<CGPoint> calculatedPoints_;
    std::shared_ptr<GradientLayer> strokeLayer_;
    std::shared_ptr<GradientLayer> fillLayer_;
    std::vector<std::shared_ptr<CAShapeLayer>> markerLayers_;
    bool truncated_ = false;
    std::vector<std::shared_ptr<NSColor>> colors_;
    std::vector<std::shared_ptr<NSColor>> fillColors_;
    bool fillArea_ = true;
    CGFloat lineDashPhase_ = 0;
    std::optional<std::vector<CGFloat>> lineDashPattern_;
    LineJoinMarker lineJoinMarker_ = LineJoinMarker::none;
    CGFloat lineJoinMarkerThickness_ = 3.0;
    CGFloat lineWidth_;
    bool truncateData_ = false;
    CGFloat minimumDistance_ = 5.0;
    std::optional<std::string> unit_;
    CGFloat labelFactor_ = 1.0;
    CAShapeLayerLineJoin lineJoin_ = CAShapeLayerLineJoin::miter;
    CGPoint strokeStartPoint_{0.5, 0.0};
    CGPoint strokeEndPoint_{0.5, 1.0};
    std::shared_ptr<NSColor> strokeColor_;
    CGPoint fillStartPoint_{0.5, 0.0};
    CGPoint fillEndPoint_{0.5, 1.0};
    bool usePointColor_ = true;
    DrawNilMode drawNilMode_ = DrawNilMode::drawMinValue;
    CGFloat innerMarkerRadius_ = 3.0;
    CGFloat outerMarkerRadius_ = 5.0;
    std::vector<CGPoint> points_;
    CGFloat maxX_ = 100.0;
};

}  // namespace ZododuvoZoz
