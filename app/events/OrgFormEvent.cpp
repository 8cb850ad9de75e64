// The main window's Events page as a record: showing the current event
// (check boxes, date box, programme rows), saving it (the programme string,
// and the call counting of a finished event), the date box, and the small
// services of every data field: entering and leaving it, the pick list of
// earlier values, capitalising typed titles, and the checks before a dance
// is stored.

#include "app/OrgForm.h"

#include "base/AppState.h"
#include "base/Clock.h"
#include "base/Cp1252.h"
#include "base/Dates.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "base/TextRoutines.h"
#include "core/dances/DanceLocate.h"
#include "core/dances/DanceShow.h"
#include "core/dances/FieldRules.h"
#include "core/dances/RecordHooks.h"
#include "core/database/Tables.h"
#include "core/filter/Filter.h"
#include "core/services/ErrorRouting.h"
#include "core/startup/Positioning.h"
#include "core/startup/Settings.h"
#include "core/startup/StartupRules.h"
#include "platform/sqlite/DBNavigator.h"
#include "platform/sqlite/DataSource.h"
#include "programme/evaluation/CallCounting.h"
#include "programme/evaluation/SqlProgrammeData.h"
#include "programme/rows/ProgrammeRows.h"
#include "programme/text/HeadingRoles.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>
#include <QTextCursor>
#include <QToolButton>

#include <cmath>

QString EventText(const char *field) {
    Field *f = EventsData.active() ? EventsData.FindField(QLatin1String(field)) : nullptr;
    return f ? f->AsString() : QString();
}

double EventDay() {
    Field *f = EventsData.active() ? EventsData.FindField(QStringLiteral("EDate")) : nullptr;
    return f && !f->IsNull() ? f->AsFloat() : 0;
}

namespace {

bool Focusable(const QWidget *w) { return w && w->isVisible() && w->isEnabled(); }

// "6-Dec-26"
QString DayMonthYear(double day) {
    const QDate d = DayNumberToDate(std::floor(day));
    return QStringLiteral("%1-%2-%3")
        .arg(d.day())
        .arg(ShortMonthNames().at(d.month() - 1))
        .arg(d.year() % 100, 2, 10, QLatin1Char('0'));
}

} // namespace

// ---- controls ------------------------------------------------------------------

void TOrgForm::buildEventControls() {
    PopList = new QListWidget(this);
    PopList->setObjectName(QStringLiteral("PopList"));
    PopList->setWindowFlags(Qt::Widget | Qt::FramelessWindowHint);
    PopList->setFocusPolicy(Qt::NoFocus);
    PopList->hide();
    connect(PopList, &QListWidget::itemClicked, this, &TOrgForm::PopListClick);

    ContList = new QListWidget(EventPage);
    ContList->setObjectName(QStringLiteral("ContList"));
    ContList->hide();

    SaveE = findChild<QAction *>(QStringLiteral("SaveE"));
    if (!SaveE) {
        SaveE = new QAction(QStringLiteral("&Save"), this);
        SaveE->setObjectName(QStringLiteral("SaveE"));
        EventsM->addAction(SaveE);
    }
    SaveE->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(SaveE, &QAction::triggered, this, Guarded([this] { SaveERec(SaveSender::SaveE); }));
    // The Dances page's save; the page change hands Ctrl+S to it.
    SaveD = new QAction(QStringLiteral("&Save"), this);
    SaveD->setObjectName(QStringLiteral("SaveD"));
    DancesM->addAction(SaveD);
    connect(SaveD, &QAction::triggered, this, Guarded([this] { SaveDRec(); }));

    Headings = OptionAction(QStringLiteral("Headings"));
    if (!Headings) {
        Headings = new QAction(QStringLiteral("&Headings only"), this);
        Headings->setObjectName(QStringLiteral("Headings"));
        Headings->setCheckable(true);
        Headings->setChecked(OptionChecked(QStringLiteral("Headings")));
        Headings->setProperty("HelpContext", 57580);
        EventsM->addAction(Headings);
        connect(Headings, &QAction::triggered, this, [this] { HeadingsClick(); });
    }

    // The evaluation reads the catalogue straight from the tables; a dance
    // the table lacks gets the not-found choices, the Dances page staying
    // where it was.
    SetEvaluationSources([this] {
        EvaluationSources s;
        if (!Conn.isOpen() || !EventsData.active() || EventsData.IsEmpty()) return s;
        auto lookup = std::make_shared<SqlDanceLookup>(Conn);
        lookup->onMissing = [this](const DanceKey &key) { LocateMissing(key); };
        s.dances = lookup;
        const QVariant date = EventsData.FieldByName(QStringLiteral("EDate")).Value();
        s.history = std::make_shared<SqlEventHistory>(Conn, EventsData.GetBookmark(), date);
        const double day = date.isNull() ? 0 : std::floor(date.toDouble());
        if (day > 0 && day < NoDate) s.EDate = DayNumberToDate(day);
        return s;
    });

    connect(DateBox, &QLineEdit::textChanged, this, [this] { DateBoxChange(); });
    DateBox->setProperty("ownExit", true);
}

