#include "platform/qt/message_loop.h"

#include <QApplication>

namespace korvane::qt {

int runMessageLoop() {
    return QApplication::exec();
}

void quitMessageLoop(int exitCode) {
    QCoreApplication::exit(exitCode);
}

}  // namespace korvane::qt
