#include "presentation/fullscreen/Full.h"

#include "base/AppState.h"
#include "base/Clock.h"
#include "base/Cp1252.h"
#include "base/HtmlText.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "core/dances/DanceShow.h"
#include "core/dances/MusicText.h"
#include "core/database/Tables.h"
#include "core/services/AppServices.h"
#include "core/services/MainWindowLink.h"
#include "core/services/ShellRoutines.h"
#include "core/startup/Maintainer.h"
#include "core/startup/Settings.h"
#include "platform/ini/IniFile.h"
#include "platform/media/MyPlayer.h"
#include "platform/rtf/RichEdit.h"
#include "platform/shell/DocumentOpener.h"
#include "platform/shell/KeyState.h"
#include "presentation/editor/SpecialChars.h"
#include "presentation/fullscreen/FullText.h"
#include "presentation/fullscreen/FullTimes.h"
#include "presentation/music/Playback.h"
#include "programme/rows/RowLayout.h"
#include "programme/text/HeadingRoles.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFontInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QInputDevice>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QSlider>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

TFull *Full = nullptr;

namespace {

const QString System = QStringLiteral("System");
const QColor NotesBackground(247, 241, 193); // BGR 0xC1F1F7

int ReadSetting(const QString &section, const QString &key, int def) {
    return IniFile ? IniFile->ReadInteger(section, key, def) : def;
}
void WriteSetting(const QString &section, const QString &key, int value) {
    if (IniFile) IniFile->WriteInteger(section, key, value);
}

QLabel *Panel(QWidget *parent, const char *name, const QString &text = QString()) {
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setFrameShape(QFrame::Panel);
    label->setAlignment(Qt::AlignCenter);
    label->setAutoFillBackground(true);
    label->hide();
    return label;
}

// A press-and-hold box: an up and a down image beside the value.
QFrame *HoldBox(QWidget *parent, const char *name, QToolButton *&up, const char *upName, QToolButton *&down,
                const char *downName, QLineEdit *&value, const char *valueName, const QString &caption) {
    auto *box = new QFrame(parent);
    box->setObjectName(QLatin1String(name));
    box->setFrameShape(QFrame::Panel);
    box->setAutoFillBackground(true);
    auto *layout = new QHBoxLayout(box);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(new QLabel(caption, box));
    down = new QToolButton(box);
    down->setObjectName(QLatin1String(downName));
    down->setArrowType(Qt::DownArrow);
    up = new QToolButton(box);
    up->setObjectName(QLatin1String(upName));
    up->setArrowType(Qt::UpArrow);
    value = new QLineEdit(box);
    value->setObjectName(QLatin1String(valueName));
    value->setFixedWidth(48);
    layout->addWidget(down);
    layout->addWidget(value);
    layout->addWidget(up);
    box->adjustSize();
    box->hide();
    return box;
}

// The close panel's image: a white cross on red.
QPixmap CloseImage() {
    QPixmap pixmap(28, 28);
    pixmap.fill(QColor(200, 30, 30));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 4));
    p.drawLine(7, 7, 21, 21);
    p.drawLine(21, 7, 7, 21);
    return pixmap;
}

bool TouchDevicePresent() {
    for (const QInputDevice *device : QInputDevice::devices())
        if (device->type() == QInputDevice::DeviceType::TouchScreen) return true;
    return false;
}

} // namespace

