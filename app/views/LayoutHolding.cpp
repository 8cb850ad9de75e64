#include "app/views/LayoutHolding.h"

#include <QBoxLayout>

QBoxLayout *LayoutHolding(QLayout *layout, QWidget *w) {
    if (!layout) return nullptr;
    if (layout->indexOf(w) >= 0) return qobject_cast<QBoxLayout *>(layout);
    for (int i = 0; i < layout->count(); ++i)
        if (QBoxLayout *found = LayoutHolding(layout->itemAt(i)->layout(), w)) return found;
    return nullptr;
}
