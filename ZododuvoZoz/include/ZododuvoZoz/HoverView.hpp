#pragma once
// A view that lights up while the pointer is over it: a rounded fill in the hover colour. It
// follows the pointer only when built from an interface description (awakeFromNib adds its
// tracking area). It keeps a delegate for its owner and never calls it.
#include <memory>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSView.hpp"
#include "ZododuvoZoz/TileViewDelegate.hpp"

namespace ZododuvoZoz {

class HoverView : public NSView {
public:
    explicit HoverView(CGRect frame = {}) : NSView(frame) {}
    static std::shared_ptr<HoverView> make(CGRect frame = {}) { return std::make_shared<HoverView>(frame); }

    bool mouseOver() const { return mouseOver_; }
    /// 8 points; setting it redraws. The highlight keeps its own corner radius of 4.
    virtual CGFloat radius() const { return radius_; }
    virtual void setRadius(CGFloat radius);
    /// True; while false the view does not change on hover.
    virtual bool enableHover() const { return enableHover_; }
    virtual void setEnableHover(bool enable) { enableHover_ = enable; }
    /// Held weakly.
    virtual std::shared_ptr<TileViewDelegate> delegate() const { return delegate_.lock(); }
    virtual void setDelegate(const std::shared_ptr<TileViewDelegate>& delegate) { delegate_ = delegate; }
    /// The system highlight colour.
    virtual std::shared_ptr<NSColor> hoverColor() const { return hoverColor_; }
    virtual void setHoverColor(const std::shared_ptr<NSColor>& color) { hoverColor_ = color; }
    /// Drops the highlight (when hovering is enabled).
    virtual void resetHover();

    void awakeFromNib() override;
    void mouseEntered(const NSEvent& event) override;
    void mouseExited(const NSEvent& event) override;
    void viewDidChangeEffectiveAppearance() override;
    void draw(const CGRect& dirtyRect) override;

private:
    bool mouseOver_ = false;
    CGFloat radius_ = 8;
    bool enableHover_ = true;
    std::weak_ptr<TileViewDelegate> delegate_;
    std::shared_ptr<NSColor> hoverColor_ = NSColor::highlightColor();
};

}  // namespace ZododuvoZoz
