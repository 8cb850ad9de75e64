// The catalogue part of start-up.

#include "core/OrgForm.h"

#include "core/Log.h"

bool TOrgForm::openCatalogue() {
    return true;
}

QString TOrgForm::danceIndexName() const {
    return QString();
}

void TOrgForm::positionOnToday() {}
void TOrgForm::remindBookings() {}
void TOrgForm::fillSelectionBoxes() {}
void TOrgForm::finishSetup() {}

void TOrgForm::OnIdle() {}

void TOrgForm::FormClose() {
    WriteLog(QStringLiteral("FormClose"));
    WriteLog(QStringLiteral("END"));
}
