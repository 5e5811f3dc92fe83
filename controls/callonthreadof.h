#pragma once

#include <QMetaObject>
#include <QObject>

#include <atomic>

// Runs fnCall on pReceiver's thread and returns once it has run there; the
// caller is on another thread. Qt's blocking call already orders the call
// before what follows; the flag says so in a form ThreadSanitizer sees too,
// since the semaphore Qt waits on is not instrumented. Without it the results
// read after the wait, and the caller's stack the call reads and the caller
// reuses afterwards, are taken for races.
template <typename Fn>
void CallOnThreadOf(QObject* pReceiver, Fn&& fnCall)
{
    std::atomic<bool> bDone{false};
    QMetaObject::invokeMethod(
        pReceiver,
        [&] {
            fnCall();
            bDone.store(true, std::memory_order_release);
        },
        Qt::BlockingQueuedConnection);
    [[maybe_unused]] const bool bRan = bDone.load(std::memory_order_acquire);
}