TFull::TFull(QWidget *parent) : QDialog(parent, Qt::FramelessWindowHint | Qt::Window) {
    setObjectName(QStringLiteral("Full"));
    setModal(true);
    setAutoFillBackground(true);

    FullText = new RichEdit(this);
    FullText->setObjectName(QStringLiteral("FullText"));
    FullText->setReadOnly(true);
    FullText->setFrameShape(QFrame::NoFrame);
    FullText->installEventFilter(this);
    FullText->viewport()->installEventFilter(this);

    TimePnl = new QFrame(this);
    TimePnl->setObjectName(QStringLiteral("TimePnl"));
    TimePnl->setFrameShape(QFrame::Panel);
    TimePnl->setAutoFillBackground(true);
    TimeLab = new QLabel(TimePnl);
    TimeLab->setObjectName(QStringLiteral("TimeLab"));
    TimeLab->setTextFormat(Qt::PlainText);
    auto *timeLayout = new QHBoxLayout(TimePnl);
    timeLayout->setContentsMargins(4, 2, 4, 2);
    timeLayout->addWidget(TimeLab);
    TimePnl->hide();

    HPanel = new QFrame(this);
    HPanel->setObjectName(QStringLiteral("HPanel"));
    HPanel->setFrameShape(QFrame::Panel);
    HPanel->setAutoFillBackground(true);
    auto *header = new QHBoxLayout(HPanel);
    for (auto [label, name] : {std::pair{&H1, "H1"}, {&H2, "H2"}, {&H3, "H3"}, {&H4, "H4"}}) {
        *label = new QLabel(HPanel);
        (*label)->setObjectName(QLatin1String(name));
        (*label)->setTextFormat(Qt::PlainText);
        header->addWidget(*label);
    }
    HPanel->hide();

    BFPanel = Panel(this, "BFPanel");
    InitPnl = Panel(this, "InitPnl", QStringLiteral("Sequence initialised"));
    NotesPnl = Panel(this, "NotesPnl", QStringLiteral("Notes"));
    NumLock = Panel(this, "NumLock", QStringLiteral("Num Lock is on"));
    QuoteMsg = Panel(this, "QuoteMsg", QStringLiteral("Unmatched \"quotes\"."));
    SHPanel = Panel(this, "SHPanel", QStringLiteral("Controls"));
    ClosePanel = new QLabel(this);
    ClosePanel->setObjectName(QStringLiteral("ClosePanel"));
    ClosePanel->setPixmap(CloseImage());
    ClosePanel->adjustSize();
    ClosePanel->hide();
    for (QLabel *p : {BFPanel, InitPnl, NumLock}) {
        QFont big = p->font();
        big.setPointSize(18);
        big.setBold(true);
        p->setFont(big);
    }
    QPalette warn = NumLock->palette();
    warn.setColor(QPalette::Window, QColor(255, 220, 0));
    NumLock->setPalette(warn);

    SpeedBox = HoldBox(this, "SpeedBox", SpeedUp, "SpeedUp", SpeedDown, "SpeedDown", SpeedVal, "SpeedVal",
                       QStringLiteral("Speed"));
    VolBox = HoldBox(this, "VolBox", VolUp, "VolUp", VolDown, "VolDown", VolVal, "VolVal", QStringLiteral("Volume"));
    TrackBar = new QSlider(Qt::Horizontal, this);
    TrackBar->setObjectName(QStringLiteral("TrackBar"));
    TrackBar->setRange(0, 100);
    TrackBar->hide();

    Pop = new QMenu(this);
    Pop->setObjectName(QStringLiteral("Pop"));
    auto item = [this](const QString &caption, const char *name) {
        QAction *a = Pop->addAction(caption);
        a->setObjectName(QLatin1String(name));
        return a;
    };
    S100 = item(QStringLiteral("&100%"), "S100");
    S150 = item(QStringLiteral("&150%"), "S150");
    S200 = item(QStringLiteral("&200%"), "S200");
    S250 = item(QStringLiteral("&250%"), "S250");
    S300 = item(QStringLiteral("&300%"), "S300");
    Custom = item(QStringLiteral("Custom"), "Custom");
    Pop->addSeparator();
    ShowSize = item(QStringLiteral("Show size"), "ShowSize");
    FullWidth = item(QStringLiteral("Width"), "FullWidth");
    FullHeight = item(QStringLiteral("Height"), "FullHeight");
    FullSize = item(QStringLiteral("Maximised"), "FullSize");
    FullSize->setCheckable(true);
    Special = item(QStringLiteral("Special"), "Special");
    Pop->addSeparator();
    ExitM = item(QStringLiteral("E&xit"), "ExitM");
    for (QAction *zoomItem : {S100, S150, S200, S250, S300, Custom})
        connect(zoomItem, &QAction::triggered, this, [this, zoomItem] { SizeClick(zoomItem); });
    connect(ShowSize, &QAction::triggered, this, &TFull::ShowSizeClick);
    connect(FullWidth, &QAction::triggered, this, &TFull::FullWidthClick);
    connect(FullHeight, &QAction::triggered, this, &TFull::FullHeightClick);
    connect(FullSize, &QAction::triggered, this, &TFull::FullSizeClick);
    connect(Special, &QAction::triggered, this, &TFull::SpecialClick);
    connect(ExitM, &QAction::triggered, this, &TFull::ExitMClick);
    connect(Pop, &QMenu::aboutToShow, this, &TFull::Popup);
    FullText->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(FullText, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { Pop->popup(FullText->mapToGlobal(at)); });

    Timer = new QTimer(this);
    Timer->setObjectName(QStringLiteral("Timer"));
    Timer->setInterval(100);
    connect(Timer, &QTimer::timeout, this, &TFull::ShowMins);
    VolTimer = new QTimer(this);
    VolTimer->setObjectName(QStringLiteral("VolTimer"));
    VolTimer->setInterval(100);
    connect(VolTimer, &QTimer::timeout, this, &TFull::VTimer);
    SpeedTimer = new QTimer(this);
    SpeedTimer->setObjectName(QStringLiteral("SpeedTimer"));
    SpeedTimer->setInterval(100);
    connect(SpeedTimer, &QTimer::timeout, this, &TFull::STimer);

    // Press and hold: the timer runs from press to release.
    auto hold = [this](QToolButton *button, HeldButton which, bool volume) {
        connect(button, &QToolButton::pressed, this, [this, which, volume] {
            if (volume) {
                VolumeButton = which;
                VTimer();
                VolTimer->start();
            } else {
                SpeedButton = which;
                STimer();
                SpeedTimer->start();
            }
        });
        connect(button, &QToolButton::released, this, [this, volume] {
            if (volume) VolumeButton = HeldButton::None;
            else SpeedButton = HeldButton::None;
        });
    };
    hold(VolUp, HeldButton::Up, true);
    hold(VolDown, HeldButton::Down, true);
    hold(SpeedUp, HeldButton::Up, false);
    hold(SpeedDown, HeldButton::Down, false);
    connect(VolVal, &QLineEdit::textEdited, this, &TFull::VolValChange);
    connect(SpeedVal, &QLineEdit::textChanged, this, &TFull::SpeedValChange);
    // A drag seeks once, on release; a key or a click on the groove at once.
    connect(TrackBar, &QSlider::sliderReleased, this, &TFull::TrackBarChange);
    connect(TrackBar, &QSlider::valueChanged, this, [this] {
        if (!TrackBar->isSliderDown()) TrackBarChange();
    });
    connect(TrackBar, &QSlider::sliderPressed, this, [] { SeekDragging = true; });
    ClosePanel->installEventFilter(this);
    SHPanel->installEventFilter(this);
    TrackBar->installEventFilter(this);

    // Creation: the volume shown, click zones on a touch screen or in Debug
    // mode, the window's size, the clock.
    VolVal->setText(VolumeText(qBound(0, ReadSetting(System, QStringLiteral("Volume"), 100), 100)));
    TouchMode = TouchDevicePresent() || OptionChecked(QStringLiteral("Debug"));
    zoom = StoredZoom(ReadSetting(QStringLiteral("User"), QStringLiteral("Zoom"), 100));
    FullText->setZoom(zoom / 100.0);
    QFont timeFont = TimeLab->font();
    timeFont.setPointSize(std::max(TimeLabelPoints(zoom), 6));
    TimeLab->setFont(timeFont);

    // Maintainer mode: the technique notes of the local copy of the site.
    if (AuthorMode) {
        Technique = TechniqueIndex(MaintainerFolder() + QStringLiteral("Site/"));
        if (OptionChecked(QStringLiteral("Debug"))) {
            try {
                WriteTextFile(QDir::current().filePath(QStringLiteral("Temp.txt")), TechniqueIndexText(Technique));
                OpenDocument(QDir::current().filePath(QStringLiteral("Temp.txt")));
            } catch (const std::exception &e) {
                WriteLog(QString::fromStdString(e.what()));
            }
        }
    }
    NotesPnl->installEventFilter(this);

    FullScreenPlayback.stopped = [this] {
        const QSignalBlocker quiet(TrackBar);
        TrackBar->setValue(0);
    };
    FullScreenPlayback.started = [this] {
        VTimer();
        SpeedValChange();
    };
}

