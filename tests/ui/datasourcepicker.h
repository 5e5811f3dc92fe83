#pragma once

#include "controls/dialogbuilder.h"
#include "controls/dlgdatasources.h"
#include "res/dialogtemplates.h"
#include "tools/dlgwait.h"

#include <QApplication>
#include <QListWidget>
#include <QTest>
#include <QTimer>

inline QListWidgetItem* ItemNamed(const QListWidget* pList, const QString& strName)
{
    for (int nRow = 0; nRow < pList->count(); ++nRow) {
        if (pList->item(nRow)->text().section(u'\t', 0, 0) == strName)
            return pList->item(nRow);
    }
    return nullptr;
}

// Drives the data-source dialog once it is the active modal window: picks
// the named data source on the user tab and clicks OK; notes whether the
// wait dialog came up afterwards.
inline void PickDataSourceWhenShown(const QString& strDsn, bool& bPicked, bool& bWaitShown)
{
    QTimer::singleShot(0, [&bPicked, &bWaitShown, strDsn] {
        auto* pDlg = qobject_cast<CDlgDataSources*>(QApplication::activeModalWidget());
        QVERIFY(pDlg != nullptr);
        QListWidgetItem* pItem = ItemNamed(pDlg->m_lbUser, strDsn);
        QVERIFY(pItem != nullptr);
        QTest::mouseClick(pDlg->m_lbUser->viewport(), Qt::LeftButton, {},
                          pDlg->m_lbUser->visualItemRect(pItem).center());
        bPicked = true;
        auto* pPoll = new QTimer(QCoreApplication::instance());   // freed at the latest with the application
        QObject::connect(pPoll, &QTimer::timeout, pPoll, [pPoll, &bWaitShown] {
            if (qobject_cast<CDlgWait*>(QApplication::activeModalWidget()) != nullptr) {
                bWaitShown = true;
                pPoll->deleteLater();
            }
        });
        pPoll->start(5);
        QTimer::singleShot(3000, pPoll, &QObject::deleteLater);
        QTest::mouseClick(pDlg->GetDlgItem(IDOK), Qt::LeftButton);
    });
}
