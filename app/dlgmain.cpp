#include "app/dlgmain.h"

#include "app/connectattempt.h"
#include "app/formattext.h"
#include "app/language.h"
#include "app/qalmetapp.h"
#include "app/schemalistctrl.h"
#include "controls/aboutdlg.h"
#include "controls/dialogbuilder.h"
#include "controls/dlgdatasources.h"
#include "controls/guiprompt.h"
#include "controls/logobutton.h"
#include "controls/roundbutton.h"
#include "controls/windowfunctions.h"
#include "db/dbdata.h"
#include "res/resourceimages.h"
#include "res/stringids.h"
#include "tools/dlgwait.h"

#include <QLabel>
#include <QPainter>

namespace {

const QColor kBandColor(205, 212, 218);
const QColor kLineColor(231, 75, 20);

}  // namespace

CDlgMain::CDlgMain(QWidget* pParent)
    : CTvrCommonDialog(MapResourceId(DialogId::Main), pParent),
      m_hIcon(LoadAppIcon()),
      m_pDB(ToolsDatabase())
{
}

CDlgMain::~CDlgMain() = default;

QWidget* CDlgMain::CreateControl(const ControlTemplate& control, QWidget* pParent)
{
    if (control.nId == IDC_SCHEMA_LIST)
        return new CSchemaListCtrl(pParent);
    return nullptr;
}

bool CDlgMain::OnInitDialog()
{
    CTvrCommonDialog::OnInitDialog();
    setWindowIcon(m_hIcon);
    m_wndSchemaList = FindDlgItem<CSchemaListCtrl>(this, IDC_SCHEMA_LIST);
    m_wndDsnIcon = FindDlgItem<QLabel>(this, IDC_DSN_ICON);
    m_btnHelp = FindDlgItem<CRoundButton>(this, IDC_ABOUT);
    m_btnLogo = FindDlgItem<CLogoButton>(this, IDC_LOGO);
    m_wndSchemaList->InitList(m_pDB);
    UpdateControls();
    setMaximumSize(1000, 625);
    UpdateMinimumSize();
    RestoreSize(QStringLiteral("812x400"));
    return true;
}

void CDlgMain::OnOK()
{
    // Enter does not end the main dialog.
}

void CDlgMain::OnCommand(int nId)
{
    switch (nId) {
    case IDC_DSN_CHOOSE:
        OnDataSource();
        break;
    case IDC_CONNECT:
        OnConnect();
        break;
    case IDC_ABOUT:
        OnAbout();
        break;
    default:
        CTvrCommonDialog::OnCommand(nId);
        break;
    }
}

void CDlgMain::OnDataSource()
{
    if (m_pDB == nullptr)
        return;
    QString strName = m_pDB->m_strDSN;
    int nKind = m_pDB->m_bSystemDSN ? 1 : 0;
    CDlgDataSources dlg(&strName, &nKind, this);
    if (dlg.DoModal() != 1)
        return;
    m_pDB->m_strDSN = strName;
    m_pDB->m_bSystemDSN = nKind == 1;
    const QList<QPixmap>& images = SharedImageList();
    const int nImage = m_pDB->m_bSystemDSN ? IMG_COMPUTER : IMG_USER;
    m_wndDsnIcon->setPixmap(nImage < images.size() ? images[nImage] : QPixmap());
    m_wndDsnIcon->show();
    if (auto* pName = FindDlgItem<QLabel>(this, IDC_DSN_NAME))
        pName->setText(strName);
    OnConnect();
}

void CDlgMain::OnConnect()
{
    if (m_pDB == nullptr)
        return;
    m_bBusy = true;
    UpdateControls();
    ForgetEndedAttempts();
    // The old connection is closed first, whatever comes of the new one.
    m_pDB->m_pDatabase.reset();

    // The driver waits for its server behind the wait dialog, on a thread
    // of its own, so this window keeps repainting and the user may give up.
    auto pAttempt = std::make_unique<CConnectAttempt>(m_pDB->m_strDSN);
    CDlgWait dlg(*pAttempt, this);
    const bool bLoaded = dlg.DoModal() == 1;
    if (bLoaded) {
        m_wndSchemaList->FillSchemas();
    } else {
        // A database whose information could not be read is no connection
        // to work on.
        m_pDB->m_pDatabase.reset();
        const QString strError = pAttempt->GetLastError();
        // Nothing to say when the user gave up, or cancelled the driver's own login.
        if (!dlg.m_bCancel && pAttempt->IsFinished() && !pAttempt->Succeeded() && !strError.isEmpty())
            CGuiPrompt().ShowMessage(FormatLangString(StringId::ConnectionFailed, {strError}), CPrompt::Ok);
    }
    // Whatever was not taken is closed; an attempt whose driver still waits
    // closes its connection when it ends.
    pAttempt->Abandon();
    if (!pAttempt->IsFinished())
        m_arrAbandonedAttempts.push_back(std::move(pAttempt));
    m_bBusy = false;
    UpdateControls();
}

