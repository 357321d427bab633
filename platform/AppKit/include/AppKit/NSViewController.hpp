#pragma once
// A controller of one view, made on first use by loadView().
#include <memory>
#include <string>

#include "AppKit/NSResponder.hpp"
#include "AppKit/NSView.hpp"

class NSViewController : public NSResponder, public std::enable_shared_from_this<NSViewController> {
public:
    /// The view, loaded (loadView, then viewDidLoad) on first use.
    std::shared_ptr<NSView> view();
    void setView(const std::shared_ptr<NSView>& view) { view_ = view; }
    bool isViewLoaded() const { return view_ != nullptr; }
    /// Makes the view; a plain view by default.
    virtual void loadView() { view_ = NSView::make(); }
    virtual void viewDidLoad() {}
    const std::string& title() const { return title_; }
    void setTitle(std::string title) { title_ = std::move(title); }

private:
    std::shared_ptr<NSView> view_;
    std::string title_;
};
