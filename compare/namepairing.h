#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// One entry of the merged list of two sides' names: the index of the name
// in each side's list, -1 for a side that lacks it.
struct CNamePair
{
    int nLeft = -1;
    int nRight = -1;
};

// Pairs the names of two sides (tables of two schemas, fields of two
// tables) under the name rule of the comparisons (CompareNames):
//   - a name's partner is the other side's name of the very same spelling;
//   - failing that, case-blind, a name that differs from it only by letter
//     case: among several, the names pair in code-unit order;
//   - each name is used once, so two names of one side that differ only by
//     case (F0101 and f0101, legal on PostgreSQL and MariaDB) are each
//     compared with a partner of their own, or stand alone.
// Every name of both lists appears in exactly one pair. The pairs come in
// the order of the merged list: sorted under the rule, and names equal under
// it by the code units of the name shown (the left one of a pair). The cost
// is that of sorting both lists.
std::vector<CNamePair> PairNames(const QStringList& arrLeft, const QStringList& arrRight, bool bCase);
