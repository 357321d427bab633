#pragma once
// A rounded border drawn as a gradient: a gradient layer masked by the stroke of the bounds'
// rounded outline, rebuilt on every layout. The stroke is centred on the edge, so its inner half
// shows.
#include <memory>
#include <vector>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSView.hpp"
#include "QuartzCore/CAGradientLayer.hpp"

namespace ZododuvoZoz {

class GradientBorderView : public NSView {
public:
    explicit GradientBorderView(CGRect frame = {});
    static std::shared_ptr<GradientBorderView> make(CGRect frame = {}) {
        return std::make_shared<GradientBorderView>(frame);
    }

    const std::shared_ptr<CAGradientLayer>& gradientLayer() const { return gradientLayer_; }

    // Each setter stores the value and lays the view out at once.
    /// The teal-to-cyan preset's colours.
    virtual const std::vector<std::shared_ptr<NSColor>>& colors() const { return colors_; }
    virtual void setColors(const std::vector<std::shared_ptr<NSColor>>& colors);
    /// 8 points.
    virtual CGFloat cornerRadius() const { return cornerRadius_; }
    virtual void setCornerRadius(CGFloat radius);
    /// Four device pixels.
    virtual CGFloat lineWidth() const { return lineWidth_; }
    virtual void setLineWidth(CGFloat width);
    /// Rounds the layer and puts the gradient, under a new mask, into it.
    virtual void drawBorder();

    void awakeFromNib() override;
    void layout() override;

private:
    std::shared_ptr<CAGradientLayer> gradientLayer_;
    std::vector<std::shared_ptr<NSColor>> colors_;
    CGFloat cornerRadius_ = 8;
    CGFloat lineWidth_;
};

}  // namespace ZododuvoZoz
