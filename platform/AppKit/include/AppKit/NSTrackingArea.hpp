#pragma once
// A region of a view that reports the pointer entering, leaving and moving inside it to its owner.
#include <cstdint>
#include <memory>

#include "CoreGraphics/CGGeometry.hpp"

class NSResponder;

class NSTrackingArea {
public:
    struct Options {
        std::uint64_t rawValue = 0;
        static constexpr Options mouseEnteredAndExited() { return {0x01}; }
        static constexpr Options mouseMoved() { return {0x02}; }
        static constexpr Options cursorUpdate() { return {0x04}; }
        static constexpr Options activeWhenFirstResponder() { return {0x10}; }
        static constexpr Options activeInKeyWindow() { return {0x20}; }
        static constexpr Options activeInActiveApp() { return {0x40}; }
        static constexpr Options activeAlways() { return {0x80}; }
        static constexpr Options assumeInside() { return {0x100}; }
        static constexpr Options inVisibleRect() { return {0x200}; }
        static constexpr Options enabledDuringMouseDrag() { return {0x400}; }
        constexpr Options operator|(Options other) const { return {rawValue | other.rawValue}; }
        constexpr bool contains(Options other) const { return (rawValue & other.rawValue) == other.rawValue; }
        bool operator==(const Options&) const = default;
    };

    /// The owner is held weakly; `rect` is in the view's coordinates (ignored with inVisibleRect,
    /// which follows the view's visible bounds).
    NSTrackingArea(const CGRect& rect, Options options, const std::shared_ptr<NSResponder>& owner,
                   std::uint64_t userInfo = 0)
        : rect_(rect), options_(options), owner_(owner), userInfo_(userInfo) {}

    CGRect rect() const { return rect_; }
    Options options() const { return options_; }
    std::shared_ptr<NSResponder> owner() const { return owner_.lock(); }
    std::uint64_t userInfo() const { return userInfo_; }

    /// Whether the pointer was inside at the last event the window delivered.
    bool isInside() const { return inside_; }
    void setInside(bool inside) { inside_ = inside; }

private:
    CGRect rect_;
    Options options_;
    std::weak_ptr<NSResponder> owner_;
    std::uint64_t userInfo_;
    bool inside_ = false;
};
