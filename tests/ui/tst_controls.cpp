// The dialog base, the template builder and the custom controls.

#include "app/messagetarget.h"
#include "controls/colorcheckbutton.h"
#include "controls/dialogbuilder.h"
#include "controls/imagefile.h"
#include "controls/logobutton.h"
#include "controls/roundbutton.h"
#include "controls/staticlink.h"
#include "controls/tabctrlex.h"
#include "controls/tvrcommondialog.h"
#include "controls/windowfunctions.h"
#include "res/dialogtemplates.h"
#include "res/resourceimages.h"
#include "tests/app/privatesettings.h"

#include "app/settingsstore.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTest>

namespace {

// A widget that records the messages its children send it.
class RecordingParent : public QWidget, public CMessageTarget
{
public:
    qintptr SendMessage(unsigned nMessage, qintptr, qintptr) override
    {
        m_arrMessages.append(nMessage);
        return 0;
    }
    void PostMessage(unsigned nMessage, qintptr, qintptr) override { m_arrMessages.append(nMessage); }

    QList<unsigned> m_arrMessages;
};

// The data-source template gives a dialog with OK and Cancel.
class OkCancelDialog : public CTvrCommonDialog
{
public:
    OkCancelDialog() : CTvrCommonDialog(DialogId::DataSources, nullptr) {}
};

}  // namespace

class TestControls : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { m_pSettings = std::make_unique<PrivateSettings>(); }

    void mulDiv_data();
    void mulDiv();
    void layoutOkCancel_data();
    void layoutOkCancel();
    void layoutOkCancelWithoutButtons();
    void makeShortString_data();
    void makeShortString();
    void fitRect_data();
    void fitRect();
    void roundButton_data();
    void roundButton();
    void checkButtonSendsToggle();
    void linkThatFailsKeepsItsColour();
    void linkThatOpensIsVisited();
    void logoButtonOpensItsAddress_data();
    void logoButtonOpensItsAddress();
    void builderTagsAndConverts();
    void templatesOfBothLanguages();
    void comparisonTemplateTexts_data();
    void comparisonTemplateTexts();
    void enableControlMovesFocus();
    void restoreSizeRules_data();
    void restoreSizeRules();
    void maximisedDialogStoresRestoredSize();
    void tabContents_data();
    void tabContents();

private:
    std::unique_ptr<PrivateSettings> m_pSettings;
};

void TestControls::mulDiv_data()
{
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<int>("c");
    QTest::addColumn<int>("result");
    QTest::newRow("thirds of 23") << 23 << 1 << 3 << 8;
    QTest::newRow("thirds of 22") << 22 << 1 << 3 << 7;
    QTest::newRow("half rounds up") << 3 << 1 << 2 << 2;
    QTest::newRow("negative half rounds away") << -3 << 1 << 2 << -2;
    QTest::newRow("five quarters") << 13 << 5 << 4 << 16;
    QTest::newRow("divide by zero") << 1 << 1 << 0 << -1;
}

void TestControls::mulDiv()
{
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(int, c);
    QFETCH(int, result);
    QCOMPARE(MulDiv(a, b, c), result);
}

void TestControls::layoutOkCancel_data()
{
    QTest::addColumn<int>("cx");
    QTest::addColumn<int>("nButtonWidth");
    QTest::addColumn<bool>("bCancelVisible");
    QTest::addColumn<int>("nOkLeft");
    QTest::addColumn<int>("nCancelLeft");
    QTest::newRow("one button of 75 in 300") << 300 << 75 << false << 112 << -1;
    QTest::newRow("two buttons of 75 in 200") << 200 << 75 << true << 17 << 108;
    QTest::newRow("gap at most a button width") << 600 << 75 << true << 187 << 337;
}

