#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "AppKitTestSupport.hpp"
#include "AppKit/NSWorkspace.hpp"
#include "Testing/PrivateBus.hpp"
#include "Testing/TemporaryDesktop.hpp"

extern char** environ;

namespace fs = std::filesystem;

namespace WorkspaceTesting {

// A desktop with a tiny icon theme of its own as the user's theme; hicolor (which it inherits)
// has the folder icon.
class Workspace : public AppKitTest {
protected:
    void SetUp() override {
        AppKitTest::SetUp();
        desktop.write("home/.config/gtk-3.0/settings.ini", "[Settings]\ngtk-icon-theme-name=Tiny\n");
        desktop.write("share/icons/Tiny/index.theme",
                      "[Icon Theme]\nName=Tiny\nInherits=hicolor\nDirectories=16x16/mimetypes,32x32/mimetypes,scalable/apps,huge\n\n"
                      "[16x16/mimetypes]\nSize=16\nType=Fixed\n\n[32x32/mimetypes]\nSize=32\nType=Fixed\n\n"
                      "[scalable/apps]\nSize=48\nMinSize=16\nMaxSize=512\nType=Scalable\n\n"
                      "[huge]\nSize=1\nThreshold=-2147483648\n");
        desktop.write("share/icons/hicolor/index.theme",
                      "[Icon Theme]\nName=Hicolor\nDirectories=48x48/places\n\n[48x48/places]\nSize=48\nType=Threshold\n");
        square("share/icons/Tiny/32x32/mimetypes/image-png.svg", "#ff0000");
        square("share/icons/Tiny/16x16/mimetypes/text-plain.svg", "#00ff00");
        // A folder of absurd sizes, which is never taken.
        square("share/icons/Tiny/huge/text-plain.svg", "#ff00ff");
        square("share/icons/Tiny/32x32/mimetypes/text-x-generic.svg", "#0000ff");
        square("share/icons/Tiny/scalable/apps/org.example.Notes.svg", "#ffff00");
        square("share/icons/hicolor/48x48/places/folder.svg", "#00ffff");
    }
    void TearDown() override {
        NSWorkspace::shared().setURLOpener(nullptr);
        AppKitTest::TearDown();
    }

    fs::path square(const std::string& relative, const std::string& colour) {
        return desktop.write(relative, R"(<svg xmlns="http://www.w3.org/2000/svg" width="8" height="8"><rect width="8" height="8" fill=")" +
                                           colour + R"("/></svg>)");
    }
    // The theme file as the workspace shows it.
    Data iconOf(const std::string& relative) const {
        auto image = NSImage::contentsOfFile((desktop.root() / relative).string())->copy();
        image->setSize({32, 32});
        return image->pngData();
    }

    TemporaryDesktop desktop;
    NSWorkspace& workspace = NSWorkspace::shared();
};

template <typename Condition>
bool eventually(Condition condition) {
    for (int attempt = 0; attempt < 1000 && !condition(); ++attempt) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return condition();
}

}  // namespace WorkspaceTesting

using namespace WorkspaceTesting;

TEST_F(Workspace, IconsComeFromTheUsersIconThemeByContentType) {
    const auto text = desktop.write("home/notes.txt", "some words\n");
    const auto source = desktop.write("home/tool.c", "int main(void) { return 0; }\n");
    // The specific icon where the theme has it, else the generic one of its kind, the size
    // closest to the one asked for.
    EXPECT_EQ(workspace.iconForContentType(*UTType::fromFilenameExtension("png"))->pngData(),
              iconOf("share/icons/Tiny/32x32/mimetypes/image-png.svg"));
    EXPECT_EQ(workspace.iconForFile(text.string())->pngData(), iconOf("share/icons/Tiny/16x16/mimetypes/text-plain.svg"));
    EXPECT_EQ(workspace.iconForFile(source.string())->pngData(), iconOf("share/icons/Tiny/32x32/mimetypes/text-x-generic.svg"));
    EXPECT_EQ(workspace.iconForFile(desktop.home().string())->pngData(), iconOf("share/icons/hicolor/48x48/places/folder.svg"));
    EXPECT_EQ(workspace.iconForFile(text.string())->size(), (CGSize{32, 32}));

    // An application's icon is the one its desktop entry names, in the theme or as a file.
    const auto notes = desktop.write("share/applications/org.example.Notes.desktop",
                                     "[Desktop Entry]\nType=Application\nName=Notes\nExec=notes\nIcon=org.example.Notes\n");
    const auto painter = desktop.write("share/applications/org.example.Paint.desktop",
                                       "[Desktop Entry]\nType=Application\nName=Paint\nExec=paint\nIcon=" +
                                           (desktop.root() / "share/icons/Tiny/32x32/mimetypes/image-png.svg").string() + "\n");
    EXPECT_EQ(workspace.iconForFile(notes.string())->pngData(), iconOf("share/icons/Tiny/scalable/apps/org.example.Notes.svg"));
    EXPECT_EQ(workspace.iconForFile(painter.string())->pngData(), iconOf("share/icons/Tiny/32x32/mimetypes/image-png.svg"));
}

