#pragma once
// Menu items.
#include <memory>

#include "AppKit/NSMenuItem.hpp"

namespace RarAvi {

/// The platform's separator item.
std::shared_ptr<NSMenuItem> separator();

}  // namespace RarAvi
