#include "views/comparelauncher.h"

#include "app/qalmetapp.h"
#include "compare/zembraparam.h"
#include "views/basesplitwnd.h"
#include "views/comparealiasfrm.h"
#include "views/comparecolumnfrm.h"
#include "views/comparetablefrm.h"
#include "views/formdbselect.h"
#include "views/mainframe.h"

#include <algorithm>

// From the options to the end of the run: the panes of the comparison
// window refuse every click, even one made by program.
class CCompareLauncher::BusyScope
{
public:
    explicit BusyScope(CCompareLauncher& launcher) : m_launcher(launcher)
    {
        m_launcher.m_bBusy = true;
        m_launcher.m_mainFrame.GetSplitter()->setEnabled(false);
    }
    ~BusyScope()
    {
        m_launcher.m_bBusy = false;
        m_launcher.m_mainFrame.GetSplitter()->setEnabled(true);
    }

private:
    CCompareLauncher& m_launcher;
};

CCompareLauncher::CCompareLauncher(CMainFrame& mainFrame) : QObject(&mainFrame), m_mainFrame(mainFrame)
{
    connect(&mainFrame, &CMainFrame::compareTablesRequested, this, &CCompareLauncher::OnCompareTables);
    connect(&mainFrame, &CMainFrame::compareAliasesRequested, this, &CCompareLauncher::OnCompareAliases);
}

CCompareLauncher::~CCompareLauncher() = default;

CompareTitles CCompareLauncher::GetTitles() const
{
    CQalmetApp* pApp = CQalmetApp::GetInstance();
    if (pApp == nullptr)
        return {};
    return {pApp->GetDatabaseTitle(DB_LEFT, m_mainFrame.GetDBForm(DB_LEFT)->GetSchemaText()),
            pApp->GetDatabaseTitle(DB_RIGHT, m_mainFrame.GetDBForm(DB_RIGHT)->GetSchemaText())};
}

bool CCompareLauncher::EditComparisonOptions(const QList<int>& arrShown, const QList<int>& arrRequired)
{
    CQalmetApp* pApp = CQalmetApp::GetInstance();
    return pApp != nullptr
           && EditOptionsUntilOneSet(pApp->GetOptions(), arrShown, arrRequired, GetTitles(), &m_mainFrame);
}

void CCompareLauncher::OnCompareTables()
{
    CQalmetApp* pApp = CQalmetApp::GetInstance();
    if (m_bBusy || pApp == nullptr)
        return;
    BusyScope busy(*this);
    if (pApp->GetResultFile(RESULT_FILE_TABLES) == nullptr
        && !EditComparisonOptions({OPT_CASE_SENSITIVE, OPT_COMPARE_SQL_TYPES, OPT_SEPARATOR, OPT_SAME_SIZE_STRINGS_EQUAL},
                                  {}))
        return;
    OpenFrame(std::make_unique<CCompareTableFrm>(*this, &m_mainFrame));
}

void CCompareLauncher::OnCompareAliases()
{
    CQalmetApp* pApp = CQalmetApp::GetInstance();
    if (m_bBusy || pApp == nullptr)
        return;
    BusyScope busy(*this);
    if (pApp->GetResultFile(RESULT_FILE_ALIASES) == nullptr) {
        QList<int> arrShown{OPT_COMPARE_DTAT, OPT_COMPARE_DTAS};
        // A dictionary whose columns could not be read counts as one
        // without the product type.
        if (pApp->GetDatabase(DB_LEFT)->HasOwtpColumn().value_or(false)
            && pApp->GetDatabase(DB_RIGHT)->HasOwtpColumn().value_or(false))
            arrShown.append(OPT_COMPARE_OWTP);
        else
            pApp->GetOptions().SetOption(OPT_COMPARE_OWTP, false);
        arrShown << OPT_COMPARE_DTAD << OPT_COMPARE_CDEC;
        if (!EditComparisonOptions(arrShown, {OPT_COMPARE_DTAT, OPT_COMPARE_DTAS, OPT_COMPARE_OWTP, OPT_COMPARE_DTAD,
                                              OPT_COMPARE_CDEC}))
            return;
    }
    OpenFrame(std::make_unique<CCompareAliasFrm>(*this, &m_mainFrame));
}

void CCompareLauncher::OpenColumnFrame(int nTable)
{
    CQalmetApp* pApp = CQalmetApp::GetInstance();
    if (m_bBusy || pApp == nullptr || pApp->GetResultFile(RESULT_FILE_TABLES) == nullptr)
        return;
    const QString strTable = pApp->GetTableComparison().m_astrCompareTables.value(nTable);
    OpenFrame(std::make_unique<CCompareColumnFrm>(*this, nTable, &m_mainFrame), QStringLiteral(" - ") + strTable);
}

bool CCompareLauncher::OpenFrame(std::unique_ptr<CCompareFrm> pFrame, const QString& strSuffix)
{
    CCompareFrm* pWindow = pFrame.get();
    RegisterCompareFrame(pWindow);
    if (!pWindow->RunComparison() || !pWindow->CreateCompareFrame(GetTitles().CompareTitle() + strSuffix)) {
        UnregisterCompareFrame(pWindow);
        return false;
    }
    pFrame.release()->show();
    return true;
}

void CCompareLauncher::RegisterCompareFrame(CCompareFrm* pFrame)
{
    m_arrFrames.append(pFrame);
    m_mainFrame.EnableDBSelection(false);
}

void CCompareLauncher::UnregisterCompareFrame(CCompareFrm* pFrame)
{
    m_arrFrames.removeAll(pFrame);
    if (!m_arrFrames.isEmpty()) {
        m_mainFrame.activateWindow();
        return;
    }
    m_mainFrame.EnableDBSelection(true);
    m_mainFrame.activateWindow();
    if (CQalmetApp* pApp = CQalmetApp::GetInstance()) {
        pApp->DeleteResultFile(RESULT_FILE_TABLES);
        pApp->DeleteResultFile(RESULT_FILE_ALIASES);
    }
}

bool CCompareLauncher::HandleKeyDown(int nKey)
{
    return std::any_of(m_arrFrames.begin(), m_arrFrames.end(),
                       [nKey](CCompareFrm* pFrame) { return pFrame->HandleKeyDown(nKey); });
}

void CCompareLauncher::CloseAll()
{
    const QList<CCompareFrm*> arrFrames = m_arrFrames;
    m_arrFrames.clear();
    qDeleteAll(arrFrames);
    CQalmetApp* pApp = CQalmetApp::GetInstance();
    if (pApp == nullptr)
        return;
    pApp->DeleteResultFile(RESULT_FILE_TABLES);
    pApp->DeleteResultFile(RESULT_FILE_ALIASES);
    std::fill(std::begin(pApp->GetTableComparison().m_anTableCount), std::end(pApp->GetTableComparison().m_anTableCount), 0);
    std::fill(std::begin(pApp->GetAliasComparison().m_anAliasCount), std::end(pApp->GetAliasComparison().m_anAliasCount), 0);
}
