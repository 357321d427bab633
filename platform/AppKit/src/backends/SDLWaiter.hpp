#pragma once
// How the main loop waits while SDL shows the windows: in SDL's event wait, which the window
// system's events end, and which wake() ends from any thread with an event of the backend's own.
// Without a window SDL's wait polls every millisecond, so the loop sleeps on a condition instead.
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>

#include "Foundation/RunLoop.hpp"

class SDLWindowBackend;

class SDLWaiter final : public RunLoop::Waiter {
public:
    SDLWaiter(std::weak_ptr<SDLWindowBackend> backend, std::uint32_t wakeEvent) : backend_(std::move(backend)), wakeEvent_(wakeEvent) {}

    void wait(std::optional<double> timeout) override;
    void wake() override;
    /// No more wake-ups: the windows are about to go.
    void stop();

private:
    void sleep(std::optional<double> timeout);

    std::mutex mutex_;
    std::condition_variable wakeUp_;
    bool woken_ = false;
    bool stopped_ = false;
    std::weak_ptr<SDLWindowBackend> backend_;
    std::uint32_t wakeEvent_;
};
