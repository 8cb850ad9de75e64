#include "core/RecordHooks.h"

#include "core/FilterCommands.h"
#include "core/MainWindowLink.h"
#include "core/Messages.h"
#include "core/Settings.h"
#include "core/Tables.h"

void DancesBeforePost(Dataset &) {}
void EventsBeforePost(Dataset &) {}
void AnyAfterPost(Dataset &) {}
void BeforeDelete(Dataset &) {}
void BeforeInsert(Dataset &) {}
void DancesAfterScroll(Dataset &) {}
bool EventChanged = false;

void EventsAfterScroll(Dataset &) {
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
    EventsData.CheckBrowseMode();
    DancesData.CheckBrowseMode();
}
