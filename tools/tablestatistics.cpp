#include "tools/tablestatistics.h"

#include "app/language.h"
#include "app/resultlinewriter.h"
#include "db/asciitext.h"
#include "db/dbdata.h"
#include "res/stringids.h"
#include "tools/dateexpression.h"
#include "tools/registeredtables.h"
#include "tools/statoptions.h"
#include "tools/taskprogress.h"

namespace {

// A number column read as a 64-bit integer, with its NULL indicator (the
// statement's own number binding has neither).
struct NumberColumn
{
    SQLBIGINT nValue = 0;
    SQLLEN nIndicator = SQL_NULL_DATA;

    bool IsNull() const { return nIndicator == SQL_NULL_DATA; }
};

void BindNumber(CDBData& data, CStatement& statement, SQLUSMALLINT nColumn, NumberColumn& column)
{
    const SQLRETURN nRet = SQLBindCol(statement.Handle(), nColumn, SQL_C_SBIGINT, &column.nValue,
                                      sizeof(column.nValue), &column.nIndicator);
    if (!SqlSucceeded(nRet))
        ThrowDBException(nRet, data.m_pDatabase->Handle(), statement.Handle());
}

bool IsDateTypeCode(short nSqlType)
{
    // ODBC 2 codes of date, time and timestamp (the environment is ODBC 2).
    return nSqlType == SQL_DATE || nSqlType == SQL_TIME || nSqlType == SQL_TIMESTAMP;
}

// The select list of a table's last UPMJ date: the Julian number's MAX, or
// a date's year, month and day. The escapes are ODBC's own: each driver
// turns them into its database's date functions (PostgreSQL has no YEAR()).
QString UpmjSelectList(const QString& strQuotedColumn, bool bDateType)
{
    const QString strMax = QStringLiteral("MAX(") + strQuotedColumn + u')';
    if (!bDateType)
        return strMax;
    return QStringLiteral("{fn YEAR(") + strMax + QStringLiteral(")}, {fn MONTH(") + strMax
           + QStringLiteral(")}, {fn DAYOFMONTH(") + strMax + QStringLiteral(")}");
}

// The columns UpmjSelectList asks for, bound from nFirst on.
struct UpmjDateColumns
{
    NumberColumn values[3];

    void Bind(CDBData& data, CStatement& statement, SQLUSMALLINT nFirst, bool bDateType)
    {
        for (SQLUSMALLINT i = 0; i < (bDateType ? 3 : 1); ++i)
            BindNumber(data, statement, SQLUSMALLINT(nFirst + i), values[i]);
    }

    CStatDate Date(bool bDateType) const
    {
        if (!bDateType)
            return values[0].IsNull() ? CStatDate::NullDate() : JulianToDate(values[0].nValue);
        if (values[0].IsNull() || values[1].IsNull() || values[2].IsNull())
            return CStatDate::NullDate();
        return CStatDate::FromYmd(values[0].nValue, values[1].nValue, values[2].nValue);
    }
};

}  // namespace

CTableStatistics::CTableStatistics(CDBData& data, const CResultLineWriter& writer, CPrompt& prompt,
                                   const CStatOptions& options)
    : CTableGenerator(data, writer, prompt), m_options(options)
{
}

void CTableStatistics::GenerateStatistics(const QString& strPath, CMessageTarget* pDlg)
{
    // The UPMJ column of every table comes from one catalog call per schema.
    const CDBData::CColumnSnapshotScope snapshots(m_data);
    RunGuarded(strPath, [&] {
        CTaskProgress progress(pDlg);
        SetRangeForTables(progress);
        bool bCancel = false;
        CRegisteredTables registered;
        if (ReadSelectedTables(strPath, registered, pDlg, bCancel) && !bCancel)
            WriteStatistics(strPath, registered, pDlg, bCancel);
    });
}

