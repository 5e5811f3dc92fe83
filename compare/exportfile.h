#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

class QFile;
class QIODevice;

// A comparison or structure export: one byte per character (ISO 8859-1),
// every line ended by CR LF, no byte-order mark. A character above U+00FF
// cannot be written in one byte: it becomes kReplacement and is counted, so
// the caller can tell the user; a surrogate pair counts as one character.
// Fields are separated by ";"; a field holding ";", a double quote, CR or LF
// stands between double quotes, its own double quotes doubled, so that no
// name splits a line into extra fields. Other fields are written as they are.
class CExportFile
{
public:
    static constexpr char kReplacement = '?';

    // The device is already open for writing.
    explicit CExportFile(QIODevice& device);
    // A file of its own at strPath, created or emptied. When it cannot be
    // opened, IsOk() is false and GetErrorText() gives the system's reason.
    // The file is kept only when Finish() succeeds: an export that fails or
    // is never finished is removed, so no partial file is left behind.
    explicit CExportFile(const QString& strPath);
    ~CExportFile();

    CExportFile(const CExportFile&) = delete;
    CExportFile& operator=(const CExportFile&) = delete;

    // The fields joined by ";", quoted where they must be.
    void WriteFields(const QStringList& arrFields);
    // A line as it is (an empty line without argument).
    void WriteLine(const QString& strLine = QString());
    // Writes out the lines still held, where a full disk shows, and ends a
    // file of its own: closed, or removed after a failure. True when every
    // line was written.
    bool Finish();

    bool IsOk() const { return m_bOk; }
    // The system's reason for the first failure ("No space left on device").
    const QString& GetErrorText() const { return m_strError; }
    int GetReplacedCount() const { return m_nReplaced; }

    // A field as it stands in a line.
    static QString QuoteField(const QString& strField);

private:
    void WritePending();
    void Fail(const QString& strReason);

    std::unique_ptr<QFile> m_pFile;   // a file of its own, else null
    QIODevice& m_device;
    QByteArray m_pending;             // bytes not yet handed to the device
    bool m_bRemovable = false;        // a file of its own that it created or emptied
    bool m_bOk = true;
    bool m_bFinished = false;
    QString m_strError;
    int m_nReplaced = 0;
};
