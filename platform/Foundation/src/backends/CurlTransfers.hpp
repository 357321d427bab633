#pragma once
// The one thread that runs every HTTP transfer of the process through a libcurl multi handle:
// transfers that wait on the network hold no dispatch worker and never wait for one another. The
// thread starts with the first transfer; at the end of the process (Foundation/ProcessEnd.hpp) it
// is stopped and joined, the transfers still running abandoned.
#include <curl/curl.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

#include "Foundation/ProcessEnd.hpp"

class CurlTransfers {
public:
    using Done = std::function<void(CURLcode)>;

    static CurlTransfers& shared();

    /// Starts a prepared easy handle and answers its number. `done` runs once, on the transfer
    /// thread, when the transfer ends, fails to start or is cancelled (CURLE_ABORTED_BY_CALLBACK);
    /// the handle and what its options point at must live until then. `done` must not block. Where
    /// the transfer thread cannot be started (at the process's limit of threads, or at the end of
    /// the process), `done` runs at once with CURLE_FAILED_INIT, and the number is 0. After the end
    /// of the process has stopped the thread, no `done` runs.
    std::uint64_t start(CURL* easy, Done done);
    /// Ends a started transfer at once; nothing when it has already ended.
    void cancel(std::uint64_t transfer);

private:
    CurlTransfers();
    void post(std::function<void()> command);
    void run();
    void finish(std::uint64_t transfer, CURLcode result);
    // Starts the thread unless it runs; false where it cannot be started.
    bool started();
    // The end of the process.
    bool stop(ProcessEnd::Clock::time_point deadline);

    struct Running {
        CURL* easy;
        Done done;
    };

    CURLM* multi_;
    std::mutex mutex_;
    std::vector<std::function<void()>> commands_;
    std::uint64_t next_ = 1;
    std::atomic<bool> stopping_{false};
    ProcessEnd::OwnedThread thread_;  // guarded by mutex_
    std::condition_variable ended_;   // the thread has ended
    // Touched by the transfer thread only.
    std::map<std::uint64_t, Running> running_;
};
