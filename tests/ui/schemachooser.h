#pragma once

#include "views/formdbselect.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QTest>

// Chooses a schema in a side's drop-down list as the user does: opens it
// and clicks the item whose key is strKey.
inline void ChooseSchema(CFormDBSelect* pForm, const QString& strKey)
{
    QComboBox* pCombo = pForm->m_cbSchema;
    int nItem = -1;
    for (int i = 0; i < pCombo->count(); ++i) {
        if (pForm->m_arrSchemas.value(pCombo->itemData(i).toInt()) == strKey)
            nItem = i;
    }
    QVERIFY2(nItem >= 0, qPrintable(strKey));
    pCombo->showPopup();
    QAbstractItemView* pView = pCombo->view();
    QTRY_VERIFY(pView->isVisible());
    // The popup ignores a release that comes as fast as a double click.
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    const QModelIndex index = pCombo->model()->index(nItem, 0);
    pView->scrollTo(index);
    QTest::mouseClick(pView->viewport(), Qt::LeftButton, {}, pView->visualRect(index).center());
}
