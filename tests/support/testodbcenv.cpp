#include "tests/support/testodbcenv.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <cstdlib>
#include <stdexcept>

namespace kvtest {

namespace {

constexpr const char* kDriverFolder = "/usr/lib/x86_64-linux-gnu/odbc";

int PortFromEnvironment(const char* pszVariable, int nDefault)
{
    const QByteArray value = qgetenv(pszVariable);
    bool bOk = false;
    const int nPort = value.toInt(&bOk);
    return bOk ? nPort : nDefault;
}

void WriteTextFile(const QString& strPath, const QString& strText)
{
    QFile file(strPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        throw std::runtime_error(("cannot write " + strPath).toStdString());
    file.write(strText.toUtf8());
}

}  // namespace

QString EngineName(Engine engine)
{
    switch (engine) {
    case Engine::SQLite: return QStringLiteral("SQLite");
    case Engine::PostgreSQL: return QStringLiteral("PostgreSQL");
    case Engine::MariaDB: return QStringLiteral("MariaDB");
    }
    return QString();
}

ServerAddress ServerOf(Engine engine)
{
    if (engine == Engine::PostgreSQL)
        return {QStringLiteral("127.0.0.1"), PortFromEnvironment("KITVANE_PG_PORT", 55432)};
    return {QStringLiteral("127.0.0.1"), PortFromEnvironment("KITVANE_MARIADB_PORT", 53306)};
}

OdbcEnvironment& OdbcEnvironment::Instance()
{
    static OdbcEnvironment environment;
    return environment;
}

OdbcEnvironment::OdbcEnvironment()
{
    const QString strApp = QFileInfo(QCoreApplication::applicationFilePath()).baseName();
    m_strFolder = QStringLiteral(KITVANE_TEST_ROOT) + QLatin1Char('/') + strApp + QLatin1Char('-')
                  + QString::number(QCoreApplication::applicationPid());
    QDir().mkpath(m_strFolder);
    qputenv("ODBCSYSINI", QFile::encodeName(m_strFolder));
    qputenv("ODBCINI", QFile::encodeName(m_strFolder + QStringLiteral("/odbc-user.ini")));
    WriteFiles();
}

void OdbcEnvironment::AddDataSource(const QString& strName, const QString& strDriver,
                                    const QMap<QString, QString>& attributes, bool bSystem)
{
    m_dataSources.insert(strName, DataSource{strDriver, attributes, bSystem});
    WriteFiles();
}

void OdbcEnvironment::RemoveDataSource(const QString& strName)
{
    m_dataSources.remove(strName);
    WriteFiles();
}

QString OdbcEnvironment::StartTrace()
{
    constexpr int kLongestTraceFile = 62;
    const QString strPath = QDir::tempPath() + QStringLiteral("/kvtrace-")
                            + QString::number(QCoreApplication::applicationPid()) + QStringLiteral(".log");
    if (strPath.size() > kLongestTraceFile)
        throw std::runtime_error(("trace file name too long for the driver manager: " + strPath).toStdString());
    QFile::remove(strPath);
    m_strTraceFile = strPath;
    WriteFiles();
    return strPath;
}

void OdbcEnvironment::StopTrace()
{
    if (m_strTraceFile.isEmpty())
        return;
    QFile::remove(m_strTraceFile);
    m_strTraceFile.clear();
    WriteFiles();
}

void OdbcEnvironment::WriteFiles() const
{
    const QString strDrivers = QLatin1String(kDriverFolder);
    const QString strTrace = m_strTraceFile.isEmpty()
                                 ? QString()
                                 : QStringLiteral("[ODBC]\nTrace=Yes\nTraceFile=") + m_strTraceFile
                                       + QStringLiteral("\n\n");
    WriteTextFile(m_strFolder + QStringLiteral("/odbcinst.ini"),
                  strTrace + QStringLiteral("[SQLite3]\nDescription=SQLite3 ODBC Driver\nDriver=%1/libsqlite3odbc.so\n"
                                 "Threading=2\n\n"
                                 "[PostgreSQL Unicode]\nDescription=PostgreSQL ODBC driver (Unicode)\n"
                                 "Driver=%1/psqlodbcw.so\n\n"
                                 "[MariaDB Unicode]\nDescription=MariaDB Connector/ODBC (Unicode)\n"
                                 "Driver=%1/libmaodbc.so\n\n"
                                 "[Kitvane Fault]\nDescription=Fault-injecting test driver\nDriver=%2\n")
                      .arg(strDrivers, QStringLiteral(KITVANE_FAULT_DRIVER)));

    QString strUser;
    QString strSystem;
    for (auto it = m_dataSources.cbegin(); it != m_dataSources.cend(); ++it) {
        QString strSection = QLatin1Char('[') + it.key() + QStringLiteral("]\nDriver=")
                             + it->strDriver + QLatin1Char('\n');
        for (auto attr = it->attributes.cbegin(); attr != it->attributes.cend(); ++attr)
            strSection += attr.key() + QLatin1Char('=') + attr.value() + QLatin1Char('\n');
        strSection += QLatin1Char('\n');
        (it->bSystem ? strSystem : strUser) += strSection;
    }
    WriteTextFile(m_strFolder + QStringLiteral("/odbc-user.ini"), strUser);
    WriteTextFile(m_strFolder + QStringLiteral("/odbc.ini"), strSystem);
}

}  // namespace kvtest
