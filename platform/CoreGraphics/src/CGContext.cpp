#include "CoreGraphics/CGContext.hpp"

#include <cairo.h>

#include <bit>
#include <cmath>
#include <cstring>

namespace {
cairo_operator_t cairoOperator(CGBlendMode mode) {
    switch (mode) {
        case CGBlendMode::normal: return CAIRO_OPERATOR_OVER;
        case CGBlendMode::clear: return CAIRO_OPERATOR_CLEAR;
        case CGBlendMode::copy: return CAIRO_OPERATOR_SOURCE;
        case CGBlendMode::sourceIn: return CAIRO_OPERATOR_IN;
        case CGBlendMode::sourceOut: return CAIRO_OPERATOR_OUT;
        case CGBlendMode::sourceAtop: return CAIRO_OPERATOR_ATOP;
        case CGBlendMode::destinationOver: return CAIRO_OPERATOR_DEST_OVER;
        case CGBlendMode::destinationIn: return CAIRO_OPERATOR_DEST_IN;
        case CGBlendMode::destinationOut: return CAIRO_OPERATOR_DEST_OUT;
        case CGBlendMode::destinationAtop: return CAIRO_OPERATOR_DEST_ATOP;
        case CGBlendMode::exclusiveOr: return CAIRO_OPERATOR_XOR;
        case CGBlendMode::plusLighter: return CAIRO_OPERATOR_ADD;
    }
    return CAIRO_OPERATOR_OVER;
}

cairo_filter_t cairoFilter(CGInterpolationQuality quality) {
    switch (quality) {
        case CGInterpolationQuality::none: return CAIRO_FILTER_NEAREST;
        case CGInterpolationQuality::low: return CAIRO_FILTER_FAST;
        case CGInterpolationQuality::medium:
        case CGInterpolationQuality::defaultQuality: return CAIRO_FILTER_GOOD;
        case CGInterpolationQuality::high: return CAIRO_FILTER_BEST;
    }
    return CAIRO_FILTER_GOOD;
}

cairo_matrix_t toCairo(const CGAffineTransform& t) { return {t.a, t.b, t.c, t.d, t.tx, t.ty}; }
CGAffineTransform fromCairo(const cairo_matrix_t& m) { return {m.xx, m.yx, m.xy, m.yy, m.x0, m.y0}; }

// The byte positions of red, green, blue and alpha in a caller's pixel.
std::array<int, 4> byteOrder(CGBitmapInfo info) {
    bool last = info.alpha == CGImageAlphaInfo::premultipliedLast;
    if (!info.byteOrder32Little) return last ? std::array{0, 1, 2, 3} : std::array{1, 2, 3, 0};
    return last ? std::array{3, 2, 1, 0} : std::array{2, 1, 0, 3};
}
}  // namespace

std::shared_ptr<CGContext> CGContext::makeBitmap(void* data, std::size_t width, std::size_t height,
                                                 std::size_t bitsPerComponent, std::size_t bytesPerRow,
                                                 CGColorSpace, CGBitmapInfo info) {
    if (bitsPerComponent != 8 || width == 0 || height == 0 || width > 32767 || height > 32767) return nullptr;
    if (bytesPerRow == 0) bytesPerRow = width * 4;
    if (bytesPerRow < width * 4) return nullptr;

    auto context = std::shared_ptr<CGContext>(new CGContext());
    context->width_ = width;
    context->height_ = height;
    context->bytesPerRow_ = bytesPerRow;
    context->layout_ = info;
    if (!data) {
        context->ownData_.assign(bytesPerRow * height, 0);
        data = context->ownData_.data();
    }
    context->data_ = data;
    bool native = info.alpha == CGImageAlphaInfo::premultipliedFirst && info.byteOrder32Little &&
                  std::endian::native == std::endian::little && bytesPerRow % 4 == 0;
    int w = static_cast<int>(width), h = static_cast<int>(height);
    if (native) {
        context->surface_ = cairo_image_surface_create_for_data(static_cast<unsigned char*>(data), CAIRO_FORMAT_ARGB32, w, h,
                                                                static_cast<int>(bytesPerRow));
    } else {
        context->surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
        context->converts_ = true;
    }
    if (cairo_surface_status(context->surface_) != CAIRO_STATUS_SUCCESS) return nullptr;
    if (context->converts_) context->copyFromCaller();
    context->cairo_ = cairo_create(context->surface_);
    context->base_ = CGAffineTransform{1, 0, 0, -1, 0, static_cast<CGFloat>(height)};
    cairo_matrix_t m = toCairo(context->base_);
    cairo_set_matrix(context->cairo_, &m);
    return context;
}

