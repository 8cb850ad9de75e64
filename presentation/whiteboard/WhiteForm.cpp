#include "presentation/whiteboard/WhiteForm.h"

#include "base/AppState.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "base/TextRoutines.h"
#include "core/dialogs/AskNumber.h"
#include "core/services/CopyData.h"
#include "core/services/Help.h"
#include "core/services/ShellRoutines.h"
#include "core/startup/Settings.h"
#include "platform/ini/IniFile.h"
#include "platform/net/Fetch.h"
#include "platform/picture/Picture.h"
#include "presentation/whiteboard/DancerPictures.h"
#include "presentation/whiteboard/LibForm.h"
#include "presentation/whiteboard/WhiteboardLibrary.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace {

TWhiteForm *openForm = nullptr;

const QString kWhite = QStringLiteral("background: white; font: bold 13px Verdana;");
const QString kLime = QStringLiteral("background: lime; font: bold 13px Verdana;");
const QString kPrompt = QStringLiteral("Description...");

QString sectionOf(const QString &name) { return QStringLiteral("%") + name; }

} // namespace

TWhiteForm *OpenWhiteboard() { return openForm; }

// ---- image buttons ---------------------------------------------------------------------------

TImageButton::TImageButton(const QString &name, const QString &hint, QWidget *parent) : QLabel(parent) {
    setObjectName(name);
    setToolTip(hint);
    setFixedSize(30, 30);
    setAlignment(Qt::AlignCenter);
    showImage(name);
}

void TImageButton::showImage(const QString &imageName) {
    if (shownImage == imageName) return;
    shownImage = imageName;
    setPixmap(QPixmap::fromImage(ControlImage(imageName)));
}

void TImageButton::mousePressEvent(QMouseEvent *e) {
    if (e->button() == Qt::LeftButton && onClick) onClick();
    if (e->button() == Qt::RightButton && onRightClick) onRightClick();
}

// ---- the window ------------------------------------------------------------------------------

