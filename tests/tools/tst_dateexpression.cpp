// The statistics date expression must stay inside its MAX( ) as every
// database family reads it.

#include "app/language.h"
#include "res/stringids.h"
#include "tools/dateexpression.h"

#include <QtTest>

class TestDateExpression : public QObject
{
    Q_OBJECT

private slots:
    void check_data();
    void check();
    void refusalText_data();
    void refusalText();
};

void TestDateExpression::check_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<int>("refusal");   // 0: accepted

    const int nSemicolon = StringId::FieldExpressionRefused;
    const int nCloses = StringId::DateExpressionClosesUnopened;
    const int nOpen = StringId::DateExpressionUnclosedParenthesis;
    const int nComment = StringId::DateExpressionComment;
    const int nQuote = StringId::DateExpressionUnclosedQuote;

    QTest::newRow("column") << "ABUPMJ" << 0;
    QTest::newRow("function") << "COALESCE(ABUPMJ, 0)" << 0;
    QTest::newRow("nested") << "CAST((ABUPMJ + 1900000) AS CHAR(7))" << 0;
    QTest::newRow("aggregate inside") << "MAX(ABUPMJ) + 1" << 0;
    // Read-only by this rule; the server's read-only session refuses it.
    QTest::newRow("sequence") << "nextval('proddta.s')" << 0;
    QTest::newRow("string with parenthesis") << "'a)'" << 0;
    QTest::newRow("identifier with parenthesis") << "\"col)\"" << 0;
    QTest::newRow("comment markers quoted") << "CONCAT('--', \"a#b\", '/*')" << 0;
    QTest::newRow("doubled quote") << "'it''s)'" << 0;
    QTest::newRow("dollar inside a name") << "AB$UPMJ$" << 0;
    QTest::newRow("empty") << "" << 0;

    QTest::newRow("outfile") << "1) INTO OUTFILE '/tmp/x' #" << nCloses;
    QTest::newRow("other table") << "1)) FROM other_table --" << nCloses;
    QTest::newRow("closes then opens") << "ABUPMJ) + (1" << nCloses;
    QTest::newRow("left open") << "MAX(ABUPMJ" << nOpen;
    QTest::newRow("block comment") << "a /* b" << nComment;
    QTest::newRow("line comment") << "ABUPMJ -- x" << nComment;
    QTest::newRow("hash comment") << "ABUPMJ # x" << nComment;
    QTest::newRow("quote left open") << "x'" << nQuote;
    QTest::newRow("double quote left open") << "\"col" << nQuote;
    QTest::newRow("semicolon") << "ABUPMJ; DROP TABLE F0101" << nSemicolon;
    QTest::newRow("semicolon quoted") << "';'" << nSemicolon;

    // Texts that one family ends where the standard does not, so that the
    // rest would leave the MAX( ) there.
    QTest::newRow("MariaDB backslash") << "'\\'') FROM other_table #'" << nCloses;
    QTest::newRow("MariaDB backslash in double quotes") << "\"\\\"\") FROM other_table #\"" << nCloses;
    QTest::newRow("MariaDB backquotes") << "`'`) FROM other_table #'" << nCloses;
    QTest::newRow("PostgreSQL dollar quotes") << "$$'$$) FROM other_table --'" << nCloses;
    QTest::newRow("PostgreSQL tagged dollar quotes") << "$q$'$q$) FROM other_table --'" << nCloses;
    QTest::newRow("PostgreSQL escape string") << "E'\\'') FROM other_table --'" << nCloses;
    QTest::newRow("SQL Server brackets") << "[']) FROM other_table --']" << nCloses;
    QTest::newRow("Oracle q-quote") << "q'[']') FROM other_table --'" << nCloses;
    QTest::newRow("Oracle nq-quote left open") << "nq'[x'" << nQuote;
    QTest::newRow("backslash ending a string") << "'C:\\'" << nQuote;
}

void TestDateExpression::check()
{
    QFETCH(QString, expression);
    QFETCH(int, refusal);
    QCOMPARE(CheckDateExpression(expression), refusal);
}

void TestDateExpression::refusalText_data()
{
    QTest::addColumn<bool>("french");
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("text");
    QTest::newRow("accepted") << false << "ABUPMJ" << "";
    QTest::newRow("en semicolon") << false << "A;"
                                  << "The date column expression (A;) must not contain a semicolon (;).";
    QTest::newRow("fr closes") << true << "A)"
        << QString::fromUtf8("L'expression de la colonne de date (A)) ne doit pas fermer de parenthèse qu'elle n'a "
                             "pas ouverte.");
    QTest::newRow("en closes") << false << "A)"
                               << "The date column expression (A)) must not close a parenthesis it has not opened.";
    QTest::newRow("fr open") << true << "(A"
        << QString::fromUtf8("L'expression de la colonne de date ((A) doit refermer toutes les parenthèses qu'elle "
                             "ouvre.");
    QTest::newRow("en open") << false << "(A"
                             << "The date column expression ((A) must close every parenthesis it opens.";
    QTest::newRow("fr comment") << true << "A--"
        << QString::fromUtf8("L'expression de la colonne de date (A--) ne doit pas contenir de commentaire "
                             "(--, /*, #).");
    QTest::newRow("en comment") << false << "A#"
                                << "The date column expression (A#) must not contain a comment (--, /*, #).";
    QTest::newRow("fr quote") << true << "'A"
        << QString::fromUtf8("L'expression de la colonne de date ('A) doit refermer chaque apostrophe et chaque "
                             "guillemet qu'elle ouvre.");
    QTest::newRow("en quote") << false << "'A" << "The date column expression ('A) must close every quote it opens.";
}

void TestDateExpression::refusalText()
{
    QFETCH(bool, french);
    QFETCH(QString, expression);
    QFETCH(QString, text);
    SetInterfaceLanguage(french ? QStringLiteral("FRA") : QStringLiteral("ENU"), QString());
    QCOMPARE(DateExpressionRefusal(expression), text);
}

QTEST_GUILESS_MAIN(TestDateExpression)
#include "tst_dateexpression.moc"
