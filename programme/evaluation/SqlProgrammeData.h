#pragma once
// The programme's reads of the catalogue database: dances by key and the
// events around the one on show, straight from the tables, so that no
// dataset moves or loses its filter.

#include "platform/sqlite/Database.h"
#include "programme/evaluation/CallCounting.h"
#include "programme/evaluation/ProgrammeData.h"

#include <QVariant>
#include <functional>
#include <memory>


class SqlDanceLookup : public DanceLookup {
public:
    explicit SqlDanceLookup(Database &db);
    ~SqlDanceLookup() override;

    // Called for a key the table lacks (the main window offers its choices
    // there); the key is then looked for once more.
    std::function<void(const DanceKey &)> onMissing;

    std::optional<DanceFields> find(const DanceKey &key) const override;
    // The dance as call counting needs it; no miss handling.
    std::optional<LocatedDance> locate(const DanceKey &key) const;

private:
    bool seek(const DanceKey &key) const;
    Database &db;
    mutable std::unique_ptr<Statement> byKey;
    mutable QList<FieldInfo> infos;
};

class SqlEventHistory : public EventHistory {
public:
    // The shown event: its rowid and its EDate (Null for a record without a
    // date). Order: EDate, then rowid.
    SqlEventHistory(Database &db, qint64 shownRowid, const QVariant &shownDate);

    void eachBefore(const std::function<bool(const EventRecord &)> &visit) const override;
    void eachAfter(const std::function<bool(const EventRecord &)> &visit) const override;

private:
    void walk(const QString &sql, const QVariantList &params,
              const std::function<bool(const EventRecord &)> &visit) const;
    Database &db;
    qint64 rowid;
    QVariant date;
};
