#include "app/shellopener.h"

#include <QFileInfo>
#include <QProcess>
#include <QStringList>

CShellOpener::~CShellOpener() = default;

QString CShellOpener::GetOpenCommand(const QString& /*strExtension*/) const
{
#if defined(Q_OS_WIN)
    return QStringLiteral("explorer");
#elif defined(Q_OS_MACOS)
    return QStringLiteral("open");
#else
    return QStringLiteral("xdg-open");
#endif
}

bool CShellOpener::StartCommandLine(const QString& strCommandLine)
{
    QStringList arrArgs = QProcess::splitCommand(strCommandLine);
    if (arrArgs.isEmpty())
        return false;
    const QString strProgram = arrArgs.takeFirst();
    return QProcess::startDetached(strProgram, arrArgs);
}

bool CShellOpener::OpenWithAssociatedProgram(const QString& strPath)
{
    const QFileInfo info(strPath);
    if (!info.exists())
        return false;
    const QString strSuffix = info.suffix();
    const QString strExtension = strSuffix.isEmpty() ? QString() : u'.' + strSuffix;
    return StartCommandLine(BuildCommandLine(GetOpenCommand(strExtension), strPath));
}

QString CShellOpener::BuildCommandLine(const QString& strCommand, const QString& strPath)
{
    if (strCommand.contains(QLatin1String("%1"))) {
        QString strLine = strCommand;
        return strLine.replace(QLatin1String("%1"), strPath);
    }
    return strCommand + QStringLiteral(" \"") + strPath + u'"';
}