std::shared_ptr<CGContext> CGContext::onSurface(cairo_surface_t* surface, CGFloat height) {
    auto context = std::shared_ptr<CGContext>(new CGContext());
    context->surface_ = cairo_surface_reference(surface);
    context->cairo_ = cairo_create(surface);
    context->base_ = CGAffineTransform{1, 0, 0, -1, 0, height};
    cairo_matrix_t m = toCairo(context->base_);
    cairo_set_matrix(context->cairo_, &m);
    if (cairo_surface_get_type(surface) == CAIRO_SURFACE_TYPE_IMAGE) {
        context->width_ = static_cast<std::size_t>(cairo_image_surface_get_width(surface));
        context->height_ = static_cast<std::size_t>(cairo_image_surface_get_height(surface));
        context->bytesPerRow_ = static_cast<std::size_t>(cairo_image_surface_get_stride(surface));
        context->data_ = cairo_image_surface_get_data(surface);
    }
    return context;
}

CGContext::~CGContext() {
    if (cairo_) cairo_destroy(cairo_);
    if (surface_) cairo_surface_destroy(surface_);
}

CGContext::DrawingScope::~DrawingScope() {
    if (--context_.drawingDepth_ == 0 && context_.converts_) context_.copyToCaller();
}

void CGContext::copyFromCaller() {
    cairo_surface_flush(surface_);
    auto order = byteOrder(layout_);
    unsigned char* pixels = cairo_image_surface_get_data(surface_);
    int stride = cairo_image_surface_get_stride(surface_);
    for (std::size_t y = 0; y < height_; ++y) {
        const auto* in = static_cast<const unsigned char*>(data_) + y * bytesPerRow_;
        for (std::size_t x = 0; x < width_; ++x, in += 4) {
            std::uint32_t argb = std::uint32_t(in[order[3]]) << 24 | std::uint32_t(in[order[0]]) << 16 |
                                 std::uint32_t(in[order[1]]) << 8 | std::uint32_t(in[order[2]]);
            std::memcpy(pixels + y * static_cast<std::size_t>(stride) + 4 * x, &argb, 4);
        }
    }
    cairo_surface_mark_dirty(surface_);
}

void CGContext::copyToCaller() {
    cairo_surface_flush(surface_);
    auto order = byteOrder(layout_);
    const unsigned char* pixels = cairo_image_surface_get_data(surface_);
    int stride = cairo_image_surface_get_stride(surface_);
    for (std::size_t y = 0; y < height_; ++y) {
        auto* out = static_cast<unsigned char*>(data_) + y * bytesPerRow_;
        for (std::size_t x = 0; x < width_; ++x, out += 4) {
            std::uint32_t argb;
            std::memcpy(&argb, pixels + y * static_cast<std::size_t>(stride) + 4 * x, 4);
            out[order[0]] = static_cast<unsigned char>(argb >> 16);
            out[order[1]] = static_cast<unsigned char>(argb >> 8);
            out[order[2]] = static_cast<unsigned char>(argb);
            out[order[3]] = static_cast<unsigned char>(argb >> 24);
        }
    }
}

std::shared_ptr<CGImage> CGContext::makeImage() const {
    if (!surface_ || cairo_surface_get_type(surface_) != CAIRO_SURFACE_TYPE_IMAGE) return nullptr;
    return CGImage::copying(surface_);
}

void CGContext::saveGState() {
    states_.push_back(states_.back());
    cairo_save(cairo_);
}

void CGContext::restoreGState() {
    if (states_.size() <= 1) return;  // unbalanced: nothing to restore
    states_.pop_back();
    cairo_restore(cairo_);
}

void CGContext::translateBy(CGFloat x, CGFloat y) { cairo_translate(cairo_, x, y); }

void CGContext::scaleBy(CGFloat sx, CGFloat sy) { cairo_scale(cairo_, sx, sy); }

void CGContext::rotate(CGFloat angle) { cairo_rotate(cairo_, angle); }

void CGContext::concatenate(const CGAffineTransform& transform) {
    cairo_matrix_t m = toCairo(transform);
    cairo_transform(cairo_, &m);
}

CGAffineTransform CGContext::ctm() const {
    cairo_matrix_t m;
    cairo_get_matrix(cairo_, &m);
    return fromCairo(m).concatenating(base_.inverted());
}

bool CGContext::isYAxisUp() const {
    cairo_matrix_t m;
    cairo_get_matrix(cairo_, &m);
    return m.xx * m.yy - m.xy * m.yx < 0;
}

void CGContext::setLineDash(CGFloat phase, const std::vector<CGFloat>& lengths) {
    state().dashPhase = phase;
    state().dashLengths = lengths;
}

