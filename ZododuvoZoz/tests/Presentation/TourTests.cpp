#include <gtest/gtest.h>

#include "AppKit/ViewRenderer.hpp"
#include "PresentationTestSupport.hpp"
#include "ZododuvoZoz/Presentation/DotView.hpp"
#include "ZododuvoZoz/Presentation/TourViewController.hpp"

using namespace ZododuvoZoz;

namespace presentation_tests {
namespace {

// A page whose view carries its number.
class Page : public NSViewController {
public:
    explicit Page(int number) : number_(number) {}
    void loadView() override {
        auto view = NSView::make({0, 0, 50, 50});
        view->setIdentifier("page " + std::to_string(number_));
        setView(view);
    }

private:
    int number_;
};

std::vector<std::shared_ptr<NSViewController>> pages(int count) {
    std::vector<std::shared_ptr<NSViewController>> result;
    for (int i = 0; i < count; ++i) result.push_back(std::make_shared<Page>(i));
    return result;
}

class DotListener : public DotViewDelegate {
public:
    std::vector<int> selected;
    void dotView(DotView&, int index) override { selected.push_back(index); }
};

}  // namespace

class Tour : public PresentationTest {
protected:
    // A tour of `count` pages from the storyboard, about to be shown.
    void open(int count) {
        tour = TourController::tourViewController();
        ASSERT_TRUE(tour);
        tour->setViewControllers(pages(count));
        tour->view()->layoutSubtreeIfNeeded();
        tour->viewWillAppear();
        host = tour->hostView.lock();
        dots = tour->dotsView.lock();
        ASSERT_TRUE(host && dots && tour->previous.lock() && tour->next.lock());
    }
    /// The identifier of the page in the host view; "" when it is empty.
    std::string shown() const {
        if (host->subviews().empty()) return "";
        EXPECT_EQ(host->subviews().size(), 1u);
        return host->subviews()[0]->identifier();
    }

    std::shared_ptr<TourViewController> tour;
    std::shared_ptr<NSView> host;
    std::shared_ptr<DotView> dots;
};

TEST_F(Tour, FourPagesWrapAroundInBothDirections) {
    open(4);
    EXPECT_EQ(shown(), "page 0");
    EXPECT_EQ(dots->count(), 4);
    EXPECT_FALSE(tour->next.lock()->isHidden());
    EXPECT_FALSE(dots->isHidden());
    // The page fills the host view.
    tour->view()->layoutSubtreeIfNeeded();
    EXPECT_EQ(host->subviews()[0]->frame(), host->bounds());

    tour->showNext();
    tour->showNext();
    tour->showNext();
    EXPECT_EQ(shown(), "page 3");
    EXPECT_EQ(dots->selectedDot(), 3);
    tour->showNext();
    EXPECT_EQ(shown(), "page 0");
    tour->showPrevious();
    EXPECT_EQ(shown(), "page 3");
    EXPECT_EQ(dots->selectedDot(), 3);

    // The buttons send their actions to the tour.
    EXPECT_TRUE(tour->previous.lock()->sendAction());
    EXPECT_EQ(shown(), "page 2");
    EXPECT_TRUE(tour->next.lock()->sendAction());
    EXPECT_EQ(shown(), "page 3");

    // Shown again, the tour starts over on the first page and its dot.
    tour->viewWillAppear();
    EXPECT_EQ(dots->selectedDot(), 0);
    tour->showNext();
    EXPECT_EQ(shown(), "page 1");
}

TEST_F(Tour, ClickingADotShowsItsPage) {
    open(3);
    CGRect dot = dots->dotRect(2);
    dots->mouseDown(click(dots->convertToView({dot.midX(), dot.midY()}, nullptr)));
    EXPECT_EQ(dots->selectedDot(), 2);
    EXPECT_EQ(shown(), "page 2");
    tour->show(1);  // showing a page leaves the dots alone
    EXPECT_EQ(dots->selectedDot(), 2);
}

TEST_F(Tour, OnePageHidesTheControlsAndNoPagesShowNothing) {
    open(1);
    EXPECT_EQ(shown(), "page 0");
    EXPECT_TRUE(tour->previous.lock()->isHidden());
    EXPECT_TRUE(tour->next.lock()->isHidden());
    EXPECT_TRUE(dots->isHidden());
    tour->showNext();
    EXPECT_EQ(shown(), "page 0");

    open(0);
    EXPECT_EQ(shown(), "");
    EXPECT_TRUE(dots->isHidden());
    tour->showPrevious();  // index -1
    EXPECT_EQ(shown(), "");
    tour->showNext();  // index 0 of none
    EXPECT_EQ(shown(), "");
    tour->show(5);
    EXPECT_EQ(shown(), "");
}

TEST_F(Tour, DotsLieCentredAndAreHitFromTheirLeftEdgeOnly) {
    auto view = DotView::make({0, 0, 200, 10});
    auto listener = std::make_shared<DotListener>();
    view->setDelegate(listener);
    // d = 8, r = (40 + 48) / 2 + 1 = 45: the row starts at 100 - 45 and steps by 20.
    EXPECT_EQ(view->dotRect(0), (CGRect{55, 1, 8, 8}));
    EXPECT_EQ(view->dotRect(4), (CGRect{135, 1, 8, 8}));

    view->mouseDown(click({55, 40}));  // the height is not looked at
    view->mouseDown(click({63, 5}));   // the right edge belongs to the gap
    view->mouseDown(click({74.9, 5}));
    view->mouseDown(click({75, 5}));
    EXPECT_EQ(listener->selected, (std::vector<int>{0, 1}));
    EXPECT_EQ(view->selectedDot(), 1);

    // Halves are cut off: r = (16 + 5) * 0.5 + 1 = 11.5 gives 11, and half of 201 gives 100.
    view->setFrameSize({201, 10});
    view->setDistance(5);
    view->setCount(2);
    EXPECT_EQ(view->dotRect(0).minX(), 89);
    view->setCount(-2);
    EXPECT_EQ(view->count(), 0);
    view->mouseDown(click({100, 5}));
    EXPECT_EQ(listener->selected.size(), 2u);
}

TEST_F(Tour, RenderedDotsMarkTheSelectedOne) {
    useAppearance(NSAppearanceNameAqua);
    auto view = DotView::make({0, 0, 200, 10});
    view->setSelectedDot(1);
    auto image = ViewRenderer::image(*view, 1.0);
    EXPECT_EQ(pixelAt(*image, 79, 5), opaque(0, 120, 250));  // the accent colour
    EXPECT_TRUE(near(pixelAt(*image, 59, 5), Pixel{0, 0, 0, 26}));  // the separator colour
    EXPECT_EQ(pixelAt(*image, 69, 5)[3], 0);  // the gap
}

}  // namespace presentation_tests
