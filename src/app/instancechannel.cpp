#include "app/instancechannel.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {
const QByteArray RaiseRequest = "raise\n";
}

InstanceChannel::InstanceChannel(const ProgramFolder &folder, QObject *parent)
    : QObject(parent)
    , m_name(serverName(folder)) {}

InstanceChannel::~InstanceChannel() = default;

QString InstanceChannel::serverName(const ProgramFolder &folder) {
    const QByteArray key = QDir(folder.path()).canonicalPath().toUtf8();
    return u"orlu-"_s +
           QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(16));
}

bool InstanceChannel::listen() {
    if (!m_server) {
        m_server = new QLocalServer(this);
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        connect(m_server, &QLocalServer::newConnection, this, &InstanceChannel::accept);
    }
    if (m_server->listen(m_name))
        return true;
    // A socket left by a run that crashed: this program holds the folder's lock, so it is stale.
    QLocalServer::removeServer(m_name);
    return m_server->listen(m_name);
}

void InstanceChannel::accept() {
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->readAll().contains(RaiseRequest)) {
                socket->write("ok\n");
                socket->flush();
                emit raiseRequested();
            }
        });
    }
}

bool InstanceChannel::askToRaise(const ProgramFolder &folder, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(serverName(folder));
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(RaiseRequest);
    return socket.waitForBytesWritten(timeoutMs) && socket.waitForReadyRead(timeoutMs) &&
           socket.readAll().startsWith("ok");
}

} // namespace orlu
