#pragma once

#include <QString>

// Exit statuses of kitvane-cli.
enum CliStatus : int
{
    CLI_SUCCESS = 0,
    CLI_FAILURE = 1,
    CLI_USAGE = 2,
    CLI_CANCELLED = 3,
    // A comparison given --fail-on-differences found something not identical.
    CLI_DIFFERENCES = 4,
};

// What ends a command early: its exit status and the one line for stderr.
class CCliError
{
public:
    CCliError(int nStatus, const QString& strText) : m_nStatus(nStatus), m_strText(strText) {}

    static CCliError Usage(const QString& strText) { return CCliError(CLI_USAGE, strText); }
    static CCliError Failure(const QString& strText) { return CCliError(CLI_FAILURE, strText); }
    static CCliError Cancelled(const QString& strText) { return CCliError(CLI_CANCELLED, strText); }

    int Status() const { return m_nStatus; }
    const QString& Text() const { return m_strText; }

private:
    int m_nStatus;
    QString m_strText;
};
