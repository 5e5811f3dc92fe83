#include "views/mainframe.h"

#include "app/language.h"
#include "app/placementtext.h"
#include "app/qalmetapp.h"
#include "db/dbdata.h"
#include "res/resourceimages.h"
#include "res/stringids.h"
#include "views/comparelauncher.h"
#include "views/dblistsplitwnd.h"
#include "views/formdbselect.h"
#include "views/formgen.h"
#include "views/tablestructfrm.h"
#include "views/windowplacement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

#include <algorithm>

CMainFrame::CMainFrame(QWidget* pOwner) : QWidget(pOwner != nullptr ? pOwner->window() : nullptr, Qt::Window)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(LoadLangString(StringId::ProductName));
    setWindowIcon(LoadAppIcon());
    setMinimumSize(kMinWidth, kMinHeight);

    m_pSplitter = new CBaseSplitWnd(Qt::Vertical, this);
    m_pDBSplitter = new CDBListSplitWnd(m_pSplitter);
    m_pSplitter->addWidget(m_pDBSplitter);
    m_pLauncher = new CFormGen(m_pSplitter);
    m_pSplitter->addWidget(m_pLauncher);
    for (CFormDBSelect*& pForm : m_pForms) {
        pForm = new CFormDBSelect(m_pDBSplitter);
        m_pDBSplitter->addWidget(pForm);
        pForm->Create();
    }
    connect(m_pLauncher, &CFormGen::launcherHeightChanged, this, [this](int nHeight) { m_nLauncherHeight = nHeight; });
    connect(m_pLauncher, &CFormGen::compareTablesRequested, this, &CMainFrame::compareTablesRequested);
    connect(m_pLauncher, &CFormGen::compareAliasesRequested, this, &CMainFrame::compareAliasesRequested);
    m_pLauncher->Create();
    m_pCompareLauncher = new CCompareLauncher(*this);
    ComputeOverhead();
    // Every key of the application passes here first: Enter in a search
    // field searches, whichever widget would take it otherwise.
    qApp->installEventFilter(this);
}

CMainFrame::~CMainFrame()
{
    qApp->removeEventFilter(this);
    Leave();
}

void CMainFrame::Open()
{
    // Modal over the main dialog without a loop of its own: the main
    // dialog stays enabled, so this window, its child, stays usable too.
    setWindowModality(Qt::ApplicationModal);
    RestorePlacement();
    show();
    if (CQalmetApp* pApp = CQalmetApp::GetInstance()) {
        pApp->SetMainFrame(this);
        pApp->GetDatabase(DB_LEFT)->CopyDataSource(*pApp->GetDatabase(DB_TOOLS));
    }
    // The sides connect once the window shows.
    QMetaObject::invokeMethod(this, &CMainFrame::ConnectSides, Qt::QueuedConnection);
}

void CMainFrame::ConnectSides()
{
    if (m_bLeft)
        return;
    m_pForms[0]->SetSide(0);
    // One worker at a time: the right side waits for the left one.
    if (m_pForms[0]->IsBusy()) {
        connect(m_pForms[0], &CFormDBSelect::workFinished, this, [this] { m_pForms[1]->SetSide(1); },
                Qt::SingleShotConnection);
    } else {
        m_pForms[1]->SetSide(1);
    }
}

CFormDBSelect* CMainFrame::GetDBForm(int nSide) const
{
    return nSide == 0 || nSide == 1 ? m_pForms[nSide] : nullptr;
}

void CMainFrame::ComputeOverhead()
{
    m_cxOverhead = m_pDBSplitter->handleWidth();
    m_cyOverhead = m_pSplitter->handleWidth();
}

int CMainFrame::DatabaseRowHeight(int cy, int nLauncherHeight, int nOverhead)
{
    return std::max(0, cy - nLauncherHeight - nOverhead);
}

int CMainFrame::LeftFormWidth(int cx, int nOverhead)
{
    return std::max(0, (cx - nOverhead) / 2);
}

void CMainFrame::resizeEvent(QResizeEvent* pEvent)
{
    QWidget::resizeEvent(pEvent);
    LayoutPanes();
}

void CMainFrame::showEvent(QShowEvent* pEvent)
{
    QWidget::showEvent(pEvent);
    // The splitters have taken their first size only now, spreading their
    // panes their own way.
    LayoutPanes();
}

void CMainFrame::LayoutPanes()
{
    const int cx = width();
    const int cy = height();
    m_pSplitter->setGeometry(rect());
    const int nRow = DatabaseRowHeight(cy, m_nLauncherHeight, m_cyOverhead);
    m_pSplitter->setSizes({nRow, std::max(0, cy - m_cyOverhead - nRow)});
    const int nLeft = LeftFormWidth(cx, m_cxOverhead);
    m_pDBSplitter->setSizes({nLeft, std::max(0, cx - m_cxOverhead - nLeft)});
    m_pSplitter->update();
}

void CMainFrame::RestorePlacement()
{
    RestoreWindowPlacement(this, -1);
}

void CMainFrame::SavePlacement()
{
    SaveWindowPlacement(this, -1);
}

void CMainFrame::closeEvent(QCloseEvent* pEvent)
{
    // A run in progress uses both sides and ends in a result window of
    // this one: the window stays until it has ended.
    if (m_pCompareLauncher->IsBusy()) {
        pEvent->ignore();
        return;
    }
    Leave();
    QWidget::closeEvent(pEvent);
}

void CMainFrame::Leave()
{
    if (m_bLeft)
        return;
    m_bLeft = true;
    // The workers end before anything they write into goes.
    for (CFormDBSelect* pForm : m_pForms) {
        pForm->StopWork();
        // No list is shown once the window is gone: the next window's
        // launcher starts from nothing.
        if (CDBData* pDB = pForm->GetDatabase())
            pDB->m_bTableListShown = false;
    }
    m_pCompareLauncher->CloseAll();
    // The structure windows opened from the sides go with the window.
    for (CTableStructFrm* pStructure : findChildren<CTableStructFrm*>())
        pStructure->close();
    if (isVisible())
        SavePlacement();
    CQalmetApp* pApp = CQalmetApp::GetInstance();
    if (pApp != nullptr && pApp->GetMainFrame() == this)
        pApp->SetMainFrame(nullptr);
    if (QWidget* pOwner = parentWidget()) {
        pOwner->activateWindow();
    }
}

void CMainFrame::EnableDBSelection(bool bEnable)
{
    for (CFormDBSelect* pForm : m_pForms)
        pForm->EnableSelection(bEnable);
}

void CMainFrame::UpdateLaunchButtons()
{
    m_pLauncher->EnableButtons();
}

bool CMainFrame::HandleKeyDown(int nKey)
{
    return std::any_of(std::begin(m_pForms), std::end(m_pForms),
                       [nKey](CFormDBSelect* pForm) { return pForm->HandleKeyDown(nKey); })
           || m_pCompareLauncher->HandleKeyDown(nKey);
}

bool CMainFrame::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    if (pEvent->type() == QEvent::KeyPress && !m_bLeft) {
        CQalmetApp* pApp = CQalmetApp::GetInstance();
        if (pApp != nullptr && pApp->PreTranslateKeyDown(static_cast<QKeyEvent*>(pEvent)->key()))
            return true;
    }
    return QWidget::eventFilter(pWatched, pEvent);
}
