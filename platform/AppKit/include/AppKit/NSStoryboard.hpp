#pragma once
// Storyboards as scene factories: each storyboard name (with the bundle it belongs to) maps scene
// identifiers to functions that build the scene's controller with its views, outlets and actions.
// The modules and the application register their storyboards; loading one builds a fresh scene.
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "AppKit/NSResponder.hpp"
#include "Foundation/Bundle.hpp"

class NSStoryboard {
public:
    using SceneFactory = std::function<std::shared_ptr<NSResponder>()>;
    struct Scenes {
        /// The identifier of the initial scene; none when the storyboard has no initial scene.
        std::optional<std::string> initialScene;
        std::map<std::string, SceneFactory> factories;
    };

    /// Registers a storyboard of a bundle (nullptr: the main bundle, whichever it is when loaded),
    /// replacing an earlier one of the same name and bundle.
    static void registerStoryboard(const std::string& name, Scenes scenes, const std::shared_ptr<Bundle>& bundle = nullptr);
    static void unregisterStoryboard(const std::string& name, const std::shared_ptr<Bundle>& bundle = nullptr);

    /// The storyboard of that name in the bundle (nullptr: the main bundle); nullptr when there is none.
    static std::shared_ptr<NSStoryboard> make(const std::string& name, const std::shared_ptr<Bundle>& bundle = nullptr);

    const std::string& name() const { return name_; }
    /// A new controller of the initial scene; nullptr when there is no initial scene.
    std::shared_ptr<NSResponder> instantiateInitialController() const;
    /// A new controller of the scene; nullptr for an unknown identifier.
    std::shared_ptr<NSResponder> instantiateController(const std::string& identifier) const;

    NSStoryboard(std::string name, Scenes scenes) : name_(std::move(name)), scenes_(std::move(scenes)) {}

private:
    std::string name_;
    Scenes scenes_;
};
