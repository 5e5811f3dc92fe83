#pragma once

#include <QFile>
#include <QString>

#include <memory>

// One temporary comparison result file ("BFDB..." for tables, "BFDD..." for
// aliases) in the TMP folder, open for reading and writing while it exists.
// The engines fill it; the application deletes it when the last result window
// closes and at exit.
class CCompareResultFile
{
public:
    static constexpr int kCreateTimeoutMs = 10000;

    explicit CCompareResultFile(const QString& strPrefix, int nCreateTimeoutMs = kCreateTimeoutMs);
    ~CCompareResultFile();

    CCompareResultFile(const CCompareResultFile&) = delete;
    CCompareResultFile& operator=(const CCompareResultFile&) = delete;

    // A new, empty file with a unique name; an existing one is deleted first.
    // Retries until the timeout; null when no file could be created.
    QFile* CreateResultFile();
    // Closes and removes the file from disk; nothing when there is none.
    void DeleteResultFile();

    QFile* GetFile() const { return m_pFile.get(); }

    // The TMP environment variable when set, else the system's temporary folder.
    static QString GetTempFolder();

private:
    QString m_strPrefix;
    int m_nCreateTimeoutMs;
    std::unique_ptr<QFile> m_pFile;
};
