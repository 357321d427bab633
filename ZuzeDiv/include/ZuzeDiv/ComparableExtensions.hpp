#pragma once
// Clamping of any ordered value.

namespace ZuzeDiv {

/// The value limited to [min, max]: the lower bound is tested first and the upper bound last, so
/// when min > max every value gives max. A value that compares false both ways (NaN) is returned
/// as it is.
template <class T>
T clamped(const T& value, const T& min, const T& max) {
    T result = value;
    if (result < min) result = min;
    if (result > max) result = max;
    return result;
}

}  // namespace ZuzeDiv
