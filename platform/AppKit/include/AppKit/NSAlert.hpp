#pragma once
// Alerts: a message, an informative text, a style and buttons, run as a modal dialog or as a
// sheet on a window. Who answers is a setting: tests and demos install a responder that picks the
// response; without one every alert is answered with its first button.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "AppKit/NSWindow.hpp"

using NSModalResponse = long;
inline constexpr NSModalResponse NSAlertFirstButtonReturn = 1000;
inline constexpr NSModalResponse NSAlertSecondButtonReturn = 1001;
inline constexpr NSModalResponse NSAlertThirdButtonReturn = 1002;

enum class NSAlertStyle { warning = 0, informational = 1, critical = 2 };

class NSAlert : public std::enable_shared_from_this<NSAlert> {
public:
    using Responder = std::function<NSModalResponse(const NSAlert&)>;

    static std::shared_ptr<NSAlert> make() { return std::make_shared<NSAlert>(); }
    /// Installs who answers alerts; nullptr answers with the first button.
    static void setResponder(Responder responder);

    const std::string& messageText() const { return messageText_; }
    void setMessageText(std::string text) { messageText_ = std::move(text); }
    const std::string& informativeText() const { return informativeText_; }
    void setInformativeText(std::string text) { informativeText_ = std::move(text); }
    NSAlertStyle alertStyle() const { return alertStyle_; }
    void setAlertStyle(NSAlertStyle style) { alertStyle_ = style; }
    /// Buttons answer 1000, 1001, 1002... in the order they were added.
    void addButton(std::string title) { buttonTitles_.push_back(std::move(title)); }
    /// The titles of the buttons; an alert run without any shows one "OK" button.
    const std::vector<std::string>& buttonTitles() const { return buttonTitles_; }
    /// The window the alert is shown on as a sheet; nullptr for a modal alert.
    std::shared_ptr<NSWindow> sheetWindow() const { return sheetWindow_.lock(); }

    /// Shows the alert and returns the response once it is answered.
    NSModalResponse runModal();
    /// Shows the alert on the window; the handler gets the response later, on the main queue.
    void beginSheetModal(const std::shared_ptr<NSWindow>& window, std::function<void(NSModalResponse)> handler);

private:
    NSModalResponse answer();

    std::string messageText_;
    std::string informativeText_;
    NSAlertStyle alertStyle_ = NSAlertStyle::warning;
    std::vector<std::string> buttonTitles_;
    std::weak_ptr<NSWindow> sheetWindow_;
};
