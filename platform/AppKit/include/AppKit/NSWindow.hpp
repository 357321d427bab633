#pragma once
// A window: a frame on the screen, a style (title bar, buttons, resizing) and one content view
// filling the part below the title bar. Its appearance is its own or the application's.
#include <cstdint>
#include <memory>
#include <string>

#include "AppKit/NSAppearance.hpp"
#include "AppKit/NSResponder.hpp"
#include "AppKit/NSView.hpp"
#include "CoreGraphics/CGGeometry.hpp"

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
        bool operator==(const StyleMask&) const = default;
    };

    /// The height of a title bar, in points.
    static constexpr CGFloat titleBarHeight = 28;

    /// A window whose content area is `contentRect` (in screen coordinates).
    static std::shared_ptr<NSWindow> make(const CGRect& contentRect, StyleMask styleMask);

    CGRect frame() const { return frame_; }
    void setFrame(const CGRect& frame, bool display = true);
    StyleMask styleMask() const { return styleMask_; }
    void setStyleMask(StyleMask styleMask);
    /// The content area of a frame: the frame less the title bar of a titled window, unless the
    /// content reaches under the title bar (fullSizeContentView).
    CGRect contentRect(const CGRect& frameRect) const;
    CGRect frameRect(const CGRect& contentRect) const;

    const std::string& title() const { return title_; }
    void setTitle(std::string title) { title_ = std::move(title); }
    std::shared_ptr<NSView> contentView() const { return contentView_; }
    void setContentView(const std::shared_ptr<NSView>& view);

    std::shared_ptr<NSAppearance> appearance() const { return appearance_; }
    void setAppearance(const std::shared_ptr<NSAppearance>& appearance);
    std::shared_ptr<NSAppearance> effectiveAppearance() const;
    /// The main screen's scale, or 1 without one.
    CGFloat backingScaleFactor() const;

    NSWindow(const CGRect& frame, StyleMask styleMask) : frame_(frame), styleMask_(styleMask) {}

private:
    friend class NSApplication;
    void effectiveAppearanceMayHaveChanged();
    void placeContentView();

    CGRect frame_;
    StyleMask styleMask_;
    std::string title_;
    std::shared_ptr<NSView> contentView_;
    std::shared_ptr<NSAppearance> appearance_;
};
