#pragma once
// Trimming texts as the platform's strings trim them.
#include <string>

/// Which characters trimming removes: blanks (spaces and tabs, every Unicode space separator), or
/// those and line ends (every Unicode white-space character).
enum class CharacterSet { whitespaces, whitespacesAndNewlines };

/// The UTF-8 text without the characters of the set at either end.
std::string trimmingCharacters(const std::string& text, CharacterSet set);
