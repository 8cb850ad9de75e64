// What the Events page needs from the record hooks until they come.

#include "core/OrgForm.h"

#include "core/AppServices.h"
#include "core/DanceLocate.h"
#include "core/RecordHooks.h"
#include "core/Tables.h"

qint64 PendingRec = 0;
bool PendingRecDets = false;

void TOrgForm::EventsChange() {
    if (EventsData.active() && !EventsData.IsEmpty() && EventsData.State() == DatasetState::Browse) {
        EventsData.Edit();
        Field &updated = EventsData.FieldByName(QStringLiteral("Updated"));
        updated.SetValue(updated.Value());
    }
    EventChanged = true;
}

void TOrgForm::LocateDance(const QString &title, const QString &format, const QString &style) {
    if (title.isEmpty()) return;
    SeekDance(DancesData, DancesData.indexName(), {title, format, style});
}
