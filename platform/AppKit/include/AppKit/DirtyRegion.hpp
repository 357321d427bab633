#pragma once
// The parts of a window to draw again: a few rectangles in the window's coordinates (points, y
// up). Overlapping rectangles merge, and past a handful the closest two merge, so that a frame
// clips and uploads a short list.
#include <vector>

#include "CoreGraphics/CGGeometry.hpp"

class DirtyRegion {
public:
    /// The most rectangles kept apart.
    static constexpr std::size_t maximumRects = 8;

    DirtyRegion() = default;
    explicit DirtyRegion(const CGRect& rect) { add(rect); }

    /// Adds a rectangle; empty and null ones add nothing.
    void add(const CGRect& rect);
    bool isEmpty() const { return rects_.empty(); }
    const std::vector<CGRect>& rects() const { return rects_; }
    /// The smallest rectangle holding the region.
    CGRect bounds() const;
    bool intersects(const CGRect& rect) const;
    /// The region limited to a rectangle, each piece grown to whole device pixels of `scale`.
    DirtyRegion clipped(const CGRect& to, CGFloat scale) const;
    void clear() { rects_.clear(); }

private:
    std::vector<CGRect> rects_;
};
