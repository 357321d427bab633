#include <gtest/gtest.h>

#include "Foundation/UserDefaults.hpp"
#include "Quillon/Settings.hpp"
#include "StoreKit/SKStoreReviewController.hpp"
#include "Testing/TestEnvironment.hpp"

using namespace Quillon;

class SettingsTest : public VirtualTimeTest {
protected:
    void SetUp() override {
        VirtualTimeTest::SetUp();
        Settings::forgetKeepInFront();
        SKStoreReviewController::setResponder(nullptr);
    }
    void TearDown() override {
        Settings::forgetKeepInFront();
        VirtualTimeTest::TearDown();
    }
};

TEST_F(SettingsTest, KeepInFrontIsReadOnceAndThenKeptInMemory) {
    EXPECT_FALSE(Settings::keepInFront());
    UserDefaults::standard().set(true, Settings::keepInFrontKey);
    EXPECT_FALSE(Settings::keepInFront());  // read on first use only
    Settings::forgetKeepInFront();          // a new launch
    EXPECT_TRUE(Settings::keepInFront());
}

TEST_F(SettingsTest, TheFirstPromptComesAWeekAfterTheFirstLaunch) {
    EXPECT_FALSE(Settings::checkReview());
    EXPECT_EQ(UserDefaults::standard().doubleForKey(Settings::reviewCheckKey), now() + Settings::firstReviewDelay);
    advance(Settings::firstReviewDelay);  // exactly then: not yet (strictly earlier only)
    EXPECT_FALSE(Settings::checkReview());
    advance(1);
    EXPECT_TRUE(Settings::checkReview());
    EXPECT_EQ(SKStoreReviewController::requestCount(), 1);
    EXPECT_EQ(Settings::nextReviewDate(), now() + Settings::reviewInterval);
    advance(Settings::reviewInterval - 1);
    EXPECT_FALSE(Settings::checkReview());
    advance(2);
    EXPECT_TRUE(Settings::checkReview());
    EXPECT_EQ(SKStoreReviewController::requestCount(), 2);
}

TEST_F(SettingsTest, AStoredDateInThePastPromptsOnce) {
    Settings::setNextReviewDate(now() - 10);
    EXPECT_TRUE(Settings::checkReview());
    EXPECT_FALSE(Settings::checkReview());
    EXPECT_EQ(SKStoreReviewController::requestCount(), 1);
}
