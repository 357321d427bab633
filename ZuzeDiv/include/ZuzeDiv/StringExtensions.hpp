#pragma once
// Text helpers.
#include <optional>
#include <string>

namespace ZuzeDiv {

/// The shared empty text, the "no value" text of the modules.
const std::string& emptyString();

/// True for an absent text and for a text of no characters; a text of blanks is not empty.
inline bool isNilOrEmpty(const std::optional<std::string>& text) { return !text || text->empty(); }

}  // namespace ZuzeDiv
