#include "app/resultlinewriter.h"

#include "app/language.h"
#include "res/stringids.h"
#include "tools/statoptions.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>

namespace {

constexpr int kRetryPauseMs = 50;
const QString kLineEnd = QStringLiteral("\r\n");

// UTF-16 code units as they stand, little-endian whatever the host.
void AppendUtf16Le(QByteArray& bytes, const QString& strText)
{
    for (const QChar c : strText) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
}

bool OpenWithRetry(QFile& file)
{
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        // Unbuffered: a full disk shows up in write() itself, not in a
        // flush nobody checks.
        if (file.open(QIODevice::Append | QIODevice::Unbuffered))
            return true;
        if (timer.elapsed() >= CResultLineWriter::kOpenRetryMs)
            return false;
        QThread::msleep(kRetryPauseMs);
    }
}

}  // namespace

CResultLineWriter::CResultLineWriter(const CStatOptions& statOptions) : m_statOptions(statOptions)
{
}

QString CResultLineWriter::GetResultHeader(int nLineKind) const
{
    if (nLineKind != LINE_STATISTICS)
        return QString();
    QString strHeader = LoadLangString(StringId::StatHeaderTable) + u'\t'
                        + LoadLangString(StringId::StatHeaderRowCount);
    if (m_statOptions.HasDateColumn())
        strHeader += u'\t' + LoadLangString(StringId::StatHeaderLastModified);
    return strHeader + kLineEnd;
}

bool CResultLineWriter::AppendResultLine(int nLineKind, const QString& strPath, const QString& strText,
                                         QString* pstrError) const
{
    if (strPath.isEmpty())
        return false;
    QFile file(strPath);
    if (!OpenWithRetry(file)) {
        if (pstrError)
            *pstrError = file.errorString();
        return false;
    }
    if (strText.isEmpty())
        return true;

    const qint64 nOldSize = file.size();
    QByteArray bytes;
    if (nOldSize == 0) {
        bytes.append("\xFF\xFE", 2);
        AppendUtf16Le(bytes, GetResultHeader(nLineKind));
    }
    AppendUtf16Le(bytes, strText + kLineEnd);

    // A write cut short (the disk filled up in the middle) reports no
    // reason; writing the rest again gets the system's.
    qint64 nWritten = 0;
    while (nWritten < bytes.size()) {
        const qint64 nPart = file.write(bytes.constData() + nWritten, bytes.size() - nWritten);
        if (nPart <= 0)
            break;
        nWritten += nPart;
    }
    if (nWritten == bytes.size())
        return true;
    if (pstrError)
        *pstrError = file.errorString();
    // Leave no half line behind for the next line to follow.
    file.resize(nOldSize);
    return false;
}
