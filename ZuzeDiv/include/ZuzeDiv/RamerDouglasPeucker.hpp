#pragma once
// Thinning of a polyline by the Ramer-Douglas-Peucker rule: no dropped point lies farther than
// the tolerance from the kept line.
#include <vector>

#include "ZuzeDiv/Point.hpp"

namespace ZuzeDiv {

class RamerDouglasPeucker {
public:
    RamerDouglasPeucker() = delete;

    /// The kept points in input order: the first, each point farther than `epsilon` (strictly)
    /// from the line of its section, and the last. Empty for an empty input and for a negative
    /// or NaN tolerance. Sections are worked off an explicit stack, so any input length is safe.
    static std::vector<Point> simplify(const std::vector<Point>& points, double epsilon);
};

}  // namespace ZuzeDiv
