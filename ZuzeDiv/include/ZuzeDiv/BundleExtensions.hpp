#pragma once
// The application's name and version from a bundle's information dictionary.
#include <string>

#include "Foundation/Bundle.hpp"

namespace ZuzeDiv {

/// "CFBundleName" when it is a text, else "Unknown App".
std::string appName(const Bundle& bundle);
/// "CFBundleShortVersionString" when it is a text, else "Unknown Version".
std::string appVersion(const Bundle& bundle);

}  // namespace ZuzeDiv
