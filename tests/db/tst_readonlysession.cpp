// Every connection is read-only on the server where the engine allows it:
// writes through the system's own connection handle are refused by the
// server, and the test bed's read-write connection sees nothing changed.

#include "db/dbdata.h"
#include "tests/support/selectinteger.h"
#include "tests/support/testdatabase.h"

#include <QtTest>

using kvtest::Engine;

Q_DECLARE_METATYPE(kvtest::Engine)

namespace {

// A table with one row, and a sequence where the engine has them.
void CreateCanary(kvtest::TestDatabase& db)
{
    db.Exec(QStringLiteral("CREATE TABLE KV_CANARY (N INTEGER)"));
    db.Exec(QStringLiteral("INSERT INTO KV_CANARY VALUES (1)"));
    if (db.GetEngine() != Engine::SQLite)
        db.Exec(QStringLiteral("CREATE SEQUENCE KV_SEQ"));
}

// What the server says of a write refused for the read-only session.
QString RefusalOf(Engine engine)
{
    switch (engine) {
    case Engine::SQLite: return QStringLiteral("attempt to write a readonly database");
    case Engine::PostgreSQL: return QStringLiteral("in a read-only transaction");
    case Engine::MariaDB: return QStringLiteral("Cannot execute statement in a READ ONLY transaction");
    }
    return QString();
}

// What the drivers do on their own between statements (catalog calls, a
// statement that fails, one that succeeds), so a setting lost on the way
// shows in the attempts that follow.
void ExerciseConnection(CDBData& data)
{
    QVERIFY(data.RunStatement(false, [](CStatement& statement) {
        return statement.Tables(QString(), QString(), QStringLiteral("%"), QString());
    }));
    QCOMPARE(kvtest::SelectInteger(data, QStringLiteral("SELECT N FROM KV_NO_SUCH_TABLE")), -1);
    QCOMPARE(kvtest::SelectInteger(data, QStringLiteral("SELECT COUNT(*) FROM KV_CANARY")), 1);
}

}  // namespace

class TestReadOnlySession : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void sessionIsReadOnly_data();
    void sessionIsReadOnly();
    void writeRefusedByServer_data();
    void writeRefusedByServer();
    void nothingPersists_data();
    void nothingPersists();
};

void TestReadOnlySession::init()
{
    QCOMPARE(CDatabase::OpenConnectionCount(), 0);
}

void TestReadOnlySession::sessionIsReadOnly_data()
{
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("dbmsName");
    QTest::addColumn<QString>("setting");   // the session's read-only setting, 1 when on

    QTest::newRow("sqlite") << Engine::SQLite << "SQLite" << "PRAGMA query_only";
    QTest::newRow("postgresql") << Engine::PostgreSQL << "PostgreSQL"
                                << "SELECT CASE current_setting('default_transaction_read_only') WHEN 'on' THEN 1 "
                                   "ELSE 0 END";
    QTest::newRow("mariadb") << Engine::MariaDB << "MariaDB" << "SELECT @@session.tx_read_only";
}

void TestReadOnlySession::sessionIsReadOnly()
{
    QFETCH(Engine, engine);
    QFETCH(QString, dbmsName);
    QFETCH(QString, setting);
    KV_CREATE_DATABASE(db, engine);
    CreateCanary(*db);

    CDBData data;
    data.m_strDSN = db->Dsn();
    QVERIFY(data.Connect());
    QCOMPARE(data.GetDbmsName(), dbmsName);
    QVERIFY(data.IsReadOnlyOnServer());
    QCOMPARE(kvtest::SelectInteger(data, setting), 1);

    ExerciseConnection(data);
    QCOMPARE(kvtest::SelectInteger(data, setting), 1);

    // The test bed's own session is not affected.
    QCOMPARE(db->Scalar(setting), QStringLiteral("0"));
}

void TestReadOnlySession::writeRefusedByServer_data()
{
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("write");
    QTest::addColumn<QString>("state");   // read back over the test bed's connection
    QTest::addColumn<QString>("unchanged");

    const QString strRows = QStringLiteral("SELECT COUNT(*) FROM KV_CANARY");
    const QString strPgSequence = QStringLiteral("SELECT last_value || ' ' || is_called FROM KV_SEQ");
    const QString strMariaDBSequence = QStringLiteral("SELECT next_not_cached_value FROM KV_SEQ");

    QTest::newRow("sqlite insert") << Engine::SQLite << "INSERT INTO KV_CANARY VALUES (2)" << strRows << "1";
    QTest::newRow("sqlite delete") << Engine::SQLite << "DELETE FROM KV_CANARY" << strRows << "1";
    QTest::newRow("sqlite create table")
        << Engine::SQLite << "CREATE TABLE KV_NEW (N INTEGER)"
        << "SELECT COUNT(*) FROM sqlite_master WHERE name = 'KV_NEW'" << "0";

    QTest::newRow("postgresql insert") << Engine::PostgreSQL << "INSERT INTO KV_CANARY VALUES (2)" << strRows << "1";
    QTest::newRow("postgresql delete") << Engine::PostgreSQL << "DELETE FROM KV_CANARY" << strRows << "1";
    QTest::newRow("postgresql nextval") << Engine::PostgreSQL << "SELECT nextval('kv_seq')" << strPgSequence
                                        << "1 false";
    QTest::newRow("postgresql setval") << Engine::PostgreSQL << "SELECT setval('kv_seq', 50)" << strPgSequence
                                       << "1 false";
    QTest::newRow("postgresql create table")
        << Engine::PostgreSQL << "CREATE TABLE KV_NEW (N INTEGER)"
        << "SELECT COUNT(*) FROM pg_tables WHERE tablename = 'kv_new'" << "0";

    QTest::newRow("mariadb insert") << Engine::MariaDB << "INSERT INTO KV_CANARY VALUES (2)" << strRows << "1";
    QTest::newRow("mariadb delete") << Engine::MariaDB << "DELETE FROM KV_CANARY" << strRows << "1";
    QTest::newRow("mariadb nextval") << Engine::MariaDB << "SELECT NEXTVAL(KV_SEQ)" << strMariaDBSequence << "1";
    QTest::newRow("mariadb setval") << Engine::MariaDB << "SELECT SETVAL(KV_SEQ, 50)" << strMariaDBSequence << "1";
    QTest::newRow("mariadb create table")
        << Engine::MariaDB << "CREATE TABLE KV_NEW (N INTEGER)"
        << "SELECT COUNT(*) FROM information_schema.tables WHERE table_schema = DATABASE() AND table_name = 'KV_NEW'"
        << "0";
}

