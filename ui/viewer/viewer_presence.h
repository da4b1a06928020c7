#pragma once
// How the group-plot viewer's window is found on every window system: once its
// window "Vistrel" is up, the viewer listens on a local socket named for the user;
// the main program asks it there whether it is up and to close. (Window titles can
// be listed only on X11 with a window manager; this works offscreen and on Wayland.)

#include <QObject>
#include <QString>

class QLocalServer;

// "sondara-vistrel-<uid>", in the temporary folder.
QString ViewerSocketName();

// Whether a viewer answers on the socket.
bool ViewerAnnounced(int waitMs = 300);

// Asks an announced viewer to close its window; returns whether one was asked.
bool AskAnnouncedViewerToClose(int waitMs = 300);

// The viewer's side: listens while it lives and emits closeRequested when asked.
class ViewerPresence : public QObject {
    Q_OBJECT

public:
    explicit ViewerPresence(QObject* parent = nullptr);
    // Starts listening; false when another live viewer holds the name.
    bool Announce();

signals:
    void closeRequested();

private:
    QLocalServer* server_;
};
