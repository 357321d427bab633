#include "backends/ProcessTable.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <sstream>

#include "Foundation/backends/RegularFile.hpp"

namespace ProcessTable {

std::vector<Process> ofCurrentUser() {
    std::vector<Process> processes;
    std::error_code error;
    for (std::filesystem::directory_iterator it("/proc", error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.empty() || !std::all_of(name.begin(), name.end(), [](unsigned char c) { return std::isdigit(c); })) continue;
        struct stat status {};
        if (::stat(it->path().c_str(), &status) != 0 || status.st_uid != ::getuid()) continue;
        Process process;
        process.pid = std::stoi(name);
        std::error_code unreadable;
        process.executable = std::filesystem::read_symlink(it->path() / "exe", unreadable).string();
        if (auto commandLine = RegularFile::firstBytes(it->path() / "cmdline", maximumCommandLineSize)) {
            // An argument the limit cut off is left out.
            if (commandLine->size() == maximumCommandLineSize) commandLine->erase(commandLine->rfind('\0') + 1);
            std::istringstream arguments(*commandLine);
            std::string argument;
            while (std::getline(arguments, argument, '\0')) process.arguments.push_back(argument);
        }
        if (process.executable.empty() && process.arguments.empty()) continue;  // kernel threads, gone processes
        processes.push_back(std::move(process));
    }
    std::sort(processes.begin(), processes.end(), [](const Process& a, const Process& b) { return a.pid < b.pid; });
    return processes;
}

}  // namespace ProcessTable
