// The Recordings page: the music files under the base folder collated with
// every dance's recordings, folder by folder; playing a row, its start mark,
// Add and Scan; the "Recorded" filter; the play panel's moves between the
// pages and the Music dialog's match list.

#include "app/OrgForm.h"
#include "app/views/LayoutHolding.h"

#include "base/AppState.h"
#include "base/Cp1252.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "base/TextRoutines.h"
#include "core/dances/DanceRecord.h"
#include "core/dances/DanceShow.h"
#include "core/dances/MusicText.h"
#include "core/database/Tables.h"
#include "core/filter/Filter.h"
#include "core/filter/FilterCommands.h"
#include "core/startup/Settings.h"
#include "platform/ini/IniFile.h"
#include "platform/sqlite/Database.h"
#include "platform/sqlite/Dataset.h"
#include "platform/sqlite/Query.h"
#include "presentation/music/Playback.h"
#include "presentation/music/RecordingsCatalogue.h"
#include "presentation/music/RecordingsGrid.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTabWidget>

namespace {

constexpr int KindRole = RecordingsModel::KindRole;
const QColor TitleColour(155, 222, 255);
const QColor HeaderColour(227, 215, 255);
const QColor MissingColour(255, 0, 0);

// The last refresh's dance lines and file paths: the search box and Unused
// filter them again without walking the folders. The lines are sorted when
// first collated.
QList<DanceLine> LastDanceLines;
bool LastLinesSorted = false;
QStringList LastFilePaths;

// The grid's cells as the page draws them: headers on lilac, missing
// recordings on red without their "?", " and" rows in italics, each text
// after a blank and word-wrapped.
class RecCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const override {
        const QModelIndex first = index.siblingAtColumn(0);
        const auto kind = RecRowKind(first.data(KindRole).toInt());
        QString text = index.data().toString();
        const bool selected = option.state & QStyle::State_Selected;
        QColor back = selected ? option.palette.highlight().color() : option.palette.base().color();
        QColor fore = selected ? option.palette.highlightedText().color() : option.palette.text().color();
        if (kind == RecRowKind::Header && !selected) back = HeaderColour;
        if (text.startsWith(QLatin1Char('?'))) {
            back = MissingColour;
            fore = Qt::white;
            text = text == QLatin1String("?.?") ? QStringLiteral(" No Location specified") : text.mid(1);
        }
        QFont font = option.font;
        if (first.data().toString() == QLatin1String(" and")) {
            font.setFamily(QStringLiteral("Arial"));
            font.setItalic(true);
        }
        p->save();
        p->fillRect(option.rect, back);
        p->setFont(font);
        p->setPen(fore);
        p->drawText(option.rect.adjusted(2, 0, -2, 0), Qt::AlignVCenter | Qt::TextWordWrap,
                    QLatin1Char(' ') + text);
        p->restore();
    }
};

// The play panel's place on the Dances page (of the window that found it:
// a later window finds its own).
QPointer<QBoxLayout> PlayHome;
int PlayHomeIndex = -1;

// The entry of a row after moving up past " and" rows, and the header
// above it ("" when there is none).
struct RowEntry {
    int row = -1;
    QString entry, header;
};
RowEntry EntryOf(const QStringList &cells, int row) {
    RowEntry e;
    if (row < 0 || row >= cells.size()) return e;
    int r = row;
    while (r > 0 && cells[r] == QLatin1String(" and")) --r;
    e.row = r;
    e.entry = cells[r];
    for (int h = r; h >= 0; --h)
        if (cells[h].startsWith(QLatin1String("In folder ")) || cells[h].startsWith(QLatin1String("On drive "))) {
            e.header = cells[h];
            break;
        }
    return e;
}

} // namespace

void TOrgForm::buildRecordingsHandlers() {
    RecGrid->setItemDelegate(new RecCellDelegate(RecGrid));
    RecGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    RecGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    RecGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    RecGrid->horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: rgb(155, 222, 255); font-weight: bold; }"));
    RBase->setTextFormat(Qt::PlainText);
    CurDance->setTextFormat(Qt::PlainText);
    connect(RefrBtn, &QPushButton::clicked, this, [this] { RefrBtnClick(); });
    connect(Unused, &QCheckBox::clicked, this, [this] { RefreshDets(); });
    connect(AddBtn, &QPushButton::clicked, this, [this] { AddBtnClick(); });
    connect(ScanBtn, &QPushButton::clicked, this, [this] { ScanBtnClick(); });
    connect(RBaseBtn, &QPushButton::clicked, this, [this] { BaseClick(false); });
    connect(RecGrid, &RecordingsGrid::currentCellChanged, this, [this] { RecGridClick(); });
    connect(RecGrid, &RecordingsGrid::cellDoubleClicked, this, [this](int row) { MyDblClick(row); });
    if (QAction *option = OptionAction(QStringLiteral("RecDets")))
        connect(option, &QAction::triggered, this, [this] { RecDetsClick(true); });
    RecMusic = DancesM->addAction(QStringLiteral("Recorded"));
    RecMusic->setObjectName(QStringLiteral("RecMusic"));
    connect(RecMusic, &QAction::triggered, this, [this] { RecMusicClick(); });
}

