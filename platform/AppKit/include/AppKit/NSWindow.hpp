#pragma once
// A window: a frame on the screen (AppKit screen coordinates: y grows upwards from the bottom of
// the main screen), a style (title bar, buttons, resizing), an optional toolbar band under the
// title bar, and one content view filling the rest. The platform draws the title bar (close
// button, title, the application's menu button) and the toolbar band itself, so their height is
// the same under any window system. The window's views form one tree whose root, the frame view,
// holds the title bar, the toolbar band and the content view; events are delivered and pixels
// drawn through that tree.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "AppKit/DirtyRegion.hpp"
#include "AppKit/NSAppearance.hpp"
#include "AppKit/NSEvent.hpp"
#include "AppKit/NSResponder.hpp"
#include "AppKit/NSView.hpp"
#include "CoreGraphics/CGContext.hpp"
#include "CoreGraphics/CGGeometry.hpp"
#include "CoreGraphics/CGImage.hpp"
#include "CoreGraphics/CGWindowLevel.hpp"
#include "Foundation/NotificationCenter.hpp"

class NSColor;
class NSCursor;
class NSScreen;
class NSToolbar;
class NSViewController;
class NSWindowController;
class WindowFrameView;

/// What a window tells the object that looks after it.
class NSWindowDelegate {
public:
    virtual ~NSWindowDelegate() = default;
    /// The window is about to close; the notification's object is the window.
    virtual void windowWillClose(const Notification&) {}
    /// The window's frame changed size.
    virtual void windowDidResize(const Notification&) {}
};

inline const char* const NSWindowWillCloseNotification = "NSWindowWillCloseNotification";
inline const char* const NSWindowDidResizeNotification = "NSWindowDidResizeNotification";

class NSWindow : public NSResponder, public std::enable_shared_from_this<NSWindow> {
public:
    struct StyleMask {
        std::uint64_t rawValue = 0;
        static constexpr StyleMask borderless() { return {0}; }
        static constexpr StyleMask titled() { return {1u << 0}; }
        static constexpr StyleMask closable() { return {1u << 1}; }
        static constexpr StyleMask miniaturizable() { return {1u << 2}; }
        static constexpr StyleMask resizable() { return {1u << 3}; }
        static constexpr StyleMask fullSizeContentView() { return {1u << 15}; }
        constexpr StyleMask operator|(StyleMask other) const { return {rawValue | other.rawValue}; }
        constexpr bool contains(StyleMask other) const { return (rawValue & other.rawValue) == other.rawValue; }
        constexpr StyleMask inserting(StyleMask other) const { return {rawValue | other.rawValue}; }
        constexpr StyleMask removing(StyleMask other) const { return {rawValue & ~other.rawValue}; }
        bool operator==(const StyleMask&) const = default;
    };

    enum class TitleVisibility { visible = 0, hidden = 1 };
    /// How a window keeps its pixels; the platform keeps every window's the same way.
    enum class BackingStoreType { retained = 0, nonretained = 1, buffered = 2 };
    enum class ButtonType { closeButton = 0, miniaturizeButton = 1, zoomButton = 2 };

    /// Window levels (CGWindowLevelForKey of the normal and floating keys).
    static constexpr CGWindowLevel normalLevel = 0;
    static constexpr CGWindowLevel floatingLevel = 3;

    /// The height of the title bar, in points.
    static constexpr CGFloat titleBarHeight = 28;
    /// The height of the toolbar band under the title bar, in points.
    static constexpr CGFloat toolbarHeight = 38;

    /// A window whose content area is `contentRect` (in screen coordinates).
    static std::shared_ptr<NSWindow> make(const CGRect& contentRect, StyleMask styleMask);
    /// A titled, closable, miniaturizable and resizable window showing the controller's view at
    /// the view's size, titled with the controller's title.
    static std::shared_ptr<NSWindow> make(const std::shared_ptr<NSViewController>& contentViewController);

    NSWindow(const CGRect& frame, StyleMask styleMask);
    ~NSWindow() override;

