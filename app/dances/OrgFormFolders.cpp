// The Folders page: the music folders under the base folder, subfolders
// first, then the files in the order kept in each folder's order file; the
// reorder images, the CD details, the font size, and a file played
// full-screen. The base folder itself and the page's place in the window.

#include "app/OrgForm.h"

#include "base/Cp1252.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "core/dances/DanceShow.h"
#include "core/startup/Settings.h"
#include "platform/ini/IniFile.h"
#include "presentation/music/Beep.h"
#include "presentation/music/CDForm.h"
#include "presentation/music/MusicFolders.h"
#include "presentation/music/RecordingsCatalogue.h"

#include <QAction>
#include <QDir>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

namespace {

const QString FolderRow = QStringLiteral("» ");

enum class Glyph { Back, Up, Down, Save, Cancel };

// The page's images, drawn here: arrows for moving, a tick and a cross.
QIcon DrawGlyph(Glyph g) {
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    switch (g) {
    case Glyph::Back:
        path.moveTo(3, 12), path.lineTo(12, 4), path.lineTo(12, 9), path.lineTo(21, 9), path.lineTo(21, 15),
            path.lineTo(12, 15), path.lineTo(12, 20), path.closeSubpath();
        p.fillPath(path, QColor(40, 90, 170));
        break;
    case Glyph::Up:
    case Glyph::Down: {
        path.moveTo(12, 3), path.lineTo(21, 12), path.lineTo(15, 12), path.lineTo(15, 21), path.lineTo(9, 21),
            path.lineTo(9, 12), path.lineTo(3, 12), path.closeSubpath();
        if (g == Glyph::Down) path = QTransform(1, 0, 0, -1, 0, 24).map(path);
        p.fillPath(path, QColor(30, 130, 60));
        break;
    }
    case Glyph::Save:
        p.setPen(QPen(QColor(20, 140, 40), 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(4, 13), QPointF(10, 19), QPointF(20, 5)}));
        break;
    case Glyph::Cancel:
        p.setPen(QPen(QColor(200, 30, 30), 3.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5, 5), QPointF(19, 19));
        p.drawLine(QPointF(19, 5), QPointF(5, 19));
        break;
    }
    return QIcon(pixmap);
}

QString CellText(const QTableWidget *grid, int row) {
    const QTableWidgetItem *item = grid->item(row, 0);
    return item ? item->text() : QString();
}

// The rows of a folder, one per grid row.
void FillGrid(QTableWidget *grid, const QStringList &rows) {
    grid->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        auto *item = new QTableWidgetItem(rows[r]);
        item->setFlags(item->flags() & ~Qt::ItemIsEditable);
        grid->setItem(r, 0, item);
    }
}

// The page's clicks that are not signals: the base-folder label, and the
// pop-up over the folder label.
class FolderClicks : public QObject {
public:
    FolderClicks(TOrgForm *form) : QObject(form), form(form) {}
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (watched == form->FBase && mouse->button() == Qt::LeftButton) {
                form->BaseClick(true);
                return true;
            }
            if (watched == form->FLab && mouse->button() == Qt::RightButton) {
                form->FPopup->setProperty("row", -1);
                form->FPopup->popup(mouse->globalPosition().toPoint());
                return true;
            }
        }
        return false;
    }

private:
    TOrgForm *form;
};

} // namespace

