// What the main window gives the running program: the exception handler,
// the idle work, the wiring of the fields' handlers, the one-second timer,
// the wheel, the table view's memo editor, the yes/no boxes, the save
// question, the close with its double-booking check, the messages of other
// programs and the help buttons.

#include "app/OrgForm.h"

#include "presentation/fullscreen/Full.h"
#include "base/AppState.h"
#include "base/Clock.h"
#include "base/Cp1252.h"
#include "base/Dates.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "core/dances/DanceRecord.h"
#include "core/dances/DanceShow.h"
#include "core/dances/RecordHooks.h"
#include "core/database/DoubleBooking.h"
#include "core/database/SqlRunner.h"
#include "core/database/Tables.h"
#include "core/dialogs/ProgBox.h"
#include "core/dialogs/Progress.h"
#include "core/filter/Filter.h"
#include "core/filter/FilterCommands.h"
#include "core/help/HelpHook.h"
#include "core/services/AppServices.h"
#include "core/services/CopyData.h"
#include "core/services/ErrorRouting.h"
#include "core/services/Help.h"
#include "core/services/IdleHook.h"
#include "core/services/PlaybackClock.h"
#include "core/startup/Positioning.h"
#include "core/startup/Settings.h"
#include "core/startup/SplashForm.h"
#include "platform/media/MyPlayer.h"
#include "platform/media/WavePlayer.h"
#include "presentation/music/Playback.h"
#include "platform/rtf/RichEdit.h"
#include "platform/sqlite/DatasetModel.h"
#include "platform/sqlite/DataSource.h"
#include "programme/evaluation/CallCounting.h"
#include "programme/rows/ProgrammeRows.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace {

constexpr int ErrorReportHelp = 58350;

QLabel *Led(QWidget *parent, const char *name) {
    auto *l = new QLabel(QStringLiteral("0:00"), parent);
    l->setObjectName(QLatin1String(name));
    l->setTextFormat(Qt::PlainText);
    return l;
}

// The dataset whose table has the field, Dances first.
Dataset &DatasetWithField(const QString &field) {
    if (DancesData.active() && DancesData.FindField(field)) return DancesData;
    return EventsData;
}

bool IsDataEdit(TOrgForm *f, const QWidget *w) {
    return (f->ESource && !f->ESource->fieldOf(w).isEmpty()) || (f->DSource && !f->DSource->fieldOf(w).isEmpty());
}

// The memo editor's watch over the table it shows: the table's changes reach
// the editor, and the editor has its say before the table moves.
class MemoWatch : public QObject, public DatasetObserver {
public:
    MemoWatch(TOrgForm *form, const std::function<void()> &beforeScroll)
        : QObject(form), form(form), beforeScroll(beforeScroll) {}
    ~MemoWatch() override { stop(); }

    void follow(Dataset &table) {
        stop();
        data = &table;
        table.addObserver(this);
        // The hook may outlive this watch (a walk over the table holds it
        // and puts it back): it asks after the watch and its table first.
        table.BeforeScroll = [watch = QPointer<MemoWatch>(this)](Dataset &moving) {
            if (watch && watch->data == &moving) watch->beforeScroll();
        };
    }
    // The hook stays: it may be running now, and it acts only for a table followed.
    void stop() {
        if (data) data->removeObserver(this);
        data = nullptr;
    }
    void datasetChanged(Dataset &, DatasetChange change) override {
        if (change != DatasetChange::Record) form->MemoFollow();
    }

private:
    TOrgForm *form;
    std::function<void()> beforeScroll;
    Dataset *data = nullptr;
};

MemoWatch *WatchOf(QObject *watch) { return static_cast<MemoWatch *>(watch); }

} // namespace

// ---- controls ------------------------------------------------------------------

