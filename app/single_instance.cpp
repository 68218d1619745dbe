#include "app/single_instance.h"

#include <unistd.h>

#include <QLocalServer>
#include <QLocalSocket>

#include "app/app_paths.h"
#include "platform/log/logger.h"

namespace korvane::app {
namespace {
constexpr char kRaise[] = "raise\n";
}

SingleInstance::SingleInstance(QString socketPath, QObject* parent)
    : QObject(parent), path_(std::move(socketPath)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultSocketPath() {
    // The user's id in the name keeps users apart where the runtime folder is shared.
    std::string name = std::string(kWindowTitle) + "-" + std::to_string(getuid()) + ".sock";
    return QString::fromStdString((runtimeFolder() / name).string());
}

bool SingleInstance::notifyRunning() {
    QLocalSocket socket;
    socket.connectToServer(path_);
    if (!socket.waitForConnected(500)) {
        return false;
    }
    socket.write(kRaise);
    socket.waitForBytesWritten(500);
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::listen(std::function<void()> onRaiseRequest) {
    onRaise_ = std::move(onRaiseRequest);
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(path_)) {
        // Nobody answered on it, so it is a socket left behind by a crash.
        QLocalServer::removeServer(path_);
        if (!server_->listen(path_)) {
            log::debugf("single instance: cannot listen on %s", path_.toStdString().c_str());
            return false;
        }
    }
    QObject::connect(server_.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* client = server_->nextPendingConnection()) {
            QObject::connect(client, &QLocalSocket::readyRead, client, [this, client] {
                if (client->readAll().startsWith("raise") && onRaise_) {
                    onRaise_();
                }
            });
            QObject::connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
        }
    });
    return true;
}

}  // namespace korvane::app
