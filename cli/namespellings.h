#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// The names by which a command-line argument may name an item (a table, a
// schema). The exact spelling wins; failing that, where letter case does
// not count, a spelling that differs only by the case of its ASCII letters
// (PostgreSQL folds plain names to lower case, JDE writes them in upper
// case). Several items answering, and none exactly, make the name
// ambiguous: the caller says so.
class CNameSpellings
{
public:
    CNameSpellings() = default;
    // Item i spelled arrNames[i].
    explicit CNameSpellings(const QStringList& arrNames);

    void Add(int nItem, const QString& strSpelling);

    // The items strName names, each once, in the order they were added.
    QList<int> Find(const QString& strName, bool bCaseBlind = true) const;

private:
    QList<QPair<int, QString>> m_spellings;
};