void TestControls::layoutOkCancel()
{
    QFETCH(int, cx);
    QFETCH(int, nButtonWidth);
    QFETCH(bool, bCancelVisible);
    QFETCH(int, nOkLeft);
    QFETCH(int, nCancelLeft);

    OkCancelDialog dlg;
    QVERIFY(dlg.Create());
    QWidget* pOk = dlg.GetDlgItem(IDOK);
    QWidget* pCancel = dlg.GetDlgItem(IDCANCEL);
    pOk->resize(nButtonWidth, 23);
    pCancel->resize(nButtonWidth, 23);
    pCancel->setVisible(bCancelVisible);
    int h = 0;
    const int m = dlg.LayoutOkCancel(cx, 150, h);
    QCOMPARE(h, 23);
    QCOMPARE(m, 8);
    QCOMPARE(pOk->x(), nOkLeft);
    QCOMPARE(pOk->geometry().bottom() + 1, 150 - m);
    if (bCancelVisible) {
        QCOMPARE(pCancel->x(), nCancelLeft);
        QCOMPARE(pCancel->geometry().bottom() + 1, 150 - m);
    }
}

void TestControls::layoutOkCancelWithoutButtons()
{
    // A template without OK and Cancel (the main dialog's) gives -1.
    class NoButtons : public CTvrCommonDialog
    {
    public:
        NoButtons() : CTvrCommonDialog(DialogId::Main, nullptr) {}
    } dlg;
    QVERIFY(dlg.Create());
    int h = -7;
    QCOMPARE(dlg.LayoutOkCancel(300, 100, h), -1);
    QCOMPARE(h, -7);
}

void TestControls::makeShortString_data()
{
    QTest::addColumn<QString>("strText");
    QTest::addColumn<int>("nExtra");    // width relative to the text's width + offset
    QTest::addColumn<int>("nOffset");
    QTest::addColumn<QString>("strExpected");  // "=" the text itself, "" empty, "..." ends with dots
    QTest::newRow("exact fit kept") << QStringLiteral("PRODDTA (120)") << 0 << 4 << QStringLiteral("=");
    QTest::newRow("wider kept") << QStringLiteral("PRODDTA") << 30 << 4 << QStringLiteral("=");
    QTest::newRow("empty text") << QString() << -10 << 4 << QString();
    QTest::newRow("one pixel short is cut") << QStringLiteral("PRODDTA (120)") << -1 << 4 << QStringLiteral("...");
}

void TestControls::makeShortString()
{
    QFETCH(QString, strText);
    QFETCH(int, nExtra);
    QFETCH(int, nOffset);
    QFETCH(QString, strExpected);
    const QFontMetrics metrics(QApplication::font());
    const int nWidth = metrics.horizontalAdvance(strText) + nOffset + nExtra;
    const QString strShort = MakeShortString(metrics, strText, nWidth, nOffset);
    if (strExpected == u"=") {
        QCOMPARE(strShort, strText);
    } else if (strExpected == u"...") {
        QVERIFY(strShort.endsWith(QStringLiteral("...")));
        QVERIFY(strText.startsWith(strShort.chopped(3)));
        QVERIFY(strShort.size() < strText.size() + 3);
        QVERIFY(metrics.horizontalAdvance(strShort) + nOffset <= nWidth);
        // One more character would not have fitted.
        const QString strLonger = strText.left(strShort.size() - 3 + 1) + QStringLiteral("...");
        QVERIFY(metrics.horizontalAdvance(strLonger) + nOffset > nWidth);
    } else {
        QCOMPARE(strShort, strExpected);
    }
}

void TestControls::fitRect_data()
{
    QTest::addColumn<QRect>("target");   // left, top, width, height
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("logo 400x200 into 200x45") << QRect(0, 0, 200, 45) << QSize(400, 200) << QRect(55, 0, 90, 45);
    QTest::newRow("tall picture into wide box centred vertically")
        << QRect(0, 0, 100, 100) << QSize(200, 100) << QRect(0, 25, 100, 50);
    QTest::newRow("icon into its square") << QRect(17, 17, 96, 96) << QSize(128, 128) << QRect(17, 17, 96, 96);
    QTest::newRow("empty rectangle means the picture's size") << QRect(0, 0, 0, 0) << QSize(64, 32)
                                                             << QRect(0, 0, 64, 32);
}

void TestControls::fitRect()
{
    QFETCH(QRect, target);
    QFETCH(QSize, picture);
    QFETCH(QRect, expected);
    const QRect rect = CImageFile::FitRect(target.left(), target.top(), target.left() + target.width(),
                                           target.top() + target.height(), picture.width(), picture.height(), true);
    QCOMPARE(rect, expected);
}

