#include "WaylandShm.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

void WaylandShm::Buffer::released(void* data, wl_buffer*) { static_cast<Buffer*>(data)->busy_ = false; }

WaylandShm::Buffer::~Buffer() {
    if (buffer_) wl_buffer_destroy(buffer_);
    if (pixels_) munmap(pixels_, bytes_);
}

WaylandShm::WaylandShm(wl_display* display, wl_shm* shm) : display_(display), queue_(wl_display_create_queue(display)) {
    shm_ = static_cast<wl_shm*>(wl_proxy_create_wrapper(shm));
    if (shm_) wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(shm_), queue_);
}

WaylandShm::~WaylandShm() {
    if (shm_) wl_proxy_wrapper_destroy(shm_);
    if (queue_) wl_event_queue_destroy(queue_);
}

std::unique_ptr<WaylandShm::Buffer> WaylandShm::makeBuffer(int width, int height) {
    return makeBuffer(width, height, WL_SHM_FORMAT_XRGB8888);
}

std::unique_ptr<WaylandShm::Buffer> WaylandShm::makeClearBuffer(int width, int height) {
    // New memory holds noughts: transparent black.
    return makeBuffer(width, height, WL_SHM_FORMAT_ARGB8888);
}

std::unique_ptr<WaylandShm::Buffer> WaylandShm::makeBuffer(int width, int height, std::uint32_t format) {
    if (!shm_) return nullptr;
    std::unique_ptr<Buffer> buffer(new Buffer());
    buffer->width_ = width;
    buffer->height_ = height;
    buffer->bytes_ = buffer->bytesPerRow() * std::size_t(height);
    // Sealed against shrinking, so that the compositor never reads past the file's end.
    int fd = memfd_create("quillon-window", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    bool made = fd >= 0 && ftruncate(fd, off_t(buffer->bytes_)) == 0 && fcntl(fd, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_SEAL) == 0;
    void* pixels = made ? mmap(nullptr, buffer->bytes_, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0) : MAP_FAILED;
    if (pixels == MAP_FAILED) {
        std::fprintf(stderr, "No memory to share with the compositor for a window of %d by %d pixels: %s.\n", width, height,
                     std::strerror(errno));
        if (fd >= 0) close(fd);
        return nullptr;
    }
    buffer->pixels_ = pixels;
    wl_shm_pool* pool = wl_shm_create_pool(shm_, fd, std::int32_t(buffer->bytes_));
    buffer->buffer_ = wl_shm_pool_create_buffer(pool, 0, width, height, std::int32_t(buffer->bytesPerRow()), format);
    wl_shm_pool_destroy(pool);
    close(fd);
    static const wl_buffer_listener listener{Buffer::released};
    wl_buffer_add_listener(buffer->buffer_, &listener, buffer.get());
    return buffer;
}

void WaylandShm::dispatch() {
    while (wl_display_prepare_read_queue(display_, queue_) != 0) {
        if (wl_display_dispatch_queue_pending(display_, queue_) < 0) return;
    }
    pollfd ready{wl_display_get_fd(display_), POLLIN, 0};
    if (poll(&ready, 1, 0) == 1 && (ready.revents & POLLIN)) {
        wl_display_read_events(display_);
    } else {
        wl_display_cancel_read(display_);
    }
    wl_display_dispatch_queue_pending(display_, queue_);
}

void WaylandShm::flush() { wl_display_flush(display_); }
