#pragma once
// An ordinary button that acts as a link: over it the pointer takes the pointing hand while the
// button is enabled, and the arrow while it is disabled.
#include <memory>

#include "AppKit/NSButton.hpp"

namespace ZododuvoZoz {

class LinkButton : public NSButton {
public:
    explicit LinkButton(CGRect frame = {}) : NSButton(frame) {}
    static std::shared_ptr<LinkButton> make(CGRect frame = {}) { return std::make_shared<LinkButton>(frame); }

    void resetCursorRects() override;
};

}  // namespace ZododuvoZoz