void TOrgForm::LocateMissing(const DanceKey &key) {
    for (TItem *row : Rows->ItemList)
        if (auto *dance = qobject_cast<TDance *>(row); dance && SameDanceKey(dance->key(), key)) {
            Rows->AnItem = row;
            break;
        }
    if (DancesData.Filtered()) SetFilter(FilterTable::Dances, 1);
    SaveDancePos(DancesData);
    // The Dances page shows its own dance again, whole, however this ends.
    try {
        LocateDance(key.Title, key.Format, key.Style);
    } catch (...) {
        RestDancePos(DancesData);
        ShowDance();
        throw;
    }
    RestDancePos(DancesData);
    ShowDance();
}

// ---- showing the event ------------------------------------------------------------

void TOrgForm::ShowEvent(bool Rebuild) {
    // 1.
    const bool onFolders = PC->currentWidget() == FolderPage;
    if (Rows->TitleRow) Rows->TitleRow->resize(std::max(0, Body->width() - 16), Rows->TitleRow->height());
    GroupP->setEnabled(true);
    GroupN->setEnabled(true);
    WriteLog(QStringLiteral("ShowEvent ") + FormatEventDate(EventDay()));
    // Cleared first: the page change below must not show the event again.
    if (Rebuild) EventRowsStale = false;

    // 2.
    if (PC->currentWidget() != EventPage) {
        PC->setCurrentWidget(EventPage);
        PCChange();
    }
    const bool checkAll = CheckAllRunning();
    const bool wasShowing = ShowingEvent;
    ShowingEvent = true;
    Body->hide();
    Rows->FillingRows = true;
    Rows->KeepSelection = false;
    if (Rows->ThisItem && Rows->ItemList.contains(Rows->ThisItem)) Rows->ThisItem->setSelected(false);

    // Whatever stops the rest (a message of the evaluation, a failure), the
    // rows come back into sight and the flags are cleared.
    struct Finish {
        TOrgForm *f;
        bool checkAll;
        bool onFolders;
        bool wasShowing;
        ~Finish() {
            f->ShowingEvent = wasShowing;
            if (!checkAll) f->Body->show();
            if (EventsData.active() && EventsData.ControlsDisabled()) EventsData.EnableControls();
            if (DancesData.active() && DancesData.ControlsDisabled()) DancesData.EnableControls();
            f->Rows->FillingRows = false;
            EventChanged = false;
            // 10.
            QList<TItem *> &items = f->Rows->ItemList;
            if (ThisIndex >= 0 && ThisIndex < items.size() && Focusable(items[ThisIndex]))
                f->Rows->SelectItem(items[ThisIndex]);
            if (onFolders) f->PC->setCurrentWidget(f->FolderPage);
        }
    } finish{this, checkAll, onFolders, wasShowing};

    // 3. Focus leaves the rows before they go back to their pools.
    if (!Rows->ItemList.isEmpty() && !checkAll) {
        Body->show();
        Rows->ItemList.first()->setFocus();
        Body->hide();
    }

    // 4.
    const auto yes = [](const char *field) { return EventText(field) == QLatin1String("Y"); };
    Acknowledged->setChecked(yes("Acknowledged"));
    Prv->setChecked(yes("Prv"));
    Updated->setChecked(yes("Updated"));
    IsRec->setChecked(FoldUpper(EventText("Band")).startsWith(QLatin1String("RECORD")));
    const double day = EventDay();
    DateBox->setText(day == 0 ? QString() : FormatEventDate(day));
    DateBox->setModified(false);

    // 5. and 7.
    const ProgrammeRead read = ShowProgText(Rebuild, Rebuild ? EventText("Programme") : QString());
    RowsBuilt = true;
    if (Rebuild && read.repaired && EventsData.active() && !EventsData.IsEmpty()) {
        EventsData.Edit();
        EventsData.FieldByName(QStringLiteral("Programme")).SetAsString(read.stored);
        EventsData.Post();
    }

    // 6.
    ContBtn->move(Body->viewport()->width() / 2, ContBtn->y());
    ContBtn->setVisible(ProgText.isEmpty() && !Updated->isChecked());
    ContList->hide();

    // 8.
    if (!NoEvaluation && EventsData.State() != DatasetState::Insert && EventsData.AfterScroll) Evaluate();
}

