// CDBData: the JDE data dictionary (F9210 or F9201), read row by row for the
// alias comparison.

#include "db/dbdata.h"

#include "compare/aliascompareinfo.h"
#include "db/asciitext.h"
#include "db/catalogrow.h"
#include "db/dictionaryconsumer.h"
#include "db/schemakey.h"
#include "db/sqltext.h"

#include <stdexcept>

bool CDBData::ReadDataDictionary(int nPhase, const QList<int>& arrWidths, QStringList* pAliasList,
                                 IDictionaryConsumer& consumer, CMessageTarget* pDlg, bool& bCancel)
{
    // Unconnected, RunStatement refuses to run and says so in GetLastError.
    const bool bDetail = nPhase == 3 || nPhase == 4;
    QString strSql = QStringLiteral("SELECT FRDTAI");
    if (bDetail) {
        strSql += QStringLiteral(", FRDTAT, FRDTAS, ")
                  + (HasOwtpColumn() ? QStringLiteral("FROWTP") : QStringLiteral("''"))
                  + QStringLiteral(", FRDTAD, FRCDEC");
    }
    strSql += QStringLiteral(" FROM ") + QualifyInSchema(m_strDDTable) + QStringLiteral(" ORDER BY FRDTAI");

    return RunStatement(false, [&](CStatement& statement) {
        statement.ExecDirect(strSql);

        // A phase or widths the reading cannot use is the caller's error; it
        // ends the reading like a database error.
        const int nWidths = bDetail ? 4 : 1;
        if ((nPhase < 1 || nPhase > 4) || arrWidths.size() < nWidths)
            throw std::invalid_argument("data dictionary phase or widths");
        for (int i = 0; i < nWidths; ++i) {
            if (arrWidths.at(i) < 0)
                throw std::invalid_argument("negative data dictionary width");
        }

        CTextBuffer alias(arrWidths.at(0) + 1);
        statement.BindText(1, alias);
        if (!bDetail) {
            while (!bCancel && statement.Fetch())
                consumer.OnDictionaryRow(nPhase, alias.Text(), pAliasList, nullptr, pDlg, bCancel);
            return true;
        }

        CTextBuffer dtat(arrWidths.at(1) + 1);
        CTextBuffer owtp(arrWidths.at(2) + 1);
        CTextBuffer cdec(arrWidths.at(3) + 1);
        SQLINTEGER nDtas = 0;
        SQLSMALLINT nDtad = 0;
        statement.BindText(2, dtat);
        statement.BindLong(3, nDtas);
        statement.BindText(4, owtp);
        statement.BindShort(5, nDtad);
        statement.BindText(6, cdec);
        while (!bCancel) {
            nDtas = 0;   // a NULL number reads as 0
            nDtad = 0;
            if (!statement.Fetch())
                break;
            auto pInfo = std::make_unique<CAliasCompareInfo>(nPhase == 3, dtat.Text(), int(nDtas), owtp.Text(),
                                                             std::int16_t(nDtad), cdec.Text());
            consumer.OnDictionaryRow(nPhase, alias.Text(), nullptr, std::move(pInfo), pDlg, bCancel);
        }
        return true;
    });
}

int CDBData::GetAliasSize(const QString& strItem)
{
    if (m_strDDTable.isEmpty())
        return -1;
    return RunStatement(-1, [&](CStatement& statement) {
        statement.BindParameter(1, strItem);
        statement.ExecDirect(QStringLiteral("SELECT FRDTAS FROM ") + QualifyInSchema(m_strDDTable)
                             + QStringLiteral(" WHERE FRDTAI=?"));
        SQLUINTEGER nSize = 0;
        statement.BindULong(1, nSize);
        return statement.Fetch() ? int(nSize) : -1;
    });
}

bool CDBData::HasOwtpColumn()
{
    // Look in the table that is read: where the catalog scan found it, or
    // else in the schema shown (never in a namesake elsewhere).
    QString strCatalog = m_strDDCatalog;
    QString strOwner = m_strDDOwner;
    if (strCatalog.isEmpty() && strOwner.isEmpty())
        SplitSchemaKey(m_strSchema, strCatalog, strOwner);
    const QString strColumn = QStringLiteral("FROWTP");

    return RunStatement(false, [&](CStatement& statement) {
        // All columns are read and the name compared without letter case:
        // a database that folds names (PostgreSQL: frowtp) would not match
        // the pattern "FROWTP".
        bool bFound = false;
        ReadTableColumns(statement, m_strSearchEscape, strCatalog, strOwner, m_strDDTable,
                         [&](const CColumnInfo& column) {
                             bFound = AsciiEqualsIgnoreCase(column.m_strName, strColumn);
                             return !bFound;
                         });
        return bFound;
    });
}
