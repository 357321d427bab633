#include "CurlTransfers.hpp"

#include <cstdint>

#include "Foundation/FatalError.hpp"

namespace {
// How often the thread looks at running transfers when the network is quiet, so that their
// progress callbacks (cancellation, idle time-outs) run that often at least.
constexpr int quietPollMilliseconds = 100;
}  // namespace

CurlTransfers& CurlTransfers::shared() {
    static auto* made = new CurlTransfers();  // lives as long as the process
    return *made;
}

bool CurlTransfers::started() {
    std::lock_guard lock(mutex_);
    if (thread_.thread.joinable()) return true;
    if (stopping_) return false;
    if (!ProcessEnd::add(ProcessEnd::Stage::transfers,
                         [](ProcessEnd::Clock::time_point deadline) { return shared().stop(deadline); })) {
        stopping_ = true;
        return false;
    }
    return ProcessEnd::start(thread_, mutex_, ended_, [this] { run(); });
}

CurlTransfers::CurlTransfers() {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    multi_ = curl_multi_init();
    if (!multi_) fatalError("the HTTP transfers could not be set up");
}

bool CurlTransfers::stop(ProcessEnd::Clock::time_point deadline) {
    std::unique_lock lock(mutex_);
    stopping_ = true;
    curl_multi_wakeup(multi_);
    if (!thread_.thread.joinable()) return true;
    // The end may come from a `done`, on the thread itself, which then never returns to the loop.
    return ProcessEnd::joinEnded(lock, ended_, {&thread_}, deadline);
}

std::uint64_t CurlTransfers::start(CURL* easy, Done done) {
    if (!started()) {
        done(CURLE_FAILED_INIT);
        return 0;
    }
    std::uint64_t transfer = 0;
    {
        std::lock_guard lock(mutex_);
        transfer = next_++;
    }
    post([this, transfer, easy, done = std::move(done)]() mutable {
        curl_easy_setopt(easy, CURLOPT_PRIVATE, reinterpret_cast<char*>(static_cast<std::uintptr_t>(transfer)));
        if (curl_multi_add_handle(multi_, easy) != CURLM_OK) {
            done(CURLE_FAILED_INIT);
            return;
        }
        running_.emplace(transfer, Running{easy, std::move(done)});
    });
    return transfer;
}

void CurlTransfers::cancel(std::uint64_t transfer) {
    post([this, transfer] { finish(transfer, CURLE_ABORTED_BY_CALLBACK); });
}

void CurlTransfers::post(std::function<void()> command) {
    {
        std::lock_guard lock(mutex_);
        if (stopping_) return;  // never to run: its transfer is let go of here
        commands_.push_back(std::move(command));
    }
    curl_multi_wakeup(multi_);
}

void CurlTransfers::finish(std::uint64_t transfer, CURLcode result) {
    auto it = running_.find(transfer);
    if (it == running_.end()) return;
    auto running = std::move(it->second);
    running_.erase(it);
    curl_multi_remove_handle(multi_, running.easy);
    running.done(result);
}

void CurlTransfers::run() {
    // At the end the transfers still running are abandoned, their handles left in the multi handle.
    while (!stopping_) {
        std::vector<std::function<void()>> commands;
        {
            std::lock_guard lock(mutex_);
            commands.swap(commands_);
        }
        for (auto& command : commands) {
            if (stopping_) return;
            command();
        }

        int active = 0;
        curl_multi_perform(multi_, &active);
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(multi_, &left)) {
            if (stopping_) return;
            if (message->msg != CURLMSG_DONE) continue;
            char* transfer = nullptr;
            curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &transfer);
            finish(reinterpret_cast<std::uintptr_t>(transfer), message->data.result);
        }
        curl_multi_poll(multi_, nullptr, 0, running_.empty() ? 60000 : quietPollMilliseconds, nullptr);
    }
}
