#include "views/formtablestruct.h"

#include "app/language.h"
#include "app/qalmetapp.h"
#include "compare/structureexport.h"
#include "compare/zembraparam.h"
#include "controls/dialogbuilder.h"
#include "controls/tabctrlex.h"
#include "controls/waitcursor.h"
#include "controls/windowfunctions.h"
#include "db/dbdata.h"
#include "res/dialogtemplates.h"
#include "res/resourceimages.h"
#include "res/stringids.h"
#include "views/dlgparams.h"
#include "views/findnextrow.h"
#include "views/formdbselect.h"
#include "views/tablestructfrm.h"
#include "views/zembralistctrl.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>

#include <algorithm>

namespace {

// The column titles of the two lists: the same in both languages, and
// hidden by the list style.
const char* const kFieldColumns[] = {"Nom", "Type"};
const char* const kIndexColumns[] = {"Nom", "Champ", "Ordre"};

enum : int
{
    TAB_FIELDS = 0,
    TAB_INDEXES = 1,
};

// The label's left edge, right of the data source icon.
constexpr int kLabelLeft = 30;
// The tab control's top, under the icon and the label.
constexpr int kTabTop = 34;

void InsertColumns(CZembraListCtrl& list, std::span<const char* const> arrTitles)
{
    for (const char* pszTitle : arrTitles)
        list.InsertColumn(list.GetColumnCount(), QString::fromLatin1(pszTitle));
    // The last column takes whatever the others leave of the client width.
    list.header()->setStretchLastSection(true);
}

}  // namespace

CFormTableStruct::CFormTableStruct(CTableStructFrm& frame)
    : CZembraFormView(MapResourceId(DialogId::TableStructure), &frame),
      m_frame(frame)
{
}

CFormTableStruct::~CFormTableStruct() = default;

QWidget* CFormTableStruct::CreateControl(const ControlTemplate& control, QWidget* pParent)
{
    switch (control.nId) {
    case IDC_STRUCTURE_TAB:
        return new CTabCtrlEx(pParent);
    case IDC_FIELD_LIST:
    case IDC_INDEX_LIST:
        return new CZembraListCtrl(CZembraListCtrl::TOOLTIP_NONE, pParent);
    default:
        return nullptr;
    }
}

void CFormTableStruct::OnInitialUpdate()
{
    CZembraFormView::OnInitialUpdate();
    m_stcIcon = FindDlgItem<QLabel>(this, IDC_DSN_ICON);
    m_tabCtrl = FindDlgItem<CTabCtrlEx>(this, IDC_STRUCTURE_TAB);
    m_lstFields = FindDlgItem<CZembraListCtrl>(this, IDC_FIELD_LIST);
    m_lstIndexes = FindDlgItem<CZembraListCtrl>(this, IDC_INDEX_LIST);
    m_edtFilter = FindDlgItem<QLineEdit>(this, IDC_SEARCH_TEXT);

    CQalmetApp* pApp = CQalmetApp::GetInstance();
    CDBData* pDB = pApp != nullptr ? pApp->GetDatabase(m_frame.m_nSide) : nullptr;
    const bool bSystem = pDB != nullptr && pDB->m_bSystemDSN;
    m_stcIcon->setPixmap(SharedImageList().value(bSystem ? IMG_COMPUTER : IMG_USER));
    m_stcIcon->setAccessibleName(LoadLangString(bSystem ? StringId::SystemDataSource : StringId::UserDataSource));
    SetUpSearchField(*m_edtFilter, *FindDlgItem<QPushButton>(this, IDC_SEARCH));
    // Taken once: the label and the export's name keep it whatever the
    // side shows later.
    if (pApp != nullptr && m_frame.GetOwnerForm() != nullptr)
        m_strDatabaseTitle = pApp->GetDatabaseTitle(m_frame.m_nSide, m_frame.GetOwnerForm()->GetSchemaText());

    m_tabCtrl->SetImageList(SharedImageList());
    m_tabCtrl->InsertItem(TAB_FIELDS, LoadLangString(StringId::FieldsTab), IMG_COLUMN);
    m_tabCtrl->InsertItem(TAB_INDEXES, LoadLangString(StringId::IndexesTab), IMG_KEY_COLUMN);
    m_tabCtrl->setAccessibleName(LoadLangString(StringId::StructureTabs));
    m_tabCtrl->tabBar()->setAccessibleName(m_tabCtrl->accessibleName());
    connect(m_tabCtrl, &QTabWidget::currentChanged, this, &CFormTableStruct::OnTabChange);

    ReadStructure(pDB);
    FillLists();
    OnTabChange(m_tabCtrl->currentIndex());
}

