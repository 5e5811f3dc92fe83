#include "app/language.h"
#include "app/resultfilechecks.h"
#include "app/resultfilenames.h"
#include "app/resultlinewriter.h"
#include "scriptedprompt.h"
#include "testfiles.h"
#include "tests/compare/filesizelimit.h"
#include "tools/statoptions.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <thread>

namespace {

QByteArray Utf16Le(const QString& strText)
{
    QByteArray bytes;
    for (const QChar c : strText) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

const QByteArray kBom("\xFF\xFE", 2);

}  // namespace

class TestResultFiles : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void extension_data();
    void extension();
    void fileNameFromDsn_data();
    void fileNameFromDsn();
    void defaultPath_data();
    void defaultPath();

    void newFile_data();
    void newFile();
    void appendKeepsContent();
    void emptyTextOnlyCreates();
    void textKeptAsIs();
    void emptyPathFails();
    void unopenableRetriedThenReported_data();
    void unopenableRetriedThenReported();
    void releasedDuringRetryIsWritten();
    void fullDiskReported();
    void fileSizeLimitReported();

    void prepareNewFile();
    void prepareDeclined_data();
    void prepareDeclined();
    void prepareConfirmed();
    void prepareUnwritable();
    void confirmDelete_data();
    void confirmDelete();
    void lineFailureMessage();

private:
    QString Path(const QString& strName) const { return m_dir.filePath(strName); }

    QTemporaryDir m_dir;
    CStatOptions m_statOptions;
    CResultLineWriter m_writer{m_statOptions};
};

void TestResultFiles::init()
{
    QVERIFY(m_dir.isValid());
    SetInterfaceLanguage(QStringLiteral("FRA"), QString());
    m_statOptions.SetStatisticsOptions(STAT_DATE_UPMJ, QString());
}

void TestResultFiles::extension_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("extension");
    QTest::newRow("text") << int(RESULT_TEXT) << "txt";
    QTest::newRow("tab") << int(RESULT_TAB) << "csv";
    QTest::newRow("other") << 7 << "txt";
}

void TestResultFiles::extension()
{
    QFETCH(int, kind);
    QFETCH(QString, extension);
    QCOMPARE(GetResultExtension(kind), extension);
}

void TestResultFiles::fileNameFromDsn_data()
{
    QTest::addColumn<QString>("dsn");
    QTest::addColumn<QString>("name");
    QTest::newRow("slash and dot") << "DEV/ERP 9.1" << "DEV_ERP 9_1";
    QTest::newRow("kept") << QString::fromUtf8("Base-é è ê à ç ù ö_1") << QString::fromUtf8("Base-é è ê à ç ù ö_1");
    QTest::newRow("other accents") << QString::fromUtf8("ÉtéÜ") << QString::fromUtf8("_té_");
    QTest::newRow("path characters") << "a\\b:c*d?e\"f<g>h|i" << "a_b_c_d_e_f_g_h_i";
    QTest::newRow("empty") << "" << "";
}

void TestResultFiles::fileNameFromDsn()
{
    QFETCH(QString, dsn);
    QFETCH(QString, name);
    QCOMPARE(MakeFileNameFromDsn(dsn), name);
}

void TestResultFiles::defaultPath_data()
{
    // Folders under a temporary home: "home/Documents" exists only when
    // documents is true; "stored" is an existing folder, "gone" a missing one.
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("documents");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("path");
    QTest::newRow("stored folder") << "stored" << true << int(RESULT_TAB) << "stored/DEV.csv";
    QTest::newRow("stored folder with separator") << "stored/" << false << int(RESULT_TEXT) << "stored/DEV.txt";
    QTest::newRow("stored folder gone") << "gone/" << true << int(RESULT_TEXT) << "home/Documents/DEV.txt";
    QTest::newRow("no folder") << "" << true << int(RESULT_TAB) << "home/Documents/DEV.csv";
    QTest::newRow("documents missing") << "home/Documents" << false << int(RESULT_TAB) << "home/DEV.csv";
    QTest::newRow("nothing exists") << "gone" << false << int(RESULT_TEXT) << "home/DEV.txt";
}