void TOrgForm::buildFoldersPage() {
    auto *page = new QVBoxLayout(FolderPage);
    auto *bar = new QHBoxLayout;
    auto image = [this, bar](const char *name, Glyph glyph, const QString &hint) {
        auto *b = new QToolButton(FolderPage);
        b->setObjectName(QLatin1String(name));
        b->setIcon(DrawGlyph(glyph));
        b->setIconSize(QSize(24, 24));
        b->setAutoRaise(true);
        b->setToolTip(hint);
        b->hide();
        bar->addWidget(b);
        return b;
    };
    Back = image("Back", Glyph::Back, QStringLiteral("Back to containing folder"));
    FLab = new QLabel(FolderPage);
    FLab->setObjectName(QStringLiteral("FLab"));
    FLab->setTextFormat(Qt::PlainText);
    QFont bold = FLab->font();
    bold.setBold(true);
    FLab->setFont(bold);
    bar->addWidget(FLab);
    MP3Up = image("MP3Up", Glyph::Up, QStringLiteral("Move item up list"));
    MP3Down = image("MP3Down", Glyph::Down, QStringLiteral("Move item down list"));
    MP3Save = image("MP3Save", Glyph::Save, QStringLiteral("Save changes"));
    MP3Cancel = image("MP3Cancel", Glyph::Cancel, QStringLiteral("Cancel changes"));
    bar->addStretch(1);
    FBase = new QLabel(FolderPage);
    FBase->setObjectName(QStringLiteral("FBase"));
    FBase->setTextFormat(Qt::PlainText);
    FBase->setToolTip(QStringLiteral("Base folder: click to change"));
    FBase->setCursor(Qt::PointingHandCursor);
    bar->addWidget(FBase);
    HelpF = new QPushButton(QStringLiteral("Help"), FolderPage);
    HelpF->setObjectName(QStringLiteral("HelpF"));
    bar->addWidget(HelpF);
    page->addLayout(bar);

    FoldGrid = new QTableWidget(0, 1, FolderPage);
    FoldGrid->setObjectName(QStringLiteral("FoldGrid"));
    FoldGrid->horizontalHeader()->hide();
    FoldGrid->verticalHeader()->hide();
    FoldGrid->horizontalHeader()->setStretchLastSection(true);
    FoldGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    FoldGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    FoldGrid->setShowGrid(false);
    FoldGrid->setContextMenuPolicy(Qt::CustomContextMenu);
    page->addWidget(FoldGrid, 1);

    FPopup = new QMenu(this);
    FPopup->setObjectName(QStringLiteral("FPopup"));
    QAction *cdInfo = FPopup->addAction(QStringLiteral("CD info"));
    QAction *fontSize = FPopup->addAction(QStringLiteral("Font size"));
    QAction *reorder = FPopup->addAction(QStringLiteral("Reorder"));

    auto *clicks = new FolderClicks(this);
    FBase->installEventFilter(clicks);
    FLab->installEventFilter(clicks);
    connect(FoldGrid, &QTableWidget::cellDoubleClicked, this, [this](int row) { FGDblClick(row); });
    connect(FoldGrid, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        const QModelIndex index = FoldGrid->indexAt(at);
        if (index.isValid()) FoldGrid->setCurrentCell(index.row(), 0);
        FPopup->setProperty("row", index.isValid() ? index.row() : -1);
        FPopup->popup(FoldGrid->viewport()->mapToGlobal(at));
    });
    connect(cdInfo, &QAction::triggered, this, [this] { CDinfoClick(FPopup->property("row").toInt()); });
    connect(fontSize, &QAction::triggered, this, [this] { FontSizeClick(); });
    connect(reorder, &QAction::triggered, this, [this] { ReorderClick(); });
    connect(Back, &QToolButton::clicked, this, [this] { FGDblClick(-1); });
    connect(MP3Up, &QToolButton::clicked, this, [this] { MP3UpClick(); });
    connect(MP3Down, &QToolButton::clicked, this, [this] { MP3DownClick(); });
    connect(MP3Save, &QToolButton::clicked, this, [this] { MP3SaveClick(); });
    connect(MP3Cancel, &QToolButton::clicked, this, [this] { MP3CancelClick(); });
    if (QAction *option = OptionAction(QStringLiteral("Folders")))
        connect(option, &QAction::triggered, this, [this] { FoldersClick(true); });
    buildRecordingsHandlers();
}

// The recordings base folder from [System] RFolder; "My Music" stands for
// the user's music folder, a relative folder lies beside the program.
void TOrgForm::SetRFolder() {
    const QString stored = SettingText(QStringLiteral("System"), QStringLiteral("RFolder"));
    BaseFolder = ResolveBaseFolder(stored);
    const QString shown = SameText(stored, QStringLiteral("My Music")) ? stored : BaseFolder;
    RBase->setText(shown);
    if (FBase) FBase->setText(shown);
}

