#pragma once
// A layer-drawn card: a translucent background, a soft shadow in the light appearance, and a
// border for selection or hover, or, in the shift mode, a small move to the left while the
// pointer is over it. It tells its delegate of clicks and of the pointer entering and leaving; the
// owner decides what is selected. It follows the pointer in the key window through one tracking
// area over its bounds, made anew on every layout; make() gives it the first one.
#include <memory>
#include <optional>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSTrackingArea.hpp"
#include "AppKit/NSView.hpp"

namespace ZododuvoZoz {

class SimpleTileView;

class SimpleTileViewDelegate {
public:
    virtual ~SimpleTileViewDelegate() = default;
    virtual void tileClicked(SimpleTileView& /*tile*/) {}
    virtual void tileEntered(SimpleTileView& /*tile*/) {}
    virtual void tileExited(SimpleTileView& /*tile*/) {}
};

/// How a tile shows the pointer over it: a border, or a move to the left.
enum class HoverDisplayMode { rectangle = 0, shift = 1 };
int rawValue(HoverDisplayMode mode);
std::optional<HoverDisplayMode> hoverDisplayModeFrom(int rawValue);

class SimpleTileView : public NSView {
public:
    explicit SimpleTileView(CGRect frame = {});
    /// A tile that tracks the pointer over its bounds.
    static std::shared_ptr<SimpleTileView> make(CGRect frame = {});

    const std::shared_ptr<NSTrackingArea>& trackingArea() const { return trackingArea_; }
    bool isMouseEntered() const { return isMouseEntered_; }

    /// Clicks are neither passed on nor reported.
    virtual bool disableInteraction() const { return disableInteraction_; }
    virtual void setDisableInteraction(bool disable) { disableInteraction_ = disable; }
    /// Held weakly.
    virtual std::shared_ptr<SimpleTileViewDelegate> delegate() const { return delegate_.lock(); }
    virtual void setDelegate(const std::shared_ptr<SimpleTileViewDelegate>& delegate) { delegate_ = delegate; }
    /// The hover border's colour (system blue at alpha 0.75 when absent) and width (2 when absent).
    virtual std::shared_ptr<NSColor> borderColor() const { return borderColor_; }
    virtual void setBorderColor(const std::shared_ptr<NSColor>& color) { borderColor_ = color; }
    virtual std::optional<CGFloat> borderWidth() const { return borderWidth_; }
    virtual void setBorderWidth(std::optional<CGFloat> width) { borderWidth_ = width; }
    /// The selection border's colour (system blue when absent) and width (3 when absent).
    virtual std::shared_ptr<NSColor> selectionColor() const { return selectionColor_; }
    virtual void setSelectionColor(const std::shared_ptr<NSColor>& color) { selectionColor_ = color; }
    virtual std::optional<CGFloat> selectionWidth() const { return selectionWidth_; }
    virtual void setSelectionWidth(std::optional<CGFloat> width) { selectionWidth_ = width; }
    /// rectangle unless set.
    virtual HoverDisplayMode hoverDisplayMode() const { return hoverDisplayMode_; }
    virtual void setHoverDisplayMode(HoverDisplayMode mode) { hoverDisplayMode_ = mode; }
    /// False unless set: the tile does not show the pointer over it.
    virtual bool allowHover() const { return allowHover_; }
    virtual void setAllowHover(bool allow) { allowHover_ = allow; }
    /// False unless set; setting it redraws.
    virtual bool enableSelection() const { return enableSelection_; }
    virtual void setEnableSelection(bool enable);
    /// Setting it redraws; shown only while selection is enabled.
    virtual bool isSelected() const { return isSelected_; }
    virtual void setSelected(bool selected);

    /// Drops the hover border (while hovering is allowed).
    virtual void resetHover();
    /// Unselected, without hover, laid out anew.
    virtual void reset();
    /// The layer back in place, or moved 8 points to the left (about the frame's centre).
    virtual void unshift();
    virtual void shift();
    /// Rebuilds the look in the view's appearance.
    virtual void redraw();

    void layout() override;
    void mouseDown(const NSEvent& event) override;
    void mouseEntered(const NSEvent& event) override;
    void mouseExited(const NSEvent& event) override;

private:
    void replaceTrackingArea();
    void translate(CGFloat x);
    void hoverChanged(bool entered);

    std::shared_ptr<NSTrackingArea> trackingArea_;
    bool isMouseEntered_ = false;
    bool disableInteraction_ = false;
    std::weak_ptr<SimpleTileViewDelegate> delegate_;
    std::shared_ptr<NSColor> borderColor_;
    std::optional<CGFloat> borderWidth_;
    std::shared_ptr<NSColor> selectionColor_;
    std::optional<CGFloat> selectionWidth_;
    HoverDisplayMode hoverDisplayMode_ = HoverDisplayMode::rectangle;
    bool allowHover_ = false;
    bool enableSelection_ = false;
    bool isSelected_ = false;
};

}  // namespace ZododuvoZoz