    // Geometry.
    CGRect frame() const { return frame_; }
    /// Moves and sizes the window at once (animation, when asked for, is immediate); with
    /// `display` the window is redrawn on the loop's next pass. A titled window whose size
    /// changes is kept on the main screen (constrainFrameRect).
    void setFrame(const CGRect& frame, bool display = true, bool animate = false);
    void setFrameOrigin(CGPoint origin) { setFrame(CGRect{origin, frame_.size}); }
    /// The main screen changed: the window is kept on it again as when its size was last set, at
    /// that size where it now fits, its top edge where it is.
    void fitOnScreen();
    /// Sizes the content area, keeping the window's top edge where it is.
    void setContentSize(CGSize size);
    CGSize contentMinSize() const { return contentMinSize_; }
    void setContentMinSize(CGSize size) { contentMinSize_ = size; }
    CGSize minSize() const { return minSize_; }
    void setMinSize(CGSize size) { minSize_ = size; }
    /// Places the window in the middle of the main screen's visible area (without a screen: stays).
    void center();
    /// The frame a titled window takes on the screen: no taller than the screen's visible area,
    /// with its top edge no higher than that area's and, where it would reach below it, moved up
    /// so that all of it shows. Other windows, and any window without a screen, keep the frame.
    virtual CGRect constrainFrameRect(const CGRect& frameRect, const std::shared_ptr<NSScreen>& screen) const;
    /// The content area of a frame: the frame less the title bar and the toolbar band of a titled
    /// window, unless the content reaches under them (fullSizeContentView).
    CGRect contentRect(const CGRect& frameRect) const;
    CGRect frameRect(const CGRect& contentRect) const;
    /// The height of the title bar and toolbar band above the content (0 when the content reaches
    /// under them or the window has no title bar).
    CGFloat titleBarAndToolbarHeight() const;

    StyleMask styleMask() const { return styleMask_; }
    void setStyleMask(StyleMask styleMask);

    // Title bar.
    const std::string& title() const { return title_; }
    void setTitle(std::string title);
    TitleVisibility titleVisibility() const { return titleVisibility_; }
    void setTitleVisibility(TitleVisibility visibility);
    bool titlebarAppearsTransparent() const { return titlebarTransparent_; }
    void setTitlebarAppearsTransparent(bool transparent);
    /// The title bar's close, miniaturize and zoom buttons (nullptr for a window without a title
    /// bar); hiding one removes it from the title bar.
    std::shared_ptr<NSView> standardWindowButton(ButtonType type) const;
    std::shared_ptr<NSToolbar> toolbar() const { return toolbar_; }
    /// Gives the window a toolbar band (or removes it), keeping the content size and the top edge.
    void setToolbar(const std::shared_ptr<NSToolbar>& toolbar);

    // Content.
    std::shared_ptr<NSView> contentView() const { return contentView_; }
    void setContentView(const std::shared_ptr<NSView>& view);
    std::shared_ptr<NSViewController> contentViewController() const { return contentViewController_; }
    /// Shows the controller's view (loaded now) as the content view, sizing the content area to the
    /// view when the view has a size (the top edge stays); the window keeps the controller.
    void setContentViewController(const std::shared_ptr<NSViewController>& controller);
    std::shared_ptr<NSWindowController> windowController() const { return windowController_.lock(); }
    std::shared_ptr<NSColor> backgroundColor() const { return backgroundColor_; }
    void setBackgroundColor(const std::shared_ptr<NSColor>& color);
    /// Whether the window covers what lies behind it completely (true by default). Windows are
    /// drawn as their pixels say either way; a window that is not opaque lets a background colour
    /// with alpha show what is behind it.
    bool isOpaque() const { return opaque_; }
    void setOpaque(bool opaque);

