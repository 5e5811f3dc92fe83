#pragma once

#include <QString>

#include <memory>
#include <vector>

// One column of a table, as the driver's column catalog returns it.
class CColumnInfo
{
public:
    CColumnInfo() = default;
    CColumnInfo(const QString& strName, int nSqlType, const QString& strTypeName, int nSize);
    virtual ~CColumnInfo() = default;

    // 0: name; 1: the driver's type name, with "(size)" for the sized types.
    QString GetColumnText(int nColumn) const;
    // strSearch is already in lower case.
    bool MatchesSearch(const QString& strSearch) const;

    QString m_strName;
    int m_nSqlType = 0;
    QString m_strTypeName;
    int m_nSize = 0;
};

using CColumnInfoArray = std::vector<std::unique_ptr<CColumnInfo>>;
