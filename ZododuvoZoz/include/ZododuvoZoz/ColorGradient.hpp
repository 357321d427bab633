#pragma once
// A gradient as its list of colours with its first and last colour; it carries no geometry. A
// value: copies share the colour objects.
#include <memory>
#include <vector>

#include "AppKit/NSColor.hpp"

namespace ZododuvoZoz {

struct ColorGradient {
    std::vector<std::shared_ptr<NSColor>> mColors;
    std::shared_ptr<NSColor> start;
    std::shared_ptr<NSColor> end;

    ColorGradient(const std::shared_ptr<NSColor>& start, const std::shared_ptr<NSColor>& end);
    /// No colours: teal to cyan; one colour: it is start and end; more: the first and the last.
    explicit ColorGradient(const std::vector<std::shared_ptr<NSColor>>& colors);

    /// [start at startAlpha, end at endAlpha].
    std::vector<std::shared_ptr<NSColor>> colors(CGFloat startAlpha, CGFloat endAlpha) const;
    /// Two colours: start at 0.75 and end at 0.2; otherwise each colour of the list at
    /// 0.9 − i × 0.7 / n (none for an empty list).
    std::vector<std::shared_ptr<NSColor>> fadedColors() const;
};

}  // namespace ZododuvoZoz
