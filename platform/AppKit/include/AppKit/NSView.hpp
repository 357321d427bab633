#pragma once
// A view: a rectangle in its superview's coordinates with subviews drawn over it. Views are
// unflipped (y grows upwards) unless isFlipped() says otherwise. A view draws in draw(_:), or,
// once it wants a layer, through its backing layer (whose anchor point is its origin, so the
// layer's frame is the view's frame, and whose geometry is flipped when the view is); its subviews
// draw over it. Its appearance comes from itself, else its superview, its window and the
// application, and it hears when that changes.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "AppKit/NSAppearance.hpp"
#include "AppKit/NSLayoutConstraint.hpp"
#include "AppKit/NSResponder.hpp"
#include "AppKit/NSTrackingArea.hpp"
#include "CoreGraphics/CGGeometry.hpp"
#include "QuartzCore/CALayer.hpp"
#include "QuartzCore/CALayerDelegate.hpp"

class NSCursor;
class NSMenuItem;
class NSScrollView;
class NSShadow;
class NSWindow;

class NSView : public NSResponder, public CALayerDelegate, public std::enable_shared_from_this<NSView> {
public:
    explicit NSView(CGRect frame = {});
    virtual ~NSView() = default;
    NSView(const NSView&) = delete;
    NSView& operator=(const NSView&) = delete;

    static std::shared_ptr<NSView> make(CGRect frame = {}) { return std::make_shared<NSView>(frame); }

    // Geometry.
    CGRect frame() const { return frame_; }
    virtual void setFrame(const CGRect& frame);
    void setFrameSize(CGSize size) { setFrame(CGRect{frame_.origin, size}); }
    void setFrameOrigin(CGPoint origin) { setFrame(CGRect{origin, frame_.size}); }
    CGRect bounds() const { return bounds_; }
    virtual void setBounds(const CGRect& bounds);
    virtual bool isFlipped() const { return false; }
    CGPoint convert(CGPoint point, const NSView* from) const;
    CGPoint convertToView(CGPoint point, const NSView* to) const;

    // The tree.
    std::shared_ptr<NSView> superview() const { return superview_.lock(); }
    const std::vector<std::shared_ptr<NSView>>& subviews() const { return subviews_; }
    void setSubviews(const std::vector<std::shared_ptr<NSView>>& subviews);
    void addSubview(const std::shared_ptr<NSView>& view);
    enum class Ordering { below = -1, above = 1 };
    void addSubview(const std::shared_ptr<NSView>& view, Ordering place, const std::shared_ptr<NSView>& relativeTo);
    void removeFromSuperview();
    bool isDescendant(const NSView& ancestor) const;
    virtual void viewWillMoveToSuperview(const std::shared_ptr<NSView>&) {}
    virtual void viewDidMoveToSuperview() {}
    virtual void didAddSubview(const std::shared_ptr<NSView>&) {}
    virtual void willRemoveSubview(const std::shared_ptr<NSView>&) {}

