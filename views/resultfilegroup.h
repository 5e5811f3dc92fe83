#pragma once

#include <QObject>
#include <QString>

class CTvrCommonDialog;
class QLineEdit;

// The result-file group of the tool dialogs: the path edit and its Select,
// Open and Delete icon buttons. The dialog routes the buttons' commands
// here; the group keeps Open and Delete usable only for an existing file.
class CResultFileGroup : public QObject
{
    Q_OBJECT

public:
    // nKind: RESULT_TEXT or RESULT_TAB, the extension of the file.
    CResultFileGroup(CTvrCommonDialog& dialog, int nKind);

    // The icons, the accessible names and the default path of the tools
    // database; then the button states.
    void Init();

    QLineEdit* PathEdit() const { return m_pEdit; }
    // The trimmed text of the path edit.
    QString GetPath() const;

    // True when the command was one of the group's buttons.
    bool OnCommand(int nId);
    void OnSelect();
    void OnOpen();
    void OnDelete();

    // Open and Delete enabled exactly for an existing path that is not a
    // folder; a focused button that is disabled hands the focus on.
    void UpdateResultButtons();

    // The folder of the path becomes the default folder of result files.
    void SaveDefaultDirectory();

    // The save-file dialog: strPath (the default path when empty) as initial
    // name, the kind's single filter, no question about an existing file;
    // the chosen path gets the kind's extension when it has none. False
    // when the user cancelled, strPath unchanged.
    static bool SelectResultFile(QString& strPath, int nKind, QWidget* pParent);

private:
    CTvrCommonDialog& m_dialog;
    int m_nKind;
    QLineEdit* m_pEdit = nullptr;
};
