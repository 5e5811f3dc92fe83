#include "views/dlgqalmet.h"

#include "app/language.h"
#include "app/resultfilenames.h"
#include "controls/decimaledit.h"
#include "controls/dialogbuilder.h"
#include "controls/updownctrl.h"
#include "controls/windowfunctions.h"
#include "res/dialogtemplates.h"
#include "res/stringids.h"
#include "views/resultfilegroup.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace {

// The controls below the names, moved together by the class-mode adjustment.
constexpr std::initializer_list<int> kLowerControls = {IDC_RESULT_LABEL, IDC_RESULT_PATH, IDC_RESULT_SELECT,
                                                       IDC_RESULT_OPEN, IDC_RESULT_DELETE, IDC_GENERATE, IDC_LOGO};

}  // namespace

CDlgQalmet::CDlgQalmet(bool bClassMode, QWidget* pParent)
    : CToolDialog(DialogId::DecimalUpdate, RESULT_TEXT, pParent),
      m_bClassMode(bClassMode)
{
}

CDlgQalmet::~CDlgQalmet() = default;

QWidget* CDlgQalmet::CreateControl(const ControlTemplate& control, QWidget* pParent)
{
    if (control.nId == IDC_POWER)
        return new CDecimalEdit(pParent);
    return nullptr;
}

bool CDlgQalmet::OnInitDialog()
{
    CToolDialog::OnInitDialog();
    m_editAlias = FindDlgItem<QLineEdit>(this, IDC_ALIAS);
    m_editClass = FindDlgItem<QLineEdit>(this, IDC_CLASS);
    m_editPower = FindDlgItem<CDecimalEdit>(this, IDC_POWER);
    m_spinPower = FindDlgItem<CUpDownCtrl>(this, IDC_POWER_SPIN);
    // The edits are named after the radio buttons and the label that stand for them.
    m_editAlias->setAccessibleName(FindDlgItem<QRadioButton>(this, IDC_MODE_ALIAS)->text());
    m_editClass->setAccessibleName(FindDlgItem<QRadioButton>(this, IDC_MODE_CLASS)->text());
    m_editPower->setAccessibleName(LoadLangString(StringId::PowerOfTen));
    m_spinPower->setAccessibleName(LoadLangString(StringId::PowerOfTen));
    m_spinPower->SetButtonNames(LoadLangString(StringId::StepUp), LoadLangString(StringId::StepDown));

    m_editPower->setText(QStringLiteral("1"));
    m_spinPower->SetBuddy(m_editPower);
    m_spinPower->SetRange(1, 9);

    m_nMode = MODE_ALIAS;
    m_nOperation = OPERATION_MULTIPLY;
    FindDlgItem<QRadioButton>(this, IDC_MODE_ALIAS)->setChecked(true);
    FindDlgItem<QRadioButton>(this, IDC_MULTIPLY)->setChecked(true);
    ReadRadioButtons();
    m_editAlias->show();
    m_editClass->hide();

    for (QLineEdit* pEdit : {m_editAlias, m_editClass, static_cast<QLineEdit*>(m_editPower)})
        connect(pEdit, &QLineEdit::textChanged, this, &CDlgQalmet::UpdateGenerateButton);
    connect(ResultGroup()->PathEdit(), &QLineEdit::textChanged, this, &CDlgQalmet::UpdateGenerateButton);
    UpdateGenerateButton();

    QWidget* pNotice = GetDlgItem(IDC_CLASS_NOTICE);
    if (m_bClassMode) {
        pNotice->hide();
        ShiftControls(kLowerControls, -pNotice->height() / 2);
    } else {
        // The class edit can never be reached.
        GetDlgItem(IDC_MODE_CLASS)->setEnabled(false);
        ShiftControls(kLowerControls, GetDlgItem(IDC_MODE_CLASS)->height() / 2);
    }
    RecalcLayout(width(), height());
    return true;
}

void CDlgQalmet::ReadRadioButtons()
{
    m_nMode = FindDlgItem<QRadioButton>(this, IDC_MODE_CLASS)->isChecked() ? MODE_CLASS : MODE_ALIAS;
    m_nOperation = FindDlgItem<QRadioButton>(this, IDC_DIVIDE)->isChecked() ? OPERATION_DIVIDE : OPERATION_MULTIPLY;
}

QLineEdit* CDlgQalmet::ActiveNameEdit() const
{
    return m_nMode == MODE_CLASS ? m_editClass : m_editAlias;
}

void CDlgQalmet::OnCommand(int nId)
{
    switch (nId) {
    case IDC_MODE_ALIAS:
    case IDC_MODE_CLASS:
        OnModeChanged();
        break;
    case IDC_MULTIPLY:
    case IDC_DIVIDE:
        ReadRadioButtons();
        break;
    default:
        CToolDialog::OnCommand(nId);
        break;
    }
}

void CDlgQalmet::OnModeChanged()
{
    ReadRadioButtons();
    m_editAlias->setVisible(m_nMode == MODE_ALIAS);
    m_editClass->setVisible(m_nMode == MODE_CLASS);
    UpdateGenerateButton();
}

void CDlgQalmet::UpdateGenerateButton()
{
    if (m_editAlias == nullptr || ResultGroup() == nullptr)
        return;
    ReadRadioButtons();
    const bool bReady = !ActiveNameEdit()->text().trimmed().isEmpty() && !m_editPower->text().trimmed().isEmpty()
                        && !ResultGroup()->GetPath().isEmpty();
    EnableControl(GetDlgItem(IDC_GENERATE), bReady);
}

void CDlgQalmet::OnGenerate()
{
    ReadRadioButtons();
    // Whatever way a text got into the field, only 1 to 9 is a power.
    const QString strPower = m_editPower->text().trimmed();
    if (strPower.isEmpty() || !CDecimalEdit::IsAcceptedText(strPower)) {
        MessageBeep();
        return;
    }
    StartDecimalUpdate(ResultGroup()->GetPath(), m_nMode == MODE_ALIAS, ActiveNameEdit()->text().trimmed(),
                       m_nOperation == OPERATION_MULTIPLY, strPower.toInt());
    ResultGroup()->UpdateResultButtons();
}

void CDlgQalmet::PlaceSeparators()
{
    const QWidget* pAbove = GetDlgItem(m_bClassMode ? IDC_CLASS : IDC_CLASS_NOTICE);
    m_nSeparatorY = (pAbove->geometry().bottom() + 1 + GetDlgItem(IDC_RESULT_LABEL)->y()) / 2;
    m_nSeparatorX = (GetDlgItem(IDC_ALIAS)->geometry().right() + 1 + GetDlgItem(IDC_MULTIPLY)->x()) / 2;
}
