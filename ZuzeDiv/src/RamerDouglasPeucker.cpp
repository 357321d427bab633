#include "ZuzeDiv/RamerDouglasPeucker.hpp"

#include <charconv>
#include <cmath>
#include <utility>

namespace ZuzeDiv {

namespace {
std::string shortest(double value) {
    // Plain decimals from 0.0001 up to 2^53, as the platform writes doubles ("100000.0", "0.0001");
    // beyond that range the exponent form ("1e+16", "1e-05"). Either way the fewest digits that
    // read back to the same double.
    char buffer[400];
    const double magnitude = std::fabs(value);
    if (!std::isfinite(value)) return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
    if (magnitude != 0 && (magnitude < 1e-4 || magnitude > 9007199254740992.0))
        return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific).ptr);
    auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed).ptr;
    std::string text(buffer, end);
    // Whole numbers keep one fraction digit ("1.0").
    if (text.find('.') == std::string::npos) text += ".0";
    return text;
}
}  // namespace

std::string Point::description() const { return "(" + shortest(x) + ", " + shortest(y) + ")"; }

std::vector<Point> RamerDouglasPeucker::simplify(const std::vector<Point>& points, double epsilon) {
    std::vector<Point> result;
    if (points.empty() || !(epsilon >= 0)) return result;
    result.push_back(points.front());

    // Each section either keeps its end point or splits at its farthest point into two sections,
    // the left one worked first. Pushing the right half below the left one keeps the order that
    // working the halves one after the other gives.
    std::vector<std::pair<std::size_t, std::size_t>> sections;
    sections.emplace_back(0, points.size() - 1);
    while (!sections.empty()) {
        auto [s, e] = sections.back();
        sections.pop_back();
        if (s >= e) continue;
        if (s + 1 == e) {
            result.push_back(points[e]);
            continue;
        }
        const double x1 = points[s].x, y1 = points[s].y, x2 = points[e].x, y2 = points[e].y;
        const double dx = x2 - x1, dy = y2 - y1;
        const double length = std::sqrt(dx * dx + dy * dy);
        const double offset = y1 * x2 - x1 * y2;
        // The distance of point i is |offset + dy·xi - dx·yi| / length. The length is the same
        // for the whole section, so the farthest point is found on the numerators and divided
        // once. Coincident end points give 0/0: NaN, which never counts as farther.
        double greatestNumerator = 0;
        std::size_t index = 0;
        for (std::size_t i = s + 1; i < e; ++i) {
            const double numerator = std::fabs(offset + dy * points[i].x - dx * points[i].y);
            if (numerator > greatestNumerator) {
                greatestNumerator = numerator;
                index = i;
            }
        }
        const double greatest = length > 0 ? greatestNumerator / length : 0.0;
        if (greatest > epsilon) {
            sections.emplace_back(index, e);
            sections.emplace_back(s, index);
        } else {
            result.push_back(points[e]);
        }
    }
    return result;
}

}  // namespace ZuzeDiv
