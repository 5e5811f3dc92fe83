#pragma once

#include "compare/compareresultfile.h"
#include "compare/zembraparam.h"
#include "tests/support/testdatabase.h"

#include "db/dbdata.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// Two data sources of one engine for the comparison engines, each in a
// fresh database with a schema of its own, set up over the test bed's own
// connections; and a private TMP folder for the result files.
namespace kvtest {

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

}  // namespace kvtest

#define KV_COMPARE_BED(var, engine)                                     \
    std::unique_ptr<kvtest::CompareBed> var;                            \
    try {                                                               \
        var = std::make_unique<kvtest::CompareBed>(engine);             \
    } catch (const std::exception& error) {                             \
        QFAIL(error.what());                                            \
    }
