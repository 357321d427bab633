#include "TrackingAreas.hpp"

namespace ZododuvoZoz {

std::shared_ptr<NSTrackingArea> replaceTrackingArea(NSView& view, const std::shared_ptr<NSTrackingArea>& previous,
                                                    NSTrackingArea::Options options) {
    if (previous) view.removeTrackingArea(previous);
    auto area = std::make_shared<NSTrackingArea>(view.bounds(), options, view.weak_from_this().lock());
    view.addTrackingArea(area);
    return area;
}

std::shared_ptr<NSTrackingArea> ownTrackingArea(NSView& view, const std::shared_ptr<NSTrackingArea>& area) {
    if (!area || area->owner() || !view.weak_from_this().lock()) return area;
    return replaceTrackingArea(view, area, area->options());
}

}  // namespace ZododuvoZoz
