#pragma once

#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// Points every QSettings of the test process at a fresh private folder, so no
// test reads or writes the user's real settings.
class PrivateSettings
{
public:
    PrivateSettings()
    {
        QStandardPaths::setTestModeEnabled(true);
        Reset();
    }

    // A new empty folder: the next QSettings sees no stored value.
    void Reset()
    {
        m_pDir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_pDir->isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_pDir->path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_pDir->path());
    }

    QString Folder() const { return m_pDir->path(); }

private:
    std::unique_ptr<QTemporaryDir> m_pDir;
};
