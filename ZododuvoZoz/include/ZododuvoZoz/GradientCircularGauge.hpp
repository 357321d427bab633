#pragma once
// A full-circle ring gauge whose ring is a horizontal colour gradient seen through a ring-shaped
// mask, over a track in `backColor`. Every change of value animates the mask's stroke end from the
// old to the new value; what shows at rest is the end of the last animation, which stays on the
// mask (only an animation to 0 is taken off, leaving the mask's own stroke end of 0).
//
// The layers go onto the view's layer only in awakeFromNib(), as for a view from an interface
// description: a gauge made in code shows nothing until awakeFromNib() is called, and nothing
// until its value has changed once.
#include <memory>
#include <vector>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSView.hpp"
#include "QuartzCore/CAGradientLayer.hpp"
#include "QuartzCore/CAShapeLayer.hpp"

namespace ZododuvoZoz {

class GradientCircularGauge : public NSView {
public:
    explicit GradientCircularGauge(CGRect frame = {});
    static std::shared_ptr<GradientCircularGauge> make(CGRect frame = {}) {
        return std::make_shared<GradientCircularGauge>(frame);
    }

    /// The ring shape: the gradient's mask, which carries the value animation under "strokeEnd".
    const std::shared_ptr<CAShapeLayer>& maskingLayer() const { return maskingLayer_; }
    const std::shared_ptr<CAShapeLayer>& backgroundLayer() const { return backgroundLayer_; }
    const std::shared_ptr<CAGradientLayer>& gradientLayer() const { return gradientLayer_; }

    // backColor, colors, lineWidth and useRoundCap lay the gauge out at once when set.
    /// The track's colour; the tertiary label colour by default.
    virtual std::shared_ptr<NSColor> backColor() const { return backColor_; }
    virtual void setBackColor(const std::shared_ptr<NSColor>& color);
    /// Seconds of the value animation (0.5); takes effect at the next change of value.
    virtual double duration() const { return duration_; }
    virtual void setDuration(double seconds) { duration_ = seconds; }
    /// The gradient's stops from left to right; teal then cyan by default.
    virtual const std::vector<std::shared_ptr<NSColor>>& colors() const { return colors_; }
    virtual void setColors(const std::vector<std::shared_ptr<NSColor>>& colors);
    /// The stroke width of track and ring (5 points).
    virtual CGFloat lineWidth() const { return lineWidth_; }
    virtual void setLineWidth(CGFloat width);
    virtual bool useRoundCap() const { return useRoundCap_; }
    virtual void setUseRoundCap(bool round);
    /// The fraction shown, as given (not clamped). A new value animates from the stored one; an
    /// equal value changes nothing. No layout runs.
    virtual CGFloat value() const { return mValue_; }
    virtual void setValue(CGFloat value);

    void awakeFromNib() override;
    void layout() override;
    virtual void drawBackground();
    virtual void drawProgress();
    virtual void animateProgress();

private:
    std::shared_ptr<CAShapeLayer> maskingLayer_ = CAShapeLayer::make();
    std::shared_ptr<CAShapeLayer> backgroundLayer_ = CAShapeLayer::make();
    std::shared_ptr<CAGradientLayer> gradientLayer_ = CAGradientLayer::make();
    CGFloat mOldValue_ = 0;
    CGFloat mValue_ = 0;
    std::shared_ptr<NSColor> backColor_ = NSColor::tertiaryLabelColor();
    double duration_ = 0.5;
    std::vector<std::shared_ptr<NSColor>> colors_;
    CGFloat lineWidth_ = 5;
    bool useRoundCap_ = true;
};

}  // namespace ZododuvoZoz
