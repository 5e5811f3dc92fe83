#pragma once

#include "tests/support/testdatabase.h"

#include <QList>
#include <QString>

#include <memory>

// The statement log of a test server (PostgreSQL's log with the login in
// each line's prefix, MariaDB's general log), found by asking the server
// itself, so the audit reads the log of the server the tests used wherever
// it was started from.
namespace kvtest {

struct LoggedStatement
{
    QString strLogin;     // empty when the part read does not tell (a session opened before it)
    QString strDatabase;  // PostgreSQL: the session's database; MariaDB: empty (its read-only logins name it)
    QString strCommand;   // MariaDB: the general log's command ("Query", "Connect", ...); PostgreSQL: empty
    QString strText;
};

class ServerLog
{
public:
    // Raises std::runtime_error, saying what to do, when the server is not
    // reachable or does not log every statement.
    explicit ServerLog(Engine engine);
    ~ServerLog();

    Engine GetEngine() const { return m_engine; }
    QString Path() const { return m_strPath; }
    qint64 Size() const;

    // Sends a statement holding strToken over the test bed's own connection
    // and waits until the log holds it, so that everything sent before is in
    // the file. False when it does not come within nTimeoutMs.
    bool WaitForToken(const QString& strToken, int nTimeoutMs);

    // The statements logged from byte nOffset on.
    QList<LoggedStatement> StatementsFrom(qint64 nOffset) const;

    static QList<LoggedStatement> ParsePostgres(const QString& strLog);
    static QList<LoggedStatement> ParseMariaDb(const QString& strLog);

private:
    QString ReadFrom(qint64 nOffset) const;

    Engine m_engine;
    QString m_strPath;
    std::unique_ptr<RawConnection> m_pConnection;
};

}  // namespace kvtest
