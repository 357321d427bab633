#pragma once
// Groups of layer changes. Layers change at once here; a transaction records whether implicit
// actions are disabled, its duration and timing, and runs its completion block when committed.
// Transactions nest per thread; a setting outside any open transaction does nothing.
#include <functional>
#include <optional>

#include "QuartzCore/CAMediaTimingFunction.hpp"

class CATransaction {
public:
    CATransaction() = delete;

    static void begin();
    /// Ends the innermost transaction and runs its completion block; without one, nothing happens.
    static void commit();
    /// How many transactions are open on this thread.
    static int depth();

    /// The innermost setting made, or false.
    static bool disableActions();
    static void setDisableActions(bool disable);
    /// The innermost setting made, or 0.25 seconds.
    static double animationDuration();
    static void setAnimationDuration(double seconds);
    static std::optional<CAMediaTimingFunction> animationTimingFunction();
    static void setAnimationTimingFunction(const std::optional<CAMediaTimingFunction>& function);
    static void setCompletionBlock(std::function<void()> block);
};
