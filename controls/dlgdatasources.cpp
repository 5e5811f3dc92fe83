#include "controls/dlgdatasources.h"

#include "app/language.h"
#include "controls/dialogbuilder.h"
#include "controls/windowfunctions.h"
#include "db/asciitext.h"
#include "db/datasources.h"
#include "db/odbc.h"
#include "res/resourceimages.h"
#include "res/stringids.h"

#include <odbcinst.h>

#include <QListWidget>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTabWidget>

#include <dlfcn.h>

namespace {

constexpr const char* kTabStopProperty = "kvTabStop";

// Draws an item "name<TAB>driver" with the driver at the list's tab stop.
class TabStopDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* pPainter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        const QString strText = item.text;
        item.text.clear();
        const QWidget* pList = option.widget;
        pList->style()->drawControl(QStyle::CE_ItemViewItem, &item, pPainter, pList);
        const QRect text = pList->style()->subElementRect(QStyle::SE_ItemViewItemText, &item, pList);
        const int nTab = pList->property(kTabStopProperty).toInt();
        const qsizetype nSplit = strText.indexOf(u'\t');
        pPainter->save();
        pPainter->setPen(item.palette.color(option.state & QStyle::State_Selected ? QPalette::HighlightedText
                                                                                  : QPalette::Text));
        const int nFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
        pPainter->drawText(text, nFlags, strText.left(nSplit));
        if (nSplit >= 0) {
            const int nDriverLeft = nTab > 0 ? text.left() + nTab : text.left() + text.width() / 2;
            pPainter->drawText(QRect(nDriverLeft, text.top(), text.right() - nDriverLeft, text.height()), nFlags,
                               strText.mid(nSplit + 1));
        }
        pPainter->restore();
    }
};

QString NameOf(const QListWidgetItem* pItem)
{
    return pItem->text().section(u'\t', 0, 0);
}

}  // namespace

CDlgDataSources::CDlgDataSources(QString* pstrName, int* pnKind, QWidget* pParent)
    : CTvrCommonDialog(MapResourceId(DialogId::DataSources), pParent),
      m_pstrName(pstrName),
      m_pnKind(pnKind),
      m_strSelected(pstrName ? *pstrName : QString()),
      m_nKind(pnKind ? *pnKind : 0)
{
}

CDlgDataSources::~CDlgDataSources()
{
    if (m_hOdbcCp != nullptr)
        dlclose(m_hOdbcCp);
}

bool CDlgDataSources::OnInitDialog()
{
    CTvrCommonDialog::OnInitDialog();
    m_tab = FindDlgItem<QTabWidget>(this, IDC_DSN_TAB);
    m_lbUser = FindDlgItem<QListWidget>(this, IDC_DSN_USER);
    m_lbSystem = FindDlgItem<QListWidget>(this, IDC_DSN_SYSTEM);
    const QList<QPixmap> images = LoadImageList(ResourceId::ImageStrip);
    const auto imageOf = [&](int n) { return n < images.size() ? QIcon(images[n]) : QIcon(); };
    m_tab->addTab(new QWidget(m_tab), imageOf(IMG_USER), LoadLangString(StringId::UserDataSource));
    m_tab->addTab(new QWidget(m_tab), imageOf(IMG_COMPUTER), LoadLangString(StringId::SystemDataSource));
    for (QListWidget* pList : {m_lbUser, m_lbSystem}) {
        pList->setItemDelegate(new TabStopDelegate(pList));
        pList->setSelectionMode(QAbstractItemView::SingleSelection);
        pList->raise();
    }

    LoadDataSources();
    const bool bSystem = m_tab->currentIndex() == 1;
    m_lbSystem->setVisible(bSystem);
    m_lbUser->setVisible(!bSystem);
    UpdateOkButton();

    connect(m_tab, &QTabWidget::currentChanged, this, &CDlgDataSources::OnTabChanged);
    connect(m_lbUser, &QListWidget::itemSelectionChanged, this, [this] { OnSelChange(0); });
    connect(m_lbSystem, &QListWidget::itemSelectionChanged, this, [this] { OnSelChange(1); });
    for (QListWidget* pList : {m_lbUser, m_lbSystem})
        connect(pList, &QListWidget::itemDoubleClicked, this, [this] { OnOK(); });

    // unixODBC's installer library; without its administrator entry point
    // the button stays disabled.
    for (const char* pszLibrary : {"libodbcinst.so.2", "libodbcinst.so"}) {
        m_hOdbcCp = dlopen(pszLibrary, RTLD_NOW | RTLD_LOCAL);
        if (m_hOdbcCp != nullptr)
            break;
    }
    if (m_hOdbcCp != nullptr)
        m_pfnManageDataSources = reinterpret_cast<ManageDataSources>(dlsym(m_hOdbcCp, "SQLManageDataSources"));
    if (m_pfnManageDataSources == nullptr)
        EnableControl(GetDlgItem(IDC_DSN_ADMIN), false);

    setMinimumSize(340, 200);
    RestoreSize(QString());
    return true;
}

