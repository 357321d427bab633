#pragma once
// The module's empty text.
#include <string>

namespace ZododuvoZoz {

/// The shared empty text of dialogs and labels.
const std::string& emptyString();

}  // namespace ZododuvoZoz
