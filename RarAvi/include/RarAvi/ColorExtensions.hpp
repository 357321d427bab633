#pragma once
// Colours from 8-bit components, random colours and inverted colours.
#include <cstdint>
#include <memory>

#include "AppKit/NSColor.hpp"

namespace RarAvi {

/// Each component divided by 255, alpha 1 (or the given alpha).
std::shared_ptr<NSColor> rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue);
std::shared_ptr<NSColor> rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue, CGFloat alpha);
/// Red, green and blue each a random whole number from 0 to 255 divided by 255; alpha 1.
std::shared_ptr<NSColor> randomColor();
/// A calibrated colour of 1 − red, 1 − green, 1 − blue of the colour in device RGB, same alpha.
std::shared_ptr<NSColor> inverted(const NSColor& color);

}  // namespace RarAvi
