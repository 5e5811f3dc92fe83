#pragma once

#include <QString>

class QIODevice;

// A comparison or structure export: one byte per character (ISO 8859-1),
// every line ended by CR LF, no byte-order mark. A character above U+00FF
// cannot be written in one byte: it becomes kReplacement and is counted, so
// the caller can tell the user; a surrogate pair counts as one character.
class CExportFile
{
public:
    static constexpr char kReplacement = '?';

    // The device is already open for writing.
    explicit CExportFile(QIODevice& device);

    void WriteLine(const QString& strLine = QString());
    // Pushes a file's buffered lines to disk, where a full disk shows;
    // true when every line was written.
    bool Finish();

    bool IsOk() const { return m_bOk; }
    const QString& GetErrorText() const { return m_strError; }
    int GetReplacedCount() const { return m_nReplaced; }

private:
    QIODevice& m_device;
    bool m_bOk = true;
    QString m_strError;
    int m_nReplaced = 0;
};
