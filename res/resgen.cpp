// Writes the companion files of the executable into a folder: the pictures
// drawn by resourceimages.cpp, the text documents, and the help rendered to
// PDF from its Markdown source. The help's pictures are named relative to
// the Markdown file, so the source reads the same in any Markdown viewer.
//
//   kitvane_resgen <output folder> <documents source folder>

#include "app/shellfunctions.h"
#include "res/resourceimages.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPageSize>
#include <QImage>
#include <QPdfWriter>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QUrl>

#include <cstdio>

namespace {

bool Fail(const QString& strWhat)
{
    std::fprintf(stderr, "kitvane_resgen: %s\n", qPrintable(strWhat));
    return false;
}

bool WritePicture(const QDir& output, int nKind, const char* pszName)
{
    const QString strPath = output.filePath(QLatin1String(pszName));
    return DrawCompanionPicture(nKind).save(strPath, "PNG") || Fail(QStringLiteral("cannot write ") + strPath);
}

// The application icon at the sizes a desktop's icon theme looks for, laid
// out as the theme's folders (hicolor/48x48/apps/kitvane.png, ...).
bool WriteDesktopIcons(const QDir& output)
{
    for (int nSize : {KITVANE_ICON_SIZES}) {
        const QString strFolder = output.filePath(QStringLiteral("hicolor/%1x%1/apps").arg(nSize));
        const QString strPath = strFolder + QStringLiteral("/kitvane.png");
        if (!QDir().mkpath(strFolder) || !DrawIconImage(nSize).save(strPath, "PNG"))
            return Fail(QStringLiteral("cannot write ") + strPath);
    }
    return true;
}

bool CopyDocument(const QDir& source, const QDir& output, const QString& strName)
{
    const QString strTarget = output.filePath(strName);
    QFile::remove(strTarget);
    return QFile::copy(source.filePath(strName), strTarget) || Fail(QStringLiteral("cannot copy ") + strName);
}

// Loads every picture the help names into the document, and narrows those
// wider than the printed text so that no window is cut at the margin. A
// picture that cannot be read fails the build: a guide with holes is worse
// than none.
bool EmbedPictures(QTextDocument& document, const QDir& source, const QString& strMarkdown, qreal rMaxWidth)
{
    const QUrl base = QUrl::fromLocalFile(source.absolutePath() + u'/');
    struct Narrowed { int nPosition; int nLength; QTextImageFormat format; };
    QList<Narrowed> arrNarrowed;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid() || !fragment.charFormat().isImageFormat())
                continue;
            QTextImageFormat format = fragment.charFormat().toImageFormat();
            const QString strPath = base.resolved(QUrl(format.name())).toLocalFile();
            const QImage picture(strPath);
            if (picture.isNull())
                return Fail(strMarkdown + QStringLiteral(": cannot read the picture ") + strPath);
            document.addResource(QTextDocument::ImageResource, QUrl(format.name()), picture);
            if (picture.width() > rMaxWidth) {
                format.setWidth(rMaxWidth);
                format.setHeight(picture.height() * rMaxWidth / picture.width());
                arrNarrowed.append({fragment.position(), fragment.length(), format});
            }
        }
    }
    // Changed once the walk is over: a new format splits the fragments.
    for (const Narrowed& narrowed : arrNarrowed) {
        QTextCursor cursor(&document);
        cursor.setPosition(narrowed.nPosition);
        cursor.setPosition(narrowed.nPosition + narrowed.nLength, QTextCursor::KeepAnchor);
        cursor.setCharFormat(narrowed.format);
    }
    return true;
}

bool RenderHelp(const QDir& source, const QDir& output, const QString& strLanguage)
{
    QFile markdown(source.filePath(QStringLiteral("Help") + strLanguage + QStringLiteral(".md")));
    if (!markdown.open(QIODevice::ReadOnly))
        return Fail(QStringLiteral("cannot read ") + markdown.fileName());
    QTextDocument document;
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(10);
    document.setDefaultFont(font);
    document.setMarkdown(QString::fromUtf8(markdown.readAll()));

    const QString strPath = output.filePath(QStringLiteral("Help") + strLanguage + QStringLiteral(".pdf"));
    QPdfWriter writer(strPath);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    // QTextDocument::print() adds a 2 cm margin of its own inside the page's
    // margins, and lays pictures out at the screen's resolution.
    const qreal rDpi = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->logicalDotsPerInchX() : 96;
    const qreal rTextWidth = (writer.pageLayout().paintRect(QPageLayout::Inch).width() - 2 * 2 / 2.54) * rDpi;
    if (!EmbedPictures(document, source, markdown.fileName(), rTextWidth - 2))
        return false;
    writer.setTitle(QStringLiteral("TALVORIN Kitvane"));
    writer.setCreator(QStringLiteral("TALVORIN Kitvane"));
    document.print(&writer);
    return QFile::exists(strPath) || Fail(QStringLiteral("cannot write ") + strPath);
}

}  // namespace

int main(int argc, char** argv)
{
    // Text layout needs a platform; no display is wanted at build time.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3)
        return Fail(QStringLiteral("usage: kitvane_resgen <output folder> <documents folder>")), 2;
    const QDir output(QString::fromLocal8Bit(argv[1]));
    const QDir source(QString::fromLocal8Bit(argv[2]));
    if (!QDir().mkpath(output.path()))
        return Fail(QStringLiteral("cannot create ") + output.path()), 1;

    bool bOk = WritePicture(output, DOC_BTNINFO, "BtnInfo.png") && WritePicture(output, DOC_LOGO, "Logo.png")
               && WritePicture(output, DOC_ICON, "Icon.png");
    bOk = bOk && WriteDesktopIcons(output);
    for (const QString& strLanguage : {QStringLiteral("FRA"), QStringLiteral("ENG")}) {
        bOk = bOk && CopyDocument(source, output, QStringLiteral("Release") + strLanguage + QStringLiteral(".txt"))
              && CopyDocument(source, output, QStringLiteral("Cluf") + strLanguage + QStringLiteral(".txt"))
              && RenderHelp(source, output, strLanguage);
    }
    return bOk ? 0 : 1;
}
