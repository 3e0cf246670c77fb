#include "platform/SingleInstance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>

#include <unistd.h>

namespace {
const QByteArray kActivate = QByteArrayLiteral("activate\n");
constexpr int kConnectTimeoutMs = 500;
} // namespace

SingleInstance::SingleInstance(QObject* parent) : QObject(parent) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::ServerName() {
    const QString name = QStringLiteral("Zorvane-%1").arg(static_cast<qulonglong>(::getuid()));
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return runtime + QLatin1Char('/') + name;
    const QString tmp = qEnvironmentVariable("TMPDIR");
    return (tmp.isEmpty() ? QStringLiteral("/tmp") : QDir::cleanPath(tmp)) + QLatin1Char('/') +
           name + QStringLiteral(".socket");
}

bool SingleInstance::ActivateRunning() {
    QLocalSocket socket;
    socket.connectToServer(ServerName());
    if (!socket.waitForConnected(kConnectTimeoutMs))
        return false;
    socket.write(kActivate);
    socket.waitForBytesWritten(kConnectTimeoutMs);
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::Listen() {
    Server = std::make_unique<QLocalServer>();
    Server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(Server.get(), &QLocalServer::newConnection, this, &SingleInstance::OnNewConnection);
    if (Server->listen(ServerName()))
        return true;
    if (Server->serverError() != QAbstractSocket::AddressInUseError)
        return false;
    // A socket left over from a crash answers nobody; one that answers belongs to a live instance.
    QLocalSocket probe;
    probe.connectToServer(ServerName());
    if (probe.waitForConnected(kConnectTimeoutMs))
        return false;
    QLocalServer::removeServer(ServerName());
    return Server->listen(ServerName());
}

void SingleInstance::OnNewConnection() {
    while (QLocalSocket* socket = Server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto readRequest = [this, socket] {
            if (socket->readAll().contains(kActivate.trimmed()))
                emit activationRequested();
        };
        connect(socket, &QLocalSocket::readyRead, this, readRequest);
        if (socket->bytesAvailable() > 0)
            readRequest();
    }
}
