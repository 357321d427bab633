#include "ZododuvoZoz/About.hpp"

#include "AppKit/NSStoryboard.hpp"
#include "AppKit/NSWorkspace.hpp"
#include "DialogStoryboards.hpp"
#include "Foundation/URL.hpp"
#include "ZododuvoZoz/GradientDialog.hpp"
#include "ZododuvoZoz/Resources.hpp"

namespace ZododuvoZoz {

const std::string About::homepageAddress = "https://quillon.example.com";

void AboutViewController::homepageClicked(NSControl&) {
    const std::string& address = customHomepageURL ? *customHomepageURL : About::homepageAddress;
    if (auto url = URL::string(address)) NSWorkspace::shared().open(*url);
}

void About::show(const std::optional<PropertyListValue::Dictionary>& infoDictionary, const std::string& privacyText,
                 const std::optional<std::string>& customHomepageURL) {
    if (!infoDictionary || infoDictionary->empty()) return;
    auto text = [&](const char* key) -> std::optional<std::string> {
        auto it = infoDictionary->find(key);
        return it == infoDictionary->end() ? std::nullopt : it->second.stringValue();
    };
    auto name = text("CFBundleName");
    auto version = text("CFBundleShortVersionString");
    auto copyright = text("NSHumanReadableCopyright");
    if (!name || !version || !copyright) return;

    registerDialogStoryboards();
    auto storyboard = NSStoryboard::make("About", Resources::bundle());
    auto controller = storyboard ? std::dynamic_pointer_cast<AboutViewController>(storyboard->instantiateInitialController())
                                 : nullptr;
    if (!controller) return;
    controller->view()->layoutSubtreeIfNeeded();
    controller->customHomepageURL = customHomepageURL;
    if (auto label = controller->lblPrivacy.lock()) label->setStringValue(privacyText);
    if (auto label = controller->lblCopyright.lock()) label->setStringValue(*copyright);

    GradientDialog::shared()->show(Resources::localized("ABOUT"), *name, *version, controller, false, false);
}

}  // namespace ZododuvoZoz
