#include "core/database/TableWalk.h"

#include "core/dances/RecordHooks.h"
#include "core/database/Tables.h"
#include "core/services/MainWindowLink.h"

TableWalk::TableWalk(std::initializer_list<Dataset *> tables) {
    // Every check runs before anything is held: a refused edit stops the
    // command with nothing to put back.
    for (Dataset *table : tables) {
        if (!table->active()) continue;
        table->CheckBrowseMode();
        if (table->BeforeScroll) table->BeforeScroll(*table);
    }
    for (Dataset *table : tables) {
        if (!table->active()) continue;
        kept.push_back({table, table->GetBookmark(), std::exchange(table->AfterScroll, nullptr),
                        std::exchange(table->BeforeScroll, nullptr)});
        table->DisableControls();
    }
}

TableWalk::~TableWalk() {
    bool dances = false, eventLost = false;
    for (auto it = kept.rbegin(); it != kept.rend(); ++it) {
        Dataset &table = *it->table;
        bool back = true;
        try {
            if (table.active()) {
                if (table.State() != DatasetState::Browse) table.Cancel();
                if (it->record && table.GetBookmark() != it->record) {
                    if (table.BookmarkValid(it->record)) table.GotoBookmark(it->record);
                    else back = false;
                }
            }
        } catch (...) {
            back = false;
        }
        table.AfterScroll = it->afterScroll;
        if (!table.BeforeScroll) table.BeforeScroll = it->beforeScroll;
        try {
            // A record other than the noted one gets its handler's due.
            if (!back && table.active() && table.AfterScroll) table.AfterScroll(table);
        } catch (...) {
        }
        if (&table == &EventsData) EventsEnable();
        else table.EnableControls();
        if (&table == &DancesData) dances = true;
        else if (!back) eventLost = true;
    }
    try {
        if (dances) TheMainWindow().ShowDance();
        if (eventLost) TheMainWindow().ShowEvent();
    } catch (...) {
        // Showing is all that is left to do; the records are where they belong.
    }
}
