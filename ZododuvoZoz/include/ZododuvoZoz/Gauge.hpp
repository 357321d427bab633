#pragma once
// A ring gauge of 270 degrees, open at the bottom: a faint track and a coloured arc that grows
// clockwise from the lower left as the value goes from 0 to 1. Drawn with two shape layers that
// every layout throws away and builds again.
#include <memory>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSView.hpp"
#include "QuartzCore/CAShapeLayer.hpp"

namespace ZododuvoZoz {

class Gauge : public NSView {
public:
    explicit Gauge(CGRect frame = {});
    static std::shared_ptr<Gauge> make(CGRect frame = {}) { return std::make_shared<Gauge>(frame); }

    /// The track and progress layers of the last layout; none before the first.
    const std::shared_ptr<CAShapeLayer>& backgroundLayer() const { return backgroundLayer_; }
    const std::shared_ptr<CAShapeLayer>& progressLayer() const { return progressLayer_; }

    /// The arc's colour, and at alpha 0.1 the track's; without one the track is invisible and the
    /// arc teal. Setting it lays the gauge out at once.
    virtual std::shared_ptr<NSColor> color() const { return color_; }
    virtual void setColor(const std::shared_ptr<NSColor>& color);
    /// The stroke width of both arcs (5 points); setting it lays the gauge out at once.
    virtual CGFloat lineWidth() const { return lineWidth_; }
    virtual void setLineWidth(CGFloat width);
    /// The fraction shown. A new value is clamped to 0...1 and lays the gauge out at once; a value
    /// equal to the stored one changes nothing.
    virtual CGFloat value() const { return mValue_; }
    virtual void setValue(CGFloat value);

    void awakeFromNib() override;
    void layout() override;
    virtual void drawBackground();
    virtual void drawProgress();

private:
    std::shared_ptr<CAShapeLayer> makeArcLayer() const;

    std::shared_ptr<CAShapeLayer> backgroundLayer_;
    std::shared_ptr<CAShapeLayer> progressLayer_;
    CGFloat mValue_ = 0;
    std::shared_ptr<NSColor> color_;
    CGFloat lineWidth_ = 5;
};

}  // namespace ZododuvoZoz
