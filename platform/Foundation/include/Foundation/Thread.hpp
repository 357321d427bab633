#pragma once
// Which thread is the main one: the thread that started the process.

namespace Thread {
bool isMainThread();
}
