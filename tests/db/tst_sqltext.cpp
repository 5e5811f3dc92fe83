// How names and values are written into SQL text: the identifier rule per
// engine folding, literals with and without backslash escapes, catalog
// search patterns and the catalog-row name check. Pure functions, tested as
// tables of cases; the engines' own reading of the results is tested in
// tst_exactnames and tst_boundvalues.

#include "db/sqltext.h"

#include <QtTest>

class TestSqlText : public QObject
{
    Q_OBJECT

private slots:
    void qualifyName_data();
    void qualifyName();
    void reservedWordsOfDriver();
    void sqlLiteral_data();
    void sqlLiteral();
    void backslashEngines_data();
    void backslashEngines();
    void searchPattern_data();
    void searchPattern();
    void catalogNameMatches_data();
    void catalogNameMatches();
    void removePadding_data();
    void removePadding();
};

void TestSqlText::qualifyName_data()
{
    QTest::addColumn<int>("identifierCase");
    QTest::addColumn<QString>("quote");
    QTest::addColumn<QString>("catalog");
    QTest::addColumn<QString>("owner");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("qualified");

    const int nUpper = SQL_IC_UPPER;
    const int nLower = SQL_IC_LOWER;
    const int nSensitive = SQL_IC_SENSITIVE;
    const int nMixed = SQL_IC_MIXED;
    // Oracle, DB2: plain upper-case names stay as JDE writes them.
    QTest::newRow("upper: JDE names unquoted") << nUpper << "\"" << "" << "PRODDTA" << "F0101" << "PRODDTA.F0101";
    QTest::newRow("upper: catalog too") << nUpper << "\"" << "JDE" << "PRODDTA" << "F0101" << "JDE.PRODDTA.F0101";
    QTest::newRow("upper: lower-case name quoted") << nUpper << "\"" << "" << "proddta" << "f0101"
                                                   << "\"proddta\".\"f0101\"";
    QTest::newRow("upper: mixed case quoted") << nUpper << "\"" << "" << "" << "F55Mix" << "\"F55Mix\"";
    QTest::newRow("upper: dollar kept") << nUpper << "\"" << "" << "PROD$DTA" << "F0101$" << "PROD$DTA.F0101$";
    // PostgreSQL: plain lower-case names unquoted, upper-case letters quoted.
    QTest::newRow("lower: folded names unquoted") << nLower << "\"" << "kv" << "proddta" << "f0101"
                                                  << "kv.proddta.f0101";
    QTest::newRow("lower: upper-case table quoted") << nLower << "\"" << "" << "proddta" << "F0101"
                                                    << "proddta.\"F0101\"";
    QTest::newRow("lower: upper-case column quoted") << nLower << "\"" << "" << "" << "SPAA" << "\"SPAA\"";
    QTest::newRow("lower: one capital quoted") << nLower << "\"" << "" << "" << "spaA" << "\"spaA\"";
    // MariaDB (mixed), SQLite (sensitive): the engine keeps the name as written.
    QTest::newRow("mixed: any case unquoted") << nMixed << "`" << "kv_db" << "" << "F0101" << "kv_db.F0101";
    QTest::newRow("mixed: lower unquoted") << nMixed << "`" << "" << "" << "f0101" << "f0101";
    QTest::newRow("sensitive: any case unquoted") << nSensitive << "\"" << "" << "" << "F55Mix" << "F55Mix";
    QTest::newRow("unknown folding: quoted") << 0 << "\"" << "" << "" << "F0101" << "\"F0101\"";
    // Characters no engine takes unquoted, on every folding.
    QTest::newRow("hash quoted (MariaDB comment)") << nMixed << "`" << "" << "" << "F#01" << "`F#01`";
    QTest::newRow("at sign quoted") << nUpper << "\"" << "" << "" << "F@01" << "\"F@01\"";
    QTest::newRow("leading digit quoted") << nUpper << "\"" << "" << "" << "0101" << "\"0101\"";
    QTest::newRow("leading underscore quoted") << nLower << "\"" << "" << "" << "_f" << "\"_f\"";
    QTest::newRow("statement in a name quoted") << nUpper << "\"" << "" << "PRODDTA" << "T; DROP TABLE X"
                                                << "PRODDTA.\"T; DROP TABLE X\"";
    QTest::newRow("quote doubled") << nUpper << "\"" << "" << "" << "A\"B" << "\"A\"\"B\"";
    QTest::newRow("backquote doubled") << nMixed << "`" << "" << "" << "a`b" << "`a``b`";
    QTest::newRow("space quoted") << nUpper << "\"" << "JDE PROD" << "X" << "F0101" << "\"JDE PROD\".X.F0101";
    QTest::newRow("trailing blank quoted") << nLower << "\"" << "" << "canary " << "t" << "\"canary \".t";
    QTest::newRow("backslash quoted") << nMixed << "`" << "" << "" << "a\\b" << "`a\\b`";
    QTest::newRow("non-ASCII quoted") << nLower << "\"" << "" << "" << QString::fromUtf8("été")
                                      << QString::fromUtf8("\"été\"");
    // ODBC's reserved words need quotes whatever their case.
    QTest::newRow("reserved word upper") << nUpper << "\"" << "" << "" << "ORDER" << "\"ORDER\"";
    QTest::newRow("reserved word lower") << nLower << "\"" << "" << "" << "select" << "\"select\"";
    QTest::newRow("reserved word mixed") << nMixed << "`" << "" << "" << "Table" << "`Table`";
}

