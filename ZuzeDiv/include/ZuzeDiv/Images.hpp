#pragma once
// Symbol images by name, and the application's own images.
#include <memory>
#include <string>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSFont.hpp"
#include "AppKit/NSImage.hpp"

namespace ZuzeDiv {

class Images {
public:
    Images() = delete;

    /// The system's symbol of that name; nullptr when the running system does not know it.
    static std::shared_ptr<NSImage> systemSymbol(const std::string& name);
    /// The symbol with a point size and weight applied.
    static std::shared_ptr<NSImage> configuredSymbol(const std::string& name, CGFloat pointSize, NSFont::Weight weight);
    /// The symbol painted in the colour: a copy that is no longer a template.
    static std::shared_ptr<NSImage> tintedSymbol(const std::string& name, const std::shared_ptr<NSColor>& color);
    /// The symbol painted in the colour first, then given the point size and weight.
    static std::shared_ptr<NSImage> tintedConfiguredSymbol(const std::string& name, const std::shared_ptr<NSColor>& color,
                                                           CGFloat pointSize, NSFont::Weight weight);
    /// The image of that name among the application's images.
    static std::shared_ptr<NSImage> named(const std::string& name);
};

}  // namespace ZuzeDiv
