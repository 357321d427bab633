#pragma once
// A data series as a line of straight segments, with a gradient along it and an optional gradient
// area under it, drawn through two GradientLayers. Long series can be thinned to the width; absent
// samples follow drawNilMode; inner points can carry join markers in the line's colour. When
// explicit points are set, they are drawn instead of the series.
//
// The plot area is H − bottomOffset − lineWidth high: the maximum maps to the top edge and the
// minimum (and every absent sample) to its bottom. The first point sits at x = 0, inner points at
// step × i + 1, and the last one at W + lineWidth, so that the line runs on past the right edge.
// strokeColor is also the colour of the highlight discs.
#include <memory>
#include <vector>

#include "ZododuvoZoz/Graph/AreaLinePlotter.hpp"

namespace ZododuvoZoz {

class StraightLinePlotter : public AreaLinePlotter {
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
    void draw(const std::shared_ptr<CALayer>& layer, CGFloat min, CGFloat max, CGFloat bottomOffset) override;

    /// Kept for callers; the drawing does not read it.
    bool usePointColor() const { return usePointColor_; }
    void setUsePointColor(bool use) { usePointColor_ = use; }
    /// Setting it asks the delegate for a redraw.
    DrawNilMode drawNilMode() const { return drawNilMode_; }
    void setDrawNilMode(DrawNilMode mode) {
        drawNilMode_ = mode;
        requestRedraw();
    }
    CGFloat innerMarkerRadius() const { return innerMarkerRadius_; }
    void setInnerMarkerRadius(CGFloat radius) { innerMarkerRadius_ = radius; }
    CGFloat outerMarkerRadius() const { return outerMarkerRadius_; }
    void setOuterMarkerRadius(CGFloat radius) { outerMarkerRadius_ = radius; }

private:
    struct Decoration;
    std::optional<std::shared_ptr<NSBezierPath>> linePath(const CALayer& layer, CGFloat min, CGFloat max,
                                                          CGFloat bottomOffset, std::vector<Decoration>* decorations,
                                                          bool record);
    void drawLine(CALayer& layer, CGFloat min, CGFloat max, CGFloat bottomOffset);
    void fillLine(CALayer& layer, CGFloat min, CGFloat max, CGFloat bottomOffset);
    void drawPoints(CALayer& layer, CGFloat max, CGFloat bottomOffset);

    bool usePointColor_ = true;
    DrawNilMode drawNilMode_ = DrawNilMode::drawMinValue;
    CGFloat innerMarkerRadius_ = 3.0;
    CGFloat outerMarkerRadius_ = 5.0;
};

}  // namespace ZododuvoZoz
