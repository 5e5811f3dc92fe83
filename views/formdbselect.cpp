#include "views/formdbselect.h"

#include "app/connectattempt.h"
#include "app/formattext.h"
#include "app/language.h"
#include "app/qalmetapp.h"
#include "controls/dialogbuilder.h"
#include "controls/dlgdatasources.h"
#include "controls/guiprompt.h"
#include "controls/windowfunctions.h"
#include "db/asciitext.h"
#include "db/dbdata.h"
#include "res/dialogtemplates.h"
#include "res/resourceimages.h"
#include "res/stringids.h"
#include "views/dlgwaitcatalog.h"
#include "views/findnextrow.h"
#include "views/tablestructfrm.h"
#include "views/zembralistctrl.h"

#include <QComboBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

#include <algorithm>

namespace {

QPixmap SharedImage(int nImage)
{
    const QList<QPixmap>& images = SharedImageList();
    return nImage >= 0 && nImage < images.size() ? images[nImage] : QPixmap();
}

}  // namespace

CFormDBSelect::CFormDBSelect(QWidget* pParent) : CZembraFormView(MapResourceId(DialogId::DatabaseSelect), pParent)
{
}

CFormDBSelect::~CFormDBSelect()
{
    StopWork();
}

QWidget* CFormDBSelect::CreateControl(const ControlTemplate& control, QWidget* pParent)
{
    if (control.nId == IDC_ITEM_LIST)
        return new CZembraListCtrl(CZembraListCtrl::TOOLTIP_NONE, pParent);
    return nullptr;
}

void CFormDBSelect::OnInitialUpdate()
{
    CZembraFormView::OnInitialUpdate();
    m_stcIcon = FindDlgItem<QLabel>(this, IDC_DSN_ICON);
    m_cbSchema = FindDlgItem<QComboBox>(this, IDC_SCHEMA_COMBO);
    m_lstTables = FindDlgItem<CZembraListCtrl>(this, IDC_ITEM_LIST);
    m_edtFilter = FindDlgItem<QLineEdit>(this, IDC_SEARCH_TEXT);
    m_stcStatus = FindDlgItem<QLabel>(this, IDC_DB_STATUS);
    m_stcStatus->setWordWrap(true);
    m_stcStatus->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_stcStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);

    if (m_lstTables->GetColumnCount() == 0)
        m_lstTables->InsertColumn(0, QString());
    m_lstTables->SetImageList(SharedImageList());
    m_lstTables->SetItemSource(this);
    m_lstTables->setAccessibleName(LoadLangString(StringId::TableList));
    connect(m_lstTables->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { UpdateStructureButton(); });
    connect(m_lstTables, &QAbstractItemView::doubleClicked, this, [this] { OnShowStructure(); });

    SetUpSearchField(*m_edtFilter, *FindDlgItem<QPushButton>(this, IDC_SEARCH));

    m_cbSchema->setAccessibleName(LoadLangString(StringId::SchemaChoice));
    // activated, not currentIndexChanged: choosing the same schema again
    // reads its tables again, after a failed read for instance.
    connect(m_cbSchema, &QComboBox::activated, this, [this](int nItem) { OnSchemaChange(nItem); });

    UpdateControls(true);
}

void CFormDBSelect::SetSide(int nSide)
{
    m_nSide = nSide;
    CQalmetApp* pApp = CQalmetApp::GetInstance();
    m_pDB = pApp != nullptr ? pApp->GetDatabase(nSide) : nullptr;
    setAccessibleName(LoadLangString(nSide == 0 ? StringId::LeftDatabase : StringId::RightDatabase));
    if (m_pDB != nullptr && !m_pDB->m_strDSN.isEmpty())
        SelectDataSource(m_pDB->m_strDSN, m_pDB->m_bSystemDSN ? 1 : 0, false);
    else
        UpdateControls(false);
}

void CFormDBSelect::SelectDataSource(const QString& strName, int nKind, bool bUserAsked)
{
    if (m_pDB == nullptr || IsBusy())
        return;
    m_pDB->m_strDSN = strName;
    m_pDB->m_bSystemDSN = nKind == 1;
    const int nImage = m_pDB->m_bSystemDSN ? IMG_COMPUTER : IMG_USER;
    m_stcIcon->setPixmap(SharedImage(nImage));
    m_stcIcon->setAccessibleName(
        LoadLangString(m_pDB->m_bSystemDSN ? StringId::SystemDataSource : StringId::UserDataSource));
    m_stcIcon->show();
    ShowDataSourceName();
    OnConnect(bUserAsked);
}

