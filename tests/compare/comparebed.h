#pragma once

#include "compare/compareresultfile.h"
#include "compare/zembraparam.h"
#include "tests/support/recorders.h"
#include "tests/support/testdatabase.h"

#include "db/dbdata.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <exception>
#include <functional>
#include <memory>

// Two data sources of one engine for the comparison engines, each in a
// fresh database with a schema of its own, set up over the test bed's own
// connections; and a private TMP folder for the result files.
namespace kvtest {

// What keeps a data source from reading its database: its login's rights on
// a table taken (DenyTable), its session dropped (DropConnection), a driver
// that can allocate no statement (the fault driver), no connection at all.
enum class ReadFault { Denied, Dropped, Allocation, Unconnected };

// One data-dictionary row; a null text is SQL NULL.
struct DictionaryEntry
{
    QString strAlias;
    QString strDTAT;
    int nDTAS;
    QString strOWTP;
    int nDTAD;
    QString strCDEC;
};

struct DictionaryShape
{
    int nAliasWidth = 8;    // FRDTAS of item DTAI
    int nDtatWidth = 1;     // of DTAT
    int nOwtpWidth = 2;     // of OWTP
    int nCdecWidth = 2;     // of CDEC
    bool bWithOwtp = true;
    QString strTextType = QStringLiteral("CHAR");   // or VARCHAR, which keeps trailing spaces
};

class CompareBed
{
public:
    explicit CompareBed(Engine engine);
    ~CompareBed();

    CompareBed(const CompareBed&) = delete;
    CompareBed& operator=(const CompareBed&) = delete;

    Engine GetEngine() const { return m_engine; }
    TestDatabase& Database(int nSide) { return *m_pDatabases[nSide]; }
    CDBData& Data(int nSide) { return m_data[nSide]; }
    QString Quote(const QString& strName) const;

    // "CREATE TABLE <schema>.name (columns)", each column "NAME TYPE"; table
    // and column names are quoted, so they keep their letter case everywhere.
    void CreateTable(int nSide, const QString& strName, const QStringList& columns);
    // Setup SQL with "@." standing for the side's schema qualifier.
    void Exec(int nSide, const QString& strSql);
    // F9210 with the self-describing items DTAI, DTAT, OWTP and CDEC, then
    // the entries in the order given.
    void CreateDictionary(int nSide, const DictionaryShape& shape, const QList<DictionaryEntry>& entries);
    // What the comparison window does before a run: the schema chosen and
    // its table list read (which also finds the dictionary).
    void ShowSchemas();

    // Ends the data source's session on the side's server, as a lost
    // network link or an administrator would; the bed's own session stays.
    // PostgreSQL and MariaDB only.
    void DropConnection(int nSide);
    // Takes every right on one table of the side's schema (named as its
    // catalog spells it) from the data source's login. On MariaDB the login
    // keeps rights on the other tables only, and the data source reconnects:
    // such a change reaches new sessions only. PostgreSQL and MariaDB only.
    void DenyTable(int nSide, const QString& strTable);
    // Brings the fault on the side's data source; strTable is the table
    // denied.
    void BreakReads(int nSide, ReadFault fault, const QString& strTable);

    CZembraParam options;
    CCompareResultFile tableResults{QStringLiteral("BFDB"), 2000};
    CCompareResultFile aliasResults{QStringLiteral("BFDD"), 2000};

    // The private TMP folder and the result files in it.
    QString TempFolder() const { return m_tmp.path(); }
    QStringList ResultFilesInTemp() const;

private:
    Engine m_engine;
    QTemporaryDir m_tmp;
    QByteArray m_savedTmp;
    std::unique_ptr<TestDatabase> m_pDatabases[2];
    TestDatabase::Schema m_places[2];
    CDBData m_data[2];
};

// Records every message, and runs an action once, on the first message that
// matches: a change of the databases in the middle of a run. An action that
// raises leaves its reason in strActionError.
class ActionTarget : public MessageRecorder
{
public:
    using Match = std::function<bool(unsigned nMessage, qintptr wParam, qintptr lParam)>;

    ActionTarget(Match when, std::function<void()> action) : m_when(std::move(when)), m_action(std::move(action)) {}

    qintptr SendMessage(unsigned nMessage, qintptr wParam, qintptr lParam) override
    {
        if (!bFired && m_when(nMessage, wParam, lParam)) {
            bFired = true;
            try {
                m_action();
            } catch (const std::exception& error) {
                strActionError = QString::fromUtf8(error.what());
            }
        }
        return MessageRecorder::SendMessage(nMessage, wParam, lParam);
    }

    bool bFired = false;
    QString strActionError;

private:
    Match m_when;
    std::function<void()> m_action;
};

}  // namespace kvtest

#define KV_COMPARE_BED(var, engine)                                     \
    std::unique_ptr<kvtest::CompareBed> var;                            \
    try {                                                               \
        var = std::make_unique<kvtest::CompareBed>(engine);             \
    } catch (const std::exception& error) {                             \
        QFAIL(error.what());                                            \
    }
