#pragma once
// An x axis for samples that are points in time: a short tick under each sample and month names
// ("LLL", the stand-alone abbreviated month of the current locale). Monthly samples get one label
// each, in their own cell; weekly samples get a label at the start of every fourth sample's month,
// placed on a time scale and walking back from the newest as far as the left margin allows.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "AppKit/NSColor.hpp"
#include "Foundation/Date.hpp"
#include "QuartzCore/CAShapeLayer.hpp"
#include "QuartzCore/CATextLayer.hpp"
#include "ZododuvoZoz/Graph/PlottingInterfaces.hpp"

namespace ZododuvoZoz {

/// One sample per month of the last year, or one per week.
enum class TimePeriod { lastYear, weekly };

class TimeAxis : public IAxis {
public:
    TimeAxis() = default;
    static std::shared_ptr<TimeAxis> make() { return std::make_shared<TimeAxis>(); }

    CGFloat height() const override { return 24; }
    void layout(const std::shared_ptr<CALayer>& layer, CGFloat lineWidth) override;
    void clear() override;

    TimePeriod period() const { return period_; }
    void setPeriod(TimePeriod period) { period_ = period; }
    /// Sample times in seconds since 1970, oldest first.
    const std::vector<double>& timestamps() const { return timestamps_; }
    void setTimestamps(const std::vector<double>& timestamps) { timestamps_ = timestamps; }
    const std::shared_ptr<NSColor>& tickColor() const { return tickColor_; }
    void setTickColor(const std::shared_ptr<NSColor>& color) { tickColor_ = color; }

    void drawLabels(const std::shared_ptr<CALayer>& layer, CGFloat height);
    /// Adds a label centred `x` points from the right edge, unless it would overlap a layer
    /// already placed.
    void placeLabel(CGFloat x, const std::shared_ptr<CALayer>& layer, const std::string& text,
                    CATextLayerAlignmentMode alignment);
    /// The label of sample `index` in its own cell.
    void monthLabel(double time, const std::shared_ptr<CALayer>& layer, std::size_t index);
    /// How far from the right edge the start of the time's month lies on the samples' time scale.
    CGFloat monthPosition(double time, const CALayer& layer) const;
    void drawTicks(const std::shared_ptr<CALayer>& layer, CGFloat height);
    /// The first moment of the date's month in the current calendar.
    std::optional<Date> startOfMonth(const Date& date) const;

    const std::shared_ptr<CAShapeLayer>& tickLayer() const { return tickLayer_; }
    /// Every layer the axis has added: the ticks and the labels.
    const std::vector<std::shared_ptr<CALayer>>& layers() const { return layers_; }

private:
    std::shared_ptr<CAShapeLayer> tickLayer_ = CAShapeLayer::make();
    std::vector<std::shared_ptr<CALayer>> layers_;
    TimePeriod period_ = TimePeriod::lastYear;
    std::vector<double> timestamps_;
    std::shared_ptr<NSColor> tickColor_ = NSColor::separatorColor();
};

}  // namespace ZododuvoZoz
