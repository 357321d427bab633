#pragma once
// A rounded box: a layer with a background colour and an optional border, styled anew whenever a
// property or the appearance changes.
#include <memory>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSView.hpp"

namespace ZododuvoZoz {

class RoundView : public NSView {
public:
    explicit RoundView(CGRect frame = {});
    static std::shared_ptr<RoundView> make(CGRect frame = {}) { return std::make_shared<RoundView>(frame); }

    /// The system secondary label colour.
    virtual std::shared_ptr<NSColor> color() const { return color_; }
    virtual void setColor(const std::shared_ptr<NSColor>& color);
    /// 0.5 points.
    virtual CGFloat lineWidth() const { return lineWidth_; }
    virtual void setLineWidth(CGFloat width);
    /// 8 points.
    virtual CGFloat radius() const { return radius_; }
    virtual void setRadius(CGFloat radius);
    /// None: no border is drawn.
    virtual std::shared_ptr<NSColor> borderColor() const { return borderColor_; }
    virtual void setBorderColor(const std::shared_ptr<NSColor>& color);
    virtual void applyStyle();

    void viewDidChangeEffectiveAppearance() override;

private:
    std::shared_ptr<NSColor> color_ = NSColor::secondaryLabelColor();
    CGFloat lineWidth_ = 0.5;
    CGFloat radius_ = 8;
    std::shared_ptr<NSColor> borderColor_;
};

}  // namespace ZododuvoZoz
