#pragma once
// A view showing an image, centred and scaled to fit as its scaling says. A template image is
// drawn as a shape in the label colour of the view's appearance.
#include <memory>

#include "AppKit/NSControl.hpp"
#include "AppKit/NSImage.hpp"

enum class NSImageScaling {
    /// Shrunk to fit, keeping its proportions; never enlarged.
    scaleProportionallyDown,
    /// Stretched to the bounds.
    scaleAxesIndependently,
    /// Drawn at its own size.
    scaleNone,
    /// Shrunk or enlarged to fit, keeping its proportions.
    scaleProportionallyUpOrDown
};

class NSImageView : public NSControl {
public:
    explicit NSImageView(CGRect frame = {}) : NSControl(frame) {}
    static std::shared_ptr<NSImageView> make(CGRect frame = {}) { return std::make_shared<NSImageView>(frame); }
    /// A view of the image's size showing it.
    static std::shared_ptr<NSImageView> imageViewWithImage(const std::shared_ptr<NSImage>& image);

    std::shared_ptr<NSImage> image() const { return image_; }
    void setImage(const std::shared_ptr<NSImage>& image);
    NSImageScaling imageScaling() const { return imageScaling_; }
    void setImageScaling(NSImageScaling scaling);

    /// Where the image is drawn in the bounds; empty without an image.
    CGRect imageRect() const;

    void draw(const CGRect& dirtyRect) override;
    /// Presses go on to the views behind, so a drag on a picture can move the window.
    void mouseDown(const NSEvent& event) override { NSResponder::mouseDown(event); }
    void mouseDragged(const NSEvent& event) override { NSResponder::mouseDragged(event); }
    void mouseUp(const NSEvent& event) override { NSResponder::mouseUp(event); }
    bool mouseDownCanMoveWindow() const override { return true; }

private:
    std::shared_ptr<NSImage> image_;
    NSImageScaling imageScaling_ = NSImageScaling::scaleProportionallyDown;
};
