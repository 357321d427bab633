#pragma once
// One path drawn with a colour gradient: a shape layer carries the path and masks a gradient
// layer, which is put into a parent layer the caller owns. Only the alpha of the stroke and fill
// colours matters: they decide where the gradient shows and how strongly, never its hue.
//
// Every setter stores its value and rebuilds both layers (also when the value is unchanged), and
// every rebuild moves the gradient layer to the top of the parent's sublayers.
#include <memory>
#include <optional>
#include <vector>

#include "AppKit/NSBezierPath.hpp"
#include "AppKit/NSColor.hpp"
#include "QuartzCore/CAAnimation.hpp"
#include "QuartzCore/CAGradientLayer.hpp"
#include "QuartzCore/CAShapeLayer.hpp"

namespace ZododuvoZoz {

class GradientLayer {
public:
    /// Keeps the parent and the frame; a single colour is kept twice, so that it shows flat. Draws
    /// nothing until the first redraw.
    GradientLayer(const std::shared_ptr<CALayer>& parentLayer, const std::vector<std::shared_ptr<NSColor>>& colors,
                  const CGRect& frame);
    static std::shared_ptr<GradientLayer> make(const std::shared_ptr<CALayer>& parentLayer,
                                               const std::vector<std::shared_ptr<NSColor>>& colors,
                                               const CGRect& frame) {
        return std::make_shared<GradientLayer>(parentLayer, colors, frame);
    }
    GradientLayer(const GradientLayer&) = delete;
    GradientLayer& operator=(const GradientLayer&) = delete;

    /// The shape that masks the gradient, and the gradient that is put into the parent.
    const std::shared_ptr<CAShapeLayer>& maskingLayer() const { return maskingLayer_; }
    const std::shared_ptr<CAGradientLayer>& gradientLayer() const { return gradientLayer_; }
    std::shared_ptr<CALayer> parentLayer() const { return parentLayer_; }

    /// Gradient start and end in unit coordinates; from (0, 0.5) to (1, 0.5) by default.
    CGPoint startPoint() const { return startPoint_; }
    void setStartPoint(CGPoint point);
    CGPoint endPoint() const { return endPoint_; }
    void setEndPoint(CGPoint point);
    CGFloat lineWidth() const { return lineWidth_; }
    void setLineWidth(CGFloat width);
    /// Black by default.
    const std::shared_ptr<NSColor>& strokeColor() const { return strokeColor_; }
    void setStrokeColor(const std::shared_ptr<NSColor>& color);
    /// Black by default; none means no fill.
    const std::shared_ptr<NSColor>& fillColor() const { return fillColor_; }
    void setFillColor(const std::shared_ptr<NSColor>& color);
    /// The frame of both layers.
    CGRect bounds() const { return bounds_; }
    void setBounds(const CGRect& bounds);
    const std::vector<std::shared_ptr<NSColor>>& colors() const { return colors_; }
    void setColors(const std::vector<std::shared_ptr<NSColor>>& colors);
    CAShapeLayerLineCap lineCap() const { return lineCap_; }
    void setLineCap(CAShapeLayerLineCap cap);
    CAShapeLayerLineJoin lineJoin() const { return lineJoin_; }
    void setLineJoin(CAShapeLayerLineJoin join);
    /// None gives an empty mask.
    const std::shared_ptr<NSBezierPath>& path() const { return path_; }
    void setPath(const std::shared_ptr<NSBezierPath>& path);
    CGFloat lineDashPhase() const { return lineDashPhase_; }
    void setLineDashPhase(CGFloat phase);
    /// None draws a solid line.
    const std::optional<std::vector<CGFloat>>& lineDashPattern() const { return lineDashPattern_; }
    void setLineDashPattern(const std::optional<std::vector<CGFloat>>& pattern);

    void update() { redraw(); }
    /// Adds the animation to the mask, so that animating its path animates the visible shape.
    void add(const CAAnimation& animation, const std::string& key);
    /// Takes the gradient out of the parent; the next redraw puts it back.
    void remove();
    /// Detaches the gradient, configures both layers from the properties and appends the
    /// gradient to the parent, when there is one.
    void redraw();

private:
    std::shared_ptr<CAShapeLayer> maskingLayer_ = CAShapeLayer::make();
    std::shared_ptr<CAGradientLayer> gradientLayer_ = CAGradientLayer::make();
    std::shared_ptr<CALayer> parentLayer_;
    CGPoint startPoint_{0.0, 0.5};
    CGPoint endPoint_{1.0, 0.5};
    CGFloat lineWidth_ = 0.0;
    std::shared_ptr<NSColor> strokeColor_ = NSColor::blackColor();
    std::shared_ptr<NSColor> fillColor_ = NSColor::blackColor();
    CGRect bounds_;
    std::vector<std::shared_ptr<NSColor>> colors_;
    CAShapeLayerLineCap lineCap_ = CAShapeLayerLineCap::butt;
    CAShapeLayerLineJoin lineJoin_ = CAShapeLayerLineJoin::bevel;
    std::shared_ptr<NSBezierPath> path_;
    CGFloat lineDashPhase_ = 0.0;
    std::optional<std::vector<CGFloat>> lineDashPattern_;
};

}  // namespace ZododuvoZoz
