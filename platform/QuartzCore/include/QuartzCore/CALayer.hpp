#pragma once
// A layer: a rectangle in its superlayer's coordinates (position, anchor point and bounds) with a
// background, border, contents, its own drawing and sublayers drawn in order over it. Layer
// coordinates have y growing upwards.
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "CoreGraphics/CGAffineTransform.hpp"
#include "CoreGraphics/CGColor.hpp"
#include "CoreGraphics/CGContext.hpp"
#include "CoreGraphics/CGGeometry.hpp"
#include "CoreGraphics/CGImage.hpp"
#include "CoreGraphics/CGPath.hpp"
#include "QuartzCore/CAAnimation.hpp"
#include "QuartzCore/CALayerDelegate.hpp"

/// How a layer's contents fill its bounds: stretched over them, or at their own size (pixels divided
/// by the contents scale) in the middle.
enum class CALayerContentsGravity { resize, center };

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
    void setPosition(CGPoint position) { change(position_, position); }
    /// Which point of the bounds sits at `position`, in unit coordinates; (0.5, 0.5) by default.
    CGPoint anchorPoint() const { return anchorPoint_; }
    void setAnchorPoint(CGPoint anchorPoint) { change(anchorPoint_, anchorPoint); }
    /// The rectangle in the superlayer's coordinates, from position, anchor point and bounds.
    CGRect frame() const;
    void setFrame(const CGRect& frame);
    CGAffineTransform affineTransform() const { return transform_; }
    void setAffineTransform(const CGAffineTransform& transform) { change(transform_, transform); }
    /// Sublayers of a higher zPosition are drawn over those of a lower one; equal ones keep their order.
    CGFloat zPosition() const { return zPosition_; }
    void setZPosition(CGFloat z) { change(zPosition_, z); }
    /// Device pixels per point of the layer's content; 1 by default.
    CGFloat contentsScale() const { return contentsScale_; }
    void setContentsScale(CGFloat scale) { change(contentsScale_, scale); }
    bool isHidden() const { return hidden_; }
    void setHidden(bool hidden) { change(hidden_, hidden); }
    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }
    /// When set, the sublayers are placed and drawn with y growing downwards from the top of the
    /// bounds (the backing layer of a flipped view). Text still reads upright.
    bool isGeometryFlipped() const { return geometryFlipped_; }
    void setGeometryFlipped(bool flipped) { change(geometryFlipped_, flipped); }

    // Appearance.
    const std::optional<CGColor>& backgroundColor() const { return backgroundColor_; }
    void setBackgroundColor(const std::optional<CGColor>& color) { change(backgroundColor_, color); }
    /// Rounds the background and border, and the clip of masksToBounds.
    CGFloat cornerRadius() const { return cornerRadius_; }
    void setCornerRadius(CGFloat radius) { change(cornerRadius_, radius); }
    bool masksToBounds() const { return masksToBounds_; }
    void setMasksToBounds(bool masks) { change(masksToBounds_, masks); }
    /// Opaque black by default; drawn inside the bounds, over the sublayers.
    const std::optional<CGColor>& borderColor() const { return borderColor_; }
    void setBorderColor(const std::optional<CGColor>& color) { change(borderColor_, color); }
    CGFloat borderWidth() const { return borderWidth_; }
    void setBorderWidth(CGFloat width) { change(borderWidth_, width); }
    float opacity() const { return opacity_; }
    void setOpacity(float opacity) { change(opacity_, opacity); }
    /// The layer's alpha, placed by its frame in this layer's coordinates, limits what is shown.
    const std::shared_ptr<CALayer>& mask() const { return mask_; }
    void setMask(const std::shared_ptr<CALayer>& mask);
    /// The shadow follows the alpha of the layer's whole drawing (or the shadow path), moved by the
    /// offset and blurred by the radius (a Gaussian's standard deviation, in points); it shows only
    /// when shadowOpacity is above 0.
    const std::optional<CGColor>& shadowColor() const { return shadowColor_; }
    void setShadowColor(const std::optional<CGColor>& color) { change(shadowColor_, color); }
    float shadowOpacity() const { return shadowOpacity_; }
    void setShadowOpacity(float opacity) { change(shadowOpacity_, opacity); }
    CGSize shadowOffset() const { return shadowOffset_; }
    void setShadowOffset(CGSize offset) { change(shadowOffset_, offset); }
    CGFloat shadowRadius() const { return shadowRadius_; }
    void setShadowRadius(CGFloat radius) { change(shadowRadius_, radius); }
    const std::optional<CGPath>& shadowPath() const { return shadowPath_; }
    void setShadowPath(const std::optional<CGPath>& path) { change(shadowPath_, path); }
    /// An image placed by the contents gravity, under the layer's own drawing.
    const std::shared_ptr<CGImage>& contents() const { return contents_; }
    void setContents(const std::shared_ptr<CGImage>& contents) { change(contents_, contents); }
    /// resize by default.
    CALayerContentsGravity contentsGravity() const { return contentsGravity_; }
    void setContentsGravity(CALayerContentsGravity gravity) { change(contentsGravity_, gravity); }
    std::shared_ptr<CALayerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::weak_ptr<CALayerDelegate>& delegate) { delegate_ = delegate; }

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
    /// The layer's own drawing is to be done again.
    void setNeedsDisplay();
    bool needsDisplay() const { return needsDisplay_; }
    void clearNeedsDisplay() { needsDisplay_ = false; }

    // What changed since the layer tree was last drawn.
    /// Whether the layer, one of its sublayers or its mask changed what it shows (or has an
    /// animation running) since the tree was last drawn. The first change of a tree that was drawn
    /// tells the delegate of its topmost layer (layerDidChange).
    bool hasChanges() const { return changed_; }
    /// Forgets the changes of the tree once it has been drawn; returns whether an animation of the
    /// tree is still running, so that it is to be drawn again (it stays marked as changed).
    bool clearChanges();
    /// The area the layer's drawing may cover, in its own coordinates: its bounds, its own drawing
    /// (strokes, text), its sublayers' and shadows; null when it is hidden.
    CGRect drawingBounds() const;

    // Drawing.
    /// Draws the layer and its sublayers into the context, in the layer's own coordinates
    /// (its bounds), whatever its position.
    void render(CGContext& context);
    /// The layer's own content, between its background and its sublayers; the plain layer asks
    /// its delegate. Subclasses draw here and may call the inherited drawing.
    virtual void draw(CGContext& context);

    // Animations, kept by key as they were added (a copy of each). An animation starts when it is
    // added (plus its beginTime) and runs for its duration (0 means a quarter of a second) times its
    // repeat count; once over, an animation removed on completion is gone from the layer.
    void add(const CAAnimation& animation, const std::string& key);
    std::shared_ptr<const CAAnimation> animation(const std::string& key) const;
    std::vector<std::string> animationKeys() const;
    void removeAnimation(const std::string& key);
    void removeAllAnimations() {
        if (animations_.empty()) return;
        animations_.clear();
        didChange();
    }

    /// What the layer shows of a property now, by the current clock: the model value, unless a
    /// basic animation of that key path is in effect. Such an animation moves from its fromValue
    /// (the model value when it has none) to its toValue, paced by its timing function (linear
    /// without one), and before its start and after its end holds its first or last value as its
    /// fill mode says. The renderer draws these values for strokeStart, strokeEnd and position.
    double presentationValue(const std::string& keyPath, double model) const;
    CGPoint presentationValue(const std::string& keyPath, CGPoint model) const;

