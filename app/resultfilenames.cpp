#include "app/resultfilenames.h"

#include "app/settingsstore.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

bool IsFileNameChar(QChar c)
{
    const char16_t u = c.unicode();
    if ((u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9'))
        return true;
    return QStringView(u"éèêàçùö -_").contains(c);
}

QString ExistingResultFolder(const QString& strFolder)
{
    // The platform names a documents folder even where there is none.
    for (const QString& strCandidate :
         {strFolder, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation), QDir::homePath()}) {
        if (!strCandidate.isEmpty() && QFileInfo(strCandidate).isDir())
            return strCandidate;
    }
    return QDir::tempPath();
}

}  // namespace

QString GetResultExtension(int nKind)
{
    return nKind == RESULT_TAB ? QStringLiteral("csv") : QStringLiteral("txt");
}

QString MakeFileNameFromDsn(const QString& strDsn)
{
    QString strName = strDsn;
    for (QChar& c : strName) {
        if (!IsFileNameChar(c))
            c = u'_';
    }
    return strName;
}

QString GetDefaultResultPath(const QString& strFolder, const QString& strBaseName, int nKind)
{
    QString strPath = ExistingResultFolder(strFolder);
    if (!HasTrailingSeparator(strPath))
        strPath += u'/';
    return strPath + strBaseName + u'.' + GetResultExtension(nKind);
}
