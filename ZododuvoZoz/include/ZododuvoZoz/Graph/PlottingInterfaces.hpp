#pragma once
// What a graph view, its plotters and its x axis expect of one another. A plotter draws one data
// series into the graph view's own layer, between a minimum at the bottom of the plot area and a
// maximum at its top; the plot area ends bottomOffset points above the bottom edge, where the
// axis (or the row of tick marks) lies. The graph view is flipped: y = 0 is its top edge.
#include <memory>
#include <optional>
#include <vector>

#include "CoreGraphics/CGGeometry.hpp"
#include "QuartzCore/CALayer.hpp"

namespace ZododuvoZoz {

/// One optional value per sample, drawn from left to right by index; an absent value is a
/// missing sample.
using DataSeries = std::vector<std::optional<CGFloat>>;

class IDataPlotter;

/// The graph view's side of a plotter.
class PlotterDelegate {
public:
    virtual ~PlotterDelegate() = default;
    /// Asks for the plotter to be drawn again with the graph's current range, because something
    /// other than its series changed.
    virtual void redraw(const std::shared_ptr<IDataPlotter>& plotter) = 0;
    /// The plotter's series was replaced.
    virtual void dataChanged(const DataSeries& data, const std::shared_ptr<IDataPlotter>& plotter) = 0;
};

/// A plotter: one data series drawn into a layer. Plotters live in shared pointers, so that they
/// can hand themselves to their delegate.
class IDataPlotter : public std::enable_shared_from_this<IDataPlotter> {
public:
    virtual ~IDataPlotter() = default;

    virtual const DataSeries& data() const = 0;
    /// The delegate is held weakly: a plotter never keeps its graph view alive.
    virtual std::shared_ptr<PlotterDelegate> delegate() const = 0;
    virtual void setDelegate(const std::shared_ptr<PlotterDelegate>& delegate) = 0;
    /// Replaces the series and, when a delegate is set, tells it.
    virtual void setData(const DataSeries& data) = 0;
    /// Draws the series into the layer, replacing what this plotter drew there before.
    virtual void draw(const std::shared_ptr<CALayer>& layer, CGFloat min, CGFloat max, CGFloat bottomOffset) = 0;
    /// Takes away every layer the plotter added, drops the delegate and empties the series.
    virtual void clear() = 0;
};

/// A plotter that can animate its drawing; the arguments are those of IDataPlotter::draw.
class IAnimatable {
public:
    virtual ~IAnimatable() = default;
    virtual void animate(const std::shared_ptr<CALayer>& layer, CGFloat min, CGFloat max, CGFloat bottomOffset) = 0;
};

/// The x axis of a graph view, drawn in a band at the bottom of the view.
class IAxis {
public:
    virtual ~IAxis() = default;
    /// The height of the band in points.
    virtual CGFloat height() const = 0;
    /// Removes the axis' layers and builds them again in the layer, for its current bounds;
    /// lineWidth is the graph's grid line width.
    virtual void layout(const std::shared_ptr<CALayer>& layer, CGFloat lineWidth) = 0;
    /// Removes the axis' layers from their superlayer.
    virtual void clear() = 0;
};

}  // namespace ZododuvoZoz
