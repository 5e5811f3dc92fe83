// The user guide: every picture its Markdown names exists among the committed
// pictures, and the PDF generated at build time really carries them; the
// generator refuses a guide whose picture is missing.

#include "tests/support/buildpath.h"
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

namespace {

const QString kDocuments = kvtest::BuildPath(KITVANE_DOCUMENT_FOLDER);
const QString kPictures = kvtest::BuildPath(KITVANE_SOURCE_DIR) + QStringLiteral("/docs/pictures");

QString ReadText(const QString& strPath)
{
    QFile file(strPath);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

// The image references of a Markdown text, as written.
QStringList ImageReferences(const QString& strMarkdown)
{
    static const QRegularExpression image(QStringLiteral(R"(!\[[^\]]*\]\(([^)\s]+)\))"));
    QStringList arrNames;
    for (auto it = image.globalMatch(strMarkdown); it.hasNext();)
        arrNames.append(it.next().captured(1));
    return arrNames;
}

// "WxH" of every image object of a PDF, sorted.
QStringList PdfImageSizes(const QByteArray& pdf)
{
    static const QRegularExpression object(
        QStringLiteral(R"(/Subtype\s*/Image\b[^>]*?/Width\s+(\d+)\s*/Height\s+(\d+))"));
    QStringList arrSizes;
    const QString strPdf = QString::fromLatin1(pdf);
    for (auto it = object.globalMatch(strPdf); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        arrSizes.append(match.captured(1) + u'x' + match.captured(2));
    }
    arrSizes.sort();
    return arrSizes;
}

QString SizeOf(const QImage& image)
{
    return QString::number(image.width()) + u'x' + QString::number(image.height());
}

// Runs the generator on a documents folder; its standard error into pstrErr.
int RunGenerator(const QString& strOutput, const QString& strSource, QString* pstrErr)
{
    QProcess process;
    process.start(kvtest::BuildPath(KITVANE_RESGEN), {strOutput, strSource});
    if (!process.waitForFinished(120000))
        return -1;
    *pstrErr = QString::fromLocal8Bit(process.readAllStandardError());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

bool WriteFile(const QString& strPath, const QByteArray& content)
{
    QFile file(strPath);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

}  // namespace

class TestHelpDocs : public QObject
{
    Q_OBJECT

private slots:
    void picturesExist_data();
    void picturesExist();
    void pdfEmbedsPictures_data();
    void pdfEmbedsPictures();
    void everyPictureIsUsed();
    void generatorNeedsThePictures_data();
    void generatorNeedsThePictures();
};

void TestHelpDocs::picturesExist_data()
{
    QTest::addColumn<QString>("strLanguage");
    QTest::newRow("FRA") << QStringLiteral("FRA");
    QTest::newRow("ENG") << QStringLiteral("ENG");
}

// Each picture of a guide is a readable committed picture of the guide's
// own language.
void TestHelpDocs::picturesExist()
{
    QFETCH(QString, strLanguage);
    const QString strMarkdown = ReadText(kDocuments + QStringLiteral("/Help") + strLanguage + QStringLiteral(".md"));
    QVERIFY(!strMarkdown.isEmpty());
    const QStringList arrNames = ImageReferences(strMarkdown);
    QVERIFY2(arrNames.size() >= 9, qPrintable(QString::number(arrNames.size())));
    const QDir pictures(kPictures);
    for (const QString& strName : arrNames) {
        const QString strPath = QDir::cleanPath(QDir(kDocuments).absoluteFilePath(strName));
        QVERIFY2(QFileInfo(strPath).absolutePath() == pictures.absolutePath(), qPrintable(strName));
        QVERIFY2(QFileInfo::exists(strPath), qPrintable(strName));
        QVERIFY2(!QImage(strPath).isNull(), qPrintable(strName));
        QVERIFY2(strName.endsWith(u'_' + strLanguage + QStringLiteral(".png")), qPrintable(strName));
    }
}

void TestHelpDocs::pdfEmbedsPictures_data()
{
    picturesExist_data();
}

// The PDF built beside this test holds one image of each picture's size for
// each picture the guide names, and nothing else.
void TestHelpDocs::pdfEmbedsPictures()
{
    QFETCH(QString, strLanguage);
    QFile pdf(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Help") + strLanguage
                                                                     + QStringLiteral(".pdf")));
    QVERIFY2(pdf.open(QIODevice::ReadOnly), qPrintable(pdf.fileName()));
    const QByteArray content = pdf.readAll();
    QVERIFY(content.startsWith("%PDF"));

    QStringList arrExpected;
    for (const QString& strName :
         ImageReferences(ReadText(kDocuments + QStringLiteral("/Help") + strLanguage + QStringLiteral(".md"))))
        arrExpected.append(SizeOf(QImage(QDir(kDocuments).absoluteFilePath(strName))));
    arrExpected.sort();
    QVERIFY(!arrExpected.isEmpty());
    QCOMPARE(PdfImageSizes(content), arrExpected);
}

// No committed picture is dead weight: each one is shown by a guide or by
// the README.
void TestHelpDocs::everyPictureIsUsed()
{
    const QString strTexts = ReadText(kDocuments + QStringLiteral("/HelpFRA.md"))
                             + ReadText(kDocuments + QStringLiteral("/HelpENG.md"))
                             + ReadText(kvtest::BuildPath(KITVANE_SOURCE_DIR) + QStringLiteral("/README.md"));
    const QStringList arrFiles = QDir(kPictures).entryList(QDir::Files);
    QVERIFY(!arrFiles.isEmpty());
    for (const QString& strFile : arrFiles)
        QVERIFY2(strTexts.contains(QStringLiteral("pictures/") + strFile), qPrintable(strFile));
}

void TestHelpDocs::generatorNeedsThePictures_data()
{
    QTest::addColumn<bool>("bPicturePresent");
    QTest::newRow("picture present") << true;
    QTest::newRow("picture missing") << false;
}

// A guide whose picture cannot be read is not rendered as if complete.
void TestHelpDocs::generatorNeedsThePictures()
{
    QFETCH(bool, bPicturePresent);
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    const QDir root(tmp.path());
    QVERIFY(root.mkpath(QStringLiteral("docs")) && root.mkpath(QStringLiteral("pictures")));
    const QString strDocs = root.filePath(QStringLiteral("docs"));
    for (const char* pszLanguage : {"FRA", "ENG"}) {
        const QString strLanguage = QString::fromLatin1(pszLanguage);
        for (const QString& strText : {QStringLiteral("Release"), QStringLiteral("Cluf")})
            QVERIFY(WriteFile(strDocs + u'/' + strText + strLanguage + QStringLiteral(".txt"), "text\n"));
        QVERIFY(WriteFile(strDocs + QStringLiteral("/Help") + strLanguage + QStringLiteral(".md"),
                          "# Guide\n\nText.\n\n![A window](../pictures/window.png)\n\nMore text.\n"));
    }
    // Wider than any page: narrowed, never left out.
    QImage picture(2400, 300, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    if (bPicturePresent)
        QVERIFY(picture.save(root.filePath(QStringLiteral("pictures/window.png"))));

    const QString strOutput = root.filePath(QStringLiteral("out"));
    QString strErr;
    const int nExit = RunGenerator(strOutput, strDocs, &strErr);
    if (!bPicturePresent) {
        QCOMPARE(nExit, 1);
        QVERIFY2(strErr.contains(QStringLiteral("window.png")), qPrintable(strErr));
        return;
    }
    QCOMPARE(nExit, 0);
    for (const char* pszPdf : {"HelpFRA.pdf", "HelpENG.pdf"}) {
        QFile pdf(QDir(strOutput).filePath(QString::fromLatin1(pszPdf)));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QCOMPARE(PdfImageSizes(pdf.readAll()), QStringList{QStringLiteral("2400x300")});
    }
}

QTEST_GUILESS_MAIN(TestHelpDocs)
#include "tst_helpdocs.moc"
