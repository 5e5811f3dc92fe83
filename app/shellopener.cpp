#include "app/shellopener.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>

#include <memory>

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
    auto pProcess = std::make_unique<QProcess>();
    pProcess->setProgram(arrArgs.takeFirst());
    pProcess->setArguments(arrArgs);
    // What the opener says goes where this program's own output goes.
    pProcess->setProcessChannelMode(QProcess::ForwardedChannels);
    pProcess->start();
    if (!pProcess->waitForStarted())
        return false;
    // A desktop opener that finds no program for the file says so at once,
    // by its exit status (xdg-open: 3 or 4).
    if (pProcess->waitForFinished(kOpenerVerdictMs)) {
#if defined(Q_OS_WIN)
        // Explorer's exit status tells nothing.
        return true;
#else
        return pProcess->exitStatus() == QProcess::NormalExit && pProcess->exitCode() == 0;
#endif
    }
    // Still running: some openers wait for the program they started. It is
    // left running; the process object goes when it ends, on the thread
    // that has the event loop.
    QProcess* pRunning = pProcess.release();
    QObject::connect(pRunning, &QProcess::finished, pRunning, &QObject::deleteLater);
    if (QCoreApplication* pApp = QCoreApplication::instance(); pApp && pRunning->thread() != pApp->thread())
        pRunning->moveToThread(pApp->thread());
    return true;
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
