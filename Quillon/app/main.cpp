// The program: the platform's tools first on the search path, then the application's main loop.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "AppKit/NSApplication.hpp"
#include "Quillon/MainStoryboard.hpp"

namespace {

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
    putProgramFolderFirstOnPath();
    Quillon::MainStoryboard::registerScenes();
    return NSApplicationMain(argc, argv);
}
