#include "app/OrgForm.h"

#include "base/Cp1252.h"
#include "base/Dates.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "core/dances/FieldRules.h"
#include "app/DatabaseMenus.h"
#include "core/database/Tables.h"
#include "core/dialogs/MsgPanel.h"
#include "core/services/ErrorRouting.h"
#include "core/startup/Settings.h"
#include "platform/rtf/RichEdit.h"
#include "platform/shell/KeyState.h"
#include "platform/sqlite/DataSource.h"
#include "platform/picture/StandardIcon.h"
#include "platform/sqlite/DBNavigator.h"
#include "presentation/music/RecordingsGrid.h"
#include "programme/rows/ProgrammeRows.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

TOrgForm *OrgForm = nullptr;

namespace {

template <class W> W *named(W *w, const char *name) {
    w->setObjectName(QLatin1String(name));
    return w;
}

// A box of a page with the width it is laid out at; a wide one may narrow
// to two thirds of it when the screen is small.
class PageEdit : public QLineEdit {
public:
    PageEdit(QWidget *parent, int width) : QLineEdit(parent), width(width) {}
    QSize sizeHint() const override {
        QSize s = QLineEdit::sizeHint();
        if (width > 0) s.setWidth(width);
        return s;
    }
    QSize minimumSizeHint() const override {
        QSize s = QLineEdit::minimumSizeHint();
        if (width > 0) s.setWidth(std::max(s.width(), width >= 100 ? width * 2 / 3 : width));
        return s;
    }

private:
    int width;
};

QLineEdit *lineEdit(QWidget *parent, const char *name, int width = 0) {
    return named(new PageEdit(parent, width), name);
}

QLabel *label(QWidget *parent, const QString &text, QWidget *buddy, const char *name) {
    auto *l = named(new QLabel(text, parent), name);
    if (buddy) l->setBuddy(buddy);
    return l;
}

QToolButton *toolButton(QWidget *parent, const char *name, QStyle::StandardPixmap icon,
                        const QString &hint) {
    auto *b = named(new QToolButton(parent), name);
    b->setIcon(LazyStandardIcon(icon, parent));
    b->setToolTip(hint);
    b->setAutoRaise(true);
    return b;
}

QPushButton *button(QWidget *parent, const QString &caption, const char *name) {
    return named(new QPushButton(caption, parent), name);
}

QFrame *panel(QWidget *parent, const char *name) {
    auto *f = named(new QFrame(parent), name);
    f->setFrameShape(QFrame::StyledPanel);
    return f;
}

// One line of text in the box's font, for heights given in lines.
int lineHeight(const QWidget *w) {
    return w->fontMetrics().lineSpacing();
}

} // namespace

TOrgForm::TOrgForm(QWidget *parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("OrgForm"));
    setWindowTitle(QStringLiteral("Quillary"));
    MsgPanel = new TMsgPanel(this);
    KeyState::install();

    ScrollBox = named(new QScrollArea(this), "ScrollBox");
    ScrollBox->setWidgetResizable(true);
    ScrollBox->setFrameShape(QFrame::NoFrame);
    Content = named(new QWidget, "Content");
    auto *contentLayout = new QVBoxLayout(Content);
    contentLayout->setContentsMargins(4, 4, 4, 4);
    PC = named(new QTabWidget(Content), "PC");
    contentLayout->addWidget(PC);
    ScrollBox->setWidget(Content);
    setCentralWidget(ScrollBox);

    RulePage = named(new QWidget, "RulePage");
    EventPage = named(new QWidget, "EventPage");
    DancePage = named(new QWidget, "DancePage");
    RecPage = named(new QWidget, "RecPage");
    FolderPage = named(new QWidget, "FolderPage");
    PC->addTab(RulePage, QStringLiteral("Rules"));
    PC->addTab(EventPage, QStringLiteral("Events"));
    PC->addTab(DancePage, QStringLiteral("Dances"));
    PC->addTab(RecPage, QStringLiteral("Recordings"));
    PC->addTab(FolderPage, QStringLiteral("Folders"));

    buildRulesPage();
    buildEventsPage();
    buildDancesPage();
    buildRecordingsPage();
    buildMenus();
    buildFoldersPage();
    bindPages();
    buildFilterControls();
    ConnectDancePage();
    buildEventControls();
    buildWebControls();
    buildServiceControls();
    connectRulesPage();
    buildSessionCommands();
    // On a small screen the buttons of the two panels narrow to their captions.
    for (QWidget *panel : {EvPanel, DPanel})
        for (QPushButton *b : panel->findChildren<QPushButton *>()) {
            b->setMinimumWidth(b->fontMetrics().horizontalAdvance(b->text()) + 12);
            b->setSizePolicy(QSizePolicy::Preferred, b->sizePolicy().verticalPolicy());
        }
    buildViewCommands();
    buildInstructionControls();
    buildFormattingCommands();
    buildPlayPanel();
    buildEditorCommands();
    buildListCommands();
    buildExchangeCommands();
    buildSelectDance();

    // Tabs that depend on options show once the options are read.
    SetPageVisible(RecPage, false);
    SetPageVisible(FolderPage, false);
    PC->setCurrentWidget(EventPage);
    connect(PC, &QTabWidget::currentChanged, this, [this] { PCChange(); });

    resize(1000, 700);
}

