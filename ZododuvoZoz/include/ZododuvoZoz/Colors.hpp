#pragma once
// The module's named colours: fixed ones made once and shared, and appearance colours made anew
// on every read from the current drawing appearance.
#include <memory>

#include "AppKit/NSColor.hpp"

namespace ZododuvoZoz {

class Colors {
public:
    Colors() = delete;
    /// A namespace for gradient colours; it has no members of its own.
    class Gradient {
    public:
        Gradient() = delete;
    };

    static std::shared_ptr<NSColor> plum();
    static std::shared_ptr<NSColor> pink();
    static std::shared_ptr<NSColor> raspberry();
    static std::shared_ptr<NSColor> peach();
    /// (62, 189, 177): the default colour of gauges and bars.
    static std::shared_ptr<NSColor> teal();
    static std::shared_ptr<NSColor> cyan();

    static std::shared_ptr<NSColor> blue();
    static std::shared_ptr<NSColor> surface();
    static std::shared_ptr<NSColor> contrast();
    static std::shared_ptr<NSColor> surfaceShade();
    static std::shared_ptr<NSColor> onColor();
};

}  // namespace ZododuvoZoz