void TestControls::roundButton_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("d");
    QTest::newRow("40 x 34 becomes a 34 circle") << QSize(40, 34) << 34;
    QTest::newRow("30 x 50 becomes a 30 circle") << QSize(30, 50) << 30;
}

void TestControls::roundButton()
{
    QFETCH(QSize, size);
    QFETCH(int, d);
    QWidget parent;
    CRoundButton button(&parent);
    button.setGeometry(QRect(QPoint(10, 20), size));
    button.MakeRound();
    QCOMPARE(button.size(), QSize(d, d));
    QCOMPARE(button.pos(), QPoint(10, 20));
    QCOMPARE(button.CenterX(), d / 2);
    QCOMPARE(button.CenterY(), d / 2);
    QCOMPARE(button.Radius(), d / 2 - 1);
    QVERIFY(button.mask().contains(QPoint(d / 2, d / 2)));
    QVERIFY(!button.mask().contains(QPoint(0, 0)));
}

void TestControls::checkButtonSendsToggle()
{
    RecordingParent parent;
    CColorCheckButton button(&parent);
    button.setText(QStringLiteral("12 table(s) identique(s)"));
    button.setGeometry(0, 0, 200, 20);
    parent.show();
    QCOMPARE(button.GetCheck(), 0);
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(button.GetCheck(), 1);
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(button.GetCheck(), 0);
    QCOMPARE(parent.m_arrMessages, (QList<unsigned>{0x478, 0x478}));
    button.SetCheck(1);
    QCOMPARE(button.GetCheck(), 1);
    QCOMPARE(parent.m_arrMessages.size(), 2);
}

void TestControls::linkThatFailsKeepsItsColour()
{
    QWidget parent;
    CStaticLink link(&parent);
    link.m_strURL.clear();
    link.setText(QString());   // nothing to open
    link.setGeometry(0, 0, 100, 20);
    parent.show();
    const int nBeeps = BeepCount();
    QTest::mouseClick(&link, Qt::LeftButton);
    QCOMPARE(BeepCount(), nBeeps + 1);
    QVERIFY(!link.m_bVisited);
    QCOMPARE(link.CurrentColor(), QColor(0, 0, 255));
}

// Receives the addresses the links open.
class UrlRecorder : public QObject
{
    Q_OBJECT

public slots:
    void Open(const QUrl& url) { m_arrUrls.append(url); }

public:
    QList<QUrl> m_arrUrls;
};

void TestControls::linkThatOpensIsVisited()
{
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &recorder, "Open");
    QWidget parent;
    CStaticLink link(&parent);
    link.setText(QStringLiteral("www.talvorin.com"));
    link.setGeometry(0, 0, 100, 20);
    parent.show();
    QTest::mouseClick(&link, Qt::LeftButton);
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QCOMPARE(recorder.m_arrUrls, (QList<QUrl>{QUrl(MakerWebAddress())}));
    QVERIFY(link.m_bVisited);
    QCOMPARE(link.CurrentColor(), QColor(128, 0, 128));
}

void TestControls::logoButtonOpensItsAddress_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("opened");
    QTest::newRow("maker's site") << MakerWebAddress() << true;
    QTest::newRow("nothing to open") << QString() << false;
}

// A click on the logo opens the maker's address, or beeps when there is
// nothing to open; the pointer over it is the hand with the finger's tip
// as hot spot.
void TestControls::logoButtonOpensItsAddress()
{
    QFETCH(QString, address);
    QFETCH(bool, opened);
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &recorder, "Open");
    QWidget parent;
    CLogoButton logo(&parent);
    logo.m_strURL = address;
    logo.setGeometry(0, 0, 200, 45);
    parent.show();
    const int nBeeps = BeepCount();
    QTest::mouseClick(&logo, Qt::LeftButton);
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QCOMPARE(recorder.m_arrUrls, opened ? QList<QUrl>{QUrl(address)} : QList<QUrl>{});
    QCOMPARE(BeepCount(), nBeeps + (opened ? 0 : 1));
    QCOMPARE(logo.cursor().shape(), Qt::BitmapCursor);
    QCOMPARE(logo.cursor().hotSpot(), QPoint(11, 1));
    QCOMPARE(logo.cursor().pixmap().toImage(), LoadHandCursor().pixmap().toImage());
}

