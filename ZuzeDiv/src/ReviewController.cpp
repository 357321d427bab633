#include "ZuzeDiv/ReviewController.hpp"

#include "StoreKit/SKStoreReviewController.hpp"
#include "ZuzeDiv/DateExtensions.hpp"

namespace ZuzeDiv {

ReviewController& ReviewController::shared() {
    static ReviewController instance(UserDefaults::suite(suiteName));
    return instance;
}

ReviewController::ReviewController(std::shared_ptr<UserDefaults> defaults) : defaults_(std::move(defaults)) {}

bool ReviewController::isReviewDue(const std::string& event) {
    const std::string key = initialCallKey + "_" + event;
    if (!defaults_) return false;
    const double firstReport = defaults_->doubleForKey(key);
    const double now = currentTimestamp();
    if (firstReport != 0) return firstReport + interval <= now;
    defaults_->set(now, key);
    return false;
}

void ReviewController::requestReview(const std::optional<std::string>& event) {
    if (!event) return;
    if (defaults_ && defaults_->boolForKey(*event)) return;
    if (!isReviewDue(*event)) return;
    SKStoreReviewController::requestReview();
    if (defaults_) defaults_->set(true, *event);
}

}  // namespace ZuzeDiv
