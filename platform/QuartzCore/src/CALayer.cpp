#include "QuartzCore/CALayer.hpp"

#include <cairo.h>

#include <algorithm>
#include <cmath>

#include "Foundation/Clock.hpp"
#include "QuartzCore/CABasicAnimation.hpp"
#include "ShadowBlur.hpp"

namespace {
double activeDuration(const CAAnimation& animation);
}

void CALayer::setBounds(const CGRect& bounds) {
    if (bounds == bounds_) return;
    if (bounds.size != bounds_.size) needsLayout_ = true;
    bounds_ = bounds;
    didChange();
}

void CALayer::setMask(const std::shared_ptr<CALayer>& mask) {
    if (mask == mask_) return;
    if (mask_) mask_->maskOwner_.reset();
    mask_ = mask;
    if (mask_) mask_->maskOwner_ = weak_from_this();
    didChange();
}

void CALayer::setNeedsDisplay() {
    needsDisplay_ = true;
    didChange();
}

void CALayer::didChange() {
    // A changed layer's ancestors are marked too, so the first one found marked ends the walk.
    CALayer* layer = this;
    while (!layer->changed_) {
        layer->changed_ = true;
        CALayer* parent = layer->superlayer_.lock().get();
        if (!parent) parent = layer->maskOwner_.lock().get();
        if (!parent) {
            if (auto delegate = layer->delegate_.lock()) delegate->layerDidChange(*layer);
            return;
        }
        layer = parent;
    }
}

bool CALayer::clearChanges() {
    if (!changed_) return false;
    bool running = false;
    if (!animations_.empty()) {
        double time = Clock::current()->now();
        for (const auto& entry : animations_) {
            // Running until its end; one that holds its last value is drawn once more after it.
            if (time < entry.start + activeDuration(*entry.animation)) running = true;
        }
    }
    for (const auto& layer : sublayers_) running = layer->clearChanges() || running;
    if (mask_) running = mask_->clearChanges() || running;
    changed_ = running;
    return running;
}

CGRect CALayer::drawingBounds() const {
    if (hidden_) return CGRect::null();
    CGRect area = bounds_.unionWith(ownDrawingBounds());
    if (!masksToBounds_) {
        for (const auto& layer : sublayers_) {
            // As renderSublayer places it (and, in a flipped layer, mirrored about the middle).
            CGAffineTransform t = CGAffineTransform::translation(-layer->anchorPoint_.x * layer->bounds_.size.width - layer->bounds_.origin.x,
                                                                 -layer->anchorPoint_.y * layer->bounds_.size.height - layer->bounds_.origin.y)
                                      .concatenating(layer->transform_)
                                      .concatenating(CGAffineTransform::translation(layer->position_.x, layer->position_.y));
            if (geometryFlipped_) t = t.concatenating(CGAffineTransform{1, 0, 0, -1, 0, bounds_.minY() + bounds_.maxY()});
            area = area.unionWith(t.apply(layer->drawingBounds()));
        }
    }
    if (shadowOpacity_ > 0 && shadowColor_) {
        // Room for the blurred edge on either side: the three box passes of the blur reach about
        // three times the radius.
        CGFloat spread = 3 * std::max<CGFloat>(shadowRadius_, 0) + 1;
        CGRect shadow = shadowPath_ ? shadowPath_->boundingBox() : area;
        area = area.unionWith(shadow.offsetBy(shadowOffset_.width, shadowOffset_.height).insetBy(-spread, -spread));
    }
    return area;
}

CGRect CALayer::frame() const {
    CGRect local{-anchorPoint_.x * bounds_.size.width, -anchorPoint_.y * bounds_.size.height, bounds_.size.width,
                 bounds_.size.height};
    if (transform_.isIdentity()) return local.offsetBy(position_.x, position_.y);
    // The bounding box of the transformed corners.
    return transform_.apply(local).offsetBy(position_.x, position_.y);
}

void CALayer::setFrame(const CGRect& frame) {
    CGRect f = frame.standardized();
    setBounds(CGRect{bounds_.origin, f.size});
    setPosition({f.origin.x + anchorPoint_.x * f.size.width, f.origin.y + anchorPoint_.y * f.size.height});
}

void CALayer::detachFromSuperlayer() {
    if (auto parent = superlayer_.lock()) {
        auto& siblings = parent->sublayers_;
        siblings.erase(std::remove_if(siblings.begin(), siblings.end(), [this](const auto& l) { return l.get() == this; }),
                       siblings.end());
        parent->didChange();
    }
    superlayer_.reset();
}

void CALayer::setSublayers(const std::vector<std::shared_ptr<CALayer>>& sublayers) {
    auto old = sublayers_;
    for (auto& layer : old) layer->superlayer_.reset();
    sublayers_.clear();
    for (auto& layer : sublayers) addSublayer(layer);
    didChange();
}

void CALayer::addSublayer(const std::shared_ptr<CALayer>& layer) { insertSublayer(layer, sublayers_.size()); }

void CALayer::insertSublayer(const std::shared_ptr<CALayer>& layer, std::size_t index) {
    if (!layer || layer.get() == this) return;
    auto keep = layer;
    keep->detachFromSuperlayer();
    index = std::min(index, sublayers_.size());
    sublayers_.insert(sublayers_.begin() + static_cast<std::ptrdiff_t>(index), keep);
    keep->superlayer_ = weak_from_this();
    didChange();
}

void CALayer::insertSublayer(const std::shared_ptr<CALayer>& layer, const std::shared_ptr<CALayer>& sibling, bool above) {
    if (!layer) return;
    auto keep = layer;
    keep->detachFromSuperlayer();
    auto it = std::find(sublayers_.begin(), sublayers_.end(), sibling);
    std::size_t index = it == sublayers_.end() ? (above ? sublayers_.size() : 0)
                                               : static_cast<std::size_t>(it - sublayers_.begin()) + (above ? 1 : 0);
    insertSublayer(keep, index);
}

void CALayer::replaceSublayer(const std::shared_ptr<CALayer>& old, const std::shared_ptr<CALayer>& replacement) {
    auto it = std::find(sublayers_.begin(), sublayers_.end(), old);
    if (it == sublayers_.end() || !replacement) return;
    auto index = static_cast<std::size_t>(it - sublayers_.begin());
    old->detachFromSuperlayer();
    insertSublayer(replacement, index);
}

void CALayer::removeFromSuperlayer() { detachFromSuperlayer(); }

CGPoint CALayer::convert(CGPoint point, const CALayer* layer) const {
    // Up to the root, then down to the target.
    auto toRoot = [](const CALayer* from, CGPoint p) {
        std::shared_ptr<const CALayer> layer = from->shared_from_this();
        while (auto parent = layer->superlayer_.lock()) {
            auto f = layer->frame();
            p = {p.x - layer->bounds_.origin.x + f.origin.x, p.y - layer->bounds_.origin.y + f.origin.y};
            layer = parent;
        }
        return p;
    };
    CGPoint root = toRoot(this, point);
    if (!layer) return root;
    CGPoint origin = toRoot(layer, CGPoint{});
    return {root.x - origin.x, root.y - origin.y};
}

void CALayer::layoutIfNeeded() {
    if (needsLayout_) {
        needsLayout_ = false;
        layoutSublayers();
    }
    for (auto& layer : std::vector<std::shared_ptr<CALayer>>(sublayers_)) layer->layoutIfNeeded();
}

namespace {
CGPath roundedBounds(const CGRect& bounds, CGFloat radius) {
    CGMutablePath path;
    if (radius > 0) {
        path.addRoundedRect(bounds, radius, radius);
    } else {
        path.addRect(bounds);
    }
    return path;
}
}  // namespace

void CALayer::render(CGContext& context) {
    CGContext::DrawingScope scope(context);
    if (hidden_ || opacity_ <= 0) return;
    cairo_t* cr = context.cairo();
    context.saveGState();
    context.setAlpha(1);
    context.setBlendMode(CGBlendMode::normal);

    bool group = opacity_ < 1;
    if (group) cairo_push_group(cr);
    if (shadowOpacity_ > 0 && shadowColor_) renderShadow(context);
    renderMaskedBody(context);
    if (group) {
        cairo_pop_group_to_source(cr);
        cairo_paint_with_alpha(cr, opacity_);
    }
    context.restoreGState();
}

void CALayer::renderMaskedBody(CGContext& context) {
    if (!mask_) return renderBody(context);
    cairo_t* cr = context.cairo();
    cairo_push_group(cr);
    renderBody(context);
    cairo_pattern_t* body = cairo_pop_group(cr);
    cairo_push_group(cr);
    renderSublayer(*mask_, context);
    cairo_pattern_t* mask = cairo_pop_group(cr);
    cairo_set_source(cr, body);
    cairo_mask(cr, mask);
    cairo_pattern_destroy(mask);
    cairo_pattern_destroy(body);
}

