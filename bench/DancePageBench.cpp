// The dance page over the large catalogue's 20,000 instructions, one page a
// dance, against the RTF reader's plain text of the same texts for the
// ratio; the bookings page of 1,000 future events, table text to the
// written page; and the same page by the main window's command, from the
// Events table to the saved file, against plain SQLite reading the same 14
// fields. Targets: a dance page under 1 ms; the bookings page under 300 ms.

#include "BenchWindow.h"
#include "LargeCatalogue.h"
#include "app/OrgForm.h"
#include "base/AppState.h"
#include "base/Clock.h"
#include "base/Dates.h"
#include "base/TestAnswerer.h"
#include "core/dances/RecordHooks.h"
#include "core/database/Tables.h"
#include "platform/shell/DocumentOpener.h"
#include "core/database/SampleCatalogue.h"
#include "platform/rtf/RtfReader.h"
#include "platform/sqlite/Database.h"
#include "publishing/pages/BookingsPage.h"
#include "publishing/pages/DancePage.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

namespace {

const QStringList &LargeInstructions() {
    static const QStringList texts = [] {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Large.mdb"));
        CopyLargeCatalogue(path);
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
        benchmark::DoNotOptimize(BookingsPage(page, text, {QString(), false, QChar(0xB7), QStringLiteral("Bookings.htm"), QString()}));
    }
}
BENCHMARK(BM_BookingsPageThousandEvents)->Unit(benchmark::kMillisecond);

// The main window's bookings command over 1,000 events from tomorrow on,
// every one of the 14 fields it reads filled, into the sample page (the
// program folder's copy when the build left one beside this program), the
// opener replaced. Today is pinned.
struct BookingsCommand {
    QTemporaryDir dir;
    std::unique_ptr<TOrgForm> form;
    TestAnswerer answerer;
    struct Opener : DocumentOpener {
        bool open(const QUrl &) override { return ++opened, true; }
        int opened = 0;
    } opener;
    bool samplePage = false;
    static constexpr const char *Fields = "EDate, Programme, Org, Town, Prv, Venue, Postcode, ETime, Contact, Event, Band, WebSite, Email, Phone";

    BookingsCommand() {
        TestAnswerer::onUnscripted = [](const QString &) {};
        const QString name = QStringLiteral("Quillary.mdb");
        LargeCatalogueSize size;
        size.dances = 200;
        size.events = 0;
        BuildLargeCatalogue(dir.filePath(name), 20261206, QDate(2026, 12, 6), size);
        {
            Database db;
            db.open(dir.filePath(name));
            db.execRaw(QStringLiteral("BEGIN"));
            Statement add(db.handle(), QStringLiteral("INSERT INTO Events (") + QLatin1String(Fields) +
                                           QStringLiteral(") VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)"));
            const QString sep(QChar(0xB7));
            for (int n = 0; n < 1000; ++n) {
                const bool note = n % 10 == 0;
                add.bindAll({DateToDayNumber(QDate(2026, 12, 7).addDays(n / 3)) + 0.8125 + n % 3 * 0.01,
                             note ? sep + QStringLiteral("N|+Bring a plate") + sep : QString(),
                             QStringLiteral("Club %1").arg(n), QStringLiteral("Town %1").arg(n % 40),
                             n % 25 == 0 ? QStringLiteral("Y") : QString(), QStringLiteral("Hall %1").arg(n % 7),
                             QStringLiteral("AB%1 2CD").arg(n % 90), QStringLiteral("7.30"), QStringLiteral("Ann \"Sec\" Lee"),
                             QStringLiteral("Dance"), QStringLiteral("Band %1").arg(n % 9),
                             QStringLiteral("www.club%1.org").arg(n), QStringLiteral("sec%1@club.org").arg(n),
                             QStringLiteral("01234 %1").arg(500000 + n)});
                add.step();
                add.reset();
            }
            db.execRaw(QStringLiteral("COMMIT"));
        }
        const QString sample = QCoreApplication::applicationDirPath() + QStringLiteral("/program/Bookings.htm");
        samplePage = QFile::copy(sample, dir.filePath(QStringLiteral("Bookings.htm")));
        if (!samplePage) {
            QFile page(dir.filePath(QStringLiteral("Bookings.htm")));
            page.open(QIODevice::WriteOnly);
            page.write("<HTML><Head><Title>Bookings</Title></Head><Body><H1>Bookings</H1>\r\n"
                       "<Table Class=\"WebStart\"></Table></Body></HTML>\r\n");
        }
        if (!OpenCatalogueAsTheWindowDoes(dir.path() + QLatin1Char('/'), name, "[User]\r\nBookings=Bookings.htm\r\n")) return;
        QDir::setCurrent(dir.path());
        SetDocumentOpener(&opener);
        form = std::make_unique<TOrgForm>();
        OrgForm = form.get();
        SetRecordHookHandlers(OrgForm);
        EventsData.AfterScroll = ::EventsAfterScroll;
        EventsData.Last();
    }
    ~BookingsCommand() {
        SetDocumentOpener(nullptr);
        form.reset();
        OrgForm = nullptr;
        QDir::setCurrent(QDir::tempPath());
    }
    QByteArray page() const {
        QFile f(dir.filePath(QStringLiteral("Bookings.htm")));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
};

// What the command reads, and no more: the 14 fields of every event.
double PlainReadMs(const QString &path) {
    const auto start = std::chrono::steady_clock::now();
    Database db;
    db.open(path);
    Statement read(db.handle(), QStringLiteral("SELECT ") + QLatin1String(BookingsCommand::Fields) + QStringLiteral(" FROM Events"));
    int rows = 0;
    while (read.step()) {
        benchmark::DoNotOptimize(read.column(0).toDouble());
        for (int c = 1; c < 14; ++c) benchmark::DoNotOptimize(read.columnText(c));
        ++rows;
    }
    benchmark::DoNotOptimize(rows);
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void BM_BookingsCommandToSavedFile(benchmark::State &state) {
    BookingsCommand b;
    if (!b.form) return state.SkipWithError("the catalogue did not open");
    SetClock([] { return QDateTime(QDate(2026, 12, 6), QTime(10, 0)); });
    b.form->MakeWebPages(true);  // the sample's table replaced once
    const QByteArray first = b.page();
    double command = 0, plain = 0;
    int n = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        b.form->MakeWebPages(true);
        command += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        state.PauseTiming();
        plain += PlainReadMs(b.dir.filePath(QStringLiteral("Quillary.mdb")));
        ++n;
        state.ResumeTiming();
    }
    SetClock({});
    if (!first.contains("Club 999") || b.page() != first || QFile::exists(b.dir.filePath(QStringLiteral("Dates.Tab"))))
        state.SkipWithError("the command wrote another page or left its table text");
    state.counters["page_kB"] = double(first.size()) / 1024;
    state.counters["sample_page"] = b.samplePage;
    state.counters["sqlite_ms"] = n ? plain / n : 0;
    state.counters["ratio"] = plain > 0 ? command / plain : 0;
}
BENCHMARK(BM_BookingsCommandToSavedFile)->Unit(benchmark::kMillisecond);

} // namespace
