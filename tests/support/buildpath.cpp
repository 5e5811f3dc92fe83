#include "tests/support/buildpath.h"

#include <QDir>
#include <QFileInfo>

namespace kvtest {

QString BuildPath(const char* pszRelative)
{
    // The kernel's link works before any application object exists.
    static const QString strFolder = QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).absolutePath();
    return QDir::cleanPath(strFolder + QLatin1Char('/') + QString::fromUtf8(pszRelative));
}

} // namespace kvtest