// GNOME keeps the icon theme in its own settings, which the settings portal reads out.
TEST_F(Workspace, TheThemeTheSettingsPortalNamesComesBeforeTheSettingsFiles) {
    PrivateSessionBus bus;
    if (!bus.unavailable().empty()) GTEST_SKIP() << bus.unavailable();
    const std::string portal = "org.freedesktop.portal.Desktop", path = "/org/freedesktop/portal/desktop",
                      settings = "org.freedesktop.portal.Settings";
    bus.startObjectMock(portal, path, settings);
    bus.addMethod(portal, path, settings, "ReadOne", "ss", "v",
                  "if (args[0], args[1]) != ('org.gnome.desktop.interface', 'icon-theme'):\n"
                  "    raise dbus.exceptions.DBusException('no such key', name='org.freedesktop.portal.Error.NotFound')\n"
                  "ret = dbus.String('Portal')\n");
    desktop.write("share/icons/Portal/index.theme", "[Icon Theme]\nName=Portal\nDirectories=32x32\n\n[32x32]\nSize=32\n");
    square("share/icons/Portal/32x32/image-png.svg", "#808000");
    const auto png = *UTType::fromFilenameExtension("png");
    EXPECT_TRUE(eventually(
        [&] { return workspace.iconForContentType(png)->pngData() == iconOf("share/icons/Portal/32x32/image-png.svg"); }));
}

TEST_F(Workspace, RevealingAsksTheDesktopsFileManager) {
    PrivateSessionBus bus;
    if (!bus.unavailable().empty()) GTEST_SKIP() << bus.unavailable();
    const std::string name = "org.freedesktop.FileManager1", path = "/org/freedesktop/FileManager1";
    bus.startObjectMock(name, path, name);
    bus.addMethod(name, path, name, "ShowItems", "ass", "", "");
    const auto file = desktop.write("home/Projects/a b.txt", "a");
    std::vector<std::string> opened;
    workspace.setURLOpener([&](const URL& url) {
        opened.push_back(url.path());
        return true;
    });

    EXPECT_TRUE(workspace.selectFile(file.string(), file.parent_path().string()));
    ASSERT_TRUE(eventually([&] { return !bus.calls(name, path, "ShowItems").empty(); }));
    const auto call = bus.calls(name, path, "ShowItems").front();
    EXPECT_EQ(call.at(0).get<std::vector<std::string>>(), std::vector<std::string>{URL::fileURLWithPath(file.string()).absoluteString()});
    EXPECT_TRUE(opened.empty());

    // The bus is asked on another thread: a bus daemon that hangs holds up no caller, and the file
    // manager is asked once the daemon answers.
    bus.pause();
    EXPECT_TRUE(workspace.selectFile(file.string(), file.parent_path().string()));
    bus.resume();
    ASSERT_TRUE(eventually([&] { return bus.calls(name, path, "ShowItems").size() == 2; }));
    EXPECT_TRUE(opened.empty());

    // Without a file manager on the bus the folder opens instead.
    bus.stopMock(name);
    EXPECT_TRUE(workspace.selectFile(file.string(), file.parent_path().string()));
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return !opened.empty(); }, 15));
    EXPECT_EQ(opened, std::vector<std::string>{file.parent_path().string()});
}

