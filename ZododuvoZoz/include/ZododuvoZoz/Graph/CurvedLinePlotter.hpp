#pragma once
// A data series as a smooth curve: each step from one sample to the next is two quadratic pieces
// that meet at the midpoint and leave and reach every sample horizontally. It follows the rules
// of the straight line plotter (thinning, vertical mapping, markers, area, explicit points), with
// these differences: an absent sample is always drawn at the bottom and a value that is not a
// number one line width above it; the curve starts at y + lineWidth / 2 and inner points sit at
// step × i; a step whose end sample is present, above the minimum and not the last gets a marker
// at both of its ends; a pass without a layer still takes the last pass's drawing away.
#include <memory>
#include <vector>

#include "ZododuvoZoz/Graph/AreaLinePlotter.hpp"

namespace ZododuvoZoz {

class CurvedLinePlotter : public AreaLinePlotter {
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
    void draw(const std::shared_ptr<CALayer>& layer, CGFloat min, CGFloat max, CGFloat bottomOffset) override;

private:
    std::shared_ptr<NSBezierPath> curve(const CALayer& layer, CGFloat min, CGFloat max, CGFloat bottomOffset,
                                        std::vector<CGPoint>* markers, bool record);
    std::shared_ptr<NSBezierPath> pointsCurve(CGFloat width) const;
    void drawLine(CALayer& layer, CGFloat min, CGFloat max, CGFloat bottomOffset);
    void fillLine(CALayer& layer, CGFloat min, CGFloat max, CGFloat bottomOffset);
    void drawPoints(CALayer& layer, CGFloat max, CGFloat bottomOffset);
    void fillPoints(CALayer& layer, CGFloat bottomOffset);
    void fillCurve(const CALayer& layer, const std::shared_ptr<NSBezierPath>& path, CGFloat bottomOffset);
};

}  // namespace ZododuvoZoz
