#include "presentation/music/MusForm.h"

#include "base/Log.h"
#include "base/Messages.h"
#include "base/TextRoutines.h"
#include "core/dances/DanceShow.h"
#include "core/services/Help.h"
#include "core/services/MainWindowLink.h"
#include "core/services/ShellRoutines.h"
#include "core/startup/Settings.h"
#include "core/dances/MusicText.h"
#include "presentation/music/Playback.h"
#include "presentation/music/RecordingsCatalogue.h"
#include "presentation/music/RecsForm.h"
#include "core/views/SectForm.h"

#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int MarkWidth = 12;
const QString Mark = QStringLiteral("X");

QString cellText(const QTableWidget *grid, int row, int column) {
    const QTableWidgetItem *item = grid->item(row, column);
    return item ? item->text() : QString();
}

void setCell(QTableWidget *grid, int row, int column, const QString &text) {
    if (QTableWidgetItem *item = grid->item(row, column)) item->setText(text);
    else grid->setItem(row, column, new QTableWidgetItem(text));
}

bool FileExists(const QString &path) { return !ResolvePathNoCase(path).isEmpty(); }

} // namespace

TMusForm &MusForm(QWidget *parent) {
    static QPointer<TMusForm> form;
    if (!form) form = new TMusForm(parent);
    return *form;
}

TMusForm::TMusForm(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("MusForm"));
    setWindowTitle(QStringLiteral("Music"));
    auto *layout = new QVBoxLayout(this);
    Live = new QLineEdit(this);
    Live->setObjectName(QStringLiteral("Live"));
    RGrid = new QTableWidget(this);
    RGrid->setObjectName(QStringLiteral("RGrid"));
    RGrid->verticalHeader()->hide();
    RGrid->setContextMenuPolicy(Qt::CustomContextMenu);
    RGrid->setTabKeyNavigation(true);
    auto *bottom = new QHBoxLayout;
    Searcher = new QLineEdit(this);
    Searcher->setObjectName(QStringLiteral("Searcher"));
    Searcher->setPlaceholderText(QStringLiteral("Search..."));
    Searcher->installEventFilter(this);
    auto button = [this, bottom](const QString &caption, const char *name) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        bottom->addWidget(b);
        return b;
    };
    OKBtn = button(QStringLiteral("&OK"), "OKBtn");
    OKBtn->setDefault(true);
    ExitBtn = button(QStringLiteral("E&xit"), "ExitBtn");
    DelBtn = button(QStringLiteral("Delete all"), "DelBtn");
    HelpBtn = button(QStringLiteral("Help"), "HelpBtn");
    BaseBtn = button(QStringLiteral("Base folder"), "BaseBtn");
    Base = new QLabel(this);
    Base->setObjectName(QStringLiteral("Base"));
    bottom->addWidget(Base, 1);
    layout->addWidget(Live);
    layout->addWidget(RGrid, 1);
    layout->addWidget(Searcher);
    layout->addLayout(bottom);

    Live->installEventFilter(this);
    connect(RGrid, &QTableWidget::cellClicked, this, [this] { RGridClick(); });
    connect(RGrid, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        const QModelIndex index = RGrid->indexAt(at);
        if (index.isValid()) RGridRClick(index.row(), index.column());
    });
    connect(OKBtn, &QPushButton::clicked, this, [this] { BtnClick(true); });
    connect(ExitBtn, &QPushButton::clicked, this, [this] { BtnClick(false); });
    connect(DelBtn, &QPushButton::clicked, this, [this] { DelBtnClick(); });
    connect(HelpBtn, &QPushButton::clicked, this, [] { OpenHelp(58110); });
    HelpBtn->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(HelpBtn, &QWidget::customContextMenuRequested, this, [this] { HelpRClick(); });
    connect(Searcher, &QLineEdit::textEdited, this, [this] { SearcherChange(); });
    recsForm = new TRecsForm(this);
    recsForm->OnChoose = [this](const QString &path) {
        const int row = std::max(RGrid->currentRow(), 0);
        if (LocationColumn >= 0) setCell(RGrid, row, LocationColumn + 1, path);
    };
    RecordedSectionSaved = [form = QPointer<TMusForm>(this)] {
        if (form) form->ForgetColumns();
    };
    connect(BaseBtn, &QPushButton::clicked, this, [this] { BaseClick(); });
}

