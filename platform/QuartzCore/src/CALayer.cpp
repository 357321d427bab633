#include "QuartzCore/CALayer.hpp"

#include <algorithm>

void CALayer::setBounds(const CGRect& bounds) {
    if (bounds.size != bounds_.size) needsLayout_ = true;
    bounds_ = bounds;
}

CGRect CALayer::frame() const {
    CGRect local{-anchorPoint_.x * bounds_.size.width, -anchorPoint_.y * bounds_.size.height, bounds_.size.width,
                 bounds_.size.height};
    if (transform_.isIdentity()) return local.offsetBy(position_.x, position_.y);
    // The bounding box of the transformed corners.
    CGPoint corners[4] = {{local.minX(), local.minY()}, {local.maxX(), local.minY()},
                          {local.minX(), local.maxY()}, {local.maxX(), local.maxY()}};
    CGRect box = CGRect::null();
    for (auto corner : corners) {
        auto p = transform_.apply(corner);
        box = box.unionWith(CGRect{p.x + position_.x, p.y + position_.y, 0, 0});
    }
    return box;
}

void CALayer::setFrame(const CGRect& frame) {
    CGRect f = frame.standardized();
    setBounds(CGRect{bounds_.origin, f.size});
    position_ = {f.origin.x + anchorPoint_.x * f.size.width, f.origin.y + anchorPoint_.y * f.size.height};
}

void CALayer::detachFromSuperlayer() {
    if (auto parent = superlayer_.lock()) {
        auto& siblings = parent->sublayers_;
        siblings.erase(std::remove_if(siblings.begin(), siblings.end(), [this](const auto& l) { return l.get() == this; }),
                       siblings.end());
    }
    superlayer_.reset();
}

void CALayer::setSublayers(const std::vector<std::shared_ptr<CALayer>>& sublayers) {
    auto old = sublayers_;
    for (auto& layer : old) layer->superlayer_.reset();
    sublayers_.clear();
    for (auto& layer : sublayers) addSublayer(layer);
}

void CALayer::addSublayer(const std::shared_ptr<CALayer>& layer) { insertSublayer(layer, sublayers_.size()); }

void CALayer::insertSublayer(const std::shared_ptr<CALayer>& layer, std::size_t index) {
    if (!layer || layer.get() == this) return;
    auto keep = layer;
    keep->detachFromSuperlayer();
    index = std::min(index, sublayers_.size());
    sublayers_.insert(sublayers_.begin() + static_cast<std::ptrdiff_t>(index), keep);
    keep->superlayer_ = weak_from_this();
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
