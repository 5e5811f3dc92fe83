#pragma once

#include "controls/tvrcommondialog.h"

#include <QList>
#include <QString>

class CZembraParam;
class QCheckBox;

// The titles of the two compared databases, put into the captions in
// place of "%LDB%" and "%RDB%".
struct CompareTitles
{
    QString strLeft;
    QString strRight;

    // "left / right": the title of the result windows and exports.
    QString CompareTitle() const { return strLeft + QStringLiteral(" / ") + strRight; }
};

// The options dialog: shows the check boxes of the listed options only
// (an OPT_SEPARATOR entry indents the next one), sizes itself to their
// captions and writes every shown box back into the options on OK.
class CDlgParams : public CTvrCommonDialog
{
    Q_OBJECT

public:
    static constexpr int kMinClientWidth = 250;
    static constexpr int kIndent = 25;

    CDlgParams(CZembraParam& param, const QList<int>& arrShown, const CompareTitles& titles, QWidget* pParent);

    // The check box of option n (shown or not), or null.
    QCheckBox* OptionBox(int nOption) const;

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCommand(int nId) override;
    void RecalcLayout(int cx, int cy) override;

private:
    QString SubstitutedCaption(int nOption, const QString& strCaption) const;
    void LayoutOptions();
    // The boxes that only matter when another one is checked.
    void EnableDependentBoxes();

    CZembraParam& m_param;
    QList<int> m_arrShown;
    CompareTitles m_titles;
};

// Runs the options dialog modally on the options; true when closed with OK.
bool EditOptions(CZembraParam& param, const QList<int>& arrShown, const CompareTitles& titles, QWidget* pParent);
// The same, shown again after every OK that leaves all of arrRequired
// clear (an empty list asks for nothing); false as soon as the user cancels.
bool EditOptionsUntilOneSet(CZembraParam& param, const QList<int>& arrShown, const QList<int>& arrRequired,
                            const CompareTitles& titles, QWidget* pParent);
