#pragma once
// Whether the application runs in a dark appearance.
namespace RarAvi {

/// True when the current drawing appearance (before system version 12 the current appearance)
/// has a name that, lowercased, contains "dark"; false when there is none.
bool isDarkMode();

}  // namespace RarAvi
