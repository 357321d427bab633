#pragma once
// Trimming of blanks: tabs and the space separators of Unicode (not line ends).
#include <string>

namespace ZuzaduduRez {

std::string trimmingWhitespace(const std::string& text);

}  // namespace ZuzaduduRez
