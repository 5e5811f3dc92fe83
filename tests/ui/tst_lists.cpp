// The owner-drawn lists, their cutting and colour rules and the tooltip.

#include "res/resourceimages.h"
#include "views/comparelistctrl.h"
#include "views/infobullewnd.h"
#include "views/listitemsource.h"
#include "views/zembralistctrl.h"

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QTest>

#include <memory>

namespace {

struct Item
{
    QStringList arrTexts;
    int nImage;
};

// The owner's items: texts per column and an image (the status of a
// comparison list); counts what the list asks.
class ItemSource : public IListItemSource
{
public:
    QString GetItemText(int nItem, int nColumn) const override
    {
        ++m_nTextRequests;
        return m_arrItems.value(nItem).arrTexts.value(nColumn);
    }
    int GetItemImage(int nItem) const override { return m_arrItems.value(nItem, Item{{}, -1}).nImage; }

    QList<Item> m_arrItems;
    mutable int m_nTextRequests = 0;
};

// Numbered items made up when asked, however many there are.
class GeneratedSource : public IListItemSource
{
public:
    QString GetItemText(int nItem, int nColumn) const override
    {
        ++m_nTextRequests;
        return QStringLiteral("F%1 column %2").arg(nItem).arg(nColumn);
    }
    int GetItemImage(int nItem) const override { return nItem % 4; }

    mutable int m_nTextRequests = 0;
};

// A form holding a list and an edit field, as the comparison window's
// forms do: the tooltip works while the focus is inside the form.
struct ListForm
{
    explicit ListForm(std::unique_ptr<CZembraListCtrl> pOwnedList)
    {
        host.resize(420, 300);
        pList = pOwnedList.release();
        pList->setParent(&host);
        pList->setFont(ListFont());
        pList->setGeometry(10, 10, 360, 200);
        pList->SetItemSource(&source);
        pEdit = new QLineEdit(&host);
        pEdit->setGeometry(10, 250, 200, 24);
    }

    static QFont ListFont()
    {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPointSize(10);
        return font;
    }

    // With the focus on the list, or on the edit field (no focus frame).
    bool Show(bool bFocusList = true)
    {
        host.show();
        host.activateWindow();
        if (!QTest::qWaitForWindowActive(&host))
            return false;
        // The pointer starts away from the rows: a move to where it already
        // is would not be seen.
        QTest::mouseMove(&host, QPoint(host.width() - 3, host.height() - 3));
        QWidget* pFocus = bFocusList ? static_cast<QWidget*>(pList) : pEdit;
        pFocus->setFocus();
        return pFocus->hasFocus();
    }

    void SetItems(const QList<Item>& arrItems)
    {
        source.m_arrItems = arrItems;
        pList->SetItemCount(int(arrItems.size()));
    }

    QImage Shot() const { return pList->viewport()->grab().toImage(); }

    QWidget host;
    ItemSource source;
    CZembraListCtrl* pList = nullptr;
    QLineEdit* pEdit = nullptr;
};

int TextWidth(const CZembraListCtrl& list, int nRow, const QString& strText)
{
    return QFontMetrics(list.GetItemFont(nRow), list.viewport()).horizontalAdvance(strText);
}

// The first and last x of a rectangle holding a pixel other than the
// background; (-1, -1) when there is none.
QPair<int, int> InkSpan(const QImage& image, const QRect& rect, const QColor& background)
{
    int nFirst = -1;
    int nLast = -1;
    for (int x = rect.left(); x <= rect.right(); ++x) {
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            if (QColor(image.pixel(x, y)) != background) {
                if (nFirst < 0)
                    nFirst = x;
                nLast = x;
                break;
            }
        }
    }
    return {nFirst, nLast};
}

int CountPixels(const QImage& image, const QRect& rect, const QColor& color)
{
    int nCount = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x)
            nCount += QColor(image.pixel(x, y)) == color;
    }
    return nCount;
}

QColor Highlight(const QWidget& widget)
{
    return widget.palette().color(QPalette::Active, QPalette::Highlight);
}

}  // namespace

class TestLists : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { CreateSharedImageList(); }

    void drawnText_data();
    void drawnText();
    void truncationMatchesDrawing_data();
    void truncationMatchesDrawing();
    void boldTextMeasuredBold();
    void cutRightAlignedValueDrawnFromTheLeft();
    void cellTooNarrowForDotsShowsNothing();
    void statusColours_data();
    void statusColours();
    void selectedRowKeepsStatusColour();
    void selectedLook();
    void disabledLook();
    void iconsFromTheSharedImages();
    void focusedRowFramed();
    void zeroWidthColumnShowsNothing();
    void hitTest_data();
    void hitTest();
    void selectionByClick();
    void selectionByKeyboard_data();
    void selectionByKeyboard();
    void rowsAskedOnDemand();
    void rowsReadByScreenReaders();
    void tooltipAfterDelayOverCutCell();
    void tooltipMovesToAnotherCell();
    void tooltipNotForCellThatFits();
    void tooltipHiddenWhenLeavingTheRows_data();
    void tooltipHiddenWhenLeavingTheRows();
    void tooltipNeverInModeZero();
    void tooltipKeptOnScreen();
};