TFull::~TFull() {
    FullScreenPlayback = {};
    if (Full == this) Full = nullptr;
}

// ---- running ------------------------------------------------------------------------

void TFull::PrepareNormal() {
    notesSource = nullptr;
    FullText->setReadOnly(true);
    // Each run starts with the text alone; the kept window may have shown more.
    for (QWidget *w : std::initializer_list<QWidget *>{HPanel, ClosePanel, SpeedBox, VolBox, TrackBar}) w->hide();
    SequenceMode = SwapShown = NotesJumped = Fading = false;
    formShown = false;
    SetScreen();
}

void TFull::PrepareNotes(QPlainTextEdit *memo) {
    notesSource = memo;
    SequenceMode = SwapShown = NotesJumped = Fading = false;
    formShown = false;
    SetScreen();
}

void TFull::RunNormal() {
    PrepareNormal();
    Timer->start();
    exec();
    Timer->stop();
}

void TFull::RunNotes(QPlainTextEdit *memo) {
    PrepareNotes(memo);
    exec();
    notesSource = nullptr;
}

void TFull::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (!formShown) {
        formShown = true;
        FormShow();
    }
}

void TFull::reject() {
    // Esc is the display's own key; closing goes through ExitMClick.
}

void TFull::FormShow() {
    setPalette(QPalette());
    if (notesSource) {
        setWindowTitle(QStringLiteral("Notes - full-screen"));
        FullText->setReadOnly(false);
        FullText->setRtf(NotesViewRtf(notesSource->toPlainText()));
        FullText->setSelStart(0);
        FullText->setFocus();
        for (QWidget *w : std::initializer_list<QWidget *>{BFPanel, InitPnl, SpeedBox, VolBox, TrackBar, ClosePanel, TimePnl})
            w->hide();
        LayOutPanels();
        return;
    }
    MainWindowLink &main = TheMainWindow();
    if (main.FoldersPageSaved()) {
        ShowControls(true);
        TrackBar->hide();
        ClosePanel->show();
        // A file plays alone: the panels of a square sequence called earlier
        // stay hidden (the sequence itself waits for the programme again).
        BFPanel->hide();
        InitPnl->hide();
        const QString name = PlayFile.mid(PlayFile.lastIndexOf(QRegularExpression(QStringLiteral("[\\\\/]"))) + 1);
        // The caption names what plays, not what an earlier run showed.
        setWindowTitle(name + QStringLiteral(" - full-screen"));
        FullText->clear();
        QTextCharFormat format;
        format.setFontPointSize(24);
        format.setForeground(QColor(0x80, 0x00, 0x80));
        QTextCursor(FullText->document()).insertText(QStringLiteral("  ") + name, format);
        ShowText(FullText->rtf(), Qt::white);
    } else {
        ShowItem();
    }
    SHPanel->setVisible(!CdTrack);
    ShowNumLock(OptionChecked(QStringLiteral("NumLock")) && KeyState::isToggled(StateKey::NumLock));
    VTimer();
    SpeedValChange();
    FullText->setFocus();
    LayOutPanels();
}

// ---- the item -----------------------------------------------------------------------

void TFull::ShowText(const QString &rtf, const QColor &background) {
    QPalette palette = FullText->palette();
    palette.setColor(QPalette::Base, background);
    FullText->setPalette(palette);
    QPalette own = this->palette();
    own.setColor(QPalette::Window, background);
    setPalette(own);
    FullText->setRtf(rtf);
    FullText->setSelStart(0);
    FullText->verticalScrollBar()->setValue(0);
}

