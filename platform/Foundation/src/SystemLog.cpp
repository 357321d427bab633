#include "Foundation/SystemLog.hpp"

#include <pthread.h>
#include <syslog.h>

#include <mutex>

namespace {
std::mutex sinkMutex;
std::function<void(const std::string&)> logSink;
// Held while a thread of the process is in syslog, and across a fork: the C library's own lock of
// the log, which a child does not get back when another thread held it, is then free.
std::mutex syslogMutex;

void prepareFork() {
    sinkMutex.lock();
    syslogMutex.lock();
}

void afterFork() {
    syslogMutex.unlock();
    sinkMutex.unlock();
}

int forkHandlers() {
    static const int made = ::pthread_atfork(prepareFork, afterFork, afterFork);
    return made;
}

// Made before main, ahead of the fork handlers that other parts of the process make: a fork's
// preparation runs handlers in the reverse order of their making, so it takes the log's locks after
// theirs, under which the log may be written.
[[maybe_unused]] const int madeBeforeMain = forkHandlers();
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
        std::lock_guard lock(syslogMutex);
        ::syslog(LOG_NOTICE, "%s", message.c_str());
    }
}

void SystemLog::setSink(std::function<void(const std::string&)> sink) {
    std::lock_guard lock(sinkMutex);
    logSink = std::move(sink);
}

void SystemLog::makeForkHandlers() { forkHandlers(); }