void TestLists::drawnText_data()
{
    QTest::addColumn<QString>("strText");
    QTest::addColumn<QString>("strWidth");   // "text" or "dots": width + 4 of it
    QTest::addColumn<int>("nExtra");         // pixels added to that width
    QTest::addColumn<int>("nFormat");
    QTest::addColumn<QString>("strShown");   // "whole", "cut" or "nothing"
    QTest::addColumn<int>("nAlignment");

    const QString strValue = QStringLiteral("1234567.89");
    QTest::newRow("exact fit drawn whole, right") << strValue << "text" << 0 << int(Qt::AlignRight) << "whole"
                                                   << int(Qt::AlignRight);
    QTest::newRow("exact fit drawn whole, centred") << strValue << "text" << 0 << int(Qt::AlignHCenter) << "whole"
                                                     << int(Qt::AlignHCenter);
    QTest::newRow("wider cell, left") << strValue << "text" << 40 << int(Qt::AlignLeft) << "whole"
                                      << int(Qt::AlignLeft);
    QTest::newRow("one pixel short: cut, left-aligned") << strValue << "text" << -1 << int(Qt::AlignRight) << "cut"
                                                        << int(Qt::AlignLeft);
    QTest::newRow("cut centred value left-aligned") << strValue << "text" << -20 << int(Qt::AlignHCenter) << "cut"
                                                    << int(Qt::AlignLeft);
    QTest::newRow("cell of 4 + dots shows nothing") << strValue << "dots" << 0 << int(Qt::AlignRight) << "nothing"
                                                    << int(Qt::AlignLeft);
    QTest::newRow("narrower still shows nothing") << strValue << "dots" << -5 << int(Qt::AlignLeft) << "nothing"
                                                  << int(Qt::AlignLeft);
    QTest::newRow("one pixel more than dots") << strValue << "dots" << 1 << int(Qt::AlignRight) << "cut"
                                              << int(Qt::AlignLeft);
    QTest::newRow("empty text") << QString() << "text" << 0 << int(Qt::AlignRight) << "whole"
                                << int(Qt::AlignRight);
}

void TestLists::drawnText()
{
    QFETCH(QString, strText);
    QFETCH(QString, strWidth);
    QFETCH(int, nExtra);
    QFETCH(int, nFormat);
    QFETCH(QString, strShown);
    QFETCH(int, nAlignment);

    const QFontMetrics metrics(ListForm::ListFont());
    const QString strDots = QStringLiteral("...");
    const int nWidth = metrics.horizontalAdvance(strWidth == u"dots" ? strDots : strText) + 4 + nExtra;
    const CZembraListCtrl::DrawnText drawn =
        CZembraListCtrl::GetDrawnText(metrics, strText, nWidth, Qt::Alignment(nFormat));
    QCOMPARE(int(drawn.alignment), nAlignment);
    if (strShown == u"whole") {
        QCOMPARE(drawn.strText, strText);
    } else if (strShown == u"nothing") {
        QVERIFY(drawn.strText.isEmpty());
    } else {
        QVERIFY(drawn.strText.endsWith(strDots));
        QVERIFY(strText.startsWith(drawn.strText.chopped(3)));
        QVERIFY(metrics.horizontalAdvance(drawn.strText) + 4 <= nWidth);
    }
}

void TestLists::truncationMatchesDrawing_data()
{
    QTest::addColumn<int>("nColumn");
    QTest::addColumn<bool>("bIcons");
    QTest::addColumn<int>("nExtra");   // column width minus (text width + 4 + icon room)
    QTest::addColumn<bool>("bTruncated");
    QTest::newRow("second column, exact fit") << 1 << false << 0 << false;
    QTest::newRow("second column, one pixel short") << 1 << false << -1 << true;
    QTest::newRow("first column, exact fit") << 0 << false << 0 << false;
    QTest::newRow("first column with icons, exact fit") << 0 << true << 0 << false;
    QTest::newRow("first column with icons, one pixel short") << 0 << true << -1 << true;
}

void TestLists::truncationMatchesDrawing()
{
    QFETCH(int, nColumn);
    QFETCH(bool, bIcons);
    QFETCH(int, nExtra);
    QFETCH(bool, bTruncated);

    ListForm form(std::make_unique<CZembraListCtrl>(CZembraListCtrl::TOOLTIP_CUT_CELLS));
    CZembraListCtrl& list = *form.pList;
    list.InsertColumn(0, QStringLiteral("Name"), Qt::AlignLeft, 150);
    list.InsertColumn(1, QStringLiteral("Value"), Qt::AlignRight, 150);
    if (bIcons)
        list.SetImageList(SharedImageList());
    const QString strText = QStringLiteral("F0101 Address Book Master");
    form.SetItems({{{strText, strText}, IMG_TABLE}});
    QVERIFY(form.Show());
    const int nIconRoom = bIcons ? 18 : 0;
    list.SetColumnWidth(nColumn, TextWidth(list, 0, strText) + 4 + nIconRoom + nExtra);
    QCOMPARE(list.IsTextTruncated(strText, 0, nColumn), bTruncated);
    QCOMPARE(list.GetCellRect(0, nColumn).width(), TextWidth(list, 0, strText) + 4 + nExtra);
    // What is drawn agrees: a text that is not cut is drawn whole.
    const CZembraListCtrl::DrawnText drawn =
        CZembraListCtrl::GetDrawnText(QFontMetrics(list.GetItemFont(0), list.viewport()), strText,
                                      list.GetCellRect(0, nColumn).width(), Qt::AlignRight);
    QCOMPARE(drawn.strText != strText, bTruncated);
}

