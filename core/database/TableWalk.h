#pragma once
// Keeps the shown records across a walk over Events or Dances with the
// controls disabled. Before the walk, pending edits are posted (with the
// controls disabled the record hooks would not check them and the boxes'
// typed text would be dropped), and each table's before-scroll handler has
// its say once, as for a move; each table's record is noted and its
// before- and after-scroll handlers rest. On every way out each table returns to the
// noted record, its controls and handler come back, and the main window
// shows the dance (and, when the event could not be kept, the event) whole.

#include "platform/sqlite/Dataset.h"

#include <functional>
#include <initializer_list>
#include <vector>

class TableWalk {
public:
    explicit TableWalk(std::initializer_list<Dataset *> tables);
    ~TableWalk();
    TableWalk(const TableWalk &) = delete;
    TableWalk &operator=(const TableWalk &) = delete;

private:
    struct Kept {
        Dataset *table;
        Dataset::Bookmark record;
        std::function<void(Dataset &)> afterScroll, beforeScroll;
    };
    std::vector<Kept> kept;
};
