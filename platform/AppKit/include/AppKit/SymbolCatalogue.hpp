#pragma once
// The symbol images the system knows: each name with its own artwork and the first system version
// that has it.
#include <optional>
#include <string>
#include <vector>

#include "Foundation/ProcessInfo.hpp"

struct SymbolEntry {
    std::string name;
    OperatingSystemVersion introduced;
    /// SVG drawn on a 24 by 24 grid in black, to be used as a template.
    std::string svg;
};

namespace SymbolCatalogue {
/// The entry of a name, whatever the running system's version.
const SymbolEntry* find(const std::string& name);
const std::vector<SymbolEntry>& all();
}  // namespace SymbolCatalogue
