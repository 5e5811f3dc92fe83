#include "app/qalmetapp.h"

#include "app/comparisonwindow.h"
#include "app/connectattempt.h"
#include "app/language.h"
#include "app/resultfilenames.h"
#include "app/shellfunctions.h"
#include "app/tablestructurewindow.h"
#include "app/prompt.h"
#include "app/resultfilechecks.h"
#include "tools/dateexpression.h"
#include "tools/decimalupdate.h"
#include "tools/tablestatistics.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <functional>

namespace {

std::atomic<CQalmetApp*> g_pInstance{nullptr};

}  // namespace

CQalmetApp::CQalmetApp(const CSettingsStore& settings)
    : m_settings(settings)
{
    CQalmetApp* pNone = nullptr;
    g_pInstance.compare_exchange_strong(pNone, this);
}

CQalmetApp::~CQalmetApp()
{
    // Attempts still waiting for their server end before anything else goes.
    m_arrAbandonedAttempts.clear();
    CQalmetApp* pThis = this;
    g_pInstance.compare_exchange_strong(pThis, nullptr);
}

CQalmetApp* CQalmetApp::GetInstance()
{
    return g_pInstance;
}

void CQalmetApp::InitInstance(const QLocale& locale)
{
    ReadLanguage(locale);
    m_param.LoadOptions(m_settings);
}

void CQalmetApp::ExitInstance()
{
    // Options first: they must survive whatever the clean-up meets.
    m_param.SaveOptions(m_settings);
    DeleteResultFile(RESULT_FILE_TABLES);
    DeleteResultFile(RESULT_FILE_ALIASES);
}

void CQalmetApp::ReadLanguage(const QLocale& locale)
{
    m_strLanguage = GetUserLanguage(m_strCountry, locale);
    SetInterfaceLanguage(m_strLanguage, m_strCountry);
}

CDBData* CQalmetApp::GetDatabase(int nIndex)
{
    if (nIndex < 0 || nIndex >= int(std::size(m_db)))
        return nullptr;
    return &m_db[nIndex];
}

void CQalmetApp::SetStatisticsOptions(int nDateMode, const QString& strField)
{
    m_statOptions.SetStatisticsOptions(nDateMode, strField);
}

// The steps around both tools: the result-file checks, the generation and
// the opening of the file it left, unless the run failed: an incomplete
// file is no result to show.
static void RunTool(CQalmetApp& app, const QString& strPath, int nTestLineKind, CPrompt& prompt,
                    const CTableGenerator& generator, const std::function<void()>& generate)
{
    if (!CResultFileChecks(prompt, app.GetResultWriter()).PrepareResultFile(strPath, nTestLineKind))
        return;
    generate();
    if (!generator.Failed() && QFileInfo::exists(strPath))
        app.OpenWithAssociatedProgram(strPath);
}

void CQalmetApp::RunDecimalUpdate(const QString& strPath, bool bByAlias, const QString& strName, bool bMultiply,
                                  int nPower, CMessageTarget* pWaitDlg, CPrompt& prompt)
{
    CDecimalUpdate generator(m_db[DB_TOOLS], m_resultWriter, prompt);
    RunTool(*this, strPath, LINE_DECIMAL_UPDATE, prompt, generator, [&] {
        generator.GenerateDecimalUpdate(strPath, bByAlias, strName, bMultiply, nPower, pWaitDlg);
    });
}

void CQalmetApp::RunStatistics(const QString& strPath, CMessageTarget* pWaitDlg, CPrompt& prompt)
{
    if (m_statOptions.m_nStatDateMode == STAT_DATE_FIELD) {
        const QString strRefusal = DateExpressionRefusal(m_statOptions.m_strStatField);
        if (!strRefusal.isEmpty()) {
            prompt.ShowMessage(strRefusal, CPrompt::Ok);
            return;
        }
    }
    CTableStatistics generator(m_db[DB_TOOLS], m_resultWriter, prompt, m_statOptions);
    RunTool(*this, strPath, LINE_NO_HEADER, prompt, generator,
            [&] { generator.GenerateStatistics(strPath, pWaitDlg); });
}

void CQalmetApp::SetStatisticsDateLocale(const QLocale& locale)
{
    m_statOptions.m_dateLocale = locale;
}

bool CQalmetApp::AppendResultLine(int nLineKind, const QString& strPath, const QString& strText,
                                  QString* pstrError) const
{
    return m_resultWriter.AppendResultLine(nLineKind, strPath, strText, pstrError);
}

