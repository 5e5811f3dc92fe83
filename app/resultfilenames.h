#pragma once

#include <QString>

// Kinds of tool result files.
enum ResultKind : int
{
    RESULT_TEXT = 1,  // decimal update, "txt"
    RESULT_TAB = 2,   // statistics, "csv"
};

// "csv" for RESULT_TAB, "txt" for any other kind.
QString GetResultExtension(int nKind);

// The data source name with every character other than A-Z, a-z, 0-9,
// é è ê à ç ù ö, space, "-" and "_" replaced by "_".
QString MakeFileNameFromDsn(const QString& strDsn);

// The first existing folder of: strFolder, the user's documents folder and
// the home folder (the temporary folder on a system without any of them),
// so that a proposed path never lies in a missing folder; then a separator
// unless the folder ends with one, strBaseName, ".", the extension of the kind.
QString GetDefaultResultPath(const QString& strFolder, const QString& strBaseName, int nKind);
