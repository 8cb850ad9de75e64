// The main window's views as the instructions command needs them, until the
// views themselves are in: the Dances page comes to the front in form view.

#include "app/OrgForm.h"

#include "base/Log.h"

#include <QTabWidget>

void TOrgForm::REDClick() {
    if (PC->currentWidget() == DancePage) return;
    PC->setCurrentWidget(DancePage);
    PCChange();
}

void TOrgForm::EnsureFormView() { TheMainWindow().FormView(); }

void TOrgForm::FormViewClick() { WriteLog(QStringLiteral("Form view")); }
