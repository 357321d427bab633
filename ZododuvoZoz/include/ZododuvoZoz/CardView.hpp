#pragma once
// A rounded card in the contrast colour casting a soft shadow, which can grow slightly around its
// centre while the pointer is over it. Its look and its hover area are set up again on every
// layout and whenever a setting changes.
#include <memory>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSTrackingArea.hpp"
#include "AppKit/NSView.hpp"

namespace ZododuvoZoz {

class CardView : public NSView {
public:
    explicit CardView(CGRect frame = {});
    static std::shared_ptr<CardView> make(CGRect frame = {}) { return std::make_shared<CardView>(frame); }

    /// The hover area installed now; none while the card does not enlarge.
    const std::shared_ptr<NSTrackingArea>& trackingArea() const { return trackingArea_; }

    // Setting scalingFactor, duration or enlarges sets the card up again at once.
    /// The growth on hover (0.02): the card scales to 1 + scalingFactor.
    virtual CGFloat scalingFactor() const { return scalingFactor_; }
    virtual void setScalingFactor(CGFloat factor);
    /// Seconds of growing and shrinking (0.6).
    virtual double duration() const { return duration_; }
    virtual void setDuration(double seconds);
    /// Whether the card reacts to the pointer at all (false).
    virtual bool enlarges() const { return enlarges_; }
    virtual void setEnlarges(bool enlarges);

    // Setting these lays the card out at once. The card keeps its corner radius of 8 and its
    // shadow opacity of 0.1 whatever radius and shadowOpacity hold.
    /// 3 points.
    virtual CGFloat radius() const { return radius_; }
    virtual void setRadius(CGFloat radius);
    /// The shadow's horizontal offset (0).
    virtual CGFloat shadowOfSetWidth() const { return shadowOfSetWidth_; }
    virtual void setShadowOfSetWidth(CGFloat offset);
    /// The shadow's vertical offset (5).
    virtual CGFloat shadowOfSetHeight() const { return shadowOfSetHeight_; }
    virtual void setShadowOfSetHeight(CGFloat offset);
    /// Stored only: the shadow's colour follows the appearance (grey 80 in the dark, else black).
    virtual std::shared_ptr<NSColor> shadowColour() const { return shadowColour_; }
    virtual void setShadowColour(const std::shared_ptr<NSColor>& colour) { shadowColour_ = colour; }
    /// Stored only (0.2).
    virtual float shadowOpacity() const { return shadowOpacity_; }
    virtual void setShadowOpacity(float opacity) { shadowOpacity_ = opacity; }

    /// Replaces the hover area (over the bounds, only while the card enlarges) and styles the
    /// layer, making the card and its superview layer-backed.
    virtual void update();
    void layout() override;
    void mouseEntered(const NSEvent& event) override;
    void mouseExited(const NSEvent& event) override;

private:
    void scale(CGFloat factor);

    std::shared_ptr<NSTrackingArea> trackingArea_;
    CGFloat scalingFactor_ = 0.02;
    double duration_ = 0.6;
    bool enlarges_ = false;
    CGFloat radius_ = 3.0;
    CGFloat shadowOfSetWidth_ = 0.0;
    CGFloat shadowOfSetHeight_ = 5.0;
    std::shared_ptr<NSColor> shadowColour_ = NSColor::systemGrayColor();
    float shadowOpacity_ = 0.2f;
};

}  // namespace ZododuvoZoz
