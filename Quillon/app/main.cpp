// The program: language settings it can read, the platform's tools first on the search path, then
// the application's main loop.
#include <unicode/ustring.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "AppKit/NSApplication.hpp"
#include "Quillon/MainStoryboard.hpp"

namespace {

bool isUTF8(const char* text) {
    UErrorCode status = U_ZERO_ERROR;
    std::int32_t length = 0;
    // Measuring alone: a text that converts fails only for want of room, one that does not with an
    // invalid character.
    u_strFromUTF8(nullptr, 0, &length, text, static_cast<std::int32_t>(std::strlen(text)), &status);
    return status != U_INVALID_CHAR_FOUND;
}

// A language setting that is not UTF-8 names no language the program could show, and the picture
// library stops the process on it: such settings are dropped before anything reads them.
void dropLanguageSettingsThatAreNotUTF8() {
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        if (const char* value = std::getenv(name); value && !isUTF8(value)) unsetenv(name);
    }
}

// The platform's stand-ins for system tools (system_profiler) sit beside the program, where the
// shell that runs them must find them first.
void putProgramFolderFirstOnPath() {
    std::error_code error;
    auto program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return;
    std::string path = program.parent_path().string();
    if (const char* current = std::getenv("PATH"); current && *current) path += ":" + std::string(current);
    setenv("PATH", path.c_str(), 1);
}

}  // namespace

int main(int argc, char** argv) {
    dropLanguageSettingsThatAreNotUTF8();
    putProgramFolderFirstOnPath();
    Quillon::MainStoryboard::registerScenes();
    return NSApplicationMain(argc, argv);
}