void TMusForm::setColumns() {
    const QString section = QStringLiteral("Recorded");
    if (IniFile && IniFile->ReadSection(section).isEmpty())
        for (const RecordingColumn &c : DefaultRecordingColumns()) IniFile->WriteInteger(section, c.title, c.width);
    const QList<RecordingColumn> columns =
        RecordingColumnsOf(IniFile ? IniFile->ReadSectionValues(section) : QStringList());
    RGrid->setColumnCount(int(columns.size()) + 1);
    QStringList titles{QString()};
    int width = MarkWidth;
    RGrid->setColumnWidth(0, MarkWidth);
    for (int i = 0; i < columns.size(); ++i) {
        titles.append(columns[i].title);
        RGrid->setColumnWidth(i + 1, columns[i].width);
        RGrid->setColumnHidden(i + 1, columns[i].width == 0);
        width += columns[i].width + 1;
    }
    RGrid->setHorizontalHeaderLabels(titles);
    RGrid->setMinimumWidth(width + 4);
    resize(width + 4 + 20, height());
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(x(), (screen->availableGeometry().height() - height()) / 2);
    columnsSet = true;
}

void TMusForm::FormShow() {
    const QString title = TheMainWindow().DanceTitle();
    setWindowTitle(QStringLiteral("Music for  ") + DisplayTitle(title));
    Searcher->setText(QString());
    if (!columnsSet) setColumns();
    Base->setText(BaseFolder);
    Base->setVisible(LocationColumn >= 0);

    // The grid holds every recording and one row more; a line wider than the
    // columns keeps its extra cells in untitled columns.
    const MusicParts parts = SplitMusicText(MusicText, ProgrammeSeparator);
    Live->setText(parts.live);
    RGrid->clearContents();
    RGrid->setRowCount(std::max<int>(int(parts.recordings.size()) + 1, 8));
    for (int r = 0; r < parts.recordings.size(); ++r) {
        const QStringList &cells = parts.recordings[r];
        if (cells.size() + 1 > RGrid->columnCount()) RGrid->setColumnCount(int(cells.size()) + 1);
        for (int c = 0; c < cells.size(); ++c) setCell(RGrid, r, c + 1, cells[c]);
    }
    const int line = TheMainWindow().ProgrammeMusicLine(title);
    if (line > 0 && line <= parts.recordings.size()) {
        setCell(RGrid, line - 1, 0, Mark);
        RGrid->setCurrentCell(line - 1, 1);
    }
    fitRows(int(parts.recordings.size()) + 1);
    RGrid->setFocus();
}

// Makes the grid tall enough to show the title row and the first `rows`
// rows (every recording and the empty row below them), within the screen.
void TMusForm::fitRows(int rows) {
    QHeaderView *header = RGrid->horizontalHeader();
    int h = std::max(header->height(), header->sizeHint().height()) + 2 * RGrid->frameWidth();
    for (int r = 0; r < rows && r < RGrid->rowCount(); ++r) h += RGrid->rowHeight(r);
    int contentWidth = 0;
    for (int c = 0; c < RGrid->columnCount(); ++c)
        if (!RGrid->isColumnHidden(c)) contentWidth += RGrid->columnWidth(c);
    if (contentWidth + 2 * RGrid->frameWidth() > RGrid->minimumWidth())
        h += RGrid->horizontalScrollBar()->sizeHint().height();
    int room = h;
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        room = screen->availableGeometry().height() * 2 / 3;
    RGrid->setMinimumHeight(std::max(std::min(h, room), 80));
    if (QLayout *l = layout()) l->activate();
    if (height() < minimumSizeHint().height()) {
        resize(width(), minimumSizeHint().height());
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            move(x(), std::max(0, (screen->availableGeometry().height() - height()) / 2));
    }
}

void TMusForm::LiveClick() {
    for (int r = 0; r < RGrid->rowCount(); ++r) setCell(RGrid, r, 0, QString());
}

void TMusForm::RGridClick() {
    LiveClick();
    if (RGrid->currentRow() >= 0) setCell(RGrid, RGrid->currentRow(), 0, Mark);
}

int TMusForm::columnTitled(const QString &title) const {
    for (int c = 1; c < RGrid->columnCount(); ++c)
        if (const QTableWidgetItem *h = RGrid->horizontalHeaderItem(c); h && h->text() == title) return c;
    return -1;
}

