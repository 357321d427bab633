#pragma once
// The About panel: the application's name, version, rights notice and a privacy text in the
// gradient dialog, with a button that opens the maker's home page (or a custom address).
#include <memory>
#include <optional>
#include <string>

#include "AppKit/NSTextField.hpp"
#include "AppKit/NSViewController.hpp"
#include "Foundation/PropertyList.hpp"

namespace ZododuvoZoz {

class AboutViewController : public NSViewController {
public:
    // Outlets, connected by the storyboard.
    std::weak_ptr<NSTextField> lblCopyright;
    std::weak_ptr<NSTextField> lblPrivacy;
    bool isAboutShown = false;
    /// The address the home-page button opens instead of the maker's home page.
    std::optional<std::string> customHomepageURL;

    /// Opens the custom address when it is set (nothing when it is no valid address), otherwise
    /// the maker's home page.
    void homepageClicked(NSControl& sender);
};

class About {
public:
    About() = delete;

    /// The maker's home page.
    static const std::string homepageAddress;

    /// Shows the About dialog for an application whose information dictionary has the texts
    /// "CFBundleName", "CFBundleShortVersionString" and "NSHumanReadableCopyright"; without the
    /// dictionary or any of them nothing is shown.
    static void show(const std::optional<PropertyListValue::Dictionary>& infoDictionary, const std::string& privacyText,
                     const std::optional<std::string>& customHomepageURL = std::nullopt);
};

}  // namespace ZododuvoZoz
