// The main window's part of the programme evaluation: what the rows, the
// Events page and the settings hold goes in, and what comes out is shown on
// the rows' labels, the headings' captions and the average-level row.

#include "app/OrgForm.h"

#include "base/AppState.h"
#include "base/Cp1252.h"
#include "base/Dates.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "core/startup/Settings.h"
#include "programme/evaluation/Evaluation.h"
#include "programme/rows/ProgrammeRows.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>

namespace {

EvaluationSettings CurrentEvaluationSettings() {
    EvaluationSettings s;
    if (IniFile) s.timeTable = LoadTimeTable(IniFile->ReadSectionValues(QStringLiteral("Timings")));
    s.CPeriod = SettingInteger(QStringLiteral("System"), QStringLiteral("CPeriod"));
    s.Interval = SettingInteger(QStringLiteral("User"), QStringLiteral("Interval"));
    s.Break = SettingInteger(QStringLiteral("User"), QStringLiteral("Break"));
    return s;
}

QColor ToColor(const Rgb &c) { return QColor(c.r, c.g, c.b); }

void ShowLabelValue(QLabel *label, const LabelValue &value) {
    label->setText(value.text);
    if (value.colour) SetLabelColour(label, *value.colour);
}

// Font colour and weight go last: colouring the rows gives every "Time"
// label its row's font again.
void ShowLabelFont(QLabel *label, const LabelValue &value) {
    if (value.fontColour) {
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, ToColor(*value.fontColour));
        label->setPalette(p);
    }
    if (value.bold) {
        QFont f = label->font();
        f.setBold(*value.bold);
        label->setFont(f);
    }
}

} // namespace

void TOrgForm::SetEvaluationSources(std::function<EvaluationSources()> sources) {
    evaluationSources = std::move(sources);
}

void TOrgForm::Evaluate() {
    WriteLog(QStringLiteral("Evaluate"));
    ProgrammeRows &rows = *Rows;
    const int kept = ThisIndex;
    rows.NoScroll = true;
    // Whatever ends the evaluation, selecting scrolls again and the selected
    // index is the one it started with.
    struct Restore {
        ProgrammeRows &rows;
        int kept;
        ~Restore() {
            rows.NoScroll = false;
            ThisIndex = kept;
        }
    } restore{rows, kept};
    rows.DummyItem->clear();

    const EvaluationSources sources = evaluationSources ? evaluationSources() : EvaluationSources{};
    EvaluationInputs in;
    in.rows = rows.RowItems();
    in.columns = rows.settings.display;
    in.ETime = ETime->text();
    in.EDate = sources.EDate.isValid() ? sources.EDate : DayNumberToDate(NoDate);
    in.Org = Org->text();
    in.separator = rows.settings.separator;
    in.settings = CurrentEvaluationSettings();
    in.dances = sources.dances.get();
    in.history = sources.history.get();
    const EvaluationResult result = ::Evaluate(in);

    const QList<TItem *> shown = rows.ItemList;
    const qsizetype count = std::min(shown.size(), result.rows.size());
    for (qsizetype i = 0; i < count; ++i) {
        const RowEvaluation &r = result.rows[i];
        TItem *row = shown[i];
        for (auto it = r.labels.constBegin(); it != r.labels.constEnd(); ++it) {
            QLabel *label = rows.FindItemLabel(row, it.key());
            ShowLabelValue(label, it.value());
            ShowLabelFont(label, it.value());
        }
        if (r.lastCHint) rows.FindItemLabel(row, QStringLiteral("LastC"))->setToolTip(*r.lastCHint);
        if (r.caption) row->setCaption(*r.caption);
    }
    if (result.stopped()) {
        rows.NoScroll = false;
        ThisIndex = kept;
        AbortMsg(result.stopMessage);
    }

    if (!CheckAllRunning()) Body->show();
    if (!rows.ItemList.isEmpty()) {
        rows.SelectItem(rows.ItemList.last());
        auto *average = qobject_cast<TNotes *>(rows.ItemList.last());
        if (average && result.averageNote == EvaluationResult::AverageNote::Set) {
            average->setText(result.averageText);
            if (average->fitToText()) rows.LayOutRows();
        } else if (average && result.averageNote == EvaluationResult::AverageNote::Remove) {
            // No dance with a level: no average to show.
            rows.ReleaseItem(average);
            rows.LayOutRows();
        }
    }
    ThisIndex = kept;
    if (kept >= 0 && kept < rows.ItemList.size()) rows.SelectItem(rows.ItemList[kept]);
    rows.NoScroll = false;

    for (qsizetype i = 0; i < count; ++i) {
        if (!rows.ItemList.contains(shown[i])) continue;
        const RowEvaluation &r = result.rows[i];
        for (auto it = r.labels.constBegin(); it != r.labels.constEnd(); ++it)
            if (it.value().fontColour || it.value().bold)
                ShowLabelFont(rows.FindItemLabel(shown[i], it.key()), it.value());
    }
}
