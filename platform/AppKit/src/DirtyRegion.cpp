#include "AppKit/DirtyRegion.hpp"

#include <cmath>
#include <limits>

namespace {
CGFloat area(const CGRect& r) { return r.width() * r.height(); }
}  // namespace

void DirtyRegion::add(const CGRect& rect) {
    if (rect.isEmpty()) return;
    CGRect piece = rect.standardized();
    // Whatever the new piece overlaps becomes part of it, until it overlaps nothing.
    for (bool merged = true; merged;) {
        merged = false;
        for (auto it = rects_.begin(); it != rects_.end(); ++it) {
            if (it->contains(piece)) return;
            if (it->intersects(piece)) {
                piece = piece.unionWith(*it);
                rects_.erase(it);
                merged = true;
                break;
            }
        }
    }
    rects_.push_back(piece);
    while (rects_.size() > maximumRects) {
        // The two whose union adds the least area.
        std::size_t best = 0, other = 1;
        CGFloat cost = std::numeric_limits<CGFloat>::infinity();
        for (std::size_t i = 0; i < rects_.size(); ++i) {
            for (std::size_t j = i + 1; j < rects_.size(); ++j) {
                CGFloat added = area(rects_[i].unionWith(rects_[j])) - area(rects_[i]) - area(rects_[j]);
                if (added < cost) {
                    cost = added;
                    best = i;
                    other = j;
                }
            }
        }
        CGRect joined = rects_[best].unionWith(rects_[other]);
        rects_.erase(rects_.begin() + std::ptrdiff_t(other));
        rects_.erase(rects_.begin() + std::ptrdiff_t(best));
        add(joined);
    }
}

CGRect DirtyRegion::bounds() const {
    CGRect box = CGRect::null();
    for (const auto& r : rects_) box = box.unionWith(r);
    return box;
}

bool DirtyRegion::intersects(const CGRect& rect) const {
    for (const auto& r : rects_) {
        if (r.intersects(rect)) return true;
    }
    return false;
}

DirtyRegion DirtyRegion::clipped(const CGRect& to, CGFloat scale) const {
    DirtyRegion result;
    for (const auto& r : rects_) {
        CGRect piece = r.intersection(to);
        if (piece.isEmpty()) continue;
        CGFloat x0 = std::floor(piece.minX() * scale) / scale, y0 = std::floor(piece.minY() * scale) / scale;
        CGFloat x1 = std::ceil(piece.maxX() * scale) / scale, y1 = std::ceil(piece.maxY() * scale) / scale;
        result.add(CGRect{x0, y0, x1 - x0, y1 - y0}.intersection(to));
    }
    return result;
}
