#pragma once
// How a window's pixels reach the window system of one display protocol. A presenter may lend the
// memory it shows to the window's pixel store, so that the window draws straight into it and its
// pixels are held once; what it lends stays its own and is valid until the store asks again.
#include <cstddef>
#include <optional>
#include <vector>

/// Pixels in Cairo's ARGB32 layout (32-bit words in the machine's order), rows from the top.
struct PixelMemory {
    void* pixels = nullptr;
    std::size_t width = 0, height = 0, bytesPerRow = 0;
};

/// A rectangle of pixels, from the top-left corner.
struct PixelRect {
    int x = 0, y = 0, width = 0, height = 0;
};

class WindowPresenter {
public:
    virtual ~WindowPresenter() = default;

    /// Memory of the window's pixel size that this presenter shows, lent for the window to draw
    /// into; none where it has none to lend (the window then draws into pixels of the store's own,
    /// which copy() shows). Whatever was lent before is taken back.
    virtual std::optional<PixelMemory> makeBackingStore(std::size_t width, std::size_t height) = 0;
    /// Before the window draws again into what was lent: other memory of the same size holding the
    /// same picture, to be drawn into from now on, where the window system may still be reading
    /// the memory lent; none to draw where the window drew.
    virtual std::optional<PixelMemory> nextBackingStore() { return std::nullopt; }
    /// Shows these rectangles of the memory lent last.
    virtual void present(const std::vector<PixelRect>& rects) = 0;
    /// Shows these rectangles of the store's own pixels, where the presenter lent none (one that
    /// shows only what it lends shows nothing then).
    virtual void copy(const PixelMemory& /*pixels*/, const std::vector<PixelRect>& /*rects*/) {}
    /// The window system gave the window a size in pixels; false when what was lent went with the
    /// size it had before.
    virtual bool keepsLentMemory(int /*width*/, int /*height*/) { return true; }
};
