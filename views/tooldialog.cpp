#include "views/tooldialog.h"

#include "app/formattext.h"
#include "app/language.h"
#include "controls/guiprompt.h"
#include "controls/windowfunctions.h"
#include "db/dbdata.h"
#include "res/dialogtemplates.h"
#include "res/resourceimages.h"
#include "res/stringids.h"
#include "tools/dlgwait.h"
#include "views/resultfilegroup.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPushButton>

#include <cerrno>

namespace {

const QColor kLineColor(231, 75, 20);

// Why the path cannot be written as a file, in the system's words, or
// empty. Caught here, before the run, so the worker never meets it.
QString UnusablePathReason(const QString& strPath)
{
    const QFileInfo info(strPath);
    if (info.isDir())
        return qt_error_string(EISDIR);
    if (!info.absoluteDir().exists())
        return qt_error_string(ENOENT);
    return QString();
}

}  // namespace

CToolDialog::CToolDialog(int nFrenchTemplateId, int nResultKind, QWidget* pParent)
    : CTvrCommonDialog(MapResourceId(nFrenchTemplateId), pParent),
      m_hIcon(LoadAppIcon()),
      m_nResultKind(nResultKind)
{
}

CToolDialog::~CToolDialog() = default;

QWidget* CToolDialog::GetBandButton() const
{
    return GetDlgItem(IDC_GENERATE);
}

bool CToolDialog::OnInitDialog()
{
    CTvrCommonDialog::OnInitDialog();
    setWindowIcon(m_hIcon);
    setMinimumSize(kMinTrackSize);
    setMaximumSize(kMaxTrackSize);
    // Enter clicks no button of its own accord, the logo's included.
    for (QPushButton* pButton : findChildren<QPushButton*>())
        pButton->setAutoDefault(false);
    m_pResultGroup = new CResultFileGroup(*this, m_nResultKind);
    m_pResultGroup->Init();
    return true;
}

void CToolDialog::OnOK()
{
    // Enter does not end a tool dialog.
}

void CToolDialog::OnClose()
{
    if (m_pResultGroup)
        m_pResultGroup->SaveDefaultDirectory();
    CTvrCommonDialog::OnClose();
}

void CToolDialog::OnCommand(int nId)
{
    if (m_pResultGroup && m_pResultGroup->OnCommand(nId))
        return;
    if (nId == IDC_GENERATE) {
        OnGenerate();
        return;
    }
    CTvrCommonDialog::OnCommand(nId);
}

void CToolDialog::ShiftControls(std::initializer_list<int> ids, int dy)
{
    for (int nId : ids) {
        if (QWidget* pControl = GetDlgItem(nId))
            pControl->move(pControl->pos() + QPoint(0, dy));
    }
    resize(width(), height() + dy);
}

void CToolDialog::RecalcLayout(int cx, int cy)
{
    QWidget* pGenerate = GetDlgItem(IDC_GENERATE);
    const QWidget* pPath = GetDlgItem(IDC_RESULT_PATH);
    if (pGenerate == nullptr || pPath == nullptr)
        return;
    pGenerate->move(pPath->x(), cy - 9 - pGenerate->height());
    PlaceSeparators();
    LayoutBand(cx, cy);
    update();
}

void CToolDialog::OnEraseBkgnd(QPainter& painter)
{
    CTvrCommonDialog::OnEraseBkgnd(painter);
    const int cx = width();
    if (m_nBandTop > 0) {
        painter.setPen(QPen(kLineColor, 2));
        painter.drawLine(30, m_nBandTop, cx - 30, m_nBandTop);
    }
    if (m_nSeparatorY > 0) {
        painter.setPen(QPen(kLineColor, 1));
        painter.drawLine(30, m_nSeparatorY, cx - 30, m_nSeparatorY);
        if (m_nSeparatorX > 0)
            painter.drawLine(m_nSeparatorX, 10, m_nSeparatorX, m_nSeparatorY - 10);
    }
}

bool CToolDialog::CanStartRun(const QString& strPath)
{
    CGuiPrompt prompt;
    const CDBData* pDB = ToolsDatabase();
    if (pDB == nullptr || !pDB->HasSelectedSchema()) {
        prompt.ShowMessage(LoadLangString(StringId::SelectSchema), CPrompt::Ok);
        return false;
    }
    if (const QString strReason = UnusablePathReason(strPath); !strReason.isEmpty()) {
        prompt.ShowMessage(
            FormatLangString(StringId::CannotOpenFileReason, {QDir::toNativeSeparators(strPath), strReason}),
            CPrompt::Ok);
        return false;
    }
    return true;
}

bool CToolDialog::StartDecimalUpdate(const QString& strPath, bool bByAlias, const QString& strName, bool bMultiply,
                                     int nPower)
{
    if (!CanStartRun(strPath))
        return false;
    CDlgWait dlg(strPath, bByAlias, strName, bMultiply, nPower, this);
    dlg.DoModal();
    return true;
}

bool CToolDialog::StartStatistics(const QString& strPath)
{
    if (!CanStartRun(strPath))
        return false;
    CDlgWait dlg(strPath, WAIT_STATISTICS, true, this);
    dlg.DoModal();
    return true;
}
