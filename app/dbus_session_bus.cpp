#include "app/dbus_session_bus.h"

#include <QDBusConnection>
#include <QDBusMessage>

#include "platform/log/logger.h"

namespace korvane::app {

DBusSessionBus::DBusSessionBus(QObject* parent) : QObject(parent) {
    QDBusConnection session = QDBusConnection::sessionBus();
    connected_ = session.isConnected();
    if (connected_) {
        session.connect(QString(), kPath, kInterface, "LightOwnerNotice", this,
                        SLOT(onLightOwnerNotice(int, int)));
        session.connect(QString(), kPath, kInterface, "GameEvent", this,
                        SLOT(onGameEvent(QString, int, int)));
    } else {
        log::debug("no D-Bus session bus: lighting broadcasts and game events are off");
    }
    QDBusConnection system = QDBusConnection::systemBus();
    if (!system.isConnected() ||
        !system.connect("org.freedesktop.login1", "/org/freedesktop/login1",
                        "org.freedesktop.login1.Manager", "PrepareForSleep", this,
                        SLOT(onPrepareForSleep(bool)))) {
        log::debug("no sleep notifications from the system bus");
    }
}

void DBusSessionBus::broadcastLightOwner(int wParam, int lParam) {
    if (!connected_) {
        return;
    }
    QDBusMessage signal = QDBusMessage::createSignal(kPath, kInterface, "LightOwner");
    signal << wParam << lParam;
    QDBusConnection::sessionBus().send(signal);
}

void DBusSessionBus::onLightOwnerNotice(int wParam, int lParam) {
    if (handlers_.lightOwnerNotice) handlers_.lightOwnerNotice(wParam, lParam);
}

void DBusSessionBus::onGameEvent(const QString& event, int wParam, int lParam) {
    static const QStringList kKnown = {"Game_Start", "Game_End", "Game_Kill", "Game_Death"};
    if (!kKnown.contains(event)) {
        return;
    }
    if (handlers_.gameEvent) handlers_.gameEvent(event.toStdString(), wParam, lParam);
}

void DBusSessionBus::onPrepareForSleep(bool start) {
    if (handlers_.sleep) handlers_.sleep(start);
}

}  // namespace korvane::app