void CFormDBSelect::ShowDataSourceName()
{
    auto* pName = FindDlgItem<QLabel>(this, IDC_DSN_NAME);
    if (pName == nullptr || m_pDB == nullptr)
        return;
    // A name longer than its place is cut with "..."; the whole name stays
    // in the tooltip and for screen readers.
    pName->setText(MakeShortString(pName->fontMetrics(), m_pDB->m_strDSN, pName->width(), 0));
    pName->setToolTip(m_pDB->m_strDSN);
    pName->setAccessibleName(m_pDB->m_strDSN);
}

void CFormDBSelect::EnableSelection(bool bEnable)
{
    for (int nId : {IDC_DSN_CHOOSE, IDC_DSN_ICON, IDC_DSN_NAME, IDC_CONNECT, IDC_SCHEMA_COMBO})
        EnableControl(GetDlgItem(nId), bEnable);
}

QString CFormDBSelect::GetSchemaText() const
{
    if (m_cbSchema == nullptr || m_cbSchema->count() <= 1 || m_cbSchema->currentIndex() < 0)
        return QString();
    return m_cbSchema->currentText();
}

void CFormDBSelect::OnCommand(int nId)
{
    switch (nId) {
    case IDC_DSN_CHOOSE:
        OnDataSource();
        break;
    case IDC_CONNECT:
        OnConnect(true);
        break;
    case IDC_SEARCH:
        FindNext();
        break;
    case IDC_SHOW_STRUCTURE:
        OnShowStructure();
        break;
    default:
        CZembraFormView::OnCommand(nId);
        break;
    }
}

void CFormDBSelect::OnDataSource()
{
    if (m_pDB == nullptr || IsBusy())
        return;
    QString strName = m_pDB->m_strDSN;
    int nKind = m_pDB->m_bSystemDSN ? 1 : 0;
    CDlgDataSources dlg(&strName, &nKind, this);
    if (dlg.DoModal() == 1)
        SelectDataSource(strName, nKind, true);
}

void CFormDBSelect::OnConnect(bool bUserAsked)
{
    if (m_pDB == nullptr || IsBusy())
        return;
    ClearTables();
    m_strStatus.clear();
    // The old connection is closed first, whatever comes of the new one.
    m_pDB->m_pDatabase.reset();
    m_pDB->m_strSchema.clear();
    m_bConnecting = true;
    m_pAttempt = std::make_unique<CConnectAttempt>(m_pDB->m_strDSN);
    StartWork(new CDlgWaitCatalog(*m_pAttempt, *m_pDB, this), bUserAsked);
}

void CFormDBSelect::OnSchemaChange(int nItem)
{
    if (m_pDB == nullptr || IsBusy() || nItem < 0)
        return;
    ShowTableControls(false);
    m_lstTables->DeleteAllItems();
    m_strStatus.clear();
    const int nIndex = m_cbSchema->itemData(nItem).toInt();
    m_pDB->m_strSchema = m_cbSchema->count() > 1 && nIndex >= 0 && nIndex < m_arrSchemas.size()
                             ? m_arrSchemas[nIndex]
                             : QString();
    StartWork(new CDlgWaitCatalog(*m_pDB, this), true);
}

void CFormDBSelect::StartWork(CDlgWaitCatalog* pWait, bool bUserAsked)
{
    m_pWait = pWait;
    m_bReportFailure = bUserAsked;
    UpdateControls(false);
    connect(pWait, &QDialog::finished, this, &CFormDBSelect::OnWorkEnded);
    if (!pWait->Create()) {
        delete pWait;
        return;
    }
    // Modal to the comparison window, without a loop of its own: the
    // window can still go while the work runs (it stops the work then).
    pWait->open();
}

void CFormDBSelect::OnWorkEnded()
{
    CDlgWaitCatalog* pWait = m_pWait;
    m_pWait = nullptr;
    if (pWait == nullptr)
        return;
    m_bConnecting = false;
    const bool bConnecting = pWait->ConnectsFirst();
    if (bConnecting)
        TakeSchemas(*pWait);
    if (pWait->m_bTablesLoaded) {
        m_lstTables->SetItems(pWait->m_arrTableItems);
        ShowTableControls(true);
        AdjustColumnWidth();
    } else if (pWait->m_nFailure != CDlgWaitCatalog::FAILED_NONE) {
        m_strStatus = FailureText(*pWait);
        // The rows named tables of a list that is gone.
        m_lstTables->DeleteAllItems();
        // A catalog that could not be read is no connection to work on (the
        // server may have dropped it): it is closed, and the Connection
        // button offers another attempt.
        m_pDB->m_pDatabase.reset();
    }
    // The worker has ended: the dialog no longer needs the attempt, which
    // may go before the dialog does.
    pWait->m_pConnectAttempt = nullptr;
    ReleaseAttempt();
    pWait->deleteLater();
    UpdateControls(true);
    if (m_bReportFailure && !m_strStatus.isEmpty())
        CGuiPrompt().ShowMessage(m_strStatus, CPrompt::Ok);
    emit workFinished();
}