void CALayer::renderShadow(CGContext& context) {
    cairo_t* cr = context.cairo();
    cairo_matrix_t toDevice;
    cairo_get_matrix(cr, &toDevice);
    // The blur widens with the drawing's scale, as the layer does.
    double scale = std::sqrt(std::abs(toDevice.xx * toDevice.yy - toDevice.xy * toDevice.yx));
    ShadowBlur blur(std::max<CGFloat>(0, shadowRadius_) * scale);

    // What blurs into the area the clip shows.
    cairo_save(cr);
    cairo_identity_matrix(cr);
    double clipX0, clipY0, clipX1, clipY1;
    cairo_clip_extents(cr, &clipX0, &clipY0, &clipX1, &clipY1);
    int reach = blur.reach();
    cairo_rectangle_t area{std::floor(clipX0) - reach, std::floor(clipY0) - reach,
                           std::ceil(clipX1) - std::floor(clipX0) + 2 * reach, std::ceil(clipY1) - std::floor(clipY0) + 2 * reach};

    // The shape that casts the shadow, offset, recorded in device pixels over that area, so that a
    // clip around this drawing does not cut the halo short.
    cairo_surface_t* recording = cairo_recording_surface_create(CAIRO_CONTENT_ALPHA, &area);
    {
        auto caster = CGContext::onSurface(recording, 0);
        cairo_set_matrix(caster->cairo(), &toDevice);
        caster->translateBy(shadowOffset_.width, shadowOffset_.height);
        if (shadowPath_) {
            caster->beginPath();
            caster->addPath(*shadowPath_);
            caster->fillPath();
        } else {
            renderMaskedBody(*caster);
        }
    }
    double inkX, inkY, inkWidth, inkHeight;
    cairo_recording_surface_ink_extents(recording, &inkX, &inkY, &inkWidth, &inkHeight);

    // The halo: the shape's alpha, blurred, in the shadow's colour.
    int x0 = int(std::floor(inkX)) - reach, y0 = int(std::floor(inkY)) - reach;
    int x1 = int(std::ceil(inkX + inkWidth)) + reach, y1 = int(std::ceil(inkY + inkHeight)) + reach;
    if (inkWidth > 0 && inkHeight > 0) {
        cairo_surface_t* alpha = cairo_image_surface_create(CAIRO_FORMAT_A8, x1 - x0, y1 - y0);
        cairo_t* copy = cairo_create(alpha);
        cairo_set_source_surface(copy, recording, -x0, -y0);
        cairo_paint(copy);
        cairo_destroy(copy);
        cairo_surface_flush(alpha);
        blur.apply(cairo_image_surface_get_data(alpha), x1 - x0, y1 - y0, cairo_image_surface_get_stride(alpha));
        cairo_surface_mark_dirty(alpha);
        const CGColor& c = *shadowColor_;
        cairo_set_source_rgba(cr, c.red, c.green, c.blue, c.alpha * shadowOpacity_);
        cairo_mask_surface(cr, alpha, x0, y0);
        cairo_surface_destroy(alpha);
    }
    cairo_restore(cr);
    cairo_surface_destroy(recording);
}

void CALayer::renderBody(CGContext& context) {
    cairo_t* cr = context.cairo();
    if (masksToBounds_) {
        cairo_new_path(cr);
        context.addPath(roundedBounds(bounds_, cornerRadius_));
        cairo_clip(cr);
    }
    if (backgroundColor_) {
        context.beginPath();
        context.addPath(roundedBounds(bounds_, cornerRadius_));
        context.setFillColor(*backgroundColor_);
        context.fillPath();
    }
    if (contents_) context.draw(*contents_, contentsPlacement());

    context.saveGState();
    draw(context);
    context.restoreGState();

    std::vector<std::shared_ptr<CALayer>> ordered = sublayers_;
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const auto& a, const auto& b) { return a->zPosition_ < b->zPosition_; });
    if (geometryFlipped_ && !ordered.empty()) {
        context.saveGState();
        context.translateBy(0, bounds_.minY() + bounds_.maxY());
        context.scaleBy(1, -1);
    }
    for (auto& layer : ordered) renderSublayer(*layer, context);
    if (geometryFlipped_ && !ordered.empty()) context.restoreGState();

    if (borderWidth_ > 0 && borderColor_) {
        CGFloat inset = borderWidth_ / 2;
        CGRect rect = bounds_.insetBy(inset, inset);
        if (!rect.isNull()) {
            context.beginPath();
            context.addPath(roundedBounds(rect, std::max<CGFloat>(0, cornerRadius_ - inset)));
            context.setStrokeColor(*borderColor_);
            context.setLineWidth(borderWidth_);
            context.strokePath();
        }
    }
}

CGRect CALayer::contentsPlacement() const {
    if (contentsGravity_ == CALayerContentsGravity::resize || !contents_) return bounds_;
    CGFloat scale = contentsScale_ > 0 ? contentsScale_ : 1;
    CGSize size{CGFloat(contents_->width()) / scale, CGFloat(contents_->height()) / scale};
    return {bounds_.midX() - size.width / 2, bounds_.midY() - size.height / 2, size.width, size.height};
}

