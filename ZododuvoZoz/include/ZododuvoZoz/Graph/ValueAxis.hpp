#pragma once
// An x axis that labels a value range at evenly spaced positions: the minimum 4 points inside the
// left edge, the maximum 4 points inside the right edge, and the values between centred on the
// segment boundaries. Values are shown as formatted numbers with an optional unit, or as month
// names of timestamps.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "AppKit/NSFont.hpp"
#include "QuartzCore/CATextLayer.hpp"
#include "ZododuvoZoz/Graph/PlottingInterfaces.hpp"

namespace ZododuvoZoz {

/// Numbers, or timestamps in seconds since 1970 shown as month names.
enum class ValueAxisFormatType { formatString, monthShortName };

class ValueAxis : public IAxis {
public:
    ValueAxis(double min, double max, int segmentCount) : min_(min), max_(max), segmentCount_(segmentCount) {}
    static std::shared_ptr<ValueAxis> make(double min, double max, int segmentCount) {
        return std::make_shared<ValueAxis>(min, max, segmentCount);
    }

    CGFloat height() const override { return 24; }
    /// Draws only with a format, a maximum above 0 and a minimum below it.
    void layout(const std::shared_ptr<CALayer>& layer, CGFloat lineWidth) override;
    void clear() override;

    double min() const { return min_; }
    void setMin(double min) { min_ = min; }
    double max() const { return max_; }
    void setMax(double max) { max_ = max; }
    /// Equal segments between min and max; below 1, only the two end labels are drawn.
    int segmentCount() const { return segmentCount_; }
    void setSegmentCount(int count) { segmentCount_ = count; }
    CGFloat fontSize() const { return fontSize_; }
    void setFontSize(CGFloat size) { fontSize_ = size; }
    NSFont::Weight fontWeight() const { return fontWeight_; }
    void setFontWeight(NSFont::Weight weight) { fontWeight_ = weight; }
    ValueAxisFormatType formatType() const { return formatType_; }
    void setFormatType(ValueAxisFormatType type) { formatType_ = type; }
    /// A printf format of one floating-point number ("%.2f"), with any literal text around it. A
    /// format that asks for anything else is not used: numbers are then written with "%.2f".
    const std::string& formatString() const { return formatString_; }
    void setFormatString(std::string format) { formatString_ = std::move(format); }
    /// Appended to every number after a blank.
    const std::optional<std::string>& unit() const { return unit_; }
    void setUnit(const std::optional<std::string>& unit) { unit_ = unit; }

    /// A label of that frame height and width, centred 12 points above the bottom edge.
    void addLabel(CGFloat x, CGFloat width, CGFloat height, const std::shared_ptr<CALayer>& layer,
                  const std::shared_ptr<NSFont>& font, const std::string& text);
    std::string valueText(double value) const;

    const std::vector<std::shared_ptr<CATextLayer>>& layers() const { return layers_; }

private:
    std::vector<std::shared_ptr<CATextLayer>> layers_;
    double min_;
    double max_;
    int segmentCount_;
    CGFloat fontSize_ = 12;
    NSFont::Weight fontWeight_ = NSFont::Weight::regular();
    ValueAxisFormatType formatType_ = ValueAxisFormatType::formatString;
    std::string formatString_ = "%.2f";
    std::optional<std::string> unit_;
};

}  // namespace ZododuvoZoz
