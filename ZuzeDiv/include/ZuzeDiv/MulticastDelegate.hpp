#pragma once
// A set of delegates held weakly, all called at once. A delegate released elsewhere drops out by
// itself.
#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

namespace ZuzeDiv {

template <class T>
class MulticastDelegate {
public:
    /// Adds the delegate; adding the same object twice keeps it once.
    void add(const std::shared_ptr<T>& delegate) {
        if (!delegate) return;
        prune();
        for (const auto& held : delegates_) {
            if (held.lock() == delegate) return;
        }
        delegates_.push_back(delegate);
    }

    /// Removes the very object given (identity, not equality).
    void remove(const std::shared_ptr<T>& delegate) {
        auto snapshot = current();
        for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) {
            if (*it == delegate) {
                std::erase_if(delegates_, [&](const std::weak_ptr<T>& held) { return held.lock() == delegate; });
            }
        }
        prune();
    }

    /// Calls the block once with every delegate still alive; no order is promised.
    void invoke(const std::function<void(T&)>& block) {
        auto snapshot = current();
        for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) block(**it);
    }

    std::size_t count() const {
        return static_cast<std::size_t>(
            std::count_if(delegates_.begin(), delegates_.end(), [](const auto& held) { return !held.expired(); }));
    }

private:
    std::vector<std::shared_ptr<T>> current() const {
        std::vector<std::shared_ptr<T>> alive;
        for (const auto& held : delegates_) {
            if (auto delegate = held.lock()) alive.push_back(delegate);
        }
        return alive;
    }
    void prune() {
        std::erase_if(delegates_, [](const std::weak_ptr<T>& held) { return held.expired(); });
    }

    std::vector<std::weak_ptr<T>> delegates_;
};

}  // namespace ZuzeDiv
