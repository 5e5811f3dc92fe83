#pragma once

#include <QString>

// Why a comparison run ended without a result, beyond a cancellation: the
// temporary result file could not be created, a seek, write or read on it
// failed (a full disk, for example), or a database could not be read (a
// dropped connection, a login without rights, a statement the driver could
// not allocate). The partial file is deleted.
class CCompareFailure
{
public:
    enum Kind { None, CannotCreate, CannotWrite, DatabaseError };

    void Clear();
    void Set(Kind nKind, const QString& strPath, const QString& strReason);
    void SetDatabaseError(const QString& strDataSource, const QString& strReason);

    bool IsFailed() const { return m_nKind != None; }
    Kind GetKind() const { return m_nKind; }
    // The result file (or its folder) of a file failure.
    const QString& GetPath() const { return m_strPath; }
    // The data source that could not be read.
    const QString& GetDataSource() const { return m_strDataSource; }
    // The system's reason for a file, the driver's text for a database.
    const QString& GetReason() const { return m_strReason; }
    // The message for the user, in the interface language: "cannot open"
    // (1053) for a file that could not be created, "cannot write" (1054)
    // followed by the system's reason for a file failure, the database error
    // (1052) with the driver's text for a database that could not be read.
    QString GetMessage() const;

private:
    Kind m_nKind = None;
    QString m_strPath;
    QString m_strDataSource;
    QString m_strReason;
};
