// The Debian package as a user meets it: built from this build folder,
// unpacked with dpkg-deb into a scratch folder (nothing is installed), its
// programs run from there, its control fields, desktop entry, AppStream
// description and icons checked with the platform's own tools.

#include "tests/support/buildpath.h"
#include "app/shellfunctions.h"
#include "version.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QXmlStreamReader>

#include <csignal>
#include <pwd.h>
#include <unistd.h>

namespace {

struct Run
{
    int nStatus = -1;
    QString strOut;
    QString strErr;
};

Run RunProgram(const QString& strProgram, const QStringList& arrArguments,
               const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(),
               int nTimeoutMs = 120000)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(strProgram, arrArguments);
    Run run;
    if (!process.waitForStarted()) {
        run.strErr = strProgram + QStringLiteral(": ") + process.errorString();
        return run;
    }
    if (!process.waitForFinished(nTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        run.strErr = strProgram + QStringLiteral(": no end within the time allowed");
        return run;
    }
    run.nStatus = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.strOut = QString::fromUtf8(process.readAllStandardOutput());
    run.strErr += QString::fromUtf8(process.readAllStandardError());
    return run;
}

QString Describe(const Run& run)
{
    return QStringLiteral("status %1\nstdout: %2\nstderr: %3").arg(run.nStatus).arg(run.strOut, run.strErr);
}

// The package names of a relation field ("a (>= 1), b | c"), alternatives included.
QSet<QString> RelationNames(const QString& strField)
{
    QSet<QString> names;
    for (const QString& strPart : strField.split(QRegularExpression(QStringLiteral("[,|]")), Qt::SkipEmptyParts)) {
        const QString strName = strPart.trimmed().section(QRegularExpression(QStringLiteral("[ (:]")), 0, 0);
        if (!strName.isEmpty())
            names.insert(strName);
    }
    return names;
}

// The keys of the [Desktop Entry] group of a desktop file.
QMap<QString, QString> ReadDesktopEntry(const QString& strPath)
{
    QMap<QString, QString> keys;
    QFile file(strPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return keys;
    bool bInGroup = false;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QString strLine = QString::fromUtf8(line).trimmed();
        if (strLine.startsWith(u'['))
            bInGroup = strLine == QStringLiteral("[Desktop Entry]");
        else if (bInGroup && strLine.contains(u'=') && !strLine.startsWith(u'#'))
            keys.insert(strLine.section(u'=', 0, 0), strLine.section(u'=', 1));
    }
    return keys;
}

QByteArray ReadAll(const QString& strPath)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The odbc.ini the driver manager reads for this account when nothing
// redirects it: the package's tests must leave it as it was.
QString AccountOdbcIni()
{
    const passwd* pUser = getpwuid(getuid());
    return QFile::decodeName(pUser != nullptr ? pUser->pw_dir : "/nonexistent") + QStringLiteral("/.odbc.ini");
}

}  // namespace

class TestPackaging : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void controlFields_data();
    void controlFields();
    void relations_data();
    void relations();
    void noMaintainerScripts();
    void everythingUnderUsr();
    void executables_data();
    void executables();
    void companionFilesFoundFromBin_data();
    void companionFilesFoundFromBin();
    void guiOpensItsPicturesFromThePackage();
    void cliHelp();
    void cliVersion();
    void manPageAndCompletion_data();
    void manPageAndCompletion();
    void cliDemoInScratchHome();
    void desktopEntryValidates();
    void appStreamValidates();
    void desktopEntryAndAppStreamMatchThePackage();
    void iconSizes_data();
    void iconSizes();
    void demoDependenciesNameNoServer();

private:
    QString Root(const QString& strPath = QString()) const { return QDir(m_strRoot).filePath(strPath); }
    QString Tool(const char* pszName) const;
    QProcessEnvironment ScratchEnvironment(const QString& strName) const;

    QTemporaryDir m_scratch;
    QString m_strDeb;
    QString m_strRoot;
};