// The database logic's call: the current record, read anew.
void TOrgForm::ShowEvent() { ShowEvent(true); }

// ---- saving the event ---------------------------------------------------------------

void TOrgForm::SaveERec(SaveSender sender) {
    // 1.
    WriteLog(QStringLiteral("SaveERec"));
    // Rows built for another event never go into this one.
    if (EventRowsStale) ShowEventKeepingPage();
    Rows->ForgetSession();
    const QChar sep = ProgrammeSeparator;

    // 2. The rows must all exist before they are written back.
    if (Rows->isPartial() || (HeadingsOnly() && sender != SaveSender::SaveE)) {
        if (Headings) Headings->setChecked(false);
        StoreOption(QStringLiteral("Headings"), false);
        ShowEvent(false);
    }

    // 3.
    if (sender != SaveSender::None && sender != SaveSender::EventsData && EventsData.active() &&
        EventsData.State() != DatasetState::Browse && EventsData.Modified())
        EventsData.Post();

    // 4.
    const bool gridShown = Grid && !Grid->isHidden() && PC->currentWidget() == DancePage;
    if (gridShown) FormView();

    // 5.
    if (!Rows->ItemList.isEmpty()) SerialiseRows();

    // 6.
    if (sender == SaveSender::None) return;

    // 7.
    const bool wasFiltered = EventsData.Filtered();
    if (EventsData.IsEmpty()) {
        if (wasFiltered) {
            ShowMsg(QStringLiteral("Filter now selects no records."));
            SetFilter(FilterTable::Events, 1);
            EventsData.First();
        }
        return;
    }
    EventsData.Edit();
    if (wasFiltered && !EventsData.Filtered()) {
        ShowMsg(QStringLiteral("Filter now selects no records."));
        EventsData.First();
        return;
    }

    // The date is checked before anything is counted, so that a mismatch
    // leaves the counts and Updated as they were.
    // 11.
    if (DateBox->hasFocus() && sender != SaveSender::EventsData) DateBoxExit();
    // 12.
    Field &eDate = EventsData.FieldByName(QStringLiteral("EDate"));
    const double stored = eDate.IsNull() ? 0 : eDate.AsFloat();
    if (stored != 0) {
        if (DayNumberToDate(stored).year() > 2099) {
            ShowMsg(QStringLiteral("Year is greater than 2099.  Value modified."));
            const double typed = ParseDate(DateBox->text());
            if (typed != 0) eDate.SetAsDateTime(typed);
        } else {
            const double typed = ParseDate(DateBox->text());
            if (std::floor(typed) != std::floor(stored))
                throw std::runtime_error(
                    (QStringLiteral("Table date is ") + DayMonthYear(stored) + QStringLiteral(" but Date box says ") +
                     DateBox->text() + QStringLiteral("\rI suggest you ") +
                     QStringLiteral("cancel changes (if possible) \rand then check the Events records for both "
                                    "these dates."))
                        .toStdString());
        }
    }

    // 8.-9.
    CallCountPlan plan;
    bool counted = false;
    QString programme = ProgText;
    // Rows not built (yet) are counted from the programme itself.
    const QList<ProgrammeItem> items =
        Rows->ItemList.isEmpty() ? ReadProgramme(ProgText, sep).items : Rows->RowItems();
    const QDate day = DayNumberToDate(std::floor(EventsData.FieldByName(QStringLiteral("EDate")).AsFloat()));
    const bool over = EventIsOver(Today(), day, ProgText, Event->text(), WeekdayName(Today()), sep);
    if (CountingMayRun(sender, EventText("Updated"), over, ProgText, sep) &&
        (!HasTitledDance(items) || YesNo(CountQuestion(ProgText, sep)))) {
        CallCounting counting(items, sep);
        const QList<int> removed = counting.RemoveRows();
        for (int i : removed) Rows->ReleaseItem(Rows->ItemList.value(i));
        if (!removed.isEmpty()) Rows->LayOutRows();
        SqlDanceLookup catalogue(Conn);
        counting.Locate([this, sep, &catalogue](int row, const DanceKey &key) -> std::optional<LocatedDance> {
            Rows->AnItem = Rows->ItemList.value(row);
            if (!catalogue.locate(key)) {
                // Made a note by an earlier choice of this save: not counted.
                if (FindDanceItem(EventText("Programme"), sep, key, 1, true) == 0) return std::nullopt;
                // Every missing dance of the save gets the not-found choices.
                MissingMet = false;
            }
            LocateDance(key.Title, key.Format, key.Style);
            if (DancesData.IsEmpty() || !SameDanceKey(CurrentDanceKey(DancesData), key)) {
                // The Note choice made it a note; anything else leaves the save.
                if (FindDanceItem(EventText("Programme"), sep, key, 1, true) == 0) return std::nullopt;
                WriteLog(QStringLiteral("Save left: dance not found ") + key.Title);
                throw EQuietError("");
            }
            LocatedDance d;
            d.rowid = DancesData.GetBookmark();
            d.title = DancesData.FieldByName(QStringLiteral("Title")).AsString();
            d.lvl = DancesData.FieldByName(QStringLiteral("Lvl")).AsString();
            d.called = DancesData.FieldByName(QStringLiteral("Called")).Value();
            d.callit = DancesData.FieldByName(QStringLiteral("Callit")).AsString() == QLatin1String("Y");
            if (Rows->AnItem) Rows->FindItemLabel(Rows->AnItem, QStringLiteral("Lvl"))->setText(d.lvl);
            ClosePopList();
            return d;
        });
        counting.CheckLinks();
        counting.AskCallit();
        programme = counting.FinalProgramme(ProgText);
        plan = counting.plan;
        counted = true;
        if (Fee->text().isEmpty()) ShowMsg(FeeWarning);
    }

    // 10.
    programme = StoredProgramme(programme, sep);
    if (sender == SaveSender::EventsData) {
        // Inside the record's own post, which writes it.
        Field &p = EventsData.FieldByName(QStringLiteral("Programme"));
        if (p.AsString() != programme) p.SetAsString(programme);
    } else {
        // Cleared first: the post must not write the rows over the result.
        EventChanged = false;
        try {
            WriteEventSave(Conn, EventsData, plan, counted, programme);
        } catch (...) {
            // Refused: the rows on the page are still the edit to store.
            EventChanged = true;
            throw;
        }
        ProgText = programme;
    }

    // 13.
    EventChanged = false;
    if (gridShown) {
        if (Grid) Grid->show();
    } else if (sender != SaveSender::EventsData) {
        ShowEvent(false);
    }
}

