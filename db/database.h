#pragma once

#include "db/odbc.h"

#include <QString>

// One ODBC connection, opened read-only. All connections of the process share
// one environment handle, allocated with the first and freed with the last.
class CDatabase
{
public:
    CDatabase() = default;
    ~CDatabase();

    CDatabase(const CDatabase&) = delete;
    CDatabase& operator=(const CDatabase&) = delete;

    // Opens the connection. Returns false when the user cancelled the
    // driver's login dialog; raises CDBException on any other failure.
    bool OpenEx(const QString& strConnect);

    bool IsOpen() const { return m_hdbc != SQL_NULL_HDBC; }
    SQLHDBC Handle() const { return m_hdbc; }

    // A text the driver reports through SQLGetInfoW; empty when it reports none.
    QString GetInfoString(SQLUSMALLINT nInfo) const;

    // The process-wide environment handle, or SQL_NULL_HENV while no
    // connection is open.
    static SQLHENV SharedEnvironment();
    static int OpenConnectionCount();

private:
    void Close();

    SQLHDBC m_hdbc = SQL_NULL_HDBC;
    bool m_bHoldsEnvironment = false;
};