void TestSqlText::qualifyName()
{
    QFETCH(int, identifierCase);
    QFETCH(QString, quote);
    QFETCH(QString, catalog);
    QFETCH(QString, owner);
    QFETCH(QString, table);
    QFETCH(QString, qualified);
    IdentifierRule rule;
    rule.strQuote = quote;
    rule.nCase = SQLUSMALLINT(identifierCase);
    QCOMPARE(QualifyName(catalog, owner, table, rule), qualified);
}

void TestSqlText::reservedWordsOfDriver()
{
    // A word the driver reserves beyond ODBC's list needs quotes too.
    IdentifierRule rule;
    rule.nCase = SQL_IC_MIXED;
    rule.strQuote = QStringLiteral("`");
    QCOMPARE(QuoteIdentifier(QStringLiteral("RLIKE"), rule), QStringLiteral("RLIKE"));
    rule.reservedWords.insert(QStringLiteral("rlike"));
    QCOMPARE(QuoteIdentifier(QStringLiteral("RLIKE"), rule), QStringLiteral("`RLIKE`"));
    QCOMPARE(QuoteIdentifier(QStringLiteral("rlikes"), rule), QStringLiteral("rlikes"));
}

void TestSqlText::sqlLiteral_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("backslashEscapes");
    QTest::addColumn<QString>("literal");

    QTest::newRow("plain") << "AMOUNT" << false << "'AMOUNT'";
    QTest::newRow("empty") << "" << false << "''";
    QTest::newRow("quote doubled") << "AB'C" << false << "'AB''C'";
    QTest::newRow("backslash kept where no escape") << "BS\\" << false << "'BS\\'";
    QTest::newRow("backslash doubled where escape") << "BS\\" << true << "'BS\\\\'";
    QTest::newRow("escaped quote stays closed") << "\\' OR 1=1 #" << true << "'\\\\'' OR 1=1 #'";
    QTest::newRow("standard engine") << "\\' OR 1=1 #" << false << "'\\'' OR 1=1 #'";
}

void TestSqlText::sqlLiteral()
{
    QFETCH(QString, value);
    QFETCH(bool, backslashEscapes);
    QFETCH(QString, literal);
    QCOMPARE(SqlLiteral(value, backslashEscapes), literal);
}

