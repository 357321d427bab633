#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <thread>
#include <type_traits>

#include "AppKit/NSOpenPanel.hpp"
#include "DesktopFixture.hpp"
#include "Foundation/Locale.hpp"
#include "Foundation/SystemLog.hpp"
#include "Foundation/URLBookmarks.hpp"
#include "Foundation/backends/DBusConnection.hpp"
#include "RarAvi/FolderPermissions.hpp"
#include "Testing/PrivateBus.hpp"

extern char** environ;

using namespace RarAvi;
using DesktopTesting::DesktopTest;

namespace FolderAccessTesting {

const URL projects = URL::fileURLWithPath("/Users/anna/Projects", true);
const URL documents = URL::fileURLWithPath("/Users/anna/Documents", true);

class FolderAccess : public DesktopTest {
protected:
    /// The keeper's store as a later launch reads it from disk, once the earlier ones wrote it.
    std::shared_ptr<UserDefaults> store() {
        for (const auto& earlier : stores_) {
            if (auto open = earlier.lock()) open->synchronize();
        }
        auto store = std::make_shared<UserDefaults>("com.example.keeper", defaultsDirectory_->path());
        stores_.push_back(store);
        return store;
    }
    std::shared_ptr<FolderPermissions> keeper() { return FolderPermissions::make(store()); }

    /// Answers every panel with the response and URLs, keeping the panel shown.
    void answerPanels(NSModalResponse response, std::vector<URL> urls) {
        NSOpenPanel::setResponder([this, response, urls](const NSOpenPanel& panel) {
            shown = std::make_shared<NSOpenPanel>(panel);
            return NSOpenPanel::Answer{response, urls};
        });
    }

    std::shared_ptr<NSOpenPanel> shown;

private:
    std::vector<std::weak_ptr<UserDefaults>> stores_;
};

/// The desktop portal's file chooser on a private session bus: it records each question and
/// answers when the test says so, at the request path the portal gives the question.
class FileChooserStandIn {
public:
    static constexpr const char* name = "org.freedesktop.portal.Desktop";
    static constexpr const char* path = "/org/freedesktop/portal/desktop";

    explicit FileChooserStandIn(PrivateSessionBus& bus) : bus_(bus) {
        std::string sender = DBusConnection::session()->getUniqueName().substr(1);
        std::replace(sender.begin(), sender.end(), '.', '_');
        requests_ = std::string(path) + "/request/" + sender + "/";
        bus.startObjectMock(name, path, "org.freedesktop.portal.FileChooser");
        bus.addMethod(name, path, "org.freedesktop.portal.FileChooser", "OpenFile", "ssa{sv}", "o",
                      "ret = dbus.ObjectPath('" + requests_ + "' + args[2]['handle_token'])");
    }

    /// The dialog's title in each question so far.
    std::vector<std::string> titles() {
        std::vector<std::string> titles;
        for (auto& call : bus_.calls(name, path, "OpenFile")) titles.push_back(call[1].get<std::string>());
        return titles;
    }
    /// The options of each question so far.
    std::vector<std::map<std::string, sdbus::Variant>> questions() {
        std::vector<std::map<std::string, sdbus::Variant>> options;
        for (auto& call : bus_.calls(name, path, "OpenFile")) options.push_back(call[2].get<std::map<std::string, sdbus::Variant>>());
        return options;
    }

    /// Answers the latest question with the response code and the chosen URIs.
    void answer(std::uint32_t code, std::vector<std::string> uris) {
        bus_.proxy(name, path)
            ->callMethod("EmitSignalDetailed")
            .onInterface("org.freedesktop.DBus.Mock")
            .withArguments("org.freedesktop.portal.Request", "Response", "ua{sv}",
                           std::vector<sdbus::Variant>{sdbus::Variant(code), sdbus::Variant(results(uris))},
                           std::map<std::string, sdbus::Variant>{{"path", sdbus::Variant(sdbus::ObjectPath(latestRequest()))}});
    }
    /// Another client of the bus answers the latest question in the portal's place, sending its
    /// answer to the process alone.
    void answerAsAStranger(std::uint32_t code, std::vector<std::string> uris) {
        auto stranger = sdbus::createObject(bus_.connection(), latestRequest());
        auto signal = stranger->createSignal("org.freedesktop.portal.Request", "Response");
        signal.setDestination(DBusConnection::session()->getUniqueName());
        signal << code << results(uris);
        stranger->emitSignal(signal);
    }

private:
    static std::map<std::string, sdbus::Variant> results(const std::vector<std::string>& uris) {
        return {{"uris", sdbus::Variant(uris)}};
    }
    std::string latestRequest() { return requests_ + questions().back().at("handle_token").get<std::string>(); }

