#pragma once
// Choices shared by the line plotters.
namespace ZododuvoZoz {

/// What is drawn at the inner points of a line.
enum class LineJoinMarker { none, circle };

/// What a line does at an absent sample: draw it at the bottom like the minimum, end at the
/// previous sample, or end there and mark the previous sample with two discs.
enum class DrawNilMode { drawMinValue, stop, stopAndHighlightPreviousValue };

}  // namespace ZododuvoZoz
