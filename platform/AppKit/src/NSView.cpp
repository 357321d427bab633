#include "AppKit/NSView.hpp"

#include <algorithm>

#include "AppKit/DirtyRegion.hpp"
#include "AppKit/NSApplication.hpp"
#include "AppKit/NSGraphicsContext.hpp"
#include "AppKit/NSScreen.hpp"
#include "AppKit/NSScrollView.hpp"
#include "AppKit/NSShadow.hpp"
#include "AppKit/NSWindow.hpp"
#include "AppKit/ViewRenderer.hpp"

NSView::NSView(CGRect frame)
    : frame_(frame),
      bounds_{0, 0, frame.size.width, frame.size.height},
      lastAppearanceName_(NSApplication::shared().effectiveAppearance()->name()) {}

void NSView::setFrame(const CGRect& frame) {
    if (frame == frame_ && !layer_) return;  // nothing to place again, no layer to follow it
    CGSize oldSize = frame_.size;
    if (frame != frame_) placementChanged();
    frame_ = frame;
    if (frame.size != oldSize) {
        bounds_.size = frame.size;
        setNeedsLayout();
        resizeSubviews(oldSize);
    }
    syncLayerGeometry();
}

void NSView::setBounds(const CGRect& bounds) {
    if (bounds.size != bounds_.size) setNeedsLayout();
    if (bounds != bounds_) placementChanged();
    bounds_ = bounds;
    syncLayerGeometry();
}

void NSView::setHidden(bool hidden) {
    if (hidden == hidden_) return;
    hidden_ = hidden;
    placementChanged();
    if (layer_) layer_->setHidden(hidden);
}

void NSView::setNeedsLayout(bool needs) {
    needsLayout_ = needs;
    if (needs) markDisplayPending();
}

void NSView::markDisplayPending() {
    for (NSView* view = this; view && !view->displayPending_;) {
        view->displayPending_ = true;
        view = view->superview_.lock().get();
    }
}

void NSView::placementChanged() {
    placementChanged_ = true;
    displayPending_ = false;  // so that the marking reaches the views above
    markDisplayPending();
}

void NSView::layerDidChange(CALayer&) { placementChanged(); }

void NSView::forgetDrawn() {
    drawnRect_ = drawnExtent_ = CGRect::null();
    for (const auto& view : subviews_) view->forgetDrawn();
}

std::shared_ptr<NSWindow> NSView::window() const {
    const NSView* view = this;
    while (auto parent = view->superview_.lock()) view = parent.get();
    return view->window_.lock();
}

void NSView::setWantsLayer(bool wants) {
    if (wants == wantsLayer_) return;
    wantsLayer_ = wants;
    if (!wants) {
        layer_.reset();
        return;
    }
    if (!layer_) {
        auto layer = makeBackingLayer();
        auto screen = NSScreen::main();
        layer->setContentsScale(screen ? screen->backingScaleFactor() : 1.0);
        setLayer(layer);
    }
}

void NSView::setLayer(const std::shared_ptr<CALayer>& layer) {
    layer_ = layer;
    if (!layer_) return;
    wantsLayer_ = true;
    layer_->setAnchorPoint({0, 0});
    attachLayerDelegate();
    layer_->setHidden(hidden_);
    syncLayerGeometry();
}

std::shared_ptr<CALayer> NSView::makeBackingLayer() { return CALayer::make(); }

std::shared_ptr<CALayer> NSView::layer() const {
    attachLayerDelegate();
    return layer_;
}

void NSView::attachLayerDelegate() const {
    // A view that asks for its layer while it is being made is not yet shared; it becomes the
    // layer's delegate the next time the layer is asked for.
    if (!layer_ || layer_->delegate()) return;
    auto self = const_cast<NSView*>(this)->weak_from_this().lock();
    if (self) layer_->setDelegate(std::shared_ptr<CALayerDelegate>(self, static_cast<CALayerDelegate*>(self.get())));
}

void NSView::syncLayerGeometry() {
    if (!layer_) return;
    layer_->setBounds(bounds_);
    // The layer keeps covering the frame whatever its anchor (a press may scale it about its middle).
    CGPoint anchor = layer_->anchorPoint();
    layer_->setPosition({frame_.minX() + anchor.x * frame_.width(), frame_.minY() + anchor.y * frame_.height()});
    // A flipped view's sublayers are placed from its top edge, as its own drawing is.
    layer_->setGeometryFlipped(isFlipped());
}