void TestResultFiles::defaultPath()
{
    QFETCH(QString, folder);
    QFETCH(bool, documents);
    QFETCH(int, kind);
    QFETCH(QString, path);

    QTemporaryDir root;
    QVERIFY(QDir(root.path()).mkpath(QStringLiteral("home")));
    QVERIFY(QDir(root.path()).mkpath(QStringLiteral("stored")));
    if (documents)
        QVERIFY(QDir(root.path()).mkpath(QStringLiteral("home/Documents")));
    // The user's folders as the platform reports them, under the temporary home.
    const QByteArray home = qgetenv("HOME");
    const QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(root.filePath(QStringLiteral("home"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root.filePath(QStringLiteral("home/.config"))));
    const QString strFolder = folder.isEmpty() ? QString() : root.path() + u'/' + folder;
    const QString strPath = GetDefaultResultPath(strFolder, QStringLiteral("DEV"), kind);
    qputenv("HOME", home);
    if (configHome.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", configHome);
    QCOMPARE(strPath, root.path() + u'/' + path);
}

void TestResultFiles::newFile_data()
{
    QTest::addColumn<int>("lineKind");
    QTest::addColumn<int>("dateMode");
    QTest::addColumn<bool>("frenchUi");
    QTest::addColumn<QString>("header");

    QTest::newRow("statistics, UPMJ") << int(LINE_STATISTICS) << int(STAT_DATE_UPMJ) << true
        << QString::fromUtf8("Table\tNombre de lignes\tDate de dernière modification\r\n");
    QTest::newRow("statistics, field, English") << int(LINE_STATISTICS) << int(STAT_DATE_FIELD) << false
        << "File\tNumber of records\tLast modified on date\r\n";
    QTest::newRow("statistics, no date") << int(LINE_STATISTICS) << int(STAT_DATE_NONE) << true
        << "Table\tNombre de lignes\r\n";
    QTest::newRow("decimal update") << int(LINE_DECIMAL_UPDATE) << int(STAT_DATE_UPMJ) << true << "";
    QTest::newRow("cancel line") << int(LINE_NO_HEADER) << int(STAT_DATE_UPMJ) << true << "";
}

void TestResultFiles::newFile()
{
    QFETCH(int, lineKind);
    QFETCH(int, dateMode);
    QFETCH(bool, frenchUi);
    QFETCH(QString, header);

    SetInterfaceLanguage(frenchUi ? QStringLiteral("FRA") : QStringLiteral("ENU"), QString());
    m_statOptions.SetStatisticsOptions(dateMode, QStringLiteral("UPDT"));
    const QString strPath = Path(QStringLiteral("new%1.csv").arg(QTest::currentDataTag()));
    const QString strLine = QString::fromUtf8("PRODDTA.F0101\t42\t31/12/2024 é");
    QVERIFY(m_writer.AppendResultLine(lineKind, strPath, strLine));
    QCOMPARE(ReadTestFile(strPath), kBom + Utf16Le(header + strLine + "\r\n"));
}

void TestResultFiles::appendKeepsContent()
{
    const QString strPath = Path(QStringLiteral("append.csv"));
    QVERIFY(m_writer.AppendResultLine(LINE_STATISTICS, strPath, QStringLiteral("A\t1")));
    const QByteArray first = ReadTestFile(strPath);
    QVERIFY(m_writer.AppendResultLine(LINE_STATISTICS, strPath, QStringLiteral("B\t2")));
    QCOMPARE(ReadTestFile(strPath), first + Utf16Le(QStringLiteral("B\t2\r\n")));

    // Any non-empty file counts as started, even one written by someone else.
    const QString strOther = Path(QStringLiteral("other.csv"));
    QVERIFY(WriteTestFile(strOther, "x"));
    QVERIFY(m_writer.AppendResultLine(LINE_STATISTICS, strOther, QStringLiteral("C")));
    QCOMPARE(ReadTestFile(strOther), QByteArray("x") + Utf16Le(QStringLiteral("C\r\n")));
}

void TestResultFiles::emptyTextOnlyCreates()
{
    const QString strPath = Path(QStringLiteral("probe.txt"));
    QVERIFY(m_writer.AppendResultLine(LINE_NO_HEADER, strPath, QString()));
    QCOMPARE(ReadTestFile(strPath), QByteArray());
    QVERIFY(WriteTestFile(strPath, "keep"));
    QVERIFY(m_writer.AppendResultLine(LINE_STATISTICS, strPath, QString()));
    QCOMPARE(ReadTestFile(strPath), QByteArray("keep"));
}

void TestResultFiles::textKeptAsIs()
{
    const QString strPath = Path(QStringLiteral("raw.txt"));
    const QString strText = QStringLiteral("UPDATE T SET A=1\nB") + QChar(0xD800) + QChar(0x20AC);
    QVERIFY(m_writer.AppendResultLine(LINE_DECIMAL_UPDATE, strPath, strText));
    QCOMPARE(ReadTestFile(strPath), kBom + Utf16Le(strText + "\r\n"));
}

void TestResultFiles::emptyPathFails()
{
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!m_writer.AppendResultLine(LINE_STATISTICS, QString(), QStringLiteral("x")));
    QVERIFY(timer.elapsed() < 500);
}

void TestResultFiles::unopenableRetriedThenReported_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("a folder") << "folder";
    QTest::newRow("vanished folder") << "gone/result.csv";
}

