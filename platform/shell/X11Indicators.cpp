// Reads a keyboard indicator (Caps Lock, Num Lock) from the X server the
// program runs on. Kept apart from Qt code: X11's macros clash with Qt's names.

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#if QT_CONFIG(xcb)
#include <X11/XKBlib.h>
#endif

int X11Indicator(const char *name) {
#if QT_CONFIG(xcb)
    auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
    if (!app) return -1;
    auto *x11 = app->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->display()) return -1;
    Display *display = x11->display();
    const Atom atom = XInternAtom(display, name, True);
    if (atom == None) return -1;
    Bool on = False;
    if (!XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr)) return -1;
    return on ? 1 : 0;
#else
    Q_UNUSED(name);
    return -1;
#endif
}
