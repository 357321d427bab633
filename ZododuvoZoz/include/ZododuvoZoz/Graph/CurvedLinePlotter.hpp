#pragma once
// A data series as a smooth curve: each step from one sample to the next is two quadratic pieces
// that meet at the midpoint and leave and reach every sample horizontally. It follows the rules
// of the straight line plotter (thinning, vertical mapping, markers, area, explicit points), with
// these differences: an absent sample is always drawn at the bottom and a value that is not a
// number one line width above it; the curve starts at y + lineWidth / 2 and inner points sit at
// step × i; a step whose end sample is present, above the minimum and not the last gets a marker
// at both of its ends.
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

class CurvedLinePlotter : public SeriesPlotter {
public:
    explicit CurvedLinePlotter(const std::vector<std::shared_ptr<NSColor>>& colors);
    CurvedLinePlotter(const std::vector<std::shared_ptr<NSColor>>& colors, bool fillArea);
    static std::shared_ptr<CurvedLinePlotter> make(const std::vector<std::shared_ptr<NSColor>>& colors) {
        return std::make_shared<CurvedLinePlotter>(colors);
    }
    static std::shared_ptr<CurvedLinePlotter> make(const std::vector<std::shared_ptr<NSColor>>& colors, bool fillArea) {
        return std::make_shared<CurvedLinePlotter>(colors, fillArea);
    }

    // IDataPlotter.
    void setData(const DataSeries& data) override;
    void draw(const std::shared_ptr<CALayer>& layer, CGFloat min, CGFloat max, CGFloat bottomOffset) override;
    void clear() override;

    bool truncateData() const { return truncateData_; }
    void setTruncateData(bool truncate) { truncateData_ = truncate; }
    const std::vector<std::shared_ptr<NSColor>>& colors() const { return colors_; }
    void setColors(const std::vector<std::shared_ptr<NSColor>>& colors) { colors_ = colors; }
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
    CGFloat lineJoinMarkerThickness() const { return lineJoinMarkerThickness_; }
    void setLineJoinMarkerThickness(CGFloat radius) { lineJoinMarkerThickness_ = radius; }
    CGFloat lineWidth() const { return lineWidth_; }
    void setLineWidth(CGFloat width) { lineWidth_ = width; }
    CAShapeLayerLineJoin lineJoin() const { return lineJoin_; }
    void setLineJoin(CAShapeLayerLineJoin join) { lineJoin_ = join; }
    CGPoint strokeStartPoint() const { return strokeStartPoint_; }
    void setStrokeStartPoint(CGPoint point) { strokeStartPoint_ = point; }
    CGPoint strokeEndPoint() const { return strokeEndPoint_; }
    void setStrokeEndPoint(CGPoint point) { strokeEndPoint_ = point; }
    CGFloat minimumDistance() const { return minimumDistance_; }
    void setMinimumDistance(CGFloat distance) { minimumDistance_ = distance; }
    /// Kept for callers; the drawing does not read them.
    const std::optional<std::string>& unit() const { return unit_; }
    void setUnit(const std::optional<std::string>& unit) { unit_ = unit; }
    CGFloat labelFactor() const { return labelFactor_; }
    void setLabelFactor(CGFloat factor) { labelFactor_ = factor; }
    CGPoint fillStartPoint() const { return fillStartPoint_; }
    void setFillStartPoint(CGPoint point) { fillStartPoint_ = point; }
    CGPoint fillEndPoint() const { return fillEndPoint_; }
    void setFillEndPoint(CGPoint point) { fillEndPoint_ = point; }
    const std::shared_ptr<NSColor>& strokeColor() const { return strokeColor_; }
    void setStrokeColor(const std::shared_ptr<NSColor>& color) { strokeColor_ = color; }
    /// Setting them asks the delegate for a redraw.
    const std::vector<CGPoint>& points() const { return points_; }
    void setPoints(const std::vector<CGPoint>& points);
    CGFloat maxX() const { return maxX_; }
    void setMaxX(CGFloat maxX) { maxX_ = maxX; }

    void resetTruncation() { truncated_ = false; }

    // What the last drawing pass made.
    const std::vector<CGPoint>& calculatedPoints() const { return calculatedPoints_; }
    const std::shared_ptr<GradientLayer>& strokeLayer() const { return strokeLayer_; }
    const std::shared_ptr<GradientLayer>& fillLayer() const { return fillLayer_; }
    const std::vector<std::shared_ptr<CAShapeLayer>>& markerLayers() const { return markerLayers_; }

private:
    std::shared_ptr<NSBezierPath> curve(const CALayer& layer, CGFloat min, CGFloat max, CGFloat bottomOffset,
                                        std::vector<CGPoint>* markers, bool record);
    std::shared_ptr<NSBezierPath> pointsCurve(CGFloat width) const;
    void drawLine(CALayer& layer, CGFloat min, CGFloat max, CGFloat bottomOffset);
    void fillLine(CALayer& layer, CGFloat min, CGFloat max, CGFloat bottomOffset);
    void drawPoints(CALayer& layer, CGFloat max, CGFloat bottomOffset);
    void fillPoints(CALayer& layer, CGFloat bottomOffset);
    void configureFill(const std::shared_ptr<NSBezierPath>& path);
    void removeLayers();

    std::shared_ptr<GradientLayer> strokeLayer_;
    std::shared_ptr<GradientLayer> fillLayer_;
    std::vector<std::shared_ptr<CAShapeLayer>> markerLayers_;
    DataSeries mData_;
    std::vector<CGPoint> calculatedPoints_;
    bool truncated_ = false;
    bool truncateData_ = false;
    std::vector<std::shared_ptr<NSColor>> colors_;
    std::vector<std::shared_ptr<NSColor>> fillColors_;
    bool fillArea_ = true;
    CGFloat lineDashPhase_ = 0;
    std::optional<std::vector<CGFloat>> lineDashPattern_;
    LineJoinMarker lineJoinMarker_ = LineJoinMarker::none;
    CGFloat lineJoinMarkerThickness_ = 3.0;
    CGFloat lineWidth_;
    CAShapeLayerLineJoin lineJoin_ = CAShapeLayerLineJoin::miter;
    CGPoint strokeStartPoint_{0.5, 0.0};
    CGPoint strokeEndPoint_{0.5, 1.0};
    CGFloat minimumDistance_ = 5.0;
    std::optional<std::string> unit_;
    CGFloat labelFactor_ = 1.0;
    CGPoint fillStartPoint_{0.5, 0.0};
    CGPoint fillEndPoint_{0.5, 1.0};
    std::shared_ptr<NSColor> strokeColor_;
    std::vector<CGPoint> points_;
    CGFloat maxX_ = 100.0;
};

}  // namespace ZododuvoZoz
