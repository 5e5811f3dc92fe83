#include "views/comparecolumnfrm.h"

#include "app/qalmetapp.h"
#include "views/comparelauncher.h"
#include "views/formcomparecolumn.h"

CCompareColumnFrm::CCompareColumnFrm(CCompareLauncher& launcher, int nTable, QWidget* pParent)
    : CCompareFrm(launcher, pParent),
      m_nTable(nTable)
{
}

bool CCompareColumnFrm::LimitWidth() const
{
    CQalmetApp* pApp = CQalmetApp::GetInstance();
    return pApp == nullptr || !pApp->GetOptions().IsOptionSet(OPT_COMPARE_SQL_TYPES);
}

CFormCompare* CCompareColumnFrm::CreateForm()
{
    CQalmetApp* pApp = CQalmetApp::GetInstance();
    return new CFormCompareColumn(pApp->GetTableComparison(), pApp->GetOptions(), m_nTable, m_launcher.GetTitles(),
                                  this);
}
