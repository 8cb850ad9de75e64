#include "core/services/IdleHook.h"

#include <QAbstractEventDispatcher>
#include <QCursor>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QThread>
#include <malloc.h>

namespace {

// Events after which the program counts as having done something: the
// user's input, timers and queued calls. Paint and layout requests are left
// out, or showing something at idle time would call for idle time again.
bool IsActivity(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::TouchBegin:
    case QEvent::TouchEnd:
    case QEvent::Timer:
    case QEvent::MetaCall:
        return true;
    default:
        return type >= QEvent::User && type <= QEvent::MaxUser;
    }
}

} // namespace

IdleHook::IdleHook(std::function<void()> onIdle, QObject *parent) : QObject(parent), onIdle(std::move(onIdle)) {
    QCoreApplication::instance()->installEventFilter(this);
    if (auto *dispatcher = QAbstractEventDispatcher::instance(QThread::currentThread()))
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &IdleHook::aboutToBlock);
}

IdleHook::~IdleHook() {
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(this);
}

bool IdleHook::eventFilter(QObject *watched, QEvent *event) {
    if (!running && IsActivity(event->type())) noted = true;
    return QObject::eventFilter(watched, event);
}

void IdleHook::aboutToBlock() {
    if (!noted || queued) return;
    noted = false;
    queued = true;
    QMetaObject::invokeMethod(this, &IdleHook::runIdle, Qt::QueuedConnection);
}

void IdleHook::runIdle() {
    queued = false;
    running = true;
    ++callCount;
    try {
        if (onIdle) onIdle();
    } catch (...) {
        running = false;
        noted = false;
        throw;
    }
    running = false;
    // The call's own queued delivery does not count as activity.
    noted = false;
}

void BusyCursor() {
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void RestoreCursors() {
    while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
}

qint64 AllocatedBytes() { return qint64(mallinfo2().uordblks); }
