#include "Foundation/Thread.hpp"

#include <atomic>
#include <cerrno>
#include <system_error>

namespace {
std::atomic<bool> startsFail{false};
}

std::thread Thread::start(std::function<void()> body) {
    if (startsFail) throw std::system_error(EAGAIN, std::generic_category(), "no thread could be started");
    return std::thread(std::move(body));
}

void Thread::setStartsFail(bool fail) { startsFail = fail; }
