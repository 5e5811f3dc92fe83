#include "views/dlgtablestats.h"

#include "app/qalmetapp.h"
#include "app/resultfilenames.h"
#include "controls/dialogbuilder.h"
#include "controls/guiprompt.h"
#include "controls/windowfunctions.h"
#include "res/dialogtemplates.h"
#include "tools/dateexpression.h"
#include "tools/statoptions.h"
#include "views/resultfilegroup.h"

#include <QLineEdit>
#include <QRadioButton>

namespace {

// The radio button of each date mode, in mode order.
constexpr int kModeButtons[] = {IDC_DATE_UPMJ, IDC_DATE_FIELD, IDC_DATE_NONE};
static_assert(STAT_DATE_UPMJ == 0 && STAT_DATE_FIELD == 1 && STAT_DATE_NONE == 2);

}  // namespace

CDlgTableStats::CDlgTableStats(QWidget* pParent)
    : CToolDialog(DialogId::TableStatistics, RESULT_TAB, pParent)
{
}

CDlgTableStats::~CDlgTableStats() = default;

bool CDlgTableStats::OnInitDialog()
{
    CToolDialog::OnInitDialog();
    m_editField = FindDlgItem<QLineEdit>(this, IDC_DATE_FIELD_NAME);
    m_editField->setAccessibleName(FindDlgItem<QRadioButton>(this, IDC_DATE_FIELD)->text());
    m_nDateMode = STAT_DATE_UPMJ;
    FindDlgItem<QRadioButton>(this, kModeButtons[m_nDateMode])->setChecked(true);
    connect(m_editField, &QLineEdit::textChanged, this, &CDlgTableStats::UpdateGenerateButton);
    connect(ResultGroup()->PathEdit(), &QLineEdit::textChanged, this, &CDlgTableStats::UpdateGenerateButton);
    OnModeChanged();
    RecalcLayout(width(), height());
    return true;
}

void CDlgTableStats::ReadRadioButtons()
{
    for (int nMode = 0; nMode < int(std::size(kModeButtons)); ++nMode) {
        if (FindDlgItem<QRadioButton>(this, kModeButtons[nMode])->isChecked())
            m_nDateMode = nMode;
    }
}

void CDlgTableStats::OnCommand(int nId)
{
    switch (nId) {
    case IDC_DATE_UPMJ:
    case IDC_DATE_FIELD:
    case IDC_DATE_NONE:
        OnModeChanged();
        break;
    default:
        CToolDialog::OnCommand(nId);
        break;
    }
}

void CDlgTableStats::OnModeChanged()
{
    ReadRadioButtons();
    m_editField->setVisible(m_nDateMode == STAT_DATE_FIELD);
    UpdateGenerateButton();
}

void CDlgTableStats::UpdateGenerateButton()
{
    if (m_editField == nullptr)
        return;
    ReadRadioButtons();
    const bool bReady = !ResultGroup()->GetPath().isEmpty()
                        && (m_nDateMode != STAT_DATE_FIELD || !m_editField->text().trimmed().isEmpty());
    EnableControl(GetDlgItem(IDC_GENERATE), bReady);
}

void CDlgTableStats::OnGenerate()
{
    CQalmetApp* pApp = CQalmetApp::GetInstance();
    if (pApp == nullptr)
        return;
    ReadRadioButtons();
    const QString strField = m_nDateMode == STAT_DATE_FIELD ? m_editField->text().trimmed() : QString();
    // The expression goes into the statements: refused here, with its
    // reason, the dialog and its text stay as they are.
    if (m_nDateMode == STAT_DATE_FIELD) {
        if (const QString strRefusal = DateExpressionRefusal(strField); !strRefusal.isEmpty()) {
            CGuiPrompt().ShowMessage(strRefusal, CPrompt::Ok);
            return;
        }
    }
    pApp->SetStatisticsOptions(m_nDateMode, strField);
    StartStatistics(ResultGroup()->GetPath());
    ResultGroup()->UpdateResultButtons();
}

void CDlgTableStats::PlaceSeparators()
{
    m_nSeparatorY = (GetDlgItem(IDC_DATE_GROUP)->geometry().bottom() + 1 + GetDlgItem(IDC_RESULT_LABEL)->y()) / 2;
}
