#pragma once
// An x axis that marks chosen values on a scale from 0 at the left edge to `max` at the right
// edge: a 3-point tick under the top of the band for each point, and the point's text, when it has
// one, centred under its tick (pulled in to end 1 point before the right edge).
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "AppKit/NSFont.hpp"
#include "QuartzCore/CAShapeLayer.hpp"
#include "ZododuvoZoz/Graph/PlottingInterfaces.hpp"

namespace ZododuvoZoz {

/// A value with its label.
class AxisPoint {
public:
    AxisPoint(CGFloat value, std::optional<std::string> text) : value(value), text(std::move(text)) {}
    static std::shared_ptr<AxisPoint> make(CGFloat value, std::optional<std::string> text) {
        return std::make_shared<AxisPoint>(value, std::move(text));
    }

    CGFloat value;
    std::optional<std::string> text;
};

class PointAxis : public IAxis {
public:
    PointAxis(const std::vector<std::shared_ptr<AxisPoint>>& points, CGFloat max) : points_(points), max_(max) {}
    static std::shared_ptr<PointAxis> make(const std::vector<std::shared_ptr<AxisPoint>>& points, CGFloat max) {
        return std::make_shared<PointAxis>(points, max);
    }

    CGFloat height() const override { return 24; }
    void layout(const std::shared_ptr<CALayer>& layer, CGFloat lineWidth) override;
    /// Also empties the points.
    void clear() override;

    const std::vector<std::shared_ptr<AxisPoint>>& points() const { return points_; }
    void setPoints(const std::vector<std::shared_ptr<AxisPoint>>& points) { points_ = points; }
    /// The value at the right edge; it must be above 0 for anything to be drawn.
    CGFloat max() const { return max_; }
    void setMax(CGFloat max) { max_ = max; }
    /// Half of it is taken off every tick's and label's position.
    CGFloat tickRadius() const { return tickRadius_; }
    void setTickRadius(CGFloat radius) { tickRadius_ = radius; }
    CGFloat fontSize() const { return fontSize_; }
    void setFontSize(CGFloat size) { fontSize_ = size; }
    NSFont::Weight fontWeight() const { return fontWeight_; }
    void setFontWeight(NSFont::Weight weight) { fontWeight_ = weight; }

    /// The ticks and labels; a point above `max` ends the drawing without ticks.
    void drawPoints(const std::shared_ptr<CALayer>& layer);

    const std::shared_ptr<CAShapeLayer>& tickLayer() const { return tickLayer_; }
    /// Every layer the axis has added.
    const std::vector<std::shared_ptr<CALayer>>& layers() const { return layers_; }

private:
    std::shared_ptr<CAShapeLayer> tickLayer_ = CAShapeLayer::make();
    std::vector<std::shared_ptr<CALayer>> layers_;
    std::vector<std::shared_ptr<AxisPoint>> points_;
    CGFloat max_;
    CGFloat tickRadius_ = 2;
    CGFloat fontSize_ = 12;
    NSFont::Weight fontWeight_ = NSFont::Weight::regular();
};

}  // namespace ZododuvoZoz
