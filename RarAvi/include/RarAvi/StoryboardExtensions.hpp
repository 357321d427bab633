#pragma once
// Controllers from the main bundle's storyboards, of the class the caller expects.
#include <memory>
#include <string>

#include "AppKit/NSStoryboard.hpp"
#include "AppKit/NSViewController.hpp"
#include "Foundation/Bundle.hpp"

namespace RarAvi {

/// The initial controller of the storyboard when it is a Controller; nothing otherwise.
template <class Controller = NSViewController>
std::shared_ptr<Controller> initialController(const std::string& storyboard) {
    auto board = NSStoryboard::make(storyboard, Bundle::main());
    if (!board) return nullptr;
    return std::dynamic_pointer_cast<Controller>(board->instantiateInitialController());
}

/// The controller of the scene when it is a Controller; nothing otherwise.
template <class Controller = NSViewController>
std::shared_ptr<Controller> controller(const std::string& storyboard, const std::string& identifier) {
    auto board = NSStoryboard::make(storyboard, Bundle::main());
    if (!board) return nullptr;
    return std::dynamic_pointer_cast<Controller>(board->instantiateController(identifier));
}

}  // namespace RarAvi