void TestLists::boldTextMeasuredBold()
{
    // Fits in the normal weight, not in bold: a different table's name is cut
    // and gets its tooltip; an identical one's fits.
    ListForm form(std::make_unique<CCompareListCtrl>());
    CZembraListCtrl& list = *form.pList;
    const QString strText = QStringLiteral("F0101 Address Book");
    list.InsertColumn(0, QStringLiteral("Table"), Qt::AlignLeft, 100);
    form.SetItems({{{strText}, 0}, {{strText}, 3}});
    QVERIFY(form.Show());
    QVERIFY(TextWidth(list, 1, strText) > TextWidth(list, 0, strText));
    list.SetColumnWidth(0, TextWidth(list, 0, strText) + 4);
    QVERIFY(!list.IsTextTruncated(strText, 0, 0));
    QVERIFY(list.IsTextTruncated(strText, 1, 0));
    QTest::mouseMove(list.viewport(), list.GetCellRect(1, 0).center());
    QTRY_VERIFY_WITH_TIMEOUT(list.GetToolTipWnd().isVisible(), 3000);
    QCOMPARE(list.GetToolTipWnd().GetText(), strText);
}

void TestLists::cutRightAlignedValueDrawnFromTheLeft()
{
    ListForm form(std::make_unique<CZembraListCtrl>());
    CZembraListCtrl& list = *form.pList;
    list.InsertColumn(0, QStringLiteral("Name"), Qt::AlignLeft, 80);
    list.InsertColumn(1, QStringLiteral("Size"), Qt::AlignRight, 90);
    const QString strShort = QStringLiteral("12");
    const QString strLong = QStringLiteral("123456789012345678901234567890");
    form.SetItems({{{QStringLiteral("A"), strShort}, -1}, {{QStringLiteral("B"), strLong}, -1}});
    QVERIFY(form.Show(false));
    const QImage shot = form.Shot();
    const QColor background = list.GetTextBkColor();

    const QRect fitting = list.GetCellRect(0, 1);
    const QPair<int, int> fitInk = InkSpan(shot, fitting, background);
    QVERIFY(fitInk.first >= 0);
    // A value that fits ends at the right margin.
    QVERIFY2(fitInk.second >= fitting.right() - 4, qPrintable(QString::number(fitInk.second)));
    QVERIFY(fitInk.first > fitting.left() + fitting.width() / 2);

    const QRect cut = list.GetCellRect(1, 1);
    const QPair<int, int> cutInk = InkSpan(shot, cut, background);
    QVERIFY(cutInk.first >= 0);
    // A cut value starts at the left margin and ends with "..." inside the cell.
    QVERIFY2(cutInk.first <= cut.left() + 4, qPrintable(QString::number(cutInk.first - cut.left())));
    QVERIFY(cutInk.second <= cut.right() - 2);
}

void TestLists::cellTooNarrowForDotsShowsNothing()
{
    ListForm form(std::make_unique<CZembraListCtrl>());
    CZembraListCtrl& list = *form.pList;
    list.InsertColumn(0, QStringLiteral("Name"), Qt::AlignLeft, 100);
    list.InsertColumn(1, QStringLiteral("Size"), Qt::AlignRight, 100);
    form.SetItems({{{QStringLiteral("A"), QStringLiteral("123456789")}, -1}});
    QVERIFY(form.Show(false));
    list.SetColumnWidth(1, TextWidth(list, 0, QStringLiteral("...")) + 4);
    const QImage shot = form.Shot();
    QCOMPARE(InkSpan(shot, list.GetCellRect(0, 1), list.GetTextBkColor()), qMakePair(-1, -1));
    // One pixel more and the dots appear.
    list.SetColumnWidth(1, TextWidth(list, 0, QStringLiteral("...")) + 5);
    QVERIFY(InkSpan(form.Shot(), list.GetCellRect(0, 1), list.GetTextBkColor()).first >= 0);
}

void TestLists::statusColours_data()
{
    QTest::addColumn<int>("nStatus");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<bool>("bBold");
    QTest::newRow("0 identical") << 0 << QColor(0, 0, 0) << false;
    QTest::newRow("1 left only") << 1 << QColor(0, 0, 128) << true;
    QTest::newRow("2 right only") << 2 << QColor(0, 128, 0) << true;
    QTest::newRow("3 different") << 3 << QColor(255, 0, 0) << true;
    QTest::newRow("7 unknown") << 7 << QColor(128, 128, 128) << false;
    QTest::newRow("99 unset") << 99 << QColor(128, 128, 128) << false;
    QTest::newRow("-1 none") << -1 << QColor(128, 128, 128) << false;
}

void TestLists::statusColours()
{
    QFETCH(int, nStatus);
    QFETCH(QColor, colour);
    QFETCH(bool, bBold);
    QCOMPARE(GetStatusColor(nStatus), colour);

    // Row 0 has status 0 as the reference, row 1 the status of the case.
    ListForm form(std::make_unique<CCompareListCtrl>());
    CZembraListCtrl& list = *form.pList;
    list.InsertColumn(0, QStringLiteral("Table"), Qt::AlignLeft, 300);
    const QString strText = QStringLiteral("HILL IMMH");
    form.SetItems({{{strText}, 0}, {{strText}, nStatus}});
    QVERIFY(form.Show(false));
    const QImage shot = form.Shot();
    const QRect row = list.GetCellRect(1, 0);
    QVERIFY(CountPixels(shot, row, colour) > 10);
    for (int nOther = 0; nOther < 5; ++nOther) {
        if (GetStatusColor(nOther) != colour)
            QCOMPARE(CountPixels(shot, row, GetStatusColor(nOther)), 0);
    }
    // Bold text runs wider than the same text in the normal weight.
    const QPair<int, int> reference = InkSpan(shot, list.GetCellRect(0, 0), list.GetTextBkColor());
    const QPair<int, int> ink = InkSpan(shot, row, list.GetTextBkColor());
    QCOMPARE(ink.first, reference.first);
    if (bBold)
        QVERIFY2(ink.second > reference.second + 3, qPrintable(QStringLiteral("%1 %2").arg(ink.second).arg(reference.second)));
    else
        QCOMPARE(ink.second, reference.second);
    QCOMPARE(list.GetItemFont(1).bold(), bBold);
}

