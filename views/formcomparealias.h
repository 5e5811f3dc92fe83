#pragma once

#include "views/formcompare.h"

class CAliasComparison;
class CZembraParam;

// The aliases of an alias comparison: the name and the compared
// attributes under a band of two-line captions.
class CFormCompareAlias : public CFormCompare
{
    Q_OBJECT

public:
    CFormCompareAlias(CAliasComparison& result, CZembraParam& options, const CompareTitles& titles,
                      QWidget* pParent = nullptr);

    int GetItemTotal() const override;
    int GetItemStatus(int nItem) const override;
    std::vector<int> ReadItemStatuses() const override;
    QString GetItemText(int nItem, int nColumn) const override;
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
    bool IsListable(int nStatus) const override;

private:
    CAliasComparison& m_result;
    CZembraParam& m_options;
};
