#pragma once
// The pixels of a window on a display, held once: the window draws into a bitmap over memory its
// presenter lends where the presenter has some to lend, else into a bitmap of its own that the
// presenter copies from. The window owns the bitmap; the presenter owns lent memory; the store
// knows whether the window's bitmap is lent, and hands the presenter the rectangles the window
// drew anew, in pixels.
#include <cstddef>
#include <memory>

#include "WindowPresenter.hpp"

class CGContext;
class DirtyRegion;
class NSWindow;

class PixelStore {
public:
    explicit PixelStore(std::unique_ptr<WindowPresenter> presenter);

    /// The window's bitmap of that size, over memory the presenter lends; nullptr where it lends
    /// none (the window then draws into a bitmap of its own).
    std::shared_ptr<CGContext> makeBackingStore(std::size_t width, std::size_t height);
    /// Before the window draws: a bitmap over other lent memory holding the same picture, while
    /// the window system may still read the memory drawn into last; nullptr to draw there again.
    std::shared_ptr<CGContext> nextBackingStore();
    /// Shows what the window drew anew in the region (window coordinates).
    void show(const NSWindow& window, const DirtyRegion& region);
    /// Shows the whole window again (the window system lost what it showed).
    void showAll(const NSWindow& window);
    /// The window system gave the window that size in pixels: a window drawing into memory that
    /// went with the old size lets it go and draws everything anew; one with pixels of the
    /// store's own shows them again.
    void resized(NSWindow& window, int width, int height);
    /// The window lets go of its bitmap, whose memory may be about to go with the presenter.
    void release(NSWindow& window);

private:
    std::unique_ptr<WindowPresenter> presenter_;
    bool lent_ = false;  // whether the window's bitmap is over the presenter's memory
};
