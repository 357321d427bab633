#pragma once
// A transparent view that clicks pass through, raining confetti from its top edge once started:
// one emitter cell per colour, each showing the content image tinted in its colour.
#include <memory>
#include <vector>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSImage.hpp"
#include "AppKit/NSView.hpp"
#include "QuartzCore/CAEmitterLayer.hpp"

namespace ZododuvoZoz {

class ConfettiView : public NSView {
public:
    explicit ConfettiView(CGRect frame = {});
    static std::shared_ptr<ConfettiView> make(CGRect frame = {}) { return std::make_shared<ConfettiView>(frame); }

    bool isActive() const { return isActive_; }
    const std::shared_ptr<CAEmitterLayer>& emitterLayer() const { return emitterLayer_; }
    /// Six colours unless set: RGB 0, 198, 218; 253, 237, 0; 187, 0, 92; 223, 162, 0; 192, 204,
    /// 41; 152, 82, 148. Used at the next start.
    const std::vector<std::shared_ptr<NSColor>>& colors() const { return colors_; }
    void setColors(const std::vector<std::shared_ptr<NSColor>>& colors) { colors_ = colors; }
    /// The particle image; none unless set. While active, a new one starts the confetti anew with it.
    virtual std::shared_ptr<NSImage> content() const { return content_; }
    virtual void setContent(const std::shared_ptr<NSImage>& content);

    /// Starts the confetti along the top edge, centred on the view's width at that moment; nothing
    /// when it is already running. The emitter becomes the view's layer, and the confetti runs
    /// until the view goes away.
    virtual void start();
    /// Only allows start() again, which then builds new cells; the confetti runs on.
    virtual void stop();

    bool isFlipped() const override { return true; }
    /// Keeps the emitter's line as wide as the view.
    void layout() override;
    /// Never hit: clicks reach the views behind.
    std::shared_ptr<NSView> hitTest(const CGPoint& point) override;
    void mouseDown(const NSEvent& event) override;

private:
    bool isActive_ = false;
    std::shared_ptr<CAEmitterLayer> emitterLayer_ = CAEmitterLayer::make();
    std::vector<std::shared_ptr<NSColor>> colors_;
    std::shared_ptr<NSImage> content_;
};

}  // namespace ZododuvoZoz
