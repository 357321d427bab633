#pragma once
// A view whose two lower corners are rounded while the upper ones stay square, through a mask
// on its layer made anew on every layout.
#include <memory>

#include "AppKit/NSView.hpp"

namespace ZododuvoZoz {

class ClipView : public NSView {
public:
    explicit ClipView(CGRect frame = {});
    static std::shared_ptr<ClipView> make(CGRect frame = {}) { return std::make_shared<ClipView>(frame); }

    /// 8 points; setting it lays the view out at once.
    virtual CGFloat radius() const { return radius_; }
    virtual void setRadius(CGFloat radius);
    /// Makes the view layer-backed and gives its layer a new mask of the outline.
    virtual void clip();

    void layout() override;

private:
    CGFloat radius_ = 8;
};

}  // namespace ZododuvoZoz
