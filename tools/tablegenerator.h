#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <functional>

class CDBData;
class CMessageTarget;
class CPrompt;
class CRegisteredTables;
class CResultLineWriter;
class CStatement;
class CTaskProgress;

// What the two generators of the main dialog share: the registered tables,
// the visit of the selected schemas, the catalog's columns of a table and
// the result lines. They run on the tools database, on the worker thread of
// the wait dialog, and ask the user through the prompt.
class CTableGenerator
{
public:
    CTableGenerator(CDBData& data, const CResultLineWriter& writer, CPrompt& prompt);
    virtual ~CTableGenerator() = default;

    CTableGenerator(const CTableGenerator&) = delete;
    CTableGenerator& operator=(const CTableGenerator&) = delete;

    // Tables registered in the object librarian (F9860 'TBLE', or F9801
    // 'PF'); left empty, so that nothing is filtered out, when there is no
    // object librarian, when it cannot be read or on a cancel.
    void GetRegisteredTables(CRegisteredTables& registered, CMessageTarget* pDlg, bool& bCancel);

    // True once a result line could not be written: the run stopped there.
    bool LineFailed() const { return m_bLineFailed; }

protected:
    // A selected schema of the run, visited in the key order of the
    // selection; the table list is the connection's own (its elements are
    // the names whose address goes to the dialog).
    struct SelectedSchema
    {
        QString strCatalog;
        QString strOwner;
        const QStringList* pTables;
    };
    QList<SelectedSchema> SelectedSchemas() const;

    // The start of both runs: the progress range (the table-list reload
    // steps the first half, the generator the second), then, unless
    // cancelled, the registered tables and the selected schemas' tables.
    void SetRangeForTables(CTaskProgress& progress);
    void ReadSelectedTables(CRegisteredTables& registered, CMessageTarget* pDlg, bool& bCancel);

    // Runs a query of one text column: the cancel question after the
    // execution and after every row; each value trimmed. False on a
    // database error or a cancel seen right after the execution.
    bool ReadTextColumn(const QString& strSql, CTaskProgress& progress, bool& bCancel,
                        const std::function<void(const QString&)>& onValue);

    // The catalog's columns of one table: name (trimmed) and ODBC 2 type
    // code. The table and owner go in as escaped patterns and the rows are
    // checked, so "F0101_X" never brings in the columns of "F0101AX". False
    // when the catalog call fails; a failure while reading raises.
    bool ListColumns(CStatement& statement, const QString& strCatalog, const QString& strOwner,
                     const QString& strTable, const std::function<bool(const QString&, short)>& onColumn);

    // Appends a result line. A line that cannot be written is reported once
    // and stops the run: going on would leave a file that looks complete.
    bool AppendLine(const QString& strPath, int nLineKind, const QString& strText);

    QString QualifiedTable(const QString& strCatalog, const QString& strOwner, const QString& strTable) const;
    QString QuotedColumn(const QString& strColumn) const;

    CDBData& m_data;
    const CResultLineWriter& m_writer;
    CPrompt& m_prompt;

private:
    bool m_bLineFailed = false;
};
