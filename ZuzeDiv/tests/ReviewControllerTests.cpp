#include <gtest/gtest.h>

#include "StoreKit/SKStoreReviewController.hpp"
#include "Testing/TestEnvironment.hpp"
#include "ZuzeDiv/ReviewController.hpp"

using namespace ZuzeDiv;

class ReviewControllerTest : public VirtualTimeTest {
protected:
    void SetUp() override {
        VirtualTimeTest::SetUp();
        SKStoreReviewController::setResponder(nullptr);
        defaults_ = UserDefaults::suite(ReviewController::suiteName);
        ASSERT_TRUE(defaults_);
    }
    void TearDown() override {
        UserDefaults::setSuiteFilter(nullptr);
        VirtualTimeTest::TearDown();
    }
    std::shared_ptr<UserDefaults> defaults_;
};

TEST_F(ReviewControllerTest, PromptsOnceThreeDaysAfterTheFirstReport) {
    ReviewController controller(defaults_);
    const double first = now();
    controller.requestReview("export");
    EXPECT_EQ(SKStoreReviewController::requestCount(), 0);
    EXPECT_EQ(defaults_->doubleForKey("init_export"), first);

    clock_->set(first + 259199);
    controller.requestReview("export");
    EXPECT_EQ(SKStoreReviewController::requestCount(), 0);
    EXPECT_EQ(defaults_->doubleForKey("init_export"), first);  // later reports do not restart the clock

    clock_->set(first + 259200);
    controller.requestReview("export");
    EXPECT_EQ(SKStoreReviewController::requestCount(), 1);
    EXPECT_TRUE(defaults_->boolForKey("export"));

    clock_->set(first + 5 * 365 * 86400.0);
    controller.requestReview("export");
    EXPECT_EQ(SKStoreReviewController::requestCount(), 1);

    // Another event keeps its own clock.
    controller.requestReview("share");
    EXPECT_EQ(SKStoreReviewController::requestCount(), 1);
    clock_->advance(259200);
    controller.requestReview("share");
    EXPECT_EQ(SKStoreReviewController::requestCount(), 2);
}

TEST_F(ReviewControllerTest, NoEventOrNoSuiteMeansNoPrompt) {
    ReviewController controller(defaults_);
    controller.requestReview(std::nullopt);
    EXPECT_TRUE(defaults_->dictionaryRepresentation().empty());

    ReviewController withoutSuite(nullptr);
    withoutSuite.requestReview("export");
    clock_->advance(10 * 259200);
    withoutSuite.requestReview("export");
    EXPECT_FALSE(withoutSuite.isReviewDue("export"));
    EXPECT_EQ(SKStoreReviewController::requestCount(), 0);
}

TEST_F(ReviewControllerTest, RecordsPersistInTheNamedSuite) {
    ReviewController(defaults_).requestReview("export");
    clock_->advance(259200);
    // A new process reads the suite from disk.
    UserDefaults::setDirectory(defaultsDirectory_->path());
    ReviewController later(UserDefaults::suite(ReviewController::suiteName));
    later.requestReview("export");
    EXPECT_EQ(SKStoreReviewController::requestCount(), 1);
}

TEST_F(ReviewControllerTest, AnEventNamedLikeAnotherEventsKeySharesIt) {
    // The flag of the event "init_x" lives under the first-report key of the event "x": once set,
    // "x" reads it as the time 1.0, long past, and is due at its very first report.
    ReviewController controller(defaults_);
    controller.requestReview("init_x");
    clock_->advance(259200);
    controller.requestReview("init_x");
    ASSERT_EQ(SKStoreReviewController::requestCount(), 1);
    controller.requestReview("x");
    EXPECT_EQ(SKStoreReviewController::requestCount(), 2);
}
