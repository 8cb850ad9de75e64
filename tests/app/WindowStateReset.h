#pragma once
// The program-wide state the main window's handlers leave behind, put back
// to its start so that a window test passes whatever ran before it.

#include "core/dances/DanceLocate.h"
#include "core/dances/DanceRecord.h"
#include "core/dances/DanceShow.h"
#include "core/database/Tables.h"
#include "core/filter/Filter.h"
#include "core/filter/FilterCommands.h"
#include "core/filter/Tags.h"
#include "core/startup/Positioning.h"

inline void ResetWindowState() {
    ResetTables();
    ResetFilterCommands();
    ResetFilterState();
    ResetTagState();
    ResetPositions();
    ResetLocateState();
    ResetRecordState();
    ResetDanceShowState();
}
