// The catalogue tools the main window offers on its menus: validating the
// dances.

#include "app/OrgForm.h"

#include "publishing/catalogue/ValForm.h"

#include <QAction>
#include <QMenu>

void TOrgForm::buildCatalogueTools() {
    QAction *validate = DancesM->addAction(QStringLiteral("Validate"));
    validate->setObjectName(QStringLiteral("ValDance"));
    validate->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    connect(validate, &QAction::triggered, this, [this] { ValDanceClick(); });
}

void TOrgForm::ValDanceClick() {
    REDClick();
    ValidateDances(this);
}