void TestResultFiles::unopenableRetriedThenReported()
{
    QFETCH(QString, path);
    QVERIFY(QDir(m_dir.path()).mkpath("folder"));
    QElapsedTimer timer;
    timer.start();
    QString strError;
    QVERIFY(!m_writer.AppendResultLine(LINE_STATISTICS, Path(path), QStringLiteral("x"), &strError));
    const qint64 nElapsed = timer.elapsed();
    QVERIFY2(nElapsed >= 1000 && nElapsed < 2500, qPrintable(QString::number(nElapsed)));
    QVERIFY(!strError.isEmpty());
}

void TestResultFiles::releasedDuringRetryIsWritten()
{
    // A folder in the file's place blocks the open as a lock does; it goes
    // away while the writer is still retrying.
    const QString strPath = Path(QStringLiteral("locked.csv"));
    QVERIFY(QDir().mkpath(strPath));
    std::thread release([strPath] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        QDir().rmdir(strPath);
    });
    const bool bWritten = m_writer.AppendResultLine(LINE_NO_HEADER, strPath, QStringLiteral("late"));
    release.join();
    QVERIFY(bWritten);
    QCOMPARE(ReadTestFile(strPath), kBom + Utf16Le(QStringLiteral("late\r\n")));
}

void TestResultFiles::fullDiskReported()
{
    if (!QFile::exists(QStringLiteral("/dev/full")))
        QFAIL("this test needs /dev/full, the device that reports a full disk");
    QString strError;
    QVERIFY(!m_writer.AppendResultLine(LINE_STATISTICS, QStringLiteral("/dev/full"), QStringLiteral("x"),
                                       &strError));
    QCOMPARE(strError, qt_error_string(ENOSPC));
}

// A line that does not fit any more: the system's reason, and the file
// keeps its whole lines only.
void TestResultFiles::fileSizeLimitReported()
{
    const QString strPath = Path(QStringLiteral("limited.csv"));
    QVERIFY(m_writer.AppendResultLine(LINE_NO_HEADER, strPath, QStringLiteral("first")));
    const QByteArray first = ReadTestFile(strPath);
    QString strError;
    bool bWritten = true;
    {
        kvtest::FileSizeLimit limit(rlim_t(first.size() + 6));
        QVERIFY(limit.IsSet());
        bWritten = m_writer.AppendResultLine(LINE_NO_HEADER, strPath, QStringLiteral("second line"), &strError);
    }
    QVERIFY(!bWritten);
    QCOMPARE(strError, qt_error_string(EFBIG));
    QCOMPARE(ReadTestFile(strPath), first);
}

void TestResultFiles::prepareNewFile()
{
    ScriptedPrompt prompt;
    CResultFileChecks checks(prompt, m_writer);
    const QString strPath = Path(QStringLiteral("fresh.csv"));
    QVERIFY(checks.PrepareResultFile(strPath, LINE_NO_HEADER));
    QVERIFY(prompt.m_arrTexts.isEmpty());
    // The write test leaves no file behind: the run starts a new one.
    QVERIFY(!QFile::exists(strPath));
}

void TestResultFiles::prepareDeclined_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("No") << int(CPrompt::AnswerNo);
    QTest::newRow("Cancel") << int(CPrompt::AnswerCancel);
}

