#pragma once

#include "views/listitemsource.h"
#include "views/zembraformview.h"

#include <QPointer>
#include <QStringList>

#include <memory>

class CConnectAttempt;
class CDBData;
class CDlgWaitCatalog;
class CZembraListCtrl;
class QComboBox;
class QLabel;
class QLineEdit;

// One side of the comparison window: the data source, its connection, the
// schema choice when the database has several, and the list of the
// schema's tables and views with its search. Connecting and reading the
// catalog run behind a wait dialog that does not block the event loop;
// a failure is told with the driver's text under the data source, and in a
// message box too when the user asked for what failed.
class CFormDBSelect : public CZembraFormView, public IListItemSource
{
    Q_OBJECT

public:
    explicit CFormDBSelect(QWidget* pParent = nullptr);
    ~CFormDBSelect() override;

    // Side 0 (left) or 1 (right): the form works on that data source object
    // and connects at once when it names a data source.
    void SetSide(int nSide);
    int GetSide() const { return m_nSide; }
    CDBData* GetDatabase() const { return m_pDB; }
    // Chooses the data source (kind 0 user, 1 system) and connects to it.
    void SelectDataSource(const QString& strName, int nKind, bool bUserAsked = true);
    // Enables or disables the data source and schema choice.
    void EnableSelection(bool bEnable);
    // The schema chosen in the combo when there are several, else empty.
    QString GetSchemaText() const;
    // The search: the next table whose name holds the search text.
    void FindNext();
    // Enter in the search field searches; true when the key was used.
    bool HandleKeyDown(int nKey);

    void UpdateControls(bool bKeepTables);
    void ShowTableControls(bool bShow);
    void AdjustColumnWidth();
    void RecalcLayout(int cx, int cy) override;

    // A connection or a catalog read is running behind its wait dialog.
    bool IsBusy() const;
    // Gives up the work that runs and waits for its worker; the window goes.
    void StopWork();
    // Why the side shows no table list (the driver's text), or empty.
    const QString& GetStatusText() const { return m_strStatus; }
    // The name and kind (view or table) of the selected row; false for none.
    bool GetSelectedTable(QString& strTable, bool& bView) const;

    // IListItemSource: the side's tables, by their index in its table list.
    QString GetItemText(int nItem, int nColumn) const override;
    int GetItemImage(int nItem) const override;

    int m_nSide = -1;
    CDBData* m_pDB = nullptr;
    int m_nSepY = -1;
    QLabel* m_stcIcon = nullptr;
    QStringList m_arrSchemas;
    QComboBox* m_cbSchema = nullptr;
    bool m_bConnecting = false;
    CZembraListCtrl* m_lstTables = nullptr;
    QLineEdit* m_edtFilter = nullptr;

signals:
    // The structure window of a table was asked for (button 5015 or a
    // double click on its row), and opened when its structure was read.
    void showStructureRequested(int nSide, const QString& strTable, bool bView);
    // A connection or catalog read has ended, whatever came of it.
    void workFinished();

protected:
    void OnInitialUpdate() override;
    QWidget* CreateControl(const ControlTemplate& control, QWidget* pParent) override;
    void OnCommand(int nId) override;
    void OnDraw(QPainter& painter) override;

private:
    void OnDataSource();
    void OnConnect(bool bUserAsked);
    void OnSchemaChange(int nItem);
    void OnShowStructure();
    void StartWork(CDlgWaitCatalog* pWait, bool bUserAsked);
    void OnWorkEnded();
    void TakeSchemas(const CDlgWaitCatalog& wait);
    QString FailureText(const CDlgWaitCatalog& wait) const;
    void ShowDataSourceName();
    void ClearTables();
    void UpdateStructureButton();
    void ReleaseAttempt();

    QLabel* m_stcStatus = nullptr;
    QString m_strStatus;
    bool m_bReportFailure = false;
    std::unique_ptr<CConnectAttempt> m_pAttempt;
    QPointer<CDlgWaitCatalog> m_pWait;
};
