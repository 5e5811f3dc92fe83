#pragma once

#include <QString>
#include <QStringList>

// The demo: two JD Edwards-shaped SQLite databases, a development and a
// production environment with realistic differences between them, and
// their user data sources DEMO_DEV and DEMO_PROD. Building again gives the
// same files and the same two entries.
class CDemoDatabases
{
public:
    static constexpr const char* kDevDsn = "DEMO_DEV";
    static constexpr const char* kProdDsn = "DEMO_PROD";

    // An empty folder means ~/.local/share/kitvane/demo in UserHome().
    explicit CDemoDatabases(const QString& strFolder);

    // False, with the reason, when something could not be done.
    bool Build(QString& strError);

    QString Folder() const { return m_strFolder; }
    QString FileOf(int nSide) const;
    // The home folder the driver manager reads .odbc.ini from: the password
    // database's, not $HOME.
    static QString UserHome();
    // The user's odbc.ini as the driver manager finds it ($ODBCINI, else
    // .odbc.ini in UserHome()).
    static QString UserOdbcIni();
    // The SQLite ODBC driver library, or empty when it is not installed.
    static QString FindSqliteDriver();

private:
    bool BuildDatabase(int nSide, QString& strError) const;
    bool RegisterDataSources(QString& strError) const;

    QString m_strFolder;
    QString m_strDriver;
};
