#include "ZododuvoZoz/Presentation/TourViewController.hpp"

#include "AppKit/NSStoryboard.hpp"
#include "Presentation/PresentationStoryboards.hpp"
#include "ZododuvoZoz/Resources.hpp"
#include "ZuzeDiv/ViewExtensions.hpp"

namespace ZododuvoZoz {

void TourViewController::viewDidLoad() {
    NSViewController::viewDidLoad();
    if (auto dots = dotsView.lock()) {
        dots->setDelegate(std::shared_ptr<DotViewDelegate>(shared_from_this(), static_cast<DotViewDelegate*>(this)));
    }
}

void TourViewController::viewWillAppear() {
    NSViewController::viewWillAppear();
    int pages = int(viewControllers().size());
    auto dots = dotsView.lock();
    if (dots) {
        dots->setCount(pages);
        // Each appearance starts on the first page, so its dot is the one marked.
        dots->setSelectedDot(0);
        dots->setNeedsDisplay(true);
    }
    bool single = pages < 2;
    if (auto button = previous.lock()) button->setHidden(single);
    if (auto button = next.lock()) button->setHidden(single);
    if (dots) dots->setHidden(single);
    if (pages > 0) show(0);
}

void TourViewController::show(int index) {
    auto host = hostView.lock();
    if (!host) return;
    ZuzeDiv::removeAllSubviews(*host);
    const auto& pages = viewControllers();
    if (index < 0 || index >= int(pages.size())) return;
    auto page = pages[std::size_t(index)]->view();
    host->addSubview(page);
    ZuzeDiv::pinToSuperview(*page);
}

void TourViewController::select(int index) {
    if (auto dots = dotsView.lock()) {
        dots->setSelectedDot(index);
        dots->setNeedsDisplay(true);
    }
    show(index);
}

void TourViewController::showNext() {
    int pages = int(viewControllers().size());
    auto dots = dotsView.lock();
    int current = dots ? dots->selectedDot() : 0;
    select(current >= pages - 1 ? 0 : current + 1);
}

void TourViewController::showPrevious() {
    auto dots = dotsView.lock();
    int current = dots ? dots->selectedDot() : 0;
    int count = dots ? dots->count() : int(viewControllers().size());
    select(current != 0 ? current - 1 : count - 1);
}

void TourViewController::previousClicked(const Selector::Sender&) { showPrevious(); }

void TourViewController::nextClicked(const Selector::Sender&) { showNext(); }

Selector TourViewController::previousClickedAction() {
    return Selector::make<TourViewController>("previousClicked:", &TourViewController::previousClicked);
}

Selector TourViewController::nextClickedAction() {
    return Selector::make<TourViewController>("nextClicked:", &TourViewController::nextClicked);
}

void TourViewController::dotView(DotView&, int didSelect) { show(didSelect); }

std::shared_ptr<TourViewController> TourController::tourViewController() {
    registerPresentationStoryboards();
    auto storyboard = NSStoryboard::make("Tour", Resources::bundle());
    if (!storyboard) return nullptr;
    return std::dynamic_pointer_cast<TourViewController>(storyboard->instantiateInitialController());
}

}  // namespace ZododuvoZoz
