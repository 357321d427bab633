#pragma once
// A full-circle ring gauge: a track in the quaternary label colour and, over it, a ring in the
// accent colour that fills clockwise from the top as the value goes from 0 to 1. The rings touch
// the view's edges less one point. Two shape layers, made once, attached and set up again on
// every layout.
#include <memory>

#include "AppKit/NSView.hpp"
#include "QuartzCore/CAShapeLayer.hpp"

namespace ZododuvoZoz {

class GaugeView : public NSView {
public:
    explicit GaugeView(CGRect frame = {}) : NSView(frame) {}
    static std::shared_ptr<GaugeView> make(CGRect frame = {}) { return std::make_shared<GaugeView>(frame); }

    const std::shared_ptr<CAShapeLayer>& backgroundLayer() const { return backgroundLayer_; }
    const std::shared_ptr<CAShapeLayer>& progressLayer() const { return progressLayer_; }

    /// The stroke width of both rings (8 points); setting it lays the gauge out at once.
    virtual CGFloat lineWidth() const { return lineWidth_; }
    virtual void setLineWidth(CGFloat width);
    /// Round ends on the progress ring (true), else butt ends; setting it lays the gauge out.
    virtual bool useRoundCap() const { return useRoundCap_; }
    virtual void setUseRoundCap(bool round);
    /// The fraction shown. A new value is clamped to 0...1 and sets the layers up again; a value
    /// equal to the stored one changes nothing.
    virtual CGFloat value() const { return mValue_; }
    virtual void setValue(CGFloat value);

    void layout() override;
    /// Makes the view layer-backed, puts both layers on its layer (track below) and draws them.
    virtual void setupLayers();
    virtual void drawBackground();
    virtual void drawProgress();

private:
    std::shared_ptr<CAShapeLayer> backgroundLayer_ = CAShapeLayer::make();
    std::shared_ptr<CAShapeLayer> progressLayer_ = CAShapeLayer::make();
    CGFloat mValue_ = 0;
    CGFloat lineWidth_ = 8;
    bool useRoundCap_ = true;
};

}  // namespace ZododuvoZoz