void CFormDBSelect::TakeSchemas(const CDlgWaitCatalog& wait)
{
    const QSignalBlocker blocker(m_cbSchema);
    m_cbSchema->clear();
    m_arrSchemas = wait.m_arrSchemaKeys;
    if (!wait.m_bSchemasRead)
        return;
    // A sorted drop-down list: each item in its place by its text.
    QList<QPair<QString, int>> items = wait.m_arrSchemaItems;
    std::stable_sort(items.begin(), items.end(),
                     [](const auto& a, const auto& b) { return a.first.compare(b.first, Qt::CaseInsensitive) < 0; });
    for (const auto& [strText, nIndex] : items)
        m_cbSchema->addItem(strText, nIndex);
    m_cbSchema->setCurrentIndex(-1);
}

QString CFormDBSelect::FailureText(const CDlgWaitCatalog& wait) const
{
    switch (wait.m_nFailure) {
    case CDlgWaitCatalog::FAILED_CONNECTION:
        // Nothing to say when the user gave up or cancelled the driver's login.
        if (m_pAttempt == nullptr || !m_pAttempt->IsFinished() || m_pAttempt->Succeeded() ||
            m_pAttempt->GetLastError().isEmpty())
            return QString();
        return FormatLangString(StringId::ConnectionFailed, {m_pAttempt->GetLastError()});
    case CDlgWaitCatalog::FAILED_SCHEMAS:
        return FormatLangString(StringId::SchemaListFailed, {wait.m_strError});
    case CDlgWaitCatalog::FAILED_TABLES:
        return FormatLangString(StringId::TableListFailed, {wait.m_strError});
    default:
        return QString();
    }
}

void CFormDBSelect::ReleaseAttempt()
{
    if (!m_pAttempt)
        return;
    // Whatever was not taken is closed; an attempt whose driver still
    // waits closes its connection when it ends.
    if (CQalmetApp* pApp = CQalmetApp::GetInstance())
        pApp->KeepAbandonedAttempt(std::move(m_pAttempt));
    m_pAttempt.reset();
}

bool CFormDBSelect::IsBusy() const
{
    return m_pWait != nullptr;
}

void CFormDBSelect::StopWork()
{
    CDlgWaitCatalog* pWait = m_pWait;
    m_pWait = nullptr;
    if (pWait != nullptr) {
        disconnect(pWait, nullptr, this, nullptr);
        pWait->Stop();
        delete pWait;
        m_bConnecting = false;
        if (m_pDB != nullptr)
            m_pDB->m_bTableListShown = false;
    }
    ReleaseAttempt();
}

void CFormDBSelect::ClearTables()
{
    ShowTableControls(false);
    m_lstTables->DeleteAllItems();
    const QSignalBlocker blocker(m_cbSchema);
    m_cbSchema->clear();
    m_arrSchemas.clear();
}

void CFormDBSelect::UpdateControls(bool bKeepTables)
{
    if (m_pDB == nullptr)
        return;
    const bool bNamed = !m_pDB->m_strDSN.isEmpty();
    // The worker owns the data source object until it has ended.
    const bool bOpen = !IsBusy() && bNamed && m_pDB->IsConnected();
    GetDlgItem(IDC_DSN_ICON)->setVisible(bNamed);
    GetDlgItem(IDC_DSN_NAME)->setVisible(bNamed);
    GetDlgItem(IDC_CONNECT)->setVisible(!IsBusy() && bNamed && !bOpen);
    m_cbSchema->setVisible(bOpen && m_cbSchema->count() > 1);
    if (!bKeepTables || m_lstTables->GetItemCount() == 0)
        ShowTableControls(false);
    update();
}

void CFormDBSelect::ShowTableControls(bool bShow)
{
    for (int nId : {IDC_SEARCH_TEXT, IDC_SEARCH, IDC_ITEM_LIST, IDC_SHOW_STRUCTURE})
        GetDlgItem(nId)->setVisible(bShow);
    m_stcStatus->setText(m_strStatus);
    m_stcStatus->setVisible(!bShow && !m_strStatus.isEmpty() && !IsBusy());
    UpdateStructureButton();
    if (m_pDB == nullptr)
        return;
    m_pDB->m_bTableListShown = bShow;
    if (CQalmetApp* pApp = CQalmetApp::GetInstance())
        pApp->UpdateLaunchButtons();
}