// A note of the programme was typed into: a note that needs another height
// makes the whole programme be laid out again, the caret kept.
void TOrgForm::NotesChange(TNotes *row) {
    if (Rows->FillingRows || !row) return;
    const bool resized = row->fitToText();
    if (resized && !ShowingDance) {
        const int index = int(Rows->ItemList.indexOf(row));
        if (index < 0) {
            ShowMsg(QStringLiteral("Error - Notes not found in list"));
        } else {
            const int caret = row->Notes->textCursor().position();
            SaveERec(SaveSender::None);
            ShowEvent(false);
            if (auto *again = qobject_cast<TNotes *>(Rows->ItemList.value(index))) {
                again->Notes->setFocus();
                QTextCursor c = again->Notes->textCursor();
                c.setPosition(std::min(caret, int(again->Notes->document()->characterCount()) - 1));
                again->Notes->setTextCursor(c);
            }
        }
    }
    if (!ShowingDance) EventsChange();
}

// ---- the date box -------------------------------------------------------------------

void TOrgForm::DateBoxChange() {
    if (Rows->FillingRows || !EventsData.active()) return;
    if (EventsData.State() != DatasetState::Browse && EventsData.Modified()) return;
    if (!DateBox->isModified()) return;
    EventsChange();
}

void TOrgForm::DateBoxExit() {
    if (!DateBox->isModified()) return;
    if (DateBox->text().trimmed().isEmpty()) {
        DateBox->setFocus();
        AbortMsg(QStringLiteral("You cannot leave the date blank."));
    }
    const double day = ParseDate(DateBox->text());
    if (day == 0) {
        // The text was reported as no date; it stays for the user to mend.
        DateBox->setFocus();
        throw SilentAbort();
    }
    EventsData.Edit();
    EventsData.FieldByName(QStringLiteral("EDate")).SetAsDateTime(day);
    DateBox->setModified(false);
    DateBox->setText(FormatEventDate(day));
    DateBox->setModified(false);
    EventsData.Post();
}

