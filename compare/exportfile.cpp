#include "compare/exportfile.h"

#include <QFile>
#include <QFileDevice>
#include <QIODevice>

#include <algorithm>

namespace {

constexpr qsizetype kWriteChunk = 64 * 1024;
const QString kSeparator = QStringLiteral(";");

}  // namespace

CExportFile::CExportFile(QIODevice& device) : m_device(device) {}

CExportFile::CExportFile(const QString& strPath)
    : m_pFile(std::make_unique<QFile>(strPath)), m_device(*m_pFile)
{
    // Unbuffered: the lines are gathered here, and a failed write then
    // reaches this class with the system's reason, which a buffered QFile
    // loses when the disk fills in the middle of a block.
    // A path that cannot be opened is never removed: what stands there is
    // not this export's.
    m_bRemovable = m_pFile->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
    if (!m_bRemovable)
        Fail(m_pFile->errorString());
}

CExportFile::~CExportFile()
{
    if (m_bRemovable && !m_bFinished)
        m_pFile->remove();
}

QString CExportFile::QuoteField(const QString& strField)
{
    const bool bQuote = std::any_of(strField.cbegin(), strField.cend(), [](QChar c) {
        return c == u';' || c == u'"' || c == u'\r' || c == u'\n';
    });
    if (!bQuote)
        return strField;
    return QLatin1Char('"') + QString(strField).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

void CExportFile::WriteFields(const QStringList& arrFields)
{
    QStringList arrQuoted;
    arrQuoted.reserve(arrFields.size());
    for (const QString& strField : arrFields)
        arrQuoted.append(QuoteField(strField));
    WriteLine(arrQuoted.join(kSeparator));
}

void CExportFile::WriteLine(const QString& strLine)
{
    if (!m_bOk)
        return;
    for (qsizetype i = 0; i < strLine.size(); ++i) {
        const QChar c = strLine.at(i);
        if (c.unicode() <= 0xFF) {
            m_pending.append(char(c.unicode()));
            continue;
        }
        if (c.isHighSurrogate() && i + 1 < strLine.size() && strLine.at(i + 1).isLowSurrogate())
            ++i;
        m_pending.append(kReplacement);
        ++m_nReplaced;
    }
    m_pending.append("\r\n", 2);
    if (m_pending.size() >= kWriteChunk)
        WritePending();
}

void CExportFile::WritePending()
{
    // A write that stops short (the disk filled on the way) is tried again
    // with the rest, which then fails with the system's reason.
    qsizetype nDone = 0;
    while (m_bOk && nDone < m_pending.size()) {
        const qint64 nWritten = m_device.write(m_pending.constData() + nDone, m_pending.size() - nDone);
        if (nWritten <= 0)
            Fail(m_device.errorString());
        else
            nDone += nWritten;
    }
    m_pending.clear();
}

bool CExportFile::Finish()
{
    WritePending();
    if (!m_pFile) {
        auto* pFile = qobject_cast<QFileDevice*>(&m_device);
        if (m_bOk && pFile != nullptr && !pFile->flush())
            Fail(pFile->errorString());
        return m_bOk;
    }
    if (!m_bFinished) {
        m_bFinished = true;
        m_pFile->close();
        if (m_bOk && m_pFile->error() != QFileDevice::NoError)
            Fail(m_pFile->errorString());
        if (!m_bOk && m_bRemovable)
            m_pFile->remove();
    }
    return m_bOk;
}

void CExportFile::Fail(const QString& strReason)
{
    if (!m_bOk)
        return;
    m_bOk = false;
    m_strError = strReason;
}