void CALayer::renderSublayer(CALayer& layer, CGContext& context) {
    context.saveGState();
    CGPoint position = layer.presentationValue("position", layer.position_);
    context.translateBy(position.x, position.y);
    context.concatenate(layer.transform_);
    context.translateBy(-layer.anchorPoint_.x * layer.bounds_.size.width - layer.bounds_.origin.x,
                        -layer.anchorPoint_.y * layer.bounds_.size.height - layer.bounds_.origin.y);
    layer.render(context);
    context.restoreGState();
}

void CALayer::draw(CGContext& context) {
    if (auto delegate = delegate_.lock()) delegate->drawLayer(*this, context);
}

namespace {
double now() { return Clock::current()->now(); }

// How long an animation runs in all: its duration (a quarter second for 0) times its repeats.
double activeDuration(const CAAnimation& animation) {
    double duration = animation.duration > 0 ? animation.duration : 0.25;
    double repeats = animation.repeatCount > 0 ? double(animation.repeatCount) : 1;
    return duration * repeats;
}

bool holdsAfterEnd(const CAAnimation& a) {
    return !a.isRemovedOnCompletion &&
           (a.fillMode == CAMediaTimingFillMode::forwards || a.fillMode == CAMediaTimingFillMode::both);
}

bool holdsBeforeStart(const CAAnimation& a) {
    return a.fillMode == CAMediaTimingFillMode::backwards || a.fillMode == CAMediaTimingFillMode::both;
}

double mix(double from, double to, double t) { return from + (to - from) * t; }
CGPoint mix(CGPoint from, CGPoint to, double t) { return {mix(from.x, to.x, t), mix(from.y, to.y, t)}; }
double plus(double a, double b) { return a + b; }
CGPoint plus(CGPoint a, CGPoint b) { return {a.x + b.x, a.y + b.y}; }
double minus(double a, double b) { return a - b; }
CGPoint minus(CGPoint a, CGPoint b) { return {a.x - b.x, a.y - b.y}; }
}  // namespace

bool CALayer::isGone(const AddedAnimation& entry, double now) {
    return entry.animation->isRemovedOnCompletion && now - entry.start >= activeDuration(*entry.animation);
}

void CALayer::add(const CAAnimation& animation, const std::string& key) {
    didChange();
    double start = now();
    std::erase_if(animations_, [&](const auto& entry) { return isGone(entry, start); });
    std::shared_ptr<const CAAnimation> copy = animation.clone();
    start += animation.beginTime;
    for (auto& entry : animations_) {
        if (entry.key == key) {
            entry.animation = copy;
            entry.start = start;
            return;
        }
    }
    animations_.push_back({key, copy, start});
}

std::shared_ptr<const CAAnimation> CALayer::animation(const std::string& key) const {
    for (const auto& entry : animations_) {
        if (entry.key == key) return isGone(entry, now()) ? nullptr : entry.animation;
    }
    return nullptr;
}

std::vector<std::string> CALayer::animationKeys() const {
    std::vector<std::string> keys;
    if (animations_.empty()) return keys;
    double time = now();
    for (const auto& entry : animations_) {
        if (!isGone(entry, time)) keys.push_back(entry.key);
    }
    return keys;
}

void CALayer::removeAnimation(const std::string& key) {
    if (std::erase_if(animations_, [&](const auto& entry) { return entry.key == key; })) didChange();
}

template <class Value>
Value CALayer::presented(const std::string& keyPath, Value model) const {
    if (animations_.empty()) return model;
    double time = now();
    Value shown = model;
    // Later animations of the same key path are drawn over earlier ones.
    for (const auto& entry : animations_) {
        const auto* basic = dynamic_cast<const CABasicAnimation*>(entry.animation.get());
        if (!basic || basic->keyPath != keyPath) continue;
        double duration = basic->duration > 0 ? basic->duration : 0.25;
        double elapsed = time - entry.start;
        double progress;
        if (elapsed < 0) {
            if (!holdsBeforeStart(*basic)) continue;
            progress = 0;
        } else if (elapsed >= activeDuration(*basic)) {
            if (!holdsAfterEnd(*basic)) continue;
            progress = 1;
        } else {
            progress = std::fmod(elapsed, duration) / duration;
        }
        if (basic->timingFunction) progress = basic->timingFunction->valueAt(progress);

        auto get = [](const CAAnimationValue& value) -> std::optional<Value> {
            if (const auto* v = std::get_if<Value>(&value)) return *v;
            return std::nullopt;
        };
        auto from = get(basic->fromValue), to = get(basic->toValue), by = get(basic->byValue);
        Value start = from ? *from : (to && by) ? minus(*to, *by) : model;
        Value end = to ? *to : by ? plus(start, *by) : model;
        shown = mix(start, end, progress);
    }
    return shown;
}

double CALayer::presentationValue(const std::string& keyPath, double model) const { return presented(keyPath, model); }

CGPoint CALayer::presentationValue(const std::string& keyPath, CGPoint model) const { return presented(keyPath, model); }