void NSView::setNeedsDisplay(bool needs) {
    needsDisplay_ = needs;
    if (!needs) return;
    contentChanged_ = true;
    markDisplayPending();
    if (layer_) layer_->setNeedsDisplay();
}

void NSView::collectDamage(const CGAffineTransform& toWindow, bool replace, DirtyRegion& damage) {
    replace = replace || placementChanged_;
    if (!replace && !displayPending_) return;
    displayPending_ = false;
    placementChanged_ = false;
    if (hidden_) {
        damage.add(drawnExtent_);
        forgetDrawn();
        contentChanged_ = false;
        return;
    }
    if (replace || contentChanged_) {
        damage.add(drawnRect_);
        CGRect own = layer_ ? layer_->drawingBounds() : bounds_;
        if (clipsToBounds_) own = own.intersection(bounds_);
        drawnRect_ = toWindow.apply(own);
        damage.add(drawnRect_);
        // A layer with nothing to show is not drawn, so its changes are taken in here, and the
        // next one is heard again.
        if (layer_ && drawnRect_.isEmpty()) layer_->clearChanges();
    }
    contentChanged_ = false;
    CGRect extent = drawnRect_;
    for (const auto& view : subviews_) {
        view->collectDamage(ViewRenderer::placement(*this, *view).concatenating(toWindow), replace, damage);
        extent = extent.unionWith(view->drawnExtent_);
    }
    drawnExtent_ = extent;
}

void NSView::layoutPending() {
    if (!displayPending_) return;
    if (needsLayout_) {
        needsLayout_ = false;
        effectiveAppearance()->performAsCurrentDrawingAppearance([this] { layout(); });
    }
    for (auto& view : std::vector<std::shared_ptr<NSView>>(subviews_)) view->layoutPending();
}

void NSView::draw(const CGRect&) {}

void NSView::drawContent(CGContext& context) {
    auto cg = context.shared_from_this();
    cg->saveGState();
    if (isFlipped()) {
        cg->translateBy(0, bounds_.minY() + bounds_.maxY());
        cg->scaleBy(1, -1);
    }
    NSGraphicsContext::saveGraphicsState();
    NSGraphicsContext::setCurrent(NSGraphicsContext::make(cg));
    draw(bounds_);
    NSGraphicsContext::restoreGraphicsState();
    cg->restoreGState();
}

void NSView::setAppearance(const std::shared_ptr<NSAppearance>& appearance) {
    appearance_ = appearance;
    effectiveAppearanceMayHaveChanged();
}

std::shared_ptr<NSAppearance> NSView::effectiveAppearance() const {
    if (appearance_) return appearance_;
    if (auto parent = superview_.lock()) return parent->effectiveAppearance();
    if (auto window = window_.lock()) return window->effectiveAppearance();
    return NSApplication::shared().effectiveAppearance();
}

void NSView::effectiveAppearanceMayHaveChanged() {
    const std::string& name = effectiveAppearance()->name();
    if (name != lastAppearanceName_) {
        lastAppearanceName_ = name;
        setNeedsDisplay();  // drawn anew in the new appearance
        effectiveAppearance()->performAsCurrentDrawingAppearance([this] { viewDidChangeEffectiveAppearance(); });
    }
    for (auto& view : std::vector<std::shared_ptr<NSView>>(subviews_)) view->effectiveAppearanceMayHaveChanged();
}

void NSView::resizeSubviews(CGSize) {}

CGPoint NSView::convert(CGPoint point, const NSView* from) const {
    // Both views' points to window (root) coordinates, then into this view.
    auto toRoot = [](const NSView* view, CGPoint p) {
        for (auto parent = view->superview_.lock(); parent; view = parent.get(), parent = parent->superview_.lock()) {
            CGFloat dx = p.x - view->bounds_.minX();
            CGFloat up = view->isFlipped() ? view->bounds_.maxY() - p.y : p.y - view->bounds_.minY();
            CGRect f = view->frame_;
            p = {f.minX() + dx, parent->isFlipped() ? f.maxY() - up : f.minY() + up};
        }
        return p;
    };
    CGPoint inRoot = from ? toRoot(from, point) : point;
    CGPoint origin = toRoot(this, CGPoint{});
    CGPoint unit = toRoot(this, CGPoint{0, 1});
    CGFloat ySign = unit.y >= origin.y ? 1 : -1;
    return {inRoot.x - origin.x, (inRoot.y - origin.y) * ySign};
}

