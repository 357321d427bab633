#include "AppKit/NSNib.hpp"

std::shared_ptr<NSNib> NSNib::make(const std::string& nibNamed, const std::shared_ptr<Bundle>& bundle) {
    auto storyboard = NSStoryboard::make(nibNamed, bundle);
    if (!storyboard) return nullptr;
    return std::make_shared<NSNib>(nibNamed, storyboard);
}
