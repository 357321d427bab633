#include "Quillon/Settings.hpp"

#include <optional>

#include "Foundation/UserDefaults.hpp"
#include "StoreKit/SKStoreReviewController.hpp"
#include "ZuzeDiv/DateExtensions.hpp"

namespace Quillon {

namespace {
std::optional<bool>& keepInFrontValue() {
    static std::optional<bool> value;
    return value;
}
}  // namespace

const std::string Settings::keepInFrontKey = "FennickKeepInFrontKey";
const std::string Settings::reviewCheckKey = "FennickAppReviewCheck";

bool Settings::keepInFront() {
    auto& value = keepInFrontValue();
    if (!value) value = UserDefaults::standard().boolForKey(keepInFrontKey);
    return *value;
}

void Settings::setKeepInFront(bool keepInFront) { keepInFrontValue() = keepInFront; }

void Settings::forgetKeepInFront() { keepInFrontValue().reset(); }

double Settings::nextReviewDate() {
    double stored = UserDefaults::standard().doubleForKey(reviewCheckKey);
    if (stored != 0) return stored;
    double first = ZuzeDiv::currentTimestamp() + firstReviewDelay;
    setNextReviewDate(first);
    return first;
}

void Settings::setNextReviewDate(double secondsSince1970) {
    UserDefaults::standard().set(secondsSince1970, reviewCheckKey);
}

bool Settings::checkReview() {
    double now = ZuzeDiv::currentTimestamp();
    if (!(nextReviewDate() < now)) return false;
    setNextReviewDate(now + reviewInterval);
    SKStoreReviewController::requestReview();
    return true;
}

}  // namespace Quillon
