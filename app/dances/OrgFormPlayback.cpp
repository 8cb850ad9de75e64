// The main window's play panel: Play and Stop, Pause and Continue, the end
// of play, the start mark, and the panel's glyphs, clock captions and marker.

#include "app/OrgForm.h"

#include "presentation/fullscreen/Full.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "core/dances/DanceShow.h"
#include "core/database/Tables.h"
#include "core/services/AppServices.h"
#include "core/services/ShellRoutines.h"
#include "core/startup/Settings.h"
#include "platform/ini/IniFile.h"
#include "platform/media/MyPlayer.h"
#include "platform/picture/StandardIcon.h"
#include "presentation/music/Playback.h"
#include "presentation/music/RecordingsGrid.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int IdleHeight = 75;
constexpr int PlayingHeight = 116;

// The Stop glyph: an open hand, palm forward.
QIcon DrawHand() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(120, 60, 20), 1.5));
    p.setBrush(QColor(240, 190, 140));
    p.drawRoundedRect(QRectF(8, 14, 16, 15), 5, 5); // the palm
    const qreal fingers[4][2] = {{8, 6}, {12, 3}, {16, 3}, {20, 5}};
    for (const auto &f : fingers) p.drawRoundedRect(QRectF(f[0], f[1], 4, 16 - f[1] + 2), 2, 2);
    p.drawRoundedRect(QRectF(2, 15, 9, 4), 2, 2); // the thumb
    return QIcon(pixmap);
}

} // namespace

void TOrgForm::buildPlayPanel() {
    PlayImg = new QIcon(LazyStandardIcon(QStyle::SP_MediaPlay, this));
    Hand = new QIcon(DrawHand());

    PlayTimes = new QWidget(PlayPnl);
    PlayTimes->setObjectName(QStringLiteral("PlayTimes"));
    auto *times = new QGridLayout(PlayTimes);
    times->setContentsMargins(0, 0, 0, 0);
    times->setSpacing(1);
    const std::pair<const char *, QLabel *> columns[] = {{"Played", LEDElapsed}, {"Left", LEDRemain}, {"Total", LEDTLen}};
    for (int c = 0; c < 3; ++c) {
        auto *caption = new QLabel(QString::fromLatin1(columns[c].first), PlayTimes);
        QFont small = caption->font();
        small.setPointSizeF(small.pointSizeF() * 0.8);
        caption->setFont(small);
        times->addWidget(caption, 0, c, Qt::AlignHCenter);
        columns[c].second->setParent(PlayTimes);
        times->addWidget(columns[c].second, 1, c, Qt::AlignHCenter);
    }
    PlayTimes->hide();

    MarkPnl = new QWidget(PlayPnl);
    MarkPnl->setObjectName(QStringLiteral("MarkPnl"));
    auto *mark = new QHBoxLayout(MarkPnl);
    mark->setContentsMargins(0, 0, 0, 0);
    MarkBtn = new QPushButton(QStringLiteral("Marker"), MarkPnl);
    MarkBtn->setObjectName(QStringLiteral("MarkBtn"));
    MarkText = new QLabel(MarkPnl);
    MarkText->setObjectName(QStringLiteral("MarkText"));
    mark->addWidget(MarkBtn);
    mark->addWidget(MarkText);
    MarkPnl->hide();

    auto *layout = static_cast<QVBoxLayout *>(PlayPnl->layout());
    layout->insertWidget(2, PlayTimes);
    layout->insertWidget(3, MarkPnl);
    PlayPnl->setFixedWidth(136);

    connect(PlayBtn, &QPushButton::clicked, this, [this] { PlayBtnClick(); });
    connect(PauseBtn, &QPushButton::clicked, this, [this] { PauseBtnClick(); });
    connect(MarkBtn, &QPushButton::clicked, this, [this] { MarkBtnClick(); });
    connect(MusicBtn, &QPushButton::clicked, this, [this] { MusicBtnClick(); });
    Music->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Music, &QWidget::customContextMenuRequested, this, [this] { MusicBtnClick(); });
}

void TOrgForm::CreatePlayer() {
    if (Player) return;
    Player = new TMyPlayer(this, qEnvironmentVariable("QUILLARY_AO"));
    Player->OnNotify = [this](TMyPlayer *) { NotifyClick(); };
}

QStringList TOrgForm::RecGridFirstCells() const { return RecGrid->firstCells(); }

void TOrgForm::PlayBtnClick() {
    if (Playing) stopPlayback();
    else startPlayback();
}

