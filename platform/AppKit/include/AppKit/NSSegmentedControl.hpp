#pragma once
// A row of segments, each with a label and/or an image. With select-one tracking one segment at a
// time is selected; a click that selects another segment sends the action, while a click on the
// segment already selected sends nothing, so every action reports a change. Momentary tracking
// selects nothing and sends the action on every click, with selectedSegment the clicked segment
// while the action runs. Setting the selection in code sends nothing.
#include <memory>
#include <string>
#include <vector>

#include "AppKit/NSControl.hpp"
#include "AppKit/NSImage.hpp"

enum class NSSegmentSwitchTracking { selectOne, momentary };

class NSSegmentedControl : public NSControl {
public:
    explicit NSSegmentedControl(CGRect frame = {}) : NSControl(frame) {}
    static std::shared_ptr<NSSegmentedControl> make(CGRect frame = {}) {
        return std::make_shared<NSSegmentedControl>(frame);
    }
    /// A select-one control with a segment per label, sized to fit, that runs the action.
    static std::shared_ptr<NSSegmentedControl> make(const std::vector<std::string>& labels, Action action);

    int segmentCount() const { return static_cast<int>(segments_.size()); }
    /// Adds empty segments or drops segments from the end (a dropped selected segment leaves none).
    void setSegmentCount(int count);
    /// Empty for a segment that does not exist.
    std::string label(int segment) const;
    void setLabel(const std::string& label, int segment);
    std::shared_ptr<NSImage> image(int segment) const;
    void setImage(const std::shared_ptr<NSImage>& image, int segment);
    /// 0 (the default) shares the width left by segments of fixed width.
    CGFloat width(int segment) const;
    void setWidth(CGFloat width, int segment);

    /// The selected segment; -1 when none is.
    int selectedSegment() const { return selectedSegment_; }
    /// Selects a segment (-1 or a segment that does not exist selects none); sends nothing.
    void setSelectedSegment(int segment);
    bool isSelected(int segment) const { return segment >= 0 && segment == selectedSegment_; }
    NSSegmentSwitchTracking trackingMode() const { return trackingMode_; }
    void setTrackingMode(NSSegmentSwitchTracking mode) { trackingMode_ = mode; }

    /// The segment's rectangle in the bounds; empty for a segment that does not exist.
    CGRect rectForSegment(int segment) const;
    /// The segment under a point of the bounds; -1 for none.
    int segmentAt(CGPoint point) const;
    /// The size that shows every segment's content.
    CGSize fittingSize() const;

    void draw(const CGRect& dirtyRect) override;

protected:
    bool startTracking(CGPoint point) override;
    void continueTracking(CGPoint point) override;
    void stopTracking(CGPoint point) override;

private:
    struct Segment {
        std::string label;
        std::shared_ptr<NSImage> image;
        CGFloat width = 0;
    };
    bool exists(int segment) const { return segment >= 0 && segment < segmentCount(); }
    CGSize contentSize(const Segment& segment) const;

    std::vector<Segment> segments_;
    int selectedSegment_ = -1;
    int pressedSegment_ = -1;
    NSSegmentSwitchTracking trackingMode_ = NSSegmentSwitchTracking::selectOne;
};