TEST_F(Workspace, SettingsPagesOpenInTheDesktopsOwnSettings) {
    PrivateSessionBus bus;
    if (!bus.unavailable().empty()) GTEST_SKIP() << bus.unavailable();
    const std::string name = "org.gnome.Settings", path = "/org/gnome/Settings";
    bus.startObjectMock(name, path, "org.freedesktop.Application");
    bus.addMethod(name, path, "org.freedesktop.Application", "ActivateAction", "sava{sv}", "", "");
    const URL camera = *URL::string("x-apple.systempreferences:com.apple.preference.security?Privacy_Camera");
    const URL notifications = *URL::string("x-apple.systempreferences:com.apple.preference.notifications");

    desktop.setVariable("XDG_CURRENT_DESKTOP", "ubuntu:GNOME");
    EXPECT_TRUE(workspace.open(camera));
    ASSERT_TRUE(eventually([&] { return !bus.calls(name, path, "ActivateAction").empty(); }));
    const auto call = bus.calls(name, path, "ActivateAction").front();
    EXPECT_EQ(call.at(0).get<std::string>(), "launch-panel");
    const auto target = call.at(1).get<std::vector<sdbus::Variant>>().at(0).get<sdbus::Struct<std::string, std::vector<sdbus::Variant>>>();
    EXPECT_EQ(target.get<0>(), "camera");

    // KDE's System Settings starts at the module of the page.
    const auto log = desktop.root() / "systemsettings.log";
    const auto program = desktop.write("bin/systemsettings", "#!/bin/sh\necho \"$@\" > '" + log.string() + "'\n");
    fs::permissions(program, fs::perms::owner_all);
    FolderFirstOnPath first(program.parent_path());
    desktop.setVariable("XDG_CURRENT_DESKTOP", "KDE");
    EXPECT_TRUE(workspace.open(notifications));
    ASSERT_TRUE(eventually([&] { return fs::exists(log) && fs::file_size(log) > 0; }));
    std::string arguments;
    std::getline(std::ifstream(log), arguments);
    EXPECT_EQ(arguments, "kcm_notifications");

    // A desktop without a settings application answers no.
    desktop.setVariable("XDG_CURRENT_DESKTOP", "Openbox");
    EXPECT_FALSE(workspace.open(notifications));
}

// Addresses open in the desktop's opener, which runs on its own: it is never a child of ours to
// reap. Without a runnable opener the answer is no.
TEST_F(Workspace, AddressesOpenInAProgramThatIsNoChildOfOurs) {
    const auto pidFile = desktop.root() / "opener.pid";
    const auto opener = desktop.write("bin/xdg-open", "#!/bin/sh\necho $$ > '" + pidFile.string() + "'\nexec /bin/sleep 30\n");
    desktop.setVariable("PATH", opener.parent_path().string());
    const URL address = *URL::string("https://example.com/help");
    EXPECT_FALSE(workspace.open(address));

    fs::permissions(opener, fs::perms::owner_all);
    EXPECT_TRUE(workspace.open(address));
    pid_t started = 0;
    ASSERT_TRUE(eventually([&] { return static_cast<bool>(std::ifstream(pidFile) >> started); }));
    EXPECT_EQ(::waitpid(started, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
    ::kill(started, SIGTERM);
}

TEST_F(Workspace, RunningApplicationsAreProcessesOfInstalledEntries) {
    const fs::path program = desktop.root() / "bin/notes-pad";
    fs::create_directories(program.parent_path());
    fs::copy_file("/bin/sleep", program);
    desktop.write("share/applications/org.example.Notes.desktop",
                  "[Desktop Entry]\nType=Application\nName=Notes\nExec=" + program.string() + " %U\n");
    std::string seconds = "30";
    char* argv[] = {const_cast<char*>(program.c_str()), seconds.data(), nullptr};
    pid_t child = 0;
    ASSERT_EQ(posix_spawn(&child, program.c_str(), nullptr, nullptr, argv, environ), 0);

    auto running = workspace.runningApplications();
    ::kill(child, SIGTERM);
    ::waitpid(child, nullptr, 0);
    ASSERT_FALSE(running.empty());
    EXPECT_EQ(running.front()->processIdentifier(), NSRunningApplication::current()->processIdentifier());
    auto found = std::find_if(running.begin(), running.end(), [&](const auto& app) { return app->processIdentifier() == child; });
    ASSERT_NE(found, running.end());
    EXPECT_EQ((*found)->bundleIdentifier(), "org.example.Notes");
    EXPECT_EQ((*found)->localizedName(), "Notes");
}
