#include "programme/evaluation/SqlProgrammeData.h"

#include "base/Dates.h"
#include "platform/sqlite/Database.h"
#include "platform/sqlite/Field.h"

#include <cmath>

SqlDanceLookup::SqlDanceLookup(Database &db) : db(db) {}

SqlDanceLookup::~SqlDanceLookup() = default;

bool SqlDanceLookup::seek(const DanceKey &key) const {
    if (!byKey) {
        infos = db.fields(QStringLiteral("Dances"));
        byKey = std::make_unique<Statement>(
            db.handle(), QStringLiteral("SELECT rowid, * FROM Dances WHERE Title = ? AND Format = ? AND Style = ?"));
    }
    byKey->reset();
    byKey->bind(1, key.Title);
    byKey->bind(2, key.Format);
    byKey->bind(3, key.Style);
    return byKey->step();
}

std::optional<DanceFields> SqlDanceLookup::find(const DanceKey &key) const {
    if (key.Title.isEmpty()) return std::nullopt;
    bool found = seek(key);
    if (!found && onMissing) {
        byKey->reset();
        onMissing(key);
        found = seek(key);
    }
    if (!found) {
        byKey->reset();
        return std::nullopt;
    }
    DanceFields fields;
    for (const FieldInfo &info : infos) fields.set(info.name, Field::TextOf(info, byKey->column(info.index + 1)));
    byKey->reset();
    return fields;
}

std::optional<LocatedDance> SqlDanceLookup::locate(const DanceKey &key) const {
    if (!seek(key)) {
        byKey->reset();
        return std::nullopt;
    }
    const auto column = [&](const char *name) {
        for (const FieldInfo &info : infos)
            if (info.name == QLatin1String(name)) return byKey->column(info.index + 1);
        return QVariant();
    };
    LocatedDance d;
    d.rowid = byKey->column(0).toLongLong();
    d.title = column("Title").toString();
    d.lvl = column("Lvl").isNull() ? QString() : column("Lvl").toString();
    d.called = column("Called");
    d.callit = column("Callit").toString() == QLatin1String("Y");
    byKey->reset();
    return d;
}

SqlEventHistory::SqlEventHistory(Database &db, qint64 shownRowid, const QVariant &shownDate)
    : db(db), rowid(shownRowid), date(shownDate) {}

void SqlEventHistory::walk(const QString &sql, const QVariantList &params,
                           const std::function<bool(const EventRecord &)> &visit) const {
    Statement s(db.handle(), sql);
    s.bindAll(params);
    while (s.step()) {
        EventRecord e;
        const QVariant day = s.column(0);
        e.EDate = DayNumberToDate(day.isNull() ? 0.0 : std::floor(day.toDouble()));
        e.Org = s.columnText(1);
        e.Programme = s.columnText(2);
        if (!visit(e)) break;
    }
}

void SqlEventHistory::eachBefore(const std::function<bool(const EventRecord &)> &visit) const {
    const QString columns = QStringLiteral("SELECT EDate, Org, Programme FROM Events ");
    if (date.isNull()) {
        walk(columns + QStringLiteral("WHERE EDate IS NULL AND rowid < ?1 ORDER BY rowid DESC"), {rowid}, visit);
        return;
    }
    bool more = true;
    const auto guard = [&](const EventRecord &e) { return more = visit(e); };
    walk(columns + QStringLiteral("WHERE EDate <= ?1 AND (EDate < ?1 OR rowid < ?2) ORDER BY EDate DESC, rowid DESC"),
         {date.toDouble(), rowid}, guard);
    // Records without a date come first in the order, so last going back.
    if (more) walk(columns + QStringLiteral("WHERE EDate IS NULL ORDER BY rowid DESC"), {}, visit);
}

void SqlEventHistory::eachAfter(const std::function<bool(const EventRecord &)> &visit) const {
    const QString columns = QStringLiteral("SELECT EDate, Org, Programme FROM Events ");
    if (date.isNull()) {
        bool more = true;
        const auto guard = [&](const EventRecord &e) { return more = visit(e); };
        walk(columns + QStringLiteral("WHERE EDate IS NULL AND rowid > ?1 ORDER BY rowid"), {rowid}, guard);
        if (more) walk(columns + QStringLiteral("WHERE EDate IS NOT NULL ORDER BY EDate, rowid"), {}, visit);
        return;
    }
    walk(columns + QStringLiteral("WHERE EDate >= ?1 AND (EDate > ?1 OR rowid > ?2) ORDER BY EDate, rowid"),
         {date.toDouble(), rowid}, visit);
}
