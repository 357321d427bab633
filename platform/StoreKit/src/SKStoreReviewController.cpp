#include "StoreKit/SKStoreReviewController.hpp"

#include <mutex>

#include "StoreKit/ReviewPrompt.hpp"

namespace {
std::mutex reviewMutex;
int requests = 0;
std::function<void()> reviewResponder = ReviewPrompt::show;
}  // namespace

void SKStoreReviewController::requestReview() {
    std::function<void()> responder;
    {
        std::lock_guard lock(reviewMutex);
        ++requests;
        responder = reviewResponder;
    }
    if (responder) responder();
}

int SKStoreReviewController::requestCount() {
    std::lock_guard lock(reviewMutex);
    return requests;
}

void SKStoreReviewController::setResponder(std::function<void()> responder) {
    std::lock_guard lock(reviewMutex);
    reviewResponder = std::move(responder);
    requests = 0;
}
