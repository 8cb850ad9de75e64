// The programme test and the session commands on the large catalogue
// (20,000 dances, 5,000 events, some with extra session headings), each
// beside plain SQLite reading the same rows in the same run.
// Targets: a 40-item programme against a 20-rule set, 30 sets in the
// settings file: under 20 ms; "Show ALL sessions" text and "List ALL
// sessions" titles, read included: each under 200 ms.

#include "LargeCatalogue.h"

#include "base/Cp1252.h"
#include "platform/ini/IniFile.h"
#include "platform/sqlite/Database.h"
#include "programme/evaluation/Rules.h"
#include "programme/evaluation/Sessions.h"
#include "programme/evaluation/SqlProgrammeData.h"
#include "programme/text/ProgrammeText.h"

#include <QLocale>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct RulesCatalogue {
    QTemporaryDir dir;
    Database db;
    std::unique_ptr<TIniFile> ini;
    QList<ProgrammeItem> rows;
    QList<QStringList> boxes;
};

RulesCatalogue &Catalogue() {
    static RulesCatalogue c;
    static const bool built = [] {
        const QString path = c.dir.filePath(QStringLiteral("Large.mdb"));
        CopyLargeCatalogue(path);
        c.db.open(path);
        // Every seventh event gains a session heading of its own.
        c.db.execRaw(QStringLiteral("UPDATE Events SET Programme = '") + QString(SepDot) +
                     QStringLiteral("O|Saturday Evening: Beginners (7:30)' || Programme WHERE rowid % 7 = 0"));
        for (const char *field : {"Style", "Rhythm", "Format", "Author"}) {
            QStringList items{QLatin1String(field)};
            Statement s(c.db.handle(), QStringLiteral("SELECT DISTINCT %1 FROM Dances WHERE %1 <> '' ORDER BY %1").arg(QLatin1String(field)));
            while (s.step()) items.append(s.columnText(0));
            c.boxes.append(items);
        }
        Statement pick(c.db.handle(), QStringLiteral("SELECT Title, Format, Style FROM Dances WHERE rowid % 491 = 1 "
                                                     "ORDER BY rowid LIMIT 36"));
        int n = 0;
        while (pick.step()) {
            if (n % 9 == 0) c.rows.append(ProgrammeItem::heading(QStringLiteral("Session %1").arg(n / 9 + 1)));
            c.rows.append(ProgrammeItem::dance(pick.columnText(0), pick.columnText(1), pick.columnText(2)));
            ++n;
        }
        c.ini = std::make_unique<TIniFile>(c.dir.filePath(QStringLiteral("Quillary.ini")));
        const QString style = c.boxes[0].value(1), rhythm = c.boxes[1].value(1), format = c.boxes[2].value(1),
                      author = c.boxes[3].value(1);
        QStringList rules;
        for (int k = 0; k < 4; ++k) {
            const QString session = k ? QStringLiteral("Session %1: ").arg(k + 1) : QString();
            rules << session + QStringLiteral("Level 1 to 6") << session + QStringLiteral("Total dances 8 to 10")
                  << session + QStringLiteral("2 to 4 dances Rhythm=") + rhythm
                  << session + QStringLiteral("Style=") + style + QStringLiteral(" Format=") + format
                  << session + QStringLiteral("1 dance Author=") + author;
        }
        for (int s = 0; s < 30; ++s)
            RuleSetSection::save(*c.ini, s == 29 ? QStringLiteral("Dance") : QStringLiteral("Set %1").arg(s), rules);
        return true;
    }();
    Q_UNUSED(built);
    return c;
}

void BM_ProgrammeTest(benchmark::State &state) {
    RulesCatalogue &c = Catalogue();
    struct Count : RuleReport {
        int lines = 0;
        void addLine(const QString &) override { ++lines; }
        void addError(const QString &) override { ++lines; }
    };
    for (auto _ : state) {
        SqlDanceLookup lookup(c.db);
        ProgrammeTestInput in;
        in.rows = c.rows;
        in.eventText = QStringLiteral("Club Night");
        in.setNames = RuleSetSection::names(*c.ini);
        in.readSet = [&](const QString &name) { return c.ini->ReadSectionValues(RuleSetSection::section(name)); };
        in.boxItems = c.boxes;
        in.dances = &lookup;
        Count report;
        if (RunProgrammeTest(in, report).end != ProgrammeTestEnd::Done) state.SkipWithError("the test stopped");
        benchmark::DoNotOptimize(report.lines);
    }
}
BENCHMARK(BM_ProgrammeTest)->Unit(benchmark::kMillisecond);

void BM_ProgrammeTestPlainReads(benchmark::State &state) {
    RulesCatalogue &c = Catalogue();
    for (auto _ : state) {
        Statement s(c.db.handle(), QStringLiteral("SELECT * FROM Dances WHERE Title = ? AND Format = ? AND Style = ?"));
        for (const ProgrammeItem &row : c.rows) {
            if (!row.isDance()) continue;
            s.bindAll({row.key.Title, row.key.Format, row.key.Style});
            if (!s.step()) state.SkipWithError("a dance is missing");
            s.reset();
        }
    }
}
BENCHMARK(BM_ProgrammeTestPlainReads)->Unit(benchmark::kMillisecond);

void BM_ShowAllSessionsText(benchmark::State &state) {
    RulesCatalogue &c = Catalogue();
    for (auto _ : state) {
        const QString text = GatherSessions(ReadSessionEvents(c.db), QStringLiteral("Beginners"), SepDot);
        if (text.isEmpty()) state.SkipWithError("no session gathered");
    }
}
BENCHMARK(BM_ShowAllSessionsText)->Unit(benchmark::kMillisecond);

void BM_ListAllSessionTitles(benchmark::State &state) {
    RulesCatalogue &c = Catalogue();
    QStringList days;
    for (int d = 1; d <= 7; ++d) days.append(QLocale().dayName(d, QLocale::LongFormat));
    for (auto _ : state) {
        const QStringList titles = SessionTitles(ReadSessionEvents(c.db), QString(), SepDot, days);
        if (titles.isEmpty()) state.SkipWithError("no titles");
    }
}
BENCHMARK(BM_ListAllSessionTitles)->Unit(benchmark::kMillisecond);

void BM_EventsPlainRead(benchmark::State &state) {
    RulesCatalogue &c = Catalogue();
    for (auto _ : state) {
        Statement s(c.db.handle(), QStringLiteral("SELECT Org, EDate, Programme FROM Events ORDER BY EDate, rowid"));
        qsizetype total = 0;
        while (s.step()) total += s.columnText(2).size();
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_EventsPlainRead)->Unit(benchmark::kMillisecond);

} // namespace
