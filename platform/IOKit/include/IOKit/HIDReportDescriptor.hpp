#pragma once
// What a HID device says it is: the usages of the top-level application collections of its
// report descriptor (a pointer is Generic Desktop 0x01, a mouse 0x02, a keyboard 0x06, a keypad
// 0x07, a touch pad Digitizer 0x05).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Foundation/Data.hpp"

struct HIDUsage {
    std::uint16_t page = 0;
    std::uint16_t usage = 0;
    bool operator==(const HIDUsage&) const = default;
};

class HIDReportDescriptor {
public:
    HIDReportDescriptor() = delete;

    static constexpr std::uint16_t genericDesktopPage = 0x01;
    static constexpr std::uint16_t digitizerPage = 0x0D;

    /// The usages of the top-level application collections, in descriptor order. A descriptor
    /// that is cut short yields the collections that begin before the cut.
    static std::vector<HIDUsage> applicationUsages(const Data& descriptor);

    /// "Keyboard", "Mouse" or "Trackpad" for the first application collection that is a
    /// keyboard or keypad, a mouse or pointer, or a touch pad; "undefined" for a device whose
    /// collections are none of these (a game pad, a pen, a remote); absent when the descriptor
    /// has no application collection.
    static std::optional<std::string> defaultBehavior(const Data& descriptor);
};
