// Instruction cards of 500 dances of the large catalogue: laid out into cards
// and printed to a PDF, beside the least any card printing has to do: the
// same texts read and laid out at card width, no cards.
// Target: the 500 dances' cards in under 5 s.

#include "core/database/SampleCatalogue.h"
#include "platform/rtf/RtfReader.h"
#include "platform/sqlite/Database.h"
#include "platform/sqlite/Query.h"
#include "presentation/cards/CardDocument.h"

#include <QAbstractTextDocumentLayout>
#include <QPageLayout>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTextDocument>
#include <benchmark/benchmark.h>

#include <chrono>

namespace {

QTemporaryDir &folder() {
    static QTemporaryDir dir;
    return dir;
}

struct CardDance {
    QString title, instructions;
};

const QList<CardDance> &Dances() {
    static const QList<CardDance> dances = [] {
        const QString path = folder().path() + QStringLiteral("/Quillary.mdb");
        LargeCatalogueSize size;
        size.dances = 500;
        size.events = 10;
        BuildLargeCatalogue(path, 20261206, QDate(2026, 12, 6), size);
        Database db;
        db.open(path);
        Statement s(db.handle(), QStringLiteral("SELECT Title, Instructions FROM Dances ORDER BY Title"));
        QList<CardDance> out;
        while (s.step()) out.append({s.column(0).toString(), s.column(1).toString()});
        return out;
    }();
    return dances;
}

const CardGeometry L1 = ReadCardGeometry({"1300", "2300", "6700", "3710", "610", "30", "3", "1"}).geometry;

double LayoutOnly() {
    const auto start = std::chrono::steady_clock::now();
    for (const CardDance &d : Dances()) {
        QTextDocument doc;
        PrepareCardDocument(&doc, TwipsToPixels(L1.dWidth));
        ReadRtf(d.instructions, &doc);
        benchmark::DoNotOptimize(doc.documentLayout()->documentSize());
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_CardsOf500DancesToPdf(benchmark::State &state) {
    const QList<CardDance> &dances = Dances();
    int cards = 0;
    double printing = 0, baseline = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        QPdfWriter writer(folder().path() + QStringLiteral("/cards.pdf"));
        writer.setResolution(600);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF()));
        CardPrintRun run(&writer, L1, false, true);
        cards = 0;
        for (int i = 0; i < dances.size(); ++i) {
            QTextDocument text;
            PrepareCardDocument(&text, TwipsToPixels(L1.dWidth));
            ReadRtf(dances[i].instructions, &text);
            DanceCardsJob job;
            job.text = &text;
            job.headingWidth = TwipsToPixels(L1.dWidth) - 20;
            const QString title = dances[i].title;
            job.heading = [&](int cardNo) {
                const QString family = QStringLiteral("Arial");
                const CardHeadingText h = CardHeading({title, "", "English", false, true, cardNo, 12},
                                                      [&](const CardHeadingText &t) { return HeadingFitsOneLine(t, family, job.headingWidth); });
                return HeadingDocument(h, family, job.headingWidth);
            };
            cards += run.printDance(job, i + 1 < dances.size());
        }
        run.end();
        printing = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        baseline = LayoutOnly();
        state.SetIterationTime(printing);
    }
    state.counters["cards"] = cards;
    state.counters["baseline_s"] = baseline;
    state.counters["ratio"] = baseline > 0 ? printing / baseline : 0;
}
BENCHMARK(BM_CardsOf500DancesToPdf)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace
