#pragma once
// Decides when to ask the store's review prompt for a named event: never at the first report of
// the event, then at the first report 3 days or more after it, and never again for that event.
// What it has done is kept in the user-defaults suite "com.veltrip.appreviews".
#include <memory>
#include <optional>
#include <string>

#include "Foundation/UserDefaults.hpp"

namespace ZuzeDiv {

class ReviewController {
public:
    /// The one instance, made on first use with the suite (absent when it cannot be opened).
    static ReviewController& shared();
    /// An instance over the given defaults (or none), for hosts and tests that choose the store.
    explicit ReviewController(std::shared_ptr<UserDefaults> defaults);
    virtual ~ReviewController() = default;

    static constexpr const char* suiteName = "com.veltrip.appreviews";
    const std::string initialCallKey = "init";
    /// 3 days, in seconds.
    const double interval = 259200.0;

    /// Asks the prompt when the event is due and has not had it yet; nothing without an event.
    virtual void requestReview(const std::optional<std::string>& event);
    /// Whether 3 days have passed since the event's first report; records the first report.
    virtual bool isReviewDue(const std::string& event);

    const std::shared_ptr<UserDefaults>& defaults() const { return defaults_; }

private:
    std::shared_ptr<UserDefaults> defaults_;
};

}  // namespace ZuzeDiv
