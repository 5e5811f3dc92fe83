#include "compare/compareresultfile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QThread>

namespace {

constexpr int kRetryPauseMs = 50;

QString MakeCandidateName(const QString& strFolder, const QString& strPrefix)
{
    return QDir(strFolder).filePath(
        strPrefix + QString::number(QRandomGenerator::global()->generate(), 36).toUpper());
}

}  // namespace

CCompareResultFile::CCompareResultFile(const QString& strPrefix, int nCreateTimeoutMs)
    : m_strPrefix(strPrefix), m_nCreateTimeoutMs(nCreateTimeoutMs)
{
}

CCompareResultFile::~CCompareResultFile()
{
    DeleteResultFile();
}

QString CCompareResultFile::GetTempFolder()
{
    const QString strTmp = qEnvironmentVariable("TMP");
    return strTmp.isEmpty() ? QDir::tempPath() : strTmp;
}

QFile* CCompareResultFile::CreateResultFile()
{
    DeleteResultFile();
    const QString strFolder = GetTempFolder();
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        // NewOnly: a name another process took meanwhile is never reused.
        auto pFile = std::make_unique<QFile>(MakeCandidateName(strFolder, m_strPrefix));
        if (pFile->open(QIODevice::ReadWrite | QIODevice::NewOnly)) {
            m_pFile = std::move(pFile);
            return m_pFile.get();
        }
        if (timer.elapsed() >= m_nCreateTimeoutMs)
            return nullptr;
        QThread::msleep(kRetryPauseMs);
    }
}

void CCompareResultFile::DeleteResultFile()
{
    if (!m_pFile)
        return;
    const QString strPath = m_pFile->fileName();
    m_pFile->close();
    QFile::remove(strPath);
    m_pFile.reset();
}
