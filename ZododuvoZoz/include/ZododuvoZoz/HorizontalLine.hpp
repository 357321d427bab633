#pragma once
// A hairline across the middle of the view.
#include <memory>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSView.hpp"

namespace ZododuvoZoz {

class HorizontalLine : public NSView {
public:
    explicit HorizontalLine(CGRect frame = {});
    static std::shared_ptr<HorizontalLine> make(CGRect frame = {}) { return std::make_shared<HorizontalLine>(frame); }

    /// Two device pixels.
    virtual CGFloat lineWidth() const { return lineWidth_; }
    virtual void setLineWidth(CGFloat width);
    /// The system tertiary label colour.
    virtual std::shared_ptr<NSColor> color() const { return color_; }
    virtual void setColor(const std::shared_ptr<NSColor>& color);

    void viewDidChangeEffectiveAppearance() override;
    /// A line of lineWidth whose upper edge runs along the middle of the view.
    void draw(const CGRect& dirtyRect) override;

private:
    CGFloat lineWidth_;
    std::shared_ptr<NSColor> color_ = NSColor::tertiaryLabelColor();
};

}  // namespace ZododuvoZoz
