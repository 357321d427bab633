#pragma once
// What the straight and the curved line plotter share besides the line itself: a gradient area
// under the line, join markers at its inner points, and explicit points drawn instead of the
// series. Setting the points asks the delegate for a redraw; the other setters only store.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ZododuvoZoz/Graph/LinePlotter.hpp"

namespace ZododuvoZoz {

class AreaLinePlotter : public LinePlotter {
public:
    /// Also forgets the explicit points, without asking for a redraw.
    void clear() override;

    /// The line's gradient colours; teal to cyan, opaque, by default.
    const std::vector<std::shared_ptr<NSColor>>& colors() const { return colors_; }
    void setColors(const std::vector<std::shared_ptr<NSColor>>& colors) { colors_ = colors; }
    /// The area's gradient colours: teal and cyan at alpha 0.6 and 0.25.
    const std::vector<std::shared_ptr<NSColor>>& fillColors() const { return fillColors_; }
    void setFillColors(const std::vector<std::shared_ptr<NSColor>>& colors) { fillColors_ = colors; }
    bool fillArea() const { return fillArea_; }
    void setFillArea(bool fill) { fillArea_ = fill; }
    LineJoinMarker lineJoinMarker() const { return lineJoinMarker_; }
    void setLineJoinMarker(LineJoinMarker marker) { lineJoinMarker_ = marker; }
    /// The radius of a join marker.
    CGFloat lineJoinMarkerThickness() const { return lineJoinMarkerThickness_; }
    void setLineJoinMarkerThickness(CGFloat radius) { lineJoinMarkerThickness_ = radius; }
    /// Kept for callers; the drawing does not read them.
    const std::optional<std::string>& unit() const { return unit_; }
    void setUnit(const std::optional<std::string>& unit) { unit_ = unit; }
    CGFloat labelFactor() const { return labelFactor_; }
    void setLabelFactor(CGFloat factor) { labelFactor_ = factor; }
    /// Explicit points, drawn instead of the series when there are any: x against maxX, y against
    /// the graph's maximum. Setting them asks the delegate for a redraw.
    const std::vector<CGPoint>& points() const { return points_; }
    void setPoints(const std::vector<CGPoint>& points);

    // What the last drawing pass made, besides the line.
    const std::shared_ptr<GradientLayer>& fillLayer() const { return fillLayer_; }
    const std::vector<std::shared_ptr<CAShapeLayer>>& markerLayers() const { return markerLayers_; }

protected:
    AreaLinePlotter(const std::vector<std::shared_ptr<NSColor>>& colors, bool fillArea);

    void removeLayers() override;
    /// Makes the line's gradient layer over the layer's bounds, and the area's when fillArea is
    /// set, when the layer is present and the range can be drawn (max above 0, min not above it).
    /// Empties the points of the last line and takes its layers away in any case.
    bool beginPass(const std::shared_ptr<CALayer>& layer, CGFloat min, CGFloat max);
    /// A join marker at the point, in the colour the line shows there, when lineJoinMarker asks
    /// for one.
    void addJoinMarker(CALayer& layer, CGPoint point);
    /// Closes the path to the bottom of the plot and gives it to the fill layer, which shows the
    /// area's gradient at full strength.
    void fillUnder(const CALayer& layer, const std::shared_ptr<NSBezierPath>& path, CGFloat bottomOffset);

    std::shared_ptr<GradientLayer> fillLayer_;
    std::vector<std::shared_ptr<CAShapeLayer>> markerLayers_;
    std::vector<std::shared_ptr<NSColor>> colors_;
    std::vector<std::shared_ptr<NSColor>> fillColors_;
    bool fillArea_;
    LineJoinMarker lineJoinMarker_ = LineJoinMarker::none;
    CGFloat lineJoinMarkerThickness_ = 3.0;
    std::optional<std::string> unit_;
    CGFloat labelFactor_ = 1.0;
    std::vector<CGPoint> points_;
};

}  // namespace ZododuvoZoz
