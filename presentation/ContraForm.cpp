#include "presentation/ContraForm.h"

#include "base/Cp1252.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "base/TextRoutines.h"
#include "core/database/Tables.h"
#include "core/filter/FilterCommands.h"
#include "platform/rtf/RichEdit.h"
#include "platform/rtf/RtfReader.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int ContraHelp = 54850;
constexpr int ColumnWidth = 108;
constexpr int RowHeight = 28;
constexpr int HeaderHeight = 30;
constexpr int LabelStart = 108;
constexpr int LabelEdge = 1000;
constexpr int LabelLine = 16;
const QColor FixedColour(255, 255, 128);     // BGR 0x80FFFF
const QColor UnusedColour(255, 255, 174);    // BGR 0xAEFFFF
const QColor MustNotColour(255, 170, 170);   // BGR 0xAAAAFF
const QColor MustColour(0, 255, 0);          // 0x00FF00
const QColor CornerColour(227, 215, 255);    // BGR 0xFFD7E3
const QString NoDances = QStringLiteral("No dances selected.");

// Row 0 and column 0 are drawn as the grid's fixed cells, the header row
// with the marks' colours; text wraps at words and "&" stays as it is.
class ContraDelegate : public QStyledItemDelegate {
public:
    ContraDelegate(TContraForm *form) : QStyledItemDelegate(form), f(form) {}
    void paint(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const override {
        const int row = index.row(), column = index.column();
        QColor fill = Qt::white;
        if (row == 0 || column == 0) fill = FixedColour;
        if (row == 0 && column > 0) {
            if (f->Marks().state(column) == ContraMarks::MustNot) fill = MustNotColour;
            if (f->Marks().state(column) == ContraMarks::Must) fill = MustColour;
        }
        if (row == 0 && column == 0) fill = CornerColour;
        p->save();
        p->fillRect(option.rect, fill);
        p->setPen(QColor(128, 128, 128));
        p->drawRect(option.rect.adjusted(0, 0, -1, -1));
        p->setPen(Qt::black);
        QString text = index.data().toString();
        QRect r = option.rect.adjusted(2, 0, -2, 0);
        if (row == 0 && text.contains(QLatin1Char('\r'))) r.translate(2, 2);
        text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        p->drawText(r, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignVCenter, text);
        p->restore();
    }

private:
    TContraForm *f;
};

QLabel *panelLabel(QWidget *parent, const char *name) {
    auto *l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setTextFormat(Qt::PlainText);
    return l;
}

QPushButton *button(QWidget *parent, const char *name, const QString &caption) {
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

} // namespace

TContraForm::TContraForm(ContraHost *h, QWidget *parent) : QDialog(parent), host(h) {
    setObjectName(QStringLiteral("ContraForm"));
    setWindowTitle(QStringLiteral("Contra figures"));
    setProperty("HelpContext", ContraHelp);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setModal(true);

    Grid = new QTableWidget(this);
    Grid->setObjectName(QStringLiteral("Grid"));
    Grid->horizontalHeader()->hide();
    Grid->verticalHeader()->hide();
    Grid->horizontalHeader()->setDefaultSectionSize(ColumnWidth);
    Grid->verticalHeader()->setDefaultSectionSize(RowHeight);
    Grid->verticalHeader()->setMinimumSectionSize(1);
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid->setSelectionMode(QAbstractItemView::NoSelection);
    Grid->setShowGrid(false);
    Grid->setItemDelegate(new ContraDelegate(this));
    connect(Grid, &QTableWidget::cellClicked, this, &TContraForm::GridSelectCell);

    UnusedLine = new QFrame(this);
    UnusedLine->setObjectName(QStringLiteral("UnusedLine"));
    UnusedCaption = panelLabel(UnusedLine, "UnusedCaption");
    UnusedCaption->setText(QStringLiteral("Unused figures"));
    UnusedCaption->move(4, 0);
    CancelBtn = button(this, "CancelBtn", QStringLiteral("Cancel"));
    CancelBtn->setShortcut(QKeySequence(Qt::Key_Escape));
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(UnusedLine, 1);
    bottom->addWidget(CancelBtn, 0, Qt::AlignTop);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Grid, 1);
    layout->addLayout(bottom);

