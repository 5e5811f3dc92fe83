#include "views/comparealiasfrm.h"

#include "app/qalmetapp.h"
#include "views/comparelauncher.h"
#include "views/dlgwaitzembra.h"
#include "views/formcomparealias.h"

bool CCompareAliasFrm::RunComparison()
{
    return ::RunComparison(COMPARE_ALIASES, parentWidget());
}

CFormCompare* CCompareAliasFrm::CreateForm()
{
    CQalmetApp* pApp = CQalmetApp::GetInstance();
    return new CFormCompareAlias(pApp->GetAliasComparison(), pApp->GetOptions(), m_launcher.GetTitles(), this);
}
