#include "views/formcompare.h"

#include "app/formattext.h"
#include "app/language.h"
#include "compare/comparestatus.h"
#include "controls/colorcheckbutton.h"
#include "controls/dialogbuilder.h"
#include "controls/waitcursor.h"
#include "controls/windowfunctions.h"
#include "res/dialogtemplates.h"
#include "res/resourceimages.h"
#include "res/stringids.h"
#include "views/comparelistctrl.h"
#include "views/findnextrow.h"

#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

#include <algorithm>

namespace {

const QColor kOrange(231, 75, 20);

constexpr int kFilterTop = 16;
constexpr int kFilterLeft = 18;
constexpr int kFilterGap = 5;
constexpr int kNameMinWidth = 60;
constexpr int kNameMaxWidth = 200;

}  // namespace

CFormCompare::CFormCompare(const CompareTitles& titles, QWidget* pParent)
    : CZembraFormView(MapResourceId(DialogId::CompareResult), pParent),
      m_titles(titles)
{
}

CFormCompare::~CFormCompare() = default;

CColorCheckButton* CFormCompare::GetFilter(int nStatus) const
{
    return nStatus >= 0 && nStatus < kStatusCount ? m_pFilters[nStatus] : nullptr;
}

QWidget* CFormCompare::CreateControl(const ControlTemplate& control, QWidget* pParent)
{
    if (control.nId == IDC_ITEM_LIST)
        return new CCompareListCtrl(pParent);
    return nullptr;
}

QWidget* CFormCompare::GetExportButton() const
{
    return GetDlgItem(IDC_EXPORT);
}

bool CFormCompare::HasFilter(int) const
{
    return true;
}

bool CFormCompare::HasDetails() const
{
    return false;
}

bool CFormCompare::CanShowDetails(int) const
{
    return false;
}

int CFormCompare::GetHeaderBandHeight() const
{
    return 0;
}

bool CFormCompare::IsListable(int) const
{
    return true;
}

int CFormCompare::GetListedStatus(int nItem) const
{
    if (nItem >= 0 && nItem < m_arrStatus.size())
        return static_cast<unsigned char>(m_arrStatus[nItem]);
    return GetItemStatus(nItem);
}

int CFormCompare::GetItemImage(int nItem) const
{
    return GetListedStatus(nItem);
}

QString CFormCompare::GetItemDescription(int nItem) const
{
    const int nStatus = GetListedStatus(nItem);
    if (nStatus < 0 || nStatus >= kStatusCount)
        return QString();
    return LoadLangString(StringId::StatusWordBase + nStatus)
        .replace(QStringLiteral("%LDB%"), m_titles.strLeft)
        .replace(QStringLiteral("%RDB%"), m_titles.strRight);
}

void CFormCompare::OnInitialUpdate()
{
    CZembraFormView::OnInitialUpdate();
    for (int s = 0; s < kStatusCount; ++s)
        m_pFilters[s] = FindDlgItem<CColorCheckButton>(this, IDC_FILTER_FIRST + s);
    m_pSearch = FindDlgItem<QLineEdit>(this, IDC_SEARCH_TEXT);
    m_pList = FindDlgItem<CCompareListCtrl>(this, IDC_ITEM_LIST);
    m_fontBold = font();
    m_fontBold.setWeight(QFont::Bold);

    SetUpSearchField(*m_pSearch, *FindDlgItem<QPushButton>(this, IDC_SEARCH));

    m_pList->SetItemSource(this);
    // Named after its window: the compared databases (and table).
    m_pList->setAccessibleName(window()->windowTitle());
    InsertColumns();
    FillList(true);
    connect(m_pList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CFormCompare::UpdateDetailsButton);
    connect(m_pList, &QAbstractItemView::doubleClicked, this, &CFormCompare::OnShowDetails);
    // The columns share the rows' width, which a scroll bar coming or going
    // changes after the layout.
    connect(m_pList, &CZembraListCtrl::viewportResized, this, [this] { SizeColumns(); });
    UpdateDetailsButton();

    SetCounterCaptions();
    for (int s = 0; s < kStatusCount; ++s) {
        m_pFilters[s]->SetCheck(1);
        // Each box in the colour of the rows it filters.
        QPalette palette = m_pFilters[s]->palette();
        palette.setColor(QPalette::WindowText, GetStatusColor(s));
        m_pFilters[s]->setPalette(palette);
        if (s > 0)
            m_pFilters[s]->setFont(m_fontBold);
    }
    RecalcLayout(width(), height());
    m_pSearch->setFocus();
    GetDlgItem(IDC_SHOW_DETAILS)->setVisible(HasDetails());
}

