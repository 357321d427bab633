#pragma once
// Small pieces shared by the stand-alone graph views' drawing passes.
#include <cmath>
#include <memory>
#include <string>

#include "AppKit/NSAttributedString.hpp"
#include "AppKit/NSBezierPath.hpp"
#include "AppKit/NSColor.hpp"

namespace ZododuvoZoz::graphs {

/// The value cut toward zero to a whole number, as the views place their lines on whole points.
inline CGFloat truncated(CGFloat value) { return std::trunc(value); }

/// A colour with the red, green and blue of `color` (read now, in the current appearance) and
/// the alpha given.
inline std::shared_ptr<NSColor> fillColor(const NSColor& color, CGFloat alpha) {
    return NSColor::make(color.redComponent(), color.greenComponent(), color.blueComponent(), alpha);
}

/// A new path of that line width.
inline std::shared_ptr<NSBezierPath> pathOfWidth(CGFloat lineWidth) {
    auto path = NSBezierPath::make();
    path->setLineWidth(lineWidth);
    return path;
}

/// Adds one straight segment as a move and a line.
inline void addSegment(NSBezierPath& path, CGPoint from, CGPoint to) {
    path.move(from);
    path.line(to);
}

/// The width of the text set on one line with the attributes.
inline CGFloat textWidth(const std::string& text, const NSAttributes& attributes) {
    return NSAttributedString(text, attributes).size().width;
}

}  // namespace ZododuvoZoz::graphs
