// The programme editor on the sample catalogue, offscreen: a Paste of a
// 20-item clip into a 40-item programme and the rows shown again, against
// showing the same final programme afresh in the same run (the ratio tells
// what the editing adds); the same Paste with the evaluation on; one
// Shift+Down through the keyboard table on 40 rows. Targets: the Paste under
// 50 ms, the key under 5 ms.

#include "BenchWindow.h"
#include "app/OrgForm.h"
#include "base/AppState.h"
#include "base/Cp1252.h"
#include "base/TestAnswerer.h"
#include "core/dances/RecordHooks.h"
#include "core/database/SampleCatalogue.h"
#include "core/database/Tables.h"
#include "core/startup/Settings.h"
#include "platform/sqlite/Database.h"
#include "platform/sqlite/Dataset.h"
#include "programme/rows/ProgrammeRows.h"
#include "programme/text/ProgrammeText.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

struct Editor {
    QTemporaryDir dir;
    std::unique_ptr<TOrgForm> form;
    QString programme;  // 40 items
    QString pasted;     // the programme after the Paste
    TestAnswerer answerer;

    Editor() {
        TestAnswerer::onUnscripted = [](const QString &) {};
        BuildSampleCatalogue(dir.path() + QStringLiteral("/Quillary.mdb"), QDate(2026, 12, 6));
        if (!OpenCatalogueAsTheWindowDoes(dir.path() + QStringLiteral("/"), QStringLiteral("Quillary.mdb"))) return;
        QList<ProgrammeItem> items;
        Statement s(Conn.handle(), QStringLiteral("SELECT Title, Format, Style FROM Dances ORDER BY rowid LIMIT 40"));
        while (s.step()) {
            if (items.size() % 10 == 0) items.append(ProgrammeItem::heading(QStringLiteral("Session")));
            items.append(ProgrammeItem::dance(s.columnText(0), s.columnText(1), s.columnText(2)));
        }
        items = items.mid(0, 40);
        programme = WriteProgramme(items, SepDot, QString());
        form = std::make_unique<TOrgForm>();
        OrgForm = form.get();
        SetRecordHookHandlers(OrgForm);
        // As start-up leaves it: showing an event evaluates it.
        EventsData.AfterScroll = ::EventsAfterScroll;
        form->resize(1000, 700);
        form->show();
        QApplication::setActiveWindow(form.get());
        EventsData.Last();
        form->ShowEvent(true);
        // The clip: the programme's first 20 items.
        form->ProgClip = WriteProgramme(items.mid(0, 20), SepDot, QString());
        form->ProgClip.chop(1);
        show();
        form->Rows->SelectItem(form->Rows->ItemList[5]);
        form->PasteClick();
        pasted = form->ProgText;
    }
    // The 40 items shown, the sixth row selected.
    void show() {
        form->ShowProgText(true, programme);
        form->Rows->SelectItem(form->Rows->ItemList[5]);
    }
};

Editor &TheEditor() {
    static Editor *e = new Editor;
    return *e;
}

void Paste(benchmark::State &state, bool evaluate) {
    Editor &e = TheEditor();
    if (!e.form) return state.SkipWithError("the catalogue did not open");
    e.form->NoEvaluation = !evaluate;
    for (auto _ : state) {
        state.PauseTiming();
        e.show();
        state.ResumeTiming();
        e.form->PasteClick();
    }
    e.form->NoEvaluation = false;
    if (e.form->ProgText != e.pasted) state.SkipWithError("the Paste gave another programme");
}

void BM_PasteThenShow(benchmark::State &state) { Paste(state, false); }
BENCHMARK(BM_PasteThenShow)->Unit(benchmark::kMillisecond);

void BM_PasteThenShowEvaluated(benchmark::State &state) { Paste(state, true); }
BENCHMARK(BM_PasteThenShowEvaluated)->Unit(benchmark::kMillisecond);

// The same final programme shown afresh: what any show of it costs.
void BM_ShowPastedProgramme(benchmark::State &state) {
    Editor &e = TheEditor();
    if (!e.form) return state.SkipWithError("the catalogue did not open");
    for (auto _ : state) e.form->ShowProgText(true, e.pasted);
}
BENCHMARK(BM_ShowPastedProgramme)->Unit(benchmark::kMillisecond);

// One Shift+Down on 40 rows, decided and done by the keyboard table.
void BM_ShiftDownKey(benchmark::State &state) {
    Editor &e = TheEditor();
    if (!e.form) return state.SkipWithError("the catalogue did not open");
    e.show();
    int index = 1;
    for (auto _ : state) {
        state.PauseTiming();
        if (++index >= 38) index = 1;
        e.form->Rows->SelectItem(e.form->Rows->ItemList[index]);
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Down, Qt::ShiftModifier);
        state.ResumeTiming();
        benchmark::DoNotOptimize(e.form->FormShortcut(&key));
    }
    if (ThisIndex != index + 1) state.SkipWithError("the row did not move");
}
BENCHMARK(BM_ShiftDownKey)->Unit(benchmark::kMicrosecond);

} // namespace
