#pragma once
// Date helpers.

namespace ZuzeDiv {

/// Seconds since 1 January 1970 of the present moment, with the fraction.
double currentTimestamp();

}  // namespace ZuzeDiv
