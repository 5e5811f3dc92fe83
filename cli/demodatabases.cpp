#include "cli/demodatabases.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sql.h>
#include <sqlext.h>

#include <iterator>

#include <pwd.h>
#include <unistd.h>

namespace {

enum Sides : int { DEV = 1, PROD = 2, BOTH = DEV | PROD };

struct DemoStatement
{
    int nSides;
    const char* pszSql;
};

const char* const kDsnNames[] = {CDemoDatabases::kDevDsn, CDemoDatabases::kProdDsn};
const char* const kFileNames[] = {"demo_dev.db", "demo_prod.db"};
const char* const kDescriptions[] = {"Kitvane demo: JDE development environment",
                                     "Kitvane demo: JDE production environment"};

// The two environments. DEV has a custom table under development, PROD an
// archive table; PROD's address book has a tax field more and a longer
// name; the data dictionaries differ in sizes, decimals and a few items.
// UPMJ dates are JDE Julian dates (CYYDDD).
const DemoStatement kScript[] = {
    {BOTH, "CREATE TABLE F98611 (OMDATP CHAR(30), OMDATB2 CHAR(40), OMOOWN CHAR(40), OMOCM1 CHAR(10))"},
    // SQLite's one schema is "main": the owner the tools qualify the tables with.
    {DEV, "INSERT INTO F98611 VALUES ('Business Data - TEST', '', 'main', 'DB')"},
    {PROD, "INSERT INTO F98611 VALUES ('Business Data - PROD', '', 'main', 'DB')"},
    {BOTH, "INSERT INTO F98611 VALUES ('Versions - 920', '', 'PD920', 'LOGIC')"},

    {BOTH, "CREATE TABLE F9860 (SIOBNM CHAR(10), SIFUNO CHAR(4))"},
    {BOTH, "INSERT INTO F9860 VALUES ('F0101', 'TBLE'), ('F4101', 'TBLE'), ('F4211', 'TBLE'), ('F0911', 'TBLE'),"
           " ('F98611', 'TBLE'), ('F9210', 'TBLE'), ('F9860', 'TBLE'), ('P4210', 'APPL')"},
    {DEV, "INSERT INTO F9860 VALUES ('F55DEV01', 'TBLE')"},
    {PROD, "INSERT INTO F9860 VALUES ('F5542ARC', 'TBLE')"},

    {BOTH, "CREATE TABLE F9210 (FRDTAI CHAR(10), FRDTAT CHAR(1), FRDTAS NUMERIC(5,0), FROWTP CHAR(2),"
           " FRDTAD NUMERIC(3,0), FRCDEC CHAR(2), FRCLAS CHAR(10))"},
    {BOTH, "INSERT INTO F9210 VALUES ('DTAI', 'S', 8, '2', 0, '', 'SYSTEM'), ('DTAT', 'S', 1, '2', 0, '', 'SYSTEM'),"
           " ('OWTP', 'S', 2, '2', 0, '', 'SYSTEM'), ('CDEC', 'S', 2, '2', 0, '', 'SYSTEM'),"
           " ('AN8', 'P', 8, '9', 0, '0', 'ADDRESS'), ('MCU', 'S', 12, '2', 0, '', 'BUSUNIT'),"
           " ('UPMJ', 'J', 6, '11', 0, '', 'DATEGEN'), ('DOCO', 'P', 8, '9', 0, '0', 'DOCUMENT'),"
           " ('UORG', 'P', 15, '9', 0, '0', 'QUANTITY'), ('AEXP', 'P', 15, '9', 2, '2', 'AMOUNT'),"
           " ('LITM', 'S', 25, '2', 0, '', 'ITEM'), ('DSC1', 'A', 30, '2', 0, '', 'DESCRIPTION')"},
    {DEV, "INSERT INTO F9210 VALUES ('ALPH', 'A', 40, '2', 0, '', 'ALPHANAME'), ('AA', 'P', 15, '9', 2, '2', 'AMOUNT'),"
          " ('UPRC', 'P', 15, '9', 4, '4', 'PRICE'), ('DEVX', 'S', 10, '2', 0, '', 'CUSTOM')"},
    {PROD, "INSERT INTO F9210 VALUES ('ALPH', 'A', 50, '2', 0, '', 'ALPHANAME'), ('AA', 'P', 17, '9', 2, '2', 'AMOUNT'),"
           " ('UPRC', 'P', 15, '9', 2, '2', 'PRICE'), ('TAXC', 'S', 1, '2', 0, '', 'TAX')"},

    {DEV, "CREATE TABLE F0101 (ABAN8 NUMERIC(8,0), ABALPH CHAR(40), ABMCU CHAR(12), ABAT1 CHAR(3), ABUPMJ NUMERIC(6,0))"},
    {PROD, "CREATE TABLE F0101 (ABAN8 NUMERIC(8,0), ABALPH CHAR(50), ABMCU CHAR(12), ABAT1 CHAR(3), ABTAXC CHAR(1),"
           " ABUPMJ NUMERIC(6,0))"},
    {BOTH, "CREATE UNIQUE INDEX F0101_0 ON F0101 (ABAN8)"},
    {BOTH, "CREATE INDEX F0101_1 ON F0101 (ABALPH, ABAT1 DESC)"},
    {DEV, "INSERT INTO F0101 VALUES (1001, 'Northwind Supply', '100', 'V', 125010), (1002, 'Contoso Freight', '100', 'V',"
          " 125034), (4242, 'Test Customer', '200', 'C', 125102)"},
    {PROD, "INSERT INTO F0101 VALUES (1001, 'Northwind Supply Co.', '100', 'V', 'Y', 124350), (1002, 'Contoso Freight',"
           " '100', 'V', 'N', 125020), (1003, 'Fabrikam Metals', '300', 'V', 'Y', 125031), (2001, 'Litware Retail',"
           " '200', 'C', 'N', 125045)"},

    {BOTH, "CREATE TABLE F4101 (IMITM NUMERIC(8,0), IMLITM CHAR(25), IMDSC1 CHAR(30), IMUPMJ NUMERIC(6,0))"},
    {BOTH, "INSERT INTO F4101 VALUES (60001, 'BOLT-M8', 'Hex bolt M8', 124300), (60002, 'NUT-M8', 'Hex nut M8', 125012)"},

    {BOTH, "CREATE TABLE F4211 (SDDOCO NUMERIC(8,0), SDLNID NUMERIC(6,0), SDLITM CHAR(25), SDUORG NUMERIC(15,0),"
           " SDUPRC NUMERIC(15,4), SDAEXP NUMERIC(15,2), SDUPMJ NUMERIC(6,0))"},
    {BOTH, "CREATE INDEX F4211_0 ON F4211 (SDDOCO, SDLNID)"},
    {DEV, "INSERT INTO F4211 VALUES (5001, 1000, 'BOLT-M8', 100, 0.1250, 12.50, 125040)"},
    {PROD, "INSERT INTO F4211 VALUES (5001, 1000, 'BOLT-M8', 100, 0.1250, 12.50, 125040), (5002, 1000, 'NUT-M8', 400,"
           " 0.0500, 20.00, 125061), (5002, 2000, 'BOLT-M8', 50, 0.1250, 6.25, 125061)"},

    {BOTH, "CREATE TABLE F0911 (GLDOC NUMERIC(8,0), GLAA NUMERIC(15,2), GLUPMJ NUMERIC(6,0))"},
    {PROD, "INSERT INTO F0911 VALUES (7001, 1250.00, 125031), (7002, -310.75, 125064)"},

    {DEV, "CREATE TABLE F55DEV01 (DVKEY CHAR(10), DVNOTE CHAR(60), DVUPMJ NUMERIC(6,0))"},
    {DEV, "INSERT INTO F55DEV01 VALUES ('A1', 'Prototype of the new rebate table', 125100)"},
    {PROD, "CREATE TABLE F5542ARC (ARDOCO NUMERIC(8,0), ARAEXP NUMERIC(15,2), ARUPMJ NUMERIC(6,0))"},
    {PROD, "INSERT INTO F5542ARC VALUES (4001, 99.90, 123200)"},

    {BOTH, "CREATE VIEW V0101 AS SELECT ABAN8, ABALPH FROM F0101"},
};

// The driver's diagnostics of a handle, for the error message.
QString Diagnostics(SQLSMALLINT nType, SQLHANDLE handle)
{
    SQLCHAR szState[6] = {};
    SQLCHAR szText[512] = {};
    SQLINTEGER nNative = 0;
    SQLSMALLINT nLength = 0;
    if (!SQL_SUCCEEDED(SQLGetDiagRec(nType, handle, 1, szState, &nNative, szText, SQLSMALLINT(sizeof szText),
                                     &nLength)))
        return QStringLiteral("no diagnostics");
    return QString::fromUtf8(reinterpret_cast<const char*>(szText));
}

// Runs the statements of one side over a read-write connection of its own.
bool ExecuteScript(const QString& strConnect, int nSide, QString& strError)
{
    SQLHENV hEnv = SQL_NULL_HENV;
    SQLHDBC hDbc = SQL_NULL_HDBC;
    bool bConnected = false;
    bool bOk = SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &hEnv))
               && SQL_SUCCEEDED(SQLSetEnvAttr(hEnv, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0))
               && SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, hEnv, &hDbc));
    if (bOk) {
        QByteArray connect = strConnect.toUtf8();
        bConnected = SQL_SUCCEEDED(SQLDriverConnect(hDbc, nullptr, reinterpret_cast<SQLCHAR*>(connect.data()), SQL_NTS,
                                                    nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT));
        if (!bConnected)
            strError = Diagnostics(SQL_HANDLE_DBC, hDbc);
        bOk = bConnected;
    }
    for (const DemoStatement& statement : kScript) {
        if (!bOk)
            break;
        if ((statement.nSides & nSide) == 0)
            continue;
        SQLHSTMT hStmt = SQL_NULL_HSTMT;
        bOk = SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, hDbc, &hStmt));
        if (!bOk)
            break;
        QByteArray sql(statement.pszSql);
        bOk = SQL_SUCCEEDED(SQLExecDirect(hStmt, reinterpret_cast<SQLCHAR*>(sql.data()), SQL_NTS));
        if (!bOk)
            strError = Diagnostics(SQL_HANDLE_STMT, hStmt) + QStringLiteral(" in: ") + QLatin1String(statement.pszSql);
        SQLFreeHandle(SQL_HANDLE_STMT, hStmt);
    }
    if (bConnected)
        SQLDisconnect(hDbc);
    if (hDbc != SQL_NULL_HDBC)
        SQLFreeHandle(SQL_HANDLE_DBC, hDbc);
    if (hEnv != SQL_NULL_HENV)
        SQLFreeHandle(SQL_HANDLE_ENV, hEnv);
    if (!bOk && strError.isEmpty())
        strError = QStringLiteral("the ODBC driver manager refused the connection");
    return bOk;
}

