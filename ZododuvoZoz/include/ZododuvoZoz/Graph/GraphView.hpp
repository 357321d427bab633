#pragma once
// The canvas of the graph framework: a flipped, layer-backed view with a grid, value labels at its
// right edge, optional tick marks under the plot, an optional x axis and any number of plotters
// that draw their series into its layer. It holds the vertical value range, rounds it to the step
// of its scale mode, can compute the maximum from the plotters' data and can show its labels as
// transfer speeds.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "AppKit/NSColor.hpp"
#include "AppKit/NSFont.hpp"
#include "AppKit/NSView.hpp"
#include "QuartzCore/CAShapeLayer.hpp"
#include "QuartzCore/CATextLayer.hpp"
#include "ZododuvoZoz/Graph/GradientLayer.hpp"
#include "ZododuvoZoz/Graph/PlottingInterfaces.hpp"

namespace ZododuvoZoz {

/// The step by which the value range is rounded; the raw value is the step.
enum class ScaleMode {
    none, one, two, three, four, five, ten, fifteen, twenty, twentyFive, thirty, thirtyFive, fourty,
    fourtyFive, fifty, hundred, thousand, kilobytes, megabytes
};
double rawValue(ScaleMode mode);
std::optional<ScaleMode> scaleModeFrom(double rawValue);

/// Plain numbers, or transfer speeds in bytes or bits per second.
enum class AutoGraphMode { none, byteSpeed, bitSpeed };

/// Which value labels are drawn, and in which font.
struct FontOptions {
    bool showMinValue = true;
    bool showHalfValue = true;
    bool showMaxValue = true;
    std::shared_ptr<NSFont> font = NSFont::systemFont(13, NSFont::Weight::semibold());
};

/// The grid's lines: 2 device pixels wide (taken from the main screen when the value is made),
/// separator-coloured, top and bottom line, 4 by 4 segments.
struct GridOptions {
    GridOptions();
    CGFloat gridLineWidth;
    bool drawBottomLine = true;
    bool drawTopLine = true;
    CGFloat lineDashPhase = 0;
    std::optional<std::vector<CGFloat>> lineDashPattern;
    std::shared_ptr<NSColor> color = NSColor::separatorColor();
    int verticalSegments = 4;
    int horizontalSegments = 4;
};

/// The row of dots along the bottom of the plot area.
struct TickOptions {
    int numberOfTicks = 0;
    bool enableSmallTicks = true;
    std::vector<std::shared_ptr<NSColor>> fillColors{NSColor::separatorColor()};
    bool showTickMarks = false;
    CGFloat smallRadius = 1.0;
    CGFloat largeRadius = 2.0;
};

class GraphView : public NSView, public PlotterDelegate {
public:
    /// Sets the defaults, makes the view layer-backed and draws its grid and labels once.
    explicit GraphView(CGRect frame = {});
    static std::shared_ptr<GraphView> make(CGRect frame = {}) { return std::make_shared<GraphView>(frame); }

    // Options; setting one only stores it, and it shows at the next refresh.
    const FontOptions& fontOptions() const { return fontOptions_; }
    void setFontOptions(const FontOptions& options) { fontOptions_ = options; }
    const GridOptions& gridOptions() const { return gridOptions_; }
    void setGridOptions(const GridOptions& options) { gridOptions_ = options; }
    const TickOptions& tickOptions() const { return tickOptions_; }
    void setTickOptions(const TickOptions& options) { tickOptions_ = options; }
    AutoGraphMode autoGraphMode() const { return autoGraphMode_; }
    void setAutoGraphMode(AutoGraphMode mode) { autoGraphMode_ = mode; }
    /// The factor applied to values before they are formatted.
    CGFloat autoGraphModeTextScale() const { return autoGraphModeTextScale_; }
    void setAutoGraphModeTextScale(CGFloat scale) { autoGraphModeTextScale_ = scale; }
    /// Recompute the maximum whenever a plotter's data changes.
    bool autoCalculateMax() const { return autoCalculateMax_; }
    void setAutoCalculateMax(bool value) { autoCalculateMax_ = value; }
    /// The view's flippedness; setting it lays the view out at once.
    bool reverseCoordinates() const { return reverseCoordinates_; }
    void setReverseCoordinates(bool value);

    /// The axis' height with an axis; 4 with tick marks shown and numberOfTicks above 0; else 0.
    CGFloat bottomOffset() const;

