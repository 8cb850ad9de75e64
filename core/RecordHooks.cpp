#include "core/RecordHooks.h"

#include "core/Messages.h"
#include "core/Tables.h"

void DancesBeforePost(Dataset &) {}
void EventsBeforePost(Dataset &) {}
void AnyAfterPost(Dataset &) {}
void BeforeDelete(Dataset &) {}
void BeforeInsert(Dataset &) {}
void DancesAfterScroll(Dataset &) {}
void EventsAfterScroll(Dataset &) {}
bool FilterRecord(Dataset &) { return true; }

void PostError(Dataset &dataset, const DbError &error, PostErrorAction &action) {
    OKHelpCancel(dataset.tableName() + QStringLiteral(" table:\r") + error.text(), 85100);
    action = PostErrorAction::Abort;
}

void SetFilter(Dataset &dataset, int mode) {
    if (mode == 1 && dataset.Filtered()) dataset.SetFiltered(false);
}

void TestSave() {
    EventsData.CheckBrowseMode();
    DancesData.CheckBrowseMode();
}