void TestPackaging::initTestCase()
{
    QVERIFY(m_scratch.isValid());
    const QString strOutput = m_scratch.filePath(QStringLiteral("cpack"));
    // The package of this build folder, staged and written in the scratch
    // folder, so no package is left in the build folder.
    const Run built = RunProgram(QStringLiteral(KITVANE_CPACK),
                                 {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
                                  kvtest::BuildPath(KITVANE_CPACK_CONFIG), QStringLiteral("-B"), strOutput},
                                 QProcessEnvironment::systemEnvironment(), 300000);
    QVERIFY2(built.nStatus == 0, qPrintable(Describe(built)));
    const QStringList arrDebs = QDir(strOutput).entryList({QStringLiteral("*.deb")}, QDir::Files);
    QCOMPARE(arrDebs.size(), 1);
    m_strDeb = QDir(strOutput).filePath(arrDebs.first());
    QVERIFY2(arrDebs.first().startsWith(QStringLiteral("kitvane_") + QStringLiteral(KITVANE_PRODUCT_VERSION) + u'_'),
             qPrintable(arrDebs.first()));

    // Unpacked under a folder that is not the installation prefix: whatever
    // the programs find, they find relative to where they are.
    m_strRoot = m_scratch.filePath(QStringLiteral("unpacked/somewhere"));
    QVERIFY(QDir().mkpath(m_strRoot));
    const Run unpacked = RunProgram(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), m_strDeb, m_strRoot});
    QVERIFY2(unpacked.nStatus == 0, qPrintable(Describe(unpacked)));
}

QString TestPackaging::Tool(const char* pszName) const
{
    return QStandardPaths::findExecutable(QLatin1String(pszName));
}

// Everything a run may touch is under the scratch folder: home, settings,
// the user and system ODBC files.
QProcessEnvironment TestPackaging::ScratchEnvironment(const QString& strName) const
{
    const QString strHome = m_scratch.filePath(strName + QStringLiteral("/home"));
    const QString strSystem = m_scratch.filePath(strName + QStringLiteral("/odbc-system"));
    const QString strRuntime = m_scratch.filePath(strName + QStringLiteral("/runtime"));
    QDir().mkpath(strHome);
    QDir().mkpath(strSystem);
    QDir().mkpath(strRuntime);
    QFile::setPermissions(strRuntime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), strHome);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), strHome + QStringLiteral("/.config"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), strHome + QStringLiteral("/.local/share"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), strRuntime);
    environment.insert(QStringLiteral("ODBCINI"), strHome + QStringLiteral("/.odbc.ini"));
    environment.insert(QStringLiteral("ODBCSYSINI"), strSystem);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return environment;
}

void TestPackaging::controlFields_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("expected");

    QTest::newRow("package") << "Package" << "kitvane";
    QTest::newRow("version") << "Version" << KITVANE_PRODUCT_VERSION;
    QTest::newRow("section") << "Section" << "database";
    const Run architecture = RunProgram(QStringLiteral("dpkg"), {QStringLiteral("--print-architecture")});
    QTest::newRow("architecture") << "Architecture" << architecture.strOut.trimmed();
}

void TestPackaging::controlFields()
{
    QFETCH(QString, field);
    QFETCH(QString, expected);
    const Run run = RunProgram(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), m_strDeb, field});
    QVERIFY2(run.nStatus == 0, qPrintable(Describe(run)));
    QVERIFY(!expected.isEmpty());
    QCOMPARE(run.strOut.trimmed(), expected);
}

void TestPackaging::relations_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QStringList>("required");
    QTest::addColumn<QStringList>("absent");

    // The driver manager and its installer library, Qt's widgets and platform
    // plugins, the fonts; the drivers and the opener are only recommended, and
    // no database server is ever pulled in.
    const QStringList servers{"postgresql", "mariadb-server", "mariadb-client", "default-mysql-server"};
    QTest::newRow("depends") << "Depends"
                             << QStringList{"libodbc2", "libodbcinst2", "libqt6widgets6", "qt6-qpa-plugins",
                                            "fonts-dejavu-core"}
                             << (QStringList{"odbc-postgresql", "odbc-mariadb", "libsqliteodbc"} + servers);
    QTest::newRow("recommends") << "Recommends"
                                << QStringList{"odbc-postgresql", "odbc-mariadb", "libsqliteodbc", "xdg-utils"}
                                << servers;
}

