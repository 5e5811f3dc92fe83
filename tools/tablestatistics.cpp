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
    const bool bRead = m_data.ReadColumns(strCatalog, strSchema, strTable, [&](const CColumnInfo& column) {
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
    const QString strMax = QStringLiteral("MAX(") + QuotedColumn(strColumn) + u')';
    const QString strFrom = QStringLiteral(" FROM ") + QualifiedTable(strCatalog, strSchema, strTable);
    date = m_data.RunStatement(CStatDate(), [&](CStatement& statement) {
        if (!bDateType) {
            statement.ExecDirect(QStringLiteral("SELECT ") + strMax + strFrom);
            NumberColumn julian;
            BindNumber(m_data, statement, 1, julian);
            if (!statement.Fetch())
                return CStatDate();
            return julian.IsNull() ? CStatDate::NullDate() : JulianToDate(julian.nValue);
        }
        // The escapes are ODBC's own: each driver turns them into its
        // database's date functions (PostgreSQL has no YEAR()).
        statement.ExecDirect(QStringLiteral("SELECT {fn YEAR(") + strMax + QStringLiteral(")}, {fn MONTH(") + strMax
                             + QStringLiteral(")}, {fn DAYOFMONTH(") + strMax + QStringLiteral(")}") + strFrom);
        NumberColumn year;
        NumberColumn month;
        NumberColumn day;
        BindNumber(m_data, statement, 1, year);
        BindNumber(m_data, statement, 2, month);
        BindNumber(m_data, statement, 3, day);
        if (!statement.Fetch())
            return CStatDate();
        if (year.IsNull() || month.IsNull() || day.IsNull())
            return CStatDate::NullDate();
        return CStatDate::FromYmd(year.nValue, month.nValue, day.nValue);
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
