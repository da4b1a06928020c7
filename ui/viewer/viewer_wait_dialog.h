#pragma once
// The waiting box "稍等" shown while the group-plot viewer starts. Unlike a message
// box it closes by itself: when the viewer's window appears, or when the viewer ends
// before showing one (then saying so). The user can close it with OK at any time.

#include <QDialog>
#include <QTimer>
#include <functional>

class QLabel;

class ViewerWaitDialog : public QDialog {
    Q_OBJECT

public:
    ViewerWaitDialog(const QString& text, std::function<bool()> viewerShown, std::function<bool()> viewerRunning,
                     QWidget* parent = nullptr, int pollMs = 300);

    // Set when the viewer ended without showing its window.
    bool viewerEnded() const { return viewerEnded_; }

private:
    void Poll();

    std::function<bool()> viewerShown_;
    std::function<bool()> viewerRunning_;
    QTimer poll_;
    bool viewerEnded_ = false;
};
