#pragma once
// The application's idle time: once the event loop has handled input, timer
// or posted events and is about to wait, one idle call is queued. Also the
// busy cursor that idle time takes away again, and the allocated memory.

#include <QObject>
#include <functional>

class IdleHook : public QObject {
    Q_OBJECT
public:
    // Watches the application's events; onIdle runs on the event loop.
    explicit IdleHook(std::function<void()> onIdle, QObject *parent = nullptr);
    ~IdleHook() override;

    // Idle calls made so far.
    int calls() const { return callCount; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void aboutToBlock();
    void runIdle();

    std::function<void()> onIdle;
    bool noted = false;
    bool queued = false;
    bool running = false;
    int callCount = 0;
};

// The wait cursor, shown at once (pending events other than input handled).
void BusyCursor();
// Takes every override cursor away: the default cursor shows again.
void RestoreCursors();

// Bytes the program has allocated on its heap.
qint64 AllocatedBytes();
