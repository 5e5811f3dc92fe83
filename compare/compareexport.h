#pragma once

#include <QString>

class CAliasComparison;
class CExportFile;
class CTableComparison;
class CZembraParam;

// The semicolon-separated exports of the comparison results. Each starts
// with the status legend; the titles are those of the left and right
// databases (GetDatabaseTitle). Every writer returns true when the file is
// complete, false when writing failed (CExportFile tells why).

// "=", ">", "<", "<>" for statuses 0 to 3; empty for any other.
QString GetStatusSymbol(int nStatus);

// One line per status word, then three empty lines.
void WriteStatusLegend(CExportFile& file, const QString& strLeftTitle, const QString& strRightTitle);

// The tables of the statuses chosen by options 3 to 6 and, for a different
// table, its fields of the statuses chosen by options 7 to 10.
bool WriteTableExport(CExportFile& file, const CZembraParam& options, const CTableComparison& result,
                      const QString& strLeftTitle, const QString& strRightTitle);

// The fields of different table nTable chosen by options 11 to 14; with
// bSqlTypes also the SQL type, size and both driver type names.
bool WriteFieldExport(CExportFile& file, const CZembraParam& options, const CTableComparison& result, int nTable,
                      bool bSqlTypes, const QString& strLeftTitle, const QString& strRightTitle);

// Two header lines (codes, then "Alias" and descriptions), then the aliases
// chosen by options 15 to 18 with the attributes compared (options 19 to 23).
bool WriteAliasExport(CExportFile& file, const CZembraParam& options, const CAliasComparison& result,
                      const QString& strLeftTitle, const QString& strRightTitle);