TWhiteForm::TWhiteForm(QWidget *parent, AnimationClock *clock) : QDialog(parent) {
    openForm = this;
    setObjectName(QStringLiteral("WhiteForm"));
    setWindowTitle(QStringLiteral("Whiteboard"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setModal(true);
    QFont f(QStringLiteral("Verdana"));
    f.setPixelSize(13);
    f.setBold(true);
    setFont(f);
    if (!clock) {
        ownClock = std::make_unique<QtAnimationClock>([this] { OnTimer(); });
        clock = ownClock.get();
    }
    playerPtr = std::make_unique<WhiteboardPlayer>(editor, *clock);
    playerPtr->writeReport = [](const QString &text) {
        const QString file = TempFolder + QStringLiteral("Temp.Txt");
        try {
            SaveTextFile(file, text);
            OpenWithEditor(file);
        } catch (const std::exception &e) {
            ShowMsg(QString::fromUtf8(e.what()));
        }
    };

    Board = new TWhiteBoard(editor, this);
    Board->onTurn = [this](int n, int turn) { MyClick(n, turn); };
    Board->onEdited = [this] { refresh(); };
    Board->onRemoveAsked = [this](int) {
        return YesNo(QStringLiteral("Remove from this ") + ItemKind(editor.item, editor.current) +
                     QStringLiteral("?"));
    };
    Board->onEmptyRightClick = [this](QPoint at) { PopupMenu->popup(at); };
    connect(Board->DText, &QPlainTextEdit::textChanged, this, [this] {
        if (!editor.loading && Board->DText->isVisible()) ShowChanged(false);
    });

    DanceName = new QLabel(Board);
    DanceName->setObjectName(QStringLiteral("DanceName"));
    DanceName->setTextFormat(Qt::PlainText);
    DanceName->setStyleSheet(QStringLiteral("color: blue; font-family: Verdana; font-size: 21px;"));
    DanceName->move(10, 4);
    DanceName->resize(420, 30);

    Comment = new QLineEdit(Board);
    Comment->setObjectName(QStringLiteral("Comment"));
    Comment->setFrame(false);
    Comment->move(440, 8);
    Comment->hide();
    Comment->installEventFilter(this);
    connect(Comment, &QLineEdit::textChanged, this, [this] {
        Comment->resize(Comment->fontMetrics().horizontalAdvance(Comment->text()) + 4 + 8,
                        Comment->sizeHint().height());
        if (!editor.loading) ShowChanged(false);
    });

    Lines = new QPlainTextEdit(Board);
    Lines->setObjectName(QStringLiteral("Lines"));
    Lines->setReadOnly(true);
    Lines->setGeometry(20, 90, 700, 300);
    Lines->hide();
    Lines->viewport()->installEventFilter(this);

    // The control panel.
    CPanel = new QWidget(this);
    CPanel->setObjectName(QStringLiteral("CPanel"));
    CPanel->setAutoFillBackground(true);
    CPanel->setStyleSheet(QStringLiteral("#CPanel { background: rgb(235,235,235); }"));
    auto *row = new QHBoxLayout(CPanel);
    row->setContentsMargins(8, 8, 8, 8);
    auto button = [this, row](const char *name, const QString &caption, const QString &hint) {
        auto *b = new QPushButton(caption, CPanel);
        b->setObjectName(QLatin1String(name));
        b->setToolTip(hint);
        b->setFocusPolicy(Qt::NoFocus);
        b->setStyleSheet(kWhite);
        row->addWidget(b);
        return b;
    };
    auto image = [this, row](const char *name, const QString &hint) {
        auto *b = new TImageButton(QLatin1String(name), hint, CPanel);
        row->addWidget(b);
        return b;
    };
    SaveStep = button("SaveStep", QStringLiteral("Save Step"), QString());
    StepNo = new QLineEdit(CPanel);
    StepNo->setObjectName(QStringLiteral("StepNo"));
    StepNo->setToolTip(QStringLiteral("Current step number - you can type here"));
    StepNo->setStyleSheet(QStringLiteral("background: yellow;"));
    StepNo->setFixedWidth(44);
    StepNo->installEventFilter(this);
    row->addWidget(StepNo);
    MaxStepD = new QLabel(CPanel);
    MaxStepD->setObjectName(QStringLiteral("MaxStepD"));
    MaxStepD->setMinimumWidth(50);
    row->addWidget(MaxStepD);
    AddBtn = button("AddBtn", QStringLiteral("+"), QStringLiteral("Add a step after this one"));
    DelBtn = button("DelBtn", QStringLiteral("-"), QStringLiteral("Delete this step.  Right-click to delete range."));
    CancelBtn = button("CancelBtn", QStringLiteral("X"), QStringLiteral("Cancel changes to this step"));
    for (QPushButton *b : {AddBtn, DelBtn, CancelBtn}) b->setFixedWidth(30);
    GoFirst = image("GoFirst", QStringLiteral("Go to first step"));
    GoPrev = image("GoPrev", QStringLiteral("Go to previous step"));
    GoNext = image("GoNext", QStringLiteral("Go to next step"));
    GoLast = image("GoLast", QStringLiteral("Go to last step"));
    row->addSpacing(16);
    Play = image("Play", QStringLiteral("Play current step.  Right-click to play on."));
    PlayAll = image("PlayAll", QStringLiteral("Play all"));
    Stop = image("Stop", QStringLiteral("Stop playing"));
    Stop->showImage(QStringLiteral("NoStop"));
    row->addSpacing(16);
    Save = button("Save", QStringLiteral("Save dance"), QString());
    SaveAs = button("SaveAs", QStringLiteral("Save as..."), QString());
    DelDance = button("DelDance", QStringLiteral("Delete"), QString());
    View = button("View", QStringLiteral("View"), QString());
    row->addStretch();

    connect(SaveStep, &QPushButton::clicked, this, [this] { SaveStepClick(); });
    connect(AddBtn, &QPushButton::clicked, this, [this] { AddBtnClick(); });
    connect(DelBtn, &QPushButton::clicked, this, [this] { DelBtnClick(); });
    DelBtn->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DelBtn, &QWidget::customContextMenuRequested, this, [this] { DelBtnRClick(); });
    connect(CancelBtn, &QPushButton::clicked, this, [this] { CancelBtnClick(); });
    for (TImageButton *g : {GoFirst, GoPrev, GoNext, GoLast}) {
        const QString name = g->objectName();
        g->onClick = [this, name] { GoClick(name); };
    }
    connect(StepNo, &QLineEdit::returnPressed, this, [this] { GoClick(QStringLiteral("StepNo")); });
    connect(StepNo, &QLineEdit::textEdited, this, [this] { StepNoChange(); });
    Play->onClick = [this] { PlayClick(WhiteboardPlayer::Start::Play); };
    PlayAll->onClick = [this] { PlayClick(WhiteboardPlayer::Start::PlayAll); };
    Play->onRightClick = [this] { PlayRClick(false); };
    PlayAll->onRightClick = [this] { PlayRClick(true); };
    Stop->onClick = [this] { StopClick(); };
    connect(Save, &QPushButton::clicked, this, [this] { SaveClick(false); });
    connect(SaveAs, &QPushButton::clicked, this, [this] { SaveClick(true); });
    connect(DelDance, &QPushButton::clicked, this, [this] { DelDanceClick(); });
    connect(View, &QPushButton::clicked, this, [this] { ViewClick(); });

    // The option panel.
    RPanel = new QWidget(this);
    RPanel->setObjectName(QStringLiteral("RPanel"));
    auto *col = new QVBoxLayout(RPanel);
    auto check = [this, col](const char *name, const QString &caption) {
        auto *c = new QCheckBox(caption, RPanel);
        c->setObjectName(QLatin1String(name));
        c->setFocusPolicy(Qt::NoFocus);
        col->addWidget(c);
        return c;
    };
    ShowGrid = check("ShowGrid", QStringLiteral("Grid"));
    Centre = check("Centre", QStringLiteral("Centre"));
    Pauses = check("Pauses", QStringLiteral("Pauses"));
    Slow = check("Slow", QStringLiteral("Slow"));
    connect(ShowGrid, &QCheckBox::toggled, this, [this](bool on) {
        Board->showGrid = on;
        Board->update();
    });
    connect(Centre, &QCheckBox::toggled, this, [this](bool on) {
        Board->circleShown = on;
        Board->update();
    });
    connect(Pauses, &QCheckBox::toggled, this, [this] { syncOptions(); });
    connect(Slow, &QCheckBox::toggled, this, [this] { syncOptions(); });

    // The pop-up menu.
    PopupMenu = new QMenu(this);
    PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    auto item = [this](const char *name, const QString &caption, bool checkable) {
        QAction *a = PopupMenu->addAction(caption);
        a->setObjectName(QLatin1String(name));
        a->setCheckable(checkable);
        return a;
    };
    ExitM = item("ExitM", QStringLiteral("Exit"), false);
    RestoreM = item("Restore", QStringLiteral("Restore"), false);
    LargeM = item("Large", QStringLiteral("Large"), true);
    DescM = item("AddDesc", QStringLiteral("Add Description"), false);
    ImageM = item("ImageM", QStringLiteral("Image"), true);
    TextM = item("TextM", QStringLiteral("Text"), true);
    ImportM = item("Import", QStringLiteral("Import"), false);
    FigureM = item("FigureM", QStringLiteral("Figure"), true);
    HandM = item("Hand", QStringLiteral("Hand cursor"), true);
    DebugM = item("Debug", QStringLiteral("Debug"), true);
    TimingsM = item("Timings", QStringLiteral("Timings"), true);
    connect(ExitM, &QAction::triggered, this, [this] { close(); });
    connect(RestoreM, &QAction::triggered, this, [this] { RestoreClick(); });
    connect(DescM, &QAction::triggered, this, [this] { DescClick(); });
    connect(ImageM, &QAction::triggered, this, [this] { ImageMClick(); });
    connect(TextM, &QAction::triggered, this, [this] { TextMClick(); });
    connect(ImportM, &QAction::triggered, this, [this] { ImportClick(); });
    connect(FigureM, &QAction::triggered, this, [this](bool on) {
        if (editor.current < 1) {
            FigureM->setChecked(false);
            return;
        }
        editor.item.figure = on;
        ShowChanged(false);
    });
    connect(HandM, &QAction::triggered, this, [this] { HandClick(); });
    connect(DebugM, &QAction::toggled, this, [this] { syncOptions(); });
    connect(TimingsM, &QAction::toggled, this, [this] { syncOptions(); });
    auto *helpKey = new QShortcut(QKeySequence::HelpContents, PopupMenu);
    connect(helpKey, &QShortcut::activated, this, [] { OpenHelp(57557); });

    auto *space = new QShortcut(Qt::Key_Space, this);
    connect(space, &QShortcut::activated, this, [this] { FormShortCut(Qt::Key_Space); });
    auto *esc = new QShortcut(Qt::Key_Escape, this);
    connect(esc, &QShortcut::activated, this, [this] { FormShortCut(Qt::Key_Escape); });
    auto *help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, [] { OpenHelp(57555); });

    const QRect screen = QApplication::primaryScreen() ? QApplication::primaryScreen()->geometry()
                                                       : QRect(0, 0, 1280, 800);
    setGeometry(screen);
    setWindowState(Qt::WindowMaximized);
    CPanel->hide();
}

