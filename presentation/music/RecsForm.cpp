#include "presentation/music/RecsForm.h"

#include "core/dances/MusicText.h"
#include "core/services/MainWindowLink.h"
#include "presentation/music/Playback.h"
#include "presentation/music/RecordingsCatalogue.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>

TRecsForm::TRecsForm(QWidget *parent) : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("RecsForm"));
    setWindowTitle(QStringLiteral("Recordings"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(5, 5, 5, 5);
    Matches = new QTableWidget(0, 3, this);
    Matches->setObjectName(QStringLiteral("Matches"));
    Matches->verticalHeader()->hide();
    Matches->verticalHeader()->setDefaultSectionSize(18);
    Matches->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Matches->setSelectionBehavior(QAbstractItemView::SelectRows);
    Matches->setHorizontalHeaderLabels({QStringLiteral("Folder"), QStringLiteral("File"), QStringLiteral("Play")});
    Matches->setColumnWidth(0, 120);
    Matches->setColumnWidth(1, 140);
    Matches->setColumnWidth(2, 26);
    Matches->setMinimumWidth(310);
    ExitBtn = new QPushButton(QStringLiteral("E&xit"), this);
    ExitBtn->setObjectName(QStringLiteral("ExitBtn"));
    layout->addWidget(Matches, 1);
    layout->addWidget(ExitBtn);
    connect(Matches, &QTableWidget::cellClicked, this, [this](int r, int c) { MatchesClick(r, c); });
    connect(ExitBtn, &QPushButton::clicked, this, [this] { ExitBtnClick(); });
}

void TRecsForm::ShowMatches(const QList<SearchMatch> &matches) {
    Matches->setRowCount(int(matches.size()));
    lines.clear();
    for (int r = 0; r < matches.size(); ++r) {
        Matches->setItem(r, 0, new QTableWidgetItem(matches[r].folder));
        Matches->setItem(r, 1, new QTableWidgetItem(matches[r].file));
        Matches->setItem(r, 2, new QTableWidgetItem(QString()));
        lines.append(matches[r].line);
    }
    Matches->horizontalHeaderItem(2)->setText(QStringLiteral("Play"));
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        setGeometry(area.left(), area.top(), width(), area.height() - 40);
    }
    show();
}

void TRecsForm::MatchesClick(int row, int column) {
    if (row < 0 || row >= lines.size()) return;
    // Each match keeps its own line: a path found inside another is never taken.
    const QString path = MatchPath(RecordingFileList, lines[row]);
    if (column == 2) {
        TheMainWindow().PlayMatch(path, this);
        Matches->horizontalHeaderItem(2)->setText(Playing ? QStringLiteral("Stop") : QStringLiteral("Play"));
        return;
    }
    if (OnChoose) OnChoose(path);
    hide();
}

void TRecsForm::ExitBtnClick() { hide(); }

void TRecsForm::hideEvent(QHideEvent *event) {
    // Playback started from the list stops with it (closing hides it too):
    // the play panel it shows goes back to the main window.
    if (Playing) TheMainWindow().PlayMatch(QString(), this);
    QDialog::hideEvent(event);
}
