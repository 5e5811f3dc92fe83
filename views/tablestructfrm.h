#pragma once

#include "app/tablestructurewindow.h"

#include <QPointer>
#include <QSize>
#include <QString>
#include <QWidget>

class CFormDBSelect;
class CFormTableStruct;

// The structure window of one table or view: its fields and indexes on
// two tabs (CFormTableStruct), owned by the selection form that opened
// it. Every structure window shares one saved placement: the last one
// closed stores it, the next one opened takes it. The application object
// lists the open ones, so that Enter in their search field searches.
class CTableStructFrm : public QWidget, public ITableStructureWindow
{
    Q_OBJECT

public:
    static constexpr QSize kMinTrackSize{370, 270};
    static constexpr int kMaxTrackWidth = 500;
    static constexpr int kPlacementIndex = 1;

    // Opens the window of a table of pOwnerForm's side, with the table or
    // view image (IMG_TABLE, IMG_VIEW) as its icon. When the structure
    // cannot be read the user is told the driver's reason and no window
    // opens (null).
    static CTableStructFrm* Open(int nImage, int nSide, const QString& strTable, CFormDBSelect* pOwnerForm);
    ~CTableStructFrm() override;

    CFormTableStruct* GetForm() const { return m_pForm; }
    CFormDBSelect* GetOwnerForm() const { return m_pOwnerForm; }

    // ITableStructureWindow: Enter in the search field searches.
    bool HandleKeyDown(int nKey) override;

    const int m_nSide;
    const QString m_strTable;

protected:
    void closeEvent(QCloseEvent* pEvent) override;

private:
    CTableStructFrm(int nImage, int nSide, const QString& strTable, CFormDBSelect* pOwnerForm);
    // Builds the form, which reads the structure; false when it cannot.
    bool Create();
    // The window goes: its placement is stored and the application forgets
    // it; once only, whichever way the window goes.
    void Leave();

    QPointer<CFormDBSelect> m_pOwnerForm;
    CFormTableStruct* m_pForm = nullptr;
    bool m_bListed = false;
};
