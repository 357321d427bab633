#include "DesktopFixture.hpp"

#include "AppKit/NSAppearance.hpp"
#include "AppKit/NSOpenPanel.hpp"
#include "AppKit/NSStatusBar.hpp"
#include "AppKit/NSWorkspace.hpp"
#include "Foundation/FileManager.hpp"
#include "Foundation/PathUtilities.hpp"
#include "Foundation/ProcessInfo.hpp"
#include "Foundation/SystemLog.hpp"
#include "Foundation/SystemRoot.hpp"
#include "Foundation/URLBookmarks.hpp"
#include "RarAvi/MenuBar.hpp"

namespace DesktopTesting {

void DesktopTest::SetUp() {
    VirtualTimeTest::SetUp();
    SystemRoot::setPath(std::filesystem::path(QUILLON_FIXTURES_DIR) / "desktop");
    UserAccount::setHomeDirectory("/Users/anna");
    UserAccount::setUserName("anna");
}

void DesktopTest::TearDown() {
    SystemRoot::setPath(std::nullopt);
    UserAccount::setHomeDirectory(std::nullopt);
    UserAccount::setUserName(std::nullopt);
    FileManager::setProtectedPaths({});
    SecurityScopedAccess::setRefusal(nullptr);
    SecurityScopedAccess::reset();
    SystemLog::setSink(nullptr);
    NSOpenPanel::setResponder(nullptr);
    NSWorkspace::shared().setURLOpener(nullptr);
    NSWorkspace::shared().setFileViewer(nullptr);
    NSWorkspace::shared().setRunningApplications(std::nullopt);
    NSStatusBar::system().setAppearance(nullptr);
    NSStatusBar::system().setThickness(22);
    NSMenu::setMenuBarVisible(true);
    RarAvi::MenuBar::setCurrentItem(nullptr);
    RarAvi::MenuBar::setSmallInset(2.0);
    RarAvi::MenuBar::setLargeInset(3.0);
    VirtualTimeTest::TearDown();
    root_.reset();
}

void DesktopTest::useWritableCopy() {
    root_ = std::make_unique<TemporaryDirectory>();
    std::filesystem::copy(std::filesystem::path(QUILLON_FIXTURES_DIR) / "desktop", root_->path(),
                          std::filesystem::copy_options::recursive);
    SystemRoot::setPath(root_->path());
}

std::filesystem::path DesktopTest::host(const std::string& systemPath) const { return SystemRoot::resolve(systemPath); }

}  // namespace DesktopTesting
