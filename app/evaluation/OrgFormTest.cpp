// The programme test: the shown programme checked against the rule set its
// event (or festival session) names, reported in the progress box. The
// Rules page is left as it is: the rules are parsed by the plain parser.

#include "app/OrgForm.h"

#include "base/Dates.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "core/database/Tables.h"
#include "core/dialogs/Progress.h"
#include "core/filter/FilterCommands.h"
#include "core/startup/Settings.h"
#include "programme/evaluation/Rules.h"
#include "programme/rows/ProgrammeRows.h"

#include <QLineEdit>

namespace {

class ProgressReport : public RuleReport {
public:
    explicit ProgressReport(TProgress &run) : run(run) {}
    void addLine(const QString &text) override { run.AddLine(text); }
    void addError(const QString &text) override { run.AddError(text); }

private:
    TProgress &run;
};

} // namespace

void TOrgForm::TestClick() {
    if (Rows->ItemList.isEmpty()) return;
    REDClick(EventsM);
    WriteLog(QStringLiteral("Test"));
    SetFilter(FilterTable::Dances, 1);

    const double day = EventsData.FieldByName(QStringLiteral("EDate")).AsFloat();
    TProgress run(FormatDdMmmYy(DayNumberToDate(day)) + QStringLiteral(": ") + Org->text() + QLatin1Char(' ') +
                  Event->text());
    run.SetWidth(350);
    // The lines so far stay in the box whichever way the run ends.
    try {
        ProgrammeTestInput in;
        in.rows = Rows->RowItems();
        in.thisIndex = ThisIndex;
        in.eventText = Event->text();
        in.setNames = RuleSetSection::names(*IniFile);
        in.readSet = [](const QString &name) {
            return IniFile->ReadSectionValues(RuleSetSection::section(name));
        };
        in.boxItems = RuleBoxItems();
        const EvaluationSources sources = evaluationSources ? evaluationSources() : EvaluationSources();
        in.dances = sources.dances.get();
        ProgressReport report(run);
        const ProgrammeTestResult result = RunProgrammeTest(in, report);
        if (result.end == ProgrammeTestEnd::Stopped) ShowMsg(result.message);
    } catch (...) {
        run.Finish();
        throw;
    }
    run.Finish();
}
