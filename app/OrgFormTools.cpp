// The catalogue tools the main window offers on its menus: validating and
// reorganising the dances.

#include "app/OrgForm.h"

#include "base/Log.h"
#include "publishing/catalogue/ReorgForm.h"
#include "publishing/catalogue/ValForm.h"

#include <QAction>
#include <QListWidget>
#include <QMenu>

void TOrgForm::buildCatalogueTools() {
    QAction *validate = DancesM->addAction(QStringLiteral("Validate"));
    validate->setObjectName(QStringLiteral("ValDance"));
    validate->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    connect(validate, &QAction::triggered, this, [this] { ValDanceClick(); });
    QAction *reorg = ToolsM->addAction(QStringLiteral("Reorganise Dances"));
    reorg->setObjectName(QStringLiteral("Reorg"));
    reorg->setProperty("HelpContext", 55550);
    connect(reorg, &QAction::triggered, this, [this] { ReorgClick(); });
}

void TOrgForm::ValDanceClick() {
    REDClick(DancesM);
    ValidateDances(this);
}

void TOrgForm::ReorgClick() {
    REDClick(DancesM);
    WriteLog(QStringLiteral("Reorg"));
    {
        TReorgForm form(this);
        form.exec();
        ClosePopList();
        // The pick list was lent to the form: it comes back before the form goes.
        if (PopList->parentWidget() != this) {
            PopList->setParent(this);
            PopList->setWindowFlags(Qt::Widget | Qt::FramelessWindowHint);
            PopList->hide();
        }
    }
}

bool TOrgForm::PopListShowing() const { return PopList && PopList->isVisible(); }
