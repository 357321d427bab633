#pragma once
// A pair of coordinates.
#include <string>

namespace ZuzeDiv {

struct Point {
    double x = 0;
    double y = 0;

    /// "(1.0, 2.5)": each number in the shortest form that reads back to the same double.
    std::string description() const;
    bool operator==(const Point&) const = default;
};

}  // namespace ZuzeDiv