void CFormCompare::SetCounterCaptions()
{
    const QString* pTitles[kStatusCount] = {nullptr, &m_titles.strLeft, &m_titles.strRight, nullptr};
    for (int s = 0; s < kStatusCount; ++s) {
        const QString strCount = QString::number(GetCount(s));
        const QString strCaption = pTitles[s] != nullptr
                                       ? FormatLangString(GetCounterStringId() + s, {strCount, *pTitles[s]})
                                       : FormatLangString(GetCounterStringId() + s, {strCount});
        m_pFilters[s]->setText(strCaption);
        m_pFilters[s]->setAccessibleName(strCaption);
    }
}

QList<QStringList> CFormCompare::GetColumnCaptions() const
{
    return {};
}

void CFormCompare::InsertColumns()
{
    // The header stays hidden: the captions are painted in the band.
    const QList<QStringList> arrCaptions = GetColumnCaptions();
    if (arrCaptions.isEmpty())
        m_pList->InsertColumn(0, QString());
    for (int c = 0; c < arrCaptions.size(); ++c)
        m_pList->InsertColumn(c, arrCaptions[c].join(u' '));
}

void CFormCompare::SizeColumns()
{
    if (m_pList->GetColumnCount() == 1)
        m_pList->SetColumnWidth(0, m_pList->viewport()->width() - 1);
}

void CFormCompare::SizeWeightedColumns(const QList<int>& arrWeights)
{
    const int cxList = m_pList->viewport()->width();
    int nShownWeights = 0;
    int nLastShown = 0;
    for (int c = 1; c < arrWeights.size(); ++c) {
        nShownWeights += arrWeights[c];
        if (arrWeights[c] > 0)
            nLastShown = c;
    }
    const int cxName = std::clamp(MulDiv(cxList, arrWeights[0], arrWeights[0] + nShownWeights), kNameMinWidth,
                                  kNameMaxWidth);
    m_pList->SetColumnWidth(0, cxName);
    int cxLeft = cxList - cxName;
    for (int c = 1; c < arrWeights.size(); ++c) {
        int cx = 0;
        if (c == nLastShown)
            cx = cxLeft;
        else if (arrWeights[c] > 0)
            cx = MulDiv(cxList - cxName, arrWeights[c], nShownWeights);
        cxLeft -= cx;
        m_pList->SetColumnWidth(c, std::max(cx, 0));
    }
}

std::vector<int> CFormCompare::ReadItemStatuses() const
{
    std::vector<int> arrStatuses(size_t(std::max(GetItemTotal(), 0)));
    for (size_t nItem = 0; nItem < arrStatuses.size(); ++nItem)
        arrStatuses[nItem] = GetItemStatus(int(nItem));
    return arrStatuses;
}

void CFormCompare::FillList(bool bAll)
{
    QList<int> arrItems;
    const int nTotal = GetItemTotal();
    if (m_arrStatus.size() != nTotal) {
        const std::vector<int> arrStatuses = ReadItemStatuses();
        m_arrStatus.resize(nTotal);
        for (int nItem = 0; nItem < nTotal; ++nItem)
            m_arrStatus[nItem] = char(size_t(nItem) < arrStatuses.size() ? arrStatuses[size_t(nItem)] : CMP_UNSET);
    }
    arrItems.reserve(nTotal);
    for (int nItem = 0; nItem < nTotal; ++nItem) {
        const int nStatus = GetListedStatus(nItem);
        if (!IsListable(nStatus))
            continue;
        if (bAll || (nStatus >= 0 && nStatus < kStatusCount && m_pFilters[nStatus] != nullptr
                     && m_pFilters[nStatus]->GetCheck() == 1))
            arrItems.append(nItem);
    }
    m_pList->SetItems(std::move(arrItems));
    if (!bAll)
        SizeColumns();
}

int CFormCompare::GetSelectedItem() const
{
    const int nRow = m_pList != nullptr ? m_pList->GetSelectedRow() : -1;
    return nRow < 0 ? -1 : m_pList->GetItemData(nRow);
}

void CFormCompare::UpdateDetailsButton()
{
    if (!HasDetails())
        return;
    const int nItem = GetSelectedItem();
    EnableControl(GetDlgItem(IDC_SHOW_DETAILS), nItem >= 0 && CanShowDetails(nItem));
}

void CFormCompare::OnShowDetails()
{
    // Nothing selected (a double click on empty space) shows nothing.
    const int nItem = GetSelectedItem();
    if (HasDetails() && nItem >= 0 && CanShowDetails(nItem))
        emit showDetailsRequested(nItem);
}

void CFormCompare::OnFilterToggled()
{
    CWaitCursor wait;
    FillList(false);
    UpdateDetailsButton();
}

qintptr CFormCompare::SendMessage(unsigned nMessage, qintptr, qintptr)
{
    if (nMessage == WM_CHECKBUTTON_TOGGLED)
        OnFilterToggled();
    return 0;
}

void CFormCompare::PostMessage(unsigned nMessage, qintptr wParam, qintptr lParam)
{
    QMetaObject::invokeMethod(
        this, [=, this] { SendMessage(nMessage, wParam, lParam); }, Qt::QueuedConnection);
}

