#pragma once
// Tells when the socket of a bus that is away appears: the process's one watch (inotify) on the
// folders of such sockets, on a thread of its own that sleeps until a folder watched changes, or
// until a caller that could not begin what it was told is to be told again. The thread starts
// with the first watch (where it cannot start, nothing is watched and the caller looks again
// later) and is stopped and joined at the end of the process (Foundation/ProcessEnd.hpp).
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "Foundation/backends/DBusConnection.hpp"

class BusSocketWatch {
public:
    /// The socket file through which `bus` is joined at `address` (empty for the bus's standard
    /// address); none for an address that names no file, such as an abstract socket or TCP, or
    /// several places to try.
    static std::optional<std::string> socketPath(DBusConnection::Bus bus, const std::string& address);

    /// Calls `appeared` on the watch's thread when a file named `path` is made (or moved) into its
    /// folder, or the folder itself goes, for as long as the returned token is held. While the
    /// folder does not exist, the nearest folder above it that does is watched instead, and
    /// `appeared` is called when the next folder on the way is made there. `appeared` answers
    /// whether what it set going has begun; while it answers false, it is called again every five
    /// seconds for as long as the token is held (a caller whose work found no thread to run on,
    /// at the process's limit of threads, tries again). Empty where nothing can be watched (no
    /// permission, a file where a folder should be, no thread for the watch, or the process is
    /// ending).
    [[nodiscard]] static std::shared_ptr<void> watch(const std::string& path, std::function<bool()> appeared);

    BusSocketWatch() = delete;
};
