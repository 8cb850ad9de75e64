#include "core/dances/RecordHooks.h"

#include "base/Messages.h"
#include "core/database/Tables.h"
#include "core/filter/FilterCommands.h"
#include "core/services/MainWindowLink.h"
#include "core/startup/Settings.h"
#include "programme/rows/RowLayout.h"

namespace {
RecordHookHandlers *Handlers = nullptr;
}

void SetRecordHookHandlers(RecordHookHandlers *handlers) { Handlers = handlers; }
RecordHookHandlers *InstalledRecordHookHandlers() { return Handlers; }

// The main window's handlers, once it exists.
void DancesBeforePost(Dataset &ds) {
    if (Handlers) Handlers->DancesBeforePost(ds);
}
void DancesPostFailed(Dataset &ds) {
    if (Handlers) Handlers->DancesPostFailed(ds);
}
void DancesDeleteFailed(Dataset &ds) {
    if (Handlers) Handlers->DancesDeleteFailed(ds);
}
void EventsBeforePost(Dataset &ds) {
    if (Handlers) Handlers->EventsBeforePost(ds);
}
void AnyAfterPost(Dataset &ds) {
    if (Handlers) Handlers->AnyAfterPost(ds);
}
void BeforeDelete(Dataset &ds) {
    if (Handlers) Handlers->BeforeDelete(ds);
}
// A new record starts with the filter off, so that it stays in sight.
void BeforeInsert(Dataset &ds) { SetFilter(ds, 1); }
void DancesAfterScroll(Dataset &ds) {
    if (Handlers) Handlers->DancesAfterScroll(ds);
}
bool EventChanged = false;

void EventsAfterScroll(Dataset &ds) {
    if (Handlers) return Handlers->EventsAfterScroll(ds);
    EventChanged = false;
    ThisIndex = -1;
    TheMainWindow().ShowEvent();
}

void EventsEnable() {
    const bool changed = EventChanged;
    EventsData.EnableControls();
    EventChanged = changed;
}

bool FilterRecord(Dataset &dataset) {
    return DatasetFilterRecord(dataset);
}

void PostError(Dataset &dataset, const DbError &error, PostErrorAction &action) {
    OKHelpCancel(dataset.tableName() + QStringLiteral(" table:\r") + error.text(), 85100);
    action = PostErrorAction::Abort;
}

void SetFilter(Dataset &dataset, int mode) {
    SetFilter(FilterTableOf(dataset), mode);
}

void TestSave() {
    for (Dataset *table : {&EventsData, &DancesData}) {
        table->CheckBrowseMode();
        // The records are about to go: what is pending for them elsewhere has its say.
        if (table->active() && table->BeforeScroll) table->BeforeScroll(*table);
    }
}
