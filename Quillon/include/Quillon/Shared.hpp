#pragma once
// A namespace of the application that holds nothing.

namespace Quillon {

class Shared {};

}  // namespace Quillon
