#pragma once
// A window's background: white in the light appearance, see-through in the dark one.
#include <memory>

#include "AppKit/NSView.hpp"

namespace ZododuvoZoz {

class WindowContentView : public NSView {
public:
    explicit WindowContentView(CGRect frame = {}) : NSView(frame) {}
    static std::shared_ptr<WindowContentView> make(CGRect frame = {}) {
        return std::make_shared<WindowContentView>(frame);
    }

    /// Replaces what lies under the view with white, or with nothing in the dark.
    void draw(const CGRect& dirtyRect) override;
    void viewDidChangeEffectiveAppearance() override { setNeedsDisplay(); }
};

}  // namespace ZododuvoZoz
