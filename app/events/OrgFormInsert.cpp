// Insert from list, Panic! and the insertion of Tunes for this band; Copy
// Dance; Check recordings; and the Bookings command.

#include "app/OrgForm.h"

#include "base/AppState.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "base/TextRoutines.h"
#include "core/dances/DanceLocate.h"
#include "core/dances/DanceShow.h"
#include "core/database/Tables.h"
#include "core/filter/FilterCommands.h"
#include "core/services/Help.h"
#include "core/startup/Positioning.h"
#include "core/startup/Settings.h"
#include "platform/ini/IniFile.h"
#include "platform/rtf/RtfReader.h"
#include "platform/sqlite/Dataset.h"
#include "programme/files/ExchangeFiles.h"
#include "programme/files/InsForm.h"
#include "programme/files/InsertFromList.h"
#include "programme/evaluation/CallCounting.h"
#include "programme/rows/ProgrammeRows.h"
#include "programme/evaluation/SqlProgrammeData.h"
#include "presentation/music/RecordingsCheck.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QTabWidget>

namespace {

// What the insert window asks of the main window.
class MainInsertSink : public InsertSink {
public:
    explicit MainInsertSink(TOrgForm *form) : form(form) {}
    bool PositionalShown() override { return SameText(form->Style->text(), QStringLiteral("Positional")); }
    void InsertDances(const QList<DanceKey> &keys) override {
        QList<ProgrammeItem> items;
        for (const DanceKey &key : keys) items.append(ProgrammeItem::dance(key));
        form->SaveERec(SaveSender::None);
        const int after = ThisIndex;
        form->ProgText = InsertProgrammeFile(form->ProgText, ProgrammeSeparator, after, false, items);
        form->ShowEvent(false);
        // The last dance inserted is selected, as each insertion selects its row.
        const int last = std::min(after + int(keys.size()), int(form->Rows->ItemList.size()) - 1);
        if (last >= 0) form->Rows->SelectItem(form->Rows->ItemList[last]);
        form->EventsChange();
    }

private:
    TOrgForm *form;
};

} // namespace

void TOrgForm::InsListClick(QAction *Sender) {
    WriteLog(Sender ? Sender->objectName() : QStringLiteral("InsList"));
    if (Sender == Panic || Sender == PanicM) {
        if (DancesData.Filtered()) SetFilter(FilterTable::Dances, 1);
        LocateDance(QStringLiteral("Panic!"), QStringLiteral("Technique"), QStringLiteral("Technique"));
        if (CurrentDanceKey(DancesData).Title != QLatin1String("Panic!")) return;
        ShowDance();
    }
    // The list is the instructions' own text, less the dance's title heading
    // that "Show titles" shows and the instruction editor then stores.
    if (Sender != BandTunes)
        WorkList = DancesData.active() && !DancesData.IsEmpty()
                       ? TitleList(rtfPlainText(DancesData.FieldByName(QStringLiteral("Instructions")).AsString()),
                                   DisplayTitle(DancesData.FieldByName(QStringLiteral("Title")).AsString()))
                       : QStringList();
    ShowEventsPage();
    SavePos();
    bool inserted = false;
    {
        SqlTitleCatalogue catalogue(Conn);
        MainInsertSink sink(this);
        TInsForm form(WorkList, catalogue, sink, this);
        try {
            inserted = form.exec() == QDialog::Accepted;
        } catch (...) {
            RestPos();
            throw;
        }
    }
    if (!inserted) {
        RestPos();
        return;
    }
    SaveERec(SaveSender::Other);
    RestPos();
    ShowEvent(false);
}

void TOrgForm::DupDanceClick() {
    REDClick(DancesM);
    WriteLog(QStringLiteral("Dup Dance"));
    if (!DancesData.active() || DancesData.IsEmpty()) return;
    QStringList values;
    for (int i = 0; i < DancesData.FieldCount(); ++i) values.append(DancesData.Fields(i).AsString());
    WorkList = values;
    // The insert clears the title kept for renaming, so the copy's first
    // save renames nothing in the programmes.
    DancesData.Insert();
    for (int i = 0; i < DancesData.FieldCount(); ++i) {
        Field &f = DancesData.Fields(i);
        if (f.FieldName() == QLatin1String("Called")) f.Clear();
        else if (f.FieldName() == QLatin1String("Printed")) f.SetAsString(QString());
        else f.SetAsString(values[i]);
    }
    // The play controls follow the copy's Music.
    ShowDance();
    MsgTimeout = 1000;
    ShowMsg(QStringLiteral("Copy created"));
}

void TOrgForm::CheckRecsClick() {
    WriteLog(QStringLiteral("Check recordings"));
    if (!IsRec->isChecked()) {
        OpenHelp(54110);
        return;
    }
    ShowEventsPage();
    SqlDanceLookup lookup(Conn);
    lookup.onMissing = [this](const DanceKey &key) { LocateMissing(key); };
    MusicInput base;
    base.sep = ProgrammeSeparator;
    base.isRec = true;
    base.locationColumn = LocationColumn;
    if (IniFile) base.recordedKeys = IniFile->ReadSection(QStringLiteral("Recorded"));
    for (const QString &text : CheckRecordings(Rows->RowItems(), lookup, base)) ShowMsg(text);
}

void TOrgForm::BookingsClick() {
    WriteLog(QStringLiteral("Bookings"));
    MakeWebPages(true);
}
