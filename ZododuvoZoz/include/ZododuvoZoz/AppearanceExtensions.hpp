#pragma once
// Whether drawing happens in a dark appearance.
namespace ZododuvoZoz {

/// True when the current drawing appearance's name, lowercased, contains "dark".
bool isDarkMode();

}  // namespace ZododuvoZoz
