#include "compare/compareengine.h"

#include "compare/compareresultfile.h"
#include "compare/resultstream.h"
#include "db/dbdata.h"

#include <QFile>

CCompareEngine::CCompareEngine(CDBData& left, CDBData& right, const CZembraParam& options,
                               CCompareResultFile& results)
    : m_left(left), m_right(right), m_options(options), m_results(results)
{
}

CCompareEngine::~CCompareEngine() = default;

bool CCompareEngine::HasResult() const
{
    return m_results.GetFile() != nullptr;
}

bool CCompareEngine::StartResultFile()
{
    QFile* pFile = m_results.CreateResultFile();
    if (pFile == nullptr) {
        m_failure.Set(CCompareFailure::CannotCreate, CCompareResultFile::GetTempFolder(), QString());
        return false;
    }
    m_pRunStream = std::make_unique<CResultStream>(pFile);
    return true;
}

void CCompareEngine::FailRun(const QString& strReason)
{
    QFile* pFile = m_results.GetFile();
    m_failure.Set(CCompareFailure::CannotWrite, pFile != nullptr ? pFile->fileName() : QString(), strReason);
    EndRun();
}

bool CCompareEngine::ReadSide(CDBData& side, const std::function<bool()>& read)
{
    QString strReason;
    try {
        if (read())
            return true;
        strReason = side.GetLastError();
    } catch (const CDBException& error) {
        strReason = error.m_strError.trimmed();
    }
    if (strReason.isEmpty())
        strReason = QStringLiteral("the driver gave no reason");
    m_failure.SetDatabaseError(side.m_strDSN, strReason);
    EndRun();
    return false;
}

void CCompareEngine::EndRun()
{
    m_pRunStream.reset();
    m_results.DeleteResultFile();
}