void TestControls::builderTagsAndConverts()
{
    const DialogTemplate* pTemplate = FindDialogTemplate(2000);
    QVERIFY(pTemplate != nullptr);
    QWidget dialog;
    const CDialogBuilder builder(*pTemplate, 2000);
    builder.Build(&dialog);
    const QSize units = builder.BaseUnits();
    QVERIFY(units.width() > 0 && units.height() > 0);
    QCOMPARE(builder.DialogSize(), QSize(MulDiv(361, units.width(), 4), MulDiv(165, units.height(), 8)));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("TALVORIN Kitvane"));
    for (const ControlTemplate& control : pTemplate->controls) {
        QWidget* pControl = CDialogBuilder::FindControl(&dialog, control.nId);
        QVERIFY2(pControl != nullptr, qPrintable(QString::number(control.nId)));
        QCOMPARE(CDialogBuilder::ControlId(pControl), control.nId);
        QCOMPARE(pControl->isHidden(), bool(control.nFlags & CTL_HIDDEN));
    }
    auto* pChoose = FindDlgItem<QPushButton>(&dialog, IDC_DSN_CHOOSE);
    QCOMPARE(pChoose->text(), QStringLiteral("ODBC\nData Sources..."));
    const ControlTemplate& choose = pTemplate->controls[0];
    QCOMPARE(choose.nId, int(IDC_DSN_CHOOSE));
    const int nLeft = MulDiv(choose.x, units.width(), 4);
    const int nTop = MulDiv(choose.y, units.height(), 8);
    QCOMPARE(pChoose->geometry(), QRect(nLeft, nTop, MulDiv(choose.x + choose.cx, units.width(), 4) - nLeft,
                                        MulDiv(choose.y + choose.cy, units.height(), 8) - nTop));
    QVERIFY(FindDlgItem<QPushButton>(&dialog, 9999) == nullptr);
}

void TestControls::templatesOfBothLanguages()
{
    for (int nId : {1000, 1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1009, 1010, 1011, 1012, 1013}) {
        QVERIFY(FindDialogTemplate(nId) != nullptr);
        QCOMPARE(FindDialogTemplate(nId + 1000), FindDialogTemplate(nId));
        QVERIFY(!IsEnglishTemplateId(nId));
        QVERIFY(IsEnglishTemplateId(nId + 1000));
    }
    QVERIFY(FindDialogTemplate(1999) == nullptr);
    const DialogTemplate* pWait = FindDialogTemplate(1008);
    QWidget french;
    QWidget english;
    CDialogBuilder(*pWait, 1008).Build(&french);
    CDialogBuilder(*pWait, 2008).Build(&english);
    QCOMPARE(FindDlgItem<QLabel>(&french, IDC_WAIT_COUNT)->text(), QStringLiteral("Tables à modifier : %d / %d"));
    QCOMPARE(FindDlgItem<QLabel>(&english, IDC_WAIT_COUNT)->text(), QStringLiteral("Files to update : %d / %d"));
    QCOMPARE(FindDlgItem<QLabel>(&english, IDC_WAIT_COUNT)->alignment() & Qt::AlignRight, Qt::AlignRight);
}

void TestControls::comparisonTemplateTexts_data()
{
    QTest::addColumn<int>("nTemplate");
    QTest::addColumn<int>("nControl");
    QTest::addColumn<QString>("strFrench");
    QTest::addColumn<QString>("strEnglish");
    QTest::newRow("progress title") << 1012 << int(IDC_WAIT_TITLE) << QStringLiteral("Comparaison en cours")
                                    << QStringLiteral("Comparison in progress");
    QTest::newRow("progress wait") << 1012 << int(IDC_WAIT_TEXT) << QStringLiteral("Veuillez patienter...")
                                   << QStringLiteral("Please wait...");
    QTest::newRow("show differences") << 1004 << int(IDC_SHOW_DETAILS) << QStringLiteral("Afficher les différences...")
                                      << QStringLiteral("Show differences...");
    QTest::newRow("result export") << 1004 << int(IDC_EXPORT) << QStringLiteral("Exporter vers un fichier...")
                                   << QStringLiteral("Export to file...");
    QTest::newRow("structure export") << 1011 << int(IDC_EXPORT) << QStringLiteral("Exporter vers un fichier...")
                                      << QStringLiteral("Export to file...");
}

