#include "ZuzeDiv/Images.hpp"

namespace ZuzeDiv {

std::shared_ptr<NSImage> Images::systemSymbol(const std::string& name) { return NSImage::systemSymbol(name, std::nullopt); }

std::shared_ptr<NSImage> Images::configuredSymbol(const std::string& name, CGFloat pointSize, NSFont::Weight weight) {
    auto symbol = systemSymbol(name);
    if (!symbol) return nullptr;
    return symbol->withSymbolConfiguration(NSImage::SymbolConfiguration{pointSize, weight});
}

std::shared_ptr<NSImage> Images::named(const std::string& name) { return NSImage::named(name); }

}  // namespace ZuzeDiv
