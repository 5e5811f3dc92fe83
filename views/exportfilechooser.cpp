#include "views/exportfilechooser.h"

#include <QFileDialog>
#include <QFileInfo>

namespace {

CExportFileChooser* g_pCurrent = nullptr;

}  // namespace

CExportFileChooser::~CExportFileChooser() = default;

bool CExportFileChooser::ChooseSaveFile(QString& strPath, const QString& strFilter, const QString& strExtension,
                                        QWidget* pOwner)
{
    QFileDialog dialog(pOwner);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(strFilter);
    // The extension is added before the dialog asks whether to replace a
    // file, so the question is about the file that will be written.
    dialog.setDefaultSuffix(strExtension);
    const QFileInfo proposed(strPath);
    dialog.setDirectory(proposed.absolutePath());
    dialog.selectFile(proposed.fileName());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QStringList arrFiles = dialog.selectedFiles();
    if (arrFiles.isEmpty())
        return false;
    strPath = arrFiles.constFirst();
    return true;
}

CExportFileChooser& CExportFileChooser::Current()
{
    static CExportFileChooser dialogChooser;
    return g_pCurrent != nullptr ? *g_pCurrent : dialogChooser;
}

void CExportFileChooser::SetCurrent(CExportFileChooser* pChooser)
{
    g_pCurrent = pChooser;
}
