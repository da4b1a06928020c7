#include "ui/viewer/viewer_presence.h"

#include <unistd.h>
#include <QLocalServer>
#include <QLocalSocket>

QString ViewerSocketName() { return QString("sondara-vistrel-%1").arg(::getuid()); }

namespace {

// Sends `request` and waits for the one-line answer.
QByteArray Ask(const QByteArray& request, int waitMs) {
    QLocalSocket socket;
    socket.connectToServer(ViewerSocketName());
    if (!socket.waitForConnected(waitMs)) return {};
    socket.write(request + "\n");
    if (!socket.waitForBytesWritten(waitMs)) return {};
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(waitMs)) return {};
    }
    return socket.readLine().trimmed();
}

}  // namespace

bool ViewerAnnounced(int waitMs) { return Ask("hello", waitMs) == "Vistrel"; }

bool AskAnnouncedViewerToClose(int waitMs) { return Ask("close", waitMs) == "closing"; }

ViewerPresence::ViewerPresence(QObject* parent) : QObject(parent), server_(new QLocalServer(this)) {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                while (socket->canReadLine()) {
                    const QByteArray request = socket->readLine().trimmed();
                    if (request == "close") {
                        socket->write("closing\n");
                        socket->flush();
                        emit closeRequested();
                    } else {
                        socket->write("Vistrel\n");
                        socket->flush();
                    }
                }
            });
        }
    });
}

bool ViewerPresence::Announce() {
    if (server_->listen(ViewerSocketName())) return true;
    // A socket left by a viewer that was killed answers nobody: take its place.
    if (ViewerAnnounced()) return false;
    QLocalServer::removeServer(ViewerSocketName());
    return server_->listen(ViewerSocketName());
}
