#pragma once

// Steps of the tests that drive the comparison window as the user does:
// the sides' data sources, their work, the schema choice and the lists.

#include "app/qalmetapp.h"
#include "db/dbdata.h"
#include "views/formdbselect.h"
#include "views/mainframe.h"
#include "tests/ui/schemachooser.h"
#include "views/zembralistctrl.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QMouseEvent>
#include <QPointer>
#include <QTest>

namespace windowtest {

// The data source a side connects to when the window opens.
inline void UseDataSource(int nSide, const QString& strDsn)
{
    CDBData* pDB = CQalmetApp::GetInstance()->GetDatabase(nSide);
    pDB->m_strDSN = strDsn;
    pDB->m_bSystemDSN = false;
}

// Both sides have ended their work (the connection of a side starts once
// the window shows).
inline bool SidesIdle(const CMainFrame* pFrame)
{
    QCoreApplication::processEvents();
    return !pFrame->GetDBForm(0)->IsBusy() && !pFrame->GetDBForm(1)->IsBusy();
}

// Opens the comparison window and waits until both sides have ended
// their work; null when they do not.
inline QPointer<CMainFrame> OpenWindow()
{
    QPointer<CMainFrame> pFrame = new CMainFrame(nullptr);
    pFrame->Open();
    if (!QTest::qWaitForWindowExposed(pFrame) || !QTest::qWaitFor([&] { return SidesIdle(pFrame); }))
        return nullptr;
    return pFrame;
}

// The table names a side lists, in the list's order.
inline QStringList ListedTables(const CFormDBSelect* pForm)
{
    QStringList names;
    for (int nRow = 0; nRow < pForm->m_lstTables->GetItemCount(); ++nRow)
        names << pForm->m_lstTables->GetItemText(nRow, 0);
    return names;
}

using ::ChooseSchema;

// Clicks a row of a list, or double-clicks it as the platform does: a
// click, then the double click on the same place.
inline void ClickRow(CZembraListCtrl* pList, int nRow, bool bDouble = false)
{
    const QModelIndex index = pList->model()->index(nRow, 0);
    pList->scrollTo(index);
    const QPoint point = pList->visualRect(index).center();
    QTest::mouseClick(pList->viewport(), Qt::LeftButton, {}, point);
    if (!bDouble)
        return;
    QMouseEvent dblClick(QEvent::MouseButtonDblClick, point, pList->viewport()->mapToGlobal(point), Qt::LeftButton,
                         Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(pList->viewport(), &dblClick);
    QTest::mouseRelease(pList->viewport(), Qt::LeftButton, {}, point);
}

}  // namespace windowtest