    PrivateSessionBus& bus_;
    std::string requests_;
};

bool waitFor(const std::function<bool()>& condition) { return RunLoop::main().runUntil(condition, 30); }

}  // namespace FolderAccessTesting

using namespace FolderAccessTesting;

// Only the factory makes keepers: the panel's answer needs the keeper to be shared.
static_assert(!std::is_constructible_v<FolderPermissions, std::shared_ptr<UserDefaults>>);

TEST_F(FolderAccess, BookmarksAreKeptAcrossLaunches) {
    const URL projectsWithoutSlash = URL::fileURLWithPath("/Users/anna/Projects");
    auto first = keeper();
    EXPECT_EQ(first->count(), 0);
    EXPECT_TRUE(first->keys().empty());
    EXPECT_TRUE(first->containsAll({}));
    EXPECT_FALSE(first->containsAll({projects}));

    ASSERT_TRUE(first->store(projectsWithoutSlash));
    ASSERT_TRUE(first->store(documents));
    EXPECT_EQ(first->count(), 2);
    EXPECT_TRUE(first->containsAll({documents, projects}));
    EXPECT_EQ(SecurityScopedAccess::accessCount("/Users/anna/Projects"), 1);

    // The store holds the list of paths and one bookmark per path, nothing else.
    auto written = store()->dictionaryRepresentation();
    EXPECT_EQ(written.size(), 3u);
    EXPECT_EQ(store()->stringArrayForKey("Bookmarks"),
              (std::vector<std::string>{"/Users/anna/Projects", "/Users/anna/Documents"}));
    EXPECT_TRUE(store()->dataForKey("/Users/anna/Projects"));

    // The next launch resolves both and starts access again; a folder is the same with or
    // without its trailing slash.
    auto later = keeper();
    EXPECT_EQ(later->keys(), first->keys());
    EXPECT_EQ(later->count(), 2);
    EXPECT_TRUE(later->contains(projectsWithoutSlash));
    EXPECT_TRUE(later->contains(projects));
    EXPECT_TRUE(later->contains(documents));
    EXPECT_EQ(SecurityScopedAccess::accessCount("/Users/anna/Projects"), 2);
}

TEST_F(FolderAccess, ForgettingFolders) {
    auto permissions = keeper();
    permissions->store(projects);
    permissions->store(projects);
    permissions->store(documents);
    EXPECT_EQ(permissions->keys(),
              (std::vector<std::string>{"/Users/anna/Projects", "/Users/anna/Projects", "/Users/anna/Documents"}));
    EXPECT_EQ(permissions->count(), 2);

    permissions->remove(std::string("/Users/anna/Projects"));
    EXPECT_EQ(permissions->keys(), (std::vector<std::string>{"/Users/anna/Documents"}));
    EXPECT_FALSE(permissions->contains(projects));
    EXPECT_FALSE(store()->dataForKey("/Users/anna/Projects"));
    // Access keeps running.
    EXPECT_EQ(SecurityScopedAccess::accessCount("/Users/anna/Projects"), 2);

    permissions->remove(documents);
    EXPECT_EQ(permissions->count(), 0);
    EXPECT_FALSE(store()->dataForKey("/Users/anna/Documents"));
    EXPECT_EQ(store()->stringArrayForKey("Bookmarks"), std::vector<std::string>{});

    permissions->store(projects);
    permissions->store(documents);
    permissions->removeAll();
    EXPECT_EQ(keeper()->count(), 0);
    EXPECT_EQ(store()->dictionaryRepresentation().size(), 1u);
}

