#pragma once
// Where the stand-alone graph views draw in their drawing pass: strokes and fills of paths, texts
// in rectangles and images. A view's draw(_:) draws through ContextCanvas into the current
// graphics context; tests hand a view a canvas of their own to see what a pass draws.
#include <memory>
#include <string>

#include "AppKit/NSAttributedString.hpp"
#include "AppKit/NSBezierPath.hpp"
#include "AppKit/NSColor.hpp"
#include "AppKit/NSImage.hpp"

namespace ZododuvoZoz {

class GraphCanvas {
public:
    virtual ~GraphCanvas() = default;

    /// Strokes the path with its own line width in the colour.
    virtual void stroke(const NSBezierPath& path, const std::shared_ptr<NSColor>& color) = 0;
    /// Fills the path with the colour; an open path is filled as if closed.
    virtual void fill(const NSBezierPath& path, const std::shared_ptr<NSColor>& color) = 0;
    /// Draws the text from the top of the rectangle.
    virtual void drawText(const std::string& text, const CGRect& rect, const NSAttributes& attributes) = 0;
    /// Draws the whole image into the rectangle.
    virtual void drawImage(const std::shared_ptr<NSImage>& image, const CGRect& rect) = 0;
};

/// The canvas over the thread's current graphics context (nothing is drawn without one).
class ContextCanvas final : public GraphCanvas {
public:
    void stroke(const NSBezierPath& path, const std::shared_ptr<NSColor>& color) override;
    void fill(const NSBezierPath& path, const std::shared_ptr<NSColor>& color) override;
    void drawText(const std::string& text, const CGRect& rect, const NSAttributes& attributes) override;
    void drawImage(const std::shared_ptr<NSImage>& image, const CGRect& rect) override;
};

}  // namespace ZododuvoZoz