void TestLists::selectedRowKeepsStatusColour()
{
    ListForm form(std::make_unique<CCompareListCtrl>());
    CZembraListCtrl& list = *form.pList;
    list.InsertColumn(0, QStringLiteral("Table"), Qt::AlignLeft, 300);
    form.SetItems({{{QStringLiteral("HILL IMMH")}, 3}});
    QVERIFY(form.Show(false));
    list.SelectRow(0);
    const QImage shot = form.Shot();
    const QRect label = list.GetLabelRect(0);
    QVERIFY(CountPixels(shot, label, Highlight(list)) > label.width());
    QVERIFY(CountPixels(shot, label, QColor(255, 0, 0)) > 10);
}

void TestLists::selectedLook()
{
    ListForm form(std::make_unique<CZembraListCtrl>());
    CZembraListCtrl& list = *form.pList;
    list.InsertColumn(0, QStringLiteral("Table"), Qt::AlignLeft, 200);
    list.InsertColumn(1, QStringLiteral("Text"), Qt::AlignLeft, 100);
    form.SetItems({{{QStringLiteral("HILL"), QStringLiteral("IMMH")}, -1}, {{QStringLiteral("HILL"), QString()}, -1}});
    QVERIFY(form.Show());
    list.SelectRow(1);
    // The selection stays shown when the focus goes elsewhere.
    form.pEdit->setFocus();
    QVERIFY(!list.hasFocus());
    const QImage shot = form.Shot();
    const QRect selected = list.GetItemRect(1).adjusted(0, 2, 0, -2);
    const QColor highlightedText = list.palette().color(QPalette::Active, QPalette::HighlightedText);
    QVERIFY(CountPixels(shot, selected, Highlight(list)) > selected.width() * selected.height() / 2);
    QVERIFY(CountPixels(shot, list.GetCellRect(1, 0), highlightedText) > 5);
    const QRect plain = list.GetItemRect(0);
    QCOMPARE(CountPixels(shot, plain, Highlight(list)), 0);
    QVERIFY(CountPixels(shot, plain, list.palette().color(QPalette::Active, QPalette::Text)) > 5);
    QCOMPARE(list.GetSelectedRow(), 1);
}

void TestLists::disabledLook()
{
    ListForm form(std::make_unique<CZembraListCtrl>());
    CZembraListCtrl& list = *form.pList;
    list.InsertColumn(0, QStringLiteral("Table"), Qt::AlignLeft, 200);
    list.SetImageList(SharedImageList());
    form.SetItems({{{QStringLiteral("HILL IMMH")}, IMG_TABLE}});
    QVERIFY(form.Show(false));
    list.setEnabled(false);
    const QImage shot = form.Shot();
    const QRect label = list.GetLabelRect(0);
    const QColor face = list.palette().color(QPalette::Disabled, QPalette::Button);
    QVERIFY(CountPixels(shot, label, face) > label.width() * label.height() / 2);
    QVERIFY(CountPixels(shot, label, list.palette().color(QPalette::Disabled, QPalette::Text)) > 5);
    // Every other pixel of the icon takes the highlight colour.
    const QRect icon = list.GetIconRect(0);
    QCOMPARE(icon.size(), QSize(16, 16));
    const QColor highlight = Highlight(list);
    const bool bEven = QColor(shot.pixel(icon.topLeft())) == highlight;
    int nChecked = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const bool bHighlighted = QColor(shot.pixel(icon.left() + x, icon.top() + y)) == highlight;
            if (((x + y) % 2 == 0) == bEven)
                nChecked += bHighlighted;
        }
    }
    QCOMPARE(nChecked, 128);
}

