#include "ZuzeDiv/StringDrawingExtensions.hpp"

namespace ZuzeDiv {

void drawVerticallyCentered(const std::string& text, const CGRect& rect, const std::optional<NSAttributes>& attributes) {
    NSAttributedString string(text, attributes.value_or(NSAttributes{}));
    CGFloat height = string.size().height;
    string.draw(CGRect{rect.origin.x, rect.origin.y + (rect.size.height - height) / 2, rect.size.width, height});
}

}  // namespace ZuzeDiv
