#pragma once

#include "controls/tvrcommondialog.h"

#include <QIcon>
#include <QSize>

#include <initializer_list>

class CResultFileGroup;

// The base of the two tool dialogs: the result-file group, the Generate
// button (502) at the bottom left of the band, the orange separators, the
// tracking size, and the runs on the tools database behind the wait
// dialog. Enter does nothing; the close box stores the folder of the
// result file, Escape leaves it alone.
class CToolDialog : public CTvrCommonDialog
{
    Q_OBJECT

public:
    // nResultKind: RESULT_TEXT or RESULT_TAB.
    CToolDialog(int nFrenchTemplateId, int nResultKind, QWidget* pParent);
    ~CToolDialog() override;

    QWidget* GetBandButton() const override;
    void RecalcLayout(int cx, int cy) override;

    CResultFileGroup* ResultGroup() const { return m_pResultGroup; }
    int SeparatorX() const { return m_nSeparatorX; }
    int SeparatorY() const { return m_nSeparatorY; }

    static constexpr QSize kMinTrackSize{534, 286};
    static constexpr QSize kMaxTrackSize{800, 500};

    // The runs: message 1050 when no schema of the tools database is
    // ticked, a message naming the reason when the result path cannot be
    // a file (a folder, or in a missing folder); else the wait dialog runs
    // the tool. False when nothing ran.
    bool StartDecimalUpdate(const QString& strPath, bool bByAlias, const QString& strName, bool bMultiply,
                            int nPower);
    bool StartStatistics(const QString& strPath);

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void OnClose() override;
    void OnCommand(int nId) override;
    void OnEraseBkgnd(QPainter& painter) override;

    virtual void OnGenerate() = 0;
    // The separator lines of the dialog, once its controls are placed.
    virtual void PlaceSeparators() = 0;

    // Moves the controls by dy pixels and the bottom of the window with them.
    void ShiftControls(std::initializer_list<int> ids, int dy);

    QIcon m_hIcon;
    int m_nSeparatorX = -1;
    int m_nSeparatorY = -1;

private:
    bool CanStartRun(const QString& strPath);

    int m_nResultKind;
    CResultFileGroup* m_pResultGroup = nullptr;
};