void TFull::ShowItem(bool fromStep) {
    MainWindowLink &main = TheMainWindow();
    const QList<ProgrammeItem> items = main.ProgrammeItems();
    const int current = ThisIndex;
    NotesJumped = false;
    if (current < 0 || current >= items.size()) {
        ShowText(QString(), Qt::white);
        return;
    }
    const ProgrammeItem &row = items[current];
    if (!row.isDance()) {
        NotesPnl->hide();
        Sequence = SquareSequence();
        BFPanel->hide();
        InitPnl->hide();
        if (main.DancesPageSaved()) return;
        setWindowTitle(QStringLiteral("Notes - full-screen"));
        const QString text = NotesRowText(row.text, main.ShownField(QStringLiteral("Org")),
                                          main.ShownField(QStringLiteral("ETime")),
                                          main.ShownField(QStringLiteral("Band")));
        QTextDocument doc;
        QTextCharFormat format;
        format.setFontPointSize(16);
        format.setFontWeight(QFont::Bold);
        format.setForeground(QColor(0x00, 0x00, 0xA0));
        QTextCursor cursor(&doc);
        const QStringList lines = text.split(QStringLiteral("\r\n"));
        for (int i = 0; i < lines.size(); ++i) {
            if (i) cursor.insertBlock();
            cursor.insertText(lines[i], format);
        }
        FullText->clear();
        FullText->document()->setDefaultFont(doc.defaultFont());
        QTextCursor(FullText->document()).insertFragment(QTextDocumentFragment(&doc));
        ShowText(FullText->rtf(), NotesBackground);
        return;
    }
    if (row.key.Title.isEmpty()) {
        NotesPnl->hide();
        setWindowTitle(QStringLiteral("[Blank Dance]"));
        // The frameless window shows no caption: the text says it.
        ShowText(QString(), Qt::white);
        FullText->setPlainText(QStringLiteral("[Blank Dance]"));
        ShowControls(false);
        return;
    }

    // The square or longways block danced without a walk-through.
    if (!fromStep) {
        const QString message = Sequence.Initialise(items, current);
        if (!message.isEmpty()) OKHelpCancel(message, 57552);
    }
    BFPanel->setVisible(Sequence.active());
    if (Sequence.active()) BFPanel->setText(Sequence.PanelText(items, current));
    InitPnl->setVisible(Sequence.initialisedShown(current));

    bool swap = false;
    if (fromStep) swap = Sequence.SwapDue();
    else if (SequenceMode) swap = !SwapShown;
    SequenceMode = false;
    SwapShown = swap;

    // 1. The dance on the main window (its title line goes in while the
    // display shows).
    main.ShowSelectedDance();
    FullTextInput in;
    RichEdit *instructions = main.InstructionsControl();
    in.instructions = instructions ? instructions->rtf() : QString();
    in.zoom = zoom;
    in.isBreak = main.ShownField(QStringLiteral("Style")) == QLatin1String("Break");
    if (main.PlayPanelShown()) {
        const QString line = RecordingLine(main.ShownField(QStringLiteral("Music")), ProgrammeSeparator,
                                           std::max(row.recording, 1));
        const QStringList keys = IniFile ? IniFile->ReadSection(QStringLiteral("Recorded")) : QStringList();
        const QStringList columns = line.split(ProgrammeSeparator);
        for (int i = 0; i < keys.size() && i < columns.size(); ++i) in.recording.append({keys[i], columns[i]});
    }
    in.notes = ExpandMainNotes(main.ShownField(QStringLiteral("Notes")), CatalogueMainDance(Conn));
    in.genderFree = OptionChecked(QStringLiteral("Gender"));
    if (IniFile) {
        in.man = IniFile->ReadString(System, QStringLiteral("Man"), QStringLiteral("Lark"));
        in.woman = IniFile->ReadString(System, QStringLiteral("Woman"), QStringLiteral("Raven"));
    }
    in.swap = swap;
    in.title = main.ShownField(QStringLiteral("Title"));
    const FullTextResult result = DanceFullText(in);
    setWindowTitle(main.ShownField(QStringLiteral("Title")) + QStringLiteral(" - full-screen"));
    NotesPnl->setVisible(!TechniqueFor(Technique, main.ShownField(QStringLiteral("Title"))).isEmpty());
    ShowText(result.rtf, swap ? NotesBackground : QColor(Qt::white));
    DrawFractions(FullText->document());
    FullText->document()->setModified(false);
    if (result.unmatchedQuotes) {
        QuoteMsg->adjustSize();
        QuoteMsg->move((width() - QuoteMsg->width()) / 2, height() / 3);
        QuoteMsg->show();
        QuoteMsg->raise();
        QTimer::singleShot(1500, QuoteMsg, &QWidget::hide);
    }
    LayOutPanels();
}

// ---- keys ---------------------------------------------------------------------------

