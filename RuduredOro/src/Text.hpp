#pragma once
// Text helpers of the module.
#include <string>

namespace RuduredOro {

/// The text in lower case, by the Unicode rules and independent of the user's language.
std::string lowercased(const std::string& text);

}  // namespace RuduredOro
