#pragma once

#include <QString>

class QWidget;

// Asks the user where to write an export. The process has one current
// chooser, the save-file dialog unless another one is installed (tests
// answer it without a dialog).
class CExportFileChooser
{
public:
    virtual ~CExportFileChooser();

    // strPath: in, the proposed file; out, the file chosen. The filter is
    // one "description (*.ext)"; an existing file is written only after the
    // user confirmed it. False when the user cancelled.
    virtual bool ChooseSaveFile(QString& strPath, const QString& strFilter, const QString& strExtension,
                                QWidget* pOwner);

    static CExportFileChooser& Current();
    // Not owned; null puts the save-file dialog back.
    static void SetCurrent(CExportFileChooser* pChooser);
};
