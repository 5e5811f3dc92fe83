#include "controls/dialogbuilder.h"

#include "controls/animatectrl.h"
#include "controls/colorcheckbutton.h"
#include "controls/logobutton.h"
#include "controls/roundbutton.h"
#include "controls/staticlink.h"
#include "controls/updownctrl.h"
#include "controls/windowfunctions.h"

#include <QFontMetrics>
#include <QCheckBox>
#include <QComboBox>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

namespace {

constexpr const char* kControlIdProperty = "kvControlId";

Qt::Alignment TextAlignment(unsigned nFlags)
{
    if (nFlags & CTL_RIGHT)
        return Qt::AlignRight | Qt::AlignVCenter;
    if (nFlags & CTL_CENTER)
        return Qt::AlignHCenter | Qt::AlignVCenter;
    return Qt::AlignLeft | Qt::AlignVCenter;
}

}  // namespace

CDialogBuilder::CDialogBuilder(const DialogTemplate& dialog, int nResourceId)
    : m_dialog(dialog),
      m_bEnglish(nResourceId != dialog.nId),
      m_font(QString::fromUtf8(dialog.pszFontFace))
{
    m_font.setPointSize(dialog.nFontPoints);
    m_baseUnits = ComputeBaseUnits(m_font);
}

QSize CDialogBuilder::ComputeBaseUnits(const QFont& font)
{
    // As the platform does: the average width of the 52 letters, rounded,
    // and the font's height.
    const QFontMetrics metrics(font);
    const int nLettersWidth =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return QSize((nLettersWidth / 26 + 1) / 2, metrics.height());
}

QRect CDialogBuilder::MapDialogRect(const QRect& dialogUnits) const
{
    const int nLeft = MulDiv(dialogUnits.left(), m_baseUnits.width(), 4);
    const int nTop = MulDiv(dialogUnits.top(), m_baseUnits.height(), 8);
    const int nRight = MulDiv(dialogUnits.left() + dialogUnits.width(), m_baseUnits.width(), 4);
    const int nBottom = MulDiv(dialogUnits.top() + dialogUnits.height(), m_baseUnits.height(), 8);
    return QRect(nLeft, nTop, nRight - nLeft, nBottom - nTop);
}

QSize CDialogBuilder::DialogSize() const
{
    return MapDialogRect(QRect(0, 0, m_dialog.cx, m_dialog.cy)).size();
}

QString CDialogBuilder::Caption() const
{
    const char* pszText = m_bEnglish && m_dialog.pszEnglish ? m_dialog.pszEnglish : m_dialog.pszFrench;
    return QString::fromUtf8(pszText);
}

QString CDialogBuilder::Text(const ControlTemplate& control) const
{
    const char* pszText = m_bEnglish && control.pszEnglish ? control.pszEnglish : control.pszFrench;
    return pszText ? QString::fromUtf8(pszText) : QString();
}

QWidget* CDialogBuilder::CreateControl(const ControlTemplate& control, QWidget* pParent) const
{
    const QString strText = Text(control);
    switch (control.kind) {
    case ControlKind::PushButton: {
        auto* pButton = new QPushButton(strText, pParent);
        // Enter is the dialog's own business (its OK command), not Qt's.
        pButton->setAutoDefault(false);
        pButton->setDefault(control.nFlags & CTL_DEFAULT);
        return pButton;
    }
    case ControlKind::Static:
    case ControlKind::StaticIcon: {
        auto* pLabel = new QLabel(strText, pParent);
        pLabel->setAlignment(TextAlignment(control.nFlags));
        pLabel->setTextFormat(Qt::PlainText);
        return pLabel;
    }
    case ControlKind::GroupBox:
        return new QGroupBox(strText, pParent);
    case ControlKind::ListBox:
    case ControlKind::ListCtrl: {
        auto* pList = new QListWidget(pParent);
        pList->setSortingEnabled(control.nFlags & CTL_SORTED);
        return pList;
    }
    case ControlKind::TabCtrl: {
        auto* pTab = new QTabWidget(pParent);
        pTab->setDocumentMode(false);
        return pTab;
    }
    case ControlKind::ProgressBar: {
        auto* pProgress = new QProgressBar(pParent);
        pProgress->setTextVisible(false);
        pProgress->setRange(0, 100);
        pProgress->setValue(0);
        return pProgress;
    }
    case ControlKind::Animation:
        return new CAnimateCtrl(pParent);
    case ControlKind::LogoButton: {
        auto* pLogo = new CLogoButton(pParent);
        pLogo->setText(strText);
        return pLogo;
    }
    case ControlKind::RoundButton: {
        auto* pRound = new CRoundButton(pParent);
        pRound->setText(strText);
        return pRound;
    }
    case ControlKind::ColorCheckButton: {
        auto* pCheck = new CColorCheckButton(pParent);
        pCheck->setText(strText);
        return pCheck;
    }
    case ControlKind::StaticLink: {
        auto* pLink = new CStaticLink(pParent);
        pLink->setText(strText);
        pLink->setAlignment(TextAlignment(control.nFlags));
        return pLink;
    }
    case ControlKind::Edit: {
        auto* pEdit = new QLineEdit(strText, pParent);
        pEdit->setAlignment(TextAlignment(control.nFlags));
        return pEdit;
    }
    case ControlKind::ComboBox:
        // A drop-down list: the user picks, never types. A sorted combo
        // keeps its order through its owner, which inserts in place.
        return new QComboBox(pParent);
    case ControlKind::RadioButton:
        return new QRadioButton(strText, pParent);
    case ControlKind::UpDown:
        return new CUpDownCtrl(pParent);
    case ControlKind::CheckBox:
        return new QCheckBox(strText, pParent);
    }
    return nullptr;
}

void CDialogBuilder::Build(QWidget* pDialog, const Factory& factory) const
{
    pDialog->setFont(m_font);
    pDialog->setWindowTitle(Caption());
    // Radio buttons are exclusive within their group only.
    QButtonGroup* pRadioGroup = nullptr;
    for (const ControlTemplate& control : m_dialog.controls) {
        QWidget* pWidget = factory ? factory(control, pDialog) : nullptr;
        if (pWidget == nullptr)
            pWidget = CreateControl(control, pDialog);
        if (auto* pRadio = qobject_cast<QRadioButton*>(pWidget)) {
            if (pRadioGroup == nullptr || (control.nFlags & CTL_GROUP))
                pRadioGroup = new QButtonGroup(pDialog);
            pRadioGroup->addButton(pRadio);
        }
        pWidget->setProperty(kControlIdProperty, control.nId);
        pWidget->setObjectName(QStringLiteral("ctl%1").arg(control.nId));
        pWidget->setGeometry(MapDialogRect(QRect(control.x, control.y, control.cx, control.cy)));
        if (auto* pRound = dynamic_cast<CRoundButton*>(pWidget))
            pRound->MakeRound();
        pWidget->setEnabled(!(control.nFlags & CTL_DISABLED));
        pWidget->setVisible(!(control.nFlags & CTL_HIDDEN));
    }
}

QWidget* CDialogBuilder::FindControl(const QWidget* pDialog, int nId)
{
    if (pDialog == nullptr)
        return nullptr;
    const QList<QWidget*> children = pDialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* pChild : children) {
        if (ControlId(pChild) == nId)
            return pChild;
    }
    return nullptr;
}

int CDialogBuilder::ControlId(const QWidget* pWidget)
{
    return pWidget->property(kControlIdProperty).toInt();
}
