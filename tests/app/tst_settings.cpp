#include "app/placementtext.h"
#include "app/settingsstore.h"
#include "compare/zembraparam.h"
#include "privatesettings.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTest>

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void storeReadsDefaultsAndRoundTrips();
    void storeIgnoresUnreadableInteger();
    void storeUsesOwnRoot();

    void windowRect_data();
    void windowRect();
    void windowSize_data();
    void windowSize();
    void defaultRect_data();
    void defaultRect();
    void placementSections_data();
    void placementSections();
    void placementRoundTrip();
    void dialogSizeRoundTrip();

    void defaultDirectory();
    void saveDefaultDirectory_data();
    void saveDefaultDirectory();

    void optionsDefaults();
    void optionsMaxIndex_data();
    void optionsMaxIndex();
    void optionsRoundTrip();
    void optionsOutOfRange();

private:
    PrivateSettings m_settingsEnv;
};

void TestSettings::init()
{
    m_settingsEnv.Reset();
}

void TestSettings::storeReadsDefaultsAndRoundTrips()
{
    CSettingsStore store;
    QCOMPARE(store.GetProfileInt("Params", "Value", 7), 7);
    QCOMPARE(store.GetProfileString("", "DefDir", "none"), QStringLiteral("none"));

    store.WriteProfileInt("Params", "Value", 0x3FFFFFB);
    store.WriteProfileString("", "DefDir", "/data/out/");
    const CSettingsStore other;
    QCOMPARE(other.GetProfileInt("Params", "Value", 7), 0x3FFFFFB);
    QCOMPARE(other.GetProfileString("", "DefDir"), QStringLiteral("/data/out/"));

    // The values sit where the platform store puts organisation Talvorin,
    // application TvrKitvane, sections as groups.
    QSettings raw(QStringLiteral("Talvorin"), QStringLiteral("TvrKitvane"));
    QCOMPARE(raw.value("Params/Value").toInt(), 0x3FFFFFB);
    QCOMPARE(raw.value("DefDir").toString(), QStringLiteral("/data/out/"));
}

void TestSettings::storeIgnoresUnreadableInteger()
{
    CSettingsStore store;
    store.WriteProfileString("Params", "MaxIndex", "twenty");
    QCOMPARE(store.GetProfileInt("Params", "MaxIndex", -1), -1);
}

void TestSettings::storeUsesOwnRoot()
{
    CSettingsStore mine(QStringLiteral("Talvorin"), QStringLiteral("OtherApp"));
    mine.WriteProfileInt("Params", "Value", 5);
    QCOMPARE(CSettingsStore().GetProfileInt("Params", "Value", -2), -2);
    QCOMPARE(mine.GetProfileInt("Params", "Value", -2), 5);
}

void TestSettings::windowRect_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QRect>("rect");

    QTest::newRow("plain") << "172,131,852,636" << true << QRect(172, 131, 680, 505);
    QTest::newRow("negative") << "-8,-8,1928,1048" << true << QRect(-8, -8, 1936, 1056);
    QTest::newRow("three numbers") << "10,20,800" << false << QRect();
    QTest::newRow("empty") << "" << false << QRect();
    // Pieces convert like _wtol: leading number, rest ignored, none gives 0.
    QTest::newRow("junk pieces") << " 10px,x,800,600" << true << QRect(10, 0, 790, 600);
    QTest::newRow("fifth number ignored") << "1,2,3,4,5" << true << QRect(1, 2, 2, 2);
}

void TestSettings::windowRect()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(QRect, rect);
    QRect parsed;
    QCOMPARE(ParseWindowRect(text, parsed), valid);
    if (valid)
        QCOMPARE(parsed, rect);
}

void TestSettings::windowSize_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QSize>("size");

    QTest::newRow("main dialog") << "812x400" << true << QSize(812, 400);
    QTest::newRow("zero width") << "0x300" << false << QSize();
    QTest::newRow("no x") << "812,400" << false << QSize();
    QTest::newRow("negative") << "-5x300" << false << QSize();
    QTest::newRow("spaces") << " 640x 480" << true << QSize(640, 480);
}

void TestSettings::windowSize()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(QSize, size);
    QSize parsed;
    QCOMPARE(ParseWindowSize(text, parsed), valid);
    if (valid) {
        QCOMPARE(parsed, size);
        QCOMPARE(FormatWindowSize(parsed), QStringLiteral("%1x%2").arg(size.width()).arg(size.height()));
    }
}