void TestPackaging::relations()
{
    QFETCH(QString, field);
    QFETCH(QStringList, required);
    QFETCH(QStringList, absent);
    const Run run = RunProgram(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), m_strDeb, field});
    QVERIFY2(run.nStatus == 0, qPrintable(Describe(run)));
    const QSet<QString> names = RelationNames(run.strOut);
    for (const QString& strName : required)
        QVERIFY2(names.contains(strName), qPrintable(strName + QStringLiteral(" missing from ") + run.strOut));
    for (const QString& strName : absent)
        QVERIFY2(!names.contains(strName), qPrintable(strName + QStringLiteral(" named in ") + run.strOut));
}

void TestPackaging::noMaintainerScripts()
{
    const QString strControl = m_scratch.filePath(QStringLiteral("control"));
    const Run run = RunProgram(QStringLiteral("dpkg-deb"), {QStringLiteral("-e"), m_strDeb, strControl});
    QVERIFY2(run.nStatus == 0, qPrintable(Describe(run)));
    const QStringList arrFiles = QDir(strControl).entryList(QDir::Files);
    QVERIFY2(arrFiles.contains(QStringLiteral("control")), qPrintable(arrFiles.join(u' ')));
    for (const char* pszScript : {"preinst", "postinst", "prerm", "postrm", "config", "triggers"})
        QVERIFY2(!arrFiles.contains(QLatin1String(pszScript)), pszScript);
}

void TestPackaging::everythingUnderUsr()
{
    QCOMPARE(QDir(Root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList{"usr"});
    // Nothing of the build folder is shipped (tests, benchmarks, the generator).
    QDirIterator files(Root(QStringLiteral("usr/bin")), QDir::Files | QDir::Hidden);
    QStringList arrPrograms;
    while (files.hasNext())
        arrPrograms << QFileInfo(files.next()).fileName();
    arrPrograms.sort();
    QCOMPARE(arrPrograms, QStringList({"TvrKitvane", "kitvane-cli"}));
}

void TestPackaging::executables_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("GUI") << "usr/bin/TvrKitvane";
    QTest::newRow("command line") << "usr/bin/kitvane-cli";
}

void TestPackaging::executables()
{
    QFETCH(QString, path);
    const QFileInfo info(Root(path));
    QVERIFY2(info.isFile() && info.isExecutable(), qPrintable(info.filePath()));
    // Stripped: the package carries no debugging sections.
    const QByteArray binary = ReadAll(info.filePath());
    QVERIFY(binary.startsWith("\x7f" "ELF"));
    QVERIFY2(!binary.contains(".debug_info"), qPrintable(path));
}

void TestPackaging::companionFilesFoundFromBin_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("start");

    const QByteArray png("\x89PNG");
    for (const char* pszLanguage : {"FRA", "ENG"}) {
        const QString strLanguage = QLatin1String(pszLanguage);
        QTest::addRow("release %s", pszLanguage) << int(DOC_RELEASE) << strLanguage
                                                 << QStringLiteral("Release") + strLanguage + QStringLiteral(".txt")
                                                 << QByteArray("TALVORIN Kitvane");
        QTest::addRow("conditions %s", pszLanguage) << int(DOC_CLUF) << strLanguage
                                                    << QStringLiteral("Cluf") + strLanguage + QStringLiteral(".txt")
                                                    << QByteArray("TALVORIN Kitvane");
        QTest::addRow("help %s", pszLanguage) << int(DOC_HELP) << strLanguage
                                              << QStringLiteral("Help") + strLanguage + QStringLiteral(".pdf")
                                              << QByteArray("%PDF");
    }
    QTest::newRow("help button") << int(DOC_BTNINFO) << "FRA" << "BtnInfo.png" << png;
    QTest::newRow("logo") << int(DOC_LOGO) << "FRA" << "Logo.png" << png;
    QTest::newRow("icon") << int(DOC_ICON) << "ENG" << "Icon.png" << png;
}

