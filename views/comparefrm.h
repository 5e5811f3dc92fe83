#pragma once

#include <QSize>
#include <QWidget>

class CCompareLauncher;
class CFormCompare;

// A result window of the comparison window: one result form, its saved
// placement, a minimum size and, where its form is a narrow list, a
// maximum width. While a comparison runs it refuses to close.
class CCompareFrm : public QWidget
{
    Q_OBJECT

public:
    static constexpr QSize kMinTrackSize{400, 350};
    static constexpr int kMaxLimitedWidth = 750;

    CCompareFrm(CCompareLauncher& launcher, QWidget* pParent);
    ~CCompareFrm() override;

    // 2 tables, 3 fields, 4 aliases: the index of the saved placement.
    virtual int GetPlacementIndex() const = 0;
    // True when the window may not grow beyond kMaxLimitedWidth.
    virtual bool LimitWidth() const = 0;
    // Runs the comparison the window shows unless its result exists;
    // false when there is no result to show.
    virtual bool RunComparison();

    // Builds the form, restores the placement and sets the title; false
    // when the form cannot be built.
    bool CreateCompareFrame(const QString& strTitle);
    CFormCompare* GetForm() const { return m_pForm; }
    // Enter in the form's search field searches.
    bool HandleKeyDown(int nKey);

protected:
    virtual CFormCompare* CreateForm() = 0;
    void closeEvent(QCloseEvent* pEvent) override;

    CCompareLauncher& m_launcher;

private:
    CFormCompare* m_pForm = nullptr;
};