CGPoint NSView::convertToView(CGPoint point, const NSView* to) const {
    if (!to) {
        auto root = shared_from_this();
        while (auto parent = root->superview()) root = parent;
        return root->convert(point, this);
    }
    return to->convert(point, this);
}

void NSView::setSubviews(const std::vector<std::shared_ptr<NSView>>& subviews) {
    for (auto& view : std::vector<std::shared_ptr<NSView>>(subviews_)) view->removeFromSuperview();
    for (auto& view : subviews) addSubview(view);
}

void NSView::addSubview(const std::shared_ptr<NSView>& view) { addSubview(view, Ordering::above, nullptr); }

void NSView::addSubview(const std::shared_ptr<NSView>& view, Ordering place, const std::shared_ptr<NSView>& relativeTo) {
    if (!view || view.get() == this) return;
    auto keep = view;
    auto self = shared_from_this();
    if (keep->superview_.lock() != self) {
        keep->viewWillMoveToSuperview(self);
        keep->removeFromSuperview();
    } else {
        subviews_.erase(std::find(subviews_.begin(), subviews_.end(), keep));
    }
    auto it = relativeTo ? std::find(subviews_.begin(), subviews_.end(), relativeTo) : subviews_.end();
    if (it == subviews_.end()) {
        it = place == Ordering::above ? subviews_.end() : subviews_.begin();
    } else if (place == Ordering::above) {
        ++it;
    }
    subviews_.insert(it, keep);
    keep->superview_ = self;
    keep->placementChanged_ = keep->displayPending_ = true;
    setNeedsLayout();
    didAddSubview(keep);
    keep->viewDidMoveToSuperview();
    keep->effectiveAppearanceMayHaveChanged();
}

void NSView::removeFromSuperview() {
    auto parent = superview_.lock();
    if (!parent) return;
    auto self = shared_from_this();
    parent->willRemoveSubview(self);
    viewWillMoveToSuperview(nullptr);
    // Its pixels go from the window with it.
    if (auto shownIn = window(); shownIn && !drawnExtent_.isNull()) shownIn->addDamage(drawnExtent_);
    forgetDrawn();
    // Constraints that tie this view into the old tree go with it. They are gathered first:
    // deactivating one removes it from its holder's list.
    std::vector<std::pair<NSView*, std::shared_ptr<NSLayoutConstraint>>> dropped;
    for (NSView* holder = parent.get(); holder; holder = holder->superview_.lock().get()) {
        for (const auto& c : holder->constraints_) {
            auto first = c->firstItem(), second = c->secondItem();
            bool involved = (first && (first == self || first->isDescendant(*self))) ||
                            (second && (second == self || second->isDescendant(*self)));
            bool inside = (!first || first == self || first->isDescendant(*self)) &&
                          (!second || second == self || second->isDescendant(*self));
            if (involved && !inside) dropped.emplace_back(holder, c);
        }
    }
    for (const auto& [holder, c] : dropped) {
        holder->removeConstraint(c);
        c->setActive(false);
    }
    parent->subviews_.erase(std::find(parent->subviews_.begin(), parent->subviews_.end(), self));
    superview_.reset();
    parent->setNeedsLayout();
    viewDidMoveToSuperview();
    effectiveAppearanceMayHaveChanged();
}

bool NSView::isDescendant(const NSView& ancestor) const {
    for (auto view = superview_.lock(); view; view = view->superview()) {
        if (view.get() == &ancestor) return true;
    }
    return false;
}

void NSView::addConstraint(const std::shared_ptr<NSLayoutConstraint>& constraint) {
    if (!constraint || std::find(constraints_.begin(), constraints_.end(), constraint) != constraints_.end()) return;
    constraints_.push_back(constraint);
    setNeedsLayout();
}

