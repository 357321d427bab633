#pragma once
// Text layers and measures shared by the axes.
#include <memory>
#include <string>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSFont.hpp"
#include "QuartzCore/CATextLayer.hpp"

namespace ZododuvoZoz::AxisLabels {

/// The size of the text's bounding rectangle in the font, laid out within `within` (lines wrap at
/// its width, as they would on a line-fragment layout).
CGSize measure(const std::string& text, const std::shared_ptr<NSFont>& font, CGSize within);

/// A text layer with the font at its size, the colour, the alignment and the screen's scale.
std::shared_ptr<CATextLayer> label(const std::string& text, const std::shared_ptr<NSFont>& font,
                                   const std::shared_ptr<NSColor>& color, CATextLayerAlignmentMode alignment);

/// The stand-alone abbreviated month name ("LLL") of a moment in seconds since 1970, in the
/// current locale and time zone.
std::string monthName(double timestamp);

}  // namespace ZododuvoZoz::AxisLabels
