// What the two table datasets run around their posts, deletes and scrolls:
// the checks that keep the catalogue consistent, renaming and merging
// dances, turning a deleted dance's programme items into notes, and the
// marks that tell the event display what to save.

#include "app/OrgForm.h"

#include "presentation/ContraFigures.h"
#include "presentation/editor/IntEForm.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "core/dances/DanceItems.h"
#include "core/dances/DanceLocate.h"
#include "core/dances/DanceRecord.h"
#include "core/dances/DanceShow.h"
#include "core/dances/RecordHooks.h"
#include "core/database/Tables.h"
#include "core/filter/Filter.h"
#include "core/startup/Positioning.h"
#include "core/startup/Settings.h"
#include "publishing/exchange/CsvImport.h"
#include "programme/evaluation/CallCounting.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTableView>

namespace {

QString text(Dataset &ds, const QString &name) { return ds.FieldByName(name).AsString(); }

DanceKey oldKey() { return {OldTitle, OldFormat, OldStyle}; }

void setOldKey(const DanceKey &key) {
    OldTitle = key.Title;
    OldFormat = key.Format;
    OldStyle = key.Style;
}

class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

void TOrgForm::DancesBeforePost(Dataset &ds) {
    // Bulk work and the CSV import store their own values.
    if (ds.ControlsDisabled() || ImportWindowExists) return;
    AnyExit();

    const DanceKey newKey = CurrentDanceKey(ds);
    const QChar sep = ProgrammeSeparator;
    const QString oldItem = ProgrammeKey(oldKey(), sep);
    const QString newItem = ProgrammeKey(newKey, sep);

    const QString keyFault = DanceKeyFault(newKey);
    if (!keyFault.isEmpty()) AbortMsg(keyFault);
    const QString tuneBookFault = TolbrookFault(Tolbrook->text());
    if (!tuneBookFault.isEmpty()) AbortMsg(tuneBookFault);

    const QString storedMusic = text(ds, QStringLiteral("Music"));
    const bool danceGrid = !Grid->isHidden() && PC->currentWidget() == DancePage;
    if (MusicText != storedMusic && !danceGrid && PC->currentWidget() != RecPage) {
        if (storedMusic.contains(sep) && !MusicText.contains(sep) &&
            !YesNo(QStringLiteral("Did you mean to remove the \"recorded music\" data?"))) {
            ds.Cancel();
            SetMusic();
            return;
        }
        WriteLog(QStringLiteral("Music changed"));
        PendingRecDets = true;
        ds.FieldByName(QStringLiteral("Music")).SetAsString(MusicText);
    }

    if (Notes->document()->isModified()) {
        ds.FieldByName(QStringLiteral("Notes")).SetAsString(FromWidgetText(Notes->toPlainText()));
        Notes->document()->setModified(false);
    }
    PendingRec = ds.GetBookmark();

    if (OptionChecked(QStringLiteral("IntEditor")) && IntEFormWindow().Unsaved()) IntEFormWindow().SaveClick(true);

    if (!OldTitle.isEmpty() && oldItem != newItem) {
        const QString question = KeyChangeQuestion(oldKey(), newKey, sep);
        if (!YesNo(question)) {
            ds.Cancel();
            setOldKey(CurrentDanceKey(ds));
            throw SilentAbort();
        }
        WriteLog(question);
        // The post runs in one transaction: these writes stand or fall with it.
        EventsData.CheckBrowseMode();
        RenameDanceItemsEverywhere(Conn, sep, oldKey(), newKey);
        ShowEventKeepingPage();
        if (!SameDanceKey(oldKey(), newKey) && MergeOtherDance(ds, newKey, [](const QString &q) { return YesNo(q); }))
            // The merged music is the dance's own now: a second post (the
            // navigator's) must not put the box's old text back.
            MusicText = text(ds, QStringLiteral("Music"));
    }
    setOldKey(newKey);
}

void TOrgForm::EventsBeforePost(Dataset &ds) {
    if (ImportWindowExists) return;
    AnyExit();
    if (DateBox->isModified()) {
        WriteLog(QStringLiteral("Date modified"));
        DateBoxExit();
        // The date box's own post has stored the record.
        if (ds.State() == DatasetState::Edit || ds.State() == DatasetState::Insert) throw SilentAbort();
        return;
    }
    const QVariant date = ds.FieldByName(QStringLiteral("EDate")).Value();
    if (text(ds, QStringLiteral("Org")).isEmpty() || text(ds, QStringLiteral("Event")).isEmpty() || date.isNull() ||
        date.toDouble() == 0)
        AbortMsg(QStringLiteral("Org, Event and Date must be filled in."));
    PendingRec = ds.GetBookmark();
    if (EventChanged) {
        EventChanged = false;
        SaveERec(SaveSender::EventsData);
    }
}

void TOrgForm::AnyAfterPost(Dataset &ds) {
    if (ds.ControlsDisabled()) return;
    const Dataset::Bookmark current = ds.GetBookmark();
    const bool dances = &ds == &DancesData;
    if (ds.Filtered() && current != PendingRec && !QuietFilterPost) {
        if (ds.VisibleCount() > 0) {
            // Another record shows now: its key is the one to compare with.
            if (dances) setOldKey(CurrentDanceKey(ds));
            OKHelpCancel(QStringLiteral("Record may no longer match filter."), 30410);
        } else {
            SetFilter(dances ? FilterTable::Dances : FilterTable::Events, 1);
            GotoPos(ds, PendingRec);
            OKHelpCancel(QStringLiteral("No records now match the filter.  Filter removed."), 30410);
        }
        if (dances) ShowDance();
    }
    PendingRec = 0;
}

void TOrgForm::BeforeDelete(Dataset &ds) {
    WriteLog(QStringLiteral("Delete"));
    if (&ds != &DancesData) return;
    BusyCursor busy;
    // The key as stored: the boxes may hold edits that were never posted.
    DanceKey key = oldKey();
    if (key.Title.isEmpty()) key = CurrentDanceKey(ds);
    // The delete runs in one transaction: these writes stand or fall with it.
    EventsData.CheckBrowseMode();
    DanceItemsToNotesEverywhere(Conn, ProgrammeSeparator, key);
    ShowEventKeepingPage();
}

// The shown event's rows follow a rewrite of the programmes, while the user
// stays on the page the dance was saved or deleted from.
void TOrgForm::ShowEventKeepingPage() {
    QWidget *page = PC->currentWidget();
    ShowEvent();
    if (PC->currentWidget() != page) {
        PC->setCurrentWidget(page);
        PCChange();
    }
}

void TOrgForm::EventsChange() {
    if (!EventsData.Modified()) {
        // An edit of the headings alone would lose the other items.
        if (HeadingsOnly()) {
            StoreOption(QStringLiteral("Headings"), false);
            if (QAction *item = OptionAction(QStringLiteral("Headings"))) item->setChecked(false);
            ShowEvent();
        }
        EventsData.Edit();
        Field &updated = EventsData.FieldByName(QStringLiteral("Updated"));
        updated.SetValue(updated.Value());
    }
    EventChanged = true;
}

void TOrgForm::EDataChange() { EventChanged = true; }

void TOrgForm::EventsAfterScroll(Dataset &ds) {
    EventChanged = false;
    MissingMet = false;
    ChosenMusicLine = 0;
    ThisIndex = -1;
    ContraExtrasAnswer.clear();
    if (ds.IsEmpty() || (Grid->isHidden() && !ds.ControlsDisabled())) ShowEvent();
}

void TOrgForm::DancesAfterScroll(Dataset &ds) {
    setOldKey(CurrentDanceKey(ds));
    MusicText = ds.IsEmpty() ? QString() : text(ds, QStringLiteral("Music"));
    // Web links in the standard catalogue are kept as bare addresses.
    if (!NonStandardDB && !DancePosKept() && !ds.IsEmpty() && ds.State() == DatasetState::Browse) {
        bool changed = false;
        const QString notes = BareWebLinks(text(ds, QStringLiteral("Notes")), &changed);
        if (changed) {
            ds.Edit();
            ds.FieldByName(QStringLiteral("Notes")).SetAsString(notes);
            ds.Post();
        }
    }
}

void TOrgForm::EventsEnable() { ::EventsEnable(); }
