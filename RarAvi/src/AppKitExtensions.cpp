#include <algorithm>
#include <array>
#include <cctype>
#include <random>
#include <string>

#include "AppKit/NSAppearance.hpp"
#include "Foundation/ProcessInfo.hpp"
#include "RarAvi/ApplicationExtensions.hpp"
#include "RarAvi/BezierPathExtensions.hpp"
#include "RarAvi/ColorExtensions.hpp"
#include "RarAvi/MenuItemExtensions.hpp"
#include "RarAvi/WindowExtensions.hpp"

namespace RarAvi {

bool isDarkMode() {
    auto appearance = ProcessInfo::processInfo().isOperatingSystemAtLeast({12, 0, 0}) ? NSAppearance::currentDrawing()
                                                                                      : NSAppearance::current();
    if (!appearance) return false;
    std::string name = appearance->name();
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    return name.find("dark") != std::string::npos;
}

CGFloat titleBarHeight(const NSWindow& window) {
    return window.frame().height() - window.contentRect(window.frame()).height();
}

std::shared_ptr<NSMenuItem> separator() { return NSMenuItem::separator(); }

std::shared_ptr<NSColor> rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return rgb(red, green, blue, 1.0);
}

std::shared_ptr<NSColor> rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue, CGFloat alpha) {
    return NSColor::make(red / 255.0, green / 255.0, blue / 255.0, alpha);
}

std::shared_ptr<NSColor> randomColor() {
    std::random_device random;
    std::uniform_int_distribution<int> component(0, 255);
    int r = component(random), g = component(random), b = component(random);
    return NSColor::make(r / 255.0, g / 255.0, b / 255.0, 1.0);
}

std::shared_ptr<NSColor> inverted(const NSColor& color) {
    auto device = color.usingColorSpace(NSColorSpace::deviceRGB);
    const NSColor& c = device ? *device : color;
    return NSColor::calibrated(1 - c.redComponent(), 1 - c.greenComponent(), 1 - c.blueComponent(), c.alphaComponent());
}

}  // namespace RarAvi
