#pragma once
// A controller of one view, made on first use by loadView(). When the view is a window's content,
// the controller hears when the window comes on screen (viewWillAppear, with the view already in
// the window, then viewDidAppear) and leaves it (viewWillDisappear, viewDidDisappear), as when it
// closes.
#include <memory>
#include <string>

#include "AppKit/NSResponder.hpp"
#include "AppKit/NSView.hpp"

class NSStoryboard;

class NSViewController : public NSResponder, public std::enable_shared_from_this<NSViewController> {
public:
    /// The view, loaded (loadView, then viewDidLoad) on first use.
    std::shared_ptr<NSView> view();
    void setView(const std::shared_ptr<NSView>& view) { view_ = view; }
    bool isViewLoaded() const { return view_ != nullptr; }
    /// Loads the view when it is not loaded yet.
    void loadViewIfNeeded() { view(); }
    /// Makes the view; a plain view by default.
    virtual void loadView() { view_ = NSView::make(); }
    virtual void viewDidLoad() {}
    virtual void viewWillAppear() {}
    virtual void viewDidAppear() {}
    virtual void viewWillDisappear() {}
    virtual void viewDidDisappear() {}
    const std::string& title() const { return title_; }
    void setTitle(std::string title) { title_ = std::move(title); }
    /// The storyboard that made the controller, if one did.
    std::shared_ptr<NSStoryboard> storyboard() const { return storyboard_; }
    void setStoryboard(const std::shared_ptr<NSStoryboard>& storyboard) { storyboard_ = storyboard; }

private:
    std::shared_ptr<NSView> view_;
    std::string title_;
    std::shared_ptr<NSStoryboard> storyboard_;
};
