#pragma once

#include <QString>

// Why a comparison run ended without a result, beyond a cancellation: the
// temporary result file could not be created, or a seek, write or read on it
// failed (a full disk, for example). The partial file is deleted.
class CCompareFailure
{
public:
    enum Kind { None, CannotCreate, CannotWrite };

    void Clear();
    void Set(Kind nKind, const QString& strPath, const QString& strReason);

    bool IsFailed() const { return m_nKind != None; }
    Kind GetKind() const { return m_nKind; }
    const QString& GetPath() const { return m_strPath; }
    const QString& GetReason() const { return m_strReason; }
    // The message for the user, in the interface language: "cannot open"
    // (1053) for a file that could not be created, "cannot write" (1054)
    // otherwise, followed by the system's reason.
    QString GetMessage() const;

private:
    Kind m_nKind = None;
    QString m_strPath;
    QString m_strReason;
};
