#include "QuartzCore/CATransaction.hpp"

#include <vector>

namespace {
struct Frame {
    std::optional<bool> disableActions;
    std::optional<double> duration;
    std::optional<std::optional<CAMediaTimingFunction>> timing;
    std::function<void()> completion;
};

std::vector<Frame>& frames() {
    thread_local std::vector<Frame> stack;
    return stack;
}

template <class T>
std::optional<T> innermost(std::optional<T> Frame::*field) {
    auto& stack = frames();
    for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
        if ((*it).*field) return (*it).*field;
    }
    return std::nullopt;
}
}  // namespace

void CATransaction::begin() { frames().emplace_back(); }

void CATransaction::commit() {
    auto& stack = frames();
    if (stack.empty()) return;
    auto completion = std::move(stack.back().completion);
    stack.pop_back();
    if (completion) completion();
}

int CATransaction::depth() { return static_cast<int>(frames().size()); }

bool CATransaction::disableActions() { return innermost(&Frame::disableActions).value_or(false); }

void CATransaction::setDisableActions(bool disable) {
    if (!frames().empty()) frames().back().disableActions = disable;
}

double CATransaction::animationDuration() { return innermost(&Frame::duration).value_or(0.25); }

void CATransaction::setAnimationDuration(double seconds) {
    if (!frames().empty()) frames().back().duration = seconds;
}

std::optional<CAMediaTimingFunction> CATransaction::animationTimingFunction() {
    return innermost(&Frame::timing).value_or(std::nullopt);
}

void CATransaction::setAnimationTimingFunction(const std::optional<CAMediaTimingFunction>& function) {
    if (!frames().empty()) frames().back().timing = function;
}

void CATransaction::setCompletionBlock(std::function<void()> block) {
    if (!frames().empty()) frames().back().completion = std::move(block);
}
