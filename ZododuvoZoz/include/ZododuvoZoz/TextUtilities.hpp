#pragma once
// Text attributes for labels drawn by the controls.
#include <memory>

#include "AppKit/NSAttributedString.hpp"

namespace ZododuvoZoz {

class TextUtilities {
public:
    TextUtilities() = delete;

    /// Exactly three attributes: the (bold) system font of the size, the colour, and a copy of the
    /// default paragraph style with the alignment.
    static NSAttributes attributes(NSTextAlignment alignment, const std::shared_ptr<NSColor>& color, bool bold,
                                   CGFloat fontSize);
};

}  // namespace ZododuvoZoz