TEST_F(FolderAccess, StaleGoneAndRefusedFolders) {
    useWritableCopy();
    std::vector<std::string> logged;
    SystemLog::setSink([&](const std::string& message) { logged.push_back(message); });
    auto permissions = keeper();
    ASSERT_TRUE(permissions->store(projects));
    ASSERT_TRUE(permissions->store(documents));

    // Another folder now stands at the path: the bookmark is stale, skipped but kept.
    std::filesystem::create_directory(host("/Users/anna/Projects.new"));
    std::filesystem::rename(host("/Users/anna/Projects"), host("/Users/anna/Projects.old"));
    std::filesystem::rename(host("/Users/anna/Projects.new"), host("/Users/anna/Projects"));
    auto later = keeper();
    EXPECT_EQ(later->keys(), (std::vector<std::string>{"/Users/anna/Documents"}));
    EXPECT_FALSE(later->contains(projects));
    EXPECT_TRUE(store()->dataForKey("/Users/anna/Projects"));
    EXPECT_TRUE(logged.empty());

    // A folder that is gone is logged and skipped.
    std::filesystem::remove_all(host("/Users/anna/Documents"));
    EXPECT_EQ(keeper()->count(), 0);
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_NE(logged[0].find("Documents"), std::string::npos);

    // Refused access writes nothing.
    SecurityScopedAccess::setRefusal([](const std::string& path) { return path == "/Users/anna/Downloads"; });
    auto refused = keeper();
    EXPECT_FALSE(refused->store(URL::fileURLWithPath("/Users/anna/Downloads", true)));
    EXPECT_FALSE(refused->store(URL::fileURLWithPath("/Users/anna/Nowhere", true)));
    EXPECT_FALSE(store()->dataForKey("/Users/anna/Downloads"));
    EXPECT_EQ(store()->stringArrayForKey("Bookmarks"),
              (std::vector<std::string>{"/Users/anna/Projects", "/Users/anna/Documents"}));
}

TEST_F(FolderAccess, AListThatIsNotAllTextsIsIgnored) {
    keeper()->store(projects);
    auto defaults = store();
    defaults->set(PropertyListValue(PropertyListValue::Array{PropertyListValue("/Users/anna/Projects"), PropertyListValue(3)}),
                  "Bookmarks");
    EXPECT_EQ(keeper()->count(), 0);
}

TEST_F(FolderAccess, ThePanelChoosesOneFolder) {
    auto permissions = keeper();
    std::vector<std::optional<URL>> answers;
    auto record = [&](std::optional<URL> url) { answers.push_back(url); };

    answerPanels(NSModalResponseOK, {projects, documents});
    auto window = NSWindow::make({0, 0, 400, 300}, NSWindow::StyleMask::titled());
    permissions->requestAccess(window, record);
    EXPECT_TRUE(answers.empty());
    runUntilIdle();
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->directoryURL(), URL::fileURLWithPath("/Users/anna", true));
    EXPECT_FALSE(shown->allowsMultipleSelection());
    EXPECT_TRUE(shown->canChooseDirectories());
    EXPECT_FALSE(shown->canChooseFiles());
    EXPECT_FALSE(shown->canCreateDirectories());
    EXPECT_EQ(shown->prompt(), "Allow");
    EXPECT_EQ(shown->sheetWindow(), window);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0], projects);
    EXPECT_EQ(permissions->keys(), (std::vector<std::string>{"/Users/anna/Projects"}));

    // Cancelled, answered without a folder, or a folder that cannot be kept: nothing.
    answerPanels(NSModalResponseCancel, {documents});
    permissions->requestAccess(window, documents, record);
    runUntilIdle();
    answerPanels(NSModalResponseOK, {});
    permissions->requestAccess(window, documents, record);
    runUntilIdle();
    answerPanels(NSModalResponseOK, {URL::fileURLWithPath("/Users/anna/Nowhere", true)});
    permissions->requestAccess(window, documents, record);
    runUntilIdle();
    EXPECT_EQ(shown->directoryURL(), documents);
    EXPECT_EQ(answers, (std::vector<std::optional<URL>>{projects, std::nullopt, std::nullopt, std::nullopt}));
    EXPECT_EQ(permissions->count(), 1);
}

