#include "tests/audit/statementrules.h"

#include <QRegularExpression>

namespace kvtest {

namespace {

constexpr unsigned kPostgres = EngineBit(Engine::PostgreSQL);
constexpr unsigned kMariaDb = EngineBit(Engine::MariaDB);
constexpr unsigned kBoth = kPostgres | kMariaDb;

// Words that make a statement write, whatever it starts with: a data-changing
// WITH, SELECT ... INTO a table or a file, a locking read, the functions that
// advance a sequence or create, change or drop a large object.
const QRegularExpression kWriteWords(
    QStringLiteral(R"(\b(INSERT|UPDATE|DELETE|MERGE|INTO|NEXTVAL|SETVAL|NEXT VALUE FOR|)"
                   R"(LO_(?:CREAT|CREATE|IMPORT|EXPORT|UNLINK|FROM_BYTEA|PUT|TRUNCATE|TRUNCATE64))\b)"),
    QRegularExpression::CaseInsensitiveOption);

// MariaDB general-log commands that carry SQL text.
const QStringList kSqlCommands = {QStringLiteral("Query"), QStringLiteral("Prepare"), QStringLiteral("Execute")};

const QList<AllowedForm> kAllowedForms = {
    {"SELECT", kBoth, nullptr, R"(\(*\s*SELECT\b)",
     "reads rows, the catalog or a setting"},
    {"WITH ... SELECT", kBoth, nullptr, R"(WITH\b)",
     "a read with named subqueries (the write words refuse a data-changing one)"},
    {"SHOW", kBoth, nullptr, R"(SHOW\b)",
     "reads a setting (psqlODBC at connect) or the catalog (Connector/ODBC)"},
    {"transaction control", kBoth, nullptr, R"((BEGIN|START TRANSACTION|COMMIT|ROLLBACK|SAVEPOINT|RELEASE)\b)",
     "the drivers open and end the transactions their reads run in"},
    {"psqlODBC session settings", kPostgres, nullptr, R"(SET (DateStyle|extra_float_digits|client_encoding)\b)",
     "psqlODBC sets how values reach it when it connects"},
    {"read-only session (PostgreSQL)", kPostgres, nullptr, R"(SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY$)",
     "the product makes every transaction of its session read-only"},
    {"Connector/ODBC session settings", kMariaDb, nullptr,
     R"(SET (NAMES|autocommit|SESSION SQL_AUTO_IS_NULL|session_track_schema|session_track_system_variables)\b)",
     "Connector/ODBC sets autocommit, SQL_AUTO_IS_NULL and what the server reports to it when it connects"},
    {"read-only session (MariaDB)", kMariaDb, nullptr, R"(SET SESSION TRANSACTION READ ONLY$)",
     "the product makes every transaction of its session read-only"},
    {"statement cancel (Connector/ODBC)", kMariaDb, nullptr, R"(KILL QUERY \d+$)",
     "Connector/ODBC stops a running statement from a second session; a login without PROCESS rights "
     "can stop only its own statements"},
    {"connect", kMariaDb, "Connect", nullptr, "the login itself"},
    {"disconnect", kMariaDb, "Quit", nullptr, "the end of the session"},
    {"statement release", kMariaDb, "Close stmt", nullptr, "Connector/ODBC frees a statement it prepared on the server"},
};

const QList<QRegularExpression>& FormPatterns()
{
    static const QList<QRegularExpression> patterns = [] {
        QList<QRegularExpression> list;
        for (const AllowedForm& form : kAllowedForms) {
            list.append(form.pszPattern == nullptr
                            ? QRegularExpression()
                            : QRegularExpression(QStringLiteral("^(?:") + QLatin1String(form.pszPattern)
                                                     + QLatin1Char(')'),
                                                 QRegularExpression::CaseInsensitiveOption));
        }
        return list;
    }();
    return patterns;
}

// The end of a quoted text or name starting at nStart (the opening quote);
// a doubled quote stays inside, and so does an escaped character where the
// engine takes a backslash as an escape.
qsizetype EndOfQuoted(const QString& strText, qsizetype nStart, bool bBackslashEscapes)
{
    const QChar quote = strText[nStart];
    for (qsizetype i = nStart + 1; i < strText.size(); ++i) {
        if (bBackslashEscapes && strText[i] == QLatin1Char('\\')) {
            ++i;
        } else if (strText[i] == quote) {
            if (i + 1 < strText.size() && strText[i + 1] == quote)
                ++i;
            else
                return i;
        }
    }
    return strText.size() - 1;
}

// The length of a PostgreSQL dollar-quote tag ($$ or $name$) at nStart, 0 if none.
qsizetype DollarTagLength(const QString& strText, qsizetype nStart)
{
    static const QRegularExpression tag(QStringLiteral(R"(\$([A-Za-z_][A-Za-z0-9_]*)?\$)"));
    const QRegularExpressionMatch match =
        tag.match(strText, nStart, QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption);
    return match.hasMatch() ? match.capturedLength() : 0;
}

}  // namespace

const QList<AllowedForm>& AllowedForms()
{
    return kAllowedForms;
}

QStringList StatementSkeletons(Engine engine, const QString& strText)
{
    const bool bMariaDb = engine == Engine::MariaDB;
    QStringList parts;
    QString strPart;
    const qsizetype nLength = strText.size();
    for (qsizetype i = 0; i < nLength; ++i) {
        const QChar c = strText[i];
        const QChar next = i + 1 < nLength ? strText[i + 1] : QChar();
        // MariaDB takes "--" as a comment only before a blank.
        const bool bDashComment = c == QLatin1Char('-') && next == QLatin1Char('-')
                                  && (!bMariaDb || i + 2 >= nLength || strText[i + 2].isSpace());
        if (bDashComment || (bMariaDb && c == QLatin1Char('#'))) {
            while (i < nLength && strText[i] != QLatin1Char('\n'))
                ++i;
            strPart += QLatin1Char(' ');
        } else if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
            // MariaDB runs the text of /*! ... */ and /*M! ... */: only the
            // opener goes, the text is read as any other.
            const qsizetype nExecutedOpener = !bMariaDb                                   ? 0
                                              : strText.mid(i, 3) == QLatin1String("/*!")  ? 3
                                              : strText.mid(i, 4) == QLatin1String("/*M!") ? 4
                                                                                           : 0;
            const qsizetype nEnd = strText.indexOf(QLatin1String("*/"), i + 2);
            i = nExecutedOpener > 0 ? i + nExecutedOpener - 1 : nEnd < 0 ? nLength : nEnd + 1;
            strPart += QLatin1Char(' ');
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('`')) {
            const bool bEscapeString = i > 0 && (strText[i - 1] == QLatin1Char('E') || strText[i - 1] == QLatin1Char('e'));
            const bool bBackslashEscapes = c != QLatin1Char('`') && (bMariaDb || (c == QLatin1Char('\'') && bEscapeString));
            i = EndOfQuoted(strText, i, bBackslashEscapes);
            strPart += QString(2, c);
        } else if (!bMariaDb && c == QLatin1Char('$') && DollarTagLength(strText, i) > 0) {
            const qsizetype nTag = DollarTagLength(strText, i);
            const qsizetype nEnd = strText.indexOf(strText.mid(i, nTag), i + nTag);
            i = nEnd < 0 ? nLength : nEnd + nTag - 1;
            strPart += QStringLiteral("''");
        } else if (c == QLatin1Char(';')) {
            parts.append(strPart.simplified());
            strPart.clear();
        } else {
            strPart += c;
        }
    }
    parts.append(strPart.simplified());
    parts.removeAll(QString());
    return parts;
}