bool TFull::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::KeyPress && (watched == FullText || watched == FullText->viewport())) {
        if (FormShortcut(static_cast<QKeyEvent *>(event))) return true;
    } else if (event->type() == QEvent::KeyRelease) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Control && !key->isAutoRepeat() && ctrlAlone) {
            ctrlAlone = false;
            SeekToMark();
            return true;
        }
    } else if (event->type() == QEvent::MouseButtonPress) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (watched == FullText->viewport()) MDown(mouse);
        else if (watched == ClosePanel && mouse->button() == Qt::LeftButton) ExitMClick();
        else if (watched == SHPanel && mouse->button() == Qt::LeftButton) ToggleControls();
        else if (watched == NotesPnl && mouse->button() == Qt::LeftButton) NotesPnlClick();
        else if (watched == TrackBar) SeekDragging = true;
    } else if (event->type() == QEvent::FocusIn && watched == TrackBar) {
        SeekDragging = true;
    } else if (event->type() == QEvent::MouseButtonDblClick && watched == FullText->viewport()) {
        // On the shown text a link under the pointer is followed as in the notes.
        if (!FullText->isReadOnly()) return QDialog::eventFilter(watched, event);
        FullDblClick(static_cast<QMouseEvent *>(event));
        return true;
    } else if (event->type() == QEvent::Wheel && watched == FullText->viewport()) {
        auto *wheel = static_cast<QWheelEvent *>(event);
        FullText->verticalScrollBar()->triggerAction(wheel->angleDelta().y() < 0 ? QAbstractSlider::SliderSingleStepAdd
                                                                                : QAbstractSlider::SliderSingleStepSub);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TFull::keyPressEvent(QKeyEvent *event) {
    if (!FormShortcut(event)) QDialog::keyPressEvent(event);
}

bool TFull::FormShortcut(QKeyEvent *event) {
    const int key = event->key();
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    if (key == Qt::Key_Control) {
        // Ctrl alone seeks to the mark when it is let go with nothing between.
        ctrlAlone = Playing && !event->isAutoRepeat();
        return false;
    }
    ctrlAlone = false;
    if (key == Qt::Key_NumLock || key == Qt::Key_CapsLock) {
        TheMainWindow().LockKeys(key);
        return false;
    }
    if (notesSource) {
        if (key != Qt::Key_Escape) return false;
        notesSource->setPlainText(FullText->document()->toPlainText());
        notesSource->document()->setModified(true);
        ExitMClick();
        return true;
    }
    MainWindowLink &main = TheMainWindow();
    const bool folders = main.FoldersPageSaved();
    bool taken = true;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        main.PlayOrStop();
        break;
    case Qt::Key_Escape:
        if (Playing) Fading = true;
        else if (HPanel->isVisible()) HPanel->hide();
        else ExitMClick();
        break;
    case Qt::Key_F1:
        HPanel->setVisible(!HPanel->isVisible());
        LayOutPanels();
        break;
    default:
        taken = false;
    }
    if (!taken && !folders) {
        taken = true;
        const QList<ProgrammeItem> items = main.ProgrammeItems();
        QScrollBar *bar = FullText->verticalScrollBar();
        switch (key) {
        case Qt::Key_Space:
            if (Sequence.active()) {
                const int next = Sequence.Step(items, ThisIndex);
                if (next != ThisIndex) main.SelectProgrammeRow(next);
                ShowItem(true);
            } else if (ThisIndex >= 0 && ThisIndex < items.size() && items[ThisIndex].isDance() &&
                       items[ThisIndex].key.Format.contains(QLatin1String("Square"))) {
                SequenceMode = true;
                ShowItem();
            } else {
                taken = false;
            }
            break;
        case Qt::Key_Left:
        case Qt::Key_Right:
            main.StepProgrammeDance(key == Qt::Key_Right ? 1 : -1);
            SwapShown = false;
            ShowItem();
            break;
        case Qt::Key_Home:
        case Qt::Key_End:
            if (ctrl) {
                if (items.isEmpty()) break;
                main.SelectProgrammeRow(key == Qt::Key_Home ? 0 : int(items.size()) - 1);
                ShowItem();
            } else {
                bar->setValue(key == Qt::Key_Home ? bar->minimum() : bar->maximum());
            }
            break;
        case Qt::Key_Up:
        case Qt::Key_Down:
            if (ctrl) {
                const int step = key == Qt::Key_Down ? 1 : -1;
                for (int i = ThisIndex + step; i >= 0 && i < items.size(); i += step)
                    if (items[i].isHeading() && IsSessionHeading(items[i].text)) {
                        main.SelectProgrammeRow(i);
                        ShowItem();
                        break;
                    }
            } else {
                bar->triggerAction(key == Qt::Key_Down ? QAbstractSlider::SliderSingleStepAdd
                                                       : QAbstractSlider::SliderSingleStepSub);
            }
            break;
        case Qt::Key_F9: {
            NotesJumped = !NotesJumped;
            const int at = FullText->document()->toPlainText().indexOf(QLatin1String("________"));
            if (NotesJumped && at >= 0) ScrollTo(at);
            else bar->setValue(bar->minimum());
            break;
        }
        case Qt::Key_F11:
        case Qt::Key_F12:
            StepHeading(key == Qt::Key_F12);
            break;
        default:
            taken = false;
        }
    }
    if (taken) {
        UpdateHeader();
        main.LockKeys(key);
    }
    return taken;
}

void TFull::ScrollTo(int textPos) {
    QScrollBar *bar = FullText->verticalScrollBar();
    const QTextBlock block = FullText->document()->findBlock(textPos);
    if (!block.isValid()) return;
    const QRectF rect = FullText->document()->documentLayout()->blockBoundingRect(block);
    bar->setValue(std::min(int(rect.top()), bar->maximum()));
}

