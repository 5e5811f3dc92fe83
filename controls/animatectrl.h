#pragma once

#include <QImage>
#include <QList>
#include <QTimer>
#include <QWidget>

// The working animation (resource 511), played in a loop over the
// dialog's background.
class CAnimateCtrl : public QWidget
{
    Q_OBJECT

public:
    explicit CAnimateCtrl(QWidget* pParent = nullptr);

    // Loads the frames of an animation resource; false for an unknown one.
    bool Open(int nResourceId);
    // Plays from the first frame in a loop.
    void Play();
    void Stop();
    bool IsPlaying() const { return m_timer.isActive(); }
    int CurrentFrame() const { return m_nFrame; }

protected:
    void paintEvent(QPaintEvent* pEvent) override;

private:
    QList<QImage> m_arrFrames;
    int m_nFrame = 0;
    QTimer m_timer;
};
