// Writes the companion files of the executable into a folder: the pictures
// drawn by resourceimages.cpp, the text documents, and the help rendered to
// PDF from its Markdown source.
//
//   kitvane_resgen <output folder> <documents source folder>

#include "app/shellfunctions.h"
#include "res/resourceimages.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>

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
    for (int nSize : {48, 128, 256}) {
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
    writer.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
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