// ---- entering and leaving fields ----------------------------------------------------------

namespace {

// The dataset a bound box belongs to, or null for a plain box.
Dataset *DatasetOf(TOrgForm *f, const QWidget *w, QString *field = nullptr) {
    if (!w) return nullptr;
    for (TDataSource *src : {f->ESource, f->DSource}) {
        if (!src) continue;
        const QString name = src->fieldOf(w);
        if (!name.isEmpty()) {
            if (field) *field = name;
            return src->dataset();
        }
    }
    return nullptr;
}

} // namespace

void TOrgForm::AnyEnter(QWidget *sender) {
    ClosePopList();
    FieldEntered = true;
    if (DatasetOf(this, sender) || !qobject_cast<QLineEdit *>(sender)) LastDataControl = sender;
    if (PC->currentWidget() == EventPage && Rows) Rows->SelectItem(nullptr);
}

void TOrgForm::AnyExit(QWidget *sender) {
    if (!sender) sender = QApplication::focusWidget();
    // Only the box typed into last has anything to tidy.
    if (sender && sender != DropField) return;
    auto *box = qobject_cast<QLineEdit *>(DropField);
    QString field;
    Dataset *ds = DatasetOf(this, box, &field);
    // 1.
    if (!box || !ds) return;
    const bool typed = box->isModified();
    const QString text = box->text();
    const QString trimmed = TrimPunct(text);
    const auto store = [&](const QString &value) {
        suppressPickList = true;
        box->setText(value);
        suppressPickList = false;
        if (ds->active() && !ds->IsEmpty()) {
            if (ds->State() == DatasetState::Browse) ds->Edit();
            try {
                ds->FieldByName(field).SetAsString(value);
            } catch (const DbError &) {
                // Not a number for a number field: the box's binding refuses
                // it with the box's own message when it writes.
            }
        }
    };
    if (trimmed != text) store(trimmed);
    // 2.
    if (box == Email || box == WebSite || !typed) return;
    // 3.
    if (ds == &DancesData && ds->State() == DatasetState::Insert && box == Title) {
        Query q(Conn);
        q.setText(QStringLiteral("Select Count(*) from Dances where Title = ?"));
        q.open({trimmed});
        const int n = q.eof() ? 0 : q.fields(0).AsInteger();
        q.close();
        if (n > 0) ShowMsg(QStringLiteral("Warning - there is already a dance called ") + trimmed);
    }
    // 4.-5.
    const QString capitalised = CapitaliseWords(trimmed);
    if (capitalised != trimmed) store(capitalised);
}

