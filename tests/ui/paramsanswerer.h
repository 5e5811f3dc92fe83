#pragma once

#include "res/dialogtemplates.h"
#include "views/dlgparams.h"

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <functional>

// Answers each options dialog that comes up with the next script of the
// list; a dialog beyond the scripts is cancelled.
class ParamsAnswerer : public QObject
{
public:
    explicit ParamsAnswerer(QList<std::function<void(CDlgParams&)>> arrScripts) : m_arrScripts(std::move(arrScripts))
    {
        connect(&m_timer, &QTimer::timeout, this, &ParamsAnswerer::Poll);
        m_timer.start(5);
    }

    int m_nShown = 0;

private:
    void Poll()
    {
        auto* pDlg = qobject_cast<CDlgParams*>(QApplication::activeModalWidget());
        if (pDlg == nullptr || !pDlg->isVisible() || pDlg == m_pLast)
            return;
        m_pLast = pDlg;
        const int nScript = m_nShown++;
        if (nScript < m_arrScripts.size())
            m_arrScripts[nScript](*pDlg);
        // A failed script, or a dialog beyond them, is cancelled.
        if (pDlg->isVisible() && (nScript >= m_arrScripts.size() || QTest::currentTestFailed()))
            QTest::mouseClick(pDlg->GetDlgItem(IDCANCEL), Qt::LeftButton);
    }

    QList<std::function<void(CDlgParams&)>> m_arrScripts;
    QPointer<CDlgParams> m_pLast;
    QTimer m_timer;
};

