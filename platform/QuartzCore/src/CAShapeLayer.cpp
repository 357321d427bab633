#include "QuartzCore/CAShapeLayer.hpp"

#include <cairo.h>

#include <algorithm>
#include <cmath>

namespace {
// The part of a path between two fractions of its length, as straight pieces of the flattened
// path. Subpaths follow one another in the length count.
CGPath trimmed(cairo_t* cr, CGContext& context, const CGPath& path, CGFloat start, CGFloat end) {
    cairo_save(cr);
    cairo_new_path(cr);
    context.addPath(path);
    cairo_path_t* flat = cairo_copy_path_flat(cr);
    cairo_new_path(cr);
    cairo_restore(cr);

    struct Segment {
        CGPoint from, to;
        bool startsSubpath;
    };
    std::vector<Segment> segments;
    CGPoint current{}, subpathStart{};
    bool fresh = true;
    for (int i = 0; i < flat->num_data; i += flat->data[i].header.length) {
        const cairo_path_data_t& d = flat->data[i];
        switch (d.header.type) {
            case CAIRO_PATH_MOVE_TO:
                current = subpathStart = {flat->data[i + 1].point.x, flat->data[i + 1].point.y};
                fresh = true;
                break;
            case CAIRO_PATH_LINE_TO: {
                CGPoint to{flat->data[i + 1].point.x, flat->data[i + 1].point.y};
                segments.push_back({current, to, fresh});
                fresh = false;
                current = to;
                break;
            }
            case CAIRO_PATH_CLOSE_PATH:
                segments.push_back({current, subpathStart, fresh});
                current = subpathStart;
                fresh = true;
                break;
            case CAIRO_PATH_CURVE_TO: break;  // a flat path has none
        }
    }
    cairo_path_destroy(flat);

    CGFloat total = 0;
    for (const auto& s : segments) total += std::hypot(s.to.x - s.from.x, s.to.y - s.from.y);
    CGMutablePath result;
    if (total <= 0) return result;
    CGFloat from = start * total, to = end * total, walked = 0;
    bool drawing = false;
    for (const auto& s : segments) {
        CGFloat length = std::hypot(s.to.x - s.from.x, s.to.y - s.from.y);
        CGFloat a = std::max(from, walked), b = std::min(to, walked + length);
        if (s.startsSubpath) drawing = false;
        if (b >= a && length > 0) {
            auto at = [&](CGFloat distance) {
                CGFloat t = (distance - walked) / length;
                return CGPoint{s.from.x + (s.to.x - s.from.x) * t, s.from.y + (s.to.y - s.from.y) * t};
            };
            if (!drawing) result.move(at(a));
            result.addLine(at(b));
            drawing = true;
        } else {
            drawing = false;
        }
        walked += length;
    }
    return result;
}
}  // namespace

void CAShapeLayer::draw(CGContext& context) {
    if (!path_) return;
    if (fillColor_) {
        context.beginPath();
        context.addPath(*path_);
        context.setFillColor(*fillColor_);
        context.fillPath(fillRule_ == CAShapeLayerFillRule::evenOdd ? CGPathFillRule::evenOdd : CGPathFillRule::winding);
    }
    CGFloat start = std::clamp<CGFloat>(presentationValue("strokeStart", strokeStart_), 0, 1);
    CGFloat end = std::clamp<CGFloat>(presentationValue("strokeEnd", strokeEnd_), 0, 1);
    if (strokeColor_ && lineWidth_ > 0 && end > start) {
        context.beginPath();
        if (start <= 0 && end >= 1) {
            context.addPath(*path_);
        } else {
            context.addPath(trimmed(context.cairo(), context, *path_, start, end));
        }
        context.setStrokeColor(*strokeColor_);
        context.setLineWidth(lineWidth_);
        context.setLineCap(lineCap_ == CAShapeLayerLineCap::round    ? CGLineCap::round
                           : lineCap_ == CAShapeLayerLineCap::square ? CGLineCap::square
                                                                     : CGLineCap::butt);
        context.setLineJoin(lineJoin_ == CAShapeLayerLineJoin::round   ? CGLineJoin::round
                            : lineJoin_ == CAShapeLayerLineJoin::bevel ? CGLineJoin::bevel
                                                                       : CGLineJoin::miter);
        context.setMiterLimit(miterLimit_);
        context.setLineDash(lineDashPhase_, lineDashPattern_);
        context.strokePath();
    }
}

CGRect CAShapeLayer::ownDrawingBounds() const {
    if (!path_) return bounds();
    CGRect area = path_->boundingBox();
    if (area.isNull()) return bounds();
    if (strokeColor_ && lineWidth_ > 0) {
        // Half the line on either side (a square cap's corner a little further), one point more for
        // the edges' blending, and a mitred corner's point as far as the limit lets it go; curves
        // meet smoothly, so only lines and closed figures make such corners.
        CGFloat reach = lineWidth_ / 2 * (lineCap_ == CAShapeLayerLineCap::square ? std::sqrt(2.0) : 1.0);
        bool corners = std::any_of(path_->elements().begin(), path_->elements().end(), [](const CGPathElement& e) {
            return e.type == CGPathElementType::addLineToPoint || e.type == CGPathElementType::closeSubpath;
        });
        if (corners && lineJoin_ == CAShapeLayerLineJoin::miter) reach = std::max(reach, lineWidth_ / 2 * miterLimit_);
        area = area.insetBy(-reach - 1, -reach - 1);
    }
    return area;
}
