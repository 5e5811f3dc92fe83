#include "app/shellfunctions.h"

#include "db/asciitext.h"
#include "version.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace {

struct CompanionFile
{
    const char* pszName;
    const char* pszExtension;
    bool bPerLanguage;
};

// Indexed by DocumentKind.
const CompanionFile kCompanionFiles[] = {
    {"Release", ".txt", true},
    {"Cluf", ".txt", true},
    {"Help", ".pdf", true},
    {"BtnInfo", ".png", false},
    {"Logo", ".png", false},
    {"Icon", ".png", false},
};

QString ExistingFile(const QString& strPath)
{
    return QFileInfo(strPath).isFile() ? strPath : QString();
}

}  // namespace

QString GetDocumentPath(int nKind, const QString& strFolder, const QString& strLanguage)
{
    if (nKind < 0 || nKind >= int(std::size(kCompanionFiles)))
        return QString();
    const CompanionFile& file = kCompanionFiles[nKind];
    const QDir folder(strFolder);
    const QString strName = QLatin1String(file.pszName);
    const QString strExtension = QLatin1String(file.pszExtension);
    if (!file.bPerLanguage)
        return ExistingFile(folder.filePath(strName + strExtension));

    QStringList arrCodes{strLanguage};
    if (!AsciiEqualsIgnoreCase(strLanguage, QStringLiteral("ENG")))
        arrCodes << QStringLiteral("ENG");
    arrCodes << QStringLiteral("FRA");
    for (const QString& strCode : arrCodes) {
        const QString strPath = ExistingFile(folder.filePath(strName + strCode + strExtension));
        if (!strPath.isEmpty())
            return strPath;
    }
    return QString();
}

QStringList GetCompanionFolders(const QString& strExecutableFolder)
{
    const QDir executable(strExecutableFolder);
    return {executable.path(), QDir::cleanPath(executable.filePath(QStringLiteral(KITVANE_COMPANION_DIR_FROM_BIN)))};
}

QString FindCompanionFile(int nKind, const QString& strExecutableFolder, const QString& strLanguage)
{
    for (const QString& strFolder : GetCompanionFolders(strExecutableFolder)) {
        if (const QString strPath = GetDocumentPath(nKind, strFolder, strLanguage); !strPath.isEmpty())
            return strPath;
    }
    return QString();
}

QString GetProductVersion()
{
    return QStringLiteral(KITVANE_PRODUCT_VERSION);
}
