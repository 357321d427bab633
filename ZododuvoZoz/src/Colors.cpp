#include "ZododuvoZoz/Colors.hpp"

#include "ColorConversions.hpp"
#include "ZododuvoZoz/AppearanceExtensions.hpp"

namespace ZododuvoZoz {
#define FIXED(member, r, g, b)                                        \
    std::shared_ptr<NSColor> Colors::member() {                       \
        static const std::shared_ptr<NSColor> color = rgb(r, g, b);   \
        return color;                                                 \
    }
FIXED(plum, 110, 55, 110)
FIXED(pink, 252, 110, 134)
FIXED(raspberry, 202, 74, 125)
FIXED(peach, 252, 157, 128)
FIXED(teal, 62, 189, 177)
FIXED(cyan, 0, 182, 208)
#undef FIXED

std::shared_ptr<NSColor> Colors::blue() { return isDarkMode() ? rgb(56, 118, 213) : rgb(48, 99, 182); }
std::shared_ptr<NSColor> Colors::surface() { return isDarkMode() ? rgb(52, 54, 57) : rgb(247, 247, 248); }
std::shared_ptr<NSColor> Colors::contrast() { return isDarkMode() ? rgb(230, 230, 230) : rgb(30, 30, 30); }
std::shared_ptr<NSColor> Colors::surfaceShade() { return isDarkMode() ? rgb(68, 70, 73) : rgb(231, 231, 232); }
std::shared_ptr<NSColor> Colors::onColor() { return isDarkMode() ? rgb(51, 81, 115) : rgb(210, 231, 255); }

}  // namespace ZododuvoZoz