Verdict JudgeStatement(Engine engine, const QString& strCommand, const QString& strText)
{
    Verdict verdict;
    const unsigned nEngine = EngineBit(engine);
    if (!strCommand.isEmpty() && !kSqlCommands.contains(strCommand)) {
        for (const AllowedForm& form : kAllowedForms) {
            if ((form.nEngines & nEngine) != 0 && form.pszCommand != nullptr && strCommand == QLatin1String(form.pszCommand)) {
                verdict.arrForms.append(QLatin1String(form.pszName));
                return verdict;
            }
        }
        verdict.strRefused = strCommand + QLatin1Char(' ') + strText + QStringLiteral(" (a command no form allows)");
        return verdict;
    }
    const QList<QRegularExpression>& patterns = FormPatterns();
    for (const QString& strPart : StatementSkeletons(engine, strText)) {
        const QRegularExpressionMatch write = kWriteWords.match(strPart);
        if (write.hasMatch()) {
            verdict.strRefused = strPart + QStringLiteral(" (holds ") + write.captured(1).toUpper() + QLatin1Char(')');
            return verdict;
        }
        qsizetype nForm = 0;
        while (nForm < kAllowedForms.size()
               && ((kAllowedForms[nForm].nEngines & nEngine) == 0 || kAllowedForms[nForm].pszPattern == nullptr
                   || !patterns[nForm].match(strPart).hasMatch()))
            ++nForm;
        if (nForm == kAllowedForms.size()) {
            verdict.strRefused = strPart + QStringLiteral(" (no allowed form)");
            return verdict;
        }
        verdict.arrForms.append(QLatin1String(kAllowedForms[nForm].pszName));
    }
    return verdict;
}

}  // namespace kvtest
