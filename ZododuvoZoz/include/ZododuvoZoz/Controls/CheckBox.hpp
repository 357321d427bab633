#pragma once
// A three-state check box drawn with two shape layers: a rounded box in the accent colour (grey
// when off) and a white mark, a check when on and a dash when mixed. A click moves it from mixed or
// on to off and from off to on, and tells the delegate the new state. Changes show without
// animation. The host sizes it; the drawing follows the bounds (redrawn on every layout) and
// expects a square.
#include <memory>

#include "AppKit/NSControl.hpp"
#include "AppKit/NSView.hpp"
#include "CoreGraphics/CGPath.hpp"
#include "QuartzCore/CAShapeLayer.hpp"

namespace ZododuvoZoz {

/// Hears the state a check box took on a click (also when a state outside on, off and mixed stayed
/// as it was).
class CheckBoxDelegate {
public:
    virtual ~CheckBoxDelegate() = default;
    virtual void checkBox(NSControl::StateValue didChangeState) = 0;
};

class CheckBox : public NSView {
public:
    /// Builds the layers and draws them at once.
    explicit CheckBox(CGRect frame = {});
    static std::shared_ptr<CheckBox> make(CGRect frame = {}) { return std::make_shared<CheckBox>(frame); }

    /// The rounded box.
    const std::shared_ptr<CAShapeLayer>& shapeLayer() const { return shapeLayer_; }
    /// The mark: a check or a dash.
    const std::shared_ptr<CAShapeLayer>& imageLayer() const { return imageLayer_; }

    /// Mixed at first. Setting another value redraws without animation; setting the same one does
    /// nothing more.
    virtual NSControl::StateValue state() const { return state_; }
    virtual void setState(NSControl::StateValue state);
    /// Held weakly; none.
    virtual std::shared_ptr<CheckBoxDelegate> delegate() const { return delegate_.lock(); }
    virtual void setDelegate(const std::shared_ptr<CheckBoxDelegate>& delegate) { delegate_ = delegate; }
    /// Whether clicks change the state; true. Setting it redraws (the look does not change).
    virtual bool isEnabled() const { return isEnabled_; }
    virtual void setEnabled(bool enabled);

    virtual void redraw();
    /// The check, in the bounds with y growing upwards.
    virtual CGPath checkMarkPath() const;
    /// A dash across the middle half.
    virtual CGPath mixedPath() const;

    /// Redraws for the bounds the view was given.
    void layout() override;
    void viewDidChangeEffectiveAppearance() override;
    /// The pointing hand over the whole box, enabled or not.
    void resetCursorRects() override;
    void mouseDown(const NSEvent& event) override;

private:
    void redrawWithoutAnimation();

    std::shared_ptr<CAShapeLayer> shapeLayer_ = CAShapeLayer::make();
    std::shared_ptr<CAShapeLayer> imageLayer_ = CAShapeLayer::make();
    NSControl::StateValue state_ = NSControl::StateValue::mixed();
    std::weak_ptr<CheckBoxDelegate> delegate_;
    bool isEnabled_ = true;
};

}  // namespace ZododuvoZoz
