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
#include "platform/sqlite/DataSource.h"
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

    // A refused post earlier may have left programmes to show again: the
    // rollback put them back as they were.
    ProgrammesRenamed = false;
    HeldEvent.reset();
    const DanceKey newKey = CurrentDanceKey(ds);
    // The key the programmes hold is the record's as stored (none for a new
    // one), whatever an earlier post that was refused or cancelled left behind.
    const DanceKey storedKey = StoredDanceKey(ds);
    const QChar sep = ProgrammeSeparator;
    const QString oldItem = ProgrammeKey(storedKey, sep);
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

    if (!storedKey.Title.isEmpty() && oldItem != newItem) {
        const QString question = KeyChangeQuestion(storedKey, newKey, sep);
        if (!YesNo(question)) {
            ds.Cancel();
            setOldKey(CurrentDanceKey(ds));
            throw SilentAbort();
        }
        WriteLog(question);
        // The post runs in one transaction: these writes stand or fall with it.
        // The shown event's edits go in first; should the post fail, they
        // come back as edits (DancesPostFailed).
        StoreEventHeld();
        RenameDanceItemsEverywhere(Conn, sep, storedKey, newKey);
        // The shown event follows once the post is stored (after-post): a
        // post refused now must not leave renamed rows on the Events page.
        ProgrammesRenamed = true;
        if (!SameDanceKey(storedKey, newKey) && MergeOtherDance(ds, newKey, [](const QString &q) { return YesNo(q); }))
            // The merged music is the dance's own now: a second post (the
            // navigator's) must not put the box's old text back.
            MusicText = text(ds, QStringLiteral("Music"));
    }
    // Stored already from inside this handler: no after-post follows.
    if (ds.State() != DatasetState::Edit && ds.State() != DatasetState::Insert && ProgrammesRenamed) {
        ProgrammesRenamed = false;
        HeldEvent.reset();
        setOldKey(newKey);
        ShowEventKeepingPage();
    }
}

// The rollback undid the shown event's edits stored with the refused dance;
// its rows were never shown anew and keep theirs.
void TOrgForm::DancesPostFailed(Dataset &) {
    ProgrammesRenamed = false;
    PutBackHeldEvent(false);
}

// The rollback undid the notes made of the dance's items, which the Events
// page shows already, and the shown event's edits stored with them.
void TOrgForm::DancesDeleteFailed(Dataset &) {
    if (PutBackHeldEvent(true)) return;
    // Nothing held: the rows show what is stored again. An event still being
    // edited refused its own post, before anything was shown anew.
    if (EventsData.active() && EventsData.State() == DatasetState::Browse) ShowEventKeepingPage();
}

void TOrgForm::StoreEventHeld() {
    HeldEvent.reset();
    if (!EventsData.active()) return;
    const DatasetState state = EventsData.State();
    if (state == DatasetState::Edit || state == DatasetState::Insert) {
        // Text still in a box is an edit like any other.
        ESource->writeAll();
        if (EventsData.Modified() || EventChanged) {
            SaveERec(SaveSender::None);
            HeldEventEdits held;
            held.typed = EventsData.TypedRecord();
            held.progText = ProgText;
            held.thisIndex = ThisIndex;
            held.dateText = DateBox->text();
            held.dateModified = DateBox->isModified();
            HeldEvent = std::move(held);
        }
    }
    EventsData.CheckBrowseMode();
}

bool TOrgForm::PutBackHeldEvent(bool Reshow) {
    if (!HeldEvent) return false;
    // Held until the record is back, so that the moves on the way leave the
    // rows alone.
    HeldEventEdits held = *HeldEvent;
    struct Release {
        TOrgForm *f;
        ~Release() { f->HeldEvent.reset(); }
    } release{this};
    // Refused itself, the event's post left its edits where they were.
    if (!EventsData.active() || EventsData.State() != DatasetState::Browse) return false;
    // The rollback took a new row away (the event is new again) or the
    // edits of a stored one (shown again, also when they took it out of the
    // filter).
    EventsData.PutBackTyped(std::move(held.typed));
    if (EventsData.State() == DatasetState::Browse) return false;
    ProgText = held.progText;
    HeldEvent.reset();
    // The rows shown, and those shown anew, are this record's.
    EventRowsStale = false;
    if (Reshow) ShowEventKeepingPage(false);
    ThisIndex = held.thisIndex;
    DateBox->setText(held.dateText);
    DateBox->setModified(held.dateModified);
    EventsChange();
    return true;
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
    if (dances) {
        HeldEvent.reset();
        // The key is the one stored now; programmes renamed with it show.
        setOldKey(CurrentDanceKey(ds));
        if (std::exchange(ProgrammesRenamed, false)) ShowEventKeepingPage();
    }
    if (ds.Filtered() && current != PendingRec && !QuietFilterPost) {
        if (ds.VisibleCount() > 0) {
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
    const DanceKey key = StoredDanceKey(ds);
    // The delete runs in one transaction: these writes stand or fall with it.
    // Should it fail, the shown event's edits come back (DancesDeleteFailed).
    StoreEventHeld();
    DanceItemsToNotesEverywhere(Conn, ProgrammeSeparator, key);
    ShowEventKeepingPage();
}

// The shown event's rows follow a rewrite of the programmes, while the user
// stays on the page the dance was saved or deleted from.
void TOrgForm::ShowEventKeepingPage(bool Rebuild) {
    QWidget *page = PC->currentWidget();
    ShowEvent(Rebuild);
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
    // The rows shown are another event's until this one is shown.
    EventRowsStale = true;
    // The rollback of a dance's write: the held event comes back.
    if (HeldEvent) return;
    if (ds.IsEmpty() || (Grid->isHidden() && !ds.ControlsDisabled())) ShowEvent();
}

void TOrgForm::DancesAfterScroll(Dataset &ds) {
    // A delete scrolls once it is committed: its held event is stored.
    if (Conn.batchDepth() == 0) HeldEvent.reset();
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
