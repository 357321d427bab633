#pragma once
// Dispatch queues: the main queue (blocks run in order on the main run loop), serial and
// concurrent queues of our own threads, and one global concurrent queue.
// A queue's workers start as blocks wait; where no thread can be started, the blocks wait for the
// next chance (the next block queued). At the end of the process (Foundation/ProcessEnd.hpp) the
// blocks running are waited for, the end's second at most; blocks not yet started, and those
// queued later, never run.
// On a concurrent queue plain blocks may run side by side; a barrier block waits for every block
// before it and keeps every later block out until it ends.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>

class DispatchQueue {
public:
    enum class Attributes { serial, concurrent };
    enum class Flags { none, barrier };

    explicit DispatchQueue(std::string label, Attributes attributes = Attributes::serial);

    static DispatchQueue& main();
    static DispatchQueue& global();

    const std::string& label() const;
    bool isConcurrent() const;
    bool isMain() const;

    /// Schedules the block and returns at once.
    void async(std::function<void()> block, Flags flags = Flags::none) const;
    /// Schedules the block to run after `seconds`: on the main queue through a run-loop timer, on
    /// another queue through the queue's own worker, which waits for the earliest such block.
    void asyncAfter(double seconds, std::function<void()> block) const;

    /// Runs the block on the queue, waits for it and returns its result. Calling it from a block
    /// that runs on the same queue stops the process (it could never finish).
    template <class F>
    auto sync(F&& block, Flags flags = Flags::none) const -> std::invoke_result_t<F&> {
        using Result = std::invoke_result_t<F&>;
        if constexpr (std::is_void_v<Result>) {
            syncBlock([&] { block(); }, flags);
        } else {
            std::optional<Result> result;
            syncBlock([&] { result.emplace(block()); }, flags);
            return std::move(*result);
        }
    }

    /// The label of the queue whose block runs on this thread; empty when none.
    static std::string currentLabel();

    bool operator==(const DispatchQueue& other) const { return impl_ == other.impl_; }

    class Impl;

private:
    explicit DispatchQueue(std::shared_ptr<Impl> impl) : impl_(std::move(impl)) {}
    void syncBlock(const std::function<void()>& block, Flags flags) const;

    std::shared_ptr<Impl> impl_;
};
