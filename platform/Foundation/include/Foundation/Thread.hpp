#pragma once
// The threads of the process: which one is the main one (the thread that started the process), and
// the one way the platform starts a thread of its own.
#include <functional>
#include <thread>

namespace Thread {
bool isMainThread();

/// Starts `body` on a new thread. Throws std::system_error, as std::thread does, where the system
/// gives no thread (at the process's limit of threads): the caller counts or registers a thread
/// only once this has returned.
std::thread start(std::function<void()> body);

/// For tests: while set, every start() fails as it does at the process's limit of threads.
void setStartsFail(bool fail);
}  // namespace Thread