void TestSettings::defaultRect_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QString>("text");

    QTest::newRow("1024x768") << QSize(1024, 768) << "172,131,852,636";
    QTest::newRow("1920x1080") << QSize(1920, 1080) << "620,287,1300,792";
    QTest::newRow("odd sizes") << QSize(1025, 769) << "172,132,852,637";
    QTest::newRow("smaller than window") << QSize(640, 480) << "-20,-12,660,493";
}

void TestSettings::defaultRect()
{
    QFETCH(QSize, screen);
    QFETCH(QString, text);
    QCOMPARE(FormatWindowRect(DefaultWindowRect(screen)), text);
}

void TestSettings::placementSections_data()
{
    QTest::addColumn<int>("frame");
    QTest::addColumn<QString>("section");

    QTest::newRow("main frame") << -1 << "MainFrmSize";
    QTest::newRow("0") << 0 << "FrmSize0";
    QTest::newRow("structure") << 1 << "FrmSize1";
    QTest::newRow("aliases") << 4 << "FrmSize4";
}

void TestSettings::placementSections()
{
    QFETCH(int, frame);
    QFETCH(QString, section);
    QCOMPARE(CSettingsStore::GetPlacementSection(frame), section);

    CSettingsStore store;
    store.SaveWindowPlacement(QStringLiteral("1,2,3,4"), true, frame);
    QCOMPARE(store.GetProfileString(section, "WndRect"), QStringLiteral("1,2,3,4"));
    QCOMPARE(store.GetProfileInt(section, "IsZoomed", -1), 1);
}

void TestSettings::placementRoundTrip()
{
    CSettingsStore store;
    QString strRect;
    bool bZoomed = true;
    store.LoadWindowPlacement(strRect, bZoomed, 2, QSize(1024, 768));
    QCOMPARE(strRect, QStringLiteral("172,131,852,636"));
    QVERIFY(!bZoomed);

    const QRect rect(-8, 30, 900, 640);
    store.SaveWindowPlacement(FormatWindowRect(rect), true, 2);
    store.SaveWindowPlacement(QStringLiteral("0,0,10,10"), false, 3);
    store.LoadWindowPlacement(strRect, bZoomed, 2, QSize(1024, 768));
    QCOMPARE(strRect, QStringLiteral("-8,30,892,670"));
    QVERIFY(bZoomed);
    QRect parsed;
    QVERIFY(ParseWindowRect(strRect, parsed));
    QCOMPARE(parsed, rect);

    store.LoadWindowPlacement(strRect, bZoomed, 3, QSize(1024, 768));
    QCOMPARE(strRect, QStringLiteral("0,0,10,10"));
    QVERIFY(!bZoomed);
}

void TestSettings::dialogSizeRoundTrip()
{
    CSettingsStore store;
    QString strSize;
    bool bZoomed = true;
    store.LoadDialogSize(1000, QStringLiteral("812x400"), strSize, bZoomed);
    QCOMPARE(strSize, QStringLiteral("812x400"));
    QVERIFY(!bZoomed);

    store.SaveDialogSize(2000, FormatWindowSize(QSize(900, 450)), true);
    store.LoadDialogSize(2000, QStringLiteral("812x400"), strSize, bZoomed);
    QCOMPARE(strSize, QStringLiteral("900x450"));
    QVERIFY(bZoomed);
    // French and English templates keep separate sizes.
    store.LoadDialogSize(1000, QString(), strSize, bZoomed);
    QVERIFY(strSize.isEmpty());
    QCOMPARE(QSettings("Talvorin", "TvrKitvane").value("DlgSize/2000/WndSize").toString(),
             QStringLiteral("900x450"));
}