TEST_F(FolderAccess, SecureFoldersKeepBookmarksUnderTheCallersKeys) {
    std::vector<bool> answers;
    answerPanels(NSModalResponseOK, {projects});
    SecureFolders::requestAccess(documents, "ProjectsFolder", "Choose", [&](bool kept) { answers.push_back(kept); });
    runUntilIdle();
    answerPanels(NSModalResponseCancel, {});
    SecureFolders::requestAccess(documents, "Other", "Choose", [&](bool kept) { answers.push_back(kept); });
    runUntilIdle();
    EXPECT_EQ(answers, (std::vector<bool>{true, false}));
    EXPECT_EQ(shown->prompt(), "Choose");
    EXPECT_FALSE(shown->sheetWindow());
    EXPECT_TRUE(SecureFolders::contains(projects));
    EXPECT_TRUE(SecureFolders::contains(URL::fileURLWithPath("/Users/anna/Projects")));
    EXPECT_TRUE(SecureFolders::containsAll({}));
    EXPECT_FALSE(SecureFolders::containsAll({projects, documents}));
    auto data = UserDefaults::standard().dataForKey("ProjectsFolder");
    ASSERT_TRUE(data);
    EXPECT_FALSE(UserDefaults::standard().object("Other"));

    // Stopping access takes the folder out; resolving the kept key starts it again.
    SecureFolders::remove(projects);
    EXPECT_FALSE(SecureFolders::contains(projects));
    EXPECT_EQ(SecurityScopedAccess::accessCount("/Users/anna/Projects"), 0);
    SecureFolders::resolve({"ProjectsFolder", "Missing"});
    EXPECT_TRUE(SecureFolders::contains(projects));

    UserDefaults::standard().set(PropertyListValue(5), "Unrelated");
    SecureFolders::remove(std::vector<std::string>{"ProjectsFolder", "Missing"});
    EXPECT_FALSE(UserDefaults::standard().object("ProjectsFolder"));
    EXPECT_TRUE(UserDefaults::standard().object("Unrelated"));
    EXPECT_TRUE(SecureFolders::contains(projects));
    SecureFolders::remove(projects);

    SecurityScopedAccess::setRefusal([](const std::string&) { return true; });
    EXPECT_FALSE(SecureFolders::store(documents, "Refused"));
    EXPECT_FALSE(UserDefaults::standard().object("Refused"));
    EXPECT_TRUE(SecureFolders::urls().empty());
}

TEST_F(FolderAccess, TheDesktopsFileChooserAnswersThePanel) {
    PrivateSessionBus bus;
    if (!bus.unavailable().empty()) GTEST_SKIP() << bus.unavailable();
    std::vector<std::string> logged;
    SystemLog::setSink([&](const std::string& message) { logged.push_back(message); });
    auto permissions = keeper();
    auto window = NSWindow::make({0, 0, 400, 300}, NSWindow::StyleMask::titled());
    std::vector<std::optional<URL>> answers;
    auto record = [&](std::optional<URL> url) { answers.push_back(url); };

    // No portal runs: the panel is cancelled and the log says why.
    permissions->requestAccess(window, record);
    ASSERT_TRUE(waitFor([&] { return answers.size() == 1; }));
    EXPECT_EQ(answers[0], std::nullopt);
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_NE(logged[0].find("portal"), std::string::npos);

    FileChooserStandIn chooser(bus);
    permissions->requestAccess(window, documents, record);
    ASSERT_TRUE(waitFor([&] { return chooser.questions().size() == 1; }));
    auto options = chooser.questions()[0];
    // Each option with the type the portal documents; the folder as a byte string ending in zero.
    const std::map<std::string, std::string> documented{{"handle_token", "s"}, {"modal", "b"},        {"multiple", "b"},
                                                        {"directory", "b"},    {"accept_label", "s"}, {"current_folder", "ay"}};
    for (const auto& [key, value] : options) EXPECT_EQ(value.peekValueType(), documented.at(key)) << key;
    EXPECT_EQ(chooser.titles()[0], "Choose a Folder");  // the panel gives none: the platform's own
    EXPECT_TRUE(options.at("directory").get<bool>());
    EXPECT_FALSE(options.at("multiple").get<bool>());
    EXPECT_EQ(options.at("accept_label").get<std::string>(), "Allow");
    const auto folder = host("/Users/anna/Documents").string();
    auto expectedFolder = std::vector<std::uint8_t>(folder.begin(), folder.end());
    expectedFolder.push_back(0);
    EXPECT_EQ(options.at("current_folder").get<std::vector<std::uint8_t>>(), expectedFolder);
    chooser.answerAsAStranger(0, {"file:///Users/anna/Documents"});  // unheard: the portal answers
    chooser.answer(0, {"file:///Users/anna/Projects"});
    ASSERT_TRUE(waitFor([&] { return answers.size() == 2; }));
    ASSERT_TRUE(answers[1]);
    EXPECT_EQ(answers[1]->path(), "/Users/anna/Projects");
    EXPECT_TRUE(permissions->contains(projects));

    // Cancelled in the dialog: nothing, and nothing to log. The title is in the user's language.
    Locale::setPreferredLanguages(std::vector<std::string>{"de-AT", "en"});
    permissions->requestAccess(window, record);
    ASSERT_TRUE(waitFor([&] { return chooser.questions().size() == 2; }));
    EXPECT_EQ(chooser.titles()[1], "Ordner auswählen");
    chooser.answer(1, {});
    ASSERT_TRUE(waitFor([&] { return answers.size() == 3; }));
    EXPECT_EQ(answers[2], std::nullopt);
    // Closed with Escape, which the portal tells apart from the cancel button: the same.
    permissions->requestAccess(window, record);
    ASSERT_TRUE(waitFor([&] { return chooser.questions().size() == 3; }));
    chooser.answer(2, {});
    ASSERT_TRUE(waitFor([&] { return answers.size() == 4; }));
    EXPECT_EQ(answers[3], std::nullopt);
    EXPECT_EQ(logged.size(), 1u);
}