void TMusForm::RGridRClick(int row, int column) {
    RGrid->setCurrentCell(row, column);
    if (column > 0 && column == columnTitled(QStringLiteral("Location"))) {
        WriteLog(QStringLiteral("Location"));
        QString name;
        if (!PickFile(this, QStringLiteral("MP3 files|*.mp3|Wav files|*.wav|All files|*.*"), BaseFolder, true, name,
                      QString()))
            return;
        if (!BaseFolder.isEmpty() && name.startsWith(BaseFolder)) name = name.mid(BaseFolder.size());
        name.replace(QLatin1Char('/'), QLatin1Char('\\')); // Locations keep "\" between folders
        setCell(RGrid, row, column, name);
    } else if (column > 0 && column == columnTitled(QStringLiteral("Recording"))) {
        ShowMsg(QStringLiteral("I may add a drop-down list here eventually!"));
    }
}

void TMusForm::DelBtnClick() {
    for (int r = 0; r < RGrid->rowCount(); ++r)
        for (int c = 0; c < RGrid->columnCount(); ++c) setCell(RGrid, r, c, QString());
}

QList<QStringList> TMusForm::gridRows() const {
    QList<QStringList> rows;
    for (int r = 0; r < RGrid->rowCount(); ++r) {
        QStringList cells;
        for (int c = 1; c < RGrid->columnCount(); ++c) cells.append(cellText(RGrid, r, c));
        rows.append(cells);
    }
    return rows;
}

void TMusForm::BtnClick(bool ok) {
    const QChar sep = ProgrammeSeparator;
    const QList<QStringList> rows = gridRows();
    bool missingLocation = false;
    const QString text = JoinMusicText(Live->text(), rows, sep, &missingLocation);
    if (!ok) SearchList.clear();
    if (!ok && (text == MusicText || !YesNo(QStringLiteral("Save changes?")))) {
        recsForm->hide();
        reject();
        return;
    }
    if (missingLocation) {
        ShowMsg(QStringLiteral("Missing Location."));
        return;
    }
    // Each refusal keeps the dialog and its grid, so the row can be mended.
    const MusicRowCheck check = CheckMusicRows(rows, LocationColumn, BaseFolder, FileExists);
    switch (check.outcome) {
    case MusicRowCheck::SingleDot:
        ShowMsg(QStringLiteral("Please delete the recording containing a single dot."));
        return;
    case MusicRowCheck::FileMissing:
        ShowMsg(check.path + QStringLiteral("\rFile not found."));
        return;
    case MusicRowCheck::NoTrack:
        OKHelpCancel(QStringLiteral("No track specified.  If it's not a CD, it needs a file name as part of the "
                                    "Location field."),
                     58110);
        return;
    case MusicRowCheck::BadTrack:
        ShowMsg(QStringLiteral("Non-numeric track."));
        return;
    case MusicRowCheck::Ok:
        break;
    }
    ChosenMusicLine = 0;
    const QString title = TheMainWindow().DanceTitle();
    for (int r = 0; r < RGrid->rowCount(); ++r) {
        if (cellText(RGrid, r, 0) != Mark) continue;
        ChosenMusicLine = r + 1;
        if (TheMainWindow().ProgrammeMusicLine(title) >= 0) TheMainWindow().SetProgrammeMusicLine(r + 1);
    }
    TheMainWindow().SaveDanceMusic(text);
    recsForm->hide();
    accept();
}

bool TMusForm::eventFilter(QObject *watched, QEvent *event) {
    if (watched == Searcher && event->type() == QEvent::FocusIn) SearcherEnter();
    // A click in the live box (left button released over it) makes live
    // music the choice.
    if (watched == Live && event->type() == QEvent::MouseButtonRelease) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && Live->rect().contains(mouse->position().toPoint())) LiveClick();
    }
    return QDialog::eventFilter(watched, event);
}

void TMusForm::SearcherEnter() {
    if (LocationColumn == -1) AbortMsg(QStringLiteral("You don't have a Location column so you can't add a recording."));
    if (Searcher->text() == QLatin1String("Search...")) Searcher->clear();
}

void TMusForm::SearcherChange() {
    const QString key = NormaliseForSearch(Searcher->text());
    if (Searcher->text() == QLatin1String("Search...") || key.size() < 3) {
        recsForm->hide();
        return;
    }
    if (RecordingFileList.isEmpty() || SearchList.isEmpty()) {
        if (RecordingFileList.isEmpty()) BuildRecordingFileList();
        SearchList = NormaliseForSearch(RecordingFileList);
    }
    const QList<SearchMatch> matches = SearchRecordings(SearchList, key);
    if (matches.isEmpty()) return;
    recsForm->ShowMatches(matches);
    activateWindow();
    Searcher->setFocus();
}

void TMusForm::HelpRClick() { ShowMsg(MusicText); }

void TMusForm::BaseClick() {
    TheMainWindow().SetBase(Base->text());
    Base->setText(BaseFolder);
}