void TOrgForm::FoldersClick(bool fromMenu) {
    Q_UNUSED(fromMenu); // the option item stores its mark itself
    const bool on = OptionChecked(QStringLiteral("Folders"));
    SetPageVisible(FolderPage, on);
    if (on) InitFolders();
    else ShowDance();
    FormResize();
}

namespace {

// Lists a folder into the grid: false (with its message shown) when there is
// nothing to show.
bool ListFolder(TOrgForm *f, const QString &folder) {
    WriteLog(QStringLiteral("Contents of folder ") + folder);
    const FolderListing listing = ListMusicFolder(folder, BaseFolder);
    if (!listing.readable) {
        WriteLog(QStringLiteral("Cannot read ") + folder);
        f->FoldGrid->setRowCount(0);
        return false;
    }
    if (!listing.writeError.isEmpty())
        WriteLog(QStringLiteral("Order file not written: ") + listing.writeError);
    if (listing.merge.empty) {
        f->FoldGrid->setRowCount(0);
        ShowMsg(folder + QStringLiteral(" does not contain any recorded music."));
        return false;
    }
    FillGrid(f->FoldGrid, listing.merge.rows);
    return true;
}

} // namespace

void TOrgForm::InitFolders() {
    WriteLog(QStringLiteral("Init folders"));
    SetRFolder();
    CurrentFolder.clear();
    QFont font = FoldGrid->font();
    const int size = SettingInteger(QStringLiteral("System"), QStringLiteral("FolderSize"));
    font.setPointSize(size > 0 ? size : 12);
    FoldGrid->setFont(font);
    FoldGrid->verticalHeader()->setDefaultSectionSize(int(std::lround(QFontMetrics(font).height() * 1.7)));
    FoldGrid->setRowCount(0);
    // An empty name opens the base folder itself.
    if (QFileInfo(BaseFolder).isDir()) {
        CurrentFolder = BaseFolder;
        ListFolder(this, CurrentFolder);
    } else {
        ShowMsg(DriveMessage(BaseFolder, QFileInfo(DriveOf(BaseFolder)).isDir()));
    }
    SetFCap();
    ShowBtns(false);
    Back->hide();
    FoldGrid->setFocus();
}

void TOrgForm::FGDblClick(int row) {
    if (MP3Save->isVisible()) return; // reordering: the rows are the order's
    if (row < 0) { // Back
        const QString up = ParentFolder(CurrentFolder);
        if (CurrentFolder.isEmpty() || up.size() <= BaseFolder.size()) {
            InitFolders();
            return;
        }
        CurrentFolder = up;
        ListFolder(this, CurrentFolder);
        SetFCap();
        Back->show();
        return;
    }
    const QString text = CellText(FoldGrid, row);
    if (text.isEmpty()) return;
    if (text.startsWith(FolderRow)) {
        if (CurrentFolder.isEmpty()) {
            if (!QFileInfo(BaseFolder).isDir())
                AbortMsg(DriveMessage(BaseFolder, QFileInfo(DriveOf(BaseFolder)).isDir()));
            CurrentFolder = BaseFolder;
        }
        CurrentFolder += text.mid(FolderRow.size()) + QLatin1Char('/');
        ListFolder(this, CurrentFolder);
        SetFCap();
        Back->show();
        return;
    }
    // A file plays on the full-screen display.
    PlayFile = CurrentFolder + text;
    CdTrack = false;
    FullScreenClick();
}

void TOrgForm::BaseClick(bool folders) {
    if (folders) {
        SetBase(FBase->text());
        InitFolders();
    } else {
        SetBase(RBase->text());
    }
}

void TOrgForm::FontSizeClick() {
    QString value = QString::number(SettingInteger(QStringLiteral("System"), QStringLiteral("FolderSize")));
    if (!InputQuery(QStringLiteral("Font size"), QStringLiteral("Enter desired font size"), value)) return;
    bool ok = false;
    const int size = value.trimmed().toInt(&ok);
    if (!ok || size < 1) AbortMsg(QStringLiteral("Not a number!"));
    IniFile->WriteInteger(QStringLiteral("System"), QStringLiteral("FolderSize"), size);
    InitFolders();
}

