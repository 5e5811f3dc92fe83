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


    // The process-wide environment handle, or SQL_NULL_HENV while no
    // connection is open.
    static SQLHENV SharedEnvironment();
    static int OpenConnectionCount();

    // The call that allocates the shared environment (SQLAllocEnv). Tests
    // replace it to make the allocation fail; returns the one replaced.
    using EnvironmentAllocator = SQLRETURN (*)(SQLHENV*);
    static EnvironmentAllocator SetEnvironmentAllocator(EnvironmentAllocator pAllocate);

private:
    void Close();

    SQLHDBC m_hdbc = SQL_NULL_HDBC;
    bool m_bHoldsEnvironment = false;
};