bool CTableStatistics::WriteStatistics(const QString& strPath, const CRegisteredTables& registered,
                                       CMessageTarget* pDlg, bool& bCancel)
{
    CTaskProgress progress(pDlg);
    bool bContinue = true;
    for (const SelectedSchema& schema : SelectedSchemas()) {
        for (const QString& strTable : *schema.pTables) {
            if (bCancel || !bContinue)
                break;
            if (registered.Admits(strTable)) {
                progress.SetItem(strTable);
                const TableFigures figures = ReadTableFigures(schema.strCatalog, schema.strOwner, strTable);
                // The interface stops the running statement on a cancel; a
                // connection that is gone would fail every table left.
                if (!figures.strError.isEmpty()) {
                    if (CancelledMeanwhile(progress, bCancel))
                        break;
                    if (!ConnectionAnswers(schema.strCatalog, schema.strOwner, strTable)) {
                        // A late cancel may have stopped the probe itself.
                        if (!CancelledMeanwhile(progress, bCancel)) {
                            FailOnDatabaseError(strPath, figures.strError);
                            bContinue = false;
                        }
                        break;
                    }
                }
                bContinue = AppendTableLine(strPath, schema.strCatalog, schema.strOwner, strTable, figures);
            }
            progress.Step(-1, -1);
            progress.PollCancel(bCancel);
        }
    }
    if (bCancel)
        AppendLine(strPath, LINE_NO_HEADER, LoadLangString(StringId::CancelledByUser));
    return bContinue;
}

bool CTableStatistics::WriteTableStatistics(const QString& strCatalog, const QString& strSchema,
                                            const QString& strTable, const QString& strPath)
{
    return AppendTableLine(strPath, strCatalog, strSchema, strTable, ReadTableFigures(strCatalog, strSchema, strTable));
}

CTableStatistics::TableFigures CTableStatistics::ReadTableFigures(const QString& strCatalog, const QString& strSchema,
                                                                  const QString& strTable)
{
    TableFigures figures;
    // Every operation leaves the driver's text of its failure, or nothing.
    const auto noteFailure = [&] {
        if (figures.strError.isEmpty())
            figures.strError = m_data.GetLastError();
    };
    if (m_options.m_nStatDateMode == STAT_DATE_UPMJ && ReadCountAndUpmjDate(strCatalog, strSchema, strTable, figures))
        return figures;
    figures.nCount = CountRows(strCatalog, strSchema, strTable);
    noteFailure();
    if (figures.nCount > 0 && m_options.m_nStatDateMode == STAT_DATE_FIELD) {
        GetMaxFieldValue(strCatalog, strSchema, strTable, m_options.m_strStatField, figures.strDate);
        noteFailure();
    } else if (figures.nCount > 0 && m_options.m_nStatDateMode == STAT_DATE_UPMJ) {
        QString strColumn;
        bool bDateType = false;
        FindUpmjColumn(strColumn, strCatalog, strSchema, strTable, bDateType);
        noteFailure();
        if (!strColumn.isEmpty()) {
            CStatDate date;
            GetLastUpmjDate(strCatalog, strSchema, strTable, strColumn, bDateType, date);
            noteFailure();
            if (date.IsValid())
                figures.strDate = FormatStatDate(date.GetDate(), m_options.m_dateLocale);
        }
    }
    return figures;
}

bool CTableStatistics::ReadCountAndUpmjDate(const QString& strCatalog, const QString& strSchema,
                                            const QString& strTable, TableFigures& figures)
{
    // The column first: in a run it comes from the schema's snapshot, and
    // the count and the date then cost one statement, not two.
    QString strColumn;
    bool bDateType = false;
    FindUpmjColumn(strColumn, strCatalog, strSchema, strTable, bDateType);
    if (!m_data.GetLastError().isEmpty()) {
        // A cancel ends the table as a cancelled count does; any other
        // failure: the statements one by one say what they can.
        if (!m_data.LastFailureCancelled())
            return false;
        figures.strError = m_data.GetLastError();
        return true;
    }
    if (strColumn.isEmpty()) {
        figures.nCount = CountRows(strCatalog, strSchema, strTable);
        figures.strError = m_data.GetLastError();
        return true;
    }
    bool bCancelled = false;
    CStatDate date;
    const qint64 nCount = m_data.RunStatement(qint64(-1), [&](CStatement& statement) {
        try {
            statement.ExecDirect(QStringLiteral("SELECT COUNT(*), ") + UpmjSelectList(QuotedColumn(strColumn), bDateType)
                                 + QStringLiteral(" FROM ") + QualifiedTable(strCatalog, strSchema, strTable));
            NumberColumn count;
            UpmjDateColumns dateColumns;
            BindNumber(m_data, statement, 1, count);
            dateColumns.Bind(m_data, statement, 2, bDateType);
            if (!statement.Fetch() || count.IsNull())
                return qint64(-1);
            date = dateColumns.Date(bDateType);
            return qint64(count.nValue);
        } catch (const CDBException& error) {
            bCancelled = error.HasState(QStringLiteral("HY008"));
            throw;
        }
    });
    if (bCancelled) {
        figures.strError = m_data.GetLastError();
        return true;
    }
    // Any other failure, or an answer without a count: the count alone, then
    // the date, tell which of them fails and how.
    if (nCount < 0)
        return false;
    figures.nCount = nCount;
    if (nCount > 0 && date.IsValid())
        figures.strDate = FormatStatDate(date.GetDate(), m_options.m_dateLocale);
    return true;
}