// The comparison's templates in both languages.
void TestControls::comparisonTemplateTexts()
{
    QFETCH(int, nTemplate);
    QFETCH(int, nControl);
    QFETCH(QString, strFrench);
    QFETCH(QString, strEnglish);
    const DialogTemplate* pTemplate = FindDialogTemplate(nTemplate);
    QVERIFY(pTemplate != nullptr);
    QWidget french;
    QWidget english;
    CDialogBuilder(*pTemplate, nTemplate).Build(&french);
    CDialogBuilder(*pTemplate, nTemplate + 1000).Build(&english);
    const auto text = [nControl](QWidget& dialog) {
        QWidget* pControl = CDialogBuilder::FindControl(&dialog, nControl);
        if (auto* pLabel = qobject_cast<QLabel*>(pControl))
            return pLabel->text();
        auto* pButton = qobject_cast<QAbstractButton*>(pControl);
        return pButton != nullptr ? pButton->text() : QString();
    };
    QCOMPARE(text(french), strFrench);
    QCOMPARE(text(english), strEnglish);
}

void TestControls::enableControlMovesFocus()
{
    QWidget dialog;
    auto* pFirst = new QPushButton(QStringLiteral("one"), &dialog);
    auto* pSecond = new QPushButton(QStringLiteral("two"), &dialog);
    auto* pThird = new QPushButton(QStringLiteral("three"), &dialog);
    pSecond->setEnabled(false);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    pFirst->setFocus();
    QVERIFY(pFirst->hasFocus());
    QVERIFY(!EnableControl(pFirst, false));
    QVERIFY(!pFirst->isEnabled());
    QVERIFY(pThird->hasFocus());
    QVERIFY(EnableControl(pFirst, true));
    QVERIFY(pFirst->isEnabled());
}

void TestControls::restoreSizeRules_data()
{
    QTest::addColumn<QString>("strStored");
    QTest::addColumn<int>("nZoomed");
    QTest::addColumn<bool>("bTemplateSize");
    QTest::newRow("stored size") << QStringLiteral("500x300") << 0 << false;
    QTest::newRow("0x300 keeps the template size") << QStringLiteral("0x300") << 0 << true;
    QTest::newRow("no x keeps the template size, maximised") << QStringLiteral("500") << 1 << true;
    QTest::newRow("leading digits only") << QStringLiteral(" 500 x 300px") << 0 << false;
    QTest::newRow("split at the first x") << QStringLiteral("500px x 300") << 0 << true;
}

void TestControls::restoreSizeRules()
{
    QFETCH(QString, strStored);
    QFETCH(int, nZoomed);
    QFETCH(bool, bTemplateSize);
    m_pSettings->Reset();
    CSettingsStore().SaveDialogSize(DialogId::DataSources, strStored, nZoomed != 0);
    OkCancelDialog dlg;
    QVERIFY(dlg.Create());
    const QSize templateSize = dlg.size();
    dlg.RestoreSize(QString());
    if (bTemplateSize)
        QCOMPARE(dlg.size(), templateSize);
    else
        QCOMPARE(dlg.size(), QSize(500, 300));
    QCOMPARE(dlg.isMaximized() || (dlg.windowState() & Qt::WindowMaximized), nZoomed != 0);
}

void TestControls::maximisedDialogStoresRestoredSize()
{
    m_pSettings->Reset();
    OkCancelDialog dlg;
    QVERIFY(dlg.Create());
    dlg.resize(420, 310);
    dlg.show();
    dlg.showMaximized();
    QTRY_VERIFY(dlg.isMaximized());
    dlg.EndDialog(2);
    QString strSize;
    bool bZoomed = false;
    CSettingsStore().LoadDialogSize(DialogId::DataSources, QString(), strSize, bZoomed);
    QCOMPARE(strSize, QStringLiteral("420x310"));
    QVERIFY(bZoomed);
}

void TestControls::tabContents_data()
{
    QTest::addColumn<int>("nItem");
    QTest::addColumn<bool>("bSelected");
    QTest::addColumn<int>("nImage");
    QTest::newRow("selected, with its image") << 0 << true << int(IMG_COLUMN);
    QTest::newRow("unselected, with its image") << 1 << false << int(IMG_KEY_COLUMN);
    QTest::newRow("unselected, no image") << 2 << false << -1;
}

