#pragma once
// The one thread that runs every HTTP transfer of the process through a libcurl multi handle:
// transfers that wait on the network hold no dispatch worker and never wait for one another.
#include <curl/curl.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

class CurlTransfers {
public:
    using Done = std::function<void(CURLcode)>;

    static CurlTransfers& shared();
    /// Stops the transfers' thread and joins it: the transfers still running are abandoned, and no
    /// `done` runs from then on. For the end of the process (it runs at exit too); transfers made
    /// after it never run. Nothing when no transfer was ever started.
    static void stopThread();

    /// Starts a prepared easy handle and answers its number. `done` runs once, on the transfer
    /// thread, when the transfer ends, fails to start or is cancelled (CURLE_ABORTED_BY_CALLBACK);
    /// the handle and what its options point at must live until then. `done` must not block.
    std::uint64_t start(CURL* easy, Done done);
    /// Ends a started transfer at once; nothing when it has already ended.
    void cancel(std::uint64_t transfer);

private:
    CurlTransfers();
    void post(std::function<void()> command);
    void run();
    void finish(std::uint64_t transfer, CURLcode result);
    void stop();

    struct Running {
        CURL* easy;
        Done done;
    };

    CURLM* multi_;
    std::mutex mutex_;
    std::vector<std::function<void()>> commands_;
    std::uint64_t next_ = 1;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
    // Touched by the transfer thread only.
    std::map<std::uint64_t, Running> running_;
};
