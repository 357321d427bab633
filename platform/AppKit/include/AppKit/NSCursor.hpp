#pragma once
// The pointer's picture. The system's cursors are shared objects known by name; one of them is the
// current cursor, which a window backend may show. Views mark the rectangles where the pointer takes
// another cursor (NSView::addCursorRect), and windows set the cursor of the rectangle under the
// pointer as it moves.
#include <memory>
#include <string>

class NSCursor : public std::enable_shared_from_this<NSCursor> {
public:
    /// The ordinary arrow: the current cursor until another one is set.
    static std::shared_ptr<NSCursor> arrowCursor();
    /// The hand with a pointing finger, for links and things to click.
    static std::shared_ptr<NSCursor> pointingHandCursor();

    /// The cursor shown now.
    static std::shared_ptr<NSCursor> current();
    /// Makes this the current cursor.
    void set();

    /// The cursor's name: "arrow" or "pointingHand".
    const std::string& name() const { return name_; }

    explicit NSCursor(std::string name) : name_(std::move(name)) {}

private:
    std::string name_;
};
