// Evaluating a programme of 20 dances against a diary of 5,000 events with
// 20-item programmes, all held in memory: the backward scan reads every
// earlier programme. Target: under 50 ms per evaluation.

#include "base/Cp1252.h"
#include "programme/evaluation/Evaluation.h"

#include <QRandomGenerator>
#include <benchmark/benchmark.h>

namespace {

const char *const Formats[] = {"Longways", "Square", "Circle", "3 couple", "Sicilian"};
const char *const Styles[] = {"Jig", "Reel", "Hornpipe", "Waltz", "Polka"};

// Dance n of the catalogue; the first 500 are the ones called most often.
DanceKey CatalogueDance(int n) {
    return {QStringLiteral("The Dance Number %1").arg(n), QLatin1String(Formats[n % 5]),
            QLatin1String(Styles[(n / 5) % 5])};
}

QString DanceItem(const DanceKey &key) {
    return QStringLiteral("D|") + key.Title + '|' + key.Format + '|' + key.Style;
}

struct Diary {
    MemoryDanceLookup dances;
    MemoryEventHistory history;
    EvaluationInputs inputs;
};

Diary &GeneratedDiary() {
    static Diary diary = [] {
        Diary d;
        QRandomGenerator random(20261206);
        for (int n = 0; n < 20000; ++n)
            d.dances.add(CatalogueDance(n),
                         DanceFields{{"Lvl", QString::number(1 + n % 9)},
                                     {"Timing", n % 3 ? QString() : QStringLiteral("12")},
                                     {"Called", QString::number(n % 40)}});
        const auto pick = [&] {
            return random.bounded(10) < 7 ? random.bounded(500) : random.bounded(20000);
        };
        const char *orgs[] = {"Village Hall", "Folk Club", "Festival", "Barn Dance", "School"};
        QDate date(2005, 1, 1);
        for (int e = 0; e < 5000; ++e) {
            QString text(SepDot);
            for (int i = 0; i < 20; ++i) {
                if (i == 0)
                    text += QStringLiteral("O|Evening Dance 7.30-10.30");
                else if (i == 10)
                    text += QStringLiteral("O|Interval");
                else if (i == 17)
                    text += QStringLiteral("O|Next time");
                else if (i == 5)
                    text += QStringLiteral("N|Walk through slowly");
                else
                    text += DanceItem(CatalogueDance(pick()));
                text += SepDot;
            }
            d.history.events.append({date, QLatin1String(orgs[random.bounded(5)]), text});
            date = date.addDays(1 + random.bounded(2));
        }
        d.history.events.append({date, QStringLiteral("Village Hall"), QString()});
        d.history.shown = 5000;

        EvaluationInputs &in = d.inputs;
        for (const char *name : {"Title", "Lvl", "Time", "Recent", "Called", "LastC", "LastH"})
            in.columns.append({QLatin1String(name), 60});
        in.ETime = QStringLiteral("7.30-10.30pm");
        in.EDate = date;
        in.Org = QStringLiteral("Village Hall");
        in.separator = SepDot;
        in.dances = &d.dances;
        in.history = &d.history;
        in.rows.append(ProgrammeItem::heading(QStringLiteral("Evening Dance")));
        for (int i = 0; i < 20; ++i) {
            if (i == 10) in.rows.append(ProgrammeItem::heading(QStringLiteral("Interval")));
            in.rows.append(ProgrammeItem::dance(CatalogueDance(i * 23)));
        }
        in.rows.append(ProgrammeItem::note(QStringLiteral("Average Level: ?")));
        return d;
    }();
    return diary;
}

void BM_Evaluate20DancesAgainst5000Events(benchmark::State &state) {
    const Diary &diary = GeneratedDiary();
    for (auto _ : state) {
        const EvaluationResult result = Evaluate(diary.inputs);
        benchmark::DoNotOptimize(result.averageText);
    }
}
BENCHMARK(BM_Evaluate20DancesAgainst5000Events)->Unit(benchmark::kMillisecond);

} // namespace
