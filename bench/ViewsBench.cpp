// The chooser and the table view on the large seeded catalogue (20,000
// dances, 5,000 events). Targets: the chooser's first open under 300 ms
// (with plain SQLite reading the same columns to compare with); a reopen and
// each keystroke of a three-letter type-ahead (row selected and in view)
// under 100 ms; the Dances page switched to table view under 300 ms.

#include "BenchWindow.h"
#include "LargeCatalogue.h"
#include "app/OrgForm.h"
#include "base/AppState.h"
#include "core/database/Tables.h"
#include "core/startup/Settings.h"
#include "core/views/ListForm.h"
#include "platform/sqlite/Database.h"

#include <QFile>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

struct Window {
    QTemporaryDir dir;
    std::unique_ptr<TOrgForm> form;

    Window() {
        const QString path = dir.path() + QStringLiteral("/Large.mdb");
        CopyLargeCatalogue(path);
        const bool opened = OpenCatalogueAsTheWindowDoes(dir.path() + QStringLiteral("/"), QStringLiteral("Large.mdb"));
        LocationColumn = 6;
        if (!opened) return;
        form = std::make_unique<TOrgForm>();
        OrgForm = form.get();
        EventsData.Last();
    }
};

Window &TheWindow() {
    static Window *w = new Window;
    return *w;
}

void BM_ChooserFirstOpen(benchmark::State &state) {
    Window &w = TheWindow();
    if (!w.form) return state.SkipWithError("the catalogue did not open");
    for (auto _ : state) {
        ListForm->ForgetRows();
        ListForm->Prepare(ChooserMode::Dances);
        benchmark::DoNotOptimize(ListForm->RowCount());
    }
}
BENCHMARK(BM_ChooserFirstOpen)->Unit(benchmark::kMillisecond);

void BM_PlainSqliteChooserColumns(benchmark::State &state) {
    Window &w = TheWindow();
    if (!w.form) return state.SkipWithError("the catalogue did not open");
    for (auto _ : state) {
        Statement s(Conn.handle(), QStringLiteral("SELECT rowid, Title, Format, Style FROM Dances ORDER BY Title, Style"));
        int n = 0;
        while (s.step()) n += int(s.columnText(1).size() + s.columnText(2).size() + s.columnText(3).size());
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_PlainSqliteChooserColumns)->Unit(benchmark::kMillisecond);

void BM_ChooserReopen(benchmark::State &state) {
    Window &w = TheWindow();
    if (!w.form) return state.SkipWithError("the catalogue did not open");
    ListForm->Prepare(ChooserMode::Dances);
    for (auto _ : state) ListForm->Prepare(ChooserMode::Dances);
}
BENCHMARK(BM_ChooserReopen)->Unit(benchmark::kMillisecond);

// One keystroke of "Str" typed letter by letter.
void BM_ChooserKeystroke(benchmark::State &state) {
    Window &w = TheWindow();
    if (!w.form) return state.SkipWithError("the catalogue did not open");
    ListForm->Prepare(ChooserMode::Dances);
    const QString word = QStringLiteral("Str");
    int i = 0;
    for (auto _ : state) {
        ListForm->ListSel->setText(word.left(i % 3 + 1));
        ++i;
        benchmark::DoNotOptimize(ListForm->SelectedRow());
    }
}
BENCHMARK(BM_ChooserKeystroke)->Unit(benchmark::kMillisecond);

void BM_DancesTableView(benchmark::State &state) {
    Window &w = TheWindow();
    if (!w.form) return state.SkipWithError("the catalogue did not open");
    w.form->PC->setCurrentWidget(w.form->DancePage);
    for (auto _ : state) {
        w.form->FormViewClick(); // to the table
        state.PauseTiming();
        w.form->FormViewClick(); // back to the form
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DancesTableView)->Unit(benchmark::kMillisecond);

} // namespace
