#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

// One index of a table: its name and key columns in key order. An index
// spans one list row per key column, its name shown on the first.
class CIndexInfo
{
public:
    CIndexInfo() = default;
    explicit CIndexInfo(const QString& strName) : m_strName(strName) {}
    virtual ~CIndexInfo() = default;

    void AddColumn(const QString& strColumn, bool bAscending);

    // Column 0: index name (row 0 only); 1: key column; 2: its order.
    QString GetColumnText(int nRow, int nColumn) const;
    // strSearch is already in lower case.
    bool MatchesSearch(int nRow, const QString& strSearch) const;

    QString m_strName;
    QStringList m_arrColumns;
    QList<bool> m_arrAscending;
};

using CIndexInfoArray = std::vector<std::unique_ptr<CIndexInfo>>;