void CFormCompare::OnCommand(int nId)
{
    switch (nId) {
    case IDC_SEARCH:
        FindNext();
        break;
    case IDC_SHOW_DETAILS:
        OnShowDetails();
        break;
    default:
        CZembraFormView::OnCommand(nId);
        break;
    }
}

void CFormCompare::FindNext()
{
    SearchNextRow(*m_pSearch, *m_pList,
                  [this](int nItemData, const QString& strLower) { return MatchesSearch(nItemData, strLower); });
}

bool CFormCompare::HandleKeyDown(int nKey)
{
    if (!IsSearchKey(nKey, m_pSearch))
        return false;
    FindNext();
    return true;
}

void CFormCompare::RecalcLayout(int cx, int cy)
{
    CZembraFormView::RecalcLayout(cx, cy);
    if (m_pList == nullptr)
        return;
    int y = kFilterTop;
    for (int s = 0; s < kStatusCount; ++s) {
        CColorCheckButton* pFilter = m_pFilters[s];
        if (!HasFilter(s)) {
            pFilter->hide();
            continue;
        }
        pFilter->setGeometry(kFilterLeft, y, cx - 2 * kFilterLeft, pFilter->height());
        pFilter->show();
        y += pFilter->height() + kFilterGap;
    }
    m_rcFilterFrame = QRect(QPoint(kMargin, kMargin), QPoint(cx - kMargin - 1, y + 2 - 1));
    if (m_nSeparatorY < 0)
        m_nSeparatorY = m_rcFilterFrame.bottom() + 1 + kMargin;

    QWidget* pSearchButton = GetDlgItem(IDC_SEARCH);
    const int yTop = m_nSeparatorY + kMargin;
    pSearchButton->move(cx - kMargin - pSearchButton->width(), yTop);
    m_pSearch->setGeometry(kMargin, yTop, pSearchButton->x() - 1 - kMargin, m_pSearch->height());

    const int yBand = m_nBandTop > 0 ? m_nBandTop : cy;
    const int yList = yTop + m_pSearch->height() + kMargin + GetHeaderBandHeight();
    int yListBottom = yBand - kMargin;
    if (HasDetails())
        yListBottom -= m_pSearch->height() + kMargin;
    m_pList->setGeometry(kMargin, yList, cx - 2 * kMargin, std::max(yListBottom - yList, 0));
    if (HasDetails()) {
        QWidget* pDetails = GetDlgItem(IDC_SHOW_DETAILS);
        pDetails->move(cx - kMargin - pDetails->width(), yBand - kMargin - pDetails->height());
    }
    SizeColumns();
    update();
}

void CFormCompare::OnDraw(QPainter& painter)
{
    CZembraFormView::OnDraw(painter);
    if (m_nSeparatorY > 0) {
        painter.setPen(QPen(kOrange, 1));
        painter.drawLine(30, m_nSeparatorY, width() - 30, m_nSeparatorY);
    }
    if (m_rcFilterFrame.isValid()) {
        painter.setPen(QPen(kOrange, 2));
        painter.setBrush(Qt::white);
        painter.drawRect(m_rcFilterFrame.adjusted(1, 1, -1, -1));
    }
    DrawHeaderBand(painter, GetColumnCaptions());
}

void CFormCompare::DrawHeaderBand(QPainter& painter, const QList<QStringList>& arrCaptions)
{
    const int nHeight = GetHeaderBandHeight();
    if (nHeight <= 0 || m_pList == nullptr)
        return;
    const QRect band(m_pList->x(), m_pList->y() - nHeight, m_pList->width(), nHeight);
    painter.fillRect(band, kBandColor);
    painter.setFont(m_pList->font());
    const QFontMetrics metrics(m_pList->font());
    const int nLine = metrics.height() + metrics.leading();
    int x = band.left() + m_pList->viewport()->x();
    for (int c = 0; c < m_pList->GetColumnCount() && c < arrCaptions.size(); ++c) {
        const int cx = m_pList->GetColumnWidth(c);
        if (cx <= 0)
            continue;
        if (c > 0) {
            painter.setPen(palette().color(QPalette::Dark));
            painter.drawLine(x, band.top(), x, band.bottom());
        }
        painter.setPen(Qt::black);
        const QStringList& lines = arrCaptions[c];
        const int cxText = cx - 8;
        if (lines.size() == 1) {
            painter.drawText(QRect(x + 4, band.top(), cxText, nHeight), Qt::AlignLeft | Qt::AlignVCenter,
                             MakeShortString(metrics, lines[0], cxText, 0));
        } else {
            int y = band.top() + (nHeight - 2 * nLine) / 2;
            for (const QString& strLine : lines) {
                painter.drawText(QRect(x + 4, y, cxText, nLine), Qt::AlignLeft | Qt::AlignVCenter,
                                 MakeShortString(metrics, strLine, cxText, 0));
                y += nLine;
            }
        }
        x += cx;
    }
}
