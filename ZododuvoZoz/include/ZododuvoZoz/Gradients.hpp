#pragma once
// Thirty-one ready-made gradients, each built once on first use; every read hands out a copy that
// shares the colour objects.
#include "ZododuvoZoz/ColorGradient.hpp"

namespace ZododuvoZoz {

class Gradients {
public:
    Gradients() = delete;

    static ColorGradient redSalmon();
    static ColorGradient pinkRed();
    static ColorGradient redToGreen();
    static ColorGradient tealCyan();
    static ColorGradient violetPink();
    static ColorGradient pinkViolet();
    static ColorGradient orangeYellow();
    static ColorGradient magentaOrange();
    /// The colours of magentaOrange, as a value of its own: the history view's default.
    static ColorGradient pinkOrange();
    static ColorGradient yellowPlum();
    static ColorGradient cardOne();
    static ColorGradient cardTwo();
    static ColorGradient cardThree();
    static ColorGradient cardFull();
    static ColorGradient pastel();
    static ColorGradient pastelRainbow();
    static ColorGradient pastelAlt();
    static ColorGradient systemRainbow();
    static ColorGradient orangeRaspberry();
    static ColorGradient magentaOrangeAlt();
    static ColorGradient oceanBlue();
    static ColorGradient purpleRose();
    static ColorGradient dustyRose();
    static ColorGradient greenFade();
    static ColorGradient redFade();
    static ColorGradient blueFade();
    static ColorGradient yellowFade();
    static ColorGradient tealFade();
    static ColorGradient pinkFade();
    static ColorGradient orangeFade();
    static ColorGradient customTheme();
};

}  // namespace ZododuvoZoz