bool CTableStatistics::AppendTableLine(const QString& strPath, const QString& strCatalog, const QString& strSchema,
                                       const QString& strTable, const TableFigures& figures)
{
    QString strLine = QualifiedTable(strCatalog, strSchema, strTable) + u'\t' + QString::number(figures.nCount);
    if (!figures.strDate.isEmpty())
        strLine += u'\t' + figures.strDate;
    return AppendLine(strPath, LINE_STATISTICS, strLine);
}

qint64 CTableStatistics::CountRows(const QString& strCatalog, const QString& strSchema, const QString& strTable)
{
    return m_data.RunStatement(qint64(-1), [&](CStatement& statement) {
        statement.ExecDirect(QStringLiteral("SELECT COUNT(*) FROM ") + QualifiedTable(strCatalog, strSchema, strTable));
        NumberColumn count;
        BindNumber(m_data, statement, 1, count);
        return statement.Fetch() && !count.IsNull() ? qint64(count.nValue) : qint64(-1);
    });
}

void CTableStatistics::FindUpmjColumn(QString& strColumn, const QString& strCatalog, const QString& strSchema,
                                      const QString& strTable, bool& bDateType)
{
    strColumn.clear();
    bDateType = false;
    QString strFound;
    bool bFoundDateType = false;
    // Only a name ending in MJ can be the one; the catalog is asked for
    // those in each letter case, for drivers whose patterns match case.
    static const QStringList kUpmjLike = {QStringLiteral("%MJ"), QStringLiteral("%Mj"), QStringLiteral("%mJ"),
                                          QStringLiteral("%mj")};
    const bool bRead = m_data.ReadColumnsLike(strCatalog, strSchema, strTable, kUpmjLike, [&](const CColumnInfo& column) {
        if (!AsciiEqualsIgnoreCase(column.m_strName.mid(2), QStringLiteral("UPMJ")))
            return true;
        strFound = column.m_strName;
        bFoundDateType = IsDateTypeCode(short(column.m_nSqlType));
        return false;
    });
    if (!bRead)
        return;
    strColumn = strFound;
    bDateType = bFoundDateType;
}

void CTableStatistics::GetLastUpmjDate(const QString& strCatalog, const QString& strSchema, const QString& strTable,
                                       const QString& strColumn, bool bDateType, CStatDate& date)
{
    date = m_data.RunStatement(CStatDate(), [&](CStatement& statement) {
        statement.ExecDirect(QStringLiteral("SELECT ") + UpmjSelectList(QuotedColumn(strColumn), bDateType)
                             + QStringLiteral(" FROM ") + QualifiedTable(strCatalog, strSchema, strTable));
        UpmjDateColumns dateColumns;
        dateColumns.Bind(m_data, statement, 1, bDateType);
        if (!statement.Fetch())
            return CStatDate();
        return dateColumns.Date(bDateType);
    });
}

void CTableStatistics::GetMaxFieldValue(const QString& strCatalog, const QString& strSchema,
                                        const QString& strTable, const QString& strField, QString& strText)
{
    strText.clear();
    if (CheckDateExpression(strField) != 0)
        return;
    strText = m_data.RunStatement(QString(), [&](CStatement& statement) {
        statement.ExecDirect(QStringLiteral("SELECT MAX(") + strField + QStringLiteral(") FROM ")
                             + QualifiedTable(strCatalog, strSchema, strTable));
        CTextBuffer value;
        statement.BindText(1, value);
        return statement.Fetch() ? value.Text() : QString();
    });
}

int CTableStatistics::ClosingLineKind() const
{
    return LINE_NO_HEADER;
}
