#pragma once
// The handlers the two table datasets run, attached by their names when the
// database opens, and the filter and save switches the database commands
// use. The hooks pass to the main window's handlers once it exists; the
// filter switch only switches filtering off, and saving posts or cancels
// what is pending.

#include "platform/sqlite/Dataset.h"

// Set by every edit of the shown event; while set, saving the event saves
// its programme rows too.
extern bool EventChanged;

void DancesBeforePost(Dataset &dataset);
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
// Pending edits of both tables are posted (or cancelled when unchanged).
void TestSave();
