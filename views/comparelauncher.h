#pragma once

#include "views/dlgparams.h"

#include <QList>
#include <QObject>

#include <memory>

class CCompareFrm;
class CMainFrame;

// The comparison window's launch of comparisons and its result windows:
// the options before a run, the run, the windows open on a result. While
// any result window is open the selection forms stay locked and the
// result files stay; the last one closing unlocks the forms and deletes
// both result files. From the options dialog to the end of a run the
// window is busy: no second run starts and no window of the family
// closes.
class CCompareLauncher : public QObject
{
    Q_OBJECT

public:
    explicit CCompareLauncher(CMainFrame& mainFrame);
    ~CCompareLauncher() override;

    // The launcher's buttons.
    void OnCompareTables();
    void OnCompareAliases();
    // Show differences of a different table.
    void OpenColumnFrame(int nTable);

    void RegisterCompareFrame(CCompareFrm* pFrame);
    void UnregisterCompareFrame(CCompareFrm* pFrame);
    const QList<CCompareFrm*>& GetFrames() const { return m_arrFrames; }

    bool IsBusy() const { return m_bBusy; }
    // The titles of both sides: data source, and the schema each side shows.
    CompareTitles GetTitles() const;
    // Enter in a result window's search field.
    bool HandleKeyDown(int nKey);
    // The comparison window goes: its result windows go with it, and so do
    // both results, which no later window may show without a run.
    void CloseAll();

private:
    // Registers the window, runs its comparison and builds it; on any
    // failure the window is unregistered and freed. True when it opened.
    bool OpenFrame(std::unique_ptr<CCompareFrm> pFrame, const QString& strSuffix = QString());
    bool EditComparisonOptions(const QList<int>& arrShown, const QList<int>& arrRequired);

    class BusyScope;

    CMainFrame& m_mainFrame;
    QList<CCompareFrm*> m_arrFrames;
    bool m_bBusy = false;
};
