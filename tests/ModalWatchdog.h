#pragma once
// Closes a modal dialog that nobody in the test closed, so that a wrong turn
// fails the test instead of hanging the run.

#include <QApplication>
#include <QDialog>
#include <QTimer>

class ModalWatchdog {
public:
    void start(int intervalMs = 3000) {
        fired = false;
        timer.setInterval(intervalMs);
        QObject::disconnect(&timer, nullptr, nullptr, nullptr);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (auto *d = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
                fired = true;
                d->done(0);
            }
        });
        timer.start();
    }
    void stop() { timer.stop(); }

    bool fired = false;

private:
    QTimer timer;
};
