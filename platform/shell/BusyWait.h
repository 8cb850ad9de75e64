#pragma once
// While it lives, the program's visible windows are disabled under a busy
// cursor; events still run, so a local event loop can wait for other work
// without the desktop taking the program for frozen.

#include <QList>
#include <QPointer>
#include <QWidget>

class BusyWait {
public:
    BusyWait();
    ~BusyWait();
    BusyWait(const BusyWait &) = delete;
    BusyWait &operator=(const BusyWait &) = delete;

private:
    QList<QPointer<QWidget>> disabled;
    bool cursor = false;
};
