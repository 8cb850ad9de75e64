#include "platform/shell/KeyState.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QObject>
#include <QPointer>
#include <QWidget>

// The named keyboard indicator under X11: 1 on, 0 off, -1 when it cannot be
// read (another platform, or none such). Kept apart: X11's macros clash with Qt's names.
int X11Indicator(const char *name);

namespace {

bool capsCopy = false;
bool numCopy = false;
bool insertCopy = false;

class KeyPressWatcher : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
        auto *key = static_cast<QKeyEvent *>(event);
        auto *widget = static_cast<QWidget *>(watched);
        // An unhandled key press travels on to the parents of the widget it
        // reached first: count it there only.
        const bool travelling = event == lastEvent && lastReceiver && widget != lastReceiver &&
                                widget->isAncestorOf(lastReceiver);
        lastEvent = event;
        lastReceiver = widget;
        if (!travelling && !key->isAutoRepeat()) KeyState::notePress(key->key());
        return false;
    }

private:
    const QEvent *lastEvent = nullptr;
    QPointer<QWidget> lastReceiver;
};

} // namespace

bool KeyState::isDown(StateKey key) {
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance())) return false;
    const Qt::KeyboardModifiers mods = QGuiApplication::queryKeyboardModifiers();
    switch (key) {
    case StateKey::Shift: return mods.testFlag(Qt::ShiftModifier);
    case StateKey::Control: return mods.testFlag(Qt::ControlModifier);
    case StateKey::Alt: return mods.testFlag(Qt::AltModifier);
    default: return false;
    }
}

bool KeyState::isToggled(StateKey key) {
    switch (key) {
    case StateKey::CapsLock: {
        const int on = X11Indicator("Caps Lock");
        return on < 0 ? capsCopy : on == 1;
    }
    case StateKey::NumLock: {
        const int on = X11Indicator("Num Lock");
        return on < 0 ? numCopy : on == 1;
    }
    case StateKey::Insert: return insertCopy;
    default: return false;
    }
}

void KeyState::notePress(int qtKey) {
    switch (qtKey) {
    case Qt::Key_CapsLock: capsCopy = !capsCopy; break;
    case Qt::Key_NumLock: numCopy = !numCopy; break;
    case Qt::Key_Insert: insertCopy = !insertCopy; break;
    default: break;
    }
}

void KeyState::install() {
    static KeyPressWatcher *watcher = nullptr;
    QCoreApplication *app = QCoreApplication::instance();
    if (!app || watcher) return;
    watcher = new KeyPressWatcher(app);
    app->installEventFilter(watcher);
}

void KeyState::reset() {
    capsCopy = numCopy = insertCopy = false;
}
