#include "compare/compareengine.h"

#include "compare/compareresultfile.h"
#include "compare/resultstream.h"

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
    m_pRunStream.reset();
    m_results.DeleteResultFile();
}
