#pragma once
// A pill of colour: a layer filled with the colour, rounded by half its height.
#include <memory>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSView.hpp"

namespace ZododuvoZoz {

class ColorView : public NSView {
public:
    explicit ColorView(CGRect frame = {});
    static std::shared_ptr<ColorView> make(CGRect frame = {}) { return std::make_shared<ColorView>(frame); }

    /// The system separator colour; setting it colours the layer at once.
    virtual std::shared_ptr<NSColor> color() const { return color_; }
    virtual void setColor(const std::shared_ptr<NSColor>& color);
    virtual void applyColor();

    void layout() override;

private:
    std::shared_ptr<NSColor> color_ = NSColor::separatorColor();
};

}  // namespace ZododuvoZoz