void TOrgForm::RecDetsClick(bool fromMenu) {
    // The option item stores its own mark when clicked.
    if (OptionChecked(QStringLiteral("RecDets"))) {
        // At start-up and after an edit a missing base folder is only logged.
        RefreshDets(nullptr, !fromMenu);
        SetPageVisible(RecPage, true);
        if (fromMenu) PC->setCurrentWidget(RecPage);
    } else {
        SetPageVisible(RecPage, false);
        if (DancesData.active()) ShowDance();
    }
}

void TOrgForm::RefreshDets(QObject *sender, bool quiet) {
    WriteLog(QStringLiteral("RefreshDets"));
    static QAction refreshing(QStringLiteral("Refresh"));
    CommandItem = &refreshing;
    const QList<QWidget *> buttons{AddBtn, ScanBtn, RefrBtn, RBaseBtn, Unused};
    for (QWidget *b : buttons) b->setEnabled(false);
    struct Done {
        const QList<QWidget *> &buttons;
        ~Done() {
            for (QWidget *b : buttons) b->setEnabled(true);
            CommandItem = nullptr;
        }
    } done{buttons};

    ScanHooks hooks = ProgramScanHooks([] { return CommandItem == &refreshing; });
    if (quiet) hooks.message = hooks.log;
    LastFilePaths = BuildRecordingFileList(hooks);
    LastDanceLines.clear();
    if (Conn.isOpen()) LastDanceLines = RecordedDanceLines(Conn, ProgrammeSeparator);
    LastLinesSorted = false;
    WriteLog(QStringLiteral("Three-way collate: ") + QString::number(LastDanceLines.size()) +
             QStringLiteral(" Dances against ") + QString::number(LastFilePaths.size()) + QStringLiteral(" files"));
    ShowRecGrid();
    if (sender && RecGrid->rowCount() > 1) RecGrid->setCurrentCell(1, 0);
}

void TOrgForm::ShowRecGrid() {
    CollateOptions options;
    options.unusedOnly = Unused->isChecked();
    options.search = Searcher->text();
    if (RecGrid->columnCount() < 4) RecGrid->setColumnCount(4);
    // While the page is hidden (a refresh at start-up) the sort and the
    // collate wait until the grid is shown or read.
    RecGrid->setRowsWhenNeeded([options] {
        if (!LastLinesSorted) {
            SortDanceLines(LastDanceLines);
            LastLinesSorted = true;
        }
        return CollateRecordings(LastDanceLines, LastFilePaths, options);
    });
}

void TOrgForm::RefrBtnClick() { RefreshDets(RefrBtn); }

namespace {

void FindPlayHome(TOrgForm *f) {
    if (PlayHome && PlayHome->parentWidget() == f->DancePage) return;
    PlayHome = LayoutHolding(f->DancePage->layout(), f->PlayPnl);
    if (PlayHome) PlayHomeIndex = PlayHome->indexOf(f->PlayPnl);
}

} // namespace

void TOrgForm::RecPageEnter() {
    CurDance->setText(QStringLiteral("Current Dance: ") + DisplayTitle(Title->text()));
    FindPlayHome(this);
    if (auto *bar = qobject_cast<QBoxLayout *>(RecPage->layout()->itemAt(0)->layout())) {
        bar->insertWidget(bar->count() - 1, PlayPnl);
        if (!Playing) PlayPnl->setFixedHeight(75);
    }
    RecGridClick();
}

void TOrgForm::DancePageEnter() {
    if (PlayPnl->parentWidget() == DancePage) return;
    if (CompactDances && CompactRow) CompactRow->insertWidget(3, PlayPnl);
    else if (PlayHome) PlayHome->insertWidget(PlayHomeIndex, PlayPnl);
}

// The Folders grid fills its page through the layout. Narrower than 800
// pixels the Dances page takes its compact arrangement: Tolbrook, its label,
// the Music button and the play panel in a row under the fields; wider, they
// go back to their places.
void TOrgForm::FormResize() {
    const bool compact = width() < 800;
    if (compact == CompactDances) return;
    FindPlayHome(this);
    auto *page = qobject_cast<QBoxLayout *>(DancePage->layout());
    QBoxLayout *bar = LayoutHolding(DPanel->layout(), OwnTune);
    if (!page || !bar || !PlayHome) return;
    if (!CompactRow) {
        CompactRow = new QHBoxLayout;
        page->insertLayout(1, CompactRow);
    }
    const bool playHere = PlayPnl->parentWidget() == DancePage;
    if (compact) {
        for (QWidget *w : {static_cast<QWidget *>(TolbrookLab), static_cast<QWidget *>(Tolbrook),
                           static_cast<QWidget *>(MusicBtn)})
            CompactRow->addWidget(w);
        if (playHere) CompactRow->addWidget(PlayPnl);
        else CompactRow->addSpacing(0);
        CompactRow->addStretch(1);
    } else {
        const int after = bar->indexOf(OwnTune) + 1;
        bar->insertWidget(after, TolbrookLab);
        bar->insertWidget(after + 1, Tolbrook);
        if (QBoxLayout *musicRow = LayoutHolding(page, Music)) musicRow->insertWidget(0, MusicBtn);
        if (playHere) PlayHome->insertWidget(PlayHomeIndex, PlayPnl);
        while (QLayoutItem *item = CompactRow->takeAt(0)) delete item;
    }
    CompactDances = compact;
    SetScrollRange();
}

