#include "tests/compare/comparebed.h"

#include "db/schemakey.h"
#include "tests/support/recorders.h"
#include "tests/support/testodbcenv.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QThread>

#include <stdexcept>

namespace kvtest {

namespace {

QString TextLiteral(const QString& strValue)
{
    return strValue.isNull() ? QStringLiteral("NULL") : Quoted(strValue);
}

}  // namespace

CompareBed::CompareBed(Engine engine) : m_engine(engine), m_savedTmp(qgetenv("TMP"))
{
    if (!m_tmp.isValid())
        throw std::runtime_error("no temporary folder");
    qputenv("TMP", QFile::encodeName(m_tmp.path()));
    for (int nSide = 0; nSide < 2; ++nSide) {
        m_pDatabases[nSide] = std::make_unique<TestDatabase>(engine);
        m_places[nSide] = m_pDatabases[nSide]->CreateSchema(nSide == 0 ? QStringLiteral("testdta")
                                                                        : QStringLiteral("proddta"));
        m_data[nSide].m_strDSN = m_pDatabases[nSide]->Dsn();
        if (!m_data[nSide].Connect())
            throw std::runtime_error("cannot connect to " + m_data[nSide].m_strDSN.toStdString());
        m_data[nSide].m_strSchema = MakeSchemaKey(m_places[nSide].strCatalog, m_places[nSide].strOwner);
    }
}

CompareBed::~CompareBed()
{
    tableResults.DeleteResultFile();
    aliasResults.DeleteResultFile();
    if (m_savedTmp.isNull())
        qunsetenv("TMP");
    else
        qputenv("TMP", m_savedTmp);
}

void CompareBed::Exec(int nSide, const QString& strSql)
{
    Database(nSide).Exec(QString(strSql).replace(QStringLiteral("@."), m_places[nSide].strQualifier));
}

QString CompareBed::Quote(const QString& strName) const
{
    const QChar cQuote = m_engine == Engine::MariaDB ? QLatin1Char('`') : QLatin1Char('"');
    return cQuote + QString(strName).replace(cQuote, QString(2, cQuote)) + cQuote;
}

void CompareBed::CreateTable(int nSide, const QString& strName, const QStringList& columns)
{
    QStringList definitions;
    for (const QString& strColumn : columns) {
        const qsizetype nSpace = strColumn.indexOf(QLatin1Char(' '));
        definitions.append(Quote(strColumn.left(nSpace)) + strColumn.mid(nSpace));
    }
    Exec(nSide, QStringLiteral("CREATE TABLE @.") + Quote(strName) + QStringLiteral(" (")
                    + definitions.join(QStringLiteral(", ")) + QLatin1Char(')'));
}

void CompareBed::CreateDictionary(int nSide, const DictionaryShape& shape, const QList<DictionaryEntry>& entries)
{
    const QString& strText = shape.strTextType;
    QString strColumns = QStringLiteral("FRDTAI %1(10), FRDTAT %1(4), FRDTAS NUMERIC(5,0), ").arg(strText);
    if (shape.bWithOwtp)
        strColumns += QStringLiteral("FROWTP %1(4), ").arg(strText);
    strColumns += QStringLiteral("FRDTAD NUMERIC(3,0), FRCDEC %1(4)").arg(strText);
    Exec(nSide, QStringLiteral("CREATE TABLE @.F9210 (") + strColumns + QLatin1Char(')'));

    QList<DictionaryEntry> rows = {
        {QStringLiteral("DTAI"), QStringLiteral("S"), shape.nAliasWidth, QStringLiteral("2"), 0, QString()},
        {QStringLiteral("DTAT"), QStringLiteral("S"), shape.nDtatWidth, QStringLiteral("2"), 0, QString()},
        {QStringLiteral("OWTP"), QStringLiteral("S"), shape.nOwtpWidth, QStringLiteral("2"), 0, QString()},
        {QStringLiteral("CDEC"), QStringLiteral("S"), shape.nCdecWidth, QStringLiteral("2"), 0, QString()},
    };
    rows += entries;
    for (const DictionaryEntry& row : std::as_const(rows)) {
        QStringList values = {TextLiteral(row.strAlias), TextLiteral(row.strDTAT), QString::number(row.nDTAS)};
        if (shape.bWithOwtp)
            values.append(TextLiteral(row.strOWTP));
        values.append({QString::number(row.nDTAD), TextLiteral(row.strCDEC)});
        Exec(nSide, QStringLiteral("INSERT INTO @.F9210 VALUES (") + values.join(QStringLiteral(", ")) + QLatin1Char(')'));
    }
}

void CompareBed::ShowSchemas()
{
    for (CDBData& data : m_data) {
        ListRecorder list;
        if (!data.LoadTableList(list))
            throw std::runtime_error("cannot read the table list of " + data.m_strDSN.toStdString());
    }
}

void CompareBed::DropConnection(int nSide)
{
    Database(nSide).EndReadOnlySessions();
}

void CompareBed::DenyTable(int nSide, const QString& strTable)
{
    if (m_engine == Engine::PostgreSQL) {
        Exec(nSide, QStringLiteral("REVOKE ALL ON @.") + Quote(strTable) + QStringLiteral(" FROM ")
                        + Database(nSide).ReadOnlyLogin());
        return;
    }
    if (m_engine != Engine::MariaDB)
        throw std::runtime_error("no table rights on SQLite");
    // The login's rights on the schema's database come from a grant on the
    // pattern of such names; it gives way to grants on each table but the
    // one denied.
    RawConnection admin(AdminConnectString(m_engine));
    const QString strUser = Quoted(Database(nSide).ReadOnlyLogin()) + QStringLiteral("@'127.0.0.1'");
    const QString strPattern = Database(nSide).Name().replace(QLatin1Char('_'), QLatin1String("\\_"));
    admin.Exec(QStringLiteral("REVOKE SELECT ON `") + strPattern + QStringLiteral("\\_%`.* FROM ") + strUser);
    const QString& strSchema = m_places[nSide].strCatalog;
    const QList<QStringList> tables = admin.Query(
        QStringLiteral("SELECT table_name FROM information_schema.tables WHERE table_schema = ") + Quoted(strSchema));
    for (const QStringList& row : tables) {
        if (row.first() != strTable) {
            admin.Exec(QStringLiteral("GRANT SELECT ON ") + Quote(strSchema) + QLatin1Char('.') + Quote(row.first())
                       + QStringLiteral(" TO ") + strUser);
        }
    }
    if (!m_data[nSide].Connect())
        throw std::runtime_error("cannot reconnect to " + m_data[nSide].m_strDSN.toStdString());
}

void CompareBed::BreakReads(int nSide, ReadFault fault, const QString& strTable)
{
    CDBData& data = m_data[nSide];
    switch (fault) {
    case ReadFault::Denied:
        DenyTable(nSide, strTable);
        break;
    case ReadFault::Dropped:
        DropConnection(nSide);
        break;
    case ReadFault::Allocation:
        OdbcEnvironment::Instance().AddDataSource(QStringLiteral("kv_compare_noalloc"), QStringLiteral("Kitvane Fault"),
                                                  {{QStringLiteral("AllocStmtFails"), QStringLiteral("1")}});
        data.m_strDSN = QStringLiteral("kv_compare_noalloc");
        if (!data.Connect())
            throw std::runtime_error("cannot connect to the fault driver");
        break;
    case ReadFault::Unconnected:
        data.m_pDatabase.reset();
        break;
    }
}

QStringList CompareBed::ResultFilesInTemp() const
{
    return QDir(m_tmp.path()).entryList({QStringLiteral("BFD*")}, QDir::Files);
}

}  // namespace kvtest
