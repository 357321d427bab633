#pragma once
// A display: its frame in points and how many device pixels make one point. Which screen is the
// main one is a setting: none unless set (a headless machine has none), so drawing code falls
// back to a scale of 1.
#include <memory>
#include <optional>
#include <vector>

#include "CoreGraphics/CGGeometry.hpp"

class NSScreen {
public:
    NSScreen(CGRect frame, CGFloat backingScaleFactor = 1, std::optional<CGRect> visibleFrame = std::nullopt)
        : frame_(frame), visibleFrame_(visibleFrame.value_or(frame)), backingScaleFactor_(backingScaleFactor) {}

    static std::shared_ptr<NSScreen> main();
    /// Sets the main screen (tests, window backends); nullptr means there is none.
    static void setMain(const std::shared_ptr<NSScreen>& screen);
    static std::vector<std::shared_ptr<NSScreen>> screens();

    CGRect frame() const { return frame_; }
    CGRect visibleFrame() const { return visibleFrame_; }
    CGFloat backingScaleFactor() const { return backingScaleFactor_; }

private:
    CGRect frame_;
    CGRect visibleFrame_;
    CGFloat backingScaleFactor_;
};
