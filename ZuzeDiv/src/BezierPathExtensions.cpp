#include "ZuzeDiv/BezierPathExtensions.hpp"

#include <array>

namespace ZuzeDiv {

CGMutablePath cgPath(const NSBezierPath& path) {
    CGMutablePath result;
    std::array<CGPoint, 3> points{};
    for (std::size_t i = 0; i < path.elementCount(); ++i) {
        switch (path.element(i, &points)) {
            case NSBezierPathElement::moveTo: result.move(points[0]); break;
            case NSBezierPathElement::lineTo: result.addLine(points[0]); break;
            case NSBezierPathElement::curveTo: result.addCurve(points[2], points[0], points[1]); break;
            case NSBezierPathElement::closePath: result.closeSubpath(); break;
        }
    }
    return result;
}

}  // namespace ZuzeDiv