// The lookup the programs use, from the unpacked bin/ folder.
void TestPackaging::companionFilesFoundFromBin()
{
    QFETCH(int, kind);
    QFETCH(QString, language);
    QFETCH(QString, file);
    QFETCH(QByteArray, start);
    const QString strPath = FindCompanionFile(kind, Root(QStringLiteral("usr/bin")), language);
    QCOMPARE(strPath, Root(QStringLiteral("usr/share/kitvane/") + file));
    QVERIFY2(ReadAll(strPath).startsWith(start), qPrintable(strPath));
}

// The unpacked GUI itself: its main dialog draws the help button and the
// logo from the package's data folder. The driver manager and the settings
// are the scratch folder's.
void TestPackaging::guiOpensItsPicturesFromThePackage()
{
    const QString strStrace = Tool("strace");
    QVERIFY2(!strStrace.isEmpty(), "strace is missing: run scripts/install-deps --tests");
    const QString strLog = m_scratch.filePath(QStringLiteral("gui-files.log"));
    const QString strPidFile = m_scratch.filePath(QStringLiteral("gui.pid"));
    QProcess gui;
    gui.setProcessEnvironment(ScratchEnvironment(QStringLiteral("gui")));
    // The shell leaves its process id, which the GUI takes over by exec, so
    // the GUI can be ended whatever the trace shows.
    gui.start(strStrace, {QStringLiteral("-f"), QStringLiteral("-e"), QStringLiteral("trace=openat"),
                          QStringLiteral("-o"), strLog, QStringLiteral("/bin/sh"), QStringLiteral("-c"),
                          QStringLiteral("echo $$ > \"$0\" && exec \"$1\""), strPidFile,
                          Root(QStringLiteral("usr/bin/TvrKitvane"))});
    QVERIFY2(gui.waitForStarted(), qPrintable(gui.errorString()));

    const QString strData = QRegularExpression::escape(Root(QStringLiteral("usr/share/kitvane/")));
    const QRegularExpression opened(QStringLiteral("^\\d+ +openat\\(AT_FDCWD, \"%1(BtnInfo|Logo)\\.png\", [^)]*\\) = \\d+$")
                                        .arg(strData),
                                    QRegularExpression::MultilineOption);
    QSet<QString> seen;
    for (int nWait = 0; nWait < 300 && seen.size() < 2 && gui.state() == QProcess::Running; ++nWait) {
        QThread::msleep(100);
        const QString strTrace = QString::fromUtf8(ReadAll(strLog));
        for (const QRegularExpressionMatch& match : opened.globalMatch(strTrace))
            seen.insert(match.captured(1));
    }
    const bool bStillRunning = gui.state() == QProcess::Running;
    // The GUI waits in its main dialog: ended here, which also ends strace.
    const pid_t nPid = pid_t(ReadAll(strPidFile).trimmed().toLongLong());
    if (nPid > 0)
        ::kill(nPid, SIGTERM);
    if (!gui.waitForFinished(10000)) {
        if (nPid > 0)
            ::kill(nPid, SIGKILL);
        gui.kill();
        gui.waitForFinished();
    }
    QVERIFY2(nPid > 0, "the GUI's process id was not written");
    QVERIFY2(bStillRunning, qPrintable(QStringLiteral("the unpacked GUI ended before showing its main dialog: ")
                                       + QString::fromUtf8(gui.readAllStandardError())));
    QCOMPARE(seen, QSet<QString>({"BtnInfo", "Logo"}));
}

