#pragma once

#include "controls/tvrcommondialog.h"

#include <QIcon>

#include <memory>
#include <vector>

class CConnectAttempt;
class CDBData;
class CLogoButton;
class CRoundButton;
class CSchemaListCtrl;
class QLabel;

// The application's main window: the data source and its schemas on the
// left, the three tools on the right, the band with the about and logo
// buttons below them.
class CDlgMain : public CTvrCommonDialog
{
    Q_OBJECT

public:
    explicit CDlgMain(QWidget* pParent = nullptr);
    ~CDlgMain() override;

    void UpdateControls();
    void RecalcLayout(int cx, int cy) override;

    void OnDataSource();
    void OnConnect();
    void OnAbout();

    QIcon m_hIcon;
    CDBData* m_pDB;
    CSchemaListCtrl* m_wndSchemaList = nullptr;
    QLabel* m_wndDsnIcon = nullptr;
    CRoundButton* m_btnHelp = nullptr;
    CLogoButton* m_btnLogo = nullptr;
    int m_nDividerX = -1;
    bool m_bBusy = false;
    // Attempts the user abandoned while their driver still waited: each
    // closes its connection when it ends; the dialog waits for them before
    // it is destroyed.
    std::vector<std::unique_ptr<CConnectAttempt>> m_arrAbandonedAttempts;

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCommand(int nId) override;
    QWidget* CreateControl(const ControlTemplate& control, QWidget* pParent) override;
    void OnEraseBkgnd(QPainter& painter) override;

private:
    void UpdateMinimumSize();
    void ForgetEndedAttempts();
};