TOrgForm::~TOrgForm() {
    // A window freed without closing must not be called for the next failure.
    if (ownsExceptionHandler) SetExceptionHandler({});
    dropFilterUi();
    // The plain watchers (event filters holding this window) go before the
    // members they read: they would still see events while the boxes go.
    const QObjectList kids = children();
    for (QObject *child : kids)
        if (!child->isWidgetType() && qstrcmp(child->metaObject()->className(), "QObject") == 0) delete child;
    if (&TheMainWindow() == this) SetMainWindowLink(nullptr);
    if (InstalledRecordHookHandlers() == this) SetRecordHookHandlers(nullptr);
    SetDateBoxHook({});
    while (busy > 0) SetBusy(false);
    if (OrgForm == this) OrgForm = nullptr;
    // The rows outlive this part of the window: they report to nobody now.
    if (Rows) Rows->setEventSink(nullptr);
    delete PlayImg;
    delete Hand;
}

void TOrgForm::bindPages() {
    ESource = new TDataSource(this);
    ESource->setObjectName(QStringLiteral("ESource"));
    ESource->setDataset(&EventsData);
    for (QLineEdit *box : {Org, Event, ETime, Venue, Town, Postcode, Band, Contact, Phone, Email,
                           WebSite, Fee})
        ESource->bind(box, box->objectName());
    ENav->setDataset(&EventsData);

    DSource = new TDataSource(this);
    DSource->setObjectName(QStringLiteral("DSource"));
    DSource->setDataset(&DancesData);
    for (QLineEdit *box : {Title, Format, Style, Rhythm, Energy, Author, Collection, Popular,
                           SwingP, SwingN, Tolbrook, Called, KeySig, Tempo, Timing})
        DSource->bind(box, box->objectName());
    DSource->bind(Lvl, QStringLiteral("Lvl"));
    DNav->setDataset(&DancesData);
    // A letter in a number box: the box's own message, never an error report.
    for (TDataSource *source : {ESource, DSource})
        source->OnRefused = [](QWidget *, const QString &field, const QString &) { ShowMsg(NumberBoxFault(field)); };

    connect(ENav, &TDBNavigator::clicked, this, [this](NavButton b) { ENavClick(b); });
    connect(DNav, &TDBNavigator::clicked, this, [this](NavButton b) { DNavClick(b); });

    SetDateBoxHook({[this] { return DateBox->text(); }, [this] { DateBox->clear(); }});

    Grid = named(new QTableView(Content), "Grid");
    Grid->hide();

    SetMainWindowLink(this);
}

void TOrgForm::ENavClick(NavButton button) {
    switch (button) {
    case NavButton::First:
    case NavButton::Last:
    case NavButton::Cancel:
        ShowEvent();
        break;
    case NavButton::Insert:
        WriteLog(QStringLiteral("New Event"));
        Org->setFocus();
        break;
    case NavButton::Delete:
        WriteLog(QStringLiteral("Delete Event"));
        break;
    default:
        break;
    }
}

// ---- pages -------------------------------------------------------------------

