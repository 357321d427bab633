#pragma once
// File address helpers.
#include <optional>

#include "Foundation/URL.hpp"
#include "UniformTypeIdentifiers/UTType.hpp"

namespace ZuzeDiv {

/// The content type of the file at the address; absent when the file cannot be read.
std::optional<UTType> contentType(const URL& url);

}  // namespace ZuzeDiv
