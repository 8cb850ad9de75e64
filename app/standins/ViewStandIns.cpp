#include "app/standins/ViewStandIns.h"

#include "app/OrgForm.h"
#include "base/Log.h"
#include "core/database/Tables.h"

#include <QTabWidget>

namespace StandIn {

void ShowPage(TOrgForm &form, QWidget *page) {
    WriteLog(QStringLiteral("Page switch"));
    if (EventsData.active()) EventsData.CheckBrowseMode();
    if (form.PC->currentWidget() != page) {
        form.PC->setCurrentWidget(page);
        form.PCChange();
    }
}

void EnsureFormView(TOrgForm &form) { form.FormView(); }

} // namespace StandIn
