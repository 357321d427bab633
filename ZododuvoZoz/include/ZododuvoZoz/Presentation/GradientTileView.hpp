#pragma once
// A card filled with a diagonal colour gradient (from the bottom-left to the top-right corner),
// rounded by 8 under a thin border, with an optional shadow. Its look is rebuilt on every layout
// and every change of its colours, border or shadow.
#include <memory>
#include <vector>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSView.hpp"

namespace ZododuvoZoz {

class GradientTileView;

/// Kept for the owner of a gradient tile; the tile never calls it.
class GradientTileViewDelegate {
public:
    virtual ~GradientTileViewDelegate() = default;
    virtual void gradientTileClicked(GradientTileView& /*tile*/) {}
};

class GradientTileView : public NSView {
public:
    explicit GradientTileView(CGRect frame = {});
    static std::shared_ptr<GradientTileView> make(CGRect frame = {}) { return std::make_shared<GradientTileView>(frame); }

    /// Keeps clicks from the views behind.
    virtual bool disableInteraction() const { return disableInteraction_; }
    virtual void setDisableInteraction(bool disable) { disableInteraction_ = disable; }
    /// RGB 145, 106, 223 and RGB 210, 103, 130, both at alpha 0.5, unless set; setting redraws.
    virtual const std::vector<std::shared_ptr<NSColor>>& colors() const { return colors_; }
    virtual void setColors(const std::vector<std::shared_ptr<NSColor>>& colors);
    /// Gray at alpha 0.4 unless set; setting redraws.
    virtual std::shared_ptr<NSColor> borderColor() const { return borderColor_; }
    virtual void setBorderColor(const std::shared_ptr<NSColor>& color);
    /// One device pixel unless set; setting redraws.
    virtual CGFloat borderThickness() const { return borderThickness_; }
    virtual void setBorderThickness(CGFloat thickness);
    /// False unless set; setting redraws.
    virtual bool drawShadow() const { return drawShadow_; }
    virtual void setDrawShadow(bool draw);
    /// Held weakly.
    virtual std::shared_ptr<GradientTileViewDelegate> delegate() const { return delegate_.lock(); }
    virtual void setDelegate(const std::shared_ptr<GradientTileViewDelegate>& delegate) { delegate_ = delegate; }

    virtual void redraw();

    void layout() override;
    void mouseDown(const NSEvent& event) override;

private:
    bool disableInteraction_ = false;
    std::vector<std::shared_ptr<NSColor>> colors_;
    std::shared_ptr<NSColor> borderColor_;
    CGFloat borderThickness_;
    bool drawShadow_ = false;
    std::weak_ptr<GradientTileViewDelegate> delegate_;
};

}  // namespace ZododuvoZoz
