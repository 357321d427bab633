#pragma once
// The place AppKit drawing goes: the thread's current graphics context, over a Core Graphics
// context. A drawing pass (a view drawing, an image with focus) makes one current.
#include <memory>

#include "CoreGraphics/CGContext.hpp"
#include "CoreGraphics/CGGeometry.hpp"

enum class NSCompositingOperation {
    clear, copy, sourceOver, sourceIn, sourceOut, sourceAtop,
    destinationOver, destinationIn, destinationOut, destinationAtop, exclusiveOr, plusLighter
};

enum class NSImageInterpolation { defaultInterpolation, none, low, medium, high };

class NSGraphicsContext {
public:
    explicit NSGraphicsContext(std::shared_ptr<CGContext> context) : context_(std::move(context)) {}
    static std::shared_ptr<NSGraphicsContext> make(std::shared_ptr<CGContext> context) {
        return std::make_shared<NSGraphicsContext>(std::move(context));
    }

    /// The thread's current context; nullptr outside drawing.
    static std::shared_ptr<NSGraphicsContext> current();
    static void setCurrent(const std::shared_ptr<NSGraphicsContext>& context);
    /// Saves the current context's graphics state and which context is current, or restores both.
    static void saveGraphicsState();
    static void restoreGraphicsState();

    const std::shared_ptr<CGContext>& cgContext() const { return context_; }
    /// Whether y grows downwards in the context's current coordinates.
    bool isFlipped() const { return !context_->isYAxisUp(); }
    NSImageInterpolation imageInterpolation() const;
    void setImageInterpolation(NSImageInterpolation interpolation);
    NSCompositingOperation compositingOperation() const;
    void setCompositingOperation(NSCompositingOperation operation);

    static CGBlendMode blendMode(NSCompositingOperation operation);

private:
    std::shared_ptr<CGContext> context_;
};

/// Fills the rectangle with the current fill colour, replacing what is there.
void NSRectFill(const CGRect& rect);
/// Fills the rectangle with the current fill colour and the given operation.
void NSRectFillUsingOperation(const CGRect& rect, NSCompositingOperation operation);