void TestResultFiles::prepareDeclined()
{
    QFETCH(int, answer);
    ScriptedPrompt prompt;
    prompt.m_arrAnswers << CPrompt::Answer(answer);
    CResultFileChecks checks(prompt, m_writer);
    const QString strPath = Path(QStringLiteral("old.csv"));
    QVERIFY(WriteTestFile(strPath, "old"));
    QVERIFY(!checks.PrepareResultFile(strPath, LINE_NO_HEADER));
    QCOMPARE(ReadTestFile(strPath), QByteArray("old"));
    QCOMPARE(prompt.m_arrTexts.size(), 1);
    QCOMPARE(prompt.m_arrButtons.at(0), CPrompt::YesNoCancel);
}

void TestResultFiles::prepareConfirmed()
{
    ScriptedPrompt prompt;
    prompt.m_arrAnswers << CPrompt::AnswerYes;
    CResultFileChecks checks(prompt, m_writer);
    const QString strPath = Path(QStringLiteral("old.csv"));
    QVERIFY(WriteTestFile(strPath, "old"));
    QVERIFY(checks.PrepareResultFile(strPath, LINE_NO_HEADER));
    QCOMPARE(prompt.m_arrTexts,
             QStringList{QString::fromUtf8("Le fichier de résultat (%1) existe déjà.\n"
                                           "Voulez-vous vraiment le remplacer ?").arg(strPath)});
    QVERIFY(!QFile::exists(strPath));
}

void TestResultFiles::prepareUnwritable()
{
    SetInterfaceLanguage(QStringLiteral("ENU"), QString());
    ScriptedPrompt prompt;
    CResultFileChecks checks(prompt, m_writer);
    const QString strPath = Path(QStringLiteral("missing/result.csv"));
    QVERIFY(!checks.PrepareResultFile(strPath, LINE_NO_HEADER));
    QCOMPARE(prompt.m_arrTexts,
             QStringList{QStringLiteral("Unable to open file %1: %2.").arg(strPath, qt_error_string(ENOENT))});
    QCOMPARE(prompt.m_arrButtons.at(0), CPrompt::Ok);
}

void TestResultFiles::confirmDelete_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("deleted");
    QTest::newRow("Yes") << int(CPrompt::AnswerYes) << true;
    QTest::newRow("No") << int(CPrompt::AnswerNo) << false;
    QTest::newRow("Cancel") << int(CPrompt::AnswerCancel) << false;
}

void TestResultFiles::confirmDelete()
{
    QFETCH(int, answer);
    QFETCH(bool, deleted);
    ScriptedPrompt prompt;
    prompt.m_arrAnswers << CPrompt::Answer(answer);
    CResultFileChecks checks(prompt, m_writer);
    const QString strPath = Path(QStringLiteral("del.txt"));
    QVERIFY(WriteTestFile(strPath, "x"));
    QCOMPARE(checks.ConfirmDeleteResultFile(strPath), deleted);
    QCOMPARE(QFile::exists(strPath), !deleted);
    QCOMPARE(prompt.m_arrTexts,
             QStringList{QString::fromUtf8("Voulez-vous vraiment supprimer définitivement le fichier "
                                           "ci-dessous ?\n%1").arg(strPath)});

    // A file that vanished meanwhile asks nothing.
    QFile::remove(strPath);
    QVERIFY(!checks.ConfirmDeleteResultFile(strPath));
    QCOMPARE(prompt.m_arrTexts.size(), 1);
}

void TestResultFiles::lineFailureMessage()
{
    SetInterfaceLanguage(QStringLiteral("ENU"), QString());
    ScriptedPrompt prompt;
    CResultFileChecks checks(prompt, m_writer);
    checks.ReportLineFailure(QStringLiteral("/x/y.csv"), qt_error_string(ENOSPC));
    QCOMPARE(prompt.m_arrTexts,
             QStringList{QStringLiteral("Unable to write in file '/x/y.csv': %1.\nCheck the free space and the access "
                                        "rights, close the applications using it, and start again.")
                             .arg(qt_error_string(ENOSPC))});
    QCOMPARE(prompt.m_arrButtons.at(0), CPrompt::Ok);
}

QTEST_GUILESS_MAIN(TestResultFiles)
#include "tst_resultfiles.moc"
