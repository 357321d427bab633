#pragma once
// A paged tour: one of the host's pages at a time fills the host view, with previous and next
// buttons that wrap around and page dots that also pick pages. The current page is the dots
// view's selected dot. Built from the module's storyboard "Tour" by TourController.
#include <memory>
#include <vector>

#include "AppKit/NSButton.hpp"
#include "AppKit/NSViewController.hpp"
#include "AppKit/Selector.hpp"
#include "ZododuvoZoz/Presentation/DotView.hpp"

namespace ZododuvoZoz {

class TourViewController : public NSViewController, public DotViewDelegate {
public:
    // Outlets, connected by the storyboard.
    std::weak_ptr<NSButton> previous;  // sends previousClicked:
    std::weak_ptr<NSButton> next;      // sends nextClicked:
    std::weak_ptr<NSView> hostView;
    std::weak_ptr<DotView> dotsView;

    /// The pages in order; set by the host before the view is shown.
    virtual const std::vector<std::shared_ptr<NSViewController>>& viewControllers() const { return viewControllers_; }
    virtual void setViewControllers(const std::vector<std::shared_ptr<NSViewController>>& pages) { viewControllers_ = pages; }

    /// Empties the host view, then shows the page at the index filling it; an index that names no
    /// page leaves it empty. The dots are not changed.
    virtual void show(int index);
    /// The page after the dots' selection, the first after the last.
    virtual void showNext();
    /// The page before the dots' selection, the dots' last after the first.
    virtual void showPrevious();

    /// The actions of the previous and next buttons.
    void previousClicked(const Selector::Sender& sender);
    void nextClicked(const Selector::Sender& sender);
    static Selector previousClickedAction();
    static Selector nextClickedAction();

    /// Becomes the dots view's delegate.
    void viewDidLoad() override;
    /// One dot per page with the first marked, the controls shown only for two pages or more, and
    /// the first page.
    void viewWillAppear() override;
    /// Shows the clicked dot's page.
    void dotView(DotView& dotView, int didSelect) override;

private:
    void select(int index);

    std::vector<std::shared_ptr<NSViewController>> viewControllers_;
};

class TourController {
public:
    TourController() = delete;
    /// A new tour from the module's storyboard "Tour"; none when its initial controller is no tour.
    static std::shared_ptr<TourViewController> tourViewController();
};

}  // namespace ZododuvoZoz