TWhiteForm::~TWhiteForm() {
    if (openForm == this) openForm = nullptr;
}

int TWhiteForm::S(int v) const { return Scaled(v, LargeM->isChecked()); }

void TWhiteForm::resizeEvent(QResizeEvent *) {
    Board->setGeometry(rect());
    CPanel->setGeometry(0, height() - 52, width(), 52);
    RPanel->setGeometry(width() - 100, 60, 100, 130);
    CPanel->raise();
    RPanel->raise();
}

void TWhiteForm::showEvent(QShowEvent *e) {
    QDialog::showEvent(e);
    if (!activated) {
        activated = true;
        FormActivate();
    }
}

// Every way out (Exit, Esc at step 1, closing) comes here: unsaved changes
// are offered for saving first.
void TWhiteForm::reject() {
    if (isVisible()) {
        CheckSave();
        playerPtr->stop();
    }
    QDialog::reject();
}

// A click in the description while it holds the prompt clears it; a click
// in the step number selects it, ready to type over; a click in the lines
// view closes it.
bool TWhiteForm::eventFilter(QObject *watched, QEvent *e) {
    if (e->type() != QEvent::MouseButtonPress) return false;
    if (watched == Comment && Comment->text() == kPrompt) Comment->setText(QString(17, ' '));
    if (watched == StepNo) QTimer::singleShot(0, StepNo, [this] { StepNo->selectAll(); });
    if (watched == Lines->viewport()) {
        ViewClick();
        return true;
    }
    return false;
}

