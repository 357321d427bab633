#include "AppKit/NSViewController.hpp"

std::shared_ptr<NSView> NSViewController::view() {
    if (!view_) {
        loadView();
        if (!view_) view_ = NSView::make();
        viewDidLoad();
    }
    return view_;
}
