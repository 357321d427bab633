#pragma once
// A layer filled with a linear gradient. Start and end points are in the unit square of the
// layer's bounds: (0.5, 0) to (0.5, 1) by default, along y from the bounds' minimum to maximum.
// Without locations the colours are spread evenly.
#include <optional>
#include <vector>

#include "QuartzCore/CALayer.hpp"

class CAGradientLayer : public CALayer {
public:
    static std::shared_ptr<CAGradientLayer> make() { return std::make_shared<CAGradientLayer>(); }

    const std::vector<CGColor>& colors() const { return colors_; }
    void setColors(const std::vector<CGColor>& colors) { change(colors_, colors); }
    const std::optional<std::vector<CGFloat>>& locations() const { return locations_; }
    void setLocations(const std::optional<std::vector<CGFloat>>& locations) { change(locations_, locations); }
    CGPoint startPoint() const { return startPoint_; }
    void setStartPoint(CGPoint point) { change(startPoint_, point); }
    CGPoint endPoint() const { return endPoint_; }
    void setEndPoint(CGPoint point) { change(endPoint_, point); }

    void draw(CGContext& context) override;

private:
    std::vector<CGColor> colors_;
    std::optional<std::vector<CGFloat>> locations_;
    CGPoint startPoint_{0.5, 0};
    CGPoint endPoint_{0.5, 1};
};