QString CQalmetApp::MakeFileNameFromDsn(int nIndex)
{
    const CDBData* pDatabase = GetDatabase(nIndex);
    return pDatabase ? ::MakeFileNameFromDsn(pDatabase->m_strDSN) : QString();
}

QString CQalmetApp::GetDefaultResultPath(int nIndex, int nKind)
{
    return ::GetDefaultResultPath(m_settings.GetDefaultDirectory(), MakeFileNameFromDsn(nIndex), nKind);
}

QString CQalmetApp::GetDocumentPath(int nKind) const
{
    return FindCompanionFile(nKind, QCoreApplication::applicationDirPath(), m_strLanguage);
}

bool CQalmetApp::OpenWithAssociatedProgram(const QString& strPath)
{
    return m_pOpener->OpenWithAssociatedProgram(strPath);
}

bool CQalmetApp::OpenHelp()
{
    const QString strPath = GetDocumentPath(DOC_HELP);
    return !strPath.isEmpty() && OpenWithAssociatedProgram(strPath);
}

void CQalmetApp::SetShellOpener(std::unique_ptr<CShellOpener> pOpener)
{
    m_pOpener = pOpener ? std::move(pOpener) : std::make_unique<CShellOpener>();
}

QString CQalmetApp::GetDatabaseTitle(int nSide, const QString& strSchema)
{
    if (nSide != DB_LEFT && nSide != DB_RIGHT)
        return QString();
    QString strTitle = m_db[nSide].m_strDSN;
    if (!strSchema.isEmpty())
        strTitle += QStringLiteral(" (") + strSchema + u')';
    return strTitle;
}

QString CQalmetApp::GetCompareTitle(const QString& strLeftSchema, const QString& strRightSchema)
{
    return GetDatabaseTitle(DB_LEFT, strLeftSchema) + QStringLiteral(" / ")
           + GetDatabaseTitle(DB_RIGHT, strRightSchema);
}

CCompareResultFile* CQalmetApp::ResultFileOf(int nWhich)
{
    switch (nWhich) {
    case RESULT_FILE_TABLES:
        return &m_tableResults;
    case RESULT_FILE_ALIASES:
        return &m_aliasResults;
    default:
        return nullptr;
    }
}

QFile* CQalmetApp::CreateResultFile(int nWhich)
{
    CCompareResultFile* pFile = ResultFileOf(nWhich);
    return pFile ? pFile->CreateResultFile() : nullptr;
}

void CQalmetApp::DeleteResultFile(int nWhich)
{
    if (CCompareResultFile* pFile = ResultFileOf(nWhich))
        pFile->DeleteResultFile();
}

QFile* CQalmetApp::GetResultFile(int nWhich)
{
    CCompareResultFile* pFile = ResultFileOf(nWhich);
    return pFile ? pFile->GetFile() : nullptr;
}

void CQalmetApp::EnableDBSelection(bool bEnable)
{
    if (m_pMainFrame != nullptr)
        m_pMainFrame->EnableDBSelection(bEnable);
}

void CQalmetApp::UpdateLaunchButtons()
{
    if (m_pMainFrame != nullptr)
        m_pMainFrame->UpdateLaunchButtons();
}

void CQalmetApp::AddStructureWindow(ITableStructureWindow* pWindow)
{
    if (pWindow != nullptr && std::find(m_arrStructureWindows.begin(), m_arrStructureWindows.end(), pWindow)
                                  == m_arrStructureWindows.end())
        m_arrStructureWindows.push_back(pWindow);
}

void CQalmetApp::RemoveStructureWindow(ITableStructureWindow* pWindow)
{
    std::erase(m_arrStructureWindows, pWindow);
}

bool CQalmetApp::PreTranslateKeyDown(int nKey)
{
    if (m_pMainFrame != nullptr && m_pMainFrame->HandleKeyDown(nKey))
        return true;
    return std::any_of(m_arrStructureWindows.begin(), m_arrStructureWindows.end(),
                       [nKey](ITableStructureWindow* pWindow) { return pWindow->HandleKeyDown(nKey); });
}

void CQalmetApp::KeepAbandonedAttempt(std::unique_ptr<CConnectAttempt> pAttempt)
{
    std::erase_if(m_arrAbandonedAttempts, [](const auto& pKept) { return pKept->IsFinished(); });
    if (!pAttempt)
        return;
    pAttempt->Abandon();
    if (!pAttempt->IsFinished())
        m_arrAbandonedAttempts.push_back(std::move(pAttempt));
}

size_t CQalmetApp::GetAbandonedAttemptCount()
{
    std::erase_if(m_arrAbandonedAttempts, [](const auto& pKept) { return pKept->IsFinished(); });
    return m_arrAbandonedAttempts.size();
}
