#pragma once
// The application's two settings in the standard user defaults, and the review-prompt check.
#include <string>

namespace Quillon {

class Settings {
public:
    Settings() = delete;

    static const std::string keepInFrontKey;   // "FennickKeepInFrontKey"
    static const std::string reviewCheckKey;   // "FennickAppReviewCheck"
    /// Seconds between two review prompts (21 days), and until the first one (7 days).
    static constexpr double reviewInterval = 1814400;
    static constexpr double firstReviewDelay = 604800;

    /// Keep the window in front: read from the user defaults once, on first use (false when
    /// absent), then kept in memory.
    static bool keepInFront();
    static void setKeepInFront(bool keepInFront);
    /// Forgets the value read, so the next use reads the user defaults again (as a new launch does).
    static void forgetKeepInFront();

    /// The earliest time of the next review prompt, in seconds since 1970. When none is stored,
    /// now + 7 days is stored and returned, so the first prompt comes a week after the first launch.
    static double nextReviewDate();
    static void setNextReviewDate(double secondsSince1970);

    /// Asks for the review prompt when its time has passed (strictly), and moves the time 21 days
    /// on. Returns whether it asked.
    static bool checkReview();
};

}  // namespace Quillon
