// The dance page over the large catalogue's 20,000 instructions, one page a
// dance, against the RTF reader's plain text of the same texts for the
// ratio; and the bookings page of 1,000 future events, table text to the
// written page. Targets: a dance page under 1 ms; the bookings page under
// 300 ms.

#include "base/Dates.h"
#include "core/database/SampleCatalogue.h"
#include "platform/rtf/RtfReader.h"
#include "platform/sqlite/Database.h"
#include "publishing/pages/BookingsPage.h"
#include "publishing/pages/DancePage.h"

#include <QDate>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

const QStringList &LargeInstructions() {
    static const QStringList texts = [] {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Large.mdb"));
        BuildLargeCatalogue(path, 20261206, QDate(2026, 12, 6));
        Database db;
        db.open(path);
        QStringList out;
        Statement read(db.handle(), QStringLiteral("SELECT Instructions FROM Dances"));
        while (read.step()) out.append(read.columnText(0));
        return out;
    }();
    return texts;
}

void BM_DancePageLargeCatalogue(benchmark::State &state) {
    const QStringList &texts = LargeInstructions();
    DancePageInput in;
    in.title = QStringLiteral("Bench Dance");
    in.notes = QStringLiteral("Tune: Link=\"Tunes/x.pdf\" https://www.vellamorrisk.com/abc.aspx?T=Bench");
    in.separator = QChar(0xB7);
    qsizetype i = 0;
    for (auto _ : state) {
        in.rtf = texts[i++ % texts.size()];
        benchmark::DoNotOptimize(BuildDancePage(in));
    }
    state.counters["pages"] = double(texts.size());
}
BENCHMARK(BM_DancePageLargeCatalogue)->Unit(benchmark::kMicrosecond);

void BM_DancePagePlainTextRatio(benchmark::State &state) {
    const QStringList &texts = LargeInstructions();
    qsizetype i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(rtfPlainText(texts[i++ % texts.size()]));
}
BENCHMARK(BM_DancePagePlainTextRatio)->Unit(benchmark::kMicrosecond);

void BM_BookingsPageThousandEvents(benchmark::State &state) {
    QList<BookingEvent> events;
    for (int n = 0; n < 1000; ++n) {
        BookingEvent e;
        e.EDate = DateToDayNumber(QDate(2026, 12, 7).addDays(n / 3));
        e.Org = QStringLiteral("Club %1").arg(n);
        e.Town = QStringLiteral("Town %1").arg(n % 40);
        e.Venue = QStringLiteral("Hall %1").arg(n % 7);
        e.ETime = QStringLiteral("7.30");
        e.Event = QStringLiteral("Dance");
        e.Band = QStringLiteral("Band %1").arg(n % 9);
        e.Email = QStringLiteral("sec%1@club.org").arg(n);
        e.WebSite = QStringLiteral("www.club%1.org").arg(n);
        e.Contact = QStringLiteral("Ann Lee");
        events.append(e);
    }
    const QString page = QStringLiteral("<HTML><Body><H1>Bookings</H1>\r\n<Table Class=\"WebStart\"></Table></Body></HTML>");
    for (auto _ : state) {
        const QString text = BookingsTableText(events, {QChar(0xB7), QString(), DateToDayNumber(QDate(2026, 12, 6))});
        benchmark::DoNotOptimize(BookingsPage(page, text, {QString(), false, QChar(0xB7), QStringLiteral("Bookings.htm")}));
    }
}
BENCHMARK(BM_BookingsPageThousandEvents)->Unit(benchmark::kMillisecond);

} // namespace
