#include "ZododuvoZoz/Graphs/GraphCanvas.hpp"

namespace ZododuvoZoz {

void ContextCanvas::stroke(const NSBezierPath& path, const std::shared_ptr<NSColor>& color) {
    if (color) color->setStroke();
    path.stroke();
}

void ContextCanvas::fill(const NSBezierPath& path, const std::shared_ptr<NSColor>& color) {
    if (color) color->setFill();
    path.fill();
}

void ContextCanvas::drawText(const std::string& text, const CGRect& rect, const NSAttributes& attributes) {
    NSAttributedString(text, attributes).draw(rect);
}

void ContextCanvas::drawImage(const std::shared_ptr<NSImage>& image, const CGRect& rect) {
    if (image) image->draw(rect);
}

}  // namespace ZododuvoZoz
