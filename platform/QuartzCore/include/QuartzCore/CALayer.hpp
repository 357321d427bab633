#pragma once
// A layer: a rectangle in its superlayer's coordinates (position, anchor point and bounds) with
// sublayers drawn in order over it.
#include <memory>
#include <string>
#include <vector>

#include "CoreGraphics/CGAffineTransform.hpp"
#include "CoreGraphics/CGGeometry.hpp"

class CALayer : public std::enable_shared_from_this<CALayer> {
public:
    CALayer() = default;
    virtual ~CALayer() = default;
    CALayer(const CALayer&) = delete;
    CALayer& operator=(const CALayer&) = delete;

    static std::shared_ptr<CALayer> make() { return std::make_shared<CALayer>(); }

    // Geometry.
    CGRect bounds() const { return bounds_; }
    virtual void setBounds(const CGRect& bounds);
    CGPoint position() const { return position_; }
    void setPosition(CGPoint position) { position_ = position; }
    /// Which point of the bounds sits at `position`, in unit coordinates; (0.5, 0.5) by default.
    CGPoint anchorPoint() const { return anchorPoint_; }
    void setAnchorPoint(CGPoint anchorPoint) { anchorPoint_ = anchorPoint; }
    /// The rectangle in the superlayer's coordinates, from position, anchor point and bounds.
    CGRect frame() const;
    void setFrame(const CGRect& frame);
    CGAffineTransform affineTransform() const { return transform_; }
    void setAffineTransform(const CGAffineTransform& transform) { transform_ = transform; }
    CGFloat zPosition() const { return zPosition_; }
    void setZPosition(CGFloat z) { zPosition_ = z; }
    CGFloat contentsScale() const { return contentsScale_; }
    void setContentsScale(CGFloat scale) { contentsScale_ = scale; }
    bool isHidden() const { return hidden_; }
    void setHidden(bool hidden) { hidden_ = hidden; }
    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }

    // The tree.
    const std::vector<std::shared_ptr<CALayer>>& sublayers() const { return sublayers_; }
    void setSublayers(const std::vector<std::shared_ptr<CALayer>>& sublayers);
    std::shared_ptr<CALayer> superlayer() const { return superlayer_.lock(); }
    void addSublayer(const std::shared_ptr<CALayer>& layer);
    void insertSublayer(const std::shared_ptr<CALayer>& layer, std::size_t index);
    void insertSublayer(const std::shared_ptr<CALayer>& layer, const std::shared_ptr<CALayer>& below, bool above);
    void replaceSublayer(const std::shared_ptr<CALayer>& old, const std::shared_ptr<CALayer>& replacement);
    void removeFromSuperlayer();

    /// Converts a point of this layer's bounds into `layer`'s (both in one tree; nullptr = the root).
    CGPoint convert(CGPoint point, const CALayer* layer) const;

    // Layout and display.
    void setNeedsLayout() { needsLayout_ = true; }
    bool needsLayout() const { return needsLayout_; }
    void layoutIfNeeded();
    virtual void layoutSublayers() {}
    void setNeedsDisplay() { needsDisplay_ = true; }
    bool needsDisplay() const { return needsDisplay_; }
    void clearNeedsDisplay() { needsDisplay_ = false; }

private:
    void detachFromSuperlayer();

    CGRect bounds_;
    CGPoint position_;
    CGPoint anchorPoint_{0.5, 0.5};
    CGAffineTransform transform_;
    CGFloat zPosition_ = 0;
    CGFloat contentsScale_ = 1;
    bool hidden_ = false;
    std::string name_;
    std::vector<std::shared_ptr<CALayer>> sublayers_;
    std::weak_ptr<CALayer> superlayer_;
    bool needsLayout_ = false;
    bool needsDisplay_ = false;
};