void TOrgForm::buildServiceControls() {
    Timer = new QTimer(this);
    Timer->setObjectName(QStringLiteral("Timer"));
    Timer->setInterval(1000);
    connect(Timer, &QTimer::timeout, this, &TOrgForm::OnTimer);

    LEDElapsed = Led(PlayPnl, "LEDElapsed");
    LEDTLen = Led(PlayPnl, "LEDTLen");
    LEDRemain = Led(PlayPnl, "LEDRemain");
    LEDElapsed->setGeometry(8, 50, 40, 16);
    LEDTLen->setGeometry(56, 50, 40, 16);
    LEDRemain->setGeometry(104, 50, 40, 16);

    MPanel = new QFrame(this);
    MPanel->setObjectName(QStringLiteral("MPanel"));
    MPanel->setFrameShape(QFrame::Panel);
    MPanel->setAutoFillBackground(true);
    MPanel->resize(420, 300);
    auto *layout = new QVBoxLayout(MPanel);
    TopLine = new QLabel(MPanel);
    TopLine->setObjectName(QStringLiteral("TopLine"));
    TopLine->setTextFormat(Qt::PlainText);
    Memo = new QPlainTextEdit(MPanel);
    Memo->setObjectName(QStringLiteral("Memo"));
    SaveBtn = new QPushButton(QStringLiteral("&Save"), MPanel);
    SaveBtn->setObjectName(QStringLiteral("SaveBtn"));
    MExit = new QPushButton(QStringLiteral("E&xit"), MPanel);
    MExit->setObjectName(QStringLiteral("MExit"));
    layout->addWidget(TopLine);
    layout->addWidget(Memo, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(SaveBtn);
    buttons->addWidget(MExit);
    layout->addLayout(buttons);
    MPanel->hide();
    memoWatch = new MemoWatch(this, [this] {
        if (!memoStoring) SettleMemo();
    });
    connect(SaveBtn, &QPushButton::clicked, this, &TOrgForm::SaveBtnClick);
    connect(MExit, &QPushButton::clicked, this, &TOrgForm::MExitClick);

    HelpF = findChild<QPushButton *>(QStringLiteral("HelpF"));
    if (!HelpF) {
        HelpF = new QPushButton(QStringLiteral("Help"), FolderPage);
        HelpF->setObjectName(QStringLiteral("HelpF"));
    }
    connect(HelpRules, &QPushButton::clicked, this, &TOrgForm::HelpRulesClick);
    connect(HelpEvents, &QPushButton::clicked, this, &TOrgForm::HelpEventsClick);
    connect(HelpDances, &QPushButton::clicked, this, &TOrgForm::HelpDancesClick);
    connect(HelpRecs, &QPushButton::clicked, this, &TOrgForm::HelpRecsClick);
    connect(HelpF, &QPushButton::clicked, this, &TOrgForm::HelpFClick);

    disconnect(ExitM, &QAction::triggered, this, nullptr);
    disconnect(Exit2Btn, &QPushButton::clicked, this, nullptr);
    connect(ExitM, &QAction::triggered, this, &TOrgForm::ExitMClick);
    connect(Exit2Btn, &QPushButton::clicked, this, &TOrgForm::ExitMClick);

    for (QCheckBox *box : {Acknowledged, Prv, Updated, Printed, Callit, OwnTune})
        connect(box, &QCheckBox::clicked, this, [this, box] { CheckClick(box); });
    connect(IsRec, &QCheckBox::clicked, this, &TOrgForm::IsRecClick);

    Searcher->setProperty("ownChange", true);
    Searcher->setProperty("ownExit", true);
    Searcher->installEventFilter(this);
    connect(Searcher, &QLineEdit::textChanged, this, &TOrgForm::SearcherChange);

    Body->viewport()->installEventFilter(this);
    if (Grid) {
        Grid->viewport()->installEventFilter(this);
        connect(Grid, &QTableView::clicked, this, &TOrgForm::GridCellClick);
    }
}

// ---- the exception handler ----------------------------------------------------------

void TOrgForm::MyException(std::exception_ptr error) {
    // 1.
    if (InErrorHandler) return;
    InErrorHandler = true;
    struct Clear {
        ~Clear() { InErrorHandler = false; }
    } clear;
    LastErrorCommand = CommandItem ? CommandItem->objectName() : QString();
    LastErrorAddress = 0;
    try {
        // 2.
        const QString message = ExceptionMessage(error);
        const QString t = message + QStringLiteral("  \rException Address: ") + ExceptionTypeName(error);
        // 3.
        ::HideSplash();
        if (ProgBox && ProgBox->Gauge) ProgBox->Gauge->hide();
        WriteLog(t);
        WriteLog(QStringLiteral("Error Handler entered"));
        // 4.
        if (message.startsWith(QLatin1String("Cannot focus"))) return;
        bool quiet = false, database = false;
        try {
            std::rethrow_exception(error);
        } catch (const EQuietError &) {
            quiet = true;
        } catch (const DbError &) {
            database = true;
        } catch (...) {
        }
        // 5.
        bool sqlShown = false;
        if (database && AuthorMode && !MyQuery.text().isEmpty() &&
            YesNo(message + QStringLiteral("\r\n\r\nView latest SQL?"))) {
            ViewSQLClick();
            sqlShown = true;
        }
        // 6.
        if (!sqlShown && !quiet &&
            YesNoHelp(t + QStringLiteral("\r\n\r\nSend an Error Report to Vellam Orrisk?"), ErrorReportHelp))
            ReportClick();
    } catch (...) {
        return;
    }
    // 7. Whatever fails here is let go.
    try {
        PC->setCurrentWidget(EventPage);
        RestoreCursors();
        ForgetPos();
        ShowingDance = false;
        if (!DancesData.active() && Conn.isOpen()) DancesData.open();
        while (DancesData.ControlsDisabled()) DancesData.EnableControls();
        if (DancesData.active()) ShowDance();
        const bool reopened = !EventsData.active() && Conn.isOpen();
        if (reopened) EventsData.open();
        if (EventsData.active()) {
            EventsData.AfterScroll = [this](Dataset &ds) { EventsAfterScroll(ds); };
            while (EventsData.ControlsDisabled()) EventsData.EnableControls();
            // A table opened again stands on another record: its programme is read anew.
            ShowEvent(reopened);
        }
    } catch (...) {
    }
}

// ---- idle time -------------------------------------------------------------------

void TOrgForm::OnIdle() {
    HoldSounds(false); // start-up has ended
    // 1.
    RestoreCursors();
    busy = 0;
    // 2.
    if (!EventsData.active()) return;
    Body->show();
    if (PendingRecDets) {
        PendingRecDets = false;
        RecDetsClick(false);
    }
    if (PendingRec) PendingRec = 0;
    // A message shown while the event is being shown: the rest waits for it.
    if (ShowingEvent) return;
    if (!RowsBuilt && Rows->TitleRow && !StartingUp && startupResult == StartupResult::Done) {
        ShowEvent(true);
        Rows->SelectItem(nullptr);
        if (Rows->TitleRow->isVisible()) Rows->TitleRow->setFocus();
    }
    TItem *selected = Rows->ThisItem;
    if (selected && ThisIndex >= 0 && Rows->ItemList.contains(selected) && !selected->isSelected() &&
        !Rows->KeepSelection)
        Rows->RecolourRows();
    // 6.
    const struct {
        Dataset *ds;
        FilterTable table;
    } tables[] = {{&EventsData, FilterTable::Events}, {&DancesData, FilterTable::Dances}};
    for (const auto &t : tables) {
        if (!t.ds->active() || !t.ds->Filtered() || !t.ds->IsEmpty()) continue;
        const QString description = FilterHint(t.table);
        SetFilter(t.table, 1);
        ShowRecordCount(t.table);
        if (t.table == FilterTable::Events) ShowEvent(true);
        else ShowDance();
        ShowMsg(description + QStringLiteral("\rNo matching records - filter removed."));
        if (TagFilter) TagFilter->setChecked(false);
    }
    // 7.
    if (!DateBox->hasFocus() && !(Grid && Grid->isVisible()) && !EventsData.IsEmpty()) {
        const double day = EventsData.FieldByName(QStringLiteral("EDate")).AsFloat();
        if (day > 0 && day < NoDate && !DateBox->text().isEmpty() && DateBox->text() != FormatEventDate(day))
            ShowEvent(false);
    }
}

// ---- wiring the fields -----------------------------------------------------------------

void TOrgForm::Setup(QWidget *container) {
    if (!container) return;
    for (QObject *child : container->children()) {
        auto *w = qobject_cast<QWidget *>(child);
        if (!w || w->property("hooked").toBool()) continue;
        auto *edit = qobject_cast<QLineEdit *>(w);
        auto *combo = qobject_cast<QComboBox *>(w);
        const bool enterOnly = qobject_cast<RichEdit *>(w) || qobject_cast<QPlainTextEdit *>(w) ||
                               qobject_cast<QTextEdit *>(w) || qobject_cast<QCheckBox *>(w);
        if (!edit && !enterOnly && !(combo && combo == Lvl)) continue;
        w->setProperty("hooked", true);
        w->installEventFilter(this);
        if (combo && combo->lineEdit()) combo->lineEdit()->installEventFilter(this);
        if (!edit && !combo) continue;
        if (!w->property("ownMenu").toBool()) {
            w->setContextMenuPolicy(Qt::CustomContextMenu);
            connect(w, &QWidget::customContextMenuRequested, this, [this, w] { RightClick(w); });
        }
        if (edit && edit != Lvl->lineEdit() && IsDataEdit(this, edit) && !edit->property("ownChange").toBool())
            connect(edit, &QLineEdit::textEdited, this, [this, edit] { DropList(edit); });
    }
}

bool TOrgForm::eventFilter(QObject *watched, QEvent *event) {
    auto *w = qobject_cast<QWidget *>(watched);
    // The second press of a double click comes as a double click.
    if ((event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) && Instructions &&
        watched == Instructions->viewport())
        InstructionsMouseDown();
    switch (event->type()) {
    case QEvent::FocusIn:
        if (w == Searcher) SearcherEnter();
        else if (w && w->property("hooked").toBool()) AnyEnter(w);
        else if (w && Lvl && w == Lvl->lineEdit()) AnyEnter(Lvl);
        break;
    case QEvent::FocusOut: {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        // Another window or a menu in front is no leaving of the field.
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) break;
        if (w && w == HeldExit) break;
        if (w == DateBox) DateBoxExit();
        else if (w && w->property("hooked").toBool() && (qobject_cast<QLineEdit *>(w) || w == Lvl) &&
                 !w->property("ownExit").toBool())
            AnyExit(w);
        break;
    }
    case QEvent::Wheel: {
        const int delta = static_cast<QWheelEvent *>(event)->angleDelta().y();
        if (Grid && watched == Grid->viewport()) {
            MouseWheel(delta);
            return true;
        }
        if (watched == Body->viewport() && FormMouseWheel(delta)) return true;
        break;
    }
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- the one-second timer ------------------------------------------------------------------

void TOrgForm::OnTimer() {
    if (OptionChecked(QStringLiteral("Debug"))) {
        setWindowTitle(QStringLiteral("Quillary -- Memory allocated ") + QString::number(AllocatedBytes()));
        return;
    }
    ClockInput in;
    in.elapsedSeconds = ++ElapsedSeconds;
    in.cdTrack = CdTrack;
    in.midFile = MidFile;
    in.positionMs = Player ? Player->GetPosition() : 0;
    in.playLengthMs = PlayLength;
    in.trackMinutes = int(PlayLength / 60000);
    in.trackSeconds = int(PlayLength / 1000 % 60);
    in.speed = Speed;
    const ClockShow show = PlaybackClock(in);
    LEDElapsed->setText(show.elapsed);
    if (show.lengthShown) {
        TotalSeconds = show.totalSeconds;
        LEDTLen->setText(show.total);
    }
    if (show.remainingShown) {
        LEDRemain->setText(show.remaining);
        if (show.stopCd) PlayBtnClick();
        SetFullScreenTrackBar(show.percent);
    }
    if (!(QGuiApplication::mouseButtons() & Qt::LeftButton)) SeekDragging = false;
}

// ---- the wheel ------------------------------------------------------------------------------

void TOrgForm::MouseWheel(int angleDelta) {
    if (!Grid) return;
    auto *model = qobject_cast<DatasetModel *>(Grid->model());
    if (!model) return;
    const int steps = gridWheel.add(angleDelta);
    if (steps != 0) model->dataset().MoveBy(-steps * QApplication::wheelScrollLines());
}

bool TOrgForm::FormMouseWheel(int angleDelta) {
    if (PC->currentWidget() != EventPage || (Grid && Grid->isVisible()) || Rows->ItemList.isEmpty()) return false;
    const int steps = formWheel.add(angleDelta);
    if (steps == 0 || !wheelPace.accept()) return true;
    const int last = int(Rows->ItemList.size()) - 1;
    const int index = std::clamp(ThisIndex + (steps > 0 ? -1 : 1), 0, last);
    Rows->SelectItem(Rows->ItemList[index]);
    return true;
}

// ---- the table view's memo editor -----------------------------------------------------------

void TOrgForm::GridCellClick(const QModelIndex &index) {
    if (!Grid) return;
    const bool ctrl = QGuiApplication::keyboardModifiers() & Qt::ControlModifier;
    Grid->setSelectionBehavior(ctrl ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
    auto *model = qobject_cast<DatasetModel *>(Grid->model());
    if (!model || !index.isValid()) return;
    const QString field = model->fieldAt(index.column());
    Dataset &ds = model->dataset();
    // The field shown already keeps what is typed in it.
    if (!MPanel->isHidden() && MemoData == &ds && field == MemoField && ds.GetBookmark() == MemoRecord) return;
    // What was typed for the field shown so far is its record's first.
    SettleMemo();
    Field *f = ds.FindField(field);
    if (!f || f->DataType() != FieldType::Memo || ds.IsEmpty() || ds.State() == DatasetState::Insert) {
        CloseMemo();
        return;
    }
    MemoField = field;
    MemoData = &ds;
    loadMemo();
    const QPoint at = Grid->mapTo(this, QPoint(0, 0));
    const int top = at.y();
    MPanel->setGeometry(at.x() + Grid->width() - MPanel->width() - 22, top, MPanel->width(),
                        std::max(60, Grid->height() - 20));
    MPanel->raise();
    MPanel->show();
    WatchOf(memoWatch)->follow(ds);
}

// The field of the record now current, as stored.
void TOrgForm::loadMemo() {
    Dataset &ds = *MemoData;
    const bool events = &ds == &EventsData;
    MemoRecord = ds.GetBookmark();
    MemoName = ds.FieldByName(events ? QStringLiteral("Event") : QStringLiteral("Title")).AsString();
    MemoLoaded = ds.FieldByName(MemoField).AsString();
    QString text = MemoLoaded;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\r"));
    const QStringList lines = text.split(QLatin1Char('\r'));
    // The widget's own line break; saving turns it back into a carriage return.
    Memo->setPlainText(lines.join(QLatin1Char('\n')));
    Memo->document()->setModified(false);
    const int characters = int(text.size() + lines.size() - 1); // each line break as CR LF
    TopLine->setText(MemoField + QStringLiteral(":  ") + QString::number(lines.size()) + QStringLiteral(" items, ") +
                     QString::number(characters) + QStringLiteral(" characters"));
    Memo->setVerticalScrollBarPolicy(lines.size() > 30 ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

// The text goes into the record the editor shows, wherever the table is.
void TOrgForm::storeMemo() {
    Dataset &ds = *MemoData;
    const bool keep = std::exchange(memoStoring, true);
    struct Done {
        bool &flag;
        bool keep;
        ~Done() { flag = keep; }
    } done{memoStoring, keep};
    if (ds.GetBookmark() != MemoRecord) {
        if (!ds.BookmarkValid(MemoRecord))
            AbortMsg(MemoName + QStringLiteral(" is no longer in the table: its ") + MemoField +
                     QStringLiteral(" cannot be saved."));
        ds.GotoBookmark(MemoRecord);
    }
    QString text = Memo->toPlainText();
    text.replace(QLatin1Char('\n'), QLatin1Char('\r'));
    if (ds.State() == DatasetState::Browse) ds.Edit();
    ds.FieldByName(MemoField).SetAsString(text);
    if (&ds == &EventsData && SameText(MemoField, QStringLiteral("Programme"))) {
        // The rows must not be written over the text typed here.
        auto beforePost = std::exchange(ds.BeforePost, nullptr);
        try {
            ds.Post();
        } catch (...) {
            ds.BeforePost = beforePost;
            throw;
        }
        ds.BeforePost = beforePost;
    } else {
        ds.Post();
    }
    Memo->document()->setModified(false);
    MemoLoaded = text;
}

void TOrgForm::SettleMemo() {
    if (MPanel->isHidden() || !MemoData || !Memo->document()->isModified()) return;
    if (YesNo(QStringLiteral("Save changes to ") + MemoField + QStringLiteral(" of ") + MemoName + QStringLiteral("?"))) {
        storeMemo();
    } else if (MemoData->GetBookmark() == MemoRecord) {
        loadMemo();
    } else {
        Memo->document()->setModified(false);
    }
}

void TOrgForm::MemoFollow() {
    if (MPanel->isHidden() || !MemoData || memoStoring) return;
    Dataset &ds = *MemoData;
    if (!ds.active() || ds.IsEmpty() || ds.State() == DatasetState::Insert || ds.GetBookmark() == 0) {
        CloseMemo();
        return;
    }
    // Another record: the editor shows it. The same one, changed elsewhere
    // while nothing is typed here: the editor shows it as stored.
    if (ds.GetBookmark() != MemoRecord ||
        (!Memo->document()->isModified() && ds.State() == DatasetState::Browse &&
         ds.FieldByName(MemoField).AsString() != MemoLoaded))
        loadMemo();
}

void TOrgForm::CloseMemo() {
    WatchOf(memoWatch)->stop();
    MPanel->hide();
    MemoRecord = 0;
}

void TOrgForm::SaveBtnClick() {
    if (MemoData && !MPanel->isHidden() && Memo->document()->isModified()) storeMemo();
    CloseMemo();
}

void TOrgForm::MExitClick() { CloseMemo(); }

// ---- check boxes and the Recordings search box ---------------------------------------------

void TOrgForm::CheckClick(QCheckBox *box) {
    if (ShowingDance || !box) return;
    Dataset &ds = DatasetWithField(box->objectName());
    if (!ds.active() || ds.IsEmpty()) return;
    Field *f = ds.FindField(box->objectName());
    if (!f) return;
    if (ds.State() == DatasetState::Browse) ds.Edit();
    f->SetAsString(f->AsString() == QLatin1String("Y") ? QString() : QStringLiteral("Y"));
}

void TOrgForm::IsRecClick() {
    if (!ShowingDance) EventsChange();
    const bool recorded = IsRec->isChecked();
    const QString text = recorded ? QStringLiteral("Recorded") : QString();
    if (EventsData.active() && !EventsData.IsEmpty()) {
        if (EventsData.State() == DatasetState::Browse) EventsData.Edit();
        EventsData.FieldByName(QStringLiteral("Band")).SetAsString(text);
    }
    Band->setText(text);
    Band->setEnabled(!recorded);
}

void TOrgForm::SearcherEnter() {
    if (LocationColumn == -1) AbortMsg(QStringLiteral("You don't have a Location column so you can't add a recording."));
    if (Searcher->text() == QLatin1String("Search...")) Searcher->clear();
}

void TOrgForm::SearcherChange() {
    if (Searcher->text() != QLatin1String("Search...")) ShowRecGrid();
}

// ---- saving before leaving ----------------------------------------------------------------

void TOrgForm::TestSave() {
    if (!EventsData.active() || !DancesData.active()) return;
    SettleMemo();
    if (EventChanged || (EventsData.State() != DatasetState::Browse && EventsData.Modified())) {
        PC->setCurrentWidget(EventPage);
        if (YesNo(QStringLiteral("Save changes to this event?"))) {
            SaveERec(SaveSender::Other);
        } else {
            EventChanged = false;
            EventsData.Cancel();
        }
    }
    if (DancesData.State() != DatasetState::Browse && DancesData.Modified()) {
        PC->setCurrentWidget(DancePage);
        if (YesNo(QStringLiteral("Save changes to this dance?"))) SaveDRec(nullptr);
    }
}

void TOrgForm::ExitMClick() {
    if (!MPanel->isHidden()) CloseMemo();
    else close();
}

// ---- closing ---------------------------------------------------------------------------------

bool TOrgForm::FormClose() {
    // 1.
    if (Playing) PlayBtnClick();
    // 2. A long run over a table is told to stop; its owner ends it.
    if (Progress && Progress->runOpen()) {
        CancelRun = true;
        return false;
    }
    // 3.
    if (!PopList->isHidden()) {
        ClosePopList();
        return false;
    }
    // 4.
    WriteLog(QStringLiteral("FormClose"));
    try {
        TestSave();
    } catch (const SilentAbort &) {
    } catch (const std::exception &e) {
        ShowMsg(QString::fromUtf8(e.what()));
    }
    resizeHandlerAttached = false;
    hide();
    // 5.
    if (EventsData.active()) {
        try {
            QList<BookedEvent> events;
            const QString columns = QStringLiteral("SELECT EDate, Org, Town, Event, Programme FROM Events ");
            const auto read = [&](const QString &sql, const QVariantList &params) {
                Statement s(Conn.handle(), sql);
                s.bindAll(params);
                while (s.step())
                    events.append({s.column(0).toDouble(), s.columnText(1), s.columnText(2), s.columnText(3),
                                   s.columnText(4)});
            };
            read(columns + QStringLiteral("WHERE EDate >= ? ORDER BY EDate, rowid"), {DateToDayNumber(Today())});
            if (events.isEmpty())
                read(columns + QStringLiteral("ORDER BY EDate DESC, rowid DESC LIMIT 1"), {});
            for (const BookingNotice &n : CheckDoubleBookings(events)) {
                if (n.kind == BookingNotice::DoubleBooking) OKHelpCancel(n.text, DoubleBookingHelp);
                else ShowMsg(n.text);
            }
        } catch (const SilentAbort &) {
        } catch (const std::exception &e) {
            ShowMsg(QString::fromUtf8(e.what()));
        }
    }
    // 6.
    SetExceptionHandler({});
    ownsExceptionHandler = false;
    EventsData.close();
    DancesData.close();
    Conn.close();
    IniFile.reset();
    CloseHelpWindow();
    WriteLog(QStringLiteral("END"));
    return true;
}

// ---- help buttons ---------------------------------------------------------------------------

void TOrgForm::HelpRulesClick() { OpenHelp(20000); }
void TOrgForm::HelpEventsClick() { OpenHelp(30000); }
void TOrgForm::HelpDancesClick() { OpenHelp(40000); }
void TOrgForm::HelpRecsClick() { OpenHelp(70000); }
void TOrgForm::HelpFClick() { OpenHelp(72000); }


