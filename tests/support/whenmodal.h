#pragma once

#include <QApplication>
#include <QTimer>

#include <functional>

// Runs `act` on the modal window of type T once it is up, so that a test can play the user of
// a window that a command shows with exec().
template<typename T> void whenModal(const std::function<void(T &)> &act)
{
    auto *poll = new QTimer;
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        auto *window = qobject_cast<T *>(QApplication::activeModalWidget());
        if (!window || !window->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        act(*window);
    });
    poll->start();
}
