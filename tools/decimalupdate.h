#pragma once

#include "tools/tablegenerator.h"

// Writes, for one data-dictionary alias or for every alias of a class, one
// UPDATE statement per table whose columns store it, multiplying or dividing
// them by a power of ten. The statements are written, never executed.
class CDecimalUpdate : public CTableGenerator
{
public:
    using CTableGenerator::CTableGenerator;

    void GenerateDecimalUpdate(const QString& strPath, bool bByAlias, const QString& strName, bool bMultiply,
                               int nPower, CMessageTarget* pDlg);

    // The aliases of a class, in the order the dictionary returns them;
    // empty without a located dictionary, on an error or on a cancel.
    void GetClassAliases(const QString& strClass, QStringList& arrAliases, CMessageTarget* pDlg, bool& bCancel);

    // The statements of the selected schemas, the blocks of two schemas
    // apart by two empty lines, then the closing line of a cancel or of a
    // run that changed nothing. False when a database error stopped it.
    bool WriteDecimalUpdates(const QString& strPath, const CRegisteredTables& registered,
                             const QStringList& arrAliases, bool bMultiply, int nPower, CMessageTarget* pDlg,
                             bool& bCancel);

    // The statement of one table, when it has matching columns. False after
    // a database error (shown) or when the column listing itself failed.
    bool WriteTableUpdate(const QString& strCatalog, const QString& strSchema, const QString& strTable,
                          const QString& strPath, const QStringList& arrAliases, bool bMultiply, int nPower,
                          int& nModified);

    QString MakeUpdateStatement(const QString& strCatalog, const QString& strSchema, const QString& strTable,
                                const QStringList& arrColumns, bool bMultiply, int nPower) const;

    // A column stores an alias when its name without the two-character
    // table prefix is the alias, ASCII letter case aside.
    static bool ColumnStoresAlias(const QString& strColumn, const QString& strAlias);

    // Text of the database error box: the driver's text cut to 254 characters.
    static QString FormatDatabaseError(const QString& strError);
};
