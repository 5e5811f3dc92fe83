#pragma once

#include <QSize>
#include <QString>

// The per-user settings of the system over QSettings: organisation
// "Talvorin", application "TvrKitvane" (on Windows exactly
// HKCU\Software\Talvorin\TvrKitvane). A section is a subkey of that root, the
// empty section the root itself. Reading a missing or unreadable value gives
// the caller's default; writing creates the section. Failures are silent.
//
// Every call opens its own QSettings, so the store may be used from the
// worker thread of a run as well.
class CSettingsStore
{
public:
    // The GUI and the command line share one root, whichever executable runs.
    static constexpr const char* kOrganization = "Talvorin";
    static constexpr const char* kApplication = "TvrKitvane";

    CSettingsStore();
    CSettingsStore(const QString& strOrganization, const QString& strApplication);

    int GetProfileInt(const QString& strSection, const QString& strEntry, int nDefault) const;
    QString GetProfileString(const QString& strSection, const QString& strEntry,
                             const QString& strDefault = QString()) const;
    void WriteProfileInt(const QString& strSection, const QString& strEntry, int nValue);
    void WriteProfileString(const QString& strSection, const QString& strEntry, const QString& strValue);

    // Frame placements: frame index -1 is section "MainFrmSize", n is "FrmSize" + n.
    static QString GetPlacementSection(int nFrameIndex);
    void SaveWindowPlacement(const QString& strRect, bool bZoomed, int nFrameIndex);
    // An empty stored rectangle gives the 680 x 505 rectangle centred on
    // a screen of screenSize.
    void LoadWindowPlacement(QString& strRect, bool& bZoomed, int nFrameIndex, const QSize& screenSize) const;

    // Sizes of resizable dialogs: section "DlgSize\" + template id (written
    // with QSettings' separator, which is the registry's backslash on Windows).
    static QString GetDialogSizeSection(int nTemplateId);
    void SaveDialogSize(int nTemplateId, const QString& strSize, bool bZoomed);
    void LoadDialogSize(int nTemplateId, const QString& strDefault, QString& strSize, bool& bZoomed) const;

    // Folder of result files: "DefDir", else the documents folder, else the
    // drive of the executable (empty where paths have no drive). Only a
    // stored folder ends with a separator. Existence is not checked.
    QString GetDefaultDirectory() const;
    // Stores the folder of strPath when the path names one and it exists.
    void SaveDefaultDirectory(const QString& strPath);

private:
    QString m_strOrganization;
    QString m_strApplication;
};

// True when the path ends with a folder separator of this platform.
bool HasTrailingSeparator(const QString& strPath);
