// Measures a comparison list of many rows: the time from filling it to its
// first paint, and the time to page down through all of it. Run by hand:
//   QT_QPA_PLATFORM=offscreen bench_lists [rows] [--png picture.png]
// With --png it also renders a small list with cut texts, statuses, a
// selected row and a tooltip, for review.

#include "res/resourceimages.h"
#include "views/comparelistctrl.h"
#include "views/infobullewnd.h"
#include "views/listitemsource.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPainter>
#include <QTest>

#include <cstdio>

namespace {

// Items made up when asked: a table name, a size and a status.
class GeneratedSource : public IListItemSource
{
public:
    QString GetItemText(int nItem, int nColumn) const override
    {
        ++m_nRequests;
        if (nColumn == 0)
            return QStringLiteral("F%1 Table number %1 of the benchmark").arg(nItem, 6, 10, QLatin1Char('0'));
        return QString::number(nItem * 37 % 100000);
    }
    int GetItemImage(int nItem) const override { return nItem % 5 == 4 ? 7 : nItem % 4; }

    mutable qint64 m_nRequests = 0;
};

// Texts of the review picture.
class ReviewSource : public IListItemSource
{
public:
    QString GetItemText(int nItem, int nColumn) const override
    {
        static const char* const kRows[][2] = {
            {"F0101", "12"},
            {"F0101Z2_ADDRESS_BOOK_INTERFACE_TABLE", "1234567890123"},
            {"F4211", "7"},
            {"F0911 Account Ledger", "98765"},
            {"F9860", "300"},
            {"V0101A", "1"},
        };
        return QString::fromUtf8(kRows[nItem][nColumn]);
    }
    // Statuses of the comparison list, and table or view icons of the
    // table list: the same numbers, as each list reads them.
    int GetItemImage(int nItem) const override
    {
        static const int kStatuses[] = {0, 1, 2, 3, 7, 3};
        return kStatuses[nItem];
    }
};

// Sets bPainted when the watched widget gets its paint event.
class PaintWatch : public QObject
{
public:
    bool eventFilter(QObject*, QEvent* pEvent) override
    {
        if (pEvent->type() == QEvent::Paint)
            m_bPainted = true;
        return false;
    }
    bool m_bPainted = false;
};

// A comparison list of a table name and a right-aligned size.
CCompareListCtrl* AddCompareList(QWidget& host, const IListItemSource& source, const QRect& geometry,
                                 int nNameWidth, int nSizeWidth)
{
    auto* pList = new CCompareListCtrl(&host);
    pList->setGeometry(geometry);
    pList->SetItemSource(&source);
    pList->InsertColumn(0, QStringLiteral("Table"), Qt::AlignLeft, nNameWidth);
    pList->InsertColumn(1, QStringLiteral("Size"), Qt::AlignRight, nSizeWidth);
    return pList;
}

int RunBenchmark(int nRows)
{
    QWidget host;
    host.resize(640, 480);
    GeneratedSource source;
    CCompareListCtrl* pList = AddCompareList(host, source, QRect(9, 9, 622, 462), 420, 180);
    PaintWatch watch;
    pList->viewport()->installEventFilter(&watch);

    QElapsedTimer timer;
    timer.start();
    pList->SetItemCount(nRows);
    host.show();
    while (!watch.m_bPainted)
        QCoreApplication::processEvents();
    const qint64 nFirstPaintNs = timer.nsecsElapsed();
    const qint64 nFirstRequests = source.m_nRequests;

    pList->setFocus();
    pList->SelectRow(0);
    int nPages = 0;
    timer.restart();
    while (pList->GetSelectedRow() < nRows - 1) {
        QTest::keyClick(pList, Qt::Key_PageDown);
        pList->viewport()->repaint();
        ++nPages;
    }
    const qint64 nScrollNs = timer.nsecsElapsed();

    pList->SelectRow(0);
    pList->viewport()->repaint();
    timer.restart();
    QTest::keyClick(pList, Qt::Key_End);
    pList->viewport()->repaint();
    const qint64 nEndNs = timer.nsecsElapsed();

    std::printf("rows: %d, rows per page: %d\n", nRows, pList->GetCountPerPage());
    std::printf("fill to first paint: %.1f ms (%lld texts asked)\n", nFirstPaintNs / 1e6, nFirstRequests);
    std::printf("page down to the end: %d pages in %.1f ms (%.3f ms per page, painted each time)\n", nPages,
                nScrollNs / 1e6, nScrollNs / 1e6 / nPages);
    std::printf("End key from the top: %.1f ms\n", nEndNs / 1e6);
    std::printf("texts asked in all: %lld\n", source.m_nRequests);
    return 0;
}

int RenderReview(const QString& strPath)
{
    QWidget host;
    host.resize(420, 260);
    ReviewSource source;
    // A comparison list: colours and weights by status.
    CCompareListCtrl* pList = AddCompareList(host, source, QRect(9, 9, 402, 120), 230, 80);
    pList->SetItemCount(6);
    // A table list: icons of the shared images, one text cut.
    auto* pTables = new CZembraListCtrl(CZembraListCtrl::TOOLTIP_NONE, &host);
    pTables->setGeometry(9, 136, 200, 90);
    pTables->SetItemSource(&source);
    pTables->InsertColumn(0, QStringLiteral("Table"), Qt::AlignLeft, 180);
    pTables->SetImageList(SharedImageList());
    pTables->SetItemCount(6);
    pTables->SelectRow(2);
    auto* pEdit = new QLineEdit(&host);
    pEdit->setGeometry(9, 232, 200, 22);
    host.show();
    host.activateWindow();
    if (!QTest::qWaitForWindowActive(&host))
        return 1;
    pList->setFocus();
    pList->SelectRow(3);
    QTest::mouseMove(pList->viewport(), pList->GetCellRect(1, 0).center());
    QTest::qWait(CInfoBulleWnd::kDelayMs + 200);
    CInfoBulleWnd& tip = pList->GetToolTipWnd();
    if (!tip.isVisible()) {
        std::fprintf(stderr, "the tooltip did not show\n");
        return 1;
    }
    // The form with the tooltip laid where it shows.
    QImage picture = host.grab().toImage();
    QPainter painter(&picture);
    painter.drawPixmap(host.mapFromGlobal(tip.geometry().topLeft()), tip.grab());
    painter.end();
    return picture.save(strPath) ? 0 : 1;
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    CreateSharedImageList();
    int nRows = 100000;
    QString strPicture;
    const QStringList arrArgs = QCoreApplication::arguments().mid(1);
    for (qsizetype i = 0; i < arrArgs.size(); ++i) {
        if (arrArgs[i] == u"--png" && i + 1 < arrArgs.size())
            strPicture = arrArgs[++i];
        else
            nRows = arrArgs[i].toInt();
    }
    if (nRows <= 0) {
        std::fprintf(stderr, "usage: bench_lists [rows] [--png picture.png]\n");
        return 2;
    }
    if (!strPicture.isEmpty())
        return RenderReview(strPicture);
    return RunBenchmark(nRows);
}
