#pragma once

#include "views/formcompare.h"

class CTableComparison;
class CZembraParam;

// The tables of a table comparison, with show-differences for a
// different table.
class CFormCompareTable : public CFormCompare
{
    Q_OBJECT

public:
    CFormCompareTable(CTableComparison& result, CZembraParam& options, const CompareTitles& titles,
                      QWidget* pParent = nullptr);

    int GetItemTotal() const override;
    int GetItemStatus(int nItem) const override;
    QString GetItemText(int nItem, int nColumn) const override;
    bool HasDetails() const override;
    bool CanShowDetails(int nItem) const override;
    bool MatchesSearch(int nItem, const QString& strLower) const override;
    int GetCounterStringId() const override;
    int GetCount(int nStatus) const override;

    bool PrepareExport() override;
    QString GetExportName() const override;
    bool WriteExport(CExportFile& file) override;

private:
    CTableComparison& m_result;
    CZembraParam& m_options;
};
