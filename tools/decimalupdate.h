#pragma once

#include "tools/tablegenerator.h"

#include <QSet>

// Writes, for one data-dictionary alias or for every alias of a class, one
// UPDATE statement per table whose columns store it, multiplying or dividing
// them by a power of ten. The statements are written, never executed.
class CDecimalUpdate : public CTableGenerator
{
public:
    using CTableGenerator::CTableGenerator;

    void GenerateDecimalUpdate(const QString& strPath, bool bByAlias, const QString& strName, bool bMultiply,
                               int nPower, CMessageTarget* pDlg);

    // The aliases of a class, in the order the dictionary returns them; the
    // class reaches the server as a bound value, never inside the SQL text.
    // Empty without a located dictionary or on a cancel. False when the
    // query failed (GetLastError of the data source tells why).
    bool GetClassAliases(const QString& strClass, QStringList& arrAliases, CMessageTarget* pDlg, bool& bCancel);

    // The statements of the selected schemas, the blocks of two schemas
    // apart by two empty lines, then the closing line of a cancel or of a
    // run that changed nothing. False when an error stopped it (shown).
    bool WriteDecimalUpdates(const QString& strPath, const CRegisteredTables& registered,
                             const QStringList& arrAliases, bool bMultiply, int nPower, CMessageTarget* pDlg,
                             bool& bCancel);

    // The statement of one table, when it has matching columns. False when
    // its columns could not be read (GetLastError of the data source tells
    // why) or its line could not be written (LineFailed, already shown).
    bool WriteTableUpdate(const QString& strCatalog, const QString& strSchema, const QString& strTable,
                          const QString& strPath, const QStringList& arrAliases, bool bMultiply, int nPower,
                          int& nModified);

    QString MakeUpdateStatement(const QString& strCatalog, const QString& strSchema, const QString& strTable,
                                const QStringList& arrColumns, bool bMultiply, int nPower) const;

protected:
    int ClosingLineKind() const override;

private:
    // A column stores an alias when its name without the two-character
    // table prefix is the alias, ASCII letter case aside: the aliases as
    // keys (empty ones left out, since they would claim every
    // two-character column), made once for a whole run, and a column's key.
    static QSet<QString> AliasKeys(const QStringList& arrAliases);
    static QString ColumnKey(const QString& strColumn);
    bool WriteTableUpdate(const QString& strCatalog, const QString& strSchema, const QString& strTable,
                          const QString& strPath, const QSet<QString>& aliasKeys, bool bMultiply, int nPower,
                          int& nModified);
};
