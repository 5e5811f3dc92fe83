#pragma once

#include <QByteArray>
#include <QString>

#include <mutex>
#include <thread>
#include <vector>

class CDBData;

// Ctrl-C in kitvane-cli. The SIGINT handler only sets a flag and wakes a
// watcher thread (both async-signal-safe); the workers read the flag at
// their cancel points. The watcher does what a handler may not: it asks
// the drivers to stop the statements running on the data sources in use,
// so that a slow statement does not hold the cancel back, and during a
// connection attempt, which no driver can be asked to give up, it ends the
// process at once.
class CCliInterrupt
{
public:
    // Installs the handler; a second Ctrl-C ends the process.
    static void InstallHandler();
    static bool IsRequested();

    // Watches these data sources until destroyed.
    explicit CCliInterrupt(std::vector<CDBData*> arrDataSources);
    ~CCliInterrupt();

    CCliInterrupt(const CCliInterrupt&) = delete;
    CCliInterrupt& operator=(const CCliInterrupt&) = delete;

    // While it lives a data source is being connected: a Ctrl-C then ends
    // the process with the cancelled status. Nothing the run leaves behind
    // exists yet at that point (the result files come after the
    // connections). Raises the cancel (CCliError) when it has already come.
    class CConnecting
    {
    public:
        CConnecting(CCliInterrupt& interrupt, const QString& strDsn);
        ~CConnecting();

        CConnecting(const CConnecting&) = delete;
        CConnecting& operator=(const CConnecting&) = delete;

    private:
        CCliInterrupt& m_interrupt;
    };

private:
    void Watch();
    void OnInterrupt();

    std::vector<CDBData*> m_arrDataSources;
    std::mutex m_mutex;             // guards the two members below and the data sources' connections
    QByteArray m_connectingLine;    // the line to print when cancelled while connecting; empty otherwise
    bool m_bStopping = false;
    std::thread m_watcher;
};
