#include "ZuzeDiv/Images.hpp"

#include "ZuzeDiv/ImageExtensions.hpp"

namespace ZuzeDiv {

std::shared_ptr<NSImage> Images::systemSymbol(const std::string& name) { return NSImage::systemSymbol(name, std::nullopt); }

std::shared_ptr<NSImage> Images::configuredSymbol(const std::string& name, CGFloat pointSize, NSFont::Weight weight) {
    auto symbol = systemSymbol(name);
    if (!symbol) return nullptr;
    return symbol->withSymbolConfiguration(NSImage::SymbolConfiguration{pointSize, weight});
}

std::shared_ptr<NSImage> Images::tintedSymbol(const std::string& name, const std::shared_ptr<NSColor>& color) {
    return tinted(systemSymbol(name), color);
}

std::shared_ptr<NSImage> Images::tintedConfiguredSymbol(const std::string& name, const std::shared_ptr<NSColor>& color,
                                                        CGFloat pointSize, NSFont::Weight weight) {
    auto image = tintedSymbol(name, color);
    if (!image) return nullptr;
    return image->withSymbolConfiguration(NSImage::SymbolConfiguration{pointSize, weight});
}

std::shared_ptr<NSImage> Images::named(const std::string& name) { return NSImage::named(name); }

}  // namespace ZuzeDiv