void TestLists::iconsFromTheSharedImages()
{
    ListForm form(std::make_unique<CZembraListCtrl>());
    CZembraListCtrl& list = *form.pList;
    list.InsertColumn(0, QStringLiteral("Table"), Qt::AlignLeft, 200);
    list.SetImageList(SharedImageList());
    form.SetItems({{{QStringLiteral("F0101")}, IMG_TABLE}, {{QStringLiteral("V0101")}, IMG_VIEW},
                   {{QStringLiteral("none")}, -1}});
    QVERIFY(form.Show(false));
    QImage shot = form.Shot();
    for (int nRow = 0; nRow < 2; ++nRow) {
        // The image drawn over the list's background.
        QImage expected(16, 16, QImage::Format_RGB32);
        expected.fill(list.GetBkColor());
        QPainter painter(&expected);
        painter.drawPixmap(0, 0, SharedImageList()[nRow == 0 ? IMG_TABLE : IMG_VIEW]);
        painter.end();
        QCOMPARE(shot.copy(list.GetIconRect(nRow)).convertToFormat(QImage::Format_RGB32), expected);
    }
    QCOMPARE(CountPixels(shot, list.GetIconRect(2), list.GetBkColor()), 16 * 16);
    // Selected, the picture is blended half and half with the highlight;
    // its transparent pixels keep the list's background.
    list.SelectRow(0);
    const QImage selected = form.Shot();
    const QRect icon = list.GetIconRect(0);
    const QImage image = SharedImageList()[IMG_TABLE].toImage().convertToFormat(QImage::Format_ARGB32);
    const QColor highlight = Highlight(list);
    int nOpaque = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const QColor drawn(selected.pixel(icon.left() + x, icon.top() + y));
            const QColor source = QColor::fromRgba(image.pixel(x, y));
            if (source.alpha() == 0) {
                QCOMPARE(drawn, list.GetBkColor());
            } else if (source.alpha() == 255) {
                ++nOpaque;
                QVERIFY(std::abs(drawn.red() - (source.red() + highlight.red()) / 2) <= 2);
                QVERIFY(std::abs(drawn.green() - (source.green() + highlight.green()) / 2) <= 2);
                QVERIFY(std::abs(drawn.blue() - (source.blue() + highlight.blue()) / 2) <= 2);
            }
        }
    }
    QVERIFY(nOpaque > 100);
    QCOMPARE(list.GetLabelRect(0).left(), icon.right() + 1);
}

void TestLists::focusedRowFramed()
{
    ListForm form(std::make_unique<CZembraListCtrl>());
    CZembraListCtrl& list = *form.pList;
    list.InsertColumn(0, QStringLiteral("Table"), Qt::AlignLeft, 150);
    list.InsertColumn(1, QStringLiteral("Size"), Qt::AlignRight, 100);
    list.SetImageList(SharedImageList());
    form.SetItems({{{QStringLiteral("A"), QStringLiteral("1")}, IMG_TABLE},
                   {{QStringLiteral("B"), QStringLiteral("2")}, IMG_TABLE}});
    QVERIFY(form.Show());
    list.SelectRow(1);
    const QColor frameColour = list.palette().color(QPalette::Active, QPalette::HighlightedText);
    const QRect label = list.GetLabelRect(1);
    // The top line of the row, from the label to the last column.
    const QRect topLine(label.left(), label.top(), list.GetItemRect(1).right() - label.left() + 1, 1);
    QImage shot = form.Shot();
    const int nDots = CountPixels(shot, topLine, frameColour);
    QVERIFY2(nDots > topLine.width() / 4 && nDots < topLine.width() / 2, qPrintable(QString::number(nDots)));
    // Not on the other row.
    const QRect otherTopLine = topLine.translated(0, list.GetItemRect(0).top() - topLine.top());
    QCOMPARE(CountPixels(shot, otherTopLine, list.palette().color(QPalette::Active, QPalette::Text)), 0);
    // Without the focus the selection shows, the frame does not.
    form.pEdit->setFocus();
    const QImage unfocused = form.Shot();
    QCOMPARE(CountPixels(unfocused, topLine, frameColour), 0);
    QCOMPARE(CountPixels(unfocused, topLine, Highlight(list)), topLine.width());
    // The icon is left out of the frame.
    const QRect iconArea(0, label.top(), label.left(), label.height());
    QCOMPARE(shot.copy(iconArea), unfocused.copy(iconArea));
}

void TestLists::zeroWidthColumnShowsNothing()
{
    ListForm form(std::make_unique<CZembraListCtrl>());
    CZembraListCtrl& list = *form.pList;
    list.InsertColumn(0, QStringLiteral("Name"), Qt::AlignLeft, 100);
    list.InsertColumn(1, QStringLiteral("Hidden"), Qt::AlignLeft, 100);
    list.InsertColumn(2, QStringLiteral("Last"), Qt::AlignLeft, 80);
    form.SetItems({{{QStringLiteral("A"), QStringLiteral("MMMMMMMM"), QStringLiteral("I")}, -1}});
    QVERIFY(form.Show(false));
    list.SetColumnWidth(1, 0);
    QCOMPARE(list.GetColumnWidth(1), 0);
    const QRect last = list.GetCellRect(0, 2);
    QCOMPARE(last.left(), list.GetCellRect(0, 0).right() + 1);
    int nColumn = -1;
    QCOMPARE(list.HitTestEx(last.center(), &nColumn), 0);
    QCOMPARE(nColumn, 2);
    // Only the last column's "I" is drawn there.
    const QPair<int, int> ink = InkSpan(form.Shot(), last, list.GetTextBkColor());
    QVERIFY(ink.first >= last.left() + 2);
    QVERIFY(ink.second <= last.left() + 2 + TextWidth(list, 0, QStringLiteral("I")));
}

void TestLists::hitTest_data()
{
    QTest::addColumn<QString>("strWhere");
    QTest::addColumn<int>("nRow");
    QTest::addColumn<int>("nColumn");
    QTest::newRow("icon of row 1") << "icon" << 1 << 0;
    QTest::newRow("label of row 2") << "label" << 2 << 0;
    QTest::newRow("second column of row 0") << "second" << 0 << 1;
    QTest::newRow("right of the columns") << "beyond" << 1 << -1;
    QTest::newRow("below the rows") << "below" << -1 << -1;
    QTest::newRow("outside the list") << "outside" << -1 << -1;
}

