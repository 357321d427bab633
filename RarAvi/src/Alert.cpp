#include "RarAvi/Alert.hpp"

#include "AppKit/NSAlert.hpp"
#include "RarAvi/Resources.hpp"

namespace RarAvi {

void Alert::info(const std::string& title, const std::string& message) {
    auto alert = NSAlert::make();
    alert->setMessageText(title);
    alert->setInformativeText(message);
    alert->setAlertStyle(NSAlertStyle::warning);
    alert->addButton("OK");
    alert->runModal();
}

bool Alert::question(const std::string& title, const std::string& message) {
    auto alert = NSAlert::make();
    alert->setMessageText(title);
    alert->setInformativeText(message);
    alert->setAlertStyle(NSAlertStyle::warning);
    alert->addButton(Resources::localized("NO"));
    alert->addButton(Resources::localized("YES"));
    return alert->runModal() == NSAlertSecondButtonReturn;
}

void Alert::questionSheet(const std::shared_ptr<NSWindow>& window, const std::string& title, const std::string& message,
                          std::function<void(bool)> completion) {
    auto alert = NSAlert::make();
    alert->setMessageText(title);
    alert->setInformativeText(message);
    alert->setAlertStyle(NSAlertStyle::informational);
    alert->addButton(Resources::localized("NO"));
    alert->addButton(Resources::localized("YES"));
    alert->beginSheetModal(window, [completion = std::move(completion)](NSModalResponse response) {
        if (completion) completion(response == NSAlertSecondButtonReturn);
    });
}

}  // namespace RarAvi
