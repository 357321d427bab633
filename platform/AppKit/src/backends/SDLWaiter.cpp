#include "SDLWaiter.hpp"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>

#include "AppKit/backends/SDLWindowBackend.hpp"

void SDLWaiter::wait(std::optional<double> timeout) {
    auto backend = backend_.lock();
    if (!backend) return;
    if (!backend->hasWindows()) {
        sleep(timeout);
        backend->pumpEvents();
        return;
    }
    SDL_Event event;
    int got = 0;
    if (timeout) {
        int ms = static_cast<int>(std::ceil(std::max(0.0, *timeout) * 1000));
        got = SDL_WaitEventTimeout(&event, ms);
    } else {
        got = SDL_WaitEvent(&event);
    }
    {
        std::lock_guard lock(mutex_);
        woken_ = false;
    }
    if (got) backend->handle(event);
    backend->pumpEvents();
}

void SDLWaiter::wake() {
    // Held while SDL sends the wake-up, so that once stop() has returned no wake-up can reach a
    // window that is being destroyed.
    std::lock_guard lock(mutex_);
    if (stopped_) return;
    woken_ = true;
    SDL_Event event{};
    event.type = wakeEvent_;
    SDL_PushEvent(&event);
    wakeUp_.notify_all();
}

void SDLWaiter::stop() {
    std::lock_guard lock(mutex_);
    stopped_ = true;
}

void SDLWaiter::sleep(std::optional<double> timeout) {
    // A second at most: SDL turns the termination signals into its quit event only when asked
    // for events.
    double seconds = std::clamp(timeout.value_or(1.0), 0.0, 1.0);
    std::unique_lock lock(mutex_);
    wakeUp_.wait_for(lock, std::chrono::duration<double>(seconds), [&] { return woken_; });
    woken_ = false;
}