void TOrgForm::buildRulesPage() {
    auto *layout = new QHBoxLayout(RulePage);

    RuleSet = named(new QPlainTextEdit(RulePage), "RuleSet");
    RuleSet->setReadOnly(true);
    RuleSet->setMinimumWidth(180);
    layout->addWidget(RuleSet, 1);

    auto *right = new QVBoxLayout;
    layout->addLayout(right, 3);

    // The rule editor keeps fixed places: the selection boxes made at
    // start-up sit at fixed offsets beside the first boxes.
    RuleGroup = named(new QGroupBox(QStringLiteral("Rule"), RulePage), "RuleGroup");
    RuleGroup->setMinimumSize(710, 110);
    Box1 = named(new QComboBox(RuleGroup), "Box1");
    Box1->addItems({QStringLiteral("Session 1"), QStringLiteral("Session 2"),
                    QStringLiteral("Session 3"), QStringLiteral("Session 4")});
    Box1->setCurrentIndex(-1);
    Box1->setGeometry(8, 20, 100, 24);
    Box2 = named(new QComboBox(RuleGroup), "Box2");
    Box2->addItems({QStringLiteral("Level"), QStringLiteral("Total dances"),
                    QStringLiteral("All dances"), QStringLiteral("Some dances")});
    Box2->setCurrentIndex(-1);
    Box2->setGeometry(8, 50, 120, 24);
    NumBox1 = lineEdit(RuleGroup, "NumBox1");
    NumBox1->setMaxLength(2);
    NumBox1->setGeometry(136, 50, 32, 24);
    ToLab = named(new QLabel(QStringLiteral("to"), RuleGroup), "ToLab");
    ToLab->setGeometry(174, 54, 20, 18);
    NumBox2 = lineEdit(RuleGroup, "NumBox2");
    NumBox2->setMaxLength(2);
    NumBox2->setGeometry(196, 50, 32, 24);
    NewRule = button(RuleGroup, QStringLiteral("New Rule"), "NewRule");
    NewRule->setGeometry(252, 78, 110, 26);
    SvRule = button(RuleGroup, QStringLiteral("Save new rule"), "SvRule");
    SvRule->setGeometry(365, 78, 110, 26);
    DelRule = button(RuleGroup, QStringLiteral("Delete Rule"), "DelRule");
    DelRule->setGeometry(478, 78, 110, 26);
    DelRule->setEnabled(false);
    right->addWidget(RuleGroup);

    Buttons = named(new QGroupBox(RulePage), "Buttons");
    auto *b = new QHBoxLayout(Buttons);
    NewRSet = button(Buttons, QStringLiteral("New"), "NewRSet");
    OpenBtn = button(Buttons, QStringLiteral("Open"), "OpenBtn");
    WhatBtn = button(Buttons, QStringLiteral("?"), "WhatBtn");
    SvSetBtn = button(Buttons, QStringLiteral("&Save Set"), "SvSetBtn");
    AsBtn = button(Buttons, QStringLiteral("Save &As"), "AsBtn");
    DelBtn = button(Buttons, QStringLiteral("Delete Set"), "DelBtn");
    HelpRules = button(Buttons, QStringLiteral("Help"), "HelpRules");
    Exit2Btn = button(Buttons, QStringLiteral("E&xit"), "Exit2Btn");
    for (QPushButton *p : {NewRSet, OpenBtn, WhatBtn, SvSetBtn, AsBtn, DelBtn, HelpRules, Exit2Btn})
        b->addWidget(p);
    b->addStretch(1);
    right->addWidget(Buttons);
    right->addStretch(1);
    connect(Exit2Btn, &QPushButton::clicked, this, [this] { close(); });
}