    std::shared_ptr<NSWindowDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<NSWindowDelegate>& delegate) { delegate_ = delegate; }

    // Ordering.
    CGWindowLevel level() const { return level_; }
    void setLevel(CGWindowLevel level);
    /// On screen and not miniaturized.
    bool isVisible() const { return visible_ && !miniaturized_; }
    bool isKeyWindow() const;
    bool canBecomeKeyWindow() const;
    /// Shows the window in front of the others of its level and makes it the key window.
    void makeKeyAndOrderFront(const std::shared_ptr<void>& sender = nullptr);
    void makeKeyWindow();
    void orderFront(const std::shared_ptr<void>& sender = nullptr);
    /// Takes the window off the screen without closing it.
    void orderOut(const std::shared_ptr<void>& sender = nullptr);
    bool isMovableByWindowBackground() const { return movableByWindowBackground_; }
    void setMovableByWindowBackground(bool movable) { movableByWindowBackground_ = movable; }
    /// Closes the window: the delegate hears windowWillClose, the content controller's view
    /// disappears, the window leaves the screen and the application's window list, and the
    /// application may terminate after its last window.
    void close();
    /// A click on the close button: closes a closable window.
    void performClose(const std::shared_ptr<void>& sender = nullptr);

    // Miniaturizing and zooming.
    /// Takes a window on screen off it into the window system's dock or task bar (iconifies it);
    /// it keeps its place among the windows on screen and comes back with deminiaturize or
    /// orderFront.
    void miniaturize(const std::shared_ptr<void>& sender = nullptr);
    void deminiaturize(const std::shared_ptr<void>& sender = nullptr);
    bool isMiniaturized() const { return miniaturized_; }
    /// A click on the miniaturize button: miniaturizes a miniaturizable window.
    void performMiniaturize(const std::shared_ptr<void>& sender = nullptr);
    /// Toggles the window between its standard frame, the main screen's visible area, and the
    /// frame it had before (the user's); nothing without a screen.
    void zoom(const std::shared_ptr<void>& sender = nullptr);
    /// Whether the window has its standard frame.
    bool isZoomed() const;
    /// A click on the zoom button: zooms a resizable window.
    void performZoom(const std::shared_ptr<void>& sender = nullptr);

    // Events.
    /// Delivers an event of this window (location in window coordinates): mouse buttons to the
    /// view under the pointer (drags and the release to the view that got the press), entered,
    /// exited and moved to tracking areas, presses on the title bar or, for a window movable by
    /// its background, on a background view move the window once the pointer has gone past the
    /// backend's drag threshold with the button down (a press and release without that move, as
    /// a tap gives them, moves nothing): the window system moves it from then on where the
    /// backend hands it the move, else the window follows the pointer itself; keys go to the first
    /// responder or, while there is none, to the first view of the content that accepts being it.
    void sendEvent(const NSEvent& event);
    /// Whether a press at this point (window coordinates) moves the window: the title bar outside
    /// its buttons, or a background view of a window movable by its background.
    bool isDraggableAt(CGPoint point) const;
    /// The view under the point (window coordinates), title bar and toolbar included.
    std::shared_ptr<NSView> viewAt(CGPoint point) const;
    /// The cursor the pointer takes at the point (window coordinates): the view under it and then
    /// its superviews rebuild their cursor rectangles, and the first rectangle holding the point
    /// gives the cursor; the arrow when none does. Pointer moves make it the current cursor.
    std::shared_ptr<NSCursor> cursorAt(CGPoint point) const;
    NSResponder* firstResponder() const { return firstResponder_; }
    bool makeFirstResponder(NSResponder* responder);
    NSResponder* nextResponder() const override;

    // Layout and display.
    /// Lays out the window's views where needed.
    void layoutIfNeeded();
    bool viewsNeedDisplay() const;
    void setViewsNeedDisplay(bool needs) { needsDisplay_ = needs; }
    /// Draws the whole window now through its backend when it is on screen.
    void display();
    /// Draws what changed in the window since it was last drawn (nothing when nothing did): the
    /// views that asked to be redrawn, moved, came, went or whose layers changed, each where it
    /// was and where it is now, and hands the backend those rectangles.
    void displayIfNeeded();
    /// The window's pixels as last drawn, kept from one drawing to the next (nullptr before the
    /// first); its backend shows them, or lends them (WindowBackend::makeBackingStore). User
    /// space: the window's points, y up.
    const std::shared_ptr<CGContext>& backingStore() const { return backingStore_; }
    /// Lets the backing store go (the pixels the backend lent for it are going away): the next
    /// drawing makes a new one and draws everything.
    void discardBackingStore();
    /// The whole window (title bar, toolbar band and content) drawn into a bitmap at `scale`
    /// (the backing scale factor when absent).
    std::shared_ptr<CGImage> image(std::optional<CGFloat> scale = std::nullopt);
    /// The root of the window's view tree.
    std::shared_ptr<NSView> frameView() const;

    std::shared_ptr<NSAppearance> appearance() const { return appearance_; }
    void setAppearance(const std::shared_ptr<NSAppearance>& appearance);
    std::shared_ptr<NSAppearance> effectiveAppearance() const;
    /// The main screen's scale, or 1 without one.
    CGFloat backingScaleFactor() const;

    /// The menu panel opened from the title bar's menu button (nullptr when closed).
    std::shared_ptr<NSView> openMenu() const;
    /// Opens the application's main menu under the title bar's menu button.
    void showMenu();