void TestLists::hitTest()
{
    QFETCH(QString, strWhere);
    QFETCH(int, nRow);
    QFETCH(int, nColumn);

    ListForm form(std::make_unique<CZembraListCtrl>());
    CZembraListCtrl& list = *form.pList;
    list.InsertColumn(0, QStringLiteral("Name"), Qt::AlignLeft, 120);
    list.InsertColumn(1, QStringLiteral("Size"), Qt::AlignRight, 80);
    list.SetImageList(SharedImageList());
    form.SetItems({{{QStringLiteral("A"), QStringLiteral("1")}, 2},
                   {{QStringLiteral("B"), QStringLiteral("2")}, 2},
                   {{QStringLiteral("C"), QStringLiteral("3")}, 2}});
    QVERIFY(form.Show());
    const int nRowAt = nRow >= 0 ? nRow : 0;
    QPoint point;
    if (strWhere == u"icon")
        point = list.GetIconRect(nRowAt).center();
    else if (strWhere == u"label")
        point = list.GetLabelRect(nRowAt).center();
    else if (strWhere == u"second")
        point = list.GetCellRect(nRowAt, 1).center();
    else if (strWhere == u"beyond")
        point = QPoint(250, list.GetItemRect(nRowAt).center().y());
    else if (strWhere == u"below")
        point = QPoint(40, list.GetItemRect(2).bottom() + 30);
    else
        point = QPoint(-5, 5);
    int nHitColumn = -2;
    QRect cell;
    QCOMPARE(list.HitTestEx(point, &nHitColumn, &cell), nRow);
    QCOMPARE(nHitColumn, nColumn);
    if (nColumn >= 0)
        QCOMPARE(cell, list.GetCellRect(nRow, nColumn));
    else
        QVERIFY(cell.isNull());
}

void TestLists::selectionByClick()
{
    ListForm form(std::make_unique<CZembraListCtrl>());
    CZembraListCtrl& list = *form.pList;
    list.InsertColumn(0, QStringLiteral("Name"), Qt::AlignLeft, 120);
    list.InsertColumn(1, QStringLiteral("Size"), Qt::AlignRight, 80);
    QList<Item> arrItems;
    for (int i = 0; i < 5; ++i)
        arrItems.append({{QStringLiteral("T%1").arg(i), QString::number(i)}, -1});
    form.SetItems(arrItems);
    QVERIFY(form.Show());
    QCOMPARE(list.GetSelectedRow(), -1);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.GetCellRect(3, 1).center());
    QCOMPARE(list.GetSelectedRow(), 3);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.GetCellRect(1, 0).center());
    QCOMPARE(list.GetSelectedRow(), 1);
    QCOMPARE(list.selectionModel()->selectedRows().size(), 1);
    // Ctrl does not add a second row.
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier, list.GetCellRect(4, 0).center());
    QCOMPARE(list.selectionModel()->selectedRows().size(), 1);
}

void TestLists::selectionByKeyboard_data()
{
    QTest::addColumn<int>("nStart");
    QTest::addColumn<int>("nKey");
    QTest::addColumn<int>("nExpected");
    QTest::newRow("down") << 4 << int(Qt::Key_Down) << 5;
    QTest::newRow("up") << 4 << int(Qt::Key_Up) << 3;
    QTest::newRow("up at the top") << 0 << int(Qt::Key_Up) << 0;
    QTest::newRow("down at the end") << 99 << int(Qt::Key_Down) << 99;
    QTest::newRow("home") << 50 << int(Qt::Key_Home) << 0;
    QTest::newRow("end") << 2 << int(Qt::Key_End) << 99;
}

void TestLists::selectionByKeyboard()
{
    QFETCH(int, nStart);
    QFETCH(int, nKey);
    QFETCH(int, nExpected);

    ListForm form(std::make_unique<CZembraListCtrl>());
    GeneratedSource source;
    CZembraListCtrl& list = *form.pList;
    list.SetItemSource(&source);
    list.InsertColumn(0, QStringLiteral("Name"), Qt::AlignLeft, 200);
    list.SetItemCount(100);
    QVERIFY(form.Show());
    list.SelectRow(nStart);
    QTest::keyClick(&list, Qt::Key(nKey));
    QCOMPARE(list.GetSelectedRow(), nExpected);
    // The selected row is in view.
    QVERIFY(list.viewport()->rect().intersects(list.GetItemRect(nExpected)));
}

void TestLists::rowsAskedOnDemand()
{
    ListForm form(std::make_unique<CCompareListCtrl>());
    GeneratedSource source;
    CZembraListCtrl& list = *form.pList;
    list.SetItemSource(&source);
    list.InsertColumn(0, QStringLiteral("Name"), Qt::AlignLeft, 200);
    list.InsertColumn(1, QStringLiteral("Text"), Qt::AlignLeft, 150);
    list.SetItemCount(100000);
    QVERIFY(form.Show());
    QVERIFY(QTest::qWaitForWindowExposed(&form.host));
    form.Shot();
    QCOMPARE(list.GetItemCount(), 100000);
    QCOMPARE(list.GetItemData(99999), 99999);
    // Only the rows on screen were asked for, a few times at most.
    const int nVisibleCells = (list.GetCountPerPage() + 1) * 2;
    QVERIFY2(source.m_nTextRequests > 0 && source.m_nTextRequests <= 8 * nVisibleCells,
             qPrintable(QString::number(source.m_nTextRequests)));
    const int nBefore = source.m_nTextRequests;
    QTest::keyClick(&list, Qt::Key_End);
    form.Shot();
    QCOMPARE(list.GetSelectedRow(), 99999);
    QVERIFY(source.m_nTextRequests - nBefore <= 8 * nVisibleCells);
    // The owner's items, in its order.
    list.SetItems({7, 3, 5});
    QCOMPARE(list.GetItemCount(), 3);
    QCOMPARE(list.GetItemData(1), 3);
    QCOMPARE(list.GetItemText(1, 0), QStringLiteral("F3 column 0"));
    QCOMPARE(list.GetItemData(3), -1);
}