void TOrgForm::buildEventsPage() {
    auto *page = new QVBoxLayout(EventPage);
    page->setContentsMargins(4, 4, 4, 4);

    EvPanel = panel(EventPage, "EvPanel");
    auto *g = new QGridLayout(EvPanel);
    g->setHorizontalSpacing(6);
    g->setVerticalSpacing(4);

    Org = lineEdit(EvPanel, "Org", 220);
    Event = lineEdit(EvPanel, "Event", 220);
    DateBox = lineEdit(EvPanel, "DateBox", 110);
    ETime = lineEdit(EvPanel, "ETime", 90);
    Venue = lineEdit(EvPanel, "Venue", 180);
    Town = lineEdit(EvPanel, "Town", 120);
    Postcode = lineEdit(EvPanel, "Postcode", 80);
    Band = lineEdit(EvPanel, "Band", 150);
    Contact = lineEdit(EvPanel, "Contact", 150);
    Phone = lineEdit(EvPanel, "Phone", 110);
    Email = lineEdit(EvPanel, "Email", 180);
    WebSite = lineEdit(EvPanel, "WebSite", 180);
    Fee = lineEdit(EvPanel, "Fee", 80);
    for (QLineEdit *e : {DateBox, ETime, Fee, Postcode, Phone}) e->setMaximumWidth(170);
    IsRec = named(new QCheckBox(QStringLiteral("Recorded"), EvPanel), "IsRec");
    Updated = named(new QCheckBox(QStringLiteral("Updated"), EvPanel), "Updated");
    Acknowledged = named(new QCheckBox(QStringLiteral("Acknowledged"), EvPanel), "Acknowledged");
    Prv = named(new QCheckBox(QStringLiteral("Private"), EvPanel), "Prv");

    g->addWidget(label(EvPanel, QStringLiteral("&Org"), Org, "OrgLab"), 0, 0);
    g->addWidget(Org, 0, 1, 1, 3);
    g->addWidget(label(EvPanel, QStringLiteral("&Date"), DateBox, "DateLab"), 0, 4);
    g->addWidget(DateBox, 0, 5);
    g->addWidget(label(EvPanel, QStringLiteral("T&ime"), ETime, "TimeLab"), 0, 6);
    g->addWidget(ETime, 0, 7);

    g->addWidget(label(EvPanel, QStringLiteral("&Event"), Event, "EventLab"), 1, 0);
    g->addWidget(Event, 1, 1, 1, 3);
    g->addWidget(label(EvPanel, QStringLiteral("&Venue"), Venue, "VenueLab"), 1, 4);
    g->addWidget(Venue, 1, 5, 1, 3);

    g->addWidget(label(EvPanel, QStringLiteral("&Town"), Town, "TownLab"), 2, 0);
    g->addWidget(Town, 2, 1);
    g->addWidget(label(EvPanel, QStringLiteral("&Postcode"), Postcode, "PostcodeLab"), 2, 2);
    g->addWidget(Postcode, 2, 3);
    g->addWidget(label(EvPanel, QStringLiteral("&Band"), Band, "BandLab"), 2, 4);
    g->addWidget(Band, 2, 5);
    g->addWidget(IsRec, 2, 6, 1, 2);

    g->addWidget(label(EvPanel, QStringLiteral("&Contact"), Contact, "ContactLab"), 3, 0);
    g->addWidget(Contact, 3, 1);
    g->addWidget(label(EvPanel, QStringLiteral("P&hone"), Phone, "PhoneLab"), 3, 2);
    g->addWidget(Phone, 3, 3);
    g->addWidget(label(EvPanel, QStringLiteral("E&mail"), Email, "EmailLab"), 3, 4);
    g->addWidget(Email, 3, 5, 1, 3);

    g->addWidget(label(EvPanel, QStringLiteral("&Web site"), WebSite, "WebSiteLab"), 4, 0);
    g->addWidget(WebSite, 4, 1, 1, 3);
    g->addWidget(label(EvPanel, QStringLiteral("&Fee"), Fee, "FeeLab"), 4, 4);
    g->addWidget(Fee, 4, 5);
    auto *checks = new QHBoxLayout;
    checks->addWidget(Updated);
    checks->addWidget(Acknowledged);
    checks->addWidget(Prv);
    checks->addStretch(1);
    g->addLayout(checks, 4, 6, 1, 2);
    g->setColumnStretch(1, 2);
    g->setColumnStretch(3, 1);
    g->setColumnStretch(5, 2);

    auto *bar = new QHBoxLayout;
    ENav = named(new TDBNavigator(EvPanel), "ENav");
    ENav->setHints({QStringLiteral("First event"), QStringLiteral("Previous event"),
                    QStringLiteral("Next event"), QStringLiteral("Last event"),
                    QStringLiteral("New event"), QStringLiteral("Delete event"),
                    QStringLiteral("Save changes"), QStringLiteral("Cancel changes")});
    bar->addWidget(ENav);
    bar->addSpacing(12);
    GroupP = toolButton(EvPanel, "GroupP", QStyle::SP_MediaSeekBackward,
                        QStringLiteral("Previous event for this Org"));
    GroupN = toolButton(EvPanel, "GroupN", QStyle::SP_MediaSeekForward,
                        QStringLiteral("Next event for this Org"));
    ProgP = toolButton(EvPanel, "ProgP", QStyle::SP_ArrowUp,
                       QStringLiteral("Previous dance of this event"));
    ProgN = toolButton(EvPanel, "ProgN", QStyle::SP_ArrowDown,
                       QStringLiteral("Next dance of this event"));
    ContBtn = button(EvPanel, QStringLiteral("Contents"), "ContBtn");
    ContBtn->hide();
    HelpEvents = button(EvPanel, QStringLiteral("Help"), "HelpEvents");
    for (QWidget *w : {static_cast<QWidget *>(GroupP), static_cast<QWidget *>(GroupN),
                       static_cast<QWidget *>(ProgP), static_cast<QWidget *>(ProgN),
                       static_cast<QWidget *>(ContBtn)})
        bar->addWidget(w);
    bar->addStretch(1);
    bar->addWidget(HelpEvents);
    g->addLayout(bar, 5, 0, 1, 8);
    page->addWidget(EvPanel);

    // The column titles and the programme rows (app/events/OrgFormProgramme.cpp).
    page->addWidget(buildProgrammeRows(), 1);
}