void TOrgForm::ReorderClick() {
    if (CurrentFolder.isEmpty())
        AbortMsg(QStringLiteral("You cannot reorder the list of folders in the root folder."));
    QString error;
    const QStringList order = ReadFolderOrder(CurrentFolder, &error);
    // Saving an order read in part would lose the rest.
    if (!error.isEmpty()) AbortMsg(QStringLiteral("The order cannot be changed:\r") + error);
    ShowBtns(true);
    MP3Order = order;
    // Without an order file the listed order is the start.
    if (OrderFiles(MP3Order).isEmpty())
        for (int r = 0; r < FoldGrid->rowCount(); ++r)
            if (!CellText(FoldGrid, r).startsWith(FolderRow)) MP3Order.append(CellText(FoldGrid, r));
    ShowMP3();
    FoldGrid->setCurrentCell(0, 0);
}

void TOrgForm::ShowMP3() { FillGrid(FoldGrid, OrderFiles(MP3Order)); }

void TOrgForm::MP3UpClick() {
    const int row = FoldGrid->currentRow();
    if (!MoveOrderEntry(MP3Order, row, -1)) {
        Beep(800, 50);
        return;
    }
    ShowMP3();
    FoldGrid->setCurrentCell(row - 1, 0);
}

void TOrgForm::MP3DownClick() {
    const int row = FoldGrid->currentRow();
    if (!MoveOrderEntry(MP3Order, row, 1)) {
        Beep(800, 50);
        return;
    }
    ShowMP3();
    FoldGrid->setCurrentCell(row + 1, 0);
}

void TOrgForm::MP3SaveClick() {
    QString error;
    if (!WriteFolderOrder(CurrentFolder, MP3Order, &error, BaseFolder)) {
        // The new order stays on show, so the user can try again.
        ShowMsg(QStringLiteral("The order could not be saved:\r") + error);
        return;
    }
    ShowBtns(false);
    ListFolder(this, CurrentFolder);
}

void TOrgForm::MP3CancelClick() {
    MP3Order = ReadFolderOrder(CurrentFolder);
    ShowBtns(false);
    ListFolder(this, CurrentFolder);
}

void TOrgForm::CDinfoClick(int row) {
    QString folder = CurrentFolder.isEmpty() ? BaseFolder : CurrentFolder;
    const QString text = row >= 0 ? CellText(FoldGrid, row) : QString();
    if (text.startsWith(FolderRow) && !MP3Save->isVisible())
        folder += text.mid(FolderRow.size()) + QLatin1Char('/');
    QString error;
    const QStringList lines = ReadFolderOrder(folder, &error);
    if (!error.isEmpty()) AbortMsg(QStringLiteral("The CD details cannot be changed:\r") + error);
    TCDForm form(this);
    const QString caption = FolderCaption(folder, BaseFolder);
    form.setWindowTitle(QStringLiteral("CD info for ") + caption);
    QStringList fields = CdInfoFields(CdInfoLine(lines));
    if (fields[0].isEmpty() && folder != BaseFolder) fields[0] = DefaultCdName(folder);
    form.SetFields(fields);
    if (form.exec() != QDialog::Accepted) return;
    if (!WriteFolderOrder(folder, SetCdInfo(lines, form.Fields()), &error, BaseFolder))
        ShowMsg(QStringLiteral("The CD details could not be saved:\r") + error);
}

void TOrgForm::ShowBtns(bool on) {
    for (QToolButton *b : {MP3Up, MP3Down, MP3Save, MP3Cancel}) b->setVisible(on);
    if (on) FLab->clear();
    else SetFCap();
}

void TOrgForm::SetFCap() { FLab->setText(FolderCaption(CurrentFolder.isEmpty() ? BaseFolder : CurrentFolder, BaseFolder)); }
