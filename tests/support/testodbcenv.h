#pragma once

#include <QMap>
#include <QString>

// The private ODBC configuration of one test process: its own odbcinst.ini
// and odbc.ini files under the build folder, found by unixODBC through
// ODBCSYSINI and ODBCINI. Nothing under /etc or the home folder is read.
namespace kvtest {

enum class Engine { SQLite, PostgreSQL, MariaDB };

QString EngineName(Engine engine);

struct ServerAddress
{
    QString strHost;
    int nPort;
};
ServerAddress ServerOf(Engine engine);   // PostgreSQL and MariaDB only

class OdbcEnvironment
{
public:
    // Creates the folder and the files on first use and points unixODBC at them.
    static OdbcEnvironment& Instance();

    QString Folder() const { return m_strFolder; }

    // Adds (or replaces) a data source for a driver of odbcinst.ini
    // ("SQLite3", "PostgreSQL Unicode", "MariaDB Unicode"), in the user or
    // the system odbc.ini.
    void AddDataSource(const QString& strName, const QString& strDriver,
                       const QMap<QString, QString>& attributes, bool bSystem = false);
    void RemoveDataSource(const QString& strName);

    // Has the driver manager trace every call of environments allocated
    // from now on, and returns the (new, empty) trace file. The driver
    // manager cuts its trace file name to 62 characters and then traces
    // into the cut name, so the file lives under a short temporary path
    // rather than the build folder, whose depth depends on the checkout.
    QString StartTrace();
    void StopTrace();

private:
    OdbcEnvironment();
    void WriteFiles() const;

    struct DataSource
    {
        QString strDriver;
        QMap<QString, QString> attributes;
        bool bSystem;
    };

    QString m_strFolder;
    QString m_strTraceFile;
    QMap<QString, DataSource> m_dataSources;
};

}  // namespace kvtest
