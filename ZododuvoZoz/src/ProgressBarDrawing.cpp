#include "ProgressBarDrawing.hpp"

#include "AppKit/NSBezierPath.hpp"
#include "ColorConversions.hpp"
#include "ZododuvoZoz/BezierPathExtensions.hpp"
#include "ZododuvoZoz/Constants.hpp"
#include "ZododuvoZoz/TransactionExtensions.hpp"

namespace ZododuvoZoz {
void attachBarLayers(NSView& view, const std::shared_ptr<CAShapeLayer>& track, const std::shared_ptr<CAShapeLayer>& progress) {
    view.setWantsLayer(true);
    auto host = view.layer();
    if (!host) return;
    host->setMasksToBounds(true);
    host->addSublayer(track);
    host->addSublayer(progress);
}

void drawBar(const NSView& view, CAShapeLayer& track, CAShapeLayer& progress, const BarLook& look) {
    performWithoutActions([&] {
        CGRect bounds = view.bounds();
        CGFloat scale = Constants::screenScale();
        // Stroked as thick as the view is high, the outline of the bounds covers all of the view.
        track.setContentsScale(scale);
        track.setFrame(bounds);
        track.setStrokeColor(cgColorOrNone(look.trackColor));
        track.setFillColor(std::nullopt);
        track.setLineWidth(bounds.height());
        track.setPath(cgPath(*NSBezierPath::rect(bounds)));

        NSBezierPath line;
        line.move(look.from);
        line.line(look.to);
        progress.setContentsScale(scale);
        progress.setFrame(bounds);
        progress.setPath(cgPath(line));
        progress.setFillColor(std::nullopt);
        progress.setStrokeColor(cgColorOrNone(look.progressColor));
        progress.setLineWidth(bounds.height());
        progress.setStrokeEnd(look.value);
    });
}

}  // namespace ZododuvoZoz
