#pragma once

#include "db/dbdata.h"

#include <QString>

#include <condition_variable>
#include <mutex>
#include <thread>

// One connection attempt on a thread of its own, over a data source object
// of its own. A driver cannot be interrupted while it waits for its server
// (up to the login timeout), so the user may abandon the attempt instead:
// the data source the user works with is touched only when the open
// connection is handed over, and an abandoned attempt closes its connection
// as soon as it has one. The destructor waits for the thread.
class CConnectAttempt
{
public:
    // Starts connecting to the data source at once.
    explicit CConnectAttempt(const QString& strDSN);
    ~CConnectAttempt();

    CConnectAttempt(const CConnectAttempt&) = delete;
    CConnectAttempt& operator=(const CConnectAttempt&) = delete;

    // Returns once the attempt has ended or has been abandoned.
    void WaitForEnd();

    bool IsFinished() const;
    bool IsAbandoned() const;
    // Once finished: whether the connection was opened, the driver's text
    // when it was not (empty when the user cancelled the driver's login),
    // and whether the connection still waits to be handed over.
    bool Succeeded() const;
    QString GetLastError() const;
    bool HasConnection() const;

    // Moves the open connection, with what the driver said about names,
    // into the target, whose old connection is closed. False, leaving the
    // target alone, when there is none to hand over.
    bool HandOver(CDBData& target);

    // Nobody will take the connection: it is closed now if it is open, else
    // as soon as the attempt ends; WaitForEnd returns at once.
    void Abandon();

private:
    void Run();

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    // Used by the attempt's thread alone until m_bFinished is set.
    CDBData m_source;
    bool m_bFinished = false;
    bool m_bConnected = false;
    bool m_bAbandoned = false;
    // Last: the thread starts once everything it uses exists.
    std::thread m_thread;
};
