#pragma once
// Straight progress bars drawn with two shape layers kept for life: a track that fills the whole
// view and a progress line as thick as the view, growing from the left (or, for the vertical bar,
// from the bottom) to the stroke end `value`. The view's layer clips both to its rounded corners.
// Every setter stores the value and lays the bar out at once; values are shown as given (the
// drawing stops at a full bar).
#include <memory>
#include <optional>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSView.hpp"
#include "QuartzCore/CAShapeLayer.hpp"

namespace ZododuvoZoz {

/// A bar in one colour over a track of the same colour at `alpha`, with round ends or none.
class ProgressView : public NSView {
public:
    explicit ProgressView(CGRect frame = {});
    static std::shared_ptr<ProgressView> make(CGRect frame = {}) { return std::make_shared<ProgressView>(frame); }

    const std::shared_ptr<CAShapeLayer>& bgLayer() const { return bgLayer_; }
    const std::shared_ptr<CAShapeLayer>& progressLayer() const { return progressLayer_; }

    /// Teal by default.
    virtual std::shared_ptr<NSColor> color() const { return color_; }
    virtual void setColor(const std::shared_ptr<NSColor>& color);
    /// Corners of half the height (true) or square ones.
    virtual bool roundCorners() const { return roundCorners_; }
    virtual void setRoundCorners(bool round);
    /// The track's alpha (0.2).
    virtual CGFloat alpha() const { return alpha_; }
    virtual void setAlpha(CGFloat alpha);
    virtual CGFloat value() const { return value_; }
    virtual void setValue(CGFloat value);

    /// Makes the view layer-backed, clipping to its bounds, with the track under the progress.
    virtual void setup();
    void layout() override;

private:
    std::shared_ptr<CAShapeLayer> bgLayer_ = CAShapeLayer::make();
    std::shared_ptr<CAShapeLayer> progressLayer_ = CAShapeLayer::make();
    std::shared_ptr<NSColor> color_;
    bool roundCorners_ = true;
    CGFloat alpha_ = 0.2;
    CGFloat value_ = 0;
};

/// A bar in an optional colour: without one, the accent colour over the quaternary label colour;
/// with one, that colour over itself at alpha 0.22.
class HorizontalProgressView : public NSView {
public:
    explicit HorizontalProgressView(CGRect frame = {});
    static std::shared_ptr<HorizontalProgressView> make(CGRect frame = {}) {
        return std::make_shared<HorizontalProgressView>(frame);
    }

    const std::shared_ptr<CAShapeLayer>& bgLayer() const { return bgLayer_; }
    const std::shared_ptr<CAShapeLayer>& progressLayer() const { return progressLayer_; }

    virtual CGFloat value() const { return value_; }
    virtual void setValue(CGFloat value);
    virtual std::shared_ptr<NSColor> color() const { return color_; }
    virtual void setColor(const std::shared_ptr<NSColor>& color);
    /// The view's corner radius (4 points).
    virtual CGFloat cornerRadius() const { return cornerRadius_; }
    virtual void setCornerRadius(CGFloat radius);

    virtual void setup();
    void layout() override;

private:
    std::shared_ptr<CAShapeLayer> bgLayer_ = CAShapeLayer::make();
    std::shared_ptr<CAShapeLayer> progressLayer_ = CAShapeLayer::make();
    CGFloat value_ = 0;
    std::shared_ptr<NSColor> color_;
    CGFloat cornerRadius_ = 4;
};

/// A bar filling upwards in the accent colour over the quaternary label colour.
class VerticalProgressView : public NSView {
public:
    explicit VerticalProgressView(CGRect frame = {});
    static std::shared_ptr<VerticalProgressView> make(CGRect frame = {}) {
        return std::make_shared<VerticalProgressView>(frame);
    }

    const std::shared_ptr<CAShapeLayer>& bgLayer() const { return bgLayer_; }
    const std::shared_ptr<CAShapeLayer>& progressLayer() const { return progressLayer_; }

    virtual CGFloat value() const { return value_; }
    virtual void setValue(CGFloat value);
    /// The view's corner radius (4 points).
    virtual CGFloat cornerRadius() const { return cornerRadius_; }
    virtual void setCornerRadius(CGFloat radius);

    virtual void setup();
    void layout() override;

private:
    std::shared_ptr<CAShapeLayer> bgLayer_ = CAShapeLayer::make();
    std::shared_ptr<CAShapeLayer> progressLayer_ = CAShapeLayer::make();
    CGFloat value_ = 0;
    CGFloat cornerRadius_ = 4;
};

}  // namespace ZododuvoZoz
