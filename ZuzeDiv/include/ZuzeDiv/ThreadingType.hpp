#pragma once
// Whether a guarded value's queue lets reads run side by side (concurrent) or one at a time.

namespace ZuzeDiv {

enum class ThreadingType { concurrent = 0, serial = 1 };

}  // namespace ZuzeDiv