void TOrgForm::stopPlayback() {
    // 1.-2.
    Timer->stop();
    if (Player) Player->StopAndClose();
    PlayBtn->setIcon(*PlayImg);
    PlayBtn->setText(QStringLiteral("Play"));
    PlayTimes->hide();
    Playing = false;
    PlayPnl->setFixedHeight(IdleHeight);
    MarkPnl->hide();
    PauseBtn->hide();
    if (FullScreenPlayback.stopped) FullScreenPlayback.stopped();
    // 3.
    if (DancesData.active() && PC->currentWidget() != RecPage) SetMusic();
    // 4.
    WriteLog(QStringLiteral("Stop Play"));
}

void TOrgForm::startPlayback() {
    // 1. Where the recording comes from.
    PlaySource source;
    source.recordingsPage = PC->currentWidget() == RecPage && !MatchListPlay;
    if (source.recordingsPage) {
        const QStringList cells = RecGridFirstCells();
        int row = RecGrid->currentRow();
        while (row > 0 && row < cells.size() && cells[row] == QLatin1String(" and")) --row;
        source.recEntry = row >= 0 && row < cells.size() ? cells[row] : QString();
        source.recFolder = FolderOfGridRow(cells, row);
    } else {
        if (FullScreenShowing() && !IsRec->isChecked() && PC->currentWidget() == EventPage && !RecordedAsked) {
            RecordedAsked = true;
            if (YesNoHelp(QStringLiteral("Change this Event to use Recorded Music?"), 58110)) {
                IsRec->setChecked(true);
                SetMusic();
            }
        }
        RecordedAsked = true;
    }
    source.playFile = PlayFile;
    source.currentMusicLine = CurrentMusicLine;
    source.sep = ProgrammeSeparator;
    source.baseFolder = BaseFolder;
    source.intPlayer = OptionChecked(QStringLiteral("IntPlayer"));
    source.resolve = ResolvePathNoCase;

    // 2.-7.
    const PlayRoute route = ChoosePlayRoute(source);
    if (route.kind == PlayRoute::Refused) {
        if (route.helpContext) OKHelpCancel(route.message, route.helpContext);
        else ShowMsg(route.message);
        return;
    }
    PlayFile = route.playFile;
    CdTrack = route.cdTrack;
    MidFile = route.midFile;
    if (route.kind == PlayRoute::Desktop) {
        if (!OpenDocument(route.path)) return;
    } else if (route.kind == PlayRoute::External) {
        WriteLog(QStringLiteral("External Player: ") + route.path);
        if (!OpenDocument(route.path)) return;
    } else {
        CreatePlayer();
        Player->Close();
        Player->FileName = route.path;
        Player->DeviceType = route.cdTrack ? dtCDAudio : dtAutoSelect;
        Player->Open();
        if (route.cdTrack) {
            const CdTrackSpan span = Player->TrackSpan(route.track);
            if (!span.onDisc) {
                Player->Close();
                AbortMsg(QStringLiteral("Cannot play this CD track."));
            }
            Player->SetStartPos(span.startMs);
            if (span.endMs >= 0) Player->SetEndPos(span.endMs);
            PlayLength = span.lengthMs;
        } else {
            PlayLength = Player->GetLength();
        }
        ElapsedSeconds = 0;
        Timer->start();
        Player->Play();
    }
    showPlaying();
}

void TOrgForm::showPlaying() {
    // 8.
    PlayBtn->setIcon(*Hand);
    PlayBtn->setText(QStringLiteral("Stop"));
    Playing = true;
    PlayPnl->setFixedHeight(PlayingHeight);
    PauseBtn->setText(QStringLiteral("Pause"));
    PauseBtn->show();
    WriteLog(QStringLiteral("Play ") + Title->text());
    LEDElapsed->clear();
    LEDRemain->clear();
    LEDTLen->clear();
    PlayTimes->show();
    MarkText->clear();
    MarkPnl->setVisible(!CdTrack);
    PlayPnl->show();
    if (FullScreenPlayback.started) FullScreenPlayback.started();
}

void TOrgForm::PauseBtnClick() {
    if (!Player || !Player->IsOpen()) return;
    if (Player->GetMode() == ModePlaying) {
        Timer->stop();
        PauseBtn->setText(QStringLiteral("Continue"));
    } else {
        Timer->start();
        PauseBtn->setText(QStringLiteral("Pause"));
    }
    Player->Pause();
}

// The player notifies only at a real end, so any notify while playing stops,
// unless the full-screen position bar is being dragged.
void TOrgForm::NotifyClick() {
    if (Playing && !SeekDragging) PlayBtnClick();
}

void TOrgForm::MarkBtnClick() {
    if (!Player || !IniFile) return;
    const QString key = MarkKey(PlayFile, BaseFolder);
    const qint64 position = Player->GetPosition();
    if (position >= 1000) IniFile->WriteInt64(QStringLiteral("Recordings"), key, position);
    else IniFile->DeleteKey(QStringLiteral("Recordings"), key);
    MarkText->setText(FormatMark(position));
}
