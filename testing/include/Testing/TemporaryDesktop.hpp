#pragma once
// A desktop of the test's own: a temporary home folder that is the account's home while it lives,
// with the XDG base directories below it (data home "home/.local/share", configuration
// "home/.config", cache "home/.cache", state "home/.local/state") and the folder "share" first
// among the shared data folders, before the machine's /usr/share (whose MIME database the content
// types need). XDG_CURRENT_DESKTOP is unset. Every variable gets its old value back afterwards.
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "Testing/TestEnvironment.hpp"

class TemporaryDesktop {
public:
    TemporaryDesktop();
    ~TemporaryDesktop();
    TemporaryDesktop(const TemporaryDesktop&) = delete;
    TemporaryDesktop& operator=(const TemporaryDesktop&) = delete;

    const std::filesystem::path& root() const { return directory_.path(); }
    std::filesystem::path home() const { return root() / "home"; }
    std::filesystem::path dataHome() const { return home() / ".local/share"; }
    std::filesystem::path configHome() const { return home() / ".config"; }
    /// The test's own shared data folder.
    std::filesystem::path share() const { return root() / "share"; }
    /// Writes a file (and its folders) below the root; returns its full path.
    std::filesystem::path write(const std::filesystem::path& relative, const std::string& contents) const {
        return directory_.write(relative, contents);
    }
    /// Sets (or, with an absent value, unsets) an environment variable until the desktop goes.
    void setVariable(const std::string& name, const std::optional<std::string>& value);

private:
    TemporaryDirectory directory_;
    std::map<std::string, std::optional<std::string>> previous_;
};