bool IsSectionHeader(const QString& strLine)
{
    const QString strTrimmed = strLine.trimmed();
    return strTrimmed.startsWith(u'[') && strTrimmed.endsWith(u']');
}

}  // namespace

CDemoDatabases::CDemoDatabases(const QString& strFolder) : m_strFolder(strFolder)
{
    // Beside their registration: in the same home folder, whatever $HOME says.
    if (m_strFolder.isEmpty())
        m_strFolder = UserHome() + QStringLiteral("/.local/share/kitvane/demo");
    m_strFolder = QFileInfo(m_strFolder).absoluteFilePath();
}

QString CDemoDatabases::FileOf(int nSide) const
{
    return QDir(m_strFolder).filePath(QLatin1String(kFileNames[nSide]));
}

QString CDemoDatabases::UserHome()
{
    const passwd* pUser = getpwuid(getuid());
    return pUser != nullptr && pUser->pw_dir != nullptr ? QFile::decodeName(pUser->pw_dir) : QDir::homePath();
}

QString CDemoDatabases::UserOdbcIni()
{
    const QString strIni = qEnvironmentVariable("ODBCINI");
    return strIni.isEmpty() ? UserHome() + QStringLiteral("/.odbc.ini") : strIni;
}

QString CDemoDatabases::FindSqliteDriver()
{
    static const char* const kCandidates[] = {
        "/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so", "/usr/lib/aarch64-linux-gnu/odbc/libsqlite3odbc.so",
        "/usr/lib/odbc/libsqlite3odbc.so", "/usr/lib64/libsqlite3odbc.so", "/usr/local/lib/libsqlite3odbc.so"};
    for (const char* pszPath : kCandidates) {
        if (QFileInfo::exists(QLatin1String(pszPath)))
            return QLatin1String(pszPath);
    }
    return QString();
}