void TestPackaging::cliHelp()
{
    const Run run = RunProgram(Root(QStringLiteral("usr/bin/kitvane-cli")), {QStringLiteral("--help")},
                               ScratchEnvironment(QStringLiteral("help")));
    QVERIFY2(run.nStatus == 0, qPrintable(Describe(run)));
    for (const char* pszCommand : {"dsns", "compare-tables", "compare-dd", "decimal-update", "table-stats", "demo"})
        QVERIFY2(run.strOut.contains(QLatin1String(pszCommand)), qPrintable(run.strOut));
}

void TestPackaging::cliVersion()
{
    const Run run = RunProgram(Root(QStringLiteral("usr/bin/kitvane-cli")), {QStringLiteral("--version")},
                               ScratchEnvironment(QStringLiteral("version")));
    QVERIFY2(run.nStatus == 0, qPrintable(Describe(run)));
    QCOMPARE(run.strOut.trimmed(), QStringLiteral("kitvane-cli " KITVANE_PRODUCT_VERSION));
}

void TestPackaging::manPageAndCompletion_data()
{
    QTest::addColumn<QString>("strPath");
    QTest::newRow("man page") << QStringLiteral("usr/share/man/man1/kitvane-cli.1");
    QTest::newRow("bash completion") << QStringLiteral("usr/share/bash-completion/completions/kitvane-cli");
}

// What the build generated from the command line's own tables is shipped as
// it was generated.
void TestPackaging::manPageAndCompletion()
{
    QFETCH(QString, strPath);
    const QString strName = strPath.endsWith(QLatin1String(".1")) ? QStringLiteral("kitvane-cli.1")
                                                                   : QStringLiteral("kitvane-cli.bash-completion");
    QFile shipped(Root(strPath));
    QFile built(kvtest::BuildPath(KITVANE_BUILD_ROOT) + QStringLiteral("/cli/") + strName);
    QVERIFY2(shipped.open(QIODevice::ReadOnly), qPrintable(shipped.fileName()));
    QVERIFY2(built.open(QIODevice::ReadOnly), qPrintable(built.fileName()));
    const QByteArray content = shipped.readAll();
    QVERIFY(!content.isEmpty());
    QCOMPARE(content, built.readAll());
}

// The unpacked command line builds the demo into a scratch folder, registers
// it in the scratch odbc.ini and compares it; the account's own odbc.ini is
// left as it was.
void TestPackaging::cliDemoInScratchHome()
{
    const QString strAccountIni = AccountOdbcIni();
    const bool bAccountIniExisted = QFileInfo::exists(strAccountIni);
    const QByteArray accountIni = ReadAll(strAccountIni);

    const QProcessEnvironment environment = ScratchEnvironment(QStringLiteral("demo"));
    const QString strCli = Root(QStringLiteral("usr/bin/kitvane-cli"));
    const QString strDemo = m_scratch.filePath(QStringLiteral("demo/data"));
    const Run built = RunProgram(strCli, {QStringLiteral("demo"), QStringLiteral("--dir"), strDemo}, environment);
    QVERIFY2(built.nStatus == 0, qPrintable(Describe(built)));
    for (const char* pszFile : {"demo_dev.db", "demo_prod.db"})
        QVERIFY2(QFileInfo(QDir(strDemo).filePath(QLatin1String(pszFile))).size() > 0, pszFile);
    const QString strIni = QString::fromUtf8(ReadAll(environment.value(QStringLiteral("ODBCINI"))));
    QVERIFY2(strIni.contains(QStringLiteral("[DEMO_DEV]")) && strIni.contains(QStringLiteral("[DEMO_PROD]")),
             qPrintable(strIni));
    QVERIFY2(strIni.contains(QDir(strDemo).filePath(QStringLiteral("demo_prod.db"))), qPrintable(strIni));

    const QString strExport = m_scratch.filePath(QStringLiteral("demo/tables.csv"));
    const Run compared = RunProgram(strCli,
                                    {QStringLiteral("compare-tables"), QStringLiteral("--left"),
                                     QStringLiteral("DEMO_DEV"), QStringLiteral("--right"),
                                     QStringLiteral("DEMO_PROD"), QStringLiteral("--export"), strExport},
                                    environment);
    QVERIFY2(compared.nStatus == 0, qPrintable(Describe(compared)));
    QVERIFY2(ReadAll(strExport).contains("F0101"), qPrintable(strExport));

    QCOMPARE(QFileInfo::exists(strAccountIni), bAccountIniExisted);
    QCOMPARE(ReadAll(strAccountIni), accountIni);
}

