#pragma once

#include "db/columninfo.h"
#include "db/indexinfo.h"
#include "views/listitemsource.h"
#include "views/zembraformview.h"

class CDBData;
class CTabCtrlEx;
class CTableStructFrm;
class CZembraListCtrl;
class QLabel;
class QLineEdit;

// The only view of a table structure window: the side's data source, and
// on two tabs the table's fields (name, type) and its indexes (one row per
// key column, the index name on its first row only, the order), each with
// the search, and the export of both to a file.
class CFormTableStruct : public CZembraFormView
{
    Q_OBJECT

public:
    explicit CFormTableStruct(CTableStructFrm& frame);
    ~CFormTableStruct() override;

    // False when the fields or indexes could not be read; GetReadError
    // then tells the driver's reason.
    bool IsStructureRead() const { return m_bStructureRead; }
    const QString& GetReadError() const { return m_strReadError; }
    // The side's title (data source and schema) as it was when the window
    // opened: the label and the export's name keep naming the database
    // the structure was read from.
    const QString& GetDatabaseTitle() const { return m_strDatabaseTitle; }
    // The index a row of the index list belongs to and the row's position
    // among its key columns; null and -1 beyond the last row.
    const CIndexInfo* FindIndexRow(int nRow, int& nPosition) const;
    // The search on the list of the current tab.
    void FindNext();
    // Enter in the search field searches; true when the key was used.
    bool HandleKeyDown(int nKey);
    // The list of the current tab.
    CZembraListCtrl* GetCurrentList() const;

    QWidget* GetExportButton() const override;
    void RecalcLayout(int cx, int cy) override;
    bool PrepareExport() override;
    QString GetExportName() const override;
    bool WriteExport(CExportFile& file) override;

    QLabel* m_stcIcon = nullptr;
    CTabCtrlEx* m_tabCtrl = nullptr;
    CZembraListCtrl* m_lstFields = nullptr;
    CZembraListCtrl* m_lstIndexes = nullptr;
    QLineEdit* m_edtFilter = nullptr;
    CColumnInfoArray m_arrFieldInfos;
    CIndexInfoArray m_arrIndexInfos;

protected:
    void OnInitialUpdate() override;
    QWidget* CreateControl(const ControlTemplate& control, QWidget* pParent) override;
    void OnCommand(int nId) override;

private:
    // The texts of the two lists, by field number and by running row.
    class FieldSource : public IListItemSource
    {
    public:
        explicit FieldSource(const CFormTableStruct& form) : m_form(form) {}
        QString GetItemText(int nItem, int nColumn) const override;
        int GetItemImage(int) const override { return -1; }

    private:
        const CFormTableStruct& m_form;
    };
    class IndexSource : public IListItemSource
    {
    public:
        explicit IndexSource(const CFormTableStruct& form) : m_form(form) {}
        QString GetItemText(int nItem, int nColumn) const override;
        // A screen reader hears the index name on each of its rows.
        QString GetItemAccessibleText(int nItem, int nColumn) const override;
        int GetItemImage(int) const override { return -1; }

    private:
        const CFormTableStruct& m_form;
    };

    void ReadStructure(CDBData* pDB);
    void ShowDatabaseTitle();
    void FillLists();
    void OnTabChange(int nTab);
    int GetIndexRowCount() const;

    CTableStructFrm& m_frame;
    QString m_strDatabaseTitle;
    bool m_bStructureRead = false;
    QString m_strReadError;
    FieldSource m_fieldSource{*this};
    IndexSource m_indexSource{*this};
};
