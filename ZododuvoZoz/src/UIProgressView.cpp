#include "ZododuvoZoz/UIProgressView.hpp"

#include "CoreGraphics/CGPath.hpp"

namespace ZododuvoZoz {

UIProgressView::Body UIProgressView::body(CGSize size) const {
    CGFloat w = size.width, h = size.height;
    // A progress outside 0...1 (or not a number) draws as 0: a short stroke from the track's start
    // back to the left edge.
    CGFloat p = progress >= 0 && progress <= 1 ? progress : 0;
    auto color = progress > 0.2 ? NSColor::systemGreenColor() : NSColor::systemRedColor();
    Body body;
    body.style.lineWidth = lineWidth;
    body.track = {{lineWidth, h / 2}, {w - lineWidth, h / 2}, color, 0.1};
    body.progress = {{lineWidth, h / 2}, {(w - lineWidth) * p, h / 2}, color, 1};
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
    for (const Stroke* stroke : {&lines.track, &lines.progress}) {
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
