#pragma once
// Pieces the line plotters share: the vertical mapping, thinning of long series, join markers,
// highlight discs, curve steps and the closing of an area to the bottom of the plot.
#include <memory>
#include <optional>
#include <vector>

#include "AppKit/NSBezierPath.hpp"
#include "AppKit/NSColor.hpp"
#include "QuartzCore/CAShapeLayer.hpp"
#include "ZododuvoZoz/Graph/GradientLayer.hpp"
#include "ZododuvoZoz/Graph/PlottingInterfaces.hpp"

namespace ZododuvoZoz::LineDrawing {

/// Teal and cyan, opaque: the default line gradient.
std::vector<std::shared_ptr<NSColor>> defaultColors();
/// Teal at alpha 0.6 and cyan at 0.25: the default area gradient.
std::vector<std::shared_ptr<NSColor>> defaultFillColors();

/// The y of a value in a layer of height `height`: the maximum at 0, the minimum at
/// h = height − bottomOffset − lineWidth. An absent value maps to h, a value that is not a number
/// to h − notANumberLift. A range of no height (min equal to max) maps every value to h, rather
/// than dividing by zero.
CGFloat yPosition(std::optional<CGFloat> value, CGFloat min, CGFloat max, CGFloat height, CGFloat bottomOffset,
                  CGFloat lineWidth, CGFloat notANumberLift = 0);

/// The series thinned to n = width / minimumDistance samples (indexes 0, step, 2 × step, ...,
/// step = count / n) when it holds more than n; otherwise all of it. A width that holds no
/// sample at all (n = 0) keeps none.
DataSeries thinned(const DataSeries& data, CGFloat width, CGFloat minimumDistance);

/// A disc of the radius around the point, filled with the colour the stroke's gradient shows
/// there; added to the host.
std::shared_ptr<CAShapeLayer> joinMarker(CALayer& host, GradientLayer& stroke, CGPoint point, CGFloat radius);
/// A disc of the colour in the square of side 2 × radius around the point; added to the host.
std::shared_ptr<CAShapeLayer> highlightDisc(CALayer& host, const std::shared_ptr<NSColor>& color, CGFloat radius,
                                            CGPoint point);

/// A smooth step from the path's current point to `to`: two quadratic pieces meeting at the
/// midpoint, leaving and reaching both points horizontally, each added as the equivalent cubic.
/// Control points above the top edge (y below 0) are lowered to it.
void addCurveStep(NSBezierPath& path, CGPoint to);

/// Closes an area under a line through (width + lineWidth, bottom) and (−lineWidth, bottom).
void closeToBottom(NSBezierPath& path, CGFloat width, CGFloat lineWidth, CGFloat bottom);

}  // namespace ZododuvoZoz::LineDrawing
