// The Dances menu's common step, doing only what its commands need until the
// views are in: the Dances page comes to the front.

#include "app/OrgForm.h"

#include <QTabWidget>

void TOrgForm::REDClick() { PC->setCurrentWidget(DancePage); }
