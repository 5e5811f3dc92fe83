#include "app/shellfunctions.h"
#include "app/shellopener.h"

#include "recordingopener.h"
#include "testfiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The real process start over a command template of the test's choice.
class TemplateOpener : public CShellOpener
{
public:
    explicit TemplateOpener(const QString& strCommand) : m_strCommand(strCommand) {}
    QString GetOpenCommand(const QString&) const override { return m_strCommand; }

private:
    QString m_strCommand;
};

}  // namespace

class TestShell : public QObject
{
    Q_OBJECT

private slots:
    void documentPath_data();
    void documentPath();
    void pictures();
    void companionFolders();
    void companionFile_data();
    void companionFile();
    void commandLine_data();
    void commandLine();
    void openMissingFileStartsNothing();
    void openTwiceStartsTwice();
    void realProcessStart();
    void openerVerdict_data();
    void openerVerdict();
    void productVersion();
};

void TestShell::documentPath_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("expected");

    const QStringList all{"HelpFRB.pdf", "HelpENG.pdf", "HelpFRA.pdf"};
    QTest::newRow("FRB first") << "FRB" << all << int(DOC_HELP) << "HelpFRB.pdf";
    QTest::newRow("then ENG") << "FRB" << QStringList{"HelpENG.pdf", "HelpFRA.pdf"} << int(DOC_HELP) << "HelpENG.pdf";
    QTest::newRow("then FRA") << "FRB" << QStringList{"HelpFRA.pdf"} << int(DOC_HELP) << "HelpFRA.pdf";
    QTest::newRow("none") << "FRB" << QStringList{"HelpDEU.pdf"} << int(DOC_HELP) << "";
    QTest::newRow("eng skips ENG") << "eng" << QStringList{"HelpENG.pdf", "HelpFRA.pdf"} << int(DOC_HELP) << "HelpFRA.pdf";
    QTest::newRow("eng own file") << "eng" << QStringList{"Helpeng.pdf", "HelpFRA.pdf"} << int(DOC_HELP) << "Helpeng.pdf";
    QTest::newRow("release") << "ENU" << QStringList{"ReleaseENG.txt"} << int(DOC_RELEASE) << "ReleaseENG.txt";
    QTest::newRow("terms") << "FRA" << QStringList{"ClufFRA.txt", "ClufENG.txt"} << int(DOC_CLUF) << "ClufFRA.txt";
    QTest::newRow("wrong extension") << "FRA" << QStringList{"HelpFRA.txt"} << int(DOC_HELP) << "";
    QTest::newRow("unknown kind") << "FRA" << all << 6 << "";
    QTest::newRow("negative kind") << "FRA" << all << -1 << "";
}

void TestShell::documentPath()
{
    QFETCH(QString, language);
    QFETCH(QStringList, present);
    QFETCH(int, kind);
    QFETCH(QString, expected);

    QTemporaryDir dir;
    for (const QString& strName : present)
        QVERIFY(WriteTestFile(dir.filePath(strName)));
    QCOMPARE(GetDocumentPath(kind, dir.path(), language), expected.isEmpty() ? QString() : dir.filePath(expected));
}

void TestShell::pictures()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("Icon.png"));  // a folder is not the picture
    QVERIFY(WriteTestFile(dir.filePath("Logo.png")));
    QCOMPARE(GetDocumentPath(DOC_LOGO, dir.path(), "FRA"), dir.filePath("Logo.png"));
    QCOMPARE(GetDocumentPath(DOC_BTNINFO, dir.path(), "FRA"), QString());
    QCOMPARE(GetDocumentPath(DOC_ICON, dir.path(), "FRA"), QString());
}

// An installation keeps the executables in <prefix>/bin and the companion
// files in <prefix>/share/kitvane; a build folder keeps them together.
void TestShell::companionFolders()
{
    QCOMPARE(GetCompanionFolders("/x/y/bin"), QStringList({"/x/y/bin", "/x/y/share/kitvane"}));
    QCOMPARE(GetCompanionFolders("/x/y/bin/"), QStringList({"/x/y/bin", "/x/y/share/kitvane"}));
}

void TestShell::companionFile_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QStringList>("present");  // paths below the prefix
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("expected");

    QTest::newRow("installed") << "FRA" << QStringList{"share/kitvane/HelpFRA.pdf"} << int(DOC_HELP)
                               << "share/kitvane/HelpFRA.pdf";
    QTest::newRow("installed picture") << "FRA" << QStringList{"share/kitvane/Logo.png"} << int(DOC_LOGO)
                                       << "share/kitvane/Logo.png";
    QTest::newRow("beside the executable wins")
        << "FRA" << QStringList{"bin/Logo.png", "share/kitvane/Logo.png"} << int(DOC_LOGO) << "bin/Logo.png";
    // The language rule is applied within a folder before the next one.
    QTest::newRow("language within the first folder")
        << "FRA" << QStringList{"bin/HelpENG.pdf", "share/kitvane/HelpFRA.pdf"} << int(DOC_HELP) << "bin/HelpENG.pdf";
    QTest::newRow("language fallback installed")
        << "FRB" << QStringList{"share/kitvane/ClufENG.txt", "share/kitvane/ClufFRA.txt"} << int(DOC_CLUF)
        << "share/kitvane/ClufENG.txt";
    QTest::newRow("other data folder") << "FRA" << QStringList{"share/other/Logo.png"} << int(DOC_LOGO) << "";
    QTest::newRow("none") << "FRA" << QStringList{} << int(DOC_RELEASE) << "";
}

