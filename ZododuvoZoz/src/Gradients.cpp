#include "ZododuvoZoz/Gradients.hpp"

#include "ColorConversions.hpp"
#include "ZododuvoZoz/Colors.hpp"

namespace ZododuvoZoz {
namespace {
// The system colour at alpha 0.22 fading into the system colour, read anew for each stop.
ColorGradient fade(std::shared_ptr<NSColor> (*systemColor)()) {
    auto faint = systemColor()->withAlphaComponent(0.22);
    return ColorGradient(std::vector<std::shared_ptr<NSColor>>{faint, systemColor()});
}
}  // namespace

#define PRESET(member, ...)                                    \
    ColorGradient Gradients::member() {                        \
        static const ColorGradient gradient = __VA_ARGS__;     \
        return gradient;                                       \
    }
PRESET(redSalmon, ColorGradient(rgb(220, 28, 19), rgb(240, 116, 112)))
PRESET(pinkRed, ColorGradient(rgb(251, 93, 117), rgb(249, 36, 61)))
PRESET(redToGreen, ColorGradient(std::vector<std::shared_ptr<NSColor>>{rgb(204, 50, 50), rgb(219, 123, 43), rgb(231, 180, 22), rgb(153, 193, 64), rgb(45, 201, 55)}))
PRESET(tealCyan, ColorGradient(Colors::teal(), Colors::cyan()))
PRESET(violetPink, ColorGradient(rgb(107, 55, 255), rgb(246, 64, 157)))
PRESET(pinkViolet, ColorGradient(rgb(246, 64, 157), rgb(107, 55, 255)))
PRESET(orangeYellow, ColorGradient(rgb(249, 86, 23), rgb(253, 209, 42)))
PRESET(magentaOrange, ColorGradient(std::vector<std::shared_ptr<NSColor>>{rgb(217, 87, 169), rgb(233, 69, 63), rgb(243, 143, 67)}))
PRESET(pinkOrange, ColorGradient(std::vector<std::shared_ptr<NSColor>>{rgb(217, 87, 169), rgb(233, 69, 63), rgb(243, 143, 67)}))
PRESET(yellowPlum, ColorGradient(std::vector<std::shared_ptr<NSColor>>{rgb(251, 220, 132), rgb(242, 85, 151), rgb(169, 61, 118)}))
PRESET(cardOne, ColorGradient(rgb(110, 55, 110), rgb(202, 74, 125)))
PRESET(cardTwo, ColorGradient(rgb(203, 74, 125), rgb(252, 110, 135)))
PRESET(cardThree, ColorGradient(rgb(253, 112, 135), rgb(253, 158, 129)))
PRESET(cardFull, ColorGradient(std::vector<std::shared_ptr<NSColor>>{rgb(110, 55, 110), rgb(203, 74, 125), rgb(253, 158, 129)}))
PRESET(pastel, ColorGradient(std::vector<std::shared_ptr<NSColor>>{rgb(255, 154, 162), rgb(255, 183, 178), rgb(255, 218, 193), rgb(226, 240, 203), rgb(181, 234, 215), rgb(199, 206, 234)}))
PRESET(pastelRainbow, ColorGradient(std::vector<std::shared_ptr<NSColor>>{rgb(255, 179, 186), rgb(255, 223, 186), rgb(255, 255, 186), rgb(186, 255, 201), rgb(186, 225, 255)}))
PRESET(pastelAlt, ColorGradient(std::vector<std::shared_ptr<NSColor>>{rgb(255, 154, 162), rgb(255, 183, 178), rgb(255, 218, 193), rgb(226, 240, 203), rgb(181, 234, 215), rgb(199, 206, 234)}))
PRESET(systemRainbow, ColorGradient(std::vector<std::shared_ptr<NSColor>>{NSColor::systemRedColor(), NSColor::systemOrangeColor(), NSColor::systemYellowColor(), NSColor::systemGreenColor(), NSColor::systemTealColor(), NSColor::systemBlueColor()}))
PRESET(orangeRaspberry, ColorGradient(rgb(255, 138, 0), rgb(229, 46, 113)))
PRESET(magentaOrangeAlt, ColorGradient(std::vector<std::shared_ptr<NSColor>>{rgb(217, 87, 169), rgb(233, 69, 63), rgb(243, 143, 67)}))
PRESET(oceanBlue, ColorGradient(rgb(3, 125, 175), rgb(78, 176, 204)))
PRESET(purpleRose, ColorGradient(std::vector<std::shared_ptr<NSColor>>{rgb(165, 29, 212), rgb(205, 79, 169), rgb(208, 93, 153)}))
PRESET(dustyRose, ColorGradient(std::vector<std::shared_ptr<NSColor>>{rgb(212, 146, 146), rgb(212, 134, 174), rgb(208, 94, 147)}))
PRESET(greenFade, fade(&NSColor::systemGreenColor))
PRESET(redFade, fade(&NSColor::systemRedColor))
PRESET(blueFade, fade(&NSColor::systemBlueColor))
PRESET(yellowFade, fade(&NSColor::systemYellowColor))
PRESET(tealFade, fade(&NSColor::systemTealColor))
PRESET(pinkFade, fade(&NSColor::systemPinkColor))
PRESET(orangeFade, fade(&NSColor::systemOrangeColor))
PRESET(customTheme, ColorGradient(std::vector<std::shared_ptr<NSColor>>{rgb(217, 87, 169), rgb(233, 69, 63), rgb(243, 143, 67)}))
#undef PRESET

}  // namespace ZododuvoZoz
