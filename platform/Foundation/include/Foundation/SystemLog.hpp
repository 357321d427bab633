#pragma once
// The system log: messages of the process go to syslog, or to a sink that tests and demos set.
#include <functional>
#include <string>

class SystemLog {
public:
    SystemLog() = delete;
    static void write(const std::string& message);
    /// Receives every message in place of syslog; nullptr restores syslog.
    static void setSink(std::function<void(const std::string&)> sink);
    /// Makes the log's fork handlers unless they are made (they are before main): a part that logs
    /// under a lock its own fork handlers take makes them after these, as a fork prepares in the
    /// reverse order.
    static void makeForkHandlers();
};