void TestShell::companionFile()
{
    QFETCH(QString, language);
    QFETCH(QStringList, present);
    QFETCH(int, kind);
    QFETCH(QString, expected);

    QTemporaryDir prefix;
    const QDir root(prefix.path());
    QVERIFY(root.mkpath("bin"));
    for (const QString& strPath : present) {
        QVERIFY(root.mkpath(QFileInfo(root.filePath(strPath)).path()));
        QVERIFY(WriteTestFile(root.filePath(strPath)));
    }
    QCOMPARE(FindCompanionFile(kind, root.filePath("bin"), language),
             expected.isEmpty() ? QString() : root.filePath(expected));
}

void TestShell::commandLine_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("line");

    QTest::newRow("opener") << "xdg-open" << "xdg-open \"/tmp/a b.csv\"";
    QTest::newRow("%1 unquoted") << "viewer --file=%1" << "viewer --file=/tmp/a b.csv";
    QTest::newRow("every %1") << "\"%1\" %1" << "\"/tmp/a b.csv\" /tmp/a b.csv";
    QTest::newRow("no command") << "" << " \"/tmp/a b.csv\"";
}

void TestShell::commandLine()
{
    QFETCH(QString, command);
    QFETCH(QString, line);
    QCOMPARE(CShellOpener::BuildCommandLine(command, QStringLiteral("/tmp/a b.csv")), line);
}

void TestShell::openMissingFileStartsNothing()
{
    QStringList arrStarted;
    RecordingOpener opener(arrStarted);
    QVERIFY(!opener.OpenWithAssociatedProgram(QStringLiteral("/no/such/file.csv")));
    QVERIFY(arrStarted.isEmpty());
}

void TestShell::openTwiceStartsTwice()
{
    QTemporaryDir dir;
    const QString strPath = dir.filePath("DEV.csv");
    QVERIFY(WriteTestFile(strPath));

    QStringList arrStarted;
    RecordingOpener opener(arrStarted);
    opener.m_strCommand = QStringLiteral("xdg-open");
    QVERIFY(opener.OpenWithAssociatedProgram(strPath));
    QVERIFY(opener.OpenWithAssociatedProgram(strPath));
    QCOMPARE(arrStarted, QStringList(2, "xdg-open \"" + strPath + "\""));
    QCOMPARE(opener.m_arrExtensions, QStringList(2, ".csv"));
}

void TestShell::realProcessStart()
{
    QTemporaryDir dir;
    const QString strPath = dir.filePath("result.txt");
    const QString strCopy = dir.filePath("copy.txt");
    QVERIFY(WriteTestFile(strPath, "content"));

    // The detached process really runs with the path in place of %1.
    TemplateOpener copier(QStringLiteral("cp %1 ") + strCopy);
    QVERIFY(copier.OpenWithAssociatedProgram(strPath));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(strCopy), 5000);

    TemplateOpener missing(QStringLiteral("/no/such/program"));
    QVERIFY(!missing.OpenWithAssociatedProgram(strPath));
}

void TestShell::openerVerdict_data()
{
    // Command templates standing for the desktop opener: "%1" is the
    // document, "MARK" a file the command creates when it runs to its end.
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("opened");
    QTest::addColumn<bool>("marked");
    QTest::newRow("opener succeeds") << "sh -c \"touch MARK\" %1" << true << true;
    QTest::newRow("opener finds no program") << "sh -c \"exit 3\" %1" << false << false;
    QTest::newRow("opener fails after output") << "sh -c \"echo no method >&2; exit 4\" %1" << false << false;
    QTest::newRow("opener missing") << "/no/such/opener %1" << false << false;
    // An opener that waits for the program it started is left running.
    QTest::newRow("opener keeps running") << "sh -c \"sleep 3; touch MARK\" %1" << true << true;
}

void TestShell::openerVerdict()
{
    QFETCH(QString, command);
    QFETCH(bool, opened);
    QFETCH(bool, marked);
    QTemporaryDir dir;
    const QString strPath = dir.filePath("result.txt");
    const QString strMark = dir.filePath("mark");
    QVERIFY(WriteTestFile(strPath, "content"));
    TemplateOpener opener(QString(command).replace(QStringLiteral("MARK"), strMark));
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(opener.OpenWithAssociatedProgram(strPath), opened);
    // The verdict comes within moments, whatever the opener does next.
    QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
    if (marked)
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(strMark), 8000);
    else
        QVERIFY(!QFile::exists(strMark));
}

void TestShell::productVersion()
{
    QCOMPARE(GetProductVersion(), QStringLiteral("2.0.0"));
}

QTEST_GUILESS_MAIN(TestShell)
#include "tst_shell.moc"
