#pragma once

#include "tools/dlgwait.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

#include <functional>

// Watches the modal windows of a test from the event loop: notes the wait
// dialog and lets the test act on it, and answers every message box with
// its OK (or default) button, keeping its text.
class ModalWatcher : public QObject
{
public:
    ModalWatcher()
    {
        connect(&m_timer, &QTimer::timeout, this, &ModalWatcher::Poll);
        m_timer.start(5);
    }

    // Called at each poll while a wait dialog is the active modal window.
    std::function<void(CDlgWait&)> onWait;
    bool m_bWaitShown = false;
    QStringList m_arrBoxTexts;

private:
    void Poll()
    {
        QWidget* pModal = QApplication::activeModalWidget();
        if (auto* pWait = qobject_cast<CDlgWait*>(pModal)) {
            m_bWaitShown = true;
            if (onWait)
                onWait(*pWait);
        } else if (auto* pBox = qobject_cast<QMessageBox*>(pModal); pBox && pBox->isVisible()) {
            m_arrBoxTexts << pBox->text();
            QAbstractButton* pButton = pBox->button(QMessageBox::Ok);
            if (pButton == nullptr)
                pButton = pBox->defaultButton();
            if (pButton != nullptr)
                pButton->click();
            else
                pBox->done(0);
        }
    }

    QTimer m_timer;
};
