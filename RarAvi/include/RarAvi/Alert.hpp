#pragma once
// Ready-made alerts: a notice with "OK", and yes/no questions as a dialog or a sheet.
#include <functional>
#include <memory>
#include <string>

#include "AppKit/NSWindow.hpp"

namespace RarAvi {

class Alert {
public:
    Alert() = delete;

    /// A warning with one "OK" button; returns when it is dismissed.
    static void info(const std::string& title, const std::string& message);
    /// A warning with the buttons "NO" and "YES" (localised); true when the answer is "YES".
    static bool question(const std::string& title, const std::string& message);
    /// The same question, informational, as a sheet on the window; the completion is called once
    /// with the answer.
    static void questionSheet(const std::shared_ptr<NSWindow>& window, const std::string& title,
                              const std::string& message, std::function<void(bool)> completion);
};

}  // namespace RarAvi
