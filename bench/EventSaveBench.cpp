// Saving a finished event's 20-dance programme with call counts on the large
// catalogue (20,000 dances, 5,000 events): every dance located, the Callit
// questions answered, and one transaction for the counts, Updated, the
// programme and the event's post, with both tables open as the main window
// holds them. The re-show after the save is not measured. Target: under
// 50 ms per save.

#include "LargeCatalogue.h"

#include "base/Cp1252.h"
#include "base/TestAnswerer.h"
#include "platform/sqlite/Database.h"
#include "platform/sqlite/Dataset.h"
#include "programme/evaluation/CallCounting.h"
#include "programme/evaluation/SqlProgrammeData.h"
#include "programme/text/ProgrammeText.h"

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

struct Catalogue {
    QTemporaryDir dir;
    Database db;
    std::unique_ptr<Dataset> events, dances;
    QString programme;
    qint64 event = 0;
};

Catalogue &LargeCatalogue() {
    static Catalogue c;
    static const bool built = [] {
        const QString path = c.dir.filePath(QStringLiteral("Large.mdb"));
        CopyLargeCatalogue(path);
        c.db.open(path);
        // 20 dances spread over the catalogue, under one session heading.
        Statement pick(c.db.handle(), QStringLiteral("SELECT Title, Format, Style FROM Dances WHERE rowid % 997 = 1 "
                                                     "ORDER BY rowid LIMIT 20"));
        QList<ProgrammeItem> items{ProgrammeItem::heading(QStringLiteral("Evening Dance"))};
        while (pick.step())
            items.append(ProgrammeItem::dance(pick.columnText(0), pick.columnText(1), pick.columnText(2)));
        c.programme = WriteProgramme(items, SepDot, QString());
        c.event = 2500;
        c.events = std::make_unique<Dataset>(c.db, QStringLiteral("Events"));
        c.events->setIndexName(QStringLiteral("EDate"));
        c.events->open();
        c.dances = std::make_unique<Dataset>(c.db, QStringLiteral("Dances"));
        c.dances->setIndexName(QStringLiteral("FST"));
        c.dances->open();
        return true;
    }();
    Q_UNUSED(built);
    return c;
}

void BM_SaveWithCallCounts(benchmark::State &state) {
    Catalogue &c = LargeCatalogue();
    TestAnswerer answerer;
    TestAnswerer::onUnscripted = [](const QString &) {}; // every Callit question: No
    Statement reset(c.db.handle(), QStringLiteral("UPDATE Events SET Updated = '', Programme = ? WHERE rowid = ?"));
    for (auto _ : state) {
        state.PauseTiming();
        reset.bindAll({c.programme, c.event});
        reset.step();
        reset.reset();
        c.db.tableChanged(QStringLiteral("Events"));
        c.events->GotoBookmark(c.event);
        state.ResumeTiming();

        c.events->Edit();
        const QString stored = c.events->FieldByName(QStringLiteral("Programme")).AsString();
        CallCounting counting(ReadProgramme(stored, SepDot).items, SepDot);
        counting.RemoveRows();
        SqlDanceLookup lookup(c.db);
        counting.Locate([&](int, const DanceKey &key) { return lookup.locate(key); });
        counting.CheckLinks();
        counting.AskCallit();
        WriteEventSave(c.db, *c.events, counting.plan, true, counting.FinalProgramme(stored));
        if (counting.plan.increments.size() != 20) state.SkipWithError("not every dance was counted");
    }
    TestAnswerer::onUnscripted = nullptr;
}
BENCHMARK(BM_SaveWithCallCounts)->Unit(benchmark::kMillisecond);

} // namespace
