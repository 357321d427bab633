#include "ZododuvoZoz/UIProgressView.hpp"

#include <algorithm>
#include <cmath>

#include "CoreGraphics/CGPath.hpp"
#include "ZuzeDiv/ComparableExtensions.hpp"

namespace ZododuvoZoz {

UIProgressView::Body UIProgressView::body(CGSize size) const {
    CGFloat w = size.width, h = size.height;
    CGFloat p = std::isnan(progress) ? 0 : ZuzeDiv::clamped<CGFloat>(progress, 0, 1);
    auto color = p > 0.2 ? NSColor::systemGreenColor() : NSColor::systemRedColor();
    Body body;
    body.style.lineWidth = lineWidth;
    body.track = {{lineWidth, h / 2}, {w - lineWidth, h / 2}, color, 0.1};
    if (p > 0) body.progress = Stroke{{lineWidth, h / 2}, {std::max(lineWidth, (w - lineWidth) * p), h / 2}, color, 1};
    return body;
}

void UIProgressView::draw(CGContext& context, CGSize size) const {
    Body lines = body(size);
    context.saveGState();
    context.setLineWidth(lines.style.lineWidth);
    context.setLineCap(lines.style.cap);
    context.setLineJoin(lines.style.join);
    context.setMiterLimit(lines.style.miterLimit);
    context.setLineDash(0, lines.style.dash);
    for (const Stroke* stroke : {&lines.track, lines.progress ? &*lines.progress : nullptr}) {
        if (!stroke) continue;
        CGColor color = stroke->color->cgColor();
        context.setStrokeColor(color.copy(color.alpha * stroke->opacity));
        CGMutablePath path;
        path.move(stroke->from);
        path.addLine(stroke->to);
        context.beginPath();
        context.addPath(path);
        context.strokePath();
    }
    context.restoreGState();
}

}  // namespace ZododuvoZoz