    bool isHidden() const { return hidden_; }
    void setHidden(bool hidden);
    /// The window of the tree the view is in; nullptr outside a window.
    std::shared_ptr<NSWindow> window() const;
    const std::string& identifier() const { return identifier_; }
    void setIdentifier(std::string identifier) { identifier_ = std::move(identifier); }
    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }

    // Constraints.
    bool translatesAutoresizingMaskIntoConstraints() const { return translatesAutoresizingMask_; }
    void setTranslatesAutoresizingMaskIntoConstraints(bool value) { translatesAutoresizingMask_ = value; }
    NSLayoutXAxisAnchor leadingAnchor() { return anchor(NSLayoutAttribute::leading); }
    NSLayoutXAxisAnchor trailingAnchor() { return anchor(NSLayoutAttribute::trailing); }
    NSLayoutXAxisAnchor leftAnchor() { return anchor(NSLayoutAttribute::left); }
    NSLayoutXAxisAnchor rightAnchor() { return anchor(NSLayoutAttribute::right); }
    NSLayoutXAxisAnchor centerXAnchor() { return anchor(NSLayoutAttribute::centerX); }
    NSLayoutYAxisAnchor topAnchor() { return anchor(NSLayoutAttribute::top); }
    NSLayoutYAxisAnchor bottomAnchor() { return anchor(NSLayoutAttribute::bottom); }
    NSLayoutYAxisAnchor centerYAnchor() { return anchor(NSLayoutAttribute::centerY); }
    NSLayoutDimension widthAnchor() { return anchor(NSLayoutAttribute::width); }
    NSLayoutDimension heightAnchor() { return anchor(NSLayoutAttribute::height); }
    /// The active constraints this view holds (those whose nearest common ancestor it is).
    const std::vector<std::shared_ptr<NSLayoutConstraint>>& constraints() const { return constraints_; }
    void addConstraint(const std::shared_ptr<NSLayoutConstraint>& constraint);
    void removeConstraint(const std::shared_ptr<NSLayoutConstraint>& constraint);

    // Layout.
    bool needsLayout() const { return needsLayout_; }
    void setNeedsLayout(bool needs = true);
    /// Places the subviews that follow constraints; subclasses override and call it.
    virtual void layout();
    /// Lays out this view and its subviews where needed, from the top down.
    void layoutSubtreeIfNeeded();
    virtual void resizeSubviews(CGSize oldSize);
    /// Called once a view built from an interface description is complete.
    virtual void awakeFromNib() {}

    // Drawing.
    bool wantsLayer() const { return wantsLayer_; }
    /// Asking for a layer makes one (makeBackingLayer) at once; giving it up drops it.
    void setWantsLayer(bool wants);
    std::shared_ptr<CALayer> layer() const;
    /// Hosts a layer made elsewhere as the view's layer.
    void setLayer(const std::shared_ptr<CALayer>& layer);
    virtual std::shared_ptr<CALayer> makeBackingLayer();
    bool needsDisplay() const { return needsDisplay_; }
    /// Asks for the view to be drawn again; its window then draws the view's area (and only what
    /// changed) on the loop's next pass.
    void setNeedsDisplay(bool needs = true);
    /// Whether the view's drawing and its subviews' are cut off at its bounds (false by default).
    bool clipsToBounds() const { return clipsToBounds_; }
    void setClipsToBounds(bool clips) { clipsToBounds_ = clips; }
    /// The shadow the view casts; setting one on a layer-backed view gives its layer the shadow's
    /// colour, offset and blur at full opacity.
    std::shared_ptr<NSShadow> shadow() const { return shadow_; }
    void setShadow(const std::shared_ptr<NSShadow>& shadow);
    /// Draws the view's content into the current graphics context, in bounds coordinates.
    virtual void draw(const CGRect& dirtyRect);
    /// Runs draw(_:) into the context, whose user space is the bounds with y up (a flipped view
    /// gets its own coordinates), as the current graphics context.
    void drawContent(CGContext& context);
    void drawLayer(CALayer&, CGContext& context) override { drawContent(context); }
    /// The backing layer's tree changed: the view is drawn again where it was and where it is.
    void layerDidChange(CALayer& layer) override;

    // Events.
    /// The deepest visible subview (or this view) under `point`, given in the superview's
    /// coordinates; nullptr when the point is outside.
    virtual std::shared_ptr<NSView> hitTest(const CGPoint& point);
    /// The nearest scroll view above this view; nullptr when it is in none.
    std::shared_ptr<NSScrollView> enclosingScrollView() const;
    /// The menu item whose view is this view or one above it; nullptr outside menu items.
    std::shared_ptr<NSMenuItem> enclosingMenuItem() const;
    /// Whether a drag that starts on this view moves a window that is movable by its background.
    virtual bool mouseDownCanMoveWindow() const { return !isOpaque(); }
    virtual bool isOpaque() const { return false; }
    /// A view passes the events it does not handle to its superview.
    NSResponder* nextResponder() const override;
    const std::vector<std::shared_ptr<NSTrackingArea>>& trackingAreas() const { return trackingAreas_; }
    void addTrackingArea(const std::shared_ptr<NSTrackingArea>& area);
    void removeTrackingArea(const std::shared_ptr<NSTrackingArea>& area);
    /// Called when tracking areas should be rebuilt (size or visibility changed).
    virtual void updateTrackingAreas() {}

    // Cursor rectangles: where the pointer takes another cursor over the view.
    struct CursorRect {
        CGRect rect;  // bounds coordinates
        std::shared_ptr<NSCursor> cursor;
    };
    /// Called after the view's rectangles were discarded, whenever its window asks which cursor the
    /// pointer takes; a view adds its rectangles here. By default it adds none.
    virtual void resetCursorRects() {}
    void addCursorRect(const CGRect& rect, const std::shared_ptr<NSCursor>& cursor);
    void discardCursorRects() { cursorRects_.clear(); }
    const std::vector<CursorRect>& cursorRects() const { return cursorRects_; }

    // Appearance.
    std::shared_ptr<NSAppearance> appearance() const { return appearance_; }
    void setAppearance(const std::shared_ptr<NSAppearance>& appearance);
    std::shared_ptr<NSAppearance> effectiveAppearance() const;
    virtual void viewDidChangeEffectiveAppearance() {}
    /// Tells this view and its subviews whose effective appearance differs from the last one
    /// they saw (the tree, window or application changed).
    void effectiveAppearanceMayHaveChanged();