void TOrgForm::buildDancesPage() {
    auto *page = new QVBoxLayout(DancePage);
    page->setContentsMargins(4, 4, 4, 4);

    auto *top = new QHBoxLayout;
    DPanel = panel(DancePage, "DPanel");
    auto *g = new QGridLayout(DPanel);
    g->setHorizontalSpacing(6);
    g->setVerticalSpacing(4);

    TitleBtn = button(DPanel, QStringLiteral("Find Dance"), "TitleBtn");
    Title = lineEdit(DPanel, "Title", 260);
    Format = lineEdit(DPanel, "Format", 90);
    Style = lineEdit(DPanel, "Style", 90);
    Rhythm = lineEdit(DPanel, "Rhythm", 80);
    Lvl = named(new QComboBox(DPanel), "Lvl");
    Lvl->setEditable(true);
    Lvl->setMinimumWidth(52);
    Energy = lineEdit(DPanel, "Energy", 70);
    Author = lineEdit(DPanel, "Author", 150);
    Collection = lineEdit(DPanel, "Collection", 150);
    Popular = lineEdit(DPanel, "Popular", 50);
    SwingP = lineEdit(DPanel, "SwingP", 40);
    SwingN = lineEdit(DPanel, "SwingN", 40);
    Tolbrook = lineEdit(DPanel, "Tolbrook", 30);
    Called = lineEdit(DPanel, "Called", 40);
    KeySig = lineEdit(DPanel, "KeySig", 50);
    Tempo = lineEdit(DPanel, "Tempo", 50);
    Timing = lineEdit(DPanel, "Timing", 60);
    TolbrookLab = label(DPanel, QStringLiteral("Tolbrook"), Tolbrook, "TolbrookLab");

    // The tag pictures stand by the button that finds a dance.
    auto *find = new QHBoxLayout;
    find->setSpacing(4);
    TagOn = toolButton(DPanel, "TagOn", QStyle::SP_DialogApplyButton, QString());
    TagOff = toolButton(DPanel, "TagOff", QStyle::SP_DialogCancelButton, QString());
    TagOn->hide();
    TagOff->hide();
    find->addWidget(TitleBtn, 1);
    find->addWidget(TagOn);
    find->addWidget(TagOff);
    g->addLayout(find, 0, 0, 1, 2);
    g->addWidget(Title, 0, 2, 1, 6);
    g->addWidget(label(DPanel, QStringLiteral("&Format"), Format, "FormatLab"), 0, 8);
    g->addWidget(Format, 0, 9, 1, 2);
    g->addWidget(label(DPanel, QStringLiteral("&Style"), Style, "StyleLab"), 0, 11);
    g->addWidget(Style, 0, 12, 1, 2);

    g->addWidget(label(DPanel, QStringLiteral("&Rhythm"), Rhythm, "RhythmLab"), 1, 0);
    g->addWidget(Rhythm, 1, 1, 1, 2);
    g->addWidget(label(DPanel, QStringLiteral("&Level"), Lvl, "LvlLab"), 1, 3);
    g->addWidget(Lvl, 1, 4);
    g->addWidget(label(DPanel, QStringLiteral("E&nergy"), Energy, "EnergyLab"), 1, 5);
    g->addWidget(Energy, 1, 6);
    g->addWidget(label(DPanel, QStringLiteral("&Author"), Author, "AuthorLab"), 1, 7);
    g->addWidget(Author, 1, 8, 1, 2);
    g->addWidget(label(DPanel, QStringLiteral("C&ollection"), Collection, "CollectionLab"), 1, 10);
    g->addWidget(Collection, 1, 11, 1, 3);

    g->addWidget(label(DPanel, QStringLiteral("&Popular"), Popular, "PopularLab"), 2, 0);
    g->addWidget(Popular, 2, 1);
    g->addWidget(label(DPanel, QStringLiteral("Swing +"), SwingP, "SwingPLab"), 2, 2);
    g->addWidget(SwingP, 2, 3);
    g->addWidget(label(DPanel, QStringLiteral("Swing -"), SwingN, "SwingNLab"), 2, 4);
    g->addWidget(SwingN, 2, 5);
    g->addWidget(label(DPanel, QStringLiteral("&Called"), Called, "CalledLab"), 2, 6);
    g->addWidget(Called, 2, 7);
    g->addWidget(label(DPanel, QStringLiteral("&Key"), KeySig, "KeySigLab"), 2, 8);
    g->addWidget(KeySig, 2, 9);
    g->addWidget(label(DPanel, QStringLiteral("&Tempo"), Tempo, "TempoLab"), 2, 10);
    g->addWidget(Tempo, 2, 11);
    g->addWidget(label(DPanel, QStringLiteral("T&iming"), Timing, "TimingLab"), 2, 12);
    g->addWidget(Timing, 2, 13);

    auto *bar = new QHBoxLayout;
    bar->setSpacing(4);
    DNav = named(new TDBNavigator(DPanel), "DNav");
    DNav->setHints({QStringLiteral("First dance"), QStringLiteral("Previous dance"),
                    QStringLiteral("Next dance"), QStringLiteral("Last dance"),
                    QStringLiteral("New dance"), QStringLiteral("Delete dance"),
                    QStringLiteral("Save changes"), QStringLiteral("Cancel changes")});
    bar->addWidget(DNav);
    DOrderBox = named(new QComboBox(DPanel), "DOrderBox");
    DOrderBox->addItems({QStringLiteral("Format, Style, Title"),
                         QStringLiteral("Format, Title, Style"),
                         QStringLiteral("Format, Style, Rhythm, Title"),
                         QStringLiteral("Title, Style, Format")});
    DOrderBox->setToolTip(QStringLiteral("Order of the dances"));
    // Narrower, with its text cut short, when the bar is crowded.
    DOrderBox->setMinimumWidth(DOrderBox->sizeHint().width() / 2);
    bar->addWidget(DOrderBox);
    Printed = named(new QCheckBox(QStringLiteral("Printed"), DPanel), "Printed");
    Callit = named(new QCheckBox(QStringLiteral("Call it"), DPanel), "Callit");
    OwnTune = named(new QCheckBox(QStringLiteral("Own tune"), DPanel), "OwnTune");
    bar->addWidget(Printed);
    bar->addWidget(Callit);
    bar->addWidget(OwnTune);
    bar->addWidget(TolbrookLab);
    bar->addWidget(Tolbrook);
    bar->addStretch(1);
    FullBtn = button(DPanel, QStringLiteral("Full-screen"), "FullBtn");
    ABCBtn = button(DPanel, QStringLiteral("View ABC"), "ABCBtn");
    ABCBtn->hide();
    HelpDances = button(DPanel, QStringLiteral("Help"), "HelpDances");
    bar->addWidget(FullBtn);
    bar->addWidget(ABCBtn);
    bar->addWidget(HelpDances);
    g->addLayout(bar, 3, 0, 1, 14);
    top->addWidget(DPanel, 1);

    PlayPnl = panel(DancePage, "PlayPnl");
    PlayPnl->setFixedWidth(120);
    auto *play = new QVBoxLayout(PlayPnl);
    PlayBtn = button(PlayPnl, QStringLiteral("Play"), "PlayBtn");
    PlayBtn->setToolTip(QStringLiteral("Play"));
    PauseBtn = button(PlayPnl, QStringLiteral("Pause"), "PauseBtn");
    PauseBtn->setToolTip(QStringLiteral("Pause/Continue"));
    PauseBtn->hide();
    play->addWidget(PlayBtn);
    play->addWidget(PauseBtn);
    play->addStretch(1);
    // Shown when the dance has a recording to play; its place stays.
    QSizePolicy keep = PlayPnl->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    PlayPnl->setSizePolicy(keep);
    PlayPnl->hide();
    top->addWidget(PlayPnl);
    page->addLayout(top);

    auto *musicRow = new QHBoxLayout;
    MusicBtn = button(DancePage, QStringLiteral("Music"), "MusicBtn");
    Music = lineEdit(DancePage, "Music");
    musicRow->addWidget(MusicBtn);
    musicRow->addWidget(Music, 1);
    Pending = button(DancePage, QStringLiteral("Pending"), "Pending");
    musicRow->addWidget(Pending);
    page->addLayout(musicRow);

    Notes = named(new QPlainTextEdit(DancePage), "Notes");
    Notes->setFixedHeight(4 * lineHeight(Notes) + 10);
    page->addWidget(Notes);

    Instructions = named(new RichEdit(DancePage), "Instructions");
    Instructions->setReadOnly(true);
    Instructions->setMinimumHeight(220);
    // Pale cyan, the colour the filter also puts it back to.
    QPalette instructionsColours = Instructions->palette();
    instructionsColours.setColor(QPalette::Base, QColor(210, 255, 255));
    Instructions->setPalette(instructionsColours);
    page->addWidget(Instructions, 1);

    WorkRich = named(new RichEdit(DancePage), "WorkRich");
    WorkRich->hide();
}