void TestSqlText::backslashEngines_data()
{
    QTest::addColumn<QString>("dbmsName");
    QTest::addColumn<bool>("escapes");

    QTest::newRow("MariaDB") << "MariaDB" << true;
    QTest::newRow("MySQL") << "MySQL" << true;
    QTest::newRow("PostgreSQL") << "PostgreSQL" << false;
    QTest::newRow("SQLite") << "SQLite" << false;
    QTest::newRow("Oracle") << "Oracle" << false;
    QTest::newRow("SQL Server") << "Microsoft SQL Server" << false;
    QTest::newRow("unknown") << "" << false;
}

void TestSqlText::backslashEngines()
{
    QFETCH(QString, dbmsName);
    QFETCH(bool, escapes);
    QCOMPARE(BackslashEscapesLiterals(dbmsName), escapes);
}

void TestSqlText::searchPattern_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("escape");
    QTest::addColumn<QString>("pattern");

    QTest::newRow("plain") << "F0101" << "\\" << "F0101";
    QTest::newRow("underscore escaped") << "prod_dta" << "\\" << "prod\\_dta";
    QTest::newRow("percent escaped") << "a%b" << "\\" << "a\\%b";
    QTest::newRow("escape becomes one-character wildcard") << "a\\b" << "\\" << "a_b";
    QTest::newRow("escape at the end") << "BS\\" << "\\" << "BS_";
    QTest::newRow("other escape character") << "a_b!c" << "!" << "a!_b_c";
    QTest::newRow("no escape: unchanged") << "a_b\\c" << "" << "a_b\\c";
}

void TestSqlText::searchPattern()
{
    QFETCH(QString, name);
    QFETCH(QString, escape);
    QFETCH(QString, pattern);
    QCOMPARE(EscapeSearchPattern(name, escape), pattern);
}

void TestSqlText::catalogNameMatches_data()
{
    QTest::addColumn<QString>("wanted");
    QTest::addColumn<QString>("found");
    QTest::addColumn<bool>("ignoreCase");
    QTest::addColumn<bool>("matches");

    QTest::newRow("same") << "F0101" << "F0101" << false << true;
    QTest::newRow("nothing asked") << "" << "F0101" << false << true;
    QTest::newRow("driver reports none") << "proddta" << "" << false << true;
    QTest::newRow("look-alike of a pattern") << "F0101_X" << "F0101AX" << false << false;
    QTest::newRow("other case, exact") << "F0101" << "f0101" << false << false;
    QTest::newRow("other case, case-blind") << "PRODDTA" << "proddta" << true << true;
    QTest::newRow("trailing blank found") << "canary" << "canary " << true << false;
    QTest::newRow("trailing blank wanted") << "canary " << "canary" << false << false;
    QTest::newRow("trailing blank both") << "canary " << "canary " << false << true;
    QTest::newRow("non-ASCII never folded") << QString::fromUtf8("é") << QString::fromUtf8("É") << true << false;
}

void TestSqlText::catalogNameMatches()
{
    QFETCH(QString, wanted);
    QFETCH(QString, found);
    QFETCH(bool, ignoreCase);
    QFETCH(bool, matches);
    QCOMPARE(CatalogNameMatches(wanted, found, ignoreCase), matches);
}

void TestSqlText::removePadding_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("unpadded");

    QTest::newRow("padded") << "PRODDTA   " << "PRODDTA";
    QTest::newRow("unpadded") << "PRODDTA" << "PRODDTA";
    QTest::newRow("inner blank kept") << "JDE PROD  " << "JDE PROD";
    QTest::newRow("tab is no padding") << "A\t" << "A\t";
    QTest::newRow("all blank") << "   " << "";
}

void TestSqlText::removePadding()
{
    QFETCH(QString, name);
    QFETCH(QString, unpadded);
    QCOMPARE(RemovePadding(name), unpadded);
}

QTEST_GUILESS_MAIN(TestSqlText)
#include "tst_sqltext.moc"
