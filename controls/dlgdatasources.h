#pragma once

#include "controls/tvrcommondialog.h"

#include <QStringList>

class QListWidget;
class QTabWidget;

// Choice of one ODBC data source among the driver manager's user and system
// data sources, with the entry point to the ODBC administrator.
class CDlgDataSources : public CTvrCommonDialog
{
    Q_OBJECT

public:
    // pstrName: in the current name, out the chosen one; pnKind: in the
    // current kind, out 0 user, 1 system.
    CDlgDataSources(QString* pstrName, int* pnKind, QWidget* pParent);
    ~CDlgDataSources() override;

    void LoadDataSources();
    void UpdateOkButton();
    void RecalcLayout(int cx, int cy) override;
    bool HasAdministrator() const { return m_pfnManageDataSources != nullptr; }

    QListWidget* m_lbUser = nullptr;
    QListWidget* m_lbSystem = nullptr;
    QTabWidget* m_tab = nullptr;
    QString* m_pstrName;
    int* m_pnKind;
    QString m_strSelected;
    int m_nKind;
    QStringList m_arrNames[2];
    QStringList m_arrDrivers[2];

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCommand(int nId) override;

private:
    using ManageDataSources = int (*)(void*);

    QListWidget* ListOf(int nKind) const { return nKind == 1 ? m_lbSystem : m_lbUser; }
    QListWidget* VisibleList() const;
    void SetTabStops();
    void OnTabChanged(int nTab);
    void OnSelChange(int nKind);
    void OnAdministrator();

    void* m_hOdbcCp = nullptr;
    ManageDataSources m_pfnManageDataSources = nullptr;
};
