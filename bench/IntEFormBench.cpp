// The instruction editor's screen layout job for one dance, offscreen: the
// longest instructions of 500 dances of the large catalogue, laid out into
// cards with their red lines and labels as a step of the navigator asks
// (the dance shown again at card width), beside the least any layout of it
// has to do: the same text read and laid out at card width, no cards.
// Target: the job under 100 ms.

#include "BenchWindow.h"
#include "app/OrgForm.h"
#include "base/TestAnswerer.h"
#include "core/dances/RecordHooks.h"
#include "core/database/SampleCatalogue.h"
#include "core/database/Tables.h"
#include "platform/rtf/RichEdit.h"
#include "platform/rtf/RtfReader.h"
#include "platform/sqlite/Database.h"
#include "platform/sqlite/Dataset.h"
#include "platform/sqlite/Query.h"
#include "presentation/cards/CardDocument.h"
#include "presentation/editor/IntEForm.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QTemporaryDir>
#include <QTextDocument>
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

namespace {

// The first standard card: three cards down a page, one across.
const QByteArray CardLines = "IntEditor=1\r\nShowTitles=0\r\nUseFooter=1\r\n[Cards]\r\nGapTop=1300\r\nGapLeft=2300\r\n"
                             "DWidth=6700\r\nDHeight=3710\r\nVGap=610\r\nHGap=30\r\nDown=3\r\nAcross=1\r\n";

struct EditorBench {
    QTemporaryDir dir;
    std::unique_ptr<TOrgForm> form;
    TestAnswerer answerer;
    QString instructions;  // the dance's stored text
    qint64 longest = 0;
    int cards = 0;

    EditorBench() {
        TestAnswerer::onUnscripted = [](const QString &) {};
        const QString name = QStringLiteral("Quillary.mdb");
        LargeCatalogueSize size;
        size.dances = 500;
        size.events = 10;
        BuildLargeCatalogue(dir.path() + QLatin1Char('/') + name, 20261206, QDate(2026, 12, 6), size);
        if (!OpenCatalogueAsTheWindowDoes(dir.path() + QLatin1Char('/'), name, CardLines)) return;
        {
            Statement s(Conn.handle(), QStringLiteral("SELECT rowid, Instructions FROM Dances ORDER BY length(Instructions) DESC LIMIT 1"));
            if (!s.step()) return;
            longest = s.column(0).toLongLong();
            instructions = s.columnText(1);
        }
        form = std::make_unique<TOrgForm>();
        OrgForm = form.get();
        SetRecordHookHandlers(OrgForm);
        form->resize(1000, 700);
        form->show();
        showDance();
        TIntEForm &editor = IntEFormWindow();
        editor.resize(1200, 900);
        editor.show();
        job();
        cards = int(editor.Cards.cards.size());
    }
    // The dance on the main window, as a step of the navigator leaves it.
    void showDance() {
        DancesData.GotoBookmark(longest);
        form->ShowDance();
    }
    // One layout job as a navigator step runs it on the shown dance.
    void job() {
        TIntEForm &editor = IntEFormWindow();
        editor.CardSettingsChanged = true;
        editor.OnITimer();
    }
};

EditorBench &Bench() {
    static EditorBench *b = new EditorBench;
    return *b;
}

void BM_IntEFormLayoutJob(benchmark::State &state) {
    EditorBench &b = Bench();
    if (!b.form) return state.SkipWithError("the catalogue did not open");
    const double width = TwipsToPixels(6700);
    double job = 0, plain = 0;
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QApplication::processEvents();
        b.showDance();
        state.ResumeTiming();
        auto start = std::chrono::steady_clock::now();
        b.job();
        const double took = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        state.PauseTiming();
        start = std::chrono::steady_clock::now();
        {
            QTextDocument doc;
            PrepareCardDocument(&doc, width);
            ReadRtf(b.instructions, &doc);
            benchmark::DoNotOptimize(doc.documentLayout()->documentSize());
        }
        plain += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        job += took;
        ++n;
        state.ResumeTiming();
    }
    if (int(IntEFormWindow().Cards.cards.size()) != b.cards) state.SkipWithError("the job laid out other cards");
    state.counters["cards"] = b.cards;
    state.counters["chars"] = double(b.instructions.size());
    state.counters["baseline_ms"] = n ? plain / n : 0;
    state.counters["ratio"] = plain > 0 ? job / plain : 0;
}
BENCHMARK(BM_IntEFormLayoutJob)->Unit(benchmark::kMillisecond);

} // namespace