    const std::shared_ptr<IAxis>& axisX() const { return axisX_; }
    /// Clears the old axis, draws the grid, lays the new axis out, rebuilds the tick marks and
    /// refreshes.
    void setAxisX(const std::shared_ptr<IAxis>& axis);
    bool useZeroAsMin() const { return useZeroAsMin_; }
    void setUseZeroAsMin(bool value) { useZeroAsMin_ = value; }
    /// Appended to every value label.
    const std::string& unit() const { return unit_; }
    void setUnit(std::string unit) { unit_ = std::move(unit); }

    const std::vector<std::shared_ptr<IDataPlotter>>& plotters() const { return plotters_; }
    std::shared_ptr<IDataPlotter> firstPlotter() const { return plotterAt(0); }
    std::shared_ptr<IDataPlotter> secondPlotter() const { return plotterAt(1); }
    std::shared_ptr<IDataPlotter> thirdPlotter() const { return plotterAt(2); }

    /// The range; the setters round to the scale step and store, without redrawing. Without a
    /// scale step any value is stored as it is; with one, a maximum that is not a finite number is
    /// ignored.
    CGFloat minValue() const { return mMinValue_; }
    void setMinValue(CGFloat value);
    CGFloat maxValue() const { return mMaxValue_; }
    void setMaxValue(CGFloat value);

    bool isLabelsEnabled() const { return isLabelsEnabled_; }
    /// Stores the flag and refreshes.
    void setLabelsEnabled(bool enabled);
    ScaleMode scaleMode() const { return scaleMode_; }
    void setScaleMode(ScaleMode mode) { scaleMode_ = mode; }

    /// Appends the plotter and becomes its delegate; a plotter without data is drawn at once, one
    /// with data as after a change of its data.
    void addPlotter(const std::shared_ptr<IDataPlotter>& plotter);
    /// Animates every plotter that can animate.
    void animate();
    /// Clears every plotter and empties the list.
    void clear();
    /// Makes the view layer-backed and clipping, redraws and draws the labels.
    void refresh();
    /// The grid, every plotter in order, then the axis.
    void redraw();
    void drawTicks();
    void drawGrid();
    void drawLabels();
    /// The label of one value; in a speed mode, in the unit of the maximum.
    std::string labelText(CGFloat value) const;
    /// Sets the maximum from the present samples of every plotter.
    void calculateMax();

    // PlotterDelegate: each call draws the plotter once, later, on the main queue.
    void redraw(const std::shared_ptr<IDataPlotter>& plotter) override;
    void dataChanged(const DataSeries& data, const std::shared_ptr<IDataPlotter>& plotter) override;

    // The layers the view draws with.
    const std::shared_ptr<CAShapeLayer>& bottomLineLayer() const { return bottomLineLayer_; }
    const std::shared_ptr<CAShapeLayer>& gridLayer() const { return gridLayer_; }
    const std::vector<std::shared_ptr<CATextLayer>>& textLayers() const { return textLayers_; }
    const std::shared_ptr<GradientLayer>& smallTickLayer() const { return smallTickLayer_; }
    const std::shared_ptr<GradientLayer>& largeTickLayer() const { return largeTickLayer_; }

    bool isFlipped() const override { return reverseCoordinates_; }
    void viewWillMoveToSuperview(const std::shared_ptr<NSView>& superview) override;
    void viewDidChangeEffectiveAppearance() override;
    /// Lays the tick marks out again and refreshes.
    void layout() override;

private:
    std::shared_ptr<IDataPlotter> plotterAt(std::size_t index) const;
    void scheduleDraw(const std::shared_ptr<IDataPlotter>& plotter);

    std::shared_ptr<CAShapeLayer> bottomLineLayer_ = CAShapeLayer::make();
    std::shared_ptr<CAShapeLayer> gridLayer_ = CAShapeLayer::make();
    std::vector<std::shared_ptr<CATextLayer>> textLayers_;
    std::shared_ptr<GradientLayer> smallTickLayer_;
    std::shared_ptr<GradientLayer> largeTickLayer_;
    std::vector<std::shared_ptr<IDataPlotter>> plotters_;
    CGFloat mMinValue_ = 0;
    CGFloat mMaxValue_ = 100;
    FontOptions fontOptions_;
    GridOptions gridOptions_;
    TickOptions tickOptions_;
    AutoGraphMode autoGraphMode_ = AutoGraphMode::none;
    CGFloat autoGraphModeTextScale_ = 1.0;
    bool autoCalculateMax_ = false;
    bool reverseCoordinates_ = true;
    std::shared_ptr<IAxis> axisX_;
    bool useZeroAsMin_ = false;
    std::string unit_;
    bool isLabelsEnabled_ = true;
    ScaleMode scaleMode_ = ScaleMode::ten;
};

}  // namespace ZododuvoZoz
