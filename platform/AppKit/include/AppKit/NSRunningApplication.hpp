#pragma once
// An application that runs on the machine, as the workspace lists them.
#include <memory>
#include <optional>
#include <string>

class NSRunningApplication {
public:
    NSRunningApplication(std::optional<std::string> bundleIdentifier, std::string localizedName, int processIdentifier)
        : bundleIdentifier_(std::move(bundleIdentifier)), localizedName_(std::move(localizedName)), processIdentifier_(processIdentifier) {}

    /// This process, named after the main bundle.
    static std::shared_ptr<NSRunningApplication> current();

    const std::optional<std::string>& bundleIdentifier() const { return bundleIdentifier_; }
    const std::string& localizedName() const { return localizedName_; }
    int processIdentifier() const { return processIdentifier_; }

private:
    std::optional<std::string> bundleIdentifier_;
    std::string localizedName_;
    int processIdentifier_;
};