void NSView::removeConstraint(const std::shared_ptr<NSLayoutConstraint>& constraint) {
    std::erase(constraints_, constraint);
    setNeedsLayout();
}

namespace {
struct Axis {
    std::optional<CGFloat> start, end, size, center;
};

bool isHorizontal(NSLayoutAttribute a) {
    return a == NSLayoutAttribute::left || a == NSLayoutAttribute::right || a == NSLayoutAttribute::leading ||
           a == NSLayoutAttribute::trailing || a == NSLayoutAttribute::width || a == NSLayoutAttribute::centerX;
}

// The value of an attribute of `view`, in `parent`'s bounds, with vertical values measured down
// from the top edge.
std::optional<CGFloat> valueIn(const NSView& parent, const NSView* view, NSLayoutAttribute attribute) {
    if (!view) return 0.0;
    CGRect b = parent.bounds();
    CGFloat x0, x1, top, height;
    if (view == &parent) {
        x0 = b.minX();
        x1 = b.maxX();
        top = 0;
        height = b.height();
    } else if (view->superview().get() == &parent) {
        CGRect f = view->frame();
        x0 = f.minX();
        x1 = f.maxX();
        top = parent.isFlipped() ? f.minY() - b.minY() : b.maxY() - f.maxY();
        height = f.height();
    } else {
        return std::nullopt;
    }
    switch (attribute) {
        case NSLayoutAttribute::left:
        case NSLayoutAttribute::leading: return x0;
        case NSLayoutAttribute::right:
        case NSLayoutAttribute::trailing: return x1;
        case NSLayoutAttribute::width: return x1 - x0;
        case NSLayoutAttribute::centerX: return (x0 + x1) / 2;
        case NSLayoutAttribute::top: return top;
        case NSLayoutAttribute::bottom: return top + height;
        case NSLayoutAttribute::height: return height;
        case NSLayoutAttribute::centerY: return top + height / 2;
        case NSLayoutAttribute::notAnAttribute: return 0.0;
    }
    return std::nullopt;
}

void assign(Axis& axis, NSLayoutAttribute attribute, CGFloat value) {
    switch (attribute) {
        case NSLayoutAttribute::left:
        case NSLayoutAttribute::leading:
        case NSLayoutAttribute::top: axis.start = value; break;
        case NSLayoutAttribute::right:
        case NSLayoutAttribute::trailing:
        case NSLayoutAttribute::bottom: axis.end = value; break;
        case NSLayoutAttribute::width:
        case NSLayoutAttribute::height: axis.size = value; break;
        case NSLayoutAttribute::centerX:
        case NSLayoutAttribute::centerY: axis.center = value; break;
        case NSLayoutAttribute::notAnAttribute: break;
    }
}

// Start and size along one axis from what the constraints fixed, keeping the current values for
// what they left open.
std::pair<CGFloat, CGFloat> solve(const Axis& axis, CGFloat currentStart, CGFloat currentSize) {
    CGFloat size = currentSize;
    if (axis.size) {
        size = *axis.size;
    } else if (axis.start && axis.end) {
        size = *axis.end - *axis.start;
    } else if (axis.start && axis.center) {
        size = 2 * (*axis.center - *axis.start);
    } else if (axis.end && axis.center) {
        size = 2 * (*axis.end - *axis.center);
    }
    size = std::max<CGFloat>(size, 0);
    CGFloat start = currentStart;
    if (axis.start) {
        start = *axis.start;
    } else if (axis.end) {
        start = *axis.end - size;
    } else if (axis.center) {
        start = *axis.center - size / 2;
    }
    return {start, size};
}
}  // namespace