    TList = new QListWidget(this);
    TList->setObjectName(QStringLiteral("TList"));
    // Filled in the program's own sorted order (case folded as everywhere else).
    TList->hide();
    connect(TList, &QListWidget::itemClicked, this, &TContraForm::TListClick);

    IPanel = new QFrame(this);
    IPanel->setObjectName(QStringLiteral("IPanel"));
    IPanel->setFrameShape(QFrame::Box);
    IPanel->setAutoFillBackground(true);
    SFormat = panelLabel(IPanel, "SFormat");
    SStyle = panelLabel(IPanel, "SStyle");
    STitle = panelLabel(IPanel, "STitle");
    QFont bold = STitle->font();
    bold.setBold(true);
    STitle->setFont(bold);
    Inst = new RichEdit(IPanel);
    Inst->setObjectName(QStringLiteral("Inst"));
    Inst->setReadOnly(true);
    UsedList = new QPlainTextEdit(IPanel);
    UsedList->setObjectName(QStringLiteral("UsedList"));
    UsedList->setReadOnly(true);
    AddBtn = button(IPanel, "AddBtn", QStringLiteral("Add"));
    RemBtn = button(IPanel, "RemBtn", QStringLiteral("Remove"));
    CloseBtn = button(IPanel, "CloseBtn", QStringLiteral("Close"));
    ShowBtn = button(IPanel, "ShowBtn", QStringLiteral("Show process"));
    StopBtn = button(IPanel, "StopBtn", QStringLiteral("Stop"));
    auto *heads = new QHBoxLayout;
    heads->addWidget(STitle, 1);
    heads->addWidget(SFormat);
    heads->addWidget(SStyle);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {AddBtn, RemBtn, ShowBtn, StopBtn, CloseBtn}) buttons->addWidget(b);
    auto *body = new QHBoxLayout;
    body->addWidget(Inst, 3);
    body->addWidget(UsedList, 2);
    auto *panel = new QVBoxLayout(IPanel);
    panel->addLayout(heads);
    panel->addLayout(body, 1);
    panel->addLayout(buttons);
    IPanel->hide();
    connect(AddBtn, &QPushButton::clicked, this, &TContraForm::AddBtnClick);
    connect(RemBtn, &QPushButton::clicked, this, &TContraForm::RemBtnClick);
    connect(CloseBtn, &QPushButton::clicked, this, &TContraForm::CloseBtnClick);
    connect(ShowBtn, &QPushButton::clicked, this, &TContraForm::ShowBtnClick);
    connect(StopBtn, &QPushButton::clicked, this, &TContraForm::StopBtnClick);

    FormInit();
}

