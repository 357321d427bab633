#pragma once
// The application object: its appearance and the windows it has. The system's own appearance
// (the user's choice of light or dark) is a setting, Aqua unless set.
#include <memory>
#include <vector>

#include "AppKit/NSAppearance.hpp"
#include "AppKit/NSResponder.hpp"

class NSWindow;

class NSApplication : public NSResponder {
public:
    static NSApplication& shared();

    /// The application's own appearance; nullptr follows the system's.
    std::shared_ptr<NSAppearance> appearance() const { return appearance_; }
    void setAppearance(const std::shared_ptr<NSAppearance>& appearance);
    std::shared_ptr<NSAppearance> effectiveAppearance() const;
    /// The system's appearance; nullptr restores Aqua. Windows and views hear of the change.
    std::shared_ptr<NSAppearance> systemAppearance() const;
    void setSystemAppearance(const std::shared_ptr<NSAppearance>& appearance);

    /// The windows made so far that still exist, oldest first.
    std::vector<std::shared_ptr<NSWindow>> windows() const;

private:
    friend class NSWindow;
    NSApplication() = default;
    void addWindow(const std::shared_ptr<NSWindow>& window);
    void effectiveAppearanceMayHaveChanged();

    std::shared_ptr<NSAppearance> appearance_;
    std::shared_ptr<NSAppearance> systemAppearance_;
    mutable std::vector<std::weak_ptr<NSWindow>> windows_;
};
