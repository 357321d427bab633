#pragma once
// Memory shared with a Wayland compositor (wl_shm) for the windows shown on it. Its buffers live on
// an event queue of their own, so that learning which ones the compositor released (dispatch(),
// on the main thread, just before a window draws) never runs the listeners of input events.
#include <cstddef>
#include <cstdint>
#include <memory>

struct wl_buffer;
struct wl_display;
struct wl_event_queue;
struct wl_shm;

class WaylandShm {
public:
    /// A buffer of pixels (xRGB unless made clear, 4 bytes a pixel, rows of width × 4 bytes) in
    /// memory mapped here and shared with the compositor; destroyed with its memory when the object
    /// goes.
    class Buffer {
    public:
        ~Buffer();
        Buffer(const Buffer&) = delete;
        Buffer& operator=(const Buffer&) = delete;

        wl_buffer* buffer() const { return buffer_; }
        void* pixels() const { return pixels_; }
        int width() const { return width_; }
        int height() const { return height_; }
        std::size_t bytesPerRow() const { return std::size_t(width_) * 4; }
        /// Whether the compositor may still read it: from its commit until the compositor releases it.
        bool busy() const { return busy_; }
        void committed() { busy_ = true; }

    private:
        friend class WaylandShm;
        Buffer() = default;
        static void released(void* data, wl_buffer* buffer);

        wl_buffer* buffer_ = nullptr;
        void* pixels_ = nullptr;
        std::size_t bytes_ = 0;
        int width_ = 0, height_ = 0;
        bool busy_ = false;
    };

    /// Makes buffers through the compositor's wl_shm on the display.
    WaylandShm(wl_display* display, wl_shm* shm);
    ~WaylandShm();
    WaylandShm(const WaylandShm&) = delete;
    WaylandShm& operator=(const WaylandShm&) = delete;

    /// A buffer of that size, black; nullptr, with a message on standard error, without memory.
    std::unique_ptr<Buffer> makeBuffer(int width, int height);
    /// A buffer of that size that shows nothing: wholly transparent (ARGB, every pixel nought).
    std::unique_ptr<Buffer> makeClearBuffer(int width, int height);
    /// Runs the listeners of what the compositor sent so far (buffers it released), reading what
    /// has arrived without waiting for more.
    void dispatch();
    /// Sends the requests made so far.
    void flush();

private:
    std::unique_ptr<Buffer> makeBuffer(int width, int height, std::uint32_t format);

    wl_display* display_ = nullptr;
    wl_event_queue* queue_ = nullptr;
    wl_shm* shm_ = nullptr;  // a wrapper of the compositor's on the queue
};