void TestSettings::defaultDirectory()
{
    CSettingsStore store;
    QCOMPARE(store.GetDefaultDirectory(),
             QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    store.WriteProfileString("", "DefDir", "/no/such/folder/");
    // Existence is not checked when reading.
    QCOMPARE(store.GetDefaultDirectory(), QStringLiteral("/no/such/folder/"));
}

void TestSettings::saveDefaultDirectory_data()
{
    QTest::addColumn<QString>("relativePath");  // under a temporary folder; "" is the empty path
    QTest::addColumn<bool>("stored");
    QTest::addColumn<QString>("expected");      // relative to the temporary folder

    QTest::newRow("existing folder") << "out/DEV.csv" << true << "out/";
    QTest::newRow("folder gone") << "gone/DEV.csv" << false << "";
    QTest::newRow("folder path") << "out/" << true << "out/";
    QTest::newRow("bare name") << "@DEV.csv" << false << "";
    QTest::newRow("empty") << "" << false << "";
}

void TestSettings::saveDefaultDirectory()
{
    QFETCH(QString, relativePath);
    QFETCH(bool, stored);
    QFETCH(QString, expected);

    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("out"));
    QString strPath;
    if (relativePath.startsWith(u'@'))
        strPath = relativePath.mid(1);
    else if (!relativePath.isEmpty())
        strPath = dir.path() + u'/' + relativePath;

    CSettingsStore store;
    store.WriteProfileString("", "DefDir", "previous/");
    store.SaveDefaultDirectory(strPath);
    QCOMPARE(store.GetProfileString("", "DefDir"), stored ? dir.path() + u'/' + expected : "previous/");
}

void TestSettings::optionsDefaults()
{
    CZembraParam param;
    param.m_dwOptions = 0;
    param.LoadOptions(CSettingsStore());
    for (int n = 0; n < OPT_COUNT; ++n) {
        const bool bExpected = n != OPT_CASE_SENSITIVE && n != OPT_COMPARE_SQL_TYPES;
        QVERIFY2(param.IsOptionSet(n) == bExpected, qPrintable(QString::number(n)));
    }
    QCOMPARE(param.m_dwOptions, quint32(0x3FFFFFF & ~(1u << 2) & ~(1u << 24)));
    QCOMPARE(CZembraParam().m_dwOptions, param.m_dwOptions);
}

void TestSettings::optionsMaxIndex_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("maxIndex");
    QTest::addColumn<quint32>("options");

    QTest::newRow("23 of 0") << 0 << 23 << quint32(1u << 25);
    QTest::newRow("25 of 0") << 0 << 25 << quint32(0);
    QTest::newRow("future version") << 0x5 << 40 << quint32(0x5);
    QTest::newRow("10 keeps stored bits") << 0x7FF << 10 << quint32(0x3FFFFFF & ~(1u << 24));
    QTest::newRow("10 clears newer stored bits") << int(0x3FFFFFF) << 10 << quint32(0x3FFFFFF & ~(1u << 24));
    QTest::newRow("negative") << 0 << -7 << quint32(0x3FFFFFF & ~(1u << 2) & ~(1u << 24));
}

void TestSettings::optionsMaxIndex()
{
    QFETCH(int, value);
    QFETCH(int, maxIndex);
    QFETCH(quint32, options);

    CSettingsStore store;
    store.WriteProfileInt("Params", "Value", value);
    store.WriteProfileInt("Params", "MaxIndex", maxIndex);
    CZembraParam param;
    param.LoadOptions(store);
    QCOMPARE(param.m_dwOptions, options);
}

void TestSettings::optionsRoundTrip()
{
    CZembraParam param;
    param.SetOption(OPT_CASE_SENSITIVE, true);
    param.SetOption(OPT_EXPORT_TABLES_SAME, false);
    param.SetOption(OPT_SAME_SIZE_STRINGS_EQUAL, false);
    CSettingsStore store;
    param.SaveOptions(store);
    QCOMPARE(store.GetProfileInt("Params", "MaxIndex", -1), 25);

    CZembraParam loaded;
    loaded.LoadOptions(store);
    QCOMPARE(loaded.m_dwOptions, param.m_dwOptions);
    QVERIFY(loaded.IsOptionSet(OPT_CASE_SENSITIVE));
    QVERIFY(!loaded.IsOptionSet(OPT_EXPORT_TABLES_SAME));
    QVERIFY(!loaded.IsOptionSet(OPT_SAME_SIZE_STRINGS_EQUAL));
    QVERIFY(!loaded.IsOptionSet(OPT_COMPARE_SQL_TYPES));
}

void TestSettings::optionsOutOfRange()
{
    CZembraParam param;
    const quint32 dwBefore = param.m_dwOptions;
    param.SetOption(OPT_SEPARATOR, true);
    param.SetOption(26, true);
    param.SetOption(31, true);
    QCOMPARE(param.m_dwOptions, dwBefore);
    QVERIFY(!param.IsOptionSet(-1));
    QVERIFY(!param.IsOptionSet(26));
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
