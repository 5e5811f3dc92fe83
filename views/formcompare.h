#pragma once

#include "app/messagetarget.h"
#include "views/dlgparams.h"
#include "views/listitemsource.h"
#include "views/zembraformview.h"

#include <QByteArray>
#include <QFont>
#include <QRect>

#include <vector>

class CColorCheckButton;
class CCompareListCtrl;
class QLineEdit;

// The base of the comparison result forms: the four coloured filter boxes
// with their counters, the search, the result list (which keeps only item
// numbers and asks the form for every text) and the export button. The
// derived forms say what their items are and read them from the result
// file on demand.
class CFormCompare : public CZembraFormView, public IListItemSource, public CMessageTarget
{
    Q_OBJECT

public:
    static constexpr int kStatusCount = 4;
    static constexpr int kHeaderBandHeight = 35;

    explicit CFormCompare(const CompareTitles& titles, QWidget* pParent = nullptr);
    ~CFormCompare() override;

    CCompareListCtrl* GetList() const { return m_pList; }
    CColorCheckButton* GetFilter(int nStatus) const;
    QLineEdit* GetSearchEdit() const { return m_pSearch; }
    const CompareTitles& GetTitles() const { return m_titles; }
    // The item of the selected row, or -1.
    int GetSelectedItem() const;

    // Search: the next row after the selected one whose item matches,
    // wrapping around; a beep when the text is empty or nothing matches.
    void FindNext();
    // Enter in the search field searches; true when the key was used.
    bool HandleKeyDown(int nKey);

    // Number of items of the result (the list shows a filtered subset).
    virtual int GetItemTotal() const = 0;
    virtual int GetItemStatus(int nItem) const = 0;
    // Every item's status at once; by default GetItemStatus of each.
    virtual std::vector<int> ReadItemStatuses() const;
    virtual bool HasFilter(int nStatus) const;
    virtual bool HasDetails() const;
    virtual bool CanShowDetails(int nItem) const;
    // strLower: the search text in lower case (A to Z only).
    virtual bool MatchesSearch(int nItem, const QString& strLower) const = 0;
    virtual int GetCounterStringId() const = 0;
    virtual int GetCount(int nStatus) const = 0;
    // Height of the band of column captions above the list, 0 for none.
    virtual int GetHeaderBandHeight() const;
    // The captions of the band (one or two lines per column), none without
    // a band; they also name the list's columns for assistive technologies.
    virtual QList<QStringList> GetColumnCaptions() const;

    // Rebuilds the rows: every item with bAll, else the items whose
    // status box is checked; the order is the result's.
    void FillList(bool bAll);

    QWidget* GetExportButton() const override;
    void RecalcLayout(int cx, int cy) override;

    // The status of an item as read when the list was first filled.
    int GetListedStatus(int nItem) const;

    // IListItemSource: the image of an item is its status, which its
    // description says in words.
    int GetItemImage(int nItem) const override;
    QString GetItemDescription(int nItem) const override;

    // CMessageTarget: a filter box was toggled.
    qintptr SendMessage(unsigned nMessage, qintptr wParam, qintptr lParam) override;
    void PostMessage(unsigned nMessage, qintptr wParam, qintptr lParam) override;

    QRect GetFilterFrame() const { return m_rcFilterFrame; }
    int GetSeparatorY() const { return m_nSeparatorY; }

signals:
    // Show differences was asked for this item (a different table).
    void showDetailsRequested(int nItem);

protected:
    void OnInitialUpdate() override;
    QWidget* CreateControl(const ControlTemplate& control, QWidget* pParent) override;
    void OnCommand(int nId) override;
    void OnDraw(QPainter& painter) override;

    virtual void InsertColumns();
    virtual void SizeColumns();
    // Whether an item of this status has a row at all (an empty alias
    // slot has none).
    virtual bool IsListable(int nStatus) const;
    // Columns 1 .. n sized by weights (index 0: the name column, clamped
    // to 60 .. 200); weight 0 hides a column.
    void SizeWeightedColumns(const QList<int>& arrWeights);
    // Paints the header band: captions of one or two lines per column.
    void DrawHeaderBand(QPainter& painter, const QList<QStringList>& arrCaptions);

private:
    void OnFilterToggled();
    void OnShowDetails();
    void UpdateDetailsButton();
    void SetCounterCaptions();

    CompareTitles m_titles;
    CColorCheckButton* m_pFilters[kStatusCount] = {nullptr, nullptr, nullptr, nullptr};
    QLineEdit* m_pSearch = nullptr;
    CCompareListCtrl* m_pList = nullptr;
    QFont m_fontBold;
    QRect m_rcFilterFrame;
    int m_nSeparatorY = -1;
    // The status of every item, read once: the filters of a large result
    // then read no file, while every text is still read when shown.
    QByteArray m_arrStatus;
};
