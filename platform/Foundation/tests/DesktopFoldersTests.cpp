#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "Foundation/FileManager.hpp"
#include "Foundation/MetadataItem.hpp"
#include "Foundation/backends/DesktopEntry.hpp"
#include "Foundation/backends/XDGDirectories.hpp"
#include "Testing/TemporaryDesktop.hpp"

namespace fs = std::filesystem;

namespace DesktopFoldersTesting {

class DesktopFolders : public VirtualTimeTest {
protected:
    TemporaryDesktop desktop;
};

std::vector<std::string> ids(const std::vector<DesktopEntry>& entries) {
    std::vector<std::string> result;
    for (const auto& entry : entries) result.push_back(entry.id);
    return result;
}

bool contains(const std::vector<std::string>& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

// The test's entries that the desktop lists, on the error output (for a test in a process of its own).
void printExampleIds() {
    for (const auto& id : ids(DesktopEntry::installed())) {
        if (id.starts_with("org.example.")) std::cerr << id << " ";
    }
}

}  // namespace DesktopFoldersTesting

using namespace DesktopFoldersTesting;

TEST_F(DesktopFolders, BaseAndUserDirectoriesFollowTheEnvironment) {
    const std::string home = desktop.home().string();
    desktop.setVariable("XDG_DATA_HOME", std::nullopt);
    desktop.setVariable("XDG_CACHE_HOME", "relative/cache");
    EXPECT_EQ(XDGDirectories::dataHome(), home + "/.local/share");
    EXPECT_EQ(XDGDirectories::cacheHome(), home + "/.cache");
    EXPECT_EQ(XDGDirectories::configHome(), desktop.configHome().string());
    desktop.setVariable("XDG_DATA_DIRS", "/opt/share/:relative:/usr/share");
    EXPECT_EQ(XDGDirectories::dataDirs(), (std::vector<std::string>{"/opt/share", "/usr/share"}));
    desktop.setVariable("XDG_DATA_DIRS", "");
    EXPECT_EQ(XDGDirectories::dataDirs(), (std::vector<std::string>{"/usr/local/share", "/usr/share"}));

    // user-dirs.dirs names folders below the home or anywhere; unnamed ones take their defaults.
    EXPECT_EQ(XDGDirectories::userDirectory(XDGDirectories::UserDirectory::documents), home + "/Documents");
    desktop.write("home/.config/user-dirs.dirs",
                  "# written by xdg-user-dirs-update\n"
                  "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n"
                  "XDG_DOWNLOAD_DIR=\"/data/Down \\\"loads\\\"\"\n"
                  "XDG_MUSIC_DIR=\"Musik\"\n");
    EXPECT_EQ(XDGDirectories::userDirectory(XDGDirectories::UserDirectory::documents), home + "/Dokumente");
    EXPECT_EQ(XDGDirectories::userDirectory(XDGDirectories::UserDirectory::download), "/data/Down \"loads\"");
    EXPECT_EQ(XDGDirectories::userDirectory(XDGDirectories::UserDirectory::music), home + "/Music");
    EXPECT_EQ(XDGDirectories::userDirectory(XDGDirectories::UserDirectory::pictures), home + "/Pictures");
}

TEST_F(DesktopFolders, LastUsedDatesComeFromTheRecentlyUsedList) {
    const auto used = desktop.write("home/report.txt", "r");
    const auto unused = desktop.write("home/other.txt", "o");
    const auto entry = desktop.write("share/applications/org.example.Notes.desktop",
                                     "[Desktop Entry]\nType=Application\nName=Notes\nExec=notes-pad %U\n");
    const auto silent = desktop.write("share/applications/org.example.Silent.desktop",
                                      "[Desktop Entry]\nType=Application\nName=Silent\nExec=silent\n");
    auto lastUsed = [](const fs::path& path) -> std::optional<Date> {
        auto value = MDItemCopyAttribute(MDItemCreate(path.string()), kMDItemLastUsedDate);
        return value ? value->dateValue() : std::nullopt;
    };
    EXPECT_FALSE(lastUsed(used));
    // A list that is no regular file is not waited on.
    const auto list = desktop.dataHome() / "recently-used.xbel";
    fs::create_directories(list.parent_path());
    ASSERT_EQ(::mkfifo(list.c_str(), 0600), 0);
    EXPECT_FALSE(lastUsed(used));
    fs::remove(list);

    desktop.write("home/.local/share/recently-used.xbel", R"(<?xml version="1.0" encoding="UTF-8"?>
<xbel version="1.0" xmlns:bookmark="http://www.freedesktop.org/standards/desktop-bookmarks"
      xmlns:mime="http://www.freedesktop.org/standards/shared-mime-info">
  <bookmark href="file://)" + used.string() + R"(" added="2023-11-01T10:00:00Z" modified="2023-11-02T10:00:00Z" visited="2023-11-03T10:00:00Z">
    <info><metadata owner="http://freedesktop.org">
      <mime:mime-type type="text/plain"/>
      <bookmark:applications>
        <bookmark:application name="notes" exec="&apos;/usr/local/bin/notes-pad %u&apos;" modified="2023-11-02T10:00:00Z" count="2"/>
        <bookmark:application name="Viewer" exec="&apos;viewer %u&apos;" modified="2023-11-05T10:00:00Z" count="1"/>
      </bookmark:applications>
    </metadata></info>
  </bookmark>
</xbel>
)");
    EXPECT_EQ(lastUsed(used), Date(1698919200 + 86400));
    EXPECT_FALSE(lastUsed(unused));
    // An application was last used when it last used a file, matched by its program.
    EXPECT_EQ(lastUsed(entry), Date(1698919200));
    EXPECT_FALSE(lastUsed(silent));
}

TEST_F(DesktopFolders, DesktopEntriesAsMenusListThem) {
    desktop.setVariable("LANGUAGE", "de");
    const auto bin = desktop.write("bin/notes-pad", "#!/bin/sh\n");
    fs::permissions(bin, fs::perms::owner_all);
    desktop.setVariable("PATH", desktop.root().string() + "/bin:/usr/bin:/bin");
    desktop.write("share/applications/org.example.Notes.desktop",
                  "[Desktop Entry]\nType=Application\nName=Notes\nName[de]=Notizen\nExec=\"notes-pad\" --new %U\nIcon=notes\n");
    desktop.write("share/metainfo/org.example.Notes.metainfo.xml",
                  "<component><id>org.example.Notes</id><releases><release version=\"2.1\" date=\"2024-02-01\"/>"
                  "<release version=\"2.0\"/></releases></component>");
    // The data home's entry of an id stands in for the shared one.
    desktop.write("share/applications/org.example.Paint.desktop", "[Desktop Entry]\nType=Application\nName=Paint\nExec=paint\n");
    desktop.write("home/.local/share/applications/org.example.Paint.desktop",
                  "[Desktop Entry]\nType=Application\nName=My Paint\nTryExec=" + bin.string() + "\nExec=paint\n");
    desktop.write("share/applications/org.example.Uninstalled.desktop",
                  "[Desktop Entry]\nType=Application\nName=Uninstalled\nTryExec=/opt/none/bin/none\nExec=none\n");
    desktop.write("home/.local/share/applications/org.example.Gone.desktop", "[Desktop Entry]\nType=Application\nName=Gone\nHidden=true\n");
    desktop.write("share/applications/org.example.Gone.desktop", "[Desktop Entry]\nType=Application\nName=Gone\nExec=gone\n");
    desktop.write("share/applications/org.example.Helper.desktop",
                  "[Desktop Entry]\nType=Application\nName=Helper\nExec=helper\nNoDisplay=true\n");
    desktop.write("share/applications/kde/org.example.Kit.desktop", "[Desktop Entry]\nType=Application\nName=Kit\nExec=kit\n");
    desktop.write("share/applications/org.example.Site.desktop", "[Desktop Entry]\nType=Link\nName=Site\nURL=https://example.org\n");
    desktop.write("share/applications/org.example.Broken.desktop", "Name=Broken\n");
    // What is no regular file is not read: a FIFO would block, a device would never end.
    ASSERT_EQ(::mkfifo((desktop.share() / "applications/org.example.Fifo.desktop").c_str(), 0600), 0);
    fs::create_directories(desktop.share() / "metainfo");
    fs::create_symlink("/dev/zero", desktop.share() / "metainfo/org.example.Paint.metainfo.xml");
    fs::create_directory_symlink(desktop.share() / "applications", desktop.share() / "applications/kde/loop");

    const auto installed = DesktopEntry::installed();
    const auto found = ids(installed);
    for (const char* id : {"org.example.Notes", "org.example.Paint", "kde-org.example.Kit"}) EXPECT_TRUE(contains(found, id)) << id;
    for (const char* id : {"org.example.Gone", "org.example.Helper", "org.example.Uninstalled", "org.example.Site", "org.example.Broken",
                           "kde-loop-org.example.Notes", "org.example.Fifo"}) {
        EXPECT_FALSE(contains(found, id)) << id;
    }

    auto notes = DesktopEntry::withId("org.example.Notes");
    ASSERT_TRUE(notes);
    EXPECT_EQ(notes->name, "Notizen");
    EXPECT_EQ(notes->executable, bin.string());
    EXPECT_EQ(notes->icon, "notes");
    EXPECT_EQ(notes->version, "2.1");
    auto paint = DesktopEntry::withId("org.example.Paint");
    EXPECT_EQ(paint->name, "My Paint");
    EXPECT_EQ(paint->executable, bin.string());
    EXPECT_FALSE(paint->version);
    EXPECT_TRUE(DesktopEntry::withId("org.example.Gone")->hidden);
    EXPECT_EQ(DesktopEntry::atPath((desktop.share() / "applications/kde/org.example.Kit.desktop").string())->id, "kde-org.example.Kit");
}

// GLib reads the desktop in use once per process: each listing runs in a process of its own.
TEST_F(DesktopFolders, DesktopEntriesShowOnlyWhereTheDesktopInUseListsThem) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    desktop.write("share/applications/org.example.Panel.desktop",
                  "[Desktop Entry]\nType=Application\nName=Panel\nExec=panel\nOnlyShowIn=XFCE;\n");
    desktop.write("share/applications/org.example.Tweaks.desktop",
                  "[Desktop Entry]\nType=Application\nName=Tweaks\nExec=tweaks\nNotShowIn=KDE;XFCE;\n");
    desktop.write("share/applications/org.example.Shell.desktop",
                  "[Desktop Entry]\nType=Application\nName=Shell\nExec=shell\nOnlyShowIn=GNOME;\n");
    EXPECT_EXIT(
        {
            desktop.setVariable("XDG_CURRENT_DESKTOP", "ubuntu:XFCE");
            printExampleIds();
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "^org.example.Panel $");
    // Elsewhere the desktop-specific entries stay off the menus, the others are listed.
    EXPECT_EXIT(
        {
            desktop.setVariable("XDG_CURRENT_DESKTOP", "GNOME");
            printExampleIds();
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "^org.example.Shell org.example.Tweaks $");
}
