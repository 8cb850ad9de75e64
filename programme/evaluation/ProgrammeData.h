#pragma once
// How the programme code reads the catalogue: dances by key and the events
// around the one on show. The database provides the real implementations;
// the in-memory ones serve tests and benchmarks.

#include "programme/text/ProgrammeItem.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QMap>
#include <QString>
#include <functional>
#include <optional>

// The texts of one dance's fields, by field name as the Dances table spells
// it ("Lvl", "Called", "Timing", ...). A name not present reads as empty.
class DanceFields {
public:
    DanceFields() = default;
    DanceFields(std::initializer_list<std::pair<QString, QString>> fields);

    QString value(const QString &field) const;
    bool has(const QString &field) const;
    void set(const QString &field, const QString &text);

private:
    QMap<QString, QString> byFolded;  // folded name -> text
};

class DanceLookup {
public:
    virtual ~DanceLookup() = default;
    // The dance of that key (Title, Format and Style compared ignoring case),
    // or nothing when the catalogue has none.
    virtual std::optional<DanceFields> find(const DanceKey &key) const = 0;
};

// One event as the history sees it.
struct EventRecord {
    QDate EDate;       // the no-date value (1 January 4900) for an undated event
    QString Org;
    QString Programme; // the stored programme string
};

class EventHistory {
public:
    virtual ~EventHistory() = default;
    // Calls visit for the events before the shown one, nearest first, until it
    // returns false or they run out.
    virtual void eachBefore(const std::function<bool(const EventRecord &)> &visit) const = 0;
    // The same for the events after the shown one, nearest first.
    virtual void eachAfter(const std::function<bool(const EventRecord &)> &visit) const = 0;
};

class MemoryDanceLookup : public DanceLookup {
public:
    void add(const DanceKey &key, const DanceFields &fields);
    std::optional<DanceFields> find(const DanceKey &key) const override;
    // How many look-ups were made (tests check that work is not repeated).
    mutable int lookups = 0;

private:
    QHash<DanceKey, DanceFields> dances;  // keys folded
};

class MemoryEventHistory : public EventHistory {
public:
    // The events in the order the Events table shows them (by date), and the
    // index of the shown one among them.
    QList<EventRecord> events;
    int shown = -1;

    void eachBefore(const std::function<bool(const EventRecord &)> &visit) const override;
    void eachAfter(const std::function<bool(const EventRecord &)> &visit) const override;
};
