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

    // True when the run ended on an error (a database error or a line that
    // could not be written): whatever file it left is no finished result.
    bool Failed() const { return m_bLineFailed || m_bDatabaseFailed; }

    // Text of the database error box: the driver's text cut to 254 characters.
    static QString FormatDatabaseError(const QString& strError);

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

    // A whole run: a statement that cannot even be allocated ends it as a
    // database error.
    void RunGuarded(const QString& strPath, const std::function<void()>& run);

    // The start of both runs: the progress range (the table-list reload
    // steps the first half, the generator the second), then, unless
    // cancelled, the registered tables and the selected schemas' tables.
    // False when the table lists could not be read (the error is reported).
    void SetRangeForTables(CTaskProgress& progress);
    bool ReadSelectedTables(const QString& strPath, CRegisteredTables& registered, CMessageTarget* pDlg,
                            bool& bCancel);

    // Runs a query of one text column, with its values bound to the "?" of
    // the text: the cancel question after the execution and after every
    // row; each value trimmed. False on a database error or a cancel seen
    // right after the execution (the interface may have stopped the
    // statement itself, so a failure asks the question too).
    bool ReadTextColumn(const QString& strSql, const QStringList& arrParameters, CTaskProgress& progress,
                        bool& bCancel, const std::function<void(const QString&)>& onValue);

    // After a failed statement: whether it failed because the user
    // cancelled (the interface stops the running statement on a cancel).
    static bool CancelledMeanwhile(CTaskProgress& progress, bool& bCancel);

    // Whether the server still answers, after a statement of the table
    // failed: one catalog call about it. A dropped connection fails it too.
    bool ConnectionAnswers(const QString& strCatalog, const QString& strOwner, const QString& strTable);

    // A database error ends the run: the driver's text in the error box,
    // and a file already begun gets the line that says the run stopped
    // there, so that nobody takes it for a whole result later. A run that
    // wrote nothing leaves no file.
    void FailOnDatabaseError(const QString& strPath, const QString& strError);

    // The line kind of the closing lines (cancel, database error).
    virtual int ClosingLineKind() const = 0;

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
    bool m_bDatabaseFailed = false;
};