bool CDemoDatabases::Build(QString& strError)
{
    m_strDriver = FindSqliteDriver();
    if (m_strDriver.isEmpty()) {
        strError = QStringLiteral("the SQLite ODBC driver is not installed (Debian package libsqliteodbc)");
        return false;
    }
    if (!QDir().mkpath(m_strFolder)) {
        strError = QStringLiteral("cannot create the folder ") + m_strFolder;
        return false;
    }
    for (int nSide = 0; nSide < 2; ++nSide) {
        if (!BuildDatabase(nSide, strError))
            return false;
    }
    return RegisterDataSources(strError);
}

bool CDemoDatabases::BuildDatabase(int nSide, QString& strError) const
{
    // A new file every time, so a second run gives the same database.
    const QString strFile = FileOf(nSide);
    if (QFileInfo::exists(strFile) && !QFile::remove(strFile)) {
        strError = QStringLiteral("cannot replace ") + strFile;
        return false;
    }
    const QString strConnect = QStringLiteral("Driver={%1};Database=%2").arg(m_strDriver, strFile);
    if (!ExecuteScript(strConnect, nSide == 0 ? DEV : PROD, strError)) {
        strError = strFile + QStringLiteral(": ") + strError;
        return false;
    }
    return true;
}

bool CDemoDatabases::RegisterDataSources(QString& strError) const
{
    const QString strIni = UserOdbcIni();
    QStringList arrLines;
    QFile file(strIni);
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            strError = QStringLiteral("cannot read ") + strIni;
            return false;
        }
        arrLines = QString::fromUtf8(file.readAll()).split(u'\n');
        file.close();
        while (!arrLines.isEmpty() && arrLines.last().trimmed().isEmpty())
            arrLines.removeLast();
    }

    // The demo's own sections are replaced; everything else stays as it was.
    QStringList arrKept;
    bool bInDemo = false;
    for (const QString& strLine : arrLines) {
        if (IsSectionHeader(strLine)) {
            const QString strName = strLine.trimmed().mid(1).chopped(1).trimmed();
            bInDemo = strName == QLatin1String(kDevDsn) || strName == QLatin1String(kProdDsn);
        }
        if (!bInDemo)
            arrKept.append(strLine);
    }
    while (!arrKept.isEmpty() && arrKept.last().trimmed().isEmpty())
        arrKept.removeLast();
    for (int nSide = 0; nSide < 2; ++nSide) {
        if (!arrKept.isEmpty())
            arrKept.append(QString());
        arrKept.append(QStringLiteral("[%1]").arg(QLatin1String(kDsnNames[nSide])));
        arrKept.append(QStringLiteral("Description=") + QLatin1String(kDescriptions[nSide]));
        arrKept.append(QStringLiteral("Driver=") + m_strDriver);
        arrKept.append(QStringLiteral("Database=") + FileOf(nSide));
    }

    QDir().mkpath(QFileInfo(strIni).absolutePath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)
        || file.write((arrKept.join(u'\n') + u'\n').toUtf8()) < 0) {
        strError = QStringLiteral("cannot write ") + strIni;
        return false;
    }
    return true;
}
