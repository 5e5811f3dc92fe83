#pragma once

#include <QString>
#include <QStringList>

// The name comparison rule of the comparisons: with bCase, UTF-16 code
// units; without, _wcsicmp in the "C" locale (A-Z folded to a-z, then code
// units), so "_" sorts before every letter. Negative, 0 or positive.
int CompareNames(const QString& a, const QString& b, bool bCase);

// Lists of names kept sorted under the rule in force.

// Appends when the name does not sort before the last entry (the usual case
// for a catalog or dictionary read in order), else inserts it in place.
void AddSorted(QStringList& arrNames, const QString& strName, bool bCase);
// Inserts behind any equal entries.
void InsertSorted(QStringList& arrNames, const QString& strName, bool bCase);
// Index of an entry equal to the name, or -1.
int BinarySearch(const QStringList& arrNames, const QString& strName, bool bCase);