void NSView::applyConstraints(NSView& subview) {
    Axis horizontal, vertical;
    auto consider = [&](const std::shared_ptr<NSLayoutConstraint>& c) {
        if (!c->isActive() || c->relation() != NSLayoutRelation::equal) return;
        auto first = c->firstItem(), second = c->secondItem();
        if (first.get() == &subview) {
            if (second.get() == &subview) return;
            auto other = valueIn(*this, second.get(), c->secondAttribute());
            if (!other) return;
            CGFloat value = second ? c->multiplier() * *other + c->constant() : c->constant();
            assign(isHorizontal(c->firstAttribute()) ? horizontal : vertical, c->firstAttribute(), value);
        } else if (second.get() == &subview && first.get() == this && c->multiplier() != 0) {
            // Written the other way round against the superview; a sibling written first is the one
            // placed by the constraint, not this view.
            auto other = valueIn(*this, first.get(), c->firstAttribute());
            if (!other) return;
            CGFloat value = (*other - c->constant()) / c->multiplier();
            assign(isHorizontal(c->secondAttribute()) ? horizontal : vertical, c->secondAttribute(), value);
        }
    };
    for (const auto& c : constraints_) consider(c);
    for (const auto& c : subview.constraints_) consider(c);

    CGRect current = subview.frame();
    CGFloat currentTop = isFlipped() ? current.minY() - bounds_.minY() : bounds_.maxY() - current.maxY();
    auto [x, width] = solve(horizontal, current.minX(), current.width());
    auto [top, height] = solve(vertical, currentTop, current.height());
    CGFloat y = isFlipped() ? bounds_.minY() + top : bounds_.maxY() - top - height;
    CGRect frame{x, y, width, height};
    if (frame != current) subview.setFrame(frame);
}

void NSView::layout() {
    // Twice, so that a view placed against a sibling placed later in the list settles too.
    for (int pass = 0; pass < 2; ++pass) {
        for (auto& view : std::vector<std::shared_ptr<NSView>>(subviews_)) {
            if (!view->translatesAutoresizingMaskIntoConstraints()) applyConstraints(*view);
        }
    }
}

void NSView::layoutSubtreeIfNeeded() {
    if (needsLayout_) {
        needsLayout_ = false;
        // Colours read while laying out follow the view's appearance.
        effectiveAppearance()->performAsCurrentDrawingAppearance([this] { layout(); });
    }
    for (auto& view : std::vector<std::shared_ptr<NSView>>(subviews_)) view->layoutSubtreeIfNeeded();
}

std::shared_ptr<NSView> NSView::hitTest(const CGPoint& point) {
    if (hidden_) return nullptr;
    // The point in this view's own coordinates.
    CGPoint local{point.x - frame_.origin.x + bounds_.origin.x, point.y - frame_.origin.y + bounds_.origin.y};
    if (auto parent = superview(); parent && parent->isFlipped() != isFlipped()) {
        local.y = bounds_.origin.y + (frame_.maxY() - point.y);
    }
    if (!bounds_.contains(local)) return nullptr;
    // Later subviews draw over earlier ones, so they are asked first.
    for (auto it = subviews_.rbegin(); it != subviews_.rend(); ++it) {
        if (auto hit = (*it)->hitTest(local)) return hit;
    }
    return shared_from_this();
}

NSResponder* NSView::nextResponder() const {
    if (auto* next = NSResponder::nextResponder()) return next;
    return superview_.lock().get();
}

void NSView::addTrackingArea(const std::shared_ptr<NSTrackingArea>& area) {
    if (area && std::find(trackingAreas_.begin(), trackingAreas_.end(), area) == trackingAreas_.end())
        trackingAreas_.push_back(area);
}

void NSView::removeTrackingArea(const std::shared_ptr<NSTrackingArea>& area) { std::erase(trackingAreas_, area); }

void NSView::addCursorRect(const CGRect& rect, const std::shared_ptr<NSCursor>& cursor) {
    if (cursor && !rect.isEmpty()) cursorRects_.push_back({rect, cursor});
}

void NSView::setShadow(const std::shared_ptr<NSShadow>& shadow) {
    shadow_ = shadow;
    if (!layer_) return;
    if (!shadow) {
        layer_->setShadowOpacity(0);
        return;
    }
    auto color = shadow->shadowColor();
    layer_->setShadowColor(color ? std::optional<CGColor>(color->cgColor()) : std::nullopt);
    layer_->setShadowOffset(shadow->shadowOffset());
    layer_->setShadowRadius(shadow->shadowBlurRadius());
    layer_->setShadowOpacity(1);
}

std::shared_ptr<NSScrollView> NSView::enclosingScrollView() const {
    for (auto view = superview(); view; view = view->superview()) {
        if (auto scrollView = std::dynamic_pointer_cast<NSScrollView>(view)) return scrollView;
    }
    return nullptr;
}
