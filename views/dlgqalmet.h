#pragma once

#include "views/tooldialog.h"

class CDecimalEdit;
class CUpDownCtrl;
class QLineEdit;

// The decimal-places update: an alias, or a class of the data dictionary
// when one was located, multiplied or divided by 10 to a power from 1 to 9;
// Generate writes the UPDATE statements into the result file.
class CDlgQalmet : public CToolDialog
{
    Q_OBJECT

public:
    // bClassMode: the data-dictionary table was located, so the class mode
    // is available.
    CDlgQalmet(bool bClassMode, QWidget* pParent);
    ~CDlgQalmet() override;

    enum Mode : int { MODE_ALIAS = 0, MODE_CLASS = 1 };
    enum Operation : int { OPERATION_MULTIPLY = 0, OPERATION_DIVIDE = 1 };

    void UpdateGenerateButton();

    bool m_bClassMode;
    int m_nMode = MODE_ALIAS;
    int m_nOperation = OPERATION_MULTIPLY;
    QLineEdit* m_editAlias = nullptr;
    QLineEdit* m_editClass = nullptr;
    CDecimalEdit* m_editPower = nullptr;
    CUpDownCtrl* m_spinPower = nullptr;

protected:
    bool OnInitDialog() override;
    void OnCommand(int nId) override;
    QWidget* CreateControl(const ControlTemplate& control, QWidget* pParent) override;
    void OnGenerate() override;
    void PlaceSeparators() override;

private:
    void ReadRadioButtons();
    void OnModeChanged();
    QLineEdit* ActiveNameEdit() const;
};