void TestControls::tabContents()
{
    QFETCH(int, nItem);
    QFETCH(bool, bSelected);
    QFETCH(int, nImage);
    CTabCtrlEx tabs;
    const QList<QPixmap> images = LoadImageList(ResourceId::ImageStrip);
    tabs.SetImageList(images);
    tabs.InsertItem(0, QStringLiteral("Fields"), IMG_COLUMN);
    tabs.InsertItem(1, QStringLiteral("Indexes"), IMG_KEY_COLUMN);
    tabs.InsertItem(2, QStringLiteral("Plain"));
    tabs.setCurrentIndex(bSelected ? nItem : (nItem + 1) % 3);
    QCOMPARE(tabs.GetItemImage(nItem), nImage);
    QCOMPARE(tabs.tabText(nItem), nItem == 0 ? QStringLiteral("Fields") : nItem == 1 ? QStringLiteral("Indexes") : QStringLiteral("Plain"));

    const QColor ground(255, 0, 255);
    QImage picture(120, 40, QImage::Format_ARGB32);
    picture.fill(ground);
    const QRect rect(10, 5, 100, 24);
    {
        QPainter painter(&picture);
        painter.setFont(tabs.font());
        tabs.DrawItem(painter, -1, rect);
        QCOMPARE(picture.pixelColor(rect.center()), ground);
        tabs.DrawItem(painter, nItem, rect);
    }
    const QColor face = tabs.palette().color(QPalette::Button);
    const int nTop = rect.top() + CTabCtrlEx::kEdgeHeight;
    // The button face from below the edge; an unselected tab reaches lower.
    QCOMPARE(picture.pixelColor(rect.right(), rect.top()), ground);
    QCOMPARE(picture.pixelColor(rect.right(), nTop), face);
    QCOMPARE(picture.pixelColor(rect.right(), rect.bottom()), face);
    QCOMPARE(picture.pixelColor(rect.right(), rect.bottom() + 1), bSelected ? ground : face);

    // The image one space in from the left, at the top.
    const int nSpace = QFontMetrics(tabs.font()).horizontalAdvance(u' ');
    const QRect imageRect(rect.left() + nSpace, nTop, kStripImageSize, kStripImageSize);
    if (nImage >= 0) {
        QImage expected(imageRect.size(), QImage::Format_ARGB32);
        expected.fill(face);
        QPainter(&expected).drawPixmap(0, 0, images[nImage]);
        QCOMPARE(picture.copy(imageRect), expected);
    }

    // The text in the button-text colour: in the middle of a selected tab,
    // on the bottom of the others.
    int nTextTop = -1;
    int nTextBottom = -1;
    int nTextLeft = picture.width();
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (nImage >= 0 && imageRect.contains(x, y))
                continue;
            if (picture.pixelColor(x, y) == tabs.m_crText) {
                nTextTop = nTextTop < 0 ? y : nTextTop;
                nTextBottom = y;
                nTextLeft = std::min(nTextLeft, x);
            }
        }
    }
    QVERIFY(nTextTop >= 0);
    const QFontMetrics metrics(tabs.font());
    if (bSelected) {
        const int nMiddle = (nTextTop + nTextBottom) / 2;
        QVERIFY2(qAbs(nMiddle - rect.center().y()) <= 2, qPrintable(QStringLiteral("%1..%2").arg(nTextTop).arg(nTextBottom)));
    } else {
        QVERIFY2(nTextBottom <= rect.bottom() && nTextBottom >= rect.bottom() - metrics.descent() - 1,
                 qPrintable(QStringLiteral("%1..%2").arg(nTextTop).arg(nTextBottom)));
    }
    // Centred in the room right of the image.
    const int nLeft = nImage >= 0 ? imageRect.right() + 1 : rect.left();
    const int nExpectedLeft = nLeft + (rect.right() + 1 - nLeft - metrics.horizontalAdvance(tabs.tabText(nItem))) / 2;
    QVERIFY2(qAbs(nTextLeft - nExpectedLeft) <= 2, qPrintable(QStringLiteral("%1 / %2").arg(nTextLeft).arg(nExpectedLeft)));
}

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
