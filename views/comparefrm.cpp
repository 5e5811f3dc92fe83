#include "views/comparefrm.h"

#include "res/resourceimages.h"
#include "views/comparelauncher.h"
#include "views/formcompare.h"
#include "views/windowplacement.h"

#include <QCloseEvent>
#include <QVBoxLayout>

CCompareFrm::CCompareFrm(CCompareLauncher& launcher, QWidget* pParent)
    : QWidget(pParent, Qt::Window),
      m_launcher(launcher)
{
    setAttribute(Qt::WA_DeleteOnClose);
}

CCompareFrm::~CCompareFrm() = default;

bool CCompareFrm::RunComparison()
{
    return true;
}

bool CCompareFrm::CreateCompareFrame(const QString& strTitle)
{
    m_pForm = CreateForm();
    if (m_pForm == nullptr)
        return false;
    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->addWidget(m_pForm);
    setWindowTitle(strTitle);
    setWindowIcon(LoadAppIcon());
    m_pForm->setWindowTitle(strTitle);
    if (!m_pForm->Create())
        return false;
    setMinimumSize(kMinTrackSize);
    if (LimitWidth())
        setMaximumWidth(kMaxLimitedWidth);
    RestoreWindowPlacement(this, GetPlacementIndex());
    return true;
}

bool CCompareFrm::HandleKeyDown(int nKey)
{
    return m_pForm != nullptr && m_pForm->HandleKeyDown(nKey);
}

void CCompareFrm::closeEvent(QCloseEvent* pEvent)
{
    // The run in progress may be writing the result this window reads.
    if (m_launcher.IsBusy()) {
        pEvent->ignore();
        return;
    }
    SaveWindowPlacement(this, GetPlacementIndex());
    m_launcher.UnregisterCompareFrame(this);
    QWidget::closeEvent(pEvent);
}
