#pragma once
// A rounded card drawn in draw(_:): a shade that deepens while the pointer is over it and a ring
// in the link colour while it is selected. It tells its delegate of clicks and of the pointer
// entering and leaving; the owner decides what is selected. It follows the pointer only when built
// from an interface description (awakeFromNib adds its tracking area).
#include <memory>

#include "AppKit/NSView.hpp"
#include "ZododuvoZoz/TileViewDelegate.hpp"

namespace ZododuvoZoz {

class TileView : public NSView {
public:
    explicit TileView(CGRect frame = {}) : NSView(frame) {}
    static std::shared_ptr<TileView> make(CGRect frame = {}) { return std::make_shared<TileView>(frame); }

    /// Whether the pointer is inside (while hovering is enabled).
    bool mouseOver() const { return mouseOver_; }
    /// 8 unless set; setting it redisplays.
    virtual CGFloat radius() const { return radius_; }
    virtual void setRadius(CGFloat radius);
    /// Setting it redisplays.
    virtual bool isSelected() const { return isSelected_; }
    virtual void setSelected(bool selected);
    /// Keeps clicks from the views behind (the delegate still hears them).
    virtual bool disableInteraction() const { return disableInteraction_; }
    virtual void setDisableInteraction(bool disable) { disableInteraction_ = disable; }
    /// True unless set; while false the tile neither changes on hover nor reports it.
    virtual bool enableHover() const { return enableHover_; }
    virtual void setEnableHover(bool enable) { enableHover_ = enable; }
    /// True unless set: clicks are reported to the delegate.
    virtual bool isSelectable() const { return isSelectable_; }
    virtual void setSelectable(bool selectable) { isSelectable_ = selectable; }
    /// Held weakly.
    virtual std::shared_ptr<TileViewDelegate> delegate() const { return delegate_.lock(); }
    virtual void setDelegate(const std::shared_ptr<TileViewDelegate>& delegate) { delegate_ = delegate; }
    /// Drops the hover shade (while hovering is enabled).
    virtual void resetHover();

    void awakeFromNib() override;
    void viewDidChangeEffectiveAppearance() override;
    void mouseEntered(const NSEvent& event) override;
    void mouseExited(const NSEvent& event) override;
    void mouseDown(const NSEvent& event) override;
    void draw(const CGRect& dirtyRect) override;

private:
    bool mouseOver_ = false;
    CGFloat radius_ = 8;
    bool isSelected_ = false;
    bool disableInteraction_ = false;
    bool enableHover_ = true;
    bool isSelectable_ = true;
    std::weak_ptr<TileViewDelegate> delegate_;
};

}  // namespace ZododuvoZoz
