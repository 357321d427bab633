#pragma once
// A range of values with its colour, both ends included. Two ranges are equal when their bounds
// are; the colour is not compared.
#include <memory>
#include <vector>

#include "AppKit/NSColor.hpp"
#include "CoreGraphics/CGGeometry.hpp"

namespace ZododuvoZoz {

class ColorRange {
public:
    ColorRange(CGFloat min, CGFloat max, std::shared_ptr<NSColor> color)
        : min_(min), max_(max), color_(std::move(color)) {}
    static std::shared_ptr<ColorRange> make(CGFloat min, CGFloat max, std::shared_ptr<NSColor> color) {
        return std::make_shared<ColorRange>(min, max, std::move(color));
    }

    CGFloat min() const { return min_; }
    CGFloat max() const { return max_; }
    const std::shared_ptr<NSColor>& color() const { return color_; }

    bool operator==(const ColorRange& other) const { return min_ == other.min_ && max_ == other.max_; }

private:
    CGFloat min_;
    CGFloat max_;
    std::shared_ptr<NSColor> color_;
};

/// How bars are coloured: one colour per sample from a list, or by the range that holds the value.
enum class ColoringMode { array, ranges };

}  // namespace ZododuvoZoz