void TFull::StepHeading(bool forward) {
    const QString plain = FullText->document()->toPlainText();
    const int top = FullText->cursorForPosition(QPoint(0, 0)).position();
    const int target = HeadingTarget(plain, top, forward);
    if (target < 0) return;
    if (target == 0) FullText->verticalScrollBar()->setValue(0);
    else ScrollTo(target);
}

// ---- the clock ----------------------------------------------------------------------

void TFull::ShowMins() {
    if (Fading) {
        const int stored = qBound(0, ReadSetting(System, QStringLiteral("Volume"), 100), 100);
        const FadeStep step = FadeTick(TypedVolume(VolVal->text()), stored);
        VolVal->setText(VolumeText(step.volume));
        if (step.finished) {
            Fading = false;
            if (Playing) TheMainWindow().PlayOrStop();
        } else if (TMyPlayer *player = TheMainWindow().MediaPlayer()) {
            player->SetVolume(step.volume);
        }
    }
    MainWindowLink &main = TheMainWindow();
    const QList<ProgrammeItem> items = main.ProgrammeItems();
    if (items.isEmpty() && !main.FoldersPageSaved()) return;
    const SessionTimes times = SessionTimesFor(main.ShownField(QStringLiteral("ETime")), items, ThisIndex);
    const TimePanel panel = TimePanelFor(main.ShownEventDate(), times, MinuteOfDay(Now()), Today());
    if (!NotesJumped) {
        TimeLab->setText(panel.text);
        TimePnl->setVisible(!panel.text.isEmpty());
        TimePnl->adjustSize();
    }
    if (HPanel->isVisible()) {
        const QString item = ThisIndex >= 0 && ThisIndex < items.size()
                                 ? (items[ThisIndex].isDance() ? items[ThisIndex].key.Title : items[ThisIndex].text)
                                 : QString();
        setWindowTitle(HeaderLine(item, times, panel.now));
    }
    LayOutPanels();
}

void TFull::UpdateHeader() {
    if (!HPanel->isVisible()) return;
    MainWindowLink &main = TheMainWindow();
    const QList<ProgrammeItem> items = main.ProgrammeItems();
    H1->setText(HeaderTimes(SessionTimesFor(main.ShownField(QStringLiteral("ETime")), items, ThisIndex)));
    H2->setText(HeaderBand(main.ShownField(QStringLiteral("Band"))));
    H3->setText(HeaderPause(items, ThisIndex));
    const bool dance = ThisIndex >= 0 && ThisIndex < items.size() && items[ThisIndex].isDance();
    H4->setText(dance ? HeaderCalled(main.ShownField(QStringLiteral("Called")), main.ShownField(QStringLiteral("KeySig")))
                      : QString());
    QFont font = HPanel->font();
    font.setPointSize(std::max(10 * zoom / 100, 6));
    for (QLabel *h : {H1, H2, H3, H4}) h->setFont(font);
    HPanel->adjustSize();
}

void TFull::LayOutPanels() {
    const int right = width() - 25;
    int y = 10;
    if (HPanel->isVisible()) {
        UpdateHeader();
        HPanel->setGeometry(0, 0, width(), HPanel->sizeHint().height());
        y = HPanel->height() + 10;
    }
    const int top = HPanel->isVisible() ? HPanel->height() : 0;
    const int bottom = TrackBar->isVisible() ? 40 : 0;
    FullText->setGeometry(0, top, width(), height() - top - bottom);
    ClosePanel->move(width() - ClosePanel->width() - 4, y - 6 < 4 ? 4 : y - 6);
    if (ClosePanel->isVisible()) y += ClosePanel->height() + 4;
    for (QWidget *panel : std::initializer_list<QWidget *>{TimePnl, BFPanel, InitPnl, NotesPnl}) {
        if (!panel->isVisible()) continue;
        panel->adjustSize();
        panel->move(right - panel->width(), y);
        panel->raise();
        y += panel->height() + 6;
    }
    NumLock->adjustSize();
    NumLock->move((width() - NumLock->width()) / 2, 10);
    NumLock->raise();
    const int low = height() - 40;
    TrackBar->setGeometry(10, low + 8, width() - 20, 24);
    SpeedBox->move(10, low - SpeedBox->height() - 4);
    VolBox->move(SpeedBox->x() + SpeedBox->width() + 10, SpeedBox->y());
    SHPanel->adjustSize();
    SHPanel->move(right - SHPanel->width(), (TrackBar->isVisible() ? low : height()) - SHPanel->height() - 4);
    for (QWidget *w : std::initializer_list<QWidget *>{SpeedBox, VolBox, TrackBar, SHPanel, ClosePanel}) w->raise();
}

void TFull::resizeEvent(QResizeEvent *event) {
    QDialog::resizeEvent(event);
    LayOutPanels();
}

// ---- controls -----------------------------------------------------------------------

void TFull::ApplyZoom(int value) {
    zoom = StoredZoom(value);
    FullText->setZoom(zoom / 100.0);
    WriteSetting(QStringLiteral("User"), QStringLiteral("Zoom"), zoom);
    QFont font = TimeLab->font();
    font.setPointSize(std::max(TimeLabelPoints(zoom), 6));
    TimeLab->setFont(font);
    // The notes divider's length follows the zoom.
    if (!notesSource && isVisible() && !TheMainWindow().FoldersPageSaved()) ShowItem();
    LayOutPanels();
}