void TestLists::rowsReadByScreenReaders()
{
    ListForm form(std::make_unique<CCompareListCtrl>());
    CZembraListCtrl& list = *form.pList;
    list.InsertColumn(0, QStringLiteral("Table"), Qt::AlignLeft, 60);
    list.InsertColumn(1, QStringLiteral("Size"), Qt::AlignRight, 60);
    const QString strLong = QStringLiteral("F0101 Address Book Master, cut on screen");
    form.SetItems({{{strLong, QStringLiteral("12")}, 3}, {{QStringLiteral("F4211"), QStringLiteral("7")}, 0}});
    QVERIFY(form.Show());
    QAccessibleInterface* pList = QAccessible::queryAccessibleInterface(&list);
    QVERIFY(pList != nullptr);
    QAccessibleTableInterface* pTable = pList->tableInterface();
    QVERIFY(pTable != nullptr);
    QCOMPARE(pTable->rowCount(), 2);
    QCOMPARE(pTable->columnCount(), 2);
    // Whole texts, even where the screen shows them cut.
    QCOMPARE(pTable->cellAt(0, 0)->text(QAccessible::Name), strLong);
    QCOMPARE(pTable->cellAt(0, 1)->text(QAccessible::Name), QStringLiteral("12"));
    QCOMPARE(pTable->cellAt(1, 0)->text(QAccessible::Name), QStringLiteral("F4211"));
}

namespace {

// A comparison list with cut and fitting cells: row 0 cut in both columns,
// row 1 fitting exactly in the first.
struct TooltipForm : ListForm
{
    explicit TooltipForm(std::unique_ptr<CZembraListCtrl> pOwnedList) : ListForm(std::move(pOwnedList))
    {
        pList->InsertColumn(0, QStringLiteral("Table"), Qt::AlignLeft, 120);
        pList->InsertColumn(1, QStringLiteral("Text"), Qt::AlignLeft, 120);
        SetItems({{{strCut, strCutToo}, 3}, {{strFits, QStringLiteral("x")}, 0}, {{strFits, strCut}, 0}});
        pList->SetColumnWidth(0, TextWidth(*pList, 1, strFits) + 4);
    }

    QPoint CellCentre(int nRow, int nColumn) const { return pList->GetCellRect(nRow, nColumn).center(); }

    // The tooltip over the cell, as it shows after the delay.
    void VerifyShownOver(int nRow, int nColumn, const QString& strText) const
    {
        const CInfoBulleWnd& tip = pList->GetToolTipWnd();
        QVERIFY(tip.isVisible());
        QCOMPARE(tip.GetText(), strText);
        const QPoint corner = pList->viewport()->mapToGlobal(pList->GetCellRect(nRow, nColumn).topLeft());
        QCOMPARE(tip.geometry().topLeft(), corner - QPoint(0, 2));
        QCOMPARE(tip.font(), pList->GetItemFont(nRow));
        const QFontMetrics metrics(tip.font());
        QCOMPARE(tip.size(), QSize(metrics.horizontalAdvance(strText) + 4, metrics.height() + 6));
        // It covers the cut text, "..." included.
        // (Inside the focus frame, which runs round the row's edges.)
        const QRect cell = pList->GetCellRect(nRow, nColumn).adjusted(0, 1, -1, -1);
        const int nInkEnd = InkSpan(Shot(), cell, pList->GetTextBkColor()).second;
        QVERIFY(nInkEnd > cell.left());
        QVERIFY(tip.geometry().right() >= pList->viewport()->mapToGlobal(QPoint(nInkEnd, 0)).x());
    }

    const QString strCut = QStringLiteral("F0101 Address Book Master");
    const QString strCutToo = QStringLiteral("Another text too long for its cell");
    const QString strFits = QStringLiteral("F4211");
};

}  // namespace

void TestLists::tooltipAfterDelayOverCutCell()
{
    TooltipForm form(std::make_unique<CCompareListCtrl>());
    QVERIFY(form.Show());
    const CInfoBulleWnd& tip = form.pList->GetToolTipWnd();
    QElapsedTimer elapsed;
    elapsed.start();
    QTest::mouseMove(form.pList->viewport(), form.CellCentre(0, 0));
    QVERIFY(!tip.isVisible());
    QVERIFY(tip.IsTimerSet());
    QTRY_VERIFY_WITH_TIMEOUT(tip.isVisible(), 3000);
    QVERIFY2(elapsed.elapsed() >= CInfoBulleWnd::kDelayMs, qPrintable(QString::number(elapsed.elapsed())));
    form.VerifyShownOver(0, 0, form.strCut);
    // The tooltip takes neither the focus nor the pointer.
    QVERIFY(form.pList->hasFocus());
    QVERIFY(tip.testAttribute(Qt::WA_TransparentForMouseEvents));
}