void CFormTableStruct::ReadStructure(CDBData* pDB)
{
    if (pDB == nullptr)
        return;
    CWaitCursor wait;
    m_bStructureRead = pDB->LoadColumns(m_frame.m_strTable, m_arrFieldInfos)
                       && pDB->LoadIndexes(m_frame.m_strTable, m_arrIndexInfos);
    if (!m_bStructureRead)
        m_strReadError = pDB->GetLastError();
}

void CFormTableStruct::FillLists()
{
    m_lstFields->setAccessibleName(LoadLangString(StringId::FieldList));
    InsertColumns(*m_lstFields, kFieldColumns);
    m_lstFields->SetItemSource(&m_fieldSource);
    m_lstFields->SetItemCount(int(m_arrFieldInfos.size()));
    m_lstFields->AutoSizeColumn(0);

    m_lstIndexes->setAccessibleName(LoadLangString(StringId::IndexList));
    InsertColumns(*m_lstIndexes, kIndexColumns);
    m_lstIndexes->SetItemSource(&m_indexSource);
    m_lstIndexes->SetItemCount(GetIndexRowCount());
    m_lstIndexes->AutoSizeColumn(0);
    m_lstIndexes->AutoSizeColumn(1);
}

int CFormTableStruct::GetIndexRowCount() const
{
    int nRows = 0;
    for (const auto& pIndex : m_arrIndexInfos)
        nRows += int(pIndex->m_arrColumns.size());
    return nRows;
}

const CIndexInfo* CFormTableStruct::FindIndexRow(int nRow, int& nPosition) const
{
    nPosition = -1;
    if (nRow < 0)
        return nullptr;
    int nFirst = 0;
    for (const auto& pIndex : m_arrIndexInfos) {
        const int nColumns = int(pIndex->m_arrColumns.size());
        if (nRow < nFirst + nColumns) {
            nPosition = nRow - nFirst;
            return pIndex.get();
        }
        nFirst += nColumns;
    }
    return nullptr;
}

QString CFormTableStruct::FieldSource::GetItemText(int nItem, int nColumn) const
{
    if (nItem < 0 || nItem >= int(m_form.m_arrFieldInfos.size()))
        return QString();
    return m_form.m_arrFieldInfos[nItem]->GetColumnText(nColumn);
}

QString CFormTableStruct::IndexSource::GetItemText(int nItem, int nColumn) const
{
    int nPosition = -1;
    const CIndexInfo* pIndex = m_form.FindIndexRow(nItem, nPosition);
    return pIndex != nullptr ? pIndex->GetColumnText(nPosition, nColumn) : QString();
}

QString CFormTableStruct::IndexSource::GetItemAccessibleText(int nItem, int nColumn) const
{
    int nPosition = -1;
    const CIndexInfo* pIndex = m_form.FindIndexRow(nItem, nPosition);
    if (pIndex != nullptr && nColumn == 0)
        return pIndex->m_strName;
    return GetItemText(nItem, nColumn);
}

CZembraListCtrl* CFormTableStruct::GetCurrentList() const
{
    return m_tabCtrl != nullptr && m_tabCtrl->currentIndex() == TAB_INDEXES ? m_lstIndexes : m_lstFields;
}

void CFormTableStruct::OnTabChange(int nTab)
{
    m_lstFields->setVisible(nTab == TAB_FIELDS);
    m_lstIndexes->setVisible(nTab == TAB_INDEXES);
}

void CFormTableStruct::OnCommand(int nId)
{
    if (nId == IDC_SEARCH)
        FindNext();
    else
        CZembraFormView::OnCommand(nId);
}