protected:
    /// Gives a window made by a subclass its views and its place among the application's windows,
    /// as make(contentRect, styleMask) does for a plain window.
    static void install(const std::shared_ptr<NSWindow>& window, const CGRect& contentRect);

private:
    friend class NSApplication;
    friend class NSWindowController;
    friend class NSToolbar;
    friend class WindowFrameView;
    friend class NSView;
    void effectiveAppearanceMayHaveChanged();
    /// Draws the changed parts (everything after needsDisplay_) and shows them.
    void redraw();
    /// Marks an area of the window (window coordinates) to be drawn again.
    void addDamage(const CGRect& rect) { damage_.add(rect); }
    void placeViews();
    void frameChanged(bool sizeChanged);
    void applyFrame(const CGRect& frame, bool display);
    void backendUpdate();
    void appear();
    void disappear();
    void updateTrackingAreas(const NSEvent& event, bool inside);
    /// The pointer, its button down since a press where the window is moved by, is at the point
    /// (window coordinates): past the drag threshold the move starts.
    void dragWindow(CGPoint point);
    /// Where key events go: the first responder, or without one the first view that takes it.
    NSResponder* keyResponder() const;

    CGRect frame_;
    CGSize askedSize_;  // the size last set, before the screen held it in
    StyleMask styleMask_;
    std::string title_;
    TitleVisibility titleVisibility_ = TitleVisibility::visible;
    bool titlebarTransparent_ = false;
    std::shared_ptr<WindowFrameView> frameView_;
    std::shared_ptr<NSView> contentView_;
    std::shared_ptr<NSViewController> contentViewController_;
    std::weak_ptr<NSWindowController> windowController_;
    std::shared_ptr<NSToolbar> toolbar_;
    std::shared_ptr<NSColor> backgroundColor_;
    std::weak_ptr<NSWindowDelegate> delegate_;
    std::shared_ptr<NSAppearance> appearance_;
    CGSize contentMinSize_;
    CGSize minSize_;
    CGWindowLevel level_ = normalLevel;
    bool visible_ = false;
    bool closed_ = false;
    bool miniaturized_ = false;
    std::optional<CGRect> userFrame_;
    bool movableByWindowBackground_ = false;
    bool opaque_ = true;
    bool needsDisplay_ = true;
    std::shared_ptr<CGContext> backingStore_;
    CGFloat backingStoreScale_ = 0;
    DirtyRegion damage_;
    NSResponder* firstResponder_ = nullptr;

    // Mouse tracking.
    std::shared_ptr<NSView> mouseDownView_;
    // A press where the window is moved by: where it was (window coordinates), whether the pointer
    // has since gone past the drag threshold, and whether the window system then took the move.
    struct WindowDrag {
        CGPoint anchor;
        bool moving = false;
        bool byWindowSystem = false;
    };
    std::optional<WindowDrag> drag_;
};
