// The Events and Dances menus' file commands: a programme saved to and
// loaded from a "*.Ev" file, a text file loaded into a note, a dance saved
// to and loaded from a "*.Da" file; and the menu items of insert from list
// and the listings.

#include "app/OrgForm.h"

#include "base/AppState.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "base/TextRoutines.h"
#include "core/database/Tables.h"
#include "core/filter/FilterCommands.h"
#include "core/services/ShellRoutines.h"
#include "core/startup/Settings.h"
#include "platform/sqlite/Dataset.h"
#include "programme/files/ExchangeFiles.h"
#include "programme/evaluation/CallCounting.h"
#include "programme/rows/ProgrammeRows.h"

#include <QAction>
#include <QMenu>
#include <QTabWidget>

namespace {

QAction *Command(TOrgForm *form, QMenu *menu, const char *caption, const char *name, int help,
                 const std::function<void(QAction *)> &handler, const QKeySequence &key = {}) {
    QAction *a = menu->addAction(QString::fromUtf8(caption));
    a->setObjectName(QLatin1String(name));
    if (help) a->setProperty("HelpContext", help);
    if (!key.isEmpty()) a->setShortcut(key);
    QObject::connect(a, &QAction::triggered, form, [a, handler] { handler(a); });
    return a;
}

} // namespace

void TOrgForm::buildExchangeCommands() {
    EventsM->addSeparator();
    SaveAsE = Command(this, EventsM, "Save &As", "SaveAsE", 0, [this](QAction *) { SaveAsEClick(); });
    LoadFrom = Command(this, EventsM, "Load From", "LoadFrom", 0, [this](QAction *a) { LoadFromClick(a); });
    Panic = Command(this, EventsM, "Panic!", "Panic", 55010, [this](QAction *a) { InsListClick(a); },
                    QKeySequence(Qt::Key_F12));
    CheckRecs = Command(this, EventsM, "Check recordings", "CheckRecs", 54110, [this](QAction *) { CheckRecsClick(); });
    Bookings = Command(this, EventsM, "&Bookings", "Bookings", 0, [this](QAction *) { BookingsClick(); });
    ListM->addSeparator();
    ListRTF = Command(this, ListM, "RTF", "ListRTF", 0, [this](QAction *a) { InstClick(a); });
    ListText = Command(this, ListM, "Text", "ListText", 0, [this](QAction *a) { InstClick(a); });
    Titles = Command(this, ListM, "Dance titles", "Titles", 0, [this](QAction *) { TitlesClick(); });
    BandTunes = Command(this, ListM, "Tunes for this band", "BandTunes", 54050, [this](QAction *) { BandTunesClick(); });

    DancesM->addSeparator();
    SaveAsD = Command(this, DancesM, "Save Dance As...", "SaveAsD", 0, [this](QAction *) { SaveAsDClick(); });
    LoadfromD = Command(this, DancesM, "Load Dance...", "LoadfromD", 0, [this](QAction *) { LoadfromDClick(); });
    InsList = Command(this, DancesM, "Insert from list", "InsList", 55250, [this](QAction *a) { InsListClick(a); });
    DupDance = Command(this, DancesM, "Copy Dance", "DupDance", 0, [this](QAction *) { DupDanceClick(); });
    PanicM = Command(this, DancesM, "Panic!", "PanicM", 55010, [this](QAction *a) { InsListClick(a); });
}

void TOrgForm::ShowEventsPage() {
    if (PC->currentWidget() == EventPage) return;
    PC->setCurrentWidget(EventPage);
    PCChange();
}

QList<bool> TOrgForm::RowMarks() const {
    QList<bool> marks;
    for (const TItem *row : Rows->ItemList) marks.append(row->isSelected());
    return marks;
}

// ---- programme files ----------------------------------------------------------------