void CFormTableStruct::FindNext()
{
    if (GetCurrentList() == m_lstIndexes) {
        SearchNextRow(*m_edtFilter, *m_lstIndexes, [this](int nRow, const QString& strLower) {
            int nPosition = -1;
            const CIndexInfo* pIndex = FindIndexRow(nRow, nPosition);
            return pIndex != nullptr && pIndex->MatchesSearch(nPosition, strLower);
        });
    } else {
        SearchNextRow(*m_edtFilter, *m_lstFields, [this](int nField, const QString& strLower) {
            return nField >= 0 && nField < int(m_arrFieldInfos.size())
                   && m_arrFieldInfos[nField]->MatchesSearch(strLower);
        });
    }
}

bool CFormTableStruct::HandleKeyDown(int nKey)
{
    if (!IsSearchKey(nKey, m_edtFilter))
        return false;
    FindNext();
    return true;
}

QWidget* CFormTableStruct::GetExportButton() const
{
    return GetDlgItem(IDC_EXPORT);
}

void CFormTableStruct::ShowDatabaseTitle()
{
    auto* pName = FindDlgItem<QLabel>(this, IDC_DSN_NAME);
    // Cut with "..." to its place; the whole title stays in the tooltip
    // and for screen readers.
    pName->setText(MakeShortString(pName->fontMetrics(), m_strDatabaseTitle, pName->width(), 0));
    pName->setToolTip(m_strDatabaseTitle);
    pName->setAccessibleName(m_strDatabaseTitle);
}

void CFormTableStruct::RecalcLayout(int cx, int cy)
{
    CZembraFormView::RecalcLayout(cx, cy);
    if (m_tabCtrl == nullptr)
        return;
    m_stcIcon->setGeometry(kMargin, kMargin, kStripImageSize, kStripImageSize);
    QWidget* pName = GetDlgItem(IDC_DSN_NAME);
    pName->setGeometry(kLabelLeft, kMargin + (kStripImageSize - pName->height()) / 2,
                       std::max(0, cx - kMargin - kLabelLeft), pName->height());
    ShowDatabaseTitle();

    const int nBandTop = m_nBandTop > 0 ? m_nBandTop : cy;
    m_tabCtrl->setGeometry(kMargin, kTabTop, std::max(0, cx - 2 * kMargin), std::max(0, nBandTop - kMargin - kTabTop));
    // The page: the tab control less half a margin on each side, below
    // the row of tabs.
    const int nInset = MulDiv(kMargin, 1, 2);
    QRect page = m_tabCtrl->geometry().adjusted(nInset, nInset, -nInset, -nInset);
    const QRect tab = m_tabCtrl->GetItemRect(0);
    page.setTop(page.top() + tab.top() + tab.top() + tab.height());

    QWidget* pSearch = GetDlgItem(IDC_SEARCH);
    pSearch->move(page.left() + page.width() - pSearch->width(), page.top());
    m_edtFilter->setGeometry(page.left(), page.top(), std::max(0, pSearch->x() - 1 - page.left()),
                             m_edtFilter->height());
    const int nListTop = page.top() + pSearch->height() + kMargin;
    for (CZembraListCtrl* pList : {m_lstFields, m_lstIndexes})
        pList->setGeometry(page.left(), nListTop, page.width(), std::max(0, page.top() + page.height() - nListTop));
    update();
}

bool CFormTableStruct::PrepareExport()
{
    CQalmetApp* pApp = CQalmetApp::GetInstance();
    if (pApp == nullptr)
        return false;
    CZembraParam& options = pApp->GetOptions();
    const QList<int> arrOptions{OPT_EXPORT_FIELD_LIST, OPT_EXPORT_INDEX_LIST};
    for (int nOption : arrOptions)
        options.SetOption(nOption, true);
    return EditOptionsUntilOneSet(options, arrOptions, arrOptions, CompareTitles(), this);
}

QString CFormTableStruct::GetExportName() const
{
    // The side may show another data source or schema by now: the name is
    // the one of the database the structure was read from.
    return m_strDatabaseTitle + u'_' + m_frame.m_strTable;
}

bool CFormTableStruct::WriteExport(CExportFile& file)
{
    CQalmetApp* pApp = CQalmetApp::GetInstance();
    return pApp != nullptr && WriteTableStructure(file, pApp->GetOptions(), m_arrFieldInfos, m_arrIndexInfos);
}
