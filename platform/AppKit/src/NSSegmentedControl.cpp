#include "AppKit/NSSegmentedControl.hpp"

#include <algorithm>
#include <cmath>

#include "AppKit/NSAttributedString.hpp"
#include "AppKit/NSBezierPath.hpp"
#include "ControlDrawing.hpp"

namespace {
constexpr CGFloat segmentPadding = 10;  // left and right of a segment's content
constexpr CGFloat spacing = 4;          // between a segment's image and label
constexpr CGFloat radius = 5;

NSAttributedString labelText(const std::string& label, const std::shared_ptr<NSFont>& font,
                             const std::shared_ptr<NSColor>& color) {
    NSAttributes attributes{{NSAttributedStringKey::foregroundColor(), color}};
    if (font) attributes[NSAttributedStringKey::font()] = font;
    return NSAttributedString(label, attributes);
}
}  // namespace

std::shared_ptr<NSSegmentedControl> NSSegmentedControl::make(const std::vector<std::string>& labels, Action action) {
    auto control = make();
    control->setSegmentCount(static_cast<int>(labels.size()));
    for (std::size_t i = 0; i < labels.size(); ++i) control->setLabel(labels[i], static_cast<int>(i));
    control->setAction(std::move(action));
    control->setFrameSize(control->fittingSize());
    return control;
}

void NSSegmentedControl::setSegmentCount(int count) {
    segments_.resize(static_cast<std::size_t>(std::max(count, 0)));
    if (!exists(selectedSegment_)) selectedSegment_ = -1;
    if (!exists(pressedSegment_)) pressedSegment_ = -1;
    setNeedsDisplay();
}

std::string NSSegmentedControl::label(int segment) const { return exists(segment) ? segments_[std::size_t(segment)].label : ""; }

void NSSegmentedControl::setLabel(const std::string& label, int segment) {
    if (!exists(segment)) return;
    segments_[std::size_t(segment)].label = label;
    setNeedsDisplay();
}

std::shared_ptr<NSImage> NSSegmentedControl::image(int segment) const {
    return exists(segment) ? segments_[std::size_t(segment)].image : nullptr;
}

void NSSegmentedControl::setImage(const std::shared_ptr<NSImage>& image, int segment) {
    if (!exists(segment)) return;
    segments_[std::size_t(segment)].image = image;
    setNeedsDisplay();
}

CGFloat NSSegmentedControl::width(int segment) const { return exists(segment) ? segments_[std::size_t(segment)].width : 0; }

void NSSegmentedControl::setWidth(CGFloat width, int segment) {
    if (!exists(segment)) return;
    segments_[std::size_t(segment)].width = std::max<CGFloat>(width, 0);
    setNeedsDisplay();
}

void NSSegmentedControl::setSelectedSegment(int segment) {
    selectedSegment_ = exists(segment) ? segment : -1;
    setNeedsDisplay();
}

CGRect NSSegmentedControl::rectForSegment(int segment) const {
    if (!exists(segment)) return CGRect::zero();
    CGRect b = bounds();
    CGFloat fixed = 0;
    int flexible = 0;
    for (const auto& s : segments_) {
        if (s.width > 0) {
            fixed += s.width;
        } else {
            ++flexible;
        }
    }
    CGFloat share = flexible > 0 ? std::max<CGFloat>(0, b.width() - fixed) / flexible : 0;
    CGFloat x = b.minX();
    for (int i = 0; i < segment; ++i) x += segments_[std::size_t(i)].width > 0 ? segments_[std::size_t(i)].width : share;
    const Segment& s = segments_[std::size_t(segment)];
    return {x, b.minY(), s.width > 0 ? s.width : share, b.height()};
}

int NSSegmentedControl::segmentAt(CGPoint point) const {
    for (int i = 0; i < segmentCount(); ++i) {
        if (rectForSegment(i).contains(point)) return i;
    }
    return -1;
}

