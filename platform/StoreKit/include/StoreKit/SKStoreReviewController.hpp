#pragma once
// The store's review prompt. Each request is counted and handed to the responder, by default the
// platform's prompt (ReviewPrompt: a small window asking the user to rate the application); tests
// and demos may install another, or none.
#include <functional>

class SKStoreReviewController {
public:
    SKStoreReviewController() = delete;

    static void requestReview();
    /// How many reviews were requested since the process started (or the last reset).
    static int requestCount();
    /// Called on every request in place of the platform's prompt; nullptr removes it, so that
    /// requests are only counted. Resets the count too.
    static void setResponder(std::function<void()> responder);
};
