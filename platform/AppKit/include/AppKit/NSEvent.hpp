#pragma once
// An input event: a mouse button, a mouse move, the scroll wheel or a key, with where and when it
// happened. Window backends make them; windows hand them to the view under the pointer.
#include <cstdint>
#include <memory>
#include <string>

#include "CoreGraphics/CGGeometry.hpp"

class NSWindow;

class NSEvent {
public:
    enum class EventType {
        leftMouseDown = 1, leftMouseUp = 2, rightMouseDown = 3, rightMouseUp = 4, mouseMoved = 5,
        leftMouseDragged = 6, rightMouseDragged = 7, mouseEntered = 8, mouseExited = 9, keyDown = 10,
        keyUp = 11, scrollWheel = 22
    };
    struct ModifierFlags {
        std::uint64_t rawValue = 0;
        static constexpr ModifierFlags shift() { return {1u << 17}; }
        static constexpr ModifierFlags control() { return {1u << 18}; }
        static constexpr ModifierFlags option() { return {1u << 19}; }
        static constexpr ModifierFlags command() { return {1u << 20}; }
        constexpr bool contains(ModifierFlags other) const { return (rawValue & other.rawValue) == other.rawValue; }
        bool operator==(const ModifierFlags&) const = default;
    };

    /// The key codes of a Mac keyboard's keys that the platform's views answer to.
    struct KeyCode {
        static constexpr std::uint16_t escape = 53;
        static constexpr std::uint16_t home = 115;
        static constexpr std::uint16_t pageUp = 116;
        static constexpr std::uint16_t end = 119;
        static constexpr std::uint16_t pageDown = 121;
        static constexpr std::uint16_t leftArrow = 123;
        static constexpr std::uint16_t rightArrow = 124;
        static constexpr std::uint16_t downArrow = 125;
        static constexpr std::uint16_t upArrow = 126;
    };

    EventType type = EventType::mouseMoved;
    /// Where the pointer was, in the window's coordinates (y up, origin at the bottom left).
    CGPoint locationInWindow;
    ModifierFlags modifierFlags;
    /// Seconds since the machine started.
    double timestamp = 0;
    std::weak_ptr<NSWindow> window;
    int clickCount = 0;
    /// The scroll wheel's deltas: lines for a wheel that turns in notches, points where
    /// hasPreciseScrollingDeltas (a touchpad's smooth scrolling). Positive shows what lies to the
    /// left and above.
    CGFloat scrollingDeltaX = 0;
    CGFloat scrollingDeltaY = 0;
    bool hasPreciseScrollingDeltas = false;
    /// The text a key event types.
    std::string characters;
    std::uint16_t keyCode = 0;
    /// For entered and exited events: the tracking area's user information tag.
    std::uint64_t trackingNumber = 0;

    /// How many lines a notch of the wheel scrolls, as desktop toolkits have it.
    static constexpr CGFloat linesPerWheelNotch = 3;
    /// Sets the scrolling deltas from a window system's wheel amounts, counted in notches to the
    /// right and away from the user. Whole notches come from a wheel and scroll by lines; an
    /// amount with a fraction comes from smooth scrolling and scrolls by `pointsPerNotch` points a
    /// notch.
    void setWheelNotches(double right, double up, double pointsPerNotch);
};