// ---- the pick list --------------------------------------------------------------------

void TOrgForm::ClosePopList() {
    PopListShowsEvents = false;
    PopList->hide();
    PopList->clear();
}

void TOrgForm::RightClick(QWidget *sender) {
    // The date box has no list of earlier values (its name is no column).
    if (sender == DateBox) return;
    RightClickList = true;
    try {
        DropList(sender);
    } catch (...) {
        RightClickList = false;
        throw;
    }
    RightClickList = false;
}

void TOrgForm::DropList(QWidget *sender) {
    if (suppressPickList || !sender) return;
    // 1.
    DropField = sender;
    bool reorganise = false;
    const QString field = PickListField(sender->objectName(), &reorganise);
    QWidget *host = reorganise ? sender->window() : this;
    QString text;
    if (auto *edit = qobject_cast<QLineEdit *>(sender)) text = edit->text();
    else if (auto *combo = qobject_cast<QComboBox *>(sender)) text = combo->currentText();
    // 2.
    if (!RightClickList && !reorganise) {
        auto *edit = qobject_cast<QLineEdit *>(sender);
        if (text.isEmpty() || (edit && !edit->isModified())) {
            ClosePopList();
            return;
        }
    }
    // 3.
    text = PickListText(field, text);
    // 4.
    if (PopList->parentWidget() != host) {
        PopList->setParent(host);
        PopList->setWindowFlags(Qt::Widget | Qt::FramelessWindowHint);
    }
    const QPoint under = sender->mapTo(host, QPoint(0, sender->height()));
    PopList->clear();
    if (!Conn.isOpen()) return;
    const QString table = PickListTable(Conn, field);
    if (SameText(field, QStringLiteral("Tolbrook")) && table == QLatin1String("Events")) {
        if (AuthorMode) ShowMsg(QStringLiteral("Vellam, we have a problem!"));
        ClosePopList();
        return;
    }
    // 5.
    int width = sender->width();
    int height = 0;
    if (sender == Lvl) {
        if (IniFile) PopList->addItems(IniFile->ReadSectionValues(QStringLiteral("Levels")));
        width = height = 135;
    } else {
        PopList->addItems(PickListValues(Conn, table, field, text, RightClickList));
    }
    // 6.
    if (height == 0) {
        const int item = PopList->sizeHintForRow(0) > 0 ? PopList->sizeHintForRow(0) : PopList->fontMetrics().height();
        height = std::min(PopList->count() * item + 4, host->height() - under.y() - 4);
    }
    PopList->setGeometry(under.x(), under.y(), width, std::max(height, 0));
    PopList->raise();
    PopList->setVisible(PopList->count() > 0);
}

// ---- storing a dance ------------------------------------------------------------------

void TOrgForm::SaveDRec(QObject *sender) {
    if (PC->currentWidget() != DancePage) {
        PC->setCurrentWidget(DancePage);
        PCChange();
    }
    WriteLog(QStringLiteral("SaveDRec"));
    ClosePopList();
    // Typed text first: a letter in a number box is refused with its own
    // message here, and nothing of it stays pending.
    DSource->writeAll();
    const QString level = Lvl->currentText();
    const QString fault = DanceSaveFault(KeySig->text(), OwnTune->isChecked(), level);
    if (!fault.isEmpty()) AbortMsg(fault);
    if (LevelBlankWarning(level, Style->text())) ShowMsg(QStringLiteral("Warning: Dance level is blank."));
    if (DancesData.State() == DatasetState::Browse) DancesData.Edit();
    DancesData.Post();
    Title->setModified(false);
    Format->setModified(false);
    Style->setModified(false);
    if (sender && sender == static_cast<QObject *>(DNav)) DancesData.Edit();
}
