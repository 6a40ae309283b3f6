#include "ui/WindowWait.h"

#include <QEventLoop>
#include <QTimer>

namespace vocabrella::ui {

void WindowWait::sleep(std::chrono::milliseconds duration) {
    QEventLoop loop;
    QTimer::singleShot(duration, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace vocabrella::ui
