#include "views/formgen.h"

#include "app/language.h"
#include "app/qalmetapp.h"
#include "controls/logobutton.h"
#include "controls/windowfunctions.h"
#include "db/dbdata.h"
#include "res/dialogtemplates.h"

CFormGen::CFormGen(QWidget* pParent) : CZembraFormView(MapResourceId(DialogId::Launcher), pParent)
{
    m_pBkBrush = std::make_unique<QBrush>(kBandColor);
}

void CFormGen::OnInitialUpdate()
{
    // No export button: the launcher takes its logo itself.
    if (!m_bInitDone)
        AttachLogo();
    CZembraFormView::OnInitialUpdate();
    EnableButtons();
}

void CFormGen::EnableButtons()
{
    CQalmetApp* pApp = CQalmetApp::GetInstance();
    const CDBData* pLeft = pApp != nullptr ? pApp->GetDatabase(DB_LEFT) : nullptr;
    const CDBData* pRight = pApp != nullptr ? pApp->GetDatabase(DB_RIGHT) : nullptr;
    const bool bTables = pLeft != nullptr && pRight != nullptr && pLeft->m_bTableListShown && pRight->m_bTableListShown;
    const bool bAliases = bTables && !pLeft->m_strDDTable.isEmpty() && !pRight->m_strDDTable.isEmpty();
    EnableControl(GetDlgItem(IDC_COMPARE_TABLES), bTables);
    EnableControl(GetDlgItem(IDC_COMPARE_ALIASES), bAliases);
}

void CFormGen::OnCommand(int nId)
{
    if (nId == IDC_COMPARE_TABLES)
        emit compareTablesRequested();
    else if (nId == IDC_COMPARE_ALIASES)
        emit compareAliasesRequested();
    else
        CZembraFormView::OnCommand(nId);
}

void CFormGen::RecalcLayout(int cx, int cy)
{
    CZembraFormView::RecalcLayout(cx, cy);
    QWidget* pTables = GetDlgItem(IDC_COMPARE_TABLES);
    QWidget* pAliases = GetDlgItem(IDC_COMPARE_ALIASES);
    if (pTables == nullptr || pAliases == nullptr)
        return;
    emit launcherHeightChanged(pTables->height() + 18);
    pTables->move(kMargin, (cy - pTables->height()) / 2);
    if (m_pLogo != nullptr)
        m_pLogo->setGeometry(cx - kMargin - kLogoWidth, (cy - kLogoHeight) / 2, kLogoWidth, kLogoHeight);
    pAliases->move(pAliases->width() + 18, (cy - pAliases->height()) / 2);
}