void TOrgForm::buildRecordingsPage() {
    auto *page = new QVBoxLayout(RecPage);
    auto *bar = new QHBoxLayout;
    Searcher = lineEdit(RecPage, "Searcher", 160);
    Unused = named(new QCheckBox(QStringLiteral("Unused"), RecPage), "Unused");
    AddBtn = button(RecPage, QStringLiteral("Add"), "AddBtn");
    ScanBtn = button(RecPage, QStringLiteral("Scan"), "ScanBtn");
    RefrBtn = button(RecPage, QStringLiteral("Refresh"), "RefrBtn");
    RBaseBtn = button(RecPage, QStringLiteral("Base folder"), "RBaseBtn");
    RBase = named(new QLabel(RecPage), "RBase");
    CurDance = named(new QLabel(QStringLiteral("Current Dance:"), RecPage), "CurDance");
    HelpRecs = button(RecPage, QStringLiteral("Help"), "HelpRecs");
    for (QWidget *w : {static_cast<QWidget *>(Searcher), static_cast<QWidget *>(Unused),
                       static_cast<QWidget *>(AddBtn), static_cast<QWidget *>(ScanBtn),
                       static_cast<QWidget *>(RefrBtn), static_cast<QWidget *>(RBaseBtn),
                       static_cast<QWidget *>(RBase), static_cast<QWidget *>(CurDance)})
        bar->addWidget(w);
    bar->addStretch(1);
    bar->addWidget(HelpRecs);
    page->addLayout(bar);
    RecGrid = named(new RecordingsGrid(RecPage), "RecGrid");
    RecGrid->verticalHeader()->hide();
    page->addWidget(RecGrid, 1);
}

