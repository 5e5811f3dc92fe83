#pragma once

#include <QString>

class CStatOptions;

// Line kinds of the result writer.
enum ResultLineKind : int
{
    LINE_DECIMAL_UPDATE = 1,  // no header
    LINE_STATISTICS = 2,      // header before the first line of a new file
    LINE_NO_HEADER = 99,      // statistics cancel line and write test
};

// Writes the lines of the tools' result files: UTF-16 little-endian, a
// byte-order mark and the kind's header at the start of a new file, CR LF
// after each line. Each line opens and closes the file, so another program
// may read it between lines.
class CResultLineWriter
{
public:
    static constexpr int kOpenRetryMs = 1000;

    explicit CResultLineWriter(const CStatOptions& statOptions);

    // Appends strText and CR LF to strPath (an empty text only creates the
    // file). An open that fails is retried for one second. False when the
    // path is empty, the file cannot be opened, or the line cannot be
    // written completely; the file then keeps its former length, and
    // pstrError (when given) receives the system's reason.
    bool AppendResultLine(int nLineKind, const QString& strPath, const QString& strText,
                          QString* pstrError = nullptr) const;

    // The header of a line kind, CR LF included; empty for kinds without one.
    QString GetResultHeader(int nLineKind) const;

private:
    const CStatOptions& m_statOptions;
};