CGSize NSSegmentedControl::contentSize(const Segment& segment) const {
    CGSize text = segment.label.empty() ? CGSize{} : labelText(segment.label, font(), NSColor::labelColor()).size();
    CGSize picture = segment.image ? segment.image->size() : CGSize{};
    CGFloat between = text.width > 0 && picture.width > 0 ? spacing : 0;
    return {text.width + between + picture.width, std::max(text.height, picture.height)};
}

CGSize NSSegmentedControl::fittingSize() const {
    CGFloat width = 0, height = 0;
    for (const auto& s : segments_) {
        CGSize content = contentSize(s);
        width += s.width > 0 ? s.width : std::ceil(content.width + 2 * segmentPadding);
        height = std::max(height, content.height);
    }
    return {width, std::max<CGFloat>(22, std::ceil(height + 6))};
}

bool NSSegmentedControl::startTracking(CGPoint point) {
    pressedSegment_ = segmentAt(point);
    if (pressedSegment_ < 0) return false;
    setHighlighted(true);
    return true;
}

void NSSegmentedControl::continueTracking(CGPoint point) { setHighlighted(segmentAt(point) == pressedSegment_); }

void NSSegmentedControl::stopTracking(CGPoint point) {
    int pressed = pressedSegment_;
    pressedSegment_ = -1;
    setHighlighted(false);
    if (!isEnabled() || pressed < 0 || segmentAt(point) != pressed) return;
    if (trackingMode_ == NSSegmentSwitchTracking::momentary) {
        selectedSegment_ = pressed;
        sendAction();
        selectedSegment_ = -1;
        return;
    }
    if (pressed == selectedSegment_) return;
    setSelectedSegment(pressed);
    sendAction();
}

void NSSegmentedControl::draw(const CGRect&) {
    CGRect frame = bounds().insetBy(0.5, 0.5);
    if (frame.isNull() || frame.isEmpty() || segments_.empty()) return;
    CGFloat corner = std::min<CGFloat>(radius, frame.height() / 2);
    auto track = NSBezierPath::roundedRect(frame, corner, corner);
    ControlDrawing::bezelColor()->setFill();
    track->fill();
    ControlDrawing::bezelBorderColor()->setStroke();
    track->stroke();

    for (int i = 0; i < segmentCount(); ++i) {
        CGRect rect = rectForSegment(i);
        bool selected = isSelected(i);
        bool pressed = i == pressedSegment_ && isHighlighted();
        if (selected || pressed) {
            CGRect face = rect.intersection(frame).insetBy(1, 1);
            if (!face.isNull() && !face.isEmpty()) {
                auto path = NSBezierPath::roundedRect(face, corner - 1, corner - 1);
                if (selected) {
                    NSColor::controlAccentColor()->setFill();
                    path->fill();
                }
                if (pressed) {
                    ControlDrawing::pressedOverlayColor()->setFill();
                    path->fill();
                }
            }
        }
        // A divider between two segments that are not selected.
        if (i > 0 && !selected && !isSelected(i - 1)) {
            NSColor::separatorColor()->setFill();
            NSBezierPath::rect({std::round(rect.minX()), rect.minY() + 4, 1, std::max<CGFloat>(0, rect.height() - 8)})->fill();
        }
        const Segment& s = segments_[std::size_t(i)];
        std::shared_ptr<NSColor> color = !isEnabled() ? NSColor::tertiaryLabelColor()
                                         : selected   ? NSColor::whiteColor()
                                                      : NSColor::labelColor();
        CGSize content = contentSize(s);
        CGFloat x = rect.midX() - content.width / 2;
        if (s.image) {
            CGSize size = s.image->size();
            CGRect imageRect{std::round(x), std::round(rect.midY() - size.height / 2), size.width, size.height};
            ControlDrawing::drawImage(*s.image, imageRect, color);
            x += size.width + (s.label.empty() ? 0 : spacing);
        }
        if (!s.label.empty()) {
            NSAttributedString text = labelText(s.label, font(), color);
            CGSize size = text.size();
            text.draw(CGPoint{x, rect.midY() - size.height / 2});
        }
    }
}
