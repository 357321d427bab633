#pragma once
// Whether the application runs in a dark appearance.
#include <memory>

class NSAppearance;

namespace RarAvi {

/// True when the current appearance (below) has a name that, lowercased, contains "dark"; false
/// when there is none.
bool isDarkMode();
/// True when the appearance's name, lowercased, contains "dark".
bool isDarkMode(const NSAppearance& appearance);
/// The appearance isDarkMode() reads: the current drawing appearance, before system version 12
/// the current appearance.
std::shared_ptr<NSAppearance> currentAppearance();

}  // namespace RarAvi