void TOrgForm::RecGridClick() {
    if (Playing) return;
    const QStringList cells = RecGridFirstCells();
    const RowEntry e = EntryOf(cells, RecGrid->currentRow());
    if (e.header.isEmpty()) return;
    bool file = e.row >= 0 && !e.entry.isEmpty() && !e.entry.startsWith(QLatin1Char('?')) && e.header != e.entry &&
                !e.header.startsWith(QLatin1String("On drive "));
    const QString path = FolderOfGridRow(cells, e.row) + e.entry;
    if (file) file = !ResolvePathNoCase(LocationPath(path, BaseFolder)).isEmpty();
    PlayPnl->setVisible(file);
    MarkText->clear();
    if (file && IniFile) {
        const qint64 mark = IniFile->ReadInt64(QStringLiteral("Recordings"), MarkKey(path, BaseFolder), 0);
        MarkText->setText(FormatMark(mark));
    }
    PlayBtn->setText(QStringLiteral("Play"));
}

void TOrgForm::MyDblClick(int row) {
    if (row < 0 || row >= RecGrid->rowCount()) return;
    auto cell = [this, row](int c) { return RecGrid->text(row, c); };
    if (cell(1).isEmpty()) return;
    LocateDance(cell(1), cell(2), cell(3));
    ShowDance();
    MusicBtnClick();
}

void TOrgForm::RecMusicClick() {
    CurrentFilterUi().ShowPage(FilterTable::Dances);
    ::SetFilter(FilterTable::Dances, 1);
    DancesFilter = FilterDef{};
    DancesFilter.Field[1] = QStringLiteral("Music");
    DancesFilter.Value[1] = QString(ProgrammeSeparator);
    DancesFilter.Count = 1;
    ::SetFilter(FilterTable::Dances, 3);
    ::ShowRecordCount(FilterTable::Dances);
}

void TOrgForm::AddBtnClick() {
    QString message;
    const QString path = AddTarget(RecGridFirstCells(), RecGrid->currentRow(), &message);
    if (path.isEmpty()) {
        ShowMsg(message);
        return;
    }
    const QString music = DancesData.FieldByName(QStringLiteral("Music")).AsString();
    const bool replace = music.contains(ProgrammeSeparator) &&
                         YesNo(QStringLiteral("Replace existing recording(s)?  (No to add)"));
    SaveDanceMusic(MusicWithRecording(music, ProgrammeSeparator, path, replace));
    PendingRecDets = true;
    MusicBtnClick();
}

void TOrgForm::ScanBtnClick() {
    if (DancesData.active() && DancesData.State() != DatasetState::Browse) SaveDRec();
    RefreshDets();
    const bool prompt = YesNo(QStringLiteral("Prompt for each match?\r(\"No\" to add all matches)"));
    const QList<DanceMusic> dances = DancesForScan(Conn);
    const ScanIndex index(RecordingFileList);
    const Dataset::Bookmark shown = DancesData.GetBookmark();
    // Without prompts every match lands in one transaction; with them each
    // Yes is kept at once, so Cancel keeps what was accepted.
    std::unique_ptr<Batch> batch;
    if (!prompt) batch = std::make_unique<Batch>(Conn);
    auto attach = [](const DanceMusic &dance, const QString &music) {
        Query q(Conn);
        q.setText(QStringLiteral("Update Dances Set Music = ? where rowid = ?"));
        q.exec({music, dance.rowid});
        WriteLog(QStringLiteral("Scan: ") + dance.title);
    };
    std::function<ScanAnswer::Kind(const QString &)> ask;
    if (prompt)
        ask = [](const QString &question) {
            const int r = YesNoCancel(question);
            return r == ResultYes ? ScanAnswer::Yes : r == ResultNo ? ScanAnswer::No : ScanAnswer::Cancel;
        };
    const bool finished = ScanMatch(dances, index, ProgrammeSeparator, ask, attach);
    if (batch) batch->commit();
    if (DancesData.active() && DancesData.BookmarkValid(shown)) DancesData.GotoBookmark(shown);
    if (!finished) return;
    RefreshDets();
    ShowMsg(QStringLiteral("Scan complete."));
}

void TOrgForm::PlayMatch(const QString &path, QWidget *host) {
    if (Playing || path.isEmpty()) {
        if (Playing) PlayBtnClick();
        if (PC->currentWidget() == RecPage) RecPageEnter();
        else DancePageEnter();
        return;
    }
    PlayFile = path;
    CdTrack = false;
    if (host && host->layout()) host->layout()->addWidget(PlayPnl);
    MatchListPlay = true;
    struct Reset {
        bool &flag;
        ~Reset() { flag = false; }
    } reset{MatchListPlay};
    PlayBtnClick();
}
