#pragma once
// Whether the application runs in a dark appearance.
class NSAppearance;

namespace RarAvi {

/// True when the current drawing appearance (before system version 12 the current appearance)
/// has a name that, lowercased, contains "dark"; false when there is none.
bool isDarkMode();
/// True when the appearance's name, lowercased, contains "dark".
bool isDarkMode(const NSAppearance& appearance);

}  // namespace RarAvi