// A program of the libraries that ends as soon as the chooser's answer is in, while the bus's
// thread may still be letting go of what the answer held, ends cleanly. The test runs itself as that
// program, twenty times.
TEST_F(FolderAccess, AProgramEndingRightAfterTheChoosersAnswerEndsCleanly) {
    constexpr const char* hostVariable = "QUILLON_CHOOSER_HOST";
    if (std::getenv(hostVariable)) {
        NSOpenPanel::openPanel()->beginSheetModal(NSWindow::make({0, 0, 400, 300}, NSWindow::StyleMask::titled()),
                                                  [](NSModalResponse) { std::exit(0); });
        waitFor([] { return false; });
        std::exit(3);
    }
    PrivateSessionBus bus;
    if (!bus.unavailable().empty()) GTEST_SKIP() << bus.unavailable();
    FileChooserStandIn chooser(bus);
    std::vector<std::string> environment{std::string(hostVariable) + "=1"};
    for (char** variable = environ; *variable; ++variable) environment.emplace_back(*variable);
    std::vector<char*> envp;
    for (auto& variable : environment) envp.push_back(variable.data());
    envp.push_back(nullptr);
    std::string program = std::filesystem::read_symlink("/proc/self/exe").string();
    std::string filter = "--gtest_filter=FolderAccess.AProgramEndingRightAfterTheChoosersAnswerEndsCleanly";
    char* argv[] = {program.data(), filter.data(), nullptr};
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> unclean;
    for (std::size_t run = 1; run <= 20; ++run) {
        pid_t host = 0;
        ASSERT_EQ(::posix_spawn(&host, program.c_str(), &quiet, nullptr, argv, envp.data()), 0);
        // Answered until it ends: the answer may come before the program listens for it.
        int status = 0;
        bool ended = false;
        for (int wait = 0; wait < 3000 && !(ended = ::waitpid(host, &status, WNOHANG) == host); ++wait) {
            if (chooser.questions().size() == run) chooser.answer(0, {"file:///Users/anna/Projects", "file:///Users/anna/Documents"});
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (!ended) {
            ::kill(host, SIGKILL);
            ::waitpid(host, &status, 0);
        }
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            unclean.push_back(WIFSIGNALED(status) ? "signal " + std::to_string(WTERMSIG(status)) : "status " + std::to_string(WEXITSTATUS(status)));
    }
    posix_spawn_file_actions_destroy(&quiet);
    EXPECT_EQ(chooser.questions().size(), 20u);  // each asked the chooser
    EXPECT_TRUE(unclean.empty()) << unclean.size() << " of 20 ended otherwise, the last with " << unclean.back();
}
