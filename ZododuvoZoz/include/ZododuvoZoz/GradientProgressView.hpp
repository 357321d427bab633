#pragma once
// Straight bars whose progress is a horizontal colour gradient seen through a line-shaped mask.
#include <memory>
#include <vector>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSView.hpp"
#include "QuartzCore/CAGradientLayer.hpp"
#include "QuartzCore/CAShapeLayer.hpp"

namespace ZododuvoZoz {

/// Shows its value at once, without animation, over a track in the tertiary label colour; its
/// ends are round.
class GradientProgressView : public NSView {
public:
    explicit GradientProgressView(CGRect frame = {});
    static std::shared_ptr<GradientProgressView> make(CGRect frame = {}) {
        return std::make_shared<GradientProgressView>(frame);
    }

    const std::shared_ptr<CAShapeLayer>& bgLayer() const { return bgLayer_; }
    /// The line that masks the gradient; its stroke end is the value.
    const std::shared_ptr<CAShapeLayer>& progressLayer() const { return progressLayer_; }
    const std::shared_ptr<CAGradientLayer>& gradientLayer() const { return gradientLayer_; }

    /// The gradient's stops from left to right (teal, cyan); setting them lays the bar out.
    virtual const std::vector<std::shared_ptr<NSColor>>& colors() const { return colors_; }
    virtual void setColors(const std::vector<std::shared_ptr<NSColor>>& colors);
    /// The fraction shown, kept within 0...1 (not a number counts as 0); shown at once, without
    /// a layout.
    virtual CGFloat value() const { return mValue_; }
    virtual void setValue(CGFloat value);

    /// Makes the view layer-backed with round ends and puts the track and the gradient on it.
    virtual void setup();
    void layout() override;
    void viewDidChangeEffectiveAppearance() override;

private:
    std::shared_ptr<CAShapeLayer> bgLayer_ = CAShapeLayer::make();
    std::shared_ptr<CAShapeLayer> progressLayer_ = CAShapeLayer::make();
    std::shared_ptr<CAGradientLayer> gradientLayer_ = CAGradientLayer::make();
    CGFloat mValue_ = 0;
    std::vector<std::shared_ptr<NSColor>> colors_;
};

/// Animates every change of value from the old one over `duration`. In indeterminate mode
/// diagonal stripes drift to the left along the bar for ever, until a value above 0 is set.
/// Nothing is drawn before the first layout; every layout plays the last change again.
class AnimatedGradientProgressView : public NSView {
public:
    explicit AnimatedGradientProgressView(CGRect frame = {});
    static std::shared_ptr<AnimatedGradientProgressView> make(CGRect frame = {}) {
        return std::make_shared<AnimatedGradientProgressView>(frame);
    }

    /// The filled track.
    const std::shared_ptr<CAShapeLayer>& bgLayer() const { return bgLayer_; }
    /// The line that masks the gradient; it carries the value animation under "strokeEnd".
    const std::shared_ptr<CAShapeLayer>& progressLayer() const { return progressLayer_; }
    const std::shared_ptr<CAGradientLayer>& gradientLayer() const { return gradientLayer_; }
    /// The stripes of the indeterminate mode; they carry their drift under "movement".
    const std::shared_ptr<CAShapeLayer>& blockLayer() const { return blockLayer_; }

    /// Seconds of the value animation (0.66); takes effect at the next change.
    virtual double duration() const { return duration_; }
    virtual void setDuration(double seconds) { duration_ = seconds; }
    // colors, isIndeterminate, backgroundColor and hasCorners lay the bar out at once when set.
    /// Teal then cyan by default.
    virtual const std::vector<std::shared_ptr<NSColor>>& colors() const { return colors_; }
    virtual void setColors(const std::vector<std::shared_ptr<NSColor>>& colors);
    virtual bool isIndeterminate() const { return isIndeterminate_; }
    virtual void setIndeterminate(bool indeterminate);
    /// The track's fill; the tertiary label colour by default.
    virtual std::shared_ptr<NSColor> backgroundColor() const { return backgroundColor_; }
    virtual void setBackgroundColor(const std::shared_ptr<NSColor>& color);
    /// Round ends (true) or square ends with the fill reaching both edges.
    virtual bool hasCorners() const { return hasCorners_; }
    virtual void setHasCorners(bool corners);
    /// The fraction shown, kept within 0...1 (not a number counts as 0). A value above 0 ends the
    /// indeterminate mode; every set animates from the value before, even an equal one.
    virtual CGFloat value() const { return mValue_; }
    virtual void setValue(CGFloat value);

    /// Empties the bar at once (the next value animates from 0); the mode stays.
    virtual void reset();
    void layout() override;
    virtual void drawLayers();
    virtual void animateProgress();
    virtual void startIndeterminate();

private:
    std::shared_ptr<CAShapeLayer> bgLayer_ = CAShapeLayer::make();
    std::shared_ptr<CAShapeLayer> progressLayer_ = CAShapeLayer::make();
    std::shared_ptr<CAGradientLayer> gradientLayer_ = CAGradientLayer::make();
    std::shared_ptr<CAShapeLayer> blockLayer_ = CAShapeLayer::make();
    CGFloat mValue_ = 0;
    CGFloat mOldValue_ = 0;
    double duration_ = 0.66;
    std::vector<std::shared_ptr<NSColor>> colors_;
    bool isIndeterminate_ = false;
    std::shared_ptr<NSColor> backgroundColor_ = NSColor::tertiaryLabelColor();
    bool hasCorners_ = true;
};

}  // namespace ZododuvoZoz
