#include "views/tablestructfrm.h"

#include "app/formattext.h"
#include "app/qalmetapp.h"
#include "controls/guiprompt.h"
#include "res/resourceimages.h"
#include "res/stringids.h"
#include "views/formdbselect.h"
#include "views/formtablestruct.h"
#include "views/windowplacement.h"

#include <QCloseEvent>
#include <QVBoxLayout>

CTableStructFrm::CTableStructFrm(int nImage, int nSide, const QString& strTable, CFormDBSelect* pOwnerForm)
    : QWidget(pOwnerForm, Qt::Window),
      m_nSide(nSide),
      m_strTable(strTable),
      m_pOwnerForm(pOwnerForm)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(strTable);
    setWindowIcon(QIcon(SharedImageList().value(nImage)));
}

CTableStructFrm::~CTableStructFrm()
{
    Leave();
}

CTableStructFrm* CTableStructFrm::Open(int nImage, int nSide, const QString& strTable, CFormDBSelect* pOwnerForm)
{
    auto* pFrame = new CTableStructFrm(nImage, nSide, strTable, pOwnerForm);
    if (!pFrame->Create()) {
        const QString strReason = pFrame->m_pForm != nullptr ? pFrame->m_pForm->GetReadError() : QString();
        delete pFrame;
        CGuiPrompt().ShowMessage(FormatLangString(StringId::StructureReadFailed, {strTable, strReason}), CPrompt::Ok);
        return nullptr;
    }
    return pFrame;
}

bool CTableStructFrm::Create()
{
    m_pForm = new CFormTableStruct(*this);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->addWidget(m_pForm);
    if (!m_pForm->Create() || !m_pForm->IsStructureRead())
        return false;
    setMinimumSize(kMinTrackSize);
    setMaximumWidth(kMaxTrackWidth);
    RestoreWindowPlacement(this, kPlacementIndex);
    show();
    if (CQalmetApp* pApp = CQalmetApp::GetInstance()) {
        pApp->AddStructureWindow(this);
        m_bListed = true;
    }
    return true;
}

bool CTableStructFrm::HandleKeyDown(int nKey)
{
    return m_pForm != nullptr && m_pForm->HandleKeyDown(nKey);
}

void CTableStructFrm::closeEvent(QCloseEvent* pEvent)
{
    if (m_pOwnerForm != nullptr) {
        m_pOwnerForm->activateWindow();
        m_pOwnerForm->setFocus();
    }
    Leave();
    QWidget::closeEvent(pEvent);
}

void CTableStructFrm::Leave()
{
    // Only a window that was shown has a placement to store.
    if (!m_bListed)
        return;
    m_bListed = false;
    SaveWindowPlacement(this, kPlacementIndex);
    if (CQalmetApp* pApp = CQalmetApp::GetInstance())
        pApp->RemoveStructureWindow(this);
}