void TestReadOnlySession::writeRefusedByServer()
{
    QFETCH(Engine, engine);
    QFETCH(QString, write);
    QFETCH(QString, state);
    QFETCH(QString, unchanged);
    KV_CREATE_DATABASE(db, engine);
    CreateCanary(*db);
    QCOMPARE(db->Scalar(state), unchanged);

    // A login that may write: the refusal must come from the session.
    CDBData data;
    data.m_strDSN = db->OwnerDsn();
    QVERIFY(data.Connect());
    ExerciseConnection(data);

    try {
        CStatement statement(*data.m_pDatabase);
        statement.ExecDirect(write);
        QFAIL("the server accepted the write");
    } catch (const CDBException& error) {
        QVERIFY2(error.m_strError.contains(RefusalOf(engine)), qPrintable(error.m_strError));
    }
    QCOMPARE(db->Scalar(state), unchanged);
}

void TestReadOnlySession::nothingPersists_data()
{
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QStringList>("operations");   // each run as one operation of the system
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("unchanged");

    // What a read-only transaction still lets through on PostgreSQL: large
    // objects, and the session's own default, which would make the
    // following transactions read-write.
    const QString strLargeObjects = QStringLiteral("SELECT COUNT(*) FROM pg_largeobject_metadata");
    const QString strReadWrite = QStringLiteral("SELECT set_config('default_transaction_read_only', 'off', false)");
    QTest::newRow("postgresql lo_create") << Engine::PostgreSQL << QStringList{"SELECT lo_create(0)"}
                                          << strLargeObjects << "0";
    QTest::newRow("postgresql lo_from_bytea")
        << Engine::PostgreSQL << QStringList{"SELECT lo_from_bytea(0, 'x')", "SELECT lo_creat(-1)"}
        << strLargeObjects << "0";
    QTest::newRow("postgresql lo_import") << Engine::PostgreSQL << QStringList{"SELECT lo_import('/etc/hostname')"}
                                          << strLargeObjects << "0";
    QTest::newRow("postgresql read-write default, then nextval")
        << Engine::PostgreSQL << QStringList{strReadWrite, "SELECT nextval('kv_seq')"}
        << "SELECT last_value || ' ' || is_called FROM KV_SEQ" << "1 false";
    QTest::newRow("postgresql read-write default, then a function writing")
        << Engine::PostgreSQL << QStringList{strReadWrite, "SELECT kv_delete()"} << "SELECT COUNT(*) FROM KV_CANARY"
        << "1";
    QTest::newRow("postgresql read-write default inside a failed operation")
        << Engine::PostgreSQL
        << QStringList{"SELECT " + strReadWrite.mid(7) + ", N FROM KV_NO_SUCH_TABLE", strReadWrite,
                       "SELECT kv_delete()"}
        << "SELECT COUNT(*) FROM KV_CANARY" << "1";
}

void TestReadOnlySession::nothingPersists()
{
    QFETCH(Engine, engine);
    QFETCH(QStringList, operations);
    QFETCH(QString, state);
    QFETCH(QString, unchanged);
    KV_CREATE_DATABASE(db, engine, kvtest::DatabaseUse::InjectionAttempts);
    CreateCanary(*db);
    db->Exec(QStringLiteral("CREATE FUNCTION kv_delete() RETURNS integer LANGUAGE sql AS "
                            "'DELETE FROM KV_CANARY; SELECT 1'"));
    QCOMPARE(db->Scalar(state), unchanged);

    CDBData data;
    data.m_strDSN = db->Dsn();
    QVERIFY(data.Connect());
    for (const QString& strOperation : operations) {
        // Whether the server accepts the statement or not, nothing of it stays.
        data.RunStatement(false, [&](CStatement& statement) {
            statement.ExecDirect(strOperation);
            return true;
        });
        QCOMPARE(db->Scalar(state), unchanged);
    }
    ExerciseConnection(data);
    QCOMPARE(kvtest::SelectInteger(data, QStringLiteral("SELECT CASE current_setting('default_transaction_read_only') "
                                                         "WHEN 'on' THEN 1 ELSE 0 END")),
             1);
    data.m_pDatabase.reset();   // a transaction left open would end here
    QCOMPARE(db->Scalar(state), unchanged);
}

QTEST_GUILESS_MAIN(TestReadOnlySession)
#include "tst_readonlysession.moc"