void TContraForm::FormInit() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    struct Restore {
        ~Restore() { QApplication::restoreOverrideCursor(); }
    } restore;
    SetFilter(FilterTable::Dances, 1);
    data = ReadContraData(Conn);
    const QList<ContraEntry> kept =
        SectionEntries(host->ContraItems(), host->ContraThisIndex(), data,
                       [] { return YesNo(QStringLiteral("Include \"Extras\" in the grid?")); });
    qDeleteAll(unusedLabels);
    unusedLabels.clear();
    marks.clear();
    if (kept.isEmpty()) {
        grid = ContraGrid{};
        Grid->clear();
        Grid->setColumnCount(1);
        Grid->setRowCount(0);
        ShowMsg(QStringLiteral("No suitable dances in current section."));
        return;
    }
    grid = BuildContraGrid(kept);
    Grid->clear();
    Grid->setColumnCount(grid.columnCount());
    Grid->setRowCount(int(kept.size()) + 2);
    Grid->setRowHeight(0, HeaderHeight);
    for (int r = 1; r < Grid->rowCount(); ++r) Grid->setRowHeight(r, RowHeight);
    auto put = [this](int r, int c, const QString &text) { Grid->setItem(r, c, new QTableWidgetItem(text)); };
    put(0, 0, QStringLiteral("  Contra Figures\r  [Esc] to exit"));
    Grid->setColumnWidth(0, ColumnWidth);
    const QFontMetrics metrics(Grid->font());
    const QStringList &names = ContraFigures();
    for (int k = 0; k < grid.columns.size(); ++k) {
        const QString header = SplitHeader(names[grid.columns[k]]);
        put(0, k + 1, header);
        int width = ColumnWidth;
        if (header.contains(QLatin1Char('\r'))) {
            width = 0;
            for (const QString &line : header.split(QLatin1Char('\r')))
                width = std::max(width, metrics.horizontalAdvance(line));
            width += 5;
        }
        Grid->setColumnWidth(k + 1, width);
    }
    for (int r = 0; r < grid.titles.size(); ++r) {
        put(r + 1, 0, grid.titles[r]);
        for (int k = 0; k < grid.columns.size(); ++k)
            if (grid.marks[r][k]) put(r + 1, k + 1, QStringLiteral("Y"));
    }
    const int total = Grid->rowCount() - 1;
    put(total, 0, QStringLiteral("TOTAL"));
    for (int k = 0; k < grid.totals.size(); ++k) put(total, k + 1, QString::number(grid.totals[k]));
    for (int f : grid.unused) {
        auto *label = new QLabel(QStringLiteral("|") + names[f], UnusedLine);
        label->setObjectName(QStringLiteral("Unused%1").arg(f));
        label->setTextFormat(Qt::PlainText);
        label->setAutoFillBackground(true);
        label->setCursor(Qt::PointingHandCursor);
        label->installEventFilter(this);
        unusedLabels << label;
    }
    layOutUnused();
    UnusedRefresh();
    TList->hide();
}

void TContraForm::layOutUnused() {
    int x = LabelStart, y = 0;
    for (QLabel *label : unusedLabels) {
        label->adjustSize();
        if (x + label->width() > LabelEdge) {
            x = LabelStart;
            y += LabelLine;
        }
        label->move(x, y);
        label->show();
        x += label->width() + 1;
    }
    UnusedLine->setFixedHeight(y + LabelLine + 4);
}

void TContraForm::UnusedRefresh() {
    for (int i = 0; i < unusedLabels.size(); ++i) {
        const ContraMarks::State s = marks.state(grid.columnCount() + i + 1);
        QPalette pal = unusedLabels[i]->palette();
        pal.setColor(QPalette::Window, s == ContraMarks::MustNot ? MustNotColour
                                       : s == ContraMarks::Must  ? MustColour
                                                                 : FixedColour);
        unusedLabels[i]->setPalette(pal);
    }
}

void TContraForm::GridSelectCell(int row, int column) {
    if (row < 0 || column < 0) return;
    if (column > 0) {
        DoClick(column);
        return;
    }
    if (row == 0 || row >= Grid->rowCount() - 1) return;
    const QString shown = Grid->item(row, 0) ? Grid->item(row, 0)->text() : QString();
    DanceKey key;
    for (const ProgrammeItem &item : host->ContraItems())
        if (item.isDance() && DisplayTitle(item.key.Title) == shown) {
            key = item.key;
            break;
        }
    if (key.Title.isEmpty()) return;
    host->ContraSelectRow(shown);
    host->ContraLocate(key);
    const ContraDance d = ReadContraDance(Conn, key.Title, key.Format, key.Style);
    showDance(key.Title, key.Format, key.Style, d.Instructions);
    RemBtn->show();
}

