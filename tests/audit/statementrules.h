#pragma once

#include "tests/support/testodbcenv.h"

#include <QList>
#include <QString>
#include <QStringList>

// What a read-only login may send to a server: the one table of allowed
// forms, each with the reason it is harmless, and the verdict on one logged
// statement.
namespace kvtest {

struct AllowedForm
{
    const char* pszName;
    unsigned nEngines;      // bits of EngineBit()
    const char* pszCommand; // MariaDB protocol command without SQL text; nullptr for a SQL statement
    const char* pszPattern; // SQL forms: anchored, case-insensitive, against one statement
    const char* pszReason;
};

constexpr unsigned EngineBit(Engine engine)
{
    return 1u << unsigned(engine);
}

const QList<AllowedForm>& AllowedForms();

// A statement as logged may hold several (psqlODBC sends its settings
// together); each part is judged alone.
struct Verdict
{
    QStringList arrForms;   // the allowed form of each part, in order
    QString strRefused;     // the first part no form allows, with the reason; empty when all pass
};

// strCommand: the MariaDB general log's command ("Query", "Connect", ...);
// empty for PostgreSQL, whose log holds only SQL statements.
Verdict JudgeStatement(Engine engine, const QString& strCommand, const QString& strText);

// The parts of a SQL text, split at ';' outside quotes and comments, with
// comments removed and every quoted text or name kept as its quotes only
// (so no word inside a literal is taken for a keyword).
QStringList StatementSkeletons(Engine engine, const QString& strText);

}  // namespace kvtest
