#include "platform/shell/BusyWait.h"

#include <QApplication>

BusyWait::BusyWait() {
    if (!qobject_cast<QApplication *>(QCoreApplication::instance())) return;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->isEnabled()) {
            w->setEnabled(false);
            disabled.append(w);
        }
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    cursor = true;
}

BusyWait::~BusyWait() {
    for (const QPointer<QWidget> &w : disabled)
        if (w) w->setEnabled(true);
    if (cursor) QApplication::restoreOverrideCursor();
}