// ---- menus -------------------------------------------------------------------

void TOrgForm::buildMenus() {
    QMenuBar *bar = menuBar();
    FileM = named(bar->addMenu(QStringLiteral("&File")), "FileM");
    ExitM = named(FileM->addAction(QStringLiteral("E&xit")), "ExitM");
    connect(ExitM, &QAction::triggered, this, [this] { close(); });

    EventsM = named(bar->addMenu(QStringLiteral("&Events")), "EventsM");
    DancesM = named(bar->addMenu(QStringLiteral("&Dances")), "DancesM");
    RulesM = named(bar->addMenu(QStringLiteral("&Rules")), "RulesM");
    ViewM = named(bar->addMenu(QStringLiteral("&View")), "ViewM");

    SettingsM = named(bar->addMenu(QStringLiteral("&Settings")), "SettingsM");
    for (const OptionItem &o : OptionItems()) {
        QAction *a = SettingsM->addAction(o.caption);
        a->setObjectName(o.name);
        a->setCheckable(true);
        a->setChecked(o.defaultChecked);
        connect(a, &QAction::triggered, this, [this, a] { OptionClick(a); });
        OptionActions.append(a);
    }
    SettingsM->addSeparator();
    TolbrookM = named(SettingsM->addMenu(QStringLiteral("Tolbrook")), "TolbrookM");
    TolbrookGroup = new QActionGroup(this);
    TolbrookGroup->setExclusive(true);
    Tolbrook0 = named(TolbrookM->addAction(QStringLiteral("Hide Tolbrook")), "Tolbrook0");
    Tolbrook1 = named(TolbrookM->addAction(QStringLiteral("Use Tolbrook only")), "Tolbrook1");
    Tolbrook2 = named(TolbrookM->addAction(QStringLiteral("Use both")), "Tolbrook2");
    int index = 0;
    for (QAction *a : {Tolbrook0, Tolbrook1, Tolbrook2}) {
        a->setCheckable(true);
        TolbrookGroup->addAction(a);
        connect(a, &QAction::triggered, this, [this, index] { TolbrookClick(index); });
        ++index;
    }

    ToolsM = named(bar->addMenu(QStringLiteral("&Tools")), "ToolsM");
    Battery = named(ToolsM->addAction(QStringLiteral("Battery")), "Battery");
    connect(Battery, &QAction::triggered, this, [this] { BatteryClick(true); });
    AddDatabaseCommands(this, ToolsM, SettingsM);
    buildCatalogueTools();
    buildPageTools();

    TagsM = named(bar->addMenu(QStringLiteral("T&ags")), "TagsM");
    UserM = named(bar->addMenu(QStringLiteral("&User")), "UserM");
    VellamM = named(bar->addMenu(QStringLiteral("&Vellam")), "VellamM");
    VellamM->menuAction()->setVisible(false);
    buildMaintainerMenu();
    HelpM = named(bar->addMenu(QStringLiteral("&Help")), "HelpM");
    buildHelpMenu();

    NPopup = named(new QMenu(this), "NPopup");
    LocalLink = named(NPopup->addAction(QStringLiteral("Local link")), "LocalLink");
    WebLink = named(NPopup->addAction(QStringLiteral("Web link")), "WebLink");
    PasteMemo = named(NPopup->addAction(QStringLiteral("Paste")), "PasteMemo");
    PasteMemo->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_Insert));
    CheckNote = named(NPopup->addAction(QStringLiteral("Check note")), "CheckNote");
    CheckNote->setVisible(false);
    Special = named(NPopup->addAction(QStringLiteral("Special character")), "Special");
}

