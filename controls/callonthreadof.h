#pragma once

#include <QMetaObject>
#include <QObject>

#include <atomic>

// Runs fnCall on pReceiver's thread and returns once it has run there; the
// caller is on another thread. Qt's queue and blocking call already order the
// call after what came before it and before what follows; the flag says so in
// a form ThreadSanitizer sees too, since the mutex and semaphore Qt uses are
// not instrumented. Without it the caller's variables the call reads and
// writes, and the caller's stack reused afterwards, are taken for races.
template <typename Fn>
void CallOnThreadOf(QObject* pReceiver, Fn&& fnCall)
{
    enum Stage { Posted, Ran };
    std::atomic<Stage> stage{Posted};
    stage.store(Posted, std::memory_order_release);
    QMetaObject::invokeMethod(
        pReceiver,
        [&] {
            [[maybe_unused]] const Stage posted = stage.load(std::memory_order_acquire);
            fnCall();
            stage.store(Ran, std::memory_order_release);
        },
        Qt::BlockingQueuedConnection);
    [[maybe_unused]] const Stage ran = stage.load(std::memory_order_acquire);
}
