#include "views/dlgparams.h"

#include "app/language.h"
#include "compare/aliascolumntitle.h"
#include "compare/zembraparam.h"
#include "controls/windowfunctions.h"
#include "res/dialogtemplates.h"

#include <QCheckBox>
#include <QFontMetrics>

#include <algorithm>

namespace {

constexpr int kMargin = 9;
constexpr int kBoxGap = 3;
constexpr int kButtonRoom = 50;
constexpr int kCaptionRoom = 40;

// A box whose option only matters when a master option is checked.
struct DependentBoxes
{
    int nMaster;
    int nFirst;
    int nLast;
};

constexpr DependentBoxes kDependentBoxes[] = {
    {OPT_EXPORT_TABLES_DIFFERENT, OPT_EXPORT_DIFF_FIELDS_SAME, OPT_EXPORT_DIFF_FIELDS_DIFFERENT},
    {OPT_COMPARE_SQL_TYPES, OPT_SAME_SIZE_STRINGS_EQUAL, OPT_SAME_SIZE_STRINGS_EQUAL},
};

// Entries of the list with the indentation of each: true after a separator.
template <class Visit>
void ForEachShown(const QList<int>& arrShown, Visit visit)
{
    bool bIndent = false;
    for (int nOption : arrShown) {
        if (nOption == OPT_SEPARATOR) {
            bIndent = true;
            continue;
        }
        visit(nOption, bIndent);
        bIndent = false;
    }
}

}  // namespace

CDlgParams::CDlgParams(CZembraParam& param, const QList<int>& arrShown, const CompareTitles& titles,
                       QWidget* pParent)
    : CTvrCommonDialog(MapResourceId(DialogId::Params), pParent),
      m_param(param),
      m_arrShown(arrShown),
      m_titles(titles)
{
}

QCheckBox* CDlgParams::OptionBox(int nOption) const
{
    if (nOption < 0 || nOption >= OPT_COUNT)
        return nullptr;
    return dynamic_cast<QCheckBox*>(GetDlgItem(IDC_OPTION_FIRST + nOption));
}

QString CDlgParams::SubstitutedCaption(int nOption, const QString& strCaption) const
{
    QString strText = strCaption;
    if (strText.contains(QLatin1String("%LDB%")))
        strText.replace(QLatin1String("%LDB%"), m_titles.strLeft);
    else
        strText.replace(QLatin1String("%RDB%"), m_titles.strRight);
    if (nOption >= OPT_COMPARE_DTAT && nOption <= OPT_COMPARE_CDEC)
        strText.replace(QLatin1String("%COL%"), GetAliasColumnTitle(nOption - OPT_COMPARE_DTAT, true, true));
    return strText;
}

bool CDlgParams::OnInitDialog()
{
    CTvrCommonDialog::OnInitDialog();
    ForEachShown(m_arrShown, [this](int nOption, bool) {
        if (QCheckBox* pBox = OptionBox(nOption)) {
            pBox->setText(SubstitutedCaption(nOption, pBox->text()));
            pBox->setChecked(m_param.IsOptionSet(nOption));
        }
    });
    LayoutOptions();
    EnableDependentBoxes();
    return true;
}

void CDlgParams::LayoutOptions()
{
    const QFontMetrics metrics(font());
    int nNeed = 0;
    ForEachShown(m_arrShown, [&](int nOption, bool bIndent) {
        if (const QCheckBox* pBox = OptionBox(nOption))
            nNeed = std::max(nNeed, metrics.horizontalAdvance(pBox->text()) + (bIndent ? kIndent : 0));
    });
    const int cx = std::max(nNeed + kCaptionRoom, kMinClientWidth);
    int y = kMargin;
    QWidget* pPrevious = nullptr;
    ForEachShown(m_arrShown, [&](int nOption, bool bIndent) {
        QCheckBox* pBox = OptionBox(nOption);
        if (pBox == nullptr)
            return;
        const int x = kMargin + (bIndent ? kIndent : 0);
        pBox->setGeometry(x, y, cx - kMargin - x, pBox->height());
        if (pPrevious != nullptr)
            setTabOrder(pPrevious, pBox);
        pPrevious = pBox;
        pBox->show();
        y += pBox->height() + kBoxGap;
    });
    if (pPrevious != nullptr) {
        for (int nId : {IDOK, IDCANCEL}) {
            if (QWidget* pButton = GetDlgItem(nId)) {
                setTabOrder(pPrevious, pButton);
                pPrevious = pButton;
            }
        }
    }
    setFixedSize(cx, y + kButtonRoom);
    CenterWindow();
    RecalcLayout(width(), height());
}

void CDlgParams::RecalcLayout(int cx, int cy)
{
    int nButtonHeight = 0;
    LayoutOkCancel(cx, cy, nButtonHeight);
}

void CDlgParams::EnableDependentBoxes()
{
    for (const DependentBoxes& dependent : kDependentBoxes) {
        const QCheckBox* pMaster = OptionBox(dependent.nMaster);
        const bool bEnable = pMaster != nullptr && pMaster->isChecked();
        for (int n = dependent.nFirst; n <= dependent.nLast; ++n) {
            if (QCheckBox* pBox = OptionBox(n))
                EnableControl(pBox, bEnable);
        }
    }
}

void CDlgParams::OnCommand(int nId)
{
    const int nOption = nId - IDC_OPTION_FIRST;
    if (std::any_of(std::begin(kDependentBoxes), std::end(kDependentBoxes),
                    [nOption](const DependentBoxes& dependent) { return dependent.nMaster == nOption; }))
        EnableDependentBoxes();
    CTvrCommonDialog::OnCommand(nId);
}

void CDlgParams::OnOK()
{
    // Disabled boxes keep their check state and store it too.
    ForEachShown(m_arrShown, [this](int nOption, bool) {
        if (const QCheckBox* pBox = OptionBox(nOption))
            m_param.SetOption(nOption, pBox->isChecked());
    });
    CTvrCommonDialog::OnOK();
}

bool EditOptions(CZembraParam& param, const QList<int>& arrShown, const CompareTitles& titles, QWidget* pParent)
{
    CDlgParams dlg(param, arrShown, titles, pParent);
    return dlg.DoModal() == IDOK;
}

bool EditOptionsUntilOneSet(CZembraParam& param, const QList<int>& arrShown, const QList<int>& arrRequired,
                            const CompareTitles& titles, QWidget* pParent)
{
    while (EditOptions(param, arrShown, titles, pParent)) {
        if (arrRequired.isEmpty()
            || std::any_of(arrRequired.begin(), arrRequired.end(),
                        [&param](int nOption) { return param.IsOptionSet(nOption); }))
            return true;
    }
    return false;
}
