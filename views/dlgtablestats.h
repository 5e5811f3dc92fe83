#pragma once

#include "views/tooldialog.h"

class QLineEdit;

// The table statistics: how the date of last update of each table is found
// (the JDE UPMJ column, a column or expression of the user's, or none);
// Generate stores the options and writes the statistics file.
class CDlgTableStats : public CToolDialog
{
    Q_OBJECT

public:
    explicit CDlgTableStats(QWidget* pParent);
    ~CDlgTableStats() override;

    void UpdateGenerateButton();

    int m_nDateMode = 0;   // a StatDateMode
    QLineEdit* m_editField = nullptr;

protected:
    bool OnInitDialog() override;
    void OnCommand(int nId) override;
    void OnGenerate() override;
    void PlaceSeparators() override;

private:
    void ReadRadioButtons();
    void OnModeChanged();
};