QList<QPushButton *> TWhiteForm::chooserButtons() const { return startButtons + itemButtons; }

// ---- start, chooser, open --------------------------------------------------------------------

void TWhiteForm::FormActivate() {
    CheckIni();
    ResetAll();
    NewOpen(QString());
    HandM->setChecked(IniFile->ReadBool(QStringLiteral("System"), QStringLiteral("Hand"), false));
    Board->setCursor(HandM->isChecked() ? Qt::PointingHandCursor : Qt::ArrowCursor);
    if (!CopyDataText.isEmpty()) ButtonClick(CopyDataText);
}

void TWhiteForm::NewOpen(const QString &mode) {
    Board->circleShown = false;
    Save->setStyleSheet(kWhite);
    SaveStep->setStyleSheet(kWhite);
    qDeleteAll(itemButtons);
    itemButtons.clear();
    QStringList entries;
    int startLeft = 20;
    if (mode.isEmpty()) {
        qDeleteAll(startButtons);
        startButtons.clear();
        entries = {QStringLiteral("Open"), QStringLiteral("New"), QStringLiteral("Figure")};
    } else {
        startLeft = 440;
        const ChooserMode m = mode == QLatin1String("Open") ? ChooserMode::Open
                              : mode == QLatin1String("New") ? ChooserMode::New
                                                             : ChooserMode::Figure;
        entries = ChooserEntries(*IniFile, m);
    }
    const QList<QPoint> places = ChooserPlaces(int(entries.size()), startLeft, Board->width(), LargeM->isChecked());
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QString &name = entries[i];
        auto *b = new QPushButton(Board);
        b->setObjectName(name);
        b->setProperty("item", name);
        b->setFocusPolicy(Qt::NoFocus);
        b->setGeometry(QRect(places[i], QSize(S(130), S(28))));
        b->setStyleSheet(QStringLiteral("QPushButton { background: lime; border: %1px solid black; }")
                             .arg(S(4)));
        QFont font(QStringLiteral("Verdana"));
        font.setPointSize(S(12));
        QString caption = name;
        // The caption must fit inside the border.
        const int room = b->width() - 2 * S(4) - 3;
        if (QFontMetrics(font).horizontalAdvance(caption) >= room) {
            font.setPointSize(S(9));
            if (QFontMetrics(font).horizontalAdvance(caption) >= room) {
                caption = name.left(10) + QStringLiteral("...");
                b->setToolTip(name);
            }
        }
        b->setFont(font);
        b->setText(DoubleAmpersands(caption));
        const bool start = mode.isEmpty();
        // The click opens the name the button keeps, never its caption.
        connect(b, &QPushButton::clicked, this, [this, name, start] { ButtonClick(name, start); });
        b->show();
        (start ? startButtons : itemButtons) << b;
    }
    if (entries.isEmpty())
        OKHelpCancel(QStringLiteral("Nothing found!\rYou can Import Dances, Formations and Figures"), 57558);
}

