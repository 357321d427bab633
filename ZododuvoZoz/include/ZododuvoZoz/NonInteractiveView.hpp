#pragma once
// A view the pointer passes through: no point hits it or its subviews, so presses reach the views
// behind it.
#include <memory>

#include "AppKit/NSView.hpp"

namespace ZododuvoZoz {

class NonInteractiveView : public NSView {
public:
    explicit NonInteractiveView(CGRect frame = {}) : NSView(frame) {}
    static std::shared_ptr<NonInteractiveView> make(CGRect frame = {}) {
        return std::make_shared<NonInteractiveView>(frame);
    }

    std::shared_ptr<NSView> hitTest(const CGPoint&) override { return nullptr; }
};

}  // namespace ZododuvoZoz