void TFull::SizeClick(QAction *item) {
    Custom->setText(QStringLiteral("Custom"));
    int value = 0;
    if (item == Custom) {
        QString text = QString::number(zoom);
        if (!InputQuery(QStringLiteral("Zoom"), QStringLiteral("Enter Zoom value"), text)) return;
        value = TypedZoom(text);
        if (value < 1) {
            ShowMsg(QStringLiteral("Zoom must be a whole number of 1 or more."));
            return;
        }
        Custom->setText(QStringLiteral("Custom: ") + QString::number(value));
    } else {
        value = ZoomFromCaption(item->text());
    }
    if (value >= 1) ApplyZoom(value);
}

void TFull::ShowSizeClick() {
    const QFont font = FullText->document()->defaultFont();
    const int pixels = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
    ShowMsg(ShowSizeText(FullText->viewport()->height(), std::max(int(pixels / FullText->zoom()), 1), zoom));
}

void TFull::Popup() {
    const QRect screen = this->screen() ? this->screen()->geometry() : QRect(0, 0, 1280, 800);
    FullWidth->setText(WidthCaption(ReadSetting(System, QStringLiteral("FullWidth"), 0), screen.width()));
    FullHeight->setText(HeightCaption(ReadSetting(System, QStringLiteral("FullHeight"), 0), screen.height()));
    FullSize->setChecked(IniFile ? IniFile->ReadBool(System, QStringLiteral("FullSize"), true) : true);
}

namespace {

// Asks for a stored window size; 0 stores the screen's.
bool AskScreenSize(const QString &key, const QString &prompt, int screenValue) {
    QString text = QString::number(ReadSetting(System, key, 0));
    if (!InputQuery(key == QLatin1String("FullWidth") ? QStringLiteral("Width") : QStringLiteral("Height"), prompt, text))
        return false;
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < 0) {
        ShowMsg(QStringLiteral("Non-numeric value specified."));
        return false;
    }
    WriteSetting(System, key, value == 0 ? screenValue : value);
    return true;
}

} // namespace

void TFull::FullWidthClick() {
    const QRect screen = this->screen() ? this->screen()->geometry() : QRect(0, 0, 1280, 800);
    if (AskScreenSize(QStringLiteral("FullWidth"), QStringLiteral("Enter width of screen, or 0 for default"), screen.width()))
        SetScreen();
}

void TFull::FullHeightClick() {
    const QRect screen = this->screen() ? this->screen()->geometry() : QRect(0, 0, 1280, 800);
    if (AskScreenSize(QStringLiteral("FullHeight"), QStringLiteral("Enter height of screen, or 0 for default"), screen.height()))
        SetScreen();
}

void TFull::FullSizeClick() {
    const bool on = IniFile ? IniFile->ReadBool(System, QStringLiteral("FullSize"), true) : true;
    if (IniFile) IniFile->WriteBool(System, QStringLiteral("FullSize"), !on);
    SetScreen();
}

void TFull::SetScreen() {
    SwapShown = false;
    const bool fullSize = IniFile ? IniFile->ReadBool(System, QStringLiteral("FullSize"), true) : true;
    FullSize->setChecked(fullSize);
    QScreen *screen = parentWidget() && parentWidget()->screen() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1280, 800);
    const int w = ReadSetting(System, QStringLiteral("FullWidth"), 0);
    const int h = ReadSetting(System, QStringLiteral("FullHeight"), 0);
    if (ScreenMaximised(fullSize, w, h, area.width(), area.height())) {
        setGeometry(area);
        setWindowState(windowState() | Qt::WindowMaximized);
    } else {
        setWindowState(windowState() & ~Qt::WindowMaximized);
        setGeometry(area.x() + (area.width() - w) / 2, area.y() + (area.height() - h) / 2, w, h);
    }
    LayOutPanels();
}

void TFull::VTimer() {
    int v = TypedVolume(VolVal->text());
    if (VolumeButton != HeldButton::None) {
        v = VolumeTick(v, VolumeButton);
        VolVal->setText(VolumeText(v));
        WriteSetting(System, QStringLiteral("Volume"), v);
    } else {
        VolTimer->stop();
    }
    if (Playing)
        if (TMyPlayer *player = TheMainWindow().MediaPlayer()) player->SetVolume(v);
}

void TFull::VolValChange() {
    bool ok = false;
    VolVal->text().trimmed().toInt(&ok);
    const int v = TypedVolume(VolVal->text());
    if (!ok || VolumeText(v).trimmed() != VolVal->text().trimmed()) VolVal->setText(ok ? QString::number(v) : QStringLiteral("100"));
    WriteSetting(System, QStringLiteral("Volume"), v);
    VTimer();
}

void TFull::STimer() {
    if (SpeedButton == HeldButton::None) {
        SpeedTimer->stop();
        return;
    }
    const int v = SpeedTick(TypedSpeed(SpeedVal->text()), SpeedButton);
    SpeedVal->setText(QString::number(v)); // the change applies it
}

