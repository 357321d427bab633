#pragma once
// The area under a series' line, cut into segments where the value moves from one colour range to
// another; each segment is filled with the colour of its range (the first range that holds a
// value wins). Neighbouring segments share the sample where the range changes, so they meet
// without gaps. An absent sample counts as the minimum.
#include <memory>
#include <vector>

#include "QuartzCore/CAShapeLayer.hpp"
#include "ZododuvoZoz/Graph/ColorRange.hpp"
#include "ZododuvoZoz/Graph/SeriesPlotter.hpp"

namespace ZododuvoZoz {

class ColorizedSegmentPlotter : public SeriesPlotter {
public:
    ColorizedSegmentPlotter(const std::vector<std::shared_ptr<ColorRange>>& colorRanges, const DataSeries& data)
        : SeriesPlotter(data), colorRanges_(colorRanges) {}
    static std::shared_ptr<ColorizedSegmentPlotter> make(const std::vector<std::shared_ptr<ColorRange>>& colorRanges,
                                                         const DataSeries& data) {
        return std::make_shared<ColorizedSegmentPlotter>(colorRanges, data);
    }

    // IDataPlotter.
    void draw(const std::shared_ptr<CALayer>& layer, CGFloat min, CGFloat max, CGFloat bottomOffset) override;
    /// Also empties the colour ranges: later series are drawn in unfilled segments.
    void clear() override;

    /// The segments of the last pass.
    const std::vector<std::shared_ptr<CAShapeLayer>>& segmentLayers() const { return segmentLayers_; }

private:
    std::vector<std::shared_ptr<CAShapeLayer>> segmentLayers_;
    std::vector<std::shared_ptr<ColorRange>> colorRanges_;
};

}  // namespace ZododuvoZoz