void TestPackaging::desktopEntryValidates()
{
    const QString strValidator = Tool("desktop-file-validate");
    QVERIFY2(!strValidator.isEmpty(), "desktop-file-validate is missing: run scripts/install-deps --tests");
    const QString strEntry = Root(QStringLiteral("usr/share/applications/") + QStringLiteral(KITVANE_APP_ID)
                                  + QStringLiteral(".desktop"));
    QVERIFY2(QFileInfo::exists(strEntry), qPrintable(strEntry));
    // Warnings count as failures too.
    const Run run = RunProgram(strValidator, {strEntry});
    QVERIFY2(run.nStatus == 0 && run.strOut.isEmpty() && run.strErr.isEmpty(), qPrintable(Describe(run)));
}

void TestPackaging::appStreamValidates()
{
    const QString strValidator = Tool("appstreamcli");
    QVERIFY2(!strValidator.isEmpty(), "appstreamcli is missing: run scripts/install-deps --tests");
    const QString strMetainfo = Root(QStringLiteral("usr/share/metainfo/") + QStringLiteral(KITVANE_APP_ID)
                                     + QStringLiteral(".metainfo.xml"));
    QVERIFY2(QFileInfo::exists(strMetainfo), qPrintable(strMetainfo));
    const Run run = RunProgram(strValidator, {QStringLiteral("validate"), QStringLiteral("--no-net"), strMetainfo});
    QVERIFY2(run.nStatus == 0, qPrintable(Describe(run)));
}

// What the desktop entry and the AppStream description name is in the package.
void TestPackaging::desktopEntryAndAppStreamMatchThePackage()
{
    const QString strDesktopId = QStringLiteral(KITVANE_APP_ID) + QStringLiteral(".desktop");
    const QMap<QString, QString> entry = ReadDesktopEntry(Root(QStringLiteral("usr/share/applications/") + strDesktopId));
    QCOMPARE(entry.value(QStringLiteral("Name")), QStringLiteral("Kitvane"));
    QVERIFY(!entry.value(QStringLiteral("GenericName[fr]")).isEmpty());
    QVERIFY(!entry.value(QStringLiteral("Comment[fr]")).isEmpty());
    QCOMPARE(entry.value(QStringLiteral("Categories")), QStringLiteral("Development;Database;"));
    QCOMPARE(entry.value(QStringLiteral("Terminal")), QStringLiteral("false"));
    const QString strExec = entry.value(QStringLiteral("Exec")).section(u' ', 0, 0);
    QVERIFY2(QFileInfo(Root(QStringLiteral("usr/bin/") + strExec)).isExecutable(), qPrintable(strExec));
    const QString strIcon = entry.value(QStringLiteral("Icon"));
    QVERIFY2(QFileInfo::exists(Root(QStringLiteral("usr/share/icons/hicolor/48x48/apps/") + strIcon
                                    + QStringLiteral(".png"))),
             qPrintable(strIcon));

    QFile metainfo(Root(QStringLiteral("usr/share/metainfo/") + QStringLiteral(KITVANE_APP_ID)
                        + QStringLiteral(".metainfo.xml")));
    QVERIFY(metainfo.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&metainfo);
    QString strId;
    QStringList arrLaunchables;
    QStringList arrBinaries;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("id"))
            strId = xml.readElementText();
        else if (xml.name() == QLatin1String("launchable"))
            arrLaunchables << xml.readElementText();
        else if (xml.name() == QLatin1String("binary"))
            arrBinaries << xml.readElementText();
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(strId, QStringLiteral(KITVANE_APP_ID));
    QCOMPARE(arrLaunchables, QStringList{strDesktopId});
    arrBinaries.sort();
    QCOMPARE(arrBinaries, QStringList({"TvrKitvane", "kitvane-cli"}));
    for (const QString& strBinary : arrBinaries)
        QVERIFY2(QFileInfo(Root(QStringLiteral("usr/bin/") + strBinary)).isExecutable(), qPrintable(strBinary));
}