void TContraForm::DoClick(int handle) {
    if (!isVisible()) return;
    IPanel->hide();
    marks.click(handle);
    Grid->viewport()->update();
    UnusedRefresh();
    if (marks.empty()) {
        TList->hide();
        return;
    }
    QList<int> must, mustNot;
    for (int h : marks.must)
        if (const int f = grid.figureOf(h); f >= 0) must << f;
    for (int h : marks.mustNot)
        if (const int f = grid.figureOf(h); f >= 0) mustNot << f;
    const QStringList titles = data.matching(must, mustNot);
    TList->clear();
    if (titles.isEmpty()) TList->addItem(NoDances);
    else TList->addItems(titles);
    const int listHeight = std::min(int(TList->count()) * 13 + 6, height() - 80);
    TList->setGeometry(width() - 260, 40, 250, std::max(listHeight, 20));
    TList->raise();
    TList->show();
}

void TContraForm::TListClick(QListWidgetItem *item) {
    if (!item || item->text() == NoDances) return;
    const ContraDance d = ReadContraDance(Conn, item->text());
    if (!d.found) return;
    RemBtn->hide();
    showDance(d.Title, d.Format, d.Style, d.Instructions);
}

void TContraForm::showDance(const QString &title, const QString &format, const QString &style, const QString &rtf) {
    shownTitle = title;
    STitle->setText(DisplayTitle(title));
    SFormat->setText(format);
    SStyle->setText(style);
    LoadRichText(rtf, Inst);
    ShowRecognisedFigures();
    IPanel->setGeometry(width() / 3, 60, width() / 2, std::max(height() / 2, 200));
    IPanel->raise();
    IPanel->show();
}

void TContraForm::ShowRecognisedFigures() {
    QString text = QStringLiteral("Figures recognised...\r\n\r\n");
    if (const ContraEntry *e = data.find(shownTitle))
        for (int f : e->figures) text += ContraFigures()[f] + QStringLiteral("\r\n");
    UsedList->setPlainText(ShownText(text));
    process.step = -1;
}

void TContraForm::AddBtnClick() {
    IPanel->hide();
    host->ContraLocate({shownTitle, SFormat->text(), SStyle->text()});
    host->ContraAdd();
    FormInit();
    TList->hide();
}

void TContraForm::RemBtnClick() {
    IPanel->hide();
    host->ContraRemove();
    FormInit();
}

void TContraForm::CloseBtnClick() {
    IPanel->hide();
    TList->hide();
}

void TContraForm::ShowBtnClick() {
    if (process.step < 0) {
        savedRtf = Inst->rtf();
        process.start(Inst->text());
        Inst->setPlainText(process.text);
    } else {
        process.press();
    }
    Inst->setPlainText(process.text);
    if (process.running()) {
        const auto &pair = ContraReplacements()[process.step];
        UsedList->setPlainText(QStringLiteral("Next...\n\nReplace\n[") + pair.first + QStringLiteral("]\nby\n[") +
                               pair.second + QLatin1Char(']'));
    } else {
        StopBtnClick();
    }
}

void TContraForm::StopBtnClick() {
    ShowRecognisedFigures();
    UsedList->setPlainText(QStringLiteral("DONE.\n\n") + UsedList->toPlainText());
    process.step = -1;
    if (!savedRtf.isEmpty()) LoadRichText(savedRtf, Inst);
    savedRtf.clear();
}

bool TContraForm::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::MouseButtonPress) {
        const int at = int(unusedLabels.indexOf(static_cast<QLabel *>(watched)));
        if (at >= 0) {
            UnusedClick(grid.columnCount() + at + 1);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TContraForm::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    layOutUnused();
}

void RunContraForm(ContraHost *host, QWidget *parent) {
    WriteLog(QStringLiteral("Contra"));
    TContraForm form(host, parent);
    if (!form.HasFigures()) return;
    // Without a window manager a frameless window is not maximised for us.
    if (QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        form.setGeometry(screen->availableGeometry());
    form.setWindowState(Qt::WindowMaximized);
    form.exec();
}
