#pragma once
// A card: a white (in the dark, nearly black) rounded layer casting a soft shadow. It takes its
// look once it is in a superview, its appearance changes or a property is set.
#include <memory>

#include "AppKit/NSView.hpp"

namespace ZododuvoZoz {

class ShadowView : public NSView {
public:
    explicit ShadowView(CGRect frame = {}) : NSView(frame) {}
    static std::shared_ptr<ShadowView> make(CGRect frame = {}) { return std::make_shared<ShadowView>(frame); }

    /// 8 points.
    virtual CGFloat cornerRadius() const { return cornerRadius_; }
    virtual void setCornerRadius(CGFloat radius);
    /// 20 points.
    virtual CGFloat shadowRadius() const { return shadowRadius_; }
    virtual void setShadowRadius(CGFloat radius);
    virtual void applyShadow();

    void viewDidMoveToSuperview() override;
    void viewDidChangeEffectiveAppearance() override;

private:
    CGFloat cornerRadius_ = 8;
    CGFloat shadowRadius_ = 20;
};

}  // namespace ZododuvoZoz