const QStringList &TOrgForm::UserKeys() {
    static const QStringList keys = {
        QStringLiteral("Editor"),   QStringLiteral("Backup"), QStringLiteral("Restore"),
        QStringLiteral("Bookings"), QStringLiteral("Interval"), QStringLiteral("Break"),
        QStringLiteral("Images"),   QStringLiteral("ABC")};
    return keys;
}

void TOrgForm::buildUserMenu() {
    UserM->clear();
    for (const QString &key : UserKeys()) {
        QAction *a = UserM->addAction(key);
        a->setObjectName(QStringLiteral("User") + key);
        connect(a, &QAction::triggered, this, [this, key] { UserClick(key); });
    }
}

QAction *TOrgForm::OptionAction(const QString &name) const {
    for (QAction *a : OptionActions)
        if (SameText(a->objectName(), name)) return a;
    return nullptr;
}

int TOrgForm::PageIndex(QWidget *page) const {
    return PC->indexOf(page);
}

void TOrgForm::SetPageVisible(QWidget *page, bool visible) {
    PC->setTabVisible(PageIndex(page), visible);
}

bool TOrgForm::PageVisible(QWidget *page) const {
    return PC->isTabVisible(PageIndex(page));
}

int TOrgForm::HorizontalRange() const {
    // A page that has not been shown yet has not been laid out: it is laid
    // out now at the size it will have, so that the panel stands where the
    // user will see it.
    if (PC->currentWidget() != DancePage) {
        const QSize size = PC->currentWidget()->size().expandedTo(DancePage->minimumSizeHint());
        if (DancePage->size() != size) DancePage->resize(size);
        if (QLayout *l = DancePage->layout()) l->activate();
    }
    // The play panel stands right of the fields, or under them in the
    // compact arrangement.
    const QPoint right = PlayPnl->mapTo(Content, QPoint(PlayPnl->width(), 0));
    const QPoint fields = DPanel->mapTo(Content, QPoint(DPanel->width(), 0));
    return std::max(right.x(), fields.x());
}

void TOrgForm::SetScrollRange() {
    Content->setMinimumWidth(std::max(HorizontalRange(), Content->minimumSizeHint().width()));
}

// ---- option items ------------------------------------------------------------

void TOrgForm::OptionClick(QAction *item) {
    // The action has already toggled its mark; the stored mark follows it.
    const bool wanted = item->isChecked();
    try {
        StoreOption(item->objectName(), wanted);
    } catch (...) {
        item->setChecked(!wanted);
        throw;
    }
}

void TOrgForm::TolbrookClick(int index) {
    const TolbrookChoice c = ::TolbrookClick(index);
    QAction *items[] = {Tolbrook0, Tolbrook1, Tolbrook2};
    items[c.index]->setChecked(true);
    TolbrookM->setTitle(c.caption);
    Tolbrook->setVisible(c.showBox);
    TolbrookLab->setVisible(c.showBox);
}

// ---- window events -----------------------------------------------------------

void TOrgForm::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    if (formShowQueued || formShowRun) return;
    formShowQueued = true;
    // Start-up runs from the event loop, once the window is on screen.
    QMetaObject::invokeMethod(this, [this] { FormShow(); }, Qt::QueuedConnection);
}

void TOrgForm::closeEvent(QCloseEvent *event) {
    if (closeHandlerAttached && !FormClose()) {
        event->ignore();
        return;
    }
    closeHandlerAttached = false;
    event->accept();
}

void TOrgForm::resizeEvent(QResizeEvent *event) {
    QMainWindow::resizeEvent(event);
    if (resizeHandlerAttached) FormResize();
}

void TOrgForm::CloseWithoutHandler() {
    closeHandlerAttached = false;
    QMetaObject::invokeMethod(this, [this] { close(); }, Qt::QueuedConnection);
}
