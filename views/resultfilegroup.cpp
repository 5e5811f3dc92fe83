#include "views/resultfilegroup.h"

#include "app/language.h"
#include "app/qalmetapp.h"
#include "app/resultfilechecks.h"
#include "app/resultfilenames.h"
#include "controls/dialogbuilder.h"
#include "controls/guiprompt.h"
#include "controls/tvrcommondialog.h"
#include "controls/windowfunctions.h"
#include "res/dialogtemplates.h"
#include "res/resourceimages.h"
#include "res/stringids.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

namespace {

// The buttons of the group, their image of bitmap 187 and their name.
struct GroupButton
{
    int nId;
    int nImage;
    int nNameId;
};
constexpr GroupButton kButtons[] = {
    {IDC_RESULT_SELECT, 0, StringId::SelectResultFile},
    {IDC_RESULT_OPEN, 1, StringId::OpenResultFile},
    {IDC_RESULT_DELETE, 2, StringId::DeleteResultFile},
};

bool IsExistingFile(const QString& strPath)
{
    const QFileInfo info(strPath);
    return !strPath.isEmpty() && info.exists() && !info.isDir();
}

}  // namespace

CResultFileGroup::CResultFileGroup(CTvrCommonDialog& dialog, int nKind)
    : QObject(&dialog),
      m_dialog(dialog),
      m_nKind(nKind)
{
}

void CResultFileGroup::Init()
{
    m_pEdit = FindDlgItem<QLineEdit>(&m_dialog, IDC_RESULT_PATH);
    if (auto* pLabel = m_dialog.GetDlgItem(IDC_RESULT_LABEL))
        m_pEdit->setAccessibleName(pLabel->property("text").toString());
    const QList<QPixmap> images = LoadImageList(ResourceId::ItemCommands);
    for (const GroupButton& button : kButtons) {
        auto* pButton = FindDlgItem<QPushButton>(&m_dialog, button.nId);
        const QString strName = LoadLangString(button.nNameId);
        pButton->setAccessibleName(strName);
        pButton->setToolTip(strName);
        // Without its image a button keeps its text.
        if (button.nImage < images.size()) {
            pButton->setIcon(QIcon(images[button.nImage]));
            pButton->setText(QString());
        }
    }
    CQalmetApp* pApp = CQalmetApp::GetInstance();
    if (pApp != nullptr)
        m_pEdit->setText(QDir::toNativeSeparators(pApp->GetDefaultResultPath(DB_TOOLS, m_nKind)));
    connect(m_pEdit, &QLineEdit::textChanged, this, &CResultFileGroup::UpdateResultButtons);
    UpdateResultButtons();
}

QString CResultFileGroup::GetPath() const
{
    return m_pEdit ? m_pEdit->text().trimmed() : QString();
}

bool CResultFileGroup::OnCommand(int nId)
{
    switch (nId) {
    case IDC_RESULT_SELECT:
        OnSelect();
        return true;
    case IDC_RESULT_OPEN:
        OnOpen();
        return true;
    case IDC_RESULT_DELETE:
        OnDelete();
        return true;
    default:
        return false;
    }
}

void CResultFileGroup::OnSelect()
{
    QString strPath = GetPath();
    if (!SelectResultFile(strPath, m_nKind, &m_dialog))
        return;
    m_pEdit->setText(QDir::toNativeSeparators(strPath));
    UpdateResultButtons();
}

void CResultFileGroup::OnOpen()
{
    const QString strPath = GetPath();
    if (!strPath.isEmpty() && QFileInfo::exists(strPath))
        OpenDocument(strPath);
}

void CResultFileGroup::OnDelete()
{
    CQalmetApp* pApp = CQalmetApp::GetInstance();
    if (pApp == nullptr)
        return;
    CGuiPrompt prompt;
    CResultFileChecks(prompt, pApp->GetResultWriter()).ConfirmDeleteResultFile(GetPath());
    UpdateResultButtons();
}

void CResultFileGroup::UpdateResultButtons()
{
    const bool bFile = IsExistingFile(GetPath());
    for (int nId : {IDC_RESULT_OPEN, IDC_RESULT_DELETE})
        EnableControl(m_dialog.GetDlgItem(nId), bFile);
}

void CResultFileGroup::SaveDefaultDirectory()
{
    const QString strPath = GetPath();
    if (CQalmetApp* pApp = CQalmetApp::GetInstance(); pApp != nullptr && !strPath.isEmpty())
        pApp->GetSettings().SaveDefaultDirectory(strPath);
}

bool CResultFileGroup::SelectResultFile(QString& strPath, int nKind, QWidget* pParent)
{
    CQalmetApp* pApp = CQalmetApp::GetInstance();
    const QString strDefault = pApp ? pApp->GetDefaultResultPath(DB_TOOLS, nKind) : QString();
    QString strInitial = strPath.isEmpty() ? strDefault : QDir::fromNativeSeparators(strPath);
    if (strInitial.endsWith(u'/') && strInitial.size() > 1)
        strInitial.chop(1);
    // A name in a folder that is gone cannot start the dialog: it starts
    // from the default path instead.
    if (!QFileInfo(strInitial).absoluteDir().exists())
        strInitial = strDefault;
    const QString strExtension = GetResultExtension(nKind);
    QFileDialog dialog(pParent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilter(LoadLangString(nKind == RESULT_TAB ? StringId::FilterCsv : StringId::FilterText));
    dialog.setDirectory(QFileInfo(strInitial).absolutePath());
    dialog.selectFile(QFileInfo(strInitial).fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    QString strChosen = dialog.selectedFiles().constFirst();
    if (QFileInfo(strChosen).suffix().isEmpty())
        strChosen += u'.' + strExtension;
    strPath = strChosen;
    return true;
}
