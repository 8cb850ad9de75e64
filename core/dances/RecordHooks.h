#pragma once
// The handlers the two table datasets run, attached by their names when the
// database opens, and the filter and save switches the database commands
// use. The hooks pass to the main window's handlers once it exists; the
// filter switch only switches filtering off, and saving posts or cancels
// what is pending.

#include "platform/sqlite/Dataset.h"

// The main window's own handlers behind the hooks below. The window installs
// itself; without it the hooks do only their own part, so the logic runs in
// tests as it is.
class RecordHookHandlers {
public:
    virtual ~RecordHookHandlers() = default;
    virtual void DancesBeforePost(Dataset &dataset) = 0;
    virtual void EventsBeforePost(Dataset &dataset) = 0;
    virtual void AnyAfterPost(Dataset &dataset) = 0;
    virtual void BeforeDelete(Dataset &dataset) = 0;
    virtual void DancesAfterScroll(Dataset &dataset) = 0;
    virtual void EventsAfterScroll(Dataset &dataset) = 0;
    // A dance post failed and its transaction is rolled back.
    virtual void DancesPostFailed(Dataset &) {}
    // A dance delete failed and its transaction is rolled back.
    virtual void DancesDeleteFailed(Dataset &) {}
};

// Installs the window's handlers (not owned); null removes them.
void SetRecordHookHandlers(RecordHookHandlers *handlers);
RecordHookHandlers *InstalledRecordHookHandlers();

// Set by every edit of the shown event; while set, saving the event saves
// its programme rows too.
extern bool EventChanged;

void DancesBeforePost(Dataset &dataset);
void DancesPostFailed(Dataset &dataset);
void DancesDeleteFailed(Dataset &dataset);
void EventsBeforePost(Dataset &dataset);
void AnyAfterPost(Dataset &dataset);
void BeforeDelete(Dataset &dataset);
void BeforeInsert(Dataset &dataset);
void DancesAfterScroll(Dataset &dataset);
// Another event became current: its edits are forgotten, no programme row
// is selected, and the event is shown.
void EventsAfterScroll(Dataset &dataset);
// Enables the Events controls one level, keeping EventChanged as it was.
void EventsEnable();
bool FilterRecord(Dataset &dataset);
// A post the database refuses: the table's name + " table:\r" + the error
// (help 85100); the post is abandoned and the record stays in edit.
void PostError(Dataset &dataset, const DbError &error, PostErrorAction &action);

// Mode 1: filtering off (unless it is off already).
void SetFilter(Dataset &dataset, int mode);
// Pending edits of both tables are posted (or cancelled when unchanged), and
// each table's before-scroll handler has its say, as for a move.
void TestSave();