void CDlgMain::ForgetEndedAttempts()
{
    std::erase_if(m_arrAbandonedAttempts, [](const auto& pAttempt) { return pAttempt->IsFinished(); });
}

void CDlgMain::OnAbout()
{
    CAboutDlg dlg(this);
    dlg.DoModal();
}

void CDlgMain::UpdateControls()
{
    const bool bChosen = m_pDB != nullptr && !m_pDB->m_strDSN.isEmpty();
    const bool bOpen = bChosen && m_pDB->IsConnected();
    m_wndDsnIcon->setVisible(bChosen);
    GetDlgItem(IDC_DSN_NAME)->setVisible(bChosen);
    GetDlgItem(IDC_CONNECT)->setVisible(!m_bBusy && bChosen && !bOpen);
    m_wndSchemaList->setVisible(!m_bBusy && bChosen && bOpen);
    for (int nId : {IDC_DECIMAL_UPDATE, IDC_TABLE_STATS})
        EnableControl(GetDlgItem(nId), !m_bBusy && bChosen && bOpen);
    for (int nId : {IDC_COMPARE, IDC_DSN_CHOOSE, IDC_ABOUT})
        EnableControl(GetDlgItem(nId), true);
    update();
}

void CDlgMain::RecalcLayout(int cx, int cy)
{
    int nTop = 9;
    for (int nId : {IDC_DECIMAL_UPDATE, IDC_TABLE_STATS, IDC_COMPARE}) {
        QWidget* pButton = GetDlgItem(nId);
        pButton->setGeometry(cx - 346, nTop, 337, pButton->height());
        nTop += pButton->height() + 9;
    }
    m_nDividerX = cx - 358;

    m_btnHelp->move(m_nDividerX + 9, cy - 9 - m_btnHelp->height());
    m_nBandTop = m_btnHelp->y() - 9;
    m_btnLogo->setGeometry(cx - 209, cy - (cy - m_nBandTop - 45) / 2 - 45, 200, 45);

    QWidget* pChoose = GetDlgItem(IDC_DSN_CHOOSE);
    const QPoint shift = QPoint(9, 9) - pChoose->pos();
    for (int nId : {IDC_DSN_CHOOSE, IDC_DSN_ICON, IDC_CONNECT})
        GetDlgItem(nId)->move(GetDlgItem(nId)->pos() + shift);
    QWidget* pName = GetDlgItem(IDC_DSN_NAME);
    const QPoint nameTopLeft = pName->pos() + shift;
    pName->setGeometry(QRect(nameTopLeft, QPoint(m_nDividerX - 9 - 1, nameTopLeft.y() + pName->height() - 1)));
    const QPoint listTopLeft = m_wndSchemaList->pos() + shift;
    m_wndSchemaList->setGeometry(QRect(listTopLeft, QPoint(m_nDividerX - 9 - 1, cy - 9 - 1)));
    UpdateMinimumSize();
    update();
}

void CDlgMain::UpdateMinimumSize()
{
    int nMinHeight = 360;
    const QWidget* pCompare = GetDlgItem(IDC_COMPARE);
    if (m_btnHelp != nullptr && m_btnHelp->height() > 0 && pCompare != nullptr)
        nMinHeight = pCompare->geometry().bottom() + 1 + m_btnHelp->height() + 27;
    setMinimumSize(687, nMinHeight);
}

void CDlgMain::OnEraseBkgnd(QPainter& painter)
{
    CTvrCommonDialog::OnEraseBkgnd(painter);
    if (m_nDividerX <= 0)
        return;
    painter.fillRect(QRect(QPoint(m_nDividerX, m_nBandTop), QPoint(width() - 1, height() - 1)), kBandColor);
    painter.setPen(QPen(kLineColor, 3, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(m_nDividerX, 0, m_nDividerX, height());
    if (m_nBandTop > 0)
        painter.drawLine(m_nDividerX, m_nBandTop, width(), m_nBandTop);
}
