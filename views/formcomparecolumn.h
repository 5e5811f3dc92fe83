#pragma once

#include "views/formcompare.h"

class CTableComparison;
class CZembraParam;

// The fields of one different table; with SQL types compared, five
// columns under a band of captions and a filter for different fields.
class CFormCompareColumn : public CFormCompare
{
    Q_OBJECT

public:
    CFormCompareColumn(CTableComparison& result, CZembraParam& options, int nTable, const CompareTitles& titles,
                       QWidget* pParent = nullptr);

    int GetTable() const { return m_nTable; }
    bool HasSqlTypes() const { return m_bSqlTypes; }

    int GetItemTotal() const override;
    int GetItemStatus(int nItem) const override;
    QString GetItemText(int nItem, int nColumn) const override;
    bool HasFilter(int nStatus) const override;
    bool MatchesSearch(int nItem, const QString& strLower) const override;
    int GetCounterStringId() const override;
    int GetCount(int nStatus) const override;
    int GetHeaderBandHeight() const override;
    QList<QStringList> GetColumnCaptions() const override;

    bool PrepareExport() override;
    QString GetExportName() const override;
    bool WriteExport(CExportFile& file) override;

protected:
    void SizeColumns() override;

private:
    CTableComparison& m_result;
    CZembraParam& m_options;
    int m_nTable;
    bool m_bSqlTypes;
    qint64 m_nPosition = 0;
    int m_nFieldCount = 0;
    qint16 m_nNameLen = 0;
    qint16 m_nTypeLen = 0;
    int m_anCount[kStatusCount] = {0, 0, 0, 0};
};
