#include "ZododuvoZoz/Constants.hpp"

#include "AppKit/NSScreen.hpp"

namespace ZododuvoZoz {

CGFloat Constants::onePixel() {
    static const CGFloat pixel = 1.0 / screenScale();
    return pixel;
}

CGFloat Constants::screenScale() {
    auto screen = NSScreen::main();
    return screen ? screen->backingScaleFactor() : 1.0;
}

}  // namespace ZododuvoZoz