void TestPackaging::iconSizes_data()
{
    QTest::addColumn<int>("size");
    for (int nSize : {48, 128, 256})
        QTest::addRow("%d", nSize) << nSize;
}

void TestPackaging::iconSizes()
{
    QFETCH(int, size);
    const QString strPath = Root(QStringLiteral("usr/share/icons/hicolor/%1x%1/apps/kitvane.png").arg(size));
    const QImage icon(strPath);
    QVERIFY2(!icon.isNull(), qPrintable(strPath));
    QCOMPARE(icon.size(), QSize(size, size));
    // Drawn, not an empty canvas: a transparent ground around an opaque mark.
    QVERIFY(icon.hasAlphaChannel());
    int nOpaque = 0;
    for (int y = 0; y < icon.height(); ++y) {
        for (int x = 0; x < icon.width(); ++x)
            nOpaque += qAlpha(icon.pixel(x, y)) == 255 ? 1 : 0;
    }
    QVERIFY2(nOpaque > size * size / 4 && nOpaque < size * size, qPrintable(QString::number(nOpaque)));
}

// Running the demo installs no database server; the tests' set has them.
void TestPackaging::demoDependenciesNameNoServer()
{
    const QString strScript = kvtest::BuildPath(KITVANE_SOURCE_DIR) + QStringLiteral("/scripts/install-deps");
    const Run demo = RunProgram(QStringLiteral("bash"), {strScript, QStringLiteral("--list")});
    QVERIFY2(demo.nStatus == 0, qPrintable(Describe(demo)));
    const QStringList arrDemo = demo.strOut.split(u'\n', Qt::SkipEmptyParts);
    for (const QString& strPackage : arrDemo) {
        QVERIFY2(!strPackage.startsWith(QStringLiteral("postgresql")) && !strPackage.startsWith(QStringLiteral("mariadb"))
                     && !strPackage.contains(QStringLiteral("mysql-server")),
                 qPrintable(strPackage));
    }
    // What the demo runs on: the driver manager, the SQLite driver, the fonts, the opener.
    for (const char* pszPackage : {"unixodbc", "libsqliteodbc", "qt6-qpa-plugins", "fonts-dejavu-core", "xdg-utils"})
        QVERIFY2(arrDemo.contains(QLatin1String(pszPackage)), pszPackage);

    const Run tests = RunProgram(QStringLiteral("bash"), {strScript, QStringLiteral("--tests"), QStringLiteral("--list")});
    QVERIFY2(tests.nStatus == 0, qPrintable(Describe(tests)));
    const QStringList arrTests = tests.strOut.split(u'\n', Qt::SkipEmptyParts);
    for (const QString& strPackage : arrDemo)
        QVERIFY2(arrTests.contains(strPackage), qPrintable(strPackage));
    // The servers and the tools this test itself runs.
    for (const char* pszPackage : {"postgresql", "mariadb-server", "mariadb-client", "odbc-postgresql", "odbc-mariadb",
                                   "libnss-wrapper", "desktop-file-utils", "appstream", "strace"})
        QVERIFY2(arrTests.contains(QLatin1String(pszPackage)), pszPackage);

    const Run wrong = RunProgram(QStringLiteral("bash"), {strScript, QStringLiteral("--list"), QStringLiteral("--demo")});
    QCOMPARE(wrong.nStatus, 2);
}

QTEST_GUILESS_MAIN(TestPackaging)
#include "tst_packaging.moc"
