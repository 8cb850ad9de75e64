#include "core/RecordHooks.h"

#include "core/FilterCommands.h"
#include "core/MainWindowLink.h"
#include "core/Messages.h"
#include "core/OrgForm.h"
#include "core/Settings.h"
#include "core/Tables.h"

// The main window's handlers, once it exists.
void DancesBeforePost(Dataset &ds) {
    if (OrgForm) OrgForm->DancesBeforePost(ds);
}
void EventsBeforePost(Dataset &ds) {
    if (OrgForm) OrgForm->EventsBeforePost(ds);
}
void AnyAfterPost(Dataset &ds) {
    if (OrgForm) OrgForm->AnyAfterPost(ds);
}
void BeforeDelete(Dataset &ds) {
    if (OrgForm) OrgForm->BeforeDelete(ds);
}
void BeforeInsert(Dataset &) {}
void DancesAfterScroll(Dataset &ds) {
    if (OrgForm) OrgForm->DancesAfterScroll(ds);
}
bool EventChanged = false;

void EventsAfterScroll(Dataset &ds) {
    if (OrgForm) return OrgForm->EventsAfterScroll(ds);
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