void TOrgForm::SaveAsEClick() {
    ShowEventsPage();
    WriteLog(QStringLiteral("Save As"));
    QString name;
    if (!PickFile(this, QStringLiteral("Events|*.Ev|All files|*.*"), QString(), false, name, QStringLiteral("Save As"),
                  QStringLiteral("Ev")))
        return;
    // The headings-only view shows every row first.
    SaveERec(SaveSender::None);
    // Built aside: the programme clipboard keeps what was copied or cut.
    const ProgrammeFileSave save = ProgrammeFileText(Rows->RowItems(), RowMarks(), ProgrammeSeparator);
    SaveTextFile(name, save.text);
    MsgTimeout = 2000;
    ShowMsg(ItemsSavedText(save.count, name));
}

void TOrgForm::LoadFromClick(QAction *Sender) {
    ShowEventsPage();
    WriteLog(QStringLiteral("Load from"));
    SaveERec(SaveSender::None);
    const QChar sep = ProgrammeSeparator;
    QString name;
    if (Sender && Sender == LoadFromP) {
        auto *notes = qobject_cast<TNotes *>(Rows->ThisItem);
        if (!notes) return;
        if (!PickFile(this, QStringLiteral("Text|*.Txt|Any|*.*"), DataFolder, true, name, QStringLiteral("Load from"),
                      QStringLiteral("Txt")))
            return;
        const QString text = LoadTextFile(name);
        const bool overwrite =
            !notes->text().isEmpty() && YesNo(QStringLiteral("Overwrite existing notes?\rClick [No] to add."));
        notes->setText(NoteWithFile(notes->text(), overwrite, text));
        SaveERec(SaveSender::None);
        ShowEvent(false);
        EventsChange();
        return;
    }
    if (!PickFile(this, QStringLiteral("Events|*.Ev"), DataFolder, true, name, QStringLiteral("Load From"),
                  QStringLiteral("Ev")))
        return;
    // The whole file is checked before anything changes.
    const ProgrammeFileRead read = ReadProgrammeFile(LoadTextFile(name), sep, name);
    if (!read.error.isEmpty()) {
        ShowMsg(read.error);
        return;
    }
    if (!read.unknown.isEmpty()) ShowMsg(read.unknown);
    if (read.items.isEmpty()) return;
    const bool overwrite =
        ProgrammeHasItems(ProgText, sep) && YesNo(QStringLiteral("Overwrite existing programme?\rClick [No] to add."));
    const int after = ThisIndex;
    ProgText = InsertProgrammeFile(ProgText, sep, after, overwrite, read.items);
    ShowEvent(false);
    EventsChange();
}

// ---- dance files ----------------------------------------------------------------------

void TOrgForm::SaveAsDClick() {
    WriteLog(QStringLiteral("Save As"));
    if (!DancesData.active() || (DancesData.IsEmpty() && DancesData.State() == DatasetState::Browse)) return;
    QString name;
    if (!PickFile(this, QStringLiteral("Dances|*.Da|All files|*.*"), QString(), false, name,
                  QStringLiteral("Save Dance As"), QStringLiteral("Da")))
        return;
    SaveDRec();
    QStringList values;
    for (int i = 0; i < DancesData.FieldCount(); ++i) values.append(DancesData.Fields(i).AsString());
    SaveTextFile(name, DanceFileText(values, DanceFileColumns(DancesData.fieldInfos()), ProgrammeSeparator));
    ShowMsg(QStringLiteral("Dance saved as ") + name);
}

void TOrgForm::LoadfromDClick() {
    WriteLog(QStringLiteral("Load from"));
    if (!DancesData.active()) return;
    if (!DancesData.IsEmpty() || DancesData.State() != DatasetState::Browse) SaveDRec();
    QString name;
    if (!PickFile(this, QStringLiteral("Dances|*.Da"), DataFolder, true, name, QStringLiteral("Load Dance"),
                  QStringLiteral("Da")))
        return;
    // A file that is not a whole dance file starts no record.
    const DanceFileRead read =
        ReadDanceFile(LoadTextFile(name), ProgrammeSeparator, DanceFileColumns(DancesData.fieldInfos()), name);
    if (!read.error.isEmpty()) {
        ShowMsg(read.error);
        return;
    }
    NewDanceClick();
    for (int i = 0; i < DancesData.FieldCount() && i < read.values.size(); ++i)
        DancesData.Fields(i).SetAsString(read.values[i]);
    // Shown, not posted: the user saves the new dance.
    ShowDance();
}
