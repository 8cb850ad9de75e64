// The programme web page of a 30-dance programme (tune links, headings,
// notes) on the large catalogue: the whole command to the saved "Prog.htm"
// (answers scripted, the browser replaced), the band table builder alone,
// and plain SQLite reading the same 30 dances by key for the ratio.
// Target: the command under 100 ms.

#include "BenchWindow.h"
#include "LargeCatalogue.h"
#include "app/OrgForm.h"
#include "base/AppState.h"
#include "base/Cp1252.h"
#include "base/TestAnswerer.h"
#include "core/database/Tables.h"
#include "core/startup/Settings.h"
#include "core/startup/StartupRules.h"
#include "platform/shell/DocumentOpener.h"
#include "platform/sqlite/Database.h"
#include "programme/evaluation/SqlProgrammeData.h"
#include "programme/text/ProgrammeText.h"
#include "publishing/pages/BandTable.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct Catalogue {
    QTemporaryDir dir;
    Database db;
    QList<ProgrammeItem> items;
    qint64 event = 0;
};

Catalogue &WebCatalogue() {
    static Catalogue *c = [] {
        auto *cat = new Catalogue;
        const QString path = cat->dir.filePath(QStringLiteral("Large.mdb"));
        CopyLargeCatalogue(path);
        cat->db.open(path);
        Statement pick(cat->db.handle(), QStringLiteral("SELECT rowid, Title, Format, Style FROM Dances WHERE rowid % 601 = 1 "
                                                        "ORDER BY rowid LIMIT 30"));
        Statement notes(cat->db.handle(), QStringLiteral("UPDATE Dances SET Notes = ?, Tolbrook = ? WHERE rowid = ?"));
        cat->items = {ProgrammeItem::heading(QStringLiteral("Evening Dance"))};
        int n = 0;
        while (pick.step()) {
            notes.bindAll({QStringLiteral("Tune: ") + WebsiteAddress + QStringLiteral("/abc.aspx?T=Tune_%1").arg(n),
                           n % 3 ? QVariant() : QVariant(2), pick.column(0)});
            notes.step();
            notes.reset();
            cat->items.append(ProgrammeItem::dance(pick.columnText(1), pick.columnText(2), pick.columnText(3)));
            if (++n % 10 == 0) {
                cat->items.append(ProgrammeItem::note(QStringLiteral("Raffle  \"prize\" draw")));
                cat->items.append(ProgrammeItem::heading(QStringLiteral("Interval")));
            }
        }
        Statement event(cat->db.handle(), QStringLiteral("UPDATE Events SET Programme = ?, Band = 'Bench Band' "
                                                         "WHERE rowid = 2500"));
        event.bindAll({WriteProgramme(cat->items, SepDot, QString())});
        event.step();
        cat->event = 2500;
        return cat;
    }();
    return *c;
}

struct NoBrowser : DocumentOpener {
    bool open(const QUrl &) override { return true; }
};

void BM_WebPageCommand(benchmark::State &state) {
    Catalogue &c = WebCatalogue();
    TestAnswerer answerer;
    TestAnswerer::onUnscripted = [](const QString &) {};
    NoBrowser browser;
    SetDocumentOpener(&browser);
    if (!OpenCatalogueAsTheWindowDoes(c.dir.path() + QStringLiteral("/"), QStringLiteral("Large.mdb"),
                                      "ShowTolbrook=2\r\n[Print]\r\n0=Title\r\n1=Music\r\n2=Format\r\n")) {
        state.SkipWithError("the catalogue did not open");
        return;
    }
    {
        TOrgForm form;
        OrgForm = &form;
        EventsData.GotoBookmark(c.event);
        form.ShowEvent(true);
        for (auto _ : state) {
            state.PauseTiming();
            QFile::remove(ProgHtmPath);
            answerer.clear();
            answerer.script(ResultYes); // the button
            state.ResumeTiming();
            form.WebClick(form.WebE);
        }
        if (!QFile(ProgHtmPath).size()) state.SkipWithError("no page written");
        OrgForm = nullptr;
    }
    SetDocumentOpener(nullptr);
    TestAnswerer::onUnscripted = nullptr;
    ResetTables();
    IniFile.reset();
}
BENCHMARK(BM_WebPageCommand)->Unit(benchmark::kMillisecond);

void BM_BandTableBuilder(benchmark::State &state) {
    Catalogue &c = WebCatalogue();
    BandSettings s;
    s.columns = {QStringLiteral("Title"), QStringLiteral("Music"), QStringLiteral("Format")};
    s.tolbrook = 2;
    s.separator = SepDot;
    SqlDanceLookup lookup(c.db);
    for (auto _ : state) {
        TuneList tunes;
        const BandTableResult r = BuildBandTable(c.items, lookup, s, tunes);
        benchmark::DoNotOptimize(FinishBandTable(r.table, r, true, SepDot));
        if (tunes.TuneCount != 30) state.SkipWithError("a tune was missed");
    }
}
BENCHMARK(BM_BandTableBuilder)->Unit(benchmark::kMillisecond);

// The same 30 dances read by key straight from SQLite.
void BM_PlainSqliteThirtyDances(benchmark::State &state) {
    Catalogue &c = WebCatalogue();
    Statement s(c.db.handle(), QStringLiteral("SELECT * FROM Dances WHERE Title=? AND Format=? AND Style=?"));
    for (auto _ : state)
        for (const ProgrammeItem &item : c.items) {
            if (!item.isDance()) continue;
            s.bindAll({item.key.Title, item.key.Format, item.key.Style});
            s.step();
            benchmark::DoNotOptimize(s.columnText(0));
            s.reset();
        }
}
BENCHMARK(BM_PlainSqliteThirtyDances)->Unit(benchmark::kMillisecond);

} // namespace
