#include "core/startup/HintPause.h"

#include <QHelpEvent>
#include <QToolTip>
#include <QWidget>

bool HintPause::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::ToolTip || !watched->isWidgetType())
        return QObject::eventFilter(watched, event);
    auto *w = static_cast<QWidget *>(watched);
    if (w->toolTip().isEmpty()) return QObject::eventFilter(watched, event);
    const auto *help = static_cast<QHelpEvent *>(event);
    QToolTip::showText(help->globalPos(), w->toolTip(), w, QRect(), HideMs);
    return true;
}