void TestLists::tooltipMovesToAnotherCell()
{
    TooltipForm form(std::make_unique<CCompareListCtrl>());
    QVERIFY(form.Show());
    const CInfoBulleWnd& tip = form.pList->GetToolTipWnd();
    QTest::mouseMove(form.pList->viewport(), form.CellCentre(0, 0));
    QTRY_VERIFY_WITH_TIMEOUT(tip.isVisible(), 3000);
    // Another cell of the same row: hidden at once, shown there after a new delay.
    QElapsedTimer elapsed;
    elapsed.start();
    QTest::mouseMove(form.pList->viewport(), form.CellCentre(0, 1));
    QVERIFY(!tip.isVisible());
    QVERIFY(tip.IsTimerSet());
    QTRY_VERIFY_WITH_TIMEOUT(tip.isVisible(), 3000);
    QVERIFY(elapsed.elapsed() >= CInfoBulleWnd::kDelayMs);
    form.VerifyShownOver(0, 1, form.strCutToo);
    // Moving inside the same cell changes nothing.
    QTest::mouseMove(form.pList->viewport(), form.CellCentre(0, 1) + QPoint(3, 1));
    QVERIFY(tip.isVisible());
    form.VerifyShownOver(0, 1, form.strCutToo);
    // A cut cell of another row.
    QTest::mouseMove(form.pList->viewport(), form.CellCentre(2, 1));
    QVERIFY(!tip.isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(tip.isVisible(), 3000);
    form.VerifyShownOver(2, 1, form.strCut);
}

void TestLists::tooltipNotForCellThatFits()
{
    TooltipForm form(std::make_unique<CCompareListCtrl>());
    QVERIFY(form.Show());
    const CInfoBulleWnd& tip = form.pList->GetToolTipWnd();
    // Width + 4 equal to the cell: drawn whole, no tooltip.
    QVERIFY(!form.pList->IsTextTruncated(form.strFits, 1, 0));
    QTest::mouseMove(form.pList->viewport(), form.CellCentre(1, 0));
    QVERIFY(!tip.IsTimerSet());
    QTest::qWait(CInfoBulleWnd::kDelayMs + 200);
    QVERIFY(!tip.isVisible());
    // From a shown tooltip onto a cell that fits: hidden, and no new one.
    QTest::mouseMove(form.pList->viewport(), form.CellCentre(0, 0));
    QTRY_VERIFY_WITH_TIMEOUT(tip.isVisible(), 3000);
    QTest::mouseMove(form.pList->viewport(), form.CellCentre(1, 1));
    QVERIFY(!tip.isVisible());
    QVERIFY(!tip.IsTimerSet());
}

void TestLists::tooltipHiddenWhenLeavingTheRows_data()
{
    QTest::addColumn<QString>("strWhere");
    QTest::newRow("below the last row") << "below";
    QTest::newRow("out of the list") << "out";
    QTest::newRow("before the delay ran") << "early";
}

void TestLists::tooltipHiddenWhenLeavingTheRows()
{
    QFETCH(QString, strWhere);
    TooltipForm form(std::make_unique<CCompareListCtrl>());
    QVERIFY(form.Show());
    const CInfoBulleWnd& tip = form.pList->GetToolTipWnd();
    QTest::mouseMove(form.pList->viewport(), form.CellCentre(0, 0));
    if (strWhere != u"early")
        QTRY_VERIFY_WITH_TIMEOUT(tip.isVisible(), 3000);
    if (strWhere == u"below")
        QTest::mouseMove(form.pList->viewport(), QPoint(30, form.pList->GetItemRect(2).bottom() + 40));
    else
        QTest::mouseMove(&form.host, QPoint(400, 280));
    QVERIFY(!tip.isVisible());
    QVERIFY(!tip.IsTimerSet());
    QTest::qWait(CInfoBulleWnd::kDelayMs + 200);
    QVERIFY(!tip.isVisible());
}

void TestLists::tooltipNeverInModeZero()
{
    TooltipForm form(std::make_unique<CZembraListCtrl>(CZembraListCtrl::TOOLTIP_NONE));
    QVERIFY(form.Show());
    const CInfoBulleWnd& tip = form.pList->GetToolTipWnd();
    QVERIFY(form.pList->IsTextTruncated(form.strCut, 0, 0));
    QVERIFY(!form.pList->ShowToolTip(0, 0, form.pList->GetCellRect(0, 0)));
    QTest::mouseMove(form.pList->viewport(), form.CellCentre(0, 0));
    QTest::mouseMove(form.pList->viewport(), form.CellCentre(0, 1));
    QVERIFY(!tip.IsTimerSet());
    QTest::qWait(CInfoBulleWnd::kDelayMs + 200);
    QVERIFY(!tip.isVisible());
}

void TestLists::tooltipKeptOnScreen()
{
    TooltipForm form(std::make_unique<CCompareListCtrl>());
    QVERIFY(form.Show());
    CInfoBulleWnd& tip = form.pList->GetToolTipWnd();
    const QRect screen = form.host.screen()->geometry();
    tip.setGeometry(screen.right() - 20, 100, 10, 10);
    const QString strText = QStringLiteral("A text much wider than twenty pixels");
    tip.SetText(strText);
    QCOMPARE(tip.geometry().right(), screen.right());
    QCOMPARE(tip.width(), QFontMetrics(tip.font()).horizontalAdvance(strText) + 4);
    QCOMPARE(tip.y(), 98);
}

QTEST_MAIN(TestLists)
#include "tst_lists.moc"