private:
    friend class NSWindow;
    friend class NSMenuItem;
    friend class ViewRenderer;
    /// Marks the view and those above it as having something to lay out or draw.
    void markDisplayPending();
    /// The view's pixels in the window moved, grew, shrank, came or went: it and everything under
    /// it are measured and drawn again.
    void placementChanged();
    /// Adds to `damage` what changed under this view since the window last drew (where the
    /// pixels were and where they go), given the transform from its bounds to the window's, and
    /// notes where each view draws now. `replace` measures every view under it anew.
    void collectDamage(const CGAffineTransform& toWindow, bool replace, class DirtyRegion& damage);
    /// Forgets where the view and those under it were drawn (they left the window, or hid).
    void forgetDrawn();
    /// Lays out the views that asked for it, visiting only the parts of the tree marked.
    void layoutPending();
    void syncLayerGeometry();
    void attachLayerDelegate() const;
    NSLayoutAnchor anchor(NSLayoutAttribute attribute) { return NSLayoutAnchor(shared_from_this(), attribute); }
    void applyConstraints(NSView& subview);

    CGRect frame_;
    CGRect bounds_;
    std::weak_ptr<NSView> superview_;
    std::vector<std::shared_ptr<NSView>> subviews_;
    std::vector<std::shared_ptr<NSLayoutConstraint>> constraints_;
    bool translatesAutoresizingMask_ = true;
    bool needsLayout_ = true;
    bool hidden_ = false;
    bool wantsLayer_ = false;
    std::shared_ptr<CALayer> layer_;
    bool needsDisplay_ = false;
    std::shared_ptr<NSAppearance> appearance_;
    std::string lastAppearanceName_;
    std::weak_ptr<NSWindow> window_;
    std::vector<std::shared_ptr<NSTrackingArea>> trackingAreas_;
    std::vector<CursorRect> cursorRects_;
    std::string identifier_;
    int tag_ = 0;
    bool clipsToBounds_ = false;
    std::shared_ptr<NSShadow> shadow_;
    std::weak_ptr<NSMenuItem> menuItem_;
    // What the window knows of the view's pixels: where they are (window coordinates), its own
    // and with everything under it; whether anything under it is to be drawn or laid out again.
    CGRect drawnRect_ = CGRect::null();
    CGRect drawnExtent_ = CGRect::null();
    bool displayPending_ = true;
    bool contentChanged_ = false;
    bool placementChanged_ = true;
};