void CGContext::setShouldAntialias(bool antialias) {
    cairo_set_antialias(cairo_, antialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
}

void CGContext::beginPath() { cairo_new_path(cairo_); }

void CGContext::addPath(const CGPath& path) {
    for (const auto& e : path.elements()) {
        switch (e.type) {
            case CGPathElementType::moveToPoint: cairo_move_to(cairo_, e.points[0].x, e.points[0].y); break;
            case CGPathElementType::addLineToPoint: cairo_line_to(cairo_, e.points[0].x, e.points[0].y); break;
            case CGPathElementType::addCurveToPoint:
                if (!cairo_has_current_point(cairo_)) cairo_move_to(cairo_, e.points[0].x, e.points[0].y);
                cairo_curve_to(cairo_, e.points[0].x, e.points[0].y, e.points[1].x, e.points[1].y, e.points[2].x,
                               e.points[2].y);
                break;
            case CGPathElementType::closeSubpath: cairo_close_path(cairo_); break;
        }
    }
}

void CGContext::addRect(const CGRect& rect) {
    CGRect r = rect.standardized();
    cairo_rectangle(cairo_, r.minX(), r.minY(), r.width(), r.height());
}

bool CGContext::isPathEmpty() const {
    cairo_path_t* path = cairo_copy_path(cairo_);
    bool empty = path->num_data == 0;
    cairo_path_destroy(path);
    return empty;
}

void CGContext::setSource(const CGColor& color) {
    cairo_set_source_rgba(cairo_, color.red, color.green, color.blue, color.alpha * state().alpha);
    cairo_set_operator(cairo_, cairoOperator(state().blendMode));
}

void CGContext::fillPath(CGPathFillRule rule) {
    DrawingScope scope(*this);
    setSource(state().fill);
    cairo_set_fill_rule(cairo_, rule == CGPathFillRule::evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    cairo_fill(cairo_);
}

void CGContext::strokePath() {
    DrawingScope scope(*this);
    const State& s = state();
    setSource(s.stroke);
    cairo_set_line_width(cairo_, s.lineWidth);
    cairo_set_line_cap(cairo_, s.cap == CGLineCap::round    ? CAIRO_LINE_CAP_ROUND
                               : s.cap == CGLineCap::square ? CAIRO_LINE_CAP_SQUARE
                                                            : CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(cairo_, s.join == CGLineJoin::round   ? CAIRO_LINE_JOIN_ROUND
                                : s.join == CGLineJoin::bevel ? CAIRO_LINE_JOIN_BEVEL
                                                              : CAIRO_LINE_JOIN_MITER);
    cairo_set_miter_limit(cairo_, s.miterLimit);
    cairo_set_dash(cairo_, s.dashLengths.data(), static_cast<int>(s.dashLengths.size()), s.dashPhase);
    cairo_stroke(cairo_);
}

void CGContext::clip(CGPathFillRule rule) {
    cairo_set_fill_rule(cairo_, rule == CGPathFillRule::evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    cairo_clip(cairo_);
}

void CGContext::clip(const CGRect& rect) {
    cairo_new_path(cairo_);
    addRect(rect);
    cairo_clip(cairo_);
}

void CGContext::fill(const CGRect& rect) {
    cairo_new_path(cairo_);
    addRect(rect);
    fillPath();
}

void CGContext::stroke(const CGRect& rect) {
    cairo_new_path(cairo_);
    addRect(rect);
    strokePath();
}

void CGContext::clear(const CGRect& rect) {
    DrawingScope scope(*this);
    cairo_save(cairo_);
    cairo_new_path(cairo_);
    addRect(rect);
    cairo_set_operator(cairo_, CAIRO_OPERATOR_CLEAR);
    cairo_fill(cairo_);
    cairo_restore(cairo_);
}

void CGContext::draw(const CGImage& image, const CGRect& rect) {
    CGRect r = rect.standardized();
    if (r.isEmpty() || image.width() == 0 || image.height() == 0) return;
    drawComposited(r, [&](cairo_t* cr) {
        cairo_translate(cr, r.minX(), r.maxY());
        cairo_scale(cr, r.width() / double(image.width()), -r.height() / double(image.height()));
        cairo_set_source_surface(cr, image.surface(), 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), cairoFilter(state().interpolation));
        cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
        cairo_rectangle(cr, 0, 0, double(image.width()), double(image.height()));
        cairo_fill(cr);
    });
}

void CGContext::drawComposited(const CGRect& rect, const std::function<void(cairo_t*)>& body) {
    DrawingScope scope(*this);
    cairo_save(cairo_);
    cairo_new_path(cairo_);
    addRect(rect);
    cairo_clip(cairo_);
    cairo_push_group(cairo_);
    cairo_save(cairo_);
    body(cairo_);
    cairo_restore(cairo_);
    cairo_pop_group_to_source(cairo_);
    cairo_set_operator(cairo_, cairoOperator(state().blendMode));
    cairo_paint_with_alpha(cairo_, state().alpha);
    cairo_restore(cairo_);
}
