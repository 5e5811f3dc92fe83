#include "app/settingsstore.h"

#include "app/placementtext.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {

const QString kDefDir = QStringLiteral("DefDir");
const QString kWndRect = QStringLiteral("WndRect");
const QString kWndSize = QStringLiteral("WndSize");
const QString kIsZoomed = QStringLiteral("IsZoomed");

QString KeyOf(const QString& strSection, const QString& strEntry)
{
    return strSection.isEmpty() ? strEntry : strSection + u'/' + strEntry;
}

bool IsSeparator(QChar c)
{
#ifdef Q_OS_WIN
    return c == u'/' || c == u'\\';
#else
    return c == u'/';
#endif
}

// The drive of the executable's path ("C:"), where paths have drives.
QString ExecutableDrive()
{
    const QString strPath = QCoreApplication::applicationFilePath();
    if (strPath.size() >= 2 && strPath.at(1) == u':')
        return strPath.left(2);
    return QString();
}

}  // namespace

bool HasTrailingSeparator(const QString& strPath)
{
    return !strPath.isEmpty() && IsSeparator(strPath.back());
}

CSettingsStore::CSettingsStore()
    : CSettingsStore(QLatin1String(kOrganization), QLatin1String(kApplication))
{
}

CSettingsStore::CSettingsStore(const QString& strOrganization, const QString& strApplication)
    : m_strOrganization(strOrganization), m_strApplication(strApplication)
{
}

int CSettingsStore::GetProfileInt(const QString& strSection, const QString& strEntry, int nDefault) const
{
    const QSettings settings(m_strOrganization, m_strApplication);
    const QVariant value = settings.value(KeyOf(strSection, strEntry));
    if (!value.isValid())
        return nDefault;
    bool bOk = false;
    const int nValue = value.toInt(&bOk);
    return bOk ? nValue : nDefault;
}

QString CSettingsStore::GetProfileString(const QString& strSection, const QString& strEntry,
                                         const QString& strDefault) const
{
    const QSettings settings(m_strOrganization, m_strApplication);
    const QVariant value = settings.value(KeyOf(strSection, strEntry));
    return value.isValid() ? value.toString() : strDefault;
}

void CSettingsStore::WriteProfileInt(const QString& strSection, const QString& strEntry, int nValue)
{
    QSettings settings(m_strOrganization, m_strApplication);
    settings.setValue(KeyOf(strSection, strEntry), nValue);
}

void CSettingsStore::WriteProfileString(const QString& strSection, const QString& strEntry,
                                        const QString& strValue)
{
    QSettings settings(m_strOrganization, m_strApplication);
    settings.setValue(KeyOf(strSection, strEntry), strValue);
}

QString CSettingsStore::GetPlacementSection(int nFrameIndex)
{
    return nFrameIndex == -1 ? QStringLiteral("MainFrmSize")
                             : QStringLiteral("FrmSize") + QString::number(nFrameIndex);
}

void CSettingsStore::SaveWindowPlacement(const QString& strRect, bool bZoomed, int nFrameIndex)
{
    const QString strSection = GetPlacementSection(nFrameIndex);
    WriteProfileString(strSection, kWndRect, strRect);
    WriteProfileInt(strSection, kIsZoomed, bZoomed ? 1 : 0);
}

void CSettingsStore::LoadWindowPlacement(QString& strRect, bool& bZoomed, int nFrameIndex,
                                         const QSize& screenSize) const
{
    const QString strSection = GetPlacementSection(nFrameIndex);
    strRect = GetProfileString(strSection, kWndRect);
    bZoomed = GetProfileInt(strSection, kIsZoomed, 0) != 0;
    if (strRect.isEmpty())
        strRect = FormatWindowRect(DefaultWindowRect(screenSize));
}

QString CSettingsStore::GetDialogSizeSection(int nTemplateId)
{
    return QStringLiteral("DlgSize/") + QString::number(nTemplateId);
}

void CSettingsStore::SaveDialogSize(int nTemplateId, const QString& strSize, bool bZoomed)
{
    const QString strSection = GetDialogSizeSection(nTemplateId);
    WriteProfileString(strSection, kWndSize, strSize);
    WriteProfileInt(strSection, kIsZoomed, bZoomed ? 1 : 0);
}

void CSettingsStore::LoadDialogSize(int nTemplateId, const QString& strDefault, QString& strSize,
                                    bool& bZoomed) const
{
    const QString strSection = GetDialogSizeSection(nTemplateId);
    strSize = GetProfileString(strSection, kWndSize, strDefault);
    bZoomed = GetProfileInt(strSection, kIsZoomed, 0) != 0;
}

QString CSettingsStore::GetDefaultDirectory() const
{
    QString strFolder = GetProfileString(QString(), kDefDir);
    if (strFolder.isEmpty())
        strFolder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (strFolder.isEmpty())
        strFolder = ExecutableDrive();
    return strFolder;
}

void CSettingsStore::SaveDefaultDirectory(const QString& strPath)
{
    // The folder is everything up to the last separator; a bare file name
    // names no folder.
    qsizetype nLast = strPath.size() - 1;
    while (nLast >= 0 && !IsSeparator(strPath.at(nLast)))
        --nLast;
    if (nLast < 0)
        return;
    const QString strFolder = strPath.left(nLast + 1);
    if (QFileInfo(strFolder).isDir())
        WriteProfileString(QString(), kDefDir, strFolder);
}
