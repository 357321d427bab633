#pragma once
// A value that several threads may share: it lives behind a private dispatch queue; reads run on
// the queue and wait, writes are queued (as barriers on a concurrent queue) and return at once.
// A read issued after a write by the same thread sees that write.
#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

#include "Foundation/DispatchQueue.hpp"
#include "ZuzeDiv/LabelDispatch.hpp"
#include "ZuzeDiv/ThreadingType.hpp"

namespace ZuzeDiv {

template <class T>
class ThreadedObject {
public:
    explicit ThreadedObject(T value, ThreadingType threadingType = ThreadingType::concurrent)
        : value_(std::make_shared<T>(std::move(value))),
          threadingType_(threadingType),
          queue_(LabelDispatch::nextLabel(), threadingType == ThreadingType::concurrent
                                                 ? DispatchQueue::Attributes::concurrent
                                                 : DispatchQueue::Attributes::serial) {}
    virtual ~ThreadedObject() = default;

    ThreadingType threadingType() const { return threadingType_; }
    const DispatchQueue& queue() const { return queue_; }

    /// Runs the block with the value on the queue and returns its result; the caller waits.
    template <class F>
    auto read(F&& block) const -> std::invoke_result_t<F&, const T&> {
        const T& value = *value_;
        return queue_.sync([&]() -> decltype(auto) { return block(value); });
    }

    /// Queues a change of the value and returns at once. The value stays alive until it has run.
    void write(std::function<void(T&)> block) {
        queue_.async([value = value_, block = std::move(block)] { block(*value); }, writeFlags());
    }

    /// Runs a change as an exclusive task, waits for it and returns its result.
    template <class F>
    auto writeAndWait(F&& block) -> std::invoke_result_t<F&, T&> {
        T& value = *value_;
        return queue_.sync([&]() -> decltype(auto) { return block(value); }, DispatchQueue::Flags::barrier);
    }

private:
    DispatchQueue::Flags writeFlags() const {
        return threadingType_ == ThreadingType::concurrent ? DispatchQueue::Flags::barrier : DispatchQueue::Flags::none;
    }

    std::shared_ptr<T> value_;
    ThreadingType threadingType_;
    DispatchQueue queue_;
};

}  // namespace ZuzeDiv
