#include "Foundation/SystemLog.hpp"

#include <syslog.h>

#include <mutex>

namespace {
std::mutex sinkMutex;
std::function<void(const std::string&)> logSink;
}  // namespace

void SystemLog::write(const std::string& message) {
    std::function<void(const std::string&)> sink;
    {
        std::lock_guard lock(sinkMutex);
        sink = logSink;
    }
    if (sink) {
        sink(message);
    } else {
        ::syslog(LOG_NOTICE, "%s", message.c_str());
    }
}

void SystemLog::setSink(std::function<void(const std::string&)> sink) {
    std::lock_guard lock(sinkMutex);
    logSink = std::move(sink);
}