void TWhiteForm::ButtonClick(const QString &name, bool startScreen) {
    const bool chooser = name == QLatin1String("New") || name == QLatin1String("Open") ||
                         name == QLatin1String("Figure");
    // Only a start-screen click made while a named item is open decides
    // whether figures are added to it.
    if (startScreen && named && !itemName.isEmpty()) {
        addFigureOn = name == QLatin1String("Figure") &&
                      YesNo(QStringLiteral("Do you want to add a figure at this position?"));
    }
    if (name == QLatin1String("New") || name == QLatin1String("Open")) addFigureOn = false;
    if (!addFigureOn) ResetAll();
    if (startScreen && chooser) {
        NewOpen(name);
        return;
    }
    if (addFigureOn) {
        AddFigure(name);
        return;
    }
    openItem(name);
}

void TWhiteForm::openItem(const QString &name) {
    WhiteboardItem item;
    const QString error = ReadWhiteboardItem(*IniFile, name, item);
    if (!error.isEmpty()) {
        ShowMsg(error);
        return;
    }
    addFigureOn = false;
    editor.loading = true;
    CPanel->show();
    itemName = name;
    Board->circleShown = Centre->isChecked();
    DanceName->setText(name);
    WriteLog(QStringLiteral("Whiteboard: ") + name);
    FigureM->setChecked(item.figure);
    Comment->setText(item.comment);
    Comment->setVisible(!item.comment.isEmpty());
    TextM->setChecked(item.textOn);
    Board->DText->setPlainText(QString(item.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    editor.open(item);
    Board->placeText(); // a place stored on a wider screen stays as stored
    Board->DText->setVisible(item.textOn);
    ShowImage();
    named = item.countsAsNamed();
    editor.loading = false;
    ShowInfo();
    ReView();
    Board->update();
    setWindowTitle(QStringLiteral("Whiteboard: ") + name);
}

void TWhiteForm::ResetAll() {
    CheckSave();
    for (QPushButton *b : itemButtons) b->hide();
    CPanel->hide();
    Comment->hide();
    Lines->hide();
    Board->DText->hide();
    Board->imageShown = false;
    playerPtr->stop();
    showPlayImages();
    editor = WhiteboardEditor();
    itemName.clear();
    named = false;
    addFigureOn = false; // nothing left to add figures to
    DanceName->clear();
    setWindowTitle(QStringLiteral("Whiteboard"));
    Board->update();
}

void TWhiteForm::CheckSave() {
    if (!editor.itemChanged) return;
    if (YesNo(QStringLiteral("Save changes to this ") + ItemKind(editor.item, editor.current) +
              QStringLiteral("?")))
        SaveClick(false);
    editor.itemChanged = false;
}

void TWhiteForm::ShowImage() {
    Board->imageShown = false;
    ImageM->setChecked(false);
    if (editor.item.image.isEmpty()) return;
    try {
        Board->image = LoadPicture(editor.item.image);
        Board->imageShown = true;
        ImageM->setChecked(true);
    } catch (const std::exception &e) {
        ShowMsg(QString::fromUtf8(e.what()) + QStringLiteral("\rPlease right-click an empty area, click ") +
                QStringLiteral("Image") + QStringLiteral(" and correct this."));
    }
    Board->update();
}

void TWhiteForm::ShowInfo() {
    StepNo->setText(editor.current > 0 ? QString::number(editor.current) : QString());
    MaxStepD->setText(editor.stepText());
    Save->setText(QStringLiteral("Save ") + ItemKind(editor.item, editor.current));
}

// ---- save, delete, restore, import, figures --------------------------------------------------

void TWhiteForm::SaveClick(bool saveAs) {
    if (editor.current < 1) return;
    QString name = itemName;
    if (!named || saveAs) {
        if (!InputQuery(QStringLiteral("Scrivlet"), QStringLiteral("Name of Dance, Formation or Figure"), name))
            return;
        const QString refused = CheckItemName(name);
        if (!refused.isEmpty()) {
            ShowMsg(refused);
            return;
        }
        if (IniFile->ValueExists(sectionOf(name), QStringLiteral("1")) && name != itemName &&
            !YesNo(name + QStringLiteral(" exists.  Overwrite?")))
            return;
        if (!IniFile->SectionExists(sectionOf(name)) && editor.stepCount() > 2) {
            const int r = DBox3(QStringLiteral("Is this a Dance or a Figure?\r\rNote: You can change this later "
                                               "using the pop-up menu."),
                                QStringLiteral("&Dance"), QStringLiteral("&Figure"), 57555, QStringLiteral("E&xit"));
            if (r != ResultYes && r != ResultNo) return;
            editor.item.figure = r == ResultNo;
            FigureM->setChecked(editor.item.figure);
        }
    }
    WriteLog(QStringLiteral("Save ") + name);
    if (editor.stepChanged) editor.saveStep();
    editor.item.comment = Comment->isVisible() ? Comment->text().trimmed() : QString();
    editor.item.textOn = TextM->isChecked();
    editor.item.text = Board->DText->toPlainText().replace('\n', QStringLiteral("\r\n"));
    bool keptFinal = false;
    try {
        SaveWhiteboardItem(*IniFile, name, editor.item, &keptFinal);
    } catch (const std::exception &e) {
        ShowMsg(QString::fromUtf8(e.what()) + QStringLiteral("\rNothing was saved."));
        return;
    }
    itemName = name;
    DanceName->setText(name);
    setWindowTitle(QStringLiteral("Whiteboard: ") + name);
    named = true;
    if (keptFinal) {
        // A two-step formation keeps only its final places.
        for (auto &d : editor.item.dancers)
            if (d.steps.size() == 2) d.steps.removeFirst();
        named = false;
        editor.current = 1;
        editor.go(1);
    }
    Comment->setText(Comment->text().trimmed());
    editor.itemChanged = editor.stepChanged = false;
    refresh();
}

void TWhiteForm::DelDanceClick() {
    if (itemName.isEmpty()) return;
    if (!YesNo(itemName + QStringLiteral("\rDelete this ") + ItemKind(editor.item, editor.current) +
               QStringLiteral("?")))
        return;
    try {
        IniFile->EraseSection(sectionOf(itemName));
    } catch (const std::exception &e) {
        ShowMsg(QString::fromUtf8(e.what()));
        return;
    }
    ShowMsg(itemName + QStringLiteral(" deleted"));
    editor.itemChanged = false;
    ResetAll();
}

void TWhiteForm::RestoreClick() {
    if (itemName.isEmpty()) return;
    CheckSave();
    const QString name = itemName;
    try {
        const QString missing = RestoreWhiteboardItem(*IniFile, name);
        if (!missing.isEmpty()) {
            ShowMsg(missing);
            return;
        }
    } catch (const std::exception &e) {
        ShowMsg(QString::fromUtf8(e.what()));
        return;
    }
    ResetAll();
    openItem(name);
}

void TWhiteForm::ImportClick() {
    ResetAll();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::unique_ptr<TIniFile> library =
        FetchLibrary([](const QString &url, const QString &file) { FetchURL(url, file); }, LibrarySite(),
                     TempFolder + QStringLiteral("Library.Ini"));
    QApplication::restoreOverrideCursor();
    if (!library) return;
    TLibForm form(*library, this);
    if (form.exec() != QDialog::Accepted) return;
    try {
        ImportWhiteboardItems(*library, *IniFile, form.Ticked());
    } catch (const std::exception &e) {
        ShowMsg(QString::fromUtf8(e.what()) + QStringLiteral("\rNothing was imported."));
    }
}

void TWhiteForm::AddFigure(const QString &name) {
    if (editor.current < 1) return;
    WriteLog(QStringLiteral("Add Figure: ") + name);
    WhiteboardItem figure;
    const QString error = ReadWhiteboardItem(*IniFile, name, figure);
    if (!error.isEmpty()) {
        ShowMsg(error);
        return;
    }
    editor.addFigure(figure);
    refresh();
}

// ---- editing on the board --------------------------------------------------------------------

void TWhiteForm::refresh() {
    ShowInfo();
    Save->setStyleSheet(editor.itemChanged ? kLime : kWhite);
    SaveStep->setStyleSheet(editor.stepChanged ? kLime : kWhite);
    showPlayImages();
    ReView();
    Board->update();
}

void TWhiteForm::ShowChanged(bool stepChanged) {
    if (editor.loading) return;
    editor.showChanged(stepChanged);
    refresh();
}

void TWhiteForm::MyClick(int number, int turn) {
    if (playerPtr->playing()) return;
    editor.turnDancer(number, turn);
    refresh();
}

void TWhiteForm::buzz() { PlayWaveResource(QStringLiteral("Buzzer")); }

void TWhiteForm::SaveStepClick() {
    editor.saveStep();
    refresh();
}

void TWhiteForm::AddBtnClick() {
    editor.addStep();
    refresh();
}

void TWhiteForm::DelBtnClick() {
    if (!editor.deleteCurrent()) buzz();
    refresh();
}

void TWhiteForm::DelBtnRClick() {
    if (editor.current < 1) return;
    int from = editor.current;
    if (!AskNumber(QStringLiteral("Delete from step: "), from)) return;
    if (from < 1 || from > editor.stepCount()) {
        buzz();
        return;
    }
    int to = editor.stepCount();
    if (!AskNumber(QStringLiteral("Delete to step: "), to)) return;
    if (!editor.deleteSteps(from, to)) buzz();
    refresh();
}

void TWhiteForm::CancelBtnClick() {
    editor.cancelStep();
    refresh();
}

void TWhiteForm::GoClick(const QString &target) {
    if (editor.current < 1) return;
    if (editor.stepChanged) editor.saveStep();
    int step = editor.current;
    if (target == QLatin1String("StepNo")) step = StepNo->text().trimmed().toInt();
    else if (target == QLatin1String("GoFirst")) step = 1;
    else if (target == QLatin1String("GoPrev")) step = std::max(editor.current - 1, 1);
    else if (target == QLatin1String("GoNext")) step = std::min(editor.current + 1, editor.stepCount());
    else if (target == QLatin1String("GoLast")) step = editor.stepCount();
    editor.go(step);
    refresh();
}

void TWhiteForm::StepNoChange() {
    bool ok = false;
    const int n = StepNo->text().trimmed().toInt(&ok);
    if (!ok || n < 1 || n > editor.stepCount()) return;
    if (editor.stepChanged) editor.saveStep();
    editor.go(n);
    Save->setStyleSheet(editor.itemChanged ? kLime : kWhite);
    SaveStep->setStyleSheet(kWhite);
    MaxStepD->setText(editor.stepText());
    Board->update();
}

void TWhiteForm::ViewClick() {
    Lines->setVisible(!Lines->isVisible());
    Lines->raise();
    ReView();
}

void TWhiteForm::ReView() {
    if (Lines->isVisible()) Lines->setPlainText(editor.item.lines().join('\n'));
}

void TWhiteForm::ImageMClick() {
    if (itemName.isEmpty() && editor.current < 1) {
        ImageM->setChecked(false);
        return;
    }
    const QString section = sectionOf(itemName);
    const bool stored = named && IniFile->SectionExists(section);
    if (!editor.item.image.isEmpty()) {
        ImageM->setChecked(true);
        if (!YesNo(QStringLiteral("Current image is ") + editor.item.image + QStringLiteral("\rRemove this?"))) return;
        try {
            if (stored) IniFile->DeleteKey(section, QStringLiteral("Image"));
        } catch (const std::exception &e) {
            ShowMsg(QString::fromUtf8(e.what()));
            return;
        }
        editor.item.image.clear();
        ShowImage();
        return;
    }
    ImageM->setChecked(false);
    QString file;
    if (!PickFile(this, QStringLiteral("All images|*.jpg;*.jpeg;*.gif;*.png|JPEG images|*.jpg;*.jpeg|GIF images|"
                                       "*.gif|PNG images|*.png|All files|*.*"),
                  DataFolder, true, file, QStringLiteral("Image")))
        return;
    try {
        if (stored) IniFile->WriteString(section, QStringLiteral("Image"), file);
    } catch (const std::exception &e) {
        ShowMsg(QString::fromUtf8(e.what()));
        return;
    }
    editor.item.image = file;
    ShowChanged(false);
    ShowImage();
}

void TWhiteForm::TextMClick() {
    if (editor.current < 1) {
        TextM->setChecked(false);
        return;
    }
    if (TextM->isChecked()) {
        editor.loading = true;
        Board->DText->setPlainText(QStringLiteral("Enter text here..."));
        // A new text box stands where it is seen, whole on the board.
        const QPoint at = Board->placeText();
        editor.item.textLeft = at.x();
        editor.item.textTop = at.y();
        Board->DText->show();
        editor.loading = false;
    } else if (!YesNo(QStringLiteral("Remove the text?"))) {
        TextM->setChecked(true);
        ShowMsg(QStringLiteral("If you want to edit the text, you can do this directly."));
    } else {
        Board->DText->hide();
    }
    editor.item.textOn = TextM->isChecked();
    ShowChanged(false);
}

void TWhiteForm::DescClick() {
    if (editor.current < 1) return;
    if (IniFile->ValueExists(sectionOf(itemName), QStringLiteral("Comment"))) {
        ShowMsg(QStringLiteral("You don't need to click this - just edit the existing description."));
        return;
    }
    Comment->setText(kPrompt);
    Comment->show();
}

void TWhiteForm::HandClick() {
    Board->setCursor(HandM->isChecked() ? Qt::PointingHandCursor : Qt::ArrowCursor);
    try {
        IniFile->WriteBool(QStringLiteral("System"), QStringLiteral("Hand"), HandM->isChecked());
    } catch (const std::exception &e) {
        ShowMsg(QString::fromUtf8(e.what()));
    }
}

// ---- play ------------------------------------------------------------------------------------

void TWhiteForm::syncOptions() {
    playerPtr->pauses = Pauses->isChecked();
    playerPtr->slow = Slow->isChecked();
    playerPtr->debug = DebugM->isChecked();
    playerPtr->timings = TimingsM->isChecked();
}

void TWhiteForm::showPlayImages() {
    const bool on = playerPtr->playing();
    Play->showImage(on ? QStringLiteral("Stop") : QStringLiteral("Play"));
    PlayAll->showImage(on ? QStringLiteral("Stop") : QStringLiteral("PlayAll"));
    Stop->showImage(on ? QStringLiteral("Stop") : QStringLiteral("NoStop"));
}

void TWhiteForm::PlayClick(WhiteboardPlayer::Start how) {
    if (Board->DText->hasFocus()) Save->setFocus();
    syncOptions();
    playerPtr->play(how);
    refresh();
}

void TWhiteForm::PlayRClick(bool playAll) {
    syncOptions();
    playerPtr->playRight(playAll);
    refresh();
}

void TWhiteForm::StopClick() {
    playerPtr->stop();
    refresh();
}

void TWhiteForm::OnTimer() {
    const int step = editor.current;
    playerPtr->tick();
    if (step != editor.current || !playerPtr->playing())
        refresh();
    else
        Board->update();
}

bool TWhiteForm::FormShortCut(int key) {
    if (key == Qt::Key_Space) {
        if (Comment->hasFocus() || Board->DText->hasFocus()) return false;
        PlayClick(WhiteboardPlayer::Start::PlayOn);
        return true;
    }
    if (key != Qt::Key_Escape) return false;
    const bool textFocus = Board->DText->hasFocus();
    StopClick();
    if (editor.current > 1 && !textFocus) {
        GoClick(QStringLiteral("GoFirst"));
        return true;
    }
    close();
    return true;
}
