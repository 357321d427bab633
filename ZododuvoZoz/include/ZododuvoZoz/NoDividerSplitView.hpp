#pragma once
// A split view whose panes touch: no divider takes room or is drawn.
#include <memory>

#include "AppKit/NSSplitView.hpp"

namespace ZododuvoZoz {

class NoDividerSplitView : public NSSplitView {
public:
    explicit NoDividerSplitView(CGRect frame = {}) : NSSplitView(frame) {}
    static std::shared_ptr<NoDividerSplitView> make(CGRect frame = {}) {
        return std::make_shared<NoDividerSplitView>(frame);
    }

    CGFloat dividerThickness() const override { return 0; }
    void drawDivider(const CGRect&) override {}
};

}  // namespace ZododuvoZoz
