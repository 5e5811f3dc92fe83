#pragma once

#include "views/exportfilechooser.h"

#include <QStringList>

// Answers the save question of an export in place of the dialog, and
// keeps what was proposed.
class ScriptedChooser : public CExportFileChooser
{
public:
    bool ChooseSaveFile(QString& strPath, const QString& strFilter, const QString&, QWidget* pOwner) override
    {
        m_arrProposed << strPath;
        m_strFilter = strFilter;
        m_pOwner = pOwner;
        if (m_strAnswer.isNull())
            return false;
        strPath = m_strAnswer;
        return true;
    }

    QString m_strAnswer;  // null: the user cancels
    QStringList m_arrProposed;
    QString m_strFilter;
    QWidget* m_pOwner = nullptr;
};
