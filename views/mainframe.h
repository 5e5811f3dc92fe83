#pragma once

#include "app/comparisonwindow.h"

#include <QWidget>

class CBaseSplitWnd;
class CCompareLauncher;
class CDBListSplitWnd;
class CFormDBSelect;
class CFormGen;

// The comparison window: the two database selection forms side by side in
// equal halves above the launcher row, in splitters whose bars cannot be
// moved. It is modal over the whole application without a loop of its
// own, remembers its placement, and on every way out gives the main
// dialog back.
class CMainFrame : public QWidget, public IComparisonWindow
{
    Q_OBJECT

public:
    static constexpr int kMinWidth = 650;
    static constexpr int kMinHeight = 400;
    static constexpr int kDefaultLauncherHeight = 77;

    // The window of pOwner's dialog (the main dialog); it is built at once.
    explicit CMainFrame(QWidget* pOwner);
    ~CMainFrame() override;

    // Restores the placement, shows the window, records it in the
    // application object and then connects the sides that name a data
    // source (the left one taking the main dialog's when it has none).
    void Open();

    CFormDBSelect* GetDBForm(int nSide) const;
    CFormGen* GetLauncher() const { return m_pLauncher; }
    // The comparisons started from the launcher and their result windows.
    CCompareLauncher* GetCompareLauncher() const { return m_pCompareLauncher; }
    CBaseSplitWnd* GetSplitter() const { return m_pSplitter; }
    CDBListSplitWnd* GetDBSplitter() const { return m_pDBSplitter; }
    int GetLauncherHeight() const { return m_nLauncherHeight; }

    // Heights of the database row and widths of the left form for a client
    // area of cx by cy pixels: the left form takes the smaller half, and
    // the database row gives way to the launcher row down to 0.
    static int DatabaseRowHeight(int cy, int nLauncherHeight, int nOverhead);
    static int LeftFormWidth(int cx, int nOverhead);

    // IComparisonWindow
    void EnableDBSelection(bool bEnable) override;
    void UpdateLaunchButtons() override;
    bool HandleKeyDown(int nKey) override;

signals:
    // The launcher's comparison buttons.
    void compareTablesRequested();
    void compareAliasesRequested();

protected:
    void resizeEvent(QResizeEvent* pEvent) override;
    void showEvent(QShowEvent* pEvent) override;
    void closeEvent(QCloseEvent* pEvent) override;
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    void ComputeOverhead();
    // The database row and the launcher row, the left and the right form.
    void LayoutPanes();
    void RestorePlacement();
    void SavePlacement();
    void ConnectSides();
    // The window goes: the work of the sides stops and the main dialog
    // comes back; once only, whichever way the window goes.
    void Leave();

    CBaseSplitWnd* m_pSplitter = nullptr;
    CDBListSplitWnd* m_pDBSplitter = nullptr;
    CFormDBSelect* m_pForms[2] = {nullptr, nullptr};
    CFormGen* m_pLauncher = nullptr;
    CCompareLauncher* m_pCompareLauncher = nullptr;
    int m_cxOverhead = 0;
    int m_cyOverhead = 0;
    int m_nLauncherHeight = kDefaultLauncherHeight;
    bool m_bLeft = false;
};