protected:
    /// Subclasses call it when something they draw changed.
    void didChange();
    /// Sets a property, noting the change when the value differs.
    template <class T, class U>
    void change(T& property, U&& value) {
        if (property == value) return;
        property = std::forward<U>(value);
        didChange();
    }
    /// What the layer's own drawing may cover beyond its bounds (in its coordinates); the bounds
    /// unless a subclass draws further.
    virtual CGRect ownDrawingBounds() const { return bounds_; }

private:
    void detachFromSuperlayer();
    CGRect contentsPlacement() const;
    void renderBody(CGContext& context);
    void renderMaskedBody(CGContext& context);
    void renderShadow(CGContext& context);
    void renderSublayer(CALayer& layer, CGContext& context);

    CGRect bounds_;
    CGPoint position_;
    CGPoint anchorPoint_{0.5, 0.5};
    CGAffineTransform transform_;
    CGFloat zPosition_ = 0;
    CGFloat contentsScale_ = 1;
    bool hidden_ = false;
    bool geometryFlipped_ = false;
    std::string name_;
    std::optional<CGColor> backgroundColor_;
    CGFloat cornerRadius_ = 0;
    bool masksToBounds_ = false;
    std::optional<CGColor> borderColor_ = CGColor::black();
    CGFloat borderWidth_ = 0;
    float opacity_ = 1;
    std::shared_ptr<CALayer> mask_;
    std::optional<CGColor> shadowColor_ = CGColor::black();
    float shadowOpacity_ = 0;
    CGSize shadowOffset_{0, -3};
    CGFloat shadowRadius_ = 3;
    std::optional<CGPath> shadowPath_;
    std::shared_ptr<CGImage> contents_;
    CALayerContentsGravity contentsGravity_ = CALayerContentsGravity::resize;
    std::weak_ptr<CALayerDelegate> delegate_;
    std::vector<std::shared_ptr<CALayer>> sublayers_;
    std::weak_ptr<CALayer> superlayer_;
    struct AddedAnimation {
        std::string key;
        std::shared_ptr<const CAAnimation> animation;
        double start;  // clock time
    };
    /// Whether the animation is over by `now` and so no longer on the layer.
    static bool isGone(const AddedAnimation& entry, double now);
    template <class Value>
    Value presented(const std::string& keyPath, Value model) const;
    std::vector<AddedAnimation> animations_;
    bool needsLayout_ = false;
    bool needsDisplay_ = false;
    bool changed_ = false;
    std::weak_ptr<CALayer> maskOwner_;  // the layer whose mask this layer is
};
