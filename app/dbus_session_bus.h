#pragma once

#include <QObject>
#include <QString>

#include "app/session_bus.h"

// The session bus over D-Bus. Interface "org.korvane.Lighting" at the object
// path "/org/korvane/Lighting" (docs/ipc.md):
//   signal LightOwner(int32 wParam, int32 lParam)        sent by this program
//   signal LightOwnerNotice(int32 wParam, int32 lParam)  received from others
//   signal GameEvent(string event, int32 wParam, int32 lParam)  received
// and the system's sleep from logind's PrepareForSleep on the system bus.
namespace korvane::app {

class DBusSessionBus : public QObject, public SessionBus {
    Q_OBJECT

public:
    explicit DBusSessionBus(QObject* parent = nullptr);

    bool connected() const override { return connected_; }
    void setHandlers(Handlers handlers) override { handlers_ = std::move(handlers); }
    void broadcastLightOwner(int wParam, int lParam) override;

    static constexpr const char* kPath = "/org/korvane/Lighting";
    static constexpr const char* kInterface = "org.korvane.Lighting";

private slots:
    void onLightOwnerNotice(int wParam, int lParam);
    void onGameEvent(const QString& event, int wParam, int lParam);
    void onPrepareForSleep(bool start);

private:
    bool connected_ = false;
    Handlers handlers_;
};

}  // namespace korvane::app
