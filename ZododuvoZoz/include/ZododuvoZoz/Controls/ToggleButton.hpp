#pragma once
// A flat button drawn with layers that shows an on state, a rounded highlight while the pointer is
// over it and an optional icon at its left edge. It never changes its own state: its host sets
// isOn, usually when the delegate hears of a click.
#include <functional>
#include <memory>

#include "AppKit/NSButton.hpp"
#include "AppKit/NSColor.hpp"
#include "AppKit/NSImage.hpp"
#include "AppKit/NSTrackingArea.hpp"
#include "QuartzCore/CALayer.hpp"
#include "QuartzCore/CAShapeLayer.hpp"
#include "QuartzCore/CATextLayer.hpp"

namespace ZododuvoZoz {

class ToggleButton;

/// Hears of every mouse-down on a toggle button (unless it ignores clicks) once the press is over,
/// whether it ended inside the button or not and whether the button is enabled or not.
class ToggleButtonDelegate {
public:
    virtual ~ToggleButtonDelegate() = default;
    virtual void toggleButtonClicked(const std::shared_ptr<ToggleButton>& button) = 0;
};

class ToggleButton : public NSButton {
public:
    /// Builds the layers and draws them; make() also starts following the pointer (a button made
    /// otherwise starts at its first layout).
    explicit ToggleButton(CGRect frame = {});
    static std::shared_ptr<ToggleButton> make(CGRect frame = {});

    const std::shared_ptr<CATextLayer>& textLayer() const { return textLayer_; }
    const std::shared_ptr<CAShapeLayer>& backgroundLayer() const { return backgroundLayer_; }
    const std::shared_ptr<CALayer>& imageLayer() const { return imageLayer_; }
    /// The area over the bounds that tells the button of the pointer; replaced on every layout.
    const std::shared_ptr<NSTrackingArea>& trackingArea() const { return trackingArea_; }

    /// The size the icon is drawn at; 0 by 0, which shows no icon. Used from the next redraw.
    virtual CGSize iconSize() const { return iconSize_; }
    virtual void setIconSize(CGSize size) { iconSize_ = size; }
    /// Held weakly; none.
    virtual std::shared_ptr<ToggleButtonDelegate> delegate() const { return delegate_.lock(); }
    virtual void setDelegate(const std::shared_ptr<ToggleButtonDelegate>& delegate) { delegate_ = delegate; }
    /// The background in the on state: the module's on colour of the appearance at construction.
    /// Setting it redraws.
    virtual std::shared_ptr<NSColor> onColor() const { return onColor_; }
    virtual void setOnColor(const std::shared_ptr<NSColor>& color);
    /// Whether the hover background shows without the pointer over the button; false. Setting it
    /// redraws.
    virtual bool alwaysShowBackground() const { return alwaysShowBackground_; }
    virtual void setAlwaysShowBackground(bool show);
    /// When set, mouse-downs do nothing at all (no action, no delegate); the hover highlight stays.
    /// Used from the next click.
    virtual bool ignoreClick() const { return ignoreClick_; }
    virtual void setIgnoreClick(bool ignore) { ignoreClick_ = ignore; }
    /// The background while hovered (or always shown): in a dark appearance the quaternary label
    /// colour at alpha 0.4, else (242, 242, 242); a new colour on every read.
    virtual std::shared_ptr<NSColor> hoverColor() const;
    /// The on state; false. Setting it drops the hover highlight and redraws.
    virtual bool isOn() const { return isOn_; }
    virtual void setOn(bool on);
    /// Drawn at iconSize, 4 points from the left edge and centred vertically; none. Setting it
    /// redraws.
    virtual std::shared_ptr<NSImage> icon() const { return icon_; }
    virtual void setIcon(const std::shared_ptr<NSImage>& icon);
    /// Whether the pointer is over the button (as far as the button knows).
    bool hover() const { return hover_; }

    /// Redraws.
    virtual void setup();
    /// The background, the title, then the icon.
    virtual void redraw();
    virtual void drawBackground();
    virtual void drawIcon();
    virtual void drawText();

    void layout() override;
    void mouseDown(const NSEvent& event) override;
    void mouseUp(const NSEvent& event) override;
    void mouseEntered(const NSEvent& event) override;
    void mouseExited(const NSEvent& event) override;
    void viewDidChangeEffectiveAppearance() override;
    /// Draws nothing: the layers show the button.
    void draw(const CGRect& dirtyRect) override;

private:
    void tellDelegate();

    std::shared_ptr<CATextLayer> textLayer_ = CATextLayer::make();
    std::shared_ptr<CAShapeLayer> backgroundLayer_ = CAShapeLayer::make();
    std::shared_ptr<CALayer> imageLayer_ = CALayer::make();
    std::shared_ptr<NSTrackingArea> trackingArea_;
    CGSize iconSize_;
    std::weak_ptr<ToggleButtonDelegate> delegate_;
    bool hover_ = false;
    std::shared_ptr<NSColor> onColor_;
    bool alwaysShowBackground_ = false;
    bool ignoreClick_ = false;
    bool isOn_ = false;
    std::shared_ptr<NSImage> icon_;
    std::function<void()> afterPress_;
};

}  // namespace ZododuvoZoz
