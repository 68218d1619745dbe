#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QLocalServer;

// One running program per user: the first start listens on a local socket
// named after the window title in the runtime folder; a later start tells it to
// come to the front and ends.
namespace korvane::app {

class SingleInstance : public QObject {
public:
    explicit SingleInstance(QString socketPath, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when another instance runs and was asked to come to the front.
    bool notifyRunning();
    // Starts listening (after removing a stale socket left by a crash); false when that failed.
    bool listen(std::function<void()> onRaiseRequest);

    static QString defaultSocketPath();

private:
    QString path_;
    std::unique_ptr<QLocalServer> server_;
    std::function<void()> onRaise_;
};

}  // namespace korvane::app
