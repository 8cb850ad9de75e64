// Handlers of the dance editing that the Dances page and the record hooks
// call. Each does the least those callers need until its own part of the
// main window takes over.

#include "app/OrgForm.h"

#include "base/Dates.h"
#include "core/database/Tables.h"
#include "platform/rtf/RichEdit.h"

#include <QLineEdit>

void TOrgForm::NewDanceClick() {
    DancesData.Append();
    Title->setFocus();
}
