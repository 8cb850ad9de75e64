#include "core/startup/Positioning.h"

#include "base/Cp1252.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "core/dances/RecordHooks.h"
#include "core/database/Tables.h"

#include <cmath>

namespace {

struct Kept {
    bool kept = false;
    Dataset::Bookmark position = NoPos;
};

Kept &eventsPos() {
    static Kept k;
    return k;
}

Kept &dancesPos() {
    static Kept k;
    return k;
}

void enableKeepingChange(Dataset &events) {
    const bool changed = EventChanged;
    events.EnableControls();
    EventChanged = changed;
}

std::function<void(Dataset &)> &scrollHandler() {
    static std::function<void(Dataset &)> h = EventsAfterScroll;
    return h;
}

std::function<void(Dataset &)> &enabler() {
    static std::function<void(Dataset &)> e = enableKeepingChange;
    return e;
}

} // namespace

bool SeekRecord(Dataset &dataset, const QVariantList &values, SeekMode mode) {
    dataset.CheckBrowseMode();
    return dataset.Seek(values, mode);
}

bool SeekRecord(Dataset &dataset, const QVariantList &values, int mode) {
    if (mode < 0 || mode > 5)
        throw DbError(QStringLiteral("Unknown seek mode %1.").arg(mode));
    return SeekRecord(dataset, values, SeekMode(mode));
}

bool SeekEventDay(Dataset &events, double date, const EventDayMatch &match) {
    if (!events.active() || !events.database() || !std::isfinite(date)) return false;
    events.CheckBrowseMode();
    // A day number's whole part is its day, also below zero, where the
    // fraction counts the other way: the day's records lie within one day
    // either side of it.
    const double day = std::trunc(date);
    Statement s(events.database()->handle(),
                QStringLiteral("SELECT rowid, EDate, Org, Event FROM \"%1\" WHERE EDate > ? AND EDate < ? "
                               "ORDER BY EDate, rowid")
                    .arg(events.tableName()));
    s.bind(1, day - 1);
    s.bind(2, day + 1);
    while (s.step()) {
        if (std::trunc(s.column(1).toDouble()) != day) continue;
        const qint64 rowid = s.column(0).toLongLong();
        if (!events.BookmarkValid(rowid)) continue; // hidden by the filter
        if (match.org && !SameText(s.columnText(2), *match.org)) continue;
        if (match.event && !SameText(s.columnText(3), *match.event)) continue;
        s.finalize();
        events.GotoBookmark(rowid);
        return true;
    }
    return false;
}

void GotoPos(Dataset &dataset, Dataset::Bookmark position) {
    if (position == NoPos) return;
    try {
        if (position == AtEndPos) dataset.Last();
        else dataset.GotoBookmark(position);
    } catch (const std::exception &) {
        // The record went meanwhile: stay where the walk ended.
    }
}

void SavePos(Dataset &events) {
    WriteLog(QStringLiteral("SavePos"));
    if (eventsPos().kept) ShowMsg(QStringLiteral("Recursive call to SavePos"));
    events.AfterScroll = nullptr;
    events.DisableControls();
    eventsPos().kept = true;
    eventsPos().position = events.Eof() || events.IsEmpty() ? AtEndPos : events.GetBookmark();
}

void RestPos(Dataset &events) {
    WriteLog(QStringLiteral("RestPos"));
    events.AfterScroll = nullptr;
    if (eventsPos().kept && events.active()) GotoPos(events, eventsPos().position);
    eventsPos() = Kept{};
    events.AfterScroll = scrollHandler();
    enabler()(events);
}

void SavePos() {
    SavePos(EventsData);
}

void RestPos() {
    RestPos(EventsData);
}

bool PosKept() {
    return eventsPos().kept;
}

void ForgetPos() {
    eventsPos() = Kept{};
}

void SaveDancePos(Dataset &dances) {
    dancesPos().kept = true;
    dancesPos().position = dances.GetBookmark();
}

void RestDancePos(Dataset &dances) {
    if (!dancesPos().kept) return;
    if (dances.active()) GotoPos(dances, dancesPos().position);
    dancesPos() = Kept{};
}

void SaveDancePos() {
    SaveDancePos(DancesData);
}

void RestDancePos() {
    RestDancePos(DancesData);
}

void ForgetDancePos() {
    dancesPos() = Kept{};
}

bool DancePosKept() {
    return dancesPos().kept;
}

void SetEventsScrollHandler(std::function<void(Dataset &)> handler) {
    scrollHandler() = handler ? std::move(handler) : EventsAfterScroll;
}

void SetEventsEnable(std::function<void(Dataset &)> enable) {
    enabler() = enable ? std::move(enable) : enableKeepingChange;
}

void ResetPositions() {
    eventsPos() = Kept{};
    dancesPos() = Kept{};
    SetEventsScrollHandler({});
    SetEventsEnable({});
}
