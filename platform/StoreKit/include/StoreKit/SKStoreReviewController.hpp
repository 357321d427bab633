#pragma once
// The store's review prompt. Whether a prompt is really shown is the store's affair; here each
// request is counted and handed to a responder that tests and demos may install.
#include <functional>

class SKStoreReviewController {
public:
    SKStoreReviewController() = delete;

    static void requestReview();
    /// How many reviews were requested since the process started (or the last reset).
    static int requestCount();
    /// Called on every request; nullptr removes it. Resets the count too.
    static void setResponder(std::function<void()> responder);
};
