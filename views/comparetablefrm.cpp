#include "views/comparetablefrm.h"

#include "app/qalmetapp.h"
#include "views/comparelauncher.h"
#include "views/dlgwaitzembra.h"
#include "views/formcomparetable.h"

bool CCompareTableFrm::RunComparison()
{
    return ::RunComparison(COMPARE_TABLES, parentWidget());
}

CFormCompare* CCompareTableFrm::CreateForm()
{
    CQalmetApp* pApp = CQalmetApp::GetInstance();
    auto* pForm = new CFormCompareTable(pApp->GetTableComparison(), pApp->GetOptions(), m_launcher.GetTitles(), this);
    connect(pForm, &CFormCompare::showDetailsRequested, this, [this](int nTable) { m_launcher.OpenColumnFrame(nTable); });
    return pForm;
}
