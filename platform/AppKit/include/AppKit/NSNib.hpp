#pragma once
// An interface file holding one top-level object, such as a collection item: here the scene
// factory registered under the nib's name for its bundle (see NSStoryboard), whose initial scene
// is the object. Instantiating builds a fresh one.
#include <memory>
#include <string>

#include "AppKit/NSResponder.hpp"
#include "AppKit/NSStoryboard.hpp"
#include "Foundation/Bundle.hpp"

class NSNib {
public:
    /// The nib of that name in the bundle (nullptr: the main bundle); nullptr when none is registered.
    static std::shared_ptr<NSNib> make(const std::string& nibNamed, const std::shared_ptr<Bundle>& bundle = nullptr);

    const std::string& name() const { return name_; }
    /// A new top-level object; nullptr when the nib makes none.
    std::shared_ptr<NSResponder> instantiate() const { return storyboard_->instantiateInitialController(); }

    NSNib(std::string name, std::shared_ptr<NSStoryboard> storyboard)
        : name_(std::move(name)), storyboard_(std::move(storyboard)) {}

private:
    std::string name_;
    std::shared_ptr<NSStoryboard> storyboard_;
};
