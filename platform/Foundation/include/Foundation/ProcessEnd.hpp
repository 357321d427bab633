#pragma once
// The end of the process, the one place that stops the threads of the platform. Each owner of
// threads registers how its threads stop when its first thread is about to start, and the end
// runs those stops once, in one fixed order: the settings writers after their last write, what
// was handed to a bus, the bus socket watch, the buses' threads, the HTTP transfers, the dispatch
// queues. The application runs it on its way out; a library host gets it from one exit hook,
// before the statics made until the last registration are destroyed.
//
// The settings get five seconds, and a write under way then one second more; every later stage
// shares one second, within which a thread that is busy may end and is joined (a thread writing a
// setting changed after the settings' stage has the settings' time): the end takes seven seconds at
// most. A thread still running after that (held by a callback, or waiting for a bus that does not
// answer) is never left to run while the statics are destroyed: the process then ends (_exit)
// without destroying them and without the host's later exit handlers, its standard streams
// flushed, with the status it was ending with; the system log names the owner whose thread held it.
//
// A child forked from the process (without exec) has only the thread that forked, and none of the
// platform's threads start there: the end there stops no owner, waits for none of the parent's
// threads, and only has the settings written (by the thread that ends it); its fork handler lets
// go of the end's state, so that a child forked while the parent ends ends too.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace ProcessEnd {
using Clock = std::chrono::steady_clock;

/// The owners' stages, in the order in which the end runs them.
enum class Stage { settings, busSends, busSocketWatch, busThreads, transfers, queues };

/// How an owner stops its threads: by `deadline` at the latest. Answers false when a thread of
/// its own was still running then.
using Stop = std::function<bool(Clock::time_point deadline)>;

/// Registers the stop of `stage`'s owner; the first registration of a stage holds, later ones do
/// nothing. Answers false once the end has run that stage: the owner then starts no thread (while
/// the stage runs, its owner may still start one, which its stop then ends).
bool add(Stage stage, Stop stop);

/// Runs the end once: later calls, and the exit hook, return at once (or wait while it runs on
/// another thread). `status` is the status the process ends with.
void run(int status);

/// Whether this process is a child forked (without exec) from one that uses the platform.
bool forked();

/// A thread of an owner, as the end sees it: `running` (guarded by the owner's mutex) is false
/// once the thread has let go of everything and only returns.
struct OwnedThread {
    std::thread thread;
    bool running = true;
};

/// Starts `body` as `owned`'s thread (Thread::start), which lets go of `body` once it has returned,
/// then notes that it has ended under the owner's `mutex` and notifies `ended`. False where no
/// thread can be started (at the process's limit of threads, or in a forked child): nothing has
/// started then.
bool start(OwnedThread& owned, std::mutex& mutex, std::condition_variable& ended, std::function<void()> body);

/// The end's wait for an owner's threads, with the owner's mutex held: waits until every thread
/// listed has ended (the owner notifies `ended` as each one does) or `deadline` is past, and joins
/// those that have ended. Threads waiting for another process (WaitingElsewhere) are not waited
/// for, those that wrote settings late (writesLate) until their own time when that is later, and
/// the calling thread is left out. Answers whether all the others were joined.
bool joinEnded(std::unique_lock<std::mutex>& lock, std::condition_variable& ended,
               const std::vector<OwnedThread*>& threads, Clock::time_point deadline);

/// Marks the calling thread, while it lives, as waiting for another process (a bus's daemon)
/// that may never answer: the end does not wait for it.
class WaitingElsewhere {
public:
    WaitingElsewhere();
    ~WaitingElsewhere();
    WaitingElsewhere(const WaitingElsewhere&) = delete;
    WaitingElsewhere& operator=(const WaitingElsewhere&) = delete;
};

/// Tells the end that the calling thread writes settings changed after the end's settings stage:
/// the end waits for it until `until` (the settings' time), also past its own stage's time, and
/// also once that write is over, until the thread has ended.
void writesLate(Clock::time_point until);
}  // namespace ProcessEnd
