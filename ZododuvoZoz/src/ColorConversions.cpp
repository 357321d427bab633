#include "ColorConversions.hpp"

namespace ZododuvoZoz {

std::shared_ptr<NSColor> rgb(int red, int green, int blue) {
    return NSColor::make(red / 255.0, green / 255.0, blue / 255.0, 1);
}

std::optional<CGColor> cgColorOrNone(const std::shared_ptr<NSColor>& color) {
    if (!color) return std::nullopt;
    return color->cgColor();
}

std::vector<CGColor> cgColors(const std::vector<std::shared_ptr<NSColor>>& colors) {
    std::vector<CGColor> result;
    for (const auto& color : colors) {
        if (color) result.push_back(color->cgColor());
    }
    return result;
}

}  // namespace ZododuvoZoz
