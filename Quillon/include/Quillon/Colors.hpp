#pragma once
// A namespace of the application that holds nothing.

namespace Quillon {

class Colors {};

}  // namespace Quillon
