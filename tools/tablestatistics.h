#pragma once

#include "tools/statdate.h"
#include "tools/tablegenerator.h"

class CStatOptions;

// Writes, for every registered table of the selected schemas, its row count
// and the date of its last update (from its UPMJ column, from the user's
// column or none) as tab-separated lines under a header.
class CTableStatistics : public CTableGenerator
{
public:
    // Dates are written in the short date format of the options' locale.
    CTableStatistics(CDBData& data, const CResultLineWriter& writer, CPrompt& prompt, const CStatOptions& options);

    void GenerateStatistics(const QString& strPath, CMessageTarget* pDlg);

    // The lines of the selected schemas, then the cancel line of a cancelled
    // run. A failed count writes -1, but a connection that is gone ends the
    // run with its error rather than fail every table left. False when an
    // error stopped it (shown).
    bool WriteStatistics(const QString& strPath, const CRegisteredTables& registered, CMessageTarget* pDlg,
                         bool& bCancel);
    bool WriteTableStatistics(const QString& strCatalog, const QString& strSchema, const QString& strTable,
                              const QString& strPath);

    // Counted in 64 bits: a JDE ledger may hold more than 2^31 rows. -1 when
    // the count failed.
    qint64 CountRows(const QString& strCatalog, const QString& strSchema, const QString& strTable);

    // The first column named by a two-character prefix and UPMJ; bDateType
    // tells a date or time column from a Julian number. Empty when none.
    void FindUpmjColumn(QString& strColumn, const QString& strCatalog, const QString& strSchema,
                        const QString& strTable, bool& bDateType);
    void GetLastUpmjDate(const QString& strCatalog, const QString& strSchema, const QString& strTable,
                         const QString& strColumn, bool bDateType, CStatDate& date);
    // MAX of the user's expression, as the driver renders it; empty when
    // there is no value, on an error, or when the expression would not stay
    // inside its MAX( ) (CheckDateExpression).
    void GetMaxFieldValue(const QString& strCatalog, const QString& strSchema, const QString& strTable,
                          const QString& strField, QString& strText);

protected:
    int ClosingLineKind() const override;

private:
    // What the statements of one table gave.
    struct TableFigures
    {
        qint64 nCount = -1;
        QString strDate;
        QString strError;   // the driver's text of the first statement that failed
    };
    TableFigures ReadTableFigures(const QString& strCatalog, const QString& strSchema, const QString& strTable);
    // The count and the last UPMJ date with one statement. False, with
    // nothing read, where the statements one by one are to be run instead
    // (a failure other than a cancel).
    bool ReadCountAndUpmjDate(const QString& strCatalog, const QString& strSchema, const QString& strTable,
                              TableFigures& figures);
    bool AppendTableLine(const QString& strPath, const QString& strCatalog, const QString& strSchema,
                         const QString& strTable, const TableFigures& figures);

    const CStatOptions& m_options;
};