void TFull::SpeedValChange() {
    const QString text = SpeedVal->text();
    Speed = TypedSpeed(text);
    if (!text.isEmpty() && text.trimmed() != QString::number(Speed)) {
        const QSignalBlocker quiet(SpeedVal);
        SpeedVal->setText(QString::number(Speed));
    }
    WriteSetting(System, QStringLiteral("Speed"), Speed);
    if (Playing)
        if (TMyPlayer *player = TheMainWindow().MediaPlayer()) player->SetSpeed(Speed * 10);
}

void TFull::TrackBarChange() {
    if (QGuiApplication::mouseButtons() & Qt::LeftButton) return;
    TMyPlayer *player = TheMainWindow().MediaPlayer();
    if (!Playing || !player || !player->IsOpen()) return;
    if (player->GetTimeFormat() != 0) AbortMsg(QStringLiteral("Unexpected time format - please contact Vellam Orrisk."));
    player->Seek(SeekMilliseconds(TrackBar->value(), TotalSeconds, Speed));
    player->Play();
}

void TFull::SetTrackPosition(int percent) {
    if (SeekDragging || TrackBar->isSliderDown()) return;
    const QSignalBlocker quiet(TrackBar);
    TrackBar->setValue(percent);
}

void TFull::SeekToMark() {
    TMyPlayer *player = TheMainWindow().MediaPlayer();
    if (!Playing || !player || !player->IsOpen()) return;
    const qint64 mark = IniFile ? IniFile->ReadInt64(QStringLiteral("Recordings"), MarkKey(PlayFile, BaseFolder), 0) : 0;
    player->Seek(mark);
    SeekDragging = true;
    player->Play();
}

void TFull::ShowControls(bool on) {
    for (QWidget *w : std::initializer_list<QWidget *>{SpeedBox, VolBox, TrackBar}) w->setVisible(on);
    LayOutPanels();
}

void TFull::ToggleControls() {
    ClosePanel->setVisible(!ClosePanel->isVisible());
    ShowControls(!SpeedBox->isVisible() && !CdTrack && TheMainWindow().PlayPanelShown());
}

void TFull::FullDblClick(QMouseEvent *event) {
    const int caret = FullText->cursorForPosition(event->position().toPoint()).position();
    // The display shows the notes' straight quotes curly; a local link is
    // read with the quotes it was written with (one character each way).
    QString text = FullText->toPlainText();
    text.replace(QChar(0x201C), QLatin1Char('"')).replace(QChar(0x201D), QLatin1Char('"'));
    TheMainWindow().FollowNoteLinkAt(text, caret);
}

void TFull::MDown(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton || notesSource || TheMainWindow().FoldersPageSaved()) return;
    const QPoint at = FullText->viewport()->mapTo(this, event->position().toPoint());
    if (TouchMode && (at.x() > width() * 3 / 4 || at.x() < width() / 4)) {
        TheMainWindow().StepProgrammeDance(at.x() > width() / 2 ? 1 : -1);
        SwapShown = false;
        ShowItem();
        return;
    }
    if (TouchMode && (at.y() > height() * 3 / 4 || at.y() < height() / 4)) {
        FullText->verticalScrollBar()->triggerAction(at.y() > height() / 2 ? QAbstractSlider::SliderPageStepAdd
                                                                          : QAbstractSlider::SliderPageStepSub);
        return;
    }
    ToggleControls();
}

void TFull::ExitMClick() {
    Timer->stop();
    Fading = false;
    done(QDialog::Accepted);
    hide();
}

void TFull::SpecialClick() {
    ShowSpecialChars(this, [this](const QString &caption) { SBClick(caption); });
}

void TFull::SBClick(const QString &caption) {
    FullText->textCursor().insertText(caption);
    FullText->setFocus();
    HideSpecialChars();
}

void TFull::NotesPnlClick() {
    const QString title = TheMainWindow().ShownField(QStringLiteral("Title"));
    const QList<TechniqueEntry> matches = TechniqueFor(Technique, title);
    if (matches.isEmpty()) return ShowMsg(QStringLiteral("Notes not found!"));
    const QString file = TempFolder + QStringLiteral("Technique.htm");
    SavePageFile(file, TechniquePage(title, matches));
    // The opener gives no error code; 0 stands for "unknown".
    if (!CurrentDocumentOpener().open(QUrl::fromLocalFile(file)))
        ShowMsg(QStringLiteral("Cannot run default browser.  Error code ") + QString::number(0));
}

void TFull::ResetSpeed() {
    ShowControls(false);
    SpeedVal->setText(QStringLiteral("100"));
}

void TFull::ShowNumLock(bool on) {
    NumLock->setVisible(on);
    LayOutPanels();
}

// ---- the program's entry points -----------------------------------------------------

TFull &FullWindow(QWidget *owner) {
    if (!Full) Full = new TFull(owner);
    return *Full;
}

bool FullScreenShowing() { return Full && Full->isVisible(); }

void RunFullScreen(QWidget *owner) { FullWindow(owner).RunNormal(); }

void RunNotesView(QPlainTextEdit *memo, QWidget *owner) {
    if (!memo || FullScreenShowing()) return;
    FullWindow(owner).RunNotes(memo);
}

void ResetFullScreenSpeed() {
    if (Full) Full->ResetSpeed();
}

void ShowFullScreenNumLock(bool on) {
    if (Full) Full->ShowNumLock(on);
}

void SetFullScreenTrackBar(int percent) {
    if (FullScreenShowing()) Full->SetTrackPosition(percent);
}