void CFormDBSelect::UpdateStructureButton()
{
    EnableControl(GetDlgItem(IDC_SHOW_STRUCTURE), !m_lstTables->isHidden() && m_lstTables->GetSelectedRow() >= 0);
}

void CFormDBSelect::AdjustColumnWidth()
{
    if (m_lstTables != nullptr && m_lstTables->GetColumnCount() == 1)
        m_lstTables->SetColumnWidth(0, m_lstTables->viewport()->width() - 1);
}

void CFormDBSelect::FindNext()
{
    SearchNextRow(*m_edtFilter, *m_lstTables, [this](int nItemData, const QString& strLower) {
        return m_pDB != nullptr && m_pDB->TableMatchesSearch(nItemData, strLower);
    });
}

bool CFormDBSelect::HandleKeyDown(int nKey)
{
    if (!IsSearchKey(nKey, m_edtFilter))
        return false;
    FindNext();
    return true;
}

bool CFormDBSelect::GetSelectedTable(QString& strTable, bool& bView) const
{
    const int nRow = m_lstTables->GetSelectedRow();
    if (m_pDB == nullptr || nRow < 0)
        return false;
    const int nItem = m_lstTables->GetItemData(nRow);
    strTable = m_pDB->GetTableName(nItem);
    bView = m_pDB->IsView(nItem);
    return !strTable.isEmpty();
}

void CFormDBSelect::OnShowStructure()
{
    QString strTable;
    bool bView = false;
    if (!GetSelectedTable(strTable, bView))
        return;
    CTableStructFrm::Open(bView ? IMG_VIEW : IMG_TABLE, m_nSide, strTable, this);
    emit showStructureRequested(m_nSide, strTable, bView);
}

QString CFormDBSelect::GetItemText(int nItem, int nColumn) const
{
    if (m_pDB == nullptr || nColumn != 0)
        return QString();
    return m_pDB->GetTableName(nItem);
}

int CFormDBSelect::GetItemImage(int nItem) const
{
    if (m_pDB == nullptr)
        return -1;
    return m_pDB->IsView(nItem) ? IMG_VIEW : IMG_TABLE;
}

void CFormDBSelect::RecalcLayout(int cx, int cy)
{
    CZembraFormView::RecalcLayout(cx, cy);
    QWidget* pChoose = GetDlgItem(IDC_DSN_CHOOSE);
    if (pChoose == nullptr)
        return;
    // The top moves to the margin, the bottom stays where the template put it.
    const int nBottom = pChoose->geometry().bottom();
    pChoose->setGeometry(QRect(QPoint(kMargin, kMargin), QPoint(kMargin + pChoose->width() - 1, nBottom)));
    if (m_nSepY < 0)
        m_nSepY = nBottom + 1 + kMargin;

    for (int nId : {IDC_DSN_NAME, IDC_SCHEMA_COMBO}) {
        QWidget* pControl = GetDlgItem(nId);
        pControl->resize(std::max(0, std::min(cx - kMargin, pControl->x() + 400) - pControl->x()), pControl->height());
    }
    ShowDataSourceName();

    QWidget* pSearch = GetDlgItem(IDC_SEARCH);
    const int nTop = m_nSepY + 18;
    pSearch->move(cx - kMargin - pSearch->width(), nTop);
    m_edtFilter->setGeometry(kMargin, nTop, std::max(0, pSearch->x() - 1 - kMargin), m_edtFilter->height());
    const int nListTop = pSearch->y() + pSearch->height() + kMargin;
    m_lstTables->setGeometry(kMargin, nListTop, std::max(0, cx - 2 * kMargin),
                             std::max(0, cy - 18 - pSearch->height() - nListTop));
    QWidget* pStructure = GetDlgItem(IDC_SHOW_STRUCTURE);
    pStructure->move(cx - kMargin - pStructure->width(), cy - kMargin - pStructure->height());
    // The reason for a missing list takes the list's place.
    m_stcStatus->setGeometry(kMargin, nTop, std::max(0, cx - 2 * kMargin), std::max(0, cy - kMargin - nTop));
    AdjustColumnWidth();
}

void CFormDBSelect::OnDraw(QPainter& painter)
{
    CZembraFormView::OnDraw(painter);
    if (m_nSepY <= 0)
        return;
    painter.setPen(QPen(kAccentColor, 1));
    painter.drawLine(30, m_nSepY, width() - 30, m_nSepY);
}