void CDlgDataSources::LoadDataSources()
{
    bool bPreselected = false;
    for (int nKind = 0; nKind < 2; ++nKind) {
        m_arrNames[nKind].clear();
        m_arrDrivers[nKind].clear();
        QListWidget* pList = ListOf(nKind);
        const QSignalBlocker blocker(pList);
        pList->clear();
        ReadDataSources(nKind == 1, m_arrNames[nKind], m_arrDrivers[nKind]);
        for (qsizetype i = 0; i < m_arrNames[nKind].size(); ++i) {
            auto* pItem = new QListWidgetItem(m_arrNames[nKind][i] + u'\t' + m_arrDrivers[nKind][i]);
            pItem->setData(Qt::UserRole, int(i));
            pList->addItem(pItem);
        }
        if (bPreselected || nKind != m_nKind)
            continue;
        for (int nRow = 0; nRow < pList->count(); ++nRow) {
            if (AsciiEqualsIgnoreCase(NameOf(pList->item(nRow)), m_strSelected)) {
                pList->setCurrentRow(nRow);
                pList->item(nRow)->setSelected(true);
                const QSignalBlocker tabBlocker(m_tab);
                m_tab->setCurrentIndex(nKind);
                bPreselected = true;
                break;
            }
        }
    }
    SetTabStops();
}

void CDlgDataSources::SetTabStops()
{
    for (QListWidget* pList : {m_lbUser, m_lbSystem}) {
        int w = 0;
        for (int nRow = 0; nRow < pList->count(); ++nRow)
            w = std::max(w, pList->fontMetrics().horizontalAdvance(NameOf(pList->item(nRow))));
        if (w <= 0)
            continue;
        // Kept in dialog units like the platform's tab stops, drawn in pixels.
        const int nBaseX = Builder()->BaseUnits().width();
        const int nTabStopUnits = (4 * w / 3) * 4 / nBaseX;
        pList->setProperty(kTabStopProperty, MulDiv(nTabStopUnits, nBaseX, 4));
        pList->viewport()->update();
    }
}

QListWidget* CDlgDataSources::VisibleList() const
{
    return ListOf(m_tab->currentIndex() == 1 ? 1 : 0);
}

void CDlgDataSources::UpdateOkButton()
{
    if (QWidget* pOk = GetDlgItem(IDOK))
        EnableControl(pOk, !VisibleList()->selectedItems().isEmpty());
}

void CDlgDataSources::OnTabChanged(int nTab)
{
    m_lbSystem->setVisible(nTab == 1);
    m_lbUser->setVisible(nTab != 1);
    UpdateOkButton();
    m_nKind = nTab == 1 ? 1 : 0;
    m_strSelected.clear();
}

void CDlgDataSources::OnSelChange(int nKind)
{
    UpdateOkButton();
    const QList<QListWidgetItem*> selected = ListOf(nKind)->selectedItems();
    m_strSelected = selected.isEmpty() ? QString() : NameOf(selected.first());
}

void CDlgDataSources::OnOK()
{
    const QList<QListWidgetItem*> selected = VisibleList()->selectedItems();
    if (selected.isEmpty())
        return;
    const int nKind = m_tab->currentIndex() == 1 ? 1 : 0;
    if (m_pstrName)
        *m_pstrName = m_arrNames[nKind].value(selected.first()->data(Qt::UserRole).toInt());
    if (m_pnKind)
        *m_pnKind = nKind;
    EndDialog(1);
}

void CDlgDataSources::OnCommand(int nId)
{
    if (nId == IDC_DSN_ADMIN)
        OnAdministrator();
    else
        CTvrCommonDialog::OnCommand(nId);
}

void CDlgDataSources::OnAdministrator()
{
    // unixODBC takes its window description, not a bare window handle: the
    // UI plugin is chosen by the driver manager, this dialog is its parent.
    ODBCINSTWND window{};
    window.hWnd = reinterpret_cast<HWND>(static_cast<QWidget*>(this));
    if (m_pfnManageDataSources == nullptr || !m_pfnManageDataSources(&window))
        MessageBeep();
    LoadDataSources();
    UpdateOkButton();
}

void CDlgDataSources::RecalcLayout(int cx, int cy)
{
    int h = 0;
    const int m = LayoutOkCancel(cx, cy, h);
    if (m == -1 || m_tab == nullptr)
        return;
    if (QWidget* pAdmin = GetDlgItem(IDC_DSN_ADMIN))
        pAdmin->move(m, m);
    const QRect tab(QPoint(m, h + 3 * m), QPoint(cx - m - 1, cy - h - 3 * m - 1));
    m_tab->setGeometry(tab);
    QRect item = m_tab->tabBar()->tabRect(0);
    if (!item.isValid())
        item = QRect(QPoint(0, 0), m_tab->tabBar()->sizeHint());
    const int nInset = MulDiv(m, 1, 2);
    QRect lists = tab.adjusted(nInset, nInset, -nInset, -nInset);
    lists.setTop(lists.top() + item.top() + item.bottom() + 1);
    m_lbUser->setGeometry(lists);
    m_lbSystem->setGeometry(lists);
    update();
}
