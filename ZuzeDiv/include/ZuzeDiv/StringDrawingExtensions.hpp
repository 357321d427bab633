#pragma once
// Drawing texts into the current graphics context.
#include <optional>
#include <string>

#include "AppKit/NSAttributedString.hpp"

namespace ZuzeDiv {

/// Draws the text with the attributes in the rectangle, centred vertically: same x and width, the
/// text's own height, moved up by half of what the rectangle has to spare.
void drawVerticallyCentered(const std::string& text, const CGRect& rect,
                            const std::optional<NSAttributes>& attributes = std::nullopt);

}  // namespace ZuzeDiv
