#include "compare/exportfile.h"

#include <QByteArray>
#include <QFileDevice>
#include <QIODevice>

CExportFile::CExportFile(QIODevice& device) : m_device(device) {}

void CExportFile::WriteLine(const QString& strLine)
{
    if (!m_bOk)
        return;
    QByteArray bytes;
    bytes.reserve(strLine.size() + 2);
    for (qsizetype i = 0; i < strLine.size(); ++i) {
        const QChar c = strLine.at(i);
        if (c.unicode() <= 0xFF) {
            bytes.append(char(c.unicode()));
            continue;
        }
        if (c.isHighSurrogate() && i + 1 < strLine.size() && strLine.at(i + 1).isLowSurrogate())
            ++i;
        bytes.append(kReplacement);
        ++m_nReplaced;
    }
    bytes.append("\r\n", 2);
    if (m_device.write(bytes) != bytes.size()) {
        m_bOk = false;
        m_strError = m_device.errorString();
    }
}

bool CExportFile::Finish()
{
    auto* pFile = qobject_cast<QFileDevice*>(&m_device);
    if (m_bOk && pFile != nullptr && !pFile->flush()) {
        m_bOk = false;
        m_strError = pFile->errorString();
    }
    return m_bOk;
}
